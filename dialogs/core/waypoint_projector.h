// The waypoint table's conversions over the document's transformations (user-interface
// thread): working-datum degrees to UTM of a given zone and hemisphere (or to the user
// projection while the document displays one) and back, through WGS84.
#pragma once

#include "dialogs/core/waypoint_table.h"

class CTolvanixDoc;

class DocWaypointProjector : public waypoint_table::Projector {
 public:
  explicit DocWaypointProjector(CTolvanixDoc& doc) : doc_(doc) {}

  bool ProjectionDisplay() const override;
  // With the automatic zone the document's zone ("Huso") follows the first waypoint.
  int DisplayZone(const WaypointRecord& first) override;
  int DocumentZone() const override;
  bool ToProjected(double lon, double lat, int zone, bool north, double& easting,
                   double& northing) override;
  bool ToGeographic(double easting, double northing, int zone, bool north, double& lon,
                    double& lat) override;

 private:
  CTolvanixDoc& doc_;
};
