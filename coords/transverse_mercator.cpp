#include "coords/transverse_mercator.h"

#include <cmath>

namespace {

constexpr double kHalfPi = kPi / 2.0;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kMaxDeltaLongitude = kPi / 2.0;          // beyond: no result at all
constexpr double kWarningDeltaLongitude = 0.15707963267948966; // 9 degrees

ModuleParameters<TransverseMercator> g_moduleTm;
thread_local ModuleParameters<TransverseMercator>::ThreadCopy t_moduleTm;

} // namespace

int TransverseMercator::SetParameters(double a, double b, double originLatitude,
                                      double centralMeridian, double falseEasting,
                                      double falseNorthing, double scaleFactor) {
    int bits = 0;
    if (originLatitude < -kHalfPi || originLatitude > kHalfPi)
        bits |= kTmOriginLatitudeError;
    if (centralMeridian < -kPi || centralMeridian > kTwoPi)
        bits |= kTmCentralMeridianError;
    if (a <= 0.0)
        bits |= kTmAxisAError;
    if (b <= 0.0)
        bits |= kTmAxisBError;
    if (a < b)
        bits |= kTmAxesError;
    if (scaleFactor < 0.3 || scaleFactor > 3.0)
        bits |= kTmScaleFactorError;
    // NaN parameters fail every comparison above; refuse them as well.
    if (std::isnan(originLatitude))
        bits |= kTmOriginLatitudeError;
    if (std::isnan(centralMeridian))
        bits |= kTmCentralMeridianError;
    if (std::isnan(a) || std::isnan(b))
        bits |= kTmAxesError;
    if (std::isnan(scaleFactor))
        bits |= kTmScaleFactorError;
    if (bits != 0)
        return bits;

    if (!m_ellipsoidComputed || a != m_a || b != m_b)
        SetEllipsoid(a, b);
    m_originLatitude = originLatitude;
    m_centralMeridian = centralMeridian > kPi ? centralMeridian - kTwoPi : centralMeridian;
    m_falseEasting = falseEasting;
    m_falseNorthing = falseNorthing;
    m_scaleFactor = scaleFactor;
    m_originArc = MeridianArc(originLatitude);
    return 0;
}

void TransverseMercator::SetEllipsoid(double a, double b) {
    m_a = a;
    m_b = b;
    m_es = (a * a - b * b) / (a * a);
    m_ebs = (a * a - b * b) / (b * b);
    const double n = (a - b) / (a + b);
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;
    const double n5 = n4 * n;
    m_ap = a * (1.0 - n + 5.0 / 4.0 * (n2 - n3) + 81.0 / 64.0 * (n4 - n5));
    m_bp = 3.0 / 2.0 * a * (n - n2 + 7.0 / 8.0 * (n3 - n4) + 55.0 / 64.0 * n5);
    m_cp = 15.0 / 16.0 * a * (n2 - n3 + 3.0 / 4.0 * (n4 - n5));
    m_dp = 35.0 / 48.0 * a * (n3 - n4 + 11.0 / 16.0 * n5);
    m_ep = 315.0 / 512.0 * a * (n4 - n5);

    // The valid range of eastings and northings: what the bare projection (no origin shift,
    // scale 1) gives at the pole and at 90 degrees from the central meridian on the equator.
    m_originLatitude = 0.0;
    m_centralMeridian = 0.0;
    m_falseEasting = 0.0;
    m_falseNorthing = 0.0;
    m_scaleFactor = 1.0;
    m_originArc = 0.0;
    m_deltaEasting = 40000000.0;
    m_deltaNorthing = 40000000.0;
    double easting = 0.0;
    double northing = 0.0;
    double dummy = 0.0;
    Forward(kHalfPi, kHalfPi, dummy, northing);
    Forward(0.0, kHalfPi, easting, dummy);
    m_deltaNorthing = northing;
    m_deltaEasting = easting;
    m_ellipsoidComputed = true;
}

double TransverseMercator::MeridianArc(double latitude) const {
    // sin 4x, sin 6x and sin 8x from sin 2x and cos 2x (one sincos instead of four sines).
    const double s2 = std::sin(2.0 * latitude);
    const double c2 = std::cos(2.0 * latitude);
    const double s4 = 2.0 * s2 * c2;
    const double c4 = 1.0 - 2.0 * s2 * s2;
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    return m_ap * latitude - m_bp * s2 + m_cp * s4 - m_dp * s6 + m_ep * s8;
}

int TransverseMercator::Forward(double latitude, double longitude, double& easting,
                                double& northing) const {
    easting = 0.0;
    northing = 0.0;
    int bits = 0;
    if (!(latitude >= -kHalfPi && latitude <= kHalfPi))
        bits |= kTmLatitudeError;
    if (longitude > kPi)
        longitude -= kTwoPi;
    if (!(longitude >= m_centralMeridian - kMaxDeltaLongitude &&
          longitude <= m_centralMeridian + kMaxDeltaLongitude)) {
        // Compare once more with both angles in 0..2pi (a central meridian near +-pi).
        const double lon = longitude < 0.0 ? longitude + kTwoPi : longitude;
        const double origin = m_centralMeridian < 0.0 ? m_centralMeridian + kTwoPi : m_centralMeridian;
        if (!(lon >= origin - kMaxDeltaLongitude && lon <= origin + kMaxDeltaLongitude))
            bits |= kTmLongitudeError;
    }
    if (bits != 0)
        return bits;

    double dlam = longitude - m_centralMeridian;
    if (std::fabs(dlam) > kWarningDeltaLongitude)
        bits |= kTmLongitudeWarning;
    if (dlam > kPi)
        dlam -= kTwoPi;
    if (dlam < -kPi)
        dlam += kTwoPi;
    if (std::fabs(dlam) < 2.0e-10)
        dlam = 0.0;

    const double s = std::sin(latitude);
    const double c = std::cos(latitude);
    const double c2 = c * c;
    const double c3 = c2 * c;
    const double c5 = c3 * c2;
    const double c7 = c5 * c2;
    const double t = s / c;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta = m_ebs * c2;
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double sn = m_a / std::sqrt(1.0 - m_es * s * s); // radius of the prime vertical
    const double k = m_scaleFactor;

    const double t2term = sn * s * c * k / 2.0;
    const double t3term = sn * s * c3 * k * (5.0 - t2 + 9.0 * eta + 4.0 * eta2) / 24.0;
    const double t4term = sn * s * c5 * k *
                          (61.0 - 58.0 * t2 + t4 + 270.0 * eta - 330.0 * t2 * eta + 445.0 * eta2 +
                           324.0 * eta3 - 680.0 * t2 * eta2 + 88.0 * eta4 - 600.0 * t2 * eta3 -
                           192.0 * t2 * eta4) /
                          720.0;
    const double t5term = sn * s * c7 * k * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6) / 40320.0;
    const double dl2 = dlam * dlam;
    const double dl3 = dl2 * dlam;
    const double dl4 = dl2 * dl2;
    const double dl5 = dl4 * dlam;
    const double dl6 = dl4 * dl2;
    const double dl7 = dl6 * dlam;
    const double dl8 = dl4 * dl4;
    northing = m_falseNorthing + k * (MeridianArc(latitude) - m_originArc) +
               dl2 * t2term + dl4 * t3term + dl6 * t4term + dl8 * t5term;

    const double t6term = sn * c * k;
    const double t7term = sn * c3 * k * (1.0 - t2 + eta) / 6.0;
    const double t8term = sn * c5 * k *
                          (5.0 - 18.0 * t2 + t4 + 14.0 * eta - 58.0 * t2 * eta + 13.0 * eta2 +
                           4.0 * eta3 - 64.0 * t2 * eta2 - 24.0 * t2 * eta3) /
                          120.0;
    const double t9term = sn * c7 * k * (61.0 - 479.0 * t2 + 179.0 * t4 - t6) / 5040.0;
    easting = m_falseEasting + dlam * t6term + dl3 * t7term + dl5 * t8term + dl7 * t9term;
    return bits;
}

int TransverseMercator::Inverse(double easting, double northing, double& latitude,
                                double& longitude) const {
    latitude = 0.0;
    longitude = 0.0;
    int bits = 0;
    if (!(easting >= m_falseEasting - m_deltaEasting && easting <= m_falseEasting + m_deltaEasting))
        bits |= kTmEastingError;
    if (!(northing >= m_falseNorthing - m_deltaNorthing &&
          northing <= m_falseNorthing + m_deltaNorthing))
        bits |= kTmNorthingError;
    if (bits != 0)
        return bits;

    const double k0 = m_scaleFactor;
    auto primeVerticalRadius = [this](double phi) {
        const double s = std::sin(phi);
        return m_a / std::sqrt(1.0 - m_es * s * s);
    };
    auto meridianRadius = [this](double phi) {
        const double s = std::sin(phi);
        const double d = std::sqrt(1.0 - m_es * s * s);
        return m_a * (1.0 - m_es) / (d * d * d);
    };

    // Footpoint latitude: the latitude whose meridian arc equals the true northing.
    const double arc = m_originArc + (northing - m_falseNorthing) / k0;
    double phi = arc / meridianRadius(0.0);
    for (int i = 0; i < 5; ++i)
        phi += (arc - MeridianArc(phi)) / meridianRadius(phi);

    const double t = std::tan(phi);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double cosPhi = std::cos(phi);
    const double eta = m_ebs * cosPhi * cosPhi;
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double sn = primeVerticalRadius(phi);
    const double sn3 = sn * sn * sn;
    const double sn5 = sn3 * sn * sn;
    const double sn7 = sn5 * sn * sn;
    const double sr = meridianRadius(phi);
    double de = easting - m_falseEasting;
    if (std::fabs(de) < 0.0001)
        de = 0.0;
    const double de2 = de * de;
    const double de3 = de2 * de;
    const double de4 = de2 * de2;
    const double de5 = de4 * de;
    const double de6 = de4 * de2;
    const double de7 = de6 * de;
    const double de8 = de4 * de4;
    const double k2 = k0 * k0;
    const double k3 = k2 * k0;
    const double k4 = k2 * k2;
    const double k5 = k4 * k0;
    const double k6 = k4 * k2;
    const double k7 = k6 * k0;
    const double k8 = k4 * k4;

    latitude = phi - de2 * t / (2.0 * sr * sn * k2) +
               de4 * t * (5.0 + 3.0 * t2 + eta - 4.0 * eta2 - 9.0 * t2 * eta) /
                   (24.0 * sr * sn3 * k4) -
               de6 * t *
                   (61.0 + 90.0 * t2 + 46.0 * eta + 45.0 * t4 - 252.0 * t2 * eta - 3.0 * eta2 +
                    100.0 * eta3 - 66.0 * t2 * eta2 - 90.0 * t4 * eta + 88.0 * eta4 +
                    225.0 * t4 * eta2 + 84.0 * t2 * eta3 - 192.0 * t2 * eta4) /
                   (720.0 * sr * sn5 * k6) +
               de8 * t * (1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6) /
                   (40320.0 * sr * sn7 * k8);
    const double dlam =
        de / (sn * cosPhi * k0) - de3 * (1.0 + 2.0 * t2 + eta) / (6.0 * sn3 * cosPhi * k3) +
        de5 *
            (5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta + 8.0 * t2 * eta - 3.0 * eta2 +
             4.0 * t2 * eta2 - 4.0 * eta3 + 24.0 * t2 * eta3) /
            (120.0 * sn5 * cosPhi * k5) -
        de7 * (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6) / (5040.0 * sn7 * cosPhi * k7);
    longitude = m_centralMeridian + dlam;

    // Fold a latitude beyond a pole back over it (onto the opposite meridian). Latitudes beyond
    // one turn are first reduced modulo 2pi: for huge values pi - latitude would not change the
    // magnitude and the folding would never end.
    if (std::fabs(latitude) > kTwoPi && std::isfinite(latitude))
        latitude = std::remainder(latitude, kTwoPi);
    auto turnLongitude = [&longitude] {
        longitude += kPi;
        if (longitude > kPi)
            longitude -= kTwoPi;
    };
    while (latitude > kHalfPi) {
        latitude = kPi - latitude;
        turnLongitude();
    }
    while (latitude < -kHalfPi) {
        latitude = -(latitude + kPi);
        turnLongitude();
    }
    if (longitude > kTwoPi)
        longitude -= kTwoPi;
    if (longitude < -kPi)
        longitude += kTwoPi;

    return std::fabs(dlam) > kWarningDeltaLongitude ? kTmLongitudeWarning : 0;
}

int SetTmParameters(double a, double b, double originLatitude, double centralMeridian,
                    double falseEasting, double falseNorthing, double scaleFactor) {
    return g_moduleTm.Update([&](TransverseMercator& tm) {
        return tm.SetParameters(a, b, originLatitude, centralMeridian, falseEasting,
                                falseNorthing, scaleFactor);
    });
}

int TmForward(double latitude, double longitude, double& easting, double& northing) {
    return g_moduleTm.Current(t_moduleTm).Forward(latitude, longitude, easting, northing);
}

int TmInverse(double easting, double northing, double& latitude, double& longitude) {
    return g_moduleTm.Current(t_moduleTm).Inverse(easting, northing, latitude, longitude);
}
