// What keys and stylus gestures do to a grid, and how it paints: the message handlers of
// the grid window, without the window.
#include <algorithm>

#include "widgets/core/grid_core.h"

namespace {

bool PtInRect(const RECT& r, POINT p) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

bool Intersect(RECT& out, const RECT& a, const RECT& b) {
  out.left = std::max(a.left, b.left);
  out.top = std::max(a.top, b.top);
  out.right = std::min(a.right, b.right);
  out.bottom = std::min(a.bottom, b.bottom);
  return out.left < out.right && out.top < out.bottom;
}

}  // namespace

bool GridCore::ShiftHeld() const { return host_ && host_->KeyHeld(gridkey::kShift); }
bool GridCore::CtrlHeld() const { return host_ && host_->KeyHeld(gridkey::kControl); }

UINT GridCore::OnGetDlgCode() const {
  UINT code = 0x81;  // arrows and characters
  if (m_bHandleTabKey && !CtrlHeld()) code |= 0x02;
  return code;
}

// ---------------------------------------------------------------- keys

bool GridCore::OnKeyDown(UINT key) {
  if (!IsValid(m_idCurrentCell)) return true;
  GridCellId next = m_idCurrentCell;
  const bool shift = ShiftHeld();
  const bool ctrl = CtrlHeld();
  bool tabWrap = false;

  auto visibleRowBelow = [&](int from) {
    for (int r = from + 1; r < m_nRows; ++r) {
      if (m_arRowHeights[r] > 0) return r;
    }
    return -1;
  };

  if (ctrl && (key == 'A' || key == 'a')) {
    SelectAll();
    return true;
  }
  switch (key) {
    case gridkey::kDelete:
      ClearSelectedCells();
      break;
    case gridkey::kDown: {
      int r = visibleRowBelow(next.row);
      if (r >= 0) next.row = r;
      break;
    }
    case gridkey::kUp: {
      int r = next.row - 1;
      while (r >= m_nFixedRows && m_arRowHeights[r] < 1) --r;
      if (r >= m_nFixedRows) next.row = r;
      break;
    }
    case gridkey::kRightArrow:
    case gridkey::kLeftArrow:
    case gridkey::kTab: {
      bool forward = key == gridkey::kRightArrow || (key == gridkey::kTab && !shift);
      if (forward) {
        int c = next.col + 1;
        while (c < m_nCols && m_arColWidths[c] < 1) ++c;
        if (c < m_nCols) {
          next.col = c;
        } else if (key == gridkey::kTab) {
          int r = visibleRowBelow(next.row);
          if (r < 0) return true;  // last cell: the key goes on to the dialog
          next = GridCellId(r, m_nFixedCols);
          tabWrap = true;
        }
      } else {
        int c = next.col - 1;
        while (c >= m_nFixedCols && m_arColWidths[c] < 1) --c;
        if (c >= m_nFixedCols) {
          next.col = c;
        } else if (key == gridkey::kTab) {
          if (next.row <= m_nFixedRows) return true;
          int r = next.row - 1;
          while (r > m_nFixedRows && m_arRowHeights[r] < 1) --r;
          int last = m_nCols - 1;
          while (last > m_nFixedCols && m_arColWidths[last] < 1) --last;
          next = GridCellId(r, last);
          tabWrap = true;
        }
      }
      break;
    }
    case gridkey::kNext:
    case gridkey::kPrior: {
      int topBefore = GetTopLeftNonFixedCell().row;
      if (key == gridkey::kNext) {
        OnVScroll(GRID_SB_PAGEDOWN);
      } else {
        OnVScroll(GRID_SB_PAGEUP);
      }
      int top = GetTopLeftNonFixedCell().row;
      if (key == gridkey::kNext) {
        next.row = top == topBefore ? m_nRows - 1 : std::min(m_nRows - 1, next.row + top - topBefore);
      } else {
        next.row = top == topBefore ? m_nFixedRows
                                    : std::max(m_nFixedRows, next.row - (topBefore - top));
      }
      break;
    }
    case gridkey::kHome:
      OnHScroll(GRID_SB_LEFT);
      next.col = m_nFixedCols;
      if (ctrl) {
        OnVScroll(GRID_SB_TOP);
        next.row = m_nFixedRows;
      }
      while (next.col < m_nCols - 1 && m_arColWidths[next.col] < 1) ++next.col;
      while (next.row < m_nRows - 1 && m_arRowHeights[next.row] < 1) ++next.row;
      break;
    case gridkey::kEnd:
      OnHScroll(GRID_SB_RIGHT);
      next.col = m_nCols - 1;
      if (ctrl) {
        OnVScroll(GRID_SB_BOTTOM);
        next.row = m_nRows - 1;
      }
      while (next.col > m_nFixedCols && m_arColWidths[next.col] < 1) --next.col;
      while (next.row > m_nFixedRows && m_arRowHeights[next.row] < 1) --next.row;
      break;
    case gridkey::kF2:
      OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, POINT{-1, -1}, gridkey::kLButton);
      break;
    default:
      return true;
  }
  if (next == m_idCurrentCell) return false;

  if (m_MouseMode == MOUSE_NOTHING) {
    m_PrevSelectedCellMap.clear();
    m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
    if (!shift || key == gridkey::kTab) m_SelectionStartCell = next;
    SendMessageToParent(next.row, next.col, GVN_ITEMCHANGING);
    OnSelecting(next);
    SendMessageToParent(next.row, next.col, GVN_ITEMCHANGED);
    m_MouseMode = MOUSE_NOTHING;
  }
  SetFocusCell(next);

  if (!IsCellVisible(next.row, next.col)) {
    if (tabWrap) {
      OnVScroll(shift ? GRID_SB_LINEUP : GRID_SB_LINEDOWN);
      SetScrollPos(0, shift ? hScroll_.max : 0);
    } else if (key == gridkey::kLeftArrow || (key == gridkey::kTab && shift)) {
      OnHScroll(GRID_SB_LINELEFT);
    } else if (key == gridkey::kRightArrow || key == gridkey::kTab) {
      OnHScroll(GRID_SB_LINERIGHT);
    } else if (key == gridkey::kUp) {
      OnVScroll(GRID_SB_LINEUP);
    } else if (key == gridkey::kDown) {
      OnVScroll(GRID_SB_LINEDOWN);
    }
    EnsureVisible(next);
    Refresh();
  }
  EnsureVisible(next);
  return false;
}

bool GridCore::OnChar(UINT character) {
  if (!CtrlHeld() && m_MouseMode == MOUSE_NOTHING && character != gridkey::kEscape) {
    if (character == gridkey::kTab && m_bHandleTabKey) return true;
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, POINT{-1, -1}, character);
  }
  return true;
}

// ---------------------------------------------------------------- stylus

bool GridCore::IsPointOnColDivider(POINT point) {
  if (point.y >= GetFixedRowHeight()) return false;
  GridCellId cell = GetCellFromPt(point);
  POINT start;
  if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &start)) return false;
  int end = start.x + m_arColWidths[cell.col];
  return (point.x - start.x < m_nResizeCaptureRange && cell.col != 0) ||
         end - point.x < m_nResizeCaptureRange;
}

bool GridCore::IsPointOnRowDivider(POINT point) {
  if (point.x >= GetFixedColumnWidth()) return false;
  GridCellId cell = GetCellFromPt(point);
  POINT start;
  if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &start)) return false;
  int end = start.y + m_arRowHeights[cell.row];
  return (point.y - start.y < m_nResizeCaptureRange && cell.row != 0) ||
         end - point.y < m_nResizeCaptureRange;
}

// Picks the row or column a divider drag sizes; false when there is none.
bool GridCore::StartDividerDrag(bool column, POINT point) {
  int& index = column ? m_LeftClickDownCell.col : m_LeftClickDownCell.row;
  const std::vector<int>& sizes = column ? m_arColWidths : m_arRowHeights;
  int count = column ? m_nCols : m_nRows;
  RECT visible;
  GetVisibleNonFixedCellRange(&visible);
  int along = column ? point.x : point.y;
  int edge = column ? visible.right : visible.bottom;
  if (sizes[count - 1] < m_nResizeCaptureRange && along >= edge - m_nResizeCaptureRange) {
    index = count - 1;
  }
  bool unhide = column ? m_bHiddenColUnhide : m_bHiddenRowUnhide;
  if (!unhide) {
    while (index > 0 && sizes[index] < 1) --index;
    if (sizes[index] < 1) return false;
  }
  if (host_) host_->ShowDragLine(column, along);
  POINT start;
  if (GetCellOrigin(m_LeftClickDownCell.row, m_LeftClickDownCell.col, &start)) {
    int from = column ? start.x : start.y;
    if (along - from < m_nResizeCaptureRange && index > 0) --index;
  }
  return true;
}

void GridCore::OnLButtonDown(UINT flags, POINT point) {
  if (host_) host_->TakeFocus();
  m_bLMouseButtonDown = true;
  m_LeftClickDownPoint = point;
  m_LeftClickDownCell = GetCellFromPt(point);
  if (!IsValid(m_LeftClickDownCell)) return;
  const bool shift = (flags & GRID_MK_SHIFT) != 0;
  const bool ctrl = (flags & GRID_MK_CONTROL) != 0;
  if (shift) {
    if (!IsValid(m_SelectionStartCell)) m_SelectionStartCell = m_idCurrentCell;
  } else {
    m_SelectionStartCell = m_LeftClickDownCell;
  }
  EndEditing();
  GridCellId down = m_LeftClickDownCell;
  if (CGridCellBase* cell = GetCell(down.row, down.col)) {
    cell->OnClickDown(GetPointInCell(down.row, down.col, point));
  }

  RECT textRect;
  if (down == m_idCurrentCell && !ctrl && GetTextRect(down.row, down.col, &textRect) &&
      PtInRect(textRect, point) && IsCellEditable(down.row, down.col)) {
    m_MouseMode = MOUSE_PREPARE_EDIT;
    return;
  }

  if (!IsCellSelected(down.row, down.col)) {
    if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
      if (IsCellFixed(down.row, down.col)) {
        SetFocusCell(-1, -1);
      } else {
        SetFocusCell(down);
      }
    }
  } else {
    SetFocusCell(down);
    if (ctrl) {
      if (m_bListMode) {
        SelectRows(down, TRUE, FALSE);
      } else {
        SelectCells(down, TRUE, FALSE);
      }
      return;
    }
  }

  if (host_) host_->SetCapture(true);
  if (m_MouseMode == MOUSE_NOTHING) {
    if (m_bAllowColumnResize && IsPointOnColDivider(point)) {
      if (host_) host_->SetCursor(GridCursor::SizeWE);
      m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    } else if (m_bAllowRowResize && IsPointOnRowDivider(point)) {
      if (host_) host_->SetCursor(GridCursor::SizeNS);
      m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    }
  }

  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
    m_MouseMode = StartDividerDrag(true, point) ? MOUSE_SIZING_COL : MOUSE_NOTHING;
  } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
    m_MouseMode = StartDividerDrag(false, point) ? MOUSE_SIZING_ROW : MOUSE_NOTHING;
  } else {
    SendMessageToParent(down.row, down.col, GVN_ITEMCHANGING);
    m_PrevSelectedCellMap.clear();
    if (ctrl) m_PrevSelectedCellMap = m_SelectedCellMap;
    if (down.row < m_nFixedRows) {
      OnFixedRowClick(down);
    } else if (down.col < m_nFixedCols) {
      OnFixedColumnClick(down);
    } else {
      m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
      OnSelecting(down);
      if (host_) host_->SetTimer(kGridAutoScrollTimer, m_nTimerInterval);
      m_nTimerID = kGridAutoScrollTimer;
    }
  }
  m_LastMousePoint = point;
}

void GridCore::OnMouseMove(UINT, POINT point) {
  if (m_bLMouseButtonDown) {
    switch (m_MouseMode) {
      // Selecting everything has nothing to extend: the focus stays where it is.
      case MOUSE_SELECT_COL:
      case MOUSE_SELECT_ROW:
      case MOUSE_SELECT_CELLS: {
        GridCellId cell = GetCellFromPt(point);
        if (!IsValid(cell) || cell == m_idCurrentCell) break;
        OnSelecting(cell);
        if (!IsCellFixed(cell.row, cell.col) || m_MouseMode == MOUSE_SELECT_COL ||
            m_MouseMode == MOUSE_SELECT_ROW) {
          SetFocusCell(cell);
        }
        break;
      }
      case MOUSE_SIZING_COL:
        if (host_) host_->ShowDragLine(true, point.x);
        break;
      case MOUSE_SIZING_ROW:
        if (host_) host_->ShowDragLine(false, point.y);
        break;
      default:
        break;
    }
  } else {
    if (m_bAllowColumnResize && IsPointOnColDivider(point)) {
      if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && host_) host_->SetCursor(GridCursor::SizeWE);
      m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    } else if (m_bAllowRowResize && IsPointOnRowDivider(point)) {
      if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE && host_) host_->SetCursor(GridCursor::SizeNS);
      m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    } else if (m_MouseMode != MOUSE_NOTHING) {
      if (host_) host_->SetCursor(GridCursor::Arrow);
      m_MouseMode = MOUSE_NOTHING;
    }
    if (m_MouseMode == MOUSE_NOTHING) {
      GridCellId cell = GetCellFromPt(point);
      if (CGridCellBase* under = GetCell(cell.row, cell.col)) {
        under->OnMouseOver(GetPointInCell(cell.row, cell.col, point));
      }
    }
  }
  m_LastMousePoint = point;
}

void GridCore::OnLButtonUp(UINT, POINT point) {
  m_bLMouseButtonDown = false;
  if (host_) {
    host_->SetCapture(false);
    if (m_nTimerID) host_->KillTimer(m_nTimerID);
  }
  m_nTimerID = 0;
  GridCellId focus = m_idCurrentCell;

  if (m_MouseMode == MOUSE_PREPARE_EDIT) {
    OnEditCell(focus.row, focus.col, GetPointInCell(focus.row, focus.col, point),
               gridkey::kLButton);
  } else if (m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW) {
    bool column = m_MouseMode == MOUSE_SIZING_COL;
    if (host_) host_->ShowDragLine(column, -1);
    bool moved = !(point.x == m_LeftClickDownPoint.x && point.y == m_LeftClickDownPoint.y);
    bool atOrigin = point.x == 0 && point.y == 0;
    POINT start;
    if (moved && !atOrigin &&
        GetCellOrigin(m_LeftClickDownCell.row, m_LeftClickDownCell.col, &start)) {
      int size = column ? point.x - start.x : point.y - start.y;
      bool mayHide = column ? m_bAllowColHide : m_bAllowRowHide;
      size = std::max(size, mayHide ? 0 : 1);
      if (column) {
        SetColumnWidth(m_LeftClickDownCell.col, size);
      } else {
        SetRowHeight(m_LeftClickDownCell.row, size);
      }
      ResetScrollBars();
      Refresh();
    }
  } else {
    SendMessageToParent(focus.row, focus.col, GVN_ITEMCHANGED);
    // A check box toggles here, before the owner hears of the click.
    if (CGridCellBase* cell = GetCell(focus.row, focus.col)) {
      cell->OnClick(GetPointInCell(focus.row, focus.col, point));
    }
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_CLICK);
  }
  m_MouseMode = MOUSE_NOTHING;
  if (host_) host_->SetCursor(GridCursor::Arrow);
  if (IsValid(m_LeftClickDownCell) && host_ && host_->HasWindow()) host_->CommandOwner();
}

void GridCore::OnLButtonDblClk(UINT, POINT point) {
  bool onCol = IsPointOnColDivider(point);
  if (onCol || IsPointOnRowDivider(point)) {
    GridCellId cell = GetCellFromPt(point);
    POINT start;
    if (!GetCellOrigin(cell.row, cell.col, &start)) return;
    int& index = onCol ? cell.col : cell.row;
    const std::vector<int>& sizes = onCol ? m_arColWidths : m_arRowHeights;
    int from = onCol ? start.x : start.y;
    int along = onCol ? point.x : point.y;
    if (along - from < m_nResizeCaptureRange && index > 0) --index;
    while (index > 0 && sizes[index] < 1) --index;
    if (index < 0 || sizes[index] < 1) return;
    if (onCol) {
      AutoSizeColumn(cell.col, m_nAutoSizeColumnStyle, TRUE);
    } else {
      AutoSizeRow(cell.row, TRUE);
    }
    Refresh();
    return;
  }
  if (m_MouseMode != MOUSE_NOTHING) return;
  GridCellId cell = GetCellFromPt(point);
  if (!IsValid(cell)) return;
  POINT inCell = GetPointInCell(cell.row, cell.col, point);
  RECT textRect;
  // Only a cell that scrolls is edited; a header hears the double tap all the same.
  if (!IsCellFixed(cell.row, cell.col) && GetTextRect(cell.row, cell.col, &textRect) &&
      PtInRect(textRect, point) && (m_bListMode || IsValid(m_LeftClickDownCell))) {
    OnEditCell(cell.row, cell.col, inCell, gridkey::kLButton);
  }
  if (CGridCellBase* under = GetCell(cell.row, cell.col)) under->OnDblClick(inCell);
  SendMessageToParent(cell.row, cell.col, GVN_DBLCLK);
}

void GridCore::OnTimer(UINT_PTR id, POINT point) {
  if (id != kGridAutoScrollTimer || m_MouseMode == MOUSE_NOTHING) return;
  SIZE client = Client();
  auto limitX = [&](LONG x) { return std::clamp<LONG>(x, 0, std::max<LONG>(0, client.cx - 1)); };
  auto limitY = [&](LONG y) { return std::clamp<LONG>(y, 0, std::max<LONG>(0, client.cy - 1)); };
  if (point.y > client.cy) {
    OnKeyDown(gridkey::kDown);
    OnSelecting(GetCellFromPt(POINT{limitX(point.x), client.cy - 1}));
  } else if (point.y < GetFixedRowHeight()) {
    OnKeyDown(gridkey::kUp);
    OnSelecting(GetCellFromPt(POINT{limitX(point.x), GetFixedRowHeight() + 1}));
  }
  if (point.x > client.cx) {
    OnKeyDown(gridkey::kRightArrow);
    OnSelecting(GetCellFromPt(POINT{client.cx - 1, limitY(point.y)}));
  } else if (point.x < GetFixedColumnWidth()) {
    OnKeyDown(gridkey::kLeftArrow);
    OnSelecting(GetCellFromPt(POINT{GetFixedColumnWidth() + 1, limitY(point.y)}));
  }
}

// ---------------------------------------------------------------- painting

void GridCore::EraseBackground(GridCanvas* canvas, const RECT& clip) {
  RECT visible;
  GetVisibleNonFixedCellRange(&visible);
  LONG fixedW = GetFixedColumnWidth();
  LONG fixedH = GetFixedRowHeight();
  RECT part;
  auto fill = [&](const RECT& area, COLORREF colour) {
    if (Intersect(part, area, clip)) canvas->FillRect(part, colour);
  };
  fill(RECT{clip.left, clip.top, fixedW, fixedH}, m_cellFixedRowColDef->GetBackClr());
  fill(RECT{clip.left, fixedH, fixedW, visible.bottom}, m_cellFixedColDef->GetBackClr());
  fill(RECT{fixedW - 1, clip.top, visible.right, fixedH}, m_cellFixedRowDef->GetBackClr());
  fill(RECT{fixedW, fixedH, visible.right, visible.bottom}, m_cellDefault->GetBackClr());
  fill(RECT{visible.right, clip.top, clip.right, clip.bottom}, m_crOutside);
  fill(RECT{clip.left, visible.bottom, visible.right, clip.bottom}, m_crOutside);
}

void GridCore::OnDraw(GridCanvas* canvas, const RECT& clip) {
  if (!m_bAllowDraw || !canvas || clip.right <= clip.left || clip.bottom <= clip.top) return;
  EraseBackground(canvas, clip);
  RECT visibleRect;
  GridCellRange visible = GetVisibleNonFixedCellRange(&visibleRect);
  LONG fixedW = GetFixedColumnWidth();
  LONG fixedH = GetFixedRowHeight();

  auto drawBlock = [&](int row0, int row1, LONG y0, int col0, int col1, LONG x0) {
    LONG y = y0;
    for (int r = row0; r <= row1 && r < m_nRows; ++r) {
      int h = m_arRowHeights[r];
      if (h <= 0) continue;
      if (y > clip.bottom) break;
      LONG x = x0;
      for (int c = col0; c <= col1 && c < m_nCols; ++c) {
        int w = m_arColWidths[c];
        if (w <= 0) continue;
        if (x > clip.right) break;
        RECT rect{x, y, x + w - 1, y + h - 1};
        if (rect.right >= clip.left && rect.bottom >= clip.top) {
          if (CGridCellBase* cell = GetCell(r, c)) {
            cell->SetCoords(r, c);
            cell->Draw(canvas, r, c, rect, FALSE);
          }
        }
        x += w;
      }
      y += h;
    }
  };
  drawBlock(0, m_nFixedRows - 1, 0, 0, m_nFixedCols - 1, 0);
  drawBlock(visible.minRow, visible.maxRow, fixedH, 0, m_nFixedCols - 1, 0);
  drawBlock(0, m_nFixedRows - 1, 0, visible.minCol, visible.maxCol, fixedW);
  drawBlock(visible.minRow, visible.maxRow, fixedH, visible.minCol, visible.maxCol, fixedW);

  if (m_nGridLines == 2 || m_nGridLines == 3) {
    LONG x = fixedW;
    for (int c = visible.minCol; c >= 0 && c <= visible.maxCol; ++c) {
      if (m_arColWidths[c] <= 0) continue;
      x += m_arColWidths[c];
      canvas->Line(x - 1, fixedH, x - 1, visibleRect.bottom, m_crGridLineColour);
    }
  }
  if (m_nGridLines == 1 || m_nGridLines == 3) {
    LONG y = fixedH;
    for (int r = visible.minRow; r >= 0 && r <= visible.maxRow; ++r) {
      if (m_arRowHeights[r] <= 0) continue;
      y += m_arRowHeights[r];
      canvas->Line(fixedW, y - 1, visibleRect.right, y - 1, m_crGridLineColour);
    }
  }
}
