#pragma once
// Transverse Mercator projection of the program's own (independent of GDAL/PROJ), used by the
// British National Grid and, through the UTM layer (coords/utm.h), by MGRS.
//
// Model: an ellipsoid given by its semi-axes a and b (metres); angles in radians, lengths in
// metres. The meridian arc is a fifth-order series in n = (a - b)/(a + b); the projection is the
// classical series in the longitude difference (to its 8th power) and, inversely, in the easting
// offset. Inside +-3 degrees of the central meridian (a UTM zone, 80 S..84 N) it agrees with an
// exact Transverse Mercator (PROJ's) within a millimetre; the error grows quickly beyond 9
// degrees, where the warning bit kTmLongitudeWarning is raised.
//
// Two ways to use it:
//  - a TransverseMercator object: its own parameters, safe to use from any thread that owns it;
//  - the module-wide functions SetTmParameters / TmForward / TmInverse, which act on one set of
//    parameters shared by the whole program. Any thread may call them at the same time: a set-up
//    replaces the shared parameters atomically, and each conversion works on a consistent copy.

#include <atomic>
#include <cstdint>
#include <mutex>

// Error bits of the Transverse Mercator functions (0 = success).
inline constexpr int kTmLatitudeError = 0x001;        // latitude outside -pi/2..pi/2 (forward)
inline constexpr int kTmLongitudeError = 0x002;       // longitude > pi/2 from the central meridian
inline constexpr int kTmEastingError = 0x004;         // easting outside false easting +- range
inline constexpr int kTmNorthingError = 0x008;        // northing outside false northing +- range
inline constexpr int kTmOriginLatitudeError = 0x010;  // set-up: origin latitude outside -pi/2..pi/2
inline constexpr int kTmCentralMeridianError = 0x020; // set-up: central meridian outside -pi..2pi
inline constexpr int kTmAxisAError = 0x040;           // set-up: a <= 0
inline constexpr int kTmAxisBError = 0x080;           // set-up: b <= 0
inline constexpr int kTmAxesError = 0x100;            // set-up: a < b
inline constexpr int kTmScaleFactorError = 0x200;     // set-up: scale factor outside 0.3..3.0
inline constexpr int kTmLongitudeWarning = 0x400;     // more than 9 degrees from the central
                                                      // meridian; the result is still delivered

inline constexpr double kPi = 3.14159265358979323;

class TransverseMercator {
public:
    // Validates everything first; on any error returns all error bits together and keeps the
    // previous parameters. A central meridian above pi is stored minus 2pi.
    int SetParameters(double a, double b, double originLatitude, double centralMeridian,
                      double falseEasting, double falseNorthing, double scaleFactor);

    // Geodetic latitude/longitude (radians) to easting/northing (metres). Returns error bits;
    // on an error (not the warning) easting and northing are 0.
    int Forward(double latitude, double longitude, double& easting, double& northing) const;

    // Easting/northing (metres) to latitude/longitude (radians); outputs are 0 on an error.
    int Inverse(double easting, double northing, double& latitude, double& longitude) const;

private:
    void SetEllipsoid(double a, double b);
    double MeridianArc(double latitude) const;

    // Start state: WGS84 with the series coefficients as the module has always started with.
    double m_a = 6378137.0;
    double m_b = 6356752.3142;
    double m_es = 0.00669437999014138;  // first eccentricity squared
    double m_ebs = 0.0067394967565869;  // second eccentricity squared
    double m_ap = 6367449.1458008;
    double m_bp = 16038.508696861;
    double m_cp = 16.832613334334;
    double m_dp = 0.021984404273757;
    double m_ep = 3.1148371319283e-05;
    double m_deltaEasting = 40000000.0;  // half-width of the valid easting range
    double m_deltaNorthing = 40000000.0; // half-width of the valid northing range
    double m_originLatitude = 0.0;
    double m_centralMeridian = 0.0;
    double m_falseEasting = 0.0;
    double m_falseNorthing = 0.0;
    double m_scaleFactor = 1.0;
    double m_originArc = 0.0; // meridian arc of the origin latitude
    // The series above were computed from (m_a, m_b) by SetEllipsoid; a later set-up on the same
    // ellipsoid (every UTM conversion) then skips recomputing them.
    bool m_ellipsoidComputed = false;
};

// Parameters shared by the whole program with the module-wide functions as their interface.
// Set-ups are serialised by a lock; each thread converts with its own copy, refreshed when a
// set-up has changed the shared value (a generation counter tells), so conversions take no lock.
template <class Params>
class ModuleParameters {
public:
    struct ThreadCopy {
        std::uint64_t generation = 0;
        Params value;
    };

    const Params& Current(ThreadCopy& copy) const {
        const std::uint64_t generation = m_generation.load(std::memory_order_acquire);
        if (copy.generation != generation) {
            std::lock_guard<std::mutex> lock(m_mutex);
            copy.value = m_value;
            copy.generation = generation;
        }
        return copy.value;
    }

    // Runs setUp on a copy of the shared value and publishes it only when setUp returns 0.
    template <class SetUp>
    int Update(SetUp&& setUp) {
        std::lock_guard<std::mutex> lock(m_mutex);
        Params candidate = m_value;
        const int bits = setUp(candidate);
        if (bits == 0) {
            m_value = candidate;
            m_generation.fetch_add(1, std::memory_order_release);
        }
        return bits;
    }

private:
    mutable std::mutex m_mutex;
    Params m_value;
    std::atomic<std::uint64_t> m_generation{1};
};

// Module-wide Transverse Mercator (the parameters of the last successful set-up, shared by all
// threads; the British National Grid set-up uses them).
int SetTmParameters(double a, double b, double originLatitude, double centralMeridian,
                    double falseEasting, double falseNorthing, double scaleFactor);
int TmForward(double latitude, double longitude, double& easting, double& northing);
int TmInverse(double easting, double northing, double& latitude, double& longitude);
