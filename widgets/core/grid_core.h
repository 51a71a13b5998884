// The grid without its window: rows and columns of owned cells, the first rows and columns
// optionally fixed (headers that do not scroll), row heights and column widths in pixels,
// the scroll positions in pixels, the selection, the focus cell, sorting by a column, and
// what keys and stylus gestures do. Everything a window would do (drawing, scroll bars,
// cursor, in-place controls, messages to the owner) goes through the GridHost; without a
// host the grid works as a pure model (as the tests drive it).
//
//   GridCore grid(0, 3, 1, 0);              // three columns, one header row
//   grid.SetListMode(TRUE);
//   grid.SetCellType<CGridCellCheck>(r, 2);
//   grid.SetItemText(0, 0, "Name");
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "widgets/core/grid_cell.h"

// What a stylus gesture is doing.
enum GridMouseMode {
  MOUSE_NOTHING = 0,
  MOUSE_SELECT_ALL = 1,
  MOUSE_SELECT_COL = 2,
  MOUSE_SELECT_ROW = 3,
  MOUSE_SELECT_CELLS = 4,
  MOUSE_OVER_ROW_DIVIDE = 6,
  MOUSE_SIZING_ROW = 7,
  MOUSE_OVER_COL_DIVIDE = 8,
  MOUSE_SIZING_COL = 9,
  MOUSE_PREPARE_EDIT = 10,
};

// Scroll requests (the platform's codes).
constexpr int GRID_SB_LINEUP = 0;
constexpr int GRID_SB_LINELEFT = 0;
constexpr int GRID_SB_LINEDOWN = 1;
constexpr int GRID_SB_LINERIGHT = 1;
constexpr int GRID_SB_PAGEUP = 2;
constexpr int GRID_SB_PAGELEFT = 2;
constexpr int GRID_SB_PAGEDOWN = 3;
constexpr int GRID_SB_PAGERIGHT = 3;
constexpr int GRID_SB_THUMBPOSITION = 4;
constexpr int GRID_SB_THUMBTRACK = 5;
constexpr int GRID_SB_TOP = 6;
constexpr int GRID_SB_LEFT = 6;
constexpr int GRID_SB_BOTTOM = 7;
constexpr int GRID_SB_RIGHT = 7;
constexpr int GRID_SB_ENDSCROLL = 8;

constexpr UINT_PTR kGridAutoScrollTimer = 513;

// Stylus key flags of mouse messages.
constexpr UINT GRID_MK_SHIFT = 0x04;
constexpr UINT GRID_MK_CONTROL = 0x08;

using GridCompareFunc = int (*)(const CGridCellBase* cell1, const CGridCellBase* cell2,
                                LPARAM data);

class GridCore {
 public:
  GridCore(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0);
  GridCore(const GridCore&) = delete;
  GridCore& operator=(const GridCore&) = delete;
  virtual ~GridCore();

  void SetHost(GridHost* host) { host_ = host; }
  GridHost* GetHost() const { return host_; }

  // ---- size and structure ----
  int GetRowCount() const { return m_nRows; }
  int GetColumnCount() const { return m_nCols; }
  int GetFixedRowCount() const { return m_nFixedRows; }
  int GetFixedColumnCount() const { return m_nFixedCols; }
  BOOL SetRowCount(int rows);
  BOOL SetColumnCount(int cols);
  BOOL SetFixedRowCount(int fixedRows);
  BOOL SetFixedColumnCount(int fixedCols);
  int InsertRow(const std::string& heading, int index = -1);
  BOOL DeleteAllItems();

  // ---- cells ----
  CGridCellBase* GetCell(int row, int col) const;
  BOOL SetCell(int row, int col, CGridCellBase* cell);
  BOOL SetCellType(int row, int col, GridCellFactory factory);
  template <class T>
  BOOL SetCellType(int row, int col) {
    return SetCellType(row, col, &CreateGridCell<T>);
  }
  void SetDefaultCellType(GridCellFactory factory) { m_pRtcDefault = factory; }
  virtual CGridCellBase* CreateCell(int row, int col);
  virtual void DestroyCell(int row, int col);
  CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;

  BOOL SetItemText(int row, int col, const std::string& text);
  std::string GetItemText(int row, int col) const;
  BOOL SetItemState(int row, int col, UINT state);
  UINT GetItemState(int row, int col) const;
  BOOL SetItemData(int row, int col, LPARAM data);
  LPARAM GetItemData(int row, int col) const;
  BOOL SetItemFormat(int row, int col, UINT format);
  BOOL SetItemBackColour(int row, int col, COLORREF colour);
  BOOL SetItemTextColour(int row, int col, COLORREF colour);
  BOOL IsValid(int row, int col) const;
  BOOL IsValid(const GridCellId& cell) const { return IsValid(cell.row, cell.col); }
  BOOL IsCellEditable(int row, int col) const;
  BOOL IsCellSelected(int row, int col) const;
  BOOL IsCellFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }
  void SetModified(BOOL modified = TRUE, int row = -1, int col = -1);
  BOOL GetModified(int row = -1, int col = -1) const;

  // ---- flags ----
  void SetEditable(BOOL editable = TRUE) { m_bEditable = editable; }
  BOOL IsEditable() const { return m_bEditable; }
  void SetListMode(BOOL enable = TRUE);
  BOOL GetListMode() const { return m_bListMode; }
  void SetSingleRowSelection(BOOL single = TRUE) { m_bSingleRowSelection = single; }
  void SetSingleColSelection(BOOL single = TRUE) { m_bSingleColSelection = single; }
  void EnableSelection(BOOL enable = TRUE);
  BOOL IsSelectable() const { return m_bEnableSelection; }
  void SetFixedColumnSelection(BOOL enable) { m_bFixedColumnSelection = enable; }
  void SetFixedRowSelection(BOOL enable) { m_bFixedRowSelection = enable; }
  void SetHeaderSort(BOOL sortOnClick = TRUE) { m_bSortOnClick = sortOnClick; }
  BOOL GetHeaderSort() const { return m_bSortOnClick; }
  void SetHandleTabKey(BOOL handle = TRUE) { m_bHandleTabKey = handle; }
  BOOL GetHandleTabKey() const { return m_bHandleTabKey; }
  void SetGridLines(int lines) { m_nGridLines = lines; }
  int GetGridLines() const { return m_nGridLines; }
  void SetGridLineColour(COLORREF colour) { m_crGridLineColour = colour; }
  void SetFrameFocusCell(BOOL frame) { m_bFrameFocus = frame; }
  BOOL GetFrameFocusCell() const { return m_bFrameFocus; }
  void SetTrackFocusCell(BOOL track) { m_bTrackFocusCell = track; }
  BOOL GetTrackFocusCell() const { return m_bTrackFocusCell; }
  void SetRowResize(BOOL allow) { m_bAllowRowResize = allow; }
  void SetColumnResize(BOOL allow) { m_bAllowColumnResize = allow; }
  void SetHiddenColUnhide(BOOL unhide) { m_bHiddenColUnhide = unhide; }
  void SetHiddenRowUnhide(BOOL unhide) { m_bHiddenRowUnhide = unhide; }
  void EnableColumnHide(BOOL enable) { m_bAllowColHide = enable; }
  void EnableRowHide(BOOL enable) { m_bAllowRowHide = enable; }
  void SetAutoSizeStyle(int scope) { m_nAutoSizeColumnStyle = scope; }
  void SetAllowDraw(BOOL allow) { m_bAllowDraw = allow; }
  BOOL GetAllowDraw() const { return m_bAllowDraw; }
  void SetCompareFunction(GridCompareFunc compare) { m_pfnCompare = compare; }
  void SetOutsideColour(COLORREF colour) { m_crOutside = colour; }

  // ---- geometry ----
  int GetRowHeight(int row) const;
  int GetColumnWidth(int col) const;
  BOOL SetRowHeight(int row, int height);
  BOOL SetColumnWidth(int col, int width);
  int GetFixedRowHeight() const;
  int GetFixedColumnWidth() const;
  long GetVirtualHeight() const;
  long GetVirtualWidth() const;
  GridCellId GetTopLeftNonFixedCell(bool forceRecalculation = false);
  GridCellRange GetVisibleNonFixedCellRange(RECT* rect = nullptr);
  BOOL GetCellOrigin(int row, int col, POINT* point);
  BOOL GetCellRect(int row, int col, RECT* rect);
  GridCellId GetCellFromPt(POINT point, BOOL allowFixedCellCheck = TRUE);
  POINT GetPointInCell(int row, int col, POINT point);
  BOOL IsCellVisible(int row, int col);
  SIZE GetTextExtent(int row, int col, const std::string& text);
  BOOL GetTextRect(int row, int col, RECT* rect);

  // ---- sizing to contents ----
  BOOL AutoSizeColumn(int col, int scope = 0, BOOL resetScroll = TRUE);
  BOOL AutoSizeRow(int row, BOOL resetScroll = TRUE);
  void AutoSizeColumns(int scope = 0);
  void AutoSizeRows();
  void ExpandColumnsToFit(BOOL expandFixed = TRUE);

  // ---- scrolling and redrawing ----
  int GetScrollPos(int bar) const { return bar == 0 ? hScroll_.pos : vScroll_.pos; }
  int GetScrollMax(int bar) const { return bar == 0 ? hScroll_.max : vScroll_.max; }
  BOOL IsScrollBarShown(int bar) const { return (m_nBarState >> bar) & 1; }
  void OnHScroll(int code, int position = 0);
  void OnVScroll(int code, int position = 0);
  void ResetScrollBars();
  void EnsureVisible(int row, int col);
  void EnsureVisible(const GridCellId& cell) { EnsureVisible(cell.row, cell.col); }
  void Refresh();
  BOOL RedrawCell(int row, int col);
  BOOL InvalidateCellRect(int row, int col);

  // ---- selection and focus ----
  GridCellId SetFocusCell(int row, int col);
  GridCellId SetFocusCell(const GridCellId& cell) { return SetFocusCell(cell.row, cell.col); }
  GridCellId GetFocusCell() const { return m_idCurrentCell; }
  void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol,
                        BOOL forceRepaint = FALSE, BOOL select = TRUE);
  void SetSelectedRange(const GridCellRange& range, BOOL forceRepaint = FALSE,
                        BOOL select = TRUE) {
    SetSelectedRange(range.minRow, range.minCol, range.maxRow, range.maxCol, forceRepaint,
                     select);
  }
  void ResetSelectedRange();
  GridCellRange GetSelectedCellRange() const;
  int GetSelectedCount() const { return static_cast<int>(m_SelectedCellMap.size()); }
  // Rows (ascending) that hold at least one selected cell.
  std::vector<int> GetSelectedRows() const;
  virtual void SelectAll();
  void SelectColumns(GridCellId cell, BOOL forceRedraw = FALSE, BOOL select = TRUE);
  void SelectRows(GridCellId cell, BOOL forceRedraw = FALSE, BOOL select = TRUE);
  void SelectCells(GridCellId cell, BOOL forceRedraw = FALSE, BOOL select = TRUE);
  void OnSelecting(const GridCellId& cell);
  virtual void OnFixedRowClick(GridCellId& cell);
  virtual void OnFixedColumnClick(GridCellId& cell);
  virtual void ClearSelectedCells();

  // ---- sorting ----
  BOOL SortItems(int col, BOOL ascending, LPARAM data = 0);
  BOOL SortItems(GridCompareFunc compare, int col, BOOL ascending, LPARAM data = 0);
  void SetSortColumn(int col);
  int GetSortColumn() const { return m_nSortColumn; }
  BOOL GetSortAscending() const { return m_bAscending; }
  static int CompareCellText(const CGridCellBase* cell1, const CGridCellBase* cell2,
                             LPARAM data);

  // ---- editing ----
  virtual BOOL OnEditCell(int row, int col, POINT point, UINT character);
  virtual void OnEndEditCell(int row, int col, const std::string& text);
  virtual BOOL ValidateEdit(int row, int col, const std::string& text);
  virtual void EndEditing();
  // An in-place editor finished: its record names the cell, the final text and (data) the
  // key that ended the edit.
  LRESULT OnEndInPlaceEdit(GridDispInfo* info);
  BOOL ReplaceCellText(int row, int col, const std::string& text);

  // ---- input: the handlers of the window's key and stylus messages ----
  // The return value says whether the message should still go to default processing.
  bool OnKeyDown(UINT key);
  bool OnChar(UINT character);
  void OnLButtonDown(UINT flags, POINT point);
  void OnMouseMove(UINT flags, POINT point);
  void OnLButtonUp(UINT flags, POINT point);
  void OnLButtonDblClk(UINT flags, POINT point);
  // Auto-scroll while a selection is dragged past the edge; point is the stylus now.
  void OnTimer(UINT_PTR id, POINT point);
  GridMouseMode GetMouseMode() const { return m_MouseMode; }
  UINT OnGetDlgCode() const;

  // ---- drawing ----
  virtual void OnDraw(GridCanvas* canvas, const RECT& clip);
  void EraseBackground(GridCanvas* canvas, const RECT& clip);

  // ---- owner messages ----
  LRESULT SendMessageToParent(int row, int col, int code);

  // ---- fonts and system colours ----
  void SetFont(const GridFont& font, GridCanvas* canvas);
  // The system colours changed: default cells that follow them take the new ones.
  void OnSysColourChange(COLORREF windowText, COLORREF window, COLORREF btnFace,
                         COLORREF btnShadow);
  // The window's colours when it is made: default cells, outside colour and the
  // remembered colours all take them.
  void SetSystemColours(COLORREF windowText, COLORREF window, COLORREF btnFace,
                        COLORREF btnShadow);

 protected:
  struct ScrollState {
    int pos = 0;
    int max = 0;
    int page = 0;
  };
  using Row = std::vector<CGridCellBase*>;

  static std::uint32_t SelKey(int row, int col) {
    return (static_cast<std::uint32_t>(row) & 0xFFFFu) | (static_cast<std::uint32_t>(col) << 16);
  }
  void ScrollBy(int bar, int code, int position);
  void SetScrollPos(int bar, int pos);
  SIZE Client() const;
  bool ShiftHeld() const;
  bool CtrlHeld() const;
  bool IsPointOnColDivider(POINT point);
  bool IsPointOnRowDivider(POINT point);
  void SwapRows(int row1, int row2);
  void QuickSort(GridCompareFunc compare, int col, int lo, int hi, LPARAM data);
  bool StartDividerDrag(bool column, POINT point);

  GridHost* host_ = nullptr;

  COLORREF m_crOutside = 0x808080;
  COLORREF m_crGridLineColour = 0xC0C0C0;
  COLORREF m_crWindowText = 0x000000;
  COLORREF m_crWindowColour = 0xFFFFFF;
  COLORREF m_cr3DFace = 0xC0C0C0;
  COLORREF m_crShadow = 0x808080;
  int m_nGridLines = 3;
  BOOL m_bEditable = TRUE;
  BOOL m_bModified = FALSE;
  BOOL m_bListMode = FALSE;
  BOOL m_bSingleRowSelection = FALSE;
  BOOL m_bSingleColSelection = FALSE;
  BOOL m_bAllowDraw = TRUE;
  BOOL m_bEnableSelection = TRUE;
  BOOL m_bFixedColumnSelection = TRUE;
  BOOL m_bFixedRowSelection = TRUE;
  BOOL m_bSortOnClick = FALSE;
  BOOL m_bHandleTabKey = TRUE;
  int m_nBarState = 0;
  BOOL m_bHiddenColUnhide = TRUE;
  BOOL m_bHiddenRowUnhide = TRUE;
  BOOL m_bAllowColHide = TRUE;
  BOOL m_bAllowRowHide = TRUE;
  BOOL m_bTrackFocusCell = TRUE;
  BOOL m_bFrameFocus = TRUE;
  int m_nAutoSizeColumnStyle = 3;
  int m_nRows = 0;
  int m_nFixedRows = 0;
  int m_nCols = 0;
  int m_nFixedCols = 0;
  std::vector<int> m_arRowHeights;
  std::vector<int> m_arColWidths;
  ScrollState hScroll_;
  ScrollState vScroll_;
  GridCellFactory m_pRtcDefault = &CreateGridCell<CGridCell>;
  std::unique_ptr<CGridDefaultCell> m_cellDefault;
  std::unique_ptr<CGridDefaultCell> m_cellFixedColDef;
  std::unique_ptr<CGridDefaultCell> m_cellFixedRowDef;
  std::unique_ptr<CGridDefaultCell> m_cellFixedRowColDef;
  std::vector<Row> m_RowData;
  GridMouseMode m_MouseMode = MOUSE_NOTHING;
  bool m_bLMouseButtonDown = false;
  POINT m_LeftClickDownPoint;
  POINT m_LastMousePoint;
  GridCellId m_LeftClickDownCell;
  GridCellId m_SelectionStartCell;
  GridCellId m_idCurrentCell;
  GridCellId m_idTopLeftCell;
  bool topLeftValid_ = false;
  UINT_PTR m_nTimerID = 0;
  UINT m_nTimerInterval = 25;
  int m_nResizeCaptureRange = 3;
  BOOL m_bAllowRowResize = TRUE;
  BOOL m_bAllowColumnResize = TRUE;
  std::map<std::uint32_t, GridCellId> m_SelectedCellMap;
  std::map<std::uint32_t, GridCellId> m_PrevSelectedCellMap;
  BOOL m_bAscending = TRUE;
  int m_nSortColumn = -1;
  GridCompareFunc m_pfnCompare = nullptr;
  int dragLine_ = -1;
  // Counts cells freed: an owner's answer may rebuild the grid under an operation.
  unsigned cellsFreed_ = 0;
};
