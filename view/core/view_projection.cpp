#include "view/core/view_projection.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double kDegToRad = 0.017453292519943295;
// A fix latitude at or below this (the single-precision 1e-10) counts as "no position".
constexpr double kNoLatitude = 1.000000013351432e-10;
// Both extents at or below this many metres: everything sits on one spot.
constexpr double kMinExtent = 0.001;

std::int32_t ToInt32(double v) {
  // Far-off points (a huge zoom) must not overflow the conversion.
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(v)) return 0;
  if (v >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (v <= -kMax) return -std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

bool IsVisible(const FeatureRecord& f) { return f.visible != 0; }

}  // namespace

void Digest::AddInt(std::int64_t v) {
  // FNV-style over 64-bit words, with a shift so that high bits reach the low ones.
  h_ = (h_ ^ static_cast<std::uint64_t>(v)) * 0x100000001b3u;
  h_ ^= h_ >> 29;
}

void Digest::AddDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  AddInt(static_cast<std::int64_t>(bits));
}

void Digest::AddText(const std::string& text) {
  AddInt(static_cast<std::int64_t>(text.size()));
  std::uint64_t word = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    AddInt(static_cast<std::int64_t>(word));
  }
  word = 0;
  std::memcpy(&word, text.data() + i, text.size() - i);
  AddInt(static_cast<std::int64_t>(word));
}

std::int32_t RoundPixel(double v) { return ToInt32(v >= 0 ? v + 0.5 : v - 0.5); }

std::vector<DrawnFeature> FeatureDrawOrder(const std::vector<FeatureRecord>& features,
                                           int current) {
  std::vector<DrawnFeature> order;
  std::size_t cached = 0;
  auto add = [&](int i) {
    order.push_back({i, cached});
    cached += features[static_cast<std::size_t>(i)].vertices.size();
  };
  const int count = static_cast<int>(features.size());
  for (int i = 0; i < count; ++i)
    if (i != current && IsVisible(features[static_cast<std::size_t>(i)])) add(i);
  if (current >= 0 && current < count && IsVisible(features[static_cast<std::size_t>(current)]))
    add(current);
  return order;
}

double MapViewState::PlaneX(double lon) const { return (lon - m_refLon) * m_mPerMinLon * 60.0; }
double MapViewState::PlaneY(double lat) const { return lat * m_mPerMinLat * 60.0; }

ScreenPoint MapViewState::PlaneToBitmap(double xm, double ym) const {
  return {RoundPixel((xm - m_centreX) * m_scale + m_halfWidth + m_offsetX + m_panDelta.x + 2),
          RoundPixel(m_mapHeight - ((ym - m_centreY) * m_scale + m_halfHeight) + m_offsetY +
                     m_panDelta.y + 2)};
}

ScreenPoint MapViewState::WorldToBitmap(double lon, double lat) const {
  return PlaneToBitmap(PlaneX(lon), PlaneY(lat));
}

int MapViewState::WorldToScreenX(double lon, int width) const {
  return RoundPixel((PlaneX(lon) - m_centreX) * m_scale + width * 0.5 + m_offsetX + 2);
}

int MapViewState::WorldToScreenY(double lat, int height) const {
  return RoundPixel(height * 0.5 - (PlaneY(lat) - m_centreY) * m_scale + m_offsetY +
                    2 * (m_rowUnit + 1));
}

void MapViewState::ScreenToWorld(int sx, int sy, double& lon, double& lat) const {
  lon = m_refLon + (m_centreX * m_scale + sx - m_mapWidth * 0.5 - m_offsetX - 2) /
                       (m_scale * m_mPerMinLon * 60.0);
  lat = (2.0 * (m_rowUnit + 1) + m_mapHeight * 0.5 + m_centreY * m_scale + m_offsetY - sy) /
        (m_scale * m_mPerMinLat * 60.0);
}

bool MapViewState::FitExtent(const FitSource& source, int width, int height) {
  // A window smaller than the 5-pixel margin has no map area (rather than a wrapped one).
  m_mapWidth = static_cast<std::uint16_t>(width > 5 ? width - 5 : 0);
  m_mapHeight = static_cast<std::uint16_t>(height > 5 ? height - 5 : 0);
  m_halfWidth = m_mapWidth / 2.0;
  m_halfHeight = m_mapHeight / 2.0;

  static const std::vector<FeatureRecord> kNoFeatures;
  static const std::vector<WaypointRecord> kNoWaypoints;
  const auto& features = source.features ? *source.features : kNoFeatures;
  const auto& waypoints =
      source.countWaypoints && source.waypoints ? *source.waypoints : kNoWaypoints;
  // The newest offset point is left out (it moves with the walker).
  const std::size_t offsetCount =
      source.offsetTrack && !source.offsetTrack->empty() ? source.offsetTrack->size() - 1 : 0;

  const std::vector<DrawnFeature> order = FeatureDrawOrder(features, source.current);
  std::size_t featurePoints = 0;
  for (const DrawnFeature& d : order)
    featurePoints += features[static_cast<std::size_t>(d.index)].vertices.size();
  const std::size_t total = featurePoints + waypoints.size() + offsetCount;
  if (total < 1) return false;

  // Reference: the fix, else the first waypoint, else the first visible vertex (features in
  // index order); with only offset points the previous reference stays.
  bool haveReference = false;
  double refLat = 0.0;
  if (source.hasFix && std::fabs(source.fixLat) > kNoLatitude) {
    m_refLon = source.fixLon;
    refLat = source.fixLat;
    haveReference = true;
  } else if (!waypoints.empty()) {
    m_refLon = waypoints.front().x;
    refLat = waypoints.front().y;
    haveReference = true;
  } else {
    for (const FeatureRecord& f : features) {
      if (IsVisible(f) && !f.vertices.empty()) {
        m_refLon = f.vertices.front().x;
        refLat = f.vertices.front().y;
        haveReference = true;
        break;
      }
    }
  }
  if (haveReference) m_mPerMinLon = std::cos(refLat * kDegToRad) * m_mPerMinLat;

  std::vector<GeoPoint> plane;
  plane.reserve(total);
  auto add = [&](const GeoPoint& p) { plane.push_back({PlaneX(p.x), PlaneY(p.y)}); };
  for (const DrawnFeature& d : order)
    for (const GeoPoint& p : features[static_cast<std::size_t>(d.index)].vertices) add(p);
  for (const WaypointRecord& w : waypoints) add({w.x, w.y});
  for (std::size_t i = 0; i < offsetCount; ++i) add((*source.offsetTrack)[i]);

  // Ties keep the earlier point; only the values matter for the centre and the scale.
  double xMin = plane[0].x, xMax = plane[0].x, yMin = plane[0].y, yMax = plane[0].y;
  for (const GeoPoint& p : plane) {
    if (p.x > xMax) xMax = p.x;
    if (p.x < xMin) xMin = p.x;
    if (p.y > yMax) yMax = p.y;
    if (p.y < yMin) yMin = p.y;
  }
  m_centreX = (xMin + xMax) / 2.0;
  m_centreY = (yMin + yMax) / 2.0;
  if (total >= 2) {
    const double dx = xMax - xMin, dy = yMax - yMin;
    if (dx <= kMinExtent && dy <= kMinExtent) {
      m_scale = 0.0;
    } else {
      // A zero extent gives an infinite quotient; the other axis then decides.
      const double byWidth = dx > 0 ? m_mapWidth / dx : std::numeric_limits<double>::infinity();
      const double byHeight = dy > 0 ? m_mapHeight / dy : std::numeric_limits<double>::infinity();
      m_scale = byHeight < byWidth ? byHeight : byWidth;
    }
  }
  m_scale *= m_zoom;

  m_featurePoints.clear();
  m_waypointPoints.clear();
  m_offsetPoints.clear();
  std::size_t i = 0;
  for (; i < featurePoints; ++i) m_featurePoints.push_back(PlaneToBitmap(plane[i].x, plane[i].y));
  for (std::size_t w = 0; w < waypoints.size(); ++w, ++i)
    m_waypointPoints.push_back(PlaneToBitmap(plane[i].x, plane[i].y));
  for (; i < plane.size(); ++i) m_offsetPoints.push_back(PlaneToBitmap(plane[i].x, plane[i].y));
  m_cacheKey = KeyOf(source, width, height);
  m_cacheKeyValid = true;
  return true;
}

CacheKey MapViewState::KeyOf(const FitSource& source, int width, int height,
                             bool leaveOutNewest) const {
  static const std::vector<FeatureRecord> kNoFeatures;
  const auto& features = source.features ? *source.features : kNoFeatures;
  CacheKey key;
  Digest shapes;
  for (std::int64_t v : {std::int64_t{width}, std::int64_t{height}, std::int64_t{m_offsetX},
                         std::int64_t{m_offsetY}, std::int64_t{m_panDelta.x},
                         std::int64_t{m_panDelta.y}, std::int64_t{source.current}})
    shapes.AddInt(v);
  shapes.AddDouble(m_zoom);
  for (const DrawnFeature& d : FeatureDrawOrder(features, source.current)) {
    const std::vector<GeoPoint>& vertices = features[static_cast<std::size_t>(d.index)].vertices;
    std::size_t n = vertices.size();
    if (leaveOutNewest && d.index == source.current && n > 0) --n;
    shapes.AddInt(d.index);
    shapes.AddInt(static_cast<std::int64_t>(n));
    for (std::size_t k = 0; k < n; ++k) {
      shapes.AddDouble(vertices[k].x);
      shapes.AddDouble(vertices[k].y);
    }
    key.featurePixels += n;
  }
  const bool waypoints = source.countWaypoints && source.waypoints;
  shapes.AddInt(waypoints ? 1 : 0);
  if (waypoints) {
    for (const WaypointRecord& w : *source.waypoints) {
      shapes.AddDouble(w.x);
      shapes.AddDouble(w.y);
    }
    key.waypointPixels = source.waypoints->size();
  }
  key.shapes = shapes.Value();

  Digest offset;
  if (source.offsetTrack) {
    const std::vector<GeoPoint>& track = *source.offsetTrack;
    key.offsetPixels = track.empty() ? 0 : track.size() - 1;
    offset.AddInt(static_cast<std::int64_t>(key.offsetPixels));
    for (std::size_t k = 0; k < key.offsetPixels; ++k) {
      offset.AddDouble(track[k].x);
      offset.AddDouble(track[k].y);
    }
  } else {
    offset.AddInt(-1);  // offset mode off
  }
  key.offset = offset.Value();
  return key;
}

bool MapViewState::CachesHold(const CacheKey& key) const {
  return m_cacheKeyValid && key == m_cacheKey && m_featurePoints.size() == key.featurePixels &&
         m_waypointPoints.size() == key.waypointPixels && m_offsetPoints.size() == key.offsetPixels;
}

void MapViewState::ForgetCaches() {
  m_featurePoints.clear();
  m_waypointPoints.clear();
  m_offsetPoints.clear();
  m_cacheKeyValid = false;
}

void MapViewState::CacheOffsetTrack(const std::vector<GeoPoint>* track) {
  m_offsetPoints.clear();
  const std::size_t n = track && !track->empty() ? track->size() - 1 : 0;
  for (std::size_t k = 0; k < n; ++k)
    m_offsetPoints.push_back(WorldToBitmap((*track)[k].x, (*track)[k].y));
}

void MapViewState::ZoomBy(double factor) {
  m_zoom *= factor;
  m_scale *= factor;
  m_offsetX = ToInt32(m_offsetX * factor);
  m_offsetY = ToInt32(m_offsetY * factor);
}

void MapViewState::ResetZoomAndPan() {
  m_zoom = 0.8;
  m_offsetX = m_offsetY = 0;
  m_panDelta = {};
}

void MapViewState::CentreOnMarker(int clientWidth, int clientHeight) {
  m_offsetX = ToInt32(m_offsetX - (m_markerX - clientWidth * 0.5));
  m_offsetY = ToInt32(m_offsetY - (m_markerY - clientHeight * 0.5));
}

void MapViewState::CommitPanDelta() {
  m_offsetX += m_panDelta.x;
  m_offsetY += m_panDelta.y;
  m_panDelta = {};
}
