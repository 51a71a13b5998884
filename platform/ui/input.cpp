#include "platform/ui/input.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/window.h>
#include <wx/weakref.h>

#include <dlfcn.h>

#include <chrono>
#include <map>

#include "platform/ui/gdi_internal.h"
#include "platform/ui/gdi_raster.h"
#include "platform/ui/window_place.h"

using platform::ui::WindowSurface;

namespace {

// The state of the keys and buttons at the message being delivered.
struct KeyState {
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool left = false;
  bool right = false;
};
KeyState g_keys;

CWnd* g_capture = nullptr;
HCURSOR g_cursor = nullptr;
wxWindow* g_pointerWindow = nullptr;

std::uint64_t NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The one stylus: its tap-and-hold gesture, the window it went down on, and whether the
// rest of the press is swallowed because the gesture fired.
struct Stylus {
  platform::ui::TapHoldDetector detector{kTapAndHoldMilliseconds, kTapAndHoldSlop};
  HWND window = nullptr;
  bool swallow = false;
  std::unique_ptr<wxTimer> timer;
};
Stylus& TheStylus() {
  static Stylus stylus;
  return stylus;
}

UINT ModifierFlags() {
  UINT flags = 0;
  if (g_keys.left) flags |= MK_LBUTTON;
  if (g_keys.right) flags |= MK_RBUTTON;
  if (g_keys.shift) flags |= MK_SHIFT;
  if (g_keys.control) flags |= MK_CONTROL;
  return flags;
}

bool TapAndHoldOn(CWnd* window) {
  auto* custom = dynamic_cast<CCustomWnd*>(window);
  return custom && custom->IsTapAndHoldEnabled();
}

}  // namespace

// Friend access to CWnd's message bookkeeping.
struct WndInputAccess {
  static LRESULT Deliver(CWnd* window, UINT message, WPARAM w, LPARAM l, bool* defaulted) {
    LRESULT result = window->WindowProc(message, w, l);
    if (defaulted) *defaulted = window->lastDefaulted_;
    return result;
  }
};

struct CustomWndAccess {
  static void SetTrackPos(CCustomWnd* w, int bar, int pos) { w->scroll_[bar == SB_HORZ ? 0 : 1].nTrackPos = pos; }
};

namespace platform::ui {
namespace {

bool g_notifyTaken = false;

// Walks window's map for entries of message that answer something other than
// kNotifyNotMine; false when none did.
bool WalkNotify(CWnd* window, UINT message, LPARAM lParam, LRESULT* result) {
  for (const MessageMap* map = window->GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
    for (const MessageMapEntry& entry : map->entries) {
      if (!entry.MatchesMessage(message)) continue;
      LRESULT r = entry.handler(window, 0, nullptr, 0, lParam);
      if (r != kNotifyNotMine) {
        *result = r;
        g_notifyTaken = true;
        return true;
      }
    }
  }
  return false;
}

constexpr UINT kReflectedNotify = 0x204E;

void FireHold(CWnd* window, CPoint client) {
  Stylus& stylus = TheStylus();
  stylus.swallow = true;
  if (g_capture == window) ReleaseCapture();
  CPoint screen = client;
  window->ClientToScreen(&screen);
  NMRGINFO info;
  info.hdr.hwndFrom = window->m_hWnd;
  info.hdr.idFrom = static_cast<UINT_PTR>(window->GetDlgCtrlID());
  info.hdr.code = GN_CONTEXTMENU;
  info.ptAction = screen;
  HWND self = window->m_hWnd;
  g_notifyTaken = false;
  if (CWnd* parent = window->GetParent()) {
    parent->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
  } else {
    window->SendMessage(kReflectedNotify, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
  }
  if (IsWindow(self) && !g_notifyTaken) {
    ::SendMessage(self, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(self),
                  MAKELPARAM(screen.x, screen.y));
  }
}

void CheckHold(std::uint64_t now) {
  Stylus& stylus = TheStylus();
  if (!stylus.detector.Tick(now)) return;
  if (stylus.timer) stylus.timer->Stop();
  CWnd* window = CWnd::FromHandle(stylus.window);
  if (!window) return;
  CPoint p(stylus.detector.DownPoint());
  FireHold(window, p);
}

void StartHold(CWnd* window, CPoint point) {
  Stylus& stylus = TheStylus();
  stylus.window = window->m_hWnd;
  stylus.swallow = false;
  stylus.detector.Down(point, NowMs());
  if (!wxTheApp) return;
  if (!stylus.timer) {
    struct HoldTimer : wxTimer {
      void Notify() override { CheckHold(NowMs()); }
    };
    stylus.timer = std::make_unique<HoldTimer>();
  }
  stylus.timer->StartOnce(static_cast<int>(kTapAndHoldMilliseconds) + 10);
}

void StopHold() {
  Stylus& stylus = TheStylus();
  stylus.detector.Up();
  if (stylus.timer) stylus.timer->Stop();
}

// One mouse action in client pixels of window (the capture already applied).
void DeliverMouse(CWnd* window, MouseAction action, CPoint point) {
  Stylus& stylus = TheStylus();
  LPARAM at = MAKELPARAM(point.x, point.y);
  switch (action) {
    case MouseAction::Move:
      if (stylus.swallow && g_keys.left) return;
      if (stylus.detector.Armed() && stylus.window == window->m_hWnd) {
        CPoint down(stylus.detector.DownPoint());
        (void)down;
        stylus.detector.Move(point);
      }
      window->WindowProc(WM_MOUSEMOVE, ModifierFlags(), at);
      return;
    case MouseAction::LeftDown:
    case MouseAction::LeftDoubleClick:
      window->WindowProc(action == MouseAction::LeftDown ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK,
                         ModifierFlags(), at);
      if (TapAndHoldOn(window) && IsWindow(window->m_hWnd)) StartHold(window, point);
      return;
    case MouseAction::LeftUp: {
      bool swallowed = stylus.swallow;
      StopHold();
      stylus.swallow = false;
      if (swallowed) return;
      window->WindowProc(WM_LBUTTONUP, ModifierFlags(), at);
      return;
    }
    case MouseAction::RightDown: {
      HWND self = window->m_hWnd;
      window->WindowProc(WM_RBUTTONDOWN, ModifierFlags(), at);
      // The desktop's context-menu click stands for the held stylus.
      if (IsWindow(self) && TapAndHoldOn(window)) {
        FireHold(window, point);
        stylus.swallow = false;
      }
      return;
    }
    case MouseAction::RightUp:
      window->WindowProc(WM_RBUTTONUP, ModifierFlags(), at);
      return;
  }
}

// The window a mouse action at point of window goes to (the capture first), with the
// point in its client pixels.
CWnd* MouseTarget(CWnd* window, CPoint* point) {
  if (g_capture && g_capture != window && g_capture->GetWxWindow() && window->GetWxWindow()) {
    CPoint screen = *point;
    window->ClientToScreen(&screen);
    g_capture->ScreenToClient(&screen);
    *point = screen;
    return g_capture;
  }
  return window;
}

bool InDialog(wxWindow* window) {
  return dynamic_cast<wxDialog*>(wxGetTopLevelParent(window)) != nullptr;
}

// Whether a control inside a dialog asks for the key (WM_GETDLGCODE), as the dialog
// manager decides before it uses Tab, arrows, Enter and Escape itself.
bool WantsKey(CWnd* window, UINT key) {
  if (!window->GetWxWindow() || !InDialog(window->GetWxWindow())) return true;
  UINT code = static_cast<UINT>(window->WindowProc(WM_GETDLGCODE, key, 0));
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB: return code & DLGC_WANTTAB;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return code & DLGC_WANTARROWS;
    case VK_RETURN:
    case VK_ESCAPE: return false;
    default: return true;
  }
}

// Key down then the typed character (when it types one); returns whether wx should go on
// with its own handling.
bool DeliverKey(CWnd* window, UINT key, bool down, int character) {
  if (!WantsKey(window, key)) return true;
  bool defaulted = false;
  if (down) {
    WndInputAccess::Deliver(window, WM_KEYDOWN, key, 1, &defaulted);
    if (character > 0 && IsWindow(window->m_hWnd)) {
      bool charDefault = false;
      WndInputAccess::Deliver(window, WM_CHAR, static_cast<WPARAM>(character), 1, &charDefault);
      defaulted = defaulted && charDefault;
    }
  } else {
    WndInputAccess::Deliver(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u), &defaulted);
  }
  return defaulted;
}

void UpdateKeys(const wxKeyboardState& state) {
  g_keys.shift = state.ShiftDown();
  g_keys.control = state.ControlDown();
  g_keys.alt = state.AltDown();
}

UINT ScrollCode(wxEventType type) {
  if (type == wxEVT_SCROLLWIN_TOP) return SB_TOP;
  if (type == wxEVT_SCROLLWIN_BOTTOM) return SB_BOTTOM;
  if (type == wxEVT_SCROLLWIN_LINEUP) return SB_LINEUP;
  if (type == wxEVT_SCROLLWIN_LINEDOWN) return SB_LINEDOWN;
  if (type == wxEVT_SCROLLWIN_PAGEUP) return SB_PAGEUP;
  if (type == wxEVT_SCROLLWIN_PAGEDOWN) return SB_PAGEDOWN;
  if (type == wxEVT_SCROLLWIN_THUMBTRACK) return SB_THUMBTRACK;
  return SB_THUMBPOSITION;
}

std::map<wxWindow*, WindowSurface>& Surfaces() {
  static std::map<wxWindow*, WindowSurface> surfaces;
  return surfaces;
}

}  // namespace

void NoteKeyboardState(const wxKeyboardState& state) { UpdateKeys(state); }

UINT KeyFromWx(int code) {
  if (code >= 'a' && code <= 'z') return static_cast<UINT>(code - 'a' + 'A');
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || code == ' ')
    return static_cast<UINT>(code);
  switch (code) {
    case WXK_BACK: return VK_BACK;
    case WXK_TAB: return VK_TAB;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: return VK_PRIOR;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: return VK_NEXT;
    case WXK_END:
    case WXK_NUMPAD_END: return VK_END;
    case WXK_HOME:
    case WXK_NUMPAD_HOME: return VK_HOME;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT: return VK_LEFT;
    case WXK_UP:
    case WXK_NUMPAD_UP: return VK_UP;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT: return VK_RIGHT;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return VK_DOWN;
    case WXK_INSERT: return VK_INSERT;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: return VK_DELETE;
    case WXK_F5: return VK_APP1;
    case WXK_F6: return VK_APP2;
    case WXK_F7: return VK_APP3;
    case WXK_F8: return VK_APP4;
    default:
      if (code >= WXK_F1 && code <= WXK_F12) return VK_F1 + static_cast<UINT>(code - WXK_F1);
      return 0;
  }
}

WindowSurface* FindSurface(wxWindow* window) {
  auto it = Surfaces().find(window);
  return it == Surfaces().end() ? nullptr : &it->second;
}

WindowSurface& EnsureSurface(wxWindow* window) {
  auto [it, created] = Surfaces().try_emplace(window);
  WindowSurface& s = it->second;
  if (created) {
    window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& event) {
      event.Skip();
      if (event.GetEventObject() == window) Surfaces().erase(window);
    });
  }
  wxSize size = window->GetClientSize();
  size.x = std::max(size.x, 1);
  size.y = std::max(size.y, 1);
  if (!s.backing || s.backing->Width() != size.x || s.backing->Height() != size.y) {
    auto fresh = MakeBitmapData(size.x, size.y, false);
    wxImage& img = fresh->Pixels();
    img.SetRGB(wxRect(0, 0, size.x, size.y), 255, 255, 255);
    if (s.backing) {
      wxImage& old = s.backing->Pixels();
      img.Paste(old, 0, 0);
    }
    fresh->imageDirty = true;
    s.backing = fresh;
    s.invalid = wxRegion(0, 0, size.x, size.y);
    s.erase = true;
  }
  return s;
}

void PresentSurface(wxWindow* window, const wxRect& rect) {
  WindowSurface* s = FindSurface(window);
  if (!s || s->inPaint) return;
  window->RefreshRect(rect, false);
}

void PaintSurface(CWnd* owner, wxWindow* window) {
  wxPaintDC pdc(window);
  WindowSurface& s = EnsureSurface(window);
  if (!s.invalid.IsEmpty() && owner) {
    s.inPaint = true;
    HWND self = owner->m_hWnd;
    if (s.erase) {
      CClientDC dc(owner);
      wxRect box = s.invalid.GetBox();
      dc.IntersectClipRect(box.x, box.y, box.GetRight() + 1, box.GetBottom() + 1);
      bool defaulted = false;
      LRESULT erased = WndInputAccess::Deliver(owner, WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0, &defaulted);
      if (defaulted || !erased) {
        CRect all(box.x, box.y, box.GetRight() + 1, box.GetBottom() + 1);
        dc.FillSolidRect(&all, FromWxColour(window->GetBackgroundColour()));
      }
      s.erase = false;
    }
    if (IsWindow(self)) owner->WindowProc(WM_PAINT, 0, 0);
    if (WindowSurface* after = FindSurface(window)) {
      after->invalid.Clear();
      after->inPaint = false;
    }
  }
  WindowSurface* now = FindSurface(window);
  if (!now) return;
  pdc.DrawBitmap(now->backing->Bitmap(), 0, 0);
  if (now->overlay) pdc.DrawBitmap(*now->overlay, now->overlayAt, true);
}

void RouteContextGestures(CWnd* owner, wxWindow* window) {
  if (!owner || !window) return;
  HWND hwnd = owner->m_hWnd;
  auto contextMenu = [hwnd](wxWindow* from, wxPoint screen) {
    CWnd* target = CWnd::FromHandle(hwnd);
    if (!target) return;
    if (screen == wxDefaultPosition) {
      const wxSize size = from->GetClientSize();
      screen = from->ClientToScreen(wxPoint(size.x / 2, size.y / 2));
    }
    ::SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                  MAKELPARAM(screen.x, screen.y));
  };
  window->Bind(wxEVT_CONTEXT_MENU, [window, contextMenu](wxContextMenuEvent& event) {
    contextMenu(window, event.GetPosition());
  });
  window->EnableTouchEvents(wxTOUCH_PRESS_GESTURES);
  window->Bind(wxEVT_LONG_PRESS, [window, contextMenu](wxLongPressEvent& event) {
    contextMenu(window, window->ClientToScreen(event.GetPosition()));
  });
}

void RouteInput(CWnd* owner, wxWindow* window, bool takePainting) {
  if (!owner || !window) return;
  HWND hwnd = owner->m_hWnd;
  auto alive = [hwnd] { return CWnd::FromHandle(hwnd); };
  auto mouse = [alive, window](MouseAction action) {
    return [alive, window, action](wxMouseEvent& event) {
      event.Skip();
      CWnd* target = alive();
      if (!target) return;
      UpdateKeys(event);
      g_keys.left = event.LeftIsDown();
      g_keys.right = event.RightIsDown();
      if (action == MouseAction::LeftDown || action == MouseAction::LeftDoubleClick) g_keys.left = true;
      if (action == MouseAction::LeftUp) g_keys.left = false;
      g_pointerWindow = window;
      if (action == MouseAction::LeftDown && window->AcceptsFocus()) window->SetFocus();
      CPoint point(event.GetX(), event.GetY());
      DeliverMouse(target, action, point);
    };
  };
  window->Bind(wxEVT_LEFT_DOWN, mouse(MouseAction::LeftDown));
  window->Bind(wxEVT_LEFT_UP, mouse(MouseAction::LeftUp));
  window->Bind(wxEVT_LEFT_DCLICK, mouse(MouseAction::LeftDoubleClick));
  window->Bind(wxEVT_RIGHT_DOWN, mouse(MouseAction::RightDown));
  window->Bind(wxEVT_RIGHT_UP, mouse(MouseAction::RightUp));
  window->Bind(wxEVT_MOTION, mouse(MouseAction::Move));
  window->Bind(wxEVT_MOUSE_CAPTURE_LOST, [alive](wxMouseCaptureLostEvent&) {
    CWnd* target = alive();
    if (target && g_capture == target) {
      g_capture = nullptr;
      target->WindowProc(WM_CAPTURECHANGED, 0, 0);
    }
  });
  window->Bind(wxEVT_KEY_DOWN, [alive, window](wxKeyEvent& event) {
    CWnd* target = alive();
    if (!target) return event.Skip();
    UpdateKeys(event);
    UINT key = KeyFromWx(event.GetKeyCode());
    if (!key) return event.Skip();
    if (!WantsKey(target, key)) return event.Skip();
    bool defaulted = false;
    WndInputAccess::Deliver(target, WM_KEYDOWN, key, 1, &defaulted);
    // The character follows as WM_CHAR (wx makes it from the skipped key-down), except
    // for Tab handled by the window, which would otherwise move the focus as well. Only a
    // dialog moves the focus on Tab: in a frame (the map view) an unhandled Tab moves nothing.
    if (key != VK_TAB || (defaulted && InDialog(window))) event.Skip();
  });
  window->Bind(wxEVT_CHAR, [alive](wxKeyEvent& event) {
    CWnd* target = alive();
    if (!target) return event.Skip();
    UpdateKeys(event);
    int ch = static_cast<int>(event.GetUnicodeKey());
    if (ch == WXK_NONE) {
      int code = event.GetKeyCode();
      if (code == WXK_BACK || code == WXK_TAB || code == WXK_RETURN || code == WXK_ESCAPE) ch = code;
      else return event.Skip();
    }
    if (event.ControlDown() && ch >= 'a' && ch <= 'z') ch = ch - 'a' + 1;  // control characters
    else if (event.ControlDown() && ch >= 'A' && ch <= 'Z') ch = ch - 'A' + 1;
    bool defaulted = false;
    WndInputAccess::Deliver(target, WM_CHAR, static_cast<WPARAM>(ch), 1, &defaulted);
    if (defaulted) event.Skip();
  });
  window->Bind(wxEVT_KEY_UP, [alive](wxKeyEvent& event) {
    event.Skip();
    CWnd* target = alive();
    if (!target) return;
    UpdateKeys(event);
    UINT key = KeyFromWx(event.GetKeyCode());
    if (key) target->WindowProc(WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  });
  window->Bind(wxEVT_SET_FOCUS, [alive](wxFocusEvent& event) {
    event.Skip();
    if (CWnd* target = alive()) {
      CWnd* old = event.GetWindow() ? CWnd::FromWxWindow(event.GetWindow()) : nullptr;
      target->WindowProc(WM_SETFOCUS, reinterpret_cast<WPARAM>(old ? old->m_hWnd : nullptr), 0);
    }
  });
  window->Bind(wxEVT_KILL_FOCUS, [alive](wxFocusEvent& event) {
    event.Skip();
    if (CWnd* target = alive()) {
      CWnd* next = event.GetWindow() ? CWnd::FromWxWindow(event.GetWindow()) : nullptr;
      target->WindowProc(WM_KILLFOCUS, reinterpret_cast<WPARAM>(next ? next->m_hWnd : nullptr), 0);
    }
  });
  window->Bind(wxEVT_SIZE, [alive, window, takePainting](wxSizeEvent& event) {
    event.Skip();
    CWnd* target = alive();
    if (!target) return;
    wxSize size = window->GetClientSize();
    if (takePainting) {
      EnsureSurface(window);
      target->InvalidateRect(nullptr, TRUE);
    }
    target->WindowProc(WM_SIZE, 0, MAKELPARAM(size.x, size.y));
  });
  auto scroll = [alive](int bar) {
    return [alive, bar](wxScrollWinEvent& event) {
      CWnd* target = alive();
      if (!target) return;
      UINT code = ScrollCode(event.GetEventType());
      int position = event.GetPosition();
      if (auto* custom = dynamic_cast<CCustomWnd*>(target)) {
        SCROLLINFO info;
        custom->GetScrollInfo(bar, &info);
        position += info.nMin;
        if (code == SB_THUMBTRACK) {
          CustomWndAccess::SetTrackPos(custom, bar, position);
        }
      }
      UINT message = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
      target->WindowProc(message, MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)), 0);
      if (code == SB_THUMBPOSITION && CWnd::FromHandle(target->m_hWnd))
        target->WindowProc(message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    };
  };
  for (auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
                    wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
                    wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE}) {
    window->Bind(type, [scroll](wxScrollWinEvent& event) {
      scroll(event.GetOrientation() == wxHORIZONTAL ? SB_HORZ : SB_VERT)(event);
    });
  }
  if (takePainting) {
    window->SetBackgroundStyle(wxBG_STYLE_PAINT);
    EnsureSurface(window);
    window->Bind(wxEVT_PAINT, [alive, window](wxPaintEvent&) { PaintSurface(alive(), window); });
  }
}

void SimulateMouse(CWnd* window, MouseAction action, CPoint point, UINT modifiers) {
  if (!window) return;
  g_keys.shift = modifiers & MK_SHIFT;
  g_keys.control = modifiers & MK_CONTROL;
  if (action == MouseAction::LeftDown || action == MouseAction::LeftDoubleClick) g_keys.left = true;
  if (action == MouseAction::LeftUp) g_keys.left = false;
  if (action == MouseAction::RightDown) g_keys.right = true;
  if (action == MouseAction::RightUp) g_keys.right = false;
  CWnd* target = MouseTarget(window, &point);
  DeliverMouse(target, action, point);
}

void SimulateKey(CWnd* window, UINT key, UINT modifiers) {
  if (!window) return;
  g_keys.shift = modifiers & MK_SHIFT;
  g_keys.control = modifiers & MK_CONTROL;
  int ch = 0;
  if (key >= 'A' && key <= 'Z') ch = g_keys.control ? static_cast<int>(key - 'A' + 1)
                                  : g_keys.shift  ? static_cast<int>(key)
                                                  : static_cast<int>(key - 'A' + 'a');
  else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_BACK || key == VK_TAB ||
           key == VK_RETURN || key == VK_ESCAPE)
    ch = static_cast<int>(key);
  HWND self = window->m_hWnd;
  DeliverKey(window, key, true, ch);
  if (IsWindow(self)) DeliverKey(window, key, false, 0);
  g_keys.shift = g_keys.control = false;
}

void SimulateHoldElapsed() { CheckHold(NowMs() + kTapAndHoldMilliseconds + 1); }

}  // namespace platform::ui

using platform::ui::FindSurface;

// ---------------------------------------------------------------------------------------
// Key state, capture, focus, cursors

short GetKeyState(int key) {
  bool down = false;
  switch (key) {
    case VK_SHIFT: down = g_keys.shift; break;
    case VK_CONTROL: down = g_keys.control; break;
    case VK_MENU: down = g_keys.alt; break;
    case VK_LBUTTON: down = g_keys.left; break;
    case VK_RBUTTON: down = g_keys.right; break;
    default: break;
  }
  return down ? static_cast<short>(0x8000) : 0;
}

short GetAsyncKeyState(int key) { return GetKeyState(key); }

CWnd* GetCapture() { return g_capture; }

BOOL ReleaseCapture() {
  CWnd* old = g_capture;
  if (!old) return TRUE;
  g_capture = nullptr;
  if (wxWindow* w = old->GetWxWindow(); w && w->HasCapture()) w->ReleaseMouse();
  old->WindowProc(WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

CWnd* GetFocus() {
  wxWindow* focus = wxWindow::FindFocus();
  for (wxWindow* w = focus; w; w = w->GetParent()) {
    if (CWnd* wnd = CWnd::FromWxWindow(w)) return wnd;
  }
  return nullptr;
}

struct tvx_cursor_ {
  wxStockCursor stock;
};

HCURSOR LoadCursor(HINSTANCE module, UINT id) {
  if (module) return nullptr;
  static std::map<UINT, tvx_cursor_> cursors = {
      {IDC_ARROW, {wxCURSOR_ARROW}},     {IDC_IBEAM, {wxCURSOR_IBEAM}},
      {IDC_WAIT, {wxCURSOR_WAIT}},       {IDC_CROSS, {wxCURSOR_CROSS}},
      {IDC_SIZEWE, {wxCURSOR_SIZEWE}},   {IDC_SIZENS, {wxCURSOR_SIZENS}},
      {IDC_SIZEALL, {wxCURSOR_SIZING}},  {IDC_HAND, {wxCURSOR_HAND}}};
  auto it = cursors.find(id);
  return it == cursors.end() ? nullptr : &it->second;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_cursor;
  g_cursor = cursor;
  wxWindow* w = g_capture && g_capture->GetWxWindow() ? g_capture->GetWxWindow() : g_pointerWindow;
  if (w && wxTheApp) w->SetCursor(cursor ? wxCursor(cursor->stock) : wxNullCursor);
  return old;
}

BOOL ClipCursor(const RECT*) { return TRUE; }

BOOL GetCursorPos(POINT* point) {
  if (!point || !wxTheApp) return FALSE;
  wxPoint p = wxGetMousePosition();
  point->x = p.x;
  point->y = p.y;
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// CWnd: messages, capture, coordinates, painting

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CurrentMessage saved = current_;
  current_ = CurrentMessage{message, wParam, lParam, false};
  LRESULT result = 0;
  if (message == WM_NOTIFY || message == platform::ui::kReflectedNotify) {
    if (!platform::ui::WalkNotify(this, message, lParam, &result)) {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      CWnd* child = message == WM_NOTIFY && hdr ? CWnd::FromHandle(hdr->hwndFrom) : nullptr;
      if (child && child != this) result = child->SendMessage(platform::ui::kReflectedNotify, wParam, lParam);
      else result = DefWindowProc(message, wParam, lParam);
    }
  } else {
    result = CCmdTarget::WindowProc(message, wParam, lParam);
  }
  lastDefaulted_ = current_.defaultReached;
  current_ = saved;
  return result;
}

LRESULT CWnd::Default() {
  return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnImeChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSettingChange(UINT, const char*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }

namespace {

// Whether the toolkit can grab the pointer for w: only a window that is on the screen can
// have it. Under a window manager a new top-level window (a popup) reaches the screen some
// time after it is shown, once the manager has placed it.
bool OnScreen(wxWindow* w) {
  using WindowOf = GdkWindow* (*)(GtkWidget*);
  using Viewable = int (*)(GdkWindow*);
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto viewable = reinterpret_cast<Viewable>(dlsym(RTLD_DEFAULT, "gdk_window_is_viewable"));
  if (!windowOf || !viewable) return true;
  GdkWindow* g = w->GTKGetDrawingWindow();
  if (!g && w->GetConnectWidget()) g = windowOf(w->GetConnectWidget());
  return g && viewable(g);
}

// Grabs the pointer for the capture window as soon as it is on the screen (at once if it
// is); gives up when the capture has moved on, the window went, or it never showed.
void GrabWhenOnScreen(HWND hwnd, int triesLeft) {
  CWnd* wnd = CWnd::FromHandle(hwnd);
  if (!wnd || g_capture != wnd || !wxTheApp) return;
  wxWindow* w = wnd->GetWxWindow();
  if (!w || w->HasCapture()) return;
  if (OnScreen(w)) {
    w->CaptureMouse();
    return;
  }
  if (triesLeft <= 0) return;
  auto* timer = new wxTimer;
  timer->Bind(wxEVT_TIMER, [timer, hwnd, triesLeft](wxTimerEvent&) {
    timer->Stop();
    wxTheApp->CallAfter([timer] { delete timer; });
    GrabWhenOnScreen(hwnd, triesLeft - 1);
  });
  timer->StartOnce(10);
}

}  // namespace

CWnd* CWnd::SetCapture() {
  CWnd* old = g_capture;
  if (old == this) return old;
  if (old) ReleaseCapture();
  g_capture = this;
  // Messages follow the capture at once; the toolkit's grab waits for the window to be on
  // the screen (a grab asked for earlier fails).
  if (m_wnd && wxTheApp) GrabWhenOnScreen(m_hWnd, 300);
  return old;
}

void CWnd::ClientToScreen(POINT* point) const {
  if (!point || !m_wnd) return;
  wxPoint p = m_wnd->ClientToScreen(wxPoint(point->x, point->y));
  point->x = p.x;
  point->y = p.y;
}

void CWnd::ClientToScreen(RECT* rect) const {
  if (!rect) return;
  POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
  ClientToScreen(&a);
  ClientToScreen(&b);
  *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(POINT* point) const {
  if (!point || !m_wnd) return;
  wxPoint p = m_wnd->ScreenToClient(wxPoint(point->x, point->y));
  point->x = p.x;
  point->y = p.y;
}

void CWnd::ScreenToClient(RECT* rect) const {
  if (!rect) return;
  POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
  ScreenToClient(&a);
  ScreenToClient(&b);
  *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::GetWindowRect(RECT* rect) const {
  if (!rect) return;
  *rect = RECT{};
  if (!m_wnd) return;
  wxRect r = m_wnd->GetScreenRect();
  *rect = RECT{r.x, r.y, r.x + r.width, r.y + r.height};
}

namespace {

// Gives the display the place of a top-level window that is not on the screen yet, as a place
// the program asked for. wx alone does not: it counts such a window as standing at (0, 0)
// already, so a move there asks nothing of the toolkit, which then centres a dialog on its
// parent when it is shown, and a window manager places a frame where it likes.
void PlaceBeforeShown(wxWindow* w) {
  using MoveFn = void (*)(GtkWidget*, int, int);
  static auto move = reinterpret_cast<MoveFn>(dlsym(RTLD_DEFAULT, "gtk_window_move"));
  if (!move || !w->IsTopLevel() || w->IsShown() || !w->GetHandle()) return;
  // The program's place stands: it is not replaced by the one over the owner.
  platform::ui::NoteProgramPlaced(w);
  const wxPoint at = w->GetPosition();
  move(w->GetHandle(), at.x, at.y);
}

}  // namespace

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  if (!m_wnd) return;
  m_wnd->SetSize(x, y, width, height);
  PlaceBeforeShown(m_wnd);
  if (repaint) InvalidateRect(nullptr, TRUE);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
  if (!m_wnd) return;
  WindowSurface* s = FindSurface(m_wnd);
  if (!s) {
    if (rect) m_wnd->RefreshRect(wxRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), erase != FALSE);
    else m_wnd->Refresh(erase != FALSE);
    return;
  }
  wxSize size = m_wnd->GetClientSize();
  wxRect r = rect ? wxRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top)
                  : wxRect(0, 0, size.x, size.y);
  if (r.IsEmpty()) return;
  s->invalid.Union(r);
  if (erase) s->erase = true;
  m_wnd->RefreshRect(r, false);
}

void CWnd::ValidateRect(const RECT* rect) {
  if (!m_wnd) return;
  WindowSurface* s = FindSurface(m_wnd);
  if (!s) return;
  if (rect) s->invalid.Subtract(wxRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
  else s->invalid.Clear();
}

CDC* CWnd::GetDC() { return m_wnd ? new CClientDC(this) : nullptr; }

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  delete dc;
  return 1;
}

CDC* CWnd::BeginPaint(PAINTSTRUCT* paint) {
  if (!m_wnd) return nullptr;
  auto* dc = new CPaintDC(this);
  if (paint) *paint = dc->m_ps;
  return dc;
}

void CWnd::EndPaint(PAINTSTRUCT* paint) {
  if (paint && paint->hdc) {
    delete static_cast<CPaintDC*>(paint->hdc);
    paint->hdc = nullptr;
  }
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  font_ = font;
  if (!m_wnd) return;
  if (font && font->Data()) {
    auto* data = static_cast<const platform::ui::FontData*>(font->Data().get());
    if (!FindSurface(m_wnd) && data->font.IsOk()) m_wnd->SetFont(data->font);
    if (redraw) InvalidateRect(nullptr, TRUE);
  }
  // As on the handheld, the window hears it (a window that draws its own text takes it).
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? static_cast<HFONT>(*font) : nullptr),
              redraw);
}

CFont* CWnd::GetFont() const {
  // A window that keeps its own font answers WM_GETFONT; else the font it was given.
  if (m_hWnd) {
    if (LRESULT own = const_cast<CWnd*>(this)->SendMessage(WM_GETFONT)) {
      return CFont::FromHandle(reinterpret_cast<HFONT>(own));
    }
  }
  return font_;
}

int CWnd::GetDlgCtrlID() const { return m_wnd ? m_wnd->GetId() : 0; }

// ---------------------------------------------------------------------------------------
// CCustomWnd

namespace {

class CustomWindow : public wxWindow {
 public:
  // Created in two steps so that the parent, when it counts its children that can take the
  // focus, already sees this one's answer.
  CustomWindow(wxWindow* parent, int id, const wxRect& rect, long style, bool takesFocus)
      : takesFocus_(takesFocus) {
    Create(parent, id, rect.GetPosition(), rect.GetSize(), style);
    if (!takesFocus_) SetCanFocus(false);
  }
  bool AcceptsFocus() const override { return takesFocus_ && IsEnabled() && IsShown(); }

 private:
  bool takesFocus_;
};

// A popup takes the toolkit's input grab while it is shown, as the toolkit's own menus and
// lists do: inside a modal dialog, whose grab would otherwise send the popup's clicks and
// keys to the dialog, the popup gets them. Its keys come the same way: the grab gives the
// popup's window the key presses that reach any window of the program (without a window
// manager nothing moves the desktop's keyboard focus to a new window), and the window hands
// them to its focus, itself. When it goes, the keyboard focus returns to the control that
// had it before (the one that opened the popup).
class PopupFrame : public wxFrame {
 public:
  PopupFrame(wxWindow* owner, const wxRect& rect)
      : wxFrame(owner, wxID_ANY, wxString(), rect.GetPosition(), rect.GetSize(),
                wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT | wxWANTS_CHARS),
        before_(wxWindow::FindFocus()) {
    SetCanFocus(true);
  }
  ~PopupFrame() override { Grab(false); }
  bool AcceptsFocus() const override { return true; }
  bool Show(bool show = true) override {
    const bool changed = wxFrame::Show(show);
    Grab(show);
    if (!show) FocusBack();
    return changed;
  }
  bool Destroy() override {
    Grab(false);
    FocusBack();
    return wxFrame::Destroy();
  }

 private:
  void FocusBack() {
    wxWindow* focus = wxWindow::FindFocus();
    const bool ours = !focus || focus == this || focus->GetParent() == this;
    if (ours && before_ && before_.get() != this && before_->IsShownOnScreen()) {
      before_->SetFocus();
    }
    before_ = nullptr;
  }
  wxWeakRef<wxWindow> before_;

  void Grab(bool on) {
    using GrabFn = void (*)(GtkWidget*);
    static auto add = reinterpret_cast<GrabFn>(dlsym(RTLD_DEFAULT, "gtk_grab_add"));
    static auto remove = reinterpret_cast<GrabFn>(dlsym(RTLD_DEFAULT, "gtk_grab_remove"));
    if (on == grabbed_ || !add || !remove || !m_widget) return;
    (on ? add : remove)(m_widget);
    grabbed_ = on;
  }
  bool grabbed_ = false;
};

long WxStyle(DWORD style) {
  long s = wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE;
  s |= (style & WS_BORDER) ? wxBORDER_SIMPLE : wxBORDER_NONE;
  if (style & WS_HSCROLL) s |= wxHSCROLL;
  if (style & WS_VSCROLL) s |= wxVSCROLL;
  if (style & WS_TABSTOP) s |= wxTAB_TRAVERSAL;
  return s;
}

}  // namespace

CCustomWnd::CCustomWnd() = default;
CCustomWnd::~CCustomWnd() {
  if (g_capture == this) ReleaseCapture();
  // The window goes with the object.
  DestroyWindow();
}

BOOL CCustomWnd::Create(CWnd* parent, const RECT& rect, UINT id, DWORD style) {
  if (!parent || !parent->GetWxWindow()) return FALSE;
  return Create(parent->GetWxWindow(), rect, id, style);
}

namespace {

// GTK restyles its windows when the desktop's theme changes (wx then sends
// wxEVT_SYS_COLOUR_CHANGED) but not when only the desktop's font changes. The toolkit's
// settings object is asked to report that too, by name (the toolkit is loaded with wx), and
// the top-level windows then get the same event, which they pass to their children.
extern "C" void OnDesktopFontChanged(void*, void*, void*) {
  if (!wxTheApp) return;
  wxTheApp->CallAfter([] {
    for (wxWindow* top : wxTopLevelWindows) {
      wxSysColourChangedEvent event;
      event.SetEventObject(top);
      top->HandleWindowEvent(event);
    }
  });
}

void WatchDesktopFont() {
  static bool watching = false;
  if (watching) return;
  watching = true;
  using SettingsFn = void* (*)();
  using ConnectFn = unsigned long (*)(void*, const char*, void (*)(void*, void*, void*), void*,
                                      void*, int);
  auto settingsOf = reinterpret_cast<SettingsFn>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  auto connect = reinterpret_cast<ConnectFn>(dlsym(RTLD_DEFAULT, "g_signal_connect_data"));
  void* settings = settingsOf ? settingsOf() : nullptr;
  if (settings && connect) {
    connect(settings, "notify::gtk-font-name", &OnDesktopFontChanged, nullptr, nullptr, 0);
  }
}

}  // namespace

BOOL CCustomWnd::Create(wxWindow* parent, const RECT& rect, UINT id, DWORD style) {
  if (!parent || m_wnd) return FALSE;
  wxRect r(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  auto* w = new CustomWindow(parent, id ? static_cast<int>(id) : wxID_ANY, r, WxStyle(style),
                             takesFocus_);
  w->SetBackgroundColour(platform::ui::ToWxColour(GetSysColor(COLOR_WINDOW)));
  Attach(w);
  platform::ui::RouteInput(this, w, true);
  // The desktop's theme or fonts changed (the toolkit restyles its windows and tells each
  // one): the window hears WM_SETTINGCHANGE.
  WatchDesktopFont();
  HWND hwnd = m_hWnd;
  w->Bind(wxEVT_SYS_COLOUR_CHANGED, [hwnd](wxSysColourChangedEvent& event) {
    event.Skip();
    if (CWnd* target = CWnd::FromHandle(hwnd)) target->WindowProc(WM_SETTINGCHANGE, 0, 0);
  });
  if (style & WS_HSCROLL) scrollShown_[0] = true;
  if (style & WS_VSCROLL) scrollShown_[1] = true;
  if (!(style & WS_VISIBLE)) w->Hide();
  if (style & WS_DISABLED) w->Disable();
  return TRUE;
}

BOOL CCustomWnd::CreatePopup(CWnd* owner, const RECT& screenRect, DWORD style) {
  if (m_wnd) return FALSE;
  wxRect r(screenRect.left, screenRect.top, screenRect.right - screenRect.left,
           screenRect.bottom - screenRect.top);
  auto* w = new PopupFrame(owner ? owner->GetWxWindow() : nullptr, r);
  w->SetBackgroundColour(platform::ui::ToWxColour(GetSysColor(COLOR_WINDOW)));
  Attach(w);
  SetOwner(owner);
  platform::ui::RouteInput(this, w, true);
  if (style & WS_VISIBLE) {
    w->Show();
    // The popup's window hands its keys to its drawing area, which under a window manager
    // is made only once the manager has mapped the window: the focus goes there then.
    if (w->GTKGetDrawingWindow()) {
      w->SetFocus();
    } else {
      w->Bind(wxEVT_CREATE, [w](wxWindowCreateEvent& event) {
        event.Skip();
        if (event.GetEventObject() == w && w->IsShown()) w->SetFocus();
      });
    }
  }
  return TRUE;
}

void CCustomWnd::OnDraw(CDC* dc) {
  CRect box;
  dc->GetClipBox(&box);
  dc->FillSolidRect(&box, m_wnd ? platform::ui::FromWxColour(m_wnd->GetBackgroundColour()) : 0xFFFFFF);
}

void CCustomWnd::EnableTapAndHold(bool on) { tapAndHold_ = on; }

void CCustomWnd::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

LRESULT CCustomWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      CWnd::DefWindowProc(message, wParam, lParam);
      OnPaint();
      return 0;
    case WM_GETDLGCODE:
      CWnd::DefWindowProc(message, wParam, lParam);
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
      return CWnd::DefWindowProc(message, wParam, lParam);
  }
}

void CCustomWnd::SyncScrollBar(int bar) {
  if (!m_wnd) return;
  int i = bar == SB_HORZ ? 0 : 1;
  const SCROLLINFO& si = scroll_[i];
  int orient = bar == SB_HORZ ? wxHORIZONTAL : wxVERTICAL;
  if (!scrollShown_[i]) {
    m_wnd->SetScrollbar(orient, 0, 0, 0);
    return;
  }
  int range = si.nMax - si.nMin + 1;
  int page = static_cast<int>(si.nPage);
  if (page <= 0) page = 1;
  m_wnd->SetScrollbar(orient, si.nPos - si.nMin, page, std::max(range, 0));
}

int CCustomWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL) {
  if (!info || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  SCROLLINFO& si = scroll_[bar == SB_HORZ ? 0 : 1];
  if (info->fMask & SIF_RANGE) {
    si.nMin = info->nMin;
    si.nMax = info->nMax;
  }
  if (info->fMask & SIF_PAGE) si.nPage = info->nPage;
  if (info->fMask & SIF_POS) si.nPos = info->nPos;
  // The position stays within min .. max - page + 1.
  int limit = si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0);
  si.nPos = std::max(si.nMin, std::min(si.nPos, std::max(limit, si.nMin)));
  SyncScrollBar(bar);
  return si.nPos;
}

BOOL CCustomWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
  if (!info || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
  const SCROLLINFO& si = scroll_[bar == SB_HORZ ? 0 : 1];
  if (mask & SIF_RANGE) {
    info->nMin = si.nMin;
    info->nMax = si.nMax;
  }
  if (mask & SIF_PAGE) info->nPage = si.nPage;
  if (mask & SIF_POS) info->nPos = si.nPos;
  if (mask & SIF_TRACKPOS) info->nTrackPos = si.nTrackPos;
  info->fMask = mask;
  return TRUE;
}

int CCustomWnd::GetScrollPos(int bar) const {
  SCROLLINFO info;
  GetScrollInfo(bar, &info, SIF_POS);
  return info.nPos;
}

int CCustomWnd::SetScrollPos(int bar, int position, BOOL redraw) {
  int old = GetScrollPos(bar);
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = position;
  SetScrollInfo(bar, &info, redraw);
  return old;
}

void CCustomWnd::GetScrollRange(int bar, int* minimum, int* maximum) const {
  SCROLLINFO info;
  GetScrollInfo(bar, &info, SIF_RANGE);
  if (minimum) *minimum = info.nMin;
  if (maximum) *maximum = info.nMax;
}

void CCustomWnd::SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = minimum;
  info.nMax = maximum;
  SetScrollInfo(bar, &info, redraw);
}

int CCustomWnd::GetScrollLimit(int bar) const {
  SCROLLINFO info;
  GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE);
  return std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0));
}

void CCustomWnd::ShowScrollBar(UINT bar, BOOL show) {
  if (bar == SB_HORZ || bar == SB_BOTH) {
    scrollShown_[0] = show != FALSE;
    SyncScrollBar(SB_HORZ);
  }
  if (bar == SB_VERT || bar == SB_BOTH) {
    scrollShown_[1] = show != FALSE;
    SyncScrollBar(SB_VERT);
  }
}

bool CCustomWnd::IsScrollBarShown(int bar) const { return scrollShown_[bar == SB_HORZ ? 0 : 1]; }
