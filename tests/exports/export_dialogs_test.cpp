// The export and import settings dialogs: their rules without windows, and the real dialogs
// from the English module's templates under Xvfb (values in and out, zones refused, and the
// coordinate dialog's rows as the document's commands open it).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/wx_test_environment.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/win_app.h"
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
// with it) and offers the export kinds; opening a Shapefile tells how the shapes come in; the
// waypoint table's point import offers its own choice of what to do with the coordinates.
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
    EXPECT_EQ(seen, button == 1238 ? (std::vector<CoordinateRows>{exportRows, exportRows})
                                  : (std::vector<CoordinateRows>{pointImportRows, pointImportRows}));
  }
}

}  // namespace
