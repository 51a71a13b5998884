// What the point-distance dialog lists and measures: its object list holds every feature by
// name, then the waypoints ("Wpt"), then the receiver's position ("GPS") while the receiver
// is connected; the point list of an object holds its vertices, its waypoints or the single
// position. Points are working-datum degrees.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/records.h"

enum class PointSource { None, Feature, Waypoints, Gps };

struct MeasureObject {
  PointSource source = PointSource::None;
  int feature = -1;  // for PointSource::Feature
};

// The object at an index of the object list (featureCount features first); None for an index
// that is not in the list.
MeasureObject ObjectAt(int index, int featureCount, bool gpsListed);

// The lines of the point list: a vertex as pointFormat with its 1-based number ("Punto %d"),
// and " (note)" when it has a note; a waypoint by its name; "GPS".
std::vector<std::string> PointLines(const DocumentContent& content, const MeasureObject& object,
                                    const std::string& pointFormat);

// The point of a line of the point list; nullopt when there is none.
std::optional<GeoPoint> PointAt(const DocumentContent& content, const MeasureObject& object,
                                int line, const GeoPoint& gpsPosition);
