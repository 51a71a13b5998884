// The measuring windows in a real wxWidgets application (under Xvfb), with templates and
// strings from the English module: the compass points at the target, the divide dialog
// splits a square field and moves its dividing line, the averaging dialog counts samples and
// stores what its buttons chose.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <cmath>

#include "dialogs/measure_dialogs.h"
#include "dialogs/program_dialogs.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"
#include "platform/ui/dc.h"
#include "tests/measure/measure_windows.h"
#include "view/core/split_area.h"
#include "view/navigation_wnd.h"

namespace {

using tvxtest::PumpUntil;

class MeasureWindows : public MeasureWindowTest {
 protected:
  // A square field of about 100 m x 100 m near 2 E 41 N (working datum = WGS84).
  void SquareField(CTolvanixDoc& doc) {
    doc.DeleteAllFeatures();
    FeatureRecord& field = doc.AddFeature(FeatureType::Area, "Field");
    const double dLon = 100.0 / (111320.0 * std::cos(41.0 * 3.14159265358979 / 180.0));
    const double dLat = 100.0 / 110950.0;
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
      const GeoPoint p{2.0 + x * dLon, 41.0 + y * dLat};
      field.AddVertex(p, p, 0);
    }
    doc.m_current = 0;
    doc.RecomputeAreasAndWait(0);
  }

  // As the divide command leaves the document: the field hidden, its two halves appended and
  // measured, a division running.
  void DivideField(CTolvanixDoc& doc) {
    doc.m_savedVisibility = {1, 0};
    doc.m_features[0].visible = 0;
    AppendSplitParts(doc, SplitByVertices(doc.m_features[0]));
    doc.m_splitInProgress = true;
  }
};

bool Enabled(CWnd& wnd, int id) { return wnd.GetDlgItemWindow(id)->IsEnabled(); }

// Whether the screen shows the colour at the pixel (dx, dy) from the middle of the window's
// client area (lowered by down pixels), as the client area stands now: under a window manager
// the window gets its place and size (and the frame around it) some time after it is shown.
bool ScreenShows(CWnd& wnd, int dx, int dy, int down, COLORREF colour) {
  RECT client;
  wnd.GetClientRect(&client);
  CPoint p(client.right / 2 + dx, client.bottom / 2 + down + dy);
  wnd.ClientToScreen(&p);
  return tvxtest::PixelsOnScreen(wxRect(p.x, p.y, 1, 1), colour) == 1;
}

TEST_F(MeasureWindows, CompassNeedlePointsAtTheTargetInBothForms) {
  constexpr COLORREF kBlue = RGB(0, 0, 255);
  CNavigationWnd compass("Gate", 0, nullptr);
  ASSERT_TRUE(compass.Create());
  compass.ShowWindow(SW_SHOW);
  ASSERT_TRUE(PumpUntil([&] { return tvxtest::OnScreen(compass.GetWxWindow()); }));
  EXPECT_EQ(compass.GetWindowText(), "Gate");  // large form: the title

  // Walking north, the target due east: the needle points right (the large rose's middle is
  // 10 pixels below the client area's).
  compass.Update(0, 90, 100);
  ASSERT_TRUE(PumpUntil([&] { return compass.m_needleAngle == 0.0; }));
  EXPECT_TRUE(PumpUntil([&] { return ScreenShows(compass, 40, 0, 10, kBlue); }));
  EXPECT_FALSE(ScreenShows(compass, -40, 0, 10, kBlue));
  EXPECT_FALSE(ScreenShows(compass, 0, -40, 10, kBlue));

  // The menu button offers "Exit" and "Large" (checked); choosing "Large" goes small, where
  // the caption is the distance and, walking east, a target to the east lies straight ahead.
  platform::PopupMenuScript::Push(CNavigationWnd::kToggleSizeCommand);
  Click(compass, CNavigationWnd::kMenuButton);
  const auto menus = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(menus.size(), 1u);
  ASSERT_EQ(menus[0].items.size(), 2u);
  EXPECT_EQ(menus[0].items[0].id, 32809u);
  EXPECT_EQ(menus[0].items[1].text, "Large");
  EXPECT_TRUE(menus[0].items[1].flags & MF_CHECKED);
  ASSERT_FALSE(compass.m_large);
  compass.Update(90, 90, 100);
  EXPECT_EQ(compass.GetWindowText(), "100.00 m");
  EXPECT_TRUE(PumpUntil([&] { return ScreenShows(compass, 0, -12, 0, kBlue); }));
  EXPECT_FALSE(ScreenShows(compass, 12, 0, 0, kBlue));
  compass.OnCancel();
}

TEST_F(MeasureWindows, DivideDialogSplitsASquareAndMovesItsLineOnceAfterABurst) {
  CTolvanixDoc& doc = MakeDoc();
  SquareField(doc);
  const double whole = doc.m_features[0].area;
  ASSERT_GT(whole, 9000.0);
  DivideField(doc);

  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    auto* dialog = new CDlgDividirArea(&doc);
    dialog->m_title = "Divide (Field)";
    ASSERT_TRUE(dialog->Create());
    dialog->ShowWindow(SW_SHOW);
    EXPECT_EQ(dialog->GetWindowText(), "Divide (Field)");
    EXPECT_EQ(dialog->m_part1, 1);
    EXPECT_EQ(dialog->m_part2, 2);
    // The diagonal halves the square (as far as the square is one in UTM).
    EXPECT_NEAR(doc.m_features[1].area + doc.m_features[2].area, whole, whole * 1e-9);
    EXPECT_NEAR(doc.m_features[1].area, whole / 2, whole * 1e-4);
    EXPECT_EQ(dialog->GetDlgItemText(1219), doc.GetAreaText(1, true));
    // Perimeters: the closed outline, longer than the open run of the part's vertices.
    EXPECT_EQ(dialog->GetDlgItemText(1222), doc.GetLengthText(1, 2));
    EXPECT_GT(doc.m_features[2].perimeter, doc.m_features[2].length + 1.0);

    // Two presses move end b forwards: part 1 takes vertices 3 and 0 and becomes the whole
    // ring, part 2 keeps vertex 0 alone; measured once, half a second after the second press.
    Click(*dialog, 1230);
    Click(*dialog, 1230);
    EXPECT_EQ(dialog->m_recomputations, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog->m_recomputations > 0; }));
    EXPECT_EQ(dialog->m_recomputations, 1);
    EXPECT_EQ(doc.m_features[1].VertexCount(), 5u);
    EXPECT_EQ(doc.m_features[2].VertexCount(), 1u);
    EXPECT_NEAR(doc.m_features[1].area, whole, whole * 1e-9);
    EXPECT_EQ(dialog->GetDlgItemText(1219), doc.GetAreaText(1, true));
    // A part of one vertex gives nothing more away.
    Click(*dialog, 1230);
    EXPECT_EQ(doc.m_features[2].VertexCount(), 1u);

    Click(*dialog, ok ? IDOK : IDCANCEL);
    EXPECT_FALSE(doc.m_splitInProgress);
    EXPECT_TRUE(doc.m_savedVisibility.empty());
    EXPECT_EQ(doc.m_features[0].visible, 1);
    EXPECT_EQ(doc.m_features.size(), ok ? 3u : 1u);
    delete dialog;
    if (!ok) {
      DivideField(doc);  // again, for the OK round
      doc.SetModifiedFlag(FALSE);
    }
  }
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(MeasureWindows, AveragingDialogCountsSamplesAndStoresTheChosenCapture) {
  CTolvanixDoc& doc = MakeDoc();
  Feed(Gga(2.0, 41.0, 1, 1.0, 120.0));
  Feed(Rmc(2.0, 41.0));
  ASSERT_TRUE(doc.m_hasFix);

  CDlgAveraging dialog;
  int stops = 0;
  dialog.SetStopHandler([&] { ++stops; });
  bool okAtStart = true, choicesAtStart = true, okAfterChoice = false;
  std::string count;
  wxTheApp->CallAfter([&] {
    okAtStart = Enabled(dialog, IDOK);
    choicesAtStart = Enabled(dialog, 1051) || Enabled(dialog, 1052);
    AverageTexts texts;
    for (int i = 0; i < 3; ++i) {
      if (doc.AddAverageSample(texts)) dialog.ShowTexts(texts);
    }
    count = dialog.GetDlgItemText(1049);
    Click(dialog, 1050);
    Click(dialog, 1052);
    okAfterChoice = Enabled(dialog, IDOK);
    Click(dialog, 1051);
    // Not a number: said so, and the dialog stays.
    platform::MessageBoxScript::Push(IDOK);
    dialog.SetDlgItemText(1107, "twelve");
    Click(dialog, IDOK);
    dialog.SetDlgItemText(1107, "12.345");
    Click(dialog, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_FALSE(okAtStart);
  EXPECT_FALSE(choicesAtStart);
  EXPECT_EQ(count, "3");
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(okAfterChoice);
  EXPECT_EQ(dialog.m_choice, 3);  // waypoint and vertex
  EXPECT_EQ(dialog.m_altitudeCm, 1235);  // to the nearest centimetre
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
}

}  // namespace

namespace {

// Selects a line of a list box as the user does: the control changes, then tells its window.
void ChooseLine(CWnd& wnd, int id, int index) {
  wxWindow* list = wnd.GetDlgItemWindow(id);
  dynamic_cast<wxItemContainer*>(list)->SetSelection(index);
  wxCommandEvent event(wxEVT_LISTBOX, id);
  event.SetEventObject(list);
  event.SetInt(index);
  list->ProcessWindowEvent(event);
}

// An object of the point-distance dialog chosen, and the dialog told.
void ChooseObject(CWnd& wnd, int combo, int index) {
  CComboBox(wnd.GetDlgItem(combo)).SetCurSel(index);
  wnd.OnCmdMsg(ControlNotifyId(combo, CBN_SELCHANGE), CN_COMMAND, nullptr);
}

double ShownMetres(CWnd& wnd) { return std::atof(wnd.GetDlgItemText(1041).c_str()); }

// The distance command's dialog with "GPS" chosen before any new fix arrives: the first
// distance is measured from the position the document holds, not from 0, 0.
TEST_F(MeasureWindows, PointDistanceToTheReceiverStartsFromTheDocumentsPosition) {
  CTolvanixDoc& doc = MakeDoc();
  SquareField(doc);
  Feed(Gga(2.0, 41.0 + 100.0 / 110950.0));  // about 100 m north of the field's first corner
  ASSERT_TRUE(doc.m_hasFix);
  InstallProgramDialogs();
  struct Uninstall {
    ~Uninstall() { CTolvanixDoc::SetDocumentDialogs(nullptr); }
  } uninstall;
  std::string shown = "not shown";
  wxTheApp->CallAfter([&] {
    CDlgPointDistance* dialog = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
      if (auto* d = dynamic_cast<CDlgPointDistance*>(CWnd::FromWxWindow(w))) dialog = d;
    ASSERT_NE(dialog, nullptr);
    // The field, "Wpt", then "GPS": the second side goes to the receiver's position.
    ChooseObject(*dialog, 1043, 2);
    ChooseLine(*dialog, 1040, 0);
    shown = dialog->GetDlgItemText(1041);
    Click(*dialog, IDOK);
  });
  ASSERT_TRUE(doc.OnCmdMsg(32824, CN_COMMAND, nullptr));
  EXPECT_FALSE(doc.m_pointDistanceOpen);
  std::string expected;
  doc.FormatLength(expected, doc.UtmDistance(doc.m_features[0].vertices[0],
                                             {doc.m_datumLon, doc.m_datumLat}));
  EXPECT_EQ(shown, expected);
  EXPECT_NEAR(std::atof(shown.c_str()), 100.0, 1.0);
}

TEST_F(MeasureWindows, PointDistanceBetweenVerticesAndFromTheReceiver) {
  CTolvanixDoc& doc = MakeDoc();
  SquareField(doc);
  doc.AddFeature(FeatureType::Line, "Empty");
  double between = -1, gpsToGps = -1;
  int emptyLines = 99;
  std::string afterEmpty = "unchanged";
  CDlgPointDistance dialog(true, 0, &doc);
  wxTheApp->CallAfter([&] {
    // Both sides start on the field's first vertex; the second side moves to vertex 2.
    ChooseLine(dialog, 1040, 1);
    between = ShownMetres(dialog);
    // "GPS" follows the features and "Wpt": object 3 on both sides.
    for (int combo : {1042, 1043}) ChooseObject(dialog, combo, 3);
    dialog.SetGpsPosition(2.0005, 41.0005);
    gpsToGps = ShownMetres(dialog);
    // A feature without vertices lists nothing and measures nothing.
    ChooseObject(dialog, 1042, 1);
    emptyLines = CComboBox(dialog.GetDlgItem(1039)).GetCount();
    dialog.SetGpsPosition(2.001, 41.001);
    afterEmpty = dialog.GetDlgItemText(1041);
    Click(dialog, IDOK);
  });
  dialog.DoModal();
  EXPECT_NEAR(between, 100.0, 0.5);  // one side of the 100 m square
  EXPECT_EQ(gpsToGps, 0.0);
  EXPECT_EQ(emptyLines, 0);
  EXPECT_EQ(afterEmpty, "");
}

}  // namespace
