#include "document/export_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "app/strings.h"
#include "document/measures.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
// sqrt(2) / 4: the radius of the circle inscribed in the square whose diagonal is 1.
constexpr double kInscribedRadiusPerDiagonal = 0.35355339059327373;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of the final extension's dot, or npos when the file name part has none.
std::size_t ExtensionDot(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return std::string::npos;
  if (slash != std::string::npos && dot < slash) return std::string::npos;
  // ".hidden" alone is a name, not an extension.
  if (dot == (slash == std::string::npos ? 0 : slash + 1)) return std::string::npos;
  return dot;
}

}  // namespace

void ExportSource::VertexOutputs(int datumChoice, const FeatureRecord& record,
                                 std::vector<OutputPoint>& points) {
  points.resize(record.VertexCount());
  for (std::size_t i = 0; i < points.size(); ++i) {
    VertexOutput(datumChoice, record, i, points[i].x, points[i].y, points[i].z);
  }
}

ExportedPoints::ExportedPoints(ExportSource& source, const FeatureRecord& feature)
    : record_(&feature) {
  if (IsCircleType(feature.type)) {
    outline_.emplace(feature.type, feature.name, feature.pattern, feature.colour);
    source.CircleOutline(feature, &*outline_);
    record_ = &*outline_;
  }
}

double UtmZoneOfLongitude(double longitude, int& zone) {
  zone = 1 - static_cast<int>((longitude + 180.0) * (-1.0 / 6.0));
  zone = std::clamp(zone, 1, 60);
  return zone * 6.0 - 183.0;
}

double CircleRadius(const FeatureRecord& circle, OutlineProjection& projection) {
  const std::vector<GeoPoint>& corners = circle.vertices;
  if (corners.size() < 3) return 0.0;
  std::size_t west = 0;
  for (std::size_t i = 1; i < corners.size(); ++i) {
    if (corners[i].x < corners[west].x) west = i;
  }
  int zone = 1;
  UtmZoneOfLongitude(corners[west].x, zone);
  GeoPoint a, b;
  if (!projection.MeasurePlane(zone, corners[1], a) || !projection.MeasurePlane(zone, corners[2], b)) {
    return 0.0;
  }
  const double r = CalcDistance(a, b) * kInscribedRadiusPerDiagonal;
  return std::isfinite(r) ? r : 0.0;
}

double AppendCircleOutline(const FeatureRecord& circle, OutlineProjection& projection,
                           FeatureRecord& out) {
  const double r = CircleRadius(circle, projection);
  if (!(r > 0.0) || circle.wgs84Vertices.empty()) return r;
  GeoPoint centre;
  if (!projection.ToOutlinePlane(circle.wgs84Vertices[0], centre)) return r;
  const std::int32_t altitude = circle.altitudesCm.empty() ? 0 : circle.altitudesCm[0];
  // One point per metre of circumference: angles 0, 1/r, 2/r ... below 2 pi. The angle is
  // computed from the index so that a large radius cannot stall the sum.
  const double step = 1.0 / r;
  const double wanted = std::ceil(kTwoPi * r);
  const std::size_t count = static_cast<std::size_t>(
      std::min(wanted, static_cast<double>(kMaxOutlinePoints)));
  out.ReserveVertices(out.VertexCount() + count);
  for (std::size_t i = 0; i < count; ++i) {
    const double a = static_cast<double>(i) * step;
    if (a >= kTwoPi) break;
    GeoPoint wgs84, working;
    const GeoPoint plane{centre.x + r * std::cos(a), centre.y + r * std::sin(a)};
    if (!projection.FromOutlinePlane(plane, wgs84)) continue;
    if (!projection.Wgs84ToWorking(wgs84, working)) working = wgs84;
    out.AddVertex(wgs84, working, altitude);
  }
  return r;
}

ExportText& ExportText::Fixed(double value, int decimals) {
  // Fast path: scale, round and print two integers. It is taken only where the rounding
  // cannot differ from printf's (the scaled value is far from a tie and small enough to be
  // exact to well under a thousandth of its last digit); anything else goes to to_chars.
  static constexpr double kScale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  if (decimals >= 0 && decimals <= 8) {
    const double scaled = std::fabs(value) * kScale[decimals];
    if (scaled < 1e12) {
      const double whole = std::floor(scaled);
      const double fraction = scaled - whole;
      if (std::fabs(fraction - 0.5) > 1e-3) {
        const auto digits = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        const auto unit = static_cast<std::uint64_t>(kScale[decimals]);
        char buffer[48];
        char* at = buffer;
        if (std::signbit(value)) *at++ = '-';
        at = std::to_chars(at, buffer + sizeof buffer, digits / unit).ptr;
        if (decimals > 0) {
          *at++ = '.';
          std::uint64_t rest = digits % unit;
          for (int i = decimals - 1; i >= 0; --i) {
            at[i] = static_cast<char>('0' + rest % 10);
            rest /= 10;
          }
          at += decimals;
        }
        bytes_.append(buffer, static_cast<std::size_t>(at - buffer));
        return Wrote();
      }
    }
  }
  char buffer[352];  // enough for any double in fixed notation with a few decimals
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::fixed, decimals);
  if (ec == std::errc()) bytes_.append(buffer, static_cast<std::size_t>(end - buffer));
  return Wrote();
}

ExportText& ExportText::Int(long long value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  bytes_.append(buffer, static_cast<std::size_t>(end - buffer));
  return Wrote();
}

ExportText& ExportText::Ansi(const std::string& utf8) {
  if (utf8.empty()) return *this;
  // Every 8-bit format is line-based: a line break inside a name would start a false record.
  std::string text = ToMultiByte(utf8);
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  bytes_.append(text);
  return Wrote();
}

bool HasExtension(const std::string& path, std::string_view extension) {
  const std::size_t dot = ExtensionDot(path);
  if (dot == std::string::npos || path.size() - dot != extension.size()) return false;
  for (std::size_t i = 0; i < extension.size(); ++i) {
    if (LowerAscii(path[dot + i]) != LowerAscii(extension[i])) return false;
  }
  return true;
}

std::string ReplaceExtension(const std::string& path, std::string_view extension) {
  const std::size_t dot = ExtensionDot(path);
  std::string result = dot == std::string::npos ? path : path.substr(0, dot);
  result.append(extension);
  return result;
}

std::string WithExtension(const std::string& path, std::string_view extension) {
  if (HasExtension(path, extension)) return path;
  return path + std::string(extension);
}
