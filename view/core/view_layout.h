// Sizes and places of the map view's parts, in pixels: the four info panels, the map font,
// the panel row unit, and the scale ruler with its grid.
//
// Sizes designed for 96 dots per inch are scaled on high-resolution screens; dpiX applies to
// widths and x positions, dpiY to heights and y positions.
#pragma once

#include <array>
#include <string>

struct PanelRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

// Index in the result of LayoutPanels.
enum PanelSlot { kPositionPanel = 0, kAltitudePanel = 1, kLengthPanel = 2, kAreaPanel = 3 };

// The panels over a client area of clientWidth x clientHeight: two rows on top (position,
// altitude), one at the bottom (length, area), each pair meeting at the middle.
std::array<PanelRect, 4> LayoutPanels(int clientWidth, int clientHeight, int rowUnit, bool hiRes,
                                      int dpiX, int dpiY);

// Font height (negative: character height) of a map font of pointSize points.
int MapFontHeight(int pointSize, int dpiY);
// Height of one panel row from the height of the view's font (15 when that is 0).
int PanelRowUnit(int fontHeight, bool hiRes, int dpiY);

// The scale ruler: its step in map units (metres, or yards for Metrica 1) and length in pixels.
struct RulerScale {
  int step = 0;
  int lengthPx = 0;
  bool grid = false;  // the grid is drawn: its lines stand kMinGridSpacing pixels apart or more
};
// Grid lines closer than this would turn the map grey; the ruler alone is shown then.
constexpr int kMinGridSpacing = 5;
// rulerStep -1 picks the largest power of ten up to 10000 whose bar is at most 50 pixels
// (which reaches 0 when the scale exceeds 50 pixels per unit); where even 10000 units make
// fewer than kMinGridSpacing pixels, the smallest power of ten above it that makes as many.
// scale is pixels per metre.
RulerScale ComputeRuler(int rulerStep, double scale, int metrica);
// "%d m", or "%d yd" for Metrica 1.
std::string RulerText(int step, int metrica);

// Where the ruler sits above the client bottom: text top-left, bar and the end ticks.
struct RulerPlace {
  int x = 0;            // left end of the bar and of the text
  int textY = 0;
  int barY = 0;
  int tickFrom = 0;     // the end ticks run from tickFrom up to tickTo
  int tickTo = 0;
};
RulerPlace PlaceRuler(int clientBottom, int lineHeight, bool hiRes, int dpiX, int dpiY);
