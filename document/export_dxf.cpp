// DXF Release 12, ASCII: one group code or value per line.
#include <cstddef>

#include "document/export_formats.h"

namespace {

struct Dxf {
  ExportText& out;
  bool flat;

  Dxf& Line(std::string_view text) {
    out << text << '\n';
    return *this;
  }
  Dxf& Number(double value, int decimals) {
    out.Fixed(value, decimals) << '\n';
    return *this;
  }
  // Group codes 10/20/30 (or 11/21/31 with offset 1) of a point in metres.
  void Point(double x, double y, double altitudeM, int offset = 0) {
    static constexpr std::string_view kCodes[2][3] = {{"10", "20", "30"}, {"11", "21", "31"}};
    Line(kCodes[offset][0]).Number(x, 3);
    Line(kCodes[offset][1]).Number(y, 3);
    Line(kCodes[offset][2]);
    Altitude(altitudeM);
  }
  void Altitude(double altitudeM) {
    if (flat) {
      Line("0.0");
    } else {
      Number(altitudeM, 2);
    }
  }
  void Text(std::string_view layer, double x, double y, double altitudeM,
            std::string_view height, auto&& writeText) {
    Line("0").Line("TEXT").Line("8").Line(layer);
    Point(x, y, altitudeM);
    Line("40").Line(height).Line("1");
    writeText();
    out << '\n';
  }
};

struct OutputPoint {
  double x = 0, y = 0, z = 0;
};

}  // namespace

std::string FormatDxf(ExportSource& source, int datumChoice, int zone, bool flat) {
  ExportText out;
  Dxf dxf{out, flat};
  dxf.Line("999").Line("DXF Release 12 created from Tolvanix PDA");
  for (std::string_view section : {"HEADER", "TABLES", "BLOCKS"}) {
    dxf.Line("0").Line("SECTION").Line("2").Line(section).Line("0").Line("ENDSEC");
  }
  dxf.Line("0").Line("SECTION").Line("2").Line("ENTITIES");

  ZoneOnce zoneOnce(source, datumChoice, zone);
  auto output = [&](const FeatureRecord& f, std::size_t i) {
    OutputPoint p;
    source.VertexOutput(datumChoice, f, i, p.x, p.y, p.z);
    return p;
  };

  // Output coordinates of every vertex of every feature but circles, for the geometry and
  // again for the labels (both in the zone set at the first geometry point).
  const auto& features = source.Features();
  std::vector<std::vector<OutputPoint>> outputs(features.size());
  auto vertexOutputs = [&](std::size_t k) -> const std::vector<OutputPoint>& {
    std::vector<OutputPoint>& points = outputs[k];
    if (points.size() != features[k].VertexCount()) {
      points.clear();
      for (std::size_t i = 0; i < features[k].VertexCount(); ++i) points.push_back(output(features[k], i));
    }
    return points;
  };

  for (std::size_t k = 0; k < features.size(); ++k) {
    const FeatureRecord& f = features[k];
    const std::size_t n = f.VertexCount();
    if (n == 0) continue;
    if (f.type == FeatureType::Line) {
      out.Expect(n * 100);
      zoneOnce.Before(f.wgs84Vertices[0].y);
      const std::vector<OutputPoint>& points = vertexOutputs(k);
      OutputPoint previous = points[0];
      for (std::size_t i = 1; i < n; ++i) {
        const OutputPoint& p = points[i];
        dxf.Line("0").Line("LINE").Line("8").Line("0");
        dxf.Point(previous.x, previous.y, previous.z);
        dxf.Point(p.x, p.y, p.z, 1);
        previous = p;
      }
    } else if (f.type == FeatureType::Area) {
      out.Expect(n * 60);
      zoneOnce.Before(f.wgs84Vertices[0].y);
      dxf.Line("0").Line("POLYLINE").Line("8").Line("0").Line("66").Line("1");
      dxf.Line("10").Line("0").Line("20").Line("0").Line("30").Line("0");
      dxf.Line("70").Line(flat ? "1" : "8").Line("0");
      const std::vector<OutputPoint>& points = vertexOutputs(k);
      for (std::size_t i = 0; i < n; ++i) {
        const OutputPoint& p = points[i];
        dxf.Line("VERTEX").Line("8").Line("0");
        dxf.Point(p.x, p.y, p.z);
        if (!flat) dxf.Line("70").Line("32");
        dxf.Line("0");
      }
      dxf.Line("SEQEND").Line("8").Line("0");
    } else if (IsCircleType(f.type)) {
      zoneOnce.Before(f.wgs84Vertices[0].y);
      const double radius = source.CircleOutline(f, nullptr);
      const OutputPoint centre = output(f, 0);
      dxf.Line("0").Line("CIRCLE").Line("8").Line("0");
      dxf.Point(centre.x, centre.y, centre.z);
      dxf.Line("40").Number(radius, 3);
    }
  }

  const auto& waypoints = source.Waypoints();
  std::vector<OutputPoint> waypointPoints;
  waypointPoints.reserve(waypoints.size());
  for (const WaypointRecord& w : waypoints) {
    zoneOnce.Before(w.y);
    OutputPoint p;
    source.WaypointOutput(datumChoice, w, p.x, p.y, p.z);
    waypointPoints.push_back(p);
    dxf.Line("0").Line("POINT").Line("8").Line("0");
    dxf.Point(p.x, p.y, p.z);
  }

  for (std::size_t k = 0; k < features.size(); ++k) {
    const FeatureRecord& f = features[k];
    if (IsCircleType(f.type)) continue;
    const std::size_t n = f.VertexCount();
    out.Expect(n * 200);
    const std::vector<OutputPoint>& labelPoints = vertexOutputs(k);
    for (std::size_t i = 0; i < n; ++i) {
      const OutputPoint& p = labelPoints[i];
      dxf.Text("HEIGHT", p.x, p.y, p.z, "0.5", [&] { out.Fixed(p.z, 2); });
    }
    for (std::size_t i = 0; i < n; ++i) {
      const OutputPoint& p = labelPoints[i];
      dxf.Text("NOTES", p.x, p.y, p.z, "0.5", [&] { out.Ansi(f.vertexNotes[i]); });
    }
    for (std::size_t i = 0; i < n; ++i) {
      const OutputPoint& p = labelPoints[i];
      dxf.Text("NUMBERS", p.x, p.y, p.z, "0.3", [&] { out.Int(static_cast<long long>(i) + 1); });
    }
  }
  for (std::size_t k = 0; k < waypoints.size(); ++k) {
    const OutputPoint& p = waypointPoints[k];
    dxf.Text("WPT_NAME", p.x, p.y, p.z, "0.3", [&] { out.Ansi(waypoints[k].name); });
  }
  dxf.Line("0").Line("ENDSEC").Line("0").Line("EOF");
  return std::move(out.Bytes());
}
