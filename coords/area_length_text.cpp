#include "coords/area_length_text.h"

#include <charconv>

namespace {

constexpr int kLinearMetre = 0;
constexpr int kLinearFoot = 1;
constexpr int kLinearUsSurveyFoot = 2;

// Appends value with a fixed number of decimals and the unit ("%.*f unit" in the C locale).
void AppendFixed(std::string& text, double value, int decimals, const char* unit) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    text.assign(buffer, result.ptr);
    text += ' ';
    text += unit;
}

} // namespace

std::string& FormatAreaText(std::string& text, double area, int unitSystem, int areaInSquareFeet,
                            int linearUnit) {
    text.clear();
    if (linearUnit < kLinearMetre || linearUnit > kLinearUsSurveyFoot)
        return text;
    const bool inFeet = linearUnit != kLinearMetre;
    if (unitSystem == kUnitsMetric) {
        // Both foot kinds are taken as the international square foot.
        const double squareMetres = inFeet ? area * 0.09290304 : area;
        if (squareMetres > 10000000.0)
            AppendFixed(text, squareMetres * 1e-06, 4, "km\u00b2");
        else if (squareMetres < 1000.0)
            AppendFixed(text, squareMetres, 1, "m\u00b2");
        else
            AppendFixed(text, squareMetres * 0.0001, 4, "ha");
    } else if (unitSystem == kUnitsFeet || unitSystem == kUnitsUsSurveyFeet) {
        if (areaInSquareFeet != 0)
            AppendFixed(text, inFeet ? area : area * 10.763910417, 4, "ft\u00b2");
        else
            AppendFixed(text, inFeet ? area * 2.2956841139e-05 : area * 0.00024710538147, 4, "ac");
    }
    return text;
}

std::string& FormatLengthText(std::string& text, double length, int unitSystem, int linearUnit) {
    text.clear();
    if (linearUnit < kLinearMetre || linearUnit > kLinearUsSurveyFoot)
        return text;
    // Factor from the working unit (row) to the output unit (column: metre, foot, US foot).
    static constexpr double kFactors[3][3] = {
        {1.0, 3.280839895, 3.2808333333464565},
        {0.3048, 1.0, 0.999998000004},
        {0.3048006096, 1.000002, 1.0},
    };
    switch (unitSystem) {
    case kUnitsMetric: {
        const double metres = length * kFactors[linearUnit][0];
        if (metres > 10000.0)
            AppendFixed(text, metres * 0.001, 2, "km");
        else
            AppendFixed(text, metres, 1, "m");
        break;
    }
    case kUnitsFeet:
        AppendFixed(text, length * kFactors[linearUnit][1], 1, "ft");
        break;
    case kUnitsUsSurveyFeet:
        AppendFixed(text, length * kFactors[linearUnit][2], 1, "ftUS");
        break;
    default:
        break;
    }
    return text;
}
