#include <wx/listbox.h>

#include "platform/ui/control_notify.h"
#include "platform/ui/wnd.h"

namespace platform::ui {

void RouteListBoxNotifications(CWnd* target, wxWindow* window) {
  window->Bind(wxEVT_LISTBOX, [target](wxCommandEvent& e) {
    if (!target->OnCmdMsg(ControlNotifyId(e.GetId(), LBN_SELCHANGE), CN_COMMAND, nullptr)) e.Skip();
  });
}

}  // namespace platform::ui
