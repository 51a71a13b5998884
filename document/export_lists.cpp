// Geographic and UTM point lists.
#include <cstddef>

#include "document/export_formats.h"

namespace {

void WriteDatumLine(ExportText& out, ExportSource& source, int datumChoice) {
  out << "Datum,";
  if (datumChoice == 0) {
    out << "WGS 84";
  } else {
    out.Ansi(source.DatumName());
  }
  out << '\n';
}

void WriteStampTexts(ExportText& out, const WaypointRecord& w) {
  out.Ansi(w.FormatDate()) << ',';
  out.Ansi(w.FormatTime()) << '\n';
}

}  // namespace

std::string FormatGeographicList(ExportSource& source, int datumChoice) {
  ExportText out;
  WriteGeographicList(out, source, datumChoice);
  return std::move(out.Bytes());
}

std::string FormatUtmList(ExportSource& source, int datumChoice, int zone) {
  ExportText out;
  WriteUtmList(out, source, datumChoice, zone);
  return std::move(out.Bytes());
}

void WriteGeographicList(ExportText& out, ExportSource& source, int datumChoice) {
  WriteDatumLine(out, source, datumChoice);
  for (const FeatureRecord& feature : source.Features()) {
    const ExportedPoints points(source, feature);
    out.Expect(points.Count() * 32);
    out.Ansi(feature.name) << '\n';
    for (std::size_t i = 0; i < points.Count(); ++i) {
      const GeoPoint& p = points.Geographic(datumChoice, i);
      out << "WP,D,";
      out.Int(static_cast<long long>(i) + 1) << ',';
      out.Fixed(p.y, 6) << ',';
      out.Fixed(p.x, 6) << '\n';
    }
  }
  const auto& waypoints = source.Waypoints();
  if (!waypoints.empty()) out << "WPT List\n";
  for (const WaypointRecord& w : waypoints) {
    double x = w.x;
    double y = w.y;
    if (datumChoice == 0 && source.DatumIndex() > 0) source.WorkingToWgs84(x, y);
    out << "WP,D,";
    out.Ansi(w.name) << ',';
    out.Fixed(y, 6) << ',';
    out.Fixed(x, 6) << ',';
    WriteStampTexts(out, w);
  }
}

void WriteUtmList(ExportText& out, ExportSource& source, int datumChoice, int zone) {
  WriteDatumLine(out, source, datumChoice);
  ZoneOnce zoneOnce(source, datumChoice, zone);
  std::vector<OutputPoint> outputs;
  for (const FeatureRecord& feature : source.Features()) {
    const ExportedPoints points(source, feature);
    if (points.Count() == 0) continue;
    out.Expect(points.Count() * 36);
    out.Ansi(feature.name) << '\n';
    zoneOnce.Before(points.Record().wgs84Vertices[0].y);
    source.VertexOutputs(datumChoice, points.Record(), outputs);
    for (const OutputPoint& p : outputs) {
      out.Fixed(p.x, 2) << ',';
      out.Fixed(p.y, 2) << ',';
      out.Fixed(p.z, 2) << '\n';
    }
  }
  const auto& waypoints = source.Waypoints();
  if (!waypoints.empty()) out << "WPT List\n";
  zoneOnce.Reset();
  for (const WaypointRecord& w : waypoints) {
    zoneOnce.Before(w.y);
    double x = 0, y = 0, z = 0;
    source.WaypointOutput(datumChoice, w, x, y, z);
    out.Fixed(x, 2) << ',';
    out.Fixed(y, 2) << ',';
    out.Fixed(z, 2) << ',';
    out.Ansi(w.name) << ',';
    WriteStampTexts(out, w);
  }
}
