#pragma once
// Area and length texts of the measures shown to the user (info panels, feature lists, distance
// dialogs). The input is in the units of the working coordinate system (metres, international
// feet or US survey feet; squared for areas); the unit system option chooses the output unit.
// Numbers are always written with a '.' decimal point, whatever the user's locale.
// CTolvanixDoc::FormatArea / FormatLength pass the document's options to these functions.

#include <string>

// Unit system of the texts (option "Metrica").
inline constexpr int kUnitsMetric = 0;
inline constexpr int kUnitsFeet = 1;          // international feet, acres or square feet
inline constexpr int kUnitsUsSurveyFeet = 2;  // lengths in US survey feet, areas as kUnitsFeet

// Linear unit of the working coordinate system (LinearUnit): 0 metre, 1 international foot,
// 2 US survey foot. Any other value of either option gives an empty text.
//
// areaInSquareFeet: option "Feet" (imperial areas in square feet rather than acres).
std::string& FormatAreaText(std::string& text, double area, int unitSystem, int areaInSquareFeet,
                            int linearUnit);
std::string& FormatLengthText(std::string& text, double length, int unitSystem, int linearUnit);
