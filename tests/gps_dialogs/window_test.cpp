// The receiver dialogs opened by template id from the English module (under Xvfb): the GPS
// page detecting the simulated receiver into its combos, its advanced button, the advanced
// dialog's switch buttons and the start-up wait dialog.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/propdlg.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <unistd.h>

#include <chrono>

#include "dialogs/gps_dialogs.h"
#include "dialogs/gps_pages.h"
#include "document/doc_options.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "platform/win_app.h"
#include "tests/gps_dialogs/receiver_fixture.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"

namespace {

CWinApp g_app("tvxtest");

class GpsWindows : public tvxtest::ModuleWindowTest {
 protected:
  GpsWindows() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}
  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped()) return;
    gpstest::IsolatePorts();
    gpstest::UseBuildFolderAsProgramFolder();
  }
  ReceiverSimulator receiver;
};

void Click(CWnd& wnd, int id) {
  wxWindow* button = wnd.GetDlgItemWindow(id);
  ASSERT_NE(button, nullptr) << id;
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

int Selected(CWnd& wnd, int id) { return dynamic_cast<wxChoice*>(wnd.GetDlgItemWindow(id))->GetSelection(); }

TEST_F(GpsWindows, DetectionFillsBothCombosAndLeavesTheChecksAsTheUserSetThem) {
  ASSERT_TRUE(gpstest::StartReceiver(receiver));
  CPropertySheet sheet(std::string("Options"));
  CPageGPS page;
  page.m_port = 5;
  page.m_baudIndex = 1;
  sheet.AddPage(&page);
  bool virtualPortHidden = false;
  int portBefore = -2, portAfter = -2, rateAfter = -2;
  bool readerChecked = false;
  // The library's "found" box: asked with the ordinary pointer, inside the detection's wait.
  const int waitsBefore = platform::WaitCursorShownCount();
  std::vector<bool> waitingWhileAsked;
  platform::SetMessageBoxBackend([&](HWND, const std::string&, const std::string&, UINT) {
    waitingWhileAsked.push_back(platform::WaitCursorShowing());
    return IDOK;
  });
  wxTheApp->CallAfter([&] {
    auto* virtualPort = page.GetDlgItemWindow(1009);
    virtualPortHidden = !virtualPort->IsShown() && !virtualPort->IsEnabled();
    portBefore = Selected(page, 1006);
    dynamic_cast<wxCheckBox*>(page.GetDlgItemWindow(1145))->SetValue(true);
    Click(page, 1008);
    portAfter = Selected(page, 1006);
    rateAfter = Selected(page, 1007);
    readerChecked = dynamic_cast<wxCheckBox*>(page.GetDlgItemWindow(1145))->GetValue();
    sheet.GetSheetDialog()->EndModal(wxID_CANCEL);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  platform::ui::InstallWindowedBackends();  // the real boxes again for the tests that follow
  EXPECT_EQ(waitingWhileAsked, std::vector<bool>{false});
  EXPECT_GT(platform::WaitCursorShownCount(), waitsBefore);
  EXPECT_FALSE(platform::WaitCursorShowing());
  EXPECT_TRUE(virtualPortHidden);
  EXPECT_EQ(portBefore, 5);
  EXPECT_EQ(portAfter, gpstest::kReceiverPort);
  EXPECT_EQ(rateAfter, 8);
  EXPECT_TRUE(readerChecked);
}

TEST_F(GpsWindows, AdvancedButtonWithoutPortOrRateShowsTheNotice) {
  CPropertySheet sheet(std::string("Options"));
  CPageGPS page;  // port and rate not set
  sheet.AddPage(&page);
  platform::MessageBoxScript::Push(IDOK);
  wxTheApp->CallAfter([&] {
    Click(page, 1203);
    sheet.GetSheetDialog()->EndModal(wxID_CANCEL);
  });
  sheet.DoModal();
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Choose the port and the speed first.");
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
  EXPECT_EQ(shown[0].style & MB_ICONEXCLAMATION, MB_ICONEXCLAMATION);
}

TEST_F(GpsWindows, SwitchButtonsActAtOnceButOnlyOkKeepsTheStartUpChoices) {
  ASSERT_TRUE(receiver.Start({}, {}));
  gpstest::MapPort(3, receiver.SlavePath());
  CDlgAdvancedGPS dlg;
  dlg.m_port = 3;
  dlg.m_baudIndex = 1;
  platform::MessageBoxScript::Push(IDOK);  // "OK" after the switch
  wxTheApp->CallAfter([&] {
    dynamic_cast<wxCheckBox*>(dlg.GetDlgItemWindow(1256))->SetValue(true);
    Click(dlg, 1250);  // SBAS on
    Click(dlg, 2);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(gpstest::ShownTexts(), std::vector<std::string>{"OK"});
  EXPECT_FALSE(receiver.TakeReceived().empty());
  EXPECT_EQ(g_app.GetProfileInt(kOptionsSection, "SNAuto", 0), 0u);

  CDlgAdvancedGPS again;
  wxTheApp->CallAfter([&] {
    dynamic_cast<wxCheckBox*>(again.GetDlgItemWindow(1257))->SetValue(true);
    Click(again, 1);
  });
  EXPECT_EQ(again.DoModal(), IDOK);
  EXPECT_EQ(g_app.GetProfileInt(kOptionsSection, "SNAuto", 0), 0u);
  EXPECT_EQ(g_app.GetProfileInt(kOptionsSection, "SBASAuto", 0), 1u);
}

// The real boxes of the switch buttons ("OK" after a switch; when the receiver cannot be
// reached the library's own boxes, then "ERROR"), as the user answers them: with the ordinary
// pointer, though the switch holds the wait cursor up around them. The buttons are pressed
// with the pointer, the boxes closed from their title bars.
class BoxWatch : public wxModalDialogHook {
 public:
  BoxWatch() { Register(); }
  ~BoxWatch() override { Unregister(); }
  struct Box {
    std::string text;
    bool waitCursor;  // up as the box was shown
    bool operator==(const Box&) const = default;
  };
  std::vector<Box> boxes;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
      boxes.push_back({box->GetMessage().utf8_string(), wxIsBusy() || platform::WaitCursorShowing()});
    }
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {}
};

void PrintTo(const BoxWatch::Box& box, std::ostream* os) { *os << box.text << (box.waitCursor ? " (wait)" : ""); }

TEST_F(GpsWindows, SwitchBoxesAreAnsweredWithTheOrdinaryPointer) {
  ASSERT_TRUE(receiver.Start({}, {}));
  gpstest::MapPort(3, receiver.SlavePath());
  gpstest::MapPort(4, "/nonexistent/tty");
  tvxtest::ProgramWindows windows(::getpid());
  ASSERT_TRUE(windows.Connected());
  BoxWatch watch;
  for (auto [port, boxes] : {std::pair{3, 1u}, {4, 4u}}) {
    CDlgAdvancedGPS dlg;
    dlg.m_port = port;
    dlg.m_baudIndex = 1;
    // Steps run by a timer, which also runs inside the dialog's and the boxes' own loops.
    bool pressed = false, ended = false;
    wxTimer steps;
    steps.Bind(wxEVT_TIMER, [&, boxes = boxes](wxTimerEvent&) {
      auto* dialog = dynamic_cast<wxTopLevelWindow*>(dlg.GetWxWindow());
      wxWindow* button = dlg.GetDlgItemWindow(1250);  // SBAS on
      if (!dialog || !button || !tvxtest::OnScreen(button) || ended) return;
      // Under a window manager the dialog is placed (and then activated) after it shows.
      if (tvxtest::WindowManagerRuns() && !dialog->IsActive() && !pressed) return;
      if (!pressed) {
        pressed = true;
        const wxRect r = button->GetScreenRect();
        wxUIActionSimulator pointer;
        pointer.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
        pointer.MouseClick();
        return;
      }
      bool boxOpen = false;
      for (const tvxtest::ProgramWindow& w : windows.Shown()) {
        if (w.title == dialog->GetTitle().utf8_string()) continue;
        boxOpen = true;
        windows.Close(w);
      }
      if (!boxOpen && watch.boxes.size() == boxes && !platform::WaitCursorShowing()) {
        ended = true;
        dlg.EndDialog(IDCANCEL);
      }
    });
    steps.Start(50);
    dlg.DoModal();
    steps.Stop();
    ASSERT_TRUE(ended) << port;
  }
  // (The library tries the port once for each of its two protocols.)
  const std::vector<BoxWatch::Box> expected = {{"OK", false},
                                               {"Cannot open serial port", false},
                                               {"Cannot open serial port", false},
                                               {"ERROR", false}};
  EXPECT_EQ(watch.boxes, expected);
  EXPECT_FALSE(wxIsBusy());
}

TEST_F(GpsWindows, WaitDialogWithoutAPortClosesAfterASecondWithoutTouchingTheLibrary) {
  CDlgWaitSIRF wait;
  wait.m_mode = 2;
  wait.m_port = -1;
  wait.m_baudIndex = 1;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(wait.DoModal(), IDOK);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

}  // namespace
