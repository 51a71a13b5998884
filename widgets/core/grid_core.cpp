#include "widgets/core/grid_core.h"

#include <algorithm>
#include <cstdlib>


GridCore::GridCore(int rows, int cols, int fixedRows, int fixedCols)
    : m_cellDefault(std::make_unique<CGridDefaultCell>()),
      m_cellFixedColDef(std::make_unique<CGridDefaultCell>()),
      m_cellFixedRowDef(std::make_unique<CGridDefaultCell>()),
      m_cellFixedRowColDef(std::make_unique<CGridDefaultCell>()) {
  m_crOutside = m_crShadow;
  for (CGridDefaultCell* def : {m_cellDefault.get(), m_cellFixedColDef.get(),
                                m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()}) {
    def->SetGrid(this);
    def->SetTextClr(m_crWindowText);
    def->SetBackClr(m_cr3DFace);
  }
  m_cellDefault->SetBackClr(m_crWindowColour);
  SetRowCount(rows);
  SetColumnCount(cols);
  SetFixedRowCount(fixedRows);
  SetFixedColumnCount(fixedCols);
}

GridCore::~GridCore() {
  host_ = nullptr;
  DeleteAllItems();
}

// ---------------------------------------------------------------- structure

BOOL GridCore::SetRowCount(int rows) {
  if (rows < 0) return FALSE;
  if (rows == m_nRows) return TRUE;
  topLeftValid_ = false;
  if (rows < m_nFixedRows) m_nFixedRows = rows;
  if (m_idCurrentCell.row >= rows) SetFocusCell(-1, -1);

  if (rows < m_nRows) {
    for (int r = rows; r < m_nRows; ++r) {
      for (int c = 0; c < m_nCols; ++c) DestroyCell(r, c);
    }
    m_RowData.resize(rows);
    m_nRows = rows;
  }
  m_arRowHeights.resize(rows, m_cellDefault->GetHeight());
  while (m_nRows < rows) {
    m_RowData.emplace_back(m_nCols, nullptr);
    ++m_nRows;
    for (int c = 0; c < m_nCols; ++c) m_RowData.back()[c] = CreateCell(m_nRows - 1, c);
  }
  SetModified(TRUE);
  ResetScrollBars();
  Refresh();
  return TRUE;
}

BOOL GridCore::SetColumnCount(int cols) {
  if (cols < 0) return FALSE;
  if (cols == m_nCols) return TRUE;
  topLeftValid_ = false;
  if (cols < m_nFixedCols) m_nFixedCols = cols;
  if (m_idCurrentCell.col >= cols) SetFocusCell(-1, -1);

  int oldCols = m_nCols;
  if (cols < oldCols) {
    for (int r = 0; r < m_nRows; ++r) {
      for (int c = cols; c < oldCols; ++c) DestroyCell(r, c);
    }
  }
  for (Row& row : m_RowData) row.resize(cols, nullptr);
  m_arColWidths.resize(cols, m_cellFixedColDef->GetWidth());
  m_nCols = cols;
  for (int r = 0; r < m_nRows; ++r) {
    for (int c = oldCols; c < cols; ++c) m_RowData[r][c] = CreateCell(r, c);
  }
  SetModified(TRUE);
  ResetScrollBars();
  Refresh();
  return TRUE;
}

BOOL GridCore::SetFixedRowCount(int fixedRows) {
  if (fixedRows < 0) return FALSE;
  if (fixedRows == m_nFixedRows) return TRUE;
  ResetSelectedRange();
  topLeftValid_ = false;
  if (fixedRows > m_nRows && !SetRowCount(fixedRows)) return FALSE;
  if (m_idCurrentCell.row < fixedRows) SetFocusCell(-1, -1);

  auto resetColours = [](CGridCellBase* cell) {
    cell->SetBackClr(kGridClrDefault);
    cell->SetTextClr(kGridClrDefault);
  };
  for (int r = std::min(fixedRows, m_nFixedRows); r < std::max(fixedRows, m_nFixedRows); ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      CGridCellBase* cell = GetCell(r, c);
      if (!cell) continue;
      if (fixedRows < m_nFixedRows) {  // the row stops being fixed
        UINT state = cell->GetState() & ~GVIS_FIXEDROW;
        if (c >= m_nFixedCols) {
          state &= ~GVIS_FIXED;
          resetColours(cell);
        }
        cell->SetState(state);
      } else {
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDROW);
        resetColours(cell);
      }
    }
  }
  m_nFixedRows = fixedRows;
  Refresh();
  return TRUE;
}

BOOL GridCore::SetFixedColumnCount(int fixedCols) {
  if (fixedCols < 0) return FALSE;
  if (fixedCols == m_nFixedCols) return TRUE;
  ResetSelectedRange();
  topLeftValid_ = false;
  if (fixedCols > m_nCols && !SetColumnCount(fixedCols)) return FALSE;
  if (m_idCurrentCell.col < fixedCols) SetFocusCell(-1, -1);

  for (int r = 0; r < m_nRows; ++r) {
    for (int c = std::min(fixedCols, m_nFixedCols); c < std::max(fixedCols, m_nFixedCols); ++c) {
      CGridCellBase* cell = GetCell(r, c);
      if (!cell) continue;
      if (fixedCols < m_nFixedCols) {
        UINT state = cell->GetState() & ~GVIS_FIXEDCOL;
        if (r >= m_nFixedRows) {
          state &= ~GVIS_FIXED;
          cell->SetBackClr(kGridClrDefault);
          cell->SetTextClr(kGridClrDefault);
        }
        cell->SetState(state);
      } else {
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDCOL);
        cell->SetBackClr(kGridClrDefault);
        cell->SetTextClr(kGridClrDefault);
      }
    }
  }
  m_nFixedCols = fixedCols;
  Refresh();
  return TRUE;
}

int GridCore::InsertRow(const std::string& heading, int index) {
  if (index >= 0 && (index < m_nFixedRows || index >= m_nRows)) return -1;
  topLeftValid_ = false;
  ResetSelectedRange();
  if (m_nCols == 0) SetColumnCount(1);
  if (index < 0) index = m_nRows;
  m_arRowHeights.insert(m_arRowHeights.begin() + index, m_cellDefault->GetHeight());
  m_RowData.insert(m_RowData.begin() + index, Row(m_nCols, nullptr));
  ++m_nRows;
  for (int c = 0; c < m_nCols; ++c) m_RowData[index][c] = CreateCell(index, c);
  for (int r = index + 1; r < m_nRows; ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      if (CGridCellBase* cell = m_RowData[r][c]) cell->SetCoords(r, c);
    }
  }
  SetItemText(index, 0, heading);
  m_arRowHeights[index] = heading.empty() ? m_cellFixedRowDef->GetHeight()
                                          : GetTextExtent(index, 0, heading).cy;
  ResetScrollBars();
  SetModified(TRUE);
  return index;
}

BOOL GridCore::DeleteAllItems() {
  ResetSelectedRange();
  m_arRowHeights.clear();
  m_arColWidths.clear();
  for (int r = 0; r < m_nRows; ++r) {
    for (int c = 0; c < m_nCols; ++c) DestroyCell(r, c);
  }
  m_RowData.clear();
  m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
  m_idCurrentCell = GridCellId();
  m_SelectedCellMap.clear();
  hScroll_ = vScroll_ = ScrollState{};
  ResetScrollBars();
  SetModified(TRUE);
  return TRUE;
}

// ---------------------------------------------------------------- cells

CGridCellBase* GridCore::GetCell(int row, int col) const {
  if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols) return nullptr;
  const Row& data = m_RowData[row];
  return col < static_cast<int>(data.size()) ? data[col] : nullptr;
}

BOOL GridCore::SetCell(int row, int col, CGridCellBase* cell) {
  if (!IsValid(row, col)) return FALSE;
  if (cell) cell->SetCoords(row, col);
  m_RowData[row][col] = cell;
  return TRUE;
}

BOOL GridCore::SetCellType(int row, int col, GridCellFactory factory) {
  if (!IsValid(row, col) || !factory) return FALSE;
  CGridCellBase* created = factory();
  if (!created) return FALSE;
  CGridCellBase* old = GetCell(row, col);
  if (old) {
    created->CopyFrom(*old);
  } else {
    created->SetGrid(this);
  }
  SetCell(row, col, created);
  if (old) ++cellsFreed_;
  delete old;
  return TRUE;
}

CGridCellBase* GridCore::CreateCell(int row, int col) {
  if (!m_pRtcDefault) return nullptr;
  CGridCellBase* cell = m_pRtcDefault();
  if (!cell) return nullptr;
  cell->SetGrid(this);
  cell->SetCoords(row, col);
  UINT state = 0;
  if (col < m_nFixedCols) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  if (row < m_nFixedRows) state |= GVIS_FIXED | GVIS_FIXEDROW;
  cell->SetState(cell->GetState() | state);
  cell->SetFormat(cell->GetDefaultCell()->GetFormat());
  return cell;
}

void GridCore::DestroyCell(int row, int col) {
  SetItemState(row, col, 0);
  if (row >= 0 && row < static_cast<int>(m_RowData.size()) && col >= 0 &&
      col < static_cast<int>(m_RowData[row].size())) {
    if (m_RowData[row][col]) ++cellsFreed_;
    delete m_RowData[row][col];
    m_RowData[row][col] = nullptr;
  }
}

CGridDefaultCell* GridCore::GetDefaultCell(bool fixedRow, bool fixedCol) const {
  if (fixedRow && fixedCol) return m_cellFixedRowColDef.get();
  if (fixedRow) return m_cellFixedRowDef.get();
  if (fixedCol) return m_cellFixedColDef.get();
  return m_cellDefault.get();
}

BOOL GridCore::SetItemText(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetText(text);
  SetModified(TRUE, row, col);
  return TRUE;
}

std::string GridCore::GetItemText(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetText() : std::string();
}

BOOL GridCore::SetItemState(int row, int col, UINT state) {
  if (!IsValid(row, col)) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  std::uint32_t key = SelKey(row, col);
  bool was = cell ? cell->IsSelected() : m_SelectedCellMap.count(key) > 0;
  if (was && !(state & GVIS_SELECTED)) m_SelectedCellMap.erase(key);
  if (!was && (state & GVIS_SELECTED)) m_SelectedCellMap[key] = GridCellId(row, col);
  if (!cell) return FALSE;
  cell->SetState(state);
  return TRUE;
}

UINT GridCore::GetItemState(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetState() : 0;
}

BOOL GridCore::SetItemData(int row, int col, LPARAM data) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetData(data);
  return TRUE;
}

LPARAM GridCore::GetItemData(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetData() : 0;
}

BOOL GridCore::SetItemFormat(int row, int col, UINT format) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetFormat(format);
  return TRUE;
}

BOOL GridCore::SetItemBackColour(int row, int col, COLORREF colour) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetBackClr(colour);
  return TRUE;
}

BOOL GridCore::SetItemTextColour(int row, int col, COLORREF colour) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetTextClr(colour);
  return TRUE;
}

BOOL GridCore::IsValid(int row, int col) const {
  return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols;
}

BOOL GridCore::IsCellEditable(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  return m_bEditable && !(cell && cell->IsReadOnly());
}

BOOL GridCore::IsCellSelected(int row, int col) const {
  if (!m_bEnableSelection) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  return cell && cell->IsSelected();
}

void GridCore::SetModified(BOOL modified, int row, int col) {
  // Changing sorted data takes the sort arrow away.
  if ((col < 0 || col == m_nSortColumn) && m_nSortColumn >= 0) {
    int old = m_nSortColumn;
    m_nSortColumn = -1;
    RedrawCell(0, old);
  }
  if (IsValid(row, col)) {
    UINT state = GetItemState(row, col);
    SetItemState(row, col, modified ? (state | GVIS_MODIFIED) : (state & ~GVIS_MODIFIED));
    if (modified) m_bModified = TRUE;
    return;
  }
  m_bModified = modified;
  if (!modified) {
    for (int r = 0; r < m_nRows; ++r) {
      for (int c = 0; c < m_nCols; ++c) {
        if (CGridCellBase* cell = GetCell(r, c)) cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
      }
    }
  }
}

BOOL GridCore::GetModified(int row, int col) const {
  if (IsValid(row, col)) return (GetItemState(row, col) & GVIS_MODIFIED) != 0;
  return m_bModified;
}

void GridCore::SetListMode(BOOL enable) {
  ResetSelectedRange();
  SetSortColumn(-1);
  m_bFixedColumnSelection = FALSE;
  m_bListMode = enable;
  Refresh();
}

void GridCore::EnableSelection(BOOL enable) {
  ResetSelectedRange();
  m_bEnableSelection = enable;
  Refresh();
}

// ---------------------------------------------------------------- geometry

int GridCore::GetRowHeight(int row) const {
  return row >= 0 && row < m_nRows ? m_arRowHeights[row] : -1;
}

int GridCore::GetColumnWidth(int col) const {
  return col >= 0 && col < m_nCols ? m_arColWidths[col] : -1;
}

BOOL GridCore::SetRowHeight(int row, int height) {
  if (row < 0 || row >= m_nRows || height < 0) return FALSE;
  m_arRowHeights[row] = height;
  ResetScrollBars();
  return TRUE;
}

BOOL GridCore::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= m_nCols || width < 0) return FALSE;
  m_arColWidths[col] = width;
  ResetScrollBars();
  return TRUE;
}

int GridCore::GetFixedRowHeight() const {
  int height = 0;
  for (int r = 0; r < m_nFixedRows; ++r) height += m_arRowHeights[r];
  return height;
}

int GridCore::GetFixedColumnWidth() const {
  int width = 0;
  for (int c = 0; c < m_nFixedCols; ++c) width += m_arColWidths[c];
  return width;
}

long GridCore::GetVirtualHeight() const {
  long height = 0;
  for (int h : m_arRowHeights) height += h;
  return height;
}

long GridCore::GetVirtualWidth() const {
  long width = 0;
  for (int w : m_arColWidths) width += w;
  return width;
}

GridCellId GridCore::GetTopLeftNonFixedCell(bool forceRecalculation) {
  if (topLeftValid_ && !forceRecalculation) return m_idTopLeftCell;
  // The view always starts at a whole cell: the first one whose start is at or after
  // the scroll position.
  int col = m_nFixedCols;
  int start = 0;
  while (start < hScroll_.pos && col < m_nCols - 1) start += m_arColWidths[col++];
  int row = m_nFixedRows;
  start = 0;
  while (start < vScroll_.pos && row < m_nRows - 1) start += m_arRowHeights[row++];
  m_idTopLeftCell = GridCellId(row, col);
  topLeftValid_ = true;
  return m_idTopLeftCell;
}

SIZE GridCore::Client() const {
  return host_ && host_->HasWindow() ? host_->ClientSize() : SIZE{};
}

GridCellRange GridCore::GetVisibleNonFixedCellRange(RECT* rect) {
  SIZE client = Client();
  GridCellId topLeft = GetTopLeftNonFixedCell();
  int bottom = GetFixedRowHeight();
  int r = topLeft.row;
  for (; r < m_nRows; ++r) {
    bottom += m_arRowHeights[r];
    if (bottom >= client.cy) {
      bottom = client.cy;
      break;
    }
  }
  int right = GetFixedColumnWidth();
  int c = topLeft.col;
  for (; c < m_nCols; ++c) {
    right += m_arColWidths[c];
    if (right >= client.cx) {
      right = client.cx;
      break;
    }
  }
  if (rect) {
    rect->left = GetFixedColumnWidth();
    rect->top = GetFixedRowHeight();
    rect->right = right;
    rect->bottom = bottom;
  }
  return GridCellRange(topLeft.row, topLeft.col, std::min(r, m_nRows - 1),
                       std::min(c, m_nCols - 1));
}

BOOL GridCore::GetCellOrigin(int row, int col, POINT* point) {
  if (!IsValid(row, col) || !point) return FALSE;
  GridCellId topLeft = GetTopLeftNonFixedCell();
  if ((col >= m_nFixedCols && col < topLeft.col) || (row >= m_nFixedRows && row < topLeft.row)) {
    return FALSE;
  }
  LONG x = 0;
  if (col < m_nFixedCols) {
    for (int c = 0; c < col; ++c) x += m_arColWidths[c];
  } else {
    x = GetFixedColumnWidth();
    for (int c = topLeft.col; c < col; ++c) x += m_arColWidths[c];
  }
  LONG y = 0;
  if (row < m_nFixedRows) {
    for (int r = 0; r < row; ++r) y += m_arRowHeights[r];
  } else {
    y = GetFixedRowHeight();
    for (int r = topLeft.row; r < row; ++r) y += m_arRowHeights[r];
  }
  point->x = x;
  point->y = y;
  return TRUE;
}

BOOL GridCore::GetCellRect(int row, int col, RECT* rect) {
  POINT origin;
  if (!rect || !GetCellOrigin(row, col, &origin)) return FALSE;
  rect->left = origin.x;
  rect->top = origin.y;
  rect->right = origin.x + m_arColWidths[col] - 1;
  rect->bottom = origin.y + m_arRowHeights[row] - 1;
  return TRUE;
}

BOOL GridCore::GetTextRect(int row, int col, RECT* rect) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell || !GetCellRect(row, col, rect)) return FALSE;
  return cell->GetTextRect(rect);
}

namespace {

// The row or column under pos along one axis (client pixels): a fixed one inside the fixed
// band (when allowed), else the scrolling ones from the first visible; -1 for none.
int IndexAt(int pos, const std::vector<int>& sizes, int fixedCount, int firstVisible,
            bool allowFixed) {
  int fixedSize = 0;
  for (int i = 0; i < fixedCount; ++i) fixedSize += sizes[i];
  if (pos < 0 || (!allowFixed && pos < fixedSize)) return -1;
  const bool inFixed = pos < fixedSize;
  const int last = inFixed ? fixedCount : static_cast<int>(sizes.size());
  int edge = inFixed ? 0 : fixedSize;
  for (int i = inFixed ? 0 : firstVisible; i < last; ++i) {
    edge += sizes[i];
    if (edge > pos) return i;
  }
  return -1;
}

}  // namespace

GridCellId GridCore::GetCellFromPt(POINT point, BOOL allowFixedCellCheck) {
  GridCellId topLeft = GetTopLeftNonFixedCell();
  return GridCellId(
      IndexAt(point.y, m_arRowHeights, m_nFixedRows, topLeft.row, allowFixedCellCheck != FALSE),
      IndexAt(point.x, m_arColWidths, m_nFixedCols, topLeft.col, allowFixedCellCheck != FALSE));
}

POINT GridCore::GetPointInCell(int row, int col, POINT point) {
  POINT origin;
  if (!GetCellOrigin(row, col, &origin)) return POINT{0, 0};
  return POINT{point.x - origin.x, point.y - origin.y};
}

BOOL GridCore::IsCellVisible(int row, int col) {
  if (!host_ || !host_->HasWindow()) return FALSE;
  POINT origin;
  if (!GetCellOrigin(row, col, &origin)) return FALSE;
  SIZE client = host_->ClientSize();
  return origin.x < client.cx && origin.y < client.cy;
}

SIZE GridCore::GetTextExtent(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetTextExtent(text, nullptr) : SIZE{0, 0};
}

// ---------------------------------------------------------------- sizing to contents

BOOL GridCore::AutoSizeColumn(int col, int scope, BOOL resetScroll) {
  if (col < 0 || col >= m_nCols || m_arColWidths[col] < 1) return FALSE;
  GridCanvas* canvas = host_ ? host_->MeasureCanvas() : nullptr;
  if (!canvas) return FALSE;
  if (scope == 0) scope = m_nAutoSizeColumnStyle;
  int first = (scope & 1) ? 0 : m_nFixedRows;
  int last = (scope & 2) ? m_nRows - 1 : m_nFixedRows - 1;
  int width = 0;
  for (int r = first; r <= last; ++r) {
    if (CGridCellBase* cell = GetCell(r, col)) width = std::max<int>(width, cell->GetCellExtent(canvas).cx);
  }
  m_arColWidths[col] = width;
  if (resetScroll) ResetScrollBars();
  return TRUE;
}

BOOL GridCore::AutoSizeRow(int row, BOOL resetScroll) {
  if (row < 0 || row >= m_nRows || m_arRowHeights[row] < 1) return FALSE;
  GridCanvas* canvas = host_ ? host_->MeasureCanvas() : nullptr;
  if (!canvas) return FALSE;
  int height = 0;
  for (int c = 0; c < m_nCols; ++c) {
    if (CGridCellBase* cell = GetCell(row, c)) height = std::max<int>(height, cell->GetCellExtent(canvas).cy);
  }
  m_arRowHeights[row] = height;
  if (resetScroll) ResetScrollBars();
  return TRUE;
}

void GridCore::AutoSizeColumns(int scope) {
  for (int c = 0; c < m_nCols; ++c) {
    if (m_arColWidths[c] > 0) AutoSizeColumn(c, scope, FALSE);
  }
  ResetScrollBars();
}

void GridCore::AutoSizeRows() {
  for (int r = 0; r < m_nRows; ++r) {
    if (m_arRowHeights[r] > 0) AutoSizeRow(r, FALSE);
  }
  ResetScrollBars();
}

void GridCore::ExpandColumnsToFit(BOOL expandFixed) {
  int first = expandFixed ? 0 : m_nFixedCols;
  if (first >= m_nCols) return;
  if (host_) host_->ShowScrollBar(0, false);
  m_nBarState &= ~1;
  hScroll_ = ScrollState{};
  int count = 0;
  for (int c = first; c < m_nCols; ++c) count += m_arColWidths[c] > 0 ? 1 : 0;
  if (count == 0) return;
  long difference = Client().cx - GetVirtualWidth();
  long share = difference / count;
  long remainder = std::labs(difference) % count;
  // Each shown column gets the same share, the first ones one pixel of the remainder. A
  // shrink never hides a column: one that would go below kMinWidth (or below its own width
  // when narrower) stops there and the wider ones give up its part.
  constexpr int kMinWidth = 8;
  std::vector<long> wanted(m_nCols, 0);
  for (int c = first, n = 0; c < m_nCols; ++c) {
    if (m_arColWidths[c] <= 0) continue;
    long pixel = n < remainder ? (difference > 0 ? 1 : -1) : 0;
    ++n;
    wanted[c] = m_arColWidths[c] + share + pixel;
  }
  long deficit = 0;
  for (int c = first; c < m_nCols; ++c) {
    if (m_arColWidths[c] <= 0) continue;
    long floor = std::min(kMinWidth, m_arColWidths[c]);
    if (wanted[c] < floor) {
      deficit += floor - wanted[c];
      wanted[c] = floor;
    }
  }
  while (deficit > 0) {
    int givers = 0;
    for (int c = first; c < m_nCols; ++c) {
      if (m_arColWidths[c] > 0 && wanted[c] > kMinWidth) ++givers;
    }
    if (givers == 0) break;
    long each = std::max(1L, deficit / givers);
    for (int c = first; c < m_nCols && deficit > 0; ++c) {
      if (m_arColWidths[c] <= 0 || wanted[c] <= kMinWidth) continue;
      long give = std::min({each, deficit, wanted[c] - kMinWidth});
      wanted[c] -= give;
      deficit -= give;
    }
  }
  for (int c = first; c < m_nCols; ++c) {
    if (m_arColWidths[c] > 0) m_arColWidths[c] = static_cast<int>(wanted[c]);
  }
  Refresh();
  ResetScrollBars();
}

// ---------------------------------------------------------------- scrolling

void GridCore::SetScrollPos(int bar, int pos) {
  ScrollState& s = bar == 0 ? hScroll_ : vScroll_;
  int limit = std::max(0, s.max - s.page + 1);
  s.pos = std::clamp(pos, 0, limit);
  topLeftValid_ = false;
  if (host_) host_->SetScrollRange(bar, s.max, s.page, s.pos);
}

void GridCore::OnHScroll(int code, int position) { ScrollBy(0, code, position); }
void GridCore::OnVScroll(int code, int position) { ScrollBy(1, code, position); }

void GridCore::ScrollBy(int bar, int code, int position) {
  EndEditing();
  ScrollState& s = bar == 0 ? hScroll_ : vScroll_;
  const std::vector<int>& sizes = bar == 0 ? m_arColWidths : m_arRowHeights;
  int fixedCount = bar == 0 ? m_nFixedCols : m_nFixedRows;
  int count = bar == 0 ? m_nCols : m_nRows;
  int fixedSize = bar == 0 ? GetFixedColumnWidth() : GetFixedRowHeight();
  SIZE client = Client();
  int clientSize = bar == 0 ? client.cx : client.cy;
  int limit = std::max(0, s.max - s.page + 1);
  int current = s.pos;
  RECT nonFixed{bar == 0 ? fixedSize : 0, bar == 0 ? 0 : fixedSize, client.cx, client.cy};
  auto invalidateNonFixed = [&] {
    if (host_ && m_bAllowDraw) host_->InvalidateRect(&nonFixed);
  };
  GridCellId topLeft = GetTopLeftNonFixedCell();
  int first = bar == 0 ? topLeft.col : topLeft.row;

  switch (code) {
    case GRID_SB_LINELEFT:
      if (current > 0) {
        int i = first - 1;
        while (i > fixedCount && sizes[i] < 1) --i;
        int step = i >= 0 && i < count ? sizes[i] : 0;
        SetScrollPos(bar, std::max(0, current - step));
        invalidateNonFixed();
      }
      break;
    case GRID_SB_LINERIGHT:
      if (current < limit) {
        int i = first;
        while (i < count - 1 && sizes[i] < 1) ++i;
        int step = i >= 0 && i < count ? sizes[i] : 0;
        SetScrollPos(bar, std::min(limit, current + step));
        if (s.pos != current) invalidateNonFixed();
      }
      break;
    case GRID_SB_PAGELEFT:
      SetScrollPos(bar, std::max(0, current - (clientSize - fixedSize)));
      invalidateNonFixed();
      break;
    case GRID_SB_PAGERIGHT:
      SetScrollPos(bar, std::min(limit, current + (clientSize - fixedSize)));
      invalidateNonFixed();
      break;
    case GRID_SB_THUMBPOSITION:
    case GRID_SB_THUMBTRACK: {
      SetScrollPos(bar, position);
      GridCellId now = GetTopLeftNonFixedCell();
      if (!(now == topLeft)) invalidateNonFixed();
      break;
    }
    case GRID_SB_LEFT:
      SetScrollPos(bar, 0);
      Refresh();
      break;
    case GRID_SB_RIGHT:
      SetScrollPos(bar, limit);
      Refresh();
      break;
    default:
      break;
  }
}

void GridCore::ResetScrollBars() {
  topLeftValid_ = false;
  if (!m_bAllowDraw || !host_ || !host_->HasWindow()) return;
  SIZE client = host_->ClientSize();
  if (client.cx <= 0 || client.cy <= 0) return;
  GridMetrics metrics = host_->Metrics();
  if (m_nBarState & 1) client.cy += metrics.hScrollHeight;
  if (m_nBarState & 2) client.cx += metrics.vScrollWidth;

  SIZE visible{client.cx - GetFixedColumnWidth(), client.cy - GetFixedRowHeight()};
  long rowsHeight = GetVirtualHeight() - GetFixedRowHeight();
  long colsWidth = GetVirtualWidth() - GetFixedColumnWidth();
  bool needH = false;
  bool needV = false;
  if (visible.cx > 0 && visible.cy > 0) {
    if (rowsHeight > visible.cy) visible.cx -= metrics.vScrollWidth;
    if (colsWidth > visible.cx) {
      visible.cy -= metrics.hScrollHeight;
      needH = true;
    }
    needV = rowsHeight > visible.cy;
  }
  hScroll_.max = needH ? static_cast<int>(colsWidth - 1) : 0;
  hScroll_.page = hScroll_.max < 1 ? 0 : std::max<int>(0, visible.cx);
  vScroll_.max = needV ? static_cast<int>(rowsHeight - 1) : 0;
  vScroll_.page = vScroll_.max < 1 ? 0 : std::max<int>(0, visible.cy);
  m_nBarState = (needH ? 1 : 0) | (needV ? 2 : 0);
  host_->ShowScrollBar(0, needH);
  host_->ShowScrollBar(1, needV);
  SetScrollPos(0, hScroll_.pos);
  SetScrollPos(1, vScroll_.pos);
}

void GridCore::EnsureVisible(int row, int col) {
  if (!m_bAllowDraw || !IsValid(row, col)) return;
  GridCellId topLeft = GetTopLeftNonFixedCell();
  GridCellRange visible = GetVisibleNonFixedCellRange();
  if (col >= m_nFixedCols) {
    for (int c = visible.maxCol + 1; c <= col; ++c) {
      if (m_arColWidths[c] > 0) OnHScroll(GRID_SB_LINERIGHT);
    }
    for (int c = topLeft.col - 1; c >= col; --c) {
      if (m_arColWidths[c] > 0) OnHScroll(GRID_SB_LINELEFT);
    }
  }
  if (row >= m_nFixedRows) {
    for (int r = visible.maxRow + 1; r <= row; ++r) {
      if (m_arRowHeights[r] > 0) OnVScroll(GRID_SB_LINEDOWN);
    }
    for (int r = topLeft.row - 1; r >= row; --r) {
      if (m_arRowHeights[r] > 0) OnVScroll(GRID_SB_LINEUP);
    }
  }
  // A cell still partly outside: one more line while that helps.
  SIZE client = Client();
  RECT rect;
  for (int guard = 0; guard < m_nCols && GetCellRect(row, col, &rect); ++guard) {
    if (!(rect.right > client.cx && rect.left > GetFixedColumnWidth() && IsScrollBarShown(0))) break;
    int before = hScroll_.pos;
    OnHScroll(GRID_SB_LINERIGHT);
    if (hScroll_.pos == before) break;
  }
  for (int guard = 0; guard < m_nRows && GetCellRect(row, col, &rect); ++guard) {
    if (!(rect.bottom > client.cy && rect.top > GetFixedRowHeight() && IsScrollBarShown(1))) break;
    int before = vScroll_.pos;
    OnVScroll(GRID_SB_LINEDOWN);
    if (vScroll_.pos == before) break;
  }
}

void GridCore::Refresh() {
  if (m_bAllowDraw && host_ && host_->HasWindow()) host_->InvalidateRect(nullptr);
}

BOOL GridCore::RedrawCell(int row, int col) {
  if (!m_bAllowDraw) return FALSE;
  return InvalidateCellRect(row, col);
}

BOOL GridCore::InvalidateCellRect(int row, int col) {
  if (!host_ || !IsCellVisible(row, col)) return FALSE;
  RECT rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  // The cell's own grid lines lie one pixel right and below its rectangle.
  rect.right += 2;
  rect.bottom += 2;
  host_->InvalidateRect(&rect);
  return TRUE;
}

// ---------------------------------------------------------------- selection and focus

GridCellId GridCore::SetFocusCell(int row, int col) {
  GridCellId requested(row, col);
  if (requested == m_idCurrentCell) return m_idCurrentCell;
  if (row != -1 && row < m_nFixedRows) row = m_nFixedRows;
  if (col != -1 && col < m_nFixedCols) col = m_nFixedCols;
  GridCellId previous = m_idCurrentCell;
  m_idCurrentCell = GridCellId(row, col);

  auto redrawHeaders = [&](const GridCellId& cell, const GridCellId& other) {
    if (!m_bTrackFocusCell || !IsValid(cell)) return;
    if (cell.col != other.col) {
      for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, cell.col);
    }
    if (cell.row != other.row) {
      for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(cell.row, c);
    }
  };
  if (IsValid(previous)) {
    SetItemState(previous.row, previous.col, GetItemState(previous.row, previous.col) & ~GVIS_FOCUSED);
    RedrawCell(previous.row, previous.col);
    redrawHeaders(previous, m_idCurrentCell);
  }
  if (IsValid(m_idCurrentCell)) {
    SetItemState(row, col, GetItemState(row, col) | GVIS_FOCUSED);
    RedrawCell(row, col);
    redrawHeaders(m_idCurrentCell, previous);
  }
  return previous;
}

void GridCore::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, BOOL,
                                BOOL select) {
  if (!m_bEnableSelection) return;
  // Fixed cells are never selected.
  if (minRow >= 0 && minRow < m_nFixedRows) minRow = m_nFixedRows;
  if (maxRow >= 0 && maxRow < m_nFixedRows) maxRow = m_nFixedRows;
  if (minCol >= 0 && minCol < m_nFixedCols) minCol = m_nFixedCols;
  if (maxCol >= 0 && maxCol < m_nFixedCols) maxCol = m_nFixedCols;
  GridCellRange range(minRow, minCol, maxRow, maxCol);

  if (select) {
    auto selected = m_SelectedCellMap;
    for (const auto& [key, cell] : selected) {
      if (!IsValid(cell)) {
        m_SelectedCellMap.erase(key);
        continue;
      }
      SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~GVIS_SELECTED);
      if (!range.InRange(cell.row, cell.col)) RedrawCell(cell.row, cell.col);
    }
    if (!(m_bListMode && m_bSingleRowSelection)) {
      if (minRow < 0) return;
      if (minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
        // A Ctrl gesture adds to what was selected when it began.
        for (const auto& [key, cell] : m_PrevSelectedCellMap) {
          if (!IsValid(cell)) continue;
          SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_SELECTED);
          RedrawCell(cell.row, cell.col);
        }
      }
    }
  }
  if (range.IsValid() && maxRow < m_nRows && maxCol < m_nCols) {
    for (int r = minRow; r <= maxRow; ++r) {
      for (int c = minCol; c <= maxCol; ++c) {
        UINT state = GetItemState(r, c);
        bool isSelected = (state & GVIS_SELECTED) != 0;
        if (isSelected == (select != FALSE)) continue;
        SetItemState(r, c, select ? (state | GVIS_SELECTED) : (state & ~GVIS_SELECTED));
        RedrawCell(r, c);
      }
    }
  }
}

void GridCore::ResetSelectedRange() {
  m_PrevSelectedCellMap.clear();
  SetSelectedRange(-1, -1, -1, -1, FALSE, TRUE);
  SetFocusCell(-1, -1);
}

GridCellRange GridCore::GetSelectedCellRange() const {
  if (m_SelectedCellMap.empty()) return GridCellRange();
  GridCellRange range(m_nRows, m_nCols, -1, -1);
  for (const auto& [key, cell] : m_SelectedCellMap) {
    range.minRow = std::min(range.minRow, cell.row);
    range.minCol = std::min(range.minCol, cell.col);
    range.maxRow = std::max(range.maxRow, cell.row);
    range.maxCol = std::max(range.maxCol, cell.col);
  }
  return range;
}

std::vector<int> GridCore::GetSelectedRows() const {
  std::vector<int> rows;
  for (const auto& [key, cell] : m_SelectedCellMap) rows.push_back(cell.row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void GridCore::SelectAll() {
  if (!m_bEnableSelection) return;
  SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_ITEMCHANGING);
  SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
  SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_ITEMCHANGED);
}

void GridCore::SelectColumns(GridCellId cell, BOOL forceRedraw, BOOL select) {
  if (!m_bEnableSelection || cell.col < m_nFixedCols) return;
  if (m_bSingleColSelection) {
    SetSelectedRange(m_nFixedRows, cell.col, m_nRows - 1, cell.col, forceRedraw, select);
  } else {
    SetSelectedRange(m_nFixedRows, std::min(m_SelectionStartCell.col, cell.col), m_nRows - 1,
                     std::max(m_SelectionStartCell.col, cell.col), forceRedraw, select);
  }
}

void GridCore::SelectRows(GridCellId cell, BOOL forceRedraw, BOOL select) {
  if (!m_bEnableSelection || cell.row < m_nFixedRows) return;
  if (m_bListMode && m_bSingleRowSelection) {
    SetSelectedRange(cell.row, m_nFixedCols, cell.row, m_nCols - 1, forceRedraw, select);
  } else {
    SetSelectedRange(std::min(m_SelectionStartCell.row, cell.row), m_nFixedCols,
                     std::max(m_SelectionStartCell.row, cell.row), m_nCols - 1, forceRedraw,
                     select);
  }
}

void GridCore::SelectCells(GridCellId cell, BOOL forceRedraw, BOOL select) {
  if (!m_bEnableSelection || cell.row < m_nFixedRows || cell.col < m_nFixedCols) return;
  SetSelectedRange(std::min(m_SelectionStartCell.row, cell.row),
                   std::min(m_SelectionStartCell.col, cell.col),
                   std::max(m_SelectionStartCell.row, cell.row),
                   std::max(m_SelectionStartCell.col, cell.col), forceRedraw, select);
}

void GridCore::OnSelecting(const GridCellId& cell) {
  if (!m_bEnableSelection || !IsValid(cell)) return;
  switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
      SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
      break;
    case MOUSE_SELECT_COL:
      SelectColumns(cell);
      break;
    case MOUSE_SELECT_ROW:
      SelectRows(cell);
      break;
    case MOUSE_SELECT_CELLS:
      SelectCells(cell);
      break;
    default:
      break;
  }
}

void GridCore::OnFixedRowClick(GridCellId& cell) {
  if (!IsValid(cell)) return;
  if (m_bSortOnClick) {
    BOOL ascending = cell.col == m_nSortColumn ? !m_bAscending : TRUE;
    SortItems(cell.col, ascending);
    Refresh();
  }
  if (m_bFixedRowSelection) {
    m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
    OnSelecting(cell);
  }
}

void GridCore::OnFixedColumnClick(GridCellId& cell) {
  if (!IsValid(cell)) return;
  if (m_bFixedColumnSelection) {
    m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
    OnSelecting(cell);
  }
}

void GridCore::ClearSelectedCells() {
  if (!m_bEditable) return;
  auto selected = m_SelectedCellMap;
  for (const auto& [key, cell] : selected) ReplaceCellText(cell.row, cell.col, std::string());
}

// ---------------------------------------------------------------- sorting

void GridCore::SetSortColumn(int col) {
  int old = m_nSortColumn;
  m_nSortColumn = col;
  if (old >= 0) RedrawCell(0, old);
  if (col >= 0) RedrawCell(0, col);
}

int GridCore::CompareCellText(const CGridCellBase* cell1, const CGridCellBase* cell2, LPARAM) {
  if (!cell1 || !cell2) return 0;
  int result = cell1->GetText().compare(cell2->GetText());
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

BOOL GridCore::SortItems(int col, BOOL ascending, LPARAM data) {
  return SortItems(m_pfnCompare ? m_pfnCompare : &GridCore::CompareCellText, col, ascending, data);
}

BOOL GridCore::SortItems(GridCompareFunc compare, int col, BOOL ascending, LPARAM data) {
  SetSortColumn(col);
  m_bAscending = ascending;
  ResetSelectedRange();
  SetFocusCell(-1, -1);
  if (col < 0 || col >= m_nCols || m_nRows - m_nFixedRows < 2 || !compare) return FALSE;
  QuickSort(compare, col, m_nFixedRows, m_nRows - 1, data);
  return TRUE;
}

void GridCore::SwapRows(int row1, int row2) {
  std::swap(m_RowData[row1], m_RowData[row2]);
  std::swap(m_arRowHeights[row1], m_arRowHeights[row2]);
  for (int c = 0; c < m_nCols; ++c) {
    if (CGridCellBase* cell = m_RowData[row1][c]) cell->SetCoords(row1, c);
    if (CGridCellBase* cell = m_RowData[row2][c]) cell->SetCoords(row2, c);
  }
}

void GridCore::QuickSort(GridCompareFunc compare, int col, int lo, int hi, LPARAM data) {
  if (hi <= lo) return;
  // The pivot is a cell object: it keeps its identity while rows are exchanged.
  const CGridCellBase* pivot = GetCell((lo + hi) / 2, col);
  int sign = m_bAscending ? 1 : -1;
  int low = lo;
  int high = hi;
  while (low <= high) {
    while (low < hi && sign * compare(GetCell(low, col), pivot, data) < 0) ++low;
    while (high > lo && sign * compare(GetCell(high, col), pivot, data) > 0) --high;
    if (low <= high) {
      if (compare(GetCell(low, col), GetCell(high, col), data) != 0) SwapRows(low, high);
      ++low;
      --high;
    }
  }
  if (lo < high) QuickSort(compare, col, lo, high, data);
  if (low < hi) QuickSort(compare, col, low, hi, data);
}

// ---------------------------------------------------------------- editing

BOOL GridCore::OnEditCell(int row, int col, POINT point, UINT character) {
  if (!IsValid(row, col) || !IsCellEditable(row, col)) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  EnsureVisible(row, col);
  RECT rect;
  if (!IsCellVisible(row, col) || !GetCellRect(row, col, &rect)) return FALSE;
  if (SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) return FALSE;
  return cell->Edit(row, col, rect, point, kGridInPlaceId, character);
}

void GridCore::OnEndEditCell(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return;
  const unsigned freed = cellsFreed_;
  // Whether the cell outlived the owner's answer (which may rebuild the grid).
  auto stillThere = [&] { return cellsFreed_ == freed && GetCell(row, col) == cell; };
  std::string old = cell->GetText();
  if (old != text) {
    UINT oldState = cell->GetState();
    SetItemText(row, col, text);
    if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, GVN_ENDLABELEDIT) >= 0) {
      if (stillThere()) {
        SetModified(TRUE, row, col);
        RedrawCell(row, col);
      }
    } else if (stillThere()) {
      // Refused: the old text and its modified mark come back.
      cell->SetText(old);
      SetItemState(row, col, (GetItemState(row, col) & ~GVIS_MODIFIED) | (oldState & GVIS_MODIFIED));
      RedrawCell(row, col);
    }
  }
  if (stillThere()) cell->OnEndEdit();
}

BOOL GridCore::ValidateEdit(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->ValidateEdit(text) : TRUE;
}

void GridCore::EndEditing() {
  if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) cell->EndEdit();
}

LRESULT GridCore::OnEndInPlaceEdit(GridDispInfo* info) {
  if (!info) return 0;
  OnEndEditCell(info->item.row, info->item.col, info->item.strText);
  UINT key = static_cast<UINT>(info->item.lParam);
  if (key == gridkey::kTab || gridkey::IsNavigation(key)) {
    OnKeyDown(key);
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, POINT{-1, -1}, key);
  }
  return 0;
}

BOOL GridCore::ReplaceCellText(int row, int col, const std::string& text) {
  if (!IsValid(row, col) || !IsCellEditable(row, col)) return FALSE;
  if (SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  std::string old = cell->GetText();
  if (old == text) return TRUE;
  const unsigned freed = cellsFreed_;
  SetItemText(row, col, text);
  if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, GVN_ENDLABELEDIT) >= 0) {
    RedrawCell(row, col);
    return TRUE;
  }
  if (cellsFreed_ == freed && GetCell(row, col) == cell) {
    cell->SetText(old);
    RedrawCell(row, col);
  }
  return FALSE;
}

// ---------------------------------------------------------------- owner messages

LRESULT GridCore::SendMessageToParent(int row, int col, int code) {
  if (!host_ || !host_->HasWindow()) return 0;
  GridNotify notify;
  notify.hdr.hwndFrom = host_->Handle();
  notify.hdr.idFrom = host_->ControlId();
  notify.hdr.code = code;
  notify.iRow = row;
  notify.iColumn = col;
  return host_->NotifyOwner(&notify.hdr);
}

// ---------------------------------------------------------------- fonts and colours

void GridCore::SetFont(const GridFont& font, GridCanvas* canvas) {
  for (CGridDefaultCell* def : {m_cellDefault.get(), m_cellFixedColDef.get(),
                                m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()}) {
    def->SetFont(&font);
    def->Measure(canvas);
  }
  Refresh();
}

void GridCore::OnSysColourChange(COLORREF windowText, COLORREF window, COLORREF btnFace,
                                 COLORREF btnShadow) {
  for (CGridDefaultCell* def : {m_cellDefault.get(), m_cellFixedColDef.get(),
                                m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()}) {
    if (def->GetTextClr() == m_crWindowText) def->SetTextClr(windowText);
    if (def->GetBackClr() == m_crWindowColour) def->SetBackClr(window);
  }
  if (m_crOutside == m_crShadow) m_crOutside = btnShadow;
  m_crWindowText = windowText;
  m_crWindowColour = window;
  m_cr3DFace = btnFace;
  m_crShadow = btnShadow;
}

void GridCore::SetSystemColours(COLORREF windowText, COLORREF window, COLORREF btnFace,
                                COLORREF btnShadow) {
  m_crWindowText = windowText;
  m_crWindowColour = window;
  m_cr3DFace = btnFace;
  m_crShadow = btnShadow;
  m_crOutside = btnShadow;
  for (CGridDefaultCell* def : {m_cellDefault.get(), m_cellFixedColDef.get(),
                                m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()}) {
    def->SetTextClr(windowText);
    def->SetBackClr(def == m_cellDefault.get() ? window : btnFace);
  }
}
