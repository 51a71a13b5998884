// What the exchange-format writers and the Shapefile reader need from the document, as one
// small interface, plus the helpers every format shares (C-locale numbers, file names, the
// circle outline).
//
// Coordinate frames: feature vertices are held twice (working datum and WGS84 degrees,
// longitude x, latitude y); waypoints are held in the working datum. "Output coordinates" are
// UTM easting, northing (metres) and altitude (metres) of the zone the writer last set with
// SetUtmZone, or of the user projection when the coordinate option is 2.
//
// A datum choice of 0 means WGS84, anything else the working datum. The writers produce bytes
// (text formats) or files (Shapefile); they never show a window.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/records.h"

// Output coordinates of one point: easting and northing (or the user projection's x and y) and
// the altitude in metres.
struct OutputPoint {
  double x = 0, y = 0, z = 0;
};

class ExportSource {
 public:
  virtual ~ExportSource() = default;

  virtual const std::vector<FeatureRecord>& Features() const = 0;
  virtual const std::vector<WaypointRecord>& Waypoints() const = 0;
  // The working datum's name (UTF-8) and the Datum option (above 0: a user datum is active).
  virtual std::string DatumName() const = 0;
  virtual int DatumIndex() const = 0;
  // The Coord option: 2 = a user projection, whose zone is never re-targeted.
  virtual int CoordMode() const = 0;

  // Moves the output projection of this datum choice to a UTM zone and hemisphere (nothing
  // while the coordinate option is 2).
  virtual void SetUtmZone(int zone, bool north, int datumChoice) = 0;
  // Output coordinates of a vertex of any record (a stored feature or an outline).
  virtual bool VertexOutput(int datumChoice, const FeatureRecord& record, std::size_t vertex,
                            double& x, double& y, double& altitudeM) = 0;
  // The output coordinates of every vertex of a record, in vertex order, each as VertexOutput
  // gives it. The document converts them in batches; this default asks point by point.
  virtual void VertexOutputs(int datumChoice, const FeatureRecord& record,
                             std::vector<OutputPoint>& points);
  virtual bool WaypointOutput(int datumChoice, const WaypointRecord& waypoint, double& x,
                              double& y, double& altitudeM) = 0;
  // A working-datum point brought to WGS84 degrees in place (unchanged without a user datum).
  virtual bool WorkingToWgs84(double& x, double& y) = 0;
  // WGS84 degrees to the working datum in place.
  virtual bool Wgs84ToWorking(double& x, double& y) = 0;
  // UTM (zone, hemisphere, on WGS84 for datum choice 0, else on the working datum) to WGS84
  // degrees in place; used by the Shapefile import. While the coordinate option is 2 the
  // projected coordinates are the user projection's (on WGS84 or the working datum, as the
  // writers put them) and zone and hemisphere do not count.
  virtual bool UtmToWgs84(int datumChoice, int zone, bool north, double& x, double& y) = 0;

  // The outline of a circle feature (types 50 and 51): with `out` null only its radius in
  // metres; otherwise the points are appended to *out and 0 is returned. The output zone of
  // SetUtmZone is the same afterwards as before.
  virtual double CircleOutline(const FeatureRecord& circle, FeatureRecord* out) = 0;
};

inline bool IsCircleType(FeatureType type) {
  return type == FeatureType::Circle || type == FeatureType::CircleLine;
}

// UTM zone 1..60 of a longitude in degrees (zone = 1 + floor((lon + 180) / 6)); returns the
// zone's central meridian, as CTolvanixDoc::UtmZoneFromLongitude.
double UtmZoneOfLongitude(double longitude, int& zone);

// The planar layout a circle outline is built in. The document gives its UTM transformations;
// tests give their own.
class OutlineProjection {
 public:
  virtual ~OutlineProjection() = default;
  // A working-datum vertex to the plane of the given UTM zone (northern form) on the working
  // datum: the plane in which the radius is measured.
  virtual bool MeasurePlane(int zone, const GeoPoint& working, GeoPoint& plane) = 0;
  // WGS84 degrees to the plane of the working zone and back: the plane the outline is laid in.
  virtual bool ToOutlinePlane(const GeoPoint& wgs84, GeoPoint& plane) = 0;
  virtual bool FromOutlinePlane(const GeoPoint& plane, GeoPoint& wgs84) = 0;
  virtual bool Wgs84ToWorking(const GeoPoint& wgs84, GeoPoint& working) = 0;
};

// The points a writer exports for a feature: its own vertices, or for a circle its outline
// (built once, here).
class ExportedPoints {
 public:
  ExportedPoints(ExportSource& source, const FeatureRecord& feature);
  const FeatureRecord& Record() const { return *record_; }
  std::size_t Count() const { return record_->VertexCount(); }
  // WGS84 degrees for datum choice 0, else working-datum degrees.
  const GeoPoint& Geographic(int datumChoice, std::size_t i) const {
    return datumChoice == 0 ? record_->wgs84Vertices[i] : record_->vertices[i];
  }
  double AltitudeM(std::size_t i) const { return record_->altitudesCm[i] * 0.01; }

 private:
  std::optional<FeatureRecord> outline_;
  const FeatureRecord* record_;
};

// Sets the output zone at the first point of an export (zone from the user, hemisphere from
// that point's latitude), unless the coordinate option is 2 or it was set already.
class ZoneOnce {
 public:
  ZoneOnce(ExportSource& source, int datumChoice, int zone)
      : source_(source), datumChoice_(datumChoice), zone_(zone) {}
  void Before(double latitude) {
    if (done_) return;
    done_ = true;
    if (source_.CoordMode() != 2) source_.SetUtmZone(zone_, latitude >= 0.0, datumChoice_);
  }
  bool Done() const { return done_; }
  void Reset() { done_ = false; }

 private:
  ExportSource& source_;
  int datumChoice_;
  int zone_;
  bool done_ = false;
};

// Most points an outline gets: a circle of about 640 km radius. A larger "circle" is a broken
// record, and its outline stops there instead of filling the memory.
inline constexpr std::size_t kMaxOutlinePoints = 4'000'000;

// Radius in metres of the circle inscribed in the square whose corners are the circle's
// vertices 1 and 2 (measured in the UTM zone of its westernmost vertex); 0 when the circle has
// fewer than three vertices or cannot be projected.
double CircleRadius(const FeatureRecord& circle, OutlineProjection& projection);
// Appends one point per metre of circumference to `out` (WGS84 and working datum, the altitude
// of the circle's first vertex, an empty note), starting due east of the centre and running
// counter-clockwise; ceil(2 pi r) points. A radius that is 0 or not finite gives none. Returns
// the radius.
double AppendCircleOutline(const FeatureRecord& circle, OutlineProjection& projection,
                           FeatureRecord& out);

// Numbers and text as the exchange formats write them: C locale whatever the user's locale,
// "%.Nf" rounding, names converted to Windows-1252 where the format is 8-bit. The text is
// either kept whole (Bytes) or handed to a sink in chunks of about kChunkBytes as it grows.
class ExportText {
 public:
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

  ExportText() = default;
  // Streams to `sink`; Finish hands over the last, partial chunk.
  explicit ExportText(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {
    bytes_.reserve(2 * kChunkBytes);
  }

  std::string& Bytes() { return bytes_; }
  const std::string& Bytes() const { return bytes_; }
  ExportText& operator<<(std::string_view text) {
    bytes_.append(text);
    return Wrote();
  }
  ExportText& operator<<(char c) {
    bytes_.push_back(c);
    return Wrote();
  }
  ExportText& Fixed(double value, int decimals);  // printf "%.<decimals>f"
  ExportText& Int(long long value);
  // A UTF-8 text in Windows-1252, for the 8-bit formats; line breaks become blanks.
  ExportText& Ansi(const std::string& utf8);
  // Room for `more` bytes beyond those written, growing geometrically (nothing to do while
  // streaming: the chunk is reused).
  void Expect(std::size_t more) {
    const std::size_t wanted = bytes_.size() + more;
    if (!sink_ && wanted > bytes_.capacity()) {
      bytes_.reserve(std::max(wanted, 2 * bytes_.capacity()));
    }
  }
  // Hands what is left to the sink.
  void Finish() {
    if (sink_ && !bytes_.empty()) sink_(bytes_);
    bytes_.clear();
  }

 private:
  ExportText& Wrote() {
    if (sink_ && bytes_.size() >= kChunkBytes) Finish();
    return *this;
  }

  std::string bytes_;
  std::function<void(std::string_view)> sink_;
};

// The path with its final extension (after the last '/') replaced by `extension` (".plt"); a
// path without one gets it appended.
std::string ReplaceExtension(const std::string& path, std::string_view extension);
// The path as chosen, with `extension` appended when its final extension is not already that
// one (compared without case).
std::string WithExtension(const std::string& path, std::string_view extension);
// Whether the final extension of the path equals `extension` (without case).
bool HasExtension(const std::string& path, std::string_view extension);
