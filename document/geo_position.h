// The one rule for positions that come into the document from a file: a longitude and a
// latitude in degrees (WGS84 or the working datum) name a place only when both are finite
// numbers with |longitude| <= 180 and |latitude| <= 90. Shapefile imports (the document's and
// the waypoint table's), document files and NMEA logs keep only such positions, after the
// conversion the user chose, and say how many they left out: a point elsewhere (a projected
// file read as geographic degrees, 440000 degrees east) would make the map fit it and end up in
// every later save.
#pragma once

#include <cstddef>
#include <string>

#include "document/records.h"

bool IsGeographicPosition(double lon, double lat);
inline bool IsGeographicPosition(const GeoPoint& p) { return IsGeographicPosition(p.x, p.y); }

// What the user is told after a read that left `count` points out (count > 0). With
// systemChosen the user chose the file's coordinate system, which may be the wrong one.
std::string PositionsLeftOutText(std::size_t count, bool systemChosen);
