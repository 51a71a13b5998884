// The records the document keeps: features with their per-vertex lists, waypoints, and
// the container of everything a document file holds.
//
// Coordinate frames: a feature keeps each vertex twice, in the working datum (degrees,
// what the map view projects) and in WGS84 degrees as received from the receiver (what
// the document file stores). Longitude is x, latitude is y. Altitudes are centimetres.
// Text is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win_types.h"

// One coordinate pair: x is longitude (degrees) or easting, y latitude or northing.
struct GeoPoint {
  double x = 0.0;
  double y = 0.0;

  void Set(double newX, double newY) {
    x = newX;
    y = newY;
  }
  double GetX() const { return x; }
  double GetY() const { return y; }

  friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

// The kind of a measured object. The values are those of the document file.
enum class FeatureType : std::int32_t {
  Waypoint = 1,     // marks a waypoint object in the document file; never a feature
  Line = 3,
  Area = 5,         // a rectangle drawn on the map is an area too
  CircleLine = 50,  // a circle turned into a line: drawn and measured as a circle, counted as a line
  Circle = 51,
  Part = 52,        // a piece of another feature, named by FeatureRecord::link
};

// True for the type codes a feature may carry (3, 5, 50, 51, 52).
bool IsFeatureType(std::int32_t code);

// Which record a feature or waypoint is while the program runs, never stored: a copy is the
// same record (dialogs edit copies that the document takes back), and every record made
// anew gets a key of its own. Distinct for every call, on any thread; never 0.
std::uint64_t NewRecordKey();

// Fill pattern and colour a new feature gets when the options hold none.
constexpr std::int32_t kDefaultFeaturePattern = 5;
constexpr COLORREF kDefaultFeatureColour = 255;  // red, 0x00BBGGRR

// One measured object. The per-vertex lists always have the same length: element i of each
// belongs to vertex i; every operation below keeps them in step.
struct FeatureRecord {
  std::vector<GeoPoint> vertices;       // working datum, degrees
  std::vector<GeoPoint> wgs84Vertices;  // WGS84 degrees as received; stored in the file
  std::vector<std::int32_t> altitudesCm;
  std::vector<std::string> vertexNotes;
  // Which vertex each one is while the program runs (NewRecordKey; never stored): a vertex
  // keeps its key while vertices are inserted or erased around it or it is moved in place;
  // a vertex made anew (appended, inserted, a shape rebuilt) gets a key of its own.
  std::vector<std::uint64_t> vertexKeys;
  std::int32_t pattern = kDefaultFeaturePattern;  // fill pattern index; one byte in the file
  std::int32_t visible = 1;                       // drawn and counted in totals
  std::int32_t editable = 1;                      // 0 = locked against capture and vertex edits
  COLORREF colour = kDefaultFeatureColour;
  std::string name;
  double area = 0.0;       // square units of the measuring projection
  double length = 0.0;     // open polyline
  double perimeter = 0.0;  // closed ring
  FeatureType type = FeatureType::Area;
  std::int32_t link = 0;      // for a part: index of the parent in the feature list; else 0
  std::int32_t subtract = 1;  // for a part: 1 = its area is taken off its parent's
  // The shape's revision, never stored: every vertex added, inserted, erased or dropped (and
  // every list taken over) counts one up, so that a measurement is known to be of the shape
  // as it stands, whatever the vertex count. A shift of vertices in place keeps the shape.
  std::uint64_t shapeRevision = 0;
  // Measuring state, never stored in a file: the vertex count, shape revision and type of the
  // last measurement started for this feature (count -1: none yet) and whether its result is
  // still to come. It moves with the feature when the list changes around it.
  std::int64_t measuredCount = -1;
  std::uint64_t measuredRevision = 0;
  FeatureType measuredType = FeatureType::Area;
  bool measurePending = false;
  std::uint64_t key = NewRecordKey();  // see NewRecordKey

  // A new, empty feature. The pattern and colour are those the options give new features
  // (the caller reads them); a part always gets pattern 0 and colour 0.
  FeatureRecord(FeatureType featureType, std::string featureName,
                std::int32_t newPattern = kDefaultFeaturePattern,
                COLORREF newColour = kDefaultFeatureColour);

  std::size_t VertexCount() const { return wgs84Vertices.size(); }

  void AddVertex(const GeoPoint& wgs84, const GeoPoint& working, std::int32_t altitudeCm,
                 std::string note = {});
  // index may equal VertexCount() (append); a larger index is ignored.
  void InsertVertex(std::size_t index, const GeoPoint& wgs84, const GeoPoint& working,
                    std::int32_t altitudeCm, std::string note = {});
  // An index out of range is ignored.
  void EraseVertex(std::size_t index);
  void PopLastVertex();
  void FreeVertices();
  void ReserveVertices(std::size_t count);
  // Takes over the vertex lists of other (left without vertices); the vertices keep their keys.
  void TakeVerticesFrom(FeatureRecord& other);
  // Index of the vertex whose key is vertexKey, or -1; hint is tried first (its old index).
  int FindVertex(std::uint64_t vertexKey, int hint = -1) const;
  // Whether measures of a feature of type `measured` hold for type `now`: a circle (either
  // form) is measured from its corners, every other type as its ring.
  static bool SameMeasure(FeatureType measured, FeatureType now);
  // The measures stored are those of the shape as it stands (or there is nothing to measure):
  // its latest measurement has come back and the shape has not changed since.
  bool MeasuresUpToDate() const;

  std::string GetName() const { return name; }
  void SetName(std::string newName) { name = std::move(newName); }
};

// One waypoint or averaging sample. x and y are held in the working datum in the
// document (WGS84 for averaging samples); the document file stores WGS84.
struct WaypointRecord {
  std::int32_t zone = 0;   // UTM zone of easting/northing
  std::int32_t south = 0;  // 1 = southern hemisphere
  double easting = 0.0;
  double northing = 0.0;
  double x = 0.0;  // longitude, degrees
  double y = 0.0;  // latitude, degrees
  std::int32_t altitudeCm = 0;
  std::string name;
  std::int32_t timeStamp = 0;  // seconds since 1970 as made by mktime (local time); 0 = none
  std::int32_t symbol = 0;     // symbol icon 0-23
  std::uint64_t key = NewRecordKey();  // see NewRecordKey

  WaypointRecord() = default;
  // Stamped with the current time.
  WaypointRecord(std::string name, std::int32_t zone, std::int32_t south, double easting,
                 double northing, std::int32_t altitudeCm, double x, double y,
                 std::int32_t symbol);

  // Stamped with the local-time conversion of a GPS date and time (two-digit year, 2000+).
  static WaypointRecord FromGpsTime(std::string name, std::int32_t zone, std::int32_t south,
                                    double easting, double northing, std::int32_t altitudeCm,
                                    double x, double y, int day, int month, int year2,
                                    int hour, int minute, int second, std::int32_t symbol);
  // Every field as stored, the time stamp included.
  static WaypointRecord FromFile(std::string name, std::int32_t zone, std::int32_t south,
                                 double easting, double northing, std::int32_t altitudeCm,
                                 double x, double y, std::int32_t timeStamp,
                                 std::int32_t symbol);

  std::string GetName() const { return name; }
  // "dd/mm/yyyy" and "hh:mm:ss" of the local-time breakdown; empty when there is no stamp.
  std::string FormatDate() const;
  std::string FormatTime() const;
};

// Metres as the whole centimetres the records keep, rounded to the nearest (halves away from
// zero: 651.3 m is 65130 cm); nullopt for NaN, infinities and altitudes beyond 32 bits.
std::optional<std::int32_t> CentimetresFromMetres(double metres);

// Signed area of the closed ring through the points (positive counter-clockwise with y up);
// 0 for an empty list. Units are the square of the points' units.
double ShoelaceArea(const std::vector<GeoPoint>& points);

// Everything a document file holds: features, waypoints and one note per waypoint.
// CTolvanixDoc owns one of these; the file reader and writer work on it alone.
struct DocumentContent {
  std::vector<FeatureRecord> features;
  std::vector<int> kind52Index;  // indices of the type-52 features, ascending
  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> waypointNotes;  // parallel to waypoints

  // Appends a new feature (see FeatureRecord) and records a part's index.
  FeatureRecord& AddFeature(FeatureType type, std::string name,
                            std::int32_t pattern = kDefaultFeaturePattern,
                            COLORREF colour = kDefaultFeatureColour);
  void DeleteAllFeatures();
  // Rebuilds kind52Index from the feature types.
  void RebuildPartIndex();
};
