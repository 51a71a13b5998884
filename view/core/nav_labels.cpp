#include "view/core/nav_labels.h"

std::string FillFormat(const std::string& format, const std::string& value) {
  std::string out;
  out.reserve(format.size() + value.size());
  bool filled = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    const char next = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c == '%' && next == '%') {
      out += '%';
      ++i;
    } else if (c == '%' && !filled && (next == 'd' || next == 's')) {
      out += value;
      filled = true;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string VertexLabel(const std::string& pointFormat, int oneBasedNumber, const std::string& note) {
  std::string label = FillFormat(pointFormat, std::to_string(oneBasedNumber));
  if (!note.empty()) label += " (" + note + ")";
  return label;
}

std::optional<NavChoice> ChooseNavTarget(const DocumentContent& content, int object, int point,
                                         const std::string& pointFormat, bool overlayTitle) {
  const int featureCount = static_cast<int>(content.features.size());
  if (object < 0 || object > featureCount || point < 0) return std::nullopt;
  NavChoice choice;
  const auto at = static_cast<std::size_t>(point);
  if (object == featureCount) {
    if (at >= content.waypoints.size()) return std::nullopt;
    const WaypointRecord& w = content.waypoints[at];
    choice.index = point;
    choice.key = w.key;
    choice.title = (overlayTitle ? "WPT: " : "") + w.name;
    choice.lon = w.x;
    choice.lat = w.y;
    choice.altitudeCm = w.altitudeCm;
    return choice;
  }
  const FeatureRecord& f = content.features[object];
  if (at >= f.VertexCount()) return std::nullopt;
  choice.isVertex = true;
  choice.feature = object;
  choice.index = point;
  choice.key = f.key;
  choice.vertexKey = at < f.vertexKeys.size() ? f.vertexKeys[at] : 0;
  choice.title = f.name + " " + VertexLabel(pointFormat, point + 1, f.vertexNotes[at]);
  choice.lon = f.vertices[at].x;
  choice.lat = f.vertices[at].y;
  choice.altitudeCm = f.altitudesCm[at];
  return choice;
}

std::optional<NavChoice> FollowNavTarget(const DocumentContent& content, bool isVertex,
                                         std::uint64_t key, std::uint64_t vertexKey, int index,
                                         const std::string& pointFormat, bool overlayTitle) {
  if (key == 0) return std::nullopt;
  if (isVertex) {
    for (std::size_t f = 0; f < content.features.size(); ++f) {
      if (content.features[f].key != key) continue;
      // The vertex itself, wherever inserts and deletions before it have put it.
      const int vertex = content.features[f].FindVertex(vertexKey, index);
      if (vertex < 0) return std::nullopt;
      return ChooseNavTarget(content, static_cast<int>(f), vertex, pointFormat, overlayTitle);
    }
    return std::nullopt;
  }
  for (std::size_t w = 0; w < content.waypoints.size(); ++w) {
    if (content.waypoints[w].key != key) continue;
    return ChooseNavTarget(content, static_cast<int>(content.features.size()),
                           static_cast<int>(w), pointFormat, overlayTitle);
  }
  return std::nullopt;
}
