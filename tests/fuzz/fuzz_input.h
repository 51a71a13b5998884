// Splits one fuzz input into the several files a reader takes: every part but the last is a
// little-endian u32 length followed by that many bytes (cut to what is left); the last part is
// the rest. The seed corpora are written in this layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace fuzz {

inline std::vector<std::string_view> Split(const std::uint8_t* data, std::size_t size,
                                           std::size_t parts) {
  std::vector<std::string_view> out;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (std::size_t k = 0; k + 1 < parts; ++k) {
    std::size_t length = 0;
    if (rest.size() >= 4) {
      length = static_cast<std::size_t>(static_cast<unsigned char>(rest[0])) |
               static_cast<std::size_t>(static_cast<unsigned char>(rest[1])) << 8 |
               static_cast<std::size_t>(static_cast<unsigned char>(rest[2])) << 16 |
               static_cast<std::size_t>(static_cast<unsigned char>(rest[3])) << 24;
      rest.remove_prefix(4);
    } else {
      rest = {};
    }
    if (length > rest.size()) length = rest.size();
    out.push_back(rest.substr(0, length));
    rest.remove_prefix(length);
  }
  out.push_back(rest);
  return out;
}

// A private folder for the files of one fuzz process, removed at exit.
inline const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/tvx-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) std::abort();
    std::string path = made;
    static std::string removal = "rm -rf '" + path + "'";
    std::atexit([] { (void)std::system(removal.c_str()); });
    return path;
  }();
  return folder;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Stops the run at a broken rule, naming the line of the check.
inline void Check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "check failed at line %d\n", line);
  __builtin_trap();
}

}  // namespace fuzz
