#include "platform/ui/wnd.h"

#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/window.h>

#include "platform/ui/wx_text.h"

using platform::ui::FromWx;
using platform::ui::ToWx;

namespace {

// wx window -> the CWnd attached to it (user-interface thread only).
std::map<wxWindow*, CWnd*>& Attached() {
  static std::map<wxWindow*, CWnd*> attached;
  return attached;
}

class WindowTimer : public wxTimer {
 public:
  WindowTimer(CWnd* owner, UINT_PTR id) : owner_(owner), id_(id) {}
  void Notify() override { owner_->WindowProc(WM_TIMER, id_, 0); }

 private:
  CWnd* owner_;
  UINT_PTR id_;
};

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  timers_.clear();
  children_.clear();
  if (m_wnd) Attached().erase(m_wnd);
  if (m_hWnd) platform::DetachWindow(m_hWnd);
}

void CWnd::Attach(wxWindow* window) {
  m_wnd = window;
  m_hWnd = platform::AttachWindow(this);
  Attached()[window] = this;
  // The wx window may outlive this object (a control wrapper); the token tells.
  std::weak_ptr<int> alive = lifeToken_;
  window->Bind(wxEVT_DESTROY, [this, window, alive](wxWindowDestroyEvent& event) {
    event.Skip();
    if (!alive.expired() && event.GetEventObject() == window && m_wnd == window) OnWxDestroyed();
  });
}

void CWnd::OnWxDestroyed() {
  WindowProc(WM_DESTROY, 0, 0);
  OnWindowDestroying();
  timers_.clear();
  children_.clear();
  Attached().erase(m_wnd);
  m_wnd = nullptr;
  if (m_hWnd) platform::DetachWindow(m_hWnd);
  m_hWnd = nullptr;
  PostNcDestroy();
}

CWnd* CWnd::FromWxWindow(wxWindow* window) {
  auto it = Attached().find(window);
  return it == Attached().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  return dynamic_cast<CWnd*>(platform::FindWindowTarget(hwnd));
}

BOOL CWnd::ShowWindow(int command) {
  if (!m_wnd) return FALSE;
  bool wasVisible = m_wnd->IsShown();
  m_wnd->Show(command != SW_HIDE);
  return wasVisible;
}

void CWnd::UpdateWindow() {
  if (m_wnd) m_wnd->Update();
}

BOOL CWnd::DestroyWindow() {
  if (!m_wnd) return FALSE;
  return m_wnd->Destroy();
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (!m_wnd) return FALSE;
  bool wasDisabled = !m_wnd->IsEnabled();
  m_wnd->Enable(enable != FALSE);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_wnd && m_wnd->IsEnabled(); }
BOOL CWnd::IsWindowVisible() const { return m_wnd && m_wnd->IsShown(); }

void CWnd::SetWindowText(const std::string& text) {
  if (!m_wnd) return;
  if (auto* entry = dynamic_cast<wxTextEntry*>(m_wnd)) {
    entry->ChangeValue(ToWx(text));
  } else {
    m_wnd->SetLabel(ToWx(text));
  }
}

std::string CWnd::GetWindowText() const {
  if (!m_wnd) return {};
  if (auto* entry = dynamic_cast<wxTextEntry*>(m_wnd)) return FromWx(entry->GetValue());
  return FromWx(m_wnd->GetLabel());
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::GetClientRect(RECT* rect) const {
  if (!rect) return;
  *rect = RECT{};
  if (!m_wnd) return;
  wxSize size = m_wnd->GetClientSize();
  rect->right = size.x;
  rect->bottom = size.y;
}

void CWnd::SetFocus() {
  if (m_wnd) m_wnd->SetFocus();
}

void CWnd::SetForegroundWindow() {
  if (!m_wnd) return;
  if (wxWindow* top = wxGetTopLevelParent(m_wnd)) {
    top->Show();
    top->Raise();
  }
}

CWnd* CWnd::GetParent() const {
  if (!m_wnd) return nullptr;
  for (wxWindow* w = m_wnd->GetParent(); w; w = w->GetParent()) {
    if (CWnd* parent = FromWxWindow(w)) return parent;
  }
  return nullptr;
}

wxWindow* CWnd::GetDlgItemWindow(int id) const {
  return m_wnd ? m_wnd->FindWindow(id) : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) {
  wxWindow* child = GetDlgItemWindow(id);
  if (!child) return nullptr;
  auto& slot = children_[id];
  if (!slot || slot->m_wnd != child) {
    slot = std::make_unique<CWnd>();
    slot->Attach(child);
  }
  return slot.get();
}

void CWnd::SetDlgItemText(int id, const std::string& text) {
  if (CWnd* child = GetDlgItem(id)) child->SetWindowText(text);
}

std::string CWnd::GetDlgItemText(int id) {
  CWnd* child = GetDlgItem(id);
  return child ? child->GetWindowText() : std::string();
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) {
  if (!m_wnd) return 0;
  auto timer = std::make_unique<WindowTimer>(this, id);
  timer->Start(static_cast<int>(elapse == 0 ? 1 : elapse));
  timers_[id] = std::move(timer);
  return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) { return timers_.erase(id) > 0; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  current_.defaultReached = true;
  if (message == WM_CLOSE) DestroyWindow();
  return 0;
}
