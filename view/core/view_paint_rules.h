// What the map view draws for each thing, decided without a display: shapes and pens of the
// feature types, the 5 x 5 fill patterns, which vertices get marks and numbers, the text of a
// tapped point, the rotation of the target arrow, and what a newly captured point does to
// the picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/records.h"
#include "view/core/view_projection.h"

enum class FeatureShape { None, Polyline, Polygon, Ellipse };

// Lines are polylines; areas and parts polygons; both circle forms the ellipse bounded by
// vertices 1 and 2 (vertex 0 is the centre).
FeatureShape ShapeOf(FeatureType type);
// Lines are outlined with a dashed pen, everything else with a solid one.
bool IsDashedOutline(FeatureType type);
bool IsCircleType(FeatureType type);

// A fill pattern: 25 cells (index y * 5 + x), true where the feature's colour goes, white
// elsewhere; hollow for the pattern drawn without fill.
struct FillPattern {
  bool hollow = false;
  std::array<bool, 25> ink{};
};
FillPattern PatternCells(std::int32_t pattern);

// Vertex marks (3 x 3 squares) are drawn only inside 1 <= x < mapWidth, 1 <= y < mapHeight.
bool VertexMarkInside(ScreenPoint p, int mapWidth, int mapHeight);
// How many of a feature's vertices are marked and numbered: a circle only its centre.
std::size_t MarkedVertexCount(FeatureType type, std::size_t vertexCount);
// The point number of vertex k: "0" for a circle's centre, else k + 1.
std::string VertexLabel(FeatureType type, std::size_t vertex);

// Text of a tapped point in the coordinate band. coord 0 gives geographic text by geoType
// (0 decimal degrees, 1 degrees and minutes, 2 degrees, minutes and seconds, others empty);
// coord 1 or 2 the projected easting and northing.
std::string TappedPointText(int coord, int geoType, double lon, double lat, double easting,
                            double northing);

// Measure overlay lines: target name and distance, then dx, dy, dz (metres; yards shown
// for Metrica 1, dz always in metres).
std::string MeasureDistanceText(const std::string& name, double distance, int metrica);
std::string MeasureDeltaText(double dx, double dy, double dz, int metrica);

// Source pixel of destination (col, row) when a w x h bitmap is turned by angle radians about
// its centre; false when it falls outside (the background shows there).
bool RotatedSourcePixel(int col, int row, int w, int h, float angle, int& srcCol, int& srcRow);

// The offset track cache keeps at most this many pixels after an incremental append.
constexpr std::size_t kMaxOffsetPixels = 11;
void AppendOffsetPixel(std::vector<ScreenPoint>& cache, ScreenPoint p);

// What a captured point (WM_ADD_SEGMENTO) does to the picture.
enum class SegmentStep {
  Ignore,    // a pan drag runs, or the current feature is hidden: nothing drawn
  Refit,     // few pixels cached or a refit is pending: full redraw on the next paint
  Recentre,  // the new point left the map: centre on the GPS
  Draw,      // append the pixel and redraw from the caches
};
// Below this many cached feature pixels a captured point refits the whole map.
constexpr std::size_t kIncrementalMinPixels = 40;
SegmentStep DecideSegmentStep(bool panning, std::size_t cachedPixels, bool refitPending,
                              bool currentVisible, ScreenPoint newPixel, int mapWidth,
                              int mapHeight);
