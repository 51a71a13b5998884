// In-place controls over a part of one of the program's windows: wx edits, combo boxes and
// list controls made at run time, whose keys, characters, focus loss and choices go to the
// owner's hooks first.
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "platform/ui/controls.h"
#include "platform/ui/gdi_internal.h"
#include "platform/ui/input.h"
#include "platform/ui/wx_text.h"

namespace platform::ui {
const wxImage* IconImage(HICON icon);
}  // namespace platform::ui

using platform::ui::FromWx;
using platform::ui::ToWx;

struct CInPlaceControl::Impl {
  Kind kind = Kind::Edit;
  Hooks hooks;
  wxWeakRef<wxWindow> window;
  wxTextEntry* entry = nullptr;
  wxComboBox* combo = nullptr;
  wxListCtrl* list = nullptr;
  std::unique_ptr<wxImageList> images;
  bool closed = false;
  bool deleting = false;
};

namespace {

UINT Modifiers(const wxKeyboardState& state) {
  UINT flags = 0;
  if (state.ShiftDown()) flags |= MK_SHIFT;
  if (state.ControlDown()) flags |= MK_CONTROL;
  return flags;
}

bool Inside(wxWindow* window, wxWindow* candidate) {
  for (wxWindow* w = candidate; w; w = w->GetParent()) {
    if (w == window) return true;
  }
  return false;
}

}  // namespace

CInPlaceControl::CInPlaceControl() : impl_(std::make_unique<Impl>()) {}

CInPlaceControl::~CInPlaceControl() {
  if (wxWindow* w = impl_->window.get()) w->Destroy();
}

CInPlaceControl* CInPlaceControl::Create(Kind kind, CWnd* parent, const RECT& rect, int align,
                                         Hooks hooks) {
  wxWindow* owner = parent ? parent->GetWxWindow() : nullptr;
  if (!owner) return nullptr;
  auto* control = new CInPlaceControl;
  Impl& impl = *control->impl_;
  impl.kind = kind;
  impl.hooks = std::move(hooks);
  const wxPoint pos(rect.left, rect.top);
  const wxSize size(std::max<LONG>(1, rect.right - rect.left),
                    std::max<LONG>(1, rect.bottom - rect.top));
  long alignStyle = align == 2 ? wxTE_RIGHT : (align == 1 ? wxTE_CENTRE : wxTE_LEFT);
  wxWindow* window = nullptr;
  switch (kind) {
    case Kind::Edit: {
      auto* text = new wxTextCtrl(owner, 8, wxEmptyString, pos, size,
                                  alignStyle | wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB |
                                      wxBORDER_SIMPLE | wxWANTS_CHARS);
      impl.entry = text;
      window = text;
      break;
    }
    case Kind::DropDown:
    case Kind::DropList: {
      long style = kind == Kind::DropList ? wxCB_READONLY : (wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
      auto* combo = new wxComboBox(owner, 8, wxEmptyString, pos, size, 0, nullptr,
                                   style | wxWANTS_CHARS);
      impl.combo = combo;
      impl.entry = combo;
      window = combo;
      combo->Bind(wxEVT_COMBOBOX, [control](wxCommandEvent& event) {
        event.Skip();
        Impl& i = *control->impl_;
        if (!i.closed && i.hooks.chosen) i.hooks.chosen(event.GetSelection());
      });
      break;
    }
    case Kind::ItemList: {
      auto* list = new wxListCtrl(owner, 8, pos, size,
                                  wxLC_SMALL_ICON | wxLC_SINGLE_SEL | wxBORDER_SIMPLE);
      impl.list = list;
      window = list;
      list->Bind(wxEVT_LIST_ITEM_SELECTED, [control](wxListEvent& event) {
        event.Skip();
        Impl& i = *control->impl_;
        if (!i.closed && i.hooks.chosen) i.hooks.chosen(static_cast<int>(event.GetIndex()));
      });
      break;
    }
  }
  impl.window = window;

  auto keyHandler = [control](wxKeyEvent& event) {
    Impl& i = *control->impl_;
    UINT key = platform::ui::KeyFromWx(event.GetKeyCode());
    bool swallow = false;
    if (!i.closed && key != 0) {
      if (event.GetEventType() == wxEVT_KEY_DOWN) {
        if (i.hooks.keyDown) swallow = i.hooks.keyDown(key, Modifiers(event));
      } else if (i.hooks.keyUp) {
        swallow = i.hooks.keyUp(key);
      }
    }
    if (!swallow) event.Skip();
  };
  auto charHandler = [control](wxKeyEvent& event) {
    Impl& i = *control->impl_;
    wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE) ch = static_cast<wxChar>(event.GetKeyCode() < 32 ? event.GetKeyCode() : 0);
    if (event.AltDown()) return;  // system characters stay away from dialog navigation
    bool swallow = false;
    if (!i.closed && ch != 0 && i.hooks.character) swallow = i.hooks.character(static_cast<UINT>(ch));
    if (!swallow) event.Skip();
  };
  auto focusHandler = [control](wxFocusEvent& event) {
    event.Skip();
    Impl& i = *control->impl_;
    wxWindow* self = i.window.get();
    if (i.closed || !self || Inside(self, event.GetWindow())) return;
    if (i.hooks.focusLost) i.hooks.focusLost();
  };
  // Enter, Escape and Tab would otherwise go to the dialog (default button, cancel,
  // navigation) before the control saw them: the control asks for every key.
  auto hookHandler = [control](wxKeyEvent& event) {
    Impl& i = *control->impl_;
    int code = event.GetKeyCode();
    UINT ch = code == WXK_ESCAPE ? 27u
              : (code == WXK_RETURN || code == WXK_NUMPAD_ENTER) ? 13u
              : code == WXK_TAB ? 9u
                                : 0u;
    if (ch != 0 && !i.closed && i.hooks.character && i.hooks.character(ch)) return;
    event.Skip();
  };
  // The combo's edit field is a child window on some toolkits: bind the window and every child.
  std::vector<wxWindow*> targets{window};
  for (wxWindow* child : window->GetChildren()) targets.push_back(child);
  for (wxWindow* target : targets) {
    target->Bind(wxEVT_KEY_DOWN, keyHandler);
    target->Bind(wxEVT_KEY_UP, keyHandler);
    target->Bind(wxEVT_CHAR, charHandler);
    target->Bind(wxEVT_KILL_FOCUS, focusHandler);
    target->Bind(wxEVT_CHAR_HOOK, hookHandler);
  }
  window->Bind(wxEVT_DESTROY, [control, window](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != window) return;
    Impl& i = *control->impl_;
    i.closed = true;  // the parent may have gone first: nothing more reaches the owner
    if (!i.deleting) {
      i.deleting = true;
      wxTheApp->CallAfter([control] { delete control; });
    }
  });
  if (CFont* font = parent->GetFont()) control->SetFont(font);
  return control;
}

void CInPlaceControl::Close() {
  Impl& i = *impl_;
  if (i.closed) return;
  // The hooks stay (unused) until the object goes: Close() may run inside one of them.
  i.closed = true;
  if (wxWindow* w = i.window.get()) {
    w->Hide();
    // Freed after the event being handled: the control may be inside its own handler.
    wxWeakRef<wxWindow> weak = w;
    wxTheApp->CallAfter([weak] {
      if (wxWindow* still = weak.get()) still->Destroy();
    });
  } else if (!i.deleting) {
    i.deleting = true;
    wxTheApp->CallAfter([this] { delete this; });
  }
}

bool CInPlaceControl::IsClosed() const { return impl_->closed; }

std::string CInPlaceControl::GetText() const {
  return impl_->entry ? FromWx(impl_->entry->GetValue()) : std::string();
}

void CInPlaceControl::SetText(const std::string& text) {
  if (impl_->entry) impl_->entry->ChangeValue(ToWx(text));
}

void CInPlaceControl::SetSel(int start, int end) {
  if (!impl_->entry) return;
  long last = impl_->entry->GetLastPosition();
  if (start == 0 && end == -1) {
    impl_->entry->SelectAll();
  } else {
    impl_->entry->SetSelection(std::min<long>(start, last), end < 0 ? last : std::min<long>(end, last));
  }
}

int CInPlaceControl::GetTextLength() const {
  return impl_->entry ? static_cast<int>(impl_->entry->GetValue().length()) : 0;
}

void CInPlaceControl::TypeChar(UINT character) {
  wxTextEntry* entry = impl_->entry;
  if (!entry) return;
  long from = 0, to = 0;
  entry->GetSelection(&from, &to);
  if (character == 8) {  // Backspace
    if (from == to && from > 0) --from;
    if (from != to) entry->Remove(from, to);
    return;
  }
  if (from != to) entry->Remove(from, to);
  entry->WriteText(wxString(wxUniChar(character)));
}

void CInPlaceControl::Focus() {
  if (wxWindow* w = impl_->window.get()) w->SetFocus();
}

void CInPlaceControl::Move(const RECT& rect) {
  if (wxWindow* w = impl_->window.get()) {
    w->SetSize(rect.left, rect.top, std::max<LONG>(1, rect.right - rect.left),
               std::max<LONG>(1, rect.bottom - rect.top));
  }
}

RECT CInPlaceControl::GetRect() const {
  RECT r;
  if (wxWindow* w = impl_->window.get()) {
    wxRect box = w->GetRect();
    r = RECT{box.x, box.y, box.x + box.width, box.y + box.height};
  }
  return r;
}

int CInPlaceControl::TextWidth(const std::string& text) const {
  wxWindow* w = impl_->window.get();
  return w ? w->GetTextExtent(ToWx(text)).x : 0;
}

void CInPlaceControl::SetFont(CFont* font) {
  wxWindow* w = impl_->window.get();
  if (!w || !font || !font->Data()) return;
  auto* data = static_cast<platform::ui::FontData*>(font->Data().get());
  if (data->font.IsOk()) w->SetFont(data->font);
}

void CInPlaceControl::SetColours(COLORREF text, COLORREF background) {
  if (wxWindow* w = impl_->window.get()) {
    w->SetForegroundColour(wxColour(GetRValue(text), GetGValue(text), GetBValue(text)));
    w->SetBackgroundColour(
        wxColour(GetRValue(background), GetGValue(background), GetBValue(background)));
  }
}

void CInPlaceControl::AddItem(const std::string& text) {
  if (impl_->combo) impl_->combo->Append(ToWx(text));
  if (impl_->list) impl_->list->InsertItem(impl_->list->GetItemCount(), ToWx(text));
}

int CInPlaceControl::GetCount() const {
  if (impl_->combo) return static_cast<int>(impl_->combo->GetCount());
  if (impl_->list) return impl_->list->GetItemCount();
  return 0;
}

void CInPlaceControl::SetCurSel(int index) {
  if (impl_->combo) impl_->combo->SetSelection(index < 0 ? wxNOT_FOUND : index);
  if (impl_->list && index >= 0 && index < impl_->list->GetItemCount()) {
    impl_->list->SetItemState(index, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }
}

int CInPlaceControl::GetCurSel() const {
  if (impl_->combo) return impl_->combo->GetSelection();
  if (impl_->list) {
    return static_cast<int>(
        impl_->list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  }
  return -1;
}

void CInPlaceControl::ShowDropDown() {
  if (impl_->combo && impl_->combo->IsShownOnScreen()) impl_->combo->Popup();
}

void CInPlaceControl::EnsureVisible(int index) {
  if (impl_->list && index >= 0 && index < impl_->list->GetItemCount()) {
    impl_->list->EnsureVisible(index);
  }
}

void CInPlaceControl::AddImageItem(HICON icon) {
  wxListCtrl* list = impl_->list;
  const wxImage* image = platform::ui::IconImage(icon);
  if (!list) return;
  int imageIndex = -1;
  if (image && image->IsOk()) {
    if (!impl_->images) {
      impl_->images = std::make_unique<wxImageList>(image->GetWidth(), image->GetHeight(), true);
      list->SetImageList(impl_->images.get(), wxIMAGE_LIST_SMALL);
    }
    imageIndex = impl_->images->Add(wxBitmap(*image));
  }
  list->InsertItem(list->GetItemCount(), wxEmptyString, imageIndex);
}

wxWindow* CInPlaceControl::GetWxWindow() const { return impl_->window.get(); }

std::vector<int> GetListBoxSelections(CWnd* listBox) {
  std::vector<int> chosen;
  auto* box = listBox ? dynamic_cast<wxListBox*>(listBox->GetWxWindow()) : nullptr;
  if (!box) return chosen;
  wxArrayInt selections;
  box->GetSelections(selections);
  for (int index : selections) chosen.push_back(index);
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

void SetListBoxSelection(CWnd* listBox, int index, bool select) {
  auto* box = listBox ? dynamic_cast<wxListBox*>(listBox->GetWxWindow()) : nullptr;
  if (!box || index < 0 || index >= static_cast<int>(box->GetCount())) return;
  if (select) {
    box->SetSelection(index);
  } else {
    box->Deselect(index);
  }
}
