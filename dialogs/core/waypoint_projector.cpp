#include "dialogs/core/waypoint_projector.h"

#include "document/geo_position.h"
#include "document/tolvanix_doc.h"

bool DocWaypointProjector::ProjectionDisplay() const { return doc_.m_coord == 2; }

int DocWaypointProjector::DisplayZone(const WaypointRecord& first) {
  if (doc_.m_autoZone) {
    int zone = doc_.m_zone;
    CTolvanixDoc::UtmZoneFromLongitude(first.x, zone);
    if (zone >= 1 && zone <= 60) doc_.m_zone = zone;
  }
  return doc_.m_zone;
}

int DocWaypointProjector::DocumentZone() const { return doc_.m_zone; }

bool DocWaypointProjector::ToProjected(double lon, double lat, int zone, bool north,
                                       double& easting, double& northing) {
  double x = lon, y = lat;
  if (!doc_.m_transforms.Transform(TransformId::DatumToWgs, x, y)) return false;
  if (!ProjectionDisplay() && !doc_.m_transforms.RetargetUtm(UtmTarget::Measuring, zone, north))
    return false;
  if (!doc_.m_transforms.Transform(TransformId::Utm, x, y)) return false;
  easting = x;
  northing = y;
  return true;
}

bool DocWaypointProjector::ToGeographic(double easting, double northing, int zone, bool north,
                                        double& lon, double& lat) {
  if (!ProjectionDisplay() && !(zone >= 1 && zone <= 60)) return false;
  if (!ProjectionDisplay() && !doc_.m_transforms.RetargetUtm(UtmTarget::Display, zone, north))
    return false;
  double x = easting, y = northing;
  // A projected position that names no place (a northing typed beyond the earth) does not
  // convert.
  if (!doc_.m_transforms.Transform(TransformId::UtmToWgs, x, y) || !IsGeographicPosition(x, y) ||
      !doc_.m_transforms.Transform(TransformId::WgsToDatum, x, y) || !IsGeographicPosition(x, y))
    return false;
  lon = x;
  lat = y;
  return true;
}
