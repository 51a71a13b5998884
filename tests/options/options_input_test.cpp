// The options sheet driven as a user drives it: the pointer on its tabs and on the arrows of
// its tab row, and the keys that change pages, with the toolkit's own notebook deciding what
// is shown; what the screen then shows and where the keys then go read back. The program's
// main frame opens it from its menu bar, with the receiver read or not.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/propdlg.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "platform/message_box.h"
#include "platform/serial_ports.h"
#include "platform/ui/command_ids.h"
#include "platform/win_app.h"
#include "tests/options/doc_window_test.h"
#include "tests/options/window_helpers.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"
#include "view/tolvanix_view.h"

namespace {

bool PageShown(CPropertySheet& sheet, int index) {
  CPropertyPage* page = sheet.GetPage(index);
  return sheet.GetActiveIndex() == index && page->GetWxWindow() &&
         tvxtest::OnScreen(page->GetWxWindow());
}

// The window a key typed now reaches: a Shift pressed and released (which changes nothing),
// as the sheet hears it before the window it goes to.
wxWindow* KeysGoTo() {
  struct Heard : wxEventFilter {
    Heard() { wxEvtHandler::AddFilter(this); }
    ~Heard() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
      if (event.GetEventType() == wxEVT_CHAR_HOOK && !window)
        window = dynamic_cast<wxWindow*>(event.GetEventObject());
      return Event_Skip;
    }
    wxWindow* window = nullptr;
  } heard;
  wxUIActionSimulator input;
  input.KeyDown(WXK_SHIFT);
  input.KeyUp(WXK_SHIFT);
  tvxtest::PumpUntil([&] { return heard.window != nullptr; });
  tvxtest::InputHandled();
  return heard.window;
}

// Whether a key typed now reaches a control of page index.
bool KeysOnPage(CPropertySheet& sheet, int index) {
  wxWindow* heard = KeysGoTo();
  wxWindow* page = sheet.GetPage(index)->GetWxWindow();
  return heard && page && heard != page && page->IsDescendant(heard);
}

// Keys pressed with the pointer over the sheet (without a window manager the keys go to the
// window under the pointer); the loop runs until done() holds.
void PressKeys(wxWindow* sheet, int key, int modifiers, std::function<bool()> done) {
  wxUIActionSimulator input;
  const wxRect r = sheet->GetScreenRect();
  if (!r.Contains(wxGetMousePosition())) {
    input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    tvxtest::InputHandled();
  }
  input.Char(key, modifiers);
  tvxtest::PumpUntil(done);
  tvxtest::InputHandled();
}

// The arrow at one end of the tab row clicked: the tab row is where the shown page's tab is.
void ClickArrow(wxBookCtrlBase* book, bool forward, std::function<bool()> done) {
  // (The toolkit lays the row out anew a moment after a page was turned.)
  tvxtest::PumpUntil([book] { return !tvxtest::TabOnScreen(book, book->GetSelection()).IsEmpty(); });
  const wxRect shown = tvxtest::TabOnScreen(book, book->GetSelection());
  const wxRect row = book->GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(forward ? row.GetRight() - 6 : row.x + 6, shown.y + shown.height / 2);
  tvxtest::InputHandled();
  tvxtest::NotPairedWithTheLastClick();
  input.MouseClick();
  tvxtest::TheLastClick() = {std::chrono::steady_clock::now(), wxGetMousePosition(), true};
  tvxtest::PumpUntil(done);
  tvxtest::InputHandled();
}

// The pointer into a text field, everything in it selected and the text typed over it.
void TypeInto(wxWindow* field, const std::string& text) {
  tvxtest::RealClick(*field);
  wxUIActionSimulator input;
  input.Char('a', wxMOD_CONTROL);
  tvxtest::InputHandled();
  input.Text(text.c_str());
  tvxtest::PumpUntil([&] { return dynamic_cast<wxTextCtrl*>(field)->GetValue() == text; });
  tvxtest::InputHandled();
}

class OptionsSheetInput : public optstest::DocWindowTest {
 protected:
  // Runs the sheet; drive(sheet) runs once the sheet is on the screen (placed and active
  // under a window manager).
  bool Run(std::function<void(CPropiedadesOpciones&)> drive) {
    OptionsSheetContext context;
    context.beforeShow = [drive](CPropiedadesOpciones& sheet) {
      wxTheApp->CallAfter([drive, &sheet] {
        wxPropertySheetDialog* dialog = sheet.GetSheetDialog();
        tvxtest::PumpUntil([dialog] {
          return tvxtest::OnScreen(dialog) &&
                 (!tvxtest::WindowManagerRuns() || dialog->IsActive());
        });
        drive(sheet);
        // A step that failed and gave up leaves the sheet open: the test ends it.
        if (dialog->IsModal()) sheet.EndDialog(IDCANCEL);
      });
    };
    return RunOptionsSheet(context, options, view);
  }

  CTolvanixDoc::OptionValues options;
  ViewOptionValues view;
};

// Every page is reached with the pointer (a tab clicked, the arrows of the tab row, which
// are there when the tabs do not fit the sheet's width) and with the keys (Ctrl+PgDn /
// Ctrl+PgUp, Ctrl+Tab / Ctrl+Shift+Tab, from the last page on to the first and back); after
// each change the page is on the screen and a key typed reaches one of its controls (the
// arrow keys on the tabs walk the tabs, the keys staying there). The sheet is as high as its
// highest page from the start and stays on the screen.
TEST_F(OptionsSheetInput, EveryPageIsReachedWithThePointerAndWithTheKeys) {
  struct Way {
    const char* name;
    std::function<void(CPropiedadesOpciones&, int target)> go;
    int from;                  // the page it starts on
    std::vector<int> targets;  // the pages it shows, in order
  };
  std::vector<Way> ways;
  std::vector<std::string> failures;
  int pages = 0, arrowsClicked = 0;
  bool tabsOverflow = false, onScreen = false;
  wxSize sizeAtStart, sizeAfter;
  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    pages = sheet.GetPageCount();
    wxPropertySheetDialog* dialog = sheet.GetSheetDialog();
    sizeAtStart = dialog->GetSize();
    wxBookCtrlBase* book = dialog->GetBookCtrl();
    for (int i = 0; i < pages; ++i) tabsOverflow |= tvxtest::TabOnScreen(book, i).IsEmpty();
    std::vector<int> forward, backward, arrowsForward, arrowsBack;
    for (int i = 1; i <= pages; ++i) forward.push_back(i % pages);
    for (int i = pages - 1; i >= 0; --i) backward.push_back(i);
    for (int i = 1; i < pages; ++i) arrowsForward.push_back(i);
    for (int i = pages - 2; i >= 0; --i) arrowsBack.push_back(i);
    auto keys = [dialog, &sheet](int key, int modifiers) {
      return [=, &sheet](CPropiedadesOpciones&, int target) {
        PressKeys(dialog, key, modifiers, [&sheet, target] { return PageShown(sheet, target); });
      };
    };
    auto arrow = [book, &sheet](bool forward) {
      return [=, &sheet](CPropiedadesOpciones&, int target) {
        ClickArrow(book, forward, [&sheet, target] { return PageShown(sheet, target); });
      };
    };
    ways = {
        {"tab clicked",
         [&](CPropiedadesOpciones&, int target) { arrowsClicked += std::max(0, tvxtest::ClickTab(book, target)); },
         0, forward},
        {"Ctrl+PgDn", keys(WXK_PAGEDOWN, wxMOD_CONTROL), 0, forward},
        {"Ctrl+PgUp", keys(WXK_PAGEUP, wxMOD_CONTROL), 0, backward},
        {"Ctrl+Tab", keys(WXK_TAB, wxMOD_CONTROL), 0, forward},
        {"Ctrl+Shift+Tab", keys(WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT), 0, backward},
    };
    if (tabsOverflow) {
      ways.push_back({"the tab row's right arrow", arrow(true), 0, arrowsForward});
      ways.push_back({"the tab row's left arrow", arrow(false), pages - 1, arrowsBack});
    }
    for (const Way& way : ways) {
      if (sheet.GetActiveIndex() != way.from) {
        ASSERT_TRUE(sheet.SetActivePage(way.from));
      }
      for (int target : way.targets) {
        way.go(sheet, target);
        if (!PageShown(sheet, target))
          failures.push_back(std::string(way.name) + ": page " + std::to_string(target) +
                             " not shown (page " + std::to_string(sheet.GetActiveIndex()) + " is)");
        else if (!KeysOnPage(sheet, target))
          failures.push_back(std::string(way.name) + ": the keys are not on page " +
                             std::to_string(target));
      }
    }
    // On the tabs (Shift+Tab from the first page's first control), the arrow keys walk the
    // tabs and the keys stay there.
    tvxtest::ClickTab(book, 1);
    tvxtest::ClickTab(book, 0);
    PressKeys(dialog, WXK_TAB, wxMOD_SHIFT, [&] { return wxWindow::FindFocus() == book; });
    for (int target : {1, 2}) {
      PressKeys(dialog, WXK_RIGHT, wxMOD_NONE, [&] { return PageShown(sheet, target); });
      if (!PageShown(sheet, target) || KeysGoTo() != book)
        failures.push_back("the right arrow key on the tabs to page " + std::to_string(target));
    }
    // Every page shown, the sheet's height is as it was and it is on the screen.
    sizeAfter = dialog->GetSize();
    onScreen = wxGetClientDisplayRect().Contains(dialog->GetScreenRect());
    tvxtest::RealClick(*dialog->FindWindow(wxID_CANCEL));
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(sizeAfter.y, sizeAtStart.y);
  EXPECT_TRUE(onScreen);
  ASSERT_EQ(pages, 10);
  EXPECT_EQ(failures, std::vector<std::string>{});
  // The sheet is narrower than its ten tabs: the arrows brought the others into the row.
  EXPECT_TRUE(tabsOverflow);
  if (tabsOverflow) {
    EXPECT_GT(arrowsClicked, 0);
  }
}

// Runs the loop for twice the toolkit's delay before a held button repeats.
void ToolkitRepeatDelayPassed() {
  using Settings = void* (*)();
  using Get = void (*)(void*, const char*, ...);
  static auto settings = reinterpret_cast<Settings>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  static auto get = reinterpret_cast<Get>(dlsym(RTLD_DEFAULT, "g_object_get"));
  int delay = 0;
  if (settings && get && settings()) get(settings(), "gtk-timeout-initial", &delay, nullptr);
  tvxtest::PumpFor(2 * std::max(delay, 500));
}

// A click where the pointer is, and the loop run until done() holds (a click that opens a
// modal box is not released to the window clicked: the box takes the release).
void ClickAndWait(const wxPoint& at, std::function<bool()> done) {
  wxUIActionSimulator input;
  input.MouseMove(at);
  tvxtest::InputHandled();
  tvxtest::NotPairedWithTheLastClick();
  input.MouseClick();
  tvxtest::TheLastClick() = {std::chrono::steady_clock::now(), at, true};
  tvxtest::PumpUntil(done);
  tvxtest::InputHandled();
}

// A page holding a value it cannot take is not left, however the user tries: a tab clicked,
// the tab row's arrow, Ctrl+PgDn, Ctrl+PgUp, Ctrl+Tab, Ctrl+Shift+Tab. Each time the page's
// message is shown (the real box, answered with the pointer), the page stays on the screen
// and the keys are back on the value; once the value is mended a tab click leaves the page.
TEST_F(OptionsSheetInput, APageWithAValueItCannotTakeIsNotLeft) {
  options.coord = 1;     // UTM with the zone typed: the zone field takes the keys
  options.autoZone = 0;
  options.navSound = 1;  // the sound distance field takes the keys
  struct Case {
    const char* page;
    std::function<CPropertyPage*(CPropiedadesOpciones&)> of;
    int field;
    const char* refused;
    const char* message;
    const char* taken;
  };
  const Case cases[] = {
      {"Capture", [](CPropiedadesOpciones& s) -> CPropertyPage* { return s.m_capture.get(); },
       1018, "abc", "Please enter a number.", "2.5"},
      {"Units", [](CPropiedadesOpciones& s) -> CPropertyPage* { return s.m_units.get(); },
       1017, "75", "Please enter an integer between 1 and 60.", "30"},
      {"Navigation", [](CPropiedadesOpciones& s) -> CPropertyPage* { return s.m_nav.get(); },
       1291, "150", "Please enter a number between 0 and 100.", "20"},
  };
  std::vector<std::string> failures;
  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    wxPropertySheetDialog* dialog = sheet.GetSheetDialog();
    wxBookCtrlBase* book = dialog->GetBookCtrl();
    tvxtest::RealBoxAnswers boxes;
    for (const Case& c : cases) {
      int index = 0;
      while (sheet.GetPage(index) != c.of(sheet)) ++index;
      ASSERT_GE(tvxtest::ClickTab(book, index), 0) << c.page;
      ASSERT_TRUE(tvxtest::PumpUntil([&] { return PageShown(sheet, index); })) << c.page;
      wxWindow* field = sheet.GetPage(index)->GetDlgItemWindow(c.field);
      TypeInto(field, c.refused);
      const int last = sheet.GetPageCount() - 1;
      // A tab on the screen other than the page's own, and the arrow towards it.
      auto otherTab = [&] {
        for (int i = 0; i <= last; ++i) {
          const wxRect tab = tvxtest::TabOnScreen(book, i);
          if (i != index && !tab.IsEmpty()) return tab;
        }
        return wxRect();
      };
      auto arrow = [&] {
        const wxRect shown = tvxtest::TabOnScreen(book, index);
        const wxRect row = book->GetScreenRect();
        return wxPoint(index < last ? row.GetRight() - 6 : row.x + 6, shown.y + shown.height / 2);
      };
      struct Way {
        const char* name;
        std::function<void(std::function<bool()>)> leave;
        bool repeats;  // held, the toolkit repeats it
      };
      const Way ways[] = {
          {"another tab clicked",
           [&](auto done) { ClickAndWait(otherTab().GetPosition() + wxPoint(5, 5), done); }, false},
          {"the tab row's arrow", [&](auto done) { ClickAndWait(arrow(), done); }, true},
          {"Ctrl+PgDn", [&](auto done) { PressKeys(dialog, WXK_PAGEDOWN, wxMOD_CONTROL, done); }, false},
          {"Ctrl+PgUp", [&](auto done) { PressKeys(dialog, WXK_PAGEUP, wxMOD_CONTROL, done); }, false},
          {"Ctrl+Tab", [&](auto done) { PressKeys(dialog, WXK_TAB, wxMOD_CONTROL, done); }, false},
          {"Ctrl+Shift+Tab",
           [&](auto done) { PressKeys(dialog, WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT, done); }, false},
      };
      for (const Way& way : ways) {
        const std::string what = std::string(c.page) + ", " + way.name + ": ";
        const std::size_t before = boxes.texts.size();
        way.leave([&] { return boxes.Answered(before + 1); });
        // The refusal is final: an arrow released does not go on turning (the toolkit repeats
        // a held arrow after its repeat delay).
        if (way.repeats) ToolkitRepeatDelayPassed();
        if (boxes.texts.size() != before + 1 || boxes.Open()) {
          failures.push_back(what + std::to_string(boxes.texts.size() - before) + " boxes");
          if (boxes.Open() && !tvxtest::PumpUntil([&] { return !boxes.Open(); })) return;
        } else if (boxes.texts.back() != c.message) {
          failures.push_back(what + "the message \"" + boxes.texts.back() + "\"");
        }
        if (!PageShown(sheet, index))
          failures.push_back(what + "page " + std::to_string(sheet.GetActiveIndex()) + " shown");
        else if (KeysGoTo() != field)
          failures.push_back(what + "the keys are not on the value");
      }
      // Mended, the value is taken and the page left.
      TypeInto(field, c.taken);
      const std::size_t before = boxes.texts.size();
      const wxRect other = otherTab();
      ClickAndWait(other.GetPosition() + wxPoint(5, 5), [&] { return sheet.GetActiveIndex() != index; });
      if (sheet.GetActiveIndex() == index || boxes.texts.size() != before)
        failures.push_back(std::string(c.page) + ": not left with the value mended");
    }
    tvxtest::RealClick(*dialog->FindWindow(wxID_OK));
  });
  EXPECT_EQ(failures, std::vector<std::string>{});
  ASSERT_TRUE(ok);
  EXPECT_EQ(options.autoCaptureDistance, 2.5);
  EXPECT_EQ(options.zone, 30);
  EXPECT_DOUBLE_EQ(options.navSoundDistance, 20.0);
}

// The program's frame, document and view from the English module, as the program starts
// them: Tools > Options is the document's options command, which runs the sheet.
class OptionsFromTheMenu : public tvxtest::ModuleWindowTest {
 protected:
  OptionsFromTheMenu() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}

  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    sandbox_ = std::make_unique<tvxtest::ProgramSandbox>("options_menu");
    InstallProgramDialogs();
    InstallOptionsSheet();
  }

  void TearDown() override {
    if (doc_ && doc_->m_gpsOn) doc_->ToggleGps();
    if (doc_) doc_->SetModifiedFlag(FALSE);
    if (template_) {
      if (CFrameWnd* frame = template_->GetFrame()) frame->GetFrame()->Destroy();
      tvxtest::PumpUntil([this] { return template_->GetFrame() == nullptr; });
      template_.reset();
    }
    CTolvanixDoc::SetOptionsSheet(nullptr);
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    platform::UnpublishSerialPort(3);
    sandbox_.reset();
    ModuleWindowTest::TearDown();
  }

  void Store(const char* name, int value) { sandbox_->app->WriteProfileInt("Opciones", name, value); }

  // The program's document, frame and view, on the screen (under a window manager placed,
  // sized and active).
  wxFrame* Open() {
    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128));
    doc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    EXPECT_NE(doc_, nullptr);
    auto* frame = dynamic_cast<CMainFrame*>(template_->GetFrame());
    EXPECT_NE(frame, nullptr);
    if (!frame) return nullptr;
    wxFrame* window = frame->GetFrame();
    const wxSize asked = window->GetSize();
    frame->ShowWindow(SW_SHOW);
    tvxtest::PumpUntil([window] { return tvxtest::OnScreen(window); });
    if (tvxtest::WindowManagerRuns()) tvxtest::PumpUntil([window] { return window->IsActive(); });
    tvxtest::PumpUntil([window, asked] { return tvxtest::SizeGiven(window, asked); });
    tvxtest::InputHandled();
    return window;
  }

  // A command of the menu bar chosen with the pointer: the menu's title clicked (the pointer
  // brought there from the map), then the item once the menu is on the screen. The command
  // may open a modal window: the loop runs until done() holds.
  void ChooseFromMenuBar(wxFrame* frame, const char* title, UINT command,
                         std::function<bool()> done) {
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    wxMenu* menu = bar->GetMenu(bar->FindMenu(title));
    wxMenuItem* item = bar->FindItem(platform::ui::CommandToWxId(command));
    ASSERT_TRUE(menu && item) << title << " " << command;
    wxUIActionSimulator input;
    const wxRect middle = frame->GetScreenRect();
    input.MouseMove(middle.x + middle.width / 2, middle.y + middle.height / 2);
    tvxtest::InputHandled();
    const wxRect titleOnBar = tvxtest::WidgetOnScreen(menu->m_owner);
    ASSERT_FALSE(titleOnBar.IsEmpty()) << title;
    input.MouseMove(titleOnBar.x + titleOnBar.width / 2, titleOnBar.y + titleOnBar.height / 2);
    tvxtest::InputHandled();
    tvxtest::NotPairedWithTheLastClick();
    input.MouseClick();
    wxRect itemOnScreen;
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      itemOnScreen = tvxtest::WidgetOnScreen(item->GetMenuItem());
      return !itemOnScreen.IsEmpty();
    })) << title << " did not open";
    tvxtest::InputHandled();
    const wxPoint at(itemOnScreen.x + itemOnScreen.width / 2, itemOnScreen.y + itemOnScreen.height / 2);
    input.MouseMove(at);
    tvxtest::InputHandled();
    input.MouseClick();
    tvxtest::TheLastClick() = {std::chrono::steady_clock::now(), at, true};
    EXPECT_TRUE(tvxtest::PumpUntil(done)) << title << " > " << item->GetItemLabelText();
    tvxtest::InputHandled();
  }

  std::unique_ptr<tvxtest::ProgramSandbox> sandbox_;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* doc_ = nullptr;
};

// A user's change of an option from the start: Tools > Options from the menu bar, the Units
// tab clicked, the zone typed, OK clicked; the document works in that zone and keeps it.
TEST_F(OptionsFromTheMenu, AnOptionChangedWithThePointerAndTheKeysIsAppliedAndStored) {
  Store("Coord", 1);  // UTM, the zone typed
  Store("Auto", 0);
  wxFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(doc_->m_zone, 33);
  bool done = false;
  std::string typed;
  tvxtest::AnswerWhenOnScreen<CPropiedadesOpciones>([&](CPropiedadesOpciones& sheet) {
    wxBookCtrlBase* book = sheet.GetSheetDialog()->GetBookCtrl();
    int units = 0;
    while (sheet.GetPage(units) != sheet.m_units.get()) ++units;
    EXPECT_GE(tvxtest::ClickTab(book, units), 0);
    if (tvxtest::PumpUntil([&] { return PageShown(sheet, units); })) {
      wxWindow* zone = sheet.m_units->GetDlgItemWindow(1017);
      TypeInto(zone, "33");
      typed = dynamic_cast<wxTextCtrl*>(zone)->GetValue().utf8_string();
      tvxtest::RealClick(*sheet.GetSheetDialog()->FindWindow(wxID_OK));
    }
    // A step that failed leaves the sheet open: the test ends it.
    if (sheet.GetSheetDialog()->IsModal()) sheet.EndDialog(IDCANCEL);
    done = true;
  });
  ChooseFromMenuBar(frame, "Tools", 32778, [&] { return done; });
  EXPECT_EQ(typed, "33");
  EXPECT_EQ(doc_->m_zone, 33);
  EXPECT_EQ(doc_->m_autoZone, 0);
  EXPECT_EQ(sandbox_->app->GetProfileInt("Opciones", "Huso", 0), 33u);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

// The GPS page is offered only while the receiver is not read: with the receiver opened from
// the GPS menu the sheet has nine pages, none of them the GPS page, and every one reached
// with the keys; closed again, the GPS page is there and its tab shows it.
TEST_F(OptionsFromTheMenu, TheGpsPageOnlyWhileTheReceiverIsNotRead) {
  platform::PseudoTerminal receiver;
  ASSERT_TRUE(receiver.Create());
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  wxFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  struct Seen {
    int pages = 0;
    std::vector<std::string> tabs;
    int walked = 0;       // pages shown by Ctrl+Tab, round to the first again
    bool gpsShown = false;  // the GPS page shown by a click on its tab
  };
  auto look = [&] {
    Seen seen;
    bool done = false;
    tvxtest::AnswerWhenOnScreen<CPropiedadesOpciones>([&](CPropiedadesOpciones& sheet) {
      wxPropertySheetDialog* dialog = sheet.GetSheetDialog();
      wxBookCtrlBase* book = dialog->GetBookCtrl();
      seen.pages = sheet.GetPageCount();
      for (int i = 0; i < seen.pages; ++i) seen.tabs.push_back(book->GetPageText(i).utf8_string());
      for (int i = 1; i <= seen.pages; ++i) {
        PressKeys(dialog, WXK_TAB, wxMOD_CONTROL, [&] { return PageShown(sheet, i % seen.pages); });
        seen.walked += PageShown(sheet, i % seen.pages);
      }
      if (sheet.m_gps) {
        int gps = 0;
        while (sheet.GetPage(gps) != sheet.m_gps.get()) ++gps;
        if (tvxtest::ClickTab(book, gps) >= 0)
          seen.gpsShown = tvxtest::PumpUntil([&] { return PageShown(sheet, gps); });
      }
      tvxtest::RealClick(*dialog->FindWindow(wxID_CANCEL));
      if (dialog->IsModal()) sheet.EndDialog(IDCANCEL);
      done = true;
    });
    ChooseFromMenuBar(frame, "Tools", 32778, [&] { return done; });
    return seen;
  };

  ChooseFromMenuBar(frame, "GPS", 32804, [&] { return doc_->m_gpsOn.load(); });  // Open / Close GPS
  ASSERT_TRUE(doc_->m_gpsOn.load());
  const Seen read = look();
  EXPECT_EQ(read.pages, 9);
  EXPECT_EQ(std::count(read.tabs.begin(), read.tabs.end(), "GPS"), 0);
  EXPECT_EQ(read.walked, 9);

  ChooseFromMenuBar(frame, "GPS", 32804, [&] { return !doc_->m_gpsOn; });
  ASSERT_FALSE(doc_->m_gpsOn.load());
  const Seen closed = look();
  EXPECT_EQ(closed.pages, 10);
  EXPECT_EQ(std::count(closed.tabs.begin(), closed.tabs.end(), "GPS"), 1);
  EXPECT_EQ(closed.walked, 10);
  EXPECT_TRUE(closed.gpsShown);
}

}  // namespace
