#pragma once
// A datum as the program keeps and stores it: an ellipsoid and a seven-parameter (Helmert)
// shift from that datum to WGS84 in the position-vector convention that GDAL's SetTOWGS84
// takes (translations in metres, rotations in arc-seconds, scale in parts per million).
//
// On disk a DatumRecord is 80 bytes, little-endian:
//   0 a, 8 b (metres), 16 dX, 24 dY, 32 dZ, 40 RX, 48 RY, 56 RZ, 64 S (doubles),
//   72 datum index (int32), 76 ellipsoid code (2 UTF-16 code units, "WE" for WGS84).
// The list file stores the seven shift values negated; the user datum file stores them as used
// (see coords/datum_files.h). This header has no GDAL dependency: the build-time generator of
// the datum list uses it too.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

inline constexpr std::size_t kDatumRecordSize = 80;

// Datum indices (the option "Datum"): 0 WGS84, 1-270 the shipped list, 271 the user datum.
inline constexpr std::int32_t kWgs84DatumIndex = 0;
inline constexpr std::int32_t kFirstListDatumIndex = 1;
inline constexpr std::int32_t kLastListDatumIndex = 270;
inline constexpr std::int32_t kUserDatumIndex = 271;
// The names file holds one name per index 0-271.
inline constexpr std::int32_t kDatumNameCount = 272;

struct DatumRecord {
  double a = 6378137.0;     // semi-major axis, metres
  double b = 6356752.314;   // semi-minor axis, metres
  double dX = 0.0, dY = 0.0, dZ = 0.0;  // metres
  double rX = 0.0, rY = 0.0, rZ = 0.0;  // arc-seconds
  double s = 0.0;                       // parts per million
  std::int32_t index = kWgs84DatumIndex;
  std::array<char16_t, 2> code{u'W', u'E'};  // ellipsoid code, two letters or zeros

  // The seven shift values in SetTOWGS84 order.
  std::array<double, 7> Shift() const { return {dX, dY, dZ, rX, rY, rZ, s}; }
  void SetShift(const std::array<double, 7>& shift);
  // Flips the sign of the seven shift values (the list file's convention).
  void NegateShift();
  // The ellipsoid code as UTF-8 text without padding ("WE").
  std::string CodeText() const;
  void SetCodeText(const std::string& utf8);

  friend bool operator==(const DatumRecord&, const DatumRecord&) = default;
};

// WGS84 as the program shows it for index 0 (a, b as above, no shift, code "WE").
DatumRecord Wgs84DatumRecord();

// True when the values can describe a flattened ellipsoid and a shift: every number finite,
// 0 < b < a. A sphere (a == b) is refused too: UTM, the system every failed set-up falls back
// to, is not defined on a sphere. A record failing this is refused wherever it is read.
bool IsUsableDatum(const DatumRecord& datum);

// Inverse flattening of a usable datum's ellipsoid, 1 / (1 - b/a).
double InverseFlattening(const DatumRecord& datum);

void EncodeDatumRecord(const DatumRecord& datum, std::span<std::uint8_t, kDatumRecordSize> out);
DatumRecord DecodeDatumRecord(std::span<const std::uint8_t, kDatumRecordSize> bytes);
