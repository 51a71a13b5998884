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

inline void Choose(CWnd& wnd, int id, int index) {
  auto* choice = Control<wxChoice>(wnd, id);
  choice->SetSelection(index);
  wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
  event.SetEventObject(choice);
  event.SetInt(index);
  choice->ProcessWindowEvent(event);
}

inline void Click(wxWindow* button) {
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

inline void ClickId(CWnd& wnd, int id) { Click(wnd.GetDlgItemWindow(id)); }

inline void Tick(CWnd& wnd, int id, bool on) {
  auto* box = Control<wxCheckBox>(wnd, id);
  box->SetValue(on);
  wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
  event.SetEventObject(box);
  event.SetInt(on);
  box->ProcessWindowEvent(event);
}

inline void Pick(CWnd& wnd, int id) {
  auto* radio = Control<wxRadioButton>(wnd, id);
  radio->SetValue(true);
  wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
  event.SetEventObject(radio);
  event.SetInt(1);
  radio->ProcessWindowEvent(event);
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
