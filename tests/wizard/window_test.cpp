// The wizard's dialogs as the document's wizard commands open them (under Xvfb, templates
// of the English module): the category sheet, the summary and the closing choice.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/propdlg.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <cmath>
#include <functional>
#include <vector>

#include "dialogs/program_dialogs.h"
#include "dialogs/wizard.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"

namespace {

class WizardWindows : public DocTest {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    DocTest::SetUp();
    module_ = LoadLibrary(TVX_BINARY_DIR "/internal/tvx_en.dll");
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    CTolvanixDoc::SetDocumentDialogs(&dialogs);
  }
  void TearDown() override {
    if (!module_) return;
    wxTheApp->ProcessPendingEvents();  // the deletions ClickOnNext left queued
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    DocTest::TearDown();
    AfxSetResourceHandle(nullptr);
    FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
  ProgramDialogs dialogs;
};

// The modal window on top (a dialog or the sheet) as the user sees it.
wxWindow* Shown() {
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsModal()) return d;
  return nullptr;
}

void Click(int id) {
  wxWindow* button = Shown()->FindWindow(id);
  ASSERT_NE(button, nullptr) << id;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

// Clicks button `id` once a modal window that has it is up (the next dialog of a flow).
// The window is told by its button, not by its address: the dialog before may have gone
// and the next one been made in the same place.
void ClickOnNext(int id) {
  auto* poll = new wxTimer;
  poll->Bind(wxEVT_TIMER, [poll, id](wxTimerEvent&) {
    if (!Shown() || !Shown()->FindWindow(id)) return;
    poll->Stop();
    wxTheApp->CallAfter([poll] { delete poll; });
    Click(id);
  });
  poll->Start(10);
}

std::string Text(int id) {
  return dynamic_cast<wxTextCtrl*>(Shown()->FindWindow(id))->GetValue().utf8_string();
}

TEST_F(WizardWindows, OnlyACategoryButtonStartsAMeasurement) {
  CTolvanixDoc& doc = MakeDoc();
  wxTheApp->CallAfter([] { Click(1240); });
  EXPECT_EQ(dialogs.WizardStart(doc), 2);
  wxTheApp->CallAfter([] { Click(1239); });
  EXPECT_EQ(dialogs.WizardStart(doc), 1);
  wxTheApp->CallAfter([] { Click(wxID_OK); });  // the sheet's own OK: no category
  EXPECT_EQ(dialogs.WizardStart(doc), std::nullopt);
  wxTheApp->CallAfter([] { Click(wxID_CANCEL); });
  EXPECT_EQ(dialogs.WizardStart(doc), std::nullopt);
}

// The categories as a user chooses them, with real input on the sheet on the screen: the
// pointer on either button, or the keys, which are on the first category when the sheet opens.
TEST_F(WizardWindows, ACategoryIsChosenWithThePointerOrTheKeys) {
  CTolvanixDoc& doc = MakeDoc();
  struct Way {
    const char* name;
    std::function<void(CWizard&)> choose;
    int category;
  };
  auto click = [](int id) {
    return [id](CWizard& sheet) { tvxtest::RealClick(*sheet.GetSheetDialog()->FindWindow(id)); };
  };
  auto keys = [](std::vector<int> codes) {
    return [codes](CWizard& sheet) {
      for (int code : codes) tvxtest::RealKey(sheet, code);
    };
  };
  const Way ways[] = {
      {"the area's button clicked", click(1239), 1},
      {"the line's button clicked", click(1240), 2},
      {"Space", keys({' '}), 1},
      {"Tab, Space", keys({WXK_TAB, ' '}), 2},
  };
  for (const Way& way : ways) {
    bool answered = false;
    tvxtest::AnswerWhenOnScreen<CWizard>([&](CWizard& sheet) {
      way.choose(sheet);
      answered = true;
      if (sheet.GetSheetDialog()->IsModal()) sheet.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dialogs.WizardStart(doc), way.category) << way.name;
    EXPECT_TRUE(answered) << way.name;
  }
}

// How many pixels of a window, as the screen shows it, have the colour.
int PixelsOnScreen(wxWindow* window, COLORREF colour) {
  return tvxtest::PixelsOnScreen(window->GetScreenRect(), colour);
}

TEST_F(WizardWindows, CategoryButtonsShowTheProgramsPicturesOfAnAreaAndALine) {
  CTolvanixDoc& doc = MakeDoc();
  int areaFill[2] = {0, 0}, lineColour[2] = {0, 0};
  auto* poll = new wxTimer;
  int ticks = 0;
  poll->Bind(wxEVT_TIMER, [&, poll](wxTimerEvent&) {
    if (!Shown() || !Shown()->IsShownOnScreen()) return;
    // Read the screen once painted, again later where a loaded machine paints late (five
    // seconds at most).
    ++ticks;
    if (ticks != 20 && ticks != 60 && ticks != 120 && ticks != 250) return;
    wxWindow* buttons[] = {Shown()->FindWindow(1239), Shown()->FindWindow(1240)};
    for (int i = 0; i < 2; ++i) {
      areaFill[i] = PixelsOnScreen(buttons[i], kWizardAreaFill);
      lineColour[i] = PixelsOnScreen(buttons[i], kWizardLineColour);
    }
    if ((areaFill[0] <= 200 || lineColour[1] <= 50) && ticks < 250) return;
    poll->Stop();
    wxTheApp->CallAfter([poll] { delete poll; });
    Click(1239);
  });
  poll->Start(20);
  EXPECT_EQ(dialogs.WizardStart(doc), 1);
  EXPECT_GT(areaFill[0], 200);  // the area's fill on the first button
  EXPECT_EQ(areaFill[1], 0);
  EXPECT_GT(lineColour[1], 50);  // the line on the second
  EXPECT_EQ(lineColour[0], 0);
}

TEST_F(WizardWindows, SummaryThenEndRenameTheFeatureAndLeaveTheWizard) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_wizardMode = 1;
  std::string shownName, shownPoints;
  wxTheApp->CallAfter([&] {
    shownName = Text(1279);
    shownPoints = Text(1283);
    dynamic_cast<wxTextCtrl*>(Shown()->FindWindow(1279))->ChangeValue("North field");
    ASSERT_EQ(Shown()->FindWindow(1255), nullptr);
    ClickOnNext(1255);  // then, on the end dialog: leave the wizard
    Click(1);
  });
  doc.OnWizardNext();
  EXPECT_EQ(shownName, LoadResString(59167));
  EXPECT_EQ(shownPoints, "0");
  EXPECT_EQ(doc.CurrentFeature()->name, "North field");
  EXPECT_EQ(doc.m_wizardMode, 0);
}

// "Next" (command 211) after automatic capture went past 200 points: the summary shows the
// field measured as it stands, not the figure of its 200th point marked out of date.
TEST_F(WizardWindows, SummaryShowsTheFieldMeasuredAsItStands) {
  CTolvanixDoc& doc = MakeDoc();
  FeatureRecord& field = doc.m_features[0];
  for (int i = 0; i < 200; ++i) {  // a half circle of 200 m radius round 2 E 41 N
    const double a = 3.14159265358979 * i / 199;
    const GeoPoint p{2.0 + 200.0 * std::cos(a) / 84015.0, 41.0 + 200.0 * std::sin(a) / 111050.0};
    field.AddVertex(p, p, 0);
  }
  doc.RecomputeAreasAndWait(0);
  for (double south : {100.0, 150.0, 200.0}) {  // the walk goes on southwards
    Feed(Gga(2.0 - 200.0 / 84015.0, 41.0 - south / 111050.0));
    doc.CapturePoint();
  }
  ASSERT_EQ(field.VertexCount(), 203u);
  ASSERT_NE(doc.GetAreaText(-1, true).find('*'), std::string::npos);
  doc.m_wizardMode = 1;
  std::string shownArea;
  wxTheApp->CallAfter([&] {
    shownArea = Text(1280);
    ClickOnNext(1255);  // then, on the end dialog: leave the wizard
    Click(1);
  });
  ASSERT_TRUE(doc.OnCmdMsg(211, CN_COMMAND, nullptr));
  doc.RecomputeAreasAndWait(0);
  EXPECT_EQ(shownArea, doc.GetAreaText(-1, true));
  EXPECT_EQ(shownArea.find('*'), std::string::npos);
}

TEST_F(WizardWindows, EndDialogGivesEachChoiceAndNoneWhenClosed) {
  CTolvanixDoc& doc = MakeDoc();
  const std::pair<int, WizardEndChoice> buttons[] = {
      {1253, WizardEndChoice::NextInSameDocument},
      {1254, WizardEndChoice::SaveAndNewDocument},
      {1255, WizardEndChoice::Leave}};
  for (const auto& [id, choice] : buttons) {
    wxTheApp->CallAfter([id = id] { Click(id); });
    EXPECT_EQ(dialogs.WizardEnd(doc), choice) << id;
  }
  wxTheApp->CallAfter([] { Click(2); });
  EXPECT_EQ(static_cast<int>(dialogs.WizardEnd(doc)), 0);
  // A summary closed with Cancel names nothing.
  wxTheApp->CallAfter([] { Click(2); });
  EXPECT_EQ(dialogs.WizardSummary(doc, WizardSummaryTexts{"a", "1 ha", "", "", "3"}), std::nullopt);
}

}  // namespace
