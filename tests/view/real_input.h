// Real X input for the map view's window tests: the pointer moved onto a client pixel and
// clicked, and keys pressed, through wxUIActionSimulator, with the event loop running between
// the steps. Tests using it send input to the display's focus: they run alone (SERIAL).
#pragma once

#include <wx/uiaction.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <chrono>

#include "platform/ui/wnd.h"
#include "tests/support/wx_test_environment.h"

namespace tvxtest {

// Lets the event loop run for ms milliseconds.
inline void PumpFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

// Runs the loop until the input sent so far has reached the program and what it set off has
// run: a round trip to the display server (by its answer the server has handed the program
// every event the input made), then events until none is left. What a window manager does in
// answer (activating a window it was clicked on) comes later: wait for that on its own.
// GDK's calls are looked up at run time: the toolkit's own headers are not installed beside
// wxWidgets' (the program links GTK through wxWidgets alone).
inline void InputHandled() {
  using DefaultDisplay = void* (*)();
  using Sync = void (*)(void*);
  using Pending = int (*)();
  static auto display = reinterpret_cast<DefaultDisplay>(dlsym(RTLD_DEFAULT, "gdk_display_get_default"));
  static auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "gdk_display_sync"));
  static auto pending = reinterpret_cast<Pending>(dlsym(RTLD_DEFAULT, "gtk_events_pending"));
  if (display && sync && display()) sync(display());
  PumpUntil([] { return !(pending && pending()) && !wxTheApp->HasPendingEvents(); });
}

// The pointer onto client pixel (x, y) of window, then a click (or a double click).
inline void RealClick(CWnd& window, int x, int y, bool twice = false) {
  CPoint screen(x, y);
  window.ClientToScreen(&screen);
  wxUIActionSimulator input;
  input.MouseMove(screen.x, screen.y);
  InputHandled();
  if (twice) {
    input.MouseDblClick();
  } else {
    input.MouseClick();
  }
  InputHandled();
}

// A click on the middle of a wx window (a dialog's button).
inline void RealClick(wxWindow& window) {
  const wxRect r = window.GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  InputHandled();
  input.MouseClick();
  InputHandled();
}

// A key pressed and released (a wx key code: WXK_F5, WXK_UP), with the pointer over window's
// top-level window so the display gives that window the keys. The key goes wherever the
// program put the keyboard focus.
inline void RealKey(CWnd& window, int key) {
  wxUIActionSimulator input;
  if (wxWindow* w = window.GetWxWindow()) {
    const wxRect r = wxGetTopLevelParent(w)->GetScreenRect();
    if (!r.Contains(wxGetMousePosition())) {
      input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
      InputHandled();
    }
  }
  input.Char(key);
  InputHandled();
}

}  // namespace tvxtest
