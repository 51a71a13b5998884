// The records a grid exchanges with the dialog that hosts it, the cell state bits, and the
// two small interfaces through which the headless grid reaches a window: a canvas to draw
// and measure on, and a host that owns the real window (scroll bars, cursor, in-place
// controls, messages to the owner). Coordinates are client pixels of the grid window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/gdi_types.h"

// A cell by row and column; -1, -1 is no cell.
struct GridCellId {
  int row = -1;
  int col = -1;
  GridCellId() = default;
  GridCellId(int r, int c) : row(r), col(c) {}
  bool IsValid() const { return row >= 0 && col >= 0; }
  bool operator==(const GridCellId&) const = default;
};

struct GridCellRange {
  int minRow = -1;
  int minCol = -1;
  int maxRow = -1;
  int maxCol = -1;
  GridCellRange() = default;
  GridCellRange(int r1, int c1, int r2, int c2) : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}
  bool IsValid() const {
    return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow &&
           minCol <= maxCol;
  }
  bool InRange(int row, int col) const {
    return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
  }
};

// Cell state bits.
constexpr UINT GVIS_FOCUSED = 0x01;
constexpr UINT GVIS_SELECTED = 0x02;
constexpr UINT GVIS_DROPHILITED = 0x04;
constexpr UINT GVIS_READONLY = 0x08;
constexpr UINT GVIS_FIXED = 0x10;
constexpr UINT GVIS_FIXEDROW = 0x20;
constexpr UINT GVIS_FIXEDCOL = 0x40;
constexpr UINT GVIS_MODIFIED = 0x80;

// "Not set" values of a cell: the default cell's value applies.
constexpr COLORREF kGridClrDefault = 0xFF000000u;
constexpr UINT kGridUnset = static_cast<UINT>(-1);

// Text-drawing flags of a cell's format (the platform's values).
namespace gridfmt {
constexpr UINT kLeft = 0x0;
constexpr UINT kCenter = 0x1;
constexpr UINT kRight = 0x2;
constexpr UINT kVCenter = 0x4;
constexpr UINT kBottom = 0x8;
constexpr UINT kWordBreak = 0x10;
constexpr UINT kSingleLine = 0x20;
constexpr UINT kEndEllipsis = 0x8000;
constexpr UINT kNoPrefix = 0x800;
// Left, vertically centred, one line, no prefix processing.
constexpr UINT kDefault = kNoPrefix | kSingleLine | kVCenter;
}  // namespace gridfmt

// Notification codes (the list view's).
constexpr int GVN_ITEMCHANGING = -100;
constexpr int GVN_ITEMCHANGED = -101;
constexpr int GVN_CLICK = -2;
constexpr int GVN_DBLCLK = -3;
constexpr int GVN_BEGINLABELEDIT = -175;
constexpr int GVN_ENDLABELEDIT = -176;
constexpr int GVN_GETDISPINFO = -177;
constexpr int GVN_ODCACHEHINT = -113;

// Control id of every in-place editor.
constexpr UINT kGridInPlaceId = 8;

// Virtual-key codes the grid reacts to.
namespace gridkey {
constexpr UINT kLButton = 0x01;
constexpr UINT kBack = 0x08;
constexpr UINT kTab = 0x09;
constexpr UINT kReturn = 0x0D;
constexpr UINT kShift = 0x10;
constexpr UINT kControl = 0x11;
constexpr UINT kEscape = 0x1B;
constexpr UINT kPrior = 0x21;
constexpr UINT kNext = 0x22;
constexpr UINT kEnd = 0x23;
constexpr UINT kHome = 0x24;
constexpr UINT kLeftArrow = 0x25;
constexpr UINT kUp = 0x26;
constexpr UINT kRightArrow = 0x27;
constexpr UINT kDown = 0x28;
constexpr UINT kDelete = 0x2E;
constexpr UINT kF2 = 0x71;
inline bool IsNavigation(UINT key) { return key >= kPrior && key <= kDown; }
}  // namespace gridkey

// A font as cells keep it: the fields of the platform's logical font that matter here.
struct GridFont {
  LONG height = 0;   // pixels; 0 = the window's own size
  LONG weight = 400;
  LONG escapement = 0;  // tenths of a degree; 900 draws vertical text
  BYTE italic = 0;
  std::string faceName;
  bool operator==(const GridFont&) const = default;
};

// The header of a notification (the grid's window, control id and code).
struct GridNmHdr {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

struct GridNotify {
  GridNmHdr hdr;
  int iRow = -1;
  int iColumn = -1;
};

struct GridItem {
  int row = -1;
  int col = -1;
  UINT mask = kGridUnset;
  UINT nState = 0;
  UINT nFormat = 0;
  int iImage = -1;
  COLORREF crBkClr = kGridClrDefault;
  COLORREF crFgClr = kGridClrDefault;
  LPARAM lParam = 0;
  GridFont lfFont;
  UINT nMargin = 0;
  std::string strText;
};

struct GridDispInfo {
  GridNmHdr hdr;
  GridItem item;
};

struct GridCacheHint {
  GridNmHdr hdr;
  GridCellRange range;
};

// Colours the platform names; the canvas resolves them.
enum class GridSysColour {
  WindowText,
  Window,
  BtnFace,
  BtnShadow,
  BtnHighlight,
  Highlight,
  HighlightText,
  DarkShadow3D,
};

// Where cells draw and measure. The window layer implements it over a device context;
// tests record what is drawn.
class GridCanvas {
 public:
  virtual ~GridCanvas() = default;
  virtual COLORREF SysColour(GridSysColour which) = 0;
  virtual void FillRect(const RECT& rect, COLORREF colour) = 0;
  // One-pixel outline inside rect (right and bottom exclusive).
  virtual void FrameRect(const RECT& rect, COLORREF colour) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, COLORREF colour) = 0;
  virtual void SetFont(const GridFont& font) = 0;
  virtual void DrawText(const std::string& text, const RECT& rect, UINT format,
                        COLORREF colour) = 0;
  // Size of the text in the current font on one line, as a single-line text is drawn (a
  // line feed takes a place like any character).
  virtual SIZE TextExtent(const std::string& text) = 0;
  virtual void DrawCheckBox(const RECT& box, bool checked) = 0;
  // Rectangle drawn with a one-pixel pen of colour, filled with the fill pattern
  // (0 solid .. 5 rising diagonal, 6 hollow, other: white) or left hollow.
  virtual void PatternRect(const RECT& rect, COLORREF colour, int pattern, bool fill) = 0;
  // A 16 x 16 icon of the program's icon list (0..23), transparent.
  virtual void DrawIcon(int index, int x, int y) = 0;
  virtual void Triangle(const POINT points[3], COLORREF colour) = 0;
};

// Screen geometry of check boxes and scroll-bar arrows (system metrics).
struct GridMetrics {
  int scrollArrowWidth = 16;   // width of a horizontal scroll bar's arrow
  int vScrollWidth = 16;       // width of a vertical scroll bar
  int hScrollHeight = 16;      // height of a horizontal scroll bar
};

enum class GridCursor { Arrow, SizeWE, SizeNS };

class CGridCellBase;

// An in-place editor that is open over a cell.
class GridInPlaceControl {
 public:
  virtual ~GridInPlaceControl() = default;
  virtual void EndEdit() = 0;
  virtual void PassChar(UINT character) = 0;
  // The cell goes while its editor is open: close without reporting anything.
  virtual void Abandon() = 0;
};

// Options of a drop-down list editor.
struct GridListEditSpec {
  int row = 0;
  int col = 0;
  RECT* rect = nullptr;
  int comboStyle = 2;  // 2 drop-down with an edit field, 3 list only
  COLORREF textColour = 0;
  COLORREF backColour = 0;
  const void* options = nullptr;  // const std::vector<std::string>*
  std::string text;
  UINT character = 0;
};

// The window around a grid. Every call may do nothing when there is no window.
class GridHost {
 public:
  virtual ~GridHost() = default;
  virtual bool HasWindow() const = 0;
  virtual SIZE ClientSize() const = 0;
  virtual void InvalidateRect(const RECT* rect) = 0;  // null: the whole window
  // Sends WM_NOTIFY with the record to the owner (else the parent); 0 without one.
  virtual LRESULT NotifyOwner(GridNmHdr* record) = 0;
  // WM_COMMAND to the owner with the grid's control id (code 0).
  virtual void CommandOwner() = 0;
  virtual HWND Handle() const = 0;
  virtual UINT_PTR ControlId() const = 0;
  virtual bool KeyHeld(UINT virtualKey) const = 0;
  // Scroll bars: bar 0 horizontal, 1 vertical.
  virtual void ShowScrollBar(int bar, bool show) = 0;
  virtual void SetScrollRange(int bar, int maximum, int page, int position) = 0;
  virtual GridMetrics Metrics() const = 0;
  virtual void SetCursor(GridCursor cursor) = 0;
  virtual void SetCapture(bool capture) = 0;
  virtual void SetTimer(UINT_PTR id, UINT elapse) = 0;
  virtual void KillTimer(UINT_PTR id) = 0;
  virtual void TakeFocus() = 0;
  // The inverted line of a divider drag at x (vertical) or y (horizontal); -1 removes it.
  virtual void ShowDragLine(bool vertical, int at) = 0;
  // A canvas for measuring on; null when none can be had.
  virtual GridCanvas* MeasureCanvas() = 0;
  virtual GridFont WindowFont() const = 0;
  // In-place editors; null when none could be made.
  virtual GridInPlaceControl* OpenTextEditor(int row, int col, const RECT& rect, UINT format,
                                             const std::string& text, UINT character) = 0;
  virtual GridInPlaceControl* OpenListEditor(const GridListEditSpec& spec) = 0;
  virtual GridInPlaceControl* OpenIconEditor(CGridCellBase* cell, int row, int col,
                                             const RECT& rect) = 0;
  // The area design dialog over the colour and pattern; true when it ended with OK.
  virtual bool RunAreaDesign(int featureType, COLORREF& colour, int& pattern) = 0;
};
