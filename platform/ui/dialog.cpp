#include "platform/ui/dialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include <charconv>
#include <limits>
#include <cmath>
#include <vector>

#include "platform/ui/control_notify.h"
#include "platform/ui/input.h"
#include "platform/ui/window_place.h"
#include "platform/ui/wx_text.h"
#include "platform/ui/xrc_resources.h"
#include "platform/win_app.h"

using platform::ui::FromWx;
using platform::ui::ToWx;

namespace {

constexpr UINT kIdsEnterInteger = 61712;
constexpr UINT kIdsEnterNumber = 61713;
constexpr UINT kIdsIntegerRange = 61714;
constexpr UINT kIdsNumberRange = 61715;
constexpr UINT kIdsMaxChars = 61716;

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The framework's text for a string id, with %1 and %2 filled in.
std::string Prompt(UINT id, const char* fallback, const std::string& one = {},
                   const std::string& two = {}) {
  std::string text = AfxLoadString(id);
  if (text.empty()) text = fallback;
  if (size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, one);
  if (size_t at = text.find("%2"); at != std::string::npos) text.replace(at, 2, two);
  return text;
}

void FailWith(CDataExchange* pDX, const std::string& message) {
  AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  pDX->Fail(pDX->m_idLastControl);
}

template <class T>
T* Control(CDataExchange* pDX, int id) {
  pDX->m_idLastControl = id;
  wxWindow* w = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItemWindow(id) : nullptr;
  return dynamic_cast<T*>(w);
}

std::string ControlText(CDataExchange* pDX, int id) {
  pDX->m_idLastControl = id;
  CWnd* child = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(id) : nullptr;
  return child ? child->GetWindowText() : std::string();
}

void SetControlText(CDataExchange* pDX, int id, const std::string& text) {
  pDX->m_idLastControl = id;
  if (CWnd* child = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(id) : nullptr) {
    child->SetWindowText(text);
  }
}

template <class Int>
void ExchangeInteger(CDataExchange* pDX, int id, Int& value) {
  if (pDX->Failed()) return;
  if (!pDX->m_bSaveAndValidate) {
    SetControlText(pDX, id, std::to_string(value));
    return;
  }
  long long parsed = 0;
  if (!ParseDialogInteger(ControlText(pDX, id), parsed) || parsed < std::numeric_limits<Int>::min() ||
      parsed > std::numeric_limits<Int>::max()) {
    FailWith(pDX, Prompt(kIdsEnterInteger, "Please enter an integer."));
    return;
  }
  value = static_cast<Int>(parsed);
}

template <class Real>
void ExchangeReal(CDataExchange* pDX, int id, Real& value) {
  if (pDX->Failed()) return;
  if (!pDX->m_bSaveAndValidate) {
    SetControlText(pDX, id, FormatDialogNumber(value));
    return;
  }
  double parsed = 0;
  if (!ParseDialogNumber(ControlText(pDX, id), parsed) ||
      std::fabs(parsed) > std::numeric_limits<Real>::max()) {
    FailWith(pDX, Prompt(kIdsEnterNumber, "Please enter a number."));
    return;
  }
  value = static_cast<Real>(parsed);
}

}  // namespace

std::string FormatDialogNumber(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

bool ParseDialogInteger(const std::string& text, long long& value) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size();
}

bool ParseDialogNumber(const std::string& text, double& value) {
  std::string t = Trim(text);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size() && std::isfinite(value);
}

void CDataExchange::Fail(int controlId) {
  failed_ = true;
  if (CWnd* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(controlId) : nullptr) {
    control->SetFocus();
    if (auto* entry = dynamic_cast<wxTextEntry*>(control->GetWxWindow())) entry->SelectAll();
  }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  if (pDX->Failed()) return;
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(pDX, id);
  } else {
    SetControlText(pDX, id, value);
  }
}

void DDX_Text(CDataExchange* pDX, int id, int& value) { ExchangeInteger(pDX, id, value); }
void DDX_Text(CDataExchange* pDX, int id, UINT& value) { ExchangeInteger(pDX, id, value); }
void DDX_Text(CDataExchange* pDX, int id, double& value) { ExchangeReal(pDX, id, value); }
void DDX_Text(CDataExchange* pDX, int id, float& value) { ExchangeReal(pDX, id, value); }

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  if (pDX->Failed()) return;
  auto* box = Control<wxCheckBox>(pDX, id);
  if (!box) return;
  if (pDX->m_bSaveAndValidate) {
    value = box->Is3State() ? static_cast<int>(box->Get3StateValue()) : (box->GetValue() ? 1 : 0);
  } else if (box->Is3State()) {
    box->Set3StateValue(static_cast<wxCheckBoxState>(value < 0 || value > 2 ? 0 : value));
  } else {
    box->SetValue(value != 0);
  }
}

// Combo boxes, choices and list boxes share their item interface.
static void ExchangeSelection(CDataExchange* pDX, int id, int& value) {
  if (pDX->Failed()) return;
  auto* items = Control<wxItemContainer>(pDX, id);
  if (!items) return;
  if (pDX->m_bSaveAndValidate) {
    int selection = items->GetSelection();
    value = selection == wxNOT_FOUND ? -1 : selection;
  } else if (value >= 0 && static_cast<unsigned>(value) < items->GetCount()) {
    items->SetSelection(value);
  } else {
    items->SetSelection(wxNOT_FOUND);
  }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& value) { ExchangeSelection(pDX, id, value); }

void DDX_CBString(CDataExchange* pDX, int id, std::string& value) {
  if (pDX->Failed()) return;
  auto* combo = Control<wxComboBox>(pDX, id);
  if (!combo) {
    DDX_Text(pDX, id, value);
    return;
  }
  if (pDX->m_bSaveAndValidate) {
    value = FromWx(combo->GetValue());
  } else if (int found = combo->FindString(ToWx(value)); found != wxNOT_FOUND) {
    combo->SetSelection(found);
  } else if (!combo->HasFlag(wxCB_READONLY)) {
    combo->ChangeValue(ToWx(value));
  }
}

void DDX_LBIndex(CDataExchange* pDX, int id, int& value) { ExchangeSelection(pDX, id, value); }

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
  if (pDX->Failed()) return;
  auto* first = Control<wxRadioButton>(pDX, id);
  if (!first || !first->GetParent()) return;
  // The group: the first button and the radio buttons that follow it among its siblings,
  // up to the next one that starts a group of its own.
  std::vector<wxRadioButton*> group;
  const wxWindowList& siblings = first->GetParent()->GetChildren();
  bool inGroup = false;
  for (wxWindow* w : siblings) {
    if (w == first) {
      inGroup = true;
      group.push_back(first);
      continue;
    }
    if (!inGroup) continue;
    auto* radio = dynamic_cast<wxRadioButton*>(w);
    if (!radio || radio->HasFlag(wxRB_GROUP) || radio->HasFlag(wxRB_SINGLE)) break;
    group.push_back(radio);
  }
  if (pDX->m_bSaveAndValidate) {
    value = -1;
    for (size_t i = 0; i < group.size(); ++i) {
      if (group[i]->GetValue()) value = static_cast<int>(i);
    }
  } else {
    for (size_t i = 0; i < group.size(); ++i) group[i]->SetValue(static_cast<int>(i) == value);
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum) {
  if (pDX->Failed() || !pDX->m_bSaveAndValidate) return;
  if (value < minimum || value > maximum) {
    FailWith(pDX, Prompt(kIdsIntegerRange, "Please enter an integer between %1 and %2.",
                         std::to_string(minimum), std::to_string(maximum)));
  }
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum) {
  if (pDX->Failed() || !pDX->m_bSaveAndValidate) return;
  if (value < minimum || value > maximum) {
    FailWith(pDX, Prompt(kIdsNumberRange, "Please enter a number between %1 and %2.",
                         FormatDialogNumber(minimum), FormatDialogNumber(maximum)));
  }
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int count) {
  if (pDX->Failed() || !pDX->m_bSaveAndValidate) return;
  size_t chars = 0;
  for (unsigned char c : value) chars += (c & 0xC0) != 0x80;
  if (chars > static_cast<size_t>(count)) {
    FailWith(pDX, Prompt(kIdsMaxChars, "Please enter no more than %1 characters.",
                         std::to_string(count)));
  }
}

namespace {

// Whether the focused window (or the control it is part of, below the dialog) keeps the key
// for itself rather than leaving it to the dialog.
bool ControlKeepsKey(wxWindow* focus, wxWindow* dialog, UINT key) {
  for (wxWindow* w = focus; w && w != dialog; w = w->GetParent()) {
    if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) {
      if (key == VK_RETURN && (edit->IsMultiLine() || edit->HasFlag(wxTE_PROCESS_ENTER))) return true;
    }
    if (dynamic_cast<wxControl*>(w)) {
      // A control made to take every key (a grid's cell editor).
      if (w->HasFlag(wxWANTS_CHARS)) return true;
    } else if (CWnd* own = CWnd::FromWxWindow(w)) {
      if (own->WindowProc(WM_GETDLGCODE, key, 0) & DLGC_WANTALLKEYS) return true;
    }
  }
  return false;
}

// candidate when it is a push button of the dialog (not of a dialog inside it).
wxButton* ButtonOf(wxWindow* dialog, wxWindow* candidate) {
  auto* button = dynamic_cast<wxButton*>(candidate);
  if (!button || wxGetTopLevelParent(button) != dialog) return nullptr;
  return button;
}

// The button's click, as a tap on it gives it; a disabled or hidden button takes nothing.
void Press(wxButton* button) {
  if (!button->IsEnabled() || !button->IsShown()) return;
  wxCommandEvent click(wxEVT_BUTTON, button->GetId());
  click.SetEventObject(button);
  button->ProcessWindowEvent(click);
}

}  // namespace

void ActivateWhenShown(wxTopLevelWindow* window) {
  wxWeakRef<wxTopLevelWindow> alive(window);
  window->CallAfter([alive] {
    if (wxTopLevelWindow* shown = alive.get(); shown && shown->IsShown()) shown->Raise();
  });
}

void AnswerDialogKeys(CDialog* dialog, wxDialog* window) {
  window->Bind(wxEVT_CHAR_HOOK, [dialog, window](wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    const bool enter = code == WXK_RETURN || code == WXK_NUMPAD_ENTER;
    if ((!enter && code != WXK_ESCAPE) || event.HasAnyModifiers()) return event.Skip();
    // The window the key came to (the one with the keyboard focus in this dialog).
    auto* focus = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (focus && ControlKeepsKey(focus, window, enter ? VK_RETURN : VK_ESCAPE)) return event.Skip();
    if (enter) {
      // A focused push button is pressed by the toolkit itself.
      if (dynamic_cast<wxAnyButton*>(focus)) return event.Skip();
      wxButton* button = ButtonOf(window, window->GetDefaultItem());
      if (!button) button = ButtonOf(window, window->FindWindow(IDOK));
      if (button) Press(button);
      return;
    }
    if (wxButton* cancel = ButtonOf(window, window->FindWindow(IDCANCEL))) {
      Press(cancel);
      return;
    }
    dialog->OnCancel();
  });
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_wnd) m_wnd->Destroy();
}

wxDialog* CDialog::GetDialog() const { return static_cast<wxDialog*>(m_wnd); }

INT_PTR CDialog::DoModal() {
  CWnd* parent = m_pParentWnd;
  if (!parent) {
    CWinApp* app = AfxGetApp();
    parent = app ? app->m_pMainWnd : nullptr;
  }
  auto* dialog = new wxDialog;
  if (!platform::ui::LoadDialogTemplate(dialog, parent ? parent->GetWxWindow() : nullptr,
                                        m_nIDTemplate)) {
    delete dialog;
    return -1;
  }
  Attach(dialog);
  dialog->SetAffirmativeId(IDOK);
  dialog->SetEscapeId(IDCANCEL);
  dialog->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
    int id = event.GetId();
    if (id == IDOK || id == wxID_OK) {
      OnOK();
    } else if (id == IDCANCEL || id == wxID_CANCEL) {
      OnCancel();
    } else if (!OnCmdMsg(static_cast<UINT>(id), CN_COMMAND, nullptr)) {
      event.Skip();
    }
  });
  dialog->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
  AnswerDialogKeys(this, dialog);
  ActivateWhenShown(dialog);
  platform::ui::RouteControlNotifications(this, dialog);
  result_ = IDCANCEL;
  OnInitDialog();
  // A template with a sizer takes the size its controls need; one without keeps the size
  // it was given (its own, or what OnInitDialog gave it).
  if (dialog->GetSizer()) dialog->Fit();
  platform::ui::PlaceOverOwner(dialog);
  dialog->ShowModal();
  // The window goes now; the object (and the values it exchanged) stays with the caller.
  delete dialog;
  return result_;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  result_ = result;
  if (wxDialog* dialog = GetDialog(); dialog && dialog->IsModal()) dialog->EndModal(result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}
