// The compass window's drawing rules: where its rose, labels and needle go, and its texts.
//
// Angles are screen angles in degrees, clockwise from the positive x axis with y growing
// downwards, so -90 points up. The rose turns with the walker: north lies at -course - 90,
// so the direction of travel is always up, and the needle points at bearing - course - 90.
// Pixel sizes are those of a 96-dpi screen, scaled as (v * dpi + 48) / 96.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct CompassPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CompassPoint&, const CompassPoint&) = default;
};

// (v * dpi + 48) / 96, integer.
int ScaleForDpi(int v, int dpi);

// Screen angle of north and of the needle, degrees.
double CompassNorthAngle(double course);
double CompassNeedleAngle(double bearing, double course);

// The point at screen angle `degrees` and radius `radius` from (cx, cy), truncated.
CompassPoint PointOnRose(int cx, int cy, double degrees, double radius);

// Bearing relative to the course, bearing - course, less 360 when above 180 (so it lies in
// (-360, 180]).
double RelativeBearing(double bearing, double course);

// Distance as the small compass's caption: "%.2f m", or "%.2f yd" (metres x 1.0936) when
// yards is set.
std::string CompassDistanceText(double metres, bool yards);
// The large compass's top line: the distance text, " | " and the relative bearing "%.0f°".
std::string CompassHeaderText(double metres, double bearing, double course, bool yards);

// The labels' font height in pixels: 14 at 96 dpi, scaled like every other size of the rose
// (the font and the label boxes grow together).
int CompassLabelFontHeight(int dpi);

// The size a text takes in the font it is drawn with, pixels.
struct TextExtent {
  int cx = 0;
  int cy = 0;
};
using TextMeasure = std::function<TextExtent(const std::string&)>;

// A text box of the designed size (already scaled) made large enough for the text's extent
// (and a pixel to spare left and right), so that whatever face and size the desktop gives
// "Arial" the text is drawn whole.
TextExtent FitTextBox(TextExtent designed, TextExtent text);

// One label of the rose: its text, the box it is centred in (left, top, right, bottom) and
// whether it is the north label (drawn in red).
struct RoseLabel {
  std::string text;
  int left = 0, top = 0, right = 0, bottom = 0;
  bool north = false;
};

struct RoseLayout {
  int cx = 0, cy = 0;      // centre
  int radius = 0;          // circle
  CompassPoint needleTip;  // needle from the centre to here
  // Large form only: the two strokes of the arrowhead, from the tip.
  bool arrowHead = false;
  CompassPoint arrowLeft, arrowRight;
  std::vector<CompassPoint> spokes;  // large form: eight spoke ends on the circle
  std::vector<RoseLabel> labels;
  double needleAngle = 0.0;
};

// Small form: circle radius 25, labels N E S W in 16 x 16 boxes, needle to radius 20.
// measure gives each label's extent in the labels' font; a box is grown to hold it
// (FitTextBox). Without it the boxes keep their designed size.
RoseLayout SmallRoseLayout(int clientWidth, int clientHeight, double course, double bearing,
                           int dpi, const TextMeasure& measure = {});
// Large form: centre 10 pixels below the middle, circle radius 80, eight spokes, labels N NE
// E SE S SW W NW in 20 x 16 boxes, needle to radius 70 with a 15-pixel arrowhead at +-0.5 rad.
RoseLayout LargeRoseLayout(int clientWidth, int clientHeight, double course, double bearing,
                           int dpi, const TextMeasure& measure = {});
