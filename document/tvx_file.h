// The ".tvx" document file: reading, writing, appending and saving a DocumentContent.
//
// Layout: little-endian records padded with zero bytes to a block size B stated in the
// header. The writer always writes version 13 with B = 64; the reader takes versions 1 to
// 13 (later versions as 13) and any block size of at least 32. Coordinates in the file are
// WGS84 degrees (x longitude, y latitude); altitudes are centimetres. Strings from version
// 12 on are UTF-16LE with a length prefix; older files hold single-byte Windows-1252 text.
//
// A load never changes the content it was given unless it succeeds as a whole: the file is
// parsed into a staging area, checked, and only then merged. Every count, size and length
// read from the file is checked against the bytes that remain, so a damaged or hostile
// file is refused at once with a message.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/records.h"

// String id of "Error: Archivo desconocido", shown for a file whose marker is not ours.
constexpr int kStringUnknownFile = 59162;

constexpr std::uint32_t kTvxWriteVersion = 13;
constexpr std::uint32_t kTvxWriteBlockSize = 64;
constexpr std::uint32_t kTvxMinBlockSize = 32;

// Conversion of one longitude/latitude pair in place between WGS84 and the working datum.
// Both are empty while the working datum is WGS84 (datum index 0): nothing is converted.
struct DatumConversion {
  std::function<void(double& lon, double& lat)> toWorking;  // WGS84 -> working datum
  std::function<void(double& lon, double& lat)> toWgs84;    // working datum -> WGS84
};

// Why a file was refused. stringId is set where the program has a string for the case
// (kStringUnknownFile); text is always set (the program's own text for that string, or an
// English description otherwise).
struct TvxFileError {
  int stringId = 0;
  std::string text;
};

struct TvxLoadSettings {
  // Used when the working datum is not WGS84; null otherwise.
  const DatumConversion* datum = nullptr;
  // A load that leaves no feature adds this one: the preferred type ("ObjPref"), string
  // 59167 as its name, the pattern and colour the options give new features.
  FeatureRecord emptyFeature{FeatureType::Area, "Sin nombre"};
};

// What a successful load tells its caller besides the content.
struct TvxLoadInfo {
  std::uint32_t version = 0;
  std::uint32_t blockSize = 0;
  std::uint32_t firstNewFeature = 0;  // index of the first feature the file added
  // WGS84 position of the last vertex read, for the last-capture position.
  std::optional<GeoPoint> lastVertexWgs84;
  // Parts whose parent link pointed outside the file: they were loaded as plain areas.
  std::size_t partsWithoutParent = 0;
  // Vertices and waypoints left out for naming no place (document/geo_position.h).
  std::size_t positionsLeftOut = 0;
};

// Opens a file into the content: all features are replaced by the file's, the file's
// waypoints and notes are added after those already held (an open starts from a new
// document, which has none). On failure the content is unchanged and error says why.
bool ReadTvxFile(std::string_view bytes, DocumentContent& content, TvxFileError& error,
                 const TvxLoadSettings& settings = {}, TvxLoadInfo* info = nullptr);

// Imports a file into an open document: the file's features are added after the current
// ones (a document holding only one feature without vertices loses that feature first,
// unless the file has no objects), its waypoints and notes after the current ones. Parts
// of the file keep naming their own parent. On failure the content is unchanged.
bool AppendTvxFile(std::string_view bytes, DocumentContent& content, TvxFileError& error,
                   const TvxLoadSettings& settings = {}, TvxLoadInfo* info = nullptr);

// The whole file, version 13, block size 64. Waypoints are converted to WGS84 when a datum
// conversion is given; features are written from their WGS84 lists.
std::string WriteTvxFile(const DocumentContent& content, const DatumConversion* datum = nullptr);

// Writes the file beside its destination under a temporary name, flushes it to the disk and
// renames it over the destination. On failure the old file is left as it was, the temporary
// file is removed and error says what went wrong.
bool SaveTvxFileAtomically(const std::string& path, const DocumentContent& content,
                           std::string& error, const DatumConversion* datum = nullptr);

// Reads a whole file into bytes; false with a message when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error);
