// Shapefiles damaged on the way: the import refuses a trio whose index or records point
// outside the files before shapelib reads them, and leaves a damaged table unread (the
// shapes come in unnamed); sound files, as shapelib writes them, come in whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "document/export_shapefile.h"
#include "document/shapefile_check.h"
#include "tests/exports/export_test_support.h"

namespace {

namespace fs = std::filesystem;

// The seed trios of the shapefile fuzz target: a u32 length and the .shp, a u32 length and
// the .shx, then the .dbf.
struct Trio {
  std::string shp, shx, dbf;
};

Trio Seed(const std::string& name) {
  std::ifstream in(std::string(TVX_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_shapefile/" + name,
                   std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string rest = all.str();
  auto take = [&rest] {
    std::uint32_t n = 0;
    for (int k = 3; k >= 0; --k) n = n << 8 | static_cast<unsigned char>(rest[k]);
    std::string part = rest.substr(4, n);
    rest.erase(0, 4 + n);
    return part;
  };
  Trio trio;
  trio.shp = take();
  trio.shx = take();
  trio.dbf = rest;
  return trio;
}

ShpImportResult Import(const Trio& trio, int* asked = nullptr) {
  const fs::path dir = fs::temp_directory_path() / ("tvx_shp_damage_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string base = (dir / "walk").string();
  std::ofstream(base + ".shp", std::ios::binary) << trio.shp;
  std::ofstream(base + ".shx", std::ios::binary) << trio.shx;
  if (!trio.dbf.empty()) std::ofstream(base + ".dbf", std::ios::binary) << trio.dbf;
  else fs::remove(base + ".dbf");
  exports_test::FakeSource source;
  source.datumIndex = 0;
  ShpImportSettings settings;
  const ShpImportResult result = ImportShapefile(
      base + ".shp", settings, source,
      [asked](const std::vector<DbfTextField>&) {
        if (asked) ++*asked;
        return 0;
      },
      "Sin nombre");
  fs::remove_all(dir);
  return result;
}

void PutBe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(value >> (24 - 8 * k));
}
void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(value >> (8 * k));
}

TEST(ShapefileDamage, SoundFilesComeInWhole) {
  for (const char* name : {"arc", "polyz", "poly", "points", "pointsz", "empty"}) {
    SCOPED_TRACE(name);
    const Trio trio = Seed(name);
    EXPECT_TRUE(ShapeFilesAreSound(trio.shp, trio.shx));
    if (!trio.dbf.empty()) EXPECT_TRUE(DbfFileIsSound(trio.dbf));
  }
  int asked = 0;
  const ShpImportResult polyz = Import(Seed("polyz"), &asked);
  ASSERT_EQ(polyz.status, ShpImportStatus::Ok);
  ASSERT_EQ(polyz.features.size(), 4u);
  EXPECT_EQ(polyz.features[1].name, "Feature 1");
  EXPECT_EQ(polyz.features[1].altitudesCm[0], 1235);  // 12.345 m to the nearest centimetre
  EXPECT_EQ(asked, 1);
}

TEST(ShapefileDamage, IndexAndRecordsOutsideTheFilesAreRefused) {
  struct Damage {
    const char* what;
    std::function<void(Trio&)> apply;
  };
  const std::vector<Damage> damages = {
      {"record offset past the end", [](Trio& t) { PutBe32(t.shx, 108, 0x7FFFFF00); }},
      {"record longer than the file", [](Trio& t) { PutBe32(t.shx, 112, 0x00FFFFFF); }},
      {"index cut short", [](Trio& t) { t.shx.resize(t.shx.size() - 5); }},
      {"geometry cut short", [](Trio& t) { t.shp.resize(t.shp.size() - 20); }},
      {"more points than the record holds", [](Trio& t) { PutLe32(t.shp, 100 + 8 + 40, 100000); }},
      {"part start beyond the points", [](Trio& t) { PutLe32(t.shp, 100 + 8 + 36, 2); PutLe32(t.shp, 100 + 8 + 48, 99); }},
      {"header file code", [](Trio& t) { t.shp[3] = 0; }},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    Trio trio = Seed("arc");
    damage.apply(trio);
    int asked = 0;
    const ShpImportResult result = Import(trio, &asked);
    EXPECT_EQ(result.status, ShpImportStatus::OpenFailed);
    EXPECT_TRUE(result.features.empty());
    EXPECT_EQ(asked, 0);
  }
}

TEST(ShapefileDamage, DamagedTableLeavesTheShapesUnnamedAndSaysSo) {
  Trio trio = Seed("polyz");
  trio.dbf[32 + 16] = static_cast<char>(250);  // the first field runs past the record
  EXPECT_FALSE(DbfFileIsSound(trio.dbf));
  int asked = 0;
  const ShpImportResult result = Import(trio, &asked);
  ASSERT_EQ(result.status, ShpImportStatus::Ok);
  ASSERT_EQ(result.features.size(), 4u);
  EXPECT_EQ(result.features[0].name, "Sin nombre");
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(result.tableRefused);
  // A table that declares more records than it holds.
  trio = Seed("polyz");
  PutLe32(trio.dbf, 4, 1000);
  EXPECT_FALSE(DbfFileIsSound(trio.dbf));
  EXPECT_TRUE(Import(trio).tableRefused);
  // No table at all only means unnamed shapes.
  trio.dbf.clear();
  EXPECT_FALSE(Import(trio).tableRefused);
}

// Tables as other programs write them: shapelib takes a text field's width from byte 16
// alone (byte 17 is the decimal count, which some writers fill for texts too) and leaves out
// the top bit of the record count.
TEST(ShapefileDamage, TablesOfOtherWritersAreReadAsShapelibReadsThem) {
  struct Variant {
    const char* what;
    std::function<void(std::string&)> apply;
  };
  const std::vector<Variant> variants = {
      {"decimal count on the text field", [](std::string& d) { d[32 + 17] = 2; }},
      {"decimal count 255 on the text field", [](std::string& d) { d[32 + 17] = static_cast<char>(255); }},
      {"top bit of the record count", [](std::string& d) { d[7] = static_cast<char>(0x80); }},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.what);
    Trio trio = Seed("polyz");
    v.apply(trio.dbf);
    EXPECT_TRUE(DbfFileIsSound(trio.dbf));
    int asked = 0;
    const ShpImportResult result = Import(trio, &asked);
    ASSERT_EQ(result.status, ShpImportStatus::Ok);
    ASSERT_EQ(result.features.size(), 4u);
    EXPECT_EQ(result.features[1].name, "Feature 1");
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(result.tableRefused);
  }
}

}  // namespace
