// Navigation to a target point: where the target lies in its UTM zone, and the distance,
// bearing and height difference from the current fix to it.
//
// Frames: the target and the fix are working-datum longitude/latitude in degrees. Both are
// projected with the measuring transformation (TransformId::Utm) moved to the UTM zone of
// the target's longitude, northern hemisphere; distances and differences are then planar
// metres in that zone (the working system's unit for a user projection, which is never
// re-targeted). Within a few kilometres of the target the planar distance differs from the
// geodesic one by the zone's scale factor (at most 0.04 % off inside the zone, 0.1 % at
// its edge), and the bearing is a grid bearing: it differs from the true azimuth by the
// meridian convergence (0 on the central meridian, about 3 degrees at the zone's edge at
// 60 degrees latitude).
#pragma once

#include <cstdint>

class TransformSet;

struct NavTarget {
  double lon = 0.0;  // working datum, degrees
  double lat = 0.0;
  std::int32_t altitudeCm = 0;
  int zone = 0;                  // UTM zone of the target's longitude
  double centralMeridian = 0.0;  // of that zone, degrees
  double x = 0.0;                // easting and northing in that zone
  double y = 0.0;
  // Generation of the document's coordinate settings x and y were projected under; new
  // settings project the target again.
  std::uint64_t settings = 0;
};

struct NavReading {
  double distance = 0.0;  // planar, target to fix
  double bearing = 0.0;   // grid bearing of the target seen from the fix, degrees [0, 360)
  double dx = 0.0;        // target minus fix: easting, northing (planar units)
  double dy = 0.0;
  double dz = 0.0;        // target altitude minus fix altitude, metres
};

// Sets the target: its zone and central meridian, the measuring transformation moved to
// that zone, and the target projected. False (target unchanged) when the transformation is
// missing or refuses the point.
bool AimAt(TransformSet& set, double lon, double lat, std::int32_t altitudeCm, NavTarget& target);

// Reads the navigation for a fix. The measuring transformation is moved back to the target's
// zone first: other measurements (distances between points, exports) move it to the zone of
// their own points. False (reading unchanged) when the fix cannot be projected.
bool ReadNavigation(TransformSet& set, const NavTarget& target, double fixLon, double fixLat,
                    std::int32_t fixAltitudeCm, NavReading& reading);

// The arrival beep: the sound is on and the fix is closer than the sound distance.
bool ArrivalBeep(int navSound, double distance, double soundDistance);
