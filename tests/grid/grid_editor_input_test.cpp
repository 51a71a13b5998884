// The grid's in-place editors driven by real X input (taps and keys through the XTest
// extension) with the event loop running between the steps, as a user meets them: the
// symbol list, the drop-down lists of combo cells, the end of an edit by a tap elsewhere,
// and a grid destroyed or refitted while it edits. Run under Xvfb, with and without a
// window manager.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/combo.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/vlbox.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/modules.h"
#include "platform/resource_blob.h"
#include "tests/support/wx_test_environment.h"
#include "widgets/grid_ctrl.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

constexpr int kRowHeight = 24;
constexpr int kColWidth = 100;

// The dialog that hosts the grid: it keeps the rows that were reported as edited.
class Owner : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY) {
      auto* note = reinterpret_cast<GridNotify*>(lParam);
      if (static_cast<int>(note->hdr.code) == GVN_ENDLABELEDIT) {
        edited.push_back(note->iRow);
        if (onEnd) return onEnd(note->iRow, note->iColumn);
      }
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  std::vector<int> edited;
  std::function<LRESULT(int row, int col)> onEnd;
};

// The grid, counting the settings-change messages it is sent.
class Grid : public CGridCtrl {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETTINGCHANGE) ++settingChanges;
    return CGridCtrl::WindowProc(message, wParam, lParam);
  }
  int settingChanges = 0;
};

void Pause(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

class GridEditorInput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    static const bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());  // the 24 symbols
      return true;
    }();
    (void)resources;
    dialog = new wxDialog(nullptr, wxID_ANY, "grid", wxPoint(20, 20), wxSize(440, 340));
    owner.Attach(dialog);
    grid = new Grid;
    ASSERT_TRUE(grid->Create(RECT{0, 0, 400, 300}, &owner, 170));
    grid->SetColumnCount(4);
    grid->SetRowCount(6);
    grid->SetFixedRowCount(1);
    for (int r = 0; r < 6; ++r) {
      grid->SetRowHeight(r, kRowHeight);
      grid->SetItemText(r, 0, r == 0 ? "Name" : "row" + std::to_string(r));
    }
    for (int c = 0; c < 4; ++c) grid->SetColumnWidth(c, kColWidth);
    // A list-only combo (the object's kind), a drop-down with an edit field (N/S) and a
    // symbol cell.
    grid->SetCellType<CGridCellCombo>(1, 1);
    kind = dynamic_cast<CGridCellCombo*>(grid->GetCell(1, 1));
    kind->SetOptions({"Area", "Line", "Circle", "Part"});
    kind->SetStyle(3);
    grid->SetItemText(1, 1, "Area");
    grid->SetCellType<CGridCellCombo>(2, 1);
    hemisphere = dynamic_cast<CGridCellCombo*>(grid->GetCell(2, 1));
    hemisphere->SetOptions({"N", "S"});
    hemisphere->SetStyle(2);
    grid->SetItemText(2, 1, "N");
    grid->SetCellType<CGridCellListCtrlIcon>(3, 2);
    symbol = dynamic_cast<CGridCellListCtrlIcon*>(grid->GetCell(3, 2));
    symbol->m_icon = 3;
    dialog->Show();
    dialog->Raise();
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return dialog->IsShownOnScreen(); }));
    Pause(300);  // mapped, placed and (with a window manager) activated
    grid->GetWxWindow()->SetFocus();
    Pause(100);
  }
  void TearDown() override {
    if (!dialog) return;
    delete grid;
    dialog->Destroy();
    Pause(50);
  }

  wxPoint ScreenOf(int row, int col, int dx = kColWidth / 2, int dy = kRowHeight / 2) {
    return grid->GetWxWindow()->ClientToScreen(wxPoint(col * kColWidth + dx, row * kRowHeight + dy));
  }
  void Click(const wxPoint& screen) {
    wxUIActionSimulator input;
    input.MouseMove(screen);
    Pause(40);
    input.MouseClick();
    Pause(120);
  }
  void Key(int key, int modifiers = wxMOD_NONE) {
    wxUIActionSimulator input;
    input.Char(key, modifiers);
    Pause(120);
  }
  // Starts editing a cell as a user does: a tap makes it the focus cell, a second tap on
  // its text opens the editor.
  void TapToEdit(int row, int col) {
    Click(ScreenOf(row, col));
    Click(ScreenOf(row, col));
  }
  template <class T>
  T* Shown() {
    for (wxWindow* child : grid->GetWxWindow()->GetChildren()) {
      if (auto* w = dynamic_cast<T*>(child); w && w->IsShown()) return w;
    }
    return nullptr;
  }
  // The dropped list of the open combo editor, or null while it is not dropped.
  wxVListBox* DroppedList() {
    auto* combo = Shown<wxComboCtrl>();
    if (!combo || !combo->IsPopupShown() || !combo->GetPopupControl()) return nullptr;
    return dynamic_cast<wxVListBox*>(combo->GetPopupControl()->GetControl());
  }
  wxPoint ScreenOfItem(wxVListBox* list, int item) {
    wxRect rect = list->GetItemRect(item);
    return list->ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 3, rect.height / 2));
  }

  wxDialog* dialog = nullptr;
  Owner owner;
  Grid* grid = nullptr;
  CGridCellCombo* kind = nullptr;
  CGridCellCombo* hemisphere = nullptr;
  CGridCellListCtrlIcon* symbol = nullptr;
};

TEST_F(GridEditorInput, TheSymbolListStaysOpenUntilASymbolIsTapped) {
  TapToEdit(3, 2);
  auto* list = Shown<wxListCtrl>();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetItemCount(), CGridCellListCtrlIcon::kIconCount);
  // Room for four rows of symbols below the cell.
  EXPECT_GE(list->GetSize().y, 5 * kRowHeight);
  Pause(400);
  ASSERT_EQ(Shown<wxListCtrl>(), list);
  EXPECT_TRUE(symbol->IsEditing());

  wxRect item;
  ASSERT_TRUE(list->GetItemRect(7, item));
  Click(list->ClientToScreen(item.GetPosition() + wxPoint(item.width / 2, item.height / 2)));
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !symbol->IsEditing(); }));
  EXPECT_EQ(symbol->m_icon, 7);
  EXPECT_EQ(Shown<wxListCtrl>(), nullptr);
}

TEST_F(GridEditorInput, TheSymbolListTakesTheNextSymbolFromTheKeysAndEscapeKeepsTheOld) {
  Click(ScreenOf(3, 2));
  Key(WXK_F2);
  ASSERT_NE(Shown<wxListCtrl>(), nullptr);
  Key(WXK_ESCAPE);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !symbol->IsEditing(); }));
  EXPECT_EQ(symbol->m_icon, 3);
  EXPECT_EQ(Shown<wxListCtrl>(), nullptr);

  Key(WXK_F2);
  ASSERT_NE(Shown<wxListCtrl>(), nullptr);
  Key(WXK_DOWN);  // the symbol after the current one (the list runs down its columns)
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !symbol->IsEditing(); }));
  EXPECT_EQ(symbol->m_icon, 4);
  // The grid has the keys again: the focus moves on.
  Key(WXK_LEFT);
  EXPECT_EQ(grid->GetFocusCell(), GridCellId(3, 1));
}

TEST_F(GridEditorInput, AComboDropsItsListAtOnceAndTakesAValueTappedInIt) {
  TapToEdit(2, 1);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  wxVListBox* list = DroppedList();
  EXPECT_EQ(list->GetItemCount(), 2u);
  Pause(300);  // the drop itself does not end the edit
  ASSERT_TRUE(hemisphere->IsEditing());
  Click(ScreenOfItem(list, 1));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() == nullptr; }));
  EXPECT_TRUE(hemisphere->IsEditing());  // the field keeps the choice until Enter
  Key(WXK_RETURN);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !hemisphere->IsEditing(); }));
  EXPECT_EQ(grid->GetItemText(2, 1), "S");
  EXPECT_EQ(owner.edited, (std::vector<int>{2}));
}

TEST_F(GridEditorInput, AComboValueIsChosenWithTheArrowKeysAndEnter) {
  Click(ScreenOf(1, 1));
  Key(WXK_F2);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  Key(WXK_DOWN);
  Key(WXK_DOWN);
  Key(WXK_RETURN);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !kind->IsEditing(); }));
  EXPECT_EQ(grid->GetItemText(1, 1), "Circle");
  EXPECT_EQ(Shown<wxComboCtrl>(), nullptr);

  // Escape in the dropped list gives the old value back.
  Key(WXK_F2);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  Key(WXK_DOWN);
  Key(WXK_ESCAPE);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !kind->IsEditing(); }));
  EXPECT_EQ(grid->GetItemText(1, 1), "Circle");
}

// A combo with an edit field takes what is typed into it, list dropped or not, and a choice
// made in the list; whichever the user did last is the value.
struct ComboKeysCase {
  const char* name;
  bool byF2;                // the edit opens by F2, else by the first typed key
  std::vector<int> keys;    // then these, then Enter
  const char* expected;
};

TEST_F(GridEditorInput, AComboWithAnEditFieldKeepsTypedTextAndListChoices) {
  const ComboKeysCase cases[] = {
      {"a letter typed on the cell", false, {'n'}, "n"},
      {"F2, Backspace and a letter", true, {WXK_BACK, 'n'}, "n"},
      {"F2 and a letter added", true, {'x'}, "Sx"},
      {"typed, then chosen with an arrow", false, {'x', WXK_UP}, "N"},
      {"chosen with an arrow, then typed", true, {WXK_UP, WXK_BACK, 'q'}, "q"},
      {"F2 and Enter alone", true, {}, "S"},
  };
  for (const ComboKeysCase& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetItemText(2, 1, "S");
    Click(ScreenOf(2, 1));
    ASSERT_EQ(grid->GetFocusCell(), GridCellId(2, 1));
    std::vector<int> keys = c.keys;
    if (c.byF2) {
      Key(WXK_F2);
    } else {
      Key(keys.front());
      keys.erase(keys.begin());
    }
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
    for (int key : keys) Key(key);
    Key(WXK_RETURN);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return !hemisphere->IsEditing(); }));
    EXPECT_EQ(grid->GetItemText(2, 1), c.expected);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Shown<wxComboCtrl>() == nullptr; }));
  }

  // Typed, then an option tapped in the list: the option.
  Click(ScreenOf(2, 1));
  Key('x');
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  Click(ScreenOfItem(DroppedList(), 0));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() == nullptr; }));
  Key(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !hemisphere->IsEditing(); }));
  EXPECT_EQ(grid->GetItemText(2, 1), "N");
}

TEST_F(GridEditorInput, TheDroppedListIsFourRowsHighAndAsWideAsItsWidestOption) {
  kind->SetOptions({"Area", "A rather long name of a kind of feature that does not fit"});
  Click(ScreenOf(1, 1));
  Key(WXK_F2);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  wxWindow* popup = DroppedList()->GetParent();
  int field = Shown<wxComboCtrl>()->GetSize().x;
  EXPECT_EQ(field, kColWidth);
  EXPECT_LE(popup->GetSize().x, std::max(field, 200) + 2);  // at most 200 pixels
  EXPECT_GT(popup->GetSize().x, field);
  EXPECT_LE(popup->GetSize().y,
            4 * kRowHeight + wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y) + 4);
}

TEST_F(GridEditorInput, AListOnlyComboKeepsEditingAfterAChoiceAndEndsWhenATapGoesElsewhere) {
  TapToEdit(1, 1);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() != nullptr; }));
  Click(ScreenOfItem(DroppedList(), 1));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedList() == nullptr; }));
  Pause(200);
  EXPECT_TRUE(kind->IsEditing());
  EXPECT_EQ(grid->GetItemText(1, 1), "Area");  // not stored before the edit ends

  Click(ScreenOf(4, 3));  // another cell takes the focus
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return !kind->IsEditing(); }));
  EXPECT_EQ(grid->GetItemText(1, 1), "Line");
  EXPECT_EQ(Shown<wxComboCtrl>(), nullptr);
  EXPECT_EQ(grid->GetFocusCell(), GridCellId(4, 3));
}

TEST_F(GridEditorInput, AnOwnerThatRebuildsTheGridWhileRefusingAnEditLosesNothing) {
  owner.onEnd = [&](int, int) {
    grid->SetRowCount(1);  // every edited cell goes
    grid->SetRowCount(6);
    return LRESULT{-1};
  };
  Click(ScreenOf(4, 3));
  Key('q');
  ASSERT_NE(Shown<wxTextCtrl>(), nullptr);
  Key(WXK_RETURN);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return Shown<wxTextCtrl>() == nullptr; }));
  EXPECT_EQ(owner.edited, (std::vector<int>{4}));
  EXPECT_EQ(grid->GetItemText(4, 3), "");  // the new cell, untouched
  EXPECT_FALSE(grid->GetCell(4, 3)->IsEditing());
}

TEST_F(GridEditorInput, AGridDestroyedWhileItEditsClosesTheEditorFirst) {
  Click(ScreenOf(4, 3));
  Key('z');
  ASSERT_NE(Shown<wxTextCtrl>(), nullptr);
  wxWeakRef<wxWindow> editor = Shown<wxTextCtrl>();
  delete grid;
  grid = nullptr;
  Pause(50);
  EXPECT_FALSE(editor);
  EXPECT_TRUE(owner.edited.empty());  // nothing reaches an owner that is going away

  // Typing on goes to the dialog, not to a freed editor.
  Key('x');
  Pause(50);
}

TEST_F(GridEditorInput, FittingTheColumnsToANarrowGridKeepsEveryColumnVisible) {
  grid->SetColumnCount(8);
  // Wider than the window: the equal share taken from each column is more than the
  // narrow ones have.
  for (int c = 0; c < 8; ++c) grid->SetColumnWidth(c, c == 0 ? 500 : 10);
  grid->ExpandColumnsToFit();
  int total = 0;
  for (int c = 0; c < 8; ++c) {
    EXPECT_GT(grid->GetColumnWidth(c), 0) << c;
    total += grid->GetColumnWidth(c);
  }
  RECT client;
  grid->GetClientRect(&client);
  EXPECT_LE(total, std::max<int>(client.right, 8));
  // Every column can still be tapped into.
  Click(ScreenOf(2, 0, 0, kRowHeight / 2) +
        wxPoint(total - grid->GetColumnWidth(7) / 2, 0));
  EXPECT_EQ(grid->GetFocusCell().col, 7);
}

// The desktop's theme or font changes (the toolkit's settings, as a desktop changes them):
// the grid hears of both, and its empty cells take the new window colour at the next
// ordinary repaint.
TEST_F(GridEditorInput, ThemeAndFontChangesReachTheGridAndRecolourTheCells) {
  // The toolkit is loaded already; its settings object is reached by name.
  using SettingsFn = void* (*)();
  using SetFn = void (*)(void*, const char*, ...);
  using GetFn = void (*)(void*, const char*, ...);
  auto settingsOf = reinterpret_cast<SettingsFn>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  auto set = reinterpret_cast<SetFn>(dlsym(RTLD_DEFAULT, "g_object_set"));
  auto get = reinterpret_cast<GetFn>(dlsym(RTLD_DEFAULT, "g_object_get"));
  auto release = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_DEFAULT, "g_free"));
  if (!settingsOf || !set || !get || !release) GTEST_SKIP() << "not the GTK toolkit";
  void* settings = settingsOf();
  ASSERT_NE(settings, nullptr);
  char* font = nullptr;
  get(settings, "gtk-font-name", &font, nullptr);
  set(settings, "gtk-font-name", "Sans 15", nullptr);
  Pause(300);
  EXPECT_GT(grid->settingChanges, 0);
  set(settings, "gtk-font-name", font ? font : "Sans 10", nullptr);
  release(font);
  Pause(200);

  char* before = nullptr;
  get(settings, "gtk-theme-name", &before, nullptr);
  const int beforeTheme = grid->settingChanges;
  const COLORREF oldWindow = GetSysColor(COLOR_WINDOW);
  set(settings, "gtk-theme-name", "HighContrastInverse", nullptr);
  Pause(400);
  const COLORREF newWindow = GetSysColor(COLOR_WINDOW);
  EXPECT_GT(grid->settingChanges, beforeTheme);
  CClientDC dc(grid);
  const COLORREF seen = dc.GetPixel(3 * kColWidth + 50, 5 * kRowHeight + 5);
  set(settings, "gtk-theme-name", before ? before : "Adwaita", nullptr);
  release(before);
  Pause(300);
  if (newWindow == oldWindow) GTEST_SKIP() << "the theme did not change the window colour";
  EXPECT_EQ(seen, newWindow);
}

}  // namespace
