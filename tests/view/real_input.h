// Real X input for the map view's window tests: the pointer moved onto a client pixel and
// clicked, and keys pressed, through wxUIActionSimulator, with the event loop running between
// the steps. Tests using it send input to the display's focus: they run alone (SERIAL).
#pragma once

#include <wx/uiaction.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <chrono>

#include "platform/ui/wnd.h"
#include "tests/support/wx_test_environment.h"

namespace tvxtest {

// Lets the event loop run for ms milliseconds.
inline void PumpFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

// The pointer onto client pixel (x, y) of window, then a click (or a double click).
inline void RealClick(CWnd& window, int x, int y, bool twice = false) {
  CPoint screen(x, y);
  window.ClientToScreen(&screen);
  wxUIActionSimulator input;
  input.MouseMove(screen.x, screen.y);
  PumpFor(60);
  if (twice) {
    input.MouseDblClick();
  } else {
    input.MouseClick();
  }
  PumpFor(60);
}

// A click on the middle of a wx window (a dialog's button).
inline void RealClick(wxWindow& window) {
  const wxRect r = window.GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  PumpFor(60);
  input.MouseClick();
  PumpFor(60);
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
      PumpFor(60);
    }
  }
  input.Char(key);
  PumpFor(60);
}

}  // namespace tvxtest
