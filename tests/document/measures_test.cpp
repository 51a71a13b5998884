#include "document/measures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TEST(MeasuresTest, CircleOfRadiusTenFromItsThreeVertices) {
  const std::vector<GeoPoint> circle = CirclePolygon({431234.5, 4478123.25}, 10.0);
  ASSERT_EQ(circle.size(), 3u);
  EXPECT_NEAR(CalcDistance(circle[1], circle[2]), 28.284, 0.001);
  for (FeatureType type : {FeatureType::Circle, FeatureType::CircleLine}) {
    const FeatureMeasures m = MeasureProjected(type, circle);
    EXPECT_NEAR(m.area, std::numbers::pi * 100.0, 1e-6);  // 314.159 m2
    EXPECT_NEAR(m.perimeter, 2.0 * std::numbers::pi * 10.0, 1e-9);  // 62.832 m
    EXPECT_EQ(m.length, m.perimeter);
  }
  // A circle missing its corners measures nothing rather than reading past its vertices.
  const FeatureMeasures partial = MeasureProjected(FeatureType::Circle, {{0, 0}, {1, 1}});
  EXPECT_EQ(partial.area, 0.0);
  EXPECT_EQ(partial.perimeter, 0.0);
}

TEST(MeasuresTest, SquareOfHundredMetresInAnyOrientation) {
  for (double degrees : {0.0, 17.0, 45.0, 123.4, 271.9}) {
    for (bool reversed : {false, true}) {
      SCOPED_TRACE(degrees);
      const double t = degrees * std::numbers::pi / 180.0;
      const double c = std::cos(t), s = std::sin(t);
      std::vector<GeoPoint> square;
      for (auto [u, v] : {std::pair{0.0, 0.0}, {100.0, 0.0}, {100.0, 100.0}, {0.0, 100.0}}) {
        square.push_back({612345.0 + c * u - s * v, 4123456.0 + s * u + c * v});
      }
      if (reversed) std::reverse(square.begin(), square.end());
      const FeatureMeasures m = MeasureProjected(FeatureType::Area, square);
      EXPECT_NEAR(m.area, 10000.0, 1e-6);
      EXPECT_NEAR(m.length, 300.0, 1e-9);
      EXPECT_NEAR(m.perimeter, 400.0, 1e-9);
    }
  }
  const FeatureMeasures one = MeasureProjected(FeatureType::Line, {{5, 5}});
  EXPECT_EQ(one.length, 0.0);
  EXPECT_EQ(one.perimeter, 0.0);
  EXPECT_EQ(MeasureProjected(FeatureType::Line, {}).perimeter, 0.0);
}

TEST(MeasuresTest, BearingsClockwiseFromGridNorth) {
  struct Case {
    GeoPoint to;
    double bearing;
  };
  const Case cases[] = {
      {{0, -5}, 180}, {{-5, 0}, 270}, {{5, 0}, 90}, {{0, 5}, 0},
      {{5, 5}, 45},   {{5, -5}, 135}, {{-5, -5}, 225}, {{-5, 5}, 315},
      {{1, std::sqrt(3.0)}, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.to.x << "," << c.to.y);
    // The bearing of the target seen from the origin.
    // Level points are taken 1e-10 apart in y, which tilts east and west by 1e-9 degrees.
    EXPECT_NEAR(CalcBearing(c.to, {0, 0}), c.bearing, 1e-8);
  }
}

}  // namespace
