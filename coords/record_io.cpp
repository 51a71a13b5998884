#include "coords/record_io.h"

#include <bit>

#include "platform/files.h"

namespace {

std::uint64_t ReadLe(std::span<const std::uint8_t> bytes, std::size_t offset, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[offset + i];
  return value;
}

void WriteLe(std::span<std::uint8_t> bytes, std::size_t offset, int size, std::uint64_t value) {
  for (int i = 0; i < size; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

// Lower-case partner of a UTF-16 unit in the scripts names are usually typed in.
char16_t FoldCase(char16_t u) {
  if (u >= u'A' && u <= u'Z') return static_cast<char16_t>(u + 0x20);
  if (u < 0xC0) return u;
  if (u <= 0xDE) return u == 0xD7 ? u : static_cast<char16_t>(u + 0x20);
  if (u >= 0x100 && u <= 0x17F) {
    // Latin Extended-A pairs capital/small as even/odd, except in 0x139-0x148 and 0x179-0x17E.
    const bool oddCapitals = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    if (u == 0x130 || u == 0x131 || u == 0x138 || u == 0x149 || u == 0x17F) return u;
    if (u == 0x178) return 0xFF;
    const bool capital = oddCapitals ? (u % 2 == 1) : (u % 2 == 0);
    return capital ? static_cast<char16_t>(u + 1) : u;
  }
  if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return static_cast<char16_t>(u + 0x20);
  if (u >= 0x410 && u <= 0x42F) return static_cast<char16_t>(u + 0x20);
  if (u >= 0x400 && u <= 0x40F) return static_cast<char16_t>(u + 0x50);
  return u;
}

}  // namespace

double ReadLeDouble(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return std::bit_cast<double>(ReadLe(bytes, offset, 8));
}

std::int32_t ReadLeInt32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLe(bytes, offset, 4)));
}

std::uint16_t ReadLeUint16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(ReadLe(bytes, offset, 2));
}

void WriteLeDouble(std::span<std::uint8_t> bytes, std::size_t offset, double value) {
  WriteLe(bytes, offset, 8, std::bit_cast<std::uint64_t>(value));
}

void WriteLeInt32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value) {
  WriteLe(bytes, offset, 4, static_cast<std::uint32_t>(value));
}

void WriteLeUint16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  WriteLe(bytes, offset, 2, value);
}

std::u16string ReadUtf16Field(std::span<const std::uint8_t> bytes, std::size_t offset,
                              std::size_t units) {
  std::u16string text;
  for (std::size_t k = 0; k < units; ++k) {
    const char16_t u = ReadLeUint16(bytes, offset + 2 * k);
    if (u == 0) break;
    text += u;
  }
  return text;
}

std::u16string CutUtf16(std::u16string_view text, std::size_t units) {
  if (text.size() <= units) return std::u16string(text);
  std::size_t n = units;
  if (n > 0 && IsHighSurrogate(text[n - 1])) --n;
  return std::u16string(text.substr(0, n));
}

void WriteUtf16Field(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t units,
                     std::u16string_view text) {
  const std::u16string cut = CutUtf16(text, units);
  for (std::size_t k = 0; k < units; ++k)
    WriteLeUint16(bytes, offset + 2 * k, k < cut.size() ? cut[k] : 0);
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file) {
  const auto text = platform::ReadWholeFile(file.string());
  if (!text) return std::nullopt;
  return std::vector<std::uint8_t>(text->begin(), text->end());
}

bool ReplaceFileContents(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  return platform::WriteFileReplacing(file.string(), std::string(bytes.begin(), bytes.end()));
}
