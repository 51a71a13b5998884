#include "view/core/nav_compass.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr double kYardsPerMetre = 1.0936;
constexpr double kArrowSpread = 0.5;  // radians either side of the reversed needle

RoseLabel LabelAt(const char* text, CompassPoint at, int designedWidth, int designedHeight,
                  bool north, const TextMeasure& measure) {
  int width = designedWidth, height = designedHeight;
  if (measure) {
    const TextExtent box = FitTextBox({designedWidth, designedHeight}, measure(text));
    width = box.cx;
    height = box.cy;
  }
  RoseLabel label;
  label.text = text;
  label.left = at.x - width / 2;
  label.top = at.y - height / 2;
  label.right = label.left + width;
  label.bottom = label.top + height;
  label.north = north;
  return label;
}

}  // namespace

int ScaleForDpi(int v, int dpi) { return (v * dpi + 48) / 96; }

int CompassLabelFontHeight(int dpi) { return ScaleForDpi(14, dpi); }

TextExtent FitTextBox(TextExtent designed, TextExtent text) {
  return {std::max(designed.cx, text.cx + 2), std::max(designed.cy, text.cy)};
}

double CompassNorthAngle(double course) { return -course - 90.0; }

double CompassNeedleAngle(double bearing, double course) {
  return bearing + CompassNorthAngle(course);
}

CompassPoint PointOnRose(int cx, int cy, double degrees, double radius) {
  const double a = degrees * kRadiansPerDegree;
  return {static_cast<int>(cx + radius * std::cos(a)), static_cast<int>(cy + radius * std::sin(a))};
}

double RelativeBearing(double bearing, double course) {
  double r = bearing - course;
  if (r > 180.0) r -= 360.0;
  return r;
}

std::string CompassDistanceText(double metres, bool yards) {
  char text[64];
  if (yards) {
    std::snprintf(text, sizeof text, "%.2f yd", metres * kYardsPerMetre);
  } else {
    std::snprintf(text, sizeof text, "%.2f m", metres);
  }
  return text;
}

std::string CompassHeaderText(double metres, double bearing, double course, bool yards) {
  char angle[48];
  std::snprintf(angle, sizeof angle, " | %.0f\u00B0", RelativeBearing(bearing, course));
  return CompassDistanceText(metres, yards) + angle;
}

RoseLayout SmallRoseLayout(int clientWidth, int clientHeight, double course, double bearing,
                           int dpi, const TextMeasure& measure) {
  RoseLayout rose;
  rose.cx = clientWidth / 2;
  rose.cy = clientHeight / 2;
  rose.radius = ScaleForDpi(25, dpi);
  const double north = CompassNorthAngle(course);
  const int box = ScaleForDpi(16, dpi);
  static const char* const kNames[] = {"N", "E", "S", "W"};
  for (int k = 0; k < 4; ++k) {
    const CompassPoint at = PointOnRose(rose.cx, rose.cy, north + k * 90.0, rose.radius);
    rose.labels.push_back(LabelAt(kNames[k], at, box, box, k == 0, measure));
  }
  rose.needleAngle = CompassNeedleAngle(bearing, course);
  rose.needleTip = PointOnRose(rose.cx, rose.cy, rose.needleAngle, ScaleForDpi(25 - 5, dpi));
  return rose;
}

RoseLayout LargeRoseLayout(int clientWidth, int clientHeight, double course, double bearing,
                           int dpi, const TextMeasure& measure) {
  RoseLayout rose;
  rose.cx = clientWidth / 2;
  rose.cy = clientHeight / 2 + ScaleForDpi(10, dpi);
  rose.radius = ScaleForDpi(80, dpi);
  const double north = CompassNorthAngle(course);
  const int boxWidth = ScaleForDpi(20, dpi);
  const int boxHeight = ScaleForDpi(16, dpi);
  static const char* const kNames[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  for (int k = 0; k < 8; ++k) {
    const CompassPoint at = PointOnRose(rose.cx, rose.cy, north + k * 45.0, rose.radius);
    rose.spokes.push_back(at);
    rose.labels.push_back(LabelAt(kNames[k], at, boxWidth, boxHeight, k == 0, measure));
  }
  rose.needleAngle = CompassNeedleAngle(bearing, course);
  rose.needleTip = PointOnRose(rose.cx, rose.cy, rose.needleAngle, ScaleForDpi(80 - 10, dpi));
  // The arrowhead's strokes point back from the tip, half a radian either side.
  const double back = rose.needleAngle + 180.0;
  const double spread = kArrowSpread / kRadiansPerDegree;
  const double stroke = ScaleForDpi(15, dpi);
  rose.arrowHead = true;
  rose.arrowLeft = PointOnRose(rose.needleTip.x, rose.needleTip.y, back - spread, stroke);
  rose.arrowRight = PointOnRose(rose.needleTip.x, rose.needleTip.y, back + spread, stroke);
  return rose;
}
