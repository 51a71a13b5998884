// The program as a user sweeps it, with the pointer and the keys alone: every item of the main
// window's menus chosen from the menu bar as shown, and every dialog the English module holds
// opened through the command that opens it, its pages, combos, boxes and edits used, Tab taken
// through its controls, and the dialog ended in each of the ways it offers.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/toolbar.h>
#include <wx/propdlg.h>
#include <wx/menu.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/tolvanix_app.h"
#include "dialogs/core/measure_texts.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/gps_dialogs.h"
#include "dialogs/options_pages.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/export_prompts.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/ui/command_ids.h"
#include "platform/serial_ports.h"
#include "platform/ui/menu.h"
#include "platform/ui/xrc_resources.h"
#include <wx/xml/xml.h>
#include "tests/document_main/doc_test_env.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"
#include "document/tvx_file.h"
#include "tests/sweep/controls_by_hand.h"
#include "tests/sweep/ui_driver.h"
#include "tools/receiver_sim/receiver_simulator.h"
#include "view/core/view_projection.h"
#include "view/tolvanix_view.h"
#include "widgets/colour_picker.h"
#include "widgets/grid_ctrl.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using sweep::Driver;

// A field of about 126 m by 111 m near 2°E 41°N, a track and a hole inside it.
constexpr double kLon0 = 2.0, kLat0 = 41.0, kDLon = 0.0015, kDLat = 0.001;

// The work of "parcela.tvx": the field (an area), a track (a line), a hole that is a part of
// the field, and a well and a gate (waypoints).
DocumentContent Parcela() {
  DocumentContent work;
  FeatureRecord& field = work.AddFeature(FeatureType::Area, "Field", 0, 0xFF0000);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {kDLon, 0.0}, {kDLon, kDLat}, {0.0, kDLat}}) {
    const GeoPoint p{kLon0 + x, kLat0 + y};
    field.AddVertex(p, p, 10000);
  }
  FeatureRecord& track = work.AddFeature(FeatureType::Line, "Track", 6, 0x404040);
  for (double x : {0.0005, 0.001}) {
    const GeoPoint p{kLon0 + x, kLat0 + 0.0005};
    track.AddVertex(p, p, 10000);
  }
  FeatureRecord& hole = work.AddFeature(FeatureType::Part, "Hole");
  hole.link = 0;
  for (auto [x, y] : {std::pair{0.0011, 0.0002}, {0.0013, 0.0002}, {0.0012, 0.0004}}) {
    const GeoPoint p{kLon0 + x, kLat0 + y};
    hole.AddVertex(p, p, 10000);
  }
  work.waypoints.push_back(
      WaypointRecord::FromFile("Well", 31, 0, 0, 0, 10000, kLon0 + 0.0003, kLat0 + 0.0009, 0, 3));
  work.waypoints.push_back(
      WaypointRecord::FromFile("Gate", 31, 0, 0, 0, 10000, kLon0 + 0.0012, kLat0 + 0.0008, 0, 5));
  work.waypointNotes.resize(2);
  return work;
}

// A Shapefile of two lines near the field, with a text field naming them.
void WriteNamedLines(const std::string& path) {
  SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
  DBFHandle dbf = DBFCreate(path.c_str());
  ASSERT_TRUE(shp && dbf);
  const int name = DBFAddField(dbf, "NAME", FTString, 20, 0);
  for (int i = 0; i < 2; ++i) {
    const double x[] = {kLon0, kLon0 + kDLon};
    const double y[] = {kLat0 - 0.0002 * (i + 1), kLat0 - 0.0002 * (i + 1)};
    SHPObject* line = SHPCreateSimpleObject(SHPT_ARC, 2, x, y, nullptr);
    const int shape = SHPWriteObject(shp, -1, line);
    SHPDestroyObject(line);
    DBFWriteStringAttribute(dbf, shape, name, i == 0 ? "Hedge" : "Ditch");
  }
  SHPClose(shp);
  DBFClose(dbf);
}

class SweepBase : public tvxtest::ModuleWindowTest {
 public:
  SweepBase() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}

  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    sandbox_ = std::make_unique<tvxtest::ProgramSandbox>("sweep");
    // The application object of the program answers the About command.
    sandbox_->app.reset();
    auto app = std::make_unique<CTolvanixApp>();
    app->m_pszAppName = "tolvanixpda";
    app->SetRegistryKey("Vorel - Tolvanix PDA");
    sandbox_->app = std::move(app);
    Store("Notificaractiva", 0);  // no box announcing each new active feature
    Store("Entidades", 1);        // feature titles: taps on a feature open its popup
    // As at start-up: the commands ask through the program's dialogs.
    InstallExportDialogs();
    InstallProgramDialogs();
    InstallGpsDialogs();
    InstallOptionsSheet();
    InstallWaypointDialogs();
    platform::MessageBoxScript::Clear();
    platform::FileDialogScript::Clear();
    platform::PopupMenuScript::Clear();
    template_ = MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128);
    sandbox_->app->AddDocTemplate(template_);
    std::ofstream(sandbox_->dir / "parcela.tvx", std::ios::binary) << WriteTvxFile(Parcela());
    WriteNamedLines((sandbox_->dir / "lines.shp").string());
    // The desktop's opener of the help pages: a stand-in that notes what it was given.
    fs::create_directories(sandbox_->dir / "bin");
    const fs::path opener = sandbox_->dir / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > '" << (sandbox_->dir / "opened").string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", ((sandbox_->dir / "bin").string() + ":" + path_).c_str(), 1);
    windows_ = std::make_unique<tvxtest::ProgramWindows>(::getpid());
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    if (template_) {
      if (CTolvanixDoc* doc = Doc()) doc->SetModifiedFlag(FALSE);
      // The window goes without its close question.
      if (CFrameWnd* frame = template_->GetFrame()) frame->GetFrame()->Destroy();
      tvxtest::PumpUntil([this] { return template_->GetFrame() == nullptr; });
    }
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    SetExportPrompts(nullptr);
    platform::MessageBoxScript::Clear();
    platform::FileDialogScript::Clear();
    platform::PopupMenuScript::Clear();
    windows_.reset();
    setenv("PATH", path_.c_str(), 1);
    sandbox_.reset();
    ModuleWindowTest::TearDown();
  }

  void Store(const std::string& name, int value) {
    sandbox_->app->WriteProfileInt("Opciones", name, value);
  }

  // The program's start with "parcela.tvx" on its command line: the document and the main
  // window on the screen.
  void Start() {
    const std::string path = (sandbox_->dir / "parcela.tvx").string();
    sandbox_->app->SetCommandLine({path});
    ASSERT_NE(template_->OpenDocumentFile(path), nullptr);
    frame_ = dynamic_cast<CMainFrame*>(template_->GetFrame());
    ASSERT_NE(frame_, nullptr);
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame_->GetFrame()));
    frame_->GetFrame()->SetClientSize(560, 440);
    ASSERT_TRUE(tvxtest::PumpUntil(
        [&] { return frame_->GetFrame()->GetClientSize() == wxSize(560, 440); }));
  }

  CTolvanixDoc* Doc() { return dynamic_cast<CTolvanixDoc*>(template_->GetDocument()); }
  wxFrame* Frame() { return frame_->GetFrame(); }

  std::unique_ptr<tvxtest::ProgramSandbox> sandbox_;
  std::unique_ptr<tvxtest::ProgramWindows> windows_;
  int taps_ = 0;
  std::string path_;
  CSingleDocTemplate* template_ = nullptr;  // the application's
  CMainFrame* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

// ------------------------------------------------------------------------------------------
// The menu bar as the pointer uses it.
// ------------------------------------------------------------------------------------------

// The menus from the menu bar down to the item of command (top menu first), and the item.
struct MenuPath {
  std::vector<wxMenu*> menus;
  wxMenuItem* item = nullptr;
};
MenuPath PathTo(wxMenuBar* bar, UINT command) {
  MenuPath path;
  wxMenu* menu = nullptr;
  path.item = bar->FindItem(platform::ui::CommandToWxId(command), &menu);
  for (wxMenu* m = menu; m; m = m->GetParent()) path.menus.insert(path.menus.begin(), m);
  return path;
}
// The item of the parent menu that opens sub.
wxMenuItem* ItemOpening(wxMenu* parent, wxMenu* sub) {
  for (wxMenuItem* item : parent->GetMenuItems())
    if (item->GetSubMenu() == sub) return item;
  return nullptr;
}

// The command chosen from the menu bar with the pointer: the menu's title clicked, the
// submenus opened by their items, then the item clicked. The menus are seen open on the
// screen before each click, and closed after it.
void ChooseFromMenuBar(Driver& user, wxFrame* frame, UINT command) {
  const MenuPath path = user.Ui([&] { return PathTo(frame->GetMenuBar(), command); });
  user.Require(path.item && !path.menus.empty(), "command " + std::to_string(command) + " is in the menus");
  wxMenu* top = path.menus.front();
  const wxRect title = user.Ui([&] { return sweep::gtk::OnScreen(top->m_owner); });
  user.Click(title);
  user.RequireUntil([&] { return sweep::gtk::Mapped(top->m_menu); },
                    "the menu of command " + std::to_string(command) + " opens");
  for (size_t i = 1; i < path.menus.size(); ++i) {
    wxMenuItem* opener = user.Ui([&] { return ItemOpening(path.menus[i - 1], path.menus[i]); });
    user.Require(opener, "a submenu's item");
    wxRect at;
    user.RequireUntil([&] {
      at = sweep::gtk::OnScreen(opener->GetMenuItem());
      return !at.IsEmpty();
    }, "the submenu's item is on the screen");
    // The pointer on its item opens a submenu; a click opens it when the pointer alone has not.
    user.MoveTo(wxPoint(at.x + at.width / 2, at.y + at.height / 2));
    if (!user.Until([&] { return sweep::gtk::Mapped(path.menus[i]->m_menu); }, 2s)) user.Click(at);
    user.RequireUntil([&] { return sweep::gtk::Mapped(path.menus[i]->m_menu); },
                      "the submenu of command " + std::to_string(command) + " opens");
  }
  wxRect at;
  user.RequireUntil([&] {
    at = sweep::gtk::OnScreen(path.item->GetMenuItem());
    return !at.IsEmpty();
  }, "the item of command " + std::to_string(command) + " is on the screen");
  user.Require(user.Ui([&] { return path.item->IsEnabled(); }),
               "command " + std::to_string(command) + " is shown enabled");
  user.Click(at);
  // (The menus close before the command runs; Exit takes them with the window.)
  user.RequireUntil([&] { return !user.Menus().IsOpen(top); },
                    "the menus close after command " + std::to_string(command));
}

// ------------------------------------------------------------------------------------------
// Dialogs as the user meets them.
// ------------------------------------------------------------------------------------------

enum Ending : unsigned { kOk = 1, kCancel = 2, kEnter = 4, kEscape = 8, kCloseBox = 16 };
constexpr unsigned kEveryEnding = kOk | kCancel | kEnter | kEscape | kCloseBox;

const char* EndingName(unsigned how) {
  switch (how) {
    case kOk: return "OK";
    case kCancel: return "Cancel";
    case kEnter: return "Enter";
    case kEscape: return "Escape";
    case kCloseBox: return "its close box";
  }
  return "";
}

class Sweep;

// One dialog of the program: the command that opens it and what the sweep does in it.
struct DialogRow {
  DialogRow(std::vector<UINT> made, const char* command, std::function<void(Driver&, Sweep&)> opener)
      : templates(std::move(made)), how(command), open(std::move(opener)) {}
  std::vector<UINT> templates;  // its template (a sheet: its pages' templates)
  const char* how;              // the command, as the user gives it
  std::function<void(Driver&, Sweep&)> open;
  unsigned endings = kEveryEnding;
  sweep::Choices choices;
  std::set<int> notKept;   // choices the dialog does not show again after OK
  bool startsAfresh = false;  // opens from the document's settings each time (none kept)
  std::set<int> keepsTab;  // controls that keep Tab for themselves (a grid's cells)
  // The document's state the command needs (on the user-interface thread, before the first
  // opening).
  std::function<void(Sweep&)> prepare;
  bool prepareEachTime = false;  // before every opening
  // The row's own steps in the first round, before OK (grids, buttons).
  std::function<void(Driver&, Sweep&, wxWindow*)> use;
  // What OK or Enter brings up (the store's name asked, an export's save dialog), answered
  // after each of them.
  std::function<void(Driver&, Sweep&)> afterYes;
  // What OK did, checked after the first round.
  std::function<void(Driver&, Sweep&)> afterOk;
  // What the dialog shows when it opens again after OK, beyond its plain controls (a grid).
  std::function<void(Driver&, Sweep&, wxWindow*)> shownAgain;
  // What the dialog needs before any of its endings (a name, without which OK cancels).
  std::function<void(Driver&, Sweep&, wxWindow*)> beforeEnd;
  // Closes what the command opened on the way to the dialog, after each round.
  std::function<void(Driver&, Sweep&)> closeAround;
  bool modeless = false;
};

// The dialog (or sheet) made from a template of row's, open on the screen for the user; the
// newest when several are.
wxWindow* ShownDialogOf(const DialogRow& row) {
  wxWindow* found = nullptr;
  for (wxWindow* top : wxTopLevelWindows) {
    if (!Driver::Ready(top)) continue;
    CWnd* wnd = CWnd::FromWxWindow(top);
    if (auto* dialog = dynamic_cast<CDialog*>(wnd)) {
      if (std::count(row.templates.begin(), row.templates.end(), dialog->m_nIDTemplate)) found = top;
    } else if (auto* sheet = dynamic_cast<CPropertySheet*>(wnd)) {
      for (int i = 0; i < sheet->GetPageCount(); ++i)
        if (std::count(row.templates.begin(), row.templates.end(), sheet->GetPage(i)->m_nIDTemplate))
          found = top;
    }
  }
  return found;
}

// Waits until the window is gone from the screen. It is known by its X window, which no later
// window takes over (a new dialog can be made where a deleted one was).
void SeeItClose(Driver& user, unsigned long xid, const std::string& what) {
  user.RequireUntil([&] {
    for (wxWindow* top : wxTopLevelWindows)
      if (top->IsShown() && sweep::gtk::XWindowOf(top->GetHandle()) == xid) return false;
    return true;
  }, what);
}

bool StillOpen(wxWindow* window) {
  return std::count(wxTopLevelWindows.begin(), wxTopLevelWindows.end(), window) && window->IsShown();
}

CPropertySheet* SheetOf(wxWindow* window) {
  return dynamic_cast<CPropertySheet*>(CWnd::FromWxWindow(window));
}

// The controls whose choice before differs from now: "id: before -> now" lines.
std::string Differences(const std::map<int, std::string>& before, const std::map<int, std::string>& now) {
  std::string out;
  for (const auto& [id, was] : before) {
    auto it = now.find(id);
    const std::string is = it == now.end() ? "(gone)" : it->second;
    if (is != was) out += "\n  " + std::to_string(id) + ": " + was + " -> " + is;
  }
  for (const auto& [id, is] : now)
    if (!before.count(id)) out += "\n  " + std::to_string(id) + ": (none) -> " + is;
  return out;
}

class Sweep : public SweepBase {
 public:
  // The map as the screen shows it: its paints done and its points where they were drawn
  // for the view's size now (a window the window manager has just resized is painted anew a
  // moment later).
  void MapDrawn(Driver& user) {
    user.Idle();
    user.RequireUntil([&] {
      return !view_->m_featurePoints.empty() && view_->PictureDigest() == view_->m_pictureDigest;
    }, "the map is drawn at the view's size");
    user.Idle();
  }
  // A tap on a map-bitmap pixel, within a tap's reach of it: each tap lands 5 pixels left or
  // right of it in turn.
  void TapMap(Driver& user, ScreenPoint p) {
    const int dx = (taps_++ % 2) ? 5 : -5;
    const wxPoint at = user.Ui([&] {
      CPoint screen(p.x + dx + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
      view_->ClientToScreen(&screen);
      return wxPoint(screen.x, screen.y);
    });
    user.Click(at);
  }
  void TapWaypoint(Driver& user, int index) {
    MapDrawn(user);
    TapMap(user, user.Ui([&] { return view_->m_waypointPoints.at(static_cast<size_t>(index)); }));
  }
  // A tap on the first vertex of feature index, as the map draws it.
  void TapFeature(Driver& user, int index) {
    MapDrawn(user);
    const ScreenPoint p = user.Ui([&] {
      for (const DrawnFeature& drawn : FeatureDrawOrder(Doc()->m_features, Doc()->m_current))
        if (drawn.index == index) return view_->m_featurePoints.at(drawn.firstCached);
      return ScreenPoint{-1000, -1000};
    });
    TapMap(user, p);
  }
  // The command chosen with the pointer from the popup menu open on the screen.
  void ChooseFromPopup(Driver& user, UINT command) {
    wxMenu* menu = nullptr;
    user.RequireUntil([&] {
      if (user.Menus().open.empty()) return false;
      menu = user.Menus().open.back();
      return sweep::gtk::Mapped(menu->m_menu);
    }, "a popup menu opens for command " + std::to_string(command));
    wxMenuItem* item = user.Ui([&] { return menu->FindItem(platform::ui::CommandToWxId(command)); });
    user.Require(item, "the popup offers command " + std::to_string(command));
    wxRect at;
    user.RequireUntil([&] {
      at = sweep::gtk::OnScreen(item->GetMenuItem());
      return !at.IsEmpty();
    }, "the popup's item is on the screen");
    user.Click(at);
    // (The popup's menu goes once it has closed.)
    user.RequireUntil([&] { return !user.Menus().IsOpen(menu); }, "the popup closes");
  }

  // What the close box of a window's title bar sends it.
  void CloseBox(Driver& user, wxWindow* window) {
    tvxtest::ProgramWindow target;
    target.id = user.Ui([&] { return sweep::gtk::XWindowOf(window->GetHandle()); });
    windows_->Close(target);
  }
  std::string ShapefilePath() const { return (sandbox_->dir / "lines.shp").string(); }

  // A click on a button that ends the window.
  void ClickToClose(Driver& user, wxWindow* window, int id, const std::string& what) {
    const unsigned long xid = user.Ui([&] { return sweep::gtk::XWindowOf(window->GetHandle()); });
    ClickId(user, window, id);
    SeeItClose(user, xid, what);
  }

  // The options sheet open on the screen.
  wxWindow* OptionsSheet(Driver& user) {
    wxWindow* sheet = nullptr;
    user.RequireUntil([&] {
      for (wxWindow* top : wxTopLevelWindows)
        if (dynamic_cast<CPropiedadesOpciones*>(CWnd::FromWxWindow(top)) && Driver::Ready(top)) sheet = top;
      return sheet != nullptr;
    }, "the options sheet opens");
    return sheet;
  }
  // Tools > Options, then the tab of page index.
  void OptionsPage(Driver& user, int index) {
    ChooseFromMenuBar(user, Frame(), 32778);
    wxWindow* sheet = OptionsSheet(user);
    wxBookCtrlBase* book = user.Ui([&] { return SheetOf(sheet)->GetSheetDialog()->GetBookCtrl(); });
    sweep::ChooseTab(user, book, index);
  }
  void CancelOptions(Driver& user) {
    ClickToClose(user, OptionsSheet(user), wxID_CANCEL, "the options sheet closes on Cancel");
  }
  // A click on the control of window with the id.
  void ClickId(Driver& user, wxWindow* window, int id) {
    wxWindow* control = user.Ui([&] { return window->FindWindow(id); });
    user.Require(control && user.Ui([&] { return sweep::Usable(control); }),
                 "control " + std::to_string(id) + " is there to click");
    user.Click(user.Ui([&] { return control->GetScreenRect(); }));
  }

  // The dialog of row, opened by its command.
  wxWindow* Open(Driver& user, const DialogRow& row) {
    if (row.prepare && row.prepareEachTime) user.Ui([&] { row.prepare(*this); });
    row.open(user, *this);
    wxWindow* dialog = nullptr;
    user.RequireUntil([&] { return (dialog = ShownDialogOf(row)) != nullptr; },
                      std::string(row.how) + " opens its dialog");
    return dialog;
  }

  // Ends the dialog as asked and sees it go, with the answer that way gives.
  void End(Driver& user, const DialogRow& row, wxWindow* dialog, unsigned how) {
    if (row.beforeEnd) row.beforeEnd(user, *this, dialog);
    const std::string what = std::string(row.how) + ": the dialog ends with " + EndingName(how);
    const size_t endedBefore = user.Ui([&] { return user.Modals().ended.size(); });
    const unsigned long xid = user.Ui([&] { return sweep::gtk::XWindowOf(dialog->GetHandle()); });
    const bool sheet = user.Ui([&] { return SheetOf(dialog) != nullptr; });
    auto button = [&](int id, int sheetId) {
      wxWindow* b = user.Ui([&] { return dialog->FindWindow(sheet ? sheetId : id); });
      user.Require(b && user.Ui([&] { return sweep::Usable(b); }), what + ": the button is there");
      user.Click(user.Ui([&] { return b->GetScreenRect(); }));
    };
    switch (how) {
      case kOk: button(IDOK, wxID_OK); break;
      case kCancel: button(IDCANCEL, wxID_CANCEL); break;
      case kEnter: {
        // From the first edit when the dialog has one, else from its first check box (a
        // focused push button would press itself), else from where the dialog puts the focus.
        wxWindow* from = user.Ui([&]() -> wxWindow* {
          wxWindow* box = nullptr;
          for (const sweep::Control& c : sweep::ControlsOf(dialog)) {
            if (!sweep::Usable(c.window) || row.choices.left.count(c.id)) continue;
            auto* t = dynamic_cast<wxTextCtrl*>(c.window);
            if (t && t->IsEditable() && !t->IsMultiLine()) return t;
            if (!box && c.kind == sweep::Kind::Check) box = c.window;
          }
          return box;
        });
        if (from) {
          user.Click(user.Ui([&] { return from->GetScreenRect(); }));
          user.RequireUntil([&] { return sweep::FocusIn(from); }, what + ": the control takes the focus");
        }
        user.PointAt(user.Ui([&] { return dialog->GetScreenRect(); }));
        user.Key(WXK_RETURN);
        break;
      }
      case kEscape:
        user.PointAt(user.Ui([&] { return dialog->GetScreenRect(); }));
        user.Key(WXK_ESCAPE);
        break;
      case kCloseBox:
        CloseBox(user, dialog);
        break;
    }
    // What OK or Enter brings up (a question it asks before the dialog goes, a file dialog
    // after) is answered.
    if ((how == kOk || how == kEnter) && row.afterYes) row.afterYes(user, *this);
    SeeItClose(user, xid, what);
    if (row.modeless) return;
    const int answer = user.Ui([&] {
      int code = 0;
      for (size_t i = endedBefore; i < user.Modals().ended.size(); ++i)
        if (user.Modals().ended[i].first == dialog) code = user.Modals().ended[i].second;
      return code;
    });
    const bool affirmative = how == kOk || how == kEnter;
    if (affirmative) {
      EXPECT_TRUE(answer == IDOK || answer == wxID_OK) << what << ": answered " << answer;
    } else {
      EXPECT_TRUE(answer == IDCANCEL || answer == wxID_CANCEL) << what << ": answered " << answer;
    }
  }

  // Every page of a sheet shown by its tab (the first last), or the dialog itself.
  std::vector<wxWindow*> Pages(Driver& user, wxWindow* dialog) {
    CPropertySheet* sheet = user.Ui([&] { return SheetOf(dialog); });
    if (!sheet) return {dialog};
    wxBookCtrlBase* book = user.Ui([&] { return sheet->GetSheetDialog()->GetBookCtrl(); });
    const int count = user.Ui([&] { return static_cast<int>(book->GetPageCount()); });
    std::vector<wxWindow*> pages;
    for (int i = 1; i <= count; ++i) {
      const int index = i % count;
      if (count > 1) sweep::ChooseTab(user, book, index);
      pages.push_back(user.Ui([&] { return sheet->GetPage(index)->GetWxWindow(); }));
    }
    return pages;
  }

  std::map<int, std::string> States(Driver& user, const std::vector<wxWindow*>& pages,
                                    const DialogRow& row) {
    std::map<int, std::string> states;
    for (wxWindow* page : pages) states.merge(user.Ui([page] { return sweep::ShownStates(page); }));
    for (int id : row.notKept) states.erase(id);
    return states;
  }

  void SelectPage(Driver& user, wxWindow* dialog, wxWindow* page) {
    CPropertySheet* sheet = user.Ui([&] { return SheetOf(dialog); });
    if (!sheet) return;
    wxBookCtrlBase* book = user.Ui([&] { return sheet->GetSheetDialog()->GetBookCtrl(); });
    const int index = user.Ui([&] { return book->FindPage(page->GetParent()); });
    if (user.Ui([&] { return book->GetSelection(); }) != index) sweep::ChooseTab(user, book, index);
  }

  void TabRounds(Driver& user, const DialogRow& row, wxWindow* dialog,
                 const std::vector<wxWindow*>& pages, sweep::Used& used) {
    for (wxWindow* page : pages) {
      SelectPage(user, dialog, page);
      sweep::TabRound(user, dialog, row.keepsTab, used);
    }
  }

  // The sweep of one dialog: its controls used and OK; opened again, the choices are there,
  // Tab goes round and Escape ends it; then each other way of ending it. A dialog without OK
  // has Tab taken round in its first opening.
  void SweepDialog(Driver& user, const DialogRow& row) {
    user.popupOnScreen = [this] { return windows_->PopupOpen(); };
    if (row.prepare && !row.prepareEachTime) user.Ui([&] { row.prepare(*this); });
    wxWindow* dialog = Open(user, row);
    sweep::Used used;
    std::vector<wxWindow*> pages = Pages(user, dialog);
    for (wxWindow* page : pages) {
      SelectPage(user, dialog, page);
      sweep::UseControls(user, page, row.choices, used);
    }
    if (row.use) row.use(user, *this, dialog);
    unsigned done = 0;
    if (row.endings & kOk) {
      const std::map<int, std::string> chosen = States(user, pages, row);
      End(user, row, dialog, kOk);
      if (row.closeAround) row.closeAround(user, *this);
      if (row.afterOk) row.afterOk(user, *this);
      dialog = Open(user, row);
      pages = Pages(user, dialog);
      if (!row.startsAfresh) {
        EXPECT_EQ(Differences(chosen, States(user, pages, row)), "")
            << row.how << ": the choices made before OK are there when it opens again" << used.Text();
      }
      if (row.shownAgain) row.shownAgain(user, *this, dialog);
      done |= kOk;
    }
    TabRounds(user, row, dialog, pages, used);
    for (unsigned how : {kEscape, kCancel, kCloseBox, kEnter}) {
      if (!(row.endings & how) || (done & how)) continue;
      if (done & ~kOk) dialog = Open(user, row);
      End(user, row, dialog, how);
      if (row.closeAround) row.closeAround(user, *this);
      done |= how;
    }
  }
};

// ------------------------------------------------------------------------------------------
// The toolkit's own windows: boxes and file choosers.
// ------------------------------------------------------------------------------------------

// The toolkit's modal window of class D open innermost, once it is on the screen for the user.
template <class D>
D* NativeDialog(Driver& user, const std::string& what) {
  D* found = nullptr;
  user.RequireUntil([&] {
    if (user.Modals().open.empty()) return false;
    found = dynamic_cast<D*>(user.Modals().open.back());
    if (!found || !sweep::gtk::Mapped(found->GetHandle())) return false;
    return !tvxtest::WindowManagerRuns() || sweep::gtk::BoolProperty(found->GetHandle(), "is-active");
  }, what + " opens");
  return found;
}

wxRect NativeRect(Driver& user, wxDialog* dialog) {
  return user.Ui([&] { return sweep::gtk::OnScreen(dialog->GetHandle()); });
}

void SeeItGo(Driver& user, wxDialog* dialog, const std::string& what) {
  user.RequireUntil([&] { return std::count(user.Modals().open.begin(), user.Modals().open.end(), dialog) == 0; },
                    what);
}

// A file chooser: cancelled with Escape, or answered with a path typed into it and Enter (an
// open dialog takes a typed path into its location field).
std::string AnswerFileDialog(Driver& user, const std::string& path = {}) {
  auto* dialog = NativeDialog<wxFileDialog>(user, "a file dialog");
  const std::string title = user.Ui([&] { return dialog->GetTitle().utf8_string(); });
  const bool open = user.Ui([&] { return dialog->HasFlag(wxFD_OPEN); });
  user.PointAt(NativeRect(user, dialog));
  if (path.empty()) {
    user.Key(WXK_ESCAPE);
    SeeItGo(user, dialog, "Escape cancels the file dialog");
    return title;
  }
  if (!open) user.Key('a', wxMOD_CONTROL);
  user.Type(path);
  user.Key(WXK_RETURN);
  SeeItGo(user, dialog, "Enter answers the file dialog with the path typed");
  return title;
}

// A message box answered with a click on its button of the response given (GTK_RESPONSE_*);
// its text.
std::string AnswerBox(Driver& user, int response) {
  auto* box = NativeDialog<wxMessageDialog>(user, "a message box");
  const std::string text = user.Ui([&] { return box->GetMessage().utf8_string(); });
  void* button = user.Ui([&] { return sweep::gtk::ResponseButton(box->GetHandle(), response); });
  user.Require(button != nullptr, "the box has the button asked for (" + text + ")");
  user.Click(user.Ui([&] { return sweep::gtk::OnScreen(button); }));
  SeeItGo(user, box, "the box closes on its button (" + text + ")");
  return text;
}

// Where a toolbar shows the button of command, in screen pixels (empty when it does not).
wxRect ToolOnScreen(CToolBar& bar, UINT command) {
  static auto typeName = sweep::gtk::Fn<const char* (*)(unsigned long)>("g_type_name");
  static auto child = sweep::gtk::Fn<void* (*)(void*)>("gtk_bin_get_child");
  static auto nth = sweep::gtk::Fn<void* (*)(void*, int)>("gtk_toolbar_get_nth_item");
  auto* tools = dynamic_cast<wxToolBar*>(bar.GetWxWindow());
  if (!tools || !typeName || !child || !nth) return {};
  const int position = tools->GetToolPos(platform::ui::CommandToWxId(command));
  void* toolbar = tools->GetHandle();
  // The toolkit's toolbar, inside the box that holds it.
  auto isToolbar = [&](void* w) { return w && std::string(typeName(**reinterpret_cast<unsigned long**>(w))) == "GtkToolbar"; };
  if (!isToolbar(toolbar)) toolbar = child(toolbar);
  if (position < 0 || !isToolbar(toolbar)) return {};
  return sweep::gtk::OnScreen(nth(toolbar, position));
}

// ------------------------------------------------------------------------------------------
// Grids as the user edits them.
// ------------------------------------------------------------------------------------------

CGridCtrl* GridIn(wxWindow* dialog, int id) {
  return dynamic_cast<CGridCtrl*>(CWnd::FromWxWindow(dialog->FindWindow(id)));
}

// The open text editor of a grid's cell, or null.
wxTextCtrl* CellEditor(CGridCtrl* grid) {
  for (wxWindow* child : grid->GetWxWindow()->GetChildren()) {
    if (auto* edit = dynamic_cast<wxTextCtrl*>(child); edit && edit->IsShown()) return edit;
  }
  return nullptr;
}

// A tap on a cell of the grid: it becomes the focus cell.
void TapCell(Driver& user, CGridCtrl* grid, int row, int col) {
  const wxRect at = user.Ui([&] {
    RECT cell;
    grid->GetCellRect(row, col, &cell);
    CPoint topLeft(cell.left, cell.top);
    grid->ClientToScreen(&topLeft);
    return wxRect(topLeft.x, topLeft.y, cell.right - cell.left, cell.bottom - cell.top);
  });
  user.Click(at);
  user.RequireUntil([&] { return grid->GetFocusCell() == GridCellId(row, col); },
                    "a tap on cell " + std::to_string(row) + "," + std::to_string(col) + " makes it the focus");
}

// Text typed into a cell: its first key opens the editor, Enter ends the edit and leaves the
// dialog open.
void TypeIntoCell(Driver& user, CGridCtrl* grid, int row, int col, const std::string& text) {
  TapCell(user, grid, row, col);
  user.Type(text.substr(0, 1));
  user.RequireUntil([&] { return CellEditor(grid) != nullptr; }, "a key opens the cell's editor");
  user.Type(text.substr(1));
  user.Key(WXK_RETURN);
  user.RequireUntil([&] { return CellEditor(grid) == nullptr; }, "Enter ends the cell's edit");
  user.RequireUntil([&] { return grid->GetItemText(row, col) == text; }, "the cell shows what was typed");
  user.Require(user.Ui([&] { return StillOpen(wxGetTopLevelParent(grid->GetWxWindow())); }),
               "Enter in a cell's editor leaves the dialog open");
}

// Escape in a cell's editor ends the edit without the text and leaves the dialog open.
void EscapeFromCell(Driver& user, CGridCtrl* grid, int row, int col) {
  const std::string before = user.Ui([&] { return grid->GetItemText(row, col); });
  TapCell(user, grid, row, col);
  user.Key('x');
  user.RequireUntil([&] { return CellEditor(grid) != nullptr; }, "a key opens the cell's editor");
  user.Key(WXK_ESCAPE);
  user.RequireUntil([&] { return CellEditor(grid) == nullptr; }, "Escape ends the cell's edit");
  user.Require(user.Ui([&] { return StillOpen(wxGetTopLevelParent(grid->GetWxWindow())); }),
               "Escape in a cell's editor leaves the dialog open");
  user.Require(user.Ui([&] { return grid->GetItemText(row, col); }) == before,
               "Escape in a cell's editor keeps the cell's text");
}

// ------------------------------------------------------------------------------------------
// The table.
// ------------------------------------------------------------------------------------------

// A menu command, given with the pointer from the menu bar.
std::function<void(Driver&, Sweep&)> Menu(UINT command) {
  return [command](Driver& user, Sweep& program) { ChooseFromMenuBar(user, program.Frame(), command); };
}

void CurrentFeature(Sweep& program, int index) { program.Doc()->m_current = index; }

// The dialogs of the work: features, parts, points, notes, waypoints, measures.
std::vector<DialogRow> WorkDialogs() {
  std::vector<DialogRow> rows;
  {
    DialogRow row{{200}, "Help > About", Menu(ID_APP_ABOUT)};
    row.endings = kOk | kEnter | kEscape | kCloseBox;
    rows.push_back(row);
  }
  for (auto [command, how] : {std::pair{32824u, "GPS > Distance to vertices"},
                              {32825u, "GPS > Distance to waypoints"}}) {
    DialogRow row{{144}, how, Menu(command)};
    row.endings = kOk | kEnter | kEscape | kCloseBox;
    row.notKept = {1042, 1043, 1039, 1040, 1041};  // a new measure each time it opens
    rows.push_back(row);
  }
  {
    DialogRow row{{156}, "Objects > Object list", Menu(32862)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.endings = kOk | kEnter | kEscape | kCloseBox;
    row.keepsTab = {170, 1070};
    row.use = [](Driver& user, Sweep& program, wxWindow* dialog) {
      CGridCtrl* grid = user.Ui([&] { return GridIn(dialog, 170); });
      user.Require(grid, "the object list has its grid");
      EscapeFromCell(user, grid, 2, 0);
      TypeIntoCell(user, grid, 1, 0, "Meadow");
    };
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_features[0].name; }), "Meadow")
          << "a name typed into the object list is the feature's after OK";
    };
    row.shownAgain = [](Driver& user, Sweep&, wxWindow* dialog) {
      EXPECT_EQ(user.Ui([&] { return GridIn(dialog, 170)->GetItemText(1, 0); }), "Meadow");
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{241}, "Objects > Object grid", Menu(32872)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.endings = kOk | kEnter | kEscape | kCloseBox;
    row.keepsTab = {1288};
    row.use = [](Driver& user, Sweep&, wxWindow* dialog) {
      wxWindow* none = user.Ui([&] { return dialog->FindWindow(1287); });
      user.Click(user.Ui([&] { return none->GetScreenRect(); }));
    };
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_features[2].subtract; }), 0)
          << "Subtract none, then OK: the hole is not taken off the field";
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{177}, "Objects > Notes", Menu(32835)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.notKept = {1103, 1104};  // opens on the first point; the note typed is the second's
    row.choices.typed = {{1104, "gate"}};
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_features[0].vertexNotes.at(1); }), "gate")
          << "the note typed for the second point is kept after OK";
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{154}, "Objects > Waypoint table", Menu(32864)};
    row.notKept = {1020};  // opens showing latitude and longitude
    row.keepsTab = {171};
    row.choices.left = {1020};  // switching the display is the waypoint tests' business
    row.use = [](Driver& user, Sweep&, wxWindow* dialog) {
      CGridCtrl* grid = user.Ui([&] { return GridIn(dialog, 171); });
      user.Require(grid, "the waypoint table has its grid");
      EscapeFromCell(user, grid, 2, 1);
      TypeIntoCell(user, grid, 1, 1, "Spring");
    };
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_waypoints[0].name; }), "Spring")
          << "a name typed into the waypoint table is the waypoint's after OK";
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{141}, "Objects > Delete points", Menu(32854)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 1); };
    row.notKept = {1010};  // the points chosen are gone after OK
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_features[1].VertexCount(); }), 1u)
          << "the point chosen is deleted after OK";
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{187}, "Objects > Divide", Menu(32852)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.modeless = true;
    // Its first control is a step button, which has the focus when it opens: Enter there
    // steps the line, as a focused button presses itself.
    row.endings = kOk | kCancel | kEscape | kCloseBox;
    row.use = [](Driver& user, Sweep&, wxWindow* dialog) {
      for (int id : {1228, 1227, 1230, 1229}) {
        wxWindow* step = user.Ui([&] { return dialog->FindWindow(id); });
        user.Click(user.Ui([&] { return step->GetScreenRect(); }));
      }
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{235}, "View > Navigate to", Menu(32875)};
    row.notKept = {1263, 1264};  // opens on the first object and point
    // OK starts the navigation: its compass is closed.
    row.afterYes = [](Driver& user, Sweep& p) {
      DialogRow compass{{149}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(compass)) != nullptr; }, "the compass opens");
      p.CloseBox(user, dialog);
      user.RequireUntil([&] { return !p.view_->m_navActive; }, "closing the compass ends navigation");
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{183}, "Objects > New object", Menu(32842)};
    row.notKept = {1124};  // each new object is named anew
    rows.push_back(row);
  }
  {
    DialogRow row{{183}, "Objects > New part", Menu(32871)};
    // A new part becomes the current feature, and a part has no parts: each time a part of
    // the field.
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.prepareEachTime = true;
    row.notKept = {1124};
    rows.push_back(row);
  }
  return rows;
}

// A popup's command on what a tap on the map hits.
std::function<void(Driver&, Sweep&)> WaypointPopup(int waypoint, UINT command) {
  return [=](Driver& user, Sweep& program) {
    program.TapWaypoint(user, waypoint);
    program.ChooseFromPopup(user, command);
  };
}
std::function<void(Driver&, Sweep&)> FeaturePopup(int feature, UINT command) {
  return [=](Driver& user, Sweep& program) {
    program.TapFeature(user, feature);
    program.ChooseFromPopup(user, command);
  };
}

// The dialogs of the map's popups.
std::vector<DialogRow> MapDialogs() {
  std::vector<DialogRow> rows;
  {
    DialogRow row{{208, 207}, "a waypoint's popup > Properties", WaypointPopup(0, 32851)};
    // The coordinates page shows where the waypoint is; they are not taken back.
    row.choices.left = {1212, 1213, 1214, 1215, 1216, 1217, 1251, 1252};
    row.choices.typed = {{1205, "Well 2"}, {1211, "deep"}};
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_waypoints[0].name; }), "Well 2");
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_waypointNotes[0]; }), "deep");
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{157}, "a feature's popup > Design", FeaturePopup(0, 32818)};
    row.choices.left = {1091};  // "use for new objects": the defaults are not this dialog's choice
    row.use = [](Driver& user, Sweep&, wxWindow* dialog) {
      auto* picker = user.Ui([&] { return dynamic_cast<CColourPicker*>(CWnd::FromWxWindow(dialog->FindWindow(1076))); });
      user.Require(picker, "the design dialog has its colour picker");
      user.Click(user.Ui([&] { return picker->GetWxWindow()->GetScreenRect(); }));
      CColourPickerPopup* popup = nullptr;
      user.RequireUntil([&] {
        popup = picker->GetPopup();
        return popup && Driver::Ready(popup->GetWxWindow());
      }, "the colour picker's popup opens on a click");
      const wxPoint green = user.Ui([&] {
        CPoint p = popup->Layout().CellRect(27).CenterPoint();
        popup->ClientToScreen(&p);
        return wxPoint(p.x, p.y);
      });
      user.Click(green);
      user.RequireUntil([&] { return !picker->IsPopupOpen() && picker->GetColour() == RGB(0, 255, 0); },
                        "a colour chosen in the popup closes it and shows in the picker");
    };
    row.afterOk = [](Driver& user, Sweep& program) {
      EXPECT_EQ(user.Ui([&] { return program.Doc()->m_features[0].colour; }), RGB(0, 255, 0));
    };
    row.shownAgain = [](Driver& user, Sweep&, wxWindow* dialog) {
      EXPECT_EQ(user.Ui([&] {
        return dynamic_cast<CColourPicker*>(CWnd::FromWxWindow(dialog->FindWindow(1076)))->GetColour();
      }), RGB(0, 255, 0));
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{156}, "a feature's popup > Properties", FeaturePopup(1, 32820)};
    row.endings = kEscape;
    row.keepsTab = {170, 1070};
    row.choices.left = {1075};
    rows.push_back(row);
  }
  {
    DialogRow row{{149}, "a waypoint's popup > Navigate", WaypointPopup(1, 32813)};
    row.modeless = true;
    row.endings = kEscape | kCloseBox;
    row.use = [](Driver& user, Sweep& program, wxWindow* dialog) {
      const wxSize before = user.Ui([&] { return dialog->GetSize(); });
      wxWindow* menu = user.Ui([&] { return dialog->FindWindow(1123); });
      user.Click(user.Ui([&] { return menu->GetScreenRect(); }));
      program.ChooseFromPopup(user, 172);  // the other size
      user.RequireUntil([&] { return dialog->GetSize() != before; }, "the compass takes its other size");
    };
    row.closeAround = [](Driver& user, Sweep& program) {
      user.RequireUntil([&] { return !program.view_->m_navActive; }, "closing the compass ends navigation");
    };
    rows.push_back(row);
  }
  return rows;
}

// The options sheet and the dialogs its pages open.
std::vector<DialogRow> OptionDialogs() {
  std::vector<DialogRow> rows;
  {
    DialogRow row{{202, 151, 143, 146, 150, 182, 184, 142, 185, 196}, "Tools > Options", Menu(32778)};
    row.choices.typed = {{1117, "2.5"}};  // the HDOP limit goes up to 6
    // The projection display needs a projection set up in its own dialog (a row of its own);
    // the button to it and the receiver's detection are rows and tests of their own.
    row.choices.radioEnd = {{1015, 1016}};
    row.choices.left = {1094, 1203, 1008};
    // The HDOP limit is its edit's (the slider's arrows move only its thumb); the sound
    // distance is shown in the unit the Other page chose.
    row.notKept = {1116, 1291};
    rows.push_back(row);
  }
  {
    DialogRow row{{205}, "Tools > Options, Units, Other projections, Projection...", [](Driver& user, Sweep& p) {
      p.OptionsPage(user, 1);
      p.ClickId(user, p.OptionsSheet(user), 1095);
      p.ClickId(user, p.OptionsSheet(user), 1094);
    }};
    // What the projection dialog set is the sheet's until its OK; the sheet is cancelled.
    row.startsAfresh = true;
    // A projection is stored under a name: without one OK cancels.
    row.beforeEnd = [](Driver& user, Sweep&, wxWindow* dialog) {
      auto* name = dynamic_cast<wxComboBox*>(user.Ui([&] { return dialog->FindWindow(1202); }));
      const wxRect r = user.Ui([&] { return name->GetScreenRect(); });
      user.Click(wxPoint(r.x + 10, r.y + r.height / 2));
      user.Key('a', wxMOD_CONTROL);
      user.Type("Sweep");
      user.RequireUntil([&] { return name->GetValue() == "Sweep"; }, "the projection's name is typed");
    };
    row.choices.left = {1201};  // deletes a stored projection
    row.closeAround = [](Driver& user, Sweep& p) { p.CancelOptions(user); };
    rows.push_back(row);
  }
  {
    DialogRow row{{225}, "Tools > Options, GPS, Advanced...", [](Driver& user, Sweep& p) {
      p.OptionsPage(user, 3);
      p.ClickId(user, p.OptionsSheet(user), 1203);
    }};
    row.closeAround = [](Driver& user, Sweep& p) { p.CancelOptions(user); };
    // The switch buttons act on the receiver at once (the library is not in this program
    // folder: they do nothing here).
    row.choices.left = {1247, 1248, 1249, 1250};
    rows.push_back(row);
  }
  return rows;
}

// A command that gives up the document asks first to save its changes: answered No; then
// what the command shows next comes.
void NoSaveThen(Driver& user, const std::function<bool()>& next, const std::string& what) {
  bool asked = false;
  user.RequireUntil([&] {
    asked = !user.Modals().open.empty() && dynamic_cast<wxMessageDialog*>(user.Modals().open.back());
    return asked || next();
  }, what);
  if (!asked) return;
  AnswerBox(user, sweep::gtk::kResponseNo);
  user.RequireUntil(next, what);
}

// File > Open of path: a question to save the work first is answered No, then the file
// dialog is given the path.
void OpenFile(Driver& user, Sweep& program, const std::string& path) {
  ChooseFromMenuBar(user, program.Frame(), ID_FILE_OPEN);
  NoSaveThen(user, [&] {
    return !user.Modals().open.empty() && dynamic_cast<wxFileDialog*>(user.Modals().open.back());
  }, "File > Open asks for a file");
  AnswerFileDialog(user, path);
}

// The wizard up to its measuring: File > Wizard, the area's button; then its end button on
// the full-screen bar.
void WizardMeasured(Driver& user, Sweep& program) {
  ChooseFromMenuBar(user, program.Frame(), 212);
  DialogRow wizard{{139}, "File > Wizard", nullptr};
  wxWindow* sheet = nullptr;
  NoSaveThen(user, [&] { return (sheet = ShownDialogOf(wizard)) != nullptr; }, "File > Wizard opens the wizard");
  program.ClickId(user, sheet, 1239);
  CToolBar& bar = program.frame_->m_fullScreenBar;
  // (Under a window manager the full screen comes when the manager has made it, and the bar
  // moves to the screen's foot when the frame has taken the screen's size; it is clicked
  // there.)
  wxRect end;
  user.RequireUntil([&] {
    end = ToolOnScreen(bar, 211);
    const wxRect strip = sweep::gtk::OnScreen(bar.GetWxWindow()->GetHandle());
    return tvxtest::FullScreenSettled(program.Frame(), true) && Driver::Ready(program.Frame()) &&
           tvxtest::OnScreen(bar.GetWxWindow()) && !end.IsEmpty() && strip.Contains(end) &&
           strip.GetBottom() >= wxGetDisplaySize().y - 1;
  }, "the wizard's area measuring fills the screen with its bar");
  user.Click(end);
}

// The exports' settings, the Shapefiles read in, the wizard's dialogs and the navigation target.
std::vector<DialogRow> FileDialogs() {
  std::vector<DialogRow> rows;
  {
    DialogRow row{{178}, "File > Open of a Shapefile", [](Driver& user, Sweep& p) {
      OpenFile(user, p, p.ShapefilePath());
    }};
    row.startsAfresh = true;  // each file is read as asked for it
    // Swept whole as the Shapefile export's dialog below.
    row.endings = kOk | kEscape;
    // Its name field asked next is a row of its own: OK there.
    row.afterYes = [](Driver& user, Sweep& p) {
      DialogRow names{{243}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(names)) != nullptr; }, "the name field is asked");
      p.ClickToClose(user, dialog, IDOK, "the name field's dialog closes on OK");
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{243}, "File > Open of a Shapefile, OK", [](Driver& user, Sweep& p) {
      OpenFile(user, p, p.ShapefilePath());
      DialogRow system{{178}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(system)) != nullptr; }, "the coordinate system is asked");
      p.ClickId(user, dialog, IDOK);
    }};
    row.startsAfresh = true;
    row.afterOk = [](Driver& user, Sweep& p) {
      EXPECT_EQ(user.Ui([&] { return p.Doc()->m_features.back().name; }), "Ditch")
          << "the features read are named from the field chosen";
    };
    rows.push_back(row);
  }
  for (auto [command, how, made] : {std::tuple{32779u, "File > Export > Export UTM", 147u},
                                    {32781u, "File > Export > DXF", 186u},
                                    {32836u, "File > Export > Shapefile", 178u},
                                    {32843u, "File > Export > OziExplorer track", 147u},
                                    {32844u, "File > Export > CompeGPS track", 147u}}) {
    DialogRow row{{made}, how, Menu(command)};
    row.startsAfresh = true;  // each export starts from the document's settings
    row.afterYes = [](Driver& user, Sweep&) { AnswerFileDialog(user); };  // its save dialog
    rows.push_back(row);
  }
  {
    DialogRow row{{139}, "File > Wizard", [](Driver& user, Sweep& p) {
      ChooseFromMenuBar(user, p.Frame(), 212);
      DialogRow wizard{{139}, "", nullptr};
      NoSaveThen(user, [&] { return ShownDialogOf(wizard) != nullptr; }, "File > Wizard opens the wizard");
    }};
    // Its first button (the area) has the focus when it opens: Enter there chooses it.
    row.endings = kOk | kCancel | kEscape | kCloseBox;
    row.choices.left = {1239, 1240};  // each starts a measurement: the summary's row
    rows.push_back(row);
  }
  {
    DialogRow row{{240}, "the wizard's end button > Summary", WizardMeasured};
    row.notKept = {1279};  // each measurement names its own feature
    row.closeAround = [](Driver& user, Sweep& p) {
      DialogRow last{{226}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(last)) != nullptr; }, "the wizard asks what next");
      p.ClickToClose(user, dialog, 1255, "the wizard's last question closes on a choice");  // leave
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{226}, "the wizard's summary > OK", [](Driver& user, Sweep& p) {
      WizardMeasured(user, p);
      DialogRow summary{{240}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(summary)) != nullptr; }, "the summary opens");
      p.ClickId(user, dialog, IDOK);
    }};
    row.endings = kCancel | kEscape | kCloseBox;  // its choices are buttons that end it
    row.choices.left = {1253, 1254, 1255};
    rows.push_back(row);
  }
  return rows;
}

// The dialogs of the receiver's positions, with a receiver walking the field.
std::vector<DialogRow> GpsDialogs() {
  std::vector<DialogRow> rows;
  {
    DialogRow row{{153}, "GPS > Averaging", Menu(32803)};
    // OK is offered once averaging stopped and a store was chosen: Enter then presses it.
    row.endings = kOk | kCancel | kEscape | kCloseBox;
    row.notKept = {1107};  // the altitude averaged
    // The altitude shows the running mean until averaging stops; then it can be corrected.
    row.choices.left = {1107};
    row.use = [](Driver& user, Sweep& p, wxWindow* dialog) {
      p.ClickId(user, dialog, 1050);  // stop
      user.RequireUntil([&] { return !dialog->FindWindow(1050)->IsEnabled(); }, "Stop ends the averaging");
      sweep::Choices altitude;
      altitude.typed = {{1107, "12.345"}};
      sweep::Used used;
      sweep::UseControls(user, dialog, altitude, used);
      p.ClickId(user, dialog, 1052);  // store a waypoint
      user.RequireUntil([&] { return dialog->FindWindow(IDOK)->IsEnabled(); }, "a store chosen offers OK");
    };
    // The waypoint stored is named as every new one is: asked.
    row.afterYes = [](Driver& user, Sweep& p) {
      DialogRow name{{183}, "", nullptr};
      wxWindow* dialog = nullptr;
      user.RequireUntil([&] { return (dialog = ShownDialogOf(name)) != nullptr; }, "the averaged waypoint's name is asked");
      p.ClickToClose(user, dialog, IDOK, "the name dialog closes on OK");
    };
    row.afterOk = [](Driver& user, Sweep& p) {
      EXPECT_EQ(user.Ui([&] { return p.Doc()->m_waypoints.size(); }), 3u) << "the averaged waypoint is stored";
      EXPECT_EQ(user.Ui([&] { return p.Doc()->m_waypoints.back().altitudeCm; }),
                ParseAltitudeCentimetres("12.345"))
          << "with the altitude typed";
    };
    rows.push_back(row);
  }
  {
    DialogRow row{{148}, "Objects > Insert point", Menu(32860)};
    row.prepare = [](Sweep& p) { CurrentFeature(p, 0); };
    row.notKept = {1012};  // the point chosen has its new point before it
    row.afterOk = [](Driver& user, Sweep& p) {
      EXPECT_EQ(user.Ui([&] { return p.Doc()->m_features[0].VertexCount(); }), 5u)
          << "the position is inserted after OK";
    };
    rows.push_back(row);
  }
  {
    // The waypoint options ask for each new waypoint's name.
    DialogRow row{{183}, "GPS > Add waypoint", Menu(32863)};
    row.notKept = {1124};
    row.afterOk = [](Driver& user, Sweep& p) {
      EXPECT_EQ(user.Ui([&] { return p.Doc()->m_waypoints.back().name; }), "7");
    };
    rows.push_back(row);
  }
  return rows;
}

TEST_F(Sweep, GpsDialogs) {
  ReceiverSimulator receiver;
  std::ifstream walk(TVX_BINARY_DIR "/testdata/walks/field_100x60.nmea");
  std::stringstream log;
  log << walk.rdbuf();
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 5;
  ASSERT_TRUE(receiver.Start(ReceiverSimulator::SplitEpochs(log.str()), settings));
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("WptName", 0);  // ask each waypoint's name
  Start();
  Driver::Run([&](Driver& user) {
    ChooseFromMenuBar(user, Frame(), 32804);
    user.RequireUntil([&] { return Doc()->m_gpsOn && Doc()->HasCurrentFix(); }, "GPS reading gives a fix", 20s);
    for (const DialogRow& row : GpsDialogs()) SweepDialog(user, row);
    ChooseFromMenuBar(user, Frame(), 32804);
    user.RequireUntil([&] { return !Doc()->m_gpsOn; }, "GPS reading stops");
  });
  if (Doc() && Doc()->m_gpsOn) Doc()->ToggleGps();
  platform::UnpublishSerialPort(3);
}

TEST_F(Sweep, FileDialogs) {
  Start();
  Driver::Run([&](Driver& user) {
    for (const DialogRow& row : FileDialogs()) SweepDialog(user, row);
  });
}

TEST_F(Sweep, OptionDialogs) {
  Start();
  Driver::Run([&](Driver& user) {
    for (const DialogRow& row : OptionDialogs()) SweepDialog(user, row);
  });
}

TEST_F(Sweep, MapDialogs) {
  Start();
  Driver::Run([&](Driver& user) {
    for (const DialogRow& row : MapDialogs()) SweepDialog(user, row);
  });
}

TEST_F(Sweep, WorkDialogs) {
  Start();
  Driver::Run([&](Driver& user) {
    for (const DialogRow& row : WorkDialogs()) SweepDialog(user, row);
  });
}

// ------------------------------------------------------------------------------------------
// The menu bar, item by item.
// ------------------------------------------------------------------------------------------

// One item of the main window's menus: whether the sweep's program (the field and two
// waypoints read, a receiver giving fixes) shows it enabled, and what choosing it does, seen
// on the screen or in the work and then undone.
struct MenuRow {
  UINT command;
  bool enabled = true;
  std::function<double(Sweep&)> changes;        // a value the command changes
  std::string what;                             // ... said so
  std::function<void(Driver&, Sweep&)> chosen;  // or what to see after the item is chosen
  std::function<void(Sweep&)> before;           // the work's state it needs first
};
MenuRow On(std::function<void(Sweep&)> before, MenuRow row) {
  row.before = std::move(before);
  return row;
}
MenuRow Then(UINT command, std::function<void(Driver&, Sweep&)> chosen) {
  return {command, true, nullptr, "", std::move(chosen), nullptr};
}
MenuRow Changes(UINT command, std::function<double(Sweep&)> get, std::string what) {
  return {command, true, std::move(get), std::move(what), nullptr, nullptr};
}
MenuRow Disabled(UINT command) { return {command, false, nullptr, "", nullptr, nullptr}; }

// The dialog made from template opens, and goes on Escape.
std::function<void(Driver&, Sweep&)> OpensDialog(UINT made) {
  return [made](Driver& user, Sweep& p) {
    DialogRow row{{made}, "", nullptr};
    wxWindow* dialog = nullptr;
    user.RequireUntil([&] { return (dialog = ShownDialogOf(row)) != nullptr; },
                      "the dialog of template " + std::to_string(made) + " opens");
    const unsigned long xid = user.Ui([&] { return sweep::gtk::XWindowOf(dialog->GetHandle()); });
    user.PointAt(user.Ui([&] { return dialog->GetScreenRect(); }));
    user.Key(WXK_ESCAPE);
    SeeItClose(user, xid, "Escape closes the dialog of template " + std::to_string(made));
  };
}
// A save dialog opens, and is cancelled.
void OpensSaveDialog(Driver& user, Sweep&) { AnswerFileDialog(user); }

std::vector<MenuRow> MenuRows() {
  auto view = [](auto member) {
    return [member](Sweep& p) { return static_cast<double>(p.view_->*member); };
  };
  std::vector<MenuRow> rows = {
      // View
      Changes(32807, [](Sweep& p) { return p.view_->m_scale; }, "Zoom in scales the map"),
      Changes(32805, [](Sweep& p) { return p.view_->m_scale; }, "Full extent scales the map"),
      Changes(32811, [](Sweep& p) { return p.view_->m_scale; }, "Zoom out scales the map"),
      Changes(32806, [](Sweep& p) { return p.view_->m_centreX; }, "Zoom on GPS centres the map on the fix"),
      Changes(32800, view(&CTolvanixView::m_showWaypoints), "the waypoints layer switches"),
      Changes(32840, view(&CTolvanixView::m_showWaypointNames), "the waypoint names layer switches"),
      Changes(32855, view(&CTolvanixView::m_showOutlines), "the outlines layer switches"),
      Changes(32857, view(&CTolvanixView::m_showLabels), "the point numbers layer switches"),
      Changes(32858, view(&CTolvanixView::m_showPoints), "the points layer switches"),
      Changes(32856, view(&CTolvanixView::m_showTitles), "the titles layer switches"),
      Changes(32833, view(&CTolvanixView::m_showNotes), "the notes layer switches"),
      Changes(32823, view(&CTolvanixView::m_showRuler), "the ruler switches"),
      Changes(32808, [](Sweep& p) { return static_cast<double>(p.frame_->m_zoomBar.IsWindowVisible()); },
                            "the zoom toolbar shows or hides"),
      Changes(32881, [](Sweep& p) { return static_cast<double>(p.frame_->m_toolBar1.IsWindowVisible()); },
                            "the drawing toolbar shows or hides"),
      Then(32875, OpensDialog(235)),
      Disabled(32876),  // no navigation runs
      // GPS (reading on)
      Changes(32801, [](Sweep& p) { return static_cast<double>(p.Doc()->m_features[0].VertexCount()); },
                            "Capture point adds the position"),
      Changes(32802, [](Sweep& p) { return static_cast<double>(p.Doc()->m_autoCapture.load()); },
                            "automatic capture switches"),
      Then(32803, OpensDialog(153)),
      Changes(32832, [](Sweep& p) { return static_cast<double>(p.Doc()->m_offsetOn.load()); },
                            "the offset switches"),
      Changes(32863, [](Sweep& p) { return static_cast<double>(p.Doc()->m_waypoints.size()); },
                            "Add waypoint adds one"),
      Then(32824, OpensDialog(144)),
      Then(32825, OpensDialog(144)),
      // Objects > Insert point needs the fix (Divide switches the receiver off).
      Then(32860, OpensDialog(148)),
      // The switches back as they were.
      Changes(32802, [](Sweep& p) { return static_cast<double>(p.Doc()->m_autoCapture.load()); },
              "automatic capture switches off"),
      Changes(32832, [](Sweep& p) { return static_cast<double>(p.Doc()->m_offsetOn.load()); },
              "the offset switches off"),
      Changes(32882, [](Sweep& p) { return static_cast<double>(p.Doc()->m_definingCircle.load()); },
              "the circle from the GPS starts"),
      Changes(32882, [](Sweep& p) { return static_cast<double>(p.Doc()->m_definingCircle.load()); },
              "the circle from the GPS ends"),
      // Objects
      // The field, not the circle the receiver drew, is divided.
      On([](Sweep& p) { CurrentFeature(p, 0); }, Then(32852, OpensDialog(187))),
      Then(32885, [](Driver& user, Sweep& p) {
         // The split line's taps: its bar's end button ends them.
         user.RequireUntil([&] { return p.view_->m_tapMode == 14 && p.frame_->m_toolBar2.IsWindowVisible(); },
                           "Split by line waits for the line's taps with its bar");
         wxRect end;
         user.RequireUntil([&] { return !(end = ToolOnScreen(p.frame_->m_toolBar2, 32887)).IsEmpty(); },
                           "the bar's end button is on the screen");
         user.Click(end);
         user.RequireUntil([&] { return p.view_->m_tapMode == 0; }, "the bar's end button ends the taps");
       }),
      Then(32842, OpensDialog(183)),
      Then(32871, OpensDialog(183)),
      Then(32862, OpensDialog(156)),
      Then(32872, OpensDialog(241)),
      Then(32864, OpensDialog(154)),
      Then(32835, OpensDialog(177)),
      Then(32854, OpensDialog(141)),
      Changes(32853, [](Sweep& p) { return static_cast<double>(p.Doc()->m_features[0].VertexCount()); },
                            "the last point goes"),
      // Tools
      Then(32778, OpensDialog(202)),
      Then(32782, [](Driver& user, Sweep& p) {
         EXPECT_EQ(AnswerBox(user, sweep::gtk::kResponseOk), "The changed language will appear after restart this program");
       }),
      Disabled(32783), Disabled(32784), Disabled(32785), Disabled(32786),
      Disabled(32788), Disabled(32787), Disabled(32789), Disabled(32790),
      Disabled(32791), Disabled(32792), Disabled(32793), Disabled(32794),
      Disabled(32795), Disabled(32796),  // no such module in the program folder
      // Help
      Then(32822, [](Driver& user, Sweep& p) {
         user.RequireUntil([&] { return fs::exists(p.sandbox_->dir / "opened"); }, "Help opens the help page", 20s);
       }),
      Then(ID_APP_ABOUT, OpensDialog(200)),
      // File (1261, deleting a document's files, is taken off the menu as it opens)
      Then(ID_FILE_SAVE_AS, OpensSaveDialog),
      Changes(ID_FILE_SAVE, [](Sweep& p) {
         return static_cast<double>(fs::last_write_time(p.sandbox_->dir / "parcela.tvx").time_since_epoch().count());
       }, "Save writes the document's file"),
      Then(32780, OpensDialog(147)),
      Then(32779, OpensDialog(147)),
      Then(32838, OpensSaveDialog),
      Then(32781, OpensDialog(186)),
      Then(32836, OpensDialog(178)),
      Then(32843, OpensDialog(147)),
      Then(32844, OpensDialog(147)),
      Then(212, [](Driver& user, Sweep& p) {
         DialogRow wizard{{139}, "", nullptr};
         NoSaveThen(user, [&] { return ShownDialogOf(wizard) != nullptr; }, "the wizard opens");
         OpensDialog(139)(user, p);
       }),
      Then(ID_FILE_NEW, [](Driver& user, Sweep& p) {
         NoSaveThen(user, [&] { return p.Doc()->m_waypoints.empty(); }, "New starts an empty document");
       }),
      Then(ID_FILE_OPEN, [](Driver& user, Sweep& p) {
         NoSaveThen(user, [&] { return !user.Modals().open.empty() && dynamic_cast<wxFileDialog*>(user.Modals().open.back()); },
                    "Open asks for a file");
         AnswerFileDialog(user, (p.sandbox_->dir / "parcela.tvx").string());
         user.RequireUntil([&] { return !p.Doc()->m_waypoints.empty(); }, "Open reads the document");
       }),
      Then(ID_APP_EXIT, [](Driver& user, Sweep& p) {
         NoSaveThen(user, [&] { return p.template_->GetFrame() == nullptr; }, "Exit closes the main window");
       }),
  };
  return rows;
}

// The commands of one menu of the bar as it shows them when opened with the pointer (its
// submenus opened too), with their enabled state; the menu is closed again with Escape.
std::map<UINT, bool> ShownItems(Driver& user, wxMenu* top) {
  const wxRect title = user.Ui([&] { return sweep::gtk::OnScreen(top->m_owner); });
  user.Click(title);
  user.RequireUntil([&] { return sweep::gtk::Mapped(top->m_menu); }, "a menu opens on its title");
  std::map<UINT, bool> items;
  std::function<void(wxMenu*)> collect = [&](wxMenu* menu) {
    const std::vector<wxMenuItem*> list = user.Ui([&] {
      std::vector<wxMenuItem*> out;
      for (wxMenuItem* item : menu->GetMenuItems())
        if (!item->IsSeparator()) out.push_back(item);
      return out;
    });
    for (wxMenuItem* item : list) {
      if (wxMenu* sub = user.Ui([&] { return item->GetSubMenu(); })) {
        const wxRect at = user.Ui([&] { return sweep::gtk::OnScreen(item->GetMenuItem()); });
        user.MoveTo(wxPoint(at.x + at.width / 2, at.y + at.height / 2));
        if (!user.Until([&] { return sweep::gtk::Mapped(sub->m_menu); }, 2s)) user.Click(at);
        user.RequireUntil([&] { return sweep::gtk::Mapped(sub->m_menu); }, "a submenu opens");
        collect(sub);
        continue;
      }
      items[user.Ui([&] { return platform::ui::WxIdToCommand(item->GetId()); })] = user.Ui([&] { return item->IsEnabled(); });
    }
  };
  collect(top);
  user.Key(WXK_ESCAPE);
  if (user.Ui([&] { return sweep::gtk::Mapped(top->m_menu); })) user.Key(WXK_ESCAPE);
  user.RequireUntil([&] { return !sweep::gtk::Mapped(top->m_menu); }, "Escape closes the menu");
  return items;
}

// Every item of the main window's menus, as the menu bar shows them, chosen with the pointer:
// each shown enabled does what it says (a dialog or box opens, the map or the work changes),
// and the table names every item shown.
TEST_F(Sweep, EveryMenuItem) {
  ReceiverSimulator receiver;
  std::ifstream walk(TVX_BINARY_DIR "/testdata/walks/field_100x60.nmea");
  std::stringstream log;
  log << walk.rdbuf();
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 5;
  ASSERT_TRUE(receiver.Start(ReceiverSimulator::SplitEpochs(log.str()), settings));
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("Notas", 0);
  // The English module is in the program folder (the other languages are not).
  for (const char* file : {"tvx_en.dll", "tvx_en.htm"})
    fs::copy_file(fs::path(TVX_BINARY_DIR) / "internal" / file, sandbox_->dir / "internal" / file);
  Start();
  const std::vector<MenuRow> rows = MenuRows();
  Driver::Run([&](Driver& user) {
    ChooseFromMenuBar(user, Frame(), 32804);
    user.RequireUntil([&] { return Doc()->m_gpsOn && Doc()->HasCurrentFix(); }, "GPS reading gives a fix", 20s);
    std::map<UINT, bool> shown;
    const int menus = user.Ui([&] { return static_cast<int>(Frame()->GetMenuBar()->GetMenuCount()); });
    for (int i = 0; i < menus; ++i) {
      wxMenu* top = user.Ui([&] { return Frame()->GetMenuBar()->GetMenu(static_cast<size_t>(i)); });
      shown.merge(ShownItems(user, top));
    }
    for (const auto& [command, enabled] : shown) {
      const bool listed = std::any_of(rows.begin(), rows.end(), [&](const MenuRow& r) { return r.command == command; });
      EXPECT_TRUE(listed || command == 32804) << "menu item " << command << " is in the sweep's table";
    }
    for (const MenuRow& row : rows) {
      const std::string what = "menu item " + std::to_string(row.command);
      auto it = shown.find(row.command);
      user.Require(it != shown.end(), what + " is shown");
      EXPECT_EQ(it->second, row.enabled) << what << " is shown " << (row.enabled ? "enabled" : "disabled");
      if (!row.enabled || !it->second) continue;
      if (row.before) user.Ui([&] { row.before(*this); });
      const double before = row.changes ? user.Ui([&] { return row.changes(*this); }) : 0.0;
      ChooseFromMenuBar(user, Frame(), row.command);
      if (row.changes) user.RequireUntil([&] { return row.changes(*this) != before; }, row.what);
      if (row.chosen) row.chosen(user, *this);
      // Reading is left on for the GPS items; Exit ends the run.
      if (row.command == ID_APP_EXIT) break;
    }
  });
  if (template_->GetFrame() && Doc() && Doc()->m_gpsOn) Doc()->ToggleGps();
  platform::UnpublishSerialPort(3);
}

// The templates of the module that no command of this sweep opens, and why.
struct NotOpened {
  UINT id;
  const char* why;
};
const NotOpened kNotOpened[] = {
    {100, "the About box of a screen taller than wide; this display is wider than tall, where "
          "Help > About shows 200"},
    {227, "shown by the program's start while the receiver settings are to be applied at each "
          "start (SNAuto, SBASAuto); it ends by itself a second later (tests/gps_dialogs)"},
};

// Every dialog and page template of the English module is swept by a row of the tables, or
// named above with the reason none opens it here.
TEST_F(Sweep, EveryTemplateOfTheModuleIsSwept) {
  std::set<UINT> templates;
  for (const TvxXrcDocument& doc : platform::ResourceXrcDocuments(module_)) {
    std::map<wxString, wxString> topLevel;
    ASSERT_TRUE(platform::ui::ReadXrcDocument(doc.text, topLevel)) << doc.name;
    for (const auto& [name, kind] : topLevel) {
      unsigned long id = 0;
      if ((kind == "wxDialog" || kind == "wxPanel") && name.ToULong(&id)) templates.insert(static_cast<UINT>(id));
    }
  }
  ASSERT_GT(templates.size(), 30u);
  std::map<UINT, std::string> swept;
  for (const auto& table : {WorkDialogs(), MapDialogs(), OptionDialogs(), FileDialogs(), GpsDialogs()})
    for (const DialogRow& row : table)
      for (UINT id : row.templates) swept.emplace(id, row.how);
  for (UINT id : templates) {
    const bool named = std::any_of(std::begin(kNotOpened), std::end(kNotOpened), [id](const NotOpened& n) { return n.id == id; });
    EXPECT_TRUE(swept.count(id) || named) << "template " << id << " is neither swept nor named as opened by no command";
    EXPECT_FALSE(swept.count(id) && named) << "template " << id << " is swept (" << swept[id] << ") and named as not opened";
  }
  for (const auto& [id, how] : swept) EXPECT_TRUE(templates.count(id)) << how << ": no template " << id;
  for (const NotOpened& n : kNotOpened) EXPECT_TRUE(templates.count(n.id)) << "no template " << n.id;
}

}  // namespace
