#include "coords/utm.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kTwoPi = 2.0 * kPi;
constexpr double kMinLatitude = -1.4049900478554351; // -80.5 degrees
constexpr double kMaxLatitude = 1.4748032179352084;  // 84.5 degrees
constexpr double kScaleFactor = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kSouthFalseNorthing = 10000000.0;
constexpr double kMinEasting = 100000.0;
constexpr double kMaxEasting = 900000.0;
constexpr double kMaxNorthing = 10000000.0;

ModuleParameters<UtmConverter> g_moduleUtm;
thread_local ModuleParameters<UtmConverter>::ThreadCopy t_moduleUtm;

// Central meridian in radians; zones west of Greenwich are given as 177..351 degrees east,
// which the Transverse Mercator set-up folds by 2pi.
double CentralMeridian(int zone) {
    const int degrees = zone >= 31 ? 6 * zone - 183 : 6 * zone + 177;
    return degrees * kPi / 180.0;
}

} // namespace

UtmConverter::UtmConverter() {
    m_ellipsoid.SetParameters(m_a, m_a * (1.0 - m_f), 0.0, 0.0, kFalseEasting, 0.0, kScaleFactor);
}

int UtmConverter::SetParameters(double a, double f, int zoneOverride) {
    int bits = 0;
    if (!(a > 0.0))
        bits |= kUtmAxisAError;
    const double inverseFlattening = 1.0 / f;
    if (!(inverseFlattening >= 250.0 && inverseFlattening <= 350.0))
        bits |= kUtmFlatteningError;
    if (zoneOverride < 0 || zoneOverride > 60)
        bits |= kUtmZoneOverrideError;
    if (bits != 0)
        return bits;
    m_a = a;
    m_f = f;
    m_zoneOverride = zoneOverride;
    m_ellipsoid.SetParameters(m_a, m_a * (1.0 - m_f), 0.0, 0.0, kFalseEasting, 0.0, kScaleFactor);
    return 0;
}

TransverseMercator UtmConverter::ZoneProjection(int zone, double falseNorthing) const {
    TransverseMercator tm = m_ellipsoid;
    tm.SetParameters(m_a, m_a * (1.0 - m_f), 0.0, CentralMeridian(zone), kFalseEasting,
                     falseNorthing, kScaleFactor);
    return tm;
}

int UtmConverter::GeodeticToUtm(double latitude, double longitude, int& zone, int& hemisphere,
                                double& easting, double& northing) const {
    zone = 0;
    hemisphere = kUtmHemisphereNorth;
    easting = 0.0;
    northing = 0.0;
    int bits = 0;
    if (!(latitude >= kMinLatitude && latitude <= kMaxLatitude))
        bits |= kUtmLatitudeError;
    if (!(longitude >= -kPi && longitude <= kTwoPi))
        bits |= kUtmLongitudeError;
    if (bits != 0)
        return bits;

    if (longitude < 0.0)
        longitude += kTwoPi + 1.0e-10;
    const int latDegrees = static_cast<int>(latitude * 180.0 / kPi);
    const int lonDegrees = static_cast<int>(longitude * 180.0 / kPi);
    const double lonExact = longitude * 180.0 / kPi;

    int utmZone = longitude < kPi ? static_cast<int>(lonExact / 6.0 + 31.0)
                                  : static_cast<int>(lonExact / 6.0 - 29.0);
    // A longitude that rounds to exactly 180 degrees east lands past zone 60.
    if (utmZone > 60)
        utmZone = 1;
    if (latDegrees > 55 && latDegrees < 64) { // Norway
        if (lonDegrees >= 0 && lonDegrees < 3)
            utmZone = 31;
        if (lonDegrees > 2 && lonDegrees < 12)
            utmZone = 32;
    }
    if (latDegrees > 71) { // Svalbard
        if (lonDegrees >= 0 && lonDegrees < 9)
            utmZone = 31;
        if (lonDegrees > 8 && lonDegrees < 21)
            utmZone = 33;
        if (lonDegrees > 20 && lonDegrees < 33)
            utmZone = 35;
        if (lonDegrees > 32 && lonDegrees < 42)
            utmZone = 37;
    }
    if (m_zoneOverride != 0) {
        if (utmZone == 1 && m_zoneOverride == 60)
            utmZone = 60;
        else if (utmZone == 60 && m_zoneOverride == 1)
            utmZone = 1;
        else if (std::abs(utmZone - m_zoneOverride) > 1)
            return kUtmZoneOverrideError;
        else
            utmZone = m_zoneOverride;
    }

    zone = utmZone;
    hemisphere = latitude < 0.0 ? kUtmHemisphereSouth : kUtmHemisphereNorth;
    const double falseNorthing = latitude < 0.0 ? kSouthFalseNorthing : 0.0;
    // The Transverse Mercator bits are not passed on: the range checks below cover the result.
    ZoneProjection(utmZone, falseNorthing).Forward(latitude, longitude, easting, northing);

    if (easting < kMinEasting || easting > kMaxEasting)
        bits |= kUtmEastingError;
    if (northing < 0.0 || northing > kMaxNorthing)
        bits |= kUtmNorthingError;
    return bits;
}

int UtmConverter::UtmToGeodetic(int zone, int hemisphere, double easting, double northing,
                                double& latitude, double& longitude) const {
    latitude = 0.0;
    longitude = 0.0;
    int bits = 0;
    if (zone < 1 || zone > 60)
        bits |= kUtmZoneError;
    if (!(easting >= kMinEasting && easting <= kMaxEasting))
        bits |= kUtmEastingError;
    if (!(northing >= 0.0 && northing <= kMaxNorthing))
        bits |= kUtmNorthingError;
    if (bits != 0)
        return bits;

    const double falseNorthing = hemisphere == kUtmHemisphereSouth ? kSouthFalseNorthing : 0.0;
    const int tmBits = ZoneProjection(zone, falseNorthing).Inverse(easting, northing, latitude, longitude);
    if (tmBits & (kTmEastingError | kTmLongitudeWarning))
        bits |= kUtmEastingError;
    if (tmBits & kTmNorthingError)
        bits |= kUtmNorthingError;
    if (latitude < kMinLatitude || latitude > kMaxLatitude)
        bits |= kUtmNorthingError;
    return bits;
}

int SetUtmParameters(double a, double f, int zoneOverride) {
    return g_moduleUtm.Update(
        [&](UtmConverter& utm) { return utm.SetParameters(a, f, zoneOverride); });
}

int ConvertGeodeticToUtm(double latitude, double longitude, int& zone, int& hemisphere,
                         double& easting, double& northing) {
    return g_moduleUtm.Current(t_moduleUtm)
        .GeodeticToUtm(latitude, longitude, zone, hemisphere, easting, northing);
}

int ConvertUtmToGeodetic(int zone, int hemisphere, double easting, double northing,
                         double& latitude, double& longitude) {
    return g_moduleUtm.Current(t_moduleUtm)
        .UtmToGeodetic(zone, hemisphere, easting, northing, latitude, longitude);
}
