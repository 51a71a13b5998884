// A shapefile trio (.shp, .shx, .dbf) built from one input and imported as the document's
// open and the object list import it, and as the waypoint table imports points. Damage must
// be refused before shapelib reads it; what is imported must hold together.
#include <shapefil.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "dialogs/core/waypoint_import.h"
#include "document/export_shapefile.h"
#include "document/shapefile_check.h"
#include "tests/exports/export_test_support.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

namespace {

void Silent(const char*) {}

// Whether shapelib itself opens the table.
bool ShapelibOpensTable(const std::string& path) {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.Error = Silent;
  DBFHandle table = DBFOpenLL(path.c_str(), "rb", &hooks);
  if (table) DBFClose(table);
  return table != nullptr;
}

// A table whose header declares more records than its bytes hold.
bool RecordsCutShort(std::string_view dbf) {
  if (dbf.size() < 12) return false;
  auto byte = [&](std::size_t at) { return static_cast<std::uint64_t>(static_cast<unsigned char>(dbf[at])); };
  const std::uint64_t records =
      (byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24) & 0x7FFFFFFFu;
  return byte(8) + (byte(9) << 8) + records * (byte(10) + (byte(11) << 8)) > dbf.size();
}

}  // namespace

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
  // The table check reads the header as shapelib does: it passes nothing shapelib refuses, and
  // refuses of what shapelib opens only a table that declares more records than it holds. The
  // import says so whenever it leaves the table out.
  const bool tableSound = DbfFileIsSound(parts[2]);
  const bool opens = ShapelibOpensTable(base + ".dbf");
  Check(!tableSound || opens);
  Check(tableSound || !opens || RecordsCutShort(parts[2]));
  if (result.status == ShpImportStatus::Ok) Check(result.tableRefused == !tableSound);
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
