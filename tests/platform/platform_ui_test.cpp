// The windowed platform layer inside a real wxWidgets application (under Xvfb).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/wx_test_environment.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/dialog.h"
#include "platform/ui/frame.h"

namespace {

CWinApp g_app("tvxtest");

using tvxtest::WxEnvironment;

using tvxtest::PumpUntil;

class WindowLayer : public tvxtest::ModuleWindowTest {
 protected:
  WindowLayer() : ModuleWindowTest(TVX_TEST_MODULE) {}
};

class ExchangeDialog : public CDialog {
 public:
  ExchangeDialog() : CDialog(300) {}
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 1279, name);
    DDX_Text(pDX, 1280, count);
    DDX_Text(pDX, 1281, value);
    DDX_Check(pDX, 1282, check);
    DDX_CBIndex(pDX, 1283, combo);
    DDX_Radio(pDX, 1284, radio);
  }
  std::string name = "Parcela";
  int count = 7;
  double value = 2.5;
  int check = 1;
  int combo = 1;
  int radio = 1;
};

void Type(CDialog& dlg, int id, const char* text) {
  static_cast<wxTextCtrl*>(dlg.GetDlgItemWindow(id))->ChangeValue(wxString::FromUTF8(text));
}

void Click(CDialog& dlg, int id) {
  wxWindow* button = dlg.GetDlgItemWindow(id);
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

TEST_F(WindowLayer, DialogFromTemplateExchangesDataAndRefusesBadNumbers) {
  ExchangeDialog dlg;
  std::string shownName, shownCount, shownValue;
  bool stayedOpen = false;
  wxTheApp->CallAfter([&] {
    shownName = dlg.GetDlgItemText(1279);
    shownCount = dlg.GetDlgItemText(1280);
    shownValue = dlg.GetDlgItemText(1281);
    Type(dlg, 1279, "Área 2");
    Type(dlg, 1280, "doce");
    platform::MessageBoxScript::Push(IDOK);
    Click(dlg, 1);  // refused: the dialog stays
    stayedOpen = dlg.GetDialog()->IsModal();
    Type(dlg, 1280, " 12 ");
    Type(dlg, 1281, "-0.125");
    static_cast<wxRadioButton*>(dlg.GetDlgItemWindow(1286))->SetValue(true);
    Click(dlg, 1);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownName, "Parcela");
  EXPECT_EQ(shownCount, "7");
  EXPECT_EQ(shownValue, "2.5");
  EXPECT_TRUE(stayedOpen);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please enter an integer.");
  EXPECT_EQ(dlg.name, "Área 2");
  EXPECT_EQ(dlg.count, 12);
  EXPECT_DOUBLE_EQ(dlg.value, -0.125);
  EXPECT_EQ(dlg.check, 1);
  EXPECT_EQ(dlg.combo, 1);
  EXPECT_EQ(dlg.radio, 2);
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone, the values stay

  ExchangeDialog cancelled;
  wxTheApp->CallAfter([&] {
    Type(cancelled, 1280, "99");
    Click(cancelled, 2);
  });
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.count, 7);
  EXPECT_EQ(CDialog(999).DoModal(), -1);  // no such template
}

UINT WM_TEST_POSTED = RegisterWindowMessage("WM_TEST_POSTED");

class TestDoc : public CDocument {
 public:
  ~TestDoc() override { ++destroyed; }
  void OnRouted() { ++routed; }
  int routed = 0;
  static inline int destroyed = 0;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
  ON_COMMAND(32801, &TestDoc::OnRouted)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
 public:
  int OnCreate() override { return LoadMenuBar(400) ? 0 : -1; }
};

class TestView : public CView {
 public:
  LRESULT OnPosted(WPARAM w, LPARAM) {
    thread = std::this_thread::get_id();
    received += static_cast<int>(w);
    return 0;
  }
  std::thread::id thread;
  std::atomic<int> received{0};
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestView, CView)
  ON_REGISTERED_MESSAGE(WM_TEST_POSTED, &TestView::OnPosted)
END_MESSAGE_MAP()

TEST_F(WindowLayer, TemplateRoutesMenuCommandsPostsAndCloses) {
  auto* docTemplate = MakeSingleDocTemplate<TestDoc, TestFrame, TestView>(128);
  g_app.AddDocTemplate(docTemplate);
  auto* doc = static_cast<TestDoc*>(docTemplate->OpenDocumentFile(""));
  ASSERT_NE(doc, nullptr);
  CFrameWnd* frame = docTemplate->GetFrame();
  auto* view = static_cast<TestView*>(frame->GetActiveView());
  EXPECT_EQ(g_app.m_pMainWnd, frame);

  // Menu command 32801 (beyond wxWidgets' plain id range) reaches the document.
  int wxId = platform::ui::CommandToWxId(32801);
  wxCommandEvent menu(wxEVT_MENU, wxId);
  frame->GetWxWindow()->ProcessWindowEvent(menu);
  EXPECT_EQ(doc->routed, 1);
  wxMenuBar* bar = frame->GetFrame()->GetMenuBar();
  for (auto [command, enabled] : {std::pair{32801u, true}, {32802u, false}}) {
    wxUpdateUIEvent update(platform::ui::CommandToWxId(command));
    update.SetEventObject(bar->GetMenu(0));
    frame->GetWxWindow()->ProcessWindowEvent(update);
    EXPECT_EQ(update.GetEnabled(), enabled) << command;
  }

  // A worker's post arrives on this (the user-interface) thread.
  HWND hwnd = view->GetViewWindow();
  HANDLE worker = CreateThread([hwnd] {
    for (int i = 0; i < 3; ++i) PostMessage(hwnd, WM_TEST_POSTED, 1, 0);
    return DWORD{0};
  });
  EXPECT_TRUE(PumpUntil([&] { return view->received.load() == 3; }));
  EXPECT_EQ(view->thread, std::this_thread::get_id());
  WaitForSingleObject(worker, INFINITE_WAIT);
  CloseHandle(worker);

  // Closing asks about unsaved changes: cancel keeps everything, no closes.
  doc->SetModifiedFlag();
  HWND frameHwnd = frame->m_hWnd;
  platform::MessageBoxScript::Push(IDCANCEL);
  PostMessage(frameHwnd, WM_CLOSE, 0, 0);
  PumpUntil([] { return !platform::MessageBoxScript::TakeShown().empty(); });
  EXPECT_TRUE(IsWindow(frameHwnd));
  platform::MessageBoxScript::Push(IDNO);
  PostMessage(frameHwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(frameHwnd) && TestDoc::destroyed == 1; }));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, WM_TEST_POSTED, 1, 0));
  EXPECT_EQ(g_app.m_pMainWnd, nullptr);
}

}  // namespace
