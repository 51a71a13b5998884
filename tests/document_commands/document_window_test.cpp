// The user's work in the program's own frame, map view and dialogs (the English module, under
// Xvfb), reached as the user reaches it: the menu commands through the frame's routing, the
// map's popups by taps, the dialogs ended with their own buttons. Every command, dialog,
// tap mode, key and import that changes the document marks it modified, and the exit then
// asks to save it under its name; a document refused at start-up lends its name to no later
// one; a save during a division writes the document without it; an averaged position is
// stored as a waypoint whatever the current feature's lock.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <wx/combo.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/vlbox.h>

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
    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128));
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    for (auto& timer : answers_) timer->Stop();
    if (template_) {
      // The window goes without its close question.
      if (CFrameWnd* frame = template_->GetFrame()) frame->GetFrame()->Destroy();
      tvxtest::PumpUntil([this] { return template_->GetFrame() == nullptr; });
      template_.reset();
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
    frame_->GetFrame()->SetClientSize(480, 440);
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

  // Once a dialog of class T is on the screen, answer runs on it (inside its own loop).
  template <class T>
  void WhenShown(std::function<void(T&)> answer) {
    auto& timer = answers_.emplace_back(std::make_unique<wxTimer>());
    wxTimer* self = timer.get();
    self->Bind(wxEVT_TIMER, [self, answer](wxTimerEvent&) {
      for (wxWindow* top : wxTopLevelWindows) {
        auto* shown = dynamic_cast<T*>(CWnd::FromWxWindow(top));
        if (!shown || !top->IsShownOnScreen()) continue;
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
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return !Doc().m_needsRedraw && !view_->m_featurePoints.empty();
    }));
    tvxtest::PumpFor(50);
  }
  // A tap on the map at a working-datum position.
  void TapAt(double lon, double lat) {
    const ScreenPoint p = view_->WorldToBitmap(lon, lat);
    tvxtest::RealClick(*view_, p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
  }
  // A tap on the first vertex of feature index, as the map draws it.
  void TapFeature(int index) {
    MapDrawn();
    for (const DrawnFeature& drawn : FeatureDrawOrder(Doc().m_features, Doc().m_current)) {
      if (drawn.index != index) continue;
      const ScreenPoint p = view_->m_featurePoints.at(drawn.firstCached);
      tvxtest::RealClick(*view_, p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
      return;
    }
    FAIL() << "feature " << index << " is not drawn";
  }
  void TapWaypoint(int index) {
    MapDrawn();
    const ScreenPoint p = view_->m_waypointPoints.at(index);
    tvxtest::RealClick(*view_, p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
  }
  // A press, a drag to the second position and a release on the map.
  void DragOnMap(double lon1, double lat1, double lon2, double lat2) {
    auto screen = [&](double lon, double lat) {
      const ScreenPoint p = view_->WorldToBitmap(lon, lat);
      CPoint at(p.x + view_->MapLeft(), p.y + 2 * view_->m_rowUnit);
      view_->ClientToScreen(&at);
      return wxPoint(at.x, at.y);
    };
    wxUIActionSimulator input;
    input.MouseMove(screen(lon1, lat1));
    tvxtest::PumpFor(60);
    input.MouseDown();
    tvxtest::PumpFor(60);
    const wxPoint end = screen(lon2, lat2);
    input.MouseMove(end.x - 5, end.y - 5);
    tvxtest::PumpFor(60);
    input.MouseMove(end);
    tvxtest::PumpFor(60);
    input.MouseUp();
    tvxtest::PumpFor(60);
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
  std::unique_ptr<CSingleDocTemplate> template_;
  CMainFrame* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
  std::vector<std::unique_ptr<wxTimer>> answers_;
};

// The object list's grid as the user edits it: a tap on a cell, then keys.
class ObjectListGrid {
 public:
  explicit ObjectListGrid(CDlgObjectList& list) : list_(list) {}
  void Tap(int row, int col, int dx = -1) {
    RECT cell;
    list_.m_Grid.GetCellRect(row, col, &cell);
    const int x = dx < 0 ? (cell.left + cell.right) / 2 : cell.left + dx;
    tvxtest::RealClick(list_.m_Grid, x, (cell.top + cell.bottom) / 2);
  }
  void Keys(std::initializer_list<int> keys) {
    for (int key : keys) tvxtest::RealKey(list_.m_Grid, key);
  }
  // The dropped list of a combo cell's editor, or null.
  wxVListBox* DroppedList() {
    for (wxWindow* child : list_.m_Grid.GetWxWindow()->GetChildren()) {
      auto* combo = dynamic_cast<wxComboCtrl*>(child);
      if (!combo || !combo->IsShown() || !combo->IsPopupShown() || !combo->GetPopupControl())
        continue;
      return dynamic_cast<wxVListBox*>(combo->GetPopupControl()->GetControl());
    }
    return nullptr;
  }

 private:
  CDlgObjectList& list_;
};

}  // namespace

namespace {

// A file refused at start-up (an unknown marker, a damaged file, a log or a Shapefile that is
// not there) leaves a new document that carries no name. A file opened later names the
// document, and both the Save command and the exit's save write the edits into it; the
// refused file stays as it was.
TEST_F(DocumentWork, AFileRefusedAtStartUpLendsItsNameToNoFileOpenedLater) {
  const std::string parcela = WriteTvxFile(Parcela());
  std::ofstream(dir_ / "strange.tvx", std::ios::binary) << "*XYZ*" + parcela.substr(5);
  std::ofstream(dir_ / "damaged.tvx", std::ios::binary) << parcela.substr(0, 300);
  for (const char* refused : {"strange.tvx", "damaged.tvx", "gone.nmea", "gone.shp"}) {
    SCOPED_TRACE(refused);
    const fs::path path = dir_ / refused;
    const bool existed = fs::exists(path);
    const std::string before = ReadBytes(path);
    std::ofstream(dir_ / "parcela.tvx", std::ios::binary) << parcela;
    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128));

    platform::MessageBoxScript::Push(IDOK);  // why the file is refused
    Start(path.string());
    EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
    EXPECT_EQ(Doc().GetTitle(), "Untitled");

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

}  // namespace
