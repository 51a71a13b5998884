// Builds the shipped datum list from PROJ's database (proj.db):
//   tvxdatum.bin   270 DatumRecords; record k-1 is datum k, the seven shift values negated
//   tvxdtmlist.bin 272 names of 30 UTF-16 units; 0 "WGS84 / GRS80", 1-270 the list,
//                  271 "User defined" (a placeholder the datum page replaces)
//
// Which datums: every non-deprecated EPSG geodetic datum on the Greenwich meridian that has a
// geographic 2D system with a three- or seven-parameter Helmert transformation to WGS 84
// (EPSG:4326; methods 9603 geocentric translations, 9606 position vector, 9607 coordinate frame).
// Transformations that EPSG has superseded are never taken where another exists. Per datum the one PROJ would use
// for the datum's area is taken: the first of the datum's remaining Helmert transformations in
// PROJ's order of preference (see ChooseDatums). Datums whose shift is not zero come first,
// then those that coincide with WGS 84, each group by the width of the widest area of use
// (widest first, then datum code); the first 270 are kept and listed by name.
// A name longer than the 30-unit field is replaced by the short name of its geographic
// system (ED50, NAD83(CSRS) ...) when that fits.
//
// Output is deterministic for a given proj.db. With --manifest the generator also writes, one
// line per entry, the datum, geographic system and transformation codes and a point inside the
// transformation's area of use (tab-separated), for the tests.
// Usage: tvx_datum_gen [--db proj.db] --out DIR [--manifest FILE]

#include <sqlite3.h>

#include <proj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coords/datum_record.h"
#include "coords/proj_helmert.h"
#include "coords/record_io.h"

namespace {

constexpr std::size_t kNameUnits = 30;
constexpr std::size_t kNameBytes = 2 * kNameUnits;
constexpr double kArcSecondInRadians = 4.84813681109535993e-06;
constexpr const char* kArcSecondUnit = "9104";
constexpr const char* kPpmUnit = "9202";

struct Candidate {
  long long operationCode = 0;
  long long datumCode = 0;
  std::string datumName;
  std::string crsName;
  std::string crsCode;
  DatumRecord datum;  // shifts as used (position vector), not yet negated
  long long ellipsoidCode = 0;
  double accuracy = 1e30;  // metres; unknown accuracy sorts last
  double area = 0.0;       // width of the area of use, steradians
  // The widest area of use as a box, degrees (west may exceed east across the antimeridian).
  double south = 0.0, north = 0.0, west = 0.0, east = 0.0;
  bool superseded = false;  // EPSG has replaced it (supersession table)
};

// Two-letter ellipsoid codes of the classic (DMA/NIMA) ellipsoid table, by EPSG ellipsoid
// code. MGRS chooses its older lettering for CC, CD, BR and BN. Ellipsoids without a code in
// that table get none.
const std::map<long long, const char*>& EllipsoidCodes() {
  static const std::map<long long, const char*> codes = {
      {7001, "AA"}, {7002, "AM"}, {7003, "AN"}, {7004, "BR"}, {7006, "BN"}, {7046, "BN"},
      {7008, "CC"}, {7011, "CD"}, {7012, "CD"}, {7013, "CD"}, {7034, "CD"}, {7015, "EA"},
      {7044, "EC"}, {7020, "HE"}, {7053, "HO"}, {7021, "ID"}, {7022, "IN"}, {7024, "KA"},
      {7019, "RF"}, {7050, "SA"}, {7043, "WD"}, {7030, "WE"},
  };
  return codes;
}

class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "datum_gen: cannot open %s: %s\n", path.c_str(),
                   db_ ? sqlite3_errmsg(db_) : "out of memory");
      sqlite3_close(db_);
      db_ = nullptr;
    }
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Unit conversion factor of a unit of measure (to metres, radians or unity).
std::map<std::string, double> UnitFactors(sqlite3* db) {
  std::map<std::string, double> factors;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT code, conv_factor FROM unit_of_measure WHERE auth_name='EPSG'",
                         -1, &st, nullptr) != SQLITE_OK)
    return factors;
  while (sqlite3_step(st) == SQLITE_ROW) {
    if (sqlite3_column_type(st, 1) == SQLITE_NULL) continue;
    factors[reinterpret_cast<const char*>(sqlite3_column_text(st, 0))] =
        sqlite3_column_double(st, 1);
  }
  sqlite3_finalize(st);
  return factors;
}

constexpr const char* kCandidateQuery = R"SQL(
SELECT h.code, d.code, d.name, c.name, h.method_code,
       h.tx, h.ty, h.tz, h.translation_uom_code,
       h.rx, h.ry, h.rz, h.rotation_uom_code,
       h.scale_difference, h.scale_difference_uom_code, h.accuracy,
       e.code, e.semi_major_axis, e.uom_code, e.inv_flattening, e.semi_minor_axis,
       x.south_lat, x.north_lat, x.west_lon, x.east_lon, c.code,
       EXISTS (SELECT 1 FROM supersession s
               WHERE s.superseded_table_name = 'helmert_transformation'
                 AND s.superseded_auth_name = h.auth_name AND s.superseded_code = h.code)
FROM helmert_transformation_table h
JOIN geodetic_crs c ON c.auth_name = h.source_crs_auth_name AND c.code = h.source_crs_code
JOIN geodetic_datum d ON d.auth_name = c.datum_auth_name AND d.code = c.datum_code
JOIN ellipsoid e ON e.auth_name = d.ellipsoid_auth_name AND e.code = d.ellipsoid_code
LEFT JOIN usage u ON u.object_table_name = 'helmert_transformation'
                 AND u.object_auth_name = h.auth_name AND u.object_code = h.code
LEFT JOIN extent x ON x.auth_name = u.extent_auth_name AND x.code = u.extent_code
WHERE h.auth_name = 'EPSG' AND h.deprecated = 0
  AND h.target_crs_auth_name = 'EPSG' AND h.target_crs_code = '4326'
  AND h.method_auth_name = 'EPSG' AND h.method_code IN ('9603', '9606', '9607')
  AND c.type = 'geographic 2D' AND c.deprecated = 0 AND d.deprecated = 0
  AND d.prime_meridian_auth_name = 'EPSG' AND d.prime_meridian_code = '8901'
ORDER BY h.code
)SQL";

double ColumnDouble(sqlite3_stmt* st, int col, double fallback) {
  return sqlite3_column_type(st, col) == SQLITE_NULL ? fallback : sqlite3_column_double(st, col);
}

std::string ColumnText(sqlite3_stmt* st, int col) {
  const unsigned char* text = sqlite3_column_text(st, col);
  return text ? reinterpret_cast<const char*>(text) : "";
}

// Area of a latitude/longitude box on the unit sphere; a box may cross the antimeridian.
double BoxArea(double south, double north, double west, double east) {
  const double width = east >= west ? east - west : 360.0 + east - west;
  const double d2r = M_PI / 180.0;
  return (std::sin(north * d2r) - std::sin(south * d2r)) * width * d2r;
}

std::optional<std::vector<Candidate>> ReadCandidates(sqlite3* db) {
  const auto factors = UnitFactors(db);
  auto factor = [&](const std::string& code) -> std::optional<double> {
    auto it = factors.find(code);
    if (it == factors.end()) return std::nullopt;
    return it->second;
  };
  const double arcSecond = factor(kArcSecondUnit).value_or(kArcSecondInRadians);
  const double ppm = factor(kPpmUnit).value_or(1e-6);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, kCandidateQuery, -1, &st, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "datum_gen: query failed: %s\n", sqlite3_errmsg(db));
    return std::nullopt;
  }
  std::map<long long, Candidate> byOperation;
  while (sqlite3_step(st) == SQLITE_ROW) {
    const long long opCode = sqlite3_column_int64(st, 0);
    auto keepWidestBox = [st](Candidate& c) {
      if (sqlite3_column_type(st, 21) == SQLITE_NULL) return;
      const double south = sqlite3_column_double(st, 21), north = sqlite3_column_double(st, 22);
      const double west = sqlite3_column_double(st, 23), east = sqlite3_column_double(st, 24);
      const double area = BoxArea(south, north, west, east);
      if (area <= c.area) return;
      c.area = area;
      c.south = south;
      c.north = north;
      c.west = west;
      c.east = east;
    };
    auto found = byOperation.find(opCode);
    if (found != byOperation.end()) {
      keepWidestBox(found->second);  // several areas of use
      continue;
    }
    Candidate c;
    c.operationCode = opCode;
    c.datumCode = sqlite3_column_int64(st, 1);
    c.datumName = ColumnText(st, 2);
    c.crsName = ColumnText(st, 3);
    c.crsCode = ColumnText(st, 25);
    c.superseded = sqlite3_column_int(st, 26) != 0;
    const std::string method = ColumnText(st, 4);

    const auto lengthFactor = factor(ColumnText(st, 8));
    std::optional<double> rotationFactor = 1.0, scaleFactor = 1.0;
    if (sqlite3_column_type(st, 12) != SQLITE_NULL) rotationFactor = factor(ColumnText(st, 12));
    if (sqlite3_column_type(st, 14) != SQLITE_NULL) scaleFactor = factor(ColumnText(st, 14));
    const auto axisFactor = factor(ColumnText(st, 18));
    if (!lengthFactor || !rotationFactor || !scaleFactor || !axisFactor) continue;

    // Rotations to arc-seconds, scale to parts per million; a value already in those units
    // is kept exactly.
    const double toArcSeconds = *rotationFactor / arcSecond;
    const double toPpm = *scaleFactor / ppm;
    std::array<double, 7> shift = {
        ColumnDouble(st, 5, 0) * *lengthFactor,  ColumnDouble(st, 6, 0) * *lengthFactor,
        ColumnDouble(st, 7, 0) * *lengthFactor,  ColumnDouble(st, 9, 0) * toArcSeconds,
        ColumnDouble(st, 10, 0) * toArcSeconds, ColumnDouble(st, 11, 0) * toArcSeconds,
        ColumnDouble(st, 13, 0) * toPpm};
    // The coordinate-frame convention turns the rotations the other way.
    if (method == "9607")
      for (int k = 3; k < 6; ++k) shift[k] = -shift[k];
    for (double& v : shift)
      if (v == 0.0) v = 0.0;  // no negative zeros in the output
    c.datum.SetShift(shift);

    c.ellipsoidCode = sqlite3_column_int64(st, 16);
    c.datum.a = sqlite3_column_double(st, 17) * *axisFactor;
    if (sqlite3_column_type(st, 20) != SQLITE_NULL) {
      c.datum.b = sqlite3_column_double(st, 20) * *axisFactor;
    } else {
      const double rf = ColumnDouble(st, 19, 0.0);
      c.datum.b = rf == 0.0 ? c.datum.a : c.datum.a * (1.0 - 1.0 / rf);
    }
    const auto code = EllipsoidCodes().find(c.ellipsoidCode);
    c.datum.SetCodeText(code == EllipsoidCodes().end() ? "" : code->second);
    c.accuracy = ColumnDouble(st, 15, 1e30);
    keepWidestBox(c);
    if (!IsUsableDatum(c.datum)) continue;
    byOperation.emplace(opCode, std::move(c));
  }
  sqlite3_finalize(st);
  std::vector<Candidate> all;
  for (auto& [code, c] : byOperation) all.push_back(std::move(c));
  return all;
}

bool HasShift(const DatumRecord& d) {
  for (double v : d.Shift())
    if (v != 0.0) return true;
  return false;
}

// One transformation per datum, the one PROJ would use for the datum's area: among the datum's
// Helmert transformations that EPSG has not superseded, the first in PROJ's order of preference
// (ProjTransformationsToWgs84). Where PROJ prefers a grid or another method, that is its best
// Helmert. A datum whose every Helmert transformation is superseded keeps PROJ's own fallback.
std::vector<Candidate> ChooseDatums(PJ_CONTEXT* ctx, std::vector<Candidate> all) {
  std::map<long long, std::vector<Candidate>> byDatum;
  for (auto& c : all) byDatum[c.datumCode].push_back(std::move(c));

  // Without PROJ's answer: widest area, then best accuracy, then lowest code.
  auto wider = [](const Candidate& x, const Candidate& y) {
    if (x.area != y.area) return x.area > y.area;
    if (x.accuracy != y.accuracy) return x.accuracy < y.accuracy;
    return x.operationCode < y.operationCode;
  };
  std::vector<Candidate> datums;
  std::map<long long, double> datumArea;  // widest area of the datum's usable transformations
  for (auto& [code, candidates] : byDatum) {
    const std::string name = candidates.front().datumName;
    // A datum whose every Helmert transformation is superseded (by a grid) keeps its place in
    // the list, so the stored datum choices keep their meaning; it takes the one PROJ itself
    // falls back to where the grid is not installed.
    std::vector<Candidate> current = candidates;
    std::erase_if(current, [](const Candidate& c) { return c.superseded; });
    if (current.empty())
      std::printf("datum_gen: %s: every Helmert transformation to WGS 84 is superseded; "
                  "taking PROJ's own fallback\n",
                  name.c_str());
    else
      candidates = std::move(current);
    std::sort(candidates.begin(), candidates.end(), wider);
    const Candidate* chosen = nullptr;
    if (const auto order = ProjTransformationsToWgs84(ctx, "EPSG", candidates.front().crsCode)) {
      for (const ProjHelmert& h : order->helmerts) {
        if (h.authority != "EPSG") continue;
        const auto it = std::find_if(candidates.begin(), candidates.end(), [&](const Candidate& c) {
          return std::to_string(c.operationCode) == h.code;
        });
        if (it != candidates.end()) {
          chosen = &*it;
          break;
        }
      }
    }
    if (!chosen) chosen = &candidates.front();
    datumArea[code] = candidates.front().area;
    datums.push_back(*chosen);
  }
  std::sort(datums.begin(), datums.end(), [&](const Candidate& x, const Candidate& y) {
    if (HasShift(x.datum) != HasShift(y.datum)) return HasShift(x.datum);
    const double ax = datumArea[x.datumCode], ay = datumArea[y.datumCode];
    if (ax != ay) return ax > ay;
    return x.datumCode < y.datumCode;
  });
  if (datums.size() > static_cast<std::size_t>(kLastListDatumIndex))
    datums.resize(kLastListDatumIndex);
  return datums;
}

std::u16string DisplayName(const Candidate& c) {
  const std::u16string datumName = Utf8ToUtf16(c.datumName);
  if (datumName.size() <= kNameUnits) return datumName;
  const std::u16string crsName = Utf8ToUtf16(c.crsName);
  if (!crsName.empty() && crsName.size() <= kNameUnits) return crsName;
  return CutUtf16(datumName, kNameUnits);
}

std::string CaseFolded(std::u16string_view text) {
  std::string folded = Utf16ToUtf8(text);
  for (char& ch : folded)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return folded;
}

std::string DefaultDatabasePath() {
  // PROJ's own search path: the first folder that holds proj.db.
  const PJ_INFO info = proj_info();
  std::string paths = info.searchpath ? info.searchpath : "";
  std::size_t start = 0;
  while (start <= paths.size()) {
    std::size_t end = paths.find(':', start);
    if (end == std::string::npos) end = paths.size();
    const std::filesystem::path candidate =
        std::filesystem::path(paths.substr(start, end - start)) / "proj.db";
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
    start = end + 1;
  }
  return "/usr/share/proj/proj.db";
}

}  // namespace

int main(int argc, char** argv) {
  std::string dbPath;
  std::filesystem::path outDir, manifestPath;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--db") dbPath = argv[i + 1];
    else if (option == "--out") outDir = argv[i + 1];
    else if (option == "--manifest") manifestPath = argv[i + 1];
  }
  if (outDir.empty()) {
    std::fprintf(stderr, "usage: tvx_datum_gen [--db proj.db] --out DIR [--manifest FILE]\n");
    return 2;
  }
  if (dbPath.empty()) dbPath = DefaultDatabasePath();
  std::unique_ptr<PJ_CONTEXT, decltype(&proj_context_destroy)> ctx(proj_context_create(),
                                                                   &proj_context_destroy);
  if (!ctx || !proj_context_set_database_path(ctx.get(), dbPath.c_str(), nullptr, nullptr)) {
    std::fprintf(stderr, "datum_gen: PROJ cannot use %s\n", dbPath.c_str());
    return 1;
  }
  proj_log_level(ctx.get(), PJ_LOG_NONE);

  Database db(dbPath);
  if (!db.get()) return 1;
  auto candidates = ReadCandidates(db.get());
  if (!candidates) return 1;
  std::vector<Candidate> datums = ChooseDatums(ctx.get(), std::move(*candidates));
  if (datums.empty()) {
    std::fprintf(stderr, "datum_gen: no datum with a Helmert transformation to WGS 84 in %s\n",
                 dbPath.c_str());
    return 1;
  }
  std::stable_sort(datums.begin(), datums.end(), [](const Candidate& x, const Candidate& y) {
    const std::string fx = CaseFolded(DisplayName(x)), fy = CaseFolded(DisplayName(y));
    if (fx != fy) return fx < fy;
    return x.datumCode < y.datumCode;
  });

  std::vector<std::uint8_t> records(datums.size() * kDatumRecordSize);
  std::vector<std::uint8_t> names(static_cast<std::size_t>(kDatumNameCount) * kNameBytes, 0);
  WriteUtf16Field(names, 0, kNameUnits, u"WGS84 / GRS80");
  for (std::size_t k = 0; k < datums.size(); ++k) {
    DatumRecord stored = datums[k].datum;
    stored.index = static_cast<std::int32_t>(k + 1);
    stored.NegateShift();  // the list file keeps the shift with the opposite sign
    EncodeDatumRecord(stored, std::span<std::uint8_t, kDatumRecordSize>(
                                  records.data() + k * kDatumRecordSize, kDatumRecordSize));
    WriteUtf16Field(names, (k + 1) * kNameBytes, kNameUnits, DisplayName(datums[k]));
  }
  WriteUtf16Field(names, static_cast<std::size_t>(kUserDatumIndex) * kNameBytes, kNameUnits,
                  u"User defined");

  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  if (!ReplaceFileContents(outDir / "tvxdatum.bin", records) ||
      !ReplaceFileContents(outDir / "tvxdtmlist.bin", names)) {
    std::fprintf(stderr, "datum_gen: cannot write the datum files into %s\n",
                 outDir.string().c_str());
    return 1;
  }
  if (!manifestPath.empty()) {
    // For the tests: what each entry was made from, and a point inside its area of use.
    std::string text = "# index\tdatum\tgeographic system\ttransformation\tlon\tlat\tname\n";
    for (std::size_t k = 0; k < datums.size(); ++k) {
      const Candidate& c = datums[k];
      const double width = c.east >= c.west ? c.east - c.west : 360.0 + c.east - c.west;
      double lon = c.west + width / 2.0;
      if (lon > 180.0) lon -= 360.0;
      char line[512];
      std::snprintf(line, sizeof line, "%zu\t%lld\t%s\t%lld\t%.6f\t%.6f\t%s\n", k + 1,
                    c.datumCode, c.crsCode.c_str(), c.operationCode, lon,
                    (c.south + c.north) / 2.0, Utf16ToUtf8(DisplayName(c)).c_str());
      text += line;
    }
    if (!ReplaceFileContents(manifestPath,
                             std::vector<std::uint8_t>(text.begin(), text.end()))) {
      std::fprintf(stderr, "datum_gen: cannot write %s\n", manifestPath.string().c_str());
      return 1;
    }
  }
  std::printf("datum_gen: %zu datums from %s\n", datums.size(), dbPath.c_str());
  if (datums.size() < static_cast<std::size_t>(kLastListDatumIndex))
    std::printf("datum_gen: note: fewer than %d datums available; names %zu-%d are empty\n",
                kLastListDatumIndex, datums.size() + 1, kLastListDatumIndex);
  return 0;
}
