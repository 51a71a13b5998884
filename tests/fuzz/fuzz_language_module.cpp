// A language module's string table as the program reads it (the "id<TAB>text" lines of the
// module's resources), and the cuts LoadString makes of its texts for callers' buffers: a cut
// never ends inside a character and never holds more characters than asked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/modules.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

namespace {

std::size_t Characters(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view table(reinterpret_cast<const char*>(data), size);
  const std::map<UINT, std::string> strings = platform::ParseStringTable(table);
  Check(strings.size() <= size / 2 + 1);
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
  return 0;
}
