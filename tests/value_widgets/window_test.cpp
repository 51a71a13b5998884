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
// The colour picker in a dialog that records what the picker tells it.

#include <wx/button.h>

#include "platform/ui/input.h"
#include "widgets/colour_picker.h"

namespace {

using platform::ui::MouseAction;

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

class ColourPickerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    dialog = new wxDialog(nullptr, wxID_ANY, "design", wxPoint(50, 50), wxSize(300, 200));
    new wxButton(dialog, 1105, "", wxPoint(10, 10), wxSize(60, 24));
    parent.Attach(dialog);
    ASSERT_TRUE(tvxtest::ShowOnScreen(dialog));
    ASSERT_TRUE(picker.SubclassDlgItem(1105, &parent));
    picker.SetColour(RGB(255, 0, 0));
  }
  void TearDown() override {
    if (!dialog) return;
    dialog->Destroy();
    for (int i = 0; i < 5; ++i) wxTheApp->Yield(true);
  }
  CColourPickerPopup* Open() {
    CRect r;
    picker.GetClientRect(&r);
    platform::ui::SimulateMouse(&picker, MouseAction::LeftDown, r.CenterPoint());
    platform::ui::SimulateMouse(&picker, MouseAction::LeftUp, r.CenterPoint());
    return picker.GetPopup();
  }
  wxDialog* dialog = nullptr;
  RecordingDialog parent;
  CColourPicker picker;
};

using Heard = RecordingDialog::Heard;

TEST_F(ColourPickerWindow, SwatchShowsTheColourBesideTheArrow) {
  picker.OnPaint();  // what the next paint shows
  CRect r;
  picker.GetClientRect(&r);
  EXPECT_GE(r.Width(), 36);
  CClientDC dc(&picker);
  EXPECT_EQ(dc.GetPixel(r.Width() / 4, r.Height() / 2), RGB(255, 0, 0));
  EXPECT_NE(dc.GetPixel(r.right - 10, r.Height() / 2), RGB(255, 0, 0));  // the arrow
  picker.SetColour(widgets::kAutomaticColour);
  picker.OnPaint();
  EXPECT_EQ(dc.GetPixel(r.Width() / 4, r.Height() / 2), GetSysColor(COLOR_3DFACE));
}

TEST_F(ColourPickerWindow, ArrowKeysHighlightAndEscapeRestoresTheColourBeforeOpening) {
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenCell(), 16);  // red
  platform::ui::SimulateKey(popup, VK_RIGHT);
  EXPECT_EQ(picker.GetColour(), RGB(255, 0, 0));  // the swatch waits for OK
  platform::ui::SimulateKey(popup, VK_ESCAPE);
  EXPECT_FALSE(picker.IsPopupOpen());
  EXPECT_EQ(picker.GetColour(), RGB(255, 0, 0));
  EXPECT_EQ(parent.heard, (std::vector<Heard>{{CPN_DROPDOWN, RGB(255, 0, 0), 1105},
                                              {CPN_SELCHANGE, RGB(255, 173, 91), 1105},
                                              {CPN_CLOSEUP, RGB(255, 0, 0), 1105},
                                              {CPN_SELENDCANCEL, RGB(255, 0, 0), 1105}}));
}

TEST_F(ColourPickerWindow, TappingACellChoosesItsColourAndReleasingOutsideCancels) {
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  const CPoint green = popup->Layout().CellRect(27).CenterPoint();  // bright green
  platform::ui::SimulateMouse(popup, MouseAction::LeftDown, green);
  platform::ui::SimulateMouse(popup, MouseAction::LeftUp, green);
  EXPECT_EQ(picker.GetColour(), RGB(0, 255, 0));
  ASSERT_GE(parent.heard.size(), 2u);
  EXPECT_EQ(parent.heard.back(), (Heard{CPN_SELENDOK, RGB(0, 255, 0), 1105}));
  EXPECT_EQ(parent.heard[parent.heard.size() - 2].message, CPN_CLOSEUP);

  parent.heard.clear();
  popup = Open();
  ASSERT_NE(popup, nullptr);
  const CPoint blue = popup->Layout().CellRect(13).CenterPoint();
  platform::ui::SimulateMouse(popup, MouseAction::LeftDown, blue);
  platform::ui::SimulateMouse(popup, MouseAction::LeftUp, CPoint(-40, -40));
  EXPECT_EQ(picker.GetColour(), RGB(0, 255, 0));
  EXPECT_EQ(parent.heard.back(), (Heard{CPN_SELENDCANCEL, RGB(0, 255, 0), 1105}));
}

TEST_F(ColourPickerWindow, AColourOutsideTheTableOpensWithCancelChosenAndTrackingMovesTheSwatch) {
  picker.SetColour(RGB(1, 2, 3));
  picker.SetTrackSelection(true);
  CColourPickerPopup* popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetChosenCell(), widgets::kCellCancel);
  platform::ui::SimulateKey(popup, VK_DOWN);  // from "Cancel" to "Automatic"
  EXPECT_EQ(picker.GetColour(), widgets::kAutomaticColour);
  platform::ui::SimulateKey(popup, VK_RETURN);
  EXPECT_EQ(picker.GetColour(), widgets::kAutomaticColour);
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
