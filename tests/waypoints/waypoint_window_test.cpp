// The waypoint dialogs in a real wxWidgets application (under Xvfb), over a document with
// its real transformations: the table's displays, checks and edits, the name dialog and the
// properties pages.
#include <gtest/gtest.h>
#include <wx/app.h>

#include "dialogs/waypoint_dialogs.h"
#include "document/export_prompts.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "tests/options/doc_window_test.h"
#include "tests/options/window_helpers.h"
#include "tests/support/wx_test_environment.h"
#include "tests/waypoints/waypoint_test_data.h"

namespace {

using namespace optstest;
using tvxtest::Waypoint;

using WaypointWindows = DocWindowTest;

TEST_F(WaypointWindows, TableShowsBothDisplaysChecksCellsAndHandsBackTheEditedCopies) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_geoType = 1;
  doc.m_autoZone = 1;
  const std::vector<WaypointRecord> waypoints{Waypoint("A", -3.0, 0.0, 0, 101),
                                              Waypoint("B", -3.5, 40.25, 150, 102),
                                              Waypoint("C", -3.0, -10.0, 0, 103)};
  CDlgWaypointTable dialog("WGS84 / GRS80", 1, waypoints, {"na", "nb", "nc"}, &doc);
  std::string lonB, latB, header2, eastA, northA, zoneA, hemiC, northC, zoneAfter, eastAfter;
  int rows = 0, columnsGeo = 0, columnsUtm = 0;
  bool refused = false;
  wxTheApp->CallAfter([&] {
    CGridCtrl& grid = dialog.m_Grid;
    rows = grid.GetRowCount();
    columnsGeo = grid.GetColumnCount();
    lonB = grid.GetItemText(2, 2);
    latB = grid.GetItemText(2, 3);
    EXPECT_EQ(dialog.GetDlgItemText(1069), "WGS84 / GRS80");

    Choose(dialog, 1020, 0);  // the projected display
    columnsUtm = grid.GetColumnCount();
    header2 = grid.GetItemText(0, 2);
    eastA = grid.GetItemText(1, 2);
    northA = grid.GetItemText(1, 3);
    zoneA = grid.GetItemText(1, 5);
    hemiC = grid.GetItemText(3, 6);
    northC = grid.GetItemText(3, 3);

    platform::MessageBoxScript::Push(IDOK);
    refused = !grid.ReplaceCellText(1, 5, "61");
    EXPECT_TRUE(grid.ReplaceCellText(1, 5, "31"));  // re-expressed in zone 31
    zoneAfter = grid.GetItemText(1, 5);
    eastAfter = grid.GetItemText(1, 2);

    grid.SetSelectedRange(2, 0, 2, grid.GetColumnCount() - 1);
    ClickId(dialog, 1022);  // B is blanked
    // A new waypoint typed into a spare row.
    grid.ReplaceCellText(4, 1, "D");
    grid.ReplaceCellText(4, 2, "500000");
    grid.ReplaceCellText(4, 3, "4427757.219");  // PROJ: 40N on the central meridian
    grid.ReplaceCellText(4, 5, "30");
    grid.ReplaceCellText(4, 6, "N");
    ClickId(dialog, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(rows, 8);  // header, three waypoints, four spare rows
  EXPECT_EQ(columnsGeo, 5);
  EXPECT_EQ(lonB, "-03 30.0000");
  EXPECT_EQ(latB, "40 15.0000");
  EXPECT_EQ(columnsUtm, 7);
  EXPECT_EQ(header2, "Easting");
  // On the central meridian of zone 30 at the equator, and 10 degrees south of it.
  EXPECT_EQ(eastA, "500000.000");
  EXPECT_EQ(northA, "0.000");
  EXPECT_EQ(zoneA, "30");
  EXPECT_EQ(hemiC, "S");
  EXPECT_EQ(northC, "8894587.509");  // PROJ: EPSG:4326 -> EPSG:32730
  EXPECT_TRUE(refused);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Error in zone\nRow 1");
  EXPECT_EQ(zoneAfter, "31");
  EXPECT_NE(eastAfter, "500000.000");

  ASSERT_EQ(dialog.m_waypoints.size(), 3u);
  const WaypointRecord& a = dialog.m_waypoints[0];
  const WaypointRecord& c = dialog.m_waypoints[1];
  const WaypointRecord& d = dialog.m_waypoints[2];
  EXPECT_EQ(a.name, "A");
  EXPECT_NEAR(a.x, -3.0, 1e-7);  // back from zone 31
  EXPECT_NEAR(a.y, 0.0, 1e-7);
  EXPECT_EQ(a.timeStamp, 101);
  EXPECT_EQ(c.name, "C");
  EXPECT_NEAR(c.x, -3.0, 1e-7);
  EXPECT_NEAR(c.y, -10.0, 1e-7);
  EXPECT_EQ(d.name, "D");
  EXPECT_NEAR(d.x, -3.0, 1e-7);
  EXPECT_NEAR(d.y, 40.0, 1e-7);
  EXPECT_EQ(dialog.m_notes, (std::vector<std::string>{"na", "nc", ""}));
}

TEST_F(WaypointWindows, NameDialogAndPropertiesPages) {
  CDlgWptName name("Wpt");
  std::string title;
  bool stayed = false;
  wxTheApp->CallAfter([&] {
    title = name.GetWindowText();
    Type(name, 1124, "abcdefghijklmnopqrstuvwxyz12345");  // 31 characters
    platform::MessageBoxScript::Push(IDOK);
    ClickId(name, IDOK);
    stayed = name.GetDialog()->IsModal();
    Type(name, 1124, "Pozo 3");
    ClickId(name, IDOK);
  });
  ASSERT_EQ(name.DoModal(), IDOK);
  EXPECT_EQ(title, "Wpt");
  EXPECT_TRUE(stayed);
  EXPECT_EQ(name.m_name, "Pozo 3");
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please enter no more than 30 characters.");

  CPropertySheet sheet(std::string("Waypoint"));
  CPageWPTCoords coords(2);
  coords.m_texts[0] = "003º 15.0000'";
  CPageWPTPropiedades properties("W1", std::string(150, 'x'));
  sheet.AddPage(&coords);
  sheet.AddPage(&properties);
  std::string counterAtStart, counterTyped, longitude;
  bool zoneHidden = false;
  wxTheApp->CallAfter([&] {
    longitude = coords.GetDlgItemText(1212);
    zoneHidden = !coords.GetDlgItemWindow(1217)->IsShown() &&
                 !coords.GetDlgItemWindow(1218)->IsShown();
    ASSERT_TRUE(sheet.SetActivePage(1));
    counterAtStart = properties.GetDlgItemText(1259);
    Type(properties, 1211, std::string(159, 'y').c_str());
    counterTyped = properties.GetDlgItemText(1259);
    Type(properties, 1205, "W2");
    PressSheet(sheet, wxID_OK);
  });
  ASSERT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(longitude, "003º 15.0000'");
  EXPECT_TRUE(zoneHidden);
  EXPECT_EQ(counterAtStart, "009/159");
  EXPECT_EQ(counterTyped, "000/159");
  EXPECT_EQ(properties.m_name, "W2");
  EXPECT_EQ(properties.m_note, std::string(159, 'y'));
}

// Answers the coordinate-system question of an import.
class GeographicPrompts : public ExportPrompts {
 public:
  bool AskZoneDatum(const ZoneDatumQuestion&, ZoneDatumAnswer&) override { return false; }
  bool AskDxf(const DxfQuestion&, DxfAnswer&) override { return false; }
  bool AskCoordSystem(const CoordSystemQuestion& question, CoordSystemAnswer& answer) override {
    ++asked;
    kindItems = question.kindItems;
    answer.coordKind = coordKind;
    answer.datumChoice = 0;
    answer.kind = kind;
    return answers;
  }
  std::vector<std::string> kindItems;
  int asked = 0;
  bool answers = true;  // else the question is cancelled
  int coordKind = 0;
  int kind = 0;
  int AskNameField(const std::vector<std::string>&) override { return -1; }
};

TEST_F(WaypointWindows, ImportPutsPointsOnTopAndRefusesLines) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_geoType = 0;
  auto owned = std::make_unique<GeographicPrompts>();
  GeographicPrompts* prompts = owned.get();
  SetExportPrompts(std::move(owned));
  CDlgWaypointTable dialog("WGS84 / GRS80", 0, {Waypoint("A", 1.0, 2.0, 0, 0)}, {"na"}, &doc);
  std::string firstName, firstLon, thirdName, rowsAfterProjectedAsStored;
  wxTheApp->CallAfter([&] {
    // Projected coordinates "as stored" cannot be taken: nothing comes in, and the user is
    // told so.
    prompts->coordKind = 1;
    prompts->kind = 1;
    platform::FileDialogScript::Push(tvxtest::WriteShapefile("tvx_import_", SHPT_POINTZ, "NAME"));
    platform::MessageBoxScript::Push(IDOK);
    ClickId(dialog, 173);
    rowsAfterProjectedAsStored = dialog.m_Grid.GetItemText(2, 1);
    prompts->coordKind = 0;
    prompts->kind = 1;  // geographic as stored
    platform::FileDialogScript::Push(tvxtest::WriteShapefile("tvx_import_", SHPT_POINTZ, "NAME"));
    ClickId(dialog, 173);
    firstName = dialog.m_Grid.GetItemText(1, 1);
    firstLon = dialog.m_Grid.GetItemText(1, 2);
    thirdName = dialog.m_Grid.GetItemText(3, 1);
    platform::FileDialogScript::Push(tvxtest::WriteShapefile("tvx_import_line_", SHPT_ARC, "NAME"));
    platform::MessageBoxScript::Push(IDOK);
    ClickId(dialog, 173);
    ClickId(dialog, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  const std::vector<std::string> kindItems = prompts->kindItems;
  SetExportPrompts(nullptr);
  // The import's own choice in the dialog: convert, or take as stored.
  EXPECT_EQ(kindItems, (std::vector<std::string>{"Convert to the datum in use",
                                                 "Take as stored (geographic only)"}));
  EXPECT_EQ(rowsAfterProjectedAsStored, "");  // row 1 is still "A", row 2 a spare
  // Each point is inserted at the top: the file's last point comes first.
  EXPECT_EQ(firstName, "Pozo \u00f1");
  EXPECT_EQ(firstLon, "2.2500000");
  EXPECT_EQ(thirdName, "A");
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text,
            "Projected coordinates cannot be taken as stored: nothing was imported. Choose "
            "\"Convert to the datum in use\" to import them.");
  EXPECT_EQ(shown[1].text, "Only POINT type supported");
  EXPECT_EQ(shown[1].caption, "Error!");
  ASSERT_EQ(dialog.m_waypoints.size(), 3u);
  EXPECT_EQ(dialog.m_waypoints[1].name, "Fuente");
  EXPECT_EQ(dialog.m_waypoints[1].altitudeCm, 61235);
  EXPECT_EQ(dialog.m_notes, (std::vector<std::string>{"", "", "na"}));
}

// A row that cannot be read (its latitude cleared) is refused before anything reads the rows:
// the switch of display, the export and an import that needs the projected display; the
// display and the rows stay as they were, and once the latitude is typed OK takes it.
TEST_F(WaypointWindows, ARowThatCannotBeReadIsRefusedBeforeTheDisplayTheExportOrAnImport) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_geoType = 0;
  auto owned = std::make_unique<GeographicPrompts>();
  GeographicPrompts* prompts = owned.get();
  SetExportPrompts(std::move(owned));
  CDlgWaypointTable dialog("WGS84 / GRS80", 0, {Waypoint("A", -3.0, 40.0, 0, 0)}, {""}, &doc);
  int columns = 0, display = -1, askedByExport = -1, askedByImport = -1;
  bool cleared = false, stayed = false;
  GridCellId focus;
  std::string name, latitude;
  wxTheApp->CallAfter([&] {
    CGridCtrl& grid = dialog.m_Grid;
    cleared = grid.ReplaceCellText(1, 3, "");  // accepted: a row is filled one cell at a time
    // Answers for more boxes than the four refusals: a box that should not be is counted.
    for (int i = 0; i < 8; ++i) platform::MessageBoxScript::Push(IDOK);
    Choose(dialog, 1020, 0);  // the projected display
    columns = grid.GetColumnCount();
    display = CComboBox(dialog.GetDlgItem(1020)).GetCurSel();
    focus = grid.GetFocusCell();
    prompts->answers = false;  // an export that asked would end there
    ClickId(dialog, 1238);
    askedByExport = prompts->asked;
    prompts->answers = true;
    prompts->coordKind = 1;  // UTM, converted
    prompts->kind = 0;
    platform::FileDialogScript::Push(tvxtest::WriteShapefile("tvx_import_", SHPT_POINTZ, "NAME"));
    ClickId(dialog, 173);
    askedByImport = prompts->asked;
    name = grid.GetItemText(1, 1);
    latitude = grid.GetItemText(1, 3);
    ClickId(dialog, IDOK);
    stayed = dialog.GetDialog()->IsModal();
    grid.ReplaceCellText(1, 3, "40.5");
    ClickId(dialog, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  SetExportPrompts(nullptr);
  const auto shown = platform::MessageBoxScript::TakeShown();
  platform::MessageBoxScript::Clear();  // the answers left over
  EXPECT_TRUE(cleared);
  EXPECT_EQ(columns, 5);
  EXPECT_EQ(display, 1);  // "Lat / Lon"
  EXPECT_EQ(focus, GridCellId(1, 3));
  EXPECT_EQ(askedByExport, 0);
  EXPECT_EQ(askedByImport, 1);
  EXPECT_EQ(name, "A");  // nothing imported
  EXPECT_EQ(latitude, "");
  EXPECT_TRUE(stayed);
  ASSERT_EQ(shown.size(), 4u);
  for (const auto& box : shown) EXPECT_EQ(box.text, "Error in Latitude\nRow 1");
  ASSERT_EQ(dialog.m_waypoints.size(), 1u);
  EXPECT_NEAR(dialog.m_waypoints[0].x, -3.0, 1e-9);
  EXPECT_NEAR(dialog.m_waypoints[0].y, 40.5, 1e-9);
}

}  // namespace
