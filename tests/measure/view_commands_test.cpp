// The map view's dividing and navigation commands in a real frame (under Xvfb): what the
// document holds and shows before, during and after a division, and the compass opened and
// closed from the waypoint popup.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/measure_dialogs.h"
#include "dialogs/options_sheet.h"
#include "platform/ui/dc.h"
#include "platform/ui/input.h"
#include "tests/measure/measure_windows.h"
#include "tests/options/window_helpers.h"
#include "tests/view/real_input.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"

// What a window manager sends when the close box of the top-level window titled `title` is
// pressed (tests/measure/close_box.cpp). False when no such window is found.
bool PressCloseBox(const std::string& title);

namespace {

class MeasureViewCommands : public MeasureWindowTest {
 protected:
  void SetUp() override {
    MeasureWindowTest::SetUp();
    if (IsSkipped()) return;
    Store("Labels", 0);

    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CFrameWnd, CTolvanixView>(128));
    mapDoc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    ASSERT_NE(mapDoc_, nullptr);
    frame_ = template_->GetFrame();
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    frame_->ShowWindow(SW_SHOW);

    // A field (about 110 m x 110 m) and a second, visible feature.
    mapDoc_->m_features.clear();
    FeatureRecord& field = mapDoc_->AddFeature(FeatureType::Area, "Field");
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0015, 0.0}, {0.0015, 0.001}, {0.0, 0.001}}) {
      const GeoPoint p{2.0 + x, 41.0 + y};
      field.AddVertex(p, p, 0);
    }
    mapDoc_->AddFeature(FeatureType::Line, "Track").visible = 1;
    mapDoc_->m_current = 0;
    InstallOptionsSheet();  // as at start-up
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    CTolvanixDoc::SetOptionsSheet(nullptr);
    if (frame_) frame_->DestroyWindow();
    tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
    template_.reset();
    MeasureWindowTest::TearDown();
  }

  // The field made a ring of n vertices, 200 m in radius, round 2 E 41 N, and measured.
  FeatureRecord& RingField(int n) {
    FeatureRecord& field = mapDoc_->m_features[0];
    field.FreeVertices();
    for (int i = 0; i < n; ++i) {
      const double a = 2.0 * 3.14159265358979 * i / n;
      const GeoPoint p{2.0 + 200.0 * std::cos(a) / kMetresLon, 41.0 + 200.0 * std::sin(a) / kMetresLat};
      field.AddVertex(p, p, 0);
    }
    mapDoc_->RecomputeAreasAndWait(0);
    return field;
  }
  // The options command, its sheet changed on the page chosen and ended with OK.
  void ApplyOptions(std::function<CPropertyPage*(CPropiedadesOpciones&)> page,
                    std::function<void(CPropertyPage&)> change) {
    wxTheApp->CallAfter([page, change] {
      CPropiedadesOpciones* sheet = nullptr;
      for (wxWindow* w : wxTopLevelWindows)
        if (auto* s = dynamic_cast<CPropiedadesOpciones*>(CWnd::FromWxWindow(w))) sheet = s;
      ASSERT_NE(sheet, nullptr);
      CPropertyPage* shown = page(*sheet);
      for (int i = 0; i < sheet->GetPageCount(); ++i)
        if (sheet->GetPage(i) == shown) sheet->SetActivePage(i);
      change(*shown);
      optstest::PressSheet(*sheet, wxID_OK);
    });
    view_->RunCommand(32778);
  }
  // UTM of zone 30 chosen by hand on the units page (for positions in zone 31).
  void ChooseUtmZone30() {
    ApplyOptions([](CPropiedadesOpciones& sheet) { return sheet.m_units.get(); },
                 [](CPropertyPage& units) {
                   optstest::Pick(units, 1016);  // UTM
                   optstest::Tick(units, 1068, false);  // the zone by hand
                   optstest::Type(units, 1017, "30");
                 });
    ASSERT_EQ(mapDoc_->m_coord, 1);
    ASSERT_EQ(mapDoc_->m_zone, 30);
  }
  void FeedFix(double lon, double lat) {
    const std::string gga = Gga(lon, lat);
    mapDoc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(gga.data()), gga.size());
  }

  static constexpr double kMetresLon = 111320.0 * 0.754709580;  // at 41 N
  static constexpr double kMetresLat = 111050.0;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* mapDoc_ = nullptr;
  CFrameWnd* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

TEST_F(MeasureViewCommands, DividingShowsOnlyThePartsAndCancelPutsEverythingBack) {
  for (bool numbersOn : {false, true}) {
    SCOPED_TRACE(numbersOn ? "numbers on" : "numbers off");
    view_->m_showLabels = numbersOn ? 1 : 0;
    mapDoc_->m_features[1].visible = 1;
    view_->OnSplitFeature();
    ASSERT_EQ(mapDoc_->m_features.size(), 4u);
    EXPECT_EQ(mapDoc_->m_features[2].name, "Field 1/2");
    EXPECT_EQ(mapDoc_->m_features[3].VertexCount(), 3u);
    EXPECT_EQ(mapDoc_->m_features[0].visible, 0);
    EXPECT_EQ(mapDoc_->m_features[1].visible, 0);
    EXPECT_TRUE(mapDoc_->m_splitInProgress);
    EXPECT_EQ(view_->m_showLabels, 1);
    ASSERT_TRUE(view_->m_splitDialog);
    EXPECT_EQ(view_->m_splitDialog->GetWindowText(), "Divide (Field)");
    // The headings say what stands below them: each part's area and its closed perimeter.
    EXPECT_EQ(view_->m_splitDialog->GetDlgItemText(1223), "Area");
    EXPECT_EQ(view_->m_splitDialog->GetDlgItemText(1224), "Perimeter");
    EXPECT_EQ(view_->m_splitDialog->GetDlgItemText(1221), mapDoc_->GetLengthText(1, 2));
    // The two halves measured as they were appended make up the field.
    mapDoc_->RecomputeAreasAndWait(0);
    const double whole = mapDoc_->m_features[0].area;
    EXPECT_NEAR(whole, 126.0 * 111.0, 100.0);
    EXPECT_NEAR(mapDoc_->m_features[2].area + mapDoc_->m_features[3].area, whole, whole * 1e-9);

    Click(*view_->m_splitDialog, IDCANCEL);
    // The numbers go off again only when the division switched them on.
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showLabels == (numbersOn ? 1 : 0); }));
    EXPECT_EQ(mapDoc_->m_features.size(), 2u);
    EXPECT_EQ(mapDoc_->m_features[0].visible, 1);
    EXPECT_EQ(mapDoc_->m_features[1].visible, 1);
    EXPECT_FALSE(mapDoc_->m_splitInProgress);
  }
}

// The dividing line moved and OK pressed at once, before the half second after which a move
// is measured: the parts are kept with the measures of their final shape.
TEST_F(MeasureViewCommands, AMoveThenOkAtOnceKeepsThePartsMeasuredAsTheyStand) {
  mapDoc_->RecomputeAreasAndWait(0);
  const double whole = mapDoc_->m_features[0].area;
  view_->RunCommand(32852);  // divide
  ASSERT_TRUE(view_->m_splitDialog);
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  EXPECT_NEAR(mapDoc_->m_features[2].area, whole / 2, whole * 1e-4);

  // End b forwards: part 1 takes the fourth corner and becomes the whole field, part 2 keeps
  // two corners and no area.
  Click(*view_->m_splitDialog, 1230);
  Click(*view_->m_splitDialog, IDOK);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !mapDoc_->m_splitInProgress; }));
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  ASSERT_EQ(mapDoc_->m_features[2].VertexCount(), 4u);
  ASSERT_EQ(mapDoc_->m_features[3].VertexCount(), 2u);
  const double stored[] = {mapDoc_->m_features[2].area, mapDoc_->m_features[3].area};
  const double perimeters[] = {mapDoc_->m_features[2].perimeter, mapDoc_->m_features[3].perimeter};
  for (int part : {2, 3}) mapDoc_->RecomputeAreasAndWait(part);
  EXPECT_DOUBLE_EQ(stored[0], mapDoc_->m_features[2].area);
  EXPECT_DOUBLE_EQ(stored[1], mapDoc_->m_features[3].area);
  EXPECT_DOUBLE_EQ(perimeters[0], mapDoc_->m_features[2].perimeter);
  EXPECT_DOUBLE_EQ(perimeters[1], mapDoc_->m_features[3].perimeter);
  EXPECT_NEAR(stored[0], whole, whole * 1e-9);
  EXPECT_EQ(stored[1], 0.0);
}

TEST_F(MeasureViewCommands, DividingByATappedLineAddsBothEndsToBothParts) {
  // The first press starts tapping; a press before the second end only ends it.
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 14);
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(mapDoc_->m_features.size(), 2u);

  // Ends tapped next to the south-west and north-east corners.
  view_->OnSplitByLine();
  mapDoc_->m_tapPoint1 = mapDoc_->m_tapPoint1Wgs84 = {2.00001, 41.00001};
  mapDoc_->m_tapPoint2 = mapDoc_->m_tapPoint2Wgs84 = {2.00149, 41.00099};
  view_->m_tapMode = 15;
  view_->m_secondPointSet = 1;
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(view_->m_secondPointSet, 0);
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  const FeatureRecord& second = mapDoc_->m_features[3];  // A, vertices 0..2, B
  ASSERT_EQ(second.VertexCount(), 5u);
  EXPECT_EQ(second.vertexNotes.front(), "A");
  EXPECT_EQ(second.vertexNotes.back(), "B");
  EXPECT_EQ(mapDoc_->m_features[2].vertexNotes.front(), "B");
  EXPECT_TRUE(mapDoc_->IsModified());
}

// Automatic capture into a new field right after a large one (250 vertices) was measured: the
// rule that leaves captures into large features unmeasured looks at the new field itself, so
// each fix taken into it is measured and its area shown without the out-of-date marker.
TEST_F(MeasureViewCommands, AutomaticCaptureAfterALargeFieldWasMeasuredMeasuresTheNewField) {
  const FeatureRecord& large = RingField(250);  // measured, as a document just opened is
  ASSERT_GT(large.area, 120000.0);

  FeatureRecord& field = mapDoc_->AddFeature(FeatureType::Area, "New");
  const GeoPoint start{2.01, 41.0};
  field.AddVertex(start, start, 0);  // its first point, captured by hand
  mapDoc_->m_current = static_cast<int>(mapDoc_->m_features.size()) - 1;
  view_->RunCommand(32802);  // automatic capture on
  ASSERT_TRUE(mapDoc_->m_autoCapture);

  // Walking a square of 30 m: each corner is more than the 10 m interval from the last one.
  for (auto [x, y] : {std::pair{30.0, 0.0}, {30.0, 30.0}, {0.0, 30.0}}) {
    const std::size_t before = field.VertexCount();
    FeedFix(start.x + x / kMetresLon, start.y + y / kMetresLat);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return mapDoc_->CurrentFeature()->VertexCount() > before; }));
  }
  ASSERT_EQ(mapDoc_->CurrentFeature()->VertexCount(), 4u);
  // Until the result of the last capture's measurement is stored.
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return mapDoc_->CurrentMeasuresUpToDate(); }));
  EXPECT_TRUE(mapDoc_->CurrentMeasuresUpToDate());
  EXPECT_NEAR(mapDoc_->CurrentFeature()->area, 900.0, 2.0);
  EXPECT_EQ(mapDoc_->GetAreaText(-1, false).find('*'), std::string::npos);
  view_->RunCommand(32802);  // off again
}

// A field past 200 vertices whose latest capture left its measures out of date: dividing it
// along a tapped line measures the two new parts, and the field's own texts still say that
// its measures are out of date.
TEST_F(MeasureViewCommands, MeasuringOtherFeaturesLeavesTheOutOfDateMarkOfTheCurrentField) {
  RingField(220);
  FeedFix(2.0, 41.0);
  mapDoc_->CapturePoint();  // the 221st vertex: not measured
  ASSERT_EQ(mapDoc_->m_features[0].VertexCount(), 221u);
  ASSERT_NE(mapDoc_->GetAreaText(-1, false).find('*'), std::string::npos);

  view_->RunCommand(32885);  // divide by line: the ends are tapped next to two vertices
  mapDoc_->m_tapPoint1 = mapDoc_->m_tapPoint1Wgs84 = {2.0 + 190.0 / kMetresLon, 41.0};
  mapDoc_->m_tapPoint2 = mapDoc_->m_tapPoint2Wgs84 = {2.0 - 190.0 / kMetresLon, 41.0};
  view_->m_tapMode = 15;
  view_->m_secondPointSet = 1;
  view_->RunCommand(32885);
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  EXPECT_GT(mapDoc_->m_features[2].area, 10000.0);
  EXPECT_NE(mapDoc_->GetAreaText(-1, false).find('*'), std::string::npos);
  EXPECT_NE(mapDoc_->GetLengthText(0, -1).find('*'), std::string::npos);
}

// The options change the map system (UTM of zone 30 chosen by hand for a field in zone 31)
// while automatic capture runs: the distance to the last captured point is measured in the
// new system on both ends, so a fix where that point was taken captures nothing, and the
// next one past the interval is captured.
TEST_F(MeasureViewCommands, OptionsChangingTheMapSystemDoNotMakeAutomaticCaptureJump) {
  const GeoPoint last{2.0, 41.0015};
  FeedFix(last.x, last.y);
  mapDoc_->CapturePoint();  // the field's fifth vertex
  ASSERT_EQ(mapDoc_->m_features[0].VertexCount(), 5u);
  view_->RunCommand(32802);  // automatic capture on
  ASSERT_TRUE(mapDoc_->m_autoCapture);
  ChooseUtmZone30();

  FeedFix(last.x, last.y);  // where the last point was taken
  // Posted messages come in turn: once this one is delivered, the fix's has been handled.
  bool handled = false;
  wxTheApp->CallAfter([&] { handled = true; });
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return handled; }));
  EXPECT_EQ(mapDoc_->m_features[0].VertexCount(), 5u);
  FeedFix(last.x, last.y + 15.0 / kMetresLat);  // 15 m on
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return mapDoc_->m_features[0].VertexCount() > 5; }));
  ASSERT_EQ(mapDoc_->m_features[0].VertexCount(), 6u);
  EXPECT_NEAR(mapDoc_->m_features[0].wgs84Vertices[5].y, last.y + 15.0 / kMetresLat, 1e-7);
  view_->RunCommand(32802);  // off again
}

// Imperial units chosen in the options while a division is open: the divide dialog shows the
// parts' measures in them at once, not the texts of the old units.
TEST_F(MeasureViewCommands, OptionsAppliedDuringADivisionReachTheDivideDialog) {
  view_->RunCommand(32852);  // divide
  ASSERT_TRUE(view_->m_splitDialog);
  CDlgDividirArea& dialog = *view_->m_splitDialog;
  const std::string metric = dialog.GetDlgItemText(1219);
  ASSERT_EQ(metric, mapDoc_->GetAreaText(2, true));

  ApplyOptions([](CPropiedadesOpciones& sheet) { return sheet.m_other.get(); },
               [](CPropertyPage& other) { optstest::Pick(other, 1004); });  // imperial
  ASSERT_EQ(mapDoc_->m_metrica, 1);
  const std::string imperial = mapDoc_->GetAreaText(2, true);
  ASSERT_NE(imperial, metric);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return dialog.GetDlgItemText(1219) == imperial; }));
  EXPECT_EQ(dialog.GetDlgItemText(1222), mapDoc_->GetLengthText(1, 3));
  Click(dialog, IDCANCEL);
}

// A circle being walked when the options change the map system: its centre goes into the new
// system with the fixes, so the next fix gives the radius walked, not the distance between
// two zones.
TEST_F(MeasureViewCommands, OptionsChangingTheMapSystemKeepTheCircleBeingWalked) {
  const GeoPoint centre{2.0, 41.01};
  FeedFix(centre.x, centre.y);
  ASSERT_TRUE(mapDoc_->OnCmdMsg(32882, CN_COMMAND, nullptr));  // circle from the GPS
  ASSERT_TRUE(mapDoc_->m_definingCircle);
  const int circle = mapDoc_->m_current;
  FeedFix(centre.x, centre.y + 10.0 / kMetresLat);
  ASSERT_TRUE(tvxtest::PumpUntil([&] {
    return mapDoc_->m_features[circle].VertexCount() == 3 && !mapDoc_->m_areaBusy &&
           std::fabs(mapDoc_->m_features[circle].area - 314.16) < 3.0;
  }));

  ChooseUtmZone30();
  FeedFix(centre.x, centre.y + 12.0 / kMetresLat);
  // The circle follows the fix; the radius of 12 m shows once it is measured.
  EXPECT_TRUE(tvxtest::PumpUntil([&] {
    return !mapDoc_->m_areaBusy && std::fabs(mapDoc_->m_features[circle].area - 452.39) < 5.0;
  }));
  EXPECT_NEAR(mapDoc_->m_features[circle].area, 452.39, 5.0);
  ASSERT_TRUE(mapDoc_->OnCmdMsg(32882, CN_COMMAND, nullptr));  // the circle ends
}

TEST_F(MeasureViewCommands, WaypointPopupStartsAndStopsTheCompass) {
  WaypointRecord gate;
  gate.name = "Gate";
  gate.x = 2.001;
  gate.y = 41.0;
  mapDoc_->m_waypoints.push_back(gate);
  mapDoc_->m_waypointNotes.emplace_back();
  mapDoc_->m_navStyle = 0;
  mapDoc_->m_navSound = 0;
  view_->m_popupWaypoint = 0;

  view_->OnNavigateWaypoint();
  ASSERT_TRUE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 1);
  EXPECT_EQ(view_->m_navWnd->GetWindowText(), "Gate");
  // Standing 0.001 degree of longitude west of the gate: about 84 m, due east.
  mapDoc_->m_datumLon = 2.0;
  mapDoc_->m_datumLat = 41.0;
  view_->UpdateNavigation();
  EXPECT_NEAR(view_->m_navWnd->m_distance, 84.0, 1.0);
  EXPECT_NEAR(view_->m_navWnd->m_bearing, 90.0, 1.0);

  view_->OnNavigateWaypoint();  // the same waypoint again: navigation ends
  EXPECT_FALSE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 0);
  EXPECT_EQ(view_->m_navTargetIndex, -1);
}

// ---------------------------------------------------------------------------------------
// Real input during a division and on the compass.

class MeasureViewInput : public MeasureViewCommands {
 protected:
  void SetUp() override {
    MeasureViewCommands::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    mapDoc_->m_notifyActive = 0;
    // Under a window manager the frame takes its size once the manager has placed it.
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame_->GetFrame()));
    frame_->GetFrame()->SetClientSize(420, 360);
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return view_->ClientWidth() == 420 && frame_->GetFrame()->GetScreenRect().width >= 420;
    }));
  }
  bool Enabled(UINT id) {
    CCmdUI ui(id);
    ui.DoUpdate(frame_, TRUE);
    return ui.enabled.value_or(true);
  }
  int CountColour(COLORREF colour) {
    CClientDC dc(view_);
    int count = 0;
    for (int y = 2 * view_->m_rowUnit; y < view_->ClientHeight() - view_->m_rowUnit; ++y)
      for (int x = 0; x < view_->ClientWidth(); ++x) count += dc.GetPixel(x, y) == colour;
    return count;
  }
  void WaypointAt(const char* name, double lon) {
    WaypointRecord w;
    w.name = name;
    w.x = lon;
    w.y = 41.0;
    mapDoc_->m_waypoints.push_back(w);
    mapDoc_->m_waypointNotes.emplace_back();
  }
};

constexpr COLORREF kFieldBlue = 0xFF0000;
constexpr COLORREF kPartGreen = 0x00FF00;
constexpr COLORREF kPartRed = 0x0000FF;

// While the field is divided, nothing the user does adds a feature after the two parts; a
// tap lands on what the right half shows; Cancel leaves exactly the user's features.
TEST_F(MeasureViewInput, DivisionRefusesNewFeaturesAndCancelLeavesTheUsersOnes) {
  FeatureRecord& field = mapDoc_->m_features[0];
  field.colour = kFieldBlue;
  field.pattern = 0;
  FeatureRecord& track = mapDoc_->m_features[1];
  for (double x : {0.0005, 0.001}) {
    const GeoPoint p{2.0 + x, 41.0005};
    track.AddVertex(p, p, 0);
  }
  track.colour = 0x404040;
  view_->m_showTitles = 1;

  view_->RunCommand(32878);  // new line by taps
  ASSERT_EQ(view_->m_tapMode, 6);
  view_->RunCommand(32852);  // divide
  ASSERT_TRUE(mapDoc_->m_splitInProgress);
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !mapDoc_->m_needsRedraw; }));
  tvxtest::PumpFor(100);
  EXPECT_GT(CountColour(kPartGreen), 20) << "the parts are drawn";

  // A tap that would start a line, a new feature from the menu and the combined start on
  // Enter: all refused.
  const int left = view_->MapLeft();
  ASSERT_GT(left, 100);
  // The division's window is put in the screen's bottom-left corner, off the map, as a user
  // drags it aside.
  wxWindow* divide = view_->m_splitDialog->GetWxWindow();
  const wxRect mapArea = view_->GetWxWindow()->GetScreenRect();
  divide->Move(0, wxGetDisplaySize().y - divide->GetSize().y - 40);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !divide->GetScreenRect().Intersects(mapArea); }));
  tvxtest::RealClick(*view_, left + 20, view_->ClientHeight() / 2);
  EXPECT_EQ(mapDoc_->m_features.size(), 4u);
  EXPECT_FALSE(Enabled(32842));
  EXPECT_FALSE(Enabled(32862));
  view_->m_keyActions[8] = 24;  // Enter reaches the view: the HDOP filter switches
  const int filter = mapDoc_->m_hdopFilterOn;
  tvxtest::RealKey(*view_, WXK_RETURN);
  EXPECT_NE(mapDoc_->m_hdopFilterOn, filter);
  view_->m_keyActions[8] = 25;  // Enter: new feature, automatic capture, a point
  tvxtest::RealKey(*view_, WXK_RETURN);
  EXPECT_EQ(mapDoc_->m_features.size(), 4u);

  // The tap mode can still be left; then a tap on the first part's first vertex, drawn in
  // the right half, offers that part.
  view_->RunCommand(32878);
  ASSERT_EQ(view_->m_tapMode, 0);
  ASSERT_FALSE(view_->m_featurePoints.empty());
  const ScreenPoint first = view_->m_featurePoints[0];
  platform::PopupMenuScript::Push(0);  // dismissed
  tvxtest::RealClick(*view_, first.x + left, first.y + 2 * view_->m_rowUnit);
  const auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_FALSE(shown[0].items.empty());
  EXPECT_EQ(shown[0].items[0].text, "Field 1/2");

  ASSERT_TRUE(view_->m_splitDialog);
  wxWindow* cancel = view_->m_splitDialog->GetDlgItemWindow(IDCANCEL);
  ASSERT_NE(cancel, nullptr);
  tvxtest::RealClick(*cancel);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !mapDoc_->m_splitInProgress; }));
  ASSERT_EQ(mapDoc_->m_features.size(), 2u);
  EXPECT_EQ(mapDoc_->m_features[0].name, "Field");
  EXPECT_EQ(mapDoc_->m_features[1].name, "Track");
  EXPECT_EQ(mapDoc_->m_features[0].visible, 1);
  EXPECT_EQ(mapDoc_->m_features[1].visible, 1);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !mapDoc_->m_needsRedraw; }));
  tvxtest::PumpFor(100);
  EXPECT_EQ(CountColour(kPartGreen), 0) << "no part left on screen";
  EXPECT_EQ(CountColour(kPartRed), 0);
  EXPECT_GT(CountColour(kFieldBlue), 1000) << "the field is back";
}

// Dividing by line from another tap mode ends that mode without dividing.
TEST_F(MeasureViewInput, DivideByLineFromAnotherTapModeEndsIt) {
  view_->RunCommand(32845);  // point query
  ASSERT_EQ(view_->m_tapMode, 1);
  view_->RunCommand(32885);
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(view_->m_twoPointBar, 0);
  EXPECT_EQ(mapDoc_->m_features.size(), 2u);
}

// The compass closed by its close box ends navigation as "Exit" does; so that a new start
// opens a fresh compass.
TEST_F(MeasureViewInput, CompassClosedByItsCloseBoxStopsNavigation) {
  WaypointAt("Gate", 2.001);
  mapDoc_->m_navStyle = 0;
  mapDoc_->m_navSound = 0;
  view_->m_popupWaypoint = 0;
  view_->OnNavigateWaypoint();
  ASSERT_TRUE(view_->m_navWnd);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_navWnd->IsWindowVisible(); }));
  tvxtest::PumpFor(100);
  ASSERT_TRUE(PressCloseBox("Gate"));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_navActive == 0; }));
  EXPECT_FALSE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navTargetIndex, -1);

  view_->OnNavigateWaypoint();
  EXPECT_TRUE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 1);
}

// The navigation style changed in the options while navigating: the display follows at
// once (the options' OK ends with WM_DIBUJAR_CAMPOS to the view), on the same target.
TEST_F(MeasureViewInput, NavigationStyleChangeSwitchesTheDisplayAtOnce) {
  WaypointAt("Well", 2.0005);
  WaypointAt("Gate", 2.001);
  mapDoc_->m_navStyle = 0;
  mapDoc_->m_navSound = 0;
  view_->m_popupWaypoint = 1;
  view_->OnNavigateWaypoint();
  ASSERT_TRUE(view_->m_navWnd);

  mapDoc_->m_navStyle = 1;
  view_->SendMessage(WM_DIBUJAR_CAMPOS, 0, 0);
  EXPECT_FALSE(view_->m_navWnd) << "the arrow on the map instead of the compass";
  EXPECT_EQ(view_->m_navActive, 1);
  EXPECT_EQ(view_->m_targetName, "WPT: Gate");
  EXPECT_EQ(view_->m_navTargetIndex, 1);

  mapDoc_->m_navStyle = 0;
  view_->SendMessage(WM_DIBUJAR_CAMPOS, 0, 0);
  ASSERT_TRUE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navWnd->GetWindowText(), "Gate");
  EXPECT_EQ(view_->m_navActive, 1);

  // Deleting the waypoint before the target keeps navigating to the same waypoint.
  view_->m_popupWaypoint = 0;
  view_->RunCommand(32814);
  ASSERT_EQ(mapDoc_->m_waypoints.size(), 1u);
  EXPECT_EQ(view_->m_navActive, 1);
  EXPECT_EQ(view_->m_navTargetIndex, 0);
  view_->m_popupWaypoint = 0;
  view_->OnNavigateWaypoint();  // "Navigate" on the target again: navigation ends
  EXPECT_EQ(view_->m_navActive, 0);
}

}  // namespace
