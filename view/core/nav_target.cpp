#include "view/core/nav_target.h"

#include "coords/transform_set.h"
#include "document/measures.h"
#include "document/tolvanix_doc.h"

bool AimAt(TransformSet& set, double lon, double lat, std::int32_t altitudeCm, NavTarget& target) {
  NavTarget aimed;
  aimed.lon = lon;
  aimed.lat = lat;
  aimed.altitudeCm = altitudeCm;
  aimed.centralMeridian = CTolvanixDoc::UtmZoneFromLongitude(lon, aimed.zone);
  set.RetargetUtm(UtmTarget::Measuring, aimed.zone, true);
  aimed.x = lon;
  aimed.y = lat;
  if (!set.Transform(TransformId::Utm, aimed.x, aimed.y)) return false;
  target = aimed;
  return true;
}

bool ReadNavigation(TransformSet& set, const NavTarget& target, double fixLon, double fixLat,
                    std::int32_t fixAltitudeCm, NavReading& reading) {
  set.RetargetUtm(UtmTarget::Measuring, target.zone, true);
  GeoPoint fix{fixLon, fixLat};
  if (!set.Transform(TransformId::Utm, fix.x, fix.y)) return false;
  const GeoPoint at{target.x, target.y};
  reading.distance = CalcDistance(at, fix);
  reading.bearing = CalcBearing(at, fix);
  reading.dx = target.x - fix.x;
  reading.dy = target.y - fix.y;
  reading.dz = (target.altitudeCm - fixAltitudeCm) * 0.01;
  return true;
}

bool ArrivalBeep(int navSound, double distance, double soundDistance) {
  return navSound != 0 && distance < soundDistance;
}
