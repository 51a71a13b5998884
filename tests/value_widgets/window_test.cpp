// The numeric edit and its slider on real controls (under Xvfb): what typing, a drag and
// the arrow keys do to the edit's text and the slider's thumb.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "platform/sound.h"
#include "tests/support/wx_test_environment.h"
#include "widgets/numeric_edit.h"
#include "widgets/value_slider.h"

namespace {

// A dialog with an edit (1117) and a slider (1116), as an options page holds them.
class EditAndSlider : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    dialog = new wxDialog(nullptr, wxID_ANY, "page");
    text = new wxTextCtrl(dialog, 1117, "");
    slider = new wxSlider(dialog, 1116, 0, 0, 10, wxDefaultPosition, wxDefaultSize, sliderStyle());
    page.Attach(dialog);
    ASSERT_TRUE(edit.SubclassDlgItem(1117, &page));
    edit.AttachSlider(&page, 1116);
    ASSERT_NE(edit.GetSlider(), nullptr);
    edit.SetRange(0.0, 100.0, 4, "%.1f");
  }
  void TearDown() override {
    if (dialog) dialog->Destroy();
  }
  virtual long sliderStyle() const { return wxSL_HORIZONTAL; }

  // What the control does with a typed character: whether it reaches the control.
  bool TypeReaches(wxChar ch) {
    wxKeyEvent key(wxEVT_CHAR);
    key.m_uniChar = ch;
    key.m_keyCode = ch;
    key.SetEventObject(text);
    key.Skip(false);
    text->ProcessWindowEvent(key);
    return key.GetSkipped();
  }
  void Scroll(wxEventType type, int position) {
    slider->SetValue(position);
    wxScrollEvent event(type, 1116, position, slider->HasFlag(wxSL_VERTICAL) ? wxVERTICAL : wxHORIZONTAL);
    event.SetEventObject(slider);
    slider->ProcessWindowEvent(event);
  }
  std::string Shown() const { return text->GetValue().utf8_string(); }

  wxDialog* dialog = nullptr;
  wxTextCtrl* text = nullptr;
  wxSlider* slider = nullptr;
  CWnd page;
  CNumericEdit edit;
};

class EditAndVerticalSlider : public EditAndSlider {
  long sliderStyle() const override { return wxSL_VERTICAL; }
};

TEST_F(EditAndSlider, LettersAreRefusedWithABeepWhileNumberCharactersPass) {
  const int beeps = platform::BeepsRequested();
  for (wxChar ch : {'a', 'x', '+', ','}) EXPECT_FALSE(TypeReaches(ch)) << char(ch);
  EXPECT_EQ(platform::BeepsRequested(), beeps + 4);
  for (wxChar ch : {'7', 'E', 'e', '-', '.', '\b'}) EXPECT_TRUE(TypeReaches(ch)) << char(ch);
  EXPECT_EQ(platform::BeepsRequested(), beeps + 4);
}

TEST_F(EditAndSlider, RealKeystrokesLeaveOutLettersAndAnOutOfRangeNumberShowsTheMaximum) {
  ASSERT_TRUE(tvxtest::ShowOnScreen(dialog));
  text->SetFocus();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return text->HasFocus(); }));
  wxUIActionSimulator keyboard;
  keyboard.Text("1x5");
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return Shown() == "15"; })) << Shown();
  EXPECT_EQ(slider->GetValue(), 150);
  keyboard.Char('0');
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return Shown() == "100.0"; })) << Shown();
  EXPECT_EQ(slider->GetValue(), 1000);
}

TEST_F(EditAndSlider, RealArrowKeysOnTheSliderMoveOnlyTheThumb) {
  ASSERT_TRUE(tvxtest::ShowOnScreen(dialog));
  edit.SetValue(50);
  slider->SetFocus();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return slider->HasFocus(); }));
  wxUIActionSimulator keyboard;
  keyboard.Char(WXK_RIGHT);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return slider->GetValue() != 500; }));
  EXPECT_EQ(Shown(), "50.0");
}

TEST_F(EditAndSlider, TypedValuesMoveTheSliderAndValuesOutOfRangeAreShownAtTheEnd) {
  text->SetValue("25");  // as typing does: the control reports its new text
  EXPECT_EQ(slider->GetValue(), 250);
  EXPECT_EQ(slider->GetMax(), 1000);
  const int beeps = platform::BeepsRequested();
  text->SetValue("150");
  EXPECT_EQ(Shown(), "100.0");
  EXPECT_EQ(slider->GetValue(), 1000);
  EXPECT_EQ(platform::BeepsRequested(), beeps + 1);

  EXPECT_FALSE(edit.SetValue(100.5));
  EXPECT_EQ(Shown(), "100.0");
  EXPECT_TRUE(edit.SetValue(40));
  EXPECT_EQ(Shown(), "40.0");
  EXPECT_EQ(slider->GetValue(), 400);
}

TEST_F(EditAndSlider, DraggingWritesTheValueButArrowKeysOnlyMoveTheThumb) {
  edit.SetValue(10);
  Scroll(wxEVT_SCROLL_THUMBTRACK, 730);
  EXPECT_EQ(Shown(), "73.0");
  Scroll(wxEVT_SCROLL_LINEDOWN, 740);
  EXPECT_EQ(Shown(), "73.0");
  EXPECT_EQ(slider->GetValue(), 740);
  Scroll(wxEVT_SCROLL_PAGEDOWN, 500);
  EXPECT_EQ(Shown(), "50.0");
}

TEST_F(EditAndVerticalSlider, DraggingToTheTopShowsTheMaximum) {
  edit.SetValue(20);
  EXPECT_EQ(slider->GetValue(), 800);  // counted from the bottom
  Scroll(wxEVT_SCROLL_THUMBTRACK, 0);
  EXPECT_EQ(Shown(), "100.0");
  Scroll(wxEVT_SCROLL_THUMBTRACK, 1000);
  EXPECT_EQ(Shown(), "0.0");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The colour picker in a dialog that records what the picker tells it, worked with the real
// pointer and keys; the swatch is read from the screen.

#include <wx/button.h>

#include "tests/view/real_input.h"
#include "widgets/colour_picker.h"

namespace {

class RecordingDialog : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= CPN_SELCHANGE && message <= CPN_SELENDCANCEL)
      heard.push_back({message, static_cast<COLORREF>(wParam), static_cast<int>(lParam)});
    return CWnd::WindowProc(message, wParam, lParam);
  }
  struct Heard {
    UINT message;
    COLORREF colour;
    int id;
    bool operator==(const Heard&) const = default;
  };
  std::vector<Heard> heard;
};

using Heard = RecordingDialog::Heard;

class ColourPickerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    dialog = new wxDialog(nullptr, wxID_ANY, "design", wxPoint(50, 50), wxSize(300, 200));
    new wxButton(dialog, 1105, "", wxPoint(10, 10), wxSize(60, 24));
    new wxButton(dialog, wxID_OK, "OK", wxPoint(10, 140), wxSize(80, 28));
    parent.Attach(dialog);
    ASSERT_TRUE(tvxtest::ShowOnScreen(dialog));
    ASSERT_TRUE(picker.SubclassDlgItem(1105, &parent));
    picker.SetColour(RGB(255, 0, 0));
  }
  void TearDown() override {
    if (!dialog) return;
    if (picker.IsPopupOpen()) picker.OnClicked();  // a failed test left it open
    dialog->Destroy();
    tvxtest::PumpFor(100);
  }

  // A real click on the middle of the picker; the popup it opens, once it is on the screen.
  CColourPickerPopup* OpenByClick() {
    CRect r;
    picker.GetClientRect(&r);
    tvxtest::RealClick(picker, r.Width() / 2, r.Height() / 2);
    return OnScreenPopup();
  }
  CColourPickerPopup* OnScreenPopup() {
    // Under a window manager the popup is placed and activated a moment after it is on the
    // screen; a press sent before the manager is done can be held back or land beside it.
    tvxtest::PumpUntil([&] {
      CColourPickerPopup* p = picker.GetPopup();
      if (!p || !tvxtest::OnScreen(p->GetWxWindow())) return false;
      auto* top = dynamic_cast<wxTopLevelWindow*>(p->GetWxWindow());
      return !tvxtest::WindowManagerRuns() || (top && top->IsActive());
    });
    return picker.GetPopup();
  }
  // A key pressed and released where the user has the keyboard, the pointer left alone.
  void Key(int key) {
    wxUIActionSimulator().Char(key);
    tvxtest::InputHandled();
  }
  // The screen point of a cell's middle.
  CPoint CellOnScreen(CColourPickerPopup* popup, int cell) {
    CPoint p = popup->Layout().CellRect(cell).CenterPoint();
    popup->ClientToScreen(&p);
    return p;
  }
  // The pointer onto a screen point, then the button pressed there or released there.
  void ButtonAt(CPoint screen, bool down) {
    wxUIActionSimulator input;
    input.MouseMove(screen.x, screen.y);
    tvxtest::InputHandled();
    tvxtest::EventsHeard heard(down ? wxEVT_LEFT_DOWN : wxEVT_LEFT_UP);
    if (down) {
      input.MouseDown();
    } else {
      input.MouseUp();
    }
    tvxtest::PumpUntil([&] { return heard.count > 0; });
    tvxtest::InputHandled();
  }
  void PressAt(CPoint screen) { ButtonAt(screen, true); }
  void ReleaseAt(CPoint screen) { ButtonAt(screen, false); }
  bool Closed() {
    return tvxtest::PumpUntil([&] { return !picker.IsPopupOpen(); });
  }

  // The middle of the swatch (left of the arrow, inside the edge and the focus frame) as
  // the screen shows it.
  wxRect Swatch() const {
    CRect w;
    picker.GetWindowRect(&w);
    return wxRect(w.left + 5, w.top + 5, w.Width() / 2 - 5, w.Height() - 10);
  }
  bool SwatchShows(COLORREF colour) {
    const wxRect swatch = Swatch();
    return tvxtest::PumpUntil([&] {
      return tvxtest::PixelsOnScreen(swatch, colour) == swatch.width * swatch.height;
    });
  }

  wxDialog* dialog = nullptr;
  RecordingDialog parent;
  CColourPicker picker;
};

// The swatch as the screen shows it.
TEST_F(ColourPickerWindow, SwatchOnTheScreenShowsTheColourBesideTheArrowAndTheChoice) {
  CRect w;
  picker.GetWindowRect(&w);
  EXPECT_GE(w.Width(), 36);
  EXPECT_TRUE(SwatchShows(RGB(255, 0, 0)));
  const wxRect arrow(w.right - 14, w.top + 4, 10, w.Height() - 8);
  EXPECT_EQ(tvxtest::PixelsOnScreen(arrow, RGB(255, 0, 0)), 0);
  picker.SetColour(widgets::kAutomaticColour);
  EXPECT_TRUE(SwatchShows(GetSysColor(COLOR_3DFACE)));
  CColourPickerPopup* popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  const CPoint green = popup->Layout().CellRect(27).CenterPoint();
  tvxtest::RealClick(*popup, green.x, green.y);
  ASSERT_TRUE(Closed());
  EXPECT_TRUE(SwatchShows(RGB(0, 255, 0)));
}

TEST_F(ColourPickerWindow, AClickOpensUnderThePickerATapChoosesAndAReleaseOutsideCancels) {
  CColourPickerPopup* popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenCell(), 16);  // red
  CRect button, window;
  picker.GetWindowRect(&button);
  // Under a window manager the popup is at its place once the manager has placed it, a
  // moment after it is on the screen.
  EXPECT_TRUE(tvxtest::PumpUntil([&] {
    popup->GetWindowRect(&window);
    return window.TopLeft() == CPoint(button.left, button.bottom);
  })) << window.left << "," << window.top;
  EXPECT_LE(window.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(window.bottom, GetSystemMetrics(SM_CYSCREEN));
  const CPoint green = popup->Layout().CellRect(27).CenterPoint();  // bright green
  tvxtest::RealClick(*popup, green.x, green.y);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(0, 255, 0));
  EXPECT_EQ(parent.heard, (std::vector<Heard>{{CPN_DROPDOWN, RGB(255, 0, 0), 1105},
                                              {CPN_SELCHANGE, RGB(0, 255, 0), 1105},
                                              {CPN_CLOSEUP, RGB(0, 255, 0), 1105},
                                              {CPN_SELENDOK, RGB(0, 255, 0), 1105}}));

  // Pressed on blue, released over the dialog beside the popup.
  parent.heard.clear();
  popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  PressAt(CellOnScreen(popup, 13));
  EXPECT_EQ(popup->GetHighlightedCell(), 13);
  EXPECT_EQ(picker.GetColour(), RGB(0, 255, 0));  // the swatch waits for OK
  popup->GetWindowRect(&window);
  ReleaseAt(CPoint(window.right + 30, window.top + 10));
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(0, 255, 0));
  EXPECT_EQ(parent.heard, (std::vector<Heard>{{CPN_DROPDOWN, RGB(0, 255, 0), 1105},
                                              {CPN_SELCHANGE, RGB(0, 0, 255), 1105},
                                              {CPN_CLOSEUP, RGB(0, 255, 0), 1105},
                                              {CPN_SELENDCANCEL, RGB(0, 255, 0), 1105}}));

  // A cell held still before the release is still a choice, not a hold gesture.
  popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  const CPoint yellow = CellOnScreen(popup, 26);
  PressAt(yellow);
  tvxtest::PumpFor(static_cast<int>(kTapAndHoldMilliseconds) + 300);
  ReleaseAt(yellow);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(255, 255, 0));
}

TEST_F(ColourPickerWindow, AColourOutsideTheTableOpensWithCancelChosenAndTrackingMovesTheSwatch) {
  picker.SetColour(RGB(1, 2, 3));
  picker.SetTrackSelection(true);
  CColourPickerPopup* popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenCell(), widgets::kCellCancel);
  EXPECT_EQ(popup->GetHighlightedCell(), widgets::kCellCancel);
  PressAt(CellOnScreen(popup, 39));  // white
  EXPECT_EQ(picker.GetColour(), RGB(255, 255, 255));
  CRect window;
  popup->GetWindowRect(&window);
  ReleaseAt(CPoint(window.right + 30, window.top + 10));
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(1, 2, 3));  // cancelled: the colour from before

  popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  const CPoint automatic = popup->Layout().CellRect(widgets::kCellAutomatic).CenterPoint();
  tvxtest::RealClick(*popup, automatic.x, automatic.y);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), widgets::kAutomaticColour);
  ASSERT_FALSE(parent.heard.empty());
  EXPECT_EQ(parent.heard.back(), (Heard{CPN_SELENDOK, widgets::kAutomaticColour, 1105}));
}

// The keys, pressed where the user has them after tapping the button: the open popup takes
// them (not the dialog), with or without a window manager.
TEST_F(ColourPickerWindow, ArrowKeysHighlightEscapeRestoresSpaceOpensAndEnterChooses) {
  CColourPickerPopup* popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  Key(WXK_RIGHT);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == 17; }));
  EXPECT_EQ(picker.GetColour(), RGB(255, 0, 0));  // the swatch waits for OK
  Key(WXK_ESCAPE);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(255, 0, 0));
  EXPECT_TRUE(dialog->IsShown());  // Escape went to the popup, not to the dialog
  EXPECT_EQ(parent.heard, (std::vector<Heard>{{CPN_DROPDOWN, RGB(255, 0, 0), 1105},
                                              {CPN_SELCHANGE, RGB(255, 173, 91), 1105},
                                              {CPN_CLOSEUP, RGB(255, 0, 0), 1105},
                                              {CPN_SELENDCANCEL, RGB(255, 0, 0), 1105}}));

  // The focused button opens with Space, as a push button does.
  parent.heard.clear();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return GetFocus() == &picker; }));
  Key(' ');
  popup = OnScreenPopup();
  ASSERT_NE(popup, nullptr);
  Key(WXK_DOWN);  // red, one row down: pink
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == 24; }));
  Key(WXK_RETURN);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(255, 192, 203));
  EXPECT_TRUE(dialog->IsShown());
  EXPECT_EQ(parent.heard, (std::vector<Heard>{{CPN_DROPDOWN, RGB(255, 0, 0), 1105},
                                              {CPN_SELCHANGE, RGB(255, 192, 203), 1105},
                                              {CPN_CLOSEUP, RGB(255, 192, 203), 1105},
                                              {CPN_SELENDOK, RGB(255, 192, 203), 1105}}));

  // From "Cancel" the ring runs to "Automatic".
  picker.SetColour(RGB(1, 2, 3));
  popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  Key(WXK_DOWN);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == widgets::kCellAutomatic; }));
  Key(WXK_RETURN);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), widgets::kAutomaticColour);

  // Left and up run the ring backwards; Space in the popup chooses.
  picker.SetColour(RGB(0, 0, 0));
  popup = OpenByClick();
  ASSERT_NE(popup, nullptr);
  Key(WXK_LEFT);  // from black back to "Automatic", then "Cancel"
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == widgets::kCellAutomatic; }));
  Key(WXK_LEFT);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == widgets::kCellCancel; }));
  Key(WXK_UP);  // from "Cancel" to the last colour
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == 39; }));
  Key(WXK_UP);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return popup->GetHighlightedCell() == 31; }));
  Key(' ');
  ASSERT_TRUE(Closed());
  EXPECT_EQ(picker.GetColour(), RGB(192, 192, 192));
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return GetFocus() == &picker; }));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The edit's hold menu.

#include "platform/ui/menu.h"
#include "platform/modules.h"
#include "widgets/context_menu_edit.h"
#include "widgets/core/context_menu_edit_items.h"

namespace {

class ContextMenuEditWindow : public tvxtest::ModuleWindowTest {
 protected:
  ContextMenuEditWindow() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}
};

TEST_F(ContextMenuEditWindow, HoldOnAReadOnlyEditOffersCopyAndSelectAllAndCarriesOutTheChoice) {
  auto* dialog = new wxDialog(nullptr, wxID_ANY, "averaging");
  auto* text = new wxTextCtrl(dialog, 1044, "4807.038 N", wxDefaultPosition, wxDefaultSize,
                              wxTE_READONLY);
  CWnd parent;
  parent.Attach(dialog);
  CContextMenuEdit edit;
  ASSERT_TRUE(edit.SubclassDlgItem(1044, &parent));
  text->SetSelection(0, 4);

  platform::PopupMenuScript::Push(widgets::kEditSelectAll);
  wxContextMenuEvent hold(wxEVT_CONTEXT_MENU, 1044, wxPoint(120, 80));
  hold.SetEventObject(text);
  text->ProcessWindowEvent(hold);

  const auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].x, 120);
  std::vector<std::string> enabled;
  for (const auto& item : shown[0].items)
    if (!(item.flags & (MF_GRAYED | MF_SEPARATOR))) enabled.push_back(item.text);
  EXPECT_EQ(enabled, (std::vector<std::string>{"Copy", "Select all"}));
  long from = 0, to = 0;
  text->GetSelection(&from, &to);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 10);
  dialog->Destroy();
}

}  // namespace
