// The user's work in the program's own frame, map view and dialogs (the English module, under
// Xvfb), reached as the user reaches it: the menu commands through the frame's routing, the
// map's popups by taps, the dialogs ended with their own buttons. Every command, dialog,
// tap mode, key and import that changes the document marks it modified, and the exit then
// asks to save it under its name; a document refused at start-up lends its name to no later
// one; a Shapefile or log opened is no file of the document's, so no save writes over the
// document of its name unasked (also on the screen, answered with keys); a file opens by its
// final extension; a save through a link writes the linked file and keeps its permissions; a
// name typed without its extension in the toolkit's save dialog is asked about before the file
// it is completed to is replaced; a save during a division writes the document without it; an
// averaging stores where the user stood, whatever a store refused before; a vertex target
// stays its vertex; the out-of-date mark stays with its feature; a locked feature refuses
// every command that would change its points or cut it into parts; a circle from the receiver
// reshapes no feature but itself.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <wx/choice.h>
#include <wx/combo.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/vlbox.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/feature_dialogs.h"
#include "dialogs/measure_dialogs.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "dialogs/wizard.h"
#include "document/export_prompts.h"
#include "document/tvx_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/menu.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/options/window_helpers.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"
#include "view/core/view_projection.h"
#include "view/navigation_dialog.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"

namespace {

namespace fs = std::filesystem;
using optstest::ClickId;
using optstest::Type;

// A field of about 126 m by 111 m near 2°E 41°N, a track and a hole inside it.
constexpr double kLon0 = 2.0, kLat0 = 41.0, kDLon = 0.0015, kDLat = 0.001;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The work saved in "parcela.tvx": the field (an area), a track (a line), a hole that is a
// part of the field, and a well (a waypoint).
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
  work.waypointNotes.emplace_back();
  return work;
}

// A Shapefile of one line near the field, in WGS84 degrees.
void WriteLineShapefile(const std::string& path) {
  SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
  ASSERT_NE(shp, nullptr);
  const double x[] = {kLon0, kLon0 + kDLon};
  const double y[] = {kLat0 - 0.0002, kLat0 - 0.0002};
  SHPObject* line = SHPCreateSimpleObject(SHPT_ARC, 2, x, y, nullptr);
  SHPWriteObject(shp, -1, line);
  SHPDestroyObject(line);
  SHPClose(shp);
}

class DocumentWork : public tvxtest::ModuleWindowTest {
 protected:
  DocumentWork() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}

  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    sandbox_ = std::make_unique<tvxtest::ProgramSandbox>("document_work");
    dir_ = sandbox_->dir;
    Store("Notificaractiva", 0);  // no box announcing each new active feature
    Store("Entidades", 1);        // feature titles: taps on a feature open its popup
    // As at start-up: the document asks through the program's dialogs.
    InstallProgramDialogs();
    InstallExportDialogs();
    platform::FileDialogScript::Clear();
    platform::PopupMenuScript::Clear();
    std::ofstream(dir_ / "parcela.tvx", std::ios::binary) << WriteTvxFile(Parcela());
    // The program's one template, the application's as at start-up (File > New reaches it).
    template_ = MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128);
    sandbox_->app->AddDocTemplate(template_);
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    for (auto& timer : answers_) timer->Stop();
    if (template_) {
      // The window goes without its close question.
      if (CFrameWnd* frame = template_->GetFrame()) frame->GetFrame()->Destroy();
      tvxtest::PumpUntil([this] { return template_->GetFrame() == nullptr; });
    }
    answers_.clear();
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    SetExportPrompts(nullptr);
    platform::MessageBoxScript::Clear();
    platform::FileDialogScript::Clear();
    platform::PopupMenuScript::Clear();
    sandbox_.reset();
    ModuleWindowTest::TearDown();
  }

  void Store(const std::string& name, int value) {
    sandbox_->app->WriteProfileInt("Opciones", name, value);
  }

  // The program's start as the template runs it: the document named on the command line
  // (a new one without), then the main window on the screen.
  void Start(const std::string& commandLine = {}) {
    if (!commandLine.empty()) sandbox_->app->SetCommandLine({commandLine});
    ASSERT_NE(template_->OpenDocumentFile(commandLine), nullptr);
    frame_ = dynamic_cast<CMainFrame*>(template_->GetFrame());
    ASSERT_NE(frame_, nullptr);
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame_->GetFrame()));
    // Under a window manager the frame takes the new size when the manager allows it, a
    // moment later: the map is tapped where it is drawn at that size.
    frame_->GetFrame()->SetClientSize(480, 440);
    ASSERT_TRUE(tvxtest::PumpUntil(
        [&] { return frame_->GetFrame()->GetClientSize() == wxSize(480, 440); }));
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->ClientWidth() > 300; }));
  }

  CTolvanixDoc& Doc() { return *dynamic_cast<CTolvanixDoc*>(template_->GetDocument()); }

  // A menu command: enabled as the menu shows it, then through the frame's routing.
  void Command(UINT id) {
    CCmdUI ui(id);
    ui.DoUpdate(frame_, TRUE);
    ASSERT_TRUE(ui.enabled.value_or(true)) << "command " << id << " is disabled";
    frame_->OnCmdMsg(id, CN_COMMAND, nullptr);
  }
  bool Enabled(UINT id) {
    CCmdUI ui(id);
    ui.DoUpdate(frame_, TRUE);
    return ui.enabled.value_or(true);
  }

  // File > Open of path (the file dialog answered with it).
  void OpenThroughMenu(const fs::path& path) {
    platform::FileDialogScript::Push(path.string());
    Command(ID_FILE_OPEN);
  }

  // Once a dialog of class T is on the screen (placed and active under a window manager, so
  // that taps land where its controls are), answer runs on it (inside its own loop).
  template <class T>
  void WhenShown(std::function<void(T&)> answer) {
    auto& timer = answers_.emplace_back(std::make_unique<wxTimer>());
    wxTimer* self = timer.get();
    self->Bind(wxEVT_TIMER, [self, answer](wxTimerEvent&) {
      for (wxWindow* top : wxTopLevelWindows) {
        auto* shown = dynamic_cast<T*>(CWnd::FromWxWindow(top));
        if (!shown || !tvxtest::OnScreen(top)) continue;
        auto* window = dynamic_cast<wxTopLevelWindow*>(top);
        if (tvxtest::WindowManagerRuns() && window && !window->IsActive()) return;
        self->Stop();
        answer(*shown);
        return;
      }
    });
    self->Start(20);
  }
  // A dialog ended with its OK button.
  template <class T>
  void WhenShownPressOk() {
    WhenShown<T>([](T& dialog) { ClickId(dialog, IDOK); });
  }

  // Everything drawn and the pixel caches filled from the document as it stands.
  void MapDrawn() {
    // Drawn at the map's present size: a resize refits the map on the next paint only.
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return !Doc().m_needsRedraw && !view_->m_featurePoints.empty() &&
             view_->CachesHold(
                 view_->KeyOf(view_->MapFitSource(), view_->MapWidth(), view_->MapHeight()));
    }));
  }
  // A tap on the map at a working-datum position (longitude, latitude).
  void TapAt(std::pair<double, double> at) {
    const ScreenPoint p = view_->WorldToBitmap(at.first, at.second);
    tvxtest::RealClick(*view_, p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
  }
  // A tap on the first vertex of feature index, as the map draws it.
  void TapFeature(int index) {
    MapDrawn();
    for (const DrawnFeature& drawn : FeatureDrawOrder(Doc().m_features, Doc().m_current)) {
      if (drawn.index != index) continue;
      TapNear(view_->m_featurePoints.at(drawn.firstCached));
      return;
    }
    FAIL() << "feature " << index << " is not drawn";
  }
  void TapWaypoint(int index) {
    MapDrawn();
    TapNear(view_->m_waypointPoints.at(index));
  }
  // A tap on a map-bitmap pixel, within the reach of a tap: each tap lands 5 pixels left or
  // right of it in turn, so that two taps on one place in quick succession (from one change
  // and the next) are never taken as a double tap.
  void TapNear(const ScreenPoint& p) {
    const int dx = (taps_++ % 2) ? 5 : -5;
    tvxtest::RealClick(*view_, p.x + dx + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
  }
  // A press, a drag to the second position and a release on the map.
  void DragOnMap(std::pair<double, double> from, std::pair<double, double> to) {
    auto screen = [&](std::pair<double, double> world) {
      const ScreenPoint p = view_->WorldToBitmap(world.first, world.second);
      CPoint at(p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
      view_->ClientToScreen(&at);
      return wxPoint(at.x, at.y);
    };
    wxUIActionSimulator input;
    input.MouseMove(screen(from));
    tvxtest::InputHandled();
    input.MouseDown();
    tvxtest::InputHandled();
    const wxPoint end = screen(to);
    input.MouseMove(end.x - 5, end.y - 5);
    tvxtest::InputHandled();
    input.MouseMove(end);
    tvxtest::InputHandled();
    input.MouseUp();
    tvxtest::InputHandled();
  }

  // A receiver that counts as open, with a fix at a position inside the field.
  void ReceiverFix(double lon = kLon0 + 0.0007, double lat = kLat0 + 0.0004) {
    Doc().m_gpsOn = true;
    const std::string sentences = Gga(lon, lat) + Rmc(lon, lat);
    Doc().FeedNmea(reinterpret_cast<const std::uint8_t*>(sentences.data()), sentences.size());
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().HasCurrentFix(); }));
  }
  // The receiver closed again, without a reader to stop.
  void ReceiverGone() { Doc().m_gpsOn = false; }

  // The exit command as the File menu gives it. The texts of the boxes it showed; a save
  // question is answered Cancel, so the program stays.
  std::vector<std::string> ExitQuestions() {
    platform::MessageBoxScript::Clear();
    platform::MessageBoxScript::Push(IDCANCEL);
    frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
    std::vector<std::string> texts;
    tvxtest::PumpUntil([&] {
      for (const platform::ShownMessageBox& box : platform::MessageBoxScript::TakeShown())
        texts.push_back(box.text);
      return !texts.empty() || template_->GetFrame() == nullptr;
    });
    platform::MessageBoxScript::Clear();
    return texts;
  }

  std::unique_ptr<tvxtest::ProgramSandbox> sandbox_;
  fs::path dir_;
  CSingleDocTemplate* template_ = nullptr;  // the application's
  CMainFrame* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
  std::vector<std::unique_ptr<wxTimer>> answers_;
  int taps_ = 0;
};

// A dialog's grid as the user edits it: a tap on a cell, then keys; each step waits for the
// grid to have taken the one before.
class GridInput {
 public:
  explicit GridInput(CGridCtrl& grid) : grid_(grid) {}
  // A tap on the cell (dx pixels from its left edge, or in its middle); it becomes the focus.
  void Tap(int row, int col, int dx = -1) {
    RECT cell;
    grid_.GetCellRect(row, col, &cell);
    const int x = dx < 0 ? (cell.left + cell.right) / 2 : cell.left + dx;
    tvxtest::RealClick(grid_, x, (cell.top + cell.bottom) / 2);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid_.GetFocusCell() == GridCellId(row, col); }));
  }
  void Keys(std::initializer_list<int> keys) {
    for (int key : keys) tvxtest::RealKey(grid_, key);
  }
  // Text typed into a text cell: the first key opens its editor, Enter ends it.
  void TypeInto(int row, int col, const std::string& text) {
    Tap(row, col);
    tvxtest::RealKey(grid_, text.at(0));
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Editor() != nullptr; }));
    for (std::size_t i = 1; i < text.size(); ++i) tvxtest::RealKey(grid_, text[i]);
    tvxtest::RealKey(grid_, WXK_RETURN);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Editor() == nullptr; }));
  }
  // The open text editor of a cell, or null.
  wxWindow* Editor() {
    for (wxWindow* child : grid_.GetWxWindow()->GetChildren()) {
      if (dynamic_cast<wxTextCtrl*>(child) && child->IsShown()) return child;
    }
    return nullptr;
  }
  // The open editor of a combo cell, or null.
  wxComboCtrl* Combo() {
    for (wxWindow* child : grid_.GetWxWindow()->GetChildren()) {
      if (auto* combo = dynamic_cast<wxComboCtrl*>(child); combo && combo->IsShown()) return combo;
    }
    return nullptr;
  }
  // Its dropped list, or null.
  wxVListBox* DroppedList() {
    wxComboCtrl* combo = Combo();
    if (!combo || !combo->IsPopupShown() || !combo->GetPopupControl()) return nullptr;
    return dynamic_cast<wxVListBox*>(combo->GetPopupControl()->GetControl());
  }

 private:
  CGridCtrl& grid_;
};

}  // namespace

namespace {

// A file refused at start-up (an unknown marker, a damaged file, a log or a Shapefile that is
// not there) leaves a new document that carries no name; a file read at start-up names the
// document until another is opened. A file opened later names the document, and both the
// Save command and the exit's save write the edits into it; the file of the start stays as
// it was.
TEST_F(DocumentWork, AFileOfTheStartLendsItsNameToNoFileOpenedLater) {
  const std::string parcela = WriteTvxFile(Parcela());
  std::ofstream(dir_ / "strange.tvx", std::ios::binary) << "*XYZ*" + parcela.substr(5);
  std::ofstream(dir_ / "damaged.tvx", std::ios::binary) << parcela.substr(0, 300);
  std::ofstream(dir_ / "otra.tvx", std::ios::binary) << parcela;
  struct Start {
    const char* file;
    const char* title;  // after the start
  };
  for (const Start start : {Start{"strange.tvx", "Untitled"}, Start{"damaged.tvx", "Untitled"},
                            Start{"gone.nmea", "Untitled"}, Start{"gone.shp", "Untitled"},
                            Start{"otra.tvx", "otra"}}) {
    SCOPED_TRACE(start.file);
    const fs::path path = dir_ / start.file;
    const bool existed = fs::exists(path);
    const std::string before = ReadBytes(path);
    std::ofstream(dir_ / "parcela.tvx", std::ios::binary) << parcela;

    const bool refused = std::string(start.title) == "Untitled";
    if (refused) platform::MessageBoxScript::Push(IDOK);  // why the file is refused
    this->Start(path.string());
    EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), refused ? 1u : 0u);
    EXPECT_EQ(Doc().GetTitle(), start.title);

    OpenThroughMenu(dir_ / "parcela.tvx");
    EXPECT_EQ(Doc().GetTitle(), "parcela");
    EXPECT_EQ(Doc().m_docName, "parcela");
    Command(32853);  // the field's last point deleted
    Command(ID_FILE_SAVE);
    DocumentContent saved;
    TvxFileError error;
    ASSERT_TRUE(ReadTvxFile(ReadBytes(dir_ / "parcela.tvx"), saved, error));
    EXPECT_EQ(saved.features.at(0).VertexCount(), 3u);

    Command(32853);  // and one more, saved on the way out
    platform::MessageBoxScript::Push(IDYES);
    frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
    auto asked = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Save changes to parcela?");
    ASSERT_TRUE(ReadTvxFile(ReadBytes(dir_ / "parcela.tvx"), saved, error));
    EXPECT_EQ(saved.features.at(0).VertexCount(), 2u);
    EXPECT_EQ(fs::exists(path), existed);
    EXPECT_EQ(ReadBytes(path), before);
  }
}

// The same start, then the work imported through the object list: the document stays
// without a name, so its save asks for one, and the refused file stays as it was.
TEST_F(DocumentWork, AFileRefusedAtStartUpLendsItsNameToNoImport) {
  const std::string parcela = WriteTvxFile(Parcela());
  const fs::path refused = dir_ / "damaged.tvx";
  std::ofstream(refused, std::ios::binary) << parcela.substr(0, 300);
  const std::string before = ReadBytes(refused);
  platform::MessageBoxScript::Push(IDOK);
  Start(refused.string());
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);

  WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
    platform::FileDialogScript::Push((dir_ / "parcela.tvx").string());
    ClickId(list, 1073);  // Import
    ClickId(list, IDOK);
  });
  Command(32862);
  ASSERT_EQ(Doc().m_features.size(), 3u);
  EXPECT_EQ(Doc().GetTitle(), "Untitled");
  EXPECT_EQ(Doc().m_docName, "Untitled");
  EXPECT_TRUE(Doc().m_docFolder.empty());

  // The exit's save asks where to write.
  platform::MessageBoxScript::Push(IDYES);
  platform::FileDialogScript::Push((dir_ / "imported.tvx").string());
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
  auto asked = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "Save changes to Untitled?");
  EXPECT_EQ(platform::FileDialogScript::TakeShown().size(), 2u);  // the import's, the save's
  DocumentContent saved;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(ReadBytes(dir_ / "imported.tvx"), saved, error));
  EXPECT_EQ(saved.features.size(), 3u);
  EXPECT_EQ(ReadBytes(refused), before);
}


// Every way the user changes the document, each from the saved "parcela": afterwards the
// document is modified and the exit asks to save it under its name.
TEST_F(DocumentWork, EveryChangeMarksTheDocumentAndTheExitAsksToSaveIt) {
  const fs::path shp = dir_ / "lines.shp";
  WriteLineShapefile(shp.string());
  const fs::path other = dir_ / "otra.tvx";
  std::ofstream(other, std::ios::binary) << WriteTvxFile(Parcela());
  const fs::path walk = fs::path(TVX_BINARY_DIR) / "testdata/walks/field_100x60.nmea";
  ASSERT_TRUE(fs::exists(walk)) << "the walks are written by the tvx_walks target";
  Start();

  // The map popup's Properties on a feature: the object list, edited, ended with OK.
  auto properties = [&](int feature, std::function<void(CDlgObjectList&, GridInput&)> edit) {
    WhenShown<CDlgObjectList>([edit](CDlgObjectList& list) {
      ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(list.m_Grid.GetWxWindow()); }));
      GridInput grid(list.m_Grid);
      edit(list, grid);
      ClickId(list, IDOK);
    });
    platform::PopupMenuScript::Push(32820);
    TapFeature(feature);
  };
  // A name typed into the waypoint table's first row.
  auto renameInTable = [](CDlgWaypointTable& table) {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(table.m_Grid.GetWxWindow()); }));
    GridInput(table.m_Grid).TypeInto(1, 1, "Pozo");
    ClickId(table, IDOK);
  };
  // Places inside the field away from every first vertex and waypoint; a row taps one place
  // and the next row another, so that no two taps make a double tap.
  auto spot = [](int k) { return std::pair{kLon0 + 0.0002 + 0.0002 * (k % 6), kLat0 + 0.0003 + 0.0003 * (k % 2)}; };

  struct Change {
    const char* what;
    std::function<void()> act;
    std::string name = "parcela";
  };
  const std::vector<Change> changes = {
      // The document's commands from the menu.
      {"delete the last point", [&] { Command(32853); }},
      {"delete chosen points",
       [&] {
         WhenShown<CDlgDeletePoints>([](CDlgDeletePoints& d) {
           optstest::Control<wxListBox>(d, 1010)->SetSelection(1);
           ClickId(d, IDOK);
         });
         Command(32854);
       }},
      {"insert a point",
       [&] {
         ReceiverFix();
         WhenShown<CDlgPickPoint>([](CDlgPickPoint& d) {
           optstest::Choose(d, 1012, 0);
           ClickId(d, IDOK);
         });
         Command(32860);
       }},
      {"a vertex note",
       [&] {
         WhenShown<CDlgNotas>([](CDlgNotas& d) {
           optstest::Control<wxListBox>(d, 1103)->SetSelection(0);
           optstest::Notify(d.GetDlgItemWindow(1103), wxEVT_LISTBOX, 0);
           Type(d, 1104, "poste");
           ClickId(d, IDOK);
         });
         Command(32835);
       }},
      {"a new object",
       [&] {
         WhenShown<CDlgWptName>([](CDlgWptName& d) {
           Type(d, 1124, "Lote");
           ClickId(d, IDOK);
         });
         Command(32842);
       }},
      {"a new part",
       [&] {
         WhenShown<CDlgWptName>([](CDlgWptName& d) {
           Type(d, 1124, "Era");
           ClickId(d, IDOK);
         });
         Command(32871);
       }},
      {"a name in the object list",
       [&] {
         WhenShown<CDlgObjectList>([](CDlgObjectList& list) {
           ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(list.m_Grid.GetWxWindow()); }));
           GridInput(list.m_Grid).TypeInto(2, 0, "Rio");
           ClickId(list, IDOK);
         });
         Command(32862);
       }},
      {"the parts grid's subtract none",
       [&] {
         WhenShown<CDlgObjectGrid>([](CDlgObjectGrid& d) {
           ClickId(d, 1287);
           ClickId(d, IDOK);
         });
         Command(32872);
       }},
      {"a name in the waypoint table",
       [&] {
         WhenShown<CDlgWaypointTable>(renameInTable);
         Command(32864);
       }},
      {"a waypoint at the receiver", [&] { ReceiverFix(); Command(32863); }},
      {"a captured point", [&] { ReceiverFix(); Command(32801); }},
      {"a circle from the receiver",
       [&] {
         ReceiverFix();
         Command(32882);  // the circle starts at the fix
         Command(32882);  // and is ended before the walker moves
       }},
      {"the wizard's summary",
       [&] {
         Doc().m_wizardMode = 1;  // measuring in the wizard
         WhenShown<CDlgSummary>([](CDlgSummary& d) {
           Type(d, 1279, "Parcela norte");
           ClickId(d, IDOK);
         });
         WhenShown<CDlgWizardEnd>([](CDlgWizardEnd& d) { ClickId(d, 1255); });  // leave
         Command(211);
       }},
      {"an averaged position",
       [&] {
         ReceiverFix();
         WhenShown<CDlgAveraging>([this](CDlgAveraging& d) {
           ReceiverFix(kLon0 + 0.0008, kLat0 + 0.0004);
           ASSERT_TRUE(tvxtest::PumpUntil([&] { return !d.m_fields[5].GetWindowText().empty(); }));
           ClickId(d, 1050);  // stop
           ClickId(d, 1052);  // as a waypoint
           ClickId(d, 1051);  // and as a vertex
           ClickId(d, IDOK);
         });
         Command(32803);
       }},
      // The map's popups, opened by taps.
      {"hide", [&] { platform::PopupMenuScript::Push(32819); TapFeature(1); }},
      {"design",
       [&] {
         WhenShown<CDlgAreaDesign>([](CDlgAreaDesign& d) {
           optstest::Pick(d, 1079);
           ClickId(d, IDOK);
         });
         platform::PopupMenuScript::Push(32818);
         TapFeature(0);
       }},
      {"properties: a name",
       [&] { properties(1, [](CDlgObjectList&, GridInput& grid) { grid.TypeInto(2, 0, "Rio"); }); }},
      {"properties: the kind",
       [&] { properties(1, [](CDlgObjectList&, GridInput& grid) {
               grid.Tap(2, 1);
               grid.Keys({WXK_F2});
               ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.DroppedList() != nullptr; }));
               grid.Keys({WXK_UP, WXK_RETURN});
               ASSERT_TRUE(tvxtest::PumpUntil([&] { return grid.Combo() == nullptr; }));
             }); }},
      {"properties: visible",
       [&] { properties(1, [](CDlgObjectList&, GridInput& grid) { grid.Tap(2, 3, 8); }); }},
      {"properties: locked",
       [&] { properties(1, [](CDlgObjectList&, GridInput& grid) { grid.Tap(2, 4, 8); }); }},
      {"properties: a design",
       [&] {
         properties(0, [this](CDlgObjectList&, GridInput& grid) {
           WhenShown<CDlgAreaDesign>([](CDlgAreaDesign& d) {
             optstest::Pick(d, 1079);
             ClickId(d, IDOK);
           });
           grid.Tap(1, 2);
           grid.Keys({WXK_F2});
         });
       }},
      {"properties: a new object",
       [&] { properties(1, [](CDlgObjectList& list, GridInput&) { ClickId(list, 1071); }); }},
      {"properties: an object deleted",
       [&] {
         properties(1, [](CDlgObjectList& list, GridInput& grid) {
           grid.Tap(2, 0);  // the track's row
           ClickId(list, 1072);
         });
       }},
      {"properties: a document imported",
       [&] {
         properties(1, [&](CDlgObjectList& list, GridInput&) {
           platform::FileDialogScript::Push(other.string());
           ClickId(list, 1073);
         });
       }},
      {"properties: a Shapefile imported",
       [&] {
         properties(1, [&](CDlgObjectList& list, GridInput&) {
           WhenShownPressOk<CDlgCoordSystem>();
           platform::FileDialogScript::Push(shp.string());
           ClickId(list, 1073);
         });
       }},
      {"a waypoint deleted", [&] { platform::PopupMenuScript::Push(32814); TapWaypoint(0); }},
      {"the waypoint popup's table",
       [&] {
         WhenShown<CDlgWaypointTable>(renameInTable);
         platform::PopupMenuScript::Push(32815);
         TapWaypoint(0);
       }},
      {"the waypoint popup's properties",
       [&] {
         WhenShown<CPropertySheet>([](CPropertySheet& sheet) {
           ASSERT_TRUE(sheet.SetActivePage(1));
           Type(*sheet.GetPage(1), 1205, "Pozo");
           optstest::PressSheet(sheet, wxID_OK);
         });
         platform::PopupMenuScript::Push(32851);
         TapWaypoint(0);
       }},
      {"a division",
       [&] {
         Command(32852);
         ASSERT_TRUE(view_->m_splitDialog);
         ClickId(*view_->m_splitDialog, IDOK);
         ASSERT_TRUE(tvxtest::PumpUntil([&] { return !Doc().m_splitInProgress; }));
       }},
      {"a split by a line",
       [&] {
         Command(32885);
         TapAt({kLon0 + 0.00005, kLat0 + 0.00005});
         Command(32884);  // the second end
         TapAt({kLon0 + kDLon - 0.00005, kLat0 + kDLat - 0.00005});
         Command(32885);
       }},
      // Tap modes.
      {"a line by taps", [&] { Command(32878); TapAt(spot(0)); Command(32877); }},
      {"a vertex by a tap", [&] { Command(32877); TapAt(spot(1)); Command(32877); }},
      {"a rectangle by a drag",
       [&] { Command(32880); DragOnMap(spot(2), spot(5)); }},
      {"a circle by a drag",
       [&] { Command(32879); DragOnMap(spot(3), spot(4)); }},
      {"everything moved by a tap",
       [&] { ReceiverFix(); Command(32889); TapAt(spot(4)); Command(32889); }},
      {"a waypoint by a tap", [&] { Command(1158); TapAt(spot(5)); }},
      // A key.
      {"the combined start on Enter",
       [&] {
         TapAt(spot(0));  // the map has the keys
         view_->m_keyActions[8] = 25;
         tvxtest::RealKey(*view_, WXK_RETURN);
         view_->m_keyActions[8] = 0;
       }},
      // Imports into a new document.
      {"a Shapefile opened",
       [&] { WhenShownPressOk<CDlgCoordSystem>(); OpenThroughMenu(shp); }, "lines"},
      {"a log replayed", [&] { OpenThroughMenu(walk); }, "field_100x60"},
  };

  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    // The saved work, as File > Open gives it (the previous change is dropped).
    Doc().SetModifiedFlag(FALSE);
    if (view_->m_tapMode != 0) view_->EndTapMode();
    OpenThroughMenu(dir_ / "parcela.tvx");
    ASSERT_FALSE(Doc().IsModified());
    ASSERT_EQ(Doc().GetTitle(), "parcela");
    MapDrawn();

    change.act();
    ReceiverGone();
    Doc().m_autoCapture = false;
    Doc().m_wizardMode = 0;
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(ExitQuestions(), std::vector<std::string>{"Save changes to " + change.name + "?"});
    ASSERT_NE(template_->GetFrame(), nullptr) << "the program ended without asking";
  }
}

// A Shapefile or a log opened beside the user's document of the same name ("field.tvx") is no
// file of the document's: whichever save comes after it (the exit's, New's, Open's, the
// wizard's start and its save), with a change or without, and after a cancelled import too,
// asks for a name, proposing "field.tvx" in that folder (so the dialog asks before replacing
// it). Cancelled, it writes nothing: the document of that name keeps its bytes.
TEST_F(DocumentWork, AnOpenedShapefileOrLogNeverReplacesTheDocumentOfItsName) {
  const fs::path field = dir_ / "field.tvx";
  std::ofstream(field, std::ios::binary) << WriteTvxFile(Parcela());
  const std::string before = ReadBytes(field);
  WriteLineShapefile((dir_ / "field.shp").string());
  const fs::path walk = fs::path(TVX_BINARY_DIR) / "testdata/walks/field_100x60.nmea";
  ASSERT_TRUE(fs::exists(walk)) << "the walks are written by the tvx_walks target";
  fs::copy_file(walk, dir_ / "field.nmea");
  Start();

  struct Opened {
    const char* what;
    std::function<void()> open;
  };
  const std::vector<Opened> opens = {
      {"a Shapefile",
       [&] { WhenShownPressOk<CDlgCoordSystem>(); OpenThroughMenu(dir_ / "field.shp"); }},
      {"a Shapefile whose import was cancelled",
       [&] {
         WhenShown<CDlgCoordSystem>([](CDlgCoordSystem& d) { ClickId(d, IDCANCEL); });
         OpenThroughMenu(dir_ / "field.shp");
       }},
      {"a log", [&] { OpenThroughMenu(dir_ / "field.nmea"); }},
  };
  struct Save {
    const char* what;
    bool question;  // "Save changes to field?" comes first (answered Yes)
    std::function<void()> run;
  };
  const std::vector<Save> saves = {
      {"the exit's", true, [&] { frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr); }},
      {"New's", true, [&] { Command(ID_FILE_NEW); }},
      {"Open's", true, [&] { Command(ID_FILE_OPEN); }},
      {"the wizard's start", true,
       [&] {
         // The wizard would start only after a save: closed at once if it comes.
         WhenShown<CWizard>([](CWizard& w) { optstest::PressSheet(w, wxID_CANCEL); });
         Command(212);
       }},
      {"the wizard's save and new document", false,
       [&] {
         Doc().m_wizardMode = 1;  // measuring in the wizard
         WhenShownPressOk<CDlgSummary>();
         WhenShown<CDlgWizardEnd>([](CDlgWizardEnd& d) { ClickId(d, 1254); });
         // The wizard would start again only after a save: closed at once if it comes.
         WhenShown<CWizard>([](CWizard& w) { optstest::PressSheet(w, wxID_CANCEL); });
         Command(211);
       }},
  };

  for (const Opened& opened : opens) {
    for (const bool changed : {false, true}) {
      for (const Save& save : saves) {
        SCOPED_TRACE(std::string(opened.what) + (changed ? ", changed, " : ", unchanged, ") +
                     save.what);
        Doc().SetModifiedFlag(FALSE);  // the previous row's work is dropped
        platform::FileDialogScript::Clear();
        platform::MessageBoxScript::Clear();
        opened.open();
        ASSERT_EQ(Doc().GetTitle(), "field");
        if (changed) {
          WhenShown<CDlgWptName>([](CDlgWptName& d) {
            Type(d, 1124, "Lote");
            ClickId(d, IDOK);
          });
          Command(32842);
        }
        ASSERT_TRUE(Doc().IsModified());
        const std::size_t features = Doc().m_features.size();
        platform::FileDialogScript::TakeShown();
        platform::MessageBoxScript::TakeShown();
        if (save.question) platform::MessageBoxScript::Push(IDYES);
        platform::FileDialogScript::Push("");  // the save's dialog, cancelled

        save.run();
        // (The exit's question comes once the loop runs.)
        std::vector<platform::ShownFileDialog> dialogs;
        tvxtest::PumpUntil([&] {
          for (platform::ShownFileDialog& d : platform::FileDialogScript::TakeShown())
            dialogs.push_back(std::move(d));
          return !dialogs.empty() || template_->GetFrame() == nullptr;
        });
        EXPECT_EQ(ReadBytes(field), before);
        std::vector<std::string> questions;
        for (const platform::ShownMessageBox& box : platform::MessageBoxScript::TakeShown())
          questions.push_back(box.text);
        EXPECT_EQ(questions, save.question ? std::vector<std::string>{"Save changes to field?"}
                                           : std::vector<std::string>{});
        EXPECT_EQ(dialogs.size(), 1u);
        if (!dialogs.empty()) {
          EXPECT_FALSE(dialogs[0].request.open) << "a save dialog";
          EXPECT_EQ(dialogs[0].request.initialName, field.string());
        }
        if (template_->GetFrame() == nullptr) {
          ADD_FAILURE() << "the program ended";
          std::ofstream(field, std::ios::binary) << before;
          Start();
          continue;
        }
        // Nothing saved: the work stays as it was, and so does the command's next step.
        EXPECT_EQ(Doc().m_features.size(), features);
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Doc().GetTitle(), "field");
        Doc().m_wizardMode = 0;
      }
    }
  }

  // Answered with another name, the save writes there and the document is that file's.
  platform::MessageBoxScript::Clear();
  platform::FileDialogScript::Clear();
  Doc().SetModifiedFlag(FALSE);
  WhenShownPressOk<CDlgCoordSystem>();
  OpenThroughMenu(dir_ / "field.shp");
  platform::FileDialogScript::Push((dir_ / "kept.tvx").string());
  platform::MessageBoxScript::Push(IDYES);
  Command(ID_FILE_NEW);
  EXPECT_EQ(ReadBytes(field), before);
  DocumentContent kept;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(ReadBytes(dir_ / "kept.tvx"), kept, error));
  EXPECT_EQ(kept.features.size(), 1u);
  EXPECT_EQ(kept.features.at(0).VertexCount(), 2u);
  EXPECT_EQ(Doc().GetTitle(), "Untitled") << "New went on once the work was saved";
}

// The exit's question and the save dialog on the screen, answered with keys as the user does
// after opening "field.shp" beside "field.tvx": Enter takes the question's Yes; the save
// dialog comes, in the Shapefile's folder with "field.tvx" proposed; Escape leaves it. The
// document of that name keeps its bytes and the program stays with the work.
TEST_F(DocumentWork, OnTheScreenTheExitsSaveOfAnOpenedShapefileAsksForAName) {
  const fs::path field = dir_ / "field.tvx";
  std::ofstream(field, std::ios::binary) << WriteTvxFile(Parcela());
  const std::string before = ReadBytes(field);
  WriteLineShapefile((dir_ / "field.shp").string());
  Start();
  WhenShownPressOk<CDlgCoordSystem>();
  OpenThroughMenu(dir_ / "field.shp");
  ASSERT_EQ(Doc().GetTitle(), "field");
  // From here no scripted answer: the boxes and dialogs are the real ones.
  platform::MessageBoxScript::Clear();
  platform::FileDialogScript::Clear();

  tvxtest::NativeDialogs dialogs;
  std::string proposedFolder, proposedName;
  const std::vector<tvxtest::UserStep> steps = {
      {[&] { return tvxtest::NativeDialogs::Shown(dialogs.box); },
       [] { tvxtest::PressKey(WXK_RETURN); }},  // Yes, the question's default
      // The dialog takes up its folder a moment after it shows.
      {[&] {
         if (!tvxtest::NativeDialogs::Shown(dialogs.file)) return false;
         proposedFolder = dialogs.Folder();
         proposedName = dialogs.TypedName();
         return !proposedFolder.empty();
       },
       [] { tvxtest::PressKey(WXK_ESCAPE); }},
  };
  bool ended = false;
  tvxtest::UserSteps user(steps, [&] {
    if (dialogs.box) dialogs.box->EndModal(wxID_CANCEL);
    if (dialogs.file) dialogs.file->EndModal(wxID_CANCEL);
  });
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  // (The question comes once the loop runs; the steps run inside the dialogs' own loops.)
  for (int i = 0; i < 20 && !ended; ++i) {
    ended = tvxtest::PumpUntil([&] {
      return (user.AllTaken() && !dialogs.file && !dialogs.box) || !template_->GetFrame();
    });
  }
  EXPECT_TRUE(user.AllTaken()) << "steps taken: " << user.Taken();
  EXPECT_EQ(dialogs.boxTexts, std::vector<std::string>{"Save changes to field?"});
  EXPECT_EQ(fs::path(proposedFolder), dir_);
  EXPECT_EQ(proposedName, "field.tvx");
  EXPECT_EQ(ReadBytes(field), before);
  ASSERT_NE(template_->GetFrame(), nullptr) << "the program ended without its work saved";
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Doc().m_features.size(), 1u);
}

// A document saved from a Shapefile of a log ("track.nmea.shp") is "track.nmea.tvx": a
// document file, which every open reads as one with its objects (File > Open, the object
// list's import, the command line), never replays as a log.
TEST_F(DocumentWork, ADocumentSavedFromALogsShapefileOpensAgainAsADocument) {
  const fs::path shp = dir_ / "track.nmea.shp";
  WriteLineShapefile(shp.string());
  Start();
  WhenShownPressOk<CDlgCoordSystem>();
  OpenThroughMenu(shp);
  ASSERT_EQ(Doc().GetTitle(), "track.nmea");
  WhenShown<CDlgWptName>([](CDlgWptName& d) {
    Type(d, 1124, "Lote");
    ClickId(d, IDOK);
  });
  Command(32842);
  ASSERT_EQ(Doc().m_features.size(), 2u);
  EXPECT_FALSE(Enabled(ID_FILE_SAVE)) << "no file of its own yet";

  // Save As proposes the name beside the Shapefile; taken as proposed.
  const fs::path saved = dir_ / "track.nmea.tvx";
  platform::FileDialogScript::Clear();
  platform::FileDialogScript::Push(saved.string());
  Command(ID_FILE_SAVE_AS);
  const auto asked = platform::FileDialogScript::TakeShown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].request.initialName, saved.string());
  ASSERT_TRUE(fs::exists(saved));
  EXPECT_TRUE(Enabled(ID_FILE_SAVE));

  auto holdsTheWork = [&](const char* how) {
    SCOPED_TRACE(how);
    ASSERT_EQ(Doc().m_features.size(), 2u);
    EXPECT_EQ(Doc().m_features[0].VertexCount(), 2u);
    EXPECT_EQ(Doc().m_features[1].name, "Lote");
  };
  Command(ID_FILE_NEW);
  OpenThroughMenu(saved);
  holdsTheWork("File > Open");
  EXPECT_EQ(Doc().GetTitle(), "track.nmea");
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().SavePath(), saved.string());

  Command(ID_FILE_NEW);
  WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
    platform::FileDialogScript::Push(saved.string());
    ClickId(list, 1073);  // Import
    ClickId(list, IDOK);
  });
  Command(32862);
  holdsTheWork("the object list's import");

  Doc().SetModifiedFlag(FALSE);
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
  Start(saved.string());
  holdsTheWork("the command line");
  EXPECT_EQ(Doc().GetTitle(), "track.nmea");
}

// The object list's import reads any name but a Shapefile's as a document file: a document
// under another extension comes in, a file that is none (a text, a log) is said to be unknown
// and adds nothing; a log is never replayed into the work.
TEST_F(DocumentWork, TheObjectListsImportSaysWhenAFileIsNoDocument) {
  fs::copy_file(dir_ / "parcela.tvx", dir_ / "parcela.tvx.bak");
  std::ofstream(dir_ / "notes.txt") << "the user's notes\n";
  const fs::path walk = fs::path(TVX_BINARY_DIR) / "testdata/walks/field_100x60.nmea";
  ASSERT_TRUE(fs::exists(walk)) << "the walks are written by the tvx_walks target";
  Start((dir_ / "parcela.tvx").string());
  struct Case {
    fs::path file;
    std::size_t features;  // after the import
    std::vector<std::string> said;
  };
  for (const Case& c : {Case{dir_ / "notes.txt", 3, {"Error: Unknown file"}},
                        Case{walk, 3, {"Error: Unknown file"}},
                        Case{dir_ / "parcela.tvx.bak", 6, {}}}) {
    SCOPED_TRACE(c.file.string());
    platform::MessageBoxScript::Clear();
    if (!c.said.empty()) platform::MessageBoxScript::Push(IDOK);
    WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
      platform::FileDialogScript::Push(c.file.string());
      ClickId(list, 1073);  // Import
      ClickId(list, IDOK);
    });
    Command(32862);
    std::vector<std::string> said;
    for (const platform::ShownMessageBox& box : platform::MessageBoxScript::TakeShown())
      said.push_back(box.text);
    EXPECT_EQ(said, c.said);
    EXPECT_EQ(Doc().m_features.size(), c.features);
    EXPECT_EQ(Doc().m_features.at(0).VertexCount(), 4u) << "nothing captured into the field";
  }
  EXPECT_EQ(Doc().GetTitle(), "parcela");
}

// A document opened through a symbolic link (to the card it lives on) is saved into the file
// the link leads to, and the link stays; the file keeps its permissions (a private file stays
// private), through a link or not, by Save and by the exit's save.
TEST_F(DocumentWork, ASaveWritesTheFileBehindALinkAndKeepsItsPermissions) {
  struct Case {
    const char* what;
    const char* opened;  // relative to the sandbox
    const char* file;    // the file that holds the work
    fs::perms mode;
  };
  constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
  constexpr fs::perms kShared = kPrivate | fs::perms::group_read;
  // "campo.tvx" leads to "card/parcela.tvx", "lote.tvx" to "campo.tvx".
  for (const Case& c : {Case{"through a link", "campo.tvx", "card/parcela.tvx", kPrivate},
                        Case{"through a link to a link", "lote.tvx", "card/parcela.tvx", kPrivate},
                        Case{"a private file", "card/parcela.tvx", "card/parcela.tvx", kPrivate},
                        Case{"a file the group reads", "card/parcela.tvx", "card/parcela.tvx", kShared}}) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir_ / "card");
    fs::remove(dir_ / "campo.tvx");
    fs::remove(dir_ / "lote.tvx");
    fs::create_directories(dir_ / "card");
    const fs::path file = dir_ / c.file;
    std::ofstream(file, std::ios::binary) << WriteTvxFile(Parcela());
    fs::permissions(file, c.mode);
    fs::create_symlink("card/parcela.tvx", dir_ / "campo.tvx");
    fs::create_symlink("campo.tvx", dir_ / "lote.tvx");
    const fs::path opened = dir_ / c.opened;

    Start(opened.string());
    Command(32853);  // the field's last point deleted
    Command(ID_FILE_SAVE);
    DocumentContent saved;
    TvxFileError error;
    ASSERT_TRUE(ReadTvxFile(ReadBytes(file), saved, error));
    EXPECT_EQ(saved.features.at(0).VertexCount(), 3u);

    Command(32853);  // and one more, saved on the way out
    platform::MessageBoxScript::Push(IDYES);
    frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
    platform::MessageBoxScript::Clear();
    ASSERT_TRUE(ReadTvxFile(ReadBytes(file), saved, error));
    EXPECT_EQ(saved.features.at(0).VertexCount(), 2u);

    EXPECT_TRUE(fs::is_symlink(dir_ / "campo.tvx"));
    EXPECT_EQ(fs::read_symlink(dir_ / "campo.tvx"), "card/parcela.tvx");
    EXPECT_TRUE(fs::is_symlink(dir_ / "lote.tvx"));
    EXPECT_EQ(fs::read_symlink(dir_ / "lote.tvx"), "campo.tvx");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, c.mode);
    // Nothing else was written beside the links or the file.
    std::vector<std::string> names;
    for (const fs::path& folder : {dir_, dir_ / "card"}) {
      for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(dir_).string();
        if (name.find(".tvx") != std::string::npos) names.push_back(name);
      }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"campo.tvx", "card/parcela.tvx", "lote.tvx",
                                               "parcela.tvx"}));
  }
}

// A new document saved under a name is asked about by that name from then on.
TEST_F(DocumentWork, AfterASaveTheQuestionNamesTheDocument) {
  Start();
  WhenShown<CDlgWptName>([](CDlgWptName& d) { ClickId(d, IDOK); });
  Command(32842);  // a new object
  EXPECT_EQ(ExitQuestions(), std::vector<std::string>{"Save changes to Untitled?"});
  platform::FileDialogScript::Push((dir_ / "parcela").string(), platform::ReplaceAnswer::Yes);
  Command(ID_FILE_SAVE_AS);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().GetTitle(), "parcela");
  WhenShown<CDlgWptName>([](CDlgWptName& d) { ClickId(d, IDOK); });
  Command(32842);
  EXPECT_EQ(ExitQuestions(), std::vector<std::string>{"Save changes to parcela?"});
  Command(ID_FILE_SAVE);
  WhenShown<CDlgWptName>([](CDlgWptName& d) { ClickId(d, IDOK); });
  Command(32842);
  EXPECT_EQ(ExitQuestions(), std::vector<std::string>{"Save changes to parcela?"});
}

// The toolkit's save dialog on the screen, answered with keys: a name typed without its
// extension where the file it is completed to exists is asked about by that file's name
// before the dialog closes; No keeps the dialog (then left with Escape) and the file as it
// was; Yes replaces it. In File > Save As (keep.tvx) and in the KML export (keep.kml).
TEST_F(DocumentWork, ANameTypedWithoutItsExtensionIsAskedAboutBeforeItsFileIsReplaced) {
  Start();
  // The dialog opens in the working folder.
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  struct Restore {
    fs::path folder;
    ~Restore() { fs::current_path(folder); }
  } restore{before};
  const struct {
    UINT command;
    const char* file;
  } cases[] = {{ID_FILE_SAVE_AS, "keep.tvx"}, {32838, "keep.kml"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string kept = std::string("the user's own ") + c.file + "\n";
    std::ofstream(dir_ / c.file, std::ios::binary) << kept;
    for (bool replace : {false, true}) {
      tvxtest::NativeDialogs dialogs;
      const std::vector<tvxtest::UserStep> steps = {
          {[&] { return tvxtest::NativeDialogs::Shown(dialogs.file); },
           [] {
             tvxtest::PressKey('A', wxMOD_CONTROL);  // the proposed name, all of it
             tvxtest::TypeText("keep");
           }},
          {[&] { return dialogs.NameTaken("keep"); },
           [] { tvxtest::PressKey(WXK_RETURN); }},
          {[&] { return tvxtest::NativeDialogs::Shown(dialogs.box); },
           [replace] { tvxtest::PressKey(replace ? 'Y' : 'N', wxMOD_ALT); }},
          // After No the dialog is still there, for another name: the user leaves it.
          {[&] {
             return replace || (!dialogs.box && tvxtest::NativeDialogs::Shown(dialogs.file));
           },
           [replace] {
             if (!replace) tvxtest::PressKey(WXK_ESCAPE);
           }},
      };
      tvxtest::UserSteps user(steps, [&] {
        if (dialogs.box) dialogs.box->EndModal(wxID_CANCEL);
        if (dialogs.file) dialogs.file->EndModal(wxID_CANCEL);
      });
      Command(c.command);
      if (!replace) {
        EXPECT_EQ(ReadBytes(dir_ / c.file), kept);
      } else {
        EXPECT_NE(ReadBytes(dir_ / c.file), kept);
      }
      EXPECT_FALSE(fs::exists(dir_ / "keep")) << "nothing is written under the name as typed";
      EXPECT_TRUE(user.AllTaken()) << "steps taken: " << user.Taken();
      EXPECT_EQ(dialogs.boxTexts,
                std::vector<std::string>{std::string("A file named \"") + c.file +
                                         "\" already exists in \"" + dir_.string() +
                                         "\".\nDo you want to replace it?"});
    }
  }
  // What replaced them: this document, and its export.
  DocumentContent saved;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(ReadBytes(dir_ / "keep.tvx"), saved, error)) << error.text;
  EXPECT_EQ(saved.features.size(), Doc().m_features.size());
  EXPECT_NE(ReadBytes(dir_ / "keep.kml").find("<name>Tolvanix PDA</name>"), std::string::npos);
}

// File > New after an opened document: the new one has neither its name nor its folder, so
// the exit's save asks where to write instead of putting "Untitled" beside the old file.
TEST_F(DocumentWork, ANewDocumentKeepsNoFolderOfTheOneBefore) {
  Start((dir_ / "parcela.tvx").string());
  Command(ID_FILE_NEW);
  EXPECT_EQ(Doc().GetTitle(), "Untitled");
  EXPECT_TRUE(Doc().m_docFolder.empty());
  WhenShown<CDlgWptName>([](CDlgWptName& d) { ClickId(d, IDOK); });
  Command(32842);
  platform::MessageBoxScript::Push(IDYES);
  platform::FileDialogScript::Push((dir_ / "nuevo.tvx").string());
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
  EXPECT_EQ(platform::FileDialogScript::TakeShown().size(), 1u);
  EXPECT_TRUE(fs::exists(dir_ / "nuevo.tvx"));
  EXPECT_FALSE(fs::exists(dir_ / "Untitled.tvx"));
}

// A Shapefile of points is refused only after the open has given up the document for a new
// one: that new document is no longer the one of the file before, so it does not carry its
// name, and saving it asks where instead of writing over that file.
TEST_F(DocumentWork, AFileRefusedAfterTheDocumentWasGivenUpLeavesItWithoutAName) {
  const std::string parcela = ReadBytes(dir_ / "parcela.tvx");
  const fs::path points = dir_ / "pozos.shp";
  {
    SHPHandle shp = SHPCreate(points.string().c_str(), SHPT_POINT);
    ASSERT_NE(shp, nullptr);
    const double x = kLon0, y = kLat0;
    SHPObject* point = SHPCreateSimpleObject(SHPT_POINT, 1, &x, &y, nullptr);
    SHPWriteObject(shp, -1, point);
    SHPDestroyObject(point);
    SHPClose(shp);
  }
  Start((dir_ / "parcela.tvx").string());
  WhenShownPressOk<CDlgCoordSystem>();
  platform::MessageBoxScript::Push(IDOK);  // only lines and polygons
  OpenThroughMenu(points);
  ASSERT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
  ASSERT_EQ(platform::FileDialogScript::TakeShown().size(), 1u);
  EXPECT_EQ(Doc().GetTitle(), "Untitled");
  EXPECT_TRUE(Doc().m_docFolder.empty());

  WhenShown<CDlgWptName>([](CDlgWptName& d) { ClickId(d, IDOK); });
  Command(32842);
  platform::MessageBoxScript::Push(IDYES);
  platform::FileDialogScript::Push("");  // the save's file dialog, cancelled
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  std::size_t asked = 0;
  ASSERT_TRUE(tvxtest::PumpUntil([&] {
    asked += platform::FileDialogScript::TakeShown().size();
    return asked == 1;
  }));
  EXPECT_EQ(ReadBytes(dir_ / "parcela.tvx"), parcela);
  EXPECT_NE(template_->GetFrame(), nullptr) << "nothing saved: the program stays";
}

// While an area is divided, a save writes the document as it was before the division: none
// of its parts, every feature as visible as it was. Cancelling the division afterwards leaves
// the document as saved; its next step of the wizard is refused meanwhile.
TEST_F(DocumentWork, ASaveDuringADivisionWritesTheDocumentWithoutIt) {
  const std::string parcela = ReadBytes(dir_ / "parcela.tvx");
  Start((dir_ / "parcela.tvx").string());
  MapDrawn();
  // The track is hidden before the division: it stays hidden in the file.
  platform::PopupMenuScript::Push(32819);
  TapFeature(1);
  ASSERT_EQ(Doc().m_features.at(1).visible, 0);
  Command(ID_FILE_SAVE);
  const std::string hidden = ReadBytes(dir_ / "parcela.tvx");
  ASSERT_NE(hidden, parcela);

  Command(32852);
  ASSERT_TRUE(Doc().m_splitInProgress);
  ASSERT_EQ(Doc().m_features.size(), 5u);
  // The Save, Save As and the exit's save.
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadBytes(dir_ / "parcela.tvx"), hidden);
  platform::FileDialogScript::Push((dir_ / "copia.tvx").string());
  Command(ID_FILE_SAVE_AS);
  EXPECT_EQ(ReadBytes(dir_ / "copia.tvx"), hidden);
  EXPECT_EQ(Doc().GetTitle(), "copia");
  // The wizard's next step would save and start a new document: refused, as New and Open.
  for (UINT id : {211u, 212u, static_cast<UINT>(ID_FILE_OPEN), static_cast<UINT>(ID_FILE_NEW)})
    EXPECT_FALSE(Enabled(id)) << id;

  // Nothing but the division differs from the file: cancelled, the document is as saved.
  ClickId(*view_->m_splitDialog, IDCANCEL);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !Doc().m_splitInProgress; }));
  EXPECT_FALSE(Doc().IsModified());

  // Kept, the parts are work to save; the exit saves the document with them.
  Command(32852);
  ASSERT_TRUE(Doc().m_splitInProgress);
  platform::MessageBoxScript::Push(IDYES);
  frame_->OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; }));
  EXPECT_EQ(ReadBytes(dir_ / "copia.tvx"), hidden) << "the division was not ended";
}

// Metres east and north of a fix (longitude, latitude) from another, near 41 N.
constexpr double kMetresPerDegreeLon = 111320.0 * 0.754709580;
constexpr double kMetresPerDegreeLat = 111050.0;
std::pair<double, double> MovedBy(std::pair<double, double> at, double east, double north) {
  return {at.first + east / kMetresPerDegreeLon, at.second + north / kMetresPerDegreeLat};
}
double MetresBetween(double lon1, double lat1, double lon2, double lat2) {
  return std::hypot((lon1 - lon2) * kMetresPerDegreeLon, (lat1 - lat2) * kMetresPerDegreeLat);
}

// Averaging while the current feature is locked (a circle just taken from the receiver): a
// vertex is refused with the lock's message and the dialog stays on its samples, which the
// user then stores as a waypoint or drops with Cancel. The next averaging, 100 m away, is of
// its own fixes alone: its waypoint is where the user stood, not between the two places.
TEST_F(DocumentWork, AnAveragingStoresItsOwnFixesWhateverAStoreBeforeRefused) {
  const std::pair<double, double> first{kLon0 + 0.0007, kLat0 + 0.0004};
  const std::pair<double, double> second = MovedBy(first, 100.0, 0.0);
  struct Case {
    const char* what;
    std::vector<int> afterRefusal;  // the buttons the user taps while the dialog stays
    bool storedAtFirst;             // a waypoint stands at the first place
  };
  const Case cases[] = {
      {"dropped with Cancel", {IDCANCEL}, false},
      {"stored as a waypoint instead", {1052, IDOK}, true},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Doc().SetModifiedFlag(FALSE);  // the work of the case before is dropped
    OpenThroughMenu(dir_ / "parcela.tvx");
    ReceiverFix(first.first, first.second);
    Command(32882);  // a circle from the receiver: locked, and the current feature
    ReceiverFix(first.first, first.second + 5.0 / kMetresPerDegreeLat);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().CurrentFeature()->VertexCount() == 3; }));
    Command(32882);
    ASSERT_EQ(Doc().CurrentFeature()->editable, 0);
    const std::size_t waypoints = Doc().m_waypoints.size();

    // Three fixes a metre apart round a place, sampled; then the buttons as the user taps
    // them (stop, then what to store, then OK). Returns the texts of the boxes shown.
    auto average = [&](std::pair<double, double> place, std::vector<int> store,
                       std::vector<int> afterRefusal) {
      platform::MessageBoxScript::Clear();
      platform::MessageBoxScript::Push(IDOK);
      bool stayed = false;
      WhenShown<CDlgAveraging>([&, place, store, afterRefusal](CDlgAveraging& d) {
        for (int i = -1; i <= 1; ++i) {
          const std::size_t before = Doc().m_samples.size();
          const auto fix = MovedBy(place, i, 0.0);
          ReceiverFix(fix.first, fix.second);
          ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().m_samples.size() > before; }));
        }
        for (int button : store) {
          ASSERT_TRUE(d.GetDlgItemWindow(button)->IsEnabled()) << button;
          tvxtest::RealClick(*d.GetDlgItemWindow(button));
        }
        auto* window = dynamic_cast<wxDialog*>(d.GetWxWindow());
        stayed = window && window->IsModal() && window->IsShown();
        if (!stayed) return;
        EXPECT_FALSE(d.GetDlgItemWindow(IDOK)->IsEnabled()) << "nothing chosen is left";
        EXPECT_FALSE(d.GetDlgItemWindow(1051)->IsEnabled()) << "the vertex is not offered again";
        for (int button : afterRefusal) {
          ASSERT_TRUE(d.GetDlgItemWindow(button)->IsEnabled()) << button;
          tvxtest::RealClick(*d.GetDlgItemWindow(button));
        }
      });
      Command(32803);
      std::vector<std::string> texts;
      for (const platform::ShownMessageBox& box : platform::MessageBoxScript::TakeShown())
        texts.push_back(box.text);
      platform::MessageBoxScript::Clear();
      if (!afterRefusal.empty()) {
        EXPECT_TRUE(stayed) << "the dialog stays on the samples";
      }
      return texts;
    };

    // A vertex of the locked circle is refused, with the lock's message.
    const std::vector<std::string> told = average(first, {1050, 1051, IDOK}, c.afterRefusal);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("locked"), std::string::npos) << told[0];
    EXPECT_EQ(Doc().CurrentFeature()->VertexCount(), 3u) << "the circle is as it was";
    EXPECT_TRUE(Doc().m_samples.empty()) << "the samples went with their dialog";
    ASSERT_EQ(Doc().m_waypoints.size(), waypoints + (c.storedAtFirst ? 1 : 0));
    if (c.storedAtFirst) {
      const WaypointRecord& w = Doc().m_waypoints.back();
      EXPECT_LT(MetresBetween(w.x, w.y, first.first, first.second), 0.1);
    }

    // 100 m on, a waypoint alone: stored although the circle is locked, where the user stands.
    EXPECT_TRUE(average(second, {1050, 1052, IDOK}, {}).empty());
    ASSERT_EQ(Doc().m_waypoints.size(), waypoints + (c.storedAtFirst ? 2 : 1));
    const WaypointRecord& w = Doc().m_waypoints.back();
    EXPECT_LT(MetresBetween(w.x, w.y, second.first, second.second), 0.1)
        << MetresBetween(w.x, w.y, second.first, second.second) << " m from where the user stood";
    EXPECT_TRUE(Doc().m_samples.empty());
    ReceiverGone();
  }
}

// Whether the list of a choice control is open (its toolkit widget's "popup-shown"); the
// call is looked up at run time, as the real-input helpers look up the toolkit's.
bool ChoiceListOpen(wxChoice& choice) {
  using GetProperty = void (*)(void*, const char*, ...);
  static auto get = reinterpret_cast<GetProperty>(dlsym(RTLD_DEFAULT, "g_object_get"));
  int shown = 0;
  if (get && choice.GetHandle()) get(choice.GetHandle(), "popup-shown", &shown, nullptr);
  return shown != 0;
}

// One item of a choice control chosen as the user does: a tap on the control opens its list,
// the arrow keys go to the item and Enter takes it. The list holds the pointer and the keys
// while it is open: the program's windows hear none of them, so each step waits for the list
// itself.
void ChooseWithKeys(CWnd& dialog, int id, int item) {
  auto* choice = dynamic_cast<wxChoice*>(dialog.GetDlgItemWindow(id));
  ASSERT_NE(choice, nullptr);
  const int from = choice->GetSelection();
  const wxRect r = choice->GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  tvxtest::InputHandled();
  input.MouseClick();
  tvxtest::InputHandled();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return ChoiceListOpen(*choice); })) << "the list opens";
  for (int i = from; i != item; i += item > from ? 1 : -1) {
    input.Char(item > from ? WXK_DOWN : WXK_UP);
    tvxtest::InputHandled();
  }
  input.Char(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !ChoiceListOpen(*choice); })) << "the list closes";
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return choice->GetSelection() == item; }))
      << "chose " << choice->GetSelection() << " for " << item;
}

// One item of a choice control stepped to with the arrow keys while the control has the focus
// (a tap opens its list, Escape closes it and leaves the focus there): as ChooseWithKeys, for
// a control so near the top of the screen that its open list, laid out with the chosen item
// over the control, would not fit above it.
void StepWithArrowKeys(CWnd& dialog, int id, int item) {
  auto* choice = dynamic_cast<wxChoice*>(dialog.GetDlgItemWindow(id));
  ASSERT_NE(choice, nullptr);
  const int from = choice->GetSelection();
  const wxRect r = choice->GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  tvxtest::InputHandled();
  input.MouseClick();
  tvxtest::InputHandled();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return ChoiceListOpen(*choice); })) << "the list opens";
  input.Char(WXK_ESCAPE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !ChoiceListOpen(*choice); })) << "the list closes";
  for (int i = from; i != item; i += item > from ? 1 : -1) {
    input.Char(item > from ? WXK_DOWN : WXK_UP);
    tvxtest::InputHandled();
  }
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return choice->GetSelection() == item; }))
      << "chose " << choice->GetSelection() << " for " << item;
}

// A corner of the field chosen as the target in the navigation dialog (its object and point
// lists worked with taps and keys, then OK): the compass leads there. Points deleted and
// inserted before it through the commands leave the compass on that same corner, under the
// corner's present number; the corner itself deleted closes the compass.
TEST_F(DocumentWork, AVertexTargetStaysItsCornerOrTheCompassCloses) {
  Store("NavStyle", 0);  // the compass
  Store("NavSound", 0);
  Start((dir_ / "parcela.tvx").string());
  MapDrawn();
  const GeoPoint corner{kLon0 + kDLon, kLat0 + kDLat};  // the field's third vertex, north-east

  WhenShown<CDlgNavigateDestination>([](CDlgNavigateDestination& d) {
    ChooseWithKeys(d, 1263, 1);  // the track: its two points are offered
    ASSERT_EQ(optstest::Control<wxChoice>(d, 1264)->GetCount(), 2u);
    ChooseWithKeys(d, 1263, 0);  // the field
    ASSERT_EQ(optstest::Control<wxChoice>(d, 1264)->GetCount(), 4u);
    ChooseWithKeys(d, 1264, 2);  // its third point
    tvxtest::RealClick(*d.GetDlgItemWindow(IDOK));
  });
  Command(32875);
  ASSERT_TRUE(view_->m_navWnd) << "the compass is open";
  EXPECT_EQ(view_->m_navWnd->GetWindowText(), "Field Point 3");
  auto leadsToTheCorner = [&](const std::string& title) {
    ASSERT_TRUE(view_->m_navWnd) << "the compass is open";
    EXPECT_EQ(view_->m_navWnd->GetWindowText(), title);
    EXPECT_EQ(view_->m_navTarget.lon, corner.x);
    EXPECT_EQ(view_->m_navTarget.lat, corner.y);
    // The reading of the next fix, 100 m south of the corner: 100 m to the north.
    const auto fix = MovedBy({corner.x, corner.y}, 0.0, -100.0);
    ReceiverFix(fix.first, fix.second);
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return view_->m_navWnd && std::fabs(view_->m_navWnd->m_distance - 100.0) < 0.5;
    })) << view_->m_navWnd->m_distance;
    EXPECT_NEAR(view_->m_navWnd->m_bearing, 0.0, 1.0);
    ReceiverGone();
  };
  leadsToTheCorner("Field Point 3");

  // The first point deleted: the corner is the second point now.
  auto deletePoint = [&](int index) {
    WhenShown<CDlgDeletePoints>([index](CDlgDeletePoints& d) {
      optstest::Control<wxListBox>(d, 1010)->SetSelection(index);
      ClickId(d, IDOK);
    });
    Command(32854);
  };
  deletePoint(0);
  ASSERT_EQ(Doc().m_features[0].VertexCount(), 3u);
  leadsToTheCorner("Field Point 2");

  // A point inserted before the first one, at the receiver's place: the corner is the third.
  const auto inserted = MovedBy({kLon0, kLat0}, -20.0, -20.0);
  ReceiverFix(inserted.first, inserted.second);
  WhenShown<CDlgPickPoint>([](CDlgPickPoint& d) {
    optstest::Choose(d, 1012, 0);
    ClickId(d, IDOK);
  });
  Command(32860);
  ReceiverGone();
  ASSERT_EQ(Doc().m_features[0].VertexCount(), 4u);
  leadsToTheCorner("Field Point 3");

  // The corner itself deleted: navigation ends and the compass closes; no other point is
  // shown under its name.
  deletePoint(2);
  ASSERT_EQ(Doc().m_features[0].VertexCount(), 3u);
  EXPECT_FALSE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 0);
}

// A field of 220 points, measured when opened, takes one more point by automatic capture: as a
// field past 200 points it is not measured again until asked, and its texts mark its area as
// out of date (" *"). Another feature measured meanwhile (the track, a point captured into it) leaves that
// mark where it belongs: on the field's area in the object list's details and in the area
// panel once the field is current again; a tap on the panel measures the field.
TEST_F(DocumentWork, TheOutOfDateMarkStaysWithTheFieldWhenAnotherFeatureIsMeasured) {
  DocumentContent work = Parcela();
  FeatureRecord& field = work.features[0];
  field.FreeVertices();
  const std::pair<double, double> centre{kLon0 + 0.0007, kLat0 + 0.0005};
  for (int i = 0; i < 220; ++i) {
    const double a = 2.0 * 3.14159265358979 * i / 220;
    const auto p = MovedBy(centre, 50.0 * std::cos(a), 50.0 * std::sin(a));
    field.AddVertex({p.first, p.second}, {p.first, p.second}, 10000);
  }
  std::ofstream(dir_ / "grande.tvx", std::ios::binary) << WriteTvxFile(work);
  Start((dir_ / "grande.tvx").string());
  ASSERT_EQ(Doc().m_current, 0);
  MapDrawn();
  const double measured = Doc().m_features[0].area;
  ASSERT_NEAR(measured, 3.14159 * 50.0 * 50.0, 10.0);
  auto areaPanel = [&] { return view_->m_areaPanel->GetWindowText(); };
  auto marked = [](const std::string& text) {
    return text.size() > 2 && text.compare(text.size() - 2, 2, " *") == 0;
  };
  EXPECT_FALSE(marked(areaPanel())) << areaPanel();

  // Walking 40 m out of the ring with automatic capture on: the field has 221 points and its
  // old area, marked.
  ReceiverFix(centre.first, centre.second);
  Command(32802);
  ASSERT_TRUE(Doc().m_autoCapture);
  const auto outside = MovedBy(centre, 90.0, 0.0);
  ReceiverFix(outside.first, outside.second);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().m_features[0].VertexCount() > 220; }));
  ASSERT_EQ(Doc().m_features[0].VertexCount(), 221u);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return marked(areaPanel()); })) << areaPanel();
  EXPECT_EQ(Doc().m_features[0].area, measured);

  // The track made current from its popup, and the walk goes on into it: its point is
  // measured. Automatic capture off then measures the track, the current feature.
  platform::PopupMenuScript::Push(32817);  // "Activate"
  TapFeature(1);
  ASSERT_EQ(Doc().m_current, 1);
  const auto track = MovedBy(centre, 0.0, -80.0);
  ReceiverFix(track.first, track.second);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().m_features[1].VertexCount() == 3; }));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().MeasuresUpToDate(1) && !Doc().m_areaBusy; }));
  Command(32802);
  ASSERT_FALSE(Doc().m_autoCapture);
  ReceiverGone();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !Doc().m_areaBusy; }));
  ASSERT_EQ(Doc().m_features[0].VertexCount(), 221u);

  // The object list: the track's row tapped shows its measures; the field chosen in the
  // list of names (the current feature then) shows its old area, marked, and so does its
  // row tapped.
  std::string trackLength, fieldChosen, fieldTapped;
  WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(list.m_Grid.GetWxWindow()); }));
    GridInput grid(list.m_Grid);
    grid.Tap(2, 0);
    trackLength = list.m_details.GetItemText(3, 1);
    ChooseWithKeys(list, 1075, 0);
    fieldChosen = list.m_details.GetItemText(1, 1);
    grid.Tap(1, 0);
    fieldTapped = list.m_details.GetItemText(1, 1);
    tvxtest::RealClick(*list.GetDlgItemWindow(IDOK));
  });
  Command(32862);
  EXPECT_FALSE(marked(trackLength)) << trackLength;
  EXPECT_TRUE(marked(fieldChosen)) << fieldChosen;
  EXPECT_EQ(fieldTapped, fieldChosen);
  EXPECT_EQ(fieldChosen, Doc().GetAreaText(0, true));

  // The field current: the panel marks its area; a tap on the panel measures it.
  ASSERT_EQ(Doc().m_current, 0);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return marked(areaPanel()); })) << areaPanel();
  tvxtest::RealClick(*view_->m_areaPanel, 5, 5);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !marked(areaPanel()); })) << areaPanel();
  const double shown = Doc().m_features[0].area;
  EXPECT_GT(shown, measured) << "the point outside the ring counts";
  Doc().RecomputeAreasAndWait(0);
  EXPECT_DOUBLE_EQ(shown, Doc().m_features[0].area);
}

// A field locked (as imported features are) and a circle (locked as every circle is): every
// command that would change a locked feature's points or cut it into parts is refused with
// the lock's message naming it, and leaves the document as it was.
TEST_F(DocumentWork, EveryCommandOnALockedFeatureIsRefusedWithTheLocksMessage) {
  DocumentContent work = Parcela();
  work.features[0].editable = 0;
  FeatureRecord& circle = work.AddFeature(FeatureType::Circle, "Pozo");
  circle.editable = 0;
  const std::pair<double, double> centre{kLon0 + 0.0007, kLat0 + 0.0005};
  const auto nw = MovedBy(centre, -10.0, 10.0), se = MovedBy(centre, 10.0, -10.0);
  for (auto p : {centre, nw, se}) circle.AddVertex({p.first, p.second}, {p.first, p.second}, 0);
  std::ofstream(dir_ / "bloqueado.tvx", std::ios::binary) << WriteTvxFile(work);
  constexpr int kField = 0, kTrack = 1, kCircle = 3;

  // The feature made current as the user does it: its name chosen in the object list.
  auto makeCurrent = [&](int feature) {
    WhenShown<CDlgObjectList>([feature](CDlgObjectList& list) {
      ChooseWithKeys(list, 1075, feature);
      tvxtest::RealClick(*list.GetDlgItemWindow(IDOK));
    });
    Command(32862);
    ASSERT_EQ(Doc().m_current, feature);
  };
  const std::pair<double, double> lineEnds[] = {{kLon0 + 0.00005, kLat0 + 0.00005},
                                                 {kLon0 + kDLon - 0.00005, kLat0 + kDLat - 0.00005}};
  struct Case {
    const char* what;
    int locked;  // the feature refused (made current first)
    std::function<void()> act;
  };
  const std::vector<Case> cases = {
      {"split by a line", kField, [&] { Command(32885); }},
      {"split by a line, the circle", kCircle, [&] { Command(32885); }},
      {"split by a line begun on the track",
       kField,
       [&] {
         makeCurrent(kTrack);
         Command(32885);
         TapAt(lineEnds[0]);
         Command(32884);  // the second end
         TapAt(lineEnds[1]);
         makeCurrent(kField);
         Command(32885);
       }},
      {"divide", kField, [&] { Command(32852); }},
      {"delete chosen points", kField, [&] { Command(32854); }},
      {"delete the last point", kField, [&] { Command(32853); }},
      {"insert a point", kField, [&] { ReceiverFix(); Command(32860); }},
      {"a captured point", kCircle, [&] { ReceiverFix(); Command(32801); }},
      {"a vertex by a tap", kField, [&] { Command(32877); }},
      {"everything moved by a tap",
       kField,
       [&] {
         ReceiverFix();
         makeCurrent(kTrack);  // the current feature is not locked
         Command(32889);
         TapAt({kLon0 + 0.0004, kLat0 + 0.0003});
         Command(32889);
       }},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Doc().SetModifiedFlag(FALSE);
    if (view_->m_tapMode != 0) view_->EndTapMode();
    OpenThroughMenu(dir_ / "bloqueado.tvx");
    MapDrawn();
    if (c.locked != kField) makeCurrent(c.locked);
    const std::string before = WriteTvxFile(Doc().m_content);

    platform::MessageBoxScript::Clear();
    for (int i = 0; i < 4; ++i) platform::MessageBoxScript::Push(IDOK);
    c.act();
    std::vector<std::string> told;
    for (const platform::ShownMessageBox& box : platform::MessageBoxScript::TakeShown())
      told.push_back(box.text);
    platform::MessageBoxScript::Clear();
    ReceiverGone();
    Doc().m_autoCapture = false;

    const std::string name = work.features[static_cast<std::size_t>(
        c.locked == kCircle ? kCircle : kField)].name;
    EXPECT_EQ(told.size(), 1u) << (told.empty() ? "nothing said" : told[0]);
    for (const std::string& text : told) {
      EXPECT_NE(text.find("locked"), std::string::npos) << text;
      EXPECT_NE(text.find(name), std::string::npos) << text;
    }
    EXPECT_EQ(WriteTvxFile(Doc().m_content), before) << "the document is as it was";
    EXPECT_EQ(Doc().m_features.size(), 4u);
    EXPECT_FALSE(Doc().m_splitInProgress);
    if (view_->m_splitDialog) {  // a division begun is not left for the next case
      ClickId(*view_->m_splitDialog, IDCANCEL);
      ASSERT_TRUE(tvxtest::PumpUntil([&] { return !Doc().m_splitInProgress; }));
    }
  }

  // A circle, locked for good (the object list cannot unlock it), moves whole with everything
  // else: it keeps its shape. The field unlocked in the object list, everything moves.
  Doc().SetModifiedFlag(FALSE);
  OpenThroughMenu(dir_ / "bloqueado.tvx");
  MapDrawn();
  WhenShown<CDlgObjectList>([](CDlgObjectList& list) {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(list.m_Grid.GetWxWindow()); }));
    GridInput(list.m_Grid).Tap(1, 4, 8);  // the field's "Editable"
    tvxtest::RealClick(*list.GetDlgItemWindow(IDOK));
  });
  Command(32862);
  ASSERT_EQ(Doc().m_features[kField].editable, 1);
  ASSERT_EQ(Doc().m_features[kCircle].editable, 0);
  const GeoPoint centreBefore = Doc().m_features[kCircle].wgs84Vertices[0];
  const GeoPoint cornerBefore = Doc().m_features[kField].wgs84Vertices[0];
  platform::MessageBoxScript::Clear();
  platform::MessageBoxScript::Push(IDOK);  // a box, should one come, is answered and told
  ReceiverFix(kLon0 + 0.0004 + 0.0001, kLat0 + 0.0003);  // 0.0001 east of the tapped place
  Command(32889);
  TapAt({kLon0 + 0.0004, kLat0 + 0.0003});
  Command(32889);
  ReceiverGone();
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
  EXPECT_NEAR(Doc().m_features[kCircle].wgs84Vertices[0].x - centreBefore.x, 0.0001, 2e-5);
  EXPECT_NEAR(Doc().m_features[kField].wgs84Vertices[0].x - cornerBefore.x, 0.0001, 2e-5);
  EXPECT_NEAR(Doc().m_features[kCircle].wgs84Vertices[0].y, centreBefore.y, 2e-5);
}

// A circle taken from the receiver while the user chooses an older circle in the object list
// (its name chosen with the keys, the walk going on while the list is open, then OK): only
// the circle being walked follows the walker; the older one, locked and finished, keeps its
// shape. The circle being walked deleted in the object list ends the walk, and no other
// feature takes its place.
TEST_F(DocumentWork, ACircleFromTheReceiverReshapesItselfOnlyWhateverIsChosen) {
  DocumentContent work = Parcela();
  FeatureRecord& well = work.AddFeature(FeatureType::Circle, "Pozo");
  well.editable = 0;
  const std::pair<double, double> centre{kLon0 + 0.0007, kLat0 + 0.0005};
  for (auto p : {centre, MovedBy(centre, -10.0, 10.0), MovedBy(centre, 10.0, -10.0)})
    well.AddVertex({p.first, p.second}, {p.first, p.second}, 0);
  std::ofstream(dir_ / "pozo.tvx", std::ios::binary) << WriteTvxFile(work);
  constexpr int kWell = 3, kWalked = 4;

  Start();
  OpenThroughMenu(dir_ / "pozo.tvx");
  MapDrawn();
  ASSERT_EQ(Doc().m_features.size(), 4u);
  const std::vector<GeoPoint> wellShape = Doc().m_features[kWell].wgs84Vertices;
  const std::vector<GeoPoint> wellWorking = Doc().m_features[kWell].vertices;
  // The radius of a circle from its centre and first corner (centre x - r, centre y + r).
  auto radius = [&](int feature) {
    const FeatureRecord& f = Doc().m_features.at(static_cast<std::size_t>(feature));
    if (f.VertexCount() != 3) return -1.0;
    return (f.wgs84Vertices[0].x - f.wgs84Vertices[1].x) * kMetresPerDegreeLon;
  };
  // A fix 30 m east of the well, moved north; its position handled by the view.
  const auto start = MovedBy(centre, 30.0, 0.0);
  auto walkTo = [&](double north) {
    const auto at = MovedBy(start, 0.0, north);
    ReceiverFix(at.first, at.second);
    bool handled = false;
    wxTheApp->CallAfter([&] { handled = true; });
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return handled; }));
  };
  auto wellKeepsItsShape = [&] {
    EXPECT_EQ(Doc().m_features[kWell].wgs84Vertices, wellShape);
    EXPECT_EQ(Doc().m_features[kWell].vertices, wellWorking);
  };

  walkTo(0.0);
  Command(32882);  // a circle from the receiver, centred here
  ASSERT_TRUE(Doc().m_definingCircle);
  ASSERT_EQ(Doc().m_current, kWalked);
  walkTo(5.0);
  EXPECT_NEAR(radius(kWalked), 5.0, 0.5);

  // The well chosen in the object list, the walk going on meanwhile.
  WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
    StepWithArrowKeys(list, 1075, kWell);
    walkTo(10.0);
    tvxtest::RealClick(*list.GetDlgItemWindow(IDOK));
  });
  Command(32862);
  ASSERT_EQ(Doc().m_current, kWell);
  wellKeepsItsShape();
  EXPECT_NEAR(radius(kWalked), 10.0, 0.5);
  walkTo(20.0);
  wellKeepsItsShape();
  EXPECT_NEAR(radius(kWalked), 20.0, 0.5);
  EXPECT_TRUE(Doc().m_definingCircle);

  // The walked circle deleted in the object list: the walk ends there.
  WhenShown<CDlgObjectList>([&](CDlgObjectList& list) {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(list.m_Grid.GetWxWindow()); }));
    GridInput(list.m_Grid).Tap(kWalked + 1, 0);
    tvxtest::RealClick(*list.GetDlgItemWindow(1072));
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return Doc().m_features.size() == 4u; }));
    tvxtest::RealClick(*list.GetDlgItemWindow(IDOK));
  });
  Command(32862);
  ASSERT_EQ(Doc().m_features.size(), 4u);
  walkTo(30.0);
  EXPECT_FALSE(Doc().m_definingCircle);
  wellKeepsItsShape();
  ReceiverGone();
  Doc().SetModifiedFlag(FALSE);
}
}  // namespace
