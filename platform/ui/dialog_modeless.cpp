#include <dlfcn.h>
#include <cstring>
#include <wx/dialog.h>

#include "platform/ui/control_notify.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_place.h"
#include "platform/ui/xrc_resources.h"
#include "platform/win_app.h"

namespace {

// Whether a window manager runs on the display (it names itself on the root window).
bool WindowManagerKeepsIt() {
  using Screen = void* (*)();
  using Name = const char* (*)(void*);
  static auto screen = reinterpret_cast<Screen>(dlsym(RTLD_DEFAULT, "gdk_screen_get_default"));
  static auto name =
      reinterpret_cast<Name>(dlsym(RTLD_DEFAULT, "gdk_x11_screen_get_window_manager_name"));
  if (!screen || !name || !screen()) return false;
  const char* manager = name(screen());
  return manager && std::strcmp(manager, "unknown") != 0;
}

// A modeless dialog stays over the window it belongs to when that window comes to the front
// (a tap on the map gives the map the keys, which brings the main window forward): a window
// manager keeps such a dialog above its owner; without one, it is put back just above its owner
// here, under whatever stands above the owner (an open menu), without taking the keys from the
// owner. The keeper goes with its dialog, and its binding with it.
class KeepOverOwner : public wxEvtHandler {
 public:
  KeepOverOwner(wxDialog* dialog, wxWindow* owner) : dialog_(dialog), owner_(owner) {}
  void OnOwnerActivate(wxActivateEvent& event) {
    event.Skip();
    if (!event.GetActive() || !dialog_ || !owner_ || !dialog_->IsShown()) return;
    if (!dialog_->GetHandle() || !owner_->GetHandle() || WindowManagerKeepsIt()) return;
    using WindowOf = void* (*)(GtkWidget*);
    using RestackFn = void (*)(void*, void*, int);
    static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static auto restack = reinterpret_cast<RestackFn>(dlsym(RTLD_DEFAULT, "gdk_window_restack"));
    if (!windowOf || !restack) return;
    void* shown = windowOf(dialog_->GetHandle());
    void* under = windowOf(owner_->GetHandle());
    if (shown && under) restack(shown, under, 1);
  }

 private:
  wxWeakRef<wxDialog> dialog_;
  wxWeakRef<wxWindow> owner_;
};

void KeepOverItsOwner(wxDialog* window) {
  wxWindow* owner = window->GetParent() ? wxGetTopLevelParent(window->GetParent()) : nullptr;
  if (!owner) return;
  auto* keeper = new KeepOverOwner(window, owner);
  owner->Bind(wxEVT_ACTIVATE, &KeepOverOwner::OnOwnerActivate, keeper);
  window->Bind(wxEVT_DESTROY, [window, keeper](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == window) delete keeper;
  });
}

}  // namespace

BOOL CreateModelessDialog(CDialog* dialog, CWnd* parent, bool topMost) {
  if (!parent) {
    CWinApp* app = AfxGetApp();
    parent = app ? app->m_pMainWnd : nullptr;
  }
  auto* window = new wxDialog;
  if (!platform::ui::LoadDialogTemplate(window, parent ? parent->GetWxWindow() : nullptr,
                                        dialog->m_nIDTemplate)) {
    delete window;
    return FALSE;
  }
  if (topMost) window->SetWindowStyleFlag(window->GetWindowStyleFlag() | wxSTAY_ON_TOP);
  dialog->Attach(window);
  window->Bind(wxEVT_BUTTON, [dialog](wxCommandEvent& event) {
    const int id = event.GetId();
    if (id == IDOK || id == wxID_OK) {
      dialog->OnOK();
    } else if (id == IDCANCEL || id == wxID_CANCEL) {
      dialog->OnCancel();
    } else if (!dialog->OnCmdMsg(static_cast<UINT>(id), CN_COMMAND, nullptr)) {
      event.Skip();
    }
  });
  window->Bind(wxEVT_CLOSE_WINDOW, [dialog](wxCloseEvent&) { dialog->OnCancel(); });
  AnswerDialogKeys(dialog, window);
  ActivateWhenShown(window);
  KeepOverItsOwner(window);
  platform::ui::RouteControlNotifications(dialog, window);
  dialog->OnInitDialog();
  // A template with a sizer takes the size its controls need; one without keeps the size
  // it was given (its own, or what OnInitDialog gave it).
  if (window->GetSizer()) window->Fit();
  platform::ui::PlaceOverOwner(window);
  return TRUE;
}
