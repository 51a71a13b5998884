// Conversions between the program's UTF-8 text and the encodings of files and peers:
// UTF-16 (document and data files store it little-endian) and Windows-1252 (the "ANSI"
// code page of 8-bit text exports and of old document files).
// Malformed input never fails: a bad UTF-8 sequence or an unpaired surrogate becomes
// U+FFFD, and a character Windows-1252 lacks becomes '?'.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// bytes: UTF-16LE, two per code unit (an odd last byte is ignored).
std::string Utf16LeToUtf8(std::string_view bytes);

std::string Utf8ToCp1252(std::string_view utf8);
// The five bytes Windows-1252 leaves unassigned map to the C1 controls of the same value,
// as the handheld platform's own conversion does, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

}  // namespace platform
