// The document's export commands and the Shapefile import: they ask the export settings and a
// file name, read the document through DocExportSource and write what document/export_*.cpp
// format. Every export holds m_holdPosition for its whole run (fixes are dropped meanwhile).
#include <functional>
#include <memory>
#include <optional>

#include "app/strings.h"
#include "coords/utm.h"
#include "document/export_file.h"
#include "document/export_formats.h"
#include "document/export_prompts.h"
#include "document/export_shapefile.h"
#include "document/geo_position.h"
#include "document/tolvanix_doc.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringExportGeographic = 59164;
constexpr UINT kStringCannotCreate = 59165;
constexpr UINT kStringExportUtm = 59166;
constexpr UINT kStringUnnamed = 59167;
constexpr UINT kStringExportDxf = 59169;
constexpr UINT kStringExportShp = 59222;
constexpr UINT kStringExportPoints = 59332;  // "Points", the waypoint export's one kind
constexpr UINT kStringExportPlt = 59246;
constexpr UINT kStringExportTrk = 59247;
constexpr double kDegree = 0.017453292519943295;

// The user-interface thread's view of the document for the writers and the reader.
class DocExportSource : public ExportSource, public OutlineProjection {
 public:
  explicit DocExportSource(CTolvanixDoc& doc) : doc_(doc) {}

  const std::vector<FeatureRecord>& Features() const override { return doc_.m_features; }
  const std::vector<WaypointRecord>& Waypoints() const override { return doc_.m_waypoints; }
  std::string DatumName() const override { return doc_.m_datumName; }
  int DatumIndex() const override { return doc_.m_datum.index; }
  int CoordMode() const override { return doc_.m_coord; }

  // Datum choice 0 writes through the second (WGS84 ellipsoid) transformation, any other
  // through the measuring one.
  void SetUtmZone(int zone, bool north, int datumChoice) override {
    doc_.SetUtmZone(zone, north, datumChoice == 0 ? 1 : 0);
  }
  bool VertexOutput(int datumChoice, const FeatureRecord& record, std::size_t vertex, double& x,
                    double& y, double& altitudeM) override {
    return doc_.GetRecordVertexOutputCoords(datumChoice, record, static_cast<int>(vertex), x, y,
                                            altitudeM);
  }
  // As GetRecordVertexOutputCoords for every vertex, in one call of the transformation: a
  // point it cannot convert keeps its WGS84 degrees.
  void VertexOutputs(int datumChoice, const FeatureRecord& record,
                     std::vector<OutputPoint>& points) override {
    const std::size_t n = record.VertexCount();
    std::vector<double> xs(n), ys(n);
    std::vector<int> converted(n);
    for (std::size_t i = 0; i < n; ++i) {
      xs[i] = record.wgs84Vertices[i].x;
      ys[i] = record.wgs84Vertices[i].y;
    }
    doc_.m_transforms.Transform(datumChoice > 0 ? TransformId::Utm : TransformId::WgsToMap2, xs,
                                ys, converted);
    points.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      const GeoPoint& wgs84 = record.wgs84Vertices[i];
      points[i] = converted[i] ? OutputPoint{xs[i], ys[i], 0.0} : OutputPoint{wgs84.x, wgs84.y, 0.0};
      points[i].z = record.altitudesCm[i] * 0.01;
    }
  }
  bool WaypointOutput(int datumChoice, const WaypointRecord& w, double& x, double& y,
                      double& altitudeM) override {
    // The waypoint may be a copy (the waypoint table's): project it as a one-vertex record.
    FeatureRecord point(FeatureType::Line, {});
    double lon = w.x, lat = w.y;
    doc_.TransformOutput2(lon, lat);
    point.AddVertex({lon, lat}, {w.x, w.y}, w.altitudeCm);
    return doc_.GetRecordVertexOutputCoords(datumChoice, point, 0, x, y, altitudeM);
  }
  bool WorkingToWgs84(double& x, double& y) override {
    doc_.TransformOutput2(x, y);
    return true;
  }
  bool Wgs84ToWorking(double& x, double& y) override {
    doc_.TransformOutput(x, y);
    return true;
  }
  bool UtmToWgs84(int datumChoice, int zone, bool north, double& x, double& y) override {
    return doc_.ProjectedToWgs84(datumChoice, zone, north, x, y);
  }
  double CircleOutline(const FeatureRecord& circle, FeatureRecord* out) override {
    if (!out) return CircleRadius(circle, *this);
    AppendCircleOutline(circle, *this, *out);
    return 0.0;
  }

  // OutlineProjection. The radius is measured on the working datum's ellipsoid in the zone
  // of the circle's westernmost corner with a UTM of the program's own, so that the output
  // transformations keep the zone the export set; the outline is laid out in the display
  // projection (the working zone) and brought back through its inverse.
  bool MeasurePlane(int zone, const GeoPoint& working, GeoPoint& plane) override {
    if (doc_.m_coord == 2) {
      double x = working.x, y = working.y;
      doc_.TransformOutput2(x, y);
      if (!doc_.m_transforms.Transform(TransformId::Utm, x, y)) return false;
      plane = {x, y};
      return true;
    }
    UtmConverter utm;
    const DatumRecord& d = doc_.m_datum;
    if (utm.SetParameters(d.a, (d.a - d.b) / d.a, zone) != 0 &&
        utm.SetParameters(6378137.0, 1 / 298.257223563, zone) != 0) {
      return false;
    }
    int gotZone = 0, hemisphere = 0;
    const int err = utm.GeodeticToUtm(working.y * kDegree, working.x * kDegree, gotZone,
                                      hemisphere, plane.x, plane.y);
    // Always the northern form, as the area worker measures.
    if (hemisphere == kUtmHemisphereSouth) plane.y -= 10000000.0;
    return (err & ~(kUtmEastingError | kUtmNorthingError)) == 0;
  }
  bool ToOutlinePlane(const GeoPoint& wgs84, GeoPoint& plane) override {
    plane = wgs84;
    return doc_.m_transforms.Transform(TransformId::Display, plane.x, plane.y);
  }
  bool FromOutlinePlane(const GeoPoint& plane, GeoPoint& wgs84) override {
    wgs84 = plane;
    return doc_.m_transforms.Transform(TransformId::UtmToWgs, wgs84.x, wgs84.y);
  }
  bool Wgs84ToWorking(const GeoPoint& wgs84, GeoPoint& working) override {
    working = wgs84;
    doc_.TransformOutput(working.x, working.y);
    return true;
  }

 private:
  CTolvanixDoc& doc_;
};

// The chosen path, or empty when cancelled. `filter` pairs description and pattern; the
// dialog gives the name with `extension` and asks before it replaces any of `filesWritten`
// (empty: the chosen file alone).
std::string AskSavePath(const std::string& filter, const char* extension, UINT titleId,
                        std::function<std::vector<std::string>(const std::string&)> filesWritten = {}) {
  platform::FileDialogRequest request;
  request.open = false;
  request.filter = filter;
  request.defaultExtension = extension;
  if (titleId != 0) request.title = LoadResString(titleId);
  request.filesWritten = std::move(filesWritten);
  return platform::ShowFileDialog(request);
}

int ProposedZone(CTolvanixDoc& doc, bool waypointFallback) {
  int zone = doc.m_zone < 1 ? 1 : doc.m_zone.load();
  const FeatureRecord* current = doc.CurrentFeature();
  if (current && current->VertexCount() > 0) {
    CTolvanixDoc::UtmZoneFromLongitude(current->wgs84Vertices[0].x, zone);
  } else if (waypointFallback && !doc.m_waypoints.empty()) {
    CTolvanixDoc::UtmZoneFromLongitude(doc.m_waypoints[0].x, zone);
  }
  return zone;
}

bool AskZoneDatum(CTolvanixDoc& doc, int zone, int mode, ZoneDatumAnswer& answer) {
  ExportPrompts* prompts = GetExportPrompts();
  ZoneDatumQuestion q;
  q.datumName = doc.m_datumName;
  q.datumIndex = doc.m_datum.index;
  q.zone = zone;
  q.mode = mode;
  return prompts && prompts->AskZoneDatum(q, answer);
}

CoordSystemQuestion CoordQuestion(CTolvanixDoc& doc, int zone) {
  CoordSystemQuestion q;
  q.datumName = doc.m_datumName;
  q.datumIndex = doc.m_datum.index;
  q.projectionText = doc.m_projectionName;
  q.zone = zone;
  q.mode = doc.m_coord;
  return q;
}

void Tell(CTolvanixDoc& doc, const std::string& text, UINT style = MB_OK | MB_ICONEXCLAMATION) {
  MessageBox(doc.m_hwndView, text, kCaption, style);
}

// Writes one file of an 8-bit or UTF-8 text format as `write` produces it into an ExportText,
// streamed to the file as it grows; a failure says so.
template <class Write>
bool StreamExport(CTolvanixDoc& doc, const std::string& path, Write&& write) {
  bool written;
  {
    const platform::WaitCursor wait;
    ExportFile file(path);
    written = file.Open();
    if (written) {
      ExportText out = file.Text();
      write(out);
      out.Finish();
      written = file.Commit();
    }
  }
  if (!written) Tell(doc, LoadResString(kStringCannotCreate));
  return written;
}

}  // namespace

void CTolvanixDoc::OnExportGeographicTxt() {
  HoldPosition hold(*this);
  ZoneDatumAnswer answer;
  if (!AskZoneDatum(*this, m_zone < 1 ? 1 : m_zone.load(), 2, answer)) return;
  const std::string path = AskSavePath("(*.txt)|*.txt||", "txt", kStringExportGeographic);
  if (path.empty()) return;
  DocExportSource source(*this);
  StreamExport(*this, path,
               [&](ExportText& out) { WriteGeographicList(out, source, answer.datumChoice); });
}

void CTolvanixDoc::OnExportUtmTxt() {
  HoldPosition hold(*this);
  ZoneDatumAnswer answer;
  if (!AskZoneDatum(*this, ProposedZone(*this, false), m_coord, answer)) return;
  const std::string path = AskSavePath("(*.txt)|*.txt||", "txt", kStringExportUtm);
  if (path.empty()) return;
  DocExportSource source(*this);
  StreamExport(*this, path, [&](ExportText& out) {
    WriteUtmList(out, source, answer.datumChoice, answer.zone);
  });
}

void CTolvanixDoc::OnExportKml() {
  HoldPosition hold(*this);
  const std::string path = AskSavePath("KML Google Earth (*.kml)|*.kml||", "kml", 0);
  if (path.empty()) return;
  DocExportSource source(*this);
  StreamExport(*this, path, [&](ExportText& out) { WriteKml(out, source, path); });
}

void CTolvanixDoc::OnExportDxf() {
  HoldPosition hold(*this);
  ExportPrompts* prompts = GetExportPrompts();
  DxfQuestion q;
  q.datumName = m_datumName;
  q.datumIndex = m_datum.index;
  q.zone = ProposedZone(*this, true);
  q.mode = m_coord;
  DxfAnswer answer;
  if (!prompts || !prompts->AskDxf(q, answer)) return;
  const std::string path = AskSavePath("(*.dxf)|*.dxf||", "dxf", kStringExportDxf);
  if (path.empty()) return;
  DocExportSource source(*this);
  StreamExport(*this, path, [&](ExportText& out) {
    WriteDxf(out, source, answer.datumChoice, answer.zone, answer.flat != 0);
  });
}

void CTolvanixDoc::OnExportShp() {
  HoldPosition hold(*this);
  ExportPrompts* prompts = GetExportPrompts();
  CoordSystemQuestion q = CoordQuestion(*this, m_zone < 1 ? 1 : m_zone.load());
  q.hideHemisphere = true;
  CoordSystemAnswer answer;
  if (!prompts || !prompts->AskCoordSystem(q, answer)) return;
  const std::string path =
      AskSavePath("ESRI Shapefile (*.shp)|*.shp||", "shp", kStringExportShp, &ShapefileFiles);
  if (path.empty()) return;
  if (answer.kind == kShpKindPoints) {
    ExportShpPoints(path, kShpPoint, answer.datumChoice, answer.coordKind, answer.zone);
  } else {
    ExportShpShapes(path, ShapeTypeForFeatures(m_features), answer.datumChoice, answer.coordKind,
                    answer.zone, answer.kind == kShpKindAreas);
  }
}

bool CTolvanixDoc::ExportShpPoints(const std::string& path, int shapeType, int datumChoice,
                                   int coordMode, int zone) {
  DocExportSource source(*this);
  std::optional<platform::WaitCursor> wait(std::in_place);
  const ShpWriteResult result = ::ExportShpPoints(path, source, datumChoice, coordMode, zone);
  wait.reset();
  if (!result.ok) Tell(*this, result.message);
  return result.ok;
}

bool CTolvanixDoc::ExportShpShapes(const std::string& path, int shapeType, int datumChoice,
                                   int coordMode, int zone, bool closeRings) {
  DocExportSource source(*this);
  std::optional<platform::WaitCursor> wait(std::in_place);
  const ShpWriteResult result =
      ::ExportShpShapes(path, source, shapeType, datumChoice, coordMode, zone, closeRings);
  wait.reset();
  if (!result.ok) Tell(*this, result.message);
  return result.ok;
}

bool CTolvanixDoc::ExportWaypointsShp(const std::vector<WaypointRecord>& waypoints) {
  HoldPosition hold(*this);
  ExportPrompts* prompts = GetExportPrompts();
  CoordSystemQuestion q = CoordQuestion(*this, m_zone < 1 ? 1 : m_zone.load());
  q.hideHemisphere = true;
  // The waypoints are written as points only: the kind row offers nothing else.
  q.kindItems = {LoadResString(kStringExportPoints)};
  q.lockKindCombo = true;
  CoordSystemAnswer answer;
  if (!prompts || !prompts->AskCoordSystem(q, answer)) return false;
  const std::string path =
      AskSavePath("ESRI Shapefile POINT (*.shp)|*.shp||", "shp", kStringExportShp, &ShapefileFiles);
  if (path.empty()) return false;
  DocExportSource source(*this);
  std::optional<platform::WaitCursor> wait(std::in_place);
  const ShpWriteResult result = ::ExportWaypointsShp(path, source, waypoints, answer.datumChoice,
                                                     answer.coordKind, answer.zone);
  wait.reset();
  if (!result.ok) Tell(*this, result.message);
  return result.ok;
}

void CTolvanixDoc::ExportTracks(bool plt) {
  HoldPosition hold(*this);
  ZoneDatumAnswer answer;
  if (!AskZoneDatum(*this, 1, 2, answer)) return;
  const char* extension = plt ? "plt" : "trk";
  const std::string dotted = std::string(".") + extension;
  const std::size_t count = m_features.size();
  // Several features go to numbered files, not to the chosen one.
  auto files = [count, dotted](const std::string& chosen) {
    std::vector<std::string> names;
    for (std::size_t k = 1; k <= count; ++k) {
      names.push_back(TrackFileName(chosen, static_cast<int>(k), count, dotted));
    }
    return names;
  };
  const std::string path =
      plt ? AskSavePath("OziExplorer Track (*.plt)|*.plt||", extension, kStringExportPlt, files)
          : AskSavePath("CompeGPS Track (*.trk)|*.trk||", extension, kStringExportTrk, files);
  if (path.empty()) return;
  DocExportSource source(*this);
  for (std::size_t k = 0; k < count; ++k) {
    const FeatureRecord& feature = m_features[k];
    const std::string name = TrackFileName(path, static_cast<int>(k + 1), count, dotted);
    const bool written = StreamExport(*this, name, [&](ExportText& out) {
      if (plt) {
        WritePlt(out, source, feature, answer.datumChoice);
      } else {
        WriteTrk(out, source, feature, answer.datumChoice);
      }
    });
    if (!written) return;  // the files already written stay
  }
}

void CTolvanixDoc::OnExportPlt() { ExportTracks(true); }
void CTolvanixDoc::OnExportTrk() { ExportTracks(false); }

double CTolvanixDoc::BuildCircleOutline(int feature, FeatureRecord& out, bool radiusOnly) {
  if (feature < 0 || static_cast<std::size_t>(feature) >= m_features.size()) return 0.0;
  DocExportSource source(*this);
  return source.CircleOutline(m_features[feature], radiusOnly ? nullptr : &out);
}

bool CTolvanixDoc::ProjectedToWgs84(int datumChoice, int zone, bool north, double& x, double& y) {
  const bool onDatum = datumChoice != 0;
  if (m_coord == 2) {
    // The projected choice is then the user projection (the dialog asks no zone): on the
    // working datum or on WGS84, the inverses of what the writers use for each choice.
    return m_transforms.Transform(onDatum ? TransformId::UtmToWgs : TransformId::MapToWgs, x, y);
  }
  // UTM of the chosen zone and hemisphere, on WGS84 or on the working datum's ellipsoid.
  UtmConverter utm;
  const DatumRecord& d = m_datum;
  if (!onDatum || utm.SetParameters(d.a, (d.a - d.b) / d.a, 0) != 0) {
    utm.SetParameters(6378137.0, 1 / 298.257223563, 0);
  }
  double lat = 0, lon = 0;
  utm.UtmToGeodetic(zone, north ? kUtmHemisphereNorth : kUtmHemisphereSouth, x, y, lat, lon);
  x = lon / kDegree;
  y = lat / kDegree;
  if (onDatum && m_datum.index > 0) TransformOutput2(x, y);
  return true;
}

bool CTolvanixDoc::ImportShapefile(const std::string& path, bool fromObjectList) {
  ExportPrompts* prompts = GetExportPrompts();
  int zone = 1;
  const FeatureRecord* current = CurrentFeature();
  if (fromObjectList) {
    zone = m_zone < 1 ? 1 : m_zone.load();
  } else if (current && current->VertexCount() == 0 && !m_waypoints.empty()) {
    UtmZoneFromLongitude(m_waypoints[0].x, zone);
  } else if (current && current->VertexCount() > 0) {
    UtmZoneFromLongitude(current->wgs84Vertices[0].x, zone);
  }
  CoordSystemQuestion q = CoordQuestion(*this, zone);
  q.lockKindCombo = true;
  CoordSystemAnswer answer;
  // Only a refused shape type fails the import. A cancelled dialog or a file shapelib cannot
  // open imports nothing, and an open still gives the new document.
  const auto importedNothing = [&] {
    if (!fromObjectList) SetModifiedFlag(TRUE);
    m_needsRedraw = true;
    return true;
  };
  if (!prompts || !prompts->AskCoordSystem(q, answer)) return importedNothing();

  ShpImportSettings settings;
  settings.datumChoice = answer.datumChoice;
  settings.coordMode = answer.coordKind;
  settings.zone = answer.zone;
  settings.north = answer.hemisphere < 1;
  DocExportSource source(*this);
  std::optional<platform::WaitCursor> wait(std::in_place);
  auto chooser = [prompts](const std::vector<DbfTextField>& fields) {
    const platform::WaitCursorPause ask;
    std::vector<std::string> names;
    for (const DbfTextField& f : fields) names.push_back(f.name);
    return prompts->AskNameField(names);
  };
  ShpImportResult result =
      ::ImportShapefile(path, settings, source, chooser, LoadResString(kStringUnnamed));
  if (result.status != ShpImportStatus::Ok) wait.reset();
  if (result.status == ShpImportStatus::OpenFailed) {
    Tell(*this, UnreadableShapefileText(path));
    return importedNothing();
  }
  if (result.status == ShpImportStatus::UnsupportedType) {
    MessageBox(m_hwndView, "Only ARC/POLYGON are geometry supported for now!", "Error!",
               MB_OK | MB_ICONSTOP);
    return false;
  }
  // The new document's empty starting feature gives way to the imported ones; when no shape
  // could be read, the document keeps what it had and its current feature.
  if (!result.features.empty()) {
    if (m_features.size() == 1 && m_features[0].vertices.empty()) DeleteAllFeatures();
    for (FeatureRecord& imported : result.features) {
      FeatureRecord& added = AddFeature(imported.type, imported.name);
      added.TakeVerticesFrom(imported);
      added.editable = 0;
    }
    RecomputeAreasAndWait(-1);
    m_current = static_cast<int>(m_features.size()) - 1;
  }
  if (!fromObjectList) SetModifiedFlag(TRUE);
  m_needsRedraw = true;
  wait.reset();
  if (result.tableRefused) {
    Tell(*this, "The attribute table " + ReplaceExtension(path, ".dbf") +
                    " is damaged or cannot be read; the features come in without names.");
  }
  if (result.positionsLeftOut > 0) Tell(*this, PositionsLeftOutText(result.positionsLeftOut, true));
  return true;
}
