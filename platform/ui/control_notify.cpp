#include "platform/ui/control_notify.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "platform/ui/wnd.h"

namespace platform::ui {

namespace {

void Route(CWnd* target, wxCommandEvent& event, WORD code) {
  if (!target->OnCmdMsg(ControlNotifyId(event.GetId(), code), CN_COMMAND, nullptr)) event.Skip();
}

}  // namespace

void RouteControlNotifications(CWnd* target, wxWindow* window) {
  window->Bind(wxEVT_COMBOBOX, [target](wxCommandEvent& e) { Route(target, e, CBN_SELCHANGE); });
  window->Bind(wxEVT_CHOICE, [target](wxCommandEvent& e) { Route(target, e, CBN_SELCHANGE); });
  window->Bind(wxEVT_CHECKBOX, [target](wxCommandEvent& e) { Route(target, e, BN_CLICKED); });
  window->Bind(wxEVT_RADIOBUTTON, [target](wxCommandEvent& e) { Route(target, e, BN_CLICKED); });
  window->Bind(wxEVT_TEXT, [target](wxCommandEvent& e) {
    const bool combo = dynamic_cast<wxComboBox*>(e.GetEventObject()) != nullptr;
    Route(target, e, combo ? CBN_EDITCHANGE : EN_CHANGE);
  });
}

}  // namespace platform::ui
