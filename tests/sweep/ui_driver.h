// A user at the program: a script that runs on a thread of its own and acts only through real
// X input (wxUIActionSimulator), while the user-interface thread runs the event loop and every
// loop the input opens (modal dialogs, the toolkit's boxes, file choosers and menus). The script
// reads what the windows show by asking the user-interface thread (Ui) and waits on conditions,
// never for a fixed time, so a dialog that opens a modal loop is driven as plainly as the frame.
//
//   Driver::Run([&](Driver& user) {
//     user.Click(user.Ui([&] { return button->GetScreenRect(); }));
//     user.Require(user.Until([&] { return dialog->IsShown(); }), "the dialog opens");
//   });
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/wx_test_environment.h"

namespace sweep {

using namespace std::chrono_literals;

// The toolkit's calls, looked up at run time (its headers are not installed beside wxWidgets').
namespace gtk {
struct Allocation {
  int x, y, width, height;
};
template <class F>
F Fn(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}
inline bool Mapped(void* widget) {
  static auto mapped = Fn<int (*)(void*)>("gtk_widget_get_mapped");
  return widget && mapped && mapped(widget);
}
// Where a widget is on the screen, in screen pixels (empty while it is not mapped).
inline wxRect OnScreen(void* widget) {
  static auto windowOf = Fn<void* (*)(void*)>("gtk_widget_get_window");
  static auto origin = Fn<int (*)(void*, int*, int*)>("gdk_window_get_origin");
  static auto allocation = Fn<void (*)(void*, Allocation*)>("gtk_widget_get_allocation");
  static auto hasWindow = Fn<int (*)(void*)>("gtk_widget_get_has_window");
  if (!Mapped(widget) || !windowOf || !origin || !allocation || !hasWindow) return {};
  void* window = windowOf(widget);
  if (!window) return {};
  int x = 0, y = 0;
  origin(window, &x, &y);
  Allocation a{};
  allocation(widget, &a);
  // A widget with a window of its own has its origin there; one without is placed in its
  // parent's window.
  if (hasWindow(widget)) return {x, y, a.width, a.height};
  return {x + a.x, y + a.y, a.width, a.height};
}
// The X window of a top-level widget, for what a window manager sends it.
inline unsigned long XWindowOf(void* widget) {
  static auto windowOf = Fn<void* (*)(void*)>("gtk_widget_get_window");
  static auto xid = Fn<unsigned long (*)(void*)>("gdk_x11_window_get_xid");
  void* window = widget && windowOf ? windowOf(widget) : nullptr;
  return window && xid ? xid(window) : 0;
}
// The widget that has the keyboard focus in a top-level widget (null when none has).
inline void* FocusWidget(void* toplevel) {
  static auto focus = Fn<void* (*)(void*)>("gtk_window_get_focus");
  return toplevel && focus ? focus(toplevel) : nullptr;
}
inline bool IsInside(void* widget, void* ancestor) {
  static auto isAncestor = Fn<int (*)(void*, void*)>("gtk_widget_is_ancestor");
  return widget && ancestor && (widget == ancestor || (isAncestor && isAncestor(widget, ancestor)));
}
inline bool BoolProperty(void* object, const char* name) {
  static auto get = Fn<void (*)(void*, const char*, ...)>("g_object_get");
  int value = 0;
  if (object && get) get(object, name, &value, nullptr);
  return value != 0;
}
// The button of a toolkit dialog (a box, a file chooser) that gives response (GTK_RESPONSE_*).
inline void* ResponseButton(void* dialog, int response) {
  static auto widgetFor = Fn<void* (*)(void*, int)>("gtk_dialog_get_widget_for_response");
  return dialog && widgetFor ? widgetFor(dialog, response) : nullptr;
}
constexpr int kResponseAccept = -3, kResponseOk = -5, kResponseCancel = -6, kResponseYes = -8,
              kResponseNo = -9;
inline void* TabLabel(void* notebook, void* page) {
  static auto label = Fn<void* (*)(void*, void*)>("gtk_notebook_get_tab_label");
  return notebook && page && label ? label(notebook, page) : nullptr;
}
}  // namespace gtk

// Ends a script at its first failure (already reported).
struct Stop {};

// The modal dialogs open now, the toolkit's own among them, innermost last.
class ModalDialogs : public wxModalDialogHook {
 public:
  ModalDialogs() { Register(); }
  ~ModalDialogs() override { Unregister(); }
  std::vector<wxDialog*> open;
  int opened = 0;  // ever
  // What each dialog that ended gave back (its return code), the last one last.
  std::vector<std::pair<wxDialog*, int>> ended;

 protected:
  int Enter(wxDialog* dialog) override {
    open.push_back(dialog);
    ++opened;
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    std::erase(open, dialog);
    ended.emplace_back(dialog, dialog->GetReturnCode());
  }
};

// The menus open now (the menu bar's and popups), the last opened last.
class OpenMenus : public wxEventFilter {
 public:
  OpenMenus() { wxEvtHandler::AddFilter(this); }
  ~OpenMenus() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_MENU_OPEN || type == wxEVT_MENU_CLOSE) {
      wxMenu* menu = static_cast<wxMenuEvent&>(event).GetMenu();
      std::erase(open, menu);
      if (type == wxEVT_MENU_OPEN && menu) open.push_back(menu);
    }
    return Event_Skip;
  }
  std::vector<wxMenu*> open;
  bool IsOpen(wxMenu* menu) const { return std::count(open.begin(), open.end(), menu) > 0; }
};

class Driver {
 public:
  // Runs script on its own thread while this thread runs the event loop (and whatever loops
  // the script's input opens) until the script ends. At a failure the script stops and every
  // window it left open is closed.
  static void Run(const std::function<void(Driver&)>& script) {
    Driver user;
    std::atomic<bool> done{false};
    std::thread thread([&] {
      try {
        script(user);
      } catch (const Stop&) {
        user.CloseEverything();
      } catch (const std::exception& e) {
        ADD_FAILURE() << "the script stopped: " << e.what();
        user.CloseEverything();
      }
      done = true;
      wxWakeUpIdle();
    });
    while (!done) {
      wxTheApp->ProcessPendingEvents();
      wxTheApp->Yield(true);
      std::this_thread::sleep_for(2ms);
    }
    thread.join();
  }

  // Runs f on the user-interface thread (inside whichever loop runs there) and hands back
  // its result.
  template <class F>
  auto Ui(F f) -> decltype(f()) {
    using R = decltype(f());
    auto result = std::make_shared<std::promise<R>>();
    std::future<R> future = result->get_future();
    wxTheApp->CallAfter([result, f]() mutable {
      try {
        if constexpr (std::is_void_v<R>) {
          f();
          result->set_value();
        } else {
          result->set_value(f());
        }
      } catch (...) {
        result->set_exception(std::current_exception());
      }
    });
    if (future.wait_for(60s) != std::future_status::ready) {
      ADD_FAILURE() << "the user-interface thread did not answer within a minute";
      std::terminate();  // nothing can be closed any more
    }
    return future.get();
  }

  // Whether pred (run on the user-interface thread) comes to hold within limit.
  bool Until(const std::function<bool()>& pred, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (true) {
      if (Ui(pred)) return true;
      if (std::chrono::steady_clock::now() >= end) return false;
      std::this_thread::sleep_for(3ms);
    }
  }

  // A failure ends the script: what comes after it would only repeat it.
  void Require(bool ok, const std::string& what) {
    if (ok) return;
    if (const char* shot = getenv("SWEEP_SHOT")) {
      Ui([shot] {
        static auto root = gtk::Fn<void* (*)()>("gdk_get_default_root_window");
        static auto grab = gtk::Fn<void* (*)(void*, int, int, int, int)>("gdk_pixbuf_get_from_window");
        static auto save = gtk::Fn<int (*)(void*, const char*, const char*, void*, ...)>("gdk_pixbuf_save");
        const wxSize size = wxGetDisplaySize();
        if (void* pixbuf = grab(root(), 0, 0, size.x, size.y)) save(pixbuf, shot, "png", nullptr, nullptr);
      });
    }
    ADD_FAILURE() << what;
    throw Stop{};
  }
  void RequireUntil(const std::function<bool()>& pred, const std::string& what,
                    std::chrono::milliseconds limit = 10s) {
    Require(Until(pred, limit), what);
  }

  // The input sent so far has reached the program and what it set off has run: a round trip
  // to the display server (by its answer every event the input made is on its way), the
  // toolkit's queue of the display's events emptied, and then what those events queued in turn
  // (the program's posted messages run in the order they were queued).
  void Idle() {
    static auto display = gtk::Fn<void* (*)()>("gdk_display_get_default");
    static auto sync = gtk::Fn<void (*)(void*)>("gdk_display_sync");
    static auto pending = gtk::Fn<int (*)(void*)>("gdk_display_has_pending");
    auto settled = [] {
      return !(pending && display && display() && pending(display()));
    };
    const bool quiet = Ui([&] {
      if (display && sync && display()) sync(display());
      return settled();
    });
    if (!quiet) Until(settled, 5s);
    Ui([] {});
  }
  // Milliseconds since the script began, for reports of slow steps.
  long Elapsed() const {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - began_).count());
  }

  // The pointer onto a screen point.
  void MoveTo(wxPoint at) {
    Ui([at] { wxUIActionSimulator().MouseMove(at); });
    Idle();
  }
  // A click in the middle of a screen rectangle (or at a point): a single click near the last
  // one within the toolkit's double-click time waits that time out first, as between two taps
  // of a user.
  void Click(const wxRect& r) { Click(wxPoint(r.x + r.width / 2, r.y + r.height / 2)); }
  // paired: the click may come as the second of a double click (what it lands on takes both as
  // clicks, as a button's or a tab's arrow does).
  void Click(wxPoint at, bool paired = false) {
    Require(at.x >= 0 && at.y >= 0, "a click on something that is on the screen");
    if (!paired) NotPairedWithTheLastClick(at);
    MoveTo(at);
    Ui([] { wxUIActionSimulator().MouseClick(); });
    last_ = {std::chrono::steady_clock::now(), at, true};
    Idle();
  }
  void DoubleClick(wxPoint at) {
    NotPairedWithTheLastClick(at);
    MoveTo(at);
    Ui([] { wxUIActionSimulator().MouseDblClick(); });
    last_ = {std::chrono::steady_clock::now(), at, true};
    Idle();
  }
  // A key pressed and released, where the keyboard focus is (without a window manager the
  // display gives the keys to the window under the pointer: callers point at it first).
  void Key(int key, int modifiers = wxMOD_NONE) {
    Ui([key, modifiers] { wxUIActionSimulator().Char(key, modifiers); });
    Idle();
  }
  void Type(const std::string& text) {
    if (text.empty()) return;
    Ui([text] { wxUIActionSimulator().Text(text.c_str()); });
    Idle();
  }
  // The pointer onto the window (a top-level window's middle) unless it is there already, so
  // that keys go to it with or without a window manager.
  void PointAt(const wxRect& window) {
    const wxPoint now = Ui([] { return wxGetMousePosition(); });
    if (!window.Contains(now)) MoveTo(wxPoint(window.x + window.width / 2, window.y + window.height / 2));
  }

  // Whether the top-level window is on the screen for the user: shown, and under a window
  // manager placed and active (a click before that can land beside the control aimed at).
  static bool Ready(wxWindow* top) {
    auto* window = dynamic_cast<wxTopLevelWindow*>(top);
    return window && window->IsShown() && tvxtest::OnScreen(window) &&
           (!tvxtest::WindowManagerRuns() || window->IsActive());
  }

  // Whether a popup (a menu, a combo's list) is on the screen; set by the test (it reads the
  // display's windows), otherwise nothing is known.
  std::function<bool()> popupOnScreen;

  ModalDialogs& Modals() { return *modals_; }
  OpenMenus& Menus() { return *menus_; }

  // Closes what a failed script left open, innermost first: menus, then modal dialogs
  // (the toolkit's own too), so that the test's own loop is reached again.
  void CloseEverything() {
    for (int round = 0; round < 20; ++round) {
      const bool any = Ui([this] {
        if (!menus_->open.empty()) {
          wxUIActionSimulator().Char(WXK_ESCAPE);
          return true;
        }
        if (!modals_->open.empty()) {
          wxDialog* innermost = modals_->open.back();
          // The toolkit's own dialogs (a box, a file chooser) end through the toolkit.
          static auto respond = gtk::Fn<void (*)(void*, int)>("gtk_dialog_response");
          if (innermost->IsModal()) innermost->EndModal(wxID_CANCEL);
          else if (respond && innermost->GetHandle()) respond(innermost->GetHandle(), gtk::kResponseCancel);
          return true;
        }
        return false;
      });
      if (!any) return;
      Idle();
    }
  }

 private:
  // Made on the user-interface thread, before the script's thread starts.
  Driver() : modals_(std::make_shared<ModalDialogs>()), menus_(std::make_shared<OpenMenus>()) {}

  void NotPairedWithTheLastClick(wxPoint at) {
    if (!last_.made) return;
    const auto [dx, dy, ms] = Ui([] {
      const int fallbackDistance = 5;  // the toolkit's own default
      int time = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
      return std::tuple{std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_X), fallbackDistance),
                        std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_Y), fallbackDistance),
                        time > 0 ? time : 500};
    });
    if (std::abs(at.x - last_.where.x) > dx || std::abs(at.y - last_.where.y) > dy) return;
    const auto until = last_.at + std::chrono::milliseconds(ms + 20);
    while (std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(10ms);
  }

  struct LastClick {
    std::chrono::steady_clock::time_point at;
    wxPoint where;
    bool made = false;
  } last_;
  std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
  std::shared_ptr<ModalDialogs> modals_;
  std::shared_ptr<OpenMenus> menus_;
};

}  // namespace sweep
