#include "platform/ui/application.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "platform/ui/frame.h"
#include "platform/ui/modal_windows.h"
#include "platform/ui/wx_text.h"
#include "platform/win_app.h"
#include "platform/window_messages.h"

namespace platform::ui {
namespace {

using platform::WaitCursorPause;

std::atomic<bool> g_backendsLive{false};
std::atomic<bool> g_terminateRequested{false};
std::atomic<bool> g_mainWindowShown{false};

int ShowMessageBoxNow(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  // A box is answered with the ordinary pointer, also in the middle of a wait.
  const WaitCursorPause answer;
  long flags = 0;
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: flags = wxOK | wxCANCEL; break;
    case MB_YESNO: flags = wxYES_NO; break;
    case MB_YESNOCANCEL: flags = wxYES_NO | wxCANCEL; break;
    default: flags = wxOK; break;
  }
  switch (style & MB_ICONMASK) {
    case MB_ICONHAND: flags |= wxICON_ERROR; break;
    case MB_ICONQUESTION: flags |= wxICON_QUESTION; break;
    case MB_ICONEXCLAMATION: flags |= wxICON_WARNING; break;
    case MB_ICONASTERISK: flags |= wxICON_INFORMATION; break;
    default: break;
  }
  CWnd* ownerWnd = CWnd::FromHandle(owner);
  wxWindow* parent = ownerWnd ? ownerWnd->GetWxWindow() : nullptr;
  wxMessageDialog dialog(parent, ToWx(text), ToWx(caption), flags);
  switch (dialog.ShowModal()) {
    case wxID_YES: return IDYES;
    case wxID_NO: return IDNO;
    case wxID_CANCEL:
      // A YES/NO box has no cancel: closing it answers no.
      return (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    default: return IDOK;
  }
}

int WindowedMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  if (IsUiThread()) return ShowMessageBoxNow(owner, text, caption, style);
  if (!g_backendsLive.load() || !wxTheApp) {
    return DefaultAnswer(style);
  }
  if ((style & MB_TYPEMASK) == MB_OK) {
    // Nothing to answer: show it when the user-interface thread is free and go on, so a
    // worker never waits on a user-interface thread that is waiting for the worker.
    wxTheApp->CallAfter([=] { ShowMessageBoxNow(owner, text, caption, style); });
    return IDOK;
  }
  auto answer = std::make_shared<std::promise<int>>();
  std::future<int> result = answer->get_future();
  wxTheApp->CallAfter([=] { answer->set_value(ShowMessageBoxNow(owner, text, caption, style)); });
  return result.get();
}

// The platform's filter ("Text|*.txt|All|*.txt,*.shp|") in wxWidgets' form ("Text|*.txt|All|*.txt;*.shp").
wxString WildcardOf(const std::string& filter) {
  std::string out = filter;
  while (!out.empty() && out.back() == '|') out.pop_back();
  for (char& c : out)
    if (c == ',') c = ';';
  return out.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : ToWx(out);
}

std::string WindowedFileDialog(const platform::FileDialogRequest& request) {
  // Only the user-interface thread asks for files; anything else counts as cancelled.
  if (!IsUiThread()) return {};
  wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
  // No toolkit question before a save: it would see the name as typed, not the one written.
  long style = request.open ? (wxFD_OPEN | wxFD_FILE_MUST_EXIST) : wxFD_SAVE;
  wxString title = request.title.empty() ? (request.open ? wxString("Open") : wxString("Save As"))
                                         : ToWx(request.title);
  wxFileDialog dialog(parent, title, wxEmptyString, ToWx(request.initialName), WildcardOf(request.filter), style);
  std::string saved;
  if (!request.open) {
    // The dialog's own OK, before it closes: the name is completed, and the files the save
    // would write over are named in the question; No keeps the dialog for another name.
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent& event) {
          const std::string chosen = FromWx(dialog.GetPath());
          if (chosen.empty()) return;
          const std::string path = platform::SavedName(request, chosen);
          const std::vector<std::string> replaced = platform::FilesReplaced(request, path);
          if (!replaced.empty()) {
            wxMessageDialog question(&dialog, ToWx(platform::ReplaceQuestion(replaced)), title,
                                     wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
            if (question.ShowModal() != wxID_YES) return;
          }
          saved = path;
          event.Skip();  // the dialog ends with OK
        },
        wxID_OK);
  }
  if (dialog.ShowModal() != wxID_OK) return {};
  return request.open ? FromWx(dialog.GetPath()) : saved;
}

void PostThroughEventLoop(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_backendsLive.load() || !wxTheApp) return;
  // The target is looked up again at delivery: a window gone by then gets nothing.
  wxTheApp->CallAfter([=] { DeliverMessage(window, message, wParam, lParam); });
}

LRESULT SendThroughEventLoop(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_backendsLive.load() || !wxTheApp) return 0;
  auto done = std::make_shared<std::promise<LRESULT>>();
  std::future<LRESULT> result = done->get_future();
  wxTheApp->CallAfter([=] {
    LRESULT r = 0;
    DeliverMessage(window, message, wParam, lParam, &r);
    done->set_value(r);
  });
  return result.get();
}

// A failed wxWidgets check is a program fault to log, not a modal box that stops the
// event loop (and any test driving it).
void LogAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
               const wxString& msg) {
  std::fprintf(stderr, "wx check failed: %s:%d %s: %s %s\n", static_cast<const char*>(file.utf8_str()),
               line, static_cast<const char*>(func.utf8_str()), static_cast<const char*>(cond.utf8_str()),
               static_cast<const char*>(msg.utf8_str()));
}

// Only the request is kept here; the event loop turns it into the exit command.
static_assert(std::atomic<bool>::is_always_lock_free);
void OnTerminateSignal(int) { g_terminateRequested.store(true); }

class WinApplication : public wxApp {
 public:
  WinApplication(int argc, char** argv, SingleInstance* instance)
      : argc_(argc), argv_(argv), instance_(instance) {}

  bool OnInit() override {
    // No wxApp::OnInit: the command line belongs to the application object.
    CWinApp* app = AfxGetApp();
    if (!app) {
      std::fprintf(stderr, "%s: no application object\n", argc_ > 0 ? argv_[0] : "program");
      exitCode_ = 1;
      return false;
    }
    SetUiThread();
    wxSetAssertHandler(&LogAssert);
    // Once per process (drawing registers them too when it is first to need them).
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
    InstallWindowedBackends();
    std::vector<std::string> args;
    for (int i = 1; i < argc_; ++i) args.emplace_back(argv_[i]);
    app->SetCommandLine(std::move(args));
    app->InitApplicationName();
    if (!app->InitInstance()) {
      exitCode_ = app->ExitInstance();
      RemoveWindowedBackends();
      return false;
    }
    g_mainWindowShown = app->m_pMainWnd != nullptr;
    if (instance_) {
      instance_->Listen([this] {
        if (!g_mainWindowShown.load()) return false;
        CallAfter([] {
          if (CWinApp* a = AfxGetApp(); a && a->m_pMainWnd) a->m_pMainWnd->SetForegroundWindow();
        });
        return true;
      });
    }
    // A request that came during the start (the handlers are installed before it) is run
    // at the first tick. The timer ticks inside modal loops too: there each modal window is
    // ended first, innermost first, as its user would, and the exit command runs once the
    // loop is back at the top level (it destroys the windows a modal loop runs on).
    signalTimer_.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
      if (!g_terminateRequested.load()) return;
      if (AnyModalWindowOpen()) {
        EndInnermostModalWindow();
        return;
      }
      if (!g_terminateRequested.exchange(false)) return;
      CWinApp* a = AfxGetApp();
      if (a && a->m_hMainWnd) {
        ::SendMessage(a->m_hMainWnd, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
      } else if (wxTheApp) {
        wxTheApp->ExitMainLoop();
      }
    });
    signalTimer_.Start(100);
    return true;
  }

  int OnExit() override {
    signalTimer_.Stop();
    g_mainWindowShown = false;
    if (instance_) instance_->StopListening();
    if (CWinApp* app = AfxGetApp()) exitCode_ = app->ExitInstance();
    RemoveWindowedBackends();
    return wxApp::OnExit();
  }

  int ExitCode() const { return exitCode_; }

 private:
  int argc_;
  char** argv_;
  SingleInstance* instance_;
  wxTimer signalTimer_;
  int exitCode_ = 0;
};

}  // namespace

void InstallWindowedBackends() {
  g_backendsLive = true;
  SetMessageBoxBackend(&WindowedMessageBox);
  platform::SetFileDialogBackend(&WindowedFileDialog);
  SetMessageBackend({&PostThroughEventLoop, &SendThroughEventLoop});
  platform::SetWaitCursorBackend({[] { wxBeginBusyCursor(); }, [] { wxEndBusyCursor(); }});
  WatchModalDialogs(true);
}

void RemoveWindowedBackends() {
  g_backendsLive = false;
  SetMessageBoxBackend({});
  platform::SetFileDialogBackend({});
  platform::SetWaitCursorBackend({});
  WatchModalDialogs(false);
  // Posts that arrive after the loop has ended are dropped rather than queued forever.
  SetMessageBackend({[](HWND, UINT, WPARAM, LPARAM) {}, [](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; }});
}

void RequestProgramEnd() { g_terminateRequested.store(true); }

void InstallTerminationHandlers() {
  struct sigaction action {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // waits and reads under way go on
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  // A parent that started the program with them blocked does not take them from it.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

int RunApplication(int argc, char** argv, SingleInstance* instance) {
  InstallTerminationHandlers();
  auto* app = new WinApplication(argc, argv, instance);
  wxApp::SetInstance(app);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "tolvanixpda: cannot open the display\n");
    return 1;
  }
  if (app->CallOnInit()) {
    app->OnRun();
    app->OnExit();
  }
  int exitCode = app->ExitCode();
  wxEntryCleanup();  // deletes the wx application object
  return exitCode;
}

}  // namespace platform::ui
