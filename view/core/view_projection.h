// The map view's geometry without windows: the projection of working-datum positions onto a
// local plane and from there onto pixels, the fit to the extent of what is shown, zoom and pan.
//
// Coordinate spaces:
//   world         longitude/latitude in degrees of the working datum (FeatureRecord::vertices,
//                 WaypointRecord x/y, the document's datum fix);
//   plane         metres on a local equirectangular plane: x = (lon - m_refLon) * m_mPerMinLon * 60,
//                 y = lat * m_mPerMinLat * 60 (latitude is not shifted, so y is large);
//   map bitmap    pixels with the origin at the top-left of the map area, which lies below the
//                 two top panel rows (what the caches hold);
//   view client   pixels of the view window; the map-bitmap origin sits at y = 2 * m_rowUnit.
//
// The plane is a simple scaled longitude/latitude grid: distances are exact near the reference
// latitude and drift with cos(latitude) away from it, which is plenty for a field a person walks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/records.h"

// One pixel, in map-bitmap coordinates unless a caller says otherwise.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Rounding half away from zero, then truncation toward zero (the view's pixel rounding).
std::int32_t RoundPixel(double v);

// What the fit looks at; references into the document's lists (user-interface thread).
struct FitSource {
  const std::vector<FeatureRecord>* features = nullptr;
  int current = 0;  // the document's current feature, drawn (and cached) last
  const std::vector<WaypointRecord>* waypoints = nullptr;
  bool countWaypoints = false;                  // waypoint icons or names are shown
  const std::vector<GeoPoint>* offsetTrack = nullptr;  // working datum; nullptr when offset is off
  bool hasFix = false;
  double fixLon = 0.0, fixLat = 0.0;  // working datum degrees
};

// The visible features in drawing order (all but the current one by index, then the current
// one), each with the index of its first vertex in the feature-pixel cache.
struct DrawnFeature {
  int index = 0;
  std::size_t firstCached = 0;
};
std::vector<DrawnFeature> FeatureDrawOrder(const std::vector<FeatureRecord>& features, int current);

// A 64-bit digest of values fed in order. Not cryptographic: it tells the inputs a picture or
// a cache was made from apart from changed ones.
class Digest {
 public:
  void AddInt(std::int64_t v);
  void AddDouble(double v);  // by its bits
  void AddText(const std::string& text);
  std::uint64_t Value() const { return h_; }

 private:
  std::uint64_t h_ = 0xcbf29ce484222325u;
};

// What the pixel caches were made from: a digest of every input of the fit but the reference
// fix (the visible features' working-datum vertices in drawing order, the counted waypoints,
// the map size, zoom and pan), and apart from it one of the offset track; with the cache
// sizes those inputs give. The fix only anchors the plane: the caches stay right for the
// reference they were made with.
struct CacheKey {
  std::uint64_t shapes = 0;
  std::uint64_t offset = 0;
  std::size_t featurePixels = 0, waypointPixels = 0, offsetPixels = 0;
  friend bool operator==(const CacheKey&, const CacheKey&) = default;
};

// The projection state of the map view. CTolvanixView derives from it, so the members carry
// the view's own names; everything here runs without a display.
struct MapViewState {
  // Pixel caches (map-bitmap pixels), rebuilt by the fit.
  std::vector<ScreenPoint> m_featurePoints;   // visible features' vertices in drawing order
  std::vector<ScreenPoint> m_waypointPoints;  // index = waypoint index (when counted)
  std::vector<ScreenPoint> m_offsetPoints;    // offset track, newest point left out

  double m_refLon = 2.1222105;                  // degrees
  double m_mPerMinLon = 1390.3587513490806;     // metres per minute of longitude at the reference
  double m_mPerMinLat = 1853.0;                 // metres per minute of latitude; never changed
  double m_centreX = 51.08873231833157;         // plane x of the map centre, metres
  double m_centreY = 4600725.77515;             // plane y of the map centre, metres
  double m_halfWidth = 0.0, m_halfHeight = 0.0;  // half the map size minus 5, pixels
  std::uint16_t m_mapWidth = 0, m_mapHeight = 0;  // map-area size minus 5, pixels
  double m_scale = 1.0750306921339803;          // pixels per metre
  double m_zoom = 0.8;                          // zoom factor applied by the fit
  std::int32_t m_rowUnit = 0;                   // height of one panel row, pixels
  std::int32_t m_offsetX = 0, m_offsetY = 0;    // accumulated pan offset, pixels
  ScreenPoint m_panDelta;                       // pan drag in progress, pixels
  std::int32_t m_markerX = 0, m_markerY = 0;    // client pixel of the GPS marker as last drawn
  CacheKey m_cacheKey;                          // what the caches hold, when m_cacheKeyValid
  bool m_cacheKeyValid = false;

  // World -> plane (metres).
  double PlaneX(double lon) const;
  double PlaneY(double lat) const;
  // Plane -> map-bitmap pixel, pan offset and drag delta included (fills the caches).
  ScreenPoint PlaneToBitmap(double xm, double ym) const;
  ScreenPoint WorldToBitmap(double lon, double lat) const;
  // World -> client pixel, without the drag delta (GPS marker, target arrow). Callers pass
  // width = client width - 5 and height = client height - 3 * m_rowUnit - 5.
  int WorldToScreenX(double lon, int width) const;
  int WorldToScreenY(double lat, int height) const;
  // Client pixel -> world; the exact inverse of WorldToScreenX/Y with the stored map size.
  void ScreenToWorld(int sx, int sy, double& lon, double& lat) const;

  // The fit to width W and height H of the map area. Returns false when nothing is counted
  // (the state is unchanged apart from the stored map size); else centre, scale and the three
  // caches are new, and m_cacheKey says what they hold.
  bool FitExtent(const FitSource& source, int width, int height);

  // The key of the caches that a fit of source into a width x height map area makes at the
  // present zoom and pan. leaveOutNewest: as if the current feature's newest vertex were not
  // there yet (what the caches held before a captured point joined them).
  CacheKey KeyOf(const FitSource& source, int width, int height, bool leaveOutNewest = false) const;
  // Whether the caches hold what key describes (never after something emptied them).
  bool CachesHold(const CacheKey& key) const;
  // The three caches emptied; they then hold nothing a key describes.
  void ForgetCaches();
  // The offset-track cache made again from track at the present projection, its newest point
  // left out as the fit leaves it out; nullptr empties it.
  void CacheOffsetTrack(const std::vector<GeoPoint>* track);

  // Zoom about the view centre: zoom, scale and pan offsets times factor (offsets truncated).
  void ZoomBy(double factor);
  // Zoom 0.8, no pan.
  void ResetZoomAndPan();
  // Pan offsets shifted so that the marker last drawn comes to the client centre.
  void CentreOnMarker(int clientWidth, int clientHeight);
  // A pan drag ends: its delta joins the pan offsets.
  void CommitPanDelta();
};
