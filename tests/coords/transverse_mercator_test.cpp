// The program's own Transverse Mercator and UTM against PROJ, plus the zone rules and error bits.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "coords/transverse_mercator.h"
#include "coords/utm.h"
#include "tests/coords/proj_utm.h"

namespace {

constexpr double kDeg = kPi / 180.0;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;
constexpr double kMetresPerDegree = 111320.0; // for turning angle errors into ground metres

class TransverseMercatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SetUtmParameters(kWgs84A, kWgs84F, 0), 0); }
    void TearDown() override { SetUtmParameters(kWgs84A, kWgs84F, 0); }
    ProjUtm m_proj;
};

TEST_F(TransverseMercatorTest, UtmAgreesWithProjInsideTheZone) {
    std::mt19937_64 random(20240521);
    std::uniform_int_distribution<int> zoneDistribution(1, 60);
    std::uniform_real_distribution<double> latitudeDistribution(-80.0, 84.0);
    std::uniform_real_distribution<double> offsetDistribution(-2.999, 2.999);
    double worstForward = 0.0;
    double worstInverse = 0.0;
    int converted = 0;
    for (int i = 0; i < 6000; ++i) {
        const int zone = zoneDistribution(random);
        const double lat = latitudeDistribution(random);
        double lon = 6.0 * zone - 183.0 + offsetDistribution(random);
        // Keep to the ordinary zones; the Norway and Svalbard exceptions are tested below.
        if ((lat >= 56.0 && lat < 64.0 && lon >= 0.0 && lon < 12.0) || (lat >= 72.0 && lon >= 0.0 && lon < 42.0))
            continue;
        int utmZone = 0;
        int hemisphere = -1;
        double easting = 0.0;
        double northing = 0.0;
        ASSERT_EQ(ConvertGeodeticToUtm(lat * kDeg, lon * kDeg, utmZone, hemisphere, easting, northing), 0)
            << lat << " " << lon;
        ASSERT_EQ(utmZone, zone) << lat << " " << lon;
        ASSERT_EQ(hemisphere, lat < 0.0 ? 0 : 1);
        PJ* proj = m_proj.Transform(zone, lat >= 0.0);
        const auto [projE, projN] = ProjUtm::Apply(proj, PJ_FWD, lon, lat);
        worstForward = std::max(worstForward, std::hypot(easting - projE, northing - projN));

        double backLat = 0.0;
        double backLon = 0.0;
        const int inverseBits = ConvertUtmToGeodetic(zone, hemisphere, projE, projN, backLat, backLon);
        ASSERT_EQ(inverseBits & ~kUtmEastingError, 0);
        const double dLat = (backLat / kDeg - lat) * kMetresPerDegree;
        const double dLon = std::remainder(backLon / kDeg - lon, 360.0) * kMetresPerDegree * std::cos(lat * kDeg);
        worstInverse = std::max(worstInverse, std::hypot(dLat, dLon));
        ++converted;
    }
    std::printf("UTM vs PROJ over %d points: worst forward %.3g m, worst inverse %.3g m\n", converted,
                worstForward, worstInverse);
    EXPECT_GT(converted, 4000);
    EXPECT_LT(worstForward, 0.001);
    EXPECT_LT(worstInverse, 0.001);
}

TEST_F(TransverseMercatorTest, TransverseMercatorAgreesWithProjOnAnotherEllipsoid) {
    // British National Grid parameters (Airy 1830) against EPSG:27700 from OSGB36 (EPSG:4277).
    const double a = 6377563.396;
    ASSERT_EQ(SetTmParameters(a, a * (1.0 - 1.0 / 299.3249646), 49.0 * kDeg, -2.0 * kDeg, 400000.0,
                              -100000.0, 0.9996012717),
              0);
    PJ* proj = m_proj.Crs("EPSG:4277", "EPSG:27700", 27700);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> latitude(49.9, 60.9);
    std::uniform_real_distribution<double> longitude(-5.0, 1.0);
    double worst = 0.0;
    for (int i = 0; i < 2000; ++i) {
        const double lat = latitude(random);
        const double lon = longitude(random);
        double e = 0.0;
        double n = 0.0;
        ASSERT_EQ(TmForward(lat * kDeg, lon * kDeg, e, n), 0);
        const auto [projE, projN] = ProjUtm::Apply(proj, PJ_FWD, lon, lat);
        worst = std::max(worst, std::hypot(e - projE, n - projN));
        double backLat = 0.0;
        double backLon = 0.0;
        ASSERT_EQ(TmInverse(projE, projN, backLat, backLon), 0);
        EXPECT_NEAR(backLat / kDeg, lat, 1e-8);
        EXPECT_NEAR(backLon / kDeg, lon, 1e-8);
    }
    std::printf("Transverse Mercator (Airy) vs PROJ EPSG:27700: worst %.3g m\n", worst);
    EXPECT_LT(worst, 0.001);
}

TEST_F(TransverseMercatorTest, ZoneRules) {
    struct Case {
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {60.0, 3.5, 32},     {60.0, 2.5, 31},    {55.9, 3.5, 31},   {64.0, 3.5, 31},
        {60.0, 11.9, 32},    {75.0, 10.0, 33},   {75.0, 5.0, 31},   {75.0, 8.9, 31},
        {75.0, 25.0, 35},    {75.0, 35.0, 37},   {75.0, 42.5, 38},  {71.5, 10.0, 32},
        {0.0, 180.0, 1},     {10.0, -180.0, 1},  {0.0, 179.99, 60}, {-45.0, -177.5, 1},
        {-45.0, 359.0, 30},  {0.0, 0.0, 31},     {0.0, -0.001, 30}, {-30.0, -60.5, 20},
    };
    for (const Case& c : cases) {
        int zone = 0;
        int hemisphere = -1;
        double e = 0.0;
        double n = 0.0;
        ConvertGeodeticToUtm(c.lat * kDeg, c.lon * kDeg, zone, hemisphere, e, n);
        EXPECT_EQ(zone, c.zone) << c.lat << ", " << c.lon;
    }
    // The exception zones still agree with PROJ's projection into the same zone.
    int zone = 0;
    int hemisphere = 0;
    double e = 0.0;
    double n = 0.0;
    ASSERT_EQ(ConvertGeodeticToUtm(78.0 * kDeg, 20.5 * kDeg, zone, hemisphere, e, n), 0);
    ASSERT_EQ(zone, 33);
    const auto [projE, projN] = ProjUtm::Apply(m_proj.Transform(33, true), PJ_FWD, 20.5, 78.0);
    EXPECT_NEAR(e, projE, 0.001);
    EXPECT_NEAR(n, projN, 0.001);
}

TEST_F(TransverseMercatorTest, ZoneOverride) {
    int zone = 0;
    int hemisphere = 0;
    double e = 0.0;
    double n = 0.0;
    ASSERT_EQ(SetUtmParameters(kWgs84A, kWgs84F, 32), 0);
    ASSERT_EQ(ConvertGeodeticToUtm(45.0 * kDeg, 4.0 * kDeg, zone, hemisphere, e, n), 0);
    EXPECT_EQ(zone, 32);
    const auto [projE, projN] = ProjUtm::Apply(m_proj.Transform(32, true), PJ_FWD, 4.0, 45.0);
    EXPECT_NEAR(e, projE, 0.001);
    EXPECT_NEAR(n, projN, 0.001);
    // Two zones away is refused.
    EXPECT_EQ(ConvertGeodeticToUtm(45.0 * kDeg, -2.0 * kDeg, zone, hemisphere, e, n), kUtmZoneOverrideError);
    // Across the date line zones 1 and 60 are neighbours.
    ASSERT_EQ(SetUtmParameters(kWgs84A, kWgs84F, 60), 0);
    ConvertGeodeticToUtm(10.0 * kDeg, -179.0 * kDeg, zone, hemisphere, e, n);
    EXPECT_EQ(zone, 60);
    ASSERT_EQ(SetUtmParameters(kWgs84A, kWgs84F, 1), 0);
    ConvertGeodeticToUtm(10.0 * kDeg, 179.0 * kDeg, zone, hemisphere, e, n);
    EXPECT_EQ(zone, 1);
}

TEST_F(TransverseMercatorTest, FailedSetUpKeepsTheState) {
    const double a = 6378388.0; // International 1924
    ASSERT_EQ(SetTmParameters(a, a * (1.0 - 1.0 / 297.0), 0.0, 3.0 * kDeg, 500000.0, 0.0, 0.9996), 0);
    double e0 = 0.0;
    double n0 = 0.0;
    ASSERT_EQ(TmForward(40.0 * kDeg, 4.0 * kDeg, e0, n0), 0);

    struct Case {
        double a, b, originLat, centralMeridian, scale;
        int bits;
    };
    const Case cases[] = {
        {-1.0, 6356752.3142, 0.0, 0.0, 5.0, 0x340},
        {6378137.0, 6356752.3142, 1.6, 0.0, 1.0, 0x010},
        {6378137.0, 6356752.3142, 0.0, -3.2, 1.0, 0x020},
        {6378137.0, 6356752.3142, 0.0, 6.3, 1.0, 0x020},
        {6378137.0, 0.0, 0.0, 0.0, 1.0, 0x080},
        {6378137.0, 6378138.0, 0.0, 0.0, 1.0, 0x100},
        {6378137.0, 6356752.3142, 0.0, 0.0, 0.29, 0x200},
        {0.0, -1.0, -2.0, 7.0, 3.1, 0x2F0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetTmParameters(c.a, c.b, c.originLat, c.centralMeridian, 0.0, 0.0, c.scale), c.bits);
        double e = 0.0;
        double n = 0.0;
        ASSERT_EQ(TmForward(40.0 * kDeg, 4.0 * kDeg, e, n), 0);
        EXPECT_EQ(e, e0);
        EXPECT_EQ(n, n0);
    }

    int zone = 0;
    int hemisphere = 0;
    double utmE0 = 0.0;
    double utmN0 = 0.0;
    ASSERT_EQ(SetUtmParameters(a, 1.0 / 297.0, 0), 0);
    ASSERT_EQ(ConvertGeodeticToUtm(40.0 * kDeg, 4.0 * kDeg, zone, hemisphere, utmE0, utmN0), 0);
    EXPECT_EQ(SetUtmParameters(0.0, 1.0 / 297.0, 0), kUtmAxisAError);
    EXPECT_EQ(SetUtmParameters(a, 1.0 / 200.0, 0), kUtmFlatteningError);
    EXPECT_EQ(SetUtmParameters(a, 1.0 / 297.0, 61), kUtmZoneOverrideError);
    EXPECT_EQ(SetUtmParameters(-5.0, 0.0, -1), kUtmAxisAError | kUtmFlatteningError | kUtmZoneOverrideError);
    double e = 0.0;
    double n = 0.0;
    ASSERT_EQ(ConvertGeodeticToUtm(40.0 * kDeg, 4.0 * kDeg, zone, hemisphere, e, n), 0);
    EXPECT_EQ(e, utmE0);
    EXPECT_EQ(n, utmN0);
    EXPECT_EQ(zone, 31);
    // A UTM conversion does not replace the module-wide Transverse Mercator parameters.
    ASSERT_EQ(TmForward(40.0 * kDeg, 4.0 * kDeg, e, n), 0);
    EXPECT_EQ(e, e0);
}

TEST_F(TransverseMercatorTest, ErrorBits) {
    int zone = 0;
    int hemisphere = 0;
    double e = 0.0;
    double n = 0.0;
    EXPECT_EQ(ConvertGeodeticToUtm(84.6 * kDeg, 0.0, zone, hemisphere, e, n), kUtmLatitudeError);
    EXPECT_EQ(ConvertGeodeticToUtm(-80.6 * kDeg, 0.0, zone, hemisphere, e, n), kUtmLatitudeError);
    EXPECT_EQ(ConvertGeodeticToUtm(0.0, 2.0 * kPi + 0.01, zone, hemisphere, e, n), kUtmLongitudeError);
    EXPECT_EQ(ConvertGeodeticToUtm(NAN, -kPi - 0.01, zone, hemisphere, e, n),
              kUtmLatitudeError | kUtmLongitudeError);
    // Southern hemisphere: false northing 10000000, hemisphere 0.
    ASSERT_EQ(ConvertGeodeticToUtm(-0.0001 * kDeg, 3.0 * kDeg, zone, hemisphere, e, n), 0);
    EXPECT_EQ(hemisphere, 0);
    EXPECT_NEAR(n, 10000000.0 - 11.053, 0.005);

    double lat = 0.0;
    double lon = 0.0;
    EXPECT_EQ(ConvertUtmToGeodetic(31, 1, 100000.0, 5000000.0, lat, lon) & kUtmEastingError, 0);
    EXPECT_EQ(ConvertUtmToGeodetic(31, 1, 99999.99, 5000000.0, lat, lon), kUtmEastingError);
    EXPECT_EQ(ConvertUtmToGeodetic(31, 1, 900000.01, 5000000.0, lat, lon), kUtmEastingError);
    EXPECT_EQ(ConvertUtmToGeodetic(0, 1, 500000.0, 5000000.0, lat, lon), kUtmZoneError);
    EXPECT_EQ(ConvertUtmToGeodetic(61, 1, 500000.0, -1.0, lat, lon), kUtmZoneError | kUtmNorthingError);
    // Beyond 84.5 degrees north: delivered, but flagged.
    EXPECT_EQ(ConvertUtmToGeodetic(31, 1, 500000.0, 9900000.0, lat, lon), kUtmNorthingError);
    EXPECT_NEAR(lat / kDeg, 89.1, 0.1);

    // Forward 10 degrees from the central meridian: delivered with the warning.
    ASSERT_EQ(SetTmParameters(kWgs84A, kWgs84A * (1.0 - kWgs84F), 0.0, 0.0, 0.0, 0.0, 1.0), 0);
    EXPECT_EQ(TmForward(45.0 * kDeg, 10.0 * kDeg, e, n), kTmLongitudeWarning);
    EXPECT_NEAR(e, 788000.0, 2000.0);
    EXPECT_EQ(TmForward(45.0 * kDeg, 91.0 * kDeg, e, n), kTmLongitudeError);
    EXPECT_EQ(TmForward(1.6, 0.0, e, n), kTmLatitudeError);
    EXPECT_EQ(TmInverse(5.0e7, 0.0, lat, lon), kTmEastingError);
    EXPECT_EQ(TmInverse(0.0, -5.0e7, lat, lon), kTmNorthingError);
    EXPECT_EQ(TmInverse(1200000.0, 5.0e6, lat, lon), kTmLongitudeWarning);
}

} // namespace
