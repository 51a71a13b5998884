#include "document/records.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

std::uint64_t NewRecordKey() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

bool IsFeatureType(std::int32_t code) {
  switch (static_cast<FeatureType>(code)) {
    case FeatureType::Line:
    case FeatureType::Area:
    case FeatureType::CircleLine:
    case FeatureType::Circle:
    case FeatureType::Part:
      return true;
    case FeatureType::Waypoint:
      break;
  }
  return false;
}

FeatureRecord::FeatureRecord(FeatureType featureType, std::string featureName,
                             std::int32_t newPattern, COLORREF newColour)
    : pattern(featureType == FeatureType::Part ? 0 : newPattern),
      colour(featureType == FeatureType::Part ? 0 : newColour),
      name(std::move(featureName)),
      type(featureType) {}

void FeatureRecord::AddVertex(const GeoPoint& wgs84, const GeoPoint& working,
                              std::int32_t altitudeCm, std::string note) {
  vertices.push_back(working);
  wgs84Vertices.push_back(wgs84);
  altitudesCm.push_back(altitudeCm);
  vertexNotes.push_back(std::move(note));
  vertexKeys.push_back(NewRecordKey());
  ++shapeRevision;
}

void FeatureRecord::InsertVertex(std::size_t index, const GeoPoint& wgs84,
                                 const GeoPoint& working, std::int32_t altitudeCm,
                                 std::string note) {
  if (index > VertexCount()) return;
  const auto at = static_cast<std::ptrdiff_t>(index);
  vertices.insert(vertices.begin() + at, working);
  wgs84Vertices.insert(wgs84Vertices.begin() + at, wgs84);
  altitudesCm.insert(altitudesCm.begin() + at, altitudeCm);
  vertexNotes.insert(vertexNotes.begin() + at, std::move(note));
  vertexKeys.insert(vertexKeys.begin() + at, NewRecordKey());
  ++shapeRevision;
}

namespace {
template <typename List>
void EraseAt(List& list, std::size_t index) {
  if (index < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}
template <typename List>
void PopIfAny(List& list) {
  if (!list.empty()) list.pop_back();
}
}  // namespace

void FeatureRecord::EraseVertex(std::size_t index) {
  if (index >= VertexCount()) return;
  EraseAt(vertices, index);
  EraseAt(wgs84Vertices, index);
  EraseAt(altitudesCm, index);
  EraseAt(vertexNotes, index);
  EraseAt(vertexKeys, index);
  ++shapeRevision;
}

void FeatureRecord::PopLastVertex() {
  if (VertexCount() == 0) return;
  PopIfAny(vertices);
  PopIfAny(wgs84Vertices);
  PopIfAny(altitudesCm);
  PopIfAny(vertexNotes);
  PopIfAny(vertexKeys);
  ++shapeRevision;
}

void FeatureRecord::FreeVertices() {
  std::vector<GeoPoint>().swap(vertices);
  std::vector<GeoPoint>().swap(wgs84Vertices);
  std::vector<std::int32_t>().swap(altitudesCm);
  std::vector<std::string>().swap(vertexNotes);
  std::vector<std::uint64_t>().swap(vertexKeys);
  ++shapeRevision;
}

void FeatureRecord::ReserveVertices(std::size_t count) {
  vertices.reserve(count);
  wgs84Vertices.reserve(count);
  altitudesCm.reserve(count);
  vertexNotes.reserve(count);
  vertexKeys.reserve(count);
}

void FeatureRecord::TakeVerticesFrom(FeatureRecord& other) {
  vertices = std::move(other.vertices);
  wgs84Vertices = std::move(other.wgs84Vertices);
  altitudesCm = std::move(other.altitudesCm);
  vertexNotes = std::move(other.vertexNotes);
  vertexKeys = std::move(other.vertexKeys);
  other.FreeVertices();
  ++shapeRevision;
}

int FeatureRecord::FindVertex(std::uint64_t vertexKey, int hint) const {
  if (vertexKey == 0) return -1;
  if (hint >= 0 && static_cast<std::size_t>(hint) < vertexKeys.size() &&
      vertexKeys[static_cast<std::size_t>(hint)] == vertexKey) {
    return hint;
  }
  for (std::size_t i = 0; i < vertexKeys.size(); ++i) {
    if (vertexKeys[i] == vertexKey) return static_cast<int>(i);
  }
  return -1;
}

bool FeatureRecord::SameMeasure(FeatureType measured, FeatureType now) {
  auto circle = [](FeatureType t) { return t == FeatureType::Circle || t == FeatureType::CircleLine; };
  return circle(measured) == circle(now);
}

bool FeatureRecord::MeasuresUpToDate() const {
  if (VertexCount() == 0) return true;  // nothing to measure
  return !measurePending && measuredCount >= 0 && measuredRevision == shapeRevision &&
         SameMeasure(measuredType, type);
}

WaypointRecord::WaypointRecord(std::string waypointName, std::int32_t utmZone,
                               std::int32_t southFlag, double east, double north,
                               std::int32_t altitude, double lon, double lat,
                               std::int32_t symbolNumber)
    : zone(utmZone),
      south(southFlag),
      easting(east),
      northing(north),
      x(lon),
      y(lat),
      altitudeCm(altitude),
      name(std::move(waypointName)),
      timeStamp(static_cast<std::int32_t>(std::time(nullptr))),
      symbol(symbolNumber) {}

WaypointRecord WaypointRecord::FromGpsTime(std::string name, std::int32_t zone,
                                           std::int32_t south, double easting,
                                           double northing, std::int32_t altitudeCm, double x,
                                           double y, int day, int month, int year2, int hour,
                                           int minute, int second, std::int32_t symbol) {
  WaypointRecord w(std::move(name), zone, south, easting, northing, altitudeCm, x, y, symbol);
  std::tm t{};
  t.tm_year = 2000 + year2 - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;  // let the C library decide whether daylight saving applied
  w.timeStamp = static_cast<std::int32_t>(std::mktime(&t));
  return w;
}

WaypointRecord WaypointRecord::FromFile(std::string name, std::int32_t zone,
                                        std::int32_t south, double easting, double northing,
                                        std::int32_t altitudeCm, double x, double y,
                                        std::int32_t timeStamp, std::int32_t symbol) {
  WaypointRecord w;
  w.zone = zone;
  w.south = south;
  w.easting = easting;
  w.northing = northing;
  w.x = x;
  w.y = y;
  w.altitudeCm = altitudeCm;
  w.name = std::move(name);
  w.timeStamp = timeStamp;
  w.symbol = symbol;
  return w;
}

namespace {
// Formats three fields of the local-time breakdown of a stamp; empty for no stamp.
std::string FormatStamp(std::int32_t stamp, const char* format, bool date) {
  if (stamp == 0) return {};
  const std::time_t t = stamp;
  std::tm parts{};
  if (localtime_r(&t, &parts) == nullptr) return {};
  char text[40];
  if (date) {
    std::snprintf(text, sizeof text, format, parts.tm_mday, parts.tm_mon + 1,
                  parts.tm_year + 1900);
  } else {
    std::snprintf(text, sizeof text, format, parts.tm_hour, parts.tm_min, parts.tm_sec);
  }
  return text;
}
}  // namespace

std::string WaypointRecord::FormatDate() const {
  return FormatStamp(timeStamp, "%02d/%02d/%d", true);
}

std::string WaypointRecord::FormatTime() const {
  return FormatStamp(timeStamp, "%02d:%02d:%02d", false);
}

std::optional<std::int32_t> CentimetresFromMetres(double metres) {
  const double centimetres = std::round(metres * 100.0);
  if (!(centimetres >= std::numeric_limits<std::int32_t>::min() &&
        centimetres <= std::numeric_limits<std::int32_t>::max())) {
    return std::nullopt;  // NaN fails both comparisons
  }
  return static_cast<std::int32_t>(centimetres);
}

double ShoelaceArea(const std::vector<GeoPoint>& points) {
  if (points.empty()) return 0.0;
  // Summed about the first point, which leaves the area as it is: products of full UTM
  // coordinates (10^12 m2) would cost the sum its last millimetres.
  const GeoPoint origin = points.front();
  double sum = 0.0;
  GeoPoint previous{points.back().x - origin.x, points.back().y - origin.y};
  for (const GeoPoint& p : points) {
    const GeoPoint q{p.x - origin.x, p.y - origin.y};
    sum += previous.x * q.y - q.x * previous.y;
    previous = q;
  }
  return 0.5 * sum;
}

FeatureRecord& DocumentContent::AddFeature(FeatureType type, std::string name,
                                           std::int32_t pattern, COLORREF colour) {
  features.emplace_back(type, std::move(name), pattern, colour);
  if (type == FeatureType::Part) kind52Index.push_back(static_cast<int>(features.size() - 1));
  return features.back();
}

void DocumentContent::DeleteAllFeatures() {
  features.clear();
  kind52Index.clear();
}

void DocumentContent::RebuildPartIndex() {
  kind52Index.clear();
  for (std::size_t i = 0; i < features.size(); ++i) {
    if (features[i].type == FeatureType::Part) kind52Index.push_back(static_cast<int>(i));
  }
}
