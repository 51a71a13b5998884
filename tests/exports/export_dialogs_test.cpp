// The export and import settings dialogs: their rules without windows, the real dialogs from
// the English module's templates under Xvfb (values in and out, zones refused, and the
// coordinate dialog's rows as the document's commands open it), and the document's Shapefile
// export and open commands answered in them.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/support/wx_test_environment.h"
#include "coords/datum_record.h"
#include "coords/projection_record.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/doc_options.h"
#include "document/export_shapefile.h"
#include "document/geo_position.h"
#include "platform/cmd_target.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/win_app.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/options/doc_window_test.h"
#include "tests/options/window_helpers.h"

namespace {

const ControlState* Find(const DialogLayout& layout, int id) {
  for (const ControlState& c : layout.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

TEST(ExportSettingsForm, DatumComboOffersTheUserDatumOnlyWhenActive) {
  DatumQuestion none{"Pulkovo", 0};
  EXPECT_EQ(DatumComboFor(none).items, std::vector<std::string>{"WGS84 / GRS80"});
  EXPECT_EQ(DatumComboFor(none).selected, 0);
  DatumQuestion user{"Pulkovo", 3};
  EXPECT_EQ(DatumComboFor(user).items, (std::vector<std::string>{"WGS84 / GRS80", "Pulkovo"}));
  EXPECT_EQ(DatumComboFor(user).selected, 1);
}

TEST(ExportSettingsForm, LayoutsByMode) {
  EXPECT_EQ(ZoneDatumLayout(2).title, "Datum");
  EXPECT_FALSE(Find(ZoneDatumLayout(2), kZoneDatumZone)->visible);
  EXPECT_FALSE(Find(ZoneDatumLayout(2), kZoneDatumZoneLabel)->visible);
  EXPECT_TRUE(Find(ZoneDatumLayout(1), kZoneDatumZone)->visible);
  EXPECT_TRUE(ZoneDatumLayout(0).title.empty());
  EXPECT_FALSE(Find(DxfLayout(2), kDxfZone)->visible);
  EXPECT_TRUE(Find(DxfLayout(0), kDxfZone)->visible);

  struct Case {
    int mode;
    bool hideHemisphere, lockKind, lockCoord;
    int coordKind;
    bool zoneVisible, zoneEnabled, hemisphereVisible, hemisphereEnabled, kindEnabled,
        projectedEnabled;
  };
  const Case cases[] = {
      {0, false, false, false, 0, true, false, true, false, true, true},
      {1, false, false, false, 1, true, true, true, true, true, true},
      {1, true, false, false, 1, true, true, false, true, true, true},
      {2, false, false, false, 1, false, true, false, true, true, true},
      {1, false, true, true, 1, true, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    CoordSystemQuestion q;
    q.mode = c.mode;
    q.hideHemisphere = c.hideHemisphere;
    q.lockKindCombo = c.lockKind;
    q.lockCoordKind = c.lockCoord;
    q.projectionText = "Lambert";
    const DialogLayout l = CoordSystemLayout(q, c.coordKind);
    const int row = static_cast<int>(&c - cases);
    EXPECT_EQ(Find(l, kCoordZone)->visible, c.zoneVisible) << row;
    EXPECT_EQ(Find(l, kCoordZone)->enabled, c.zoneEnabled) << row;
    EXPECT_EQ(Find(l, kCoordHemisphere)->visible, c.hemisphereVisible) << row;
    EXPECT_EQ(Find(l, kCoordHemisphere)->enabled, c.hemisphereEnabled) << row;
    EXPECT_EQ(Find(l, kCoordKind)->enabled, c.kindEnabled) << row;
    EXPECT_EQ(Find(l, kCoordProjectedRadio)->enabled, c.projectedEnabled) << row;
    EXPECT_EQ(l.projectedCaption, c.mode == 2 ? "Lambert" : "") << row;
  }
}

// ---- The dialogs themselves, under Xvfb ---------------------------------------------------

CWinApp g_app("tvxexporttest");

using tvxtest::WxEnvironment;

class ExportDialogs : public tvxtest::ModuleWindowTest {
 protected:
  ExportDialogs() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}
};

void Type(CDialog& dlg, int id, const char* text) {
  static_cast<wxTextCtrl*>(dlg.GetDlgItemWindow(id))->ChangeValue(wxString::FromUTF8(text));
}

void Click(CDialog& dlg, int id) {
  wxWindow* button = dlg.GetDlgItemWindow(id);
  wxCommandEvent event(button->IsKindOf(wxCLASSINFO(wxRadioButton)) ? wxEVT_RADIOBUTTON : wxEVT_BUTTON, id);
  event.SetEventObject(button);
  if (auto* radio = dynamic_cast<wxRadioButton*>(button)) {
    radio->SetValue(true);
    event.SetInt(1);
  }
  button->ProcessWindowEvent(event);
}

int Choices(CDialog& dlg, int id) {
  return static_cast<int>(static_cast<wxChoice*>(dlg.GetDlgItemWindow(id))->GetCount());
}

TEST_F(ExportDialogs, ZoneDatumRefusesZonesOutsideOneToSixty) {
  ZoneDatumQuestion q;
  q.datumName = "Pulkovo";
  q.datumIndex = 2;
  q.zone = 30;
  CDlgZoneDatum dlg(q);
  std::vector<bool> stayedOpen;
  int datumItems = 0;
  std::string zoneShown;
  wxTheApp->CallAfter([&] {
    datumItems = Choices(dlg, kZoneDatumDatum);
    zoneShown = dlg.GetDlgItemText(kZoneDatumZone);
    for (const char* bad : {"0", "61", "x"}) {
      platform::MessageBoxScript::Push(IDOK);
      Type(dlg, kZoneDatumZone, bad);
      Click(dlg, IDOK);
      stayedOpen.push_back(dlg.GetDialog()->IsModal());
    }
    Type(dlg, kZoneDatumZone, "29");
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kZoneDatumDatum))->SetSelection(0);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(datumItems, 2);
  EXPECT_EQ(zoneShown, "30");
  EXPECT_EQ(stayedOpen, (std::vector<bool>{true, true, true}));
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Please enter an integer between 1 and 60.");
  EXPECT_EQ(shown[2].text, "Please enter an integer.");
  EXPECT_EQ(dlg.m_answer.zone, 29);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, DatumOnlyFormForTracks) {
  ZoneDatumQuestion q;
  q.mode = 2;
  CDlgZoneDatum dlg(q);
  bool zoneShown = true;
  std::string title;
  int datumItems = 0;
  wxTheApp->CallAfter([&] {
    zoneShown = dlg.GetDlgItem(kZoneDatumZone)->IsWindowVisible();
    title = dlg.GetWindowText();
    datumItems = Choices(dlg, kZoneDatumDatum);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(zoneShown);
  EXPECT_EQ(title, "Datum");
  EXPECT_EQ(datumItems, 1);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, DxfGivesDatumZoneAndFlat) {
  DxfQuestion q;
  q.zone = 31;
  CDlgDxfSimple dlg(q);
  wxTheApp->CallAfter([&] {
    Type(dlg, kDxfZone, "33");
    Click(dlg, kDxfAltitudeRadio + 1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_answer.zone, 33);
  EXPECT_EQ(dlg.m_answer.flat, 1);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, CoordSystemEnablesZoneWithTheProjectedChoice) {
  CoordSystemQuestion q;
  q.mode = 0;
  q.zone = 30;
  q.kind = 2;
  CDlgCoordSystem dlg(q);
  bool zoneEnabledGeographic = true, zoneEnabledProjected = false;
  wxTheApp->CallAfter([&] {
    zoneEnabledGeographic = dlg.GetDlgItem(kCoordZone)->IsWindowEnabled();
    Click(dlg, kCoordProjectedRadio);
    zoneEnabledProjected = dlg.GetDlgItem(kCoordZone)->IsWindowEnabled();
    Type(dlg, kCoordZone, "18");
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kCoordHemisphere))->SetSelection(1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(zoneEnabledGeographic);
  EXPECT_TRUE(zoneEnabledProjected);
  EXPECT_EQ(dlg.m_answer.coordKind, 1);
  EXPECT_EQ(dlg.m_answer.zone, 18);
  EXPECT_EQ(dlg.m_answer.hemisphere, 1);
  EXPECT_EQ(dlg.m_answer.kind, 2);
}

TEST_F(ExportDialogs, FieldNameListsTheFieldsAndCancels) {
  CDlgSHPFieldName dlg({"NAME", "OWNER"});
  int items = 0;
  wxTheApp->CallAfter([&] {
    items = Choices(dlg, kShpFieldCombo);
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kShpFieldCombo))->SetSelection(1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(items, 2);
  EXPECT_EQ(dlg.m_selection, 1);
  CDlgSHPFieldName cancelled({"NAME"});
  wxTheApp->CallAfter([&] { Click(cancelled, IDCANCEL); });
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

// ---- The coordinate dialog as the document's commands open it ------------------------------

// What the rows of the coordinate dialog say, read while it is shown.
struct CoordinateRows {
  bool hemisphereLabelShown = false;
  bool hemisphereShown = false;
  std::string kindLabel;
  std::vector<std::string> kindItems;
  bool kindEnabled = false;
  bool operator==(const CoordinateRows&) const = default;
};

std::ostream& operator<<(std::ostream& out, const CoordinateRows& r) {
  out << "hemisphere label " << r.hemisphereLabelShown << ", hemisphere " << r.hemisphereShown
      << ", \"" << r.kindLabel << "\" [";
  for (const std::string& item : r.kindItems) out << item << ";";
  return out << "] enabled " << r.kindEnabled;
}

CDlgCoordSystem* ShownCoordinateDialog() {
  for (wxWindow* w : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<CDlgCoordSystem*>(CWnd::FromWxWindow(w));
    if (dialog && w->IsShown()) return dialog;
  }
  return nullptr;
}

CoordinateRows ReadRows(CDlgCoordSystem& dialog) {
  CoordinateRows rows;
  rows.hemisphereLabelShown = dialog.GetDlgItem(kCoordHemisphereLabel)->IsWindowVisible();
  rows.hemisphereShown = dialog.GetDlgItem(kCoordHemisphere)->IsWindowVisible();
  rows.kindLabel = dialog.GetDlgItemText(kCoordKindLabel);
  CComboBox kind(dialog.GetDlgItem(kCoordKind));
  for (int i = 0; i < kind.GetCount(); ++i) rows.kindItems.push_back(kind.GetLBText(i));
  rows.kindEnabled = dialog.GetDlgItem(kCoordKind)->IsWindowEnabled();
  return rows;
}

// The dialogs installed as at start-up, over a document of its own.
class CoordinateDialogCommands : public optstest::DocWindowTest {
 protected:
  void SetUp() override {
    DocWindowTest::SetUp();
    if (IsSkipped()) return;
    InstallExportDialogs();
    InstallProgramDialogs();
    platform::FileDialogScript::Clear();
  }
  void TearDown() override {
    if (!module_) return;
    SetExportPrompts(nullptr);
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    platform::FileDialogScript::Clear();
    DocWindowTest::TearDown();
  }
  // Reads the coordinate dialog when it opens, then with the projected choice, and cancels it.
  void ReadWhenShown(std::vector<CoordinateRows>& seen) {
    wxTheApp->CallAfter([&seen] {
      CDlgCoordSystem* dialog = ShownCoordinateDialog();
      ASSERT_NE(dialog, nullptr);
      seen.push_back(ReadRows(*dialog));
      if (dialog->GetDlgItem(kCoordProjectedRadio)->IsWindowEnabled()) {
        optstest::Pick(*dialog, kCoordProjectedRadio);
        seen.push_back(ReadRows(*dialog));
      }
      optstest::ClickId(*dialog, IDCANCEL);
    });
  }
};

// Each row says what it shows: a Shapefile export has no hemisphere to ask (its label goes
// with it) and offers the export kinds (the waypoint table's export only the points it writes);
// opening a Shapefile tells how the shapes come in; the waypoint table's point import offers its
// own choice of what to do with the coordinates.
TEST_F(CoordinateDialogCommands, EachRowSaysWhatItShows) {
  CTolvanixDoc& doc = MakeDoc();
  const std::filesystem::path shapefile = dir_ / "field.shp";
  std::ofstream(shapefile) << "not read: the dialog comes first";
  const CoordinateRows exportRows{false, false, "Export as", {"Lines", "Points", "Areas"}, true};
  const CoordinateRows importRows{true, true, "Import as", {"Lines and areas, as in the file"},
                                  false};
  const CoordinateRows pointImportRows{
      true, true, "Coordinates",
      {"Convert to the datum in use", "Take as stored (geographic only)"}, true};
  // The table writes its waypoints as points, and offers nothing else.
  const CoordinateRows pointExportRows{false, false, "Export as", {"Points"}, false};

  std::vector<CoordinateRows> seen;
  ReadWhenShown(seen);
  EXPECT_TRUE(doc.OnCmdMsg(32836, CN_COMMAND, nullptr));  // File > Export > Shapefile
  EXPECT_EQ(seen, (std::vector<CoordinateRows>{exportRows, exportRows}));

  seen.clear();
  platform::FileDialogScript::Push(shapefile.string());
  ReadWhenShown(seen);
  EXPECT_TRUE(doc.OnCmdMsg(ID_FILE_OPEN, CN_COMMAND, nullptr));
  EXPECT_EQ(seen, (std::vector<CoordinateRows>{importRows, importRows}));

  // The waypoint table's own export and import of points.
  for (const int button : {1238, 173}) {
    SCOPED_TRACE(button);
    seen.clear();
    wxTheApp->CallAfter([&] {
      CDlgWaypointTable* table = nullptr;
      for (wxWindow* w : wxTopLevelWindows)
        if (auto* shown = dynamic_cast<CDlgWaypointTable*>(CWnd::FromWxWindow(w))) table = shown;
      ASSERT_NE(table, nullptr);
      if (button == 173) platform::FileDialogScript::Push(shapefile.string());
      ReadWhenShown(seen);
      optstest::ClickId(*table, button);
      optstest::ClickId(*table, IDCANCEL);
    });
    EXPECT_TRUE(doc.OnCmdMsg(32864, CN_COMMAND, nullptr));  // the waypoint table
    EXPECT_EQ(seen, button == 1238 ? (std::vector<CoordinateRows>{pointExportRows, pointExportRows})
                                  : (std::vector<CoordinateRows>{pointImportRows, pointImportRows}));
  }
}

}  // namespace

// ---- Shapefiles through the document's commands, answered in the real dialogs -------------
//
// The export command (32836) and the open command as the menu sends them through the
// document's command routing; the coordinate and field dialogs are the real ones, answered
// on the controls they show enabled and ended with their OK button. The file dialogs are
// answered from the script.

namespace {

namespace fs = std::filesystem;

// The modal dialog up that has control `id`, as the user sees it.
CDialog* ShownDialogWith(int id) {
  for (wxWindow* w : wxTopLevelWindows) {
    auto* shown = dynamic_cast<wxDialog*>(w);
    if (!shown || !shown->IsModal()) continue;
    auto* dlg = dynamic_cast<CDialog*>(CWnd::FromWxWindow(shown));
    if (dlg && dlg->GetDlgItemWindow(id)) return dlg;
  }
  return nullptr;
}

// Answers the next dialog with control `id` once it is up (the command runs its modal loop
// meanwhile). The answer must end the dialog.
class NextDialog {
 public:
  NextDialog(int id, std::function<void(CDialog&)> answer) {
    timer_.Bind(wxEVT_TIMER, [this, id, answer](wxTimerEvent&) {
      CDialog* dlg = ShownDialogWith(id);
      if (!dlg) return;
      timer_.Stop();
      ++answered_;
      answer(*dlg);
    });
    timer_.Start(10);
  }
  int Answered() const { return answered_; }

 private:
  wxTimer timer_;
  int answered_ = 0;
};

// Whether the user can reach the control: shown and enabled.
bool Usable(CDialog& dlg, int id) {
  CWnd* control = dlg.GetDlgItem(id);
  return control && control->IsWindowVisible() && control->IsWindowEnabled();
}

void Choose(CDialog& dlg, int id, int index) {
  auto* choice = static_cast<wxChoice*>(dlg.GetDlgItemWindow(id));
  choice->SetSelection(index);
  wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
  event.SetEventObject(choice);
  event.SetInt(index);
  choice->ProcessWindowEvent(event);
}

// What the user does in the coordinate dialog: the geographic or projected choice, then the
// zone, hemisphere and datum where asked for (0 / -1: left as the dialog proposes). A choice
// on a control the dialog does not offer fails the test; the dialog is ended with OK anyway.
struct CoordChoice {
  bool projected = false;
  int zone = 0;
  int hemisphere = -1;
  int datum = -1;
};

void AnswerCoordinates(CDialog& dlg, const CoordChoice& c) {
  auto offered = [&](int id) {
    if (Usable(dlg, id)) return true;
    ADD_FAILURE() << "control " << id << " is not offered";
    return false;
  };
  const int radio = c.projected ? kCoordProjectedRadio : kCoordGeographicRadio;
  if (offered(radio)) Click(dlg, radio);
  if (c.zone > 0 && offered(kCoordZone)) Type(dlg, kCoordZone, std::to_string(c.zone).c_str());
  if (c.hemisphere >= 0 && offered(kCoordHemisphere)) Choose(dlg, kCoordHemisphere, c.hemisphere);
  if (c.datum >= 0 && offered(kCoordDatum)) {
    if (c.datum < Choices(dlg, kCoordDatum)) Choose(dlg, kCoordDatum, c.datum);
    else ADD_FAILURE() << "datum " << c.datum << " is not in the list";
  }
  Click(dlg, IDOK);
}

// Metres between two positions in degrees (small distances).
double Metres(const GeoPoint& a, const GeoPoint& b) {
  const double north = (a.y - b.y) * 111320.0;
  const double east = (a.x - b.x) * 111320.0 * std::cos(b.y * M_PI / 180.0);
  return std::hypot(east, north);
}

class ShapefileCommands : public DocTest {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    DocTest::SetUp();
    module_ = LoadLibrary(TVX_BINARY_DIR "/internal/tvx_en.dll");
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    InstallExportDialogs();
    platform::FileDialogScript::Clear();
    platform::MessageBoxScript::Clear();
    // A box nobody expects must not wait for a click: it is answered, and the tests count them.
    for (int i = 0; i < 4; ++i) platform::MessageBoxScript::Push(IDOK);
    MakeDoc();
  }
  void TearDown() override {
    if (!module_) return;
    SetExportPrompts(nullptr);
    platform::MessageBoxScript::Clear();
    platform::FileDialogScript::Clear();
    AfxSetResourceHandle(nullptr);
    FreeLibrary(module_);
    DocTest::TearDown();
  }

  // The working system: `coord` with a user projection by EPSG code (coord 2), and a user
  // datum (International 1924 shifted as ED50 in Spain) when asked.
  void Work(int coord, int epsg, bool userDatum, int zone = 30) {
    CTolvanixDoc::OptionValues v = doc_->CurrentOptionValues();
    v.datum = Wgs84DatumRecord();
    if (userDatum) {
      v.datum.index = 271;
      v.datum.a = 6378388.0;
      v.datum.b = 6356911.946;
      v.datum.dX = -87.0;
      v.datum.dY = -98.0;
      v.datum.dZ = -121.0;
    }
    v.coord = coord;
    v.autoZone = 0;
    v.zone = zone;
    if (epsg) {
      v.projection.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
      v.projection.p[0] = epsg;
      v.projection.SetName("EPSG " + std::to_string(epsg));
    }
    doc_->ApplyOptionValues(v);
    ASSERT_EQ(doc_->m_coord, coord);
    ASSERT_EQ(doc_->m_datum.index, userDatum ? 271 : 0);
  }

  // A feature of the working document with WGS84 vertices (working-datum ones derived).
  void Add(FeatureType type, const std::string& name, const std::vector<GeoPoint>& wgs84) {
    FeatureRecord& f = doc_->AddFeature(type, name);
    for (const GeoPoint& p : wgs84) {
      GeoPoint working = p;
      doc_->TransformOutput(working.x, working.y);
      f.AddVertex(p, working, 1234);
    }
  }

  // The export command answered in its dialog, to `path`.
  void Export(const std::string& path, const CoordChoice& choice, int kind) {
    NextDialog coordinates(kCoordKind, [&](CDialog& dlg) {
      Choose(dlg, kCoordKind, kind);
      AnswerCoordinates(dlg, choice);
    });
    platform::FileDialogScript::Push(path);
    ASSERT_TRUE(doc_->OnCmdMsg(32836, CN_COMMAND, nullptr));
    EXPECT_EQ(coordinates.Answered(), 1);
    ASSERT_TRUE(fs::exists(path));
  }

  // The open command on a Shapefile, answered in its dialogs; `field` is the text field that
  // names the features (empty: the field dialog is not expected).
  void Open(const std::string& path, const CoordChoice& choice, const std::string& field = {}) {
    doc_->SetModifiedFlag(FALSE);
    NextDialog coordinates(kCoordGeographicRadio, [&](CDialog& dlg) { AnswerCoordinates(dlg, choice); });
    NextDialog names(kShpFieldCombo, [&](CDialog& dlg) {
      auto* combo = static_cast<wxChoice*>(dlg.GetDlgItemWindow(kShpFieldCombo));
      const int at = combo->FindString(wxString::FromUTF8(field));
      EXPECT_NE(at, wxNOT_FOUND) << field;
      if (at != wxNOT_FOUND) Choose(dlg, kShpFieldCombo, at);
      Click(dlg, IDOK);
    });
    platform::FileDialogScript::Push(path);
    ASSERT_TRUE(doc_->OnCmdMsg(ID_FILE_OPEN, CN_COMMAND, nullptr));
    EXPECT_EQ(coordinates.Answered(), 1);
    EXPECT_EQ(names.Answered(), field.empty() ? 0 : 1);
  }

  // The waypoint table command; `work` runs on the open table, which is then ended with OK.
  void InWaypointTable(const std::function<void(CDialog&)>& work) {
    NextDialog table(kTableExport, [&](CDialog& dlg) {
      work(dlg);
      Click(dlg, IDOK);
    });
    ASSERT_TRUE(doc_->OnCmdMsg(32864, CN_COMMAND, nullptr));
    EXPECT_EQ(table.Answered(), 1);
  }
  // The table's Shapefile export or import button, answered in the coordinate dialog.
  static void TableButton(CDialog& table, int button, const std::string& path,
                          const CoordChoice& choice) {
    NextDialog coordinates(kCoordKind, [&](CDialog& d) { AnswerCoordinates(d, choice); });
    platform::FileDialogScript::Push(path);
    Click(table, button);
    EXPECT_EQ(coordinates.Answered(), 1);
  }
  static constexpr int kTableImport = 173, kTableExport = 1238;

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  HMODULE module_ = nullptr;
};

// A round trip of the program's own export: the working system and datum the data is measured
// in, and the answers the user gives in the real dialogs.
struct RoundTrip {
  const char* what;
  int coord, epsg;          // Coord, and the user projection's EPSG code under Coord 2
  bool userDatum;
  GeoPoint at;              // where the data stands, WGS84
  CoordChoice exported;     // what the user answers in the export's dialog
  CoordChoice opened;       // and in the import's
};

// Two fields exported as areas in each working system and datum, and opened again with the
// same answers in the dialog: every vertex comes back within a metre of where it was
// measured, in WGS84 and in the working datum.
TEST_F(ShapefileCommands, OwnExportOpensWhereItWasMeasured) {
  using Case = RoundTrip;
  // Under a user projection the projected choice carries the projection's name and no zone:
  // the zone and hemisphere are left as proposed.
  const Case cases[] = {
      {"UTM 30N as user projection, WGS84", 2, 32630, false, {-3.70, 40.40}, {true}, {true}},
      {"Lambert-93 as user projection, WGS84", 2, 2154, false, {1.44, 43.60}, {true}, {true}},
      {"Lambert-93, user datum, written on WGS84", 2, 2154, true, {1.44, 43.60},
       {true, 0, -1, 0}, {true, 0, -1, 0}},
      {"ED50 UTM 30N, user datum, written on it", 2, 23030, true, {-3.70, 40.40},
       {true, 0, -1, 1}, {true, 0, -1, 1}},
      {"UTM 30 on WGS84", 1, 0, false, {-3.70, 40.40}, {true, 30}, {true, 30, 0}},
      {"UTM 21 south on WGS84", 1, 0, false, {-58.40, -34.60}, {true, 21}, {true, 21, 1}},
      {"UTM 30, user datum, written on WGS84", 1, 0, true, {-3.70, 40.40},
       {true, 30, -1, 0}, {true, 30, 0, 0}},
      {"UTM 30, user datum, written on it", 1, 0, true, {-3.70, 40.40},
       {true, 30, -1, 1}, {true, 30, 0, 1}},
      {"geographic display, UTM 29 on WGS84", 0, 0, false, {-8.60, 42.80}, {true, 29}, {true, 29, 0}},
      {"geographic display, UTM 30 on the user datum", 0, 0, true, {-3.70, 40.40},
       {true, 30, -1, 1}, {true, 30, 0, 1}},
      {"geographic WGS84 under a user projection and datum", 2, 2154, true, {1.44, 43.60},
       {false, 0, -1, 0}, {false, 0, -1, 0}},
      {"geographic WGS84", 0, 0, true, {-3.70, 40.40}, {false, 0, -1, 0}, {false, 0, -1, 0}},
      {"geographic on the user datum", 0, 0, true, {-3.70, 40.40}, {false, 0, -1, 1},
       {false, 0, -1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store("Coord", 0);  // the document starts as the program does, then takes the case's system
    Store("Datum", 0);
    MakeDoc();
    Work(c.coord, c.epsg, c.userDatum);
    doc_->DeleteAllFeatures();
    const double x = c.at.x, y = c.at.y;
    Add(FeatureType::Area, "Campo", {{x, y}, {x, y + 0.004}, {x + 0.006, y + 0.004}, {x + 0.006, y}});
    Add(FeatureType::Area, "Lindero", {{x + 0.01, y}, {x + 0.02, y + 0.01}, {x + 0.03, y}});
    const std::vector<FeatureRecord> measured = doc_->m_features;
    const std::string path = Path(std::string("own") + std::to_string(&c - cases) + ".shp");
    Export(path, c.exported, kShpKindAreas);  // rings closed

    Open(path, c.opened, "NAME");
    ASSERT_EQ(doc_->m_features.size(), measured.size());
    for (std::size_t k = 0; k < measured.size(); ++k) {
      const FeatureRecord& back = doc_->m_features[k];
      EXPECT_EQ(back.name, measured[k].name);
      ASSERT_EQ(back.VertexCount(), measured[k].VertexCount() + 1);  // the ring's closing vertex
      for (std::size_t i = 0; i < back.VertexCount(); ++i) {
        const std::size_t j = i % measured[k].VertexCount();
        EXPECT_LT(Metres(back.wgs84Vertices[i], measured[k].wgs84Vertices[j]), 1.0) << k << "/" << i;
        EXPECT_LT(Metres(back.vertices[i], measured[k].vertices[j]), 1.0) << k << "/" << i;
      }
    }
    for (const auto& box : platform::MessageBoxScript::TakeShown()) ADD_FAILURE() << box.text;
  }
}

// The table beside the shapes as other programs write it is read; one that cannot be read is
// left out, and the user is told.
TEST_F(ShapefileCommands, OpenReadsOtherWritersTablesAndSaysWhenOneCannotBeRead) {
  Work(1, 0, false);
  doc_->DeleteAllFeatures();
  Add(FeatureType::Area, "Campo", {{-3.70, 40.40}, {-3.70, 40.41}, {-3.69, 40.41}});
  Add(FeatureType::Area, "Prado", {{-3.68, 40.40}, {-3.68, 40.41}, {-3.67, 40.41}});
  const std::string path = Path("table.shp");
  Export(path, {false}, kShpKindAreas);
  std::string dbf = platform::ReadWholeFile(Path("table.dbf")).value_or("");
  ASSERT_GT(dbf.size(), 64u);
  ASSERT_EQ(dbf.substr(32, 4), "NAME");

  dbf[32 + 17] = 2;  // a decimal count on the text field, as some writers put it
  ASSERT_TRUE(platform::WriteFileReplacing(Path("table.dbf"), dbf));
  Open(path, {false}, "NAME");
  ASSERT_EQ(doc_->m_features.size(), 2u);
  EXPECT_EQ(doc_->m_features[0].name, "Campo");
  EXPECT_EQ(doc_->m_features[1].name, "Prado");
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());

  dbf[32 + 16] = static_cast<char>(250);  // the text field now runs past the record
  ASSERT_TRUE(platform::WriteFileReplacing(Path("table.dbf"), dbf));
  Open(path, {false});
  ASSERT_EQ(doc_->m_features.size(), 2u);
  EXPECT_EQ(doc_->m_features[0].name, LoadResString(59167));
  EXPECT_EQ(doc_->m_features[0].VertexCount(), 4u);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find(Path("table.dbf")), std::string::npos) << shown[0].text;
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");

  // The waypoint table's import of points reads and reports its table the same way.
  ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
  WaypointRecord w;
  w.name = "Fuente";
  w.x = -3.70;
  w.y = 40.40;
  doc_->m_waypoints = {w};
  doc_->m_waypointNotes = {""};
  const std::string points = Path("points.shp");
  InWaypointTable([&](CDialog& table) { TableButton(table, kTableExport, points, {false}); });
  dbf = platform::ReadWholeFile(Path("points.dbf")).value_or("");
  ASSERT_GT(dbf.size(), 96u);
  ASSERT_EQ(dbf.substr(64, 4), "NAME");
  dbf[64 + 17] = 2;
  ASSERT_TRUE(platform::WriteFileReplacing(Path("points.dbf"), dbf));
  InWaypointTable([&](CDialog& table) { TableButton(table, kTableImport, points, {false}); });
  ASSERT_EQ(doc_->m_waypoints.size(), 2u);
  EXPECT_EQ(doc_->m_waypoints[0].name, "Fuente");
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());

  dbf[64 + 16] = static_cast<char>(250);
  ASSERT_TRUE(platform::WriteFileReplacing(Path("points.dbf"), dbf));
  InWaypointTable([&](CDialog& table) { TableButton(table, kTableImport, points, {false}); });
  ASSERT_EQ(doc_->m_waypoints.size(), 3u);
  EXPECT_EQ(doc_->m_waypoints[0].name, "");
  const auto told = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].text.find(Path("points.dbf")), std::string::npos) << told[0].text;
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

// Shapes written with shapelib as another program writes them: one shape per list of points.
void WriteShapes(const std::string& path, int type,
                 const std::vector<std::vector<GeoPoint>>& shapes) {
  const std::string base = path.substr(0, path.size() - 4);
  SHPHandle shp = SHPCreate(base.c_str(), type);
  DBFHandle dbf = DBFCreate(base.c_str());
  DBFAddField(dbf, "NAME", FTString, 20, 0);
  for (std::size_t k = 0; k < shapes.size(); ++k) {
    std::vector<double> xs, ys;
    for (const GeoPoint& p : shapes[k]) {
      xs.push_back(p.x);
      ys.push_back(p.y);
    }
    SHPObject* o =
        SHPCreateSimpleObject(type, static_cast<int>(xs.size()), xs.data(), ys.data(), nullptr);
    SHPWriteObject(shp, -1, o);
    SHPDestroyObject(o);
    DBFWriteStringAttribute(dbf, static_cast<int>(k), 0, ("S" + std::to_string(k)).c_str());
  }
  SHPClose(shp);
  DBFClose(dbf);
}

// Points that name no place after the conversion chosen (a UTM file read as geographic
// degrees, as the coordinate dialog opens; NaN and 1e300) never come in, by the table's import
// nor by File > Open; the user is told how many were left out.
TEST_F(ShapefileCommands, ImportsLeaveOutPointsThatNameNoPlaceAndSayHowMany) {
  ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
  const double nan = std::nan("");
  const std::string utm = Path("utm_points.shp"), odd = Path("odd_points.shp");
  WriteShapes(utm, SHPT_POINT, {{{440000, 4472000}}, {{440100, 4472100}}});
  WriteShapes(odd, SHPT_POINT, {{{nan, 40.4}}, {{-3.7, 1e300}}, {{-3.7, 40.4}}, {{1e300, nan}}});
  struct Case {
    const char* what;
    std::string path;
    std::size_t added;
    const char* told;
  };
  const Case cases[] = {
      {"projected points read as degrees", utm, 0, "2 points were left out"},
      {"NaN and 1e300 beside a good point", odd, 1, "3 points were left out"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::MessageBoxScript::Clear();
    platform::MessageBoxScript::Push(IDOK);
    doc_->m_waypoints.clear();
    doc_->m_waypointNotes.clear();
    InWaypointTable([&](CDialog& table) { TableButton(table, kTableImport, c.path, {false}); });
    ASSERT_EQ(doc_->m_waypoints.size(), c.added);
    for (const WaypointRecord& w : doc_->m_waypoints) {
      EXPECT_TRUE(IsGeographicPosition(w.x, w.y)) << w.x << " " << w.y;
      EXPECT_EQ(w.x, -3.7);
      EXPECT_EQ(w.y, 40.4);
    }
    const auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind(c.told, 0), 0u) << shown[0].text;
  }

  // The same rule for a document opened from a Shapefile: the lines come in without the
  // points that name no place, and a line none of whose points is one does not come in.
  const std::string lines = Path("lines.shp");
  WriteShapes(lines, SHPT_ARC,
              {{{440000, 4472000}, {440100, 4472100}},
               {{-3.70, 40.40}, {nan, 40.41}, {-3.69, 40.41}, {-3.69, 1e300}}});
  platform::MessageBoxScript::Clear();
  platform::MessageBoxScript::Push(IDOK);
  Open(lines, {false}, "NAME");
  ASSERT_EQ(doc_->m_features.size(), 1u);
  EXPECT_EQ(doc_->m_features[0].name, "S1");
  ASSERT_EQ(doc_->m_features[0].VertexCount(), 2u);
  EXPECT_EQ(doc_->m_features[0].wgs84Vertices[1], (GeoPoint{-3.69, 40.41}));
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("4 points were left out", 0), 0u) << shown[0].text;
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

// A file that cannot be read is said the same way by the table's import and by File > Open.
TEST_F(ShapefileCommands, TheTablesImportOfAnUnreadableFileSaysWhatFileOpenSays) {
  ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
  const std::string bad = Path("damaged.shp");
  std::ofstream(bad, std::ios::binary) << std::string(120, '\x7f');
  platform::MessageBoxScript::Clear();
  platform::MessageBoxScript::Push(IDOK);
  Open(bad, {false});
  const auto opened = platform::MessageBoxScript::TakeShown();
  platform::MessageBoxScript::Push(IDOK);
  doc_->m_waypoints.clear();
  doc_->m_waypointNotes.clear();
  InWaypointTable([&](CDialog& table) { TableButton(table, kTableImport, bad, {false}); });
  const auto imported = platform::MessageBoxScript::TakeShown();
  EXPECT_TRUE(doc_->m_waypoints.empty());
  ASSERT_EQ(opened.size(), 1u);
  ASSERT_EQ(imported.size(), 1u);
  EXPECT_EQ(imported[0].text, opened[0].text);
  EXPECT_EQ(imported[0].text, "Error: Unknown file\n" + bad);
  EXPECT_EQ(imported[0].caption, opened[0].caption);
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

// The waypoint table (command 32864) exports its waypoints as points and imports them again,
// each time answered in the real dialog: with the same answers every waypoint comes back
// within a metre of where it was.
TEST_F(ShapefileCommands, WaypointTableImportsItsOwnExportWhereItWas) {
  using Case = RoundTrip;
  const Case cases[] = {
      {"UTM 30 on WGS84", 1, 0, false, {-3.70, 40.40}, {true, 30}, {true, 30, 0}},
      {"UTM 21 south on WGS84", 1, 0, false, {-58.40, -34.60}, {true, 21}, {true, 21, 1}},
      {"UTM 30, user datum, written on WGS84", 1, 0, true, {-3.70, 40.40},
       {true, 30, -1, 0}, {true, 30, 0, 0}},
      {"UTM 30, user datum, written on it", 1, 0, true, {-3.70, 40.40},
       {true, 30, -1, 1}, {true, 30, 0, 1}},
      {"Lambert-93 as user projection, WGS84", 2, 2154, false, {1.44, 43.60}, {true}, {true}},
      {"ED50 UTM 30N, user datum, written on WGS84", 2, 23030, true, {-3.70, 40.40},
       {true, 0, -1, 0}, {true, 0, -1, 0}},
      {"ED50 UTM 30N, user datum, written on it", 2, 23030, true, {-3.70, 40.40},
       {true, 0, -1, 1}, {true, 0, -1, 1}},
      {"geographic WGS84, user datum", 0, 0, true, {-3.70, 40.40}, {false, 0, -1, 0},
       {false, 0, -1, 0}},
  };
  ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store("Coord", 0);
    Store("Datum", 0);
    MakeDoc();
    Work(c.coord, c.epsg, c.userDatum);
    doc_->m_waypoints.clear();
    doc_->m_waypointNotes.clear();
    for (int k = 0; k < 3; ++k) {
      WaypointRecord w;
      w.name = "W" + std::to_string(k);
      w.x = c.at.x + 0.01 * k;
      w.y = c.at.y + 0.005 * k;
      doc_->TransformOutput(w.x, w.y);  // waypoints are kept in the working datum
      w.altitudeCm = 1000 + k;
      doc_->m_waypoints.push_back(w);
      doc_->m_waypointNotes.push_back("");
    }
    const std::vector<WaypointRecord> kept = doc_->m_waypoints;
    const std::string path = Path("waypoints" + std::to_string(&c - cases) + ".shp");

    InWaypointTable([&](CDialog& table) {
      TableButton(table, kTableExport, path, c.exported);
      TableButton(table, kTableImport, path, c.opened);
    });
    // The imported points come first, the file's last on top, then the table's own.
    ASSERT_EQ(doc_->m_waypoints.size(), 2 * kept.size());
    for (std::size_t k = 0; k < kept.size(); ++k) {
      const WaypointRecord& back = doc_->m_waypoints[kept.size() - 1 - k];
      EXPECT_EQ(back.name, kept[k].name);
      EXPECT_LT(Metres({back.x, back.y}, {kept[k].x, kept[k].y}), 1.0) << k;
    }
    for (const auto& box : platform::MessageBoxScript::TakeShown()) ADD_FAILURE() << box.text;
  }
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

// ---- Shapefiles written by GDAL ------------------------------------------------------------

// A feature as the test writes it in GeoJSON: its parts (rings of polygons, in order, or line
// parts), each point longitude, latitude and height.
struct PeerPart {
  int polygon = 0;  // which polygon of a MultiPolygon the ring belongs to
  std::vector<std::array<double, 3>> points;
};
struct PeerFeature {
  const char* name;  // nullptr: no name
  const char* geometry;
  std::vector<PeerPart> parts;
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string Points(const PeerPart& part, bool heights) {
  std::string out = "[";
  for (const auto& p : part.points) {
    out += (out.size() > 1 ? ",[" : "[") + Number(p[0]) + "," + Number(p[1]);
    if (heights) out += "," + Number(p[2]);
    out += "]";
  }
  return out + "]";
}

std::string GeoJson(const std::vector<PeerFeature>& features, bool heights) {
  std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
  for (std::size_t k = 0; k < features.size(); ++k) {
    const PeerFeature& f = features[k];
    std::string coordinates;
    const std::string geometry = f.geometry;
    if (geometry == "LineString") {
      coordinates = Points(f.parts[0], heights);
    } else if (geometry == "MultiPolygon") {
      coordinates = "[";
      for (std::size_t i = 0; i < f.parts.size(); ++i) {
        const bool first = i == 0 || f.parts[i].polygon != f.parts[i - 1].polygon;
        if (first) coordinates += i == 0 ? "[" : "],[";
        else coordinates += ",";
        coordinates += Points(f.parts[i], heights);
      }
      coordinates += "]]";
    } else {  // Polygon, MultiLineString: a list of parts
      coordinates = "[";
      for (std::size_t i = 0; i < f.parts.size(); ++i)
        coordinates += (i ? "," : "") + Points(f.parts[i], heights);
      coordinates += "]";
    }
    out += k ? "," : "";
    out += "{\"type\":\"Feature\",\"properties\":{\"name\":";
    out += f.name ? "\"" + std::string(f.name) + "\"" : "null";
    out += ",\"owner\":\"Vecinos\",\"id\":" + std::to_string(k + 1) + "},\"geometry\":{\"type\":\"" +
           geometry + "\",\"coordinates\":" + coordinates + "}}";
  }
  return out + "]}";
}

// Shapefiles made by GDAL's ogr2ogr (as installed by scripts/setup.sh) from GeoJSON written
// here, in geographic WGS84 (names in the Windows code page GDAL writes by default, or in
// UTF-8) and in UTM zone 30N: the open command gives the features, names,
// vertices (every part, one after the other) and heights GDAL wrote.
TEST_F(ShapefileCommands, FilesWrittenByGdalOpenAsGdalWroteThem) {
  const std::string ogr2ogr = TVX_OGR2OGR;
  ASSERT_TRUE(fs::exists(ogr2ogr)) << "ogr2ogr (gdal-bin) is needed: scripts/setup.sh installs it";
  // Outer rings clockwise and holes counter-clockwise, as Shapefiles keep them.
  const std::vector<PeerFeature> polygons = {
      {"Huerta del Año", "Polygon",
       {{0, {{-3.70, 40.40, 0}, {-3.70, 40.41, 0}, {-3.69, 40.41, 0}, {-3.69, 40.40, 0}, {-3.70, 40.40, 0}}},
        {0, {{-3.698, 40.402, 0}, {-3.692, 40.402, 0}, {-3.692, 40.408, 0}, {-3.698, 40.402, 0}}}}},
      {"Dos parcelas", "MultiPolygon",
       {{0, {{-3.68, 40.40, 0}, {-3.68, 40.405, 0}, {-3.675, 40.405, 0}, {-3.68, 40.40, 0}}},
        {1, {{-3.67, 40.40, 0}, {-3.67, 40.406, 0}, {-3.664, 40.406, 0}, {-3.664, 40.40, 0}, {-3.67, 40.40, 0}}},
        {1, {{-3.668, 40.402, 0}, {-3.666, 40.402, 0}, {-3.666, 40.404, 0}, {-3.668, 40.402, 0}}}}},
      {nullptr, "Polygon",
       {{0, {{-3.66, 40.40, 0}, {-3.66, 40.401, 0}, {-3.659, 40.401, 0}, {-3.66, 40.40, 0}}}}},
  };
  const std::vector<PeerFeature> lines = {
      {"Camino", "LineString",
       {{0, {{-3.70, 40.40, 650.25}, {-3.69, 40.405, 651.5}, {-3.68, 40.41, 652.75}}}}},
      {"Acequia", "MultiLineString",
       {{0, {{-3.65, 40.40, 640}, {-3.64, 40.401, 641.01}}},
        {1, {{-3.63, 40.402, 642.5}, {-3.62, 40.403, 643}, {-3.61, 40.404, 644.5}}}}},
  };
  struct Case {
    const char* file;
    const std::vector<PeerFeature>* features;
    bool heights;
    const char* options;  // of ogr2ogr: a target system (else WGS84 degrees as written), ...
    CoordChoice opened;
    double toleranceM;
  };
  const Case cases[] = {
      {"polygons", &polygons, false, "", {false}, 1e-6},
      {"lines", &lines, true, "", {false}, 1e-6},
      {"polygons_utf8", &polygons, false, "-lco ENCODING=UTF-8", {false}, 1e-6},
      {"polygons_utm", &polygons, false, "-t_srs EPSG:32630", {true, 30, 0, 0}, 0.01},
      {"lines_utm", &lines, true, "-t_srs EPSG:32630", {true, 30, 0, 0}, 0.01},
  };
  Work(1, 0, false, 31);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string source = Path(std::string(c.file) + ".geojson");
    const std::string shp = Path(std::string(c.file) + ".shp");
    ASSERT_TRUE(platform::WriteFileReplacing(source, GeoJson(*c.features, c.heights)));
    const std::string command = "'" + ogr2ogr + "' -f 'ESRI Shapefile' '" + shp + "' '" + source +
                                "' " + c.options;
    ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;

    Open(shp, c.opened, "name");
    const std::vector<PeerFeature>& wrote = *c.features;
    ASSERT_EQ(doc_->m_features.size(), wrote.size());
    for (std::size_t k = 0; k < wrote.size(); ++k) {
      SCOPED_TRACE(k);
      const FeatureRecord& f = doc_->m_features[k];
      EXPECT_EQ(f.name, wrote[k].name ? wrote[k].name : LoadResString(59167));
      const bool line = std::string(wrote[k].geometry).find("Line") != std::string::npos;
      EXPECT_EQ(f.type, line ? FeatureType::Line : FeatureType::Area);
      EXPECT_EQ(f.editable, 0);
      std::vector<std::array<double, 3>> points;
      for (const PeerPart& part : wrote[k].parts)
        points.insert(points.end(), part.points.begin(), part.points.end());
      ASSERT_EQ(f.VertexCount(), points.size());
      for (std::size_t i = 0; i < points.size(); ++i) {
        const GeoPoint expected{points[i][0], points[i][1]};
        EXPECT_LT(Metres(f.wgs84Vertices[i], expected), c.toleranceM) << i;
        EXPECT_EQ(f.vertices[i], f.wgs84Vertices[i]) << i;  // the working datum is WGS84
        EXPECT_EQ(f.altitudesCm[i], std::lround(points[i][2] * 100)) << i;
      }
    }
    for (const auto& box : platform::MessageBoxScript::TakeShown()) ADD_FAILURE() << box.text;
  }
}

}  // namespace
