#include <gtest/gtest.h>

#include <cpl_conv.h>

#include <cmath>
#include <set>

#include "coords/projection_methods.h"
#include "coords/spatial_reference.h"
#include "coords/transform_set.h"
#include "tests/coords_gdal/test_support.h"

namespace {

CoordSettings UserProjection(ProjectionKind kind, std::array<double, 8> p, const char* name = "Mine") {
  CoordSettings settings;
  settings.coord = 2;
  settings.projection.kind = static_cast<std::uint8_t>(kind);
  settings.projection.p = p;
  settings.projection.SetName(std::string(name));
  return settings;
}

struct KindCase {
  ProjectionKind kind;
  std::array<double, 8> p;
  double lon, lat;      // a point the projection covers well
  bool bessel = false;  // PROJ's Krovak is exact on the Bessel ellipsoid only
};

// Typical parameters of every GDAL method the dialog offers.
const KindCase kKinds[] = {
    {ProjectionKind::AlbersConicEqualArea, {29.5, 45.5, 23, -96, 0, 0}, -100, 40},
    {ProjectionKind::AzimuthalEquidistant, {40, -100, 0, 0}, -99, 41},
    {ProjectionKind::Bonne, {45, 10, 0, 0}, 11, 46},
    {ProjectionKind::CylindricalEqualArea, {30, 0, 0, 0}, 10, 20},
    {ProjectionKind::CassiniSoldner, {10.4416666667, -61.3333333333, 86501.46, 65379.0}, -61.3, 10.5},
    {ProjectionKind::EquidistantConic, {20, 60, 40, 10, 0, 0}, 12, 42},
    {ProjectionKind::EckertIV, {0, 0, 0}, 10, 40},
    {ProjectionKind::EckertVI, {0, 0, 0}, 10, 40},
    {ProjectionKind::Equirectangular, {0, 0, 0, 0}, 10, 40},
    {ProjectionKind::GeostationarySatellite, {0, 35785831, 0, 0}, 10, 40},
    {ProjectionKind::GoodeHomolosine, {0, 0, 0}, 10, 40},
    {ProjectionKind::GallStereographic, {0, 0, 0}, 10, 40},
    {ProjectionKind::Gnomonic, {40, 10, 0, 0}, 11, 41},
    {ProjectionKind::HotineObliqueMercator,
     {4, 115, 53.3158204722, 53.1301023611, 0.99984, 590476.87, 442857.65}, 116, 5},
    {ProjectionKind::HotineObliqueMercatorTwoPoint, {40, 30, -100, 50, -80, 1, 0, 0}, -90, 40},
    {ProjectionKind::Krovak, {49.5, 7.1666666667, 30.2881397222, 78.5, 0.9999, 0, 0}, 15, 50, true},
    {ProjectionKind::LambertAzimuthalEqualArea, {52, 10, 4321000, 3210000}, 10, 50},
    {ProjectionKind::LambertConformalConic2SP, {49, 44, 46.5, 3, 700000, 6600000}, 2.35, 48.85},
    {ProjectionKind::LambertConformalConic1SP, {18, -77, 1, 250000, 150000}, -77, 18},
    {ProjectionKind::LambertConformalConicBelgium,
     {49.8333339, 51.1666672, 90, 4.3674867, 150000.013, 5400088.438}, 4.35, 50.85},
    {ProjectionKind::MillerCylindrical, {0, 0, 0, 0}, 10, 40},
    {ProjectionKind::Mercator1SP, {0, 110, 0.997, 3900000, 900000}, 110, -5},
    {ProjectionKind::Mercator2SP, {42, 0, 51, 0, 0}, 51, 40},
    {ProjectionKind::Mollweide, {0, 0, 0}, 10, 40},
    {ProjectionKind::NewZealandMapGrid, {-41, 173, 2510000, 6023150}, 174.7, -41.3},
    {ProjectionKind::ObliqueStereographic, {52.1561605556, 5.3876388889, 0.9999079, 155000, 463000}, 5, 52},
    {ProjectionKind::Orthographic, {40, 10, 0, 0}, 11, 41},
    {ProjectionKind::Polyconic, {0, -54, 5000000, 10000000}, -54, -10},
    {ProjectionKind::PolarStereographic, {90, 0, 0.994, 2000000, 2000000}, 10, 80},
    {ProjectionKind::Robinson, {0, 0, 0}, 10, 40},
    {ProjectionKind::Sinusoidal, {0, 0, 0}, 10, 40},
    {ProjectionKind::Stereographic, {40, 10, 1, 0, 0}, 11, 41},
    {ProjectionKind::SwissObliqueCylindrical, {46.9524055556, 7.4395833333, 600000, 200000}, 7.5, 47},
    {ProjectionKind::TransverseMercator, {0, 9, 0.9996, 500000, 0}, 9.5, 48},
    {ProjectionKind::TransverseMercatorSouthOrientated, {-22, 25, 1, 0, 0}, 25.5, -22},
    {ProjectionKind::TwoPointEquidistant, {40, -100, 50, -80, 0, 0}, -90, 45},
    {ProjectionKind::VanDerGrinten, {0, 0, 0}, 10, 40},
    {ProjectionKind::EpsgCode, {27700}, -1.5, 52},
    {ProjectionKind::UsStatePlane, {405}, -118.2, 34},
};

}  // namespace

TEST(SpatialReference, EveryMethodBuildsAWorkingSystemThatRoundTrips) {
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(std::string(GetProjectionMethod(static_cast<int>(c.kind)).comboText));
    CoordSettings settings = UserProjection(c.kind, c.p);
    if (c.bessel) {
      settings.datum.a = 6377397.155;
      settings.datum.b = 6377397.155 * (1 - 1 / 299.1528128);
      settings.datum.SetShift({570.8, 85.7, 462.8, 4.998, 1.587, 5.261, 3.56});
    }
    TransformSet set = TransformSet::Build(settings);
    ASSERT_TRUE(set.Ready()) << static_cast<int>(set.Failure());
    EXPECT_EQ(set.Outcome().coord, 2);
    EXPECT_FALSE(set.Outcome().unknownStatePlaneZone);
    double x = c.lon, y = c.lat;
    ASSERT_TRUE(set.Transform(TransformId::Display, x, y));
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
    ASSERT_TRUE(set.Transform(TransformId::UtmToWgs, x, y));
    EXPECT_NEAR(x, c.lon, 1e-7);
    EXPECT_NEAR(y, c.lat, 1e-7);
  }
}

// GDAL takes the Tunisia Mining Grid but PROJ cannot compute it: the set-up fails instead of
// handing out transformations that fail on every point.
TEST(SpatialReference, MethodProjCannotComputeIsRefused) {
  TransformSet set = TransformSet::Build(
      UserProjection(ProjectionKind::TunisiaMiningGrid, {36.5964, 7.83445, 270, 360}));
  EXPECT_FALSE(set.Ready());
  EXPECT_EQ(set.Failure(), TransformSetFailure::InvalidWorkingSystem);
}

// Each method's parameters reach its setter in the setter's own order: every method against
// PROJ's own definition written with the parameters by name. The values differ from each other
// enough that any two of them exchanged move the point (checked below for every pair).
namespace {

struct SetterReference {
  ProjectionKind kind;
  std::array<double, 8> p;
  const char* proj;  // PROJ's steps from radians on the WGS84 ellipsoid
  double lon, lat;
};

const SetterReference kSetterReferences[] = {
    {ProjectionKind::AlbersConicEqualArea, {21, 47, 33, -97, 120000, 45000},
     "+proj=aea +lat_1=21 +lat_2=47 +lat_0=33 +lon_0=-97 +x_0=120000 +y_0=45000", -93, 39},
    {ProjectionKind::AzimuthalEquidistant, {41, 23, 130000, 52000},
     "+proj=aeqd +lat_0=41 +lon_0=23 +x_0=130000 +y_0=52000", 27, 44},
    {ProjectionKind::Bonne, {46, 8, 140000, 63000},
     "+proj=bonne +lat_1=46 +lon_0=8 +x_0=140000 +y_0=63000", 11, 49},
    {ProjectionKind::CylindricalEqualArea, {28, -61, 150000, 74000},
     "+proj=cea +lat_ts=28 +lon_0=-61 +x_0=150000 +y_0=74000", -57, 33},
    {ProjectionKind::CassiniSoldner, {37, 19, 160000, 85000},
     "+proj=cass +lat_0=37 +lon_0=19 +x_0=160000 +y_0=85000", 21, 40},
    {ProjectionKind::EquidistantConic, {19, 51, 29, 104, 170000, 96000},
     "+proj=eqdc +lat_1=19 +lat_2=51 +lat_0=29 +lon_0=104 +x_0=170000 +y_0=96000", 109, 36},
    {ProjectionKind::EckertIV, {17, 180000, 107000},
     "+proj=eck4 +lon_0=17 +x_0=180000 +y_0=107000", 23, 38},
    {ProjectionKind::EckertVI, {-23, 185000, 109000},
     "+proj=eck6 +lon_0=-23 +x_0=185000 +y_0=109000", -17, 31},
    // GDAL's validation refuses the latitude of origin of this method unless it is 0.
    {ProjectionKind::Equirectangular, {0, 14, 190000, 118000},
     "+proj=eqc +lat_0=0 +lon_0=14 +x_0=190000 +y_0=118000", 18, 41},
    {ProjectionKind::GeostationarySatellite, {-75, 35785831, 200000, 129000},
     "+proj=geos +lon_0=-75 +h=35785831 +x_0=200000 +y_0=129000", -70, 20},
    {ProjectionKind::GoodeHomolosine, {12, 205000, 131000},
     "+proj=goode +lon_0=12 +x_0=205000 +y_0=131000", 19, 52},
    {ProjectionKind::GallStereographic, {-34, 207000, 133000},
     "+proj=gall +lon_0=-34 +x_0=207000 +y_0=133000", -29, 25},
    {ProjectionKind::Gnomonic, {44, -3, 209000, 136000},
     "+proj=gnom +lat_0=44 +lon_0=-3 +x_0=209000 +y_0=136000", 1, 47},
    {ProjectionKind::HotineObliqueMercator, {46.5, 9.5, 37, 35, 0.9997, 210000, 140000},
     "+proj=omerc +no_uoff +lat_0=46.5 +lonc=9.5 +alpha=37 +gamma=35 +k=0.9997 +x_0=210000 "
     "+y_0=140000", 11, 48},
    {ProjectionKind::HotineObliqueMercatorTwoPoint, {45, 43, 8, 48, 14, 0.9996, 220000, 151000},
     "+proj=omerc +lat_0=45 +lat_1=43 +lon_1=8 +lat_2=48 +lon_2=14 +k=0.9996 +x_0=220000 "
     "+y_0=151000", 12, 46},
    // PROJ's Krovak keeps the pseudo standard parallel at 78.5 degrees (checked by name below).
    {ProjectionKind::Krovak, {49.5, 24.8333333, 30.2881397, 78.5, 0.9999, 230000, 162000},
     "+proj=krovak +lat_0=49.5 +lon_0=24.8333333 +alpha=30.2881397 +k=0.9999 +x_0=230000 "
     "+y_0=162000", 15, 50},
    {ProjectionKind::LambertAzimuthalEqualArea, {52, 10, 4321000, 3210000},
     "+proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000", 14, 49},
    {ProjectionKind::LambertConformalConic2SP, {33, 45, 23, -96, 240000, 172000},
     "+proj=lcc +lat_1=33 +lat_2=45 +lat_0=23 +lon_0=-96 +x_0=240000 +y_0=172000", -92, 38},
    {ProjectionKind::LambertConformalConic1SP, {46.8, 2.337, 0.99987742, 600000, 2200000},
     "+proj=lcc +lat_1=46.8 +lat_0=46.8 +lon_0=2.337 +k_0=0.99987742 +x_0=600000 +y_0=2200000",
     4, 48},
    {ProjectionKind::LambertConformalConicBelgium,
     {49.8333339, 51.1666672, 90, 4.3674867, 150000.013, 5400088.438},
     "+proj=lcc +lat_1=49.8333339 +lat_2=51.1666672 +lat_0=90 +lon_0=4.3674867 +x_0=150000.013 "
     "+y_0=5400088.438", 5.1, 50.3},
    // Miller and Van der Grinten are spherical: GDAL takes the sphere of the ellipsoid's area.
    {ProjectionKind::MillerCylindrical, {12, -44, 250000, 183000},
     "+proj=mill +R_A +lon_0=-44 +x_0=250000 +y_0=183000", -39, 17},
    {ProjectionKind::Mercator1SP, {0, 110, 0.997, 3900000, 900000},
     "+proj=merc +lon_0=110 +k=0.997 +x_0=3900000 +y_0=900000", 114, -5},
    {ProjectionKind::Mercator2SP, {31, 0, 51, 255000, 187000},
     "+proj=merc +lat_ts=31 +lon_0=51 +x_0=255000 +y_0=187000", 55, 29},
    {ProjectionKind::Mollweide, {3, 257000, 189000}, "+proj=moll +lon_0=3 +x_0=257000 +y_0=189000",
     9, 40},
    // PROJ's grid keeps its own origin whatever the parameters (checked by name below).
    {ProjectionKind::NewZealandMapGrid, {-41, 173, 2510000, 6023150},
     "+proj=nzmg +lat_0=-41 +lon_0=173 +x_0=2510000 +y_0=6023150", 175, -40},
    {ProjectionKind::ObliqueStereographic, {52.156, 5.387, 0.9999079, 155000, 463000},
     "+proj=sterea +lat_0=52.156 +lon_0=5.387 +k=0.9999079 +x_0=155000 +y_0=463000", 6, 53},
    {ProjectionKind::Orthographic, {45, 10, 261000, 191000},
     "+proj=ortho +lat_0=45 +lon_0=10 +x_0=261000 +y_0=191000", 14, 47},
    {ProjectionKind::Polyconic, {-8, -55, 263000, 193000},
     "+proj=poly +lat_0=-8 +lon_0=-55 +x_0=263000 +y_0=193000", -51, -11},
    {ProjectionKind::PolarStereographic, {90, -45, 0.994, 2000000, 1900000},
     "+proj=stere +lat_0=90 +lon_0=-45 +k=0.994 +x_0=2000000 +y_0=1900000", -30, 75},
    {ProjectionKind::Robinson, {-7, 265000, 195000}, "+proj=robin +lon_0=-7 +x_0=265000 +y_0=195000",
     2, 44},
    {ProjectionKind::Sinusoidal, {21, 267000, 197000}, "+proj=sinu +lon_0=21 +x_0=267000 +y_0=197000",
     26, -33},
    {ProjectionKind::Stereographic, {40, -3.5, 0.9998, 269000, 199000},
     "+proj=stere +lat_0=40 +lon_0=-3.5 +k=0.9998 +x_0=269000 +y_0=199000", -1, 42},
    {ProjectionKind::SwissObliqueCylindrical, {46.95, 7.44, 600000, 200000},
     "+proj=somerc +lat_0=46.95 +lon_0=7.44 +k_0=1 +x_0=600000 +y_0=200000", 8.5, 47.3},
    {ProjectionKind::TransverseMercator, {12, -9, 0.9996, 500000, 300000},
     "+proj=tmerc +lat_0=12 +lon_0=-9 +k=0.9996 +x_0=500000 +y_0=300000", -7, 15},
    // PROJ computes the south-orientated form only without false easting and northing.
    {ProjectionKind::TransverseMercatorSouthOrientated, {-3, 25, 0.9999, 0, 0},
     "+proj=tmerc +axis=wsu +lat_0=-3 +lon_0=25 +k=0.9999 +x_0=0 +y_0=0", 27, -6},
    {ProjectionKind::TwoPointEquidistant, {40, -75, 51, 0, 310000, 183000},
     "+proj=tpeqd +lat_1=40 +lon_1=-75 +lat_2=51 +lon_2=0 +x_0=310000 +y_0=183000", -40, 50},
    {ProjectionKind::VanDerGrinten, {-18, 271000, 201000},
     "+proj=vandg +R_A +lon_0=-18 +x_0=271000 +y_0=201000", -10, 30},
};

bool ProjectOnWgs84(const CoordSettings& settings, double lon, double lat, double& x, double& y) {
  TransformSet set = TransformSet::Build(settings);
  x = lon;
  y = lat;
  return set.Ready() && set.Transform(TransformId::WgsToMap2, x, y);
}

}  // namespace

TEST(SpatialReference, EverySetterTakesItsParametersInItsOwnOrder) {
  std::set<ProjectionKind> covered;
  for (const SetterReference& r : kSetterReferences) {
    SCOPED_TRACE(r.proj);
    covered.insert(r.kind);
    const CoordSettings settings = UserProjection(r.kind, r.p);
    double x = 0, y = 0;
    ASSERT_TRUE(ProjectOnWgs84(settings, r.lon, r.lat, x, y));
    const ProjPipeline proj(std::string("+step ") + r.proj + " +ellps=WGS84");
    const auto [ex, ey] = proj.Forward(r.lon, r.lat);
    EXPECT_NEAR(x, ex, 1e-3);
    EXPECT_NEAR(y, ey, 1e-3);

    // Exchanging any two parameters the method takes moves the point or breaks the system
    // (but for the two standard parallels of a conic, which are interchangeable).
    const bool conic = r.kind == ProjectionKind::AlbersConicEqualArea ||
                       r.kind == ProjectionKind::EquidistantConic ||
                       r.kind == ProjectionKind::LambertConformalConic2SP ||
                       r.kind == ProjectionKind::LambertConformalConicBelgium;
    const int count = r.kind == ProjectionKind::NewZealandMapGrid
                          ? 0
                          : GetProjectionMethod(static_cast<int>(r.kind)).parameterCount;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    for (int i = 0; i < count; ++i) {
      for (int j = i + 1; j < count; ++j) {
        if (r.p[i] == r.p[j] || (conic && i == 0 && j == 1)) continue;
        CoordSettings swapped = settings;
        std::swap(swapped.projection.p[i], swapped.projection.p[j]);
        double sx = 0, sy = 0;
        if (ProjectOnWgs84(swapped, r.lon, r.lat, sx, sy) && std::isfinite(sx) &&
            std::isfinite(sy)) {
          EXPECT_GT(std::hypot(sx - ex, sy - ey), 1.0) << "p" << i + 1 << " and p" << j + 1;
        }
      }
    }
    CPLPopErrorHandler();
  }

  // The parameters PROJ does not compute with are checked by their names in the system.
  auto parameter = [](ProjectionKind kind, std::array<double, 8> p, const char* name) {
    OGRSpatialReference srs = NewSpatialReference();
    BuildWorkingSystem(UserProjection(kind, p), srs);
    return srs.GetNormProjParm(name, NAN);
  };
  EXPECT_EQ(parameter(ProjectionKind::Krovak, {49.5, 24.8, 30.3, 77.25, 0.9999, 1, 2},
                      SRS_PP_PSEUDO_STD_PARALLEL_1),
            77.25);
  const std::array<double, 8> nzmg = {-40, 174, 2500000, 6000000};
  EXPECT_EQ(parameter(ProjectionKind::NewZealandMapGrid, nzmg, SRS_PP_LATITUDE_OF_ORIGIN), -40);
  EXPECT_EQ(parameter(ProjectionKind::NewZealandMapGrid, nzmg, SRS_PP_CENTRAL_MERIDIAN), 174);
  EXPECT_EQ(parameter(ProjectionKind::NewZealandMapGrid, nzmg, SRS_PP_FALSE_EASTING), 2500000);
  EXPECT_EQ(parameter(ProjectionKind::NewZealandMapGrid, nzmg, SRS_PP_FALSE_NORTHING), 6000000);
  // The Tunisia Mining Grid, which PROJ cannot compute at all.
  covered.insert(ProjectionKind::TunisiaMiningGrid);
  const std::array<double, 8> tmg = {36.5, 10.2, 270000, 580000};
  EXPECT_EQ(parameter(ProjectionKind::TunisiaMiningGrid, tmg, SRS_PP_LATITUDE_OF_ORIGIN), 36.5);
  EXPECT_EQ(parameter(ProjectionKind::TunisiaMiningGrid, tmg, SRS_PP_CENTRAL_MERIDIAN), 10.2);
  EXPECT_EQ(parameter(ProjectionKind::TunisiaMiningGrid, tmg, SRS_PP_FALSE_EASTING), 270000);
  EXPECT_EQ(parameter(ProjectionKind::TunisiaMiningGrid, tmg, SRS_PP_FALSE_NORTHING), 580000);

  EXPECT_EQ(covered.size(), 38u) << "every setter of the method list";

  // An EPSG system keeps its projection; the geographic part becomes the working one.
  double x = 0, y = 0;
  ASSERT_TRUE(ProjectOnWgs84(UserProjection(ProjectionKind::EpsgCode, {27700}), -1.5, 52, x, y));
  const ProjPipeline bng("+step +proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 "
                         "+y_0=-100000 +ellps=WGS84");
  const auto [bx, by] = bng.Forward(-1.5, 52);
  EXPECT_NEAR(x, bx, 1e-3);
  EXPECT_NEAR(y, by, 1e-3);
}

TEST(SpatialReference, StatePlaneZonesAndTheirFailure) {
  TransformSet good = TransformSet::Build(UserProjection(ProjectionKind::UsStatePlane, {405}));
  ASSERT_TRUE(good.Ready());
  EXPECT_EQ(good.Outcome().linearUnit, LinearUnit::Metre);
  EXPECT_STRNE(good.Get(TransformId::Utm)->GetTargetCS()->GetAttrValue("PROJCS"), "");
  // A State Plane system does not name itself: the name shown so far stays.
  CoordSettings named = UserProjection(ProjectionKind::UsStatePlane, {405});
  named.projectionName = "UTM";
  EXPECT_EQ(TransformSet::Build(named).Outcome().projectionName, "UTM");
  named.projection.kind = static_cast<std::uint8_t>(ProjectionKind::TransverseMercator);
  named.projection.p = {0, 9, 0.9996, 500000, 0};
  EXPECT_EQ(TransformSet::Build(named).Outcome().projectionName, "Mine");

  CoordSettings unknown = UserProjection(ProjectionKind::UsStatePlane, {9999});
  unknown.stringCoord = 2;  // an earlier MGRS choice does not survive a State Plane system
  TransformSet bad = TransformSet::Build(unknown);
  EXPECT_TRUE(bad.Outcome().unknownStatePlaneZone);
  EXPECT_EQ(bad.Outcome().coord, 0);
  EXPECT_EQ(bad.Outcome().stringCoord, 0);
  EXPECT_FALSE(bad.Ready());

  TransformSet notANumber = TransformSet::Build(UserProjection(ProjectionKind::UsStatePlane, {NAN}));
  EXPECT_TRUE(notANumber.Outcome().unknownStatePlaneZone);
}

TEST(SpatialReference, EpsgImportAndItsCheck) {
  using R = EpsgProjectionCheck::Result;
  struct Case {
    double code;
    R result;
  };
  // British National Grid: GDAL attaches no shift on import, PROJ's own choice gives it. A
  // system on WGS84 itself has no shift to copy.
  for (const Case c : {Case{27700, R::WithShift}, {32631, R::WithoutShift}, {4326, R::Refused},
                       {0, R::Refused}, {1e12, R::Refused}, {NAN, R::Refused},
                       {999999, R::Refused}}) {
    ProjectionRecord record;
    record.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
    record.p[0] = c.code;
    const EpsgProjectionCheck check = CheckEpsgProjection(record);
    EXPECT_EQ(check.result, c.result) << c.code;
    EXPECT_EQ(check.accepted(), c.result != R::Refused);
  }
  ProjectionRecord osgb;
  osgb.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
  osgb.p[0] = 27700.9;  // truncated
  const EpsgProjectionCheck check = CheckEpsgProjection(osgb);
  EXPECT_EQ(check.code, 27700);
  EXPECT_DOUBLE_EQ(check.semiMajor, 6377563.396);
  EXPECT_NEAR(check.semiMinor, 6356256.909, 1e-3);
  // EPSG's "OSGB36 to WGS 84 (6)", position vector.
  const std::array<double, 7> osgbShift = {446.448, -125.157, 542.06, 0.15, 0.247, 0.842, -20.489};
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(check.shift[i], osgbShift[i], 1e-9) << i;
  EXPECT_EQ(CheckEpsgProjection(ProjectionRecord{}).result, R::NotEpsg);

  // A stored code that does not import leaves no usable system.
  EXPECT_FALSE(TransformSet::Build(UserProjection(ProjectionKind::EpsgCode, {999999})).Ready());
}

TEST(SpatialReference, LinearUnitOfTheWorkingSystem) {
  struct Case {
    double epsg;
    LinearUnit unit;
  };
  // NAD83 / California zone 3 (ftUS), NAD83 / Arizona East (ft), British National Grid.
  for (const Case c : {Case{2227, LinearUnit::UsSurveyFoot}, {2222, LinearUnit::InternationalFoot},
                       {27700, LinearUnit::Metre}}) {
    TransformSet set = TransformSet::Build(UserProjection(ProjectionKind::EpsgCode, {c.epsg}));
    ASSERT_TRUE(set.Ready()) << c.epsg;
    EXPECT_EQ(set.Outcome().linearUnit, c.unit) << c.epsg;
  }
  struct Factor {
    double metres;
    LinearUnit unit;
  };
  for (const Factor f : {Factor{1.0, LinearUnit::Metre}, {20.1168, LinearUnit::Metre},
                         {0.3048, LinearUnit::InternationalFoot},
                         {0.3047972654, LinearUnit::InternationalFoot},
                         {1200.0 / 3937.0, LinearUnit::UsSurveyFoot},
                         {0.5, LinearUnit::UsSurveyFoot}})
    EXPECT_EQ(LinearUnitFromMetresPerUnit(f.metres), f.unit) << f.metres;
}

TEST(SpatialReference, UtmBandLetters) {
  struct Case {
    double latitude;
    const char* band;
  };
  for (const Case c : {Case{84.9, "X"}, {85.0, "X"}, {85.1, ""}, {80.0, "X"}, {79.9, "X"},
                       {72.0, "X"}, {71.9, "W"}, {0.0, "N"}, {-0.1, "M"}, {-8.1, "L"},
                       {-80.9, "C"}, {-81.0, "C"}, {-81.1, ""}, {NAN, ""}, {52.5, "U"}})
    EXPECT_EQ(UtmBandLetter(c.latitude), c.band) << c.latitude;
}

TEST(SpatialReference, GdalDataIsSetOnlyForAnExistingFolder) {
  const std::string before = CPLGetConfigOption("GDAL_DATA", "") ? CPLGetConfigOption("GDAL_DATA", "") : "";
  EXPECT_FALSE(ConfigureGdalData(""));
  EXPECT_FALSE(ConfigureGdalData("\\Program Files\\Nowhere"));
  EXPECT_EQ(std::string(CPLGetConfigOption("GDAL_DATA", "")), before);

  ScratchFolder install;
  std::filesystem::create_directory(install.path() / "data");
  ASSERT_TRUE(ConfigureGdalData(install.path().string() + "\\"));
  EXPECT_EQ(std::filesystem::path(CPLGetConfigOption("GDAL_DATA", "")), install.path() / "data");
  EXPECT_EQ(std::filesystem::path(CPLGetConfigOption("GEOTIFF_CSV", "")), install.path() / "data");
  CPLSetConfigOption("GDAL_DATA", before.empty() ? nullptr : before.c_str());
  CPLSetConfigOption("GEOTIFF_CSV", nullptr);
}
