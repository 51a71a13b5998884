// Windows: CWnd over a wxWindow, with a window handle from the platform's window table,
// timers, child windows by control id, and the window messages of the message map.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/cmd_target.h"
#include "platform/ui/dc.h"
#include "platform/ui/gdi_types.h"

class wxWindow;
class wxTimer;
class wxDC;
class CMenu;
class CScrollBar;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;


class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;

  // Takes over a wx window: issues its handle; when the wx window is destroyed the handle
  // is withdrawn, timers stop and PostNcDestroy runs.
  void Attach(wxWindow* window);
  wxWindow* GetWxWindow() const { return m_wnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd);
  static CWnd* FromWxWindow(wxWindow* window);

  BOOL ShowWindow(int command);
  void UpdateWindow();
  BOOL DestroyWindow();
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsWindowVisible() const;
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  void Invalidate(BOOL erase = TRUE);
  void GetClientRect(RECT* rect) const;
  void SetFocus();
  void SetForegroundWindow();
  CWnd* GetParent() const;

  // A child by control id (any depth), wrapped in a CWnd that this window owns.
  CWnd* GetDlgItem(int id);
  wxWindow* GetDlgItemWindow(int id) const;
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id);

  // WM_TIMER with the id every elapse milliseconds, on the user-interface thread.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
  BOOL KillTimer(UINT_PTR id);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Input and drawing (platform/ui/wnd_input.cpp; messages and macros in platform/ui/input.h).
  // WM_NOTIFY goes to ON_NOTIFY entries, then to the sending child's ON_NOTIFY_REFLECT ones.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Every mouse message goes to this window until ReleaseCapture; returns the window that
  // held the capture before.
  CWnd* SetCapture();
  void ClientToScreen(POINT* point) const;
  void ClientToScreen(RECT* rect) const;
  void ScreenToClient(POINT* point) const;
  void ScreenToClient(RECT* rect) const;
  void GetWindowRect(RECT* rect) const;  // screen pixels
  // Position in the parent's client pixels (screen pixels for top-level windows).
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
  // Marks a part (nullptr: all) to be painted again; the paint comes from the event loop.
  void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
  void ValidateRect(const RECT* rect);
  // A client DC of the window (ReleaseDC shows what was drawn and frees it).
  CDC* GetDC();
  int ReleaseDC(CDC* dc);
  CDC* BeginPaint(PAINTSTRUCT* paint);
  void EndPaint(PAINTSTRUCT* paint);
  // The font of the window's text (a control's, or what CCustomWnd's DCs start with). The
  // window is sent WM_SETFONT (wParam the font, lParam redraw); GetFont asks WM_GETFONT first
  // and takes a window's own answer (a font) over the one it was given.
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;
  CWnd* GetOwner() const { return m_pOwner ? m_pOwner : GetParent(); }
  void SetOwner(CWnd* owner) { m_pOwner = owner; }
  int GetDlgCtrlID() const;

  // The default processing of the message being handled (what the map would have given
  // without the entry).
  LRESULT Default();

  // Message handlers' defaults: each runs Default(). Derived classes name theirs the same
  // (platform/ui/input.h).
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  void OnImeChar(UINT ch, UINT repeat, UINT flags);
  void OnSetFocus(CWnd* oldWindow);
  void OnKillFocus(CWnd* newWindow);
  void OnCaptureChanged(CWnd* window);
  void OnContextMenu(CWnd* window, CPoint screenPoint);
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  void OnVScroll(UINT code, UINT position, CScrollBar* bar);
  UINT OnGetDlgCode();
  BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSettingChange(UINT flags, const char* section);
  void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu);
  void OnEnterMenuLoop(BOOL isTrackPopupMenu);
  void OnExitMenuLoop(BOOL isTrackPopupMenu);

  HWND m_hWnd = nullptr;
  CWnd* m_pOwner = nullptr;

 protected:
  // After the wx window is gone. Frames and views delete themselves here.
  virtual void PostNcDestroy() {}
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Called when the wx window is being destroyed, before the handle is withdrawn.
  virtual void OnWindowDestroying() {}

  wxWindow* m_wnd = nullptr;

 private:
  friend struct WndInputAccess;
  struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool defaultReached = false;
  };
  CurrentMessage current_;
  bool lastDefaulted_ = false;
  CFont* font_ = nullptr;
  void OnWxDestroyed();
  std::map<int, std::unique_ptr<CWnd>> children_;
  std::map<UINT_PTR, std::unique_ptr<wxTimer>> timers_;
  std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
};

// POINT, SIZE and RECT: platform/ui/gdi_types.h.
