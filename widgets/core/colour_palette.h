// The colour picker's rules without windows: the 40-colour table, the popup's layout in
// pixels, which cell a stylus point or a key reaches, and the picker button's geometry.
//
// Popup cells are numbered 0-39 for the colours (row by row, 8 to a row), kCellAutomatic
// for the "Automatic" text cell above them, kCellCancel for the "Cancel" cell below, and
// kCellNone for none. Rectangles are client pixels of the popup unless said otherwise.
#pragma once

#include <array>
#include <string>

#include "platform/ui/gdi_types.h"

namespace widgets {

// The automatic colour (the system default) in place of a COLORREF.
constexpr COLORREF kAutomaticColour = 0xFF000000u;

constexpr int kColourCount = 40;
constexpr int kColourColumns = 8;
constexpr int kColourRows = (kColourCount + kColourColumns - 1) / kColourColumns;
constexpr int kCellAutomatic = -3;
constexpr int kCellCancel = -2;
constexpr int kCellNone = -1;

struct NamedColour {
  COLORREF colour;
  const char* name;
};
const std::array<NamedColour, kColourCount>& ColourTable();
// The table index of a colour, kCellNone when it is not in the table.
int ColourIndex(COLORREF colour);

// The cell chosen when the popup opens on colour: its table index; the automatic colour
// gives the "Automatic" cell when there is one; any other colour the "Cancel" cell when
// there is one, else none.
int CellForColour(COLORREF colour, bool hasAutomatic, bool hasCancel);

// Cell size, margin and text-cell height for the screen: 18-pixel cells scaled to the
// screen's pixels per inch, the margin the system's edge width.
struct PopupMetrics {
  int cell = 18;
  int margin = 2;
  int textCellHeight = 0;  // 0 until the texts are measured
};
PopupMetrics MetricsFor(int pixelsPerInch, bool hiRes, int edgeWidth);
// Height of a text cell for the taller text's pixel height.
int TextCellHeight(const PopupMetrics& m, int textHeight, bool hiRes, int pixelsPerInch);

struct PopupLayout {
  int cell = 18;
  int margin = 2;
  CRect window;     // screen pixels
  CRect automatic;  // empty without an "Automatic" text
  CRect cancel;     // empty without a "Cancel" text
  int coloursTop = 0;

  bool HasAutomatic() const { return automatic.right > automatic.left; }
  bool HasCancel() const { return cancel.right > cancel.left; }
  CRect CellRect(int cell) const;
  // The cell under a client point: a text cell, or the colour cell at
  // ((x - margin) / cell, (y - margin - height of "Automatic") / cell); kCellNone elsewhere.
  int CellAt(CPoint point) const;
};

// The popup opened at `at` (the picker's bottom-left corner, screen pixels) for texts of the
// given pixel sizes (cx 0 when a text is empty), kept on screen: moved left when it
// overhangs the right edge, right when it starts left of 0, above the picker (whose top is
// pickerTop) when it overhangs the bottom.
PopupLayout LayoutPopup(CPoint at, int pickerTop, const PopupMetrics& m, CSize automaticText,
                        CSize cancelText, const CRect& screen);

// The cell a key moves to from cell (VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN); the cells form one
// ring: "Automatic", colours 0-39, "Cancel" (text cells only when present).
int CellAfterKey(int cell, unsigned virtualKey, bool hasAutomatic, bool hasCancel);

// The colour the picker shows while a cell is highlighted.
COLORREF ColourOfCell(int cell, COLORREF initial);

// The picker button's size and drop-down arrow for the system's edge sizes: the arrow is
// max(5 x edge height, 5 x edge width, 16) pixels wide.
struct PickerGeometry {
  CSize size;
  CRect arrow;  // client pixels
};
PickerGeometry PickerGeometryFor(CSize current, int edgeWidth, int edgeHeight);

}  // namespace widgets
