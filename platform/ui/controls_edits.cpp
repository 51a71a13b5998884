// Edits and sliders taken over by control id: typing, text updates, the hold gesture and
// scroll notifications reach the program's class through its virtual handlers.
#include <wx/clipbrd.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include "platform/ui/controls.h"
#include "platform/ui/input.h"
#include "platform/ui/wx_text.h"

using platform::ui::ToWx;

namespace {

wxTextCtrl* TextOf(const CWnd* w) { return dynamic_cast<wxTextCtrl*>(w->GetWxWindow()); }
wxSlider* SliderOf(const CWnd* w) { return dynamic_cast<wxSlider*>(w->GetWxWindow()); }

UINT ScrollCode(wxEventType type) {
  if (type == wxEVT_SCROLL_LINEUP) return TB_LINEUP;
  if (type == wxEVT_SCROLL_LINEDOWN) return TB_LINEDOWN;
  if (type == wxEVT_SCROLL_PAGEUP) return TB_PAGEUP;
  if (type == wxEVT_SCROLL_PAGEDOWN) return TB_PAGEDOWN;
  if (type == wxEVT_SCROLL_THUMBRELEASE) return TB_THUMBPOSITION;
  if (type == wxEVT_SCROLL_THUMBTRACK) return TB_THUMBTRACK;
  if (type == wxEVT_SCROLL_TOP) return TB_TOP;
  if (type == wxEVT_SCROLL_BOTTOM) return TB_BOTTOM;
  return TB_ENDTRACK;
}

}  // namespace

BOOL CEdit::SubclassDlgItem(UINT id, CWnd* parent) {
  auto* text = parent ? dynamic_cast<wxTextCtrl*>(parent->GetDlgItemWindow(static_cast<int>(id)))
                      : nullptr;
  if (!text) return FALSE;
  Attach(text);
  text->Bind(wxEVT_CHAR, [this](wxKeyEvent& event) {
    const wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE) {  // a key that types nothing (arrows, Delete ...)
      event.Skip();
      return;
    }
    passChar_ = false;
    OnChar(static_cast<UINT>(ch), 1, 0);
    if (passChar_) event.Skip();
  });
  text->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
    event.Skip();  // the dialog sees the change too
    if (updating_) return;
    updating_ = true;
    OnTextUpdate();
    updating_ = false;
  });
  text->Bind(wxEVT_CONTEXT_MENU, [this, text](wxContextMenuEvent& event) {
    wxPoint at = event.GetPosition();
    if (at == wxDefaultPosition) {  // from the keyboard: the middle of the control
      const wxSize size = text->GetSize();
      at = text->ClientToScreen(wxPoint(size.x / 2, size.y / 2));
    }
    OnHold(POINT{at.x, at.y});
  });
  return TRUE;
}

void CEdit::OnChar(UINT, UINT, UINT) { passChar_ = true; }

void CEdit::GetSel(int& start, int& end) const {
  long from = 0, to = 0;
  if (const wxTextCtrl* text = TextOf(this)) text->GetSelection(&from, &to);
  start = static_cast<int>(from);
  end = static_cast<int>(to);
}

void CEdit::SetSel(int start, int end) {
  if (wxTextCtrl* text = TextOf(this)) text->SetSelection(start, end);
}

BOOL CEdit::CanUndo() const {
  const wxTextCtrl* text = TextOf(this);
  return text && text->CanUndo();
}

BOOL CEdit::IsReadOnly() const {
  const wxTextCtrl* text = TextOf(this);
  return text && !text->IsEditable();
}

int CEdit::GetWindowTextLength() const {
  const wxTextCtrl* text = TextOf(this);
  return text ? static_cast<int>(text->GetValue().length()) : 0;
}

void CEdit::Undo() {
  if (wxTextCtrl* text = TextOf(this)) text->Undo();
}
void CEdit::Cut() {
  if (wxTextCtrl* text = TextOf(this)) text->Cut();
}
void CEdit::Copy() {
  if (wxTextCtrl* text = TextOf(this)) text->Copy();
}
void CEdit::Paste() {
  if (wxTextCtrl* text = TextOf(this)) text->Paste();
}
void CEdit::Clear() {
  if (wxTextCtrl* text = TextOf(this)) text->RemoveSelection();
}

BOOL CEdit::ClipboardHasText() {
  wxClipboardLocker lock;
  if (!lock) return FALSE;
  return (wxTheClipboard->IsSupported(wxDataFormat(wxDF_UNICODETEXT)) ||
                  wxTheClipboard->IsSupported(wxDataFormat(wxDF_TEXT)));
}

void CEdit::SetText(const std::string& text) {
  wxTextCtrl* control = TextOf(this);
  if (!control) return;
  control->ChangeValue(ToWx(text));
  // Typing reports through the wx event; a text set here reports the same way, once.
  if (updating_) return;
  updating_ = true;
  OnTextUpdate();
  updating_ = false;
  wxCommandEvent changed(wxEVT_TEXT, control->GetId());
  changed.SetEventObject(control);
  changed.SetString(control->GetValue());
  if (wxWindow* parent = control->GetParent()) parent->ProcessWindowEvent(changed);
}

BOOL CSliderCtrl::SubclassDlgItem(UINT id, CWnd* parent) {
  auto* slider = parent ? dynamic_cast<wxSlider*>(parent->GetDlgItemWindow(static_cast<int>(id)))
                        : nullptr;
  if (!slider) return FALSE;
  Attach(slider);
  auto scrolled = [this](wxScrollEvent& event) {
    event.Skip();
    const UINT code = ScrollCode(event.GetEventType());
    const UINT position = static_cast<UINT>(event.GetPosition());
    if (IsVertical()) {
      OnVScroll(code, position);
    } else {
      OnHScroll(code, position);
    }
  };
  for (const auto& type : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP,
                           wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                           wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE,
                           wxEVT_SCROLL_CHANGED}) {
    slider->Bind(type, scrolled);
  }
  return TRUE;
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL redraw) {
  if (wxSlider* slider = SliderOf(this)) {
    slider->SetRange(minimum, maximum);
    if (redraw) slider->Refresh();
  }
}

int CSliderCtrl::GetRangeMin() const {
  const wxSlider* slider = SliderOf(this);
  return slider ? slider->GetMin() : 0;
}

int CSliderCtrl::GetRangeMax() const {
  const wxSlider* slider = SliderOf(this);
  return slider ? slider->GetMax() : 0;
}

void CSliderCtrl::SetPos(int position) {
  if (wxSlider* slider = SliderOf(this)) slider->SetValue(position);
}

int CSliderCtrl::GetPos() const {
  const wxSlider* slider = SliderOf(this);
  return slider ? slider->GetValue() : 0;
}

void CSliderCtrl::SetTicFreq(int frequency) {
  if (wxSlider* slider = SliderOf(this); slider && frequency > 0) slider->SetTickFreq(frequency);
}

BOOL CSliderCtrl::IsVertical() const {
  const wxSlider* slider = SliderOf(this);
  return slider && slider->HasFlag(wxSL_VERTICAL);
}

BOOL ReplaceDlgItem(CWnd* parent, UINT id, CCustomWnd* replacement, DWORD style) {
  wxWindow* old = parent && replacement ? parent->GetDlgItemWindow(static_cast<int>(id)) : nullptr;
  if (!old || !old->GetParent()) return FALSE;
  const wxRect at = old->GetRect();
  const RECT rect{at.x, at.y, at.x + at.width, at.y + at.height};
  old->SetId(wxID_ANY);  // the id passes to the replacement
  if (!replacement->Create(old->GetParent(), rect, id, style)) {
    old->SetId(static_cast<int>(id));
    return FALSE;
  }
  wxWindow* created = replacement->GetWxWindow();
  if (wxSizer* sizer = old->GetContainingSizer()) sizer->Replace(old, created, true);
  created->MoveAfterInTabOrder(old);
  old->Destroy();
  return TRUE;
}
