// A language module's resources as the program reads them: its string table (the
// "id<TAB>text" lines), with the cuts LoadString makes of its texts for callers' buffers (a cut
// never ends inside a character and never holds more characters than asked), and one of its
// XRC documents of dialog templates and menus, read as the template lookups read it.
// Input: a u32 length and the string table, then the XRC text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <wx/init.h>
#include <wx/xml/xml.h>

#include "platform/modules.h"
#include "platform/ui/xrc_resources.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

namespace {

std::size_t Characters(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static wxInitializer toolkit;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::Split(data, size, 2);
  const std::string_view table = parts[0];
  const std::map<UINT, std::string> strings = platform::ParseStringTable(table);
  Check(strings.size() <= table.size() / 2 + 1);
  for (const auto& [id, text] : strings) {
    for (std::size_t limit : {0u, 1u, 2u, 7u, 31u, 255u}) {
      const std::string cut = platform::CutToCharacters(text, limit);
      Check(cut.size() <= text.size() && text.compare(0, cut.size(), cut) == 0);
      Check(Characters(cut) <= limit);
      // Continuation bytes stay with their character (nothing is cut to no characters).
      Check(cut.size() == text.size() || cut.empty() ||
            (static_cast<unsigned char>(text[cut.size()]) & 0xC0) != 0x80);
    }
  }

  // The module hands its XRC documents over as C strings.
  const std::string xrc(parts[1].substr(0, parts[1].find('\0')));
  std::map<wxString, wxString> topLevel;
  if (std::unique_ptr<wxXmlDocument> doc = platform::ui::ReadXrcDocument(xrc.c_str(), topLevel)) {
    Check(doc->GetRoot() != nullptr);
  } else {
    Check(topLevel.empty());
  }
  return 0;
}
