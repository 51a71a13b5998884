// The grid as a window under Xvfb: what a user sees in its cells, and what taps, keys and
// an in-place edit do, with the owner's notifications recorded. Taps and keys are real X
// input with the event loop running between them: the test runs alone on the display.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/odcombo.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <chrono>
#include <vector>

#include "platform/modules.h"
#include "platform/resource_blob.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"
#include "widgets/grid_ctrl.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

// The dialog that hosts the grid: it records the grid's notifications.
class Owner : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY) {
      auto* note = reinterpret_cast<GridNotify*>(lParam);
      codes.push_back(static_cast<int>(note->hdr.code));
      if (static_cast<int>(note->hdr.code) == GVN_ENDLABELEDIT) edited.push_back(note->iRow);
      if (static_cast<int>(note->hdr.code) == GVN_DBLCLK) doubleTaps.emplace_back(note->iRow, note->iColumn);
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  int Count(int code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }
  std::vector<int> codes;
  std::vector<int> edited;
  std::vector<GridCellId> doubleTaps;
};

class GridWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    // The symbols are loaded once, by the first symbol cell that is drawn or edited.
    platform::SetProgramResources(tvx_program_resources());
    dialog = new wxDialog(nullptr, wxID_ANY, "grid", wxDefaultPosition, wxSize(420, 320));
    owner.Attach(dialog);
    ASSERT_TRUE(grid.Create(RECT{0, 0, 400, 300}, &owner, 170));
    grid.SetColumnCount(3);
    grid.SetRowCount(5);
    grid.SetFixedRowCount(1);
    const char* names[] = {"Name", "pear", "apple", "kiwi", "fig"};
    for (int r = 0; r < 5; ++r) {
      grid.SetItemText(r, 0, names[r]);
      grid.SetItemText(r, 1, r == 0 ? "Kind" : "x");
      grid.SetRowHeight(r, 24);
    }
    for (int c = 0; c < 3; ++c) grid.SetColumnWidth(c, 100);
    ASSERT_TRUE(tvxtest::ShowOnScreen(dialog));
    tvxtest::PumpFor(100);
  }
  void TearDown() override {
    if (dialog) {
      grid.DestroyWindow();
      dialog->Destroy();
    }
  }
  CPoint CellCentre(int row, int col) { return CPoint(col * 100 + 50, row * 24 + 12); }
  void Tap(int row, int col) {
    const CPoint p = CellCentre(row, col);
    tvxtest::RealClick(grid, p.x, p.y);
  }
  void Key(int key) { tvxtest::RealKey(grid, key); }
  void ShiftKey(int key) {
    wxUIActionSimulator().Char(key, wxMOD_SHIFT);
    tvxtest::InputHandled();
  }
  // Whether the keys go to the grid itself (not to an editor or the dialog).
  bool GridHasFocus() { return wxWindow::FindFocus() == grid.GetWxWindow(); }
  // Pixels of the grid's picture inside a cell that are not its background.
  int InkIn(int row, int col, COLORREF background) {
    CClientDC dc(&grid);
    grid.OnDraw(&dc);  // the window's picture, as a paint makes it
    int ink = 0;
    for (int y = row * 24 + 3; y < row * 24 + 20; ++y) {
      for (int x = col * 100 + 3; x < col * 100 + 95; ++x) {
        if (dc.GetPixel(x, y) != background) ++ink;
      }
    }
    return ink;
  }
  // The in-place edit that is open (closed ones linger hidden until the next idle time).
  wxTextCtrl* OpenEdit() {
    for (wxWindow* child : grid.GetWxWindow()->GetChildren()) {
      auto* edit = dynamic_cast<wxTextCtrl*>(child);
      if (edit && edit->IsShown() && edit->GetId() == static_cast<int>(kGridInPlaceId)) return edit;
    }
    return nullptr;
  }
  wxDialog* dialog = nullptr;
  Owner owner;
  CGridCtrl grid;
};

TEST_F(GridWindowTest, CellsShowTheirTextsAndTheSelectionIsHighlighted) {
  COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_GT(InkIn(2, 0, window), 10);   // "apple"
  EXPECT_EQ(InkIn(2, 2, window), 0);    // empty cell
  grid.SetSelectedRange(2, 0, 2, 2);
  grid.Invalidate();
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_LT(InkIn(2, 2, highlight), 5);  // a selected empty cell is all highlight
}

TEST_F(GridWindowTest, TapsSelectKeysMoveTheFocusAndHeaderTapsSort) {
  grid.SetListMode(TRUE);
  grid.SetHeaderSort(TRUE);
  Tap(2, 1);
  EXPECT_TRUE(grid.IsCellSelected(2, 0));  // the whole row in list mode
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  EXPECT_EQ(owner.Count(GVN_CLICK), 1);

  Key(WXK_DOWN);  // one row, not two
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(3, 1));
  EXPECT_TRUE(grid.IsCellSelected(3, 2));
  EXPECT_FALSE(grid.IsCellSelected(2, 2));
  EXPECT_GE(owner.Count(GVN_ITEMCHANGED), 2);

  Tap(0, 0);
  std::vector<std::string> names;
  for (int r = 1; r < 5; ++r) names.push_back(grid.GetItemText(r, 0));
  EXPECT_EQ(names, (std::vector<std::string>{"apple", "fig", "kiwi", "pear"}));
  EXPECT_EQ(grid.GetSortColumn(), 0);
}

// A press on the corner header selects everything; dragging on over the cells then
// extends nothing and leaves the focus where the press put it (on no cell).
TEST_F(GridWindowTest, ADragFromTheCornerSelectsEverythingAndLeavesTheFocusAlone) {
  grid.SetFixedColumnCount(1);
  Tap(2, 1);
  ASSERT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  wxUIActionSimulator input;
  auto moveTo = [&](int row, int col) {
    CPoint p = CellCentre(row, col);
    grid.ClientToScreen(&p);
    input.MouseMove(p.x, p.y);
    tvxtest::PumpUntil([&] { return wxGetMousePosition() == wxPoint(p.x, p.y); });
  };
  moveTo(0, 0);
  input.MouseDown();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.GetMouseMode() == MOUSE_SELECT_ALL; }));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(-1, -1));
  for (const auto& [row, col] : {std::pair{1, 1}, {3, 2}, {4, 1}}) moveTo(row, col);
  input.MouseUp();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.GetMouseMode() == MOUSE_NOTHING; }));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(-1, -1));
  for (int r = 1; r < 5; ++r) {
    for (int c = 1; c < 3; ++c) EXPECT_TRUE(grid.IsCellSelected(r, c)) << r << "," << c;
  }
}

// A double tap reaches the owner on any cell, a header too; only an ordinary cell's text is
// edited by it.
TEST_F(GridWindowTest, ADoubleTapReachesTheOwnerOnHeadersAndEditsOnlyOrdinaryCells) {
  grid.SetFixedColumnCount(1);
  struct Case {
    int row, col;
    bool edits;
  };
  const Case cases[] = {{0, 1, false}, {0, 0, false}, {3, 0, false}, {2, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
    owner.doubleTaps.clear();
    // The text's left part: inside the text rectangle of every kind of cell.
    tvxtest::RealClick(grid, c.col * 100 + 20, c.row * 24 + 12, true);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return !owner.doubleTaps.empty(); }));
    EXPECT_EQ(owner.doubleTaps, (std::vector<GridCellId>{GridCellId(c.row, c.col)}));
    EXPECT_EQ(OpenEdit() != nullptr, c.edits);
    if (OpenEdit()) {
      Key(WXK_ESCAPE);
      ASSERT_TRUE(tvxtest::PumpUntil([&] { return !OpenEdit(); }));
    }
  }
}

// The font the grid is given, as any window is (WM_SETFONT), sizes its cells; asked for
// its font (WM_GETFONT), the grid answers with its cells' font, which an editor opened by
// typing shows its text in. A one-line text is measured on one line, line feeds and all.
TEST_F(GridWindowTest, TheGridsFontSizesItsCellsAndItsEditorsAndOneLineTextsStayOnOneLine) {
  const std::string line = "abcdefghijklmnopqrstuvwxyz";  // wider than an empty cell
  grid.SetItemText(1, 2, line);
  ASSERT_TRUE(grid.AutoSizeColumn(2));
  const int oneText = grid.GetColumnWidth(2);
  grid.SetItemText(1, 2, line + "\n" + line);
  ASSERT_TRUE(grid.AutoSizeColumn(2));
  EXPECT_GT(grid.GetColumnWidth(2), oneText + oneText / 2);

  const int before = grid.GetDefaultCell(false, false)->GetHeight();
  CFont big;
  ASSERT_TRUE(big.CreatePointFont(240, "Sans"));
  grid.SetFont(&big);
  EXPECT_GT(grid.GetDefaultCell(false, false)->GetHeight(), before);
  EXPECT_GT(grid.GetDefaultCell(true, false)->GetHeight(), before);
  LOGFONT given, answered;
  big.GetLogFont(&given);
  ASSERT_NE(grid.GetFont(), nullptr);
  grid.GetFont()->GetLogFont(&answered);
  EXPECT_EQ(answered.lfHeight, given.lfHeight);

  Tap(1, 1);
  Key('q');
  wxTextCtrl* edit = OpenEdit();
  ASSERT_NE(edit, nullptr);
  const wxSize bigM = grid.GetWxWindow()->GetTextExtent("M");  // the window's own font
  EXPECT_GT(edit->GetTextExtent("M").y, bigM.y);
  Key(WXK_ESCAPE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !OpenEdit(); }));
}

TEST_F(GridWindowTest, TypingOpensAnEditThatCommitsOnEnterAndRestoresOnEscape) {
  Tap(1, 1);
  ASSERT_EQ(grid.GetFocusCell(), GridCellId(1, 1));
  Key('q');  // a typed letter replaces the whole text, and is there once
  wxTextCtrl* edit = OpenEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetValue(), "q");
  EXPECT_EQ(wxWindow::FindFocus(), edit);
  Key('r');
  Key('s');
  EXPECT_EQ(edit->GetValue(), "qrs");
  Key(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !owner.edited.empty() && !OpenEdit(); }));
  EXPECT_EQ(grid.GetItemText(1, 1), "qrs");
  EXPECT_EQ(owner.edited, (std::vector<int>{1}));
  EXPECT_TRUE(grid.GetItemState(1, 1) & GVIS_MODIFIED);
  EXPECT_TRUE(GridHasFocus());
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(1, 1));  // Enter does not move on

  Key(WXK_DOWN);  // the grid has the keys again
  ASSERT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  Key(WXK_F2);  // F2 keeps the text, the caret at its end
  wxTextCtrl* second = OpenEdit();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetValue(), "x");
  Key('z');
  Key(WXK_LEFT);  // moves the caret in an edit started by F2
  Key('y');
  EXPECT_EQ(second->GetValue(), "xyz");
  Key(WXK_DOWN);  // nothing to do in a one-line edit: the edit keeps the keys
  ASSERT_EQ(OpenEdit(), second);
  EXPECT_EQ(wxWindow::FindFocus(), second);
  Key(WXK_ESCAPE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !OpenEdit(); }));
  EXPECT_EQ(grid.GetItemText(2, 1), "x");
  EXPECT_EQ(owner.edited.size(), 1u);
  EXPECT_TRUE(GridHasFocus());
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
}

// An edit started by typing ends on an arrow and the focus moves on; Tab stores the text and
// goes on editing the next cell, Shift+Tab the one before.
TEST_F(GridWindowTest, ArrowsAndTabEndAnEditStartedByTypingAndMoveOn) {
  Tap(3, 1);
  Key('a');
  ASSERT_NE(OpenEdit(), nullptr);
  Key(WXK_UP);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.GetItemText(3, 1) == "a"; }));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return OpenEdit() != nullptr; }));
  EXPECT_EQ(OpenEdit()->GetValue(), "x");  // the next cell's edit
  Key(WXK_ESCAPE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !OpenEdit(); }));

  Key('b');
  Key(WXK_TAB);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.GetItemText(2, 1) == "b"; }));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 2));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return OpenEdit() != nullptr; }));
  Key('c');
  EXPECT_EQ(OpenEdit()->GetValue(), "c");
  ShiftKey(WXK_TAB);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.GetItemText(2, 2) == "c"; }));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return OpenEdit() != nullptr; }));
  EXPECT_EQ(OpenEdit()->GetValue(), "b");
  Key(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !OpenEdit(); }));
  EXPECT_EQ(owner.edited, (std::vector<int>{3, 2, 2}));
  EXPECT_TRUE(GridHasFocus());
}

TEST_F(GridWindowTest, ADropDownListCellTakesTheChosenOption) {
  grid.SetCellType<CGridCellCombo>(1, 2);
  auto* combo = dynamic_cast<CGridCellCombo*>(grid.GetCell(1, 2));
  ASSERT_NE(combo, nullptr);
  combo->SetOptions({"Area", "Line"});
  combo->SetStyle(3);
  grid.SetItemText(1, 2, "Area");
  Tap(1, 2);
  Key(WXK_F2);
  wxOwnerDrawnComboBox* list = nullptr;
  for (wxWindow* child : grid.GetWxWindow()->GetChildren()) {
    if (auto* c = dynamic_cast<wxOwnerDrawnComboBox*>(child); c && c->IsShown()) list = c;
  }
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCount(), 2u);
  EXPECT_EQ(list->GetSelection(), 0);  // the option the cell's text begins
  list->SetSelection(1);
  wxCommandEvent chosen(wxEVT_COMBOBOX, list->GetId());
  chosen.SetEventObject(list);
  chosen.SetInt(1);
  list->ProcessWindowEvent(chosen);
  EXPECT_TRUE(grid.GetCell(1, 2)->IsEditing());  // a choice alone does not end the edit
  grid.EndEditing();
  EXPECT_EQ(grid.GetItemText(1, 2), "Line");
  EXPECT_EQ(owner.edited, (std::vector<int>{1}));
  EXPECT_FALSE(grid.GetCell(1, 2)->IsEditing());
}

TEST_F(GridWindowTest, ASymbolCellOffersTheTwentyFourSymbolsAndKeepsTheChosenOne) {
  grid.SetCellType<CGridCellListCtrlIcon>(2, 2);
  auto* icons = dynamic_cast<CGridCellListCtrlIcon*>(grid.GetCell(2, 2));
  ASSERT_NE(icons, nullptr);
  icons->m_icon = 3;
  Tap(2, 2);
  Key(WXK_F2);
  wxListCtrl* list = nullptr;
  for (wxWindow* child : grid.GetWxWindow()->GetChildren()) {
    if (auto* l = dynamic_cast<wxListCtrl*>(child); l && l->IsShown()) list = l;
  }
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetItemCount(), CGridCellListCtrlIcon::kIconCount);
  list->SetItemState(7, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);  // reported as chosen
  tvxtest::PumpUntil([&] { return !icons->IsEditing(); });
  EXPECT_EQ(icons->m_icon, 7);
  EXPECT_FALSE(icons->IsEditing());
}

// A waypoint's symbol cell shows the program's own picture of its symbol, as the screen shows
// the grid after an ordinary repaint.
TEST_F(GridWindowTest, ASymbolCellShowsTheProgramsPictureOfItsSymbol) {
  grid.SetCellType<CGridCellListCtrlIcon>(2, 2);
  auto* icons = dynamic_cast<CGridCellListCtrlIcon*>(grid.GetCell(2, 2));
  ASSERT_NE(icons, nullptr);
  auto count = [&](COLORREF colour) {
    grid.Invalidate();
    const auto settled = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    tvxtest::PumpUntil([&] { return std::chrono::steady_clock::now() >= settled; });
    return tvxtest::PixelsOnScreen(
        wxRect(grid.GetWxWindow()->ClientToScreen(wxPoint(200, 48)), wxSize(100, 24)), colour);
  };
  constexpr COLORREF kRedSymbol = RGB(0xC0, 0, 0), kBlueSymbol = RGB(0, 0, 0xC0);
  icons->m_icon = 5;  // the sixth symbol: a blue square
  EXPECT_GT(count(kBlueSymbol), 20);
  EXPECT_EQ(count(kRedSymbol), 0);
}

}  // namespace
