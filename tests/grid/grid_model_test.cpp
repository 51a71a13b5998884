// The grid's rules without a window: a fake host answers for the window (client size,
// owner notifications, modifier keys) and a recording canvas measures every character as
// 7 x 13 pixels, so sizes below are worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "widgets/core/grid_core.h"
#include "widgets/core/grid_edit_rules.h"

namespace {

struct Drawn {
  std::string what;
  RECT rect;
  COLORREF colour;
  int pattern;
  bool fill;
};

class RecordingCanvas : public GridCanvas {
 public:
  COLORREF SysColour(GridSysColour which) override {
    switch (which) {
      case GridSysColour::Highlight: return 0x800000;
      case GridSysColour::HighlightText: return 0xFFFFFF;
      default: return 0x123456;
    }
  }
  void FillRect(const RECT& r, COLORREF c) override { drawn.push_back({"fill", r, c, 0, false}); }
  void FrameRect(const RECT& r, COLORREF c) override { drawn.push_back({"frame", r, c, 0, false}); }
  void Line(int, int, int, int, COLORREF) override {}
  void SetFont(const GridFont& f) override { font = f; }
  void DrawText(const std::string& t, const RECT& r, UINT format, COLORREF c) override {
    drawn.push_back({"text:" + t, r, c, static_cast<int>(format), false});
  }
  // On one line: a line feed is a character like any other.
  SIZE TextExtent(const std::string& text) override {
    return SIZE{7 * static_cast<LONG>(text.size()), 13};
  }
  void DrawCheckBox(const RECT& box, bool checked) override {
    drawn.push_back({checked ? "check:on" : "check:off", box, 0, 0, false});
  }
  void PatternRect(const RECT& r, COLORREF c, int pattern, bool fill) override {
    drawn.push_back({"pattern", r, c, pattern, fill});
  }
  void DrawIcon(int, int, int) override {}
  void Triangle(const POINT[3], COLORREF) override {}
  std::vector<Drawn> drawn;
  GridFont font;
};

struct FakeEditor : GridInPlaceControl {
  void EndEdit() override { ended = true; }
  void PassChar(UINT) override {}
  void Abandon() override { abandoned = true; }
  bool ended = false;
  bool abandoned = false;
};

class FakeHost : public GridHost {
 public:
  bool HasWindow() const override { return true; }
  SIZE ClientSize() const override { return client; }
  void InvalidateRect(const RECT*) override {}
  LRESULT NotifyOwner(GridNmHdr* hdr) override {
    auto* n = reinterpret_cast<GridNotify*>(hdr);
    notes.push_back({static_cast<int>(hdr->code), n->iRow, n->iColumn});
    auto it = answers.find(static_cast<int>(hdr->code));
    return it == answers.end() ? 0 : it->second;
  }
  void CommandOwner() override { ++commands; }
  HWND Handle() const override { return reinterpret_cast<HWND>(1); }
  UINT_PTR ControlId() const override { return 170; }
  bool KeyHeld(UINT key) const override { return held.count(key) > 0; }
  void ShowScrollBar(int, bool) override {}
  void SetScrollRange(int, int, int, int) override {}
  GridMetrics Metrics() const override { return GridMetrics{}; }
  void SetCursor(GridCursor) override {}
  void SetCapture(bool) override {}
  void SetTimer(UINT_PTR, UINT) override {}
  void KillTimer(UINT_PTR) override {}
  void TakeFocus() override {}
  void ShowDragLine(bool, int) override {}
  GridCanvas* MeasureCanvas() override { return &canvas; }
  GridFont WindowFont() const override { return {}; }
  GridInPlaceControl* OpenTextEditor(int row, int col, const RECT&, UINT, const std::string& text,
                                     UINT character) override {
    edits.push_back({row, col, static_cast<int>(character)});
    return &editor;
  }
  GridInPlaceControl* OpenListEditor(const GridListEditSpec&) override { return &editor; }
  GridInPlaceControl* OpenIconEditor(CGridCellBase*, int, int, const RECT&) override { return &editor; }
  bool RunAreaDesign(int, COLORREF&, int&) override { return false; }

  int Count(int code) const {
    int n = 0;
    for (const auto& note : notes) n += note[0] == code ? 1 : 0;
    return n;
  }

  SIZE client{400, 300};
  std::vector<std::array<int, 3>> notes;  // code, row, column
  std::map<int, LRESULT> answers;
  std::set<UINT> held;
  std::vector<std::array<int, 3>> edits;  // row, column, start character
  int commands = 0;
  RecordingCanvas canvas;
  FakeEditor editor;
};

// A grid of 1 header row and `rows` data rows by 3 columns of 50 x 20 pixels; cell (r, c)
// reads "r,c" except column 0 which holds the given names.
class GridModelTest : public ::testing::Test {
 protected:
  void Build(int rows, std::vector<std::string> names = {}) {
    grid.SetHost(&host);
    grid.SetColumnCount(3);
    grid.SetRowCount(rows + 1);
    grid.SetFixedRowCount(1);
    for (int r = 0; r <= rows; ++r) {
      grid.SetRowHeight(r, 20);
      for (int c = 0; c < 3; ++c) {
        grid.SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
      }
      if (r >= 1 && r - 1 < static_cast<int>(names.size())) grid.SetItemText(r, 0, names[r - 1]);
    }
    for (int c = 0; c < 3; ++c) grid.SetColumnWidth(c, 50);
    grid.ResetScrollBars();
  }
  std::vector<std::string> Column(int col) {
    std::vector<std::string> out;
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r) out.push_back(grid.GetItemText(r, col));
    return out;
  }
  FakeHost host;
  GridCore grid;
};

TEST_F(GridModelTest, CountsInsertionAndFocusFollowTheStructure) {
  // A fixed count above the row count grows the grid first; fixed cells carry 0x30 / 0x50.
  GridCore g(0, 2);
  EXPECT_TRUE(g.SetFixedRowCount(3));
  EXPECT_EQ(g.GetRowCount(), 3);
  g.SetFixedColumnCount(1);
  EXPECT_EQ(g.GetItemState(2, 1) & 0x70, 0x30u);
  EXPECT_EQ(g.GetItemState(2, 0) & 0x70, 0x70u);
  g.SetFixedRowCount(1);
  EXPECT_EQ(g.GetItemState(2, 1) & 0x70, 0x00u);
  EXPECT_EQ(g.GetItemState(2, 0) & 0x70, 0x50u);

  // A grid without columns gets one on the first insertion; index rules.
  GridCore empty;
  EXPECT_EQ(empty.InsertRow("a"), 0);
  EXPECT_EQ(empty.GetColumnCount(), 1);
  empty.SetFixedRowCount(1);
  empty.InsertRow("b");
  EXPECT_EQ(empty.InsertRow("x", 0), -1);  // inside the fixed rows
  EXPECT_EQ(empty.InsertRow("x", 2), -1);  // equal to the row count
  EXPECT_EQ(empty.InsertRow("c", 1), 1);
  EXPECT_EQ(empty.GetItemText(2, 0), "b");

  Build(4);
  grid.SetFocusCell(4, 1);
  grid.SetSelectedRange(1, 0, 2, 2);
  EXPECT_EQ(grid.GetSelectedCount(), 6);
  grid.InsertRow("new", 2);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_FALSE(grid.IsValid(grid.GetFocusCell()));
  grid.SetFocusCell(5, 1);
  grid.SetRowCount(5);  // the focus row goes
  EXPECT_EQ(grid.GetFocusCell(), GridCellId());
  EXPECT_EQ(grid.GetSortColumn(), -1);
}

TEST_F(GridModelTest, GeometryFollowsScrollingInWholeCells) {
  Build(30);
  host.client = SIZE{120, 100};  // 1 header + 4 data rows visible
  grid.ResetScrollBars();
  RECT rect;
  ASSERT_TRUE(grid.GetCellRect(2, 1, &rect));
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right, 99);
  EXPECT_EQ(rect.bottom, 59);
  EXPECT_EQ(grid.GetCellFromPt(POINT{105, 45}), GridCellId(2, 2));
  EXPECT_EQ(grid.GetCellFromPt(POINT{155, 45}), GridCellId(2, -1));

  grid.OnVScroll(GRID_SB_THUMBTRACK, 25);  // a scroll position inside row 2 starts at row 3
  EXPECT_EQ(grid.GetTopLeftNonFixedCell().row, 3);
  EXPECT_FALSE(grid.GetCellRect(2, 0, &rect));
  EXPECT_EQ(grid.GetCellFromPt(POINT{10, 5}), GridCellId(0, 0));   // the header stays
  EXPECT_EQ(grid.GetCellFromPt(POINT{10, 25}), GridCellId(3, 0));
  GridCellRange visible = grid.GetVisibleNonFixedCellRange();
  EXPECT_EQ(visible.minRow, 3);
  EXPECT_EQ(visible.maxRow, 6);  // 20 + 4 x 20 reaches the bottom at row 6

  grid.EnsureVisible(20, 0);
  EXPECT_TRUE(grid.IsCellVisible(20, 0));
  grid.GetCellRect(20, 0, &rect);
  EXPECT_LE(rect.bottom, 100);
}

TEST_F(GridModelTest, StylusSelectionAddsWithCtrlAndReplacesWithout) {
  Build(5);
  auto tap = [&](int row, int col, UINT flags) {
    POINT p{static_cast<LONG>(col * 50 + 25), static_cast<LONG>(row * 20 + 10)};
    grid.OnLButtonDown(flags, p);
    grid.OnLButtonUp(flags, p);
  };
  tap(1, 1, 0);
  EXPECT_TRUE(grid.IsCellSelected(1, 1));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(1, 1));
  tap(3, 2, GRID_MK_CONTROL);
  EXPECT_TRUE(grid.IsCellSelected(1, 1));
  EXPECT_TRUE(grid.IsCellSelected(3, 2));
  tap(3, 2, GRID_MK_CONTROL);  // Ctrl on a selected cell deselects it
  EXPECT_FALSE(grid.IsCellSelected(3, 2));
  EXPECT_TRUE(grid.IsCellSelected(1, 1));
  tap(4, 0, 0);
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_GE(host.Count(GVN_CLICK), 3);
  EXPECT_GT(host.commands, 0);

  // List mode selects whole rows; bounds inside the fixed rows start at the first data row.
  grid.SetListMode(TRUE);
  tap(2, 1, 0);
  EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{2}));
  EXPECT_EQ(grid.GetSelectedCount(), 3);
  grid.SetSelectedRange(0, 0, 1, 2);
  EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{1}));
  EXPECT_FALSE(grid.IsCellSelected(0, 0));
}

TEST_F(GridModelTest, SortingMovesCellObjectsAndKeepsEqualRowsInPlace) {
  Build(6, {"pear", "apple", "fig", "apple", "Zed", "kiwi"});
  CGridCellBase* firstApple = grid.GetCell(2, 0);
  CGridCellBase* secondApple = grid.GetCell(4, 0);
  grid.SetItemState(3, 1, grid.GetItemState(3, 1) | GVIS_READONLY);  // travels with "fig"
  EXPECT_TRUE(grid.SortItems(0, TRUE));
  // Code-unit order: upper case before lower case.
  EXPECT_EQ(Column(0), (std::vector<std::string>{"Zed", "apple", "apple", "fig", "kiwi", "pear"}));
  EXPECT_EQ(grid.GetCell(2, 0), firstApple);
  EXPECT_EQ(grid.GetCell(3, 0), secondApple);
  EXPECT_EQ(grid.GetItemText(4, 1), "3,1");
  EXPECT_TRUE(grid.GetItemState(4, 1) & GVIS_READONLY);

  // Header taps sort; a second tap on the same column flips the order.
  grid.SetHeaderSort(TRUE);
  grid.SetListMode(TRUE);
  POINT header{125, 5};
  grid.OnLButtonDown(0, header);
  grid.OnLButtonUp(0, header);
  EXPECT_EQ(grid.GetSortColumn(), 2);
  EXPECT_TRUE(grid.GetSortAscending());
  grid.OnLButtonDown(0, header);
  grid.OnLButtonUp(0, header);
  EXPECT_FALSE(grid.GetSortAscending());
  EXPECT_EQ(Column(2).front(), "6,2");

  // One data row: FALSE, but the bookkeeping is done.
  GridModelTest::Build(1);
  grid.SetSelectedRange(1, 0, 1, 2);
  EXPECT_FALSE(grid.SortItems(1, TRUE));
  EXPECT_EQ(grid.GetSortColumn(), 1);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridModelTest, KeysMoveTheFocusOverVisibleCellsOnly) {
  Build(4);
  grid.SetRowHeight(3, 0);  // hidden
  grid.SetFocusCell(2, 2);
  EXPECT_FALSE(grid.OnKeyDown(gridkey::kDown));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 2));  // row 3 is skipped
  EXPECT_TRUE(grid.IsCellSelected(4, 2));
  EXPECT_FALSE(grid.IsCellSelected(2, 2));
  EXPECT_EQ(host.Count(GVN_ITEMCHANGING), 1);
  grid.OnKeyDown(gridkey::kDown);  // last row: stays
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 2));
  EXPECT_TRUE(grid.OnKeyDown(gridkey::kTab));  // last cell: Tab goes on to the dialog
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 2));

  grid.SetFocusCell(2, 2);
  grid.OnKeyDown(gridkey::kTab);  // wraps to the next visible row's first column
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 0));
  host.held.insert(gridkey::kShift);
  grid.OnKeyDown(gridkey::kTab);  // and back, over the hidden row
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 2));
  grid.SetFocusCell(1, 0);
  EXPECT_TRUE(grid.OnKeyDown(gridkey::kTab));
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(1, 0));
  host.held.clear();

  // Page down at the bottom goes to the last row; Shift extends from the anchor.
  grid.SetFocusCell(4, 1);
  grid.OnKeyDown(gridkey::kNext);
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 1));
  grid.SetFocusCell(1, 1);
  grid.OnKeyDown(gridkey::kNext);
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(4, 1));
  host.held.insert(gridkey::kShift);
  grid.OnKeyDown(gridkey::kLeftArrow);
  EXPECT_EQ(grid.GetSelectedCellRange().minCol, 0);
  EXPECT_EQ(grid.GetSelectedCellRange().maxCol, 1);
}

TEST_F(GridModelTest, EditsStartByKeyOrStylusAndEndThroughTheOwner) {
  Build(3);
  grid.SetFocusCell(1, 1);
  EXPECT_TRUE(grid.OnChar('q'));
  ASSERT_EQ(host.edits.size(), 1u);
  EXPECT_EQ(host.edits[0][2], 'q');
  grid.OnEndEditCell(1, 1, "1,1");  // the same text: nothing reported, nothing marked
  EXPECT_EQ(host.Count(GVN_ENDLABELEDIT), 0);

  // An owner's refusal puts the old text back; an acceptance keeps the new one.
  host.answers[GVN_ENDLABELEDIT] = -1;
  grid.OnEndEditCell(1, 1, "no");
  EXPECT_EQ(grid.GetItemText(1, 1), "1,1");
  host.answers.clear();
  GridDispInfo info;
  info.item.row = 1;
  info.item.col = 1;
  info.item.strText = "yes";
  info.item.lParam = gridkey::kDown;  // ended by an arrow: the focus moves on and edits again
  grid.OnEndInPlaceEdit(&info);
  EXPECT_EQ(grid.GetItemText(1, 1), "yes");
  EXPECT_TRUE(grid.GetItemState(1, 1) & GVIS_MODIFIED);
  EXPECT_EQ(grid.GetFocusCell(), GridCellId(2, 1));
  ASSERT_EQ(host.edits.size(), 2u);
  EXPECT_EQ(host.edits[1][0], 2);

  // A read-only cell takes no typing; the owner may refuse the start.
  grid.SetItemState(2, 1, grid.GetItemState(2, 1) | GVIS_READONLY);
  grid.OnChar('x');
  EXPECT_EQ(host.edits.size(), 2u);
  host.answers[GVN_BEGINLABELEDIT] = -1;
  grid.SetFocusCell(3, 1);
  grid.OnKeyDown(gridkey::kF2);
  EXPECT_EQ(host.edits.size(), 2u);
  host.answers.clear();

  // A tap on the focus cell's text, then its release, edits with the stylus start.
  POINT p{75, 70};
  grid.OnLButtonDown(0, p);
  EXPECT_EQ(grid.GetMouseMode(), MOUSE_PREPARE_EDIT);
  grid.OnLButtonUp(0, p);
  ASSERT_EQ(host.edits.size(), 3u);
  EXPECT_EQ(host.edits[2][2], static_cast<int>(gridkey::kLButton));
}

TEST_F(GridModelTest, ACellThatGoesWhileItsEditorIsOpenClosesTheEditorUnreported) {
  Build(3);
  grid.SetFocusCell(2, 1);
  grid.OnChar('q');
  ASSERT_TRUE(grid.GetCell(2, 1)->IsEditing());
  grid.SetRowCount(2);  // the edited row goes
  EXPECT_TRUE(host.editor.abandoned);
  EXPECT_FALSE(host.editor.ended);
  EXPECT_EQ(host.Count(GVN_ENDLABELEDIT), 0);
}

TEST_F(GridModelTest, SizingToContentsAndDividerDrags) {
  Build(3);
  grid.SetItemText(2, 1, "a much longer text");  // 18 characters
  // margin 3 each side, +1 for the cell: 18 * 7 + 6 + 1
  EXPECT_TRUE(grid.AutoSizeColumn(1));
  EXPECT_EQ(grid.GetColumnWidth(1), 133);
  grid.SetColumnWidth(2, 0);
  EXPECT_FALSE(grid.AutoSizeColumn(2));
  EXPECT_EQ(grid.GetColumnWidth(2), 0);

  // Widths 50, 133, 0 in 100 pixels: D = -83 over two columns: -41 each, the remainder 1
  // taken from the first column.
  host.client = SIZE{100, 300};
  grid.ExpandColumnsToFit();
  EXPECT_EQ(grid.GetColumnWidth(0), 8);
  EXPECT_EQ(grid.GetColumnWidth(1), 92);
  EXPECT_EQ(grid.GetColumnWidth(2), 0);

  // Dragging the divider right of column 0 past its start gives width 0 (1 without hiding).
  grid.SetColumnWidth(0, 50);
  grid.OnLButtonDown(0, POINT{49, 5});
  EXPECT_EQ(grid.GetMouseMode(), MOUSE_SIZING_COL);
  grid.OnLButtonUp(0, POINT{-10, 5});
  EXPECT_EQ(grid.GetColumnWidth(0), 0);
  grid.SetColumnWidth(0, 50);
  grid.EnableColumnHide(FALSE);
  grid.OnLButtonDown(0, POINT{49, 5});
  grid.OnLButtonUp(0, POINT{-10, 5});
  EXPECT_EQ(grid.GetColumnWidth(0), 1);
}

// A text is measured on one line unless its format breaks words and is not single-line;
// then its lines stack, as wide as the widest. Margins of 3 pixels on each side.
TEST_F(GridModelTest, TextsAreMeasuredOnOneLineUnlessTheFormatBreaksThem) {
  Build(1);
  struct Case {
    UINT format;
    const char* text;
    SIZE size;
  };
  const UINT wordBreak = gridfmt::kWordBreak | gridfmt::kNoPrefix;
  const Case cases[] = {
      {gridfmt::kDefault, "ab\ncd", {5 * 7 + 6, 13 + 6}},
      {gridfmt::kNoPrefix, "a\nbcd", {5 * 7 + 6, 13 + 6}},
      {wordBreak | gridfmt::kSingleLine, "ab\ncd", {5 * 7 + 6, 13 + 6}},
      {wordBreak, "ab\ncde", {3 * 7 + 6, 2 * 13 + 6}},
      {wordBreak, "abcd\n\nx", {4 * 7 + 6, 3 * 13 + 6}},
      {wordBreak, "abc", {3 * 7 + 6, 13 + 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    grid.SetItemFormat(1, 1, c.format);
    const SIZE size = grid.GetTextExtent(1, 1, c.text);
    EXPECT_EQ(size.cx, c.size.cx);
    EXPECT_EQ(size.cy, c.size.cy);
  }
}

TEST_F(GridModelTest, CellsDrawWithTheirDefaultsAndCheckBoxesToggleInTheBox) {
  Build(2);
  RecordingCanvas canvas;
  CGridCellBase* cell = grid.GetCell(1, 1);
  cell->Draw(&canvas, 1, 1, RECT{50, 20, 99, 39}, TRUE);
  ASSERT_EQ(canvas.drawn.size(), 2u);
  EXPECT_EQ(canvas.drawn[0].colour, grid.GetDefaultCell(false, false)->GetBackClr());
  EXPECT_EQ(canvas.drawn[1].what, "text:1,1");
  EXPECT_EQ(canvas.drawn[1].pattern, static_cast<int>(gridfmt::kDefault));
  EXPECT_EQ(canvas.drawn[1].rect.left, 53);  // the default margin
  canvas.drawn.clear();
  grid.SetItemState(1, 1, cell->GetState() | GVIS_SELECTED);
  cell->Draw(&canvas, 1, 1, RECT{50, 20, 99, 39}, FALSE);
  EXPECT_EQ(canvas.drawn[0].colour, 0x800000u);  // highlight, over the grid lines
  EXPECT_EQ(canvas.drawn[0].rect.right, 100);
  EXPECT_EQ(canvas.drawn[1].colour, 0xFFFFFFu);

  ASSERT_TRUE(grid.SetCellType<CGridCellCheck>(2, 2));
  auto* check = dynamic_cast<CGridCellCheck*>(grid.GetCell(2, 2));
  EXPECT_EQ(check->GetText(), "2,2");  // properties copied into the new kind
  check->Draw(&canvas, 2, 2, RECT{100, 40, 149, 59}, TRUE);
  RECT box = check->GetCheckPlacement();  // 16 x 16 at the margin, centred in 19 pixels
  EXPECT_EQ(box.left, 103);
  EXPECT_EQ(box.top, 41);
  check->OnClick(POINT{40, 10});
  EXPECT_FALSE(check->GetCheck());
  check->OnClick(POINT{5, 10});
  EXPECT_TRUE(check->GetCheck());

  // A colour cell fills areas and parts, and only outlines lines.
  ASSERT_TRUE(grid.SetCellType<CGridCellColor>(1, 2));
  auto* colour = dynamic_cast<CGridCellColor*>(grid.GetCell(1, 2));
  colour->m_color = 0x0000FF;
  colour->m_pattern = 3;
  for (int kind : {5, 52, 3}) {
    canvas.drawn.clear();
    colour->m_tipo = kind;
    colour->Draw(&canvas, 1, 2, RECT{100, 20, 149, 39}, TRUE);
    EXPECT_EQ(canvas.drawn.back().what, "pattern");
    EXPECT_EQ(canvas.drawn.back().fill, kind != 3) << kind;
    EXPECT_EQ(canvas.drawn.back().rect.left, 105);
  }
}

}  // namespace

namespace {

TEST(GridEditRules, StartCharactersAndKeysDecideHowAnEditorBehaves) {
  struct Start {
    UINT ch;
    bool selectAll, deliver;
  };
  // Stylus or F2 (VK_LBUTTON) and Enter keep the text; navigation keys select it; Backspace
  // deletes the last character; a letter or a space replaces the text.
  for (Start s : {Start{0x01, false, false}, Start{0x0D, false, false}, Start{0x09, true, false},
                  Start{0x28, true, false}, Start{0x08, false, true}, Start{'a', true, true},
                  Start{' ', true, true}}) {
    GridEditStart start = GridEditStartFor(s.ch);
    EXPECT_EQ(start.selectAll, s.selectAll) << s.ch;
    EXPECT_EQ(start.deliver, s.deliver) << s.ch;
  }
  EXPECT_TRUE(GridEditEndsOnKey(gridkey::kDown, GridEditStartedByTyping('a'), false));
  EXPECT_FALSE(GridEditEndsOnKey(gridkey::kDown, GridEditStartedByTyping(gridkey::kLButton), false));
  EXPECT_TRUE(GridEditEndsOnKey(gridkey::kLeftArrow, false, true));
  EXPECT_FALSE(GridEditEndsOnKey(gridkey::kHome, true, true));  // Home and End stay inside
  EXPECT_EQ(GridEditCharAction(gridkey::kEscape), GridEditChar::Cancel);
  EXPECT_EQ(GridEditCharAction(gridkey::kTab), GridEditChar::End);
  EXPECT_EQ(GridEditCharAction('q'), GridEditChar::Type);
}

}  // namespace
