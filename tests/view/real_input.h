// Real X input for the map view's window tests: the pointer moved onto a client pixel and
// clicked, and keys pressed, through wxUIActionSimulator, with the event loop running between
// the steps; tabs, menus and boxes found on the screen; and the toolkit's own file dialog and
// boxes answered with keys. Tests using it send input to the display's focus: they run alone
// (SERIAL).
#pragma once

#include <wx/bookctrl.h>
#include <wx/eventfilter.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/settings.h>
#include <wx/uiaction.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/command_ids.h"
#include "platform/ui/wnd.h"
#include "tests/support/wx_test_environment.h"

namespace tvxtest {

// Lets the event loop run for ms milliseconds.
inline void PumpFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

// Runs the loop until the input sent so far has reached the program and what it set off has
// run: a round trip to the display server (by its answer the server has handed the program
// every event the input made), then events until none is left. What a window manager does in
// answer (activating a window it was clicked on) comes later: wait for that on its own.
// GDK's calls are looked up at run time: the toolkit's own headers are not installed beside
// wxWidgets' (the program links GTK through wxWidgets alone).
inline void InputHandled() {
  using DefaultDisplay = void* (*)();
  using Sync = void (*)(void*);
  using Pending = int (*)();
  static auto display = reinterpret_cast<DefaultDisplay>(dlsym(RTLD_DEFAULT, "gdk_display_get_default"));
  static auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "gdk_display_sync"));
  static auto pending = reinterpret_cast<Pending>(dlsym(RTLD_DEFAULT, "gtk_events_pending"));
  if (display && sync && display()) sync(display());
  PumpUntil([] { return !(pending && pending()) && !wxTheApp->HasPendingEvents(); });
}

// Counts the events of one type that reach any window of the program while it lives: a
// window manager can hold a press on a window it has not activated yet (to activate it first)
// and hand it on later, after the display's round trip.
class EventsHeard : public wxEventFilter {
 public:
  explicit EventsHeard(wxEventType type) : type_(type) { wxEvtHandler::AddFilter(this); }
  ~EventsHeard() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == type_) ++count;
    return Event_Skip;
  }
  int count = 0;

 private:
  wxEventType type_;
};

// When and where the last click was made, for the toolkit's pairing of clicks.
struct LastClick {
  std::chrono::steady_clock::time_point at;
  wxPoint where;
  bool made = false;
};
inline LastClick& TheLastClick() {
  static LastClick last;
  return last;
}

// A single click near the last one within the toolkit's double-click time is paired with it
// into a double click (the map view opens its layer menu on one): the loop runs until that
// time has passed since the last click was heard, as it passes between two taps of a user.
inline void NotPairedWithTheLastClick() {
  const LastClick& last = TheLastClick();
  if (!last.made) return;
  const int fallbackDistance = 5;  // the toolkit's own default
  const int dx = std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_X), fallbackDistance);
  const int dy = std::max(wxSystemSettings::GetMetric(wxSYS_DCLICK_Y), fallbackDistance);
  const wxPoint here = wxGetMousePosition();
  if (std::abs(here.x - last.where.x) > dx || std::abs(here.y - last.where.y) > dy) return;
  int ms = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
  if (ms <= 0) ms = 500;
  const auto until = last.at + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
}

// A click (or a double click) where the pointer is; the loop runs until the program heard
// the last release (if it is the program's to hear) and handled what it set off.
inline void ClickHere(wxUIActionSimulator& input, bool twice) {
  if (!twice) NotPairedWithTheLastClick();
  EventsHeard releases(wxEVT_LEFT_UP);
  if (twice) {
    input.MouseDblClick();
  } else {
    input.MouseClick();
  }
  const int expected = twice ? 2 : 1;
  PumpUntil([&] { return releases.count >= expected; });
  TheLastClick() = {std::chrono::steady_clock::now(), wxGetMousePosition(), true};
  InputHandled();
}

// The pointer onto client pixel (x, y) of window, then a click (or a double click).
inline void RealClick(CWnd& window, int x, int y, bool twice = false) {
  CPoint screen(x, y);
  window.ClientToScreen(&screen);
  wxUIActionSimulator input;
  input.MouseMove(screen.x, screen.y);
  InputHandled();
  ClickHere(input, twice);
}

// A click on the middle of a wx window (a dialog's button).
inline void RealClick(wxWindow& window) {
  const wxRect r = window.GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  InputHandled();
  ClickHere(input, false);
}

// A key pressed and released (a wx key code: WXK_F5, WXK_UP), with the pointer over window's
// top-level window so the display gives that window the keys. The key goes wherever the
// program put the keyboard focus.
inline void RealKey(CWnd& window, int key) {
  wxUIActionSimulator input;
  if (wxWindow* w = window.GetWxWindow()) {
    const wxRect r = wxGetTopLevelParent(w)->GetScreenRect();
    if (!r.Contains(wxGetMousePosition())) {
      input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
      InputHandled();
    }
  }
  EventsHeard releases(wxEVT_KEY_UP);
  input.Char(key);
  PumpUntil([&] { return releases.count > 0; });
  InputHandled();
}

// Where a toolkit widget (a GtkWidget: a tab's label, a menu's item, a box's button) is on the
// screen, in screen pixels: empty while it is not shown there (unmapped, or left out of its
// row, as a tab scrolled out of a row too short for all tabs).
inline wxRect WidgetOnScreen(void* widget) {
  struct Allocation {
    int x, y, width, height;
  };
  using Flag = int (*)(void*);
  using GetAllocation = void (*)(void*, Allocation*);
  using WindowOf = void* (*)(void*);
  using Origin = int (*)(void*, int*, int*);
  static auto mapped = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gtk_widget_get_mapped"));
  static auto childVisible = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gtk_widget_get_child_visible"));
  static auto allocation = reinterpret_cast<GetAllocation>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocation"));
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto origin = reinterpret_cast<Origin>(dlsym(RTLD_DEFAULT, "gdk_window_get_origin"));
  static auto hasWindow = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gtk_widget_get_has_window"));
  if (!mapped || !childVisible || !allocation || !windowOf || !origin || !hasWindow || !widget)
    return {};
  if (!mapped(widget) || !childVisible(widget)) return {};
  Allocation a{};
  allocation(widget, &a);
  void* window = windowOf(widget);
  if (!window || a.width <= 0 || a.height <= 0) return {};
  int x = 0, y = 0;
  origin(window, &x, &y);
  // A widget with a window of its own is placed by that window; one without is placed in
  // its parent's window by its allocation.
  if (hasWindow(widget)) return {x, y, a.width, a.height};
  return {x + a.x, y + a.y, a.width, a.height};
}

// Where the tab of page index of a notebook is on the screen (its label): empty while the tab
// is scrolled out of the tab row (too many tabs for the width) or the book is not shown.
inline wxRect TabOnScreen(wxWindow* book, int index) {
  using NthPage = void* (*)(void*, int);
  using TabLabel = void* (*)(void*, void*);
  static auto nth = reinterpret_cast<NthPage>(dlsym(RTLD_DEFAULT, "gtk_notebook_get_nth_page"));
  static auto label = reinterpret_cast<TabLabel>(dlsym(RTLD_DEFAULT, "gtk_notebook_get_tab_label"));
  if (!nth || !label || !book || !book->GetHandle()) return {};
  void* page = nth(book->GetHandle(), index);
  return page ? WidgetOnScreen(label(book->GetHandle(), page)) : wxRect();
}

// The pointer on the tab of page index and a click. While the tab is out of the tab row, the
// row's arrow towards it is clicked first (it shows the next page that way, the page wanted
// too), as a user reaches a tab that does not fit. Answers how many arrow clicks it took, -1 when the tab could not be
// reached.
inline int ClickTab(wxBookCtrlBase* book, int index) {
  wxUIActionSimulator input;
  for (int arrows = 0; arrows <= static_cast<int>(book->GetPageCount()); ++arrows) {
    // The toolkit lays the row out anew a moment after a page was turned.
    const int current = book->GetSelection();
    PumpUntil([&] { return !TabOnScreen(book, current).IsEmpty(); });
    const wxRect tab = TabOnScreen(book, index);
    if (!tab.IsEmpty()) {
      input.MouseMove(tab.x + tab.width / 2, tab.y + tab.height / 2);
      InputHandled();
      ClickHere(input, false);
      return arrows;
    }
    // The row of tabs is where the shown page's tab stands; its arrows are at its two ends.
    const wxRect shown = TabOnScreen(book, current);
    if (shown.IsEmpty() || current == index) return -1;
    const wxRect row = book->GetScreenRect();
    input.MouseMove(index > current ? row.GetRight() - 6 : row.x + 6, shown.y + shown.height / 2);
    InputHandled();
    ClickHere(input, false);
    if (!PumpUntil([&] { return book->GetSelection() != current; })) return -1;
    if (book->GetSelection() == index) return arrows + 1;
  }
  return -1;
}

// Answers the program's real message boxes as a user does, while it lives: once a box is on the
// screen (under a window manager also given the focus), the pointer clicks its OK button. The
// boxes run their own loop: a timer, which runs in that loop too, looks for them. texts holds
// each box's message, in the order shown.
class RealBoxAnswers : public wxModalDialogHook {
 public:
  RealBoxAnswers() {
    Register();
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Answer(); });
    timer_.Start(20);
  }
  ~RealBoxAnswers() override {
    timer_.Stop();
    Unregister();
  }
  // Whether a box is open.
  bool Open() const { return box_ != nullptr; }
  // Whether count boxes have been shown and answered.
  bool Answered(std::size_t count) const { return texts.size() == count && !box_; }
  std::vector<std::string> texts;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
      box_ = box;
      clicked_ = false;
      texts.push_back(box->GetMessage().utf8_string());
    }
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    if (dialog == box_) box_ = nullptr;
  }

 private:
  void Answer() {
    using ButtonFor = void* (*)(void*, int);
    using Flag = int (*)(void*);
    static auto buttonFor =
        reinterpret_cast<ButtonFor>(dlsym(RTLD_DEFAULT, "gtk_dialog_get_widget_for_response"));
    static auto active = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gtk_window_is_active"));
    if (!box_ || clicked_ || !buttonFor || !active || !box_->GetHandle()) return;
    constexpr int kResponseOk = -5;  // GTK_RESPONSE_OK
    const wxRect button = WidgetOnScreen(buttonFor(box_->GetHandle(), kResponseOk));
    if (button.IsEmpty() || (WindowManagerRuns() && !active(box_->GetHandle()))) return;
    clicked_ = true;
    wxUIActionSimulator input;
    input.MouseMove(button.x + button.width / 2, button.y + button.height / 2);
    input.MouseClick();
  }

  wxTimer timer_;
  wxMessageDialogBase* box_ = nullptr;
  bool clicked_ = false;
};

// Chooses an item of the next popup menu the program opens, with the pointer, as a user
// does: once the menu is on the screen (its item there), the pointer goes onto the item and
// clicks. The menu runs its own loop: a timer, which runs there too, looks for it. chosen
// tells when the click was sent.
class PopupMenuAnswer : public wxEventFilter {
 public:
  explicit PopupMenuAnswer(int wxId) : id_(wxId) {
    wxEvtHandler::AddFilter(this);
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Answer(); });
    timer_.Start(20);
  }
  ~PopupMenuAnswer() override {
    timer_.Stop();
    wxEvtHandler::RemoveFilter(this);
  }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_MENU_OPEN && !menu_) {
      wxMenu* menu = static_cast<wxMenuEvent&>(event).GetMenu();
      if (menu && menu->FindItem(id_)) menu_ = menu;
    }
    return Event_Skip;
  }
  bool chosen = false;

 private:
  void Answer() {
    if (!menu_ || chosen) return;
    wxMenuItem* item = menu_->FindItem(id_);
    const wxRect r = item ? WidgetOnScreen(item->GetMenuItem()) : wxRect();
    if (r.IsEmpty()) return;
    chosen = true;
    wxUIActionSimulator input;
    input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    input.MouseClick();
  }

  int id_;
  wxMenu* menu_ = nullptr;
  wxTimer timer_;
};

// A popup menu of the program as the screen shows it.
struct PopupOnScreen {
  struct Item {
    UINT command = 0;
    std::string text;
    bool enabled = false;
    wxRect rect;  // screen pixels
  };
  wxPoint origin;           // the menu window's top-left corner on the screen
  std::vector<Item> items;  // separators left out
  const Item* Find(UINT command) const {
    for (const Item& item : items)
      if (item.command == command) return &item;
    return nullptr;
  }
};

// Whether the toolkit shows the menu, and where (the menu and its items, read from the toolkit).
inline bool PopupMapped(wxMenu* menu) {
  using Mapped = int (*)(GtkWidget*);
  static auto mapped = reinterpret_cast<Mapped>(dlsym(RTLD_DEFAULT, "gtk_widget_get_mapped"));
  return menu && menu->m_menu && mapped && mapped(menu->m_menu);
}
inline PopupOnScreen ReadPopup(wxMenu* menu) {
  using WindowOf = GdkWindow* (*)(GtkWidget*);
  using Origin = int (*)(GdkWindow*, int*, int*);
  using Toplevel = GtkWidget* (*)(GtkWidget*);
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto origin = reinterpret_cast<Origin>(dlsym(RTLD_DEFAULT, "gdk_window_get_origin"));
  static auto toplevel = reinterpret_cast<Toplevel>(dlsym(RTLD_DEFAULT, "gtk_widget_get_toplevel"));
  PopupOnScreen shown;
  if (!menu || !menu->m_menu || !windowOf || !origin || !toplevel) return shown;
  if (GdkWindow* top = windowOf(toplevel(menu->m_menu))) origin(top, &shown.origin.x, &shown.origin.y);
  for (wxMenuItem* item : menu->GetMenuItems()) {
    if (item->IsSeparator() || !item->GetMenuItem()) continue;
    PopupOnScreen::Item read;
    read.command = platform::ui::WxIdToCommand(item->GetId());
    read.text = item->GetItemLabelText().utf8_string();
    read.enabled = item->IsEnabled();
    read.rect = WidgetOnScreen(item->GetMenuItem());
    shown.items.push_back(read);
  }
  return shown;
}

// Runs act on the next popup menu the program opens, inside the menu's own loop once the menu
// is on the screen with its items laid out: act reads it and ends it as a user does (a key, an
// item chosen with the pointer).
class WhenPopupShown : public wxEventFilter {
 public:
  using Act = std::function<void(wxMenu*, const PopupOnScreen&)>;
  explicit WhenPopupShown(Act act) : act_(std::move(act)) { wxEvtHandler::AddFilter(this); }
  ~WhenPopupShown() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (opened_ || event.GetEventType() != wxEVT_MENU_OPEN) return Event_Skip;
    auto& open = static_cast<wxMenuEvent&>(event);
    if (!open.IsPopup() || !open.GetMenu()) return Event_Skip;
    opened_ = true;
    wxMenu* menu = open.GetMenu();
    wxTheApp->CallAfter([this, menu] {
      PumpUntil([&] {
        if (!PopupMapped(menu)) return false;
        const PopupOnScreen read = ReadPopup(menu);
        return !read.items.empty() && read.items.back().rect.height > 0;
      });
      shown = ReadPopup(menu);
      act_(menu, shown);
      done = true;
    });
    return Event_Skip;
  }
  bool opened() const { return opened_; }
  PopupOnScreen shown;
  bool done = false;

 private:
  Act act_;
  bool opened_ = false;
};

// A popup item chosen with the pointer: onto the item, a click. When the stylus is still down
// (the press that opened the menu), it is lifted on the item.
inline void ChooseWithPointer(wxMenu* menu, const PopupOnScreen::Item& item, bool held) {
  wxUIActionSimulator input;
  input.MouseMove(item.rect.x + item.rect.width / 2, item.rect.y + item.rect.height / 2);
  InputHandled();
  if (held) {
    // Lifted over the item: the toolkit takes it as the choice once the menu has been up a
    // moment, and ignores it before; then the item is clicked.
    input.MouseUp();
    InputHandled();
  }
  if (PopupMapped(menu)) {
    input.MouseClick();
    InputHandled();
  }
  PumpUntil([menu] { return !PopupMapped(menu); });
}

// The popup closed with Escape, as a user does after a look at it.
inline void CloseWithEscape(wxMenu* menu, bool held) {
  wxUIActionSimulator input;
  if (held) {
    input.MouseUp();
    InputHandled();
  }
  if (PopupMapped(menu)) input.Char(WXK_ESCAPE);
  PumpUntil([menu] { return !PopupMapped(menu); });
}

// Whether the menu is on the screen with its items laid out (their places known).
inline bool PopupLaidOut(wxMenu* menu) {
  if (!PopupMapped(menu)) return false;
  const PopupOnScreen read = ReadPopup(menu);
  return !read.items.empty() && read.items.back().rect.height > 0;
}

// A menu of the menu bar opened as the user opens it: a click on its title, then, for an item
// of a submenu, the pointer onto the submenu's item. The menu shown last (the submenu, else the
// menu), once it is laid out; null when it did not open. The loop runs on conditions only: while
// a menu holds the pointer the toolkit is never idle.
inline wxMenu* OpenFromMenuBar(wxMenu* menu, const char* submenu = nullptr) {
  if (!menu) return nullptr;
  wxUIActionSimulator input;
  const wxRect title = WidgetOnScreen(menu->m_owner);
  input.MouseMove(title.x + title.width / 2, title.y + title.height / 2);
  input.MouseClick();
  if (!PumpUntil([menu] { return PopupLaidOut(menu); })) return nullptr;
  if (!submenu) return menu;
  const PopupOnScreen items = ReadPopup(menu);
  const auto parent = std::find_if(items.items.begin(), items.items.end(),
                                   [&](const PopupOnScreen::Item& item) { return item.text == submenu; });
  if (parent == items.items.end()) return nullptr;
  wxMenuItem* owner = menu->FindItem(menu->FindItem(submenu));
  wxMenu* sub = owner ? owner->GetSubMenu() : nullptr;
  input.MouseMove(parent->rect.x + parent->rect.width / 2, parent->rect.y + parent->rect.height / 2);
  if (!sub || !PumpUntil([sub] { return PopupLaidOut(sub); })) return nullptr;
  return sub;
}

// A menu of the menu bar closed with Escape, as a user does after a look at it (once more for
// an open submenu).
inline void CloseMenuBarMenu(wxMenu* menu, bool submenuOpen) {
  wxUIActionSimulator input;
  if (submenuOpen) input.Char(WXK_ESCAPE);
  input.Char(WXK_ESCAPE);
  PumpUntil([menu] { return !PopupMapped(menu); });
}

// An item of an open menu of the menu bar chosen with the pointer: onto the item, a click; the
// loop runs until the menu has gone.
inline void ChooseFromMenuBar(wxMenu* menu, const PopupOnScreen::Item& item) {
  wxUIActionSimulator input;
  input.MouseMove(item.rect.x + item.rect.width / 2, item.rect.y + item.rect.height / 2);
  input.MouseClick();
  PumpUntil([menu] { return !PopupMapped(menu); });
}

// The toolkit's own modal dialogs as the user meets them: its file dialog and the boxes shown
// over it, from the moment each is shown modally until it ends.
class NativeDialogs : public wxModalDialogHook {
 public:
  NativeDialogs() { Register(); }
  ~NativeDialogs() override { Unregister(); }
  wxFileDialog* file = nullptr;
  wxMessageDialogBase* box = nullptr;
  std::vector<std::string> boxTexts;  // every box shown, in turn

  // Whether the toolkit has the dialog on the screen and, under a window manager, active
  // (keys go to it).
  static bool Shown(wxWindow* dialog) {
    using WindowOf = void* (*)(void*);
    using Viewable = int (*)(void*);
    using Active = int (*)(void*);
    static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static auto viewable = reinterpret_cast<Viewable>(dlsym(RTLD_DEFAULT, "gdk_window_is_viewable"));
    static auto active = reinterpret_cast<Active>(dlsym(RTLD_DEFAULT, "gtk_window_is_active"));
    if (!dialog || !dialog->GetHandle() || !windowOf || !viewable || !active) return false;
    void* window = windowOf(dialog->GetHandle());
    if (!window || !viewable(window)) return false;
    return !WindowManagerRuns() || active(dialog->GetHandle());
  }
  // Whether the file dialog has taken `name` as typed into its name field: it says its choice
  // changed a moment after the last key, and an Enter pressed before that can go unanswered.
  bool NameTaken(const std::string& name) const {
    return TypedName() == name && nameWhenChoiceChanged_ == name;
  }
  // The folder the file dialog shows (empty until it has taken it up, a moment after it
  // shows).
  std::string Folder() const {
    using CurrentFolder = char* (*)(void*);
    using Free = void (*)(void*);
    static auto folder = reinterpret_cast<CurrentFolder>(
        dlsym(RTLD_DEFAULT, "gtk_file_chooser_get_current_folder"));
    static auto release = reinterpret_cast<Free>(dlsym(RTLD_DEFAULT, "g_free"));
    if (!file || !file->GetHandle() || !folder || !release) return {};
    char* text = folder(file->GetHandle());
    std::string out = text ? text : "";
    release(text);
    return out;
  }
  // The name in the file dialog's name field (a save dialog's), as the user sees it.
  std::string TypedName() const {
    using CurrentName = char* (*)(void*);
    using Free = void (*)(void*);
    static auto name =
        reinterpret_cast<CurrentName>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_get_current_name"));
    static auto release = reinterpret_cast<Free>(dlsym(RTLD_DEFAULT, "g_free"));
    if (!file || !file->GetHandle() || !name || !release) return {};
    char* text = name(file->GetHandle());
    std::string out = text ? text : "";
    release(text);
    return out;
  }

 protected:
  int Enter(wxDialog* dialog) override {
    auto* f = dynamic_cast<wxFileDialog*>(dialog);
    if (f && f != file) {
      file = f;
      nameWhenChoiceChanged_.clear();
      using Connect = unsigned long (*)(void*, const char*, void (*)(), void*, void*, int);
      static auto connect = reinterpret_cast<Connect>(dlsym(RTLD_DEFAULT, "g_signal_connect_data"));
      if (connect && f->GetHandle()) {
        selectionSignal_ = connect(f->GetHandle(), "selection-changed",
                                   reinterpret_cast<void (*)()>(&SelectionChanged), this, nullptr, 0);
      }
    }
    auto* b = dynamic_cast<wxMessageDialogBase*>(dialog);
    if (b && b != box) {
      box = b;
      boxTexts.push_back(b->GetMessage().utf8_string());
    }
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    if (dialog == file) {
      using Disconnect = void (*)(void*, unsigned long);
      static auto disconnect =
          reinterpret_cast<Disconnect>(dlsym(RTLD_DEFAULT, "g_signal_handler_disconnect"));
      if (disconnect && selectionSignal_ && file->GetHandle()) {
        disconnect(file->GetHandle(), selectionSignal_);
      }
      selectionSignal_ = 0;
      file = nullptr;
    }
    if (dialog == box) box = nullptr;
  }

 private:
  static void SelectionChanged(void*, NativeDialogs* self) {
    self->nameWhenChoiceChanged_ = self->TypedName();
  }
  unsigned long selectionSignal_ = 0;
  std::string nameWhenChoiceChanged_;
};

// What a user does in turn while a command runs its modal dialogs: each step acts once its
// condition holds and the step before it has acted. Each acts from a timer of its own, so that
// a step whose key opens another modal loop (a question over a dialog) is still under way
// while the next step answers inside that loop. Steps that are not all taken within a minute
// (the dialogs waiting for something that never comes) end with giveUp, so that the command
// returns and the test can say what was missing.
struct UserStep {
  std::function<bool()> ready;
  std::function<void()> act;
};
class UserSteps {
 public:
  UserSteps(std::vector<UserStep> steps, std::function<void()> giveUp)
      : steps_(std::move(steps)), giveUp_(std::move(giveUp)),
        deadline_(std::chrono::steady_clock::now() + std::chrono::minutes(1)) {
    poll_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      if (next_ < steps_.size() && std::chrono::steady_clock::now() > deadline_) {
        poll_.Stop();
        giveUp_();
        return;
      }
      if (next_ >= steps_.size() || !steps_[next_].ready()) return;
      auto& timer = acting_.emplace_back(std::make_unique<wxTimer>());
      std::function<void()> act = steps_[next_++].act;
      timer->Bind(wxEVT_TIMER, [act](wxTimerEvent&) { act(); });
      timer->StartOnce(1);
    });
    poll_.Start(20);
  }
  ~UserSteps() {
    poll_.Stop();
    for (auto& timer : acting_) timer->Stop();
  }
  std::size_t Taken() const { return next_; }
  bool AllTaken() const { return next_ == steps_.size(); }

 private:
  std::vector<UserStep> steps_;
  std::function<void()> giveUp_;
  std::chrono::steady_clock::time_point deadline_;
  std::size_t next_ = 0;
  wxTimer poll_;
  std::vector<std::unique_ptr<wxTimer>> acting_;
};

// Keys as the user presses them, wherever the display sends them (the toolkit gives them to
// its modal dialog on top): a key code with its modifiers (wxMOD_CONTROL, wxMOD_ALT).
inline void PressKey(int key, int modifiers = wxMOD_NONE) {
  wxUIActionSimulator input;
  input.Char(key, modifiers);
}
inline void TypeText(const char* text) {
  wxUIActionSimulator input;
  input.Text(text);
}

}  // namespace tvxtest
