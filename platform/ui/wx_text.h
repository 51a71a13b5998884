// UTF-8 std::string <-> wxString.
#pragma once

#include <wx/string.h>

#include <string>

namespace platform::ui {

inline wxString ToWx(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }
inline std::string FromWx(const wxString& text) {
  wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

}  // namespace platform::ui
