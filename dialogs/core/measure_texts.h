// Texts the measuring dialogs and the waypoint properties read and show.
#pragma once

#include <optional>
#include <string>

// An altitude typed in metres, as whole centimetres: the decimal number times 100, rounded
// to the nearest centimetre (halves away from zero) on the typed digits themselves (so
// "1.15" gives 115 and "12.345" 1235, whatever binary floating point would make of them).
// Surrounding blanks are allowed; nullopt for anything that is not a plain decimal number
// (such as "12.345", "-3", "+0.5", ".5") or does not fit an int.
std::optional<int> ParseAltitudeCentimetres(const std::string& text);

// A waypoint's longitude or latitude (degrees) as the coordinates page shows it, by the option
// "GeoType": 0 "%.7fº" degrees; 1 degrees and minutes "%03dº %.4f'" (longitude) or
// "%02dº %.4f'" (latitude); 2 degrees, minutes and seconds "%03dº %02d' %.3f\"" or
// "%02dº %02d' %.3f\"". Degrees are truncated toward zero; a value between -1 and 0 keeps
// its minus sign on the zero degrees ("-00º 30.0000'"). Other kinds give an empty text.
std::string FormatWaypointAngle(double degrees, int geoType, bool longitude);
