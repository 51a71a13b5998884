#include "widgets/core/colour_palette.h"

#include <algorithm>

namespace widgets {

namespace {

constexpr unsigned kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

}  // namespace

const std::array<NamedColour, kColourCount>& ColourTable() {
  static const std::array<NamedColour, kColourCount> table{{
      {RGB(0, 0, 0), "Black"},          {RGB(165, 42, 0), "Brown"},
      {RGB(0, 64, 64), "Dark Olive Green"}, {RGB(0, 85, 0), "Dark Green"},
      {RGB(0, 0, 94), "Dark Teal"},     {RGB(0, 0, 139), "Dark blue"},
      {RGB(75, 0, 130), "Indigo"},      {RGB(40, 40, 40), "Dark grey"},
      {RGB(139, 0, 0), "Dark red"},     {RGB(255, 104, 32), "Orange"},
      {RGB(139, 139, 0), "Dark yellow"}, {RGB(0, 147, 0), "Green"},
      {RGB(56, 142, 142), "Teal"},      {RGB(0, 0, 255), "Blue"},
      {RGB(123, 123, 192), "Blue-grey"}, {RGB(102, 102, 102), "Grey - 40"},
      {RGB(255, 0, 0), "Red"},          {RGB(255, 173, 91), "Light orange"},
      {RGB(50, 205, 50), "Lime"},       {RGB(60, 179, 113), "Sea green"},
      {RGB(127, 255, 212), "Aqua"},     {RGB(125, 158, 192), "Light blue"},
      {RGB(128, 0, 128), "Violet"},     {RGB(127, 127, 127), "Grey - 50"},
      {RGB(255, 192, 203), "Pink"},     {RGB(255, 215, 0), "Gold"},
      {RGB(255, 255, 0), "Yellow"},     {RGB(0, 255, 0), "Bright green"},
      {RGB(64, 224, 208), "Turquoise"}, {RGB(192, 255, 255), "Skyblue"},
      {RGB(72, 0, 72), "Plum"},         {RGB(192, 192, 192), "Light grey"},
      {RGB(255, 228, 225), "Rose"},     {RGB(210, 180, 140), "Tan"},
      {RGB(255, 255, 224), "Light yellow"}, {RGB(152, 251, 152), "Pale green "},
      {RGB(175, 238, 238), "Pale turquoise"}, {RGB(104, 131, 139), "Pale blue"},
      {RGB(230, 230, 250), "Lavender"}, {RGB(255, 255, 255), "White"},
  }};
  return table;
}

int ColourIndex(COLORREF colour) {
  const auto& table = ColourTable();
  for (int i = 0; i < kColourCount; ++i)
    if (table[i].colour == colour) return i;
  return kCellNone;
}

int CellForColour(COLORREF colour, bool hasAutomatic, bool hasCancel) {
  if (colour == kAutomaticColour && hasAutomatic) return kCellAutomatic;
  const int index = ColourIndex(colour);
  if (index != kCellNone) return index;
  return hasCancel ? kCellCancel : kCellNone;
}

PopupMetrics MetricsFor(int pixelsPerInch, bool hiRes, int edgeWidth) {
  PopupMetrics m;
  m.cell = hiRes ? (pixelsPerInch * 18 + 48) / 96 : 18;
  // Room for the colour square inside the cell's edges.
  if (m.cell - 2 * edgeWidth - 2 < 5) m.cell = 2 * edgeWidth + 7;
  m.margin = edgeWidth;
  return m;
}

int TextCellHeight(const PopupMetrics& m, int textHeight, bool hiRes, int pixelsPerInch) {
  return hiRes ? textHeight + 2 * m.margin + 2 * ((pixelsPerInch + 24) / 96)
               : textHeight + 4 * m.margin + 2;
}

CRect PopupLayout::CellRect(int c) const {
  if (c == kCellAutomatic) return automatic;
  if (c == kCellCancel) return cancel;
  if (c < 0 || c >= kColourCount) return CRect();
  const int x = margin + (c % kColourColumns) * cell;
  const int y = coloursTop + (c / kColourColumns) * cell;
  return CRect(x, y, x + cell, y + cell);
}

int PopupLayout::CellAt(CPoint p) const {
  if (HasAutomatic() && automatic.PtInRect(p)) return kCellAutomatic;
  if (HasCancel() && cancel.PtInRect(p)) return kCellCancel;
  if (p.x < margin || p.y < coloursTop) return kCellNone;
  const int column = (p.x - margin) / cell;
  const int row = (p.y - coloursTop) / cell;
  if (column >= kColourColumns || row >= kColourRows) return kCellNone;
  const int index = column + kColourColumns * row;
  return index < kColourCount ? index : kCellNone;
}

PopupLayout LayoutPopup(CPoint at, int pickerTop, const PopupMetrics& m, CSize automaticText,
                        CSize cancelText, const CRect& screen) {
  PopupLayout l;
  l.cell = m.cell;
  l.margin = m.margin;
  int width = kColourColumns * m.cell + 2 * m.margin;
  const bool hasAutomatic = automaticText.cx > 0, hasCancel = cancelText.cx > 0;
  int textHeight = 0;
  if (hasAutomatic || hasCancel) {
    const int textWidth = std::max(automaticText.cx, cancelText.cx) + 2 * m.margin;
    width = std::max(width, textWidth + 2 * m.margin);
    textHeight = m.textCellHeight;
  }
  int y = m.margin;
  if (hasAutomatic) {
    l.automatic = CRect(m.margin, y, width - m.margin, y + textHeight);
    y += textHeight;
  }
  l.coloursTop = y;
  y += kColourRows * m.cell;
  if (hasCancel) {
    l.cancel = CRect(m.margin, y, width - m.margin, y + textHeight);
    y += textHeight;
  }
  const int height = y + m.margin;

  CPoint corner = at;
  if (corner.x + width > screen.right) corner.x = screen.right - width;
  if (corner.x < screen.left) corner.x = screen.left;
  if (corner.y + height > screen.bottom) corner.y = pickerTop - height;
  l.window = CRect(corner, CSize(width, height));
  return l;
}

int CellAfterKey(int c, unsigned key, bool hasAutomatic, bool hasCancel) {
  const int last = kColourCount - 1;
  const int firstText = hasAutomatic ? kCellAutomatic : hasCancel ? kCellCancel : kCellNone;
  switch (key) {
    case kKeyRight:
      if (c >= 0 && c < last) return c + 1;
      if (c == last) return hasCancel ? kCellCancel : hasAutomatic ? kCellAutomatic : 0;
      if (c == kCellCancel) return hasAutomatic ? kCellAutomatic : 0;
      return 0;  // from "Automatic" or from no cell
    case kKeyLeft:
      if (c > 0 && c <= last) return c - 1;
      if (c == 0) return firstText != kCellNone ? firstText : last;
      if (c == kCellAutomatic) return hasCancel ? kCellCancel : last;
      return last;  // from "Cancel" or from no cell
    case kKeyDown:
      if (c >= 0 && c + kColourColumns <= last) return c + kColourColumns;
      if (c >= 0) return hasCancel ? kCellCancel : hasAutomatic ? kCellAutomatic : c % kColourColumns;
      if (c == kCellCancel) return hasAutomatic ? kCellAutomatic : 0;
      return 0;
    case kKeyUp:
      if (c >= kColourColumns) return c - kColourColumns;
      if (c >= 0) {
        if (firstText != kCellNone) return firstText;
        const int bottom = c + kColourColumns * (kColourRows - 1);
        return bottom <= last ? bottom : bottom - kColourColumns;
      }
      if (c == kCellAutomatic) return hasCancel ? kCellCancel : last;
      return last;
    default:
      return c;
  }
}

COLORREF ColourOfCell(int c, COLORREF initial) {
  if (c >= 0 && c < kColourCount) return ColourTable()[c].colour;
  if (c == kCellAutomatic) return kAutomaticColour;
  return initial;
}

PickerGeometry PickerGeometryFor(CSize current, int edgeWidth, int edgeHeight) {
  const int arrow = std::max({5 * edgeHeight, 5 * edgeWidth, 16});
  PickerGeometry g;
  g.size = CSize(std::max<int>(current.cx, 2 * (arrow + edgeWidth)), arrow + 2 * edgeHeight);
  g.arrow = CRect(g.size.cx - edgeWidth - arrow, edgeHeight, g.size.cx - edgeWidth,
                  g.size.cy - edgeHeight);
  return g;
}

}  // namespace widgets
