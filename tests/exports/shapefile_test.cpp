// Shapefile writers and reader: round trips, attribute tables read back with shapelib, the
// shape type rules, names cut to their field, failures that leave earlier files in place, and
// the import of files ogr2ogr wrote from known geometries.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "document/export_shapefile.h"
#include "tests/exports/export_test_support.h"
#include "tests/exports/test_folder.h"

using namespace exports_test;
namespace fs = std::filesystem;

namespace {

class ShapefileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("tvx_shp_");
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  ShpImportResult Import(const std::string& path, ShpImportSettings settings = {},
                         DbfFieldChooser chooser = nullptr) {
    return ImportShapefile(path, settings, source, chooser, "Unnamed");
  }
  fs::path dir;
  UtmSource source;
};

struct FieldInfo {
  std::string name;
  DBFFieldType type;
  int width, decimals;
};

std::vector<FieldInfo> Fields(const std::string& dbfPath) {
  std::vector<FieldInfo> fields;
  DBFHandle dbf = DBFOpen(dbfPath.c_str(), "rb");
  if (!dbf) return fields;
  for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
    char name[12] = {};
    int width = 0, decimals = 0;
    DBFFieldType type = DBFGetFieldInfo(dbf, i, name, &width, &decimals);
    fields.push_back({name, type, width, decimals});
  }
  DBFClose(dbf);
  return fields;
}

TEST_F(ShapefileTest, ShapesRoundTripInDegreesAndInUtm) {
  source.features.push_back(MakeFeature(FeatureType::Line, "Camino",
                                        {{-3.70, 40.40}, {-3.69, 40.41}, {-3.68, 40.40}}, 1250));
  source.features.push_back(MakeFeature(FeatureType::Area, "Huerta ñ",
                                        {{-3.60, 40.30}, {-3.59, 40.30}, {-3.59, 40.31}}, -75));
  for (auto& f : source.features) f.vertices = f.wgs84Vertices;  // working datum = WGS84
  source.features.push_back(source.MakeCircle(-3.65, 40.35, 10.0, 300));

  struct Mode {
    int coordMode;
    double tolerance;  // degrees
  };
  for (const Mode mode : {Mode{0, 1e-12}, Mode{1, 1e-8}}) {
    const std::string path = Path("doc" + std::to_string(mode.coordMode) + ".shp");
    ASSERT_TRUE(ExportShpShapes(path, source, kShpPolygon, 0, mode.coordMode, 30, true).ok);
    std::vector<DbfTextField> offered;
    ShpImportSettings settings;
    settings.coordMode = mode.coordMode;
    settings.zone = 30;
    const ShpImportResult in = Import(path, settings, [&](const std::vector<DbfTextField>& f) {
      offered = f;
      return 0;
    });
    ASSERT_EQ(in.status, ShpImportStatus::Ok);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].name, "NAME");
    ASSERT_EQ(in.features.size(), 3u);
    const std::size_t expectedCounts[] = {4, 4, 64};  // rings closed: n + 1
    for (std::size_t k = 0; k < 3; ++k) {
      const FeatureRecord& got = in.features[k];
      EXPECT_EQ(got.name, source.features[k].name);
      EXPECT_EQ(got.type, FeatureType::Area);  // a POLYGON file imports areas
      EXPECT_EQ(got.editable, 0);
      ASSERT_EQ(got.VertexCount(), expectedCounts[k]) << k;
      FeatureRecord outline(FeatureType::Circle, "");
      const FeatureRecord* original = &source.features[k];
      if (k == 2) {
        source.CircleOutline(source.features[k], &outline);
        original = &outline;
      }
      for (std::size_t i = 0; i < got.VertexCount(); ++i) {
        const GeoPoint& want = original->wgs84Vertices[i % original->VertexCount()];
        EXPECT_NEAR(got.wgs84Vertices[i].x, want.x, mode.tolerance);
        EXPECT_NEAR(got.wgs84Vertices[i].y, want.y, mode.tolerance);
        EXPECT_EQ(got.vertices[i], got.wgs84Vertices[i]);
        // Shapes without Z carry no altitude.
        EXPECT_EQ(got.altitudesCm[i], 0);
      }
    }
  }
  EXPECT_EQ(Files(), (std::vector<std::string>{"doc0.dbf", "doc0.shp", "doc0.shx", "doc1.dbf",
                                               "doc1.shp", "doc1.shx"}));
}

TEST_F(ShapefileTest, PointsOfACircleAndTheirFieldWidths) {
  source.features.push_back(source.MakeCircle(-3.65, 40.35, 10.0, 1234));
  for (int coordMode : {0, 1}) {
    const std::string path = Path("pts" + std::to_string(coordMode));
    ASSERT_TRUE(ExportShpPoints(path, source, 0, coordMode, 30).ok);
    const auto fields = Fields(path + ".dbf");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].name, "NUMBER");
    EXPECT_EQ(fields[0].width, 5);
    for (int i = 1; i < 4; ++i) {
      EXPECT_EQ(fields[i].type, FTDouble);
      EXPECT_EQ(fields[i].width, coordMode == 0 ? 14 : 11);
      EXPECT_EQ(fields[i].decimals, coordMode == 0 ? 8 : 3);
    }
    SHPHandle shp = SHPOpen((path + ".shp").c_str(), "rb");
    DBFHandle dbf = DBFOpen((path + ".dbf").c_str(), "rb");
    ASSERT_TRUE(shp && dbf);
    int count = 0, type = 0;
    SHPGetInfo(shp, &count, &type, nullptr, nullptr);
    EXPECT_EQ(type, SHPT_POINT);
    ASSERT_EQ(count, 63);
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(DBFReadIntegerAttribute(dbf, i, 0), i + 1);
      EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(dbf, i, 3), 12.34);
      SHPObject* o = SHPReadObject(shp, i);
      EXPECT_NEAR(o->padfX[0], DBFReadDoubleAttribute(dbf, i, 1), coordMode == 0 ? 1e-8 : 1e-3);
      SHPDestroyObject(o);
    }
    SHPClose(shp);
    DBFClose(dbf);
  }
}

TEST_F(ShapefileTest, ShapeTypeNeverLeavesTheShapefileCodes) {
  struct Case {
    FeatureType type;
    int expected;
  };
  for (const Case c : {Case{FeatureType::Line, kShpArc}, Case{FeatureType::Area, kShpPolygon},
                       Case{FeatureType::CircleLine, kShpArc}, Case{FeatureType::Circle, kShpPolygon},
                       Case{FeatureType::Part, kShpPolygon}}) {
    std::vector<FeatureRecord> one{FeatureRecord(c.type, "x")};
    EXPECT_EQ(ShapeTypeForFeatures(one), c.expected) << static_cast<int>(c.type);
  }
  std::vector<FeatureRecord> two{FeatureRecord(FeatureType::Line, "a"),
                                 FeatureRecord(FeatureType::Line, "b")};
  EXPECT_EQ(ShapeTypeForFeatures(two), kShpPolygon);
}

TEST_F(ShapefileTest, LongNamesAreCutToTheirFields) {
  const std::string longName(50, 'n');
  source.features.push_back(MakeFeature(FeatureType::Area, longName + "é", {{1, 1}, {1.1, 1}, {1, 1.1}}));
  ASSERT_TRUE(ExportShpShapes(Path("long.shp"), source, kShpPolygon, 0, 0, 31, false).ok);
  DBFHandle dbf = DBFOpen(Path("long.dbf").c_str(), "rb");
  ASSERT_TRUE(dbf);
  EXPECT_EQ(std::string(DBFReadStringAttribute(dbf, 0, 0)), std::string(35, 'n'));
  DBFClose(dbf);

  WaypointRecord w = WaypointRecord::FromFile(longName, 0, 0, 0, 0, 100, 1.0, 2.0, 0, 0);
  ASSERT_TRUE(ExportWaypointsShp(Path("wpt.shp"), source, {w}, 0, 0, 31).ok);
  const auto fields = Fields(Path("wpt.dbf"));
  std::vector<std::string> names;
  for (const auto& f : fields) names.push_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"NUMBER", "NAME", "PROBENUMME", "X", "Y", "Z", "DATE",
                                             "TIME"}));
  dbf = DBFOpen(Path("wpt.dbf").c_str(), "rb");
  EXPECT_EQ(std::string(DBFReadStringAttribute(dbf, 0, 1)), std::string(30, 'n'));
  EXPECT_EQ(std::string(DBFReadStringAttribute(dbf, 0, 6)), "");  // no time stamp
  DBFClose(dbf);
}

TEST_F(ShapefileTest, FailuresAreReportedAndLeaveEarlierFilesInPlace) {
  source.features.push_back(MakeFeature(FeatureType::Area, "A", {{1, 1}, {1.1, 1}, {1, 1.1}}));
  const auto missing = ExportShpShapes(Path("no/such/dir/x.shp"), source, kShpPolygon, 0, 0, 31, true);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.message, "Unable to create shp file\n");

  // A good export first, then one that runs into the file-size limit.
  ASSERT_TRUE(ExportShpShapes(Path("keep.shp"), source, kShpPolygon, 0, 0, 31, true).ok);
  const auto before = fs::file_size(dir / "keep.shp");
  std::vector<std::pair<double, double>> many;
  for (int i = 0; i < 20000; ++i) many.emplace_back(1 + i * 1e-5, 1);
  source.features.push_back(MakeFeature(FeatureType::Area, "Big", many));
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto full = ExportShpShapes(Path("keep.shp"), source, kShpPolygon, 0, 0, 31, true);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(full.ok);
  EXPECT_FALSE(full.message.empty());
  EXPECT_EQ(fs::file_size(dir / "keep.shp"), before);
  EXPECT_EQ(Files(), (std::vector<std::string>{"keep.dbf", "keep.shp", "keep.shx"}));

  // What an export killed before its renames left behind goes with the next export of the same
  // files; a running writer's files, the user's files of names like them, and other targets'
  // stay.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string dead = ".tvxsave-" + std::to_string(gone) + "-Ab3dE9";
  const std::string alive = ".tvxsave-" + std::to_string(getppid()) + "-Ab3dE9";
  const std::vector<std::string> abandoned = {".keep.shp" + dead, ".keep.shx" + dead, ".keep.dbf" + dead};
  const std::vector<std::string> kept = {
      ".keep.shp" + alive,                               // its writer still runs
      ".other.shp" + dead,                               // another target
      "keep.tvxtmp" + std::to_string(gone) + ".shp",     // the user's own names
      "keep.shp.tmp" + std::to_string(gone),
      "keep.shp" + dead,
      ".keep.shp" + dead + "x",
      ".keep.shp.tvxsave-" + std::to_string(gone) + "-Ab3d"};
  for (const std::vector<std::string>& names : {abandoned, kept})
    for (const std::string& name : names) std::ofstream(dir / name) << "partial";
  // A link of that name is no file of a write, whatever it leads to.
  fs::create_symlink("keep.dbf", dir / (".keep.dbf.tvxsave-" + std::to_string(gone) + "-Zz0000"));
  source.features.pop_back();
  ASSERT_TRUE(ExportShpShapes(Path("keep.shp"), source, kShpPolygon, 0, 0, 31, true).ok);
  std::vector<std::string> expected = {"keep.dbf", "keep.shp", "keep.shx",
                                       ".keep.dbf.tvxsave-" + std::to_string(gone) + "-Zz0000"};
  expected.insert(expected.end(), kept.begin(), kept.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Files(), expected);
}

TEST_F(ShapefileTest, ImportRefusesPointsAndMissingFiles) {
  source.features.push_back(MakeFeature(FeatureType::Line, "L", {{1, 1}, {2, 2}}));
  ASSERT_TRUE(ExportShpPoints(Path("p.shp"), source, 0, 0, 31).ok);
  bool asked = false;
  auto chooser = [&](const std::vector<DbfTextField>&) {
    asked = true;
    return 0;
  };
  const ShpImportResult points = Import(Path("p.shp"), {}, chooser);
  EXPECT_EQ(points.status, ShpImportStatus::UnsupportedType);
  EXPECT_TRUE(points.features.empty());
  EXPECT_FALSE(asked);
  EXPECT_EQ(Import(Path("none.shp")).status, ShpImportStatus::OpenFailed);
}

bool RunOgr2Ogr(const std::string& out, const std::string& geojson) {
  const std::string in = out + ".geojson";
  std::ofstream(in) << geojson;
  const std::string command = "ogr2ogr -q -f \"ESRI Shapefile\" '" + out + "' '" + in + "' 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST_F(ShapefileTest, FilesWrittenByOgr2OgrImport) {
  if (std::system("command -v ogr2ogr > /dev/null") != 0) GTEST_SKIP() << "ogr2ogr missing";
  ASSERT_TRUE(RunOgr2Ogr(Path("z.shp"), R"({"type":"FeatureCollection","features":[
    {"type":"Feature","properties":{"id":7,"label":"Parcela Ñ"},"geometry":{"type":"Polygon",
     "coordinates":[[[2.0,41.0,12.346],[2.0,41.001,12.346],[2.001,41.001,-1.5],[2.0,41.0,12.346]]]}},
    {"type":"Feature","properties":{"id":8,"label":""},"geometry":{"type":"Polygon",
     "coordinates":[[[2.1,41.1,0],[2.1,41.2,0],[2.2,41.2,0],[2.1,41.1,0]],
                    [[2.12,41.15,0],[2.13,41.15,0],[2.13,41.16,0],[2.12,41.15,0]]]}}]})"));
  std::vector<std::string> offered;
  const ShpImportResult in = Import(Path("z.shp"), {}, [&](const std::vector<DbfTextField>& f) {
    for (const auto& field : f) offered.push_back(field.name);
    return 0;
  });
  ASSERT_EQ(in.status, ShpImportStatus::Ok);
  EXPECT_EQ(in.shapeType, kShpPolygonZ);
  EXPECT_EQ(offered, std::vector<std::string>{"label"});
  ASSERT_EQ(in.features.size(), 2u);
  EXPECT_EQ(in.features[0].name, "Parcela Ñ");
  EXPECT_EQ(in.features[1].name, "Unnamed");
  // Shapefile rings run clockwise: ogr2ogr may reverse the ring, so compare as a set.
  ASSERT_EQ(in.features[0].VertexCount(), 4u);
  int at12346 = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const GeoPoint& p = in.features[0].wgs84Vertices[i];
    if (p == GeoPoint{2.0, 41.0}) {
      EXPECT_EQ(in.features[0].altitudesCm[i], 1235);  // to the nearest centimetre
    }
    if (p == GeoPoint{2.001, 41.001}) {
      EXPECT_EQ(in.features[0].altitudesCm[i], -150);
    }
    at12346 += in.features[0].altitudesCm[i] == 1235;
  }
  EXPECT_EQ(at12346, 3);
  EXPECT_EQ(in.features[1].VertexCount(), 8u);  // both rings, one after the other

  ASSERT_TRUE(RunOgr2Ogr(Path("lines.shp"), R"({"type":"FeatureCollection","features":[
    {"type":"Feature","properties":{"n":1},"geometry":{"type":"LineString",
     "coordinates":[[500100,4500200],[500300,4500400],[500500,4500200]]}}]})"));
  ShpImportSettings utm;
  utm.coordMode = 1;
  utm.zone = 31;
  bool asked = false;
  const ShpImportResult lines = Import(Path("lines.shp"), utm, [&](const auto&) {
    asked = true;
    return 0;
  });
  EXPECT_FALSE(asked);  // no text field
  ASSERT_EQ(lines.features.size(), 1u);
  EXPECT_EQ(lines.features[0].type, FeatureType::Line);
  EXPECT_EQ(lines.features[0].name, "Unnamed");
  ASSERT_EQ(lines.features[0].VertexCount(), 3u);
  double e = 0, n = 0;
  UtmSource::Forward(31, lines.features[0].wgs84Vertices[1].x, lines.features[0].wgs84Vertices[1].y, e, n);
  EXPECT_NEAR(e, 500300, 1e-3);
  EXPECT_NEAR(n, 4500400, 1e-3);
}

TEST(ShapefileImportModes, FromDatumChoiceAndCoordinates) {
  EXPECT_EQ(ShpImportMode(0, 0), 0);
  EXPECT_EQ(ShpImportMode(0, 1), 1);
  EXPECT_EQ(ShpImportMode(1, 0), 2);
  EXPECT_EQ(ShpImportMode(1, 1), 3);
}

}  // namespace
