// A shapefile trio (.shp, .shx, .dbf) built from one input and imported as the document's
// open and the object list import it, and as the waypoint table imports points. Damage must
// be refused before shapelib reads it; what is imported must hold together.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dialogs/core/waypoint_import.h"
#include "document/export_shapefile.h"
#include "document/shapefile_check.h"
#include "tests/exports/export_test_support.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::Split(data, size, 3);
  const std::string base = fuzz::Folder() + "/import";
  fuzz::WriteFile(base + ".shp", parts[0]);
  fuzz::WriteFile(base + ".shx", parts[1]);
  fuzz::WriteFile(base + ".dbf", parts[2]);
  const bool sound = ShapeFilesAreSound(parts[0], parts[1]);

  exports_test::FakeSource source;
  ShpImportSettings settings;
  settings.coordMode = size % 2;
  settings.datumChoice = (size / 2) % 2;
  const std::size_t pick = size > 0 ? data[size - 1] : 0;
  int asked = 0;
  const ShpImportResult result = ImportShapefile(
      base + ".shp", settings, source,
      [&](const std::vector<DbfTextField>& fields) {
        ++asked;
        Check(!fields.empty());
        return static_cast<int>(pick % (fields.size() + 1)) - 1;
      },
      "Sin nombre");
  if (!sound) Check(result.status == ShpImportStatus::OpenFailed);
  if (result.status != ShpImportStatus::Ok) {
    Check(result.features.empty() && asked == 0);
  } else {
    Check(result.features.size() <= static_cast<std::size_t>(result.shapeCount));
    for (const FeatureRecord& f : result.features) {
      Check(!f.name.empty());
      Check(f.vertices.size() == f.wgs84Vertices.size());
      Check(f.altitudesCm.size() == f.wgs84Vertices.size());
    }
  }

  const PointImportResult points = ReadShapefilePoints(base + ".shp");
  if (!sound) Check(points.status == PointImportStatus::OpenFailed);
  if (points.status != PointImportStatus::Ok) Check(points.points.empty());
  return 0;
}
