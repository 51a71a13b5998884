#include "coords/fix_grid_reference.h"

#include "coords/grid_reference.h"

namespace {
constexpr double kRadiansPerDegree = 0.017453292519943295;
}

std::string FixGridReference(TransformSet& set, int kind, double wgsLon, double wgsLat, int zone,
                             bool north, double easting, double northing) {
  std::string text;
  if (kind == kGridReferenceMgrs) {
    ConvertUtmToMgrs(zone, north ? 1 : 0, easting, northing, 5, text);
    return text;
  }
  if (kind != kGridReferenceMaidenhead && kind != kGridReferenceBng &&
      kind != kGridReferenceGeoref)
    return text;

  // The locator, GEOREF and the British National Grid are computed from the position in the
  // working datum, not from the WGS84 fix as it arrives. The National Grid is defined on
  // OSGB36: a WGS84 position read as OSGB36 lands about 125 m off. The same holds for any
  // other grid the user reads off a map drawn on his datum. With WGS84 as the working datum
  // the two positions are one.
  double lon = wgsLon, lat = wgsLat;
  const bool inDatum = set.Transform(TransformId::WgsToDatum, lon, lat);
  switch (kind) {
    case kGridReferenceMaidenhead:
      if (inDatum) MaidenheadLocator(lat, lon, text);
      break;
    case kGridReferenceBng:
      if (!inDatum ||
          ConvertGeodeticToBng(lat * kRadiansPerDegree, lon * kRadiansPerDegree, 5, text) != 0)
        text = "Error";
      break;
    case kGridReferenceGeoref:
      if (inDatum)
        ConvertGeodeticToGeoref(lat * kRadiansPerDegree, lon * kRadiansPerDegree, 5, text);
      break;
  }
  return text;
}
