// What other programs make of the files: GDAL/OGR opens every Shapefile, KML and DXF file and
// finds the layers, geometry types, vertex counts and attributes; GPSBabel reads the track
// points of the PLT, TRK and KML files.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "document/export_formats.h"
#include "document/export_shapefile.h"
#include "platform/files.h"
#include "tests/exports/export_test_support.h"
#include "tests/exports/test_folder.h"

using namespace exports_test;
namespace fs = std::filesystem;

namespace {

struct DatasetCloser {
  void operator()(GDALDataset* d) const { GDALClose(d); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

Dataset OpenVector(const std::string& path) {
  return Dataset(static_cast<GDALDataset*>(
      GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
}

int VertexCount(const OGRGeometry* g) {
  switch (wkbFlatten(g->getGeometryType())) {
    case wkbPoint: return 1;
    case wkbLineString: return g->toLineString()->getNumPoints();
    case wkbPolygon: return g->toPolygon()->getExteriorRing()->getNumPoints();
    default: return -1;
  }
}

// stdout of a command, and whether it exited with 0.
std::pair<bool, std::string> Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {false, out};
  std::array<char, 4096> buffer;
  while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  return {pclose(pipe) == 0, out};
}

// Latitude, longitude pairs of the track points GPSBabel reads (unicsv output).
std::vector<std::pair<double, double>> GpsBabelTrackPoints(const std::string& format,
                                                           const std::string& path) {
  auto [ok, out] = Run("gpsbabel -t -i " + format + " -f '" + path + "' -o unicsv -F - 2>/dev/null");
  std::vector<std::pair<double, double>> points;
  if (!ok) return points;
  std::istringstream lines(out);
  std::string line;
  std::getline(lines, line);  // header: No,Latitude,Longitude,...
  while (std::getline(lines, line)) {
    double lat = 0, lon = 0;
    int number = 0;
    if (std::sscanf(line.c_str(), "%d,%lf,%lf", &number, &lat, &lon) == 3) points.emplace_back(lat, lon);
  }
  return points;
}

bool HaveGpsBabelFormat(const std::string& format) {
  auto [ok, out] = Run("gpsbabel -^2 2>/dev/null");
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string kind, modes, name;
    fields >> kind >> modes >> name;
    if (name == format) return true;
  }
  return false;
}

class Interop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { GDALAllRegister(); }

  void SetUp() override {
    dir = FreshTestFolder("tvx_interop_");
    source.features.push_back(MakeFeature(FeatureType::Line, "Camino & <viejo>",
                                          {{-3.70, 40.40}, {-3.69, 40.41}, {-3.68, 40.40}, {-3.67, 40.41}},
                                          65000));
    source.features.push_back(MakeFeature(FeatureType::Area, "Huerta ñ",
                                          {{-3.60, 40.30}, {-3.59, 40.30}, {-3.59, 40.31}}, 64000));
    for (auto& f : source.features) f.vertices = f.wgs84Vertices;
    source.features[0].vertexNotes[1] = "pozo";
    source.features.push_back(source.MakeCircle(-3.65, 40.35, 10.0, 300));
    source.waypoints.push_back(WaypointRecord::FromFile("Fuente", 0, 0, 0, 0, 66000, -3.61, 40.33, 0, 0));
    source.waypoints.push_back(
        WaypointRecord::FromFile("Casa", 0, 0, 0, 0, 66100, -3.62, 40.34, 1700000000, 0));
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = Path(name);
    EXPECT_TRUE(platform::WriteFileReplacing(path, bytes));
    return path;
  }

  fs::path dir;
  UtmSource source;
  static constexpr std::size_t kCircleOutline = 63;
};

TEST_F(Interop, OgrReadsTheShapefiles) {
  ASSERT_TRUE(ExportShpShapes(Path("areas.shp"), source, kShpPolygon, 0, 0, 30, true).ok);
  ASSERT_TRUE(ExportShpPoints(Path("points.shp"), source, 0, 1, 30).ok);
  ASSERT_TRUE(ExportWaypointsShp(Path("wpt.shp"), source, source.waypoints, 0, 1, 30).ok);
  std::vector<FeatureRecord> onlyLine{source.features[0]};
  std::swap(onlyLine, source.features);
  ASSERT_TRUE(ExportShpShapes(Path("line.shp"), source, ShapeTypeForFeatures(source.features), 0,
                              0, 30, false).ok);
  std::swap(onlyLine, source.features);

  {
    Dataset ds = OpenVector(Path("areas.shp"));
    ASSERT_TRUE(ds);
    OGRLayer* layer = ds->GetLayer(0);
    EXPECT_EQ(wkbFlatten(layer->GetGeomType()), wkbPolygon);
    ASSERT_EQ(layer->GetFeatureCount(), 3);
    const int counts[] = {5, 4, static_cast<int>(kCircleOutline) + 1};
    for (int k = 0; k < 3; ++k) {
      std::unique_ptr<OGRFeature> f(layer->GetNextFeature());
      EXPECT_EQ(VertexCount(f->GetGeometryRef()), counts[k]);
      EXPECT_EQ(std::string(f->GetFieldAsString("NAME")), source.features[k].name);
    }
  }
  {
    Dataset ds = OpenVector(Path("line.shp"));
    ASSERT_TRUE(ds);
    EXPECT_EQ(wkbFlatten(ds->GetLayer(0)->GetGeomType()), wkbLineString);
    std::unique_ptr<OGRFeature> f(ds->GetLayer(0)->GetNextFeature());
    EXPECT_EQ(VertexCount(f->GetGeometryRef()), 4);
  }
  {
    Dataset ds = OpenVector(Path("points.shp"));
    ASSERT_TRUE(ds);
    OGRLayer* layer = ds->GetLayer(0);
    EXPECT_EQ(wkbFlatten(layer->GetGeomType()), wkbPoint);
    EXPECT_EQ(layer->GetFeatureCount(), static_cast<GIntBig>(4 + 3 + kCircleOutline));
    std::unique_ptr<OGRFeature> f(layer->GetNextFeature());
    EXPECT_EQ(f->GetFieldAsInteger("NUMBER"), 1);
    double e = 0, n = 0;
    UtmSource::Forward(30, -3.70, 40.40, e, n);
    EXPECT_NEAR(f->GetFieldAsDouble("X"), e, 1e-3);
    EXPECT_NEAR(f->GetFieldAsDouble("Y"), n, 1e-3);
    EXPECT_NEAR(f->GetFieldAsDouble("Z"), 650.0, 1e-9);
    EXPECT_NEAR(f->GetGeometryRef()->toPoint()->getX(), e, 1e-3);
  }
  {
    Dataset ds = OpenVector(Path("wpt.shp"));
    ASSERT_TRUE(ds);
    OGRLayer* layer = ds->GetLayer(0);
    ASSERT_EQ(layer->GetFeatureCount(), 2);
    std::unique_ptr<OGRFeature> first(layer->GetNextFeature());
    std::unique_ptr<OGRFeature> f(layer->GetNextFeature());
    EXPECT_EQ(std::string(f->GetFieldAsString("NAME")), "Casa");
    EXPECT_EQ(std::string(f->GetFieldAsString("PROBENUMME")), "Casa");
    EXPECT_EQ(f->GetFieldAsInteger("NUMBER"), 2);
    EXPECT_FALSE(std::string(f->GetFieldAsString("DATE")).empty());
  }
}

TEST_F(Interop, OgrReadsTheKml) {
  const std::string path = Write("doc.kml", FormatKml(source, Path("doc.kml")));
  Dataset ds = OpenVector(path);
  ASSERT_TRUE(ds);
  std::map<std::string, OGRLayer*> layers;
  for (int i = 0; i < ds->GetLayerCount(); ++i) layers[ds->GetLayer(i)->GetName()] = ds->GetLayer(i);
  ASSERT_TRUE(layers.count("Objects"));
  ASSERT_TRUE(layers.count("WPT"));
  OGRLayer* objects = layers["Objects"];
  ASSERT_EQ(objects->GetFeatureCount(), 3);
  const OGRwkbGeometryType types[] = {wkbLineString, wkbPolygon, wkbPolygon};
  const int counts[] = {4, 4, static_cast<int>(kCircleOutline) + 1};
  objects->ResetReading();
  for (int k = 0; k < 3; ++k) {
    std::unique_ptr<OGRFeature> f(objects->GetNextFeature());
    ASSERT_TRUE(f);
    EXPECT_EQ(std::string(f->GetFieldAsString("Name")), source.features[k].name);
    EXPECT_EQ(wkbFlatten(f->GetGeometryRef()->getGeometryType()), types[k]);
    EXPECT_EQ(VertexCount(f->GetGeometryRef()), counts[k]);
  }
  OGRLayer* wpt = layers["WPT"];
  ASSERT_EQ(wpt->GetFeatureCount(), 2);
  std::unique_ptr<OGRFeature> f(wpt->GetNextFeature());
  EXPECT_EQ(std::string(f->GetFieldAsString("Name")), "Fuente");
  const OGRPoint* p = f->GetGeometryRef()->toPoint();
  EXPECT_NEAR(p->getX(), -3.61, 1e-6);
  EXPECT_NEAR(p->getY(), 40.33, 1e-6);
  EXPECT_NEAR(p->getZ(), 660.0, 1e-6);
}

TEST_F(Interop, OgrReadsTheDxf) {
  for (bool flat : {false, true}) {
    const std::string path = Write(flat ? "flat.dxf" : "doc.dxf", FormatDxf(source, 0, 30, flat));
    Dataset ds = OpenVector(path);
    ASSERT_TRUE(ds) << flat;
    OGRLayer* layer = ds->GetLayerByName("entities");
    ASSERT_TRUE(layer);
    std::map<std::string, int> labelsPerLayer;
    std::vector<std::unique_ptr<OGRFeature>> geometry;
    for (auto& f : *layer) {
      const std::string dxfLayer = f->GetFieldAsString("Layer");
      if (dxfLayer == "0") {
        geometry.emplace_back(f.release());
      } else {
        ++labelsPerLayer[dxfLayer];
      }
    }
    // 3 LINE segments, 1 POLYLINE, 1 CIRCLE, 2 POINT.
    ASSERT_EQ(geometry.size(), 7u) << flat;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(VertexCount(geometry[i]->GetGeometryRef()), 2);
    const OGRGeometry* polyline = geometry[3]->GetGeometryRef();
    EXPECT_EQ(wkbFlatten(polyline->getGeometryType()), wkbLineString);
    // The closed 2D polyline comes back with its closing vertex.
    EXPECT_EQ(VertexCount(polyline), flat ? 4 : 3);
    if (!flat) {
      EXPECT_NEAR(polyline->toLineString()->getZ(1), 641.0, 1e-9);
    }
    // The CIRCLE: OGR approximates it by a line; every point lies 10 m from the centre.
    const OGRLineString* circle = geometry[4]->GetGeometryRef()->toLineString();
    double ce = 0, cn = 0;
    UtmSource::Forward(30, source.features[2].wgs84Vertices[0].x,
                       source.features[2].wgs84Vertices[0].y, ce, cn);
    for (int i = 0; i < circle->getNumPoints(); ++i) {
      EXPECT_NEAR(std::hypot(circle->getX(i) - ce, circle->getY(i) - cn), 10.0, 5e-3);
    }
    EXPECT_EQ(wkbFlatten(geometry[5]->GetGeometryRef()->getGeometryType()), wkbPoint);
    const std::map<std::string, int> labels{{"HEIGHT", 7}, {"NOTES", 7}, {"NUMBERS", 7}, {"WPT_NAME", 2}};
    EXPECT_EQ(labelsPerLayer, labels);
  }
}

// Latitude, longitude of the points each feature's track holds (outline points for circles).
std::vector<std::vector<std::pair<double, double>>> TrackPoints(UtmSource& source) {
  std::vector<std::vector<std::pair<double, double>>> expected;
  for (const FeatureRecord& f : source.features) {
    FeatureRecord outline(f.type, f.name);
    const FeatureRecord* points = &f;
    if (IsCircleType(f.type)) {
      source.CircleOutline(f, &outline);
      points = &outline;
    }
    auto& list = expected.emplace_back();
    for (const GeoPoint& p : points->wgs84Vertices) list.emplace_back(p.y, p.x);
  }
  return expected;
}

void ExpectSamePoints(const std::vector<std::pair<double, double>>& got,
                      const std::vector<std::pair<double, double>>& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 1e-6) << what << " " << i;
    EXPECT_NEAR(got[i].second, want[i].second, 1e-6) << what << " " << i;
  }
}

TEST_F(Interop, GpsBabelReadsThePltAndKmlTracks) {
  if (std::system("command -v gpsbabel > /dev/null") != 0) GTEST_SKIP() << "gpsbabel missing";
  const auto expected = TrackPoints(source);
  for (std::size_t k = 0; k < source.features.size(); ++k) {
    const std::string plt = Write("t" + std::to_string(k) + ".plt", FormatPlt(source, source.features[k], 0));
    ExpectSamePoints(GpsBabelTrackPoints("ozi", plt), expected[k], plt);
  }
  // KML: every placemark is a track; areas and circles repeat their first point.
  std::vector<std::pair<double, double>> kmlExpected;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    kmlExpected.insert(kmlExpected.end(), expected[k].begin(), expected[k].end());
    if (source.features[k].type != FeatureType::Line) kmlExpected.push_back(expected[k].front());
  }
  const std::string kml = Write("doc.kml", FormatKml(source, "doc.kml"));
  ExpectSamePoints(GpsBabelTrackPoints("kml", kml), kmlExpected, kml);
}

TEST_F(Interop, GpsBabelReadsTheCompeGpsTracks) {
  if (std::system("command -v gpsbabel > /dev/null") != 0) GTEST_SKIP() << "gpsbabel missing";
  // This GPSBabel build may lack the CompeGPS reader (it was dropped in 1.8).
  if (!HaveGpsBabelFormat("compegps")) GTEST_SKIP() << "gpsbabel without the compegps format";
  for (std::size_t k = 0; k < source.features.size(); ++k) {
    const std::string trk = Write("t" + std::to_string(k) + ".trk", FormatTrk(source, source.features[k], 0));
    ExpectSamePoints(GpsBabelTrackPoints("compegps", trk), TrackPoints(source)[k], trk);
  }
}

}  // namespace
