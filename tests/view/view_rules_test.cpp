// The map view's geometry and drawing rules, against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "view/core/view_layout.h"
#include "view/core/view_options.h"
#include "view/core/view_paint_rules.h"
#include "view/core/view_projection.h"

namespace {

FeatureRecord Feature(FeatureType type, std::vector<GeoPoint> points, bool visible = true) {
  FeatureRecord f(type, "f");
  for (const GeoPoint& p : points) f.AddVertex(p, p, 0);
  f.visible = visible ? 1 : 0;
  return f;
}

WaypointRecord Waypoint(double lon, double lat) {
  WaypointRecord w;
  w.x = lon;
  w.y = lat;
  return w;
}

TEST(ViewProjection, RoundingIsHalfAwayFromZero) {
  const std::pair<double, int> cases[] = {{0.5, 1}, {-0.5, -1}, {1.49, 1}, {-1.5, -2},
                                          {2.4999, 2}, {-0.49, 0}, {1e300, 2147483647}};
  for (auto [v, expected] : cases) EXPECT_EQ(RoundPixel(v), expected) << v;
}

// A 0.001 x 0.0005 degree block at latitude 60: cos 60 = 0.5, so 926.5 m per minute of
// longitude and both sides 55.59 m. A 211 x 111 map area gives a 206 x 106 map; the height
// decides the scale (106 / 55.59), times the zoom 0.8 the square spans 84.8 pixels.
TEST(ViewProjection, FitsASquareToTheMapArea) {
  std::vector<FeatureRecord> features{
      Feature(FeatureType::Area, {{10.0, 60.0}, {10.001, 60.0}, {10.001, 60.0005}, {10.0, 60.0005}})};
  MapViewState s;
  FitSource src;
  src.features = &features;
  ASSERT_TRUE(s.FitExtent(src, 211, 111));
  EXPECT_EQ(s.m_mapWidth, 206);
  EXPECT_EQ(s.m_mapHeight, 106);
  EXPECT_DOUBLE_EQ(s.m_refLon, 10.0);
  EXPECT_NEAR(s.m_mPerMinLon, 926.5, 1e-9);
  EXPECT_NEAR(s.m_scale, 106 / 55.59 * 0.8, 1e-9);
  EXPECT_NEAR(s.m_centreX, 27.795, 1e-6);
  // x = 103 + 2 -+ 42.4, y = 106 - (53 +- 42.4) + 2.
  const std::vector<ScreenPoint> expected{{63, 97}, {147, 97}, {147, 13}, {63, 13}};
  EXPECT_EQ(s.m_featurePoints, expected);
  // The GPS marker of the same corner on a client area drawn with 18-pixel rows.
  s.m_rowUnit = 18;
  EXPECT_EQ(s.WorldToScreenX(10.001, 206), 147);
  EXPECT_EQ(s.WorldToScreenY(60.0005, 106), 13 - 2 + 38);
}

TEST(ViewProjection, ScreenToWorldInvertsWorldToScreen) {
  MapViewState s;
  s.m_mapWidth = 235;
  s.m_mapHeight = 250;
  s.m_rowUnit = 17;
  s.m_offsetX = -13;
  s.m_offsetY = 29;
  s.m_scale = 3.7;
  for (double lon : {2.1212, 2.1222105, 2.1240}) {
    for (double lat : {41.3790, 41.3800, 41.3811}) {
      const int x = s.WorldToScreenX(lon, s.m_mapWidth), y = s.WorldToScreenY(lat, s.m_mapHeight);
      double backLon, backLat;
      s.ScreenToWorld(x, y, backLon, backLat);
      // Within the half pixel the rounding lost.
      EXPECT_NEAR(s.PlaneX(backLon), s.PlaneX(lon), 0.5 / s.m_scale + 1e-9);
      EXPECT_NEAR(s.PlaneY(backLat), s.PlaneY(lat), 0.5 / s.m_scale + 1e-9);
    }
  }
}

TEST(ViewProjection, FitEdgeCases) {
  FitSource src;
  // A single point keeps the scale and applies the zoom again on each fit.
  std::vector<FeatureRecord> one{Feature(FeatureType::Area, {{1.0, 40.0}})};
  MapViewState s;
  s.m_scale = 2.0;
  src.features = &one;
  ASSERT_TRUE(s.FitExtent(src, 100, 100));
  EXPECT_DOUBLE_EQ(s.m_scale, 1.6);
  ASSERT_TRUE(s.FitExtent(src, 100, 100));
  EXPECT_DOUBLE_EQ(s.m_scale, 2.0 * 0.8 * 0.8);
  EXPECT_EQ(s.m_featurePoints, (std::vector<ScreenPoint>{{50, 50}}));  // 47.5 + 2 rounded up

  // Two points on one spot: scale 0, all at the centre.
  std::vector<FeatureRecord> spot{Feature(FeatureType::Line, {{1.0, 40.0}, {1.0, 40.0}})};
  src.features = &spot;
  ASSERT_TRUE(s.FitExtent(src, 100, 100));
  EXPECT_EQ(s.m_scale, 0.0);

  // North-south only: the height decides. 0.001 degree of latitude is 111.18 m.
  std::vector<FeatureRecord> ns{Feature(FeatureType::Line, {{1.0, 40.0}, {1.0, 40.001}})};
  src.features = &ns;
  ASSERT_TRUE(s.FitExtent(src, 300, 100));
  EXPECT_NEAR(s.m_scale, 95 / 111.18 * 0.8, 1e-9);

  // Nothing counted: no fit, the previous caches stay.
  std::vector<FeatureRecord> hidden{Feature(FeatureType::Area, {{5.0, 5.0}}, false)};
  src.features = &hidden;
  const double before = s.m_scale;
  EXPECT_FALSE(s.FitExtent(src, 300, 100));
  EXPECT_EQ(s.m_scale, before);
  EXPECT_EQ(s.m_featurePoints.size(), 2u);
}

TEST(ViewProjection, FitReferenceAndCacheOrder) {
  std::vector<FeatureRecord> features{
      Feature(FeatureType::Area, {{3.0, 30.0}, {3.1, 30.1}}),     // current: cached last
      Feature(FeatureType::Area, {{9.0, 9.0}}, false),           // hidden: skipped
      Feature(FeatureType::Line, {{3.05, 30.05}})};
  std::vector<WaypointRecord> waypoints{Waypoint(3.2, 60.0)};
  FitSource src;
  src.features = &features;
  src.current = 0;
  src.waypoints = &waypoints;

  // Waypoints not shown: reference from the first visible vertex, cache = line then current.
  MapViewState s;
  ASSERT_TRUE(s.FitExtent(src, 200, 200));
  EXPECT_DOUBLE_EQ(s.m_refLon, 3.0);
  EXPECT_NEAR(s.m_mPerMinLon, 1853.0 * std::cos(30.0 * M_PI / 180), 1e-9);
  ASSERT_EQ(s.m_featurePoints.size(), 3u);
  EXPECT_EQ(s.m_featurePoints[0], s.WorldToBitmap(3.05, 30.05));
  EXPECT_EQ(s.m_featurePoints[1], s.WorldToBitmap(3.0, 30.0));
  EXPECT_TRUE(s.m_waypointPoints.empty());

  // Shown: the first waypoint is the reference unless a fix with a latitude exists.
  src.countWaypoints = true;
  src.hasFix = true;
  src.fixLon = 7.0;
  src.fixLat = 1e-11;
  ASSERT_TRUE(s.FitExtent(src, 200, 200));
  EXPECT_DOUBLE_EQ(s.m_refLon, 3.2);
  EXPECT_NEAR(s.m_mPerMinLon, 926.5, 1e-9);
  EXPECT_EQ(s.m_waypointPoints.size(), 1u);
  src.fixLat = 45.0;
  ASSERT_TRUE(s.FitExtent(src, 200, 200));
  EXPECT_DOUBLE_EQ(s.m_refLon, 7.0);

  // The newest offset point is left out of the fit and of the cache.
  std::vector<FeatureRecord> none;
  std::vector<GeoPoint> track{{3.0, 30.0}, {3.001, 30.0}, {50.0, 50.0}};
  FitSource offsetOnly;
  offsetOnly.features = &none;
  offsetOnly.offsetTrack = &track;
  MapViewState o;
  const double refBefore = o.m_refLon;
  ASSERT_TRUE(o.FitExtent(offsetOnly, 201, 200));
  EXPECT_EQ(o.m_offsetPoints.size(), 2u);
  EXPECT_EQ(o.m_refLon, refBefore) << "no source for a reference: the previous one stays";
  EXPECT_EQ(o.m_offsetPoints[0].y, o.m_offsetPoints[1].y);
  EXPECT_EQ(o.m_offsetPoints[1].x - o.m_offsetPoints[0].x, 156);  // the width at zoom 0.8
}

// The caches hold what the fit was made from; each change of what the fit looks at (or of
// the map's size, zoom or pan) tells them apart, a moved fix does not.
TEST(ViewProjection, CacheKeyTellsWhatTheCachesWereMadeFrom) {
  std::vector<FeatureRecord> features{
      Feature(FeatureType::Area, {{3.0, 30.0}, {3.1, 30.1}, {3.1, 30.0}}),
      Feature(FeatureType::Line, {{3.05, 30.05}, {3.06, 30.05}})};
  std::vector<WaypointRecord> waypoints{Waypoint(3.02, 30.02)};
  std::vector<GeoPoint> track{{3.0, 30.0}, {3.01, 30.0}};
  FitSource src;
  src.features = &features;
  src.current = 0;
  src.waypoints = &waypoints;
  src.countWaypoints = true;
  src.offsetTrack = &track;
  MapViewState s;
  ASSERT_TRUE(s.FitExtent(src, 200, 200));
  ASSERT_TRUE(s.CachesHold(s.KeyOf(src, 200, 200)));

  struct Change {
    const char* what;
    std::function<void(std::vector<FeatureRecord>&, std::vector<WaypointRecord>&,
                       std::vector<GeoPoint>&, FitSource&, MapViewState&, int&)>
        apply;
    bool holds;
  };
  const Change changes[] = {
      {"nothing", [](auto&, auto&, auto&, auto&, auto&, int&) {}, true},
      {"a fix elsewhere", [](auto&, auto&, auto&, FitSource& f, auto&, int&) {
         f.hasFix = true;
         f.fixLon = 50;
         f.fixLat = 50;
       }, true},
      {"a vertex moved", [](auto& fs, auto&, auto&, auto&, auto&, int&) { fs[1].vertices[1].y += 1e-9; }, false},
      {"a feature hidden", [](auto& fs, auto&, auto&, auto&, auto&, int&) { fs[1].visible = 0; }, false},
      {"another current feature", [](auto&, auto&, auto&, FitSource& f, auto&, int&) { f.current = 1; }, false},
      {"a waypoint deleted", [](auto&, auto& ws, auto&, auto&, auto&, int&) { ws.clear(); }, false},
      {"waypoints not shown", [](auto&, auto&, auto&, FitSource& f, auto&, int&) { f.countWaypoints = false; }, false},
      {"the offset track grown", [](auto&, auto&, auto& t, auto&, auto&, int&) { t.push_back({3.02, 30.0}); }, false},
      {"offset switched off", [](auto&, auto&, auto&, FitSource& f, auto&, int&) { f.offsetTrack = nullptr; }, false},
      {"a wider window", [](auto&, auto&, auto&, auto&, auto&, int& w) { w = 201; }, false},
      {"zoomed", [](auto&, auto&, auto&, auto&, MapViewState& m, int&) { m.ZoomBy(1.25); }, false},
      {"panned", [](auto&, auto&, auto&, auto&, MapViewState& m, int&) { m.m_offsetX += 1; }, false},
      {"the caches emptied", [](auto&, auto&, auto&, auto&, MapViewState& m, int&) { m.ForgetCaches(); }, false},
  };
  for (const Change& c : changes) {
    auto fs = features;
    auto ws = waypoints;
    auto t = track;
    FitSource f = src;
    f.features = &fs;
    f.waypoints = &ws;
    if (f.offsetTrack) f.offsetTrack = &t;
    MapViewState m = s;
    int width = 200;
    c.apply(fs, ws, t, f, m, width);
    EXPECT_EQ(m.CachesHold(m.KeyOf(f, width, 200)), c.holds) << c.what;
  }

  // A captured point: the caches of the feature before it are those of the document with its
  // newest vertex left out; once its pixel joined them they hold the document as it is.
  auto fs = features;
  FitSource f = src;
  f.features = &fs;
  fs[0].AddVertex({3.05, 30.02}, {3.05, 30.02}, 0);
  MapViewState m = s;
  EXPECT_FALSE(m.CachesHold(m.KeyOf(f, 200, 200)));
  EXPECT_TRUE(m.CachesHold(m.KeyOf(f, 200, 200, true)));
  m.m_featurePoints.push_back(m.WorldToBitmap(3.05, 30.02));
  m.m_cacheKey = m.KeyOf(f, 200, 200);
  EXPECT_TRUE(m.CachesHold(m.KeyOf(f, 200, 200)));
  MapViewState refitted = s;
  ASSERT_TRUE(refitted.FitExtent(f, 200, 200));
  EXPECT_EQ(refitted.m_cacheKey, m.m_cacheKey);
}

TEST(ViewProjection, ZoomAndPanOffsets) {
  MapViewState s;
  s.m_offsetX = 7;
  s.m_offsetY = -7;
  s.ZoomBy(1.25);
  EXPECT_EQ(s.m_offsetX, 8);  // 8.75 truncated
  EXPECT_EQ(s.m_offsetY, -8);
  s.ZoomBy(0.8);
  EXPECT_DOUBLE_EQ(s.m_zoom, 0.8);
  EXPECT_EQ(s.m_offsetX, 6);  // 6.4: the offsets shrink by a pixel
  EXPECT_EQ(s.m_offsetY, -6);

  s.m_markerX = 150;
  s.m_markerY = 80;
  s.CentreOnMarker(200, 301);
  EXPECT_EQ(s.m_offsetX, 6 - 50);
  EXPECT_EQ(s.m_offsetY, -6 + 70);  // -6 - (80 - 150.5) = 64.5, truncated

  s.m_panDelta = {5, -3};
  s.CommitPanDelta();
  EXPECT_EQ(s.m_offsetX, -39);
  EXPECT_EQ(s.m_offsetY, 61);
  EXPECT_EQ(s.m_panDelta, (ScreenPoint{0, 0}));
}

TEST(ViewLayout, PanelsAndFonts) {
  auto normal = LayoutPanels(240, 320, 18, false, 96, 96);
  EXPECT_EQ(normal[kPositionPanel], (PanelRect{-1, 0, 121, 36}));
  EXPECT_EQ(normal[kAltitudePanel], (PanelRect{119, 0, 122, 36}));
  EXPECT_EQ(normal[kLengthPanel], (PanelRect{-1, 303, 121, 18}));
  EXPECT_EQ(normal[kAreaPanel], (PanelRect{119, 303, 122, 18}));
  // 192 dpi across, 144 down: one pixel becomes 2 across and 2 down ((144+48)/96),
  // two pixels 4 across and 3 down.
  auto hi = LayoutPanels(480, 640, 30, true, 192, 144);
  EXPECT_EQ(hi[kPositionPanel], (PanelRect{-2, 0, 242, 60}));
  EXPECT_EQ(hi[kAltitudePanel], (PanelRect{238, 0, 243, 60}));
  EXPECT_EQ(hi[kLengthPanel], (PanelRect{-2, 612, 242, 30}));
  EXPECT_EQ(hi[kAreaPanel], (PanelRect{238, 612, 244, 30}));

  EXPECT_EQ(MapFontHeight(8, 96), -10);  // -10.67 toward zero
  EXPECT_EQ(MapFontHeight(9, 96), -12);
  EXPECT_EQ(MapFontHeight(8, 192), -21);
  EXPECT_EQ(PanelRowUnit(-10, false, 96), 13);
  EXPECT_EQ(PanelRowUnit(0, false, 96), 18);
  EXPECT_EQ(PanelRowUnit(-21, true, 192), 21 + 6);
}

TEST(ViewLayout, RulerStepsLengthsAndPlace) {
  struct Case {
    int step;
    double scale;
    int metrica;
    int expectStep, expectLength;
    bool grid;
    const char* text;
  } cases[] = {
      {-1, 1.0, 0, 10, 10, true, "10 m"},     {-1, 0.3, 0, 100, 30, true, "100 m"},
      {-1, 60.0, 0, 0, 0, false, "0 m"},      {-1, 1.0, 1, 10, 9, true, "10 yd"},
      {25, 2.0, 0, 25, 50, true, "25 m"},     {25, 2.0, 1, 25, 45, true, "25 yd"},
      {-1, 0.004, 0, 10000, 40, true, "10000 m"}, {-1, 1.0, 2, 10, 10, true, "10 m"},
      // Points thousands of kilometres apart: the step grows past 10 km instead of the
      // grid closing up to a line on every pixel.
      {-1, 0.0004, 0, 100000, 40, true, "100000 m"}, {-1, 0.00016, 0, 100000, 16, true, "100000 m"},
      {-1, 0.0000004, 0, 100000000, 40, true, "100000000 m"},
      {-1, 0.0004, 1, 100000, 36, true, "100000 yd"},
      // Beyond a thousand million units to 5 pixels, and a map of no extent: no grid.
      {-1, 1e-12, 0, 1000000000, 0, false, "1000000000 m"}, {-1, 0.0, 0, 10000, 0, false, "10000 m"},
      // A chosen step shows its grid only where the lines stand 5 pixels apart.
      {1, 4.9, 0, 1, 4, false, "1 m"},        {1, 5.0, 0, 1, 5, true, "1 m"},
      {100, 0.01, 0, 100, 1, false, "100 m"},
  };
  for (const Case& c : cases) {
    RulerScale r = ComputeRuler(c.step, c.scale, c.metrica);
    EXPECT_EQ(r.step, c.expectStep) << c.text;
    EXPECT_EQ(r.lengthPx, c.expectLength) << c.text;
    EXPECT_EQ(r.grid, c.grid) << c.text << " at " << c.scale;
    EXPECT_EQ(RulerText(r.step, c.metrica), c.text);
  }
  RulerPlace p = PlaceRuler(300, 10, false, 96, 96);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.textY, 230);
  EXPECT_EQ(p.barY, 242);
  EXPECT_EQ(p.tickFrom, 244);
  EXPECT_EQ(p.tickTo, 240);
  RulerPlace h = PlaceRuler(600, 20, true, 192, 192);
  EXPECT_EQ(h.x, 20);
  EXPECT_EQ(h.textY, 600 - 40 - 100);
  EXPECT_EQ(h.barY, 600 - 20 - 96);
}

TEST(ViewOptions, ReadsDefaultsAndStoredValuesAndWritesInOrder) {
  std::map<std::string, int> store{{"Labels", 1}, {"VK1", 0x10B}, {"HKE", 0}};
  ViewSettings v;
  v.ReadViewOptions([&](const std::string& name, int def) {
    auto it = store.find(name);
    return it == store.end() ? def : it->second;
  });
  EXPECT_EQ(v.m_showLabels, 1);
  EXPECT_EQ(v.m_showWaypoints, 1);
  EXPECT_EQ(v.m_showZoombar, 1);
  EXPECT_EQ(v.m_showRuler, 0);
  EXPECT_EQ(v.m_keyActions[0], 11) << "the low byte of the stored value";
  EXPECT_EQ(v.m_keyActions[4], 5);
  EXPECT_EQ(v.m_keyActions[8], 0);
  EXPECT_EQ(v.m_hotKeys, 0);

  std::vector<std::string> names;
  v.WriteViewOptions([&](const std::string& name, int) { names.push_back(name); });
  const std::vector<std::string> order{"Vertices", "VerticesName", "Labels", "Contorno", "Puntos",
                                       "Regla", "Overlay", "Entidades", "Notas", "Zoombar",
                                       "VK1", "VK2", "VK3", "VK4", "VKL", "VKR", "VKU", "VKD",
                                       "VKE", "HKE"};
  EXPECT_EQ(names, order);
}

TEST(ViewPaintRules, ShapesPatternsAndLabels) {
  EXPECT_EQ(ShapeOf(FeatureType::Line), FeatureShape::Polyline);
  EXPECT_EQ(ShapeOf(FeatureType::Part), FeatureShape::Polygon);
  EXPECT_EQ(ShapeOf(FeatureType::CircleLine), FeatureShape::Ellipse);
  EXPECT_EQ(ShapeOf(FeatureType::Waypoint), FeatureShape::None);
  EXPECT_TRUE(IsDashedOutline(FeatureType::Line));
  EXPECT_FALSE(IsDashedOutline(FeatureType::Part));

  // Rows of the 5 x 5 cells, '#' where the feature's colour goes.
  auto rows = [](std::int32_t pattern) {
    FillPattern p = PatternCells(pattern);
    std::string out;
    for (int i = 0; i < 25; ++i) out += (p.ink[static_cast<std::size_t>(i)] ? '#' : '.');
    return out;
  };
  EXPECT_EQ(rows(0), std::string(25, '#'));
  EXPECT_EQ(rows(1), ".........." "#####" "..........");
  EXPECT_EQ(rows(3), "..#....#..#####..#....#..");
  EXPECT_EQ(rows(4), "#.....#.....#.....#.....#");
  EXPECT_EQ(rows(5), "....#...#...#...#...#....");
  EXPECT_EQ(rows(9), std::string(25, '.'));
  EXPECT_TRUE(PatternCells(6).hollow);
  EXPECT_FALSE(PatternCells(7).hollow);

  EXPECT_EQ(MarkedVertexCount(FeatureType::Circle, 3), 1u);
  EXPECT_EQ(MarkedVertexCount(FeatureType::Area, 4), 4u);
  EXPECT_EQ(VertexLabel(FeatureType::Circle, 0), "0");
  EXPECT_EQ(VertexLabel(FeatureType::Line, 2), "3");
  EXPECT_TRUE(VertexMarkInside({1, 1}, 100, 50));
  EXPECT_FALSE(VertexMarkInside({0, 10}, 100, 50));
  EXPECT_FALSE(VertexMarkInside({100, 10}, 100, 50));
  EXPECT_FALSE(VertexMarkInside({10, 50}, 100, 50));
}

TEST(ViewPaintRules, TappedPointAndMeasureTexts) {
  // -3.7025 = -3 deg 42.15' = 42' 9.0"; 40.4168 = 40 deg 25.008' = 25' 0.48".
  EXPECT_EQ(TappedPointText(0, 0, -3.7025, 40.4168, 0, 0),
            "Lon -3.7025000\u00b0 | Lat 40.4168000\u00b0");
  EXPECT_EQ(TappedPointText(0, 1, -3.7025, 40.4168, 0, 0),
            "Lon -03\u00b0 42.1500' | Lat 40\u00b0 25.0080'");
  EXPECT_EQ(TappedPointText(0, 2, -3.7025, 40.4168, 0, 0),
            "Lon -03\u00b0 42' 9.0\" | Lat 40\u00b0 25' 0.5\"");
  EXPECT_EQ(TappedPointText(0, 3, -3.7025, 40.4168, 0, 0), "");
  // Between -1 and 0 degrees the sign stays: -0.5 is 30' west (south), not "000".
  EXPECT_EQ(TappedPointText(0, 1, -0.5, -0.25, 0, 0),
            "Lon -00\u00b0 30.0000' | Lat -0\u00b0 15.0000'");
  EXPECT_EQ(TappedPointText(0, 2, -3.7, 40.4, 0, 0),
            "Lon -03\u00b0 42' 0.0\" | Lat 40\u00b0 24' 0.0\"");  // never 23' 60.0"
  EXPECT_EQ(TappedPointText(0, 2, -0.5, 0.25, 0, 0),
            "Lon -00\u00b0 30' 0.0\" | Lat 00\u00b0 15' 0.0\"");
  EXPECT_EQ(TappedPointText(1, 0, 0, 0, 440123.44, 4473456.06), " E 440123.4 m | N 4473456.1 m");
  EXPECT_EQ(TappedPointText(5, 0, 0, 0, 1, 2), "");

  EXPECT_EQ(MeasureDistanceText("P1", 100.0, 0), "P1 d=100.0 m   ");
  EXPECT_EQ(MeasureDistanceText("P1", 100.0, 1), "P1 d=109.4 yd   ");
  EXPECT_EQ(MeasureDeltaText(10, -20, 1.25, 1), "dx=10.9 yd dy=-21.9 yd dz=1.2 m   ");
}

TEST(ViewPaintRules, ArrowRotation) {
  int c, r;
  // No turn: every pixel is its own source.
  ASSERT_TRUE(RotatedSourcePixel(3, 7, 16, 16, 0.0f, c, r));
  EXPECT_EQ(c, 3);
  EXPECT_EQ(r, 7);
  // A quarter turn: destination column 12 (x = 4) on the centre row takes source row 4.
  ASSERT_TRUE(RotatedSourcePixel(12, 8, 16, 16, static_cast<float>(M_PI / 2), c, r));
  EXPECT_EQ(c, 8);
  EXPECT_EQ(r, 4);
  // A half turn of a corner falls outside the bitmap on the far side.
  EXPECT_FALSE(RotatedSourcePixel(0, 0, 16, 16, static_cast<float>(M_PI), c, r));
}

TEST(ViewPaintRules, CapturedPointSteps) {
  const ScreenPoint inside{50, 50};
  EXPECT_EQ(DecideSegmentStep(true, 100, false, true, inside, 100, 100), SegmentStep::Ignore);
  EXPECT_EQ(DecideSegmentStep(false, 39, false, true, inside, 100, 100), SegmentStep::Refit);
  EXPECT_EQ(DecideSegmentStep(false, 40, true, true, inside, 100, 100), SegmentStep::Refit);
  EXPECT_EQ(DecideSegmentStep(false, 40, false, false, inside, 100, 100), SegmentStep::Ignore);
  EXPECT_EQ(DecideSegmentStep(false, 40, false, true, inside, 100, 100), SegmentStep::Draw);
  EXPECT_EQ(DecideSegmentStep(false, 40, false, true, {100, 0}, 100, 100), SegmentStep::Draw);
  EXPECT_EQ(DecideSegmentStep(false, 40, false, true, {101, 5}, 100, 100), SegmentStep::Recentre);
  EXPECT_EQ(DecideSegmentStep(false, 40, false, true, {5, -1}, 100, 100), SegmentStep::Recentre);

  // The part of the map a captured point changes: the triangle of the previous last vertex,
  // the new one and the first, two pixels round it (pen and vertex mark), with the new
  // vertex's number and the offset track before and after, cut to the map.
  EXPECT_EQ(CapturedPointBox({50, 40}, {60, 45}, {10, 80}, {}, {}, {}, 100, 100),
            (PixelBox{8, 38, 63, 83}));
  EXPECT_EQ(CapturedPointBox({50, 40}, {60, 45}, {55, 42}, TextBox(60, 45, 2, 7, 10), {}, {}, 100, 100),
            (PixelBox{48, 38, 100, 66}));
  EXPECT_EQ(CapturedPointBox({50, 40}, {60, 45}, {55, 42}, {}, {{20, 20}, {30, 25}}, {{30, 25}, {90, 95}},
                             100, 100),
            (PixelBox{18, 18, 93, 98}));
  EXPECT_EQ(CapturedPointBox({-50, 40}, {-60, 45}, {-55, 42}, {}, {}, {}, 100, 100), PixelBox{})
      << "all of it off the map";
  // A text's box reaches at least two of the widest letters a byte, a line down.
  EXPECT_EQ(TextBox(10, 20, 3, 7, 10), (PixelBox{9, 19, 10 + 3 * 2 * 10 + 10, 20 + 21}));
  EXPECT_TRUE(Meets({0, 0, 10, 10}, {9, 9, 20, 20}));
  EXPECT_FALSE(Meets({0, 0, 10, 10}, {10, 0, 20, 10}));

  // After a captured point the offset cache holds what a fit of the same track holds: every
  // point but the newest, at the projection of the last fit.
  std::vector<FeatureRecord> none;
  std::vector<GeoPoint> track{{3.0, 30.0}, {3.001, 30.0}, {3.001, 30.001}};
  FitSource src;
  src.features = &none;
  src.offsetTrack = &track;
  MapViewState s;
  ASSERT_TRUE(s.FitExtent(src, 201, 200));
  track.push_back({3.0, 30.001});
  const std::vector<ScreenPoint> before = s.m_offsetPoints;
  s.CacheOffsetTrack(&track);
  ASSERT_EQ(s.m_offsetPoints.size(), 3u);
  EXPECT_EQ(std::vector<ScreenPoint>(s.m_offsetPoints.begin(), s.m_offsetPoints.begin() + 2), before);
  EXPECT_EQ(s.m_offsetPoints[2], s.WorldToBitmap(3.001, 30.001));
  s.CacheOffsetTrack(nullptr);
  EXPECT_TRUE(s.m_offsetPoints.empty());
}

}  // namespace
