#pragma once
// Byte-level helpers for the coordinate system's small binary files (datum list, datum names,
// user datum, user projections): little-endian numbers, fixed UTF-16LE text fields, the
// case-insensitive comparison of stored names, and whole-file reads and replacing writes.
// Text inside the program is UTF-8; the files hold UTF-16LE code units.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

// Little-endian field access at a byte offset; the caller guarantees the span is long enough.
double ReadLeDouble(std::span<const std::uint8_t> bytes, std::size_t offset);
std::int32_t ReadLeInt32(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint16_t ReadLeUint16(std::span<const std::uint8_t> bytes, std::size_t offset);
void WriteLeDouble(std::span<std::uint8_t> bytes, std::size_t offset, double value);
void WriteLeInt32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value);
void WriteLeUint16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

// A fixed text field of `units` UTF-16 code units: zero-padded, and without terminator when
// the text fills it. Reading stops at the first zero unit.
std::u16string ReadUtf16Field(std::span<const std::uint8_t> bytes, std::size_t offset,
                              std::size_t units);
// Writes at most `units` code units (never half a surrogate pair) and zero-pads the rest.
void WriteUtf16Field(std::span<std::uint8_t> bytes, std::size_t offset, std::size_t units,
                     std::u16string_view text);
// The text cut to at most `units` code units without splitting a surrogate pair.
std::u16string CutUtf16(std::u16string_view text, std::size_t units);

// Comparison without regard to case, for names typed by the user: folds ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic capitals; other characters compare as they are.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

// The whole file, or nothing when it cannot be opened or read (platform/files.h in bytes).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file);

// Replaces the file with the bytes through a temporary file beside it and a rename, so that a
// failed write leaves the old file as it was. False when anything failed.
bool ReplaceFileContents(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
