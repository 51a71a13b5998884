// The map view's tap, key and command rules without a window: taps taken back to the ground,
// what a tap hits, tap-mode switching, command and menu states, key assignments.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "view/core/hit_tap_modes.h"
#include "view/core/hit_test.h"
#include "view/core/key_actions.h"
#include "view/core/key_menu_state.h"
#include "view/core/view_options.h"

namespace {

using Pt = ScreenPoint;

// The view's forward transform (world degrees -> client pixels, before rounding) written out
// from its definition: plane metres around the reference longitude, then the map bitmap,
// which sits 2 row units below the client's top.
void Forward(const MapViewState& t, double lon, double lat, double& x, double& y) {
  const double xm = (lon - t.m_refLon) * t.m_mPerMinLon * 60.0;
  const double ym = lat * t.m_mPerMinLat * 60.0;
  x = (xm - t.m_centreX) * t.m_scale + t.m_mapWidth / 2.0 + t.m_offsetX + 2.0;
  y = t.m_mapHeight - ((ym - t.m_centreY) * t.m_scale + t.m_mapHeight / 2.0) + t.m_offsetY + 2.0 +
      2.0 * t.m_rowUnit;
}

// The view's start-up projection (near 2.12 E, 41.38 N) on a 240 x 235 map area.
MapViewState Barcelona() {
  MapViewState t;
  t.m_mapWidth = 235;
  t.m_mapHeight = 230;
  t.m_rowUnit = 18;
  return t;
}

TEST(TapToWorld, InvertsTheViewTransformForPannedAndZoomedMaps) {
  for (int zoomStep = 0; zoomStep < 4; ++zoomStep) {
    MapViewState t = Barcelona();
    t.m_scale *= std::pow(1.25, zoomStep * 3);
    t.m_offsetX = -37 * zoomStep;
    t.m_offsetY = 21 * zoomStep;
    for (double lon : {2.1215, 2.1222105, 2.1241}) {
      for (double lat : {41.3780, 41.3792, 41.3801}) {
        double x = 0, y = 0;
        Forward(t, lon, lat, x, y);
        const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
        const GeoPoint back = TapToWorld(t, px, py);
        // Back at the pixel's own position: the rounding of the pixel is the only error.
        double bx = 0, by = 0;
        Forward(t, back.x, back.y, bx, by);
        EXPECT_NEAR(bx, px, 1e-6);
        EXPECT_NEAR(by, py, 1e-6);
        // Within half a pixel of the point itself.
        EXPECT_NEAR(back.x, lon, 0.5 / (t.m_scale * t.m_mPerMinLon * 60.0) + 1e-12);
        EXPECT_NEAR(back.y, lat, 0.5 / (t.m_scale * t.m_mPerMinLat * 60.0) + 1e-12);
      }
    }
  }
}

TEST(TapToWorld, WorkedCaseAndZeroScale) {
  // Map 200 x 100, row unit 10, scale 1 pixel per metre, centre on the plane origin: client
  // (102, 72) is the map centre (2 + 100, 2 + 50 + 2 x 10); 60 pixels right is 60 m east.
  MapViewState t;
  t.m_refLon = 10.0;
  t.m_mPerMinLon = 1000.0;
  t.m_scale = 1.0;
  t.m_centreX = 0.0;
  t.m_centreY = 0.0;
  t.m_mapWidth = 200;
  t.m_mapHeight = 100;
  t.m_rowUnit = 10;
  GeoPoint p = TapToWorld(t, 162, 72);
  EXPECT_NEAR(p.x, 10.001, 1e-12);
  EXPECT_NEAR(p.y, 0.0, 1e-12);
  p = TapToWorld(t, 102, 72 - 111);  // 111.18 m per thousandth of a degree north
  EXPECT_NEAR(p.y, 111.0 / 111180.0, 1e-12);

  // Everything drawn on one spot: a tap lies on that spot, never at infinity.
  t.m_scale = 0.0;
  t.m_centreX = 500.0;
  t.m_centreY = 1853.0 * 60.0 * 41.5;
  p = TapToWorld(t, 5, 300);
  EXPECT_NEAR(p.x, 10.0 + 500.0 / 60000.0, 1e-12);
  EXPECT_NEAR(p.y, 41.5, 1e-12);
}

TEST(HitTest, ToleranceIsSixByFourPixels) {
  const int row = 15;
  const std::vector<Pt> waypoints = {{100, 50}};
  const int sy = 50 + 2 * row;  // client y of the cached point
  struct Case {
    int dx, dy;
    bool hit;
  } cases[] = {{0, 0, true},   {-6, 4, true},  {6, -4, true}, {-7, 0, false},
               {7, 0, false},  {0, 5, false},  {0, -5, false}, {6, 5, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(HitWaypoint(waypoints, 100 + c.dx, sy + c.dy, row), c.hit ? 0 : -1)
        << c.dx << "," << c.dy;
  }
  // The first waypoint in index order wins.
  EXPECT_EQ(HitWaypoint(std::vector<Pt>{{10, 10}, {100, 50}, {101, 50}}, 101, sy, row), 1);
}

FeatureRecord Feature(int vertices, bool visible = true) {
  FeatureRecord f(FeatureType::Area, "f");
  for (int i = 0; i < vertices; ++i) f.AddVertex({double(i), 0}, {double(i), 0}, 0);
  f.visible = visible ? 1 : 0;
  return f;
}

TEST(HitTest, FeaturesAreOfferedByTheirFirstVertexLastHitAndCurrentWinning) {
  // Features 0 (3 vertices), 1 (hidden), 2 (no vertex), 3 (2 vertices), 4 (current, 2).
  std::vector<FeatureRecord> features = {Feature(3), Feature(2, false), Feature(0), Feature(2),
                                         Feature(2)};
  const int current = 4;
  // Cache: feature 0 at 0-2, feature 3 at 3-4, the current feature last at 5-6.
  std::vector<Pt> cache = {{50, 50}, {90, 90}, {95, 95}, {52, 51}, {10, 10}, {200, 200}, {20, 20}};
  const int row = 0;
  EXPECT_EQ(HitFeature(features, current, cache, 51, 50, row), 3);  // 0 and 3 hit: later wins
  EXPECT_EQ(HitFeature(features, current, cache, 90, 90, row), -1);  // a second vertex
  cache[5] = {51, 52};
  EXPECT_EQ(HitFeature(features, current, cache, 51, 50, row), 4);  // current beats both
  features[4].visible = 0;  // hidden current: its points are not in the cache
  cache.resize(5);
  EXPECT_EQ(HitFeature(features, current, cache, 51, 50, row), 3);
  // A cache from an earlier paint that does not reach a feature yet offers nothing for it.
  features[4].visible = 1;
  EXPECT_EQ(HitFeature(features, current, cache, 200, 200, row), -1);
}

TEST(DragShapes, RectangleCornersAndCircleSquare) {
  const auto r = RectangleCorners({1.5, 40.0}, {1.6, 40.2});
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0], (GeoPoint{1.5, 40.0}));
  EXPECT_EQ(r[1], (GeoPoint{1.6, 40.0}));
  EXPECT_EQ(r[2], (GeoPoint{1.6, 40.2}));
  EXPECT_EQ(r[3], (GeoPoint{1.5, 40.2}));
  GeoPoint a, b;
  CircleSquareCorners({400000, 4500000}, {400003, 4500004}, a, b);  // radius 5 m
  EXPECT_EQ(a, (GeoPoint{399995, 4500005}));
  EXPECT_EQ(b, (GeoPoint{400005, 4499995}));
}

TEST(TapModes, SwitchesBetweenModes) {
  EXPECT_EQ(ToggleTapMode(kTapNone, kTapWaypoint), kTapWaypoint);
  EXPECT_EQ(ToggleTapMode(kTapMeasureFirst, kTapWaypoint), kTapNone);
  EXPECT_EQ(ToggleTapMode(kTapRectangleDrag, kTapNewRectangle), kTapNone);
  // First/second point: measure and split modes move, others stay; 2 and 13 are never
  // stayed in.
  const std::map<int, std::pair<int, int>> points = {
      {2, {3, 4}}, {3, {3, 4}}, {4, {3, 4}}, {13, {14, 15}}, {14, {14, 15}},
      {15, {14, 15}}, {0, {0, 0}}, {7, {7, 7}}, {12, {12, 12}}};
  for (const auto& [from, to] : points) {
    EXPECT_EQ(FirstPointMode(from), to.first) << from;
    EXPECT_EQ(SecondPointMode(from), to.second) << from;
  }
  for (int m = 0; m <= 15; ++m) {
    EXPECT_EQ(TapModeAfterRelease(m), m >= 8 && m <= 11 ? 0 : m) << m;
  }
}

TEST(TapModes, CommandStatesFollowTheTapMode) {
  using namespace view_cmd;
  auto state = [](UINT id, ViewCommandContext c) { return ViewCommandState(id, c).value(); };
  ViewCommandContext c;
  // Zoom commands are enabled only in modes 0, 6 and 7; centre on GPS needs the receiver in 0.
  for (int m = 0; m <= 15; ++m) {
    c.tapMode = m;
    const bool zoomable = m == 0 || m == 6 || m == 7;
    for (UINT id : {kZoomIn, kZoomOut, kZoomFull}) EXPECT_EQ(*state(id, c).enabled, zoomable);
    c.gpsOn = false;
    EXPECT_EQ(*state(kZoomGps, c).enabled, m == 6 || m == 7);
    c.gpsOn = true;
    EXPECT_EQ(*state(kZoomGps, c).enabled, zoomable);
  }
  // The mode switches are checked in their own mode and enabled in it and in mode 0.
  struct Case {
    UINT id;
    int mode;
    bool enabled, checked;
  } cases[] = {{kPointQuery, 1, true, true},      {kPointQuery, 3, false, false},
               {kTwoPointMeasure, 4, true, true}, {kTwoPointMeasure, 0, true, false},
               {kWaypointByTap, 7, false, false}, {kNewRectangleByDrag, 9, true, true},
               {kNewCircleByDrag, 11, true, true}, {kAddVertexByTap, 6, false, false}};
  c = {};
  for (const Case& k : cases) {
    c.tapMode = k.mode;
    const CommandState s = state(k.id, c);
    EXPECT_EQ(*s.enabled, k.enabled) << k.id << " in " << k.mode;
    EXPECT_EQ(*s.checked, k.checked) << k.id << " in " << k.mode;
  }
  // Move-all needs an open receiver with a fix, no division and no circle being defined.
  c = {};
  c.tapMode = kTapMoveAll;
  EXPECT_FALSE(*state(kMoveAllByTap, c).enabled);
  c.gpsOn = c.hasFix = true;
  EXPECT_TRUE(*state(kMoveAllByTap, c).enabled);
  EXPECT_TRUE(*state(kMoveAllByTap, c).checked);
  c.definingCircle = true;
  EXPECT_FALSE(*state(kMoveAllByTap, c).enabled);
  // The circle from the GPS: disabled in move-all, checked while a circle is being defined.
  EXPECT_FALSE(*state(kCircleFromGps, c).enabled);
  c.tapMode = kTapNone;
  EXPECT_TRUE(*state(kCircleFromGps, c).enabled);
  EXPECT_TRUE(*state(kCircleFromGps, c).checked);
  // Divide is refused in the split modes and while a division runs.
  c = {};
  c.tapMode = kTapSplitFirst;
  EXPECT_FALSE(*state(kDivide, c).enabled);
  EXPECT_TRUE(*state(kSplitByLine, c).enabled);
  EXPECT_TRUE(*state(kEndTapMode, c).enabled);
  c.tapMode = kTapNone;
  c.splitInProgress = true;
  EXPECT_FALSE(*state(kDivide, c).enabled);
  EXPECT_FALSE(*state(kSplitByLine, c).enabled);
  EXPECT_FALSE(ViewCommandState(32801, c).has_value());  // the document's
}

std::map<UINT, MenuItemState> Final(const std::vector<MenuItemState>& changes) {
  std::map<UINT, MenuItemState> items;
  for (const MenuItemState& s : changes) {
    MenuItemState& item = items[s.id];
    item.id = s.id;
    if (s.enabled) item.enabled = s.enabled;
    if (s.checked) item.checked = s.checked;
    if (s.text) item.text = s.text;
    item.remove = item.remove || s.remove;
  }
  return items;
}

std::string Strings(UINT id) {
  switch (id) {
    case 59166: return "Export UTM";
    case 59254: return "Divide (%s)";
    default: return "Item (%s)";
  }
}

// (A single feature's texts without " ()" are checked on a real menu by the window test.)
TEST(MenuStates, FeatureItemsNameTheCurrentFeature) {
  MenuStateInput in;
  in.featureCount = 2;
  in.currentName = "Field 1";
  in.currentVertices = 3;
  in.gpsOn = in.hasFix = true;
  auto items = Final(MainMenuStates(in, Strings));
  EXPECT_EQ(*items[32852].text, "Divide (Field 1)");
  EXPECT_FALSE(*items[32852].enabled);  // fewer than 4 vertices
  EXPECT_TRUE(*items[32861].enabled);
  // A name holding a format directive is shown as typed.
  EXPECT_EQ(FeatureItemText("Divide (%s)", "50%s %d", 2), "Divide (50%s %d)");
}

TEST(MenuStates, ExportsLanguagesAndFixedItems) {
  MenuStateInput in;
  in.projectionName = "Lambert";
  in.language = 6;
  auto items = Final(MainMenuStates(in, Strings));
  for (UINT id : {32780u, 32779u, 32781u, 32838u, 32875u, 32836u, 32843u, 32844u}) {
    EXPECT_FALSE(*items[id].enabled) << id;
  }
  EXPECT_EQ(*items[32779].text, "Export Lambert");
  int checked = 0;
  for (UINT id = 32782; id <= 32796; ++id) checked += *items[id].checked ? 1 : 0;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(*items[32787].checked);  // 6 is Russian, the item after Dutch
  EXPECT_TRUE(items[1261].remove);
  // Only installed modules can be chosen; English is left to its update handler.
  in.languageMissing.set().reset(13);
  items = Final(MainMenuStates(in, Strings));
  EXPECT_FALSE(items[32782].enabled.has_value());
  EXPECT_TRUE(*items[32795].enabled);
  EXPECT_FALSE(*items[32787].enabled);
  EXPECT_FALSE(*items[32872].enabled);  // no parts
  in.currentHasParts = true;
  EXPECT_TRUE(*Final(MainMenuStates(in, Strings))[32872].enabled);
  in.waypointCount = 1;
  items = Final(MainMenuStates(in, Strings));
  EXPECT_TRUE(*items[32838].enabled);
  EXPECT_FALSE(*items[32836].enabled);  // Shapefile, PLT and TRK need vertices
  EXPECT_EQ(LanguageMenuItem(15), 0u);
}

TEST(KeyActions, DefaultAssignmentsRunTheirCommands) {
  const ViewSettings defaults;
  auto commandOfSlot = [&](int slot) {
    return slot < 0 ? 0u : FindKeyAction(defaults.m_keyActions[slot])->command;
  };
  EXPECT_EQ(commandOfSlot(SlotOfHotKey(0xC1)), 32801u);  // capture
  EXPECT_EQ(commandOfSlot(SlotOfHotKey(0xC2)), 32802u);  // automatic capture
  EXPECT_EQ(commandOfSlot(SlotOfHotKey(0xC3)), 32859u);  // averaging
  EXPECT_EQ(commandOfSlot(SlotOfHotKey(0xC4)), 32804u);  // GPS on/off
  EXPECT_EQ(commandOfSlot(SlotOfReleasedKey(37)), 32805u);  // left: full extent
  EXPECT_EQ(commandOfSlot(SlotOfReleasedKey(39)), 32806u);  // right: centre on GPS
  EXPECT_EQ(commandOfSlot(SlotOfReleasedKey(38)), 32807u);  // up: zoom in
  EXPECT_EQ(commandOfSlot(SlotOfReleasedKey(40)), 32811u);  // down: zoom out
  EXPECT_EQ(commandOfSlot(SlotOfReleasedKey(13)), 0u);      // Enter: nothing
  EXPECT_EQ(SlotOfHotKey(0xC5), -1);
  EXPECT_EQ(SlotOfReleasedKey(0xC1), -1);
  EXPECT_EQ(FindKeyAction(26), nullptr);
  EXPECT_EQ(FindKeyAction(-1), nullptr);
  EXPECT_TRUE(FindKeyAction(22)->targetsCurrentFeature);
  EXPECT_TRUE(FindKeyAction(19)->repaintAfter);
}

}  // namespace
