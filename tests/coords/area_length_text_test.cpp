// Area and length texts at every unit threshold, for every unit system and linear unit.

#include <gtest/gtest.h>

#include <string>

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

} // namespace
