// The pixel rules of the drawing layer, free of wxWidgets: raster operations, hatch
// patterns, text placement and the tap-and-hold gesture. The DC and the input routing
// apply them; tests check them without a display.
#pragma once

#include <cstdint>

#include "platform/ui/gdi_types.h"

namespace platform::ui {

// Ternary raster code (BitBlt, PatBlt): bits 16-23 hold the result for each combination of
// pattern, source and destination bits, indexed by P * 4 + S * 2 + D. Applied bit by bit to
// the 24 colour bits.
COLORREF ApplyRop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF destination);
// Binary raster code (SetROP2, 1-16): (code - 1) holds the result indexed by P * 2 + D.
COLORREF ApplyRop2(int rop2, COLORREF pen, COLORREF destination);
// Whether a ternary code reads the source, the pattern, the destination.
bool Rop3UsesSource(DWORD rop);
bool Rop3UsesPattern(DWORD rop);
bool Rop3UsesDestination(DWORD rop);

// Whether pixel (x, y) of an 8 x 8 hatch cell (HS_...) is on a hatch line; x and y are
// taken modulo 8 from the brush origin.
bool HatchPixel(int hatch, int x, int y);

// Monochrome conversions of BitBlt: colour to monochrome gives white (true) where the pixel
// equals the source DC's background colour; monochrome to colour gives the destination's
// text colour for black and its background colour for white.
inline bool ColourToMono(COLORREF pixel, COLORREF sourceBackground) {
  return (pixel & 0xFFFFFF) == (sourceBackground & 0xFFFFFF);
}
inline COLORREF MonoToColour(bool white, COLORREF textColour, COLORREF backgroundColour) {
  return white ? backgroundColour : textColour;
}

// Top-left corner of a text cell of the given extent for the reference point (x, y) and a
// TA_ alignment; ascent is the font's ascent (for TA_BASELINE).
CPoint TextCellOrigin(int x, int y, UINT align, CSize extent, int ascent);
// Top-left of a text block of extent inside rect under DT_ flags (single-line rules:
// DT_CENTER/DT_RIGHT across, DT_VCENTER/DT_BOTTOM only with DT_SINGLELINE).
CPoint DrawTextOrigin(const RECT& rect, UINT format, CSize extent);

// Ellipse-arc angles of Arc/Pie/Chord: the angle (radians, counter-clockwise from the
// x axis, y up) of the ray from the centre of rect through (x, y).
double RayAngle(const RECT& rect, int x, int y);

// Tap and hold: the stylus goes down, may wander up to the slop, and is held for the
// time; then the gesture fires once. Time in milliseconds of any monotonic clock.
class TapHoldDetector {
 public:
  TapHoldDetector(UINT holdMilliseconds, int slopPixels)
      : hold_(holdMilliseconds), slop_(slopPixels) {}

  void Down(POINT p, std::uint64_t now);
  // False when the stylus left the slop square (the press is an ordinary one from then on).
  bool Move(POINT p);
  void Up();
  // True exactly once, when the hold time has passed without release or wandering.
  bool Tick(std::uint64_t now);
  bool Armed() const { return armed_; }
  bool Fired() const { return fired_; }
  POINT DownPoint() const { return down_; }

 private:
  UINT hold_;
  int slop_;
  bool armed_ = false;
  bool fired_ = false;
  POINT down_;
  std::uint64_t downTime_ = 0;
};

}  // namespace platform::ui
