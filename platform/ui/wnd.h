// Windows: CWnd over a wxWindow, with a window handle from the platform's window table,
// timers, child windows by control id, and the window messages of the message map.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/cmd_target.h"

class wxWindow;
class wxTimer;
class wxDC;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

// A drawing surface; grows with what the views draw.
class CDC {
 public:
  explicit CDC(wxDC& dc) : dc_(dc) {}
  wxDC& Wx() { return dc_; }

 private:
  wxDC& dc_;
};

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

  HWND m_hWnd = nullptr;

 protected:
  // After the wx window is gone. Frames and views delete themselves here.
  virtual void PostNcDestroy() {}
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Called when the wx window is being destroyed, before the handle is withdrawn.
  virtual void OnWindowDestroying() {}

  wxWindow* m_wnd = nullptr;

 private:
  void OnWxDestroyed();
  std::map<int, std::unique_ptr<CWnd>> children_;
  std::map<UINT_PTR, std::unique_ptr<wxTimer>> timers_;
  std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
};

// --- points and sizes (shared by drawing, input and the grid) ---
struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
