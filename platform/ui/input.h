// Mouse (stylus), keys, focus, scrolling and notifications as window messages, routed into
// the message maps of CWnd-derived windows, and the generic child window that custom
// controls derive from.
//
//   class CMyControl : public CCustomWnd {
//     void OnDraw(CDC* dc) override;
//     void OnLButtonDown(UINT flags, CPoint point);
//     void OnKeyDown(UINT key, UINT repeat, UINT flags);
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyControl, CCustomWnd)
//     ON_WM_LBUTTONDOWN()
//     ON_WM_KEYDOWN()
//   END_MESSAGE_MAP()
//   ...
//   control.Create(parentWnd, CRect(10, 10, 110, 60), 1234);
//
// Points are client pixels of the window that gets the message. A handler that wants the
// default processing as well calls the base (CWnd::OnLButtonDown(flags, point), ...) or
// Default(); a message without a map entry gets it anyway. The default processing of a
// key or click is wxWidgets' own (focus moves, typing into native controls).
//
// Tap and hold: when the left button of a window with tap-and-hold on (CCustomWnd has it by
// default) stays down for kTapAndHoldMilliseconds without moving further than
// kTapAndHoldSlop pixels, its parent is sent WM_NOTIFY with an NMRGINFO of code
// GN_CONTEXTMENU (the screen point held); when no ON_NOTIFY or ON_NOTIFY_REFLECT entry takes
// it, the window gets WM_CONTEXTMENU (wParam its handle, lParam the screen point). The rest
// of that press (moves, button-up) is swallowed and a capture the window held is released.
// A right click (the desktop's context-menu gesture) does the same at once. Reflection: the
// parent gives WM_NOTIFY that no entry of its own map takes to the sending child's
// ON_NOTIFY_REFLECT entries.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/dc.h"
#include "platform/ui/wnd.h"

// Messages.
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_IME_CHAR = 0x0286;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;

// Mouse message flags (wParam): buttons and modifier keys down.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;

// Virtual keys.
constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F5 = 0x74;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F7 = 0x76;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_F10 = 0x79;
constexpr UINT VK_F11 = 0x7A;
constexpr UINT VK_F12 = 0x7B;
// The handheld's application (hardware) buttons 1-6. On the desktop F5-F8 stand for buttons
// 1-4 and arrive as these codes (platform::ui::KeyFromWx).
constexpr UINT VK_APP1 = 0xC1;
constexpr UINT VK_APP2 = 0xC2;
constexpr UINT VK_APP3 = 0xC3;
constexpr UINT VK_APP4 = 0xC4;
constexpr UINT VK_APP5 = 0xC5;
constexpr UINT VK_APP6 = 0xC6;

// Whether a key was down at the message being handled: the high bit (value < 0) is set
// while it is down. VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON and VK_RBUTTON.
short GetKeyState(int virtualKey);
short GetAsyncKeyState(int virtualKey);

// Scroll codes (WM_HSCROLL, WM_VSCROLL) and bars.
constexpr UINT SB_LINEUP = 0;
constexpr UINT SB_LINELEFT = 0;
constexpr UINT SB_LINEDOWN = 1;
constexpr UINT SB_LINERIGHT = 1;
constexpr UINT SB_PAGEUP = 2;
constexpr UINT SB_PAGELEFT = 2;
constexpr UINT SB_PAGEDOWN = 3;
constexpr UINT SB_PAGERIGHT = 3;
constexpr UINT SB_THUMBPOSITION = 4;
constexpr UINT SB_THUMBTRACK = 5;
constexpr UINT SB_TOP = 6;
constexpr UINT SB_LEFT = 6;
constexpr UINT SB_BOTTOM = 7;
constexpr UINT SB_RIGHT = 7;
constexpr UINT SB_ENDSCROLL = 8;
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_BOTH = 3;
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// WM_GETDLGCODE answers.
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_WANTCHARS = 0x0080;

// Window styles of CCustomWnd::Create.
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_CHILD = 0x40000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_DISABLED = 0x08000000u;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000u;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000u;
constexpr DWORD WS_BORDER = 0x00800000u;
constexpr DWORD WS_VSCROLL = 0x00200000u;
constexpr DWORD WS_HSCROLL = 0x00100000u;
constexpr DWORD WS_TABSTOP = 0x00010000u;

// Cursors.
struct tvx_cursor_;
using HCURSOR = tvx_cursor_*;
constexpr UINT IDC_ARROW = 32512;
constexpr UINT IDC_IBEAM = 32513;
constexpr UINT IDC_WAIT = 32514;
constexpr UINT IDC_CROSS = 32515;
constexpr UINT IDC_SIZEWE = 32644;
constexpr UINT IDC_SIZENS = 32645;
constexpr UINT IDC_SIZEALL = 32646;
constexpr UINT IDC_HAND = 32649;
// A system cursor (module must be nullptr); nullptr for an unknown id.
HCURSOR LoadCursor(HINSTANCE module, UINT id);
// Shows the cursor over the window under the pointer (captured window first); returns the
// previous one.
HCURSOR SetCursor(HCURSOR cursor);
// Confining the pointer is not offered by the desktop: accepted and ignored.
BOOL ClipCursor(const RECT* rect);
BOOL GetCursorPos(POINT* point);  // screen pixels

// Hit-test codes of WM_SETCURSOR.
constexpr UINT HTCLIENT = 1;

// The window holding the mouse capture, nullptr when none does.
CWnd* GetCapture();
BOOL ReleaseCapture();
// The window with the keyboard focus (nullptr when none of ours has it).
CWnd* GetFocus();

// Notifications (WM_NOTIFY: wParam the control id, lParam an NMHDR* or a larger record
// beginning with one).
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);
// Tap and hold recognised.
constexpr UINT GN_CONTEXTMENU = 1000;

struct NMRGINFO {
  NMHDR hdr;
  POINT ptAction;  // screen pixels where the stylus was held
  DWORD dwItemSpec = 0;
};

// Tap and hold timing.
constexpr UINT kTapAndHoldMilliseconds = 600;
constexpr int kTapAndHoldSlop = 5;

namespace platform::ui {

// The handler of a notification map entry, and the marker an entry answers with when the
// notification is not its own (the map walk then goes on).
constexpr LRESULT kNotifyNotMine = INTPTR_MIN;

template <class T>
::platform::MessageMapEntry Notify(UINT code, int id, bool reflect,
                                   void (T::*fn)(NMHDR*, LRESULT*)) {
  constexpr UINT kNotifyMessage = 0x004E;  // WM_NOTIFY
  // Reflected entries live under a message number of their own so that the parent's
  // walk and the child's walk never meet.
  UINT message = reflect ? 0x204E : kNotifyMessage;  // WM_REFLECT_BASE + WM_NOTIFY
  return {::platform::MessageMapEntry::Kind::Message, message, message, nullptr,
          [code, id, reflect, fn](CCmdTarget* t, UINT, CCmdUI*, WPARAM, LPARAM l) -> LRESULT {
            auto* hdr = reinterpret_cast<NMHDR*>(l);
            if (!hdr || hdr->code != code) return kNotifyNotMine;
            if (!reflect && static_cast<int>(hdr->idFrom) != id) return kNotifyNotMine;
            LRESULT result = 0;
            (static_cast<T*>(t)->*fn)(hdr, &result);
            return result;
          }};
}

// Turns wx key codes into virtual keys (letters upper case, digits, the keys above);
// 0 for keys the program has no name for.
UINT KeyFromWx(int wxKeyCode);
// Makes a window's wx mouse, key, focus, size and scroll events arrive as messages at
// owner's WindowProc, and with takePainting its paint events too (the window then draws
// through a backing bitmap: WM_ERASEBKGND and WM_PAINT for the invalid part). CCustomWnd and
// CView do it for themselves; a frame or dialog that wants the messages of a plain wx
// window calls it with takePainting false.
void RouteInput(CWnd* owner, wxWindow* window, bool takePainting = true);

// The desktop's context-menu gestures on a window that is not a CCustomWnd (whose tap and
// hold is its own): a right click (and the keyboard's menu key) and a long press of the left
// button, held still for the desktop's long-press time, send owner WM_CONTEXTMENU (wParam its
// handle, lParam the screen point; the window's middle for the key). The press of a long
// press has come as WM_LBUTTONDOWN before; its release comes too unless something (a popup
// menu) takes it: an owner that makes the press its gesture ends what the press began.
void RouteContextGestures(CWnd* owner, wxWindow* window);

// Synthetic input for tests: delivered as the desktop would, through the same translation
// (capture, tap and hold, key state). Points are client pixels of window.
enum class MouseAction { Move, LeftDown, LeftUp, LeftDoubleClick, RightDown, RightUp };
void SimulateMouse(CWnd* window, MouseAction action, CPoint point, UINT modifiers = 0);
// key: a virtual key; modifiers MK_SHIFT / MK_CONTROL. Sends key down, the character (for
// keys that type one) and key up.
void SimulateKey(CWnd* window, UINT key, UINT modifiers = 0);
// Lets time pass for the tap-and-hold timer of the pressed button (tests).
void SimulateHoldElapsed();

}  // namespace platform::ui

// Map entries of the messages above. The handler names and signatures are fixed:
//   void OnLButtonDown(UINT flags, CPoint point)   (flags MK_...)
//   void OnKeyDown(UINT key, UINT repeat, UINT flags)
//   void OnContextMenu(CWnd* window, CPoint screenPoint)
//   void OnNotifyHandler(NMHDR* header, LRESULT* result)   (ON_NOTIFY, ON_NOTIFY_REFLECT)
#define TVX_ON_MOUSE_(msg, fn)                                                              \
  ::platform::detail::Message<ThisClass>(msg, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->fn(static_cast<UINT>(w), CPoint(l));                                                 \
    return LRESULT{0};                                                                      \
  }),
#define ON_WM_LBUTTONDOWN() TVX_ON_MOUSE_(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() TVX_ON_MOUSE_(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() TVX_ON_MOUSE_(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() TVX_ON_MOUSE_(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() TVX_ON_MOUSE_(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() TVX_ON_MOUSE_(WM_MOUSEMOVE, OnMouseMove)

#define TVX_ON_KEY_(msg, fn)                                                                  \
  ::platform::detail::Message<ThisClass>(msg, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->fn(static_cast<UINT>(w), static_cast<UINT>(l & 0xFFFF),                                \
          static_cast<UINT>((static_cast<std::uintptr_t>(l) >> 16) & 0xFFFF));                \
    return LRESULT{0};                                                                        \
  }),
#define ON_WM_KEYDOWN() TVX_ON_KEY_(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() TVX_ON_KEY_(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() TVX_ON_KEY_(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() TVX_ON_KEY_(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_IME_CHAR() TVX_ON_KEY_(WM_IME_CHAR, OnImeChar)

#define ON_WM_PAINT()                                                                      \
  ::platform::detail::Message<ThisClass>(WM_PAINT, nullptr, [](ThisClass* t, WPARAM, LPARAM) { \
    t->OnPaint();                                                                          \
    return LRESULT{0};                                                                     \
  }),
#define ON_WM_ERASEBKGND()                                                                   \
  ::platform::detail::Message<ThisClass>(WM_ERASEBKGND, nullptr, [](ThisClass* t, WPARAM w, LPARAM) { \
    return LRESULT{t->OnEraseBkgnd(reinterpret_cast<CDC*>(w))};                              \
  }),
#define ON_WM_SETFOCUS()                                                                   \
  ::platform::detail::Message<ThisClass>(WM_SETFOCUS, nullptr, [](ThisClass* t, WPARAM w, LPARAM) { \
    t->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w)));                            \
    return LRESULT{0};                                                                     \
  }),
#define ON_WM_KILLFOCUS()                                                                   \
  ::platform::detail::Message<ThisClass>(WM_KILLFOCUS, nullptr, [](ThisClass* t, WPARAM w, LPARAM) { \
    t->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w)));                            \
    return LRESULT{0};                                                                      \
  }),
#define ON_WM_CAPTURECHANGED()                                                                 \
  ::platform::detail::Message<ThisClass>(WM_CAPTURECHANGED, nullptr, [](ThisClass* t, WPARAM, LPARAM l) { \
    t->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(l)));                          \
    return LRESULT{0};                                                                         \
  }),
#define ON_WM_CONTEXTMENU()                                                                   \
  ::platform::detail::Message<ThisClass>(WM_CONTEXTMENU, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(w)), CPoint(l));                 \
    return LRESULT{0};                                                                        \
  }),
// code SB_..., position for the thumb codes; the bar argument is always nullptr (window bars).
#define TVX_ON_SCROLL_(msg, fn)                                                               \
  ::platform::detail::Message<ThisClass>(msg, nullptr, [](ThisClass* t, WPARAM w, LPARAM) {   \
    t->fn(static_cast<UINT>(LOWORD(w)), static_cast<UINT>(HIWORD(w)), nullptr);               \
    return LRESULT{0};                                                                        \
  }),
#define ON_WM_HSCROLL() TVX_ON_SCROLL_(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() TVX_ON_SCROLL_(WM_VSCROLL, OnVScroll)
#define ON_WM_GETDLGCODE()                                                                 \
  ::platform::detail::Message<ThisClass>(WM_GETDLGCODE, nullptr, [](ThisClass* t, WPARAM, LPARAM) { \
    return static_cast<LRESULT>(t->OnGetDlgCode());                                        \
  }),
// BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                  \
  ::platform::detail::Message<ThisClass>(WM_SETCURSOR, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    return static_cast<LRESULT>(t->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(w)),  \
                                               LOWORD(static_cast<std::uintptr_t>(l)),      \
                                               HIWORD(static_cast<std::uintptr_t>(l))));    \
  }),
// void OnSettingChange(UINT flags, const char* section)
#define ON_WM_SETTINGCHANGE()                                                              \
  ::platform::detail::Message<ThisClass>(WM_SETTINGCHANGE, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->OnSettingChange(static_cast<UINT>(w), reinterpret_cast<const char*>(l));            \
    return LRESULT{0};                                                                     \
  }),
// void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu)
#define ON_WM_INITMENUPOPUP()                                                              \
  ::platform::detail::Message<ThisClass>(WM_INITMENUPOPUP, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->OnInitMenuPopup(reinterpret_cast<CMenu*>(w), LOWORD(static_cast<std::uintptr_t>(l)),  \
                       HIWORD(static_cast<std::uintptr_t>(l)));                            \
    return LRESULT{0};                                                                     \
  }),
// void OnExitMenuLoop(BOOL isTrackPopupMenu)
#define ON_WM_EXITMENULOOP()                                                               \
  ::platform::detail::Message<ThisClass>(WM_EXITMENULOOP, nullptr, [](ThisClass* t, WPARAM w, LPARAM) { \
    t->OnExitMenuLoop(static_cast<BOOL>(w));                                               \
    return LRESULT{0};                                                                     \
  }),
#define ON_WM_ENTERMENULOOP()                                                              \
  ::platform::detail::Message<ThisClass>(WM_ENTERMENULOOP, nullptr, [](ThisClass* t, WPARAM w, LPARAM) { \
    t->OnEnterMenuLoop(static_cast<BOOL>(w));                                              \
    return LRESULT{0};                                                                     \
  }),
// void OnHotKey(UINT id, UINT modifiers, UINT virtualKey)
#define ON_WM_HOTKEY()                                                                     \
  ::platform::detail::Message<ThisClass>(WM_HOTKEY, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) { \
    t->OnHotKey(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),              \
                HIWORD(static_cast<std::uintptr_t>(l)));                                   \
    return LRESULT{0};                                                                     \
  }),
// A notification code from the child control id: void fn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn) \
  ::platform::ui::Notify<ThisClass>(code, id, false, memberFxn),
// A notification this control sent its parent, given back to the control.
#define ON_NOTIFY_REFLECT(code, memberFxn) \
  ::platform::ui::Notify<ThisClass>(code, 0, true, memberFxn),

// A child (or borderless pop-up) window of the program's own: it paints through OnDraw into
// its backing bitmap, gets mouse and key messages through its map, and has tap and hold on.
class CCustomWnd : public CWnd {
 public:
  CCustomWnd();
  ~CCustomWnd() override;

  // A child of parent at rect (parent's client pixels) with control id. Style bits:
  // WS_VISIBLE, WS_BORDER, WS_HSCROLL, WS_VSCROLL, WS_DISABLED, WS_TABSTOP.
  virtual BOOL Create(CWnd* parent, const RECT& rect, UINT id,
                      DWORD style = WS_CHILD | WS_VISIBLE);
  // The same under a plain wx parent (a dialog's panel, a bar).
  BOOL Create(wxWindow* parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);
  // A borderless top-level window at rect (screen pixels) above owner, for drop-downs.
  BOOL CreatePopup(CWnd* owner, const RECT& screenRect, DWORD style = WS_VISIBLE);

  // Paints the window's picture into dc (a memory DC over the backing bitmap, clipped to
  // the part to repaint). The default fills with the window colour.
  virtual void OnDraw(CDC* dc);

  void EnableTapAndHold(bool on);
  bool IsTapAndHoldEnabled() const { return tapAndHold_; }

  // Whether the window takes the keyboard focus (by default it does, and a tap gives it the
  // focus). Off, before Create, for windows that only show something: a tap leaves the focus
  // where it was, and a parent that wants the focus keeps it.
  void SetTakesFocus(bool on) { takesFocus_ = on; }

  // The window's own scroll bars (WS_HSCROLL / WS_VSCROLL), as the handheld keeps them: the
  // program moves the position; the bar reports WM_HSCROLL / WM_VSCROLL. bar: SB_HORZ, SB_VERT.
  int SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = SIF_ALL) const;
  int GetScrollPos(int bar) const;
  int SetScrollPos(int bar, int position, BOOL redraw = TRUE);
  void GetScrollRange(int bar, int* minimum, int* maximum) const;
  void SetScrollRange(int bar, int minimum, int maximum, BOOL redraw = TRUE);
  // The largest position: nMax - max(nPage - 1, 0).
  int GetScrollLimit(int bar) const;
  // SB_HORZ, SB_VERT or SB_BOTH.
  void ShowScrollBar(UINT bar, BOOL show = TRUE);
  bool IsScrollBarShown(int bar) const;

  // Runs the default paint: OnDraw into the backing bitmap, then shown (what an
  // ON_WM_PAINT handler calls for the default behaviour).
  void OnPaint();

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SyncScrollBar(int bar);
  bool tapAndHold_ = true;
  bool takesFocus_ = true;
  SCROLLINFO scroll_[2];
  bool scrollShown_[2] = {false, false};
  friend struct CustomWndAccess;
};
