// DXF Release 12, ASCII: one group code or value per line.
#include <cstddef>
#include <cstdint>

#include "document/export_formats.h"

namespace {

// The group values of points as text, each number formatted once: a feature's geometry and its
// three label layers repeat the same easting, northing and altitude. Every value keeps the
// "\n" that ends its line.
class PointValues {
 public:
  explicit PointValues(bool flat = false) : flat_(flat) {}

  void Add(const OutputPoint& p) {
    Entry e;
    e.start = text_.Bytes().size();
    text_.Fixed(p.x, 3) << '\n';
    e.y = Offset(e.start);
    text_.Fixed(p.y, 3) << '\n';
    e.altitude = Offset(e.start);
    text_.Fixed(p.z, 2) << '\n';
    e.end = Offset(e.start);
    entries_.push_back(e);
  }
  void Assign(const std::vector<OutputPoint>& points) {
    text_.Bytes().clear();
    entries_.clear();
    entries_.reserve(points.size());
    text_.Expect(points.size() * 32);
    for (const OutputPoint& p : points) Add(p);
  }
  std::size_t Count() const { return entries_.size(); }

  std::string_view X(std::size_t i) const { return Piece(i, 0, entries_[i].y); }
  std::string_view Y(std::size_t i) const { return Piece(i, entries_[i].y, entries_[i].altitude); }
  // The altitude "%.2f": the label text of the HEIGHT layer.
  std::string_view Altitude(std::size_t i) const {
    return Piece(i, entries_[i].altitude, entries_[i].end);
  }
  // The altitude as the group 30 line gives it: "0.0" when written flat.
  std::string_view Z(std::size_t i) const { return flat_ ? "0.0\n" : Altitude(i); }

 private:
  // Offsets within a point's text; one number is at most a few hundred characters.
  struct Entry {
    std::size_t start = 0;
    std::uint16_t y = 0, altitude = 0, end = 0;
  };
  std::uint16_t Offset(std::size_t start) {
    return static_cast<std::uint16_t>(text_.Bytes().size() - start);
  }
  std::string_view Piece(std::size_t i, std::size_t from, std::size_t to) const {
    return std::string_view(text_.Bytes()).substr(entries_[i].start + from, to - from);
  }

  bool flat_;
  ExportText text_;
  std::vector<Entry> entries_;
};

struct Dxf {
  ExportText& out;

  // Group codes 10/20/30 (11/21/31 for the second point of a LINE) of point i.
  void Point(const PointValues& v, std::size_t i, bool second = false) {
    out << (second ? "11\n" : "10\n") << v.X(i) << (second ? "21\n" : "20\n") << v.Y(i)
        << (second ? "31\n" : "30\n") << v.Z(i);
  }
  // A TEXT entity at point i; `writeText` writes the text itself.
  void Text(std::string_view layer, const PointValues& v, std::size_t i, std::string_view height,
            auto&& writeText) {
    out << "0\nTEXT\n8\n" << layer << '\n';
    Point(v, i);
    out << "40\n" << height << "\n1\n";
    writeText();
  }
  void Labels(std::string_view layer, const PointValues& v, std::string_view height,
              auto&& writeText) {
    for (std::size_t i = 0; i < v.Count(); ++i) Text(layer, v, i, height, [&] { writeText(i); });
  }
};

}  // namespace

std::string FormatDxf(ExportSource& source, int datumChoice, int zone, bool flat) {
  ExportText out;
  WriteDxf(out, source, datumChoice, zone, flat);
  return std::move(out.Bytes());
}

void WriteDxf(ExportText& out, ExportSource& source, int datumChoice, int zone, bool flat) {
  Dxf dxf{out};
  out << "999\nDXF Release 12 created from Tolvanix PDA\n";
  for (std::string_view section : {"HEADER", "TABLES", "BLOCKS"}) {
    out << "0\nSECTION\n2\n" << section << "\n0\nENDSEC\n";
  }
  out << "0\nSECTION\n2\nENTITIES\n";

  ZoneOnce zoneOnce(source, datumChoice, zone);
  // Output coordinates of every vertex of every feature but circles, for the geometry and
  // again for the labels (both in the zone set at the first geometry point).
  const auto& features = source.Features();
  std::vector<PointValues> values(features.size(), PointValues(flat));
  std::vector<OutputPoint> points;
  auto vertexValues = [&](std::size_t k) -> const PointValues& {
    if (values[k].Count() != features[k].VertexCount()) {
      source.VertexOutputs(datumChoice, features[k], points);
      values[k].Assign(points);
    }
    return values[k];
  };

  for (std::size_t k = 0; k < features.size(); ++k) {
    const FeatureRecord& f = features[k];
    const std::size_t n = f.VertexCount();
    if (n == 0) continue;
    if (f.type == FeatureType::Line) {
      if (n < 2) continue;  // no LINE: the zone waits for the first point actually written
      zoneOnce.Before(f.wgs84Vertices[0].y);
      const PointValues& v = vertexValues(k);
      out.Expect(n * 100);
      for (std::size_t i = 1; i < n; ++i) {
        out << "0\nLINE\n8\n0\n";
        dxf.Point(v, i - 1);
        dxf.Point(v, i, true);
      }
    } else if (f.type == FeatureType::Area) {
      zoneOnce.Before(f.wgs84Vertices[0].y);
      const PointValues& v = vertexValues(k);
      out.Expect(n * 60);
      out << "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n70\n" << (flat ? "1\n" : "8\n")
          << "0\n";
      for (std::size_t i = 0; i < n; ++i) {
        out << "VERTEX\n8\n0\n";
        dxf.Point(v, i);
        out << (flat ? "0\n" : "70\n32\n0\n");
      }
      out << "SEQEND\n8\n0\n";
    } else if (IsCircleType(f.type)) {
      zoneOnce.Before(f.wgs84Vertices[0].y);
      const double radius = source.CircleOutline(f, nullptr);
      OutputPoint centre;
      source.VertexOutput(datumChoice, f, 0, centre.x, centre.y, centre.z);
      PointValues v(flat);
      v.Add(centre);
      out << "0\nCIRCLE\n8\n0\n";
      dxf.Point(v, 0);
      out << "40\n";
      out.Fixed(radius, 3) << '\n';
    }
  }

  const auto& waypoints = source.Waypoints();
  PointValues waypointValues(flat);
  for (const WaypointRecord& w : waypoints) {
    zoneOnce.Before(w.y);
    OutputPoint p;
    source.WaypointOutput(datumChoice, w, p.x, p.y, p.z);
    waypointValues.Add(p);
    out << "0\nPOINT\n8\n0\n";
    dxf.Point(waypointValues, waypointValues.Count() - 1);
  }

  for (std::size_t k = 0; k < features.size(); ++k) {
    const FeatureRecord& f = features[k];
    if (IsCircleType(f.type)) continue;
    const PointValues& v = vertexValues(k);
    out.Expect(v.Count() * 200);
    dxf.Labels("HEIGHT", v, "0.5", [&](std::size_t i) { out << v.Altitude(i); });
    dxf.Labels("NOTES", v, "0.5", [&](std::size_t i) { out.Ansi(f.vertexNotes[i]) << '\n'; });
    dxf.Labels("NUMBERS", v, "0.3",
               [&](std::size_t i) { out.Int(static_cast<long long>(i) + 1) << '\n'; });
  }
  dxf.Labels("WPT_NAME", waypointValues, "0.3",
             [&](std::size_t k) { out.Ansi(waypoints[k].name) << '\n'; });
  out << "0\nENDSEC\n0\nEOF\n";
}
