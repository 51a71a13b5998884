#pragma once
// UTM over the program's own Transverse Mercator (coords/transverse_mercator.h): zones of 6
// degrees with the Norway (32V) and Svalbard (31X-37X) exceptions, scale 0.9996, false easting
// 500000 m, false northing 10000000 m in the southern hemisphere. The ellipsoid is given by its
// semi-major axis a (metres) and flattening f; WGS84 at start. Angles in radians, lengths in
// metres; valid from 80.5 degrees south to 84.5 degrees north. Accuracy: see the Transverse
// Mercator header (within a millimetre inside a zone).
//
// A UtmConverter holds its own parameters; the module-wide functions below share one set for the
// whole program (thread-safe, see ModuleParameters). Unlike a plain module-wide Transverse
// Mercator, a UTM conversion does not replace the module-wide Transverse Mercator parameters:
// the British National Grid set-up stays valid whatever other thread converts UTM or MGRS.

#include "coords/transverse_mercator.h"

// Error bits of the UTM functions (0 = success).
inline constexpr int kUtmLatitudeError = 0x01;     // latitude outside -80.5..84.5 degrees
inline constexpr int kUtmLongitudeError = 0x02;    // longitude outside -pi..2pi
inline constexpr int kUtmEastingError = 0x04;      // easting outside 100000..900000
inline constexpr int kUtmNorthingError = 0x08;     // northing outside 0..10000000
inline constexpr int kUtmZoneError = 0x10;         // zone outside 1..60
inline constexpr int kUtmZoneOverrideError = 0x40; // override outside 0..60 or > 1 zone away
inline constexpr int kUtmAxisAError = 0x80;        // set-up: a <= 0
inline constexpr int kUtmFlatteningError = 0x100;  // set-up: 1/f outside 250..350

inline constexpr int kUtmHemisphereSouth = 0;
inline constexpr int kUtmHemisphereNorth = 1;

class UtmConverter {
public:
    UtmConverter();

    // zoneOverride 0 = automatic zone, else 1-60. On any error nothing changes.
    int SetParameters(double a, double f, int zoneOverride);

    // Geodetic latitude/longitude (radians) to zone, hemisphere (1 north, 0 south), easting and
    // northing. The easting/northing range bits still deliver the values.
    int GeodeticToUtm(double latitude, double longitude, int& zone, int& hemisphere,
                      double& easting, double& northing) const;

    // The inverse; latitude and longitude are delivered even with range bits set.
    int UtmToGeodetic(int zone, int hemisphere, double easting, double northing, double& latitude,
                      double& longitude) const;

private:
    TransverseMercator ZoneProjection(int zone, double falseNorthing) const;

    double m_a = 6378137.0;
    double m_f = 0.0033528106647474805; // 1/298.257223563
    int m_zoneOverride = 0;
    TransverseMercator m_ellipsoid; // set up on (a, f) so that zone set-ups skip the series
};

// Module-wide UTM: the parameters of the last successful SetUtmParameters.
int SetUtmParameters(double a, double f, int zoneOverride);
int ConvertGeodeticToUtm(double latitude, double longitude, int& zone, int& hemisphere,
                         double& easting, double& northing);
int ConvertUtmToGeodetic(int zone, int hemisphere, double easting, double northing,
                         double& latitude, double& longitude);
