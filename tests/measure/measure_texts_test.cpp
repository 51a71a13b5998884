// Typed altitudes of the averaging dialog and the geographic texts of a waypoint.
#include <gtest/gtest.h>

#include "dialogs/core/measure_texts.h"

namespace {

TEST(AltitudeText, MetresToWholeCentimetresTruncatedOnTheDigits) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"12.345", 1234}, {"1.15", 115},   {"0.29", 29},     {"-3", -300},  {" 7 ", 700},
      {".5", 50},       {"+2.", 200},    {"-0.019", -1},   {"0", 0},      {"", std::nullopt},
      {"-", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
      {"1,5", std::nullopt}, {"99999999999", std::nullopt}, {"1e3", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseAltitudeCentimetres(text), expected) << text;
  }
}

TEST(WaypointAngleText, DegreesMinutesAndSecondsByGeoType) {
  struct Case {
    double value;
    int geoType;
    bool longitude;
    const char* text;
  };
  const Case cases[] = {
      {-3.5, 0, true, "-3.5000000\u00BA"},
      {-3.5, 1, true, "-03\u00BA 30.0000'"},
      {40.25, 1, false, "40\u00BA 15.0000'"},
      {2.125, 1, true, "002\u00BA 7.5000'"},
      {-3.508475, 2, true, "-03\u00BA 30' 30.510\""},
      {41.0125, 2, false, "41\u00BA 00' 45.000\""},
      // West of Greenwich by less than a degree keeps its sign.
      {-0.5, 1, true, "-00\u00BA 30.0000'"},
      {-0.25, 2, false, "-0\u00BA 15' 0.000\""},
      {10.0, 3, true, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatWaypointAngle(c.value, c.geoType, c.longitude), c.text) << c.value;
  }
}

}  // namespace

#include "dialogs/core/measure_points.h"

namespace {

TEST(PointDistanceLists, ObjectsPointsAndTheirPositions) {
  DocumentContent content;
  FeatureRecord& field = content.AddFeature(FeatureType::Area, "Field");
  field.AddVertex({1, 1}, {1.5, 1.5}, 0);
  field.AddVertex({2, 2}, {2.5, 2.5}, 0, "well");
  content.AddFeature(FeatureType::Line, "Empty");
  WaypointRecord gate;
  gate.name = "Gate";
  gate.x = 7;
  gate.y = 8;
  content.waypoints.push_back(gate);
  const GeoPoint gps{9, 10};

  // Two features, then "Wpt", then "GPS" only while the receiver is listed.
  EXPECT_EQ(ObjectAt(1, 2, true).source, PointSource::Feature);
  EXPECT_EQ(ObjectAt(2, 2, false).source, PointSource::Waypoints);
  EXPECT_EQ(ObjectAt(3, 2, true).source, PointSource::Gps);
  EXPECT_EQ(ObjectAt(3, 2, false).source, PointSource::None);
  EXPECT_EQ(ObjectAt(-1, 2, true).source, PointSource::None);

  const MeasureObject first = ObjectAt(0, 2, true);
  EXPECT_EQ(PointLines(content, first, "Point %d"), (std::vector<std::string>{"Point 1", "Point 2 (well)"}));
  EXPECT_EQ(PointAt(content, first, 1, gps), (GeoPoint{2.5, 2.5}));  // working datum
  EXPECT_EQ(PointAt(content, first, 2, gps), std::nullopt);

  const MeasureObject empty = ObjectAt(1, 2, true);
  EXPECT_TRUE(PointLines(content, empty, "Point %d").empty());
  EXPECT_EQ(PointAt(content, empty, 0, gps), std::nullopt);

  const MeasureObject waypoints = ObjectAt(2, 2, true);
  EXPECT_EQ(PointLines(content, waypoints, "Point %d"), std::vector<std::string>{"Gate"});
  EXPECT_EQ(PointAt(content, waypoints, 0, gps), (GeoPoint{7, 8}));

  const MeasureObject receiver = ObjectAt(3, 2, true);
  EXPECT_EQ(PointLines(content, receiver, "Point %d"), std::vector<std::string>{"GPS"});
  EXPECT_EQ(PointAt(content, receiver, 0, gps), gps);
  EXPECT_EQ(PointAt(content, receiver, -1, gps), std::nullopt);
}

}  // namespace
