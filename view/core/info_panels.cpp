#include "view/core/info_panels.h"

#include <cmath>

#include "app/strings.h"
#include "coords/angle_text.h"
#include "view/core/info_format.h"

namespace {

constexpr UINT kStringAltitudeMetresDegrees = 59148;
constexpr UINT kStringAltitudeMetresGrads = 59149;
constexpr UINT kStringArea = 59150;
constexpr UINT kStringPoints = 59151;
constexpr UINT kStringNoCoverage = 59160;
constexpr UINT kStringDisconnected = 59161;
constexpr UINT kStringAltitudeFeetDegrees = 59273;
constexpr UINT kStringAltitudeFeetGrads = 59274;

constexpr double kDegreesToGrads = 1.1111111111111112;
constexpr double kCentimetresToFeet = 0.032808398950000005;
// US survey foot: 1200/3937 m.
constexpr double kCentimetresToUsFeet = 0.01 * 3937.0 / 1200.0;

}  // namespace

std::string GeographicAngleText(double value, int geoType, int degreeWidth) {
  AngleTextStyle style;
  style.degreeWidth = degreeWidth;
  style.degreeMark = "°";
  style.minuteMark = "'";
  if (geoType == 1) {
    style.decimals = 4;
    return DegreesMinutesText(value, style);
  }
  style.secondMark = "\"";
  return DegreesMinutesSecondsText(value, style);
}

std::string PositionPanelText(const PositionPanelInput& in) {
  switch (in.stringCoord) {
    case 0: break;
    case 1: return FormatText(" Maidenhead\n %s", {in.gridRefText});
    case 2: return FormatText(" MGRS\n %s", {in.gridRefText});
    case 3: return FormatText(" BNG\n %s", {in.gridRefText});
    case 4: return FormatText(" GEOREF\n %s", {in.gridRefText});
    default: return {};
  }
  if (in.coord == 0) {
    if (in.geoType == 0) return FormatText(" Lon %.7f°\n Lat %.7f°", {in.datumLon, in.datumLat});
    if (in.geoType != 1 && in.geoType != 2) return {};
    return " Lon " + GeographicAngleText(in.datumLon, in.geoType, 3) + "\n Lat  " +
           GeographicAngleText(in.datumLat, in.geoType, 2);
  }
  if (in.coord == 1) {
    return FormatText(" E %.1f m %d %s\n N %.1f m",
                      {in.mapX, std::int64_t{in.zone}, in.band, in.mapY});
  }
  if (in.coord == 2) {
    // The projected values are shown in the projection's own unit, unconverted.
    const char* unit = in.linearUnit == 1 ? "ft" : in.linearUnit == 2 ? "ftUS" : "m";
    return FormatText(" X %.1f %s\n Y %.1f %s", {in.mapX, std::string(unit), in.mapY, std::string(unit)});
  }
  return {};
}

std::string AltitudePanelText(int metrica, int bearingUnit, std::int32_t altitudeCm, double course) {
  const bool grads = bearingUnit != 0;
  const double shownCourse = grads ? course * kDegreesToGrads : course;
  if (metrica == 0) {
    return FormatText(LoadResString(grads ? kStringAltitudeMetresGrads : kStringAltitudeMetresDegrees),
                      {altitudeCm * 0.01, shownCourse});
  }
  const double factor = metrica == 2 ? kCentimetresToUsFeet : kCentimetresToFeet;
  return FormatText(LoadResString(grads ? kStringAltitudeFeetGrads : kStringAltitudeFeetDegrees),
                    {altitudeCm * factor, shownCourse});
}

std::string LengthPanelText(const std::string& distanceText, const std::string& lengthText) {
  return distanceText + " | " + lengthText;
}

bool AreaPanelShowsArea(FeatureType type) {
  return type == FeatureType::Area || type == FeatureType::Circle || type == FeatureType::Part;
}

std::string AreaPanelText(FeatureType type, const std::string& areaText, int vertexCount) {
  if (AreaPanelShowsArea(type)) {
    return LoadResString(kStringArea) + areaText;
  }
  return FormatText(LoadResString(kStringPoints), {std::int64_t{vertexCount}});
}

std::string FixQualityText(bool gpsOn, int quality) {
  static const char* const kQualities[] = {nullptr,       "GPS Fix 3D", "DGPS Fix",
                                           "PPS Fix",     "RTK Fixed",  "RTK Float",
                                           "Estimated",   "GPS Manual", "GPS Sim"};
  if (!gpsOn) return LoadResString(kStringDisconnected);
  if (quality >= 1 && quality <= 8) return kQualities[quality];
  return LoadResString(kStringNoCoverage);
}
