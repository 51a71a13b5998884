// A dialog's controls used as a user uses them, through a Driver: each box and radio clicked,
// each combo opened with the pointer and an item chosen with the keys, each edit clicked into
// and typed into, each list and slider moved; what each then shows read back; the focus taken
// round the controls with Tab; the dialog's pages chosen by their tabs.
#pragma once

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/wnd.h"
#include "tests/sweep/ui_driver.h"

namespace sweep {

enum class Kind { Check, Radio, Choice, Combo, Text, List, Slider, Button, Custom };

inline const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Check: return "check box";
    case Kind::Radio: return "radio button";
    case Kind::Choice: return "combo";
    case Kind::Combo: return "combo with an edit";
    case Kind::Text: return "edit";
    case Kind::List: return "list";
    case Kind::Slider: return "slider";
    case Kind::Button: return "button";
    case Kind::Custom: return "control of the program's own";
  }
  return "";
}

struct Control {
  int id = 0;
  Kind kind = Kind::Custom;
  wxWindow* window = nullptr;
};

// The controls under root with an id of their own, in the order the template lists them; the
// insides of the program's own controls (a grid's editors) are theirs.
inline void CollectControls(wxWindow* root, std::vector<Control>& out) {
  for (wxWindow* w : root->GetChildren()) {
    if (w->IsTopLevel()) continue;
    Control c{w->GetId(), Kind::Custom, w};
    if (dynamic_cast<wxCheckBox*>(w)) c.kind = Kind::Check;
    else if (dynamic_cast<wxRadioButton*>(w)) c.kind = Kind::Radio;
    else if (dynamic_cast<wxComboBox*>(w)) c.kind = Kind::Combo;
    else if (dynamic_cast<wxChoice*>(w)) c.kind = Kind::Choice;
    else if (dynamic_cast<wxTextCtrl*>(w)) c.kind = Kind::Text;
    else if (dynamic_cast<wxListBox*>(w)) c.kind = Kind::List;
    else if (dynamic_cast<wxSlider*>(w)) c.kind = Kind::Slider;
    else if (dynamic_cast<wxButton*>(w)) c.kind = Kind::Button;
    else if (!dynamic_cast<wxControl*>(w) && CWnd::FromWxWindow(w) &&
             !dynamic_cast<wxPanel*>(w)) {
      c.kind = Kind::Custom;
    } else {
      CollectControls(w, out);  // a panel or a static box: its controls
      continue;
    }
    if (c.id > 0) out.push_back(c);
  }
}
inline std::vector<Control> ControlsOf(wxWindow* root) {
  std::vector<Control> out;
  CollectControls(root, out);
  return out;
}

// The radio buttons of the group that starts at first (the next ones among its siblings up to
// one that starts a group of its own).
inline std::vector<wxRadioButton*> RadioGroup(wxRadioButton* first) {
  std::vector<wxRadioButton*> group;
  bool in = false;
  for (wxWindow* w : first->GetParent()->GetChildren()) {
    auto* radio = dynamic_cast<wxRadioButton*>(w);
    if (w == first) {
      in = true;
      group.push_back(first);
      continue;
    }
    if (!in) continue;
    if (!radio || radio->HasFlag(wxRB_GROUP)) break;
    group.push_back(radio);
  }
  return group;
}
inline bool StartsGroup(wxRadioButton* radio) {
  if (radio->HasFlag(wxRB_GROUP)) return true;
  wxWindow* before = nullptr;
  for (wxWindow* w : radio->GetParent()->GetChildren()) {
    if (w == radio) break;
    before = w;
  }
  return !dynamic_cast<wxRadioButton*>(before);
}

// What a control shows, as text: a box's state, a combo's or list's selection, an edit's text.
inline std::string Shown(wxWindow* w) {
  if (auto* c = dynamic_cast<wxCheckBox*>(w)) return c->GetValue() ? "checked" : "unchecked";
  if (auto* r = dynamic_cast<wxRadioButton*>(w)) return r->GetValue() ? "chosen" : "not chosen";
  if (auto* c = dynamic_cast<wxComboBox*>(w)) return c->GetValue().utf8_string();
  if (auto* c = dynamic_cast<wxChoice*>(w)) return "item " + std::to_string(c->GetSelection());
  if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return t->GetValue().utf8_string();
  if (auto* l = dynamic_cast<wxListBox*>(w)) {
    wxArrayInt selections;
    l->GetSelections(selections);
    std::string s = "rows";
    for (int i : selections) s += " " + std::to_string(i);
    return s;
  }
  if (auto* s = dynamic_cast<wxSlider*>(w)) return "at " + std::to_string(s->GetValue());
  return {};
}

// The choices a user sees made in the controls under root, by id (a read-only edit shows
// what the program says, no choice).
inline std::map<int, std::string> ShownStates(wxWindow* root) {
  std::map<int, std::string> states;
  for (const Control& c : ControlsOf(root)) {
    if (c.kind == Kind::Button || c.kind == Kind::Custom) continue;
    if (auto* edit = dynamic_cast<wxTextCtrl*>(c.window); edit && !edit->IsEditable()) continue;
    states[c.id] = Shown(c.window);
  }
  return states;
}

inline bool Usable(wxWindow* w) { return w && w->IsEnabled() && w->IsShownOnScreen(); }

// Whether the keyboard focus of w's window is in w (the control itself or a part of it), as
// the toolkit has it.
inline bool FocusIn(wxWindow* w) {
  wxWindow* top = wxGetTopLevelParent(w);
  return top && gtk::IsInside(gtk::FocusWidget(top->GetHandle()), w->GetHandle());
}

// What the sweep did with the controls of one window, for the report of a failure.
struct Used {
  std::vector<std::string> steps;
  std::string Text() const {
    std::ostringstream out;
    for (const std::string& s : steps) out << "\n  " << s;
    return out.str();
  }
};

struct Choices {
  std::map<int, std::string> typed;  // what an edit gets typed into it (else "7")
  std::map<int, std::string> expect; // what it then shows, when the edit changes it
  std::map<int, int> radioEnd;       // a group's first radio -> the one it is left on
  std::set<int> left;                // controls the sweep leaves alone
};

// Uses every usable control under root once, as a user does.
inline void UseControls(Driver& user, wxWindow* root, const Choices& choices, Used& used) {
  const std::vector<Control> controls = user.Ui([root] { return ControlsOf(root); });
  std::set<int> done;
  for (const Control& c : controls) {
    if (choices.left.count(c.id) || done.count(c.id)) continue;
    if (!user.Ui([&] { return Usable(c.window); })) continue;
    const std::string what = std::string(KindName(c.kind)) + " " + std::to_string(c.id);
    switch (c.kind) {
      case Kind::Check: {
        const bool before = user.Ui([&] { return static_cast<wxCheckBox*>(c.window)->GetValue(); });
        user.Click(user.Ui([&] { return c.window->GetScreenRect(); }));
        user.RequireUntil([&] { return static_cast<wxCheckBox*>(c.window)->GetValue() != before; },
                          "the " + what + " answers a click");
        used.steps.push_back(what + ": clicked, " + (before ? "unchecked" : "checked"));
        break;
      }
      case Kind::Radio: {
        // Each button of the group is clicked, the one chosen at first last of all; the group
        // is then left on the one asked for, or on the last of the others.
        auto* first = static_cast<wxRadioButton*>(c.window);
        if (!user.Ui([&] { return StartsGroup(first); })) break;
        const std::vector<wxRadioButton*> group = user.Ui([&] { return RadioGroup(first); });
        wxRadioButton* initial = user.Ui([&]() -> wxRadioButton* {
          for (wxRadioButton* r : group)
            if (r->GetValue()) return r;
          return nullptr;
        });
        auto choose = [&](wxRadioButton* r) {
          const int id = user.Ui([r] { return r->GetId(); });
          if (!user.Ui([r] { return Usable(r); })) return;
          user.Click(user.Ui([r] { return r->GetScreenRect(); }));
          user.RequireUntil([r] { return r->GetValue(); },
                            "the radio button " + std::to_string(id) + " answers a click");
          used.steps.push_back("radio button " + std::to_string(id) + ": chosen");
        };
        wxRadioButton* target = nullptr;
        for (wxRadioButton* r : group) {
          done.insert(user.Ui([r] { return r->GetId(); }));
          if (r == initial) continue;
          choose(r);
          target = r;
        }
        if (initial) choose(initial);
        if (auto end = choices.radioEnd.find(c.id); end != choices.radioEnd.end()) {
          target = dynamic_cast<wxRadioButton*>(user.Ui([&] { return root->FindWindow(end->second); }));
        }
        if (target && !user.Ui([target] { return target->GetValue(); })) choose(target);
        break;
      }
      case Kind::Choice:
      case Kind::Combo: {
        auto* items = dynamic_cast<wxItemContainer*>(c.window);
        const int count = user.Ui([&] { return static_cast<int>(items->GetCount()); });
        if (count == 0) {
          used.steps.push_back(what + ": empty, not opened");
          break;
        }
        const int before = user.Ui([&] { return items->GetSelection(); });
        wxRect r = user.Ui([&] { return c.window->GetScreenRect(); });
        // A combo with an edit opens from its button at the right end.
        if (c.kind == Kind::Combo) r = wxRect(r.GetRight() - 12, r.y, 8, r.height);
        user.Click(r);
        void* widget = user.Ui([&] { return static_cast<void*>(c.window->GetHandle()); });
        user.RequireUntil([&] { return gtk::BoolProperty(widget, "popup-shown"); },
                          "the " + what + " opens on a click");
        // Its list takes keys once it is on the screen.
        if (user.popupOnScreen) {
          const auto end = std::chrono::steady_clock::now() + 5s;
          while (!user.popupOnScreen() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(5ms);
          user.Idle();
        }
        // The next item, or the one before when the last is chosen.
        const bool down = before < count - 1;
        if (count > 1) user.Key(down ? WXK_DOWN : WXK_UP);
        user.Key(WXK_RETURN);
        user.RequireUntil([&] { return !gtk::BoolProperty(widget, "popup-shown"); },
                          "the " + what + " closes when an item is chosen");
        // From no item chosen, the key takes the first or the one under the pointer.
        const int wanted = count == 1 ? 0 : (down ? before + 1 : before - 1);
        user.RequireUntil([&] {
          const int now = items->GetSelection();
          return before < 0 ? now >= 0 : now == wanted;
        }, "the " + what + " shows the item chosen");
        used.steps.push_back(what + ": item " + std::to_string(user.Ui([&] { return items->GetSelection(); })) +
                             " chosen");
        break;
      }
      case Kind::Text: {
        auto* edit = static_cast<wxTextCtrl*>(c.window);
        if (!user.Ui([&] { return edit->IsEditable(); })) break;
        auto typed = choices.typed.find(c.id);
        const std::string text = typed != choices.typed.end() ? typed->second : "7";
        auto shown = choices.expect.find(c.id);
        const std::string expect = shown != choices.expect.end() ? shown->second : text;
        user.Click(user.Ui([&] { return edit->GetScreenRect(); }));
        user.RequireUntil([&] { return FocusIn(edit); }, "the " + what + " takes the focus on a click");
        user.Key('a', wxMOD_CONTROL);
        user.Type(text);
        user.RequireUntil([&] { return edit->GetValue().utf8_string() == expect; },
                          "the " + what + " shows what was typed (" + expect + ")");
        used.steps.push_back(what + ": \"" + text + "\" typed");
        break;
      }
      case Kind::List: {
        auto* list = static_cast<wxListBox*>(c.window);
        const int count = user.Ui([&] { return static_cast<int>(list->GetCount()); });
        if (count == 0) {
          used.steps.push_back(what + ": empty");
          break;
        }
        const wxRect r = user.Ui([&] { return list->GetScreenRect(); });
        user.Click(wxPoint(r.x + r.width / 2, r.y + 10));
        user.RequireUntil([&] { return list->IsSelected(0); }, "the " + what + "'s first row answers a click");
        if (count > 1) {
          user.Key(WXK_DOWN);
          user.RequireUntil([&] { return list->IsSelected(1); }, "the " + what + " moves down on the key");
        }
        used.steps.push_back(what + ": rows chosen");
        break;
      }
      case Kind::Slider: {
        auto* slider = static_cast<wxSlider*>(c.window);
        const int before = user.Ui([&] { return slider->GetValue(); });
        const wxRect r = user.Ui([&] { return slider->GetScreenRect(); });
        user.Click(r);
        user.RequireUntil([&] { return FocusIn(slider); }, "the " + what + " takes the focus on a click");
        const int atClick = user.Ui([&] { return slider->GetValue(); });
        user.Key(atClick < slider->GetMax() ? WXK_RIGHT : WXK_LEFT);
        user.RequireUntil([&] { return slider->GetValue() != atClick; }, "the " + what + " moves on the key");
        used.steps.push_back(what + ": moved from " + std::to_string(before));
        break;
      }
      case Kind::Button:
      case Kind::Custom:
        break;
    }
  }
}

// Where the book shows the tab of page index (its label), in screen pixels; empty when its tab
// is scrolled out of the row (the toolkit then hides it).
inline wxRect TabOnScreen(wxBookCtrlBase* book, int index) {
  static auto nth = gtk::Fn<void* (*)(void*, int)>("gtk_notebook_get_nth_page");
  static auto childVisible = gtk::Fn<int (*)(void*)>("gtk_widget_get_child_visible");
  void* page = nth && book->GetHandle() ? nth(book->GetHandle(), index) : nullptr;
  void* label = gtk::TabLabel(book->GetHandle(), page);
  if (!label || !childVisible || !childVisible(label)) return {};
  const wxRect r = gtk::OnScreen(label);
  return r.width > 0 && r.height > 0 ? r : wxRect();
}

// The page of a property sheet's book at index, shown by a click on its tab (when its tab is
// scrolled out of sight, by clicks on the tabs' arrow towards it, as a user reaches it); the
// page's area of the screen then shows something else than before.
inline void ChooseTab(Driver& user, wxBookCtrlBase* book, int index) {
  const std::string what = "the tab of page " + std::to_string(index);
  wxWindow* page = user.Ui([&] { return book->GetPage(static_cast<size_t>(index)); });
  const wxRect area = user.Ui([&] {
    wxWindow* shown = book->GetCurrentPage();
    return shown ? shown->GetScreenRect() : book->GetScreenRect();
  });
  const auto before = user.Ui([&] { return tvxtest::ScreenPixels(area); });
  // The toolkit lays the row of tabs out anew a moment after a page was turned (its arrows
  // scroll it): the tab is clicked where it stands once the row shows the tab of the page
  // shown within the book, and stands still.
  wxRect tab;
  user.Until([&] {
    const wxRect strip = book->GetScreenRect();
    const wxRect current = TabOnScreen(book, book->GetSelection());
    const wxRect now = TabOnScreen(book, index);
    const bool settled = !current.IsEmpty() && strip.Contains(current) && now == tab &&
                         (now.IsEmpty() || strip.Contains(now));
    tab = now;
    return settled;
  }, 3s);
  if (!tab.IsEmpty()) {
    user.Click(tab);
  } else {
    for (int step = 0; step < 12 && user.Ui([&] { return book->GetSelection(); }) != index; ++step) {
      const int at = user.Ui([&] { return book->GetSelection(); });
      // The row of tabs: where any tab is on the screen.
      wxRect shown;
      user.RequireUntil([&] {
        for (size_t i = 0; i < book->GetPageCount() && shown.IsEmpty(); ++i)
          shown = TabOnScreen(book, static_cast<int>(i));
        return !shown.IsEmpty();
      }, what + ": the row of tabs is on the screen");
      const wxRect strip = user.Ui([&] { return book->GetScreenRect(); });
      const int x = index > at ? strip.GetRight() - 8 : strip.x + 8;
      user.Click(wxPoint(x, shown.y + shown.height / 2));
      user.RequireUntil([&] { return book->GetSelection() != at; }, what + ": the tabs' arrow moves on");
    }
  }
  const bool shown = user.Until([&] {
    return book->GetSelection() == index && tvxtest::OnScreen(page) &&
           tvxtest::ScreenPixels(area) != before;
  });
  if (!shown) {
    const std::string state = user.Ui([&] {
      return " (page " + std::to_string(book->GetSelection()) + " chosen, the page asked for " +
             (tvxtest::OnScreen(page) ? "" : "not ") + "on the screen, its area " +
             (tvxtest::ScreenPixels(area) != before ? "changed" : "unchanged") + ")";
    });
    user.Require(false, what + " shows its page when clicked" + state);
  }
}

// The control of the dialog that has the keyboard focus (the toolkit's focus widget in it, or
// in a part of it); nullptr when the focus is elsewhere in the dialog, and lost set when
// nothing in the dialog has it.
inline wxWindow* FocusedControl(wxWindow* dialog, bool* lost = nullptr) {
  void* focus = gtk::FocusWidget(dialog->GetHandle());
  if (lost) *lost = focus == nullptr;
  if (!focus) return nullptr;
  wxWindow* found = nullptr;
  for (const Control& c : ControlsOf(dialog)) {
    if (gtk::IsInside(focus, c.window->GetHandle())) found = c.window;
  }
  return found;
}

inline std::string IdOf(Driver& user, wxWindow* w) {
  return w ? std::to_string(user.Ui([w] { return w->GetId(); })) : std::string("no control");
}

// Tab pressed round the dialog's controls: each press moves the focus on and never out of the
// dialog, and every control that takes the focus from the keyboard is reached (a radio group
// at its chosen button). Stops at a control that keeps Tab for itself (a grid's cells).
inline void TabRound(Driver& user, wxWindow* dialog, const std::set<int>& keepsTab, Used& used) {
  const std::vector<Control> controls = user.Ui([dialog] { return ControlsOf(dialog); });
  std::set<wxWindow*> wanted;
  for (const Control& c : controls) {
    const bool takes = user.Ui([&] {
      if (!Usable(c.window) || !c.window->AcceptsFocusFromKeyboard()) return false;
      auto* radio = dynamic_cast<wxRadioButton*>(c.window);
      return !radio || radio->GetValue();
    });
    if (takes) wanted.insert(c.window);
  }
  user.PointAt(user.Ui([dialog] { return dialog->GetScreenRect(); }));
  std::set<wxWindow*> reached;
  void* at = user.Ui([dialog] { return gtk::FocusWidget(dialog->GetHandle()); });
  if (wanted.size() <= 1) {
    // Nothing to move to: the focus stays.
    user.Key(WXK_TAB);
    bool lost = false;
    user.Ui([&] { return FocusedControl(dialog, &lost); });
    user.Require(!lost, "Tab keeps the focus in the dialog");
    return;
  }
  const size_t presses = wanted.size() + 3;
  for (size_t i = 0; i < presses && reached.size() < wanted.size(); ++i) {
    user.Key(WXK_TAB);
    const bool moved = user.Until([&] {
      void* now = gtk::FocusWidget(dialog->GetHandle());
      return now && now != at;
    }, 3s);
    bool lost = false;
    wxWindow* control = user.Ui([&] { return FocusedControl(dialog, &lost); });
    user.Require(!lost, "Tab keeps the focus in the dialog (press " + std::to_string(i + 1) + ")" + used.Text());
    user.Require(moved, "Tab moves the focus on from " + IdOf(user, control) + used.Text());
    used.steps.push_back("Tab: focus on " + IdOf(user, control));
    if (wanted.count(control)) reached.insert(control);
    at = user.Ui([dialog] { return gtk::FocusWidget(dialog->GetHandle()); });
    // A control that keeps Tab for itself (a grid moving between its cells) is left with
    // Ctrl+Tab.
    if (control && keepsTab.count(user.Ui([control] { return control->GetId(); }))) {
      user.Key(WXK_TAB, wxMOD_CONTROL);
      user.RequireUntil([&] {
        void* now = gtk::FocusWidget(dialog->GetHandle());
        return now && !gtk::IsInside(now, control->GetHandle());
      }, "Ctrl+Tab takes the focus out of " + IdOf(user, control) + used.Text(), 3s);
      control = user.Ui([&] { return FocusedControl(dialog); });
      used.steps.push_back("Ctrl+Tab: focus on " + IdOf(user, control));
      if (wanted.count(control)) reached.insert(control);
      at = user.Ui([dialog] { return gtk::FocusWidget(dialog->GetHandle()); });
    }
  }
  for (wxWindow* w : wanted) {
    if (!reached.count(w)) user.Require(false, "Tab reaches control " + IdOf(user, w) + used.Text());
  }
}

}  // namespace sweep
