// Shared by the set-up library's tests: byte strings from hex, a private options store
// and a port map that offers only the ports a test sets.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/options_store.h"

namespace extras_test {

// "A0 A2 00" -> bytes.
inline std::string Bytes(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}

// Every port COM0..COM9 maps to no device until a test gives it one; the options store
// goes to a fresh file in a folder of the test program's own, removed when it ends.
inline void IsolatePorts() {
  for (int port = 0; port <= 9; ++port) setenv(("TVX_PORT_" + std::to_string(port)).c_str(), "", 1);
  static const struct Folder {
    std::filesystem::path path;
    Folder() {
      char tmpl[] = "/tmp/tvx-extras-XXXXXX";
      path = mkdtemp(tmpl);
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  platform::OptionsStore::Instance().SetPath((folder.path / "registry.ini").string());
}

inline void MapPort(int port, const std::string& path) {
  setenv(("TVX_PORT_" + std::to_string(port)).c_str(), path.c_str(), 1);
}

}  // namespace extras_test
