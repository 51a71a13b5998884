// Writes a synthetic NMEA 0183 log of a person walking round a rectangular field.
//
// The field is laid out in UTM (the zone of the origin, WGS 84): a width x height rectangle
// whose first corner is the origin, turned by --rotation degrees clockwise from grid north.
// The walker goes round it at --speed metres per second; one epoch per second gives
// GGA, GSA, GSV (three messages) and RMC. Positions carry a slowly wandering error
// (first-order Gauss-Markov, --noise metres, 30 s correlation) plus 0.1 m of white noise,
// and HDOP drifts between about 0.7 and 2.5 with an occasional spike (--spike-every).
// The first --no-fix seconds have no fix (quality 0, empty position fields).
//
// --format names the receiver: "gps" (the default) sends everything with the talker GP;
// "gn" the same sentences with the talker GN; "mixed" is a multi-constellation receiver in
// NMEA 4.10: GNGGA and GNRMC (with mode and navigational status), one GNGSA for GPS and one
// for GLONASS with their system ids, and GPGSV, GLGSV and GAGSV with signal ids (every other
// second the three sequences interleaved). The positions are the same for every format.
//
// The true area and perimeter are printed on standard error, so tests and the demo know
// what the program should measure.
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string out;
  double lat = 40.4168, lon = -3.7038;
  double width = 100.0, height = 60.0, rotation = 0.0;
  double speed = 1.2;
  int laps = 1;
  unsigned seed = 1;
  double noise = 0.8;
  int spikeEvery = 0;
  int noFix = 3;
  long startEpoch = 1778745600;  // 2026-05-14 08:00:00 UTC
  std::string format = "gps";
};

void Usage() {
  std::fprintf(stderr,
               "usage: tvx-walk-gen --out FILE [--lat D --lon D] [--width M --height M] [--rotation DEG]\n"
               "       [--speed M/S] [--laps N] [--seed N] [--noise M] [--spike-every N] [--no-fix S]\n"
               "       [--format gps|gn|mixed]\n");
}

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return false;
    const char* v = argv[++i];
    if (a == "--out") o.out = v;
    else if (a == "--lat") o.lat = std::atof(v);
    else if (a == "--lon") o.lon = std::atof(v);
    else if (a == "--width") o.width = std::atof(v);
    else if (a == "--height") o.height = std::atof(v);
    else if (a == "--rotation") o.rotation = std::atof(v);
    else if (a == "--speed") o.speed = std::atof(v);
    else if (a == "--laps") o.laps = std::atoi(v);
    else if (a == "--seed") o.seed = static_cast<unsigned>(std::atoi(v));
    else if (a == "--noise") o.noise = std::atof(v);
    else if (a == "--spike-every") o.spikeEvery = std::atoi(v);
    else if (a == "--no-fix") o.noFix = std::atoi(v);
    else if (a == "--format") o.format = v;
    else return false;
  }
  if (o.format != "gps" && o.format != "gn" && o.format != "mixed") return false;
  return !o.out.empty() && o.width > 0 && o.height > 0 && o.speed > 0 && o.laps > 0;
}

void Emit(std::FILE* f, const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  std::fprintf(f, "$%s*%02X\r\n", body.c_str(), sum);
}

// ddmm.mmmm (latitude, 2 degree digits) or dddmm.mmmm (longitude, 3) and its hemisphere.
std::string AngleField(double value, int degreeDigits, char positive, char negative) {
  double a = std::fabs(value);
  int d = static_cast<int>(a);
  double m = (a - d) * 60.0;
  if (m >= 59.99995) { d += 1; m = 0; }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%0*d%07.4f,%c", degreeDigits, d, m, value < 0 ? negative : positive);
  return buf;
}

std::string LatField(double lat) { return AngleField(lat, 2, 'N', 'S'); }
std::string LonField(double lon) { return AngleField(lon, 3, 'E', 'W'); }

// Position along the rectangle's boundary after s metres, in field coordinates (metres).
void BoundaryPoint(const Options& o, double s, double& x, double& y) {
  double p = 2 * (o.width + o.height);
  s = std::fmod(s, p);
  if (s < o.height) { x = 0; y = s; return; }
  s -= o.height;
  if (s < o.width) { x = s; y = o.height; return; }
  s -= o.width;
  if (s < o.height) { x = o.width; y = o.height - s; return; }
  s -= o.height;
  x = o.width - s;
  y = 0;
}

// Satellites in view of the multi-constellation receiver: GLONASS and Galileo besides the
// twelve GPS ones. Galileo reuses GPS PRNs (2, 5, 7) and is tracked but not used.
const int kGlonassPrns[] = {65, 66, 70, 71, 74, 80, 81};
const int kGalileoPrns[] = {2, 5, 7, 11, 19, 30};

// The GSV messages of one constellation; signal is the NMEA 4.10 signal id.
std::vector<std::string> GsvMessages(const char* talker, const int* prns, int count, int used,
                                     const char* signal) {
  std::vector<std::string> messages;
  const int total = (count + 3) / 4;
  char buf[64];
  for (int m = 1; m <= total; ++m) {
    std::snprintf(buf, sizeof buf, "%sGSV,%d,%d,%02d", talker, total, m, count);
    std::string gsv = buf;
    for (int i = (m - 1) * 4; i < count && i < m * 4; ++i) {
      std::snprintf(buf, sizeof buf, ",%02d,%02d,%03d,%02d", prns[i], 10 + (i * 11) % 70, (i * 53) % 360,
                    i < used ? 30 + (i * 5) % 18 : 0);
      gsv += buf;
    }
    if (signal) gsv += std::string(",") + signal;
    messages.push_back(gsv);
  }
  return messages;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) {
    Usage();
    return 2;
  }
  std::setlocale(LC_ALL, "C");
  int zone = static_cast<int>(std::floor((o.lon + 180.0) / 6.0)) % 60 + 1;
  char utm[32];
  std::snprintf(utm, sizeof utm, "EPSG:%d", (o.lat >= 0 ? 32600 : 32700) + zone);
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4326", utm, nullptr);
  PJ* pj = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
  if (!pj) {
    std::fprintf(stderr, "tvx-walk-gen: cannot build the UTM transformation\n");
    return 1;
  }
  PJ_COORD origin = proj_trans(pj, PJ_FWD, proj_coord(o.lon, o.lat, 0, 0));

  std::FILE* f = std::fopen(o.out.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "tvx-walk-gen: cannot create %s\n", o.out.c_str());
    return 1;
  }

  std::mt19937 rng(o.seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  const double tau = 30.0;
  const double phi = std::exp(-1.0 / tau);
  const double drive = o.noise * std::sqrt(1 - phi * phi);
  double ex = o.noise * gauss(rng), ey = o.noise * gauss(rng);
  double hdop = 1.0;
  const double rot = o.rotation * M_PI / 180.0;
  const double perimeter = 2 * (o.width + o.height);
  const int walkSeconds = static_cast<int>(std::ceil(perimeter * o.laps / o.speed));
  const int prns[] = {2, 5, 7, 12, 13, 15, 18, 20, 24, 25, 29, 31};
  double prevE = 0, prevN = 0;
  const bool mixed = o.format == "mixed";
  const std::string talker = o.format == "gps" ? "GP" : "GN";  // position sentences

  for (int t = -o.noFix; t <= walkSeconds; ++t) {
    std::time_t now = static_cast<std::time_t>(o.startEpoch + t + o.noFix);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char hms[40], dmy[40];
    std::snprintf(hms, sizeof hms, "%02d%02d%02d.00", tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::snprintf(dmy, sizeof dmy, "%02d%02d%02d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year % 100);

    ex = phi * ex + drive * gauss(rng);
    ey = phi * ey + drive * gauss(rng);
    hdop = std::clamp(hdop + 0.08 * gauss(rng), 0.7, 2.5);
    double shownHdop = hdop;
    if (o.spikeEvery > 0 && t > 0 && t % o.spikeEvery == 0) shownHdop = 6.0 + std::fabs(gauss(rng));
    int sats = shownHdop > 4 ? 4 : static_cast<int>(std::lround(11 - 2.5 * hdop));

    if (t < 0) {
      Emit(f, talker + "GGA," + hms + ",,,,,0,00,99.9,,M,,M,,");
      if (mixed) {
        Emit(f, "GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,1");
        Emit(f, "GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,2");
        Emit(f, talker + "RMC," + hms + ",V,,,,,,," + dmy + ",,,N,V");
      } else {
        Emit(f, talker + "GSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9");
        Emit(f, talker + "RMC," + hms + ",V,,,,,,," + dmy + ",,");
      }
      continue;
    }
    double fx, fy;
    BoundaryPoint(o, o.speed * t, fx, fy);
    // Field axes turned clockwise by the rotation: x towards grid east at rotation 0.
    double e = origin.enu.e + fx * std::cos(rot) + fy * std::sin(rot) + ex + 0.1 * gauss(rng);
    double n = origin.enu.n - fx * std::sin(rot) + fy * std::cos(rot) + ey + 0.1 * gauss(rng);
    PJ_COORD geo = proj_trans(pj, PJ_INV, proj_coord(e, n, 0, 0));
    double lon = geo.lp.lam, lat = geo.lp.phi;
    double alt = 650.0 + 2.0 * std::sin(t / 40.0) + 0.5 * gauss(rng);
    double course = t == 0 ? 0 : std::fmod(std::atan2(e - prevE, n - prevN) * 180 / M_PI + 360.0, 360.0);
    double knots = o.speed * 3600.0 / 1852.0;
    prevE = e;
    prevN = n;

    // The GLONASS satellites used besides the GPS ones (fewer when the HDOP spikes).
    const int glonassUsed = mixed ? (shownHdop > 4 ? 1 : 4) : 0;

    char buf[256];
    std::snprintf(buf, sizeof buf, "%sGGA,%s,%s,%s,1,%02d,%.1f,%.1f,M,51.2,M,,", talker.c_str(), hms,
                  LatField(lat).c_str(), LonField(lon).c_str(), sats + glonassUsed, shownHdop, alt);
    Emit(f, buf);
    std::snprintf(buf, sizeof buf, ",%.1f,%.1f,%.1f", shownHdop * 1.6, shownHdop, shownHdop * 1.3);
    const std::string dops = buf;
    auto gsaOf = [&](const std::string& head, const int* list, int used) {
      std::string gsa = head + "GSA,A,3";
      for (int i = 0; i < 12; ++i) {
        gsa += ',';
        if (i < used) gsa += (list[i] < 10 ? "0" : "") + std::to_string(list[i]);
      }
      return gsa + dops;
    };
    if (mixed) {
      Emit(f, gsaOf("GN", prns, sats) + ",1");
      Emit(f, gsaOf("GN", kGlonassPrns, glonassUsed) + ",2");
      std::vector<std::string> gp = GsvMessages("GP", prns, 12, sats, "1");
      std::vector<std::string> gl = GsvMessages("GL", kGlonassPrns, 7, glonassUsed, "1");
      std::vector<std::string> ga = GsvMessages("GA", kGalileoPrns, 6, 0, "7");
      if (t % 2 == 0) {
        for (const auto* group : {&gp, &gl, &ga})
          for (const std::string& s : *group) Emit(f, s);
      } else {
        for (const std::string* s : {&gp[0], &gl[0], &gp[1], &ga[0], &gl[1], &gp[2], &ga[1]}) Emit(f, *s);
      }
    } else {
      Emit(f, gsaOf(talker, prns, sats));
      for (int m = 1; m <= 3; ++m) {
        std::string gsv = talker + "GSV,3," + std::to_string(m) + ",12";
        for (int k = 0; k < 4; ++k) {
          int i = (m - 1) * 4 + k;
          std::snprintf(buf, sizeof buf, ",%02d,%02d,%03d,%02d", prns[i], 10 + (i * 7) % 70, (i * 37) % 360,
                        i < sats ? 30 + (i * 3) % 18 : 0);
          gsv += buf;
        }
        Emit(f, gsv);
      }
    }
    std::snprintf(buf, sizeof buf, "%sRMC,%s,A,%s,%s,%.1f,%.1f,%s,0.5,W%s", talker.c_str(), hms,
                  LatField(lat).c_str(), LonField(lon).c_str(), knots, course, dmy, mixed ? ",A,V" : "");
    Emit(f, buf);
    // Another talker now and then, as multi-constellation receivers send.
    if (t % 5 == 0) Emit(f, std::string("GNGLL,") + LatField(lat) + "," + LonField(lon) + "," + hms + ",A,A");
  }
  bool ok = std::fclose(f) == 0;
  proj_destroy(pj);
  proj_destroy(raw);
  proj_context_destroy(ctx);
  std::fprintf(stderr, "field: zone %d, area %.3f m2, perimeter %.3f m, %d epochs\n", zone, o.width * o.height,
               perimeter, walkSeconds + 1 + o.noFix);
  return ok ? 0 : 1;
}
