// The numeric edit and its slider on real controls (under Xvfb): what typing, a drag and
// the arrow keys do to the edit's text and the slider's thumb.
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

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
