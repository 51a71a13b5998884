// Typed altitudes of the averaging dialog and the geographic texts of a waypoint.
#include <gtest/gtest.h>

#include "dialogs/core/measure_texts.h"

namespace {

TEST(AltitudeText, MetresToTheNearestCentimetreOnTheDigits) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"12.345", 1235}, {"1.15", 115},   {"0.29", 29},     {"-3", -300},  {" 7 ", 700},
      {".5", 50},       {"+2.", 200},    {"-0.019", -2},   {"0", 0},      {"", std::nullopt},
      {"651.3", 65130}, {"1.005", 101},  {"1.0049", 100},  {"-0.005", -1},
      {"21474836.47", 2147483647},       {"21474836.475", std::nullopt},
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
      // Rounded seconds and minutes carry into the minutes and degrees.
      {40.4, 2, false, "40\u00BA 24' 0.000\""},
      {-(3 + 59.99999 / 60), 1, true, "-04\u00BA 0.0000'"},
      {10.0, 3, true, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatWaypointAngle(c.value, c.geoType, c.longitude), c.text) << c.value;
  }
}

}  // namespace

