#include "document/records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>

#include "document/geo_position.h"

namespace {

void ExpectListsInStep(const FeatureRecord& f, std::size_t n) {
  EXPECT_EQ(f.vertices.size(), n);
  EXPECT_EQ(f.wgs84Vertices.size(), n);
  EXPECT_EQ(f.altitudesCm.size(), n);
  EXPECT_EQ(f.vertexNotes.size(), n);
  EXPECT_EQ(f.vertexKeys.size(), n);
}

FeatureRecord SixVertices() {
  FeatureRecord f(FeatureType::Area, "f");
  for (int i = 0; i < 6; ++i) {
    f.AddVertex({double(i), 0.0}, {double(i), 1.0}, i * 100, "n" + std::to_string(i));
  }
  return f;
}

TEST(FeatureRecordTest, VertexOperationsKeepTheFourListsInStep) {
  struct Case {
    const char* what;
    std::function<void(FeatureRecord&)> edit;
    std::size_t size;
    std::vector<int> altitudes;  // which vertices remain, by their altitude / 100
  };
  const Case cases[] = {
      {"pop", [](FeatureRecord& f) { f.PopLastVertex(); }, 5, {0, 1, 2, 3, 4}},
      {"erase 5 then 2",
       [](FeatureRecord& f) {
         f.EraseVertex(5);
         f.EraseVertex(2);
       },
       4, {0, 1, 3, 4}},
      {"erase out of range", [](FeatureRecord& f) { f.EraseVertex(6); }, 6, {0, 1, 2, 3, 4, 5}},
      {"insert at 1",
       [](FeatureRecord& f) { f.InsertVertex(1, {9, 9}, {9, 9}, 900, "x"); },
       7, {0, 9, 1, 2, 3, 4, 5}},
      {"insert at end", [](FeatureRecord& f) { f.InsertVertex(6, {9, 9}, {9, 9}, 900); }, 7,
       {0, 1, 2, 3, 4, 5, 9}},
      {"insert past end", [](FeatureRecord& f) { f.InsertVertex(8, {9, 9}, {9, 9}, 900); }, 6,
       {0, 1, 2, 3, 4, 5}},
      {"free", [](FeatureRecord& f) { f.FreeVertices(); }, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FeatureRecord f = SixVertices();
    const FeatureRecord before = f;
    c.edit(f);
    ExpectListsInStep(f, c.size);
    for (std::size_t i = 0; i < c.altitudes.size(); ++i) {
      EXPECT_EQ(f.altitudesCm[i], c.altitudes[i] * 100);
      EXPECT_EQ(f.wgs84Vertices[i].x, c.altitudes[i]);
      // A vertex that was there keeps its key wherever it moved; a new one has its own.
      const int was = c.altitudes[i] == 9 ? -1 : c.altitudes[i];
      EXPECT_EQ(before.FindVertex(f.vertexKeys[i]), was);
      if (was >= 0) {
        EXPECT_EQ(f.FindVertex(before.vertexKeys[was]), static_cast<int>(i));
      }
    }
    // Any change of the vertex list is a new shape to measure; none is none.
    EXPECT_EQ(f.shapeRevision != before.shapeRevision, c.size != 6 || c.altitudes.back() == 9 ||
                                                           c.altitudes[1] == 9);
  }
  FeatureRecord empty(FeatureType::Line, "");
  empty.PopLastVertex();
  ExpectListsInStep(empty, 0);
}

TEST(FeatureRecordTest, NewFeaturesTakeTheirDefaultsAndPartsNone) {
  const FeatureRecord area(FeatureType::Area, "Sin nombre", 7, 0x123456);
  EXPECT_EQ(area.pattern, 7);
  EXPECT_EQ(area.colour, 0x123456u);
  EXPECT_EQ(area.visible, 1);
  EXPECT_EQ(area.editable, 1);
  EXPECT_EQ(area.subtract, 1);
  EXPECT_EQ(area.link, 0);
  EXPECT_EQ(area.area, 0.0);
  const FeatureRecord plain(FeatureType::Line, "l");
  EXPECT_EQ(plain.pattern, 5);
  EXPECT_EQ(plain.colour, 255u);
  const FeatureRecord part(FeatureType::Part, "p", 7, 0x123456);
  EXPECT_EQ(part.pattern, 0);
  EXPECT_EQ(part.colour, 0u);

  DocumentContent doc;
  doc.AddFeature(FeatureType::Area, "a");
  doc.AddFeature(FeatureType::Part, "p");
  doc.AddFeature(FeatureType::Line, "l");
  doc.AddFeature(FeatureType::Part, "q");
  EXPECT_EQ(doc.kind52Index, (std::vector<int>{1, 3}));
  doc.DeleteAllFeatures();
  EXPECT_TRUE(doc.features.empty());
  EXPECT_TRUE(doc.kind52Index.empty());
}

// The one rule of positions from files: finite, within 180 degrees of longitude and 90 of
// latitude, the limits themselves included.
TEST(GeoPositionTest, OnlyFiniteLongitudesAndLatitudesOnTheEarthNameAPlace) {
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  const struct {
    double lon, lat;
    bool place;
  } cases[] = {
      {-3.7, 40.4, true},     {180, 90, true},        {-180, -90, true},   {0, 0, true},
      {180.0000001, 0, false}, {-180.0000001, 0, false}, {0, 90.0000001, false},
      {0, -90.0000001, false}, {440000, 4472000, false}, {nan, 40, false},  {-3, nan, false},
      {inf, 0, false},        {0, -inf, false},       {1e300, 0, false},   {0, 1e300, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsGeographicPosition(c.lon, c.lat), c.place) << c.lon << " " << c.lat;
    EXPECT_EQ(IsGeographicPosition(GeoPoint{c.lon, c.lat}), c.place);
  }
  EXPECT_EQ(PositionsLeftOutText(1, false).rfind("1 point was left out", 0), 0u);
  EXPECT_EQ(PositionsLeftOutText(3, true).rfind("3 points were left out", 0), 0u);
  EXPECT_NE(PositionsLeftOutText(3, true).find("coordinate system chosen"), std::string::npos);
  EXPECT_EQ(PositionsLeftOutText(3, false).find("coordinate system chosen"), std::string::npos);
}

TEST(ShoelaceAreaTest, SignFollowsTheWindingOrder) {
  EXPECT_DOUBLE_EQ(ShoelaceArea({{0, 0}, {0, 1}, {1, 1}, {1, 0}}), -1.0);
  EXPECT_DOUBLE_EQ(ShoelaceArea({{1, 0}, {1, 1}, {0, 1}, {0, 0}}), 1.0);
  EXPECT_DOUBLE_EQ(ShoelaceArea({}), 0.0);
  EXPECT_DOUBLE_EQ(ShoelaceArea({{3, 4}}), 0.0);
}

class WaypointTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) {
      setenv("TZ", savedTz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  std::string savedTz_;
  bool hadTz_ = false;
};

TEST_F(WaypointTimeTest, StampsFormatAsLocalDateAndTime) {
  WaypointRecord none = WaypointRecord::FromFile("w", 31, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(none.FormatDate(), "");
  EXPECT_EQ(none.FormatTime(), "");
  // 2009-02-03 04:05:06 UTC
  WaypointRecord w = WaypointRecord::FromFile("w", 31, 0, 0, 0, 0, 0, 0, 1233633906, 4);
  EXPECT_EQ(w.FormatDate(), "03/02/2009");
  EXPECT_EQ(w.FormatTime(), "04:05:06");

  const WaypointRecord gps =
      WaypointRecord::FromGpsTime("g", 0, 0, 0, 0, 150, 1.5, 2.5, 3, 2, 9, 4, 5, 6, 11);
  EXPECT_EQ(gps.timeStamp, 1233633906);
  EXPECT_EQ(gps.symbol, 11);
  EXPECT_EQ(gps.altitudeCm, 150);

  const auto before = static_cast<std::int32_t>(std::time(nullptr));
  const WaypointRecord now("n", 30, 1, 500000, 4000000, 10, -3.0, 40.0, 2);
  EXPECT_GE(now.timeStamp, before);
  EXPECT_LE(now.timeStamp, before + 5);
  EXPECT_EQ(now.zone, 30);
  EXPECT_EQ(now.south, 1);
}

}  // namespace
