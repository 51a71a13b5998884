// The text exchange formats: geographic and UTM point lists, KML 2.2, DXF Release 12 and the
// OziExplorer PLT and CompeGPS TRK track files. Each FormatX returns the file's bytes; each
// WriteX writes the same bytes into an ExportText, which the document commands stream to a
// temporary file renamed over the target when complete (document/export_file.h).
//
// 8-bit formats (lists, DXF, PLT, TRK) hold names in Windows-1252; KML is UTF-8. Numbers are
// always in the C locale. Lines end with "\n". Circles (types 50 and 51) are written as their
// outline of one point per metre, except in DXF, where they are CIRCLE entities.
#pragma once

#include <string>

#include "document/export_source.h"

// Latitude and longitude in degrees of every feature point (numbered from 1 within each
// feature) and of every waypoint. datumChoice 0 = WGS84, else the working datum.
std::string FormatGeographicList(ExportSource& source, int datumChoice);
void WriteGeographicList(ExportText& out, ExportSource& source, int datumChoice);

// UTM easting, northing and altitude (metres) of every point of every feature with points and
// of every waypoint; the zone is set to `zone` at the first point (hemisphere of that point)
// and again at the first waypoint (hemisphere of that waypoint).
std::string FormatUtmList(ExportSource& source, int datumChoice, int zone);
void WriteUtmList(ExportText& out, ExportSource& source, int datumChoice, int zone);

// The KML 2.2 document: features as LineString or Polygon placemarks in their colour,
// waypoints in a "WPT" folder; WGS84 longitude, latitude and altitude in metres. `pathName` is
// the file's full path, shown as the outer folder's name. Names are escaped for XML.
std::string FormatKml(ExportSource& source, const std::string& pathName);
void WriteKml(ExportText& out, ExportSource& source, const std::string& pathName);

// The ASCII DXF Release 12 drawing in UTM metres: lines as LINE segments, areas as POLYLINE,
// circles as CIRCLE, waypoints as POINT, and TEXT labels on the layers HEIGHT, NOTES, NUMBERS
// (every vertex of every feature but circles) and WPT_NAME. `flat` writes every altitude as
// "0.0" and areas as closed 2D polylines.
std::string FormatDxf(ExportSource& source, int datumChoice, int zone, bool flat);
void WriteDxf(ExportText& out, ExportSource& source, int datumChoice, int zone, bool flat);

// One feature as an OziExplorer track (.plt, altitude in feet) or CompeGPS track (.trk,
// altitude in metres), latitude and longitude in degrees.
std::string FormatPlt(ExportSource& source, const FeatureRecord& feature, int datumChoice);
std::string FormatTrk(ExportSource& source, const FeatureRecord& feature, int datumChoice);
void WritePlt(ExportText& out, ExportSource& source, const FeatureRecord& feature, int datumChoice);
void WriteTrk(ExportText& out, ExportSource& source, const FeatureRecord& feature, int datumChoice);

// The file of feature number `number` (from 1) of `count` tracks: the chosen path itself when
// there is one feature, else the chosen path with "_<number>" before its final extension
// ("survey.plt" -> "survey_2.plt"). `extension` (".plt") is appended when the chosen path
// lacks it.
std::string TrackFileName(const std::string& chosenPath, int number, std::size_t count,
                          std::string_view extension);
