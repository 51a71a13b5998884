// Texts of the map view's info panels and of the status bar's fix-quality pane, built from
// plain values so that they are the same with or without windows.
//
// Texts that come from the string table are looked up in the current resource module
// (LoadResString); the rest are the program's own literals.
#pragma once

#include <cstdint>
#include <string>

#include "document/records.h"

// What the position panel shows of the last fix.
struct PositionPanelInput {
  int stringCoord = 0;       // StringCoord: GridReferenceKind, wins over every other mode
  int coord = 0;             // Coord: 0 geographic, 1 UTM, 2 user projection
  int geoType = 0;           // GeoType: 0 degrees, 1 degrees and minutes, 2 d/m/s
  std::string gridRefText;   // the fix's grid reference (StringCoord non-zero)
  double datumLon = 0.0;     // working datum degrees
  double datumLat = 0.0;
  double mapX = 0.0;         // map coordinates, in the working system's linear unit
  double mapY = 0.0;
  int zone = 0;              // Huso (UTM)
  std::string band;          // latitude band letter of datumLat (UTM)
  int linearUnit = 0;        // LinearUnit of a user projection: 0 m, 1 ft, 2 ftUS
};

// Two rows: " Lon ...\n Lat ...", " E ...\n N ...", " X ...\n Y ..." or a grid reference.
std::string PositionPanelText(const PositionPanelInput& in);

// Two rows: altitude and course. metrica 0 metres, 1 international feet, 2 US survey feet;
// bearingUnit (Rumbo) 0 degrees, otherwise grads.
std::string AltitudePanelText(int metrica, int bearingUnit, std::int32_t altitudeCm, double course);

// Distance from the last captured point, then the current feature's length.
std::string LengthPanelText(const std::string& distanceText, const std::string& lengthText);

// True for the types whose panel shows an area (area, circle, part); the others show their
// vertex count.
bool AreaPanelShowsArea(FeatureType type);
// The area of an area, circle or part; the vertex count of anything else.
std::string AreaPanelText(FeatureType type, const std::string& areaText, int vertexCount);

// Text of the status bar's fix pane: the GGA quality code while the receiver is open.
std::string FixQualityText(bool gpsOn, int quality);

// A longitude (degreeWidth 3) or latitude (2) as the panels write it by GeoType 1
// ("-03° 45.4500'") or 2 ("-03° 45' 27.0\""); see coords/angle_text.h.
std::string GeographicAngleText(double value, int geoType, int degreeWidth);
