// Area and length texts at every unit threshold, for every unit system and linear unit, and
// the degree, minute and second texts of angles around every carry.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "coords/angle_text.h"
#include "coords/area_length_text.h"

namespace {

constexpr int kMetre = 0;
constexpr int kFoot = 1;
constexpr int kUsFoot = 2;

TEST(AreaTextTest, Table) {
    const struct {
        double area;
        int unitSystem, squareFeet, linearUnit;
        const char* text;
    } cases[] = {
        {999.9, kUnitsMetric, 0, kMetre, "999.9 m\u00b2"},
        {-5.0, kUnitsMetric, 0, kMetre, "-5.0 m\u00b2"},
        {1000.0, kUnitsMetric, 0, kMetre, "0.1000 ha"},
        {10000000.0, kUnitsMetric, 0, kMetre, "1000.0000 ha"},
        {10000001.0, kUnitsMetric, 0, kMetre, "10.0000 km\u00b2"},
        {10000.0, kUnitsMetric, 1, kFoot, "929.0 m\u00b2"},       // square feet to square metres
        {10764.0, kUnitsMetric, 0, kFoot, "0.1000 ha"},
        {10764.0, kUnitsMetric, 0, kUsFoot, "0.1000 ha"},         // international factor for both
        {107639104.0, kUnitsMetric, 0, kFoot, "1000.0000 ha"},
        {107639105.0, kUnitsMetric, 0, kUsFoot, "10.0000 km\u00b2"},
        {1.0, kUnitsFeet, 1, kMetre, "10.7639 ft\u00b2"},
        {4046.8564224, kUnitsFeet, 0, kMetre, "1.0000 ac"},
        {43560.0, kUnitsFeet, 1, kFoot, "43560.0000 ft\u00b2"},
        {43560.0, kUnitsFeet, 0, kUsFoot, "1.0000 ac"},
        {1.0, kUnitsUsSurveyFeet, 7, kMetre, "10.7639 ft\u00b2"},  // areas as in feet
        {4046.8564224, kUnitsUsSurveyFeet, 0, kMetre, "1.0000 ac"},
        {43560.0, kUnitsUsSurveyFeet, 0, kUsFoot, "1.0000 ac"},
        {1000.0, 3, 0, kMetre, ""},
        {1000.0, -1, 0, kMetre, ""},
        {1000.0, kUnitsMetric, 0, 3, ""},
        {1000.0, kUnitsFeet, 1, -1, ""},
    };
    for (const auto& c : cases) {
        std::string text = "previous";
        EXPECT_EQ(FormatAreaText(text, c.area, c.unitSystem, c.squareFeet, c.linearUnit), c.text)
            << c.area << " " << c.unitSystem << " " << c.linearUnit;
    }
}

TEST(LengthTextTest, Table) {
    const struct {
        double length;
        int unitSystem, linearUnit;
        const char* text;
    } cases[] = {
        {10000.0, kUnitsMetric, kMetre, "10000.0 m"},
        {10000.1, kUnitsMetric, kMetre, "10.00 km"},
        {0.04, kUnitsMetric, kMetre, "0.0 m"},
        {1000.0, kUnitsMetric, kFoot, "304.8 m"},
        {32808.0, kUnitsMetric, kFoot, "9999.9 m"},
        {32808.4, kUnitsMetric, kFoot, "10.00 km"},
        {1000000.0, kUnitsMetric, kUsFoot, "304.80 km"},
        {100.0, kUnitsFeet, kMetre, "328.1 ft"},
        {1234.56, kUnitsFeet, kFoot, "1234.6 ft"},
        {1000000.0, kUnitsFeet, kUsFoot, "1000002.0 ft"},
        {100.0, kUnitsUsSurveyFeet, kMetre, "328.1 ftUS"},
        {1000000.0, kUnitsUsSurveyFeet, kFoot, "999998.0 ftUS"},
        {1234.56, kUnitsUsSurveyFeet, kUsFoot, "1234.6 ftUS"},
        {100000.0, kUnitsUsSurveyFeet, kUsFoot, "100000.0 ftUS"}, // no kilo unit in feet
        {10.0, 3, kMetre, ""},
        {10.0, kUnitsMetric, 3, ""},
    };
    for (const auto& c : cases) {
        std::string text = "previous";
        EXPECT_EQ(FormatLengthText(text, c.length, c.unitSystem, c.linearUnit), c.text)
            << c.length << " " << c.unitSystem << " " << c.linearUnit;
    }
}

// Seconds (and minutes) rounded up to 60 at the decimals shown carry into the minutes (and
// degrees); a value that rounds to zero has no sign.
TEST(AngleTextTest, CarriesRoundedSecondsAndMinutes) {
    const auto dms = [](double d, double m, double s) { return d + m / 60.0 + s / 3600.0; };
    const struct {
        double value;
        bool seconds;  // degrees, minutes and seconds, else degrees and decimal minutes
        int width, decimals;
        const char* text;
    } cases[] = {
        {40.4, true, 2, 1, "40 24 0.0"},                          // not 40 23 60.0
        {dms(40, 23, 59.94), true, 2, 1, "40 23 59.9"},
        {dms(40, 23, 59.96), true, 2, 1, "40 24 0.0"},
        {dms(40, 23, 59.999), true, 2, 1, "40 24 0.0"},
        {dms(40, 23, 59.999), true, 2, 3, "40 23 59.999"},
        {dms(40, 23, 59.95), true, 2, 3, "40 23 59.950"},
        {dms(40, 59, 59.96), true, 2, 1, "41 00 0.0"},             // into the degrees
        {dms(179, 59, 59.99), true, 3, 1, "180 00 0.0"},
        {dms(179, 59, 59.99), true, 3, 2, "179 59 59.99"},
        {-dms(179, 59, 59.99), true, 3, 1, "-180 00 0.0"},          // west
        {-dms(40, 23, 59.96), true, 2, 1, "-40 24 0.0"},            // south
        {-dms(0, 59, 59.97), true, 2, 1, "-1 00 0.0"},
        {-dms(0, 30, 0), true, 3, 1, "-00 30 0.0"},                 // the sign on a zero degree
        {-dms(0, 0, 0.04), true, 2, 1, "00 00 0.0"},                // rounds to nothing: no sign
        {-dms(0, 0, 0.06), true, 2, 1, "-0 00 0.1"},
        {0.0, true, 3, 1, "000 00 0.0"},
        {40.4, false, 2, 4, "40 24.0000"},
        {dms(40, 59.99996, 0), false, 2, 4, "41 0.0000"},
        {dms(40, 59.99994, 0), false, 2, 4, "40 59.9999"},
        {-dms(3, 59.99996, 0), false, 3, 4, "-04 0.0000"},
        {dms(2, 7.5, 0), false, 3, 4, "002 7.5000"},
        {dms(179, 59.99999, 0), false, 3, 4, "180 0.0000"},
        {-dms(0, 0.00004, 0), false, 3, 4, "000 0.0000"},
    };
    for (const auto& c : cases) {
        AngleTextStyle style;
        style.degreeWidth = c.width;
        style.decimals = c.decimals;
        const std::string text = c.seconds ? DegreesMinutesSecondsText(c.value, style)
                                           : DegreesMinutesText(c.value, style);
        EXPECT_EQ(text, c.text) << c.value;
    }
    // The marks follow their fields; what is not a number says so.
    AngleTextStyle marked;
    marked.degreeWidth = 3;
    marked.degreeMark = "\u00b0";
    marked.minuteMark = "'";
    marked.secondMark = "\"";
    EXPECT_EQ(DegreesMinutesSecondsText(-dms(3, 45, 59.99), marked), "-03\u00b0 46' 0.0\"");
    marked.decimals = 4;
    EXPECT_EQ(DegreesMinutesText(-dms(3, 45, 59.99), marked), "-03\u00b0 45.9998'");
    EXPECT_EQ(DegreesMinutesText(std::nan(""), marked), "nan\u00b0");
    EXPECT_FALSE(DegreesMinutesSecondsText(1e300, marked).empty());
}

} // namespace
