#include "document/measures.h"

#include <cmath>

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kPiOver8 = 0.39269908169872414;
constexpr double kPiOverSqrt2 = 2.221441469079183;
// Below this the points are taken as level: the bearing keeps the sign of dy.
constexpr double kMinimumDy = 1e-10;
}  // namespace

double CalcDistance(const GeoPoint& a, const GeoPoint& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

double CalcBearing(const GeoPoint& from, const GeoPoint& at) {
  const double dx = from.x - at.x;
  double dy = from.y - at.y;
  if (std::fabs(dy) < kMinimumDy) dy = dy < 0 ? -kMinimumDy : kMinimumDy;
  const double a = std::atan(std::fabs(dx / dy)) * kDegreesPerRadian;
  if (dy < 0) {
    if (dx > 0) return 180.0 - a;
    if (dx < 0) return 180.0 + a;
    return 180.0;
  }
  return dx < 0 ? 360.0 - a : a;
}

double PlanarArea(const std::vector<GeoPoint>& points) {
  return std::fabs(ShoelaceArea(points));
}

double OpenLength(const std::vector<GeoPoint>& points) {
  double sum = 0.0;
  for (std::size_t i = 1; i < points.size(); ++i) sum += CalcDistance(points[i - 1], points[i]);
  return sum;
}

double ClosedPerimeter(const std::vector<GeoPoint>& points) {
  if (points.empty()) return 0.0;
  return OpenLength(points) + CalcDistance(points.back(), points.front());
}

std::vector<GeoPoint> CirclePolygon(const GeoPoint& centre, double radius) {
  return {centre,
          {centre.x - radius, centre.y + radius},
          {centre.x + radius, centre.y - radius}};
}

FeatureMeasures MeasureProjected(FeatureType type, const std::vector<GeoPoint>& points) {
  FeatureMeasures m;
  if (type == FeatureType::Circle || type == FeatureType::CircleLine) {
    if (points.size() < 3) return m;
    const double d = CalcDistance(points[1], points[2]);
    m.area = d * d * kPiOver8;
    m.length = m.perimeter = d * kPiOverSqrt2;
    return m;
  }
  m.area = PlanarArea(points);
  m.length = OpenLength(points);
  m.perimeter = ClosedPerimeter(points);
  return m;
}
