// OziExplorer and CompeGPS track files, one per feature.
#include <cstddef>

#include "document/export_formats.h"

namespace {

constexpr double kFeetPerCentimetre = 0.03280839895013123;  // 1 / 30.48

void WriteDatumName(ExportText& out, ExportSource& source, int datumChoice) {
  if (datumChoice == 0) {
    out << "WGS 84";
  } else {
    out.Ansi(source.DatumName());
  }
  out << '\n';
}

}  // namespace

std::string FormatPlt(ExportSource& source, const FeatureRecord& feature, int datumChoice) {
  ExportText out;
  WritePlt(out, source, feature, datumChoice);
  return std::move(out.Bytes());
}

std::string FormatTrk(ExportSource& source, const FeatureRecord& feature, int datumChoice) {
  ExportText out;
  WriteTrk(out, source, feature, datumChoice);
  return std::move(out.Bytes());
}

void WritePlt(ExportText& out, ExportSource& source, const FeatureRecord& feature,
              int datumChoice) {
  out << "OziExplorer Track Point File Version 2.1\n";
  WriteDatumName(out, source, datumChoice);
  out << "Altitude is in Feet\nReserved 3\n";
  out << "0,2,";
  out.Int(feature.colour) << ',';
  out.Ansi(feature.name) << ",1," << (feature.type == FeatureType::Area ? "10," : "0,") << "6,";
  out.Int(feature.colour) << '\n';
  const ExportedPoints points(source, feature);
  if (points.Count() == 0) return;
  out.Expect(points.Count() * 48);
  out.Int(static_cast<long long>(points.Count())) << '\n';
  for (std::size_t i = 0; i < points.Count(); ++i) {
    const GeoPoint& p = points.Geographic(datumChoice, i);
    out.Fixed(p.y, 6) << ',';
    out.Fixed(p.x, 6) << (i == 0 ? ",1," : ",0,");
    out.Fixed(points.Record().altitudesCm[i] * kFeetPerCentimetre, 6) << ",,\n";
  }
}

void WriteTrk(ExportText& out, ExportSource& source, const FeatureRecord& feature,
              int datumChoice) {
  out << "G  ";
  WriteDatumName(out, source, datumChoice);
  out << "U  1\nC  ";
  out.Int(feature.colour & 0xFF) << ' ';
  out.Int((feature.colour >> 8) & 0xFF) << ' ';
  out.Int((feature.colour >> 16) & 0xFF) << " 4 -1.000000\n";
  out << "V  0.0 0.0 0 0 0 0 0.0 -1.0 0\n"
         "E 1|1|00-NUL-00 00:00:00|00:00:00|0|6\n"
         "D  ";
  out.Ansi(feature.name) << "\ni I00\n";
  const ExportedPoints points(source, feature);
  out.Expect(points.Count() * 120);
  for (std::size_t i = 0; i < points.Count(); ++i) {
    const GeoPoint& p = points.Geographic(datumChoice, i);
    // 0xBA is the ordinal sign of Windows-1252, which these files use as a degree sign.
    out << "T  A ";
    out.Fixed(p.y, 6) << "\xBAN ";
    out.Fixed(p.x, 6) << "\xBA" "E 00-NUL-00 00:00:00 s ";
    out.Fixed(points.AltitudeM(i), 6) << " 0.0 0.0 0.0 0 -1000.0 -1.0 -1 -1.0 -1.0\n";
  }
}

std::string TrackFileName(const std::string& chosenPath, int number, std::size_t count,
                          std::string_view extension) {
  const std::string path = WithExtension(chosenPath, extension);
  if (count <= 1) return path;
  ExportText suffix;
  suffix << '_';
  suffix.Int(number) << extension;
  return ReplaceExtension(path, suffix.Bytes());
}
