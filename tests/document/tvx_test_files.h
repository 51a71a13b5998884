// Builds document files byte by byte from the file layout, independently of the program's
// writer, so that tests and the fuzz seeds can hold files of every version.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace tvxtest {

class TvxBuilder {
 public:
  TvxBuilder(std::uint32_t version, std::uint32_t block, std::string_view marker = "*TVX*")
      : version_(version), block_(block) {
    Raw(marker.substr(0, 5));
    U8(0);
    U32(version);
    U32(block);
    PadRecord(0, block);
    U32(1000);
    U32(1000);
    PadRecord(block, block);
  }

  void Counts(std::uint32_t notes, std::uint32_t reserved1, std::uint32_t reserved2,
              std::uint32_t objects) {
    const std::size_t start = bytes.size();
    U32(notes), U32(reserved1), U32(reserved2), U32(objects);
    PadRecord(start, block_);
  }

  // A waypoint note: UTF-16 from version 12, else Windows-1252 bytes filling five blocks.
  void Note(std::u16string_view utf16, std::string_view cp1252 = {}) {
    const std::size_t start = bytes.size();
    if (version_ >= 12) {
      Utf16(utf16);
      Zeros(block_ - 4);
    } else {
      U8(static_cast<std::uint8_t>(cp1252.size()));
      Raw(cp1252);
      PadRecord(start, 5 * block_);
    }
  }

  void ReservedBlock() { Zeros(block_); }

  void ObjectHeader(std::uint32_t type, std::uint32_t colour, std::uint32_t names,
                    std::uint32_t vertices, std::uint8_t pattern = 0, std::uint8_t visible = 1,
                    std::uint8_t editable = 1, std::uint32_t link = 0,
                    std::uint32_t subtract = 0) {
    const std::size_t start = bytes.size();
    U32(type), U32(colour), U32(names), U32(vertices);
    U8(pattern), U8(visible), U8(editable);
    if (version_ >= 13) U32(link), U32(subtract);
    PadRecord(start, block_);
  }

  void Name(std::u16string_view utf16, std::string_view cp1252 = {}) {
    const std::size_t start = bytes.size();
    U8(1);
    if (version_ >= 12) {
      Utf16(utf16);
      Zeros(block_ - 5);
    } else {
      U8(static_cast<std::uint8_t>(cp1252.size()));
      Raw(cp1252);
      PadRecord(start, block_);
    }
  }

  // Coordinates in degrees; versions 1 and 2 store milliarcseconds.
  void Vertex(double x, double y, std::int32_t value, std::u16string_view note16 = {},
              std::string_view note6 = {}) {
    const std::size_t start = bytes.size();
    U16(1), U32(0);
    Position(x, y);
    I32(value);
    if (version_ < 3) {
      U16(0);
      PadRecord(start, block_);
    } else if (version_ < 12) {
      std::string fixed(note6.substr(0, 6));
      fixed.resize(6, '\0');
      Raw(fixed);
      PadRecord(start, block_);
    } else {
      Utf16(note16);
      Zeros(block_ - 30);
    }
  }

  void WaypointPoint(std::int32_t stamp, double x, double y, std::int32_t altitude) {
    const std::size_t start = bytes.size();
    U16(1), I32(stamp);
    Position(x, y);
    I32(altitude);
    U16(0);
    PadRecord(start, block_);
  }

  void U8(std::uint8_t v) { bytes.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) { Le(v, 2); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void I32(std::int32_t v) { Le(static_cast<std::uint32_t>(v), 4); }
  void F64(double v) { Le(std::bit_cast<std::uint64_t>(v), 8); }
  void Zeros(std::size_t n) { bytes.append(n, '\0'); }
  void Raw(std::string_view b) { bytes.append(b); }

  std::string bytes;

 private:
  void Le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void PadRecord(std::size_t start, std::size_t size) {
    if (bytes.size() < start + size) Zeros(start + size - bytes.size());
  }
  void Utf16(std::u16string_view s) {
    U8(0xFF), U16(0xFFFE), U8(static_cast<std::uint8_t>(s.size()));
    for (char16_t c : s) U16(c);
  }
  void Position(double x, double y) {
    if (version_ < 3) {
      I32(static_cast<std::int32_t>(x * 3600000.0));
      I32(static_cast<std::int32_t>(y * 3600000.0));
    } else {
      F64(x), F64(y);
    }
  }

  std::uint32_t version_;
  std::uint32_t block_;
};

// Small valid files of the old layouts: version 2 (integer coordinates), 11 (single-byte
// names, six-byte vertex notes), 12 (UTF-16 text, no part links), each with a feature of
// two vertices, a waypoint and its note.
inline std::string LegacyFile(std::uint32_t version, std::uint32_t block = 64) {
  TvxBuilder b(version, block);
  b.Counts(1, 0, 0, 2);
  b.Note(u"Pozo", "Pozo");
  b.ObjectHeader(5, 0x00FF00, 1, 2, 3, 1, 0);
  b.Name(u"Campo", "Campo");
  b.Vertex(1.0, 40.5, 12345, u"", "abcdef");
  b.Vertex(-2.25, 41.0, -200, u"n2", "n2");
  b.ObjectHeader(1, 7, 1, 1);
  b.Name(u"Fuente", "Fuente");
  b.WaypointPoint(1000000000, 2.5, 39.75, 9900);
  return b.bytes;
}

}  // namespace tvxtest
