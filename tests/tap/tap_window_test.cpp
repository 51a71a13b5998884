// The map view in a real wxWidgets frame (under Xvfb): taps on drawn points open their popup
// menus (answered from the script), tap modes add and shape features, keys run their actions,
// and the commands' update handlers and menus show the view's state.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "app/strings.h"
#include "coords/projection_record.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "platform/win_app.h"
#include "tests/options/window_helpers.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"
#include "view/core/hit_tap_modes.h"
#include "view/tolvanix_view.h"


// The application's answer (app/tolvanix_app.cpp, not part of this test): a desktop screen.
bool IsHiResScreen() { return false; }

namespace {

// A GGA sentence of a fix at lon/lat (degrees, east and north), with its checksum.
std::string GgaAt(double lon, double lat) {
  char body[160];
  std::snprintf(body, sizeof body, "GPGGA,120000.00,%02d%09.6f,N,%03d%09.6f,E,1,08,1.0,100.0,M,50.0,M,,",
                static_cast<int>(lat), (lat - static_cast<int>(lat)) * 60.0, static_cast<int>(lon),
                (lon - static_cast<int>(lon)) * 60.0);
  unsigned char sum = 0;
  for (const char* c = body; *c; ++c) sum ^= static_cast<unsigned char>(*c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return std::string("$") + body + tail;
}

using platform::ui::MouseAction;
using platform::ui::SimulateMouse;

// A frame that records what the view asks of its bars.
class BarsFrame : public CFrameWnd, public CTolvanixView::FrameBars {
 public:
  void ToggleBar(int bar) override { toggled.push_back(bar); }
  void ShowShellBars() override {}
  void SetRulerSelection(int item) override { rulerItem = item; }
  void EnableRulerCombo(BOOL enable) override { rulerEnabled = enable; }
  void ShowCommandBar() override { ++commandBarShown; }
  int commandBarShown = 0;
  std::vector<int> toggled;
  int rulerItem = -1;
  BOOL rulerEnabled = TRUE;
};

class TapWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    sandbox_ = std::make_unique<tvxtest::ProgramSandbox>("tap");
    PrepareProgramFolder(sandbox_->dir);
    module_ = LoadLibrary((std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::MessageBoxScript::Clear();
    platform::PopupMenuScript::Clear();

    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, BarsFrame, CTolvanixView>(128));
    doc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    ASSERT_NE(doc_, nullptr);
    frame_ = dynamic_cast<BarsFrame*>(template_->GetFrame());
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    doc_->m_notifyActive = 0;  // no "active object" boxes
    frame_->GetFrame()->SetClientSize(240, 300);
    tvxtest::PumpUntil([&] { return view_->ClientWidth() > 200; });
  }

  void TearDown() override {
    if (frame_) frame_->DestroyWindow();
    // A test skipped without a display made no template.
    if (template_) tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
    template_.reset();
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
    sandbox_.reset();
  }

  // What the program folder holds before the document reads it.
  virtual void PrepareProgramFolder(const std::filesystem::path&) {}

  // Fits the picture to the map area as a paint does; the caches then hold what is drawn.
  void Fit() {
    view_->FitToFeatures(view_->ClientWidth() - 5,
                         view_->ClientHeight() - 3 * view_->m_rowUnit - 5);
  }
  // Client pixel of a cached map-bitmap point.
  CPoint Client(const ScreenPoint& p) const { return CPoint(p.x, p.y + 2 * view_->m_rowUnit); }

  FeatureRecord& Feature(const std::string& name, std::initializer_list<GeoPoint> points) {
    FeatureRecord& f = doc_->AddFeature(FeatureType::Area, name);
    for (const GeoPoint& p : points) f.AddVertex(p, p, 0);
    return f;
  }
  void Tap(CPoint p) {
    SimulateMouse(view_, MouseAction::LeftDown, p);
    SimulateMouse(view_, MouseAction::LeftUp, p);
  }
  UINT Update(UINT id, std::optional<int>* checked = nullptr) {
    CCmdUI ui(id);
    ui.DoUpdate(frame_, TRUE);
    if (checked) *checked = ui.checked;
    return ui.enabled.value_or(true) ? 1 : 0;
  }

  std::unique_ptr<tvxtest::ProgramSandbox> sandbox_;
  HMODULE module_ = nullptr;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* doc_ = nullptr;
  BarsFrame* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

TEST_F(TapWindow, TapOnAFirstVertexOffersTheFeatureAndActivateSelectsIt) {
  doc_->DeleteAllFeatures();
  Feature("North", {{2.1000, 41.3010}, {2.1010, 41.3010}, {2.1010, 41.3000}});
  Feature("South", {{2.1000, 41.3000}, {2.1005, 41.2995}});
  doc_->m_current = 1;
  view_->m_showTitles = 1;
  Fit();
  ASSERT_EQ(view_->m_featurePoints.size(), 5u);
  // Feature 0 is cached first (it is not the current one); its first vertex is the tap target.
  const CPoint first = Client(view_->m_featurePoints[0]);

  platform::PopupMenuScript::Push(32817);  // "Activate"
  Tap(CPoint(first.x - 6, first.y + 4));
  auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_EQ(shown[0].items.size(), 6u);
  EXPECT_EQ(shown[0].items[0].text, "North");
  EXPECT_TRUE(shown[0].items[0].flags & MF_GRAYED);
  EXPECT_EQ(shown[0].items[2].text, "Activate");
  EXPECT_EQ(shown[0].items[5].text, "Properties");
  EXPECT_EQ(doc_->m_current, 0);

  // A tap on a second vertex, or 7 pixels off the first one, opens nothing.
  Tap(Client(view_->m_featurePoints[1]));
  Tap(CPoint(first.x + 7, first.y));
  EXPECT_TRUE(platform::PopupMenuScript::TakeShown().empty());

  // With the title layer off no feature is offered.
  view_->m_showTitles = 0;
  Tap(first);
  EXPECT_TRUE(platform::PopupMenuScript::TakeShown().empty());
}

TEST_F(TapWindow, WaypointPopupDeletesTheTappedWaypoint) {
  doc_->AddWaypoint(2.1000, 41.3000, 0);
  doc_->AddWaypoint(2.1020, 41.3020, 0);
  doc_->AddWaypoint(2.1040, 41.3040, 0);
  Fit();
  ASSERT_EQ(view_->m_waypointPoints.size(), 3u);
  // Navigation to vertex 1 of a feature (as the navigation dialog leaves it, on the map) is
  // not navigation to waypoint 1: "Navigate" is not checked and deleting waypoint 1 leaves
  // the navigation running.
  FeatureRecord& field = Feature("Field", {{2.1010, 41.3010}, {2.1030, 41.3030}});
  view_->m_navActive = 1;
  view_->m_navTargetIsPoint = 1;
  view_->m_navTargetIndex = 1;
  view_->m_navTargetFeature = static_cast<int>(doc_->m_features.size()) - 1;
  view_->m_navTargetKey = field.key;
  view_->m_navTargetVertexKey = field.vertexKeys[1];
  platform::PopupMenuScript::Push(32814);  // "Delete"
  Tap(Client(view_->m_waypointPoints[1]));
  auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].items[3].text, "Navigate");
  EXPECT_FALSE(shown[0].items[3].flags & MF_CHECKED);
  ASSERT_EQ(doc_->m_waypoints.size(), 2u);
  EXPECT_DOUBLE_EQ(doc_->m_waypoints[1].x, 2.1040);
  EXPECT_EQ(view_->m_navActive, 1);

  // Navigation to the tapped waypoint itself (its popup's "Navigate"): checked, and its
  // deletion ends the navigation.
  view_->StopNavigation();
  doc_->m_navStyle = 1;
  Fit();
  ASSERT_EQ(view_->m_waypointPoints.size(), 2u);
  platform::PopupMenuScript::Push(32813);  // "Navigate"
  Tap(Client(view_->m_waypointPoints[1]));
  ASSERT_EQ(platform::PopupMenuScript::TakeShown().size(), 1u);
  ASSERT_EQ(view_->m_navActive, 1);
  platform::PopupMenuScript::Push(32814);
  Tap(Client(view_->m_waypointPoints[1]));
  shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].items[3].flags & MF_CHECKED);
  ASSERT_EQ(doc_->m_waypoints.size(), 1u);
  EXPECT_DOUBLE_EQ(doc_->m_waypoints[0].x, 2.1000);
  EXPECT_EQ(view_->m_navActive, 0);
}

// "Navigate" from a waypoint's popup opens the compass and brings the command bar back (full
// screen hides it), where navigation is stopped.
TEST_F(TapWindow, NavigatingFromThePopupShowsTheCommandBar) {
  doc_->AddWaypoint(2.1000, 41.3000, 0);
  doc_->AddWaypoint(2.1020, 41.3020, 0);
  doc_->m_navStyle = 0;
  doc_->m_navSound = 0;
  Fit();
  platform::PopupMenuScript::Push(32813);  // "Navigate"
  Tap(Client(view_->m_waypointPoints[1]));
  ASSERT_EQ(view_->m_navActive, 1);
  EXPECT_TRUE(view_->m_navWnd);
  EXPECT_EQ(frame_->commandBarShown, 1);
  view_->RunCommand(32876);  // stop navigation
  EXPECT_EQ(view_->m_navActive, 0);
}

TEST_F(TapWindow, LineByTapsAndRectangleByDrag) {
  doc_->DeleteAllFeatures();
  Feature("Base", {{2.10, 41.30}, {2.11, 41.31}});
  doc_->m_current = 0;
  Fit();
  view_->RunCommand(view_cmd::kNewLineByTap);
  EXPECT_EQ(view_->m_tapMode, kTapNewLine);
  const CPoint a(60, 120), b(150, 90);
  Tap(a);
  Tap(b);
  ASSERT_EQ(doc_->m_features.size(), 2u);
  const FeatureRecord& line = doc_->m_features[1];
  EXPECT_EQ(line.type, FeatureType::Line);
  EXPECT_EQ(line.name, "Line");
  EXPECT_EQ(doc_->m_current, 1);
  ASSERT_EQ(line.VertexCount(), 2u);
  // Each vertex projects back onto the pixel that was tapped.
  const ScreenPoint pa = view_->WorldToBitmap(line.vertices[0].x, line.vertices[0].y);
  const ScreenPoint pb = view_->WorldToBitmap(line.vertices[1].x, line.vertices[1].y);
  EXPECT_EQ(Client(pa), a);
  EXPECT_EQ(Client(pb), b);
  // The mode became "add vertices", whose own command ends it (32878 is disabled there).
  EXPECT_EQ(Update(view_cmd::kNewLineByTap), 0u);
  view_->RunCommand(view_cmd::kAddVertexByTap);
  EXPECT_EQ(view_->m_tapMode, kTapNone);
  const std::vector<GeoPoint> ends = line.vertices;  // the feature list grows below

  view_->RunCommand(view_cmd::kNewRectangleByDrag);
  SimulateMouse(view_, MouseAction::LeftDown, a);
  SimulateMouse(view_, MouseAction::Move, CPoint(90, 100));
  SimulateMouse(view_, MouseAction::Move, b);
  SimulateMouse(view_, MouseAction::LeftUp, b);
  EXPECT_EQ(view_->m_tapMode, kTapNone);
  ASSERT_EQ(doc_->m_features.size(), 3u);
  const FeatureRecord& rect = doc_->m_features[2];
  ASSERT_EQ(rect.VertexCount(), 4u);  // replaced at each move, not added to
  EXPECT_EQ(rect.vertices[0], ends[0]);
  EXPECT_EQ(rect.vertices[2], ends[1]);
  EXPECT_EQ(rect.vertices[1], (GeoPoint{ends[1].x, ends[0].y}));
  EXPECT_EQ(rect.vertices[3], (GeoPoint{ends[0].x, ends[1].y}));
}

TEST_F(TapWindow, DragOnEmptyMapPansByTheDistanceMoved) {
  Feature("Base", {{2.10, 41.30}, {2.11, 41.31}});
  Fit();
  const int x0 = view_->m_offsetX, y0 = view_->m_offsetY;
  SimulateMouse(view_, MouseAction::LeftDown, CPoint(20, 200));
  EXPECT_EQ(view_->m_panArmed, 1);
  SimulateMouse(view_, MouseAction::Move, CPoint(30, 190));
  SimulateMouse(view_, MouseAction::Move, CPoint(45, 180));
  EXPECT_EQ(view_->m_panning, 1);
  SimulateMouse(view_, MouseAction::LeftUp, CPoint(45, 180));
  EXPECT_EQ(view_->m_panning, 0);
  EXPECT_EQ(view_->m_offsetX - x0, 25);
  EXPECT_EQ(view_->m_offsetY - y0, -20);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TapWindow, CircleByDragStoresItsCentreAndTheSquareAroundIt) {
  doc_->DeleteAllFeatures();
  Feature("Base", {{2.10, 41.30}, {2.11, 41.31}});
  Fit();
  view_->RunCommand(view_cmd::kNewCircleByDrag);
  SimulateMouse(view_, MouseAction::LeftDown, CPoint(100, 120));
  SimulateMouse(view_, MouseAction::Move, CPoint(130, 100));
  SimulateMouse(view_, MouseAction::LeftUp, CPoint(130, 100));
  const FeatureRecord& circle = doc_->m_features.back();
  EXPECT_EQ(circle.type, FeatureType::Circle);
  EXPECT_EQ(circle.editable, 0);
  ASSERT_EQ(circle.VertexCount(), 3u);
  EXPECT_EQ(circle.vertices[0], doc_->m_tapPoint1);
  // Centre and edge in metres; the corners, taken back from degrees, lie d off in each axis.
  const GeoPoint centre = doc_->m_tapUtm1, edge = doc_->m_tapUtm2;
  const double d = std::hypot(edge.x - centre.x, edge.y - centre.y);
  ASSERT_GT(d, 1.0);
  double e = 0, n = 0;
  ASSERT_TRUE(doc_->ConvertCoordinates(circle.wgs84Vertices[1].x, circle.wgs84Vertices[1].y, e, n));
  EXPECT_NEAR(e, centre.x - d, 0.01);
  EXPECT_NEAR(n, centre.y + d, 0.01);
  ASSERT_TRUE(doc_->ConvertCoordinates(circle.wgs84Vertices[2].x, circle.wgs84Vertices[2].y, e, n));
  EXPECT_NEAR(e, centre.x + d, 0.01);
  EXPECT_NEAR(n, centre.y - d, 0.01);
}

// Real key presses on the view, after a tap into it as a user gives it the keys. The
// handheld's application button 1 is F5 on a desktop keyboard.
TEST_F(TapWindow, KeysRunTheirActionsThroughTheUpdateHandlers) {
  doc_->DeleteAllFeatures();
  Feature("Base", {{2.10, 41.30}, {2.11, 41.31}});
  // Under a window manager the frame takes its size only once it is placed: the tap waits.
  wxFrame* frame = frame_->GetFrame();
  ASSERT_TRUE(tvxtest::ShowOnScreen(frame));
  frame->SetClientSize(240, 300);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return frame->GetScreenRect().width >= 240; }));
  tvxtest::RealClick(*view_, view_->ClientWidth() - 10, view_->ClientHeight() / 2);
  ASSERT_TRUE(platform::PopupMenuScript::TakeShown().empty());
  ASSERT_EQ(wxWindow::FindFocus(), view_->GetWxWindow());
  auto key = [&](int code) { tvxtest::RealKey(*view_, code); };
  view_->m_zoom = 0.8;
  key(WXK_UP);  // zoom in, once
  EXPECT_DOUBLE_EQ(view_->m_zoom, 1.0);
  view_->m_tapMode = kTapWaypoint;  // zoom is disabled there
  key(WXK_DOWN);
  EXPECT_DOUBLE_EQ(view_->m_zoom, 1.0);
  view_->m_tapMode = kTapNone;

  // Application button 1 assigned the HDOP filter switch: twice leaves it as it was.
  view_->m_keyActions[0] = 24;
  const int filter = doc_->m_hdopFilterOn;
  key(WXK_F5);
  EXPECT_NE(doc_->m_hdopFilterOn, filter);
  key(WXK_F5);
  EXPECT_EQ(doc_->m_hdopFilterOn, filter);
  // Without "HKE" the buttons are not the view's.
  view_->m_hotKeys = 0;
  view_->UpdateHotKeys();
  key(WXK_F5);
  EXPECT_EQ(doc_->m_hdopFilterOn, filter);
  // Capture needs a receiver with a fix: the default button 1 does nothing without one.
  view_->m_hotKeys = 1;
  view_->UpdateHotKeys();
  view_->m_keyActions[0] = 1;
  key(WXK_F5);
  EXPECT_EQ(doc_->m_features[0].VertexCount(), 2u);

  // The combined start (Enter given code 25) with automatic capture already on: one new
  // feature holding the captured point, automatic capture on again.
  doc_->m_gpsOn = true;
  doc_->m_hasFix = true;
  doc_->m_gpsLon = doc_->m_datumLon = 2.105;
  doc_->m_gpsLat = doc_->m_datumLat = 41.305;
  doc_->m_autoCapture = true;
  view_->m_keyActions[8] = 25;
  key(WXK_RETURN);
  ASSERT_EQ(doc_->m_features.size(), 2u);
  EXPECT_EQ(doc_->m_current, 1);
  ASSERT_EQ(doc_->m_features[1].VertexCount(), 1u);
  EXPECT_EQ(doc_->m_features[1].wgs84Vertices[0], (GeoPoint{2.105, 41.305}));
  EXPECT_TRUE(doc_->m_autoCapture);
  doc_->m_gpsOn = false;
}

TEST_F(TapWindow, TapModeCommandsBarsAndLockedFeatures) {
  view_->RunCommand(view_cmd::kTwoPointMeasure);
  EXPECT_EQ(view_->m_tapMode, kTapMeasureFirst);
  EXPECT_EQ(frame_->toggled, std::vector<int>{2});
  std::optional<int> checked;
  EXPECT_EQ(Update(view_cmd::kTwoPointMeasure, &checked), 1u);
  EXPECT_EQ(checked, 1);
  EXPECT_EQ(Update(view_cmd::kZoomIn), 0u);
  // The point query's handler closes the two-point bar first and lands in its own mode (its
  // menu item is grayed in a measure mode, so the handler is called directly).
  view_->OnCmdMsg(view_cmd::kPointQuery, CN_COMMAND, nullptr);
  EXPECT_EQ(view_->m_tapMode, kTapPointQuery);
  EXPECT_EQ(frame_->toggled, (std::vector<int>{2, 2}));
  view_->RunCommand(view_cmd::kPointQuery);
  EXPECT_EQ(view_->m_tapMode, kTapNone);

  // A circle drawn by drag is locked: adding vertices by tap is refused with the message.
  view_->RunCommand(view_cmd::kNewCircleByDrag);
  SimulateMouse(view_, MouseAction::LeftDown, CPoint(100, 120));
  SimulateMouse(view_, MouseAction::LeftUp, CPoint(100, 120));
  EXPECT_EQ(view_->m_tapMode, kTapNone);
  ASSERT_NE(doc_->CurrentFeature(), nullptr);
  EXPECT_EQ(doc_->CurrentFeature()->name, "Circle");
  platform::MessageBoxScript::Push(IDOK);
  view_->RunCommand(view_cmd::kAddVertexByTap);
  EXPECT_EQ(view_->m_tapMode, kTapNone);
  auto boxes = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("locked"), std::string::npos);
  EXPECT_NE(boxes[0].text.find("Circle"), std::string::npos);
  EXPECT_EQ(boxes[0].caption, "Tolvanix PDA");

  // Tapping vertices on after the locked circle became the active feature: refused, as a
  // captured point is, with the same message.
  doc_->m_current = 0;
  ASSERT_EQ(doc_->CurrentFeature()->editable, 1);
  view_->RunCommand(view_cmd::kAddVertexByTap);
  ASSERT_EQ(view_->m_tapMode, kTapAddVertex);
  doc_->m_current = static_cast<int>(doc_->m_features.size()) - 1;
  const std::size_t before = doc_->CurrentFeature()->VertexCount();
  platform::MessageBoxScript::Push(IDOK);
  Tap(CPoint(60, 90));
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), before) << "the circle keeps its shape";
  boxes = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("locked"), std::string::npos);
}

// The two measured points on either side of a UTM zone boundary (6 degrees east): both are
// projected in one zone, so that their distance is the ground distance (about 1.67 km).
TEST_F(TapWindow, MeasuredPointsAcrossAZoneBoundaryShareOneZone) {
  doc_->DeleteAllFeatures();
  Feature("Across", {{5.99, 41.3}, {6.01, 41.3}});
  Fit();
  ASSERT_EQ(view_->m_featurePoints.size(), 2u);
  view_->RunCommand(view_cmd::kTwoPointMeasure);
  ASSERT_EQ(view_->m_tapMode, kTapMeasureFirst);
  Tap(Client(view_->m_featurePoints[0]));
  view_->RunCommand(32884);  // second point
  ASSERT_EQ(view_->m_tapMode, kTapMeasureSecond);
  Tap(Client(view_->m_featurePoints[1]));
  EXPECT_NEAR(doc_->m_tapPoint1.x, 5.99, 1e-3);
  EXPECT_NEAR(doc_->m_tapPoint2.x, 6.01, 1e-3);
  const double d = CTolvanixDoc::CalcDistance(doc_->m_tapUtm1, doc_->m_tapUtm2);
  EXPECT_NEAR(d, 0.02 * 111320.0 * std::cos(41.3 * M_PI / 180.0), 15.0);
}

// UTM shown with the zone following the position, the fix in zone 31 and a point queried on
// the map in zone 32: the position panel keeps the fix's easting with the fix's zone (the
// query's conversion does not lend it its zone).
TEST_F(TapWindow, APointQueriedInAnotherZoneLeavesThePositionPanelInTheFixsZone) {
  doc_->m_coord = 1;
  doc_->SetupTransformationsOrFallBack();
  ASSERT_EQ(doc_->m_autoZone, 1);
  doc_->DeleteAllFeatures();
  Feature("Across", {{5.99, 41.3}, {6.01, 41.3}});
  Fit();
  ASSERT_EQ(view_->m_featurePoints.size(), 2u);
  const std::string gga = GgaAt(5.995, 41.3);
  doc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(gga.data()), gga.size());
  view_->UpdateInfoPanels();
  const std::string before = view_->m_positionPanel->GetWindowText();
  ASSERT_NE(before.find(" m 31 T"), std::string::npos) << before;

  view_->RunCommand(view_cmd::kPointQuery);
  ASSERT_EQ(view_->m_tapMode, kTapPointQuery);
  Tap(Client(view_->m_featurePoints[1]));
  ASSERT_NEAR(doc_->m_tapPoint1.x, 6.01, 1e-3);
  view_->UpdateInfoPanels();
  EXPECT_EQ(view_->m_positionPanel->GetWindowText(), before);
  view_->m_tapMode = kTapNone;
}

TEST_F(TapWindow, LayerPopupAndMenuStates) {
  doc_->m_contextMenu = 1;
  view_->m_showWaypoints = 1;
  platform::PopupMenuScript::Push(32800);  // waypoint symbols off
  SimulateMouse(view_, MouseAction::LeftDoubleClick, CPoint(100, 100));
  auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_FALSE(shown[0].items.empty());
  EXPECT_EQ(shown[0].items[0].id, 32800u);
  EXPECT_TRUE(shown[0].items[0].flags & MF_CHECKED);
  EXPECT_EQ(view_->m_showWaypoints, 0);

  doc_->DeleteAllFeatures();
  Feature("Only", {{2.1, 41.3}, {2.2, 41.3}, {2.2, 41.4}, {2.1, 41.4}});
  doc_->m_current = 0;
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 32852, "x");
  menu.AppendMenu(MF_STRING, 32861, "x");
  menu.AppendMenu(MF_STRING, 1261, "x");
  view_->UpdateMenuState(&menu);
  EXPECT_EQ(menu.GetMenuString(32852, MF_BYCOMMAND), "Divide");
  EXPECT_FALSE(menu.GetMenuState(32852, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(menu.GetMenuState(32861, MF_BYCOMMAND) & MF_GRAYED);  // no receiver
  EXPECT_EQ(menu.GetMenuState(1261, MF_BYCOMMAND), kMenuNoItem);
}

// The program folder holds a user projection in US survey feet (California zone 5), which
// the units page offers.
class TapBandAfterOptions : public TapWindow {
 protected:
  // The options command opens the program's real sheet.
  void SetUp() override {
    TapWindow::SetUp();
    if (!IsSkipped() && !HasFatalFailure()) InstallOptionsSheet();
  }
  void TearDown() override {
    CTolvanixDoc::SetOptionsSheet(nullptr);
    TapWindow::TearDown();
  }
  void PrepareProgramFolder(const std::filesystem::path& dir) override {
    ProjectionRecord feet;
    feet.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
    feet.p[0] = 2229;
    feet.SetName(std::string("EPSG 2229"));
    std::array<std::uint8_t, kProjectionRecordSize> bytes{};
    EncodeProjectionRecord(feet, bytes);
    std::ofstream(dir / "internal" / "tvxprj.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  // The band at the top of the map (the tapped point's coordinates, the distance between two
  // points) as the screen shows it after an ordinary repaint of the view.
  std::vector<COLORREF> BandAfterRepaint() {
    view_->m_pictureDigest = 0;
    view_->Invalidate(TRUE);
    // Drawn at the map's present size (a resize refits the map on the next paint only), so the
    // pixel caches hold where the screen shows each point.
    EXPECT_TRUE(tvxtest::PumpUntil([&] {
      return view_->m_pictureDigest != 0 &&
             view_->CachesHold(
                 view_->KeyOf(view_->MapFitSource(), view_->MapWidth(), view_->MapHeight()));
    }));
    CPoint at(0, 2 * view_->m_rowUnit);
    view_->ClientToScreen(&at);
    return tvxtest::ScreenPixels({at.x, at.y, view_->ClientWidth(), 2 * view_->m_lineHeight});
  }
  // How many pixels of one band differ from the other's.
  static int Differing(const std::vector<COLORREF>& one, const std::vector<COLORREF>& other) {
    if (one.size() != other.size()) return static_cast<int>(std::max(one.size(), other.size()));
    int n = 0;
    for (std::size_t i = 0; i < one.size(); ++i) n += one[i] != other[i];
    return n;
  }
  // Pixels of the pick markers' colour that the screen shows in the 9 x 9 box round a client
  // pixel.
  int MarkerPixelsAround(CPoint p) {
    CPoint at(p.x - 4, p.y - 4);
    view_->ClientToScreen(&at);
    return tvxtest::PixelsOnScreen({at.x, at.y, 9, 9}, 0xFF00FF);
  }
  void RealTap(CPoint p) { tvxtest::RealClick(*view_, p.x, p.y); }
  // The field in California (UTM zone 11, inside the projection's zone), fitted into the view
  // on the screen.
  void ShowField() {
    doc_->DeleteAllFeatures();
    Feature("Field", {{-117.66, 33.97}, {-117.65, 33.97}, {-117.65, 33.98}, {-117.66, 33.98}});
    doc_->m_current = 0;
    wxFrame* frame = frame_->GetFrame();
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame));
    frame->SetClientSize(240, 300);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return frame->GetClientSize() == wxSize(240, 300); }));
  }
  // Both points of the two-point measure tapped (the mode already on).
  void MeasureBetween(CPoint p1, CPoint p2) {
    view_->RunCommand(view_cmd::kFirstPoint);
    ASSERT_EQ(view_->m_tapMode, kTapMeasureFirst);
    RealTap(p1);
    view_->RunCommand(view_cmd::kSecondPoint);
    ASSERT_EQ(view_->m_tapMode, kTapMeasureSecond);
    RealTap(p2);
  }
  // Client pixel where the map now shows tapped point 1 or 2.
  CPoint Shown(const GeoPoint& tapped) const {
    return Client(view_->WorldToBitmap(tapped.x, tapped.y));
  }
  // The options command through the view's routing: the real sheet shows the page chosen,
  // change(page) changes it as the user does, and OK ends the sheet.
  void ApplyOptions(std::function<CPropertyPage*(CPropiedadesOpciones&)> page,
                    std::function<void(CPropertyPage&)> change) {
    tvxtest::AnswerWhenOnScreen<CPropiedadesOpciones>([page, change](CPropiedadesOpciones& sheet) {
      CPropertyPage* shown = page(sheet);
      for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (sheet.GetPage(i) == shown) sheet.SetActivePage(i);
      change(*shown);
      optstest::PressSheet(sheet, wxID_OK);
    });
    view_->RunCommand(32778);
  }
  // The display picked by its radio button on the units page.
  void ChooseDisplay(int radio) {
    ApplyOptions([](CPropiedadesOpciones& sheet) { return sheet.m_units.get(); },
                 [radio](CPropertyPage& units) { optstest::Pick(units, radio); });
  }
};

// The measure between two tapped points and a tapped point's easting and northing follow the
// options applied while the points stand: after OK the band shows what tapping the same points
// again under the new settings shows, never a figure of the old projection read in the new
// unit.
TEST_F(TapBandAfterOptions, BandShowsTheTappedPointsUnderTheSettingsInForce) {
  ShowField();
  if (HasFatalFailure()) return;
  const CPoint a(60, 140), b(170, 230);

  struct Case {
    const char* what;
    int display;  // radio button of the units page
    int coord;    // the working system it gives
    UINT mode;    // the command that starts the tap mode and ends it
    std::function<void(CPoint, CPoint)> tap;  // the points tapped in the mode
  };
  const Case cases[] = {
      {"two-point measure, UTM to the projection in feet", 1095, 2, view_cmd::kTwoPointMeasure,
       [&](CPoint p1, CPoint p2) { MeasureBetween(p1, p2); }},
      {"point query, the projection in feet to UTM", 1016, 1, view_cmd::kPointQuery,
       [&](CPoint p1, CPoint) {
         ASSERT_EQ(view_->m_tapMode, kTapPointQuery);
         RealTap(p1);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(view_->m_tapMode, kTapNone);
    view_->RunCommand(c.mode);
    c.tap(a, b);
    if (HasFatalFailure()) return;
    const std::vector<COLORREF> before = BandAfterRepaint();
    ASSERT_GT(std::count(before.begin(), before.end(), COLORREF{0xFF0000}), 10) << "the band's text";
    ChooseDisplay(c.display);
    ASSERT_EQ(doc_->m_coord, c.coord);
    const std::vector<COLORREF> afterOk = BandAfterRepaint();
    const GeoPoint utm1 = doc_->m_tapUtm1, utm2 = doc_->m_tapUtm2;

    // The same points tapped again: a fresh measurement under the new settings.
    c.tap(Shown(doc_->m_tapPoint1), Shown(doc_->m_tapPoint2));
    if (HasFatalFailure()) return;
    EXPECT_EQ(Differing(afterOk, BandAfterRepaint()), 0);
    EXPECT_NEAR(doc_->m_tapUtm1.x, utm1.x, 1e-6);
    EXPECT_NEAR(doc_->m_tapUtm1.y, utm1.y, 1e-6);
    if (view_->m_tapMode == kTapMeasureSecond) {
      EXPECT_NEAR(CTolvanixDoc::CalcDistance(doc_->m_tapUtm1, doc_->m_tapUtm2),
                  CTolvanixDoc::CalcDistance(utm1, utm2), 1e-6);
    }
    view_->RunCommand(c.mode);
  }
}

// A datum chosen while two measured points stand: the map follows the new datum and the pick
// markers stay on the ground points that were tapped (two corners of the field).
TEST_F(TapBandAfterOptions, MeasuredPointsStayWhereTheyWereTappedWhenTheDatumChanges) {
  ShowField();
  if (HasFatalFailure()) return;
  // The datum can be chosen while the current feature has no point.
  doc_->AddFeature(FeatureType::Area, "Empty");
  doc_->m_current = 1;
  BandAfterRepaint();
  ASSERT_EQ(view_->m_featurePoints.size(), 4u);
  const GeoPoint corner = doc_->m_features[0].vertices[2];

  view_->RunCommand(view_cmd::kTwoPointMeasure);
  MeasureBetween(Client(view_->m_featurePoints[0]), Client(view_->m_featurePoints[2]));
  if (HasFatalFailure()) return;
  ApplyOptions([](CPropiedadesOpciones& sheet) { return sheet.m_datum.get(); },
               [](CPropertyPage& datum) { optstest::Choose(datum, 1038, 12); });
  ASSERT_EQ(doc_->m_datum.index, 12);
  const GeoPoint moved = doc_->m_features[0].vertices[2];
  ASSERT_GT(std::hypot(moved.x - corner.x, moved.y - corner.y), 2e-4) << "the datum moves the field";

  BandAfterRepaint();
  ASSERT_EQ(view_->m_featurePoints.size(), 4u);
  EXPECT_GE(MarkerPixelsAround(Client(view_->m_featurePoints[0])), 10);
  EXPECT_GE(MarkerPixelsAround(Client(view_->m_featurePoints[2])), 10);
  view_->RunCommand(view_cmd::kTwoPointMeasure);
}

// Navigation to a waypoint shown on the map while the options change the projection: the
// reading for the next fix, and the overlay's text, are those of navigating to the waypoint
// afresh under the new settings, not a target projected under the old ones.
TEST_F(TapBandAfterOptions, NavigationReadsItsTargetUnderTheSettingsInForce) {
  ShowField();
  if (HasFatalFailure()) return;
  doc_->AddWaypoint(-117.652, 33.978, 0);
  view_->m_showWaypoints = 1;
  doc_->m_navStyle = 1;  // the target, distance and offsets on the map
  doc_->m_navSound = 0;
  // The walker stands near the field's south-west corner.
  doc_->m_hasFix = true;
  doc_->m_datumLon = -117.659;
  doc_->m_datumLat = 33.971;
  BandAfterRepaint();
  ASSERT_EQ(view_->m_waypointPoints.size(), 1u);
  // The reading of the fix the test holds, after the reader's message for it.
  auto nextFix = [&] {
    view_->SendMessage(WM_REFRESH_GPS, 0, 0);
    return view_->m_targetDistance;
  };
  auto navigate = [&] {
    BandAfterRepaint();  // the waypoint is tapped where the map shows it now
    platform::PopupMenuScript::Push(view_cmd::kWaypointNavigate);
    RealTap(Client(view_->m_waypointPoints[0]));
    ASSERT_EQ(view_->m_navActive, 1);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_focused != 0; }));
  };
  navigate();
  if (HasFatalFailure()) return;
  ASSERT_GT(nextFix(), 500.0);

  ChooseDisplay(1095);
  ASSERT_EQ(doc_->m_coord, 2);
  // Shown at once, and so for the next fix.
  const std::vector<COLORREF> shownAfterOk = BandAfterRepaint();
  const double atOnce = view_->m_targetDistance;
  const double afterOk = nextFix();
  EXPECT_NEAR(atOnce, afterOk, 1e-6);

  view_->RunCommand(view_cmd::kStopNavigationRepaint);
  ASSERT_EQ(view_->m_navActive, 0);
  navigate();
  if (HasFatalFailure()) return;
  EXPECT_NEAR(afterOk, nextFix(), 1e-6);
  EXPECT_EQ(Differing(shownAfterOk, BandAfterRepaint()), 0);
  view_->RunCommand(view_cmd::kStopNavigationRepaint);
}

// A waypoint's Properties as a user opens and uses them, with the program's real dialogs: the
// pointer taps the waypoint and chooses "Properties" in its popup on the screen.
class TapWaypointProperties : public TapWindow {
 protected:
  void SetUp() override {
    TapWindow::SetUp();
    if (!IsSkipped() && !HasFatalFailure()) InstallProgramDialogs();
  }
  void TearDown() override {
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    TapWindow::TearDown();
  }
  // The view on the screen, painted at its present size: its caches hold where each point is.
  void ShowPainted() {
    wxFrame* frame = frame_->GetFrame();
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame));
    frame->SetClientSize(240, 300);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return frame->GetClientSize() == wxSize(240, 300); }));
    view_->m_pictureDigest = 0;
    view_->Invalidate(TRUE);
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return view_->m_pictureDigest != 0 &&
             view_->CachesHold(
                 view_->KeyOf(view_->MapFitSource(), view_->MapWidth(), view_->MapHeight()));
    }));
  }
};

// The fields of a page, by the label beside each (the label's row), as the screen shows them.
std::map<std::string, wxTextCtrl*> FieldsByLabel(wxWindow* page) {
  std::vector<wxStaticText*> labels;
  std::vector<wxTextCtrl*> fields;
  for (wxWindow* child : page->GetChildren()) {
    if (auto* label = dynamic_cast<wxStaticText*>(child); label && label->IsShown()) labels.push_back(label);
    if (auto* field = dynamic_cast<wxTextCtrl*>(child); field && field->IsShown()) fields.push_back(field);
  }
  std::map<std::string, wxTextCtrl*> byLabel;
  for (wxStaticText* label : labels) {
    const wxRect l = label->GetScreenRect();
    for (wxTextCtrl* field : fields) {
      const wxRect f = field->GetScreenRect();
      const int middle = l.y + l.height / 2;
      if (f.x > l.x && middle >= f.y && middle < f.GetBottom())
        byLabel[label->GetLabel().utf8_string()] = field;
    }
  }
  return byLabel;
}

// Whether a field shows the whole of its text: the text's extent in the field's font against
// the room the field gives its text (without its frame and margins).
bool ShowsWhole(wxTextCtrl* field) {
  struct Box {
    int x, y, width, height;
  };
  using TextArea = void (*)(void*, Box*);
  static auto area = reinterpret_cast<TextArea>(dlsym(RTLD_DEFAULT, "gtk_entry_get_text_area"));
  Box room{};
  if (!area) return false;
  area(field->GetHandle(), &room);
  return field->GetTextExtent(field->GetValue()).x <= room.width;
}

// The popup's "Properties" of a waypoint far south and west, with long values: its second page
// (name and note) reached by its tab and by Ctrl+PgDn, a note typed with the keys, OK clicked
// with the pointer, and the waypoint keeps the note. The first page shows each value under its
// own label, whole in its field; in the projected display without the zone.
TEST_F(TapWaypointProperties, ThePopupsPropertiesEditTheNoteOnTheSecondPage) {
  doc_->DeleteAllFeatures();
  doc_->m_geoType = 2;  // degrees, minutes and seconds
  doc_->m_coord = 1;
  doc_->m_autoZone = 1;
  doc_->AddWaypoint(-171.987654, -33.987654, 480725);
  ASSERT_EQ(doc_->m_waypoints.size(), 1u);
  doc_->m_waypoints[0].name = "Pozo";
  ShowPainted();
  ASSERT_EQ(view_->m_waypointPoints.size(), 1u);

  struct Way {
    const char* name;
    std::function<void(CPropertySheet&)> toSecondPage;
    const char* note;
    int coord;  // the coordinate display: 2, projected, has no zone
  };
  const Way ways[] = {
      {"its tab clicked",
       [](CPropertySheet& sheet) { tvxtest::ClickTab(sheet.GetSheetDialog()->GetBookCtrl(), 1); },
       "Well by the gate", 1},
      {"Ctrl+PgDn",
       [](CPropertySheet& sheet) {
         const wxRect r = sheet.GetSheetDialog()->GetScreenRect();
         wxUIActionSimulator input;
         input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
         tvxtest::InputHandled();
         input.Char(WXK_PAGEDOWN, wxMOD_CONTROL);
         tvxtest::InputHandled();
       },
       "Dry since May", 2},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    doc_->m_coord = way.coord;
    std::map<std::string, std::string> shown;
    std::vector<std::string> cut;
    bool secondShown = false, done = false;
    std::string typed;
    tvxtest::PopupMenuAnswer properties(platform::ui::CommandToWxId(32851));
    tvxtest::AnswerWhenOnScreen<CPropertySheet>([&](CPropertySheet& sheet) {
      for (auto [label, field] : FieldsByLabel(sheet.GetPage(0)->GetWxWindow())) {
        shown[label] = field->GetValue().utf8_string();
        if (!ShowsWhole(field)) cut.push_back(label);
      }
      way.toSecondPage(sheet);
      CPropertyPage* second = sheet.GetPage(1);
      secondShown = tvxtest::PumpUntil([&] {
        return sheet.GetActiveIndex() == 1 && second->GetWxWindow() &&
               tvxtest::OnScreen(second->GetWxWindow());
      });
      if (secondShown) {
        auto* note = dynamic_cast<wxTextCtrl*>(second->GetDlgItemWindow(1211));
        tvxtest::RealClick(*note);
        wxUIActionSimulator input;
        input.Char('a', wxMOD_CONTROL);
        input.Text(way.note);
        tvxtest::PumpUntil([&] { return note->GetValue() == way.note; });
        tvxtest::InputHandled();
        typed = note->GetValue().utf8_string();
        tvxtest::RealClick(*sheet.GetSheetDialog()->FindWindow(wxID_OK));
      }
      if (sheet.GetSheetDialog()->IsModal()) sheet.EndDialog(IDCANCEL);
      done = true;
    });
    // The tap: the popup opens on the press.
    CPoint at = Client(view_->m_waypointPoints[0]);
    view_->ClientToScreen(&at);
    wxUIActionSimulator input;
    input.MouseMove(at.x, at.y);
    tvxtest::InputHandled();
    tvxtest::NotPairedWithTheLastClick();
    input.MouseClick();
    tvxtest::TheLastClick() = {std::chrono::steady_clock::now(), wxPoint(at.x, at.y), true};
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return done; }));
    tvxtest::InputHandled();
    EXPECT_TRUE(properties.chosen);
    EXPECT_TRUE(secondShown);
    EXPECT_EQ(typed, way.note);
    EXPECT_EQ(doc_->m_waypointNotes[0], way.note);
    EXPECT_EQ(doc_->m_waypoints[0].name, "Pozo");

    EXPECT_EQ(shown["Longitude"], "-171º 59' 15.554\"");
    EXPECT_EQ(shown["Latitude"], "-33º 59' 15.554\"");
    EXPECT_EQ(shown["Altitude"], "4807.25");
    if (way.coord != 2) {
      EXPECT_EQ(shown["Zone"], "2");
      EXPECT_EQ(shown["Northing"].size(), std::string("6238000.000").size()) << shown["Northing"];
    } else {
      EXPECT_EQ(shown.count("Zone"), 0u) << "no zone in the projected display";
    }
    EXPECT_EQ(cut, std::vector<std::string>{});
  }
}

}  // namespace
