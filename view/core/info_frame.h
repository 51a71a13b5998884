// Rules of the main frame's bars that need no window: sizes designed for 96 dots per inch
// scaled to the screen, the ruler combo's items and what each one sets on the map view, and
// the status bar's pane widths.
#pragma once

#include <array>
#include <optional>
#include <string>

// A size of n pixels at 96 dpi on a screen of dpi dots per inch, rounded to nearest:
// (dpi x n + 48) / 96 in integer arithmetic.
int DpiScaled(int dpi, int n);

// The ruler combo's items, in order ("Auto", "OFF", then steps in map units with leading
// blanks so that they line up).
const std::array<std::string, 8>& RulerComboItems();

// What choosing a ruler item sets on the view: shown, and the step in map units (-1 chooses
// one automatically; none: the step stays as it is). "OFF" and items out of range turn the
// ruler off.
struct RulerChoice {
  bool show = false;
  std::optional<int> step;
};
RulerChoice RulerChoiceForItem(int item);

// The item selected at start: "Auto" when the ruler is on (Opciones\Regla), else "OFF".
int InitialRulerItem(int regla);

// Widths in pixels of the satellite and the automatic-capture panes. On hi-res screens both
// are scaled by the horizontal dpi; the capture pane is designed 15 wide there, 13 otherwise.
struct StatusPaneWidths {
  int satellites = 40;
  int autoCapture = 13;
};
StatusPaneWidths StatusPaneWidthsFor(bool hiRes, int dpiX);
