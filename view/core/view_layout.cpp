#include "view/core/view_layout.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr double kYardsPerMetre = 0.91441111923921;

int Scaled(int dpi, int n) { return (dpi * n + 48) / 96; }

int Truncate(double v) {
  constexpr double kMax = std::numeric_limits<int>::max();
  if (std::isnan(v)) return 0;
  if (v >= kMax) return std::numeric_limits<int>::max();
  if (v <= -kMax) return -std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

}  // namespace

std::array<PanelRect, 4> LayoutPanels(int clientWidth, int clientHeight, int rowUnit, bool hiRes,
                                      int dpiX, int dpiY) {
  // The 1-pixel and 2-pixel overlaps, per axis.
  int oneX = 1, oneY = 1, twoX = 2, twoY = 2;
  if (hiRes) {
    oneX = (dpiX + 48) / 96;
    oneY = (dpiY + 48) / 96;
    twoX = ((dpiX + 24) * 2) / 96;
    twoY = ((dpiY + 24) * 2) / 96;
  }
  const double half = clientWidth * 0.5;
  const int bottomY = clientHeight - rowUnit + oneY;
  // The top panels' widths take the vertical values, the bottom ones the horizontal values.
  return {{
      {-oneX, 0, Truncate(half + oneY), 2 * rowUnit},
      {Truncate(half - oneX), 0, Truncate(half + twoY), 2 * rowUnit},
      {-oneX, bottomY, Truncate(half + oneX), rowUnit},
      {Truncate(half - oneX), bottomY, Truncate(half + twoX), rowUnit},
  }};
}

int MapFontHeight(int pointSize, int dpiY) {
  return static_cast<int>(static_cast<std::int64_t>(pointSize) * dpiY / -72);
}

int PanelRowUnit(int fontHeight, bool hiRes, int dpiY) {
  int unit = fontHeight < 0 ? -fontHeight : fontHeight;
  if (unit == 0) unit = 15;
  return unit + (hiRes ? ((dpiY + 16) * 3) / 96 : 3);
}

RulerScale ComputeRuler(int rulerStep, double scale, int metrica) {
  const double unitScale = metrica == 1 ? scale * kYardsPerMetre : scale;
  int step = rulerStep;
  if (step < 0) {
    step = 10000;
    while (step * unitScale > 50) step /= 10;
    // A map of more than 10 km to 5 pixels (a large window over points far apart): the
    // step grows by tens until its grid lines stand apart again.
    constexpr int kLargestStep = 1000000000;
    while (unitScale > 0 && step > 0 && step * unitScale < kMinGridSpacing && step < kLargestStep)
      step *= 10;
  }
  const int length = Truncate(step * unitScale);
  return {step, length, length >= kMinGridSpacing};
}

std::string RulerText(int step, int metrica) {
  char text[32];
  std::snprintf(text, sizeof text, metrica == 1 ? "%d yd" : "%d m", step);
  return text;
}

RulerPlace PlaceRuler(int clientBottom, int lineHeight, bool hiRes, int dpiX, int dpiY) {
  auto sx = [&](int n) { return hiRes ? Scaled(dpiX, n) : n; };
  auto sy = [&](int n) { return hiRes ? Scaled(dpiY, n) : n; };
  const int b = clientBottom, h = lineHeight;
  return {sx(10), b - 2 * h - sy(50), b - h - sy(48), b - h - sy(46), b - h - sy(50)};
}
