// Navigation: distance and bearing to a target against PROJ's geodesic (the planar UTM
// values differ from it by the scale factor and the meridian convergence, which PROJ also
// gives), and the compass rose's layout for worked-out courses and bearings.
#include <gtest/gtest.h>

#include <geodesic.h>
#include <proj.h>

#include <cmath>
#include <random>

#include "coords/transform_set.h"
#include "view/core/nav_compass.h"
#include "view/core/nav_labels.h"
#include "view/core/nav_target.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The scale factor and meridian convergence (degrees) of UTM zone `zone` at a point.
struct ZoneFactors {
  double scale, convergence;
};
ZoneFactors FactorsAt(int zone, double lon, double lat) {
  PJ* utm = proj_create(nullptr, ("+proj=utm +ellps=WGS84 +zone=" + std::to_string(zone)).c_str());
  PJ_FACTORS f = proj_factors(utm, proj_coord(lon * kPi / 180, lat * kPi / 180, 0, 0));
  proj_destroy(utm);
  return {f.meridional_scale, f.meridian_convergence * 180 / kPi};
}

double AngleDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

TEST(NavigationTarget, DistanceAndBearingAgreeWithTheGeodesicWithinTheZonesFactors) {
  TransformSet set = TransformSet::Build(CoordSettings{});  // UTM on WGS84
  ASSERT_TRUE(set.Ready());
  geod_geodesic wgs84;
  geod_init(&wgs84, 6378137.0, 1 / 298.257223563);

  std::mt19937 random(7);
  std::uniform_real_distribution<double> lonOf(-179, 179), latOf(-70, 70), offset(-0.02, 0.02);
  double worstDistance = 0, worstBearing = 0;
  for (int i = 0; i < 300; ++i) {
    const double lon = lonOf(random), lat = latOf(random);
    const double fixLon = lon + offset(random), fixLat = lat + offset(random);
    NavTarget target;
    ASSERT_TRUE(AimAt(set, lon, lat, 12000, target));
    NavReading reading;
    ASSERT_TRUE(ReadNavigation(set, target, fixLon, fixLat, 2000, reading));

    double s12 = 0, aziFix = 0, aziTarget = 0;
    // Azimuth of the target seen from the fix.
    geod_inverse(&wgs84, fixLat, fixLon, lat, lon, &s12, &aziFix, &aziTarget);
    const ZoneFactors f = FactorsAt(target.zone, (lon + fixLon) / 2, (lat + fixLat) / 2);
    worstDistance = std::max(worstDistance, std::fabs(reading.distance - s12 * f.scale) / s12);
    // PROJ gives the convergence as the angle from grid north to true north.
    worstBearing = std::max(worstBearing,
                            std::fabs(AngleDifference(reading.bearing, aziFix - f.convergence)));
    EXPECT_DOUBLE_EQ(reading.dz, 100.0);
    EXPECT_NEAR(std::hypot(reading.dx, reading.dy), reading.distance, 1e-6);
  }
  EXPECT_LT(worstDistance, 2e-5);
  EXPECT_LT(worstBearing, 0.01);
}

TEST(NavigationTarget, KeepsItsZoneWhenOtherMeasuresMovedTheTransformation) {
  TransformSet set = TransformSet::Build(CoordSettings{});
  NavTarget target;
  ASSERT_TRUE(AimAt(set, 2.9, 41.5, 0, target));  // zone 31
  EXPECT_EQ(target.zone, 31);
  EXPECT_DOUBLE_EQ(target.centralMeridian, 3.0);
  NavReading before, after;
  ASSERT_TRUE(ReadNavigation(set, target, 2.91, 41.51, 0, before));
  set.RetargetUtm(UtmTarget::Measuring, 30, true);  // a distance measured farther west
  ASSERT_TRUE(ReadNavigation(set, target, 2.91, 41.51, 0, after));
  EXPECT_NEAR(after.distance, before.distance, 1e-9);
  EXPECT_NEAR(after.bearing, before.bearing, 1e-9);
}

TEST(NavigationTarget, ArrivalBeepInsideTheSoundDistanceOnly) {
  // "NavSoundDistance" 5000 is 5 m.
  EXPECT_TRUE(ArrivalBeep(1, 4.99, 5.0));
  EXPECT_FALSE(ArrivalBeep(1, 5.0, 5.0));
  EXPECT_FALSE(ArrivalBeep(0, 1.0, 5.0));
}

// Direction of a point from the centre, as a compass word for screen axes.
std::string Side(const CompassPoint& p, int cx, int cy) {
  const int dx = p.x - cx, dy = p.y - cy;
  if (std::abs(dx) > 2 * std::abs(dy)) return dx > 0 ? "right" : "left";
  if (std::abs(dy) > 2 * std::abs(dx)) return dy > 0 ? "down" : "up";
  return "diagonal";
}
CompassPoint Centre(const RoseLabel& l) { return {(l.left + l.right) / 2, (l.top + l.bottom) / 2}; }

TEST(CompassRose, TurnsWithTheCourseAndPointsAtTheTarget) {
  struct Case {
    double course, bearing;
    const char* north;   // where "N" sits
    const char* east;    // where "E" sits
    const char* needle;  // where the needle points
  };
  const Case cases[] = {
      {0, 90, "up", "right", "right"},
      {90, 90, "left", "up", "up"},
      {180, 0, "down", "left", "down"},
      {270, 180, "right", "down", "left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.course);
    const RoseLayout small = SmallRoseLayout(70, 90, c.course, c.bearing, 96);
    EXPECT_EQ(small.cx, 35);
    EXPECT_EQ(small.cy, 45);
    ASSERT_EQ(small.labels.size(), 4u);
    EXPECT_EQ(small.labels[0].text, "N");
    EXPECT_TRUE(small.labels[0].north);
    EXPECT_EQ(Side(Centre(small.labels[0]), 35, 45), c.north);
    EXPECT_EQ(Side(Centre(small.labels[1]), 35, 45), c.east);
    EXPECT_EQ(Side(small.needleTip, 35, 45), c.needle);
    EXPECT_NEAR(std::hypot(small.needleTip.x - 35, small.needleTip.y - 45), 20, 1.0);

    const RoseLayout large = LargeRoseLayout(200, 220, c.course, c.bearing, 96);
    EXPECT_EQ(large.cy, 120);
    ASSERT_EQ(large.labels.size(), 8u);
    EXPECT_EQ(large.labels[2].text, "E");
    EXPECT_EQ(Side(Centre(large.labels[0]), 100, 120), c.north);
    EXPECT_EQ(Side(large.needleTip, 100, 120), c.needle);
    // The arrowhead's strokes run back towards the centre, one either side of the needle.
    const double tip = std::hypot(large.needleTip.x - 100, large.needleTip.y - 120);
    EXPECT_NEAR(tip, 70, 1.0);
    for (const CompassPoint& end : {large.arrowLeft, large.arrowRight}) {
      EXPECT_LT(std::hypot(end.x - 100, end.y - 120), tip - 10);
    }
    EXPECT_NE(large.arrowLeft, large.arrowRight);
  }
  // A high-resolution screen doubles the sizes.
  EXPECT_EQ(SmallRoseLayout(140, 180, 0, 0, 192).radius, 50);
  EXPECT_EQ(ScaleForDpi(25, 130), 34);
}

TEST(CompassTexts, RelativeBearingDistanceAndUnits) {
  EXPECT_DOUBLE_EQ(RelativeBearing(10, 350), -340);
  EXPECT_DOUBLE_EQ(RelativeBearing(350, 10), -20);
  EXPECT_DOUBLE_EQ(RelativeBearing(90, 0), 90);
  EXPECT_EQ(CompassDistanceText(100, false), "100.00 m");
  EXPECT_EQ(CompassDistanceText(100, true), "109.36 yd");
  EXPECT_EQ(CompassHeaderText(100, 10, 350, true), "109.36 yd | -340\u00B0");
  EXPECT_EQ(CompassHeaderText(12.345, 350, 10, false), "12.35 m | -20\u00B0");
}

TEST(TargetLabels, FormatsFromTheStringTableAreFilledSafely) {
  EXPECT_EQ(VertexLabel("Punto %d", 3, "pozo"), "Punto 3 (pozo)");
  EXPECT_EQ(VertexLabel("Punto %d", 12, ""), "Punto 12");
  EXPECT_EQ(FillFormat("Dividir (%s)", "Campo"), "Dividir (Campo)");
  // Only the first placeholder is filled; other directives are left as text.
  EXPECT_EQ(FillFormat("%s %s 100%% %n", "x"), "x %s 100% %n");
  EXPECT_EQ(FillFormat("no number", "7"), "no number");
}

TEST(TargetLabels, ChosenTargetsCarryTitleAndWorkingDatumPoint) {
  DocumentContent content;
  FeatureRecord& field = content.AddFeature(FeatureType::Area, "Field");
  for (int i = 0; i < 3; ++i) field.AddVertex({10.0 + i, 50.0}, {10.5 + i, 50.5}, 100 * i, i == 2 ? "well" : "");
  WaypointRecord gate;
  gate.name = "Gate";
  content.waypoints.push_back(gate);

  // The third vertex, with its note: the feature name and the point, at its working-datum place.
  const auto vertex = ChooseNavTarget(content, 0, 2, "Punto %d", false);
  ASSERT_TRUE(vertex);
  EXPECT_EQ(vertex->title, "Field Punto 3 (well)");
  EXPECT_EQ(vertex->lon, 12.5);
  // Object 1 is the waypoints ("WPT"); the map overlay's title marks them.
  EXPECT_EQ(ChooseNavTarget(content, 1, 0, "Punto %d", true)->title, "WPT: Gate");
  EXPECT_FALSE(ChooseNavTarget(content, 0, 3, "Punto %d", false));
  EXPECT_FALSE(ChooseNavTarget(content, 2, 0, "Punto %d", false));
}

// A chosen target is found again by its record after the lists changed around it: at its new
// row, with its present place and name; never another record left at the old row.
TEST(TargetLabels, AFollowedTargetIsItsRecordWhereverItWentOrNone) {
  DocumentContent content;
  for (const char* name : {"North", "Field"}) {
    FeatureRecord& f = content.AddFeature(FeatureType::Area, name);
    for (int i = 0; i < 3; ++i) f.AddVertex({10.0 + i, 50.0}, {10.0 + i, 50.0}, 0);
  }
  for (const char* name : {"A", "B", "C"}) {
    WaypointRecord w;
    w.name = name;
    w.x = name[0];
    content.waypoints.push_back(w);
  }
  const NavChoice b = *ChooseNavTarget(content, 2, 1, "Punto %d", false);
  const NavChoice vertex = *ChooseNavTarget(content, 1, 2, "Punto %d", false);
  auto follow = [&](const NavChoice& target, bool overlay) {
    return FollowNavTarget(content, target.isVertex, target.key, target.vertexKey, target.index,
                           "Punto %d", overlay);
  };

  // A copy taken back whole (the waypoint table's OK), A dropped and a new point put first;
  // B renamed and moved in the table.
  std::vector<WaypointRecord> edited = content.waypoints;
  edited.erase(edited.begin());
  WaypointRecord well;
  well.name = "Well";
  edited.insert(edited.begin(), well);
  edited[1].name = "B2";
  edited[1].x = 99.0;
  content.waypoints = edited;
  auto found = follow(b, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 1);
  EXPECT_EQ(found->title, "B2");
  EXPECT_EQ(found->lon, 99.0);
  EXPECT_EQ(follow(b, true)->title, "WPT: B2");

  // The feature before the vertex's goes: the vertex is found on its feature's new row.
  content.features.erase(content.features.begin());
  found = follow(vertex, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->feature, 0);
  EXPECT_EQ(found->title, "Field Punto 3");

  // Vertices erased and inserted before it: the same corner under its present number, never
  // the vertex that came to its old row.
  FeatureRecord& field = content.features[0];
  field.EraseVertex(0);
  found = follow(vertex, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 1);
  EXPECT_EQ(found->title, "Field Punto 2");
  EXPECT_EQ(found->lon, 12.0);
  field.InsertVertex(0, {5.0, 50.0}, {5.0, 50.0}, 0);
  field.InsertVertex(1, {6.0, 50.0}, {6.0, 50.0}, 0);
  found = follow(vertex, false);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->index, 3);
  EXPECT_EQ(found->lon, 12.0);
  // A copy of the feature taken back whole (a dialog's OK) keeps its vertices.
  const FeatureRecord copy = field;
  content.features[0] = copy;
  EXPECT_EQ(follow(vertex, false)->index, 3);

  // Gone: the waypoint (another one now at its row), the vertex, the feature.
  content.waypoints.erase(content.waypoints.begin() + 1);
  EXPECT_FALSE(follow(b, false));
  content.features[0].PopLastVertex();
  EXPECT_FALSE(follow(vertex, false));
  content.features.clear();
  EXPECT_FALSE(follow(vertex, false));
  EXPECT_FALSE(FollowNavTarget(content, false, 0, 0, 0, "Punto %d", false)) << "no target";
}

}  // namespace
