#include <gtest/gtest.h>

#include <cpl_conv.h>

#include <cmath>

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

TEST(SpatialReference, MethodsAgreeWithProjOnTheWgs84Ellipsoid) {
  struct Reference {
    CoordSettings settings;
    std::string proj;
    double lon, lat;
  };
  const Reference references[] = {
      {UserProjection(ProjectionKind::LambertConformalConic2SP, {49, 44, 46.5, 3, 700000, 6600000}),
       "+proj=lcc +lat_1=49 +lat_2=44 +lat_0=46.5 +lon_0=3 +x_0=700000 +y_0=6600000", 2.35, 48.85},
      {UserProjection(ProjectionKind::TransverseMercator, {0, 9, 0.9996, 500000, 0}),
       "+proj=tmerc +lat_0=0 +lon_0=9 +k=0.9996 +x_0=500000 +y_0=0", 9.5, 48},
      {UserProjection(ProjectionKind::AlbersConicEqualArea, {29.5, 45.5, 23, -96, 0, 0}),
       "+proj=aea +lat_1=29.5 +lat_2=45.5 +lat_0=23 +lon_0=-96", -100, 40},
      // An EPSG system keeps its projection; the geographic part becomes the working one.
      {UserProjection(ProjectionKind::EpsgCode, {27700}),
       "+proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 +y_0=-100000", -1.5, 52},
  };
  for (const auto& r : references) {
    SCOPED_TRACE(r.proj);
    TransformSet set = TransformSet::Build(r.settings);
    ASSERT_TRUE(set.Ready());
    const ProjPipeline proj("+step " + r.proj + " +ellps=WGS84");
    const auto [ex, ey] = proj.Forward(r.lon, r.lat);
    double x = r.lon, y = r.lat;
    ASSERT_TRUE(set.Transform(TransformId::WgsToMap2, x, y));
    EXPECT_NEAR(x, ex, 1e-3);
    EXPECT_NEAR(y, ey, 1e-3);
  }
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
  for (const Case c : {Case{27700, R::WithoutShift}, {4326, R::Refused}, {0, R::Refused},
                       {1e12, R::Refused}, {NAN, R::Refused}, {999999, R::Refused}}) {
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
