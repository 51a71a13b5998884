// Every datum the program ships, against PROJ: the shift of each list entry, applied the way the
// program applies it, must put a point of the datum's area where PROJ's own transformation puts
// it. The entries are matched to PROJ's systems through the manifest the generator writes
// beside the list.
#include <gtest/gtest.h>
#include <proj.h>
#include <sqlite3.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "coords/datum_files.h"
#include "coords/transform_set.h"

namespace {

const std::filesystem::path kShippedDir = std::filesystem::path(TVX_BINARY_DIR) / "internal";
const std::filesystem::path kManifest =
    std::filesystem::path(TVX_BINARY_DIR) / "datum_catalogue.tsv";

// Entries whose single Helmert shift cannot follow PROJ closer than this, with the distance
// they are known to keep (README, "Datums"). Every other entry stays within 5 m.
constexpr double kTolerance = 5.0;
const std::map<std::string, double>& KnownResiduals() {
  static const std::map<std::string, double> known = {
      {"Arc 1950", 17.0},
      {"North American Datum 1927", 15.0},
      {"PSAD56", 9.5},
      {"South American Datum 1969", 8.0},
      {"Tete", 22.5},
  };
  return known;
}

// Datums whose every Helmert transformation to WGS 84 is superseded by a grid: they keep the
// one PROJ itself uses without the grid, so that the list's indices stay as stored.
const std::set<std::string>& KeepsSupersededFallback() {
  static const std::set<std::string> kept = {"CH1903"};
  return kept;
}

struct Entry {
  int index = 0;
  std::string datumCode, crsCode, operationCode, name;
  double lon = 0.0, lat = 0.0;
};

std::vector<Entry> ReadManifest() {
  std::vector<Entry> entries;
  std::ifstream in(kManifest);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Entry e;
    std::string index, lon, lat;
    std::getline(fields, index, '\t');
    std::getline(fields, e.datumCode, '\t');
    std::getline(fields, e.crsCode, '\t');
    std::getline(fields, e.operationCode, '\t');
    std::getline(fields, lon, '\t');
    std::getline(fields, lat, '\t');
    std::getline(fields, e.name);
    e.index = std::stoi(index);
    e.lon = std::stod(lon);
    e.lat = std::stod(lat);
    entries.push_back(e);
  }
  return entries;
}

// Distance of two nearby WGS84 positions, metres.
double Metres(double lon1, double lat1, double lon2, double lat2) {
  constexpr double kDeg = 0.017453292519943295;
  const double dy = (lat2 - lat1) * kDeg * 6371008.8;
  const double dx = (lon2 - lon1) * kDeg * 6371008.8 * std::cos((lat1 + lat2) / 2 * kDeg);
  return std::hypot(dx, dy);
}

}  // namespace

TEST(DatumCatalogue, EveryShippedDatumFollowsProj) {
  DatumCatalogue catalogue;
  ASSERT_EQ(DatumCatalogue::Open(kShippedDir, catalogue), DatumFileStatus::Ok);
  const std::vector<Entry> entries = ReadManifest();
  ASSERT_EQ(static_cast<int>(entries.size()), catalogue.DatumCount());

  PJ_CONTEXT* ctx = proj_context_create();
  proj_log_level(ctx, PJ_LOG_NONE);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(proj_context_get_database_path(ctx), &db, SQLITE_OPEN_READONLY,
                            nullptr),
            SQLITE_OK);
  sqlite3_stmt* superseded = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM supersession WHERE superseded_auth_name = "
                               "'EPSG' AND superseded_code = ?",
                               -1, &superseded, nullptr),
            SQLITE_OK);

  std::map<std::string, double> over;
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.name + " (EPSG:" + e.crsCode + ", transformation " + e.operationCode + ")");
    const DatumLoadResult loaded = catalogue.Datum(e.index);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.name, e.name);

    // EPSG has not replaced the transformation taken.
    sqlite3_reset(superseded);
    sqlite3_bind_text(superseded, 1, e.operationCode.c_str(), -1, SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(superseded), SQLITE_ROW);
    // Except where every Helmert transformation of the datum is superseded (README, "Datums").
    if (!KeepsSupersededFallback().count(e.name)) {
      EXPECT_EQ(sqlite3_column_int(superseded, 0), 0) << "a superseded transformation";
    }

    // The program's way: the datum's geographic system with its shift, to WGS84.
    CoordSettings settings;
    settings.datum = loaded.datum;
    TransformSet set = TransformSet::Build(settings);
    ASSERT_TRUE(set.Ready());
    double lon = e.lon, lat = e.lat;
    ASSERT_TRUE(set.Transform(TransformId::DatumToWgs, lon, lat));

    // PROJ's own choice at that point.
    PJ* raw = proj_create_crs_to_crs(ctx, ("EPSG:" + e.crsCode).c_str(), "EPSG:4326", nullptr);
    ASSERT_NE(raw, nullptr);
    PJ* proj = proj_normalize_for_visualization(ctx, raw);
    proj_destroy(raw);
    ASSERT_NE(proj, nullptr);
    const PJ_COORD out = proj_trans(proj, PJ_FWD, proj_coord(e.lon, e.lat, 0, 0));
    proj_destroy(proj);
    ASSERT_TRUE(std::isfinite(out.lp.lam) && std::isfinite(out.lp.phi));

    const double residual = Metres(lon, lat, out.lp.lam, out.lp.phi);
    const auto known = KnownResiduals().find(e.name);
    const double allowed = known == KnownResiduals().end() ? kTolerance : known->second;
    EXPECT_LE(residual, allowed);
    if (residual > kTolerance) over[e.name] = residual;
  }
  for (const auto& [name, residual] : over)
    std::printf("  over %.0f m: %s %.1f m\n", kTolerance, name.c_str(), residual);
  // A known distance that has gone is stale.
  for (const auto& [name, bound] : KnownResiduals())
    EXPECT_TRUE(over.count(name)) << name << " now follows PROJ within " << kTolerance << " m";

  sqlite3_finalize(superseded);
  sqlite3_close(db);
  proj_context_destroy(ctx);
}
