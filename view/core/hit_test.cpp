#include "view/core/hit_test.h"

#include <cmath>

GeoPoint TapToWorld(const MapViewState& view, int x, int y) {
  if (view.m_scale == 0.0 || !std::isfinite(view.m_scale)) {
    return {view.m_refLon + view.m_centreX / (view.m_mPerMinLon * 60.0),
            view.m_centreY / (view.m_mPerMinLat * 60.0)};
  }
  GeoPoint p;
  view.ScreenToWorld(x, y, p.x, p.y);
  return p;
}

int HitWaypoint(const std::vector<ScreenPoint>& waypointPoints, int tapX, int tapY, int rowUnit) {
  for (std::size_t i = 0; i < waypointPoints.size(); ++i) {
    const ScreenPoint& p = waypointPoints[i];
    if (TapHitsPoint(tapX, tapY, p.x, p.y + 2 * rowUnit)) return static_cast<int>(i);
  }
  return -1;
}

int HitFeature(const std::vector<FeatureRecord>& features, int current,
               const std::vector<ScreenPoint>& featurePoints, int tapX, int tapY, int rowUnit) {
  int hit = -1;
  for (const DrawnFeature& drawn : FeatureDrawOrder(features, current)) {
    if (features[drawn.index].vertices.empty() || drawn.firstCached >= featurePoints.size()) {
      continue;
    }
    const ScreenPoint& p = featurePoints[drawn.firstCached];
    if (TapHitsPoint(tapX, tapY, p.x, p.y + 2 * rowUnit)) hit = drawn.index;
  }
  return hit;
}

std::vector<GeoPoint> RectangleCorners(const GeoPoint& p1, const GeoPoint& p2) {
  return {{p1.x, p1.y}, {p2.x, p1.y}, {p2.x, p2.y}, {p1.x, p2.y}};
}

void CircleSquareCorners(const GeoPoint& centre, const GeoPoint& edge, GeoPoint& a, GeoPoint& b) {
  const double d = std::hypot(edge.x - centre.x, edge.y - centre.y);
  a = {centre.x - d, centre.y + d};
  b = {centre.x + d, centre.y - d};
}
