// Grid-reference texts against worked-out values and PROJ's grids.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "coords/grid_reference.h"
#include "coords/utm.h"
#include "tests/coords/proj_utm.h"

namespace {

constexpr double kDeg = kPi / 180.0;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;

TEST(RoundHalfEvenTest, Table) {
    const struct {
        double x;
        long rounded;
    } cases[] = {{2.5, 2},  {3.5, 4},   {2.51, 3},  {2.49, 2},  {0.5, 0},   {1.5, 2},
                 {-2.5, -2}, {-3.5, -4}, {-2.7, -3}, {-2.2, -2}, {-0.5, 0}, {0.0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.x), c.rounded) << c.x;
}

TEST(BritishNationalGridTest, KnownPointAtEveryPrecision) {
    ASSERT_EQ(SetBngParameters("AB"), kBngEllipsoidError);
    ASSERT_EQ(SetBngParameters("AA"), 0);
    // 52 39'27.2531"N 1 43'4.5177"E on OSGB36: E 651409.903, N 313177.270 (square TG).
    const double lat = 52.0 + 39.0 / 60.0 + 27.2531 / 3600.0;
    const double lon = 1.0 + 43.0 / 60.0 + 4.5177 / 3600.0;
    ProjUtm proj;
    const auto [projE, projN] = ProjUtm::Apply(proj.Crs("EPSG:4277", "EPSG:27700", 27700), PJ_FWD, lon, lat);
    ASSERT_NEAR(projE, 651409.903, 0.002);
    ASSERT_NEAR(projN, 313177.270, 0.002);

    const char* expected[] = {"TG ", "TG 51", "TG 5113", "TG 514132", "TG 51411318", "TG 5141013177"};
    for (int precision = 0; precision <= 5; ++precision) {
        std::string text;
        EXPECT_EQ(ConvertGeodeticToBng(lat * kDeg, lon * kDeg, precision, text), 0);
        EXPECT_EQ(text, expected[precision]);
    }
}

TEST(BritishNationalGridTest, SquaresAcrossTheGrid) {
    ASSERT_EQ(SetBngParameters("AA"), 0);
    ProjUtm proj;
    PJ* osgb = proj.Crs("EPSG:4277", "EPSG:27700", 27700);
    // Squares known from the national grid's letter map.
    const struct {
        double lat, lon;
        const char* square;
    } cases[] = {
        {51.5007, -0.1246, "TQ"}, {55.9533, -3.1883, "NT"}, {56.7969, -5.0036, "NN"},
        {50.0660, -5.7148, "SW"}, {58.6373, -3.0689, "ND"}, {60.1530, -1.1490, "HU"},
        {53.4808, -2.2426, "SJ"}, {54.5973, -5.9301, "NW"},
    };
    for (const auto& c : cases) {
        std::string text;
        const int bits = ConvertGeodeticToBng(c.lat * kDeg, c.lon * kDeg, 5, text);
        ASSERT_EQ(bits, 0) << c.square;
        const auto [e, n] = ProjUtm::Apply(osgb, PJ_FWD, c.lon, c.lat);
        char digits[16];
        std::snprintf(digits, sizeof digits, "%05ld%05ld", std::lround(e) % 100000, std::lround(n) % 100000);
        EXPECT_EQ(text, std::string(c.square) + " " + digits);
    }
}

TEST(BritishNationalGridTest, Refusals) {
    ASSERT_EQ(SetBngParameters("AA"), 0);
    std::string text = "old";
    EXPECT_EQ(ConvertGeodeticToBng(55.0 * kDeg, 5.0 * kDeg, 5, text), kBngLongitudeError);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ConvertGeodeticToBng(62.0 * kDeg, -11.0 * kDeg, 5, text), kBngLatitudeError | kBngLongitudeError);
    EXPECT_EQ(ConvertGeodeticToBng(55.0 * kDeg, -3.0 * kDeg, 6, text), kBngPrecisionError);
    EXPECT_EQ(ConvertTmToBng(50000.0, 550000.0, 5, text), kBngAreaError); // square NV: sea
    EXPECT_EQ(ConvertTmToBng(-140000.0, 1260000.0, 5, text), kBngEastingError | kBngNorthingError);
    EXPECT_EQ(CheckBngArea('N', 'V'), kBngAreaError);
    EXPECT_EQ(CheckBngArea('N', 'W'), 0);
    EXPECT_EQ(CheckBngArea('S', 'A'), kBngAreaError);
    EXPECT_EQ(CheckBngArea('W', 'A'), kBngAreaError);
}

class MgrsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SetMgrsParameters(kWgs84A, kWgs84F, "WE"), 0); }
    void TearDown() override { SetMgrsParameters(kWgs84A, kWgs84F, "WE"); }
};

TEST_F(MgrsTest, WorkedPointsAtEveryPrecision) {
    // Zone 18 is in set 6 (columns S-Z, rows from F with the standard lettering).
    const char* expected[] = {"18SUJ", "18SUJ21", "18SUJ2306", "18SUJ235065", "18SUJ23490648", "18SUJ2348706483"};
    for (int precision = 0; precision <= 5; ++precision) {
        std::string text;
        EXPECT_EQ(ConvertUtmToMgrs(18, 1, 323487.0, 4306483.0, precision, text), 0);
        EXPECT_EQ(text, expected[precision]);
    }
    const struct {
        int zone, hemisphere;
        double e, n;
        const char* mgrs;
    } cases[] = {
        {56, 0, 334873.0, 6252266.0, "56HLH3487352266"},  // southern hemisphere, set 2
        {31, 0, 500000.0, 10000000.0, "31NEA0000000000"}, // equator seen from the south
        {31, 1, 500000.0, 0.0, "31NEA0000000000"},
        {1, 1, 166021.0, 0.0, "01NAA6602100000"},         // first column of set 1
        {60, 1, 833978.0, 8200000.0, "60XZH3397800000"},  // band X, last column of set 6
        {33, 1, 511000.0, 8655000.0, "33XWG1100055000"},  // Svalbard
        {20, 0, 500000.0, 1072000.0, "20CNR0000072000"},  // band C
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(ConvertUtmToMgrs(c.zone, c.hemisphere, c.e, c.n, 5, text), 0) << c.mgrs;
        EXPECT_EQ(text, c.mgrs);
    }
}

TEST_F(MgrsTest, LatitudeBandEdges) {
    const struct {
        double lat;
        char band;
    } cases[] = {{-80.4, 'C'}, {-72.01, 'C'}, {-71.99, 'D'}, {-0.01, 'M'}, {0.0, 'N'}, {63.99, 'V'},
                 {64.01, 'W'}, {71.99, 'W'}, {72.0, 'X'}, {84.4, 'X'}};
    for (const auto& c : cases) {
        int band = -1;
        ASSERT_EQ(GetMgrsLatitudeBand(c.lat * kDeg, band), 0) << c.lat;
        EXPECT_EQ('A' + band, c.band) << c.lat;
    }
    int band = 0;
    EXPECT_EQ(GetMgrsLatitudeBand(84.5 * kDeg, band), kMgrsLatitudeError);
    EXPECT_EQ(GetMgrsLatitudeBand(-80.5 * kDeg, band), kMgrsLatitudeError);
}

TEST_F(MgrsTest, WestNorwayIsLetteredInZone32) {
    ProjUtm proj;
    const auto [e31, n31] = ProjUtm::Apply(proj.Transform(31, true), PJ_FWD, 4.0, 60.0);
    const auto [e32, n32] = ProjUtm::Apply(proj.Transform(32, true), PJ_FWD, 4.0, 60.0);
    std::string text;
    ASSERT_EQ(ConvertUtmToMgrs(31, 1, e31, n31, 5, text), 0);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05ld%05ld", std::lround(e32) % 100000, std::lround(n32) % 100000);
    EXPECT_EQ(text, std::string("32VKM") + digits);
    // West of 3 degrees east it stays in zone 31 ...
    const auto [eWest, nWest] = ProjUtm::Apply(proj.Transform(31, true), PJ_FWD, 2.5, 60.0);
    ASSERT_EQ(ConvertUtmToMgrs(31, 1, eWest, nWest, 5, text), 0);
    EXPECT_EQ(text.substr(0, 5), "31VDG");
    // ... unless the easting rounded to the precision reaches the central meridian.
    ASSERT_EQ(ConvertUtmToMgrs(31, 1, 460000.0, 6650000.0, 0, text), 0);
    EXPECT_EQ(text.substr(0, 3), "32V");
    // The override does not stay behind for the next conversion.
    ASSERT_EQ(ConvertUtmToMgrs(31, 1, 300000.0, 5000000.0, 5, text), 0);
    EXPECT_EQ(text.substr(0, 3), "31T");
}

TEST_F(MgrsTest, RefusalsAndEllipsoids) {
    std::string text;
    EXPECT_EQ(ConvertUtmToMgrs(0, 1, 500000.0, 1.0, 5, text), kMgrsZoneError);
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 99999.0, -1.0, 5, text), kMgrsEastingError | kMgrsNorthingError);
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 500000.0, 1.0, 6, text), kMgrsPrecisionError);
    // An easting that rounds to 900000 has no column letter in its zone.
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 899999.6, 5000000.0, 5, text), kMgrsEastingError);
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 900000.0, 5000000.0, 5, text), kMgrsEastingError);
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 850001.0, 5000000.0, 0, text), kMgrsEastingError);
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 850000.0, 5000000.0, 0, text), 0);
    EXPECT_EQ(text, "31THL");
    EXPECT_EQ(ConvertUtmToMgrs(31, 1, 899999.4, 5000000.0, 5, text), 0);
    EXPECT_EQ(text, "31THL9999900000");

    EXPECT_EQ(SetMgrsParameters(-1.0, 1.0 / 200.0, "CC"), kMgrsAxisAError | kMgrsFlatteningError);
    ASSERT_EQ(ConvertUtmToMgrs(18, 1, 323487.0, 4306483.0, 5, text), 0);
    EXPECT_EQ(text, "18SUJ2348706483");
    // Clarke 1866: the older row lettering.
    ASSERT_EQ(SetMgrsParameters(6378206.4, 1.0 / 294.9786982, "CC"), 0);
    ASSERT_EQ(ConvertUtmToMgrs(18, 1, 323487.0, 4306483.0, 5, text), 0);
    EXPECT_EQ(text, "18SUU2348706483");
}

TEST(GeorefTest, Texts) {
    const double lat = 38.0 + 17.6 / 60.0;
    const double lon = -(77.0 + 3.2 / 60.0);
    const char* expected[] = {"GJNJ", "GJNJ5020", "GJNJ5718", "GJNJ568176", "GJNJ56801760", "GJNJ5680017600"};
    for (int precision = 0; precision <= 5; ++precision) {
        std::string text;
        EXPECT_EQ(ConvertGeodeticToGeoref(lat * kDeg, lon * kDeg, precision, text), 0);
        EXPECT_EQ(text, expected[precision]);
    }
    std::string text;
    EXPECT_EQ(ConvertGeodeticToGeoref(90.0 * kDeg, 180.0 * kDeg, 5, text), 0);
    EXPECT_EQ(text, "ZMQQ5999959999");
    ConvertGeodeticToGeoref(-90.0 * kDeg, 180.0 * kDeg, 3, text);
    EXPECT_EQ(text, "ZAQA599000");
    // Minutes that round up to 60 stay in their degree.
    ConvertGeodeticToGeoref(0.5 * kDeg, (-170.0 + 59.9996 / 60.0) * kDeg, 5, text);
    EXPECT_EQ(text, "AGLA5999930000");
    ConvertGeodeticToGeoref(0.5 * kDeg, (-170.0 + 59.7 / 60.0) * kDeg, 2, text);
    EXPECT_EQ(text, "AGLA5930");
    ConvertGeodeticToGeoref(0.5 * kDeg, (-170.0 + 57.0 / 60.0) * kDeg, 1, text);
    EXPECT_EQ(text, "AGLA5030");

    EXPECT_EQ(ConvertGeodeticToGeoref(90.1 * kDeg, 0.0, 5, text), kGeorefLatitudeError);
    EXPECT_EQ(ConvertGeodeticToGeoref(0.0, 361.0 * kDeg, 6, text), kGeorefLongitudeError | kGeorefPrecisionError);
}

TEST(MaidenheadTest, Locators) {
    // Worked out in exact arithmetic from the locator's definition (20 x 10 degree fields, then
    // 10, 24, 10, 24, 10 subdivisions).
    const struct {
        double lat, lon;
        const char* locator;
    } cases[] = {
        {48.14666, 11.60833, "JN58TD25XE97"},   {41.714775, -72.727260, "FN31PR21RN41"},
        {-33.8568, 151.2153, "QF56OD54UI08"},   {-54.8019, -68.3030, "FD55UE37PN30"},
        {0.0, 0.0, "JJ00AA00AA00"},             {-90.0, -180.0, "AA00AA00AA00"},
        {89.99, 179.99, "RR99XX87TO24"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(MaidenheadLocator(c.lat, c.lon, text), c.locator);
    }
}

} // namespace
