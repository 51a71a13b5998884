// Exact texts of every text format for a small document with every feature type, a circle and
// waypoints with and without time stamps, compared line by line with texts worked out from the
// format tables (expected/make_expected.py); plus circle outlines and file names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "document/export_formats.h"
#include "tests/exports/export_test_support.h"

using namespace exports_test;

namespace {

std::string Expected(const std::string& name) {
  std::ifstream in(std::string(TVX_SOURCE_DIR) + "/tests/exports/expected/" + name,
                   std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void ExpectSameLines(const std::string& actual, const std::string& expectedFile) {
  const std::string expected = Expected(expectedFile);
  ASSERT_FALSE(expected.empty()) << expectedFile;
  const auto a = Lines(actual);
  const auto e = Lines(expected);
  for (std::size_t i = 0; i < std::min(a.size(), e.size()); ++i) {
    ASSERT_EQ(a[i], e[i]) << expectedFile << " line " << i + 1;
  }
  EXPECT_EQ(a.size(), e.size()) << expectedFile;
  EXPECT_EQ(actual, expected) << expectedFile << " (line ends)";
}

class SmallDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    FeatureRecord road =
        MakeFeature(FeatureType::Line, "Road & <1>", {{-3.5, 40.25}, {-3.4, 40.3}, {-3.3, 40.35}},
                    1000, 0x00123456);
    FeatureRecord lote = MakeFeature(FeatureType::Area, "Lote",
                                     {{-3.0, 40.0}, {-2.9, 40.0}, {-2.9, 40.1}}, 0, 255, 6);
    FeatureRecord pozo(FeatureType::Circle, "Pozo", 5, 0xff0000);
    for (GeoPoint p : {GeoPoint{1.0, 2.0}, GeoPoint{0.5, 2.5}, GeoPoint{1.5, 1.5}}) {
      pozo.AddVertex(p, {p.x + 0.001, p.y + 0.002}, 500);
    }
    FeatureRecord part(FeatureType::Part, "Trozo", 0, 0);
    part.AddVertex({-3.0, 40.05}, {-2.999, 40.052}, -250, "N1");
    FeatureRecord empty(FeatureType::Area, "Vacío");
    source.features = {road, lote, pozo, part, empty};
    source.waypoints.push_back(
        WaypointRecord::FromFile("Pozo 1", 0, 0, 0, 0, 12345, -3.249, 40.502, 0, 0));
    source.waypoints.push_back(
        WaypointRecord::FromFile("Casa", 0, 0, 0, 0, -50, -3.1, 40.4, 1700000000, 0));
  }
  FakeSource source;
};

TEST_F(SmallDocument, GeographicListsOfBothDatumChoices) {
  ExpectSameLines(FormatGeographicList(source, 0), "geo0.txt");
  ExpectSameLines(FormatGeographicList(source, 1), "geo1.txt");
}

TEST_F(SmallDocument, UtmListSetsTheZoneAtTheFirstPointAndTheFirstWaypoint) {
  ExpectSameLines(FormatUtmList(source, 1, 30), "utm1.txt");
  const std::vector<std::pair<int, bool>> calls{{30, true}, {30, true}};
  EXPECT_EQ(source.zoneCalls, calls);
}

TEST_F(SmallDocument, KmlEscapesNamesAndClosesRings) {
  ExpectSameLines(FormatKml(source, "/tmp/a&b.kml"), "doc.kml");
}

TEST_F(SmallDocument, DxfWithAltitudesAndFlat) {
  ExpectSameLines(FormatDxf(source, 1, 30, false), "doc.dxf");
  ExpectSameLines(FormatDxf(source, 1, 30, true), "flat.dxf");
}

TEST_F(SmallDocument, TrackFiles) {
  ExpectSameLines(FormatPlt(source, source.features[1], 0), "lote.plt");
  ExpectSameLines(FormatPlt(source, source.features[2], 1), "pozo.plt");
  ExpectSameLines(FormatTrk(source, source.features[1], 0), "lote.trk");
  ExpectSameLines(FormatTrk(source, source.features[2], 1), "pozo.trk");
}

TEST_F(SmallDocument, AUserProjectionIsNeverRetargeted) {
  source.coordMode = 2;
  FormatUtmList(source, 1, 30);
  FormatDxf(source, 1, 30, false);
  EXPECT_TRUE(source.zoneCalls.empty());
}

TEST(ExportDxf, ZoneIsSetAtTheFirstPointWrittenAsGeometry) {
  struct Case {
    const char* what;
    std::vector<FeatureRecord> features;
    std::vector<WaypointRecord> waypoints;
    std::pair<int, bool> call;
  };
  const FeatureRecord southLoneVertex = MakeFeature(FeatureType::Line, "S", {{20.0, -33.9}});
  const FeatureRecord southPart = MakeFeature(FeatureType::Part, "P", {{20.0, -33.9}});
  const FeatureRecord northArea = MakeFeature(FeatureType::Area, "N", {{20.0, 10.0}, {20.1, 10.0}});
  const WaypointRecord north = WaypointRecord::FromFile("W", 0, 0, 0, 0, 0, 20.0, 10.0, 0, 0);
  const Case cases[] = {
      // A single-vertex line gives no LINE entity, so the area's point comes first.
      {"lone vertex, then area", {southLoneVertex, northArea}, {}, {34, true}},
      // Parts give no geometry: the first waypoint sets the zone.
      {"part, then waypoint", {southPart}, {north}, {34, true}},
      {"part only", {southPart}, {}, {0, false}},
  };
  for (const Case& c : cases) {
    FakeSource source;
    source.features = c.features;
    source.waypoints = c.waypoints;
    const std::string dxf = FormatDxf(source, 0, 34, false);
    if (c.call.first == 0) {
      EXPECT_TRUE(source.zoneCalls.empty()) << c.what;
    } else {
      ASSERT_EQ(source.zoneCalls.size(), 1u) << c.what;
      EXPECT_EQ(source.zoneCalls[0], c.call) << c.what;
    }
    EXPECT_EQ(dxf.find("\nLINE\n"), std::string::npos) << c.what;
  }
}

TEST(ExportLists, EmptyFeatureAndNoWaypoints) {
  FakeSource source;
  source.features.emplace_back(FeatureType::Area, "Solo");
  EXPECT_EQ(FormatGeographicList(source, 0), "Datum,WGS 84\nSolo\n");
  EXPECT_EQ(FormatUtmList(source, 0, 30), "Datum,WGS 84\n");
  const std::string kml = FormatKml(source, "x.kml");
  EXPECT_NE(kml.find("<name>Objects</name>\n<open>1</open>\n</Folder>\n</Folder></Document></kml>\n"),
            std::string::npos);
  EXPECT_EQ(kml.find("WPT"), std::string::npos);
}

TEST(ExportLists, SouthernFirstFeatureSelectsTheSouthernZone) {
  FakeSource source;
  source.features.push_back(MakeFeature(FeatureType::Line, "S", {{20.0, -33.9}, {20.1, 1.0}}));
  source.features.push_back(MakeFeature(FeatureType::Line, "N", {{20.0, 10.0}}));
  FormatUtmList(source, 0, 34);
  ASSERT_EQ(source.zoneCalls.size(), 1u);
  EXPECT_EQ(source.zoneCalls[0], std::make_pair(34, false));
}

TEST(ExportLists, NumbersIgnoreTheUserLocale) {
  // A locale with a decimal comma must not reach the files.
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  FakeSource source;
  source.features.push_back(MakeFeature(FeatureType::Line, "L", {{1.25, 2.5}}));
  const std::string text = FormatGeographicList(source, 0);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(text, "Datum,WGS 84\nL\nWP,D,1,2.500000,1.250000\n");
}

TEST(ExportNumbers, FixedMatchesPrintfEverywhere) {
  // printf in the C locale is the reference, ties and large values included.
  std::mt19937_64 random(12345);
  std::vector<double> values{0.0, -0.0, 0.125, 0.375, 2.5, -2.5, 1e-7, -1e-7, 0.0049999999,
                             999999.9995, 1e15, -1e300, 4503599627370497.0, 40.4999995,
                             std::nan(""), std::numeric_limits<double>::infinity()};
  std::uniform_real_distribution<double> any(-1e7, 1e7);
  std::uniform_int_distribution<int> ties(-100000, 100000);
  for (int i = 0; i < 200000; ++i) {
    values.push_back(any(random));
    values.push_back(ties(random) / 1000.0 + 0.0005);  // halfway at three decimals
  }
  for (double v : values) {
    for (int decimals : {0, 2, 3, 6, 8}) {
      ExportText text;
      text.Fixed(v, decimals);
      char expected[400];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      ASSERT_EQ(text.Bytes(), expected) << v << " with " << decimals;
    }
  }
}

TEST(CircleOutline, RadiusTenGivesSixtyThreePointsRoundTheCentre) {
  UtmSource source;
  const FeatureRecord circle = source.MakeCircle(-3.7, 40.4, 10.0, 1234);
  // The program's own Transverse Mercator round trip is good to about a millimetre.
  EXPECT_NEAR(source.CircleOutline(circle, nullptr), 10.0, 2e-3);
  FeatureRecord outline(FeatureType::Circle, "o");
  source.CircleOutline(circle, &outline);
  ASSERT_EQ(outline.VertexCount(), 63u);
  double ce = 0, cn = 0;
  UtmSource::Forward(30, -3.7, 40.4, ce, cn);
  for (std::size_t i = 0; i < outline.VertexCount(); ++i) {
    double e = 0, n = 0;
    UtmSource::Forward(30, outline.wgs84Vertices[i].x, outline.wgs84Vertices[i].y, e, n);
    EXPECT_NEAR(std::hypot(e - ce, n - cn), 10.0, 2e-3) << i;
    // One metre of arc per step, counter-clockwise from due east.
    EXPECT_NEAR(std::atan2(n - cn, e - ce), std::remainder(i * 0.1, 2 * M_PI), 2e-4) << i;
    EXPECT_EQ(outline.altitudesCm[i], 1234);
    EXPECT_TRUE(outline.vertexNotes[i].empty());
  }
}

TEST(CircleOutline, DegenerateCirclesEnd) {
  UtmSource source;
  struct Case {
    const char* what;
    std::vector<GeoPoint> corners;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {"no vertices", {}},
      {"two vertices", {{-3.7, 40.4}, {-3.7001, 40.4001}}},
      {"coincident corners", {{-3.7, 40.4}, {-3.7, 40.4}, {-3.7, 40.4}}},
      {"not a number", {{-3.7, 40.4}, {nan, 40.4}, {-3.7, nan}}},
  };
  for (const Case& c : cases) {
    FeatureRecord circle(FeatureType::Circle, "c");
    for (const GeoPoint& p : c.corners) circle.AddVertex(p, p, 0);
    FeatureRecord outline(FeatureType::Circle, "o");
    source.CircleOutline(circle, &outline);
    EXPECT_EQ(outline.VertexCount(), 0u) << c.what;
    EXPECT_EQ(source.CircleOutline(circle, nullptr), 0.0) << c.what;
  }
  // A "circle" thousands of kilometres wide is cut at the outline limit instead of filling
  // the memory.
  FakeSource fake;
  FeatureRecord huge(FeatureType::Circle, "h");
  for (GeoPoint p : {GeoPoint{0, 0}, GeoPoint{-5e6, 5e6}, GeoPoint{5e6, -5e6}}) huge.AddVertex(p, p, 0);
  FeatureRecord outline(FeatureType::Circle, "o");
  fake.CircleOutline(huge, &outline);
  EXPECT_EQ(outline.VertexCount(), kMaxOutlinePoints);
}

TEST(ExportFileNames, OnlyTheFinalExtensionChanges) {
  struct Case {
    std::string chosen;
    int number;
    std::size_t count;
    std::string expected;
  };
  const Case cases[] = {
      {"/data/survey.plt", 1, 1, "/data/survey.plt"},
      {"/data/survey.plt", 2, 3, "/data/survey_2.plt"},
      {"/data/a.plt.d/survey.PLT", 1, 2, "/data/a.plt.d/survey_1.plt"},
      {"/data/my.plt.old.plt", 3, 3, "/data/my.plt.old_3.plt"},
      {"/data/survey", 1, 1, "/data/survey.plt"},
      {"/data/survey", 2, 2, "/data/survey_2.plt"},
      {"/data.v1/survey", 1, 2, "/data.v1/survey_1.plt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrackFileName(c.chosen, c.number, c.count, ".plt"), c.expected) << c.chosen;
  }
  EXPECT_EQ(WithExtension("/x/field.KML", ".kml"), "/x/field.KML");
  EXPECT_EQ(WithExtension("/x/field.v2", ".dxf"), "/x/field.v2.dxf");
  EXPECT_EQ(ReplaceExtension("/x/.hidden", ".dbf"), "/x/.hidden.dbf");
}

}  // namespace
