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

// A box of pixels, right and bottom exclusive; empty when right <= left or bottom <= top.
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int Width() const { return Empty() ? 0 : right - left; }
  int Height() const { return Empty() ? 0 : bottom - top; }
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};
PixelBox Unite(const PixelBox& a, const PixelBox& b);
PixelBox Intersect(const PixelBox& a, const PixelBox& b);
bool Meets(const PixelBox& a, const PixelBox& b);
// The pixels of points, grown by margin on every side (empty for no points).
PixelBox BoxAround(const std::vector<ScreenPoint>& points, int margin);
// Where a one-line text of bytes bytes written at (x, y) (its top-left) can put ink, never
// less: cellWidth is the widest character of the font, lineHeight its height.
PixelBox TextBox(int x, int y, std::size_t bytes, int cellWidth, int lineHeight);

// The part of the map a captured point changes when the picture was of the feature before it:
// the triangle of the feature's previous last vertex, the new vertex and the first vertex
// (the fill gains or loses that triangle, the closing side moves), with the pen and the new
// vertex mark around it; then label (the new vertex's number, when numbers are shown) and
// where the offset track lay and lies now. Cut to the map of width x height pixels.
PixelBox CapturedPointBox(ScreenPoint previous, ScreenPoint added, ScreenPoint first,
                          const PixelBox& label, const std::vector<ScreenPoint>& oldTrack,
                          const std::vector<ScreenPoint>& newTrack, int width, int height);

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
