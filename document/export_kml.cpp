// KML 2.2, UTF-8.
#include <cstddef>

#include "document/export_formats.h"

namespace {

constexpr int kPatternNoFill = 6;

// Length of the well-formed UTF-8 character at text[i] that XML 1.0 allows, or 0.
std::size_t XmlCharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
  const std::size_t length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t c = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  const bool overlong = (length == 2 && c < 0x80) || (length == 3 && c < 0x800) ||
                        (length == 4 && c < 0x10000);
  const bool invalid = (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF;
  return overlong || invalid ? 0 : length;
}

// Text as XML character data: the five reserved characters as entities; bytes that are not
// well-formed UTF-8 or characters XML cannot carry become U+FFFD.
void AppendXmlText(ExportText& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    switch (text[i]) {
      case '&': out << "&amp;"; ++i; continue;
      case '<': out << "&lt;"; ++i; continue;
      case '>': out << "&gt;"; ++i; continue;
      case '"': out << "&quot;"; ++i; continue;
      case '\'': out << "&apos;"; ++i; continue;
      default: break;
    }
    const std::size_t length = XmlCharLength(text, i);
    if (length == 0) {
      out << "\xEF\xBF\xBD";
      ++i;
    } else {
      out << text.substr(i, length);
      i += length;
    }
  }
}

void AppendHexByte(ExportText& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out << kDigits[(value >> 4) & 0xF] << kDigits[value & 0xF];
}

void AppendPoint(ExportText& out, double lon, double lat, double altitudeM) {
  out.Fixed(lon, 6) << ',';
  out.Fixed(lat, 6) << ',';
  out.Fixed(altitudeM, 2);
}

void WriteFeature(ExportText& out, const FeatureRecord& feature, const ExportedPoints& points) {
  const bool line = feature.type == FeatureType::Line;
  out << "<Placemark>\n<name>";
  AppendXmlText(out, feature.name);
  out << "</name>\n<Style>\n" << (line ? "<LineStyle>\n" : "<PolyStyle>\n") << "<color>b2";
  // COLORREF is 0x00BBGGRR; KML wants aabbggrr.
  AppendHexByte(out, (feature.colour >> 16) & 0xFF);
  AppendHexByte(out, (feature.colour >> 8) & 0xFF);
  AppendHexByte(out, feature.colour & 0xFF);
  out << "</color>\n";
  if (line) {
    out << "<width>2</width>\n</LineStyle>\n</Style>\n<LineString>\n";
  } else {
    if (feature.pattern == kPatternNoFill) out << "<fill>0</fill>\n";
    out << "</PolyStyle>\n</Style>\n<Polygon>\n<tessellate>1</tessellate>\n"
           "<outerBoundaryIs>\n<LinearRing>\n";
  }
  out << "<coordinates>\n";
  const FeatureRecord& record = points.Record();
  const std::size_t count = points.Count();
  for (std::size_t i = 0; i < count + (line ? 0 : 1); ++i) {
    const std::size_t k = i % count;  // an area's ring ends on its first point again
    AppendPoint(out, record.wgs84Vertices[k].x, record.wgs84Vertices[k].y, points.AltitudeM(k));
    out << '\n';
  }
  out << "</coordinates>\n";
  out << (line ? "</LineString>\n" : "</LinearRing>\n</outerBoundaryIs>\n</Polygon>\n");
  out << "</Placemark>\n";
}

}  // namespace

std::string FormatKml(ExportSource& source, const std::string& pathName) {
  ExportText out;
  WriteKml(out, source, pathName);
  return std::move(out.Bytes());
}

void WriteKml(ExportText& out, ExportSource& source, const std::string& pathName) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
         "<Document>\n<name>Tolvanix PDA</name>\n<Folder>\n<name>";
  AppendXmlText(out, pathName);
  out << "</name>\n<Folder>\n<name>Objects</name>\n<open>1</open>\n";
  for (const FeatureRecord& feature : source.Features()) {
    const ExportedPoints points(source, feature);
    if (points.Count() == 0) continue;
    out.Expect(points.Count() * 36);
    WriteFeature(out, feature, points);
  }
  out << "</Folder>\n";
  const auto& waypoints = source.Waypoints();
  if (!waypoints.empty()) {
    out << "<Folder>\n<open>1</open>\n<name>WPT</name>\n";
    for (const WaypointRecord& w : waypoints) {
      double x = w.x;
      double y = w.y;
      if (source.DatumIndex() > 0) source.WorkingToWgs84(x, y);
      const double altitudeM = w.altitudeCm * 0.01;
      out << "<Placemark>\n<description>Altitude ";
      out.Fixed(altitudeM, 2) << "</description>\n<visibility>1</visibility>\n<name>";
      AppendXmlText(out, w.name);
      out << "</name>\n<Point>\n<coordinates>";
      AppendPoint(out, x, y, altitudeM);
      out << "</coordinates>\n</Point>\n</Placemark>\n";
    }
    out << "</Folder>\n";
  }
  out << "</Folder></Document></kml>\n";
}
