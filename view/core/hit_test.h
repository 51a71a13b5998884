// What a stylus tap on the map view lands on, and where on the ground it lies.
//
// Frames: a tap arrives in view-client pixels. The view's caches of drawn points hold
// map-bitmap pixels, whose origin sits at client y = 2 x panel row unit (x is the same), so a
// cached point is compared at (x, y + 2 x row unit). The ground position of a tap is
// longitude/latitude in degrees of the working datum.
#pragma once

#include <cstdlib>
#include <vector>

#include "document/records.h"
#include "view/core/view_projection.h"

// A tap hits a drawn point when it is less than 7 pixels across and less than 5 pixels up or
// down from it (6 and 4 pixels still hit).
constexpr int kTapToleranceX = 7;
constexpr int kTapToleranceY = 5;

inline bool TapHitsPoint(int tapX, int tapY, int pointX, int pointY) {
  return std::abs(tapX - pointX) < kTapToleranceX && std::abs(tapY - pointY) < kTapToleranceY;
}

// The working-datum position under client pixel (x, y), through the inverse of the view's
// projection. While the scale is 0 (everything drawn on one spot) every tap lies on the map
// centre rather than at an infinite coordinate that would end up in the document.
GeoPoint TapToWorld(const MapViewState& view, int x, int y);

// Index of the first cached waypoint point the tap hits, -1 when none.
int HitWaypoint(const std::vector<ScreenPoint>& waypointPoints, int tapX, int tapY, int rowUnit);

// The feature a tap offers: tested at its first vertex only (its first point in the feature
// cache), every visible feature but the current one in document order and then the current one,
// the last hit winning, so the current feature beats all others. -1 when none is hit. A feature
// beyond the cache (added since the last paint) is not on screen yet and is not offered.
int HitFeature(const std::vector<FeatureRecord>& features, int current,
               const std::vector<ScreenPoint>& featurePoints, int tapX, int tapY, int rowUnit);

// The four corners of a rectangle dragged from p1 to p2, in the order they are stored:
// (x1, y1), (x2, y1), (x2, y2), (x1, y2). Works in either degree frame.
std::vector<GeoPoint> RectangleCorners(const GeoPoint& p1, const GeoPoint& p2);

// A circle dragged from its centre to a point of its edge, both easting/northing in metres:
// two opposite corners of the square around it, a = (E - d, N + d) and b = (E + d, N - d),
// d being the planar distance between the two points.
void CircleSquareCorners(const GeoPoint& centre, const GeoPoint& edge, GeoPoint& a, GeoPoint& b);
