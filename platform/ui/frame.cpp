#include "platform/ui/frame.h"
#include "platform/ui/application.h"
#include "platform/ui/modal_windows.h"

#include <dlfcn.h>

#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/toolbar.h>

#include "platform/ui/command_ids.h"
#include "platform/ui/input.h"
#include "platform/ui/xrc_resources.h"

namespace {

// Applies what update handlers set; check marks only where the item can carry one.
void ApplyUpdate(const CCmdUI& ui, wxUpdateUIEvent& event) {
  if (ui.enabled) event.Enable(*ui.enabled);
  if (ui.text) event.SetText(wxString::FromUTF8(ui.text->c_str()));
  if (!ui.checked) return;
  bool checkable = false;
  if (auto* menu = dynamic_cast<wxMenu*>(event.GetEventObject())) {
    wxMenuItem* item = menu->FindItem(event.GetId());
    checkable = item && item->IsCheckable();
  } else if (auto* bar = dynamic_cast<wxToolBar*>(event.GetEventObject())) {
    const wxToolBarToolBase* tool = bar->FindById(event.GetId());
    checkable = tool && tool->CanBeToggled();
  } else {
    checkable = true;
  }
  if (checkable) event.Check(*ui.checked != 0);
}

bool IsCommandSource(wxObject* source) {
  return dynamic_cast<wxMenu*>(source) || dynamic_cast<wxToolBar*>(source) ||
         dynamic_cast<wxMenuBar*>(source);
}

// The toolkit tells of a new theme itself (wxEVT_SYS_COLOUR_CHANGED) but not of a new
// desktop font: that is heard from its settings object, looked up at run time.
void* ToolkitSettings() {
  using Get = void* (*)();
  auto get = reinterpret_cast<Get>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  return get ? get() : nullptr;
}

unsigned long ConnectFontNotice(void* data, void (*handler)(void*, void*, void*)) {
  using Connect = unsigned long (*)(void*, const char*, void (*)(), void*, void*, int);
  auto connect = reinterpret_cast<Connect>(dlsym(RTLD_DEFAULT, "g_signal_connect_data"));
  void* settings = ToolkitSettings();
  if (!connect || !settings) return 0;
  return connect(settings, "notify::gtk-font-name", reinterpret_cast<void (*)()>(handler), data,
                 nullptr, 0);
}

void DisconnectFontNotice(unsigned long id) {
  using Disconnect = void (*)(void*, unsigned long);
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(RTLD_DEFAULT, "g_signal_handler_disconnect"));
  void* settings = ToolkitSettings();
  if (id && disconnect && settings) disconnect(settings, id);
}

class FrameWindow : public wxFrame {
 public:
  explicit FrameWindow(CFrameWnd* owner) : wxFrame(nullptr, wxID_ANY, "Tolvanix PDA"), owner_(owner) {
    Bind(wxEVT_MENU, &FrameWindow::OnMenu, this);
    Bind(wxEVT_UPDATE_UI, &FrameWindow::OnUpdate, this);
    Bind(wxEVT_CLOSE_WINDOW, &FrameWindow::OnCloseWindow, this);
    // The desktop's theme, fonts or resolution changed: the frame hears it as a settings
    // change.
    Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& event) {
      event.Skip();
      SettingChanged();
    });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
      event.Skip();
      SettingChanged();
    });
    fontNotice_ = ConnectFontNotice(this, [](void*, void*, void* self) {
      static_cast<FrameWindow*>(self)->SettingChanged();
    });
    Bind(wxEVT_ACTIVATE, &FrameWindow::OnActivate, this);
  }
  ~FrameWindow() override { DisconnectFontNotice(fontNotice_); }

 private:
  // The active view takes the keys when the frame first comes up (not whichever bar control
  // comes first) and whenever the frame is activated with the keys nowhere inside it.
  void OnActivate(wxActivateEvent& event) {
    event.Skip();
    if (!event.GetActive()) return;
    CallAfter([this] {
      CView* view = owner_->GetActiveView();
      wxWindow* target = view ? view->GetWxWindow() : nullptr;
      if (!target || IsBeingDeleted() || !IsActive()) return;
      wxWindow* focus = wxWindow::FindFocus();
      const bool inside = focus && focus != this && IsDescendant(focus);
      if (activated_ && inside) return;
      activated_ = true;
      if (focus != target) target->SetFocus();
    });
  }
  void OnMenu(wxCommandEvent& event) {
    UINT id = platform::ui::WxIdToCommand(event.GetId());
    if (!id || !owner_->OnCmdMsg(id, CN_COMMAND, nullptr)) event.Skip();
  }
  void OnUpdate(wxUpdateUIEvent& event) {
    UINT id = platform::ui::WxIdToCommand(event.GetId());
    if (!id) return event.Skip();
    CCmdUI ui(id);
    ui.DoUpdate(owner_, IsCommandSource(event.GetEventObject()));
    ApplyUpdate(ui, event);
  }
  void OnCloseWindow(wxCloseEvent& event) {
    // Under a modal window (a close from the window manager, the exit command's close
    // delivered inside a modal loop) the frame would be destroyed beneath that loop: the
    // close becomes a request to end, taken once the modal windows are ended.
    if (platform::ui::AnyModalWindowOpen() && event.CanVeto()) {
      platform::ui::RequestProgramEnd();
      event.Veto();
      return;
    }
    owner_->OnClose();
    // OnClose destroys the window when the document agrees; otherwise it stays.
    if (!IsBeingDeleted() && event.CanVeto()) event.Veto();
  }
  void SettingChanged() {
    // One change often arrives as several notices: the frame handles it once, after them.
    if (settingPending_) return;
    settingPending_ = true;
    CallAfter([this] {
      settingPending_ = false;
      if (!IsBeingDeleted()) owner_->SendMessage(WM_SETTINGCHANGE, 0, 0);
    });
  }
  CFrameWnd* owner_;
  bool settingPending_ = false;
  unsigned long fontNotice_ = 0;
  bool activated_ = false;
};

// The view's window: paint, mouse, keys and size reach the view's map as messages
// (platform/ui/input.h); the view paints through OnDraw into the window's backing bitmap.
class ViewWindow : public wxPanel {
 public:
  explicit ViewWindow(wxWindow* parent)
      : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundColour(*wxWHITE);
  }
};

}  // namespace

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT) {
  auto* frame = new FrameWindow(this);
  Attach(frame);
  if (OnCreate() == -1) {
    frame->Destroy();
    return FALSE;
  }
  return TRUE;
}

wxFrame* CFrameWnd::GetFrame() const { return static_cast<wxFrame*>(m_wnd); }

BOOL CFrameWnd::LoadMenuBar(UINT menuId) {
  wxMenuBar* bar = platform::ui::LoadMenuBarResource(menuId);
  if (!bar || !m_wnd) return FALSE;
  GetFrame()->SetMenuBar(bar);
  return TRUE;
}

CDocument* CFrameWnd::GetActiveDocument() const {
  return m_pActiveView ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::RecalcLayout() {
  if (m_wnd) GetFrame()->SendSizeEvent();
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
  if (m_pActiveView && m_pActiveView->OnCmdMsg(id, code, extra)) return TRUE;
  if (CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, code, extra);
}

void CFrameWnd::OnClose() {
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->SaveModified()) return;
  DestroyWindow();
}

LRESULT CFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // Same path as the window manager's close button.
    if (m_wnd) m_wnd->Close(false);
    return 0;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

void CFrameWnd::OnWindowDestroying() {
  // The view goes first, while its document still exists (it may store options).
  if (CView* view = m_pActiveView) {
    m_pActiveView = nullptr;
    view->m_pFrame = nullptr;
    if (wxWindow* w = view->GetWxWindow()) delete w;
  }
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    app->m_hMainWnd = nullptr;
  }
}

void CFrameWnd::PostNcDestroy() {
  auto notify = std::move(onDestroyed);
  delete this;
  if (notify) notify();
}

CView::CView() = default;

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::Create(CFrameWnd* frame) {
  if (!frame || !frame->GetWxWindow()) return FALSE;
  m_pFrame = frame;
  auto* window = new ViewWindow(frame->GetWxWindow());
  Attach(window);
  platform::ui::RouteInput(this, window, true);
  frame->SetActiveView(this);
  return TRUE;
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra) {
  if (CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra);
}

void CView::OnWindowDestroying() {
  if (m_pFrame && m_pFrame->GetActiveView() == this) m_pFrame->SetActiveView(nullptr);
}

void CView::PostNcDestroy() { delete this; }

LRESULT CView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    CWnd::DefWindowProc(message, wParam, lParam);
    CPaintDC dc(this);
    OnDraw(&dc);
    return 0;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocumentFactory document,
                                       FrameFactory frame, ViewFactory view)
    : CDocTemplate(resourceId),
      makeDocument_(std::move(document)),
      makeFrame_(std::move(frame)),
      makeView_(std::move(view)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
  if (frame_) frame_->onDestroyed = nullptr;
}

bool CSingleDocTemplate::CreateDocumentFrameAndView() {
  document_.reset(makeDocument_());
  if (!document_) return false;
  document_->m_pDocTemplate = this;
  CFrameWnd* frame = makeFrame_();
  if (!frame) return false;
  if (!frame->LoadFrame(m_nIDResource)) {
    delete frame;  // its window never existed or is already gone without it
    return false;
  }
  frame_ = frame;
  frame_->onDestroyed = [this] { OnFrameDestroyed(); };
  CView* view = makeView_();
  if (!view || !view->Create(frame_)) {
    delete view;
    frame_->DestroyWindow();
    return false;
  }
  view->m_pDocument = document_.get();
  document_->AddView(view);
  CWinApp* app = AfxGetApp();
  if (app && !app->m_pMainWnd) {
    app->m_pMainWnd = frame_;
    app->m_hMainWnd = frame_->m_hWnd;
  }
  return true;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string& path, BOOL makeVisible) {
  bool created = false;
  if (!document_) {
    if (!CreateDocumentFrameAndView()) return nullptr;
    created = true;
  } else if (!document_->SaveModified()) {
    return nullptr;
  }
  BOOL ok = path.empty() ? document_->OnNewDocument() : document_->OnOpenDocument(path);
  const bool opened = ok && !path.empty();
  if (!ok && created && !path.empty()) {
    // The document the program was started with cannot be read: the document has said why,
    // and the program starts with a new document instead.
    ok = document_->OnNewDocument();
  }
  if (!ok) {
    if (created && frame_) frame_->DestroyWindow();
    return nullptr;
  }
  if (opened) document_->SetPathName(path);
  if (CView* view = frame_ ? frame_->GetActiveView() : nullptr) {
    if (created) view->OnInitialUpdate(); else document_->UpdateAllViews(nullptr);
  }
  if (makeVisible && created && frame_) frame_->ShowWindow(SW_SHOW);
  return document_.get();
}

void CSingleDocTemplate::OnFrameDestroyed() {
  frame_ = nullptr;
  if (!document_) return;
  // The views went with the frame's window.
  for (DocumentView* view : std::vector<DocumentView*>(document_->GetViews())) {
    if (auto* v = dynamic_cast<CView*>(view)) v->m_pDocument = nullptr;
    document_->RemoveView(view);
  }
  document_->OnCloseDocument();
  document_.reset();
}
