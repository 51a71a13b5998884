#include "platform/ui/controls.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/ctrlsub.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "platform/ui/dc.h"
#include "platform/ui/wx_text.h"

using platform::ui::FromWx;
using platform::ui::ToWx;

CComboBox::CComboBox(CWnd* control)
    : items_(control ? dynamic_cast<wxItemContainer*>(control->GetWxWindow()) : nullptr) {}

int CComboBox::AddString(const std::string& text) {
  return items_ ? items_->Append(ToWx(text)) : CB_ERR;
}

int CComboBox::DeleteString(int index) {
  if (!items_ || index < 0 || static_cast<unsigned>(index) >= items_->GetCount()) return CB_ERR;
  items_->Delete(static_cast<unsigned>(index));
  return static_cast<int>(items_->GetCount());
}

void CComboBox::ResetContent() {
  if (!items_) return;
  items_->Clear();
  if (auto* combo = dynamic_cast<wxComboBox*>(items_)) combo->ChangeValue(wxString());
}

int CComboBox::GetCount() const { return items_ ? static_cast<int>(items_->GetCount()) : 0; }

int CComboBox::GetCurSel() const {
  const int selection = items_ ? items_->GetSelection() : wxNOT_FOUND;
  return selection == wxNOT_FOUND ? CB_ERR : selection;
}

int CComboBox::SetCurSel(int index) {
  if (!items_) return CB_ERR;
  if (index < 0 || static_cast<unsigned>(index) >= items_->GetCount()) {
    items_->SetSelection(wxNOT_FOUND);
    return CB_ERR;
  }
  items_->SetSelection(index);
  return index;
}

std::string CComboBox::GetLBText(int index) const {
  if (!items_ || index < 0 || static_cast<unsigned>(index) >= items_->GetCount()) return {};
  return FromWx(items_->GetString(static_cast<unsigned>(index)));
}

void RelayoutDialog(CWnd* window) {
  wxWindow* w = window ? window->GetWxWindow() : nullptr;
  if (!w) return;
  wxWindow* top = wxGetTopLevelParent(w);
  if (w != top) w->Layout();
  if (wxSizer* sizer = top->GetSizer()) {
    // The template's first layout set the smallest size with every control shown.
    top->SetMinSize(wxDefaultSize);
    sizer->SetSizeHints(top);
  } else {
    top->Fit();
  }
  top->Layout();
}

bool SetButtonBitmap(CWnd* button, const CBitmap& picture) {
  auto* control = button ? dynamic_cast<wxButton*>(button->GetWxWindow()) : nullptr;
  if (!control) return false;
  control->SetBitmap(picture.ToWxBitmap(), wxTOP);
  if (wxWindow* parent = control->GetParent()) parent->Layout();
  return true;
}
