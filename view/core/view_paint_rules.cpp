#include "view/core/view_paint_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "view/core/info_panels.h"

namespace {

std::string Format(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

}  // namespace

FeatureShape ShapeOf(FeatureType type) {
  switch (type) {
    case FeatureType::Line: return FeatureShape::Polyline;
    case FeatureType::Area:
    case FeatureType::Part: return FeatureShape::Polygon;
    case FeatureType::CircleLine:
    case FeatureType::Circle: return FeatureShape::Ellipse;
    default: return FeatureShape::None;
  }
}

bool IsDashedOutline(FeatureType type) { return type == FeatureType::Line; }

bool IsCircleType(FeatureType type) {
  return type == FeatureType::CircleLine || type == FeatureType::Circle;
}

FillPattern PatternCells(std::int32_t pattern) {
  FillPattern p;
  auto set = [&](int x, int y) { p.ink[static_cast<std::size_t>(y * 5 + x)] = true; };
  for (int i = 0; i < 5; ++i) {
    switch (pattern) {
      case 0:
        for (int x = 0; x < 5; ++x) set(x, i);
        break;
      case 1: set(i, 2); break;
      case 2: set(2, i); break;
      case 3:
        set(i, 2);
        set(2, i);
        break;
      case 4: set(i, i); break;
      case 5: set(4 - i, i); break;
      default: break;  // 6 no fill, 7 and above white
    }
  }
  p.hollow = pattern == 6;
  return p;
}

bool VertexMarkInside(ScreenPoint p, int mapWidth, int mapHeight) {
  return p.x >= 1 && p.x < mapWidth && p.y >= 1 && p.y < mapHeight;
}

std::size_t MarkedVertexCount(FeatureType type, std::size_t vertexCount) {
  if (IsCircleType(type)) return vertexCount > 0 ? 1 : 0;
  return vertexCount;
}

std::string VertexLabel(FeatureType type, std::size_t vertex) {
  return IsCircleType(type) ? "0" : std::to_string(vertex + 1);
}

std::string TappedPointText(int coord, int geoType, double lon, double lat, double easting,
                            double northing) {
  if (coord == 1 || coord == 2) return Format(" E %.1f m | N %.1f m", easting, northing);
  if (coord != 0) return {};
  switch (geoType) {
    case 0: return Format("Lon %.7f\u00b0 | Lat %.7f\u00b0", lon, lat);
    // The whole degrees keep the sign of the value, also between -1 and 0 ("-00"), as the
    // position panel prints them.
    case 1:
    case 2:
      return "Lon " + GeographicAngleText(lon, geoType, 3) + " | Lat " +
             GeographicAngleText(lat, geoType, 2);
    default: return {};
  }
}

std::string MeasureDistanceText(const std::string& name, double distance, int metrica) {
  if (metrica == 1) return Format("%s d=%.1f yd   ", name.c_str(), distance * 1.0936);
  return Format("%s d=%.1f m   ", name.c_str(), distance);
}

std::string MeasureDeltaText(double dx, double dy, double dz, int metrica) {
  if (metrica == 1)
    return Format("dx=%.1f yd dy=%.1f yd dz=%.1f m   ", dx * 1.0936, dy * 1.0936, dz);
  return Format("dx=%.1f m dy=%.1f m dz=%.1f m   ", dx, dy, dz);
}

bool RotatedSourcePixel(int col, int row, int w, int h, float angle, int& srcCol, int& srcRow) {
  // Single-precision, as the arrow has always been turned.
  const float x = static_cast<float>(col - w / 2), y = static_cast<float>(row - h / 2);
  const float c = std::cos(angle), s = std::sin(angle);
  srcCol = static_cast<int>(x * c + y * s + static_cast<float>(w / 2));
  srcRow = static_cast<int>(y * c - x * s + static_cast<float>(h / 2));
  return srcCol >= 0 && srcCol < w && srcRow >= 0 && srcRow < h;
}

PixelBox Unite(const PixelBox& a, const PixelBox& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

PixelBox Intersect(const PixelBox& a, const PixelBox& b) {
  PixelBox r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  return r.Empty() ? PixelBox{} : r;
}

bool Meets(const PixelBox& a, const PixelBox& b) { return !Intersect(a, b).Empty(); }

PixelBox BoxAround(const std::vector<ScreenPoint>& points, int margin) {
  PixelBox box;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ScreenPoint& p = points[i];
    const PixelBox one{p.x - margin, p.y - margin, p.x + margin + 1, p.y + margin + 1};
    box = i == 0 ? one : Unite(box, one);
  }
  return box;
}

PixelBox TextBox(int x, int y, std::size_t bytes, int cellWidth, int lineHeight) {
  // Twice the widest Latin letter per byte, and a line more: glyphs outside it (wide marks,
  // overhangs) are rarer than the cost of reading the text's real extent.
  const int cell = std::max(cellWidth, lineHeight);
  const long long width = static_cast<long long>(bytes) * 2 * cell + lineHeight;
  return {x - 1, y - 1, static_cast<int>(std::min<long long>(x + width, 1 << 29)),
          y + 2 * lineHeight + 1};
}

PixelBox CapturedPointBox(ScreenPoint previous, ScreenPoint added, ScreenPoint first,
                          const PixelBox& label, const std::vector<ScreenPoint>& oldTrack,
                          const std::vector<ScreenPoint>& newTrack, int width, int height) {
  // Two pixels round the triangle: the pen's width and the 3 x 3 vertex mark.
  PixelBox box = BoxAround({previous, added, first}, 2);
  box = Unite(box, label);
  box = Unite(box, BoxAround(oldTrack, 2));
  box = Unite(box, BoxAround(newTrack, 2));
  return Intersect(box, {0, 0, width, height});
}

SegmentStep DecideSegmentStep(bool panning, std::size_t cachedPixels, bool refitPending,
                              bool currentVisible, ScreenPoint newPixel, int mapWidth,
                              int mapHeight) {
  if (panning) return SegmentStep::Ignore;
  if (cachedPixels < kIncrementalMinPixels || refitPending) return SegmentStep::Refit;
  if (!currentVisible) return SegmentStep::Ignore;
  if (newPixel.x < 0 || newPixel.x > mapWidth || newPixel.y < 0 || newPixel.y > mapHeight)
    return SegmentStep::Recentre;
  return SegmentStep::Draw;
}
