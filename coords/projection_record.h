#pragma once
// A user projection and the file of stored ones ("internal/tvxprj.bin").
//
// ProjectionRecord, 128 bytes little-endian, the same in memory and in the file:
//   0   p1..p8, eight doubles: the method's parameters in the order of its GDAL setter's
//       arguments (angles in decimal degrees, lengths in the projection's units); 0 if unused
//   64  name, 30 UTF-16 units, zero-padded, no terminator when full
//   124 reserved (2 bytes, 0)   126 kind (ProjectionKind)   127 reserved (0)
// Kind 38 keeps an EPSG code in p1, kind 43 a US State Plane zone in p1.
//
// The file has no header: a sequence of records, newest first, rewritten whole on each store.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t kProjectionRecordSize = 128;
inline constexpr std::size_t kProjectionNameUnits = 30;
inline constexpr const char* kProjectionFileName = "tvxprj.bin";

// The index in the method list of the projection dialog.
enum class ProjectionKind : std::uint8_t {
  AlbersConicEqualArea = 0,
  AzimuthalEquidistant,
  Bonne,
  CylindricalEqualArea,
  CassiniSoldner,
  EquidistantConic,
  EckertIV,
  EckertVI,
  Equirectangular,
  GeostationarySatellite,
  GoodeHomolosine,
  GallStereographic,
  Gnomonic,
  HotineObliqueMercator,
  HotineObliqueMercatorTwoPoint,
  Krovak,
  LambertAzimuthalEqualArea,
  LambertConformalConic2SP,
  LambertConformalConic1SP,
  LambertConformalConicBelgium,
  MillerCylindrical,
  Mercator1SP,
  Mercator2SP,
  Mollweide,
  NewZealandMapGrid,
  ObliqueStereographic,
  Orthographic,
  Polyconic,
  PolarStereographic,
  Robinson,
  Sinusoidal,
  Stereographic,
  SwissObliqueCylindrical,
  TransverseMercator,
  TunisiaMiningGrid,
  TransverseMercatorSouthOrientated,
  TwoPointEquidistant,
  VanDerGrinten,
  EpsgCode,             // 38: p1 = EPSG code
  MaidenheadGrid,       // 39-42: grid references over UTM
  Mgrs,
  BritishNationalGrid,
  Georef,
  UsStatePlane,         // 43: p1 = zone, NAD83
};
inline constexpr int kProjectionKindCount = 44;
// Kinds above this one are grid references or State Plane (built before any naming).
inline constexpr int kLastNamedProjectionKind = 38;

struct ProjectionRecord {
  std::array<double, 8> p{};
  std::array<char16_t, kProjectionNameUnits> name{};
  std::uint8_t kind = 0;

  ProjectionKind Kind() const { return static_cast<ProjectionKind>(kind); }
  std::u16string Name16() const;
  std::string Name() const;  // UTF-8
  // Keeps the first 30 UTF-16 units (no terminator when the name fills the field).
  void SetName(std::u16string_view name16);
  void SetName(const std::string& utf8);

  friend bool operator==(const ProjectionRecord&, const ProjectionRecord&) = default;
};

void EncodeProjectionRecord(const ProjectionRecord& record,
                            std::span<std::uint8_t, kProjectionRecordSize> out);
ProjectionRecord DecodeProjectionRecord(std::span<const std::uint8_t, kProjectionRecordSize> bytes);

// A record the program can use: a known kind and finite parameters.
bool IsUsableProjection(const ProjectionRecord& record);

// The stored projections as the projection dialog keeps them while it is open.
class ProjectionList {
 public:
  struct LoadResult {
    bool fileFound = false;
    std::size_t skippedRecords = 0;  // unknown kind or unusable numbers: left out
    std::size_t ignoredBytes = 0;    // trailing bytes shorter than a record
  };

  // CDlgProjection::LoadProjections: replaces the list with the file's usable records.
  // A missing file gives an empty list.
  LoadResult Load(const std::filesystem::path& file);
  // CDlgProjection::SaveProjections: rewrites the whole file through a temporary file; false
  // (and the old file untouched) when it cannot be written.
  bool Save(const std::filesystem::path& file) const;

  // CDlgProjection::StoreProjection: the record, named `name` (cut to 30 units), goes to the
  // front; then the first later entry with the same name, compared without regard to case,
  // is removed, so a name stored again replaces its older entry.
  void Store(ProjectionRecord record, std::u16string_view name);
  // CDlgProjection::OnDeleteProjection; false for an index out of range.
  bool Remove(std::size_t index);
  void Clear() { records_.clear(); }

  const std::vector<ProjectionRecord>& Records() const { return records_; }
  bool Empty() const { return records_.empty(); }
  std::vector<std::string> Names() const;  // UTF-8, list order

 private:
  std::vector<ProjectionRecord> records_;
};

// CTolvanixDoc::LoadProjection: the newest stored projection. fileFound is false when the
// file cannot be opened; record is empty when it holds no usable first record.
struct NewestProjection {
  bool fileFound = false;
  bool hasRecord = false;
  ProjectionRecord record;
};
NewestProjection ReadNewestProjection(const std::filesystem::path& file);
