// Measures of a feature in a projected plane: area, open length and closed perimeter, the
// distance and bearing of two points, and the three-vertex layout of a circle.
//
// Every input is a plane coordinate pair (x easting, y northing) in the units of the
// measuring projection: metres for UTM, the projection's linear unit otherwise. Results
// are in those units (areas in their square). The formulas are planar; their accuracy is
// that of the projection over the feature's extent.
#pragma once

#include <vector>

#include "document/records.h"

struct FeatureMeasures {
  double area = 0.0;
  double length = 0.0;     // open polyline
  double perimeter = 0.0;  // closed ring
};

// Straight-line distance.
double CalcDistance(const GeoPoint& a, const GeoPoint& b);

// Bearing of `from` seen from `at`, degrees clockwise from grid north, in [0, 360).
// A point due south of `at` gives 180, due east 90.
double CalcBearing(const GeoPoint& from, const GeoPoint& at);

// Unsigned area of the closed ring through the points.
double PlanarArea(const std::vector<GeoPoint>& points);
// Sum of the distances between consecutive points; 0 for fewer than two.
double OpenLength(const std::vector<GeoPoint>& points);
// The open length plus the closing distance from the last point back to the first.
double ClosedPerimeter(const std::vector<GeoPoint>& points);

// A circle is kept as three vertices: its centre and the north-west and south-east corners
// of its bounding square (centre x - r, y + r and centre x + r, y - r).
std::vector<GeoPoint> CirclePolygon(const GeoPoint& centre, double radius);

// The measures the area worker stores for a feature of this type whose vertices are given
// in the plane. Circles (both forms) are measured from the diagonal d of their bounding
// square: area d^2 pi / 8 and length = perimeter = d pi / sqrt 2; a circle without its
// three vertices measures 0. Every other type: PlanarArea, OpenLength, ClosedPerimeter.
FeatureMeasures MeasureProjected(FeatureType type, const std::vector<GeoPoint>& points);
