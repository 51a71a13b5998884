#include "document/shapefile_check.h"

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/files.h"

namespace {

constexpr std::size_t kHeaderSize = 100;
constexpr std::uint32_t kFileCode = 9994;
constexpr std::uint32_t kVersion = 1000;

std::uint32_t Be32(std::string_view b, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

std::uint32_t Le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
}

std::uint32_t Le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}

bool KnownShapeType(std::uint32_t type) {
  switch (type) {
    case 0: case 1: case 3: case 5: case 8: case 11: case 13: case 15: case 18:
    case 21: case 23: case 25: case 28: case 31:
      return true;
    default:
      return false;
  }
}

bool HeaderIsSound(std::string_view file) {
  if (file.size() < kHeaderSize) return false;
  if (Be32(file, 0) != kFileCode || Le32(file, 28) != kVersion) return false;
  // The length in 16-bit words: shapelib bounds its reads by it, so the bytes must be there.
  const std::uint64_t declared = 2ull * Be32(file, 24);
  return declared >= kHeaderSize && declared <= file.size() && KnownShapeType(Le32(file, 32));
}

// Does a record's content (from its shape type on, `length` bytes) hold what its counts say?
bool ContentIsSound(std::string_view c, std::uint64_t length) {
  if (length < 4) return false;
  const std::uint32_t type = Le32(c, 0);
  const bool z = type == 11 || type == 13 || type == 15 || type == 18 || type == 31;
  const bool m = type == 21 || type == 23 || type == 25 || type == 28;
  switch (type) {
    case 0:
      return true;
    case 1: case 11: case 21:
      return length >= (z ? 28u : m ? 28u : 20u);
    case 8: case 18: case 28: {
      if (length < 40) return false;
      const std::uint64_t points = Le32(c, 36);
      std::uint64_t need = 40 + 16 * points;
      if (z) need += 16 + 8 * points;
      return points <= length && need <= length;
    }
    case 3: case 5: case 13: case 15: case 23: case 25: case 31: {
      if (length < 44) return false;
      const std::uint64_t parts = Le32(c, 36);
      const std::uint64_t points = Le32(c, 40);
      if (parts > length || points > length) return false;
      std::uint64_t need = 44 + 4 * parts + 16 * points;
      if (type == 31) need += 4 * parts;
      if (z) need += 16 + 8 * points;
      if (need > length) return false;
      // Part starts: within the points and in order.
      std::uint64_t previous = 0;
      for (std::uint64_t p = 0; p < parts; ++p) {
        const std::uint64_t start = Le32(c, 44 + 4 * p);
        if ((p == 0 && start != 0) || start < previous || (points > 0 && start >= points) ||
            (points == 0 && start != 0))
          return false;
        previous = start;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool ShapeFilesAreSound(std::string_view shp, std::string_view shx) {
  if (!HeaderIsSound(shp) || !HeaderIsSound(shx)) return false;
  const std::uint64_t shpSize = 2ull * Be32(shp, 24);
  const std::uint64_t shxSize = 2ull * Be32(shx, 24);
  if ((shxSize - kHeaderSize) % 8 != 0) return false;
  const std::uint64_t records = (shxSize - kHeaderSize) / 8;
  for (std::uint64_t i = 0; i < records; ++i) {
    const std::size_t entry = static_cast<std::size_t>(kHeaderSize + 8 * i);
    const std::uint64_t offset = 2ull * Be32(shx, entry);
    const std::uint64_t length = 2ull * Be32(shx, entry + 4);
    if (offset < kHeaderSize || offset + 8 + length > shpSize) return false;
    const std::size_t at = static_cast<std::size_t>(offset);
    // The record header in the .shp repeats the length; shapelib reads by the index's.
    if (2ull * Be32(shp, at + 4) != length) return false;
    if (!ContentIsSound(shp.substr(at + 8, static_cast<std::size_t>(length)), length)) return false;
  }
  return true;
}

bool DbfFileIsSound(std::string_view dbf) {
  constexpr std::size_t kFileHeader = 32;
  constexpr std::size_t kFieldHeader = 32;
  if (dbf.size() < kFileHeader) return false;
  // The record count as shapelib takes it: the top bit of the 32-bit count is left out.
  const std::uint64_t records = Le32(dbf, 4) & 0x7FFFFFFFu;
  const std::uint64_t headerLength = Le16(dbf, 8);
  const std::uint64_t recordLength = Le16(dbf, 10);
  // Shapelib reads the descriptors as one block of headerLength - 32 bytes: none at all fails.
  if (headerLength < kFileHeader + 1 || headerLength > dbf.size() || recordLength < 1) return false;
  // Every declared record must be there: shapelib reads a record by its number.
  if (headerLength + records * recordLength > dbf.size()) return false;
  const std::uint64_t descriptors = (headerLength - kFileHeader) / kFieldHeader;
  std::uint64_t offset = 1;  // the deletion flag comes first
  for (std::uint64_t k = 0; k < descriptors; ++k) {
    const std::size_t at = static_cast<std::size_t>(kFileHeader + kFieldHeader * k);
    if (static_cast<unsigned char>(dbf[at]) == 0x0D) break;
    // A field's width is byte 16 alone, whatever its type, as shapelib reads it: byte 17 is
    // the decimal count of numbers, and other programs put values there for texts too.
    offset += static_cast<unsigned char>(dbf[at + 16]);
    if (offset > recordLength) return false;
  }
  return true;
}

namespace {

// The file shapelib opens for base + extension: the lower-case extension, else the upper.
std::optional<std::string> ReadLikeShapelib(const std::string& base, std::string_view lower,
                                            std::string_view upper) {
  if (auto bytes = platform::ReadWholeFile(base + std::string(lower))) return bytes;
  return platform::ReadWholeFile(base + std::string(upper));
}

std::string BaseOf(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

}  // namespace

bool ShapefileAtPathIsSound(const std::string& shpPath) {
  const std::string base = BaseOf(shpPath);
  const auto shp = ReadLikeShapelib(base, ".shp", ".SHP");
  const auto shx = ReadLikeShapelib(base, ".shx", ".SHX");
  return shp && shx && ShapeFilesAreSound(*shp, *shx);
}

DbfTable DbfAtPath(const std::string& dbfPath) {
  const std::string base = BaseOf(dbfPath);
  if (const auto dbf = ReadLikeShapelib(base, ".dbf", ".DBF")) {
    return DbfFileIsSound(*dbf) ? DbfTable::Sound : DbfTable::Damaged;
  }
  std::error_code error;
  const bool exists = std::filesystem::exists(base + ".dbf", error) ||
                      std::filesystem::exists(base + ".DBF", error);
  return exists ? DbfTable::Damaged : DbfTable::Missing;
}

bool DbfAtPathIsSoundOrMissing(const std::string& dbfPath) {
  return DbfAtPath(dbfPath) != DbfTable::Damaged;
}
