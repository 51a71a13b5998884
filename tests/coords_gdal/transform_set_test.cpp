#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "coords/datum_files.h"
#include "coords/fix_grid_reference.h"
#include "coords/grid_reference.h"
#include "coords/record_io.h"
#include "coords/transform_set.h"
#include "tests/coords_gdal/test_support.h"

namespace {

// DHDN on Bessel 1841 with the published EPSG:1777 shift to WGS 84 (position vector).
constexpr double kBesselA = 6377397.155;
constexpr double kBesselRf = 299.1528128;
constexpr const char* kDhdnHelmert =
    "+x=598.1 +y=73.7 +z=418.2 +rx=0.202 +ry=0.045 +rz=-2.455 +s=6.7";

DatumRecord Dhdn() {
  DatumRecord d;
  d.a = kBesselA;
  d.b = kBesselA * (1 - 1 / kBesselRf);
  d.SetShift({598.1, 73.7, 418.2, 0.202, 0.045, -2.455, 6.7});
  d.index = 63;
  d.SetCodeText("BR");
  return d;
}

CoordSettings Utm(int coord, int zone, const DatumRecord& datum) {
  CoordSettings s;
  s.coord = coord;
  s.zone = zone;
  s.autoZone = 0;
  s.datum = datum;
  return s;
}

std::string BesselUtm(int zone) {
  return DatumShiftSteps("+a=6377397.155 +rf=299.1528128", kDhdnHelmert) +
         " +step +proj=utm +zone=" + std::to_string(zone) + " +a=6377397.155 +rf=299.1528128";
}

// Worst difference in metres between the set's transformation and PROJ over random points
// of a box.
double WorstDifference(TransformSet& set, TransformId id, const ProjPipeline& reference,
                       double lon0, double lat0, double size) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> offset(0.0, size);
  double worst = 0;
  for (int i = 0; i < 200; ++i) {
    const double lon = lon0 + offset(random), lat = lat0 + offset(random);
    double x = lon, y = lat;
    if (!set.Transform(id, x, y)) return INFINITY;
    const auto [ex, ey] = reference.Forward(lon, lat);
    worst = std::max(worst, std::hypot(x - ex, y - ey));
  }
  return worst;
}

}  // namespace

TEST(TransformSet, UtmOnADatumMatchesProj) {
  TransformSet set = TransformSet::Build(Utm(1, 32, Dhdn()));
  ASSERT_TRUE(set.Ready());
  EXPECT_LT(WorstDifference(set, TransformId::Utm, ProjPipeline(BesselUtm(32)), 6, 47, 6), 1e-3);
  EXPECT_LT(WorstDifference(set, TransformId::Display, ProjPipeline(BesselUtm(32)), 6, 47, 6), 1e-3);
  // The datum's own longitude and latitude, and the map's UTM on the WGS84 ellipsoid.
  const ProjPipeline geographic(DatumShiftSteps("+a=6377397.155 +rf=299.1528128", kDhdnHelmert) +
                                " +step +proj=unitconvert +xy_in=rad +xy_out=deg");
  EXPECT_LT(WorstDifference(set, TransformId::WgsToDatum, geographic, 6, 47, 6), 1e-9);
  const ProjPipeline wgsUtm("+step +proj=utm +zone=32 +ellps=WGS84");
  EXPECT_LT(WorstDifference(set, TransformId::WgsToMap2, wgsUtm, 6, 47, 6), 1e-3);

}

TEST(TransformSet, ListDatumShiftReachesTheSpatialReferenceNegated) {
  ScratchFolder dir;
  DatumRecord stored;
  stored.a = 6378388.0;
  stored.b = 6378388.0 * (1 - 1 / 297.0);
  stored.SetShift({87, 98, 121, 0, 0, 0, 0});
  stored.index = 1;
  std::vector<std::uint8_t> data(kDatumRecordSize);
  EncodeDatumRecord(stored, std::span<std::uint8_t, kDatumRecordSize>(data.data(), kDatumRecordSize));
  WriteBytes(dir.path() / kDatumListFileName, data);
  WriteBytes(dir.path() / kDatumNamesFileName, std::vector<std::uint8_t>(272 * 60, 0));

  const DatumLoadResult loaded = LoadListDatum(dir.path(), 1);
  ASSERT_TRUE(loaded.ok());
  TransformSet set = TransformSet::Build(Utm(0, 31, loaded.datum));
  ASSERT_TRUE(set.Ready());
  double towgs84[7] = {};
  ASSERT_EQ(set.DatumGeographicSystem()->GetTOWGS84(towgs84, 7), OGRERR_NONE);
  EXPECT_EQ(towgs84[0], -87);
  EXPECT_EQ(towgs84[1], -98);
  EXPECT_EQ(towgs84[2], -121);
  double projected[7] = {};
  ASSERT_EQ(set.Get(TransformId::Utm)->GetTargetCS()->GetTOWGS84(projected, 7), OGRERR_NONE);
  EXPECT_EQ(projected[0], -87);
}

TEST(TransformSet, RetargetingFollowsTheZone) {
  TransformSet set = TransformSet::Build(Utm(0, 32, Dhdn()));
  ASSERT_TRUE(set.Ready());
  ASSERT_TRUE(set.RetargetUtm(UtmTarget::Measuring, 33, true));
  EXPECT_EQ(set.CurrentZone(UtmTarget::Measuring).zone, 33);
  EXPECT_EQ(set.CurrentZone(UtmTarget::Display).zone, 32);
  EXPECT_LT(WorstDifference(set, TransformId::Utm, ProjPipeline(BesselUtm(33)), 12, 47, 6), 1e-3);

  // Display moves with its inverse.
  ASSERT_TRUE(set.RetargetUtm(UtmTarget::Display, 33, false));
  double x = 15.0, y = -10.0;
  ASSERT_TRUE(set.Transform(TransformId::Display, x, y));
  EXPECT_NEAR(x, 500000, 300000);
  EXPECT_GT(y, 8000000);  // false northing of the southern hemisphere
  ASSERT_TRUE(set.Transform(TransformId::UtmToWgs, x, y));
  EXPECT_NEAR(x, 15.0, 1e-6);  // PROJ inverts a seven-parameter shift to a few centimetres
  EXPECT_NEAR(y, -10.0, 1e-6);

  EXPECT_FALSE(set.RetargetUtm(UtmTarget::Second, 61, true));
  EXPECT_EQ(set.CurrentZone(UtmTarget::Second).zone, 32);

  // A user projection is never re-targeted.
  CoordSettings tm;
  tm.coord = 2;
  tm.projection.kind = static_cast<std::uint8_t>(ProjectionKind::TransverseMercator);
  tm.projection.p = {0, 9, 0.9996, 500000, 0};
  TransformSet user = TransformSet::Build(tm);
  ASSERT_TRUE(user.Ready());
  OGRCoordinateTransformation* before = user.Get(TransformId::Utm);
  EXPECT_TRUE(user.RetargetUtm(UtmTarget::Measuring, 33, true));
  EXPECT_EQ(user.Get(TransformId::Utm), before);
  EXPECT_EQ(user.CurrentZone(UtmTarget::Measuring).zone, 0);
}

TEST(TransformSet, GeographicAndUtmDisplayAndGridReferenceKinds) {
  CoordSettings geo = Utm(0, 30, Wgs84DatumRecord());
  geo.stringCoord = 3;
  TransformSet g = TransformSet::Build(geo);
  CoordSettings utm = Utm(1, 30, Wgs84DatumRecord());
  TransformSet u = TransformSet::Build(utm);
  ASSERT_TRUE(g.Ready() && u.Ready());
  EXPECT_EQ(g.Outcome().projectionName, "UTM");
  EXPECT_EQ(u.Outcome().projectionName, "UTM");
  EXPECT_EQ(g.Outcome().autoZone, 1);
  EXPECT_EQ(u.Outcome().autoZone, 0);
  EXPECT_EQ(g.Outcome().stringCoord, 0);  // a later geographic set-up clears the grid reference
  EXPECT_STREQ(g.Get(TransformId::Utm)->GetTargetCS()->GetAttrValue("PROJCS"), "GEO");
  EXPECT_STREQ(u.Get(TransformId::Utm)->GetTargetCS()->GetAttrValue("PROJCS"), "UTM");

  struct Grid {
    ProjectionKind kind;
    int stringCoord;
    GridReferenceSetup setup;
  };
  DatumRecord clarke;
  clarke.a = 6378206.4;
  clarke.b = 6356583.8;
  clarke.SetCodeText("CC");
  for (const Grid grid : {Grid{ProjectionKind::MaidenheadGrid, 1, GridReferenceSetup::None},
                          {ProjectionKind::Mgrs, 2, GridReferenceSetup::Mgrs},
                          {ProjectionKind::BritishNationalGrid, 3, GridReferenceSetup::BritishNationalGrid},
                          {ProjectionKind::Georef, 4, GridReferenceSetup::None}}) {
    CoordSettings s = Utm(2, 30, clarke);
    s.projection.kind = static_cast<std::uint8_t>(grid.kind);
    TransformSet set = TransformSet::Build(s);
    ASSERT_TRUE(set.Ready());
    EXPECT_EQ(set.Outcome().coord, 0);
    EXPECT_EQ(set.Outcome().autoZone, 1);
    EXPECT_EQ(set.Outcome().stringCoord, grid.stringCoord);
    EXPECT_EQ(set.Outcome().gridSetup, grid.setup);
    EXPECT_TRUE(set.Outcome().isUtm);
    if (grid.setup == GridReferenceSetup::Mgrs) {
      EXPECT_EQ(set.Outcome().mgrsA, 6378206.4);
      EXPECT_NEAR(1 / set.Outcome().mgrsF, 294.9786982, 1e-6);
      EXPECT_EQ(set.Outcome().mgrsCode, "CC");
    }
  }
}

TEST(TransformSet, NothingIsUsedFromASetThatFailed) {
  struct Case {
    CoordSettings settings;
    TransformSetFailure failure;
  };
  DatumRecord impossible;
  impossible.b = impossible.a * 2;
  const Case cases[] = {
      {Utm(1, 0, Wgs84DatumRecord()), TransformSetFailure::InvalidWorkingSystem},
      {Utm(7, 30, Wgs84DatumRecord()), TransformSetFailure::InvalidWorkingSystem},
      {Utm(1, 30, impossible), TransformSetFailure::UnusableDatum},
  };
  for (const Case& c : cases) {
    TransformSet set = TransformSet::Build(c.settings);
    EXPECT_FALSE(set.Ready());
    EXPECT_EQ(set.Failure(), c.failure);
    double x = 3, y = 50;
    EXPECT_FALSE(set.Transform(TransformId::DatumToWgs, x, y));
    EXPECT_EQ(x, 3);
    double xs[2] = {3, 4}, ys[2] = {50, 51};
    EXPECT_EQ(set.Transform(TransformId::Utm, xs, ys), 0u);
    EXPECT_FALSE(set.RetargetUtm(UtmTarget::Measuring, 31, true));
  }
  TransformSet empty;
  EXPECT_FALSE(empty.Ready());
  EXPECT_EQ(empty.Failure(), TransformSetFailure::NotBuilt);
  TransformSet moved = std::move(empty);
  EXPECT_FALSE(empty.Ready());  // NOLINT(bugprone-use-after-move): a moved-from set stays safe

  // UTM is not defined on a sphere: a datum with a == b is refused before GDAL sees it.
  DatumRecord sphere;
  sphere.b = sphere.a;
  EXPECT_EQ(TransformSet::Build(Utm(1, 30, sphere)).Failure(), TransformSetFailure::UnusableDatum);
}

TEST(TransformSet, BatchesGiveTheSameAsSinglePoints) {
  TransformSet set = TransformSet::Build(Utm(1, 32, Dhdn()));
  ASSERT_TRUE(set.Ready());
  std::vector<double> xs, ys;
  for (int i = 0; i < 50; ++i) {
    xs.push_back(7 + i * 0.05);
    ys.push_back(47 + i * 0.03);
  }
  std::vector<double> bx = xs, by = ys;
  std::vector<int> ok(xs.size());
  EXPECT_EQ(set.Transform(TransformId::Utm, bx, by, ok), xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double x = xs[i], y = ys[i];
    ASSERT_TRUE(set.Transform(TransformId::Utm, x, y));
    EXPECT_EQ(x, bx[i]);
    EXPECT_EQ(y, by[i]);
    EXPECT_TRUE(ok[i]);
  }
}

// Grid references are read in the working datum: with OSGB36 chosen, the National Grid text
// of a London fix is the grid reference PROJ gives for that fix on EPSG:27700, and the locator
// and GEOREF are those of PROJ's OSGB36 latitude and longitude.
TEST(TransformSet, GridReferencesOfAFixAreThoseOfItsPositionInTheWorkingDatum) {
  DatumCatalogue catalogue;
  ASSERT_EQ(DatumCatalogue::Open(std::filesystem::path(TVX_BINARY_DIR) / "internal", catalogue),
            DatumFileStatus::Ok);
  const auto& names = catalogue.Names();
  const auto osgbName = std::find(names.begin(), names.end(), "OSGB36");
  ASSERT_NE(osgbName, names.end());
  const DatumLoadResult osgb = catalogue.Datum(static_cast<int>(osgbName - names.begin()));
  ASSERT_TRUE(osgb.ok());

  const double lon = -0.1275, lat = 51.5072;  // WGS84, Charing Cross
  PJ_CONTEXT* ctx = proj_context_create();
  auto projTo = [&](const char* target) {
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4326", target, nullptr);
    PJ* pj = proj_normalize_for_visualization(ctx, raw);
    const PJ_COORD out = proj_trans(pj, PJ_FWD, proj_coord(lon, lat, 0, 0));
    proj_destroy(pj);
    proj_destroy(raw);
    return out;
  };
  const PJ_COORD grid = projTo("EPSG:27700");
  const PJ_COORD geographic = projTo("EPSG:4277");
  proj_context_destroy(ctx);

  std::string expected;
  ASSERT_EQ(ConvertTmToBng(grid.xy.x, grid.xy.y, 5, expected), 0);
  EXPECT_EQ(expected, "TQ 3005080358");
  std::string locator, georef;
  MaidenheadLocator(geographic.lp.phi, geographic.lp.lam, locator);
  constexpr double kRad = 0.017453292519943295;
  ConvertGeodeticToGeoref(geographic.lp.phi * kRad, geographic.lp.lam * kRad, 5, georef);

  struct Case {
    ProjectionKind kind;
    std::string text;
  };
  for (const Case& c : {Case{ProjectionKind::BritishNationalGrid, expected},
                        {ProjectionKind::MaidenheadGrid, locator},
                        {ProjectionKind::Georef, georef}}) {
    CoordSettings s = Utm(2, 30, osgb.datum);
    s.projection.kind = static_cast<std::uint8_t>(c.kind);
    TransformSet set = TransformSet::Build(s);
    ASSERT_TRUE(set.Ready());
    if (set.Outcome().gridSetup == GridReferenceSetup::BritishNationalGrid) SetBngParameters("AA");
    EXPECT_EQ(FixGridReference(set, set.Outcome().stringCoord, lon, lat, 30, true, 0, 0), c.text);
  }
  // The WGS84 fix read as OSGB36 is about 125 m away: another reference.
  std::string raw;
  ConvertGeodeticToBng(lat * kRad, lon * kRad, 5, raw);
  EXPECT_NE(raw, expected);
}
