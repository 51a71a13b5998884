// Driving dialog controls as a user does, in the window tests of the options and waypoint
// dialogs: the control changes, then it tells its window.
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/propdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <string>

#include "platform/ui/property_sheet.h"

namespace optstest {

template <class T>
T* Control(CWnd& wnd, int id) {
  return dynamic_cast<T*>(wnd.GetDlgItemWindow(id));
}

inline void Type(CWnd& wnd, int id, const char* text) {
  Control<wxTextCtrl>(wnd, id)->SetValue(wxString::FromUTF8(text));
}

// The control takes the value first; then it tells its window.
inline void Notify(wxWindow* control, wxEventType type, int value) {
  wxCommandEvent event(type, control->GetId());
  event.SetEventObject(control);
  event.SetInt(value);
  control->ProcessWindowEvent(event);
}

inline void Choose(CWnd& wnd, int id, int index) {
  Control<wxChoice>(wnd, id)->SetSelection(index);
  Notify(wnd.GetDlgItemWindow(id), wxEVT_CHOICE, index);
}

inline void Click(wxWindow* button) { Notify(button, wxEVT_BUTTON, 0); }

inline void ClickId(CWnd& wnd, int id) { Click(wnd.GetDlgItemWindow(id)); }

inline void Tick(CWnd& wnd, int id, bool on) {
  Control<wxCheckBox>(wnd, id)->SetValue(on);
  Notify(wnd.GetDlgItemWindow(id), wxEVT_CHECKBOX, on);
}

inline void Pick(CWnd& wnd, int id) {
  Control<wxRadioButton>(wnd, id)->SetValue(true);
  Notify(wnd.GetDlgItemWindow(id), wxEVT_RADIOBUTTON, 1);
}

inline bool Enabled(CWnd& wnd, int id) { return wnd.GetDlgItemWindow(id)->IsEnabled(); }
inline bool Ticked(CWnd& wnd, int id) { return Control<wxCheckBox>(wnd, id)->GetValue(); }
inline bool Picked(CWnd& wnd, int id) { return Control<wxRadioButton>(wnd, id)->GetValue(); }
inline int Selection(CWnd& wnd, int id) { return Control<wxChoice>(wnd, id)->GetSelection(); }

inline void PressSheet(CPropertySheet& sheet, int id) {
  Click(sheet.GetSheetDialog()->FindWindow(id));
}
inline bool StillOpen(CPropertySheet& sheet) { return sheet.GetSheetDialog()->IsModal(); }

}  // namespace optstest
