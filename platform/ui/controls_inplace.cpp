// In-place controls over a part of one of the program's windows: wx edits, combo boxes and
// list controls made at run time, whose keys, characters, focus loss and choices go to the
// owner's hooks first.
//
// Lifetime: the object lives as long as its wx window. Close() hides the window and destroys
// it after the event being handled; the window's destruction (by Close() or with its parent)
// frees the object at once. Deferred work holds a weak token, never the raw object.
#include <wx/app.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/odcombo.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>
#include <wx/weakref.h>

#include <algorithm>
#include <memory>
#include <vector>

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
  wxOwnerDrawnComboBox* combo = nullptr;
  wxListCtrl* list = nullptr;
  bool closed = false;
  bool popupShown = false;
  bool popupBound = false;
  int dropHeight = 0;
  // Reset when the object goes; deferred calls check it.
  std::shared_ptr<CInPlaceControl*> token;
};

namespace {

UINT Modifiers(const wxKeyboardState& state) {
  UINT flags = 0;
  if (state.ShiftDown()) flags |= MK_SHIFT;
  if (state.ControlDown()) flags |= MK_CONTROL;
  return flags;
}

// Whether candidate is the window, one of its children, or a popup that it opened (the
// combo's dropped list is a separate top-level window whose parent is the combo).
bool Inside(wxWindow* window, wxWindow* candidate) {
  for (wxWindow* w = candidate; w; w = w->GetParent()) {
    if (w == window) return true;
  }
  return false;
}

// The widest option, the scroll bar and a digit: the dropped list's width, at most 200.
int DropWidth(wxOwnerDrawnComboBox* combo) {
  int widest = 0;
  for (unsigned i = 0; i < combo->GetCount(); ++i) {
    widest = std::max(widest, combo->GetTextExtent(combo->GetString(i)).x);
  }
  int width = widest + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, combo) +
              combo->GetTextExtent("0").x;
  return std::min(width, 200);
}

// The dropped list of a combo: exactly as wide as the combo asks (its minimum, see
// DropWidth), where the toolkit's list would widen itself to its widest option.
class DropList : public wxVListBoxComboPopup {
 public:
  wxSize GetAdjustedSize(int minWidth, int prefHeight, int maxHeight) override {
    wxSize size = wxVListBoxComboPopup::GetAdjustedSize(minWidth, prefHeight, maxHeight);
    size.x = minWidth;
    return size;
  }
};

// A combo whose edit field keeps the caret and selection the program gave it when the list
// drops (the toolkit would select the whole text).
class InPlaceCombo : public wxOwnerDrawnComboBox {
 public:
  InPlaceCombo(wxWindow* parent, const wxPoint& pos, const wxSize& size, long style)
      : wxOwnerDrawnComboBox(parent, 8, wxEmptyString, pos, size, 0, nullptr, style) {
    Customize(wxCC_NO_TEXT_AUTO_SELECT);
  }
};

// The dropped list shows value as the field's: the option it names is highlighted, and the
// toolkit, which gives the list's value to the field when the list closes, gives this one.
void ShowInList(wxOwnerDrawnComboBox* combo, const wxString& value) {
  if (wxComboPopup* popup = combo->GetPopupControl()) popup->SetStringValue(value);
}

// A key pressed while the list of a combo with an edit field is dropped: the keys go to the
// list, but the user is typing into the field. Up, down and the page keys choose an option
// (it fills the field, all selected); the caret keys and Delete act in the field. False for
// keys that are neither.
bool FieldKeyInDroppedList(wxOwnerDrawnComboBox* combo, wxVListBox* list, int code) {
  const int count = static_cast<int>(combo->GetCount());
  int step = 0;
  switch (code) {
    case WXK_UP: case WXK_NUMPAD_UP: step = -1; break;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: step = 1; break;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP:
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: {
      const int rows = list ? static_cast<int>(list->GetVisibleRowsEnd() -
                                               list->GetVisibleRowsBegin()) : 1;
      step = std::max(1, rows - 1);
      if (code == WXK_PAGEUP || code == WXK_NUMPAD_PAGEUP) step = -step;
      break;
    }
    default: break;
  }
  if (step != 0) {
    if (count == 0) return true;
    const int current = list ? list->GetSelection() : wxNOT_FOUND;
    const int next = current == wxNOT_FOUND ? 0 : std::clamp(current + step, 0, count - 1);
    const wxString option = combo->GetString(static_cast<unsigned>(next));
    combo->ChangeValue(option);
    combo->SelectAll();
    ShowInList(combo, option);
    return true;
  }
  long from = 0, to = 0;
  combo->GetSelection(&from, &to);
  const long last = combo->GetLastPosition();
  switch (code) {
    case WXK_LEFT: case WXK_NUMPAD_LEFT:
      combo->SetInsertionPoint(from != to ? from : std::max(0L, from - 1));
      return true;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT:
      combo->SetInsertionPoint(from != to ? to : std::min(last, to + 1));
      return true;
    case WXK_HOME: case WXK_NUMPAD_HOME:
      combo->SetInsertionPoint(0);
      return true;
    case WXK_END: case WXK_NUMPAD_END:
      combo->SetInsertionPoint(last);
      return true;
    case WXK_DELETE: case WXK_NUMPAD_DELETE:
      if (from == to && to < last) ++to;
      if (from != to) combo->Remove(from, to);
      ShowInList(combo, combo->GetValue());
      return true;
    default:
      return false;
  }
}

}  // namespace

// The in-place controls that exist, and the rule they share while any does: a command of
// another control of their window (a button, check box, radio button, list or combo box)
// runs after they ended, as on the handheld, where that control took the keyboard focus
// from the in-place control before it reported. The desktop can report the command first
// (a quick tap: press and release together), or not move the focus at all (Enter on the
// default button): each open control hears that it lost the focus before the command.
class InPlaceCommandRule : public wxEventFilter {
 public:
  static InPlaceCommandRule& Instance() {
    static InPlaceCommandRule rule;
    return rule;
  }
  void Add(const std::shared_ptr<CInPlaceControl*>& token) {
    if (!filtering_) wxEvtHandler::AddFilter(this);
    filtering_ = true;
    open_.push_back(token);
  }
  void Remove(CInPlaceControl* control) {
    open_.erase(std::remove_if(open_.begin(), open_.end(),
                               [control](const std::weak_ptr<CInPlaceControl*>& weak) {
                                 auto alive = weak.lock();
                                 return !alive || !*alive || *alive == control;
                               }),
                open_.end());
    if (open_.empty() && filtering_) wxEvtHandler::RemoveFilter(this);
    filtering_ = !open_.empty();
  }
  int FilterEvent(wxEvent& event) override {
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_BUTTON && type != wxEVT_CHECKBOX && type != wxEVT_RADIOBUTTON &&
        type != wxEVT_CHOICE && type != wxEVT_COMBOBOX && type != wxEVT_LISTBOX) {
      return Event_Skip;
    }
    auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!source) return Event_Skip;
    // A copy: each control may end (and others go, an owner rebuilding a grid) meanwhile.
    const auto open = open_;
    for (const auto& weak : open) {
      auto alive = weak.lock();
      if (alive && *alive) (*alive)->EndBeforeCommandOf(source);
    }
    return Event_Skip;
  }

 private:
  std::vector<std::weak_ptr<CInPlaceControl*>> open_;
  bool filtering_ = false;
};

CInPlaceControl::CInPlaceControl() : impl_(std::make_unique<Impl>()) {
  impl_->token = std::make_shared<CInPlaceControl*>(this);
  InPlaceCommandRule::Instance().Add(impl_->token);
}

void CInPlaceControl::EndBeforeCommandOf(wxWindow* source) {
  Impl& i = *impl_;
  wxWindow* self = i.window.get();
  if (i.closed || !self || !i.hooks.focusLost || Inside(self, source)) return;
  if (wxGetTopLevelParent(self) != wxGetTopLevelParent(source)) return;
  i.hooks.focusLost();
}

CInPlaceControl::~CInPlaceControl() {
  InPlaceCommandRule::Instance().Remove(this);
  *impl_->token = nullptr;
  impl_->closed = true;
  if (wxWindow* w = impl_->window.get()) {
    impl_->window = nullptr;
    w->Destroy();
  }
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
  // Windows whose keys and focus the control watches.
  std::vector<wxWindow*> targets;
  switch (kind) {
    case Kind::Edit: {
      auto* text = new wxTextCtrl(owner, 8, wxEmptyString, pos, size,
                                  alignStyle | wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB |
                                      wxBORDER_SIMPLE | wxWANTS_CHARS);
      impl.entry = text;
      window = text;
      targets.push_back(text);
      break;
    }
    case Kind::DropDown:
    case Kind::DropList: {
      // A combo whose list the program draws: it drops at once, its size is the program's,
      // and its popup is a window of this process that counts as part of the control.
      long style = kind == Kind::DropList ? wxCB_READONLY : (wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
      auto* combo = new InPlaceCombo(owner, pos, size, style | wxWANTS_CHARS);
      combo->SetPopupControl(new DropList);
      combo->SetPopupAnchor(wxLEFT);
      impl.combo = combo;
      impl.entry = combo;
      window = combo;
      // The edit field's keys and focus changes reach the combo's own handlers.
      targets.push_back(combo);
      std::weak_ptr<CInPlaceControl*> weak = impl.token;
      combo->Bind(wxEVT_COMBOBOX, [weak](wxCommandEvent& event) {
        event.Skip();
        auto alive = weak.lock();
        if (!alive || !*alive) return;
        Impl& i = *(*alive)->impl_;
        if (!i.closed && i.hooks.chosen) i.hooks.chosen(event.GetSelection());
      });
      combo->Bind(wxEVT_COMBOBOX_DROPDOWN, [weak](wxCommandEvent& event) {
        event.Skip();
        auto alive = weak.lock();
        if (!alive || !*alive) return;
        CInPlaceControl* self = *alive;
        Impl& i = *self->impl_;
        i.popupShown = true;
        i.combo->SetPopupMinWidth(DropWidth(i.combo));
        if (i.dropHeight > 0) i.combo->SetPopupMaxHeight(i.dropHeight);
      });
      combo->Bind(wxEVT_COMBOBOX_CLOSEUP, [weak](wxCommandEvent& event) {
        event.Skip();
        auto alive = weak.lock();
        if (alive && *alive) (*alive)->impl_->popupShown = false;
      });
      break;
    }
    case Kind::ItemList: {
      auto* list = new wxListCtrl(owner, 8, pos, size,
                                  wxLC_SMALL_ICON | wxLC_SINGLE_SEL | wxBORDER_SIMPLE);
      impl.list = list;
      window = list;
      targets.push_back(list);
      for (wxWindow* child : list->GetChildren()) targets.push_back(child);
      std::weak_ptr<CInPlaceControl*> weak = impl.token;
      list->Bind(wxEVT_LIST_ITEM_SELECTED, [weak](wxListEvent& event) {
        event.Skip();
        auto alive = weak.lock();
        if (!alive || !*alive) return;
        Impl& i = *(*alive)->impl_;
        if (!i.closed && i.hooks.chosen) i.hooks.chosen(static_cast<int>(event.GetIndex()));
      });
      break;
    }
  }
  impl.window = window;
  control->Watch(targets);
  window->Bind(wxEVT_DESTROY, [control, window](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != window) return;
    // The window goes (closed, or with its parent): so does the object, at once.
    Impl& i = *control->impl_;
    i.window = nullptr;
    bool wasOpen = !i.closed;
    i.closed = true;
    if (wasOpen && i.hooks.gone) i.hooks.gone();
    delete control;
  });
  if (CFont* font = parent->GetFont()) control->SetFont(font);
  return control;
}

void CInPlaceControl::Watch(const std::vector<wxWindow*>& targets) {
  std::weak_ptr<CInPlaceControl*> weak = impl_->token;
  auto live = [weak]() -> Impl* {
    auto alive = weak.lock();
    return alive && *alive ? (*alive)->impl_.get() : nullptr;
  };
  auto keyHandler = [live](wxKeyEvent& event) {
    platform::ui::NoteKeyboardState(event);
    Impl* i = live();
    UINT key = platform::ui::KeyFromWx(event.GetKeyCode());
    bool swallow = false;
    if (i && !i->closed && key != 0) {
      if (event.GetEventType() == wxEVT_KEY_DOWN) {
        if (i->hooks.keyDown) swallow = i->hooks.keyDown(key, Modifiers(event));
      } else if (i->hooks.keyUp) {
        swallow = i->hooks.keyUp(key);
      }
    }
    if (!swallow) event.Skip();
  };
  auto charHandler = [live](wxKeyEvent& event) {
    platform::ui::NoteKeyboardState(event);
    Impl* i = live();
    wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE) ch = static_cast<wxChar>(event.GetKeyCode() < 32 ? event.GetKeyCode() : 0);
    if (event.AltDown()) return;  // system characters stay away from dialog navigation
    bool swallow = false;
    if (i && !i->closed && ch != 0 && i->hooks.character) {
      swallow = i->hooks.character(static_cast<UINT>(ch));
    }
    if (!swallow) event.Skip();
  };
  auto focusHandler = [weak, live](wxFocusEvent& event) {
    event.Skip();
    Impl* i = live();
    if (!i || i->closed || !i->hooks.focusLost) return;
    wxWindow* self = i->window.get();
    if (!self || Inside(self, event.GetWindow())) return;
    if (event.GetWindow()) {
      i->hooks.focusLost();
      return;
    }
    // The focus went to no window of ours: to the toolkit's own popup of the control (a
    // combo's list, an edit's menu) or to another program. Look again once the toolkit has
    // settled; only the latter ends the edit.
    wxTheApp->CallAfter([live] {
      Impl* again = live();
      if (!again || again->closed || again->popupShown) return;
      wxWindow* w = again->window.get();
      if (!w || Inside(w, wxWindow::FindFocus())) return;
      if (again->combo && again->combo->IsPopupShown()) return;
      if (again->hooks.focusLost) again->hooks.focusLost();
    });
  };
  // Enter, Escape and Tab would otherwise go to the dialog (default button, cancel,
  // navigation) before the control saw them: the control asks for every key.
  auto hookHandler = [live](wxKeyEvent& event) {
    platform::ui::NoteKeyboardState(event);  // Shift+Tab moves back once the edit ends
    Impl* i = live();
    int code = event.GetKeyCode();
    UINT ch = code == WXK_ESCAPE ? 27u
              : (code == WXK_RETURN || code == WXK_NUMPAD_ENTER) ? 13u
              : code == WXK_TAB ? 9u
                                : 0u;
    if (ch != 0 && i && !i->closed && i->hooks.character) {
      // Enter and Tab in a dropped list without an edit field take the highlighted option
      // first; with a field, what it shows (typed, or an option chosen into it) is the value.
      if (ch != 27u && i->kind == Kind::DropList && i->combo && i->combo->IsPopupShown()) {
        auto* list = dynamic_cast<wxVListBox*>(i->combo->GetPopupControl()->GetControl());
        int highlighted = list ? list->GetSelection() : wxNOT_FOUND;
        if (highlighted != wxNOT_FOUND) i->combo->SetSelection(highlighted);
      }
      if (i->hooks.character(ch)) return;
    }
    event.Skip();
  };
  for (wxWindow* target : targets) {
    target->Bind(wxEVT_KEY_DOWN, keyHandler);
    target->Bind(wxEVT_KEY_UP, keyHandler);
    target->Bind(wxEVT_CHAR, charHandler);
    target->Bind(wxEVT_KILL_FOCUS, focusHandler);
    target->Bind(wxEVT_CHAR_HOOK, hookHandler);
  }
  // Keys that reach the dropped list: the owner sees them first, as those of the control;
  // with an edit field, typing goes on in the field (see FieldKeyInDroppedList).
  auto listKeyHandler = [live](wxKeyEvent& event) {
    platform::ui::NoteKeyboardState(event);
    Impl* i = live();
    if (!i || i->closed) return event.Skip();
    const UINT key = platform::ui::KeyFromWx(event.GetKeyCode());
    if (key != 0 && i->hooks.keyDown && i->hooks.keyDown(key, Modifiers(event))) return;
    if (i->kind != Kind::DropDown || event.ControlDown() || event.AltDown()) return event.Skip();
    auto* list = dynamic_cast<wxVListBox*>(i->combo->GetPopupControl()->GetControl());
    if (!FieldKeyInDroppedList(i->combo, list, event.GetKeyCode())) event.Skip();
  };
  auto listCharHandler = [live](wxKeyEvent& event) {
    platform::ui::NoteKeyboardState(event);
    Impl* i = live();
    if (!i || i->closed || i->kind != Kind::DropDown || event.ControlDown() ||
        event.AltDown()) {
      return event.Skip();
    }
    wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE && event.GetKeyCode() == WXK_BACK) ch = 8;
    if (ch != 8 && (ch < 32 || ch == 127)) return event.Skip();
    if (i->hooks.character && i->hooks.character(static_cast<UINT>(ch))) return;
    wxOwnerDrawnComboBox* combo = i->combo;
    long from = 0, to = 0;
    combo->GetSelection(&from, &to);
    if (ch == 8 && from == to && from > 0) --from;
    if (from != to) combo->Remove(from, to);
    if (ch != 8) combo->WriteText(wxString(wxUniChar(ch)));
    ShowInList(combo, combo->GetValue());
  };
  if (impl_->combo && !impl_->popupBound) {
    // The dropped list is made when it first drops; its keys come here too.
    wxOwnerDrawnComboBox* combo = impl_->combo;
    combo->Bind(wxEVT_COMBOBOX_DROPDOWN,
                [live, hookHandler, listKeyHandler, listCharHandler](wxCommandEvent& event) {
      event.Skip();
      Impl* i = live();
      if (!i || i->popupBound || !i->combo->GetPopupControl()) return;
      wxWindow* list = i->combo->GetPopupControl()->GetControl();
      if (!list) return;
      i->popupBound = true;
      list->Bind(wxEVT_CHAR_HOOK, hookHandler);
      list->Bind(wxEVT_KEY_DOWN, listKeyHandler);
      list->Bind(wxEVT_CHAR, listCharHandler);
    });
  }
}

void CInPlaceControl::Close() {
  Impl& i = *impl_;
  if (i.closed) return;
  // The hooks stay (unused) until the object goes: Close() may run inside one of them.
  i.closed = true;
  if (wxWindow* w = i.window.get()) {
    if (i.combo && i.combo->IsPopupShown()) i.combo->Dismiss();
    w->Hide();
    // Destroyed after the event being handled: the control may be inside its own handler.
    wxWeakRef<wxWindow> weak = w;
    wxTheApp->CallAfter([weak] {
      if (wxWindow* still = weak.get()) still->Destroy();
    });
  } else {
    std::weak_ptr<CInPlaceControl*> token = i.token;
    wxTheApp->CallAfter([token] {
      if (auto alive = token.lock(); alive && *alive) delete *alive;
    });
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

bool CInPlaceControl::HasFocus() const {
  wxWindow* w = impl_->window.get();
  return w && Inside(w, wxWindow::FindFocus());
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
  if (!impl_->combo) return;
  // Dropped once the combo is on the screen and placed (after the event that made it).
  std::weak_ptr<CInPlaceControl*> weak = impl_->token;
  wxTheApp->CallAfter([weak] {
    auto alive = weak.lock();
    if (!alive || !*alive) return;
    Impl& i = *(*alive)->impl_;
    if (!i.closed && i.combo->IsShownOnScreen() && !i.combo->IsPopupShown()) i.combo->Popup();
  });
}

void CInPlaceControl::SetDropHeight(int pixels) { impl_->dropHeight = pixels; }

void CInPlaceControl::EnsureVisible(int index) {
  if (impl_->list && index >= 0 && index < impl_->list->GetItemCount()) {
    impl_->list->EnsureVisible(index);
    // The arrow keys start from it; it is not selected.
    impl_->list->SetItemState(index, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
  }
}

void CInPlaceControl::AddImageItem(HICON icon, const std::string& missing) {
  wxListCtrl* list = impl_->list;
  const wxImage* image = platform::ui::IconImage(icon);
  if (!list) return;
  long index = list->GetItemCount();
  if (!image || !image->IsOk()) {
    list->InsertItem(index, ToWx(missing));  // still something to tap
    return;
  }
  wxImageList* images = list->GetImageList(wxIMAGE_LIST_SMALL);
  if (!images) {
    images = new wxImageList(image->GetWidth(), image->GetHeight(), true);
    list->AssignImageList(images, wxIMAGE_LIST_SMALL);  // the list frees it
  }
  list->InsertItem(index, wxEmptyString, images->Add(wxBitmap(*image)));
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
