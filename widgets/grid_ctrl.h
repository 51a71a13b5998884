// The grid control: a child window over GridCore (widgets/core/grid_core.h) that paints the
// cells, scrolls, takes the stylus and the keys, opens the in-place editors and reports to
// its owner (else its parent) with WM_NOTIFY records (GridNotify, GridDispInfo) of the
// list view's codes (GVN_...), plus WM_COMMAND with its control id after a tap on a cell.
//
//   CGridCtrl m_Grid;                                  // a member of the dialog
//   m_Grid.Create(rect, this, 170);                    // in OnInitDialog
//   m_Grid.SetColumnCount(5);
//   m_Grid.SetFixedRowCount(1);
//   m_Grid.SetListMode(TRUE);
//   m_Grid.SetCellType<CGridCellCheck>(row, 3);
//   ...
//   ON_NOTIFY(GVN_CLICK, 170, &CDlgX::OnGridClick)    // GridNotify* from the NMHDR*
#pragma once

#include <memory>

#include "platform/ui/controls.h"
#include "platform/ui/input.h"
#include "widgets/core/grid_core.h"

class GridWindowHost;

// The window style the table dialogs give their grids: child, visible, border, tab stop.
constexpr DWORD kGridDialogStyle = 0x50810000u;

class CGridCtrl : public CCustomWnd, public GridCore {
 public:
  CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0);
  ~CGridCtrl() override;

  BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = kGridDialogStyle);
  using CCustomWnd::Create;

  // Window operations that both bases could answer: the window's.
  using CCustomWnd::GetSafeHwnd;
  using CCustomWnd::SetFont;
  using GridCore::OnDraw;
  using GridCore::SetFont;
  using GridCore::GetScrollPos;
  using GridCore::IsScrollBarShown;

  // Paints into the window's backing bitmap.
  void OnDraw(CDC* dc) override;

  // Message handlers.
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnImeChar(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  void OnTimer(UINT_PTR id);
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  void OnVScroll(UINT code, UINT position, CScrollBar* bar);
  void OnSize(UINT type, int cx, int cy);
  UINT OnGetDlgCode();
  BOOL OnEraseBkgnd(CDC* dc);
  BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
  void OnSettingChange(UINT flags, const char* section);
  void OnEditSelectAll();
  void OnUpdateEditSelectAll(CCmdUI* ui);
  void OnEndInPlaceEdit(NMHDR* header, LRESULT* result);
  // WM_SETFONT (wParam the font; CWnd::SetFont sends it): all four default cells take the
  // font and measure their sizes with it. WM_GETFONT (CWnd::GetFont asks): the font of the
  // ordinary cells, which the in-place editors take too.
  LRESULT OnSetFont(WPARAM font, LPARAM redraw);
  LRESULT OnGetFont(WPARAM, LPARAM);

  // The font of the cells (all four default cells take it).
  void SetGridFont(CFont* font);

 private:
  std::unique_ptr<GridWindowHost> windowHost_;
  SIZE lastSize_{-1, -1};
  // The ordinary cells' font as a font object, made again when it changes.
  std::unique_ptr<CFont> cellFont_;
  GridFont cellFontMadeFrom_;

  DECLARE_MESSAGE_MAP()
};

// Runs the area design dialog for a colour cell (the dialogs register it: widgets sit below
// them); true when it ended with OK and colour and pattern hold the choice.
using GridAreaDesignRunner = bool (*)(CWnd* parent, int featureType, COLORREF& colour,
                                      int& pattern);
void SetGridAreaDesignRunner(GridAreaDesignRunner runner);

// The records of the grid's notifications, read from a handler's NMHDR*.
inline GridNotify* GridNotifyOf(NMHDR* header) { return reinterpret_cast<GridNotify*>(header); }
inline GridDispInfo* GridDispInfoOf(NMHDR* header) {
  return reinterpret_cast<GridDispInfo*>(header);
}
