#include "document/geo_position.h"

#include <cmath>

bool IsGeographicPosition(double lon, double lat) {
  // Written so that NaN fails every comparison.
  return std::fabs(lon) <= 180.0 && std::fabs(lat) <= 90.0;
}

std::string PositionsLeftOutText(std::size_t count, bool systemChosen) {
  std::string text = count == 1
                         ? std::string("1 point was left out: its coordinates are not a "
                                       "longitude and latitude on the earth")
                         : std::to_string(count) +
                               " points were left out: their coordinates are not longitudes "
                               "and latitudes on the earth";
  text += " (beyond 180\u00b0 east or west or 90\u00b0 north or south, or not numbers).";
  if (systemChosen) text += "\nThe coordinate system chosen may not be the file's.";
  return text;
}
