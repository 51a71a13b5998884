#include "widgets/core/grid_cell.h"

#include <algorithm>

#include "widgets/core/grid_core.h"

namespace {

RECT Deflated(RECT r, int by) {
  r.left += by;
  r.top += by;
  r.right -= by;
  r.bottom -= by;
  return r;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

GridMetrics MetricsOf(const GridCore* grid) {
  GridHost* host = grid ? grid->GetHost() : nullptr;
  return host ? host->Metrics() : GridMetrics{};
}

}  // namespace

// ---- CGridCellBase ----

CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
  GridCore* grid = GetGrid();
  return grid ? grid->GetDefaultCell(IsFixedRow(), IsFixedCol()) : nullptr;
}

void CGridCellBase::CopyFrom(const CGridCellBase& other) {
  if (&other == this) return;
  SetGrid(other.GetGrid());
  SetText(other.GetText());
  SetImage(other.GetImage());
  SetData(other.GetData());
  SetState(other.GetState());
  SetFormat(other.GetFormat());
  SetTextClr(other.GetTextClr());
  SetBackClr(other.GetBackClr());
  SetFont(other.IsDefaultFont() ? nullptr : other.GetFont());
  SetMargin(other.GetMargin());
}

void CGridCellBase::Reset() { m_nState = 0; }

BOOL CGridCellBase::GetTextRect(RECT* rect) {
  // The grids of this program carry no image list, so an image never takes room.
  return TRUE;
}

BOOL CGridCellBase::Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) {
  GridCore* grid = GetGrid();
  if (!grid || !canvas || IsEmpty(rect)) return FALSE;
  CGridDefaultCell* def = GetDefaultCell();

  COLORREF text = GetTextClr();
  if (text == kGridClrDefault) text = def ? def->GetTextClr() : kGridClrDefault;
  if (text == kGridClrDefault) text = canvas->SysColour(GridSysColour::WindowText);
  bool paint = eraseBackground != FALSE;
  COLORREF back = GetBackClr();
  if (back != kGridClrDefault) {
    paint = true;
  } else {
    back = def ? def->GetBackClr() : kGridClrDefault;
    if (back == kGridClrDefault) back = canvas->SysColour(GridSysColour::Window);
  }

  // Selection fills reach over the cell's own grid lines (right and bottom).
  RECT grown = rect;
  grown.right++;
  grown.bottom++;
  if (!IsFocused() && !IsDropHighlighted()) {
    if (IsSelected()) {
      canvas->FillRect(grown, canvas->SysColour(GridSysColour::Highlight));
      text = canvas->SysColour(GridSysColour::HighlightText);
    } else if (paint) {
      canvas->FillRect(rect, back);
    }
  } else {
    if (IsSelected()) {
      back = canvas->SysColour(GridSysColour::Highlight);
      text = canvas->SysColour(GridSysColour::HighlightText);
      paint = true;
    }
    if (paint) canvas->FillRect(grown, back);
    if (grid->GetFrameFocusCell()) {
      RECT frame = rect;
      if (grid->GetGridLines() == 0) frame = grown;
      canvas->FrameRect(frame, text);
    }
  }

  if (IsFixed() && grid->GetGridLines() != 0) {
    GridCellId focus = grid->GetFocusCell();
    bool sunken = grid->GetTrackFocusCell() && grid->IsValid(focus) &&
                  (focus.row == row || focus.col == col);
    COLORREF light = canvas->SysColour(GridSysColour::BtnHighlight);
    COLORREF dark = canvas->SysColour(sunken ? GridSysColour::BtnShadow
                                             : GridSysColour::DarkShadow3D);
    COLORREF topLeft = sunken ? dark : light;
    COLORREF bottomRight = sunken ? light : dark;
    canvas->Line(rect.left, rect.top, rect.right, rect.top, topLeft);
    canvas->Line(rect.left, rect.top, rect.left, rect.bottom, topLeft);
    canvas->Line(rect.right, rect.top, rect.right, rect.bottom + 1, bottomRight);
    canvas->Line(rect.left, rect.bottom, rect.right, rect.bottom, bottomRight);
    rect = Deflated(rect, 1);
  }

  if (const GridFont* font = GetFont()) canvas->SetFont(*font);
  rect = Deflated(rect, static_cast<int>(GetMargin()));
  if (IsEmpty(rect)) return TRUE;

  if (row == 0 && col == grid->GetSortColumn()) {
    const GridFont* font = GetFont();
    bool rotated = font && font->escapement == 900;
    int side = std::min<int>(canvas->TextExtent("M").cy - 4, rect.bottom - rect.top - 4);
    if (side > 0 && rect.right - rect.left >= side) {
      int left = rotated ? (rect.left + rect.right - side) / 2 : rect.right - side;
      int bottom = rect.bottom - 2;
      POINT tri[3];
      if (grid->GetSortAscending()) {  // points up
        tri[0] = {left + side / 2, bottom - side};
        tri[1] = {left, bottom};
        tri[2] = {left + side, bottom};
      } else {
        tri[0] = {left, bottom - side};
        tri[1] = {left + side, bottom - side};
        tri[2] = {left + side / 2, bottom};
      }
      canvas->Triangle(tri, canvas->SysColour(GridSysColour::BtnShadow));
      if (!rotated) rect.right -= side;
    }
  }

  GetTextRect(&rect);
  rect.right++;
  rect.bottom++;
  canvas->DrawText(GetText(), rect, GetFormat() | gridfmt::kNoPrefix, text);
  return TRUE;
}

SIZE CGridCellBase::GetTextExtent(const std::string& text, GridCanvas* canvas) {
  GridCore* grid = GetGrid();
  if (!canvas && !text.empty() && grid && grid->GetHost()) canvas = grid->GetHost()->MeasureCanvas();
  CGridDefaultCell* def = GetDefaultCell();
  if (!canvas || text.empty()) {
    if (def) return SIZE{def->GetWidth(), def->GetHeight()};
    return SIZE{40, 16};
  }
  const GridFont* font = GetFont();
  if (font) canvas->SetFont(*font);
  SIZE size{0, 0};
  const UINT format = GetFormat();
  if (!(format & gridfmt::kWordBreak) || (format & gridfmt::kSingleLine)) {
    size = canvas->TextExtent(text);
  } else {
    // Split at the line feeds and laid out as wide as the widest line (plus one pixel):
    // no line breaks again, so the lines stack.
    size_t start = 0;
    while (start <= text.size()) {
      const size_t end = std::min(text.find('\n', start), text.size());
      const std::string line = text.substr(start, end - start);
      const SIZE one = canvas->TextExtent(line.empty() ? std::string(" ") : line);
      if (!line.empty()) size.cx = std::max(size.cx, one.cx);
      size.cy += one.cy;
      start = end + 1;
    }
  }
  int margin = static_cast<int>(GetMargin());
  if (font && (font->escapement == 900 || font->escapement == -900)) {
    return SIZE{size.cy + 2 * margin, size.cx + 6 * margin};
  }
  return SIZE{size.cx + 2 * margin, size.cy + 2 * margin};
}

SIZE CGridCellBase::GetCellExtent(GridCanvas* canvas) {
  SIZE size = GetTextExtent(GetText(), canvas);
  int extra = IsFixed() ? 2 : 1;
  return SIZE{size.cx + extra, size.cy + extra};
}

// ---- CGridCell ----

CGridCell::~CGridCell() {
  // An open editor must not outlive its cell.
  if (m_bEditing && m_pEditWnd) m_pEditWnd->Abandon();
}

void CGridCell::SetFont(const GridFont* font) {
  if (font) {
    m_plfFont = std::make_unique<GridFont>(*font);
  } else {
    m_plfFont.reset();
  }
}

UINT CGridCell::GetFormat() const {
  if (m_nFormat != kGridUnset) return m_nFormat;
  CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFormat() : gridfmt::kDefault;
}

const GridFont* CGridCell::GetFont() const {
  if (m_plfFont) return m_plfFont.get();
  CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFont() : nullptr;
}

UINT CGridCell::GetMargin() const {
  if (m_nMargin != kGridUnset) return m_nMargin;
  CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetMargin() : 3;
}

void CGridCell::Reset() {
  CGridCellBase::Reset();
  m_strText.clear();
  m_nImage = -1;
  m_lParam = 0;
  m_nFormat = kGridUnset;
  m_crFgClr = kGridClrDefault;
  m_crBkClr = kGridClrDefault;
  m_nMargin = kGridUnset;
  m_plfFont.reset();
  m_bEditing = false;
  m_pGrid = nullptr;
  m_pEditWnd = nullptr;
}

BOOL CGridCell::Edit(int row, int col, const RECT& rect, POINT, UINT, UINT character) {
  if (m_bEditing) {
    if (m_pEditWnd) m_pEditWnd->PassChar(character);
    return TRUE;
  }
  GridHost* host = m_pGrid ? m_pGrid->GetHost() : nullptr;
  if (!host) return FALSE;
  m_bEditing = true;
  m_pEditWnd = host->OpenTextEditor(row, col, rect, GetFormat(), GetText(), character);
  return TRUE;
}

void CGridCell::EndEdit() {
  if (m_pEditWnd) m_pEditWnd->EndEdit();
}

void CGridCell::OnEndEdit() {
  m_bEditing = false;
  m_pEditWnd = nullptr;
}

// ---- CGridDefaultCell ----

CGridDefaultCell::CGridDefaultCell() {
  m_nFormat = gridfmt::kDefault;
  m_nMargin = 3;
}

void CGridDefaultCell::SetFont(const GridFont* font) {
  if (font) m_lfFont = *font;
}

void CGridDefaultCell::Measure(GridCanvas* canvas) {
  if (!canvas) {
    m_nMargin = 3;
    m_Size = SIZE{40, 16};
    return;
  }
  canvas->SetFont(m_lfFont);
  m_nMargin = static_cast<UINT>(canvas->TextExtent(" ").cx);
  SIZE sample = canvas->TextExtent(" XXXXXXXXXXXX ");
  m_Size = SIZE{sample.cx, sample.cy * 3 / 2};
}

// ---- CGridCellCheck ----

int CGridCellCheck::BoxSide() const { return MetricsOf(m_pGrid).scrollArrowWidth; }

BOOL CGridCellCheck::SetCheck(BOOL checked) {
  BOOL previous = m_bChecked;
  m_bChecked = checked;
  if (!IsEmpty(m_Rect) && m_pGrid && m_pGrid->GetHost()) m_pGrid->GetHost()->InvalidateRect(&m_Rect);
  return previous;
}

RECT CGridCellCheck::GetCheckPlacement() const {
  int side = BoxSide();
  int margin = static_cast<int>(GetMargin());
  RECT box;
  box.left = m_Rect.left + margin;
  box.top = m_Rect.top + margin;
  if (m_Rect.bottom - m_Rect.top < side + 2 * margin) {
    box.top = m_Rect.top + (m_Rect.bottom - m_Rect.top - side) / 2;
  }
  box.right = box.left + side;
  box.bottom = box.top + side;
  return box;
}

BOOL CGridCellCheck::Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) {
  BOOL drawn = CGridCell::Draw(canvas, row, col, rect, eraseBackground);
  if (drawn) {
    m_Rect = rect;
    canvas->DrawCheckBox(GetCheckPlacement(), m_bChecked != FALSE);
  }
  return drawn;
}

BOOL CGridCellCheck::GetTextRect(RECT* rect) {
  int shift = BoxSide() + 2 * static_cast<int>(GetMargin());
  rect->left = std::min<LONG>(rect->left + shift, rect->right);
  return TRUE;
}

SIZE CGridCellCheck::GetCellExtent(GridCanvas* canvas) {
  int side = BoxSide() + 2 * static_cast<int>(GetMargin());
  SIZE size = CGridCell::GetCellExtent(canvas);
  size.cx += side;
  size.cy = std::max<LONG>(size.cy, side);
  return size;
}

void CGridCellCheck::OnClick(POINT pointInCell) {
  // The point is relative to the cell; the box is where the cell was last drawn.
  RECT box = GetCheckPlacement();
  LONG x = m_Rect.left + pointInCell.x;
  LONG y = m_Rect.top + pointInCell.y;
  if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
    m_bChecked = !m_bChecked;
    if (m_pGrid && m_pGrid->GetHost()) m_pGrid->GetHost()->InvalidateRect(&m_Rect);
  }
}

// ---- CGridCellCombo ----

GridInPlaceControl* CGridCellCombo::GetEditWnd() const {
  return m_dwStyle == 3 ? nullptr : m_pEditWnd;
}

namespace {

// Drop-down kinds: room for the button beside the text.
SIZE DropDownExtent(SIZE text, const GridCore* grid) {
  GridMetrics m = MetricsOf(grid);
  text.cx += m.vScrollWidth;
  text.cy = std::max<LONG>(text.cy, m.hScrollHeight);
  return text;
}

}  // namespace

SIZE CGridCellCombo::GetCellExtent(GridCanvas* canvas) {
  return DropDownExtent(CGridCell::GetCellExtent(canvas), m_pGrid);
}

BOOL CGridCellCombo::Edit(int row, int col, const RECT& rect, POINT, UINT, UINT character) {
  if (m_bEditing && m_pEditWnd) return TRUE;  // one editor per cell
  GridHost* host = m_pGrid ? m_pGrid->GetHost() : nullptr;
  if (!host) return FALSE;
  m_bEditing = true;
  GridListEditSpec spec;
  spec.row = row;
  spec.col = col;
  RECT r = rect;
  spec.rect = &r;
  spec.comboStyle = m_dwStyle;
  CGridDefaultCell* def = GetDefaultCell();
  spec.textColour = m_crFgClr != kGridClrDefault ? m_crFgClr : (def ? def->GetTextClr() : 0);
  spec.backColour = m_crBkClr != kGridClrDefault ? m_crBkClr : (def ? def->GetBackClr() : 0xFFFFFF);
  spec.options = &m_Strings;
  spec.text = GetText();
  spec.character = character;
  m_pEditWnd = host->OpenListEditor(spec);
  return TRUE;
}

// ---- CGridCellColor ----

BOOL CGridCellColor::Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) {
  BOOL drawn = CGridCell::Draw(canvas, row, col, rect, eraseBackground);
  if (!drawn) return FALSE;
  RECT swatch = Deflated(rect, 5);
  if (!IsEmpty(swatch)) {
    // Areas and parts show their fill; lines only the outline colour.
    bool fill = m_tipo == 5 || m_tipo == 52;
    canvas->PatternRect(swatch, m_color, m_pattern, fill);
  }
  return TRUE;
}

BOOL CGridCellColor::Edit(int, int, const RECT&, POINT, UINT, UINT) {
  GridHost* host = m_pGrid ? m_pGrid->GetHost() : nullptr;
  if (!host) return FALSE;
  m_bEditing = true;
  COLORREF colour = m_color;
  int pattern = m_pattern;
  if (host->RunAreaDesign(m_tipo, colour, pattern)) {
    m_color = colour;
    m_pattern = pattern;
    host->InvalidateRect(nullptr);
  }
  m_bEditing = false;
  return TRUE;
}

// ---- CGridCellListCtrlIcon ----

BOOL CGridCellListCtrlIcon::Draw(GridCanvas* canvas, int, int, RECT rect, BOOL) {
  if (!m_pGrid || !canvas || IsEmpty(rect)) return FALSE;
  if (m_icon >= 0 && m_icon < kIconCount) {
    int x = (rect.left + rect.right - kIconSize) / 2;
    int y = (rect.top + rect.bottom - kIconSize) / 2;
    canvas->DrawIcon(m_icon, x, y);
  }
  return TRUE;
}

SIZE CGridCellListCtrlIcon::GetCellExtent(GridCanvas* canvas) {
  return DropDownExtent(CGridCell::GetCellExtent(canvas), m_pGrid);
}

BOOL CGridCellListCtrlIcon::Edit(int row, int col, const RECT& rect, POINT, UINT, UINT) {
  if (m_bEditing && m_pEditWnd) return TRUE;  // one editor per cell
  GridHost* host = m_pGrid ? m_pGrid->GetHost() : nullptr;
  if (!host) return FALSE;
  m_bEditing = true;
  m_pEditWnd = host->OpenIconEditor(this, row, col, rect);
  return TRUE;
}

void CGridCellListCtrlIcon::ChooseIcon(int item) {
  if (item >= 0 && item < kIconCount) m_icon = item;
}
