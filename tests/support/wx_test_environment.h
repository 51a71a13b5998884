// A real wxWidgets application for window tests (the test command runs them under Xvfb).
// Include it in one source file of a test program; tests skip when there is no display:
//   if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/ui/gdi_types.h"
#include "platform/ui/wnd.h"
#include "platform/window_messages.h"

namespace tvxtest {

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) return;
    wxApp::SetInstance(new wxApp);
    static int argc = 1;
    static char name[] = "tvx_window_test";
    static char* argv[] = {name, nullptr};
    ready = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    platform::SetUiThread();
    platform::ui::InstallWindowedBackends();
  }
  void TearDown() override {
    if (!ready) return;
    platform::ui::RemoveWindowedBackends();
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  static inline bool ready = false;
};

inline const auto* const g_wxEnvironment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

// Runs queued events until pred holds or five seconds pass.
template <class Pred>
bool PumpUntil(Pred pred) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!pred() && std::chrono::steady_clock::now() < end) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return pred();
}

// Whether the toolkit has w on the screen (mapped and viewable), not only told to show it.
// A top-level window counts once its client area is there too: under a window manager the
// frame can be on the screen a moment before the area that takes the clicks and draws.
inline bool OnScreen(wxWindow* w) {
  using WindowOf = GdkWindow* (*)(GtkWidget*);
  using Viewable = int (*)(GdkWindow*);
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto viewable = reinterpret_cast<Viewable>(dlsym(RTLD_DEFAULT, "gdk_window_is_viewable"));
  if (!w || !windowOf || !viewable) return false;
  GdkWindow* g = w->GTKGetDrawingWindow();
  if (!g && w->IsTopLevel()) return false;
  if (!g && w->GetConnectWidget()) g = windowOf(w->GetConnectWidget());
  return g && viewable(g);
}

// Whether top-level window w has the size it asked for before it was shown, or as much of it as
// the desktop's work area holds. Under a window manager the toolkit can bring a first window
// onto the screen at its smallest size, while it learns the size of the manager's frame
// around it, and give it its size a moment later.
inline bool SizeGiven(wxTopLevelWindow* w, const wxSize& asked) {
  const wxSize area = wxGetClientDisplayRect().GetSize();
  const wxSize now = w->GetSize();
  return now.x >= std::min(asked.x, area.x) && now.y >= std::min(asked.y, area.y);
}

// Whether a window manager runs on the display (it names itself on the root window).
inline bool WindowManagerRuns() {
  using Screen = void* (*)();
  using Name = const char* (*)(void*);
  static auto screen = reinterpret_cast<Screen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
  static auto name =
      reinterpret_cast<Name>(dlsym(RTLD_DEFAULT, "gdk_x11_screen_get_window_manager_name"));
  if (!screen || !name || !screen()) return false;
  const char* wm = name(screen());
  return wm && std::string(wm) != "unknown";
}

// Where the display has the top-level window w, its window manager's frame included (the
// window alone without a window manager): the rectangle a user sees, in screen pixels. Empty
// while the window is not on the screen.
inline wxRect FrameOnScreen(wxWindow* w) {
  using WindowOf = GdkWindow* (*)(GtkWidget*);
  struct Box {
    int x, y, width, height;
  };
  using Extents = void (*)(GdkWindow*, Box*);
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto extents =
      reinterpret_cast<Extents>(dlsym(RTLD_DEFAULT, "gdk_window_get_frame_extents"));
  if (!w || !windowOf || !extents || !OnScreen(w)) return {};
  GdkWindow* g = windowOf(w->GetHandle());
  if (!g) return {};
  Box box{};
  extents(g, &box);
  return {box.x, box.y, box.width, box.height};
}

// Whether w is in the full-screen state wanted, as far as the screen goes: under a window
// manager the state changes when the manager has acted on the request (its late reply to an
// earlier request can still turn the toolkit's record back for a moment); without one the
// request is all there is.
inline bool FullScreenSettled(wxTopLevelWindow* w, bool wanted) {
  if (w->IsFullScreen() != wanted) return false;
  if (!WindowManagerRuns()) return true;
  using WindowOf = GdkWindow* (*)(GtkWidget*);
  using State = int (*)(GdkWindow*);
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto state = reinterpret_cast<State>(dlsym(RTLD_DEFAULT, "gdk_window_get_state"));
  if (!windowOf || !state) return true;
  GdkWindow* g = windowOf(w->GetHandle());
  constexpr int kFullScreen = 1 << 4;  // GDK_WINDOW_STATE_FULLSCREEN
  return g && ((state(g) & kFullScreen) != 0) == wanted;
}

// The colours of a rectangle of the screen as the screen shows it now, row by row (empty when
// the screen cannot be read; parts off the screen are left out).
// Read through the toolkit's own display after a round trip, so that everything drawn before
// has reached the screen (the screen device context keeps the first picture it read of a
// place and shows later changes no more).
inline std::vector<COLORREF> ScreenPixels(const wxRect& rect) {
  using DefaultDisplay = void* (*)();
  using Sync = void (*)(void*);
  using Root = void* (*)();
  using FromWindow = void* (*)(void*, int, int, int, int);
  using IntOf = int (*)(void*);
  using PixelsOf = unsigned char* (*)(void*);
  using Unref = void (*)(void*);
  static auto display = reinterpret_cast<DefaultDisplay>(dlsym(RTLD_DEFAULT, "gdk_display_get_default"));
  static auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "gdk_display_sync"));
  static auto root = reinterpret_cast<Root>(dlsym(RTLD_DEFAULT, "gdk_get_default_root_window"));
  static auto grab = reinterpret_cast<FromWindow>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_from_window"));
  static auto width = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_width"));
  static auto height = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_height"));
  static auto stride = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_rowstride"));
  static auto channels = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_n_channels"));
  static auto pixels = reinterpret_cast<PixelsOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_pixels"));
  static auto unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
  if (!display || !sync || !root || !grab || !width || !height || !stride || !channels || !pixels ||
      !unref || !display() || !root())
    return {};
  const wxRect part = rect.Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize()));
  if (part.IsEmpty()) return {};
  sync(display());
  void* shot = grab(root(), part.x, part.y, part.width, part.height);
  if (!shot) return {};
  const int w = width(shot), h = height(shot), row = stride(shot), n = channels(shot);
  const unsigned char* data = pixels(shot);
  std::vector<COLORREF> colours;
  colours.reserve(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + y * row + x * n;
      colours.push_back(RGB(p[0], p[1], p[2]));
    }
  }
  unref(shot);
  return colours;
}

// How many pixels of a rectangle of the screen, as the screen shows it now, have the colour.
inline int PixelsOnScreen(const wxRect& rect, COLORREF colour) {
  int count = 0;
  for (COLORREF c : ScreenPixels(rect)) count += c == colour;
  return count;
}

// Shows a top-level window and runs the loop until it is on the screen. Under a window
// manager that comes some time after Show(): the manager places the window first (its
// screen position is only final then) and then gives it the focus, which real key presses
// need; without one the window is on the screen at once and nothing activates it.
inline bool ShowOnScreen(wxTopLevelWindow* w) {
  w->Show();
  if (!PumpUntil([w] { return OnScreen(w); })) return false;
  if (!WindowManagerRuns()) return true;
  return PumpUntil([w] { return w->IsActive(); });
}

// Runs answer(dialog) once a top-level window of class D is on the screen (under a window
// manager: placed and given the focus, as ShowOnScreen waits for), for a modal dialog that
// what the test does next opens: answer runs inside the dialog's own event loop and may end
// it as a user does. The condition is looked at each time the loop runs a timer tick; the
// wait ends with the answer.
template <class D, class F>
void AnswerWhenOnScreen(F answer) {
  auto* timer = new wxTimer;
  timer->Bind(wxEVT_TIMER, [timer, answer](wxTimerEvent&) mutable {
    for (wxWindow* top : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<D*>(CWnd::FromWxWindow(top));
      if (!dialog || !OnScreen(top)) continue;
      auto* window = dynamic_cast<wxTopLevelWindow*>(top);
      if (WindowManagerRuns() && !(window && window->IsActive())) continue;
      timer->Stop();
      wxTheApp->CallAfter([timer] { delete timer; });
      // (An answer that runs the loop lets the timer, and this handler, go meanwhile.)
      F run = answer;
      run(*dialog);
      return;
    }
  });
  timer->Start(20);
}

// A window test whose resources (strings, templates, menus) come from the module at
// modulePath; it skips without a display and starts each test with an empty box script.
class ModuleWindowTest : public ::testing::Test {
 protected:
  explicit ModuleWindowTest(const char* modulePath) : modulePath_(modulePath) {}
  void SetUp() override {
    if (!WxEnvironment::ready) GTEST_SKIP() << "needs a display (the test command runs Xvfb)";
    module_ = LoadLibrary(modulePath_);
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
  }
  const char* modulePath_;
  HMODULE module_ = nullptr;
};

}  // namespace tvxtest
