#include <wx/dialog.h>

#include "platform/ui/control_notify.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_place.h"
#include "platform/ui/xrc_resources.h"
#include "platform/win_app.h"

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
  platform::ui::RouteControlNotifications(dialog, window);
  dialog->OnInitDialog();
  // A template with a sizer takes the size its controls need; one without keeps the size
  // it was given (its own, or what OnInitDialog gave it).
  if (window->GetSizer()) window->Fit();
  platform::ui::PlaceOverOwner(window);
  return TRUE;
}
