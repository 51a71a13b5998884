// ESRI Shapefile exchange through shapelib: vertices as POINT shapes, features as ARC or
// POLYGON shapes, waypoints as POINT shapes, each with its DBF attribute table; and the import
// of ARC/POLYGON (with or without Z) shapes as features.
//
// Writers create the .shp, .shx and .dbf under temporary names beside the target and rename
// all three only when everything was written, so a failed export leaves any earlier files in
// place; a name that is a symbolic link is kept, and the file it leads to replaced. Attribute
// texts are Windows-1252 (the table declares that code page), cut to their field width.
//
// Coordinates: coordMode 0 writes geographic degrees (longitude x, latitude y) of WGS84
// (datumChoice 0) or the working datum; above 0 the output coordinates of ExportSource (UTM
// metres of `zone`, set at the first point). Altitudes are metres.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "document/export_source.h"

// Shapelib's shape type codes used here.
inline constexpr int kShpPoint = 1;
inline constexpr int kShpArc = 3;
inline constexpr int kShpPolygon = 5;
inline constexpr int kShpArcZ = 13;
inline constexpr int kShpPolygonZ = 15;

// The export kinds of the Shapefile export dialog.
inline constexpr int kShpKindPoints = 1;
inline constexpr int kShpKindAreas = 2;  // any other value: lines

struct ShpWriteResult {
  bool ok = false;
  std::string message;  // what to show when !ok (English, as the writers report it)
};

// The files an export to `path` writes: the .shp (the path itself, ".shp" added when it has
// another extension), the .shx and the .dbf beside it.
std::vector<std::string> ShapefileFiles(const std::string& path);

// Shape type of the feature shapes: POLYGON, or with exactly one feature the type that feature
// maps to (a line or a circle's line form ARC, anything else POLYGON).
int ShapeTypeForFeatures(const std::vector<FeatureRecord>& features);

// Every point of every feature (a circle's outline points) as a POINT with NUMBER (from 1
// within its feature) and X, Y, Z.
ShpWriteResult ExportShpPoints(const std::string& path, ExportSource& source, int datumChoice,
                               int coordMode, int zone);
// One shape of `shapeType` (ARC or POLYGON) per feature with points, NAME attribute; with
// closeRings each shape repeats its first point at the end.
ShpWriteResult ExportShpShapes(const std::string& path, ExportSource& source, int shapeType,
                               int datumChoice, int coordMode, int zone, bool closeRings);
// The waypoints as POINT shapes with NUMBER, NAME, PROBENUMME, X, Y, Z, DATE and TIME.
ShpWriteResult ExportWaypointsShp(const std::string& path, ExportSource& source,
                                  const std::vector<WaypointRecord>& waypoints, int datumChoice,
                                  int coordMode, int zone);

struct ShpImportSettings {
  int datumChoice = 0;  // 0: the file is in WGS84, else in the working datum
  int coordMode = 0;    // 0 geographic degrees, above 0 UTM
  int zone = 1;
  bool north = true;
};

// What the user is told of a Shapefile that cannot be read (missing, damaged, not a
// Shapefile): string 59162 ("Error: Unknown file") and the path on the next line.
std::string UnreadableShapefileText(const std::string& path);

// Conversion mode of an import: 0 WGS84 geographic, 1 WGS84 UTM, 2 working datum geographic,
// 3 working datum UTM.
int ShpImportMode(int datumChoice, int coordMode);

enum class ShpImportStatus { Ok, OpenFailed, UnsupportedType };

struct ShpImportResult {
  ShpImportStatus status = ShpImportStatus::OpenFailed;
  int shapeType = 0;
  int shapeCount = 0;                  // shapes the file declares
  std::vector<FeatureRecord> features;  // one per readable shape, locked, in file order
  // Points left out for naming no place (document/geo_position.h); a shape left without
  // points is left out with them.
  std::size_t positionsLeftOut = 0;
  // A .dbf is there but damaged or unreadable: it was left unread and the shapes are unnamed.
  bool tableRefused = false;
};

// The text fields of a DBF (names converted to UTF-8) with their field indices.
struct DbfTextField {
  std::string name;
  int index = 0;
};
// Chooses the field that names the features: the position in the list, or -1 for none.
using DbfFieldChooser = std::function<int(const std::vector<DbfTextField>& fields)>;

// Reads the shapes of `path` (the .dbf beside it, when there is one, names them through the
// chooser; without a name the feature gets `unnamed`; a damaged table is not read and
// tableRefused says so). Vertices of all parts follow each other;
// altitudes are z x 100 cm truncated toward zero. The chooser is asked only when the table has
// text fields; it is not asked when the file cannot be opened or holds another shape type.
ShpImportResult ImportShapefile(const std::string& path, const ShpImportSettings& settings,
                                ExportSource& conversions, const DbfFieldChooser& chooser,
                                const std::string& unnamed);
