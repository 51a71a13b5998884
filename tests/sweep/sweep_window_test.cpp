// The program as a user sweeps it, with the pointer and the keys alone: every item of the main
// window's menus chosen from the menu bar as shown, and every dialog the English module holds
// opened through the command that opens it, its pages, combos, boxes and edits used, Tab taken
// through its controls, and the dialog ended in each of the ways it offers.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/propdlg.h>
#include <wx/menu.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/tolvanix_app.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/gps_dialogs.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/export_prompts.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/menu.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"
#include "document/tvx_file.h"
#include "tests/sweep/controls_by_hand.h"
#include "tests/sweep/ui_driver.h"
#include "view/core/view_projection.h"
#include "view/tolvanix_view.h"
#include "widgets/colour_picker.h"
#include "widgets/grid_ctrl.h"

namespace {

namespace fs = std::filesystem;
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
    user.Click(at);
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
  user.RequireUntil([&] { return !sweep::gtk::Mapped(top->m_menu); },
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
  std::vector<UINT> templates;  // its template (a sheet: its pages' templates)
  const char* how;              // the command, as the user gives it
  std::function<void(Driver&, Sweep&)> open;
  unsigned endings = kEveryEnding;
  sweep::Choices choices;
  std::set<int> notKept;   // choices the dialog does not show again after OK
  std::set<int> keepsTab;  // controls that keep Tab for themselves (a grid's cells)
  // The document's state the command needs (on the user-interface thread, before the first
  // opening).
  std::function<void(Sweep&)> prepare;
  bool prepareEachTime = false;  // before every opening
  // The row's own steps in the first round, before OK (grids, buttons).
  std::function<void(Driver&, Sweep&, wxWindow*)> use;
  // What OK did, checked after the first round.
  std::function<void(Driver&, Sweep&)> afterOk;
  // What the dialog shows when it opens again after OK, beyond its plain controls (a grid).
  std::function<void(Driver&, Sweep&, wxWindow*)> shownAgain;
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

bool StillOpen(wxWindow* window) {
  return std::count(wxTopLevelWindows.begin(), wxTopLevelWindows.end(), window) && window->IsShown();
}

CPropertySheet* SheetOf(wxWindow* window) {
  return dynamic_cast<CPropertySheet*>(CWnd::FromWxWindow(window));
}

class Sweep : public SweepBase {
 public:
  // Everything drawn and the map's pixel caches filled from the document as it stands.
  void MapDrawn(Driver& user) {
    user.RequireUntil([&] {
      return !Doc()->m_needsRedraw && !view_->m_featurePoints.empty() &&
             view_->CachesHold(view_->KeyOf(view_->MapFitSource(), view_->MapWidth(), view_->MapHeight()));
    }, "the map is drawn");
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

  // The dialog of row, opened by its command.
  wxWindow* Open(Driver& user, const DialogRow& row) {
    if (getenv("SWEEP_DEBUG")) fprintf(stderr, "%ld %s open\n", user.Elapsed(), row.how);
    if (row.prepare && row.prepareEachTime) user.Ui([&] { row.prepare(*this); });
    row.open(user, *this);
    wxWindow* dialog = nullptr;
    user.RequireUntil([&] { return (dialog = ShownDialogOf(row)) != nullptr; },
                      std::string(row.how) + " opens its dialog");
    return dialog;
  }

  // Ends the dialog as asked and sees it go, with the answer that way gives.
  void End(Driver& user, const DialogRow& row, wxWindow* dialog, unsigned how) {
    if (getenv("SWEEP_DEBUG")) fprintf(stderr, "%ld %s end %s\n", user.Elapsed(), row.how, EndingName(how));
    const std::string what = std::string(row.how) + ": the dialog ends with " + EndingName(how);
    const size_t endedBefore = user.Ui([&] { return user.Modals().ended.size(); });
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
        // From the first edit when the dialog has one, else from where the dialog puts the
        // focus.
        wxTextCtrl* edit = user.Ui([&]() -> wxTextCtrl* {
          for (const sweep::Control& c : sweep::ControlsOf(dialog)) {
            auto* t = dynamic_cast<wxTextCtrl*>(c.window);
            if (t && sweep::Usable(t) && t->IsEditable() && !t->IsMultiLine() &&
                !row.choices.left.count(c.id))
              return t;
          }
          return nullptr;
        });
        if (edit) {
          user.Click(user.Ui([&] { return edit->GetScreenRect(); }));
          user.RequireUntil([&] { return sweep::FocusIn(edit); }, what + ": the edit takes the focus");
        }
        user.PointAt(user.Ui([&] { return dialog->GetScreenRect(); }));
        user.Key(WXK_RETURN);
        break;
      }
      case kEscape:
        user.PointAt(user.Ui([&] { return dialog->GetScreenRect(); }));
        user.Key(WXK_ESCAPE);
        break;
      case kCloseBox: {
        tvxtest::ProgramWindow window;
        window.id = user.Ui([&] { return sweep::gtk::XWindowOf(dialog->GetHandle()); });
        windows_->Close(window);
        break;
      }
    }
    user.RequireUntil([&] { return !StillOpen(dialog); }, what);
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
      EXPECT_EQ(States(user, pages, row), chosen)
          << row.how << ": the choices made before OK are there when it opens again" << used.Text();
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
    DialogRow row{{100, 200}, "Help > About", Menu(ID_APP_ABOUT)};
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
    rows.push_back(row);
  }
  return rows;
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

}  // namespace
