#include "dialogs/core/measure_points.h"

#include "view/core/nav_labels.h"

MeasureObject ObjectAt(int index, int featureCount, bool gpsListed) {
  if (index < 0) return {};
  if (index < featureCount) return {PointSource::Feature, index};
  if (index == featureCount) return {PointSource::Waypoints, -1};
  if (index == featureCount + 1 && gpsListed) return {PointSource::Gps, -1};
  return {};
}

namespace {

const FeatureRecord* FeatureOf(const DocumentContent& content, const MeasureObject& object) {
  if (object.source != PointSource::Feature || object.feature < 0 ||
      static_cast<std::size_t>(object.feature) >= content.features.size()) {
    return nullptr;
  }
  return &content.features[object.feature];
}

}  // namespace

std::vector<std::string> PointLines(const DocumentContent& content, const MeasureObject& object,
                                    const std::string& pointFormat) {
  std::vector<std::string> lines;
  switch (object.source) {
    case PointSource::Feature:
      if (const FeatureRecord* f = FeatureOf(content, object)) {
        for (std::size_t i = 0; i < f->VertexCount(); ++i) {
          lines.push_back(VertexLabel(pointFormat, static_cast<int>(i) + 1, f->vertexNotes[i]));
        }
      }
      break;
    case PointSource::Waypoints:
      for (const WaypointRecord& w : content.waypoints) lines.push_back(w.name);
      break;
    case PointSource::Gps:
      lines.push_back("GPS");
      break;
    case PointSource::None:
      break;
  }
  return lines;
}

std::optional<GeoPoint> PointAt(const DocumentContent& content, const MeasureObject& object,
                                int line, const GeoPoint& gpsPosition) {
  if (line < 0) return std::nullopt;
  const auto at = static_cast<std::size_t>(line);
  switch (object.source) {
    case PointSource::Feature:
      if (const FeatureRecord* f = FeatureOf(content, object); f && at < f->VertexCount()) {
        return f->vertices[at];
      }
      return std::nullopt;
    case PointSource::Waypoints:
      if (at < content.waypoints.size()) return GeoPoint{content.waypoints[at].x, content.waypoints[at].y};
      return std::nullopt;
    case PointSource::Gps:
      if (line == 0) return gpsPosition;
      return std::nullopt;
    case PointSource::None:
      break;
  }
  return std::nullopt;
}
