// Export sources for the exchange-format tests: a fake one whose "projection" is worked out by
// hand (so that expected texts can be written down), and one on UTM of the program's own
// Transverse Mercator, on WGS84, for real geometry.
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "coords/utm.h"
#include "document/export_source.h"

namespace exports_test {

constexpr double kDeg = 0.017453292519943295;

// Working datum = WGS84 shifted by (+0.001, +0.002) degrees. Output coordinates:
// x = zone * 1e6 + 1000 * lon (+ 0.5 for the working datum), y = 1000 * lat (+ 1e7 south).
// Circles are laid out with degrees taken as metres, so a circle with corners 0.5 away from its
// centre has radius 0.5 and an outline of 4 points at angles 0, 2, 4 and 6 radians.
class FakeSource : public ExportSource, public OutlineProjection {
 public:
  std::vector<FeatureRecord> features;
  std::vector<WaypointRecord> waypoints;
  int datumIndex = 1;
  int coordMode = 1;
  int zone = 0;
  bool north = true;
  std::vector<std::pair<int, bool>> zoneCalls;

  const std::vector<FeatureRecord>& Features() const override { return features; }
  const std::vector<WaypointRecord>& Waypoints() const override { return waypoints; }
  std::string DatumName() const override { return "Pulkovo ñ"; }
  int DatumIndex() const override { return datumIndex; }
  int CoordMode() const override { return coordMode; }
  void SetUtmZone(int z, bool n, int) override {
    zone = z;
    north = n;
    zoneCalls.emplace_back(z, n);
  }
  void Project(int choice, double lon, double lat, double& x, double& y) const {
    x = zone * 1e6 + 1000.0 * lon + (choice ? 0.5 : 0.0);
    y = 1000.0 * lat + (north ? 0.0 : 1e7);
  }
  bool VertexOutput(int choice, const FeatureRecord& r, std::size_t i, double& x, double& y,
                    double& alt) override {
    Project(choice, r.wgs84Vertices[i].x, r.wgs84Vertices[i].y, x, y);
    alt = r.altitudesCm[i] * 0.01;
    return true;
  }
  bool WaypointOutput(int choice, const WaypointRecord& w, double& x, double& y,
                      double& alt) override {
    double lon = w.x, lat = w.y;
    WorkingToWgs84(lon, lat);
    Project(choice, lon, lat, x, y);
    alt = w.altitudeCm * 0.01;
    return true;
  }
  bool WorkingToWgs84(double& x, double& y) override {
    x -= 0.001;
    y -= 0.002;
    return true;
  }
  bool Wgs84ToWorking(double& x, double& y) override {
    x += 0.001;
    y += 0.002;
    return true;
  }
  bool UtmToWgs84(int, int z, bool n, double& x, double& y) override {
    x = (x - z * 1e6) / 1000.0;
    y = (y - (n ? 0.0 : 1e7)) / 1000.0;
    return true;
  }
  double CircleOutline(const FeatureRecord& circle, FeatureRecord* out) override {
    if (!out) return CircleRadius(circle, *this);
    AppendCircleOutline(circle, *this, *out);
    return 0.0;
  }
  // OutlineProjection: degrees as metres.
  bool MeasurePlane(int, const GeoPoint& working, GeoPoint& plane) override {
    plane = working;
    return true;
  }
  bool ToOutlinePlane(const GeoPoint& wgs84, GeoPoint& plane) override {
    plane = wgs84;
    return true;
  }
  bool FromOutlinePlane(const GeoPoint& plane, GeoPoint& wgs84) override {
    wgs84 = plane;
    return true;
  }
  bool Wgs84ToWorking(const GeoPoint& wgs84, GeoPoint& working) override {
    working = {wgs84.x + 0.001, wgs84.y + 0.002};
    return true;
  }
};

// UTM on WGS84 of the program's own Transverse Mercator; the working datum is WGS84. The
// outline plane is the zone `workingZone`.
class UtmSource : public ExportSource, public OutlineProjection {
 public:
  std::vector<FeatureRecord> features;
  std::vector<WaypointRecord> waypoints;
  int zone = 30;
  bool north = true;
  int workingZone = 30;

  static bool Forward(int z, double lon, double lat, double& e, double& n) {
    // One converter per zone: its set-up costs more than a conversion.
    thread_local std::map<int, UtmConverter> converters;
    auto [it, added] = converters.try_emplace(z);
    UtmConverter& utm = it->second;
    if (added && utm.SetParameters(6378137.0, 1 / 298.257223563, z) != 0) {
      converters.erase(it);
      return false;
    }
    int gotZone = 0, hemisphere = 0;
    const int err = utm.GeodeticToUtm(lat * kDeg, lon * kDeg, gotZone, hemisphere, e, n);
    return (err & ~(kUtmEastingError | kUtmNorthingError)) == 0;
  }
  static bool Inverse(int z, bool isNorth, double e, double n, double& lon, double& lat) {
    UtmConverter utm;
    double la = 0, lo = 0;
    utm.UtmToGeodetic(z, isNorth ? kUtmHemisphereNorth : kUtmHemisphereSouth, e, n, la, lo);
    lon = lo / kDeg;
    lat = la / kDeg;
    return true;
  }

  const std::vector<FeatureRecord>& Features() const override { return features; }
  const std::vector<WaypointRecord>& Waypoints() const override { return waypoints; }
  std::string DatumName() const override { return "WGS 84"; }
  int DatumIndex() const override { return 0; }
  int CoordMode() const override { return 1; }
  void SetUtmZone(int z, bool n, int) override {
    zone = z;
    north = n;
  }
  bool VertexOutput(int, const FeatureRecord& r, std::size_t i, double& x, double& y,
                    double& alt) override {
    alt = r.altitudesCm[i] * 0.01;
    if (!Forward(zone, r.wgs84Vertices[i].x, r.wgs84Vertices[i].y, x, y)) return false;
    if (!north) y += 1e7;
    return true;
  }
  bool WaypointOutput(int, const WaypointRecord& w, double& x, double& y, double& alt) override {
    alt = w.altitudeCm * 0.01;
    if (!Forward(zone, w.x, w.y, x, y)) return false;
    if (!north) y += 1e7;
    return true;
  }
  bool WorkingToWgs84(double&, double&) override { return true; }
  bool Wgs84ToWorking(double&, double&) override { return true; }
  bool UtmToWgs84(int, int z, bool n, double& x, double& y) override {
    return Inverse(z, n, x, y, x, y);
  }
  double CircleOutline(const FeatureRecord& circle, FeatureRecord* out) override {
    if (!out) return CircleRadius(circle, *this);
    AppendCircleOutline(circle, *this, *out);
    return 0.0;
  }
  bool MeasurePlane(int z, const GeoPoint& working, GeoPoint& plane) override {
    return Forward(z, working.x, working.y, plane.x, plane.y);
  }
  bool ToOutlinePlane(const GeoPoint& wgs84, GeoPoint& plane) override {
    return Forward(workingZone, wgs84.x, wgs84.y, plane.x, plane.y);
  }
  bool FromOutlinePlane(const GeoPoint& plane, GeoPoint& wgs84) override {
    return Inverse(workingZone, true, plane.x, plane.y, wgs84.x, wgs84.y);
  }
  bool Wgs84ToWorking(const GeoPoint& wgs84, GeoPoint& working) override {
    working = wgs84;
    return true;
  }

  // A circle (centre, NW and SE corners of its square) of radius r metres round (lon, lat),
  // laid out in the working zone.
  FeatureRecord MakeCircle(double lon, double lat, double r, std::int32_t altitudeCm) const {
    FeatureRecord c(FeatureType::Circle, "Circle");
    double e = 0, n = 0;
    Forward(workingZone, lon, lat, e, n);
    const double offsets[3][2] = {{0, 0}, {-r, r}, {r, -r}};
    for (const auto& o : offsets) {
      GeoPoint p;
      Inverse(workingZone, true, e + o[0], n + o[1], p.x, p.y);
      c.AddVertex(p, p, altitudeCm);
    }
    return c;
  }
};

inline FeatureRecord MakeFeature(FeatureType type, std::string name,
                                 std::vector<std::pair<double, double>> lonLat,
                                 std::int32_t altitudeCm = 0, COLORREF colour = 255,
                                 int pattern = 5) {
  FeatureRecord f(type, std::move(name), pattern, colour);
  for (auto [lon, lat] : lonLat) {
    f.AddVertex({lon, lat}, {lon + 0.001, lat + 0.002}, altitudeCm);
    altitudeCm += 100;
  }
  return f;
}

}  // namespace exports_test
