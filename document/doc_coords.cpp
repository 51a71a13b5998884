// The document's coordinate system: its transformation sets, the coordinate conversion of
// each fix, the output coordinates of the exporters, the datum files and the unit texts.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>

#include "app/strings.h"
#include "coords/area_length_text.h"
#include "coords/datum_files.h"
#include "coords/fix_grid_reference.h"
#include "coords/grid_reference.h"
#include "document/doc_messages.h"
#include "document/tolvanix_doc.h"
#include "platform/win_app.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/window_messages.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringDataFileMissing = 59168;  // "Error Fatal: No se encontró el archivo..."

// Settings generations are unique in the process, so a thread's set built for one document
// is never taken for another's.
std::atomic<std::uint64_t> g_lastGeneration{0};

struct ThreadSet {
  std::uint64_t generation = 0;
  int datumIndex = 0;  // of the settings the set was built from
  TransformSet set;
};
thread_local ThreadSet t_threadSet;

std::filesystem::path InternalDir() { return std::filesystem::path(ModuleDirectory + "internal"); }

}  // namespace

std::string& CTolvanixDoc::FormatArea(std::string& text, double area) const {
  return FormatAreaText(text, area, m_metrica, m_feet, m_linearUnit);
}

std::string& CTolvanixDoc::FormatLength(std::string& text, double length) const {
  return FormatLengthText(text, length, m_metrica, m_linearUnit);
}

std::string CTolvanixDoc::UtmBandLetter(double latitude) { return ::UtmBandLetter(latitude); }

void CTolvanixDoc::SetWorkingUtm(OGRSpatialReference& srs) {
  WorkingSystemOutcome outcome;
  ::SetWorkingUtm(srs, m_zone, outcome);
  m_autoZone = outcome.autoZone;
  m_projectionName = outcome.projectionName;
}

void CTolvanixDoc::BuildSrsFromProjection(OGRSpatialReference& srs) {
  WorkingSystemOutcome outcome;
  outcome.coord = m_coord;
  outcome.autoZone = m_autoZone;
  outcome.stringCoord = m_stringCoord;
  outcome.projectionName = m_projectionName;
  ::BuildSrsFromProjection(srs, m_projection, m_datum, m_zone, outcome);
  m_coord = outcome.coord;
  m_autoZone = outcome.autoZone;
  m_stringCoord = outcome.stringCoord;
  m_projectionName = outcome.projectionName;
  m_linearUnit = static_cast<std::uint8_t>(outcome.linearUnit);
}

bool CTolvanixDoc::SetupTransformations() {
  CoordSettings settings;
  settings.coord = m_coord;
  settings.zone = m_zone;
  settings.autoZone = m_autoZone;
  settings.stringCoord = m_stringCoord;
  settings.projection = m_projection;
  settings.datum = m_datum;
  settings.projectionName = m_projectionName;

  m_transforms = TransformSet::Build(settings);
  const WorkingSystemOutcome& outcome = m_transforms.Outcome();
  m_coord = outcome.coord;
  m_autoZone = outcome.autoZone;
  m_stringCoord = outcome.stringCoord;
  m_projectionName = outcome.projectionName;
  m_linearUnit = static_cast<std::uint8_t>(outcome.linearUnit);
  switch (outcome.gridSetup) {
    case GridReferenceSetup::Mgrs:
      SetMgrsParameters(outcome.mgrsA, outcome.mgrsF, outcome.mgrsCode);
      break;
    case GridReferenceSetup::BritishNationalGrid:
      SetBngParameters("AA");
      break;
    case GridReferenceSetup::None:
      break;
  }
  if (outcome.unknownStatePlaneZone) MessageBox(m_hwndView, kUnknownZoneMessage, kCaption, MB_ICONSTOP);

  // Other threads build the same system from the same settings.
  {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    m_coordSettings = settings;
    m_coordGeneration = ++g_lastGeneration;
  }
  return m_transforms.Ready();
}

void CTolvanixDoc::SetupTransformationsOrFallBack() {
  m_transformsReady = false;
  if (!SetupTransformations()) {
    m_coord = 0;
    SetupTransformations();
    MessageBox(m_hwndView, kProjectionNotConfiguredMessage, kCaption, MB_ICONEXCLAMATION);
  }
  // Ready only when the set exists: a set that failed twice (an unusable datum) leaves the
  // conversions off rather than working on missing transformations.
  m_transformsReady = m_transforms.Ready();
}

void CTolvanixDoc::DestroySrsObjects() {
  m_transformsReady = false;
  m_transforms = TransformSet();
  std::lock_guard<std::mutex> lock(m_settingsLock);
  m_coordGeneration = ++g_lastGeneration;
  m_coordSettings = CoordSettings{};
  m_coordSettings.coord = -1;  // an empty working system: other threads build nothing usable
}

CoordSettings CTolvanixDoc::CurrentCoordSettings(std::uint64_t* generation) const {
  std::lock_guard<std::mutex> lock(m_settingsLock);
  if (generation) *generation = m_coordGeneration;
  return m_coordSettings;
}

TransformSet& CTolvanixDoc::ThreadTransforms() {
  CoordSettings settings;
  {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    if (t_threadSet.generation == m_coordGeneration) return t_threadSet.set;
    settings = m_coordSettings;
    t_threadSet.generation = m_coordGeneration;
    t_threadSet.datumIndex = settings.datum.index;
  }
  t_threadSet.set = TransformSet::Build(settings);
  return t_threadSet.set;
}

TransformSet& CTolvanixDoc::OwnTransforms() {
  return platform::IsUiThread() ? m_transforms : ThreadTransforms();
}

bool PositionPlane::Distance(GeoPoint a, GeoPoint b, double& distance) const {
  if (!Project(a) || !Project(b)) return false;
  distance = CTolvanixDoc::CalcDistance(a, b);
  return true;
}

PositionPlane CTolvanixDoc::PlaneFor(const GeoPoint& firstWgs84) {
  TransformSet& set = OwnTransforms();
  if (!m_transformsReady || !set.Ready()) return {};
  int zone = m_zone;
  if (m_autoZone) UtmZoneFromLongitude(firstWgs84.x, zone);
  return PositionPlane(&set, std::clamp(zone, 1, 60));
}

bool CTolvanixDoc::CircleCornersWgs84(const GeoPoint& centre, const GeoPoint& edge,
                                      GeoPoint corners[2]) {
  const PositionPlane plane = PlaneFor(centre);
  GeoPoint c = centre;
  double r = 0.0;
  if (!plane.Project(c) || !plane.Distance(centre, edge, r)) return false;
  GeoPoint square[2] = {{c.x - r, c.y + r}, {c.x + r, c.y - r}};
  for (GeoPoint& corner : square)
    if (!plane.Unproject(corner)) return false;
  corners[0] = square[0];
  corners[1] = square[1];
  return true;
}

// ---------------------------------------------------------------------------------------------
// Datum files
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::ShowFatalDataFileMessage(const std::string& text) {
  // The program closes for a missing data file only while nothing would be lost; with unsaved
  // work the datum in force is kept and the user can save before closing.
  // A language module without the text: the program's own says it.
  const std::string said =
      text.empty() ? LoadResStringFrom(kStringDataFileMissing, GetModuleHandle(nullptr)) : text;
  MessageBox(m_hwndView, said, kCaption, MB_ICONEXCLAMATION);
  CWinApp* app = AfxGetApp();
  if (app && !app->m_hMainWnd) {
    // At start-up the main window does not exist yet: the exit command runs from the loop.
    PostMessage(m_docWindow, WM_TVX_DEFERRED_EXIT, 0, 0);
    return;
  }
  if (!IsModified()) ExitForMissingDataFile();
}

LRESULT CTolvanixDoc::OnDeferredExit(WPARAM, LPARAM) {
  if (!IsModified()) ExitForMissingDataFile();
  return 0;
}

void CTolvanixDoc::ExitForMissingDataFile() {
  // The program did not end as asked: its exit code says so.
  if (CWinApp* app = AfxGetApp()) app->m_exitCode = 1;
  OnAppExit();
}

bool CTolvanixDoc::LoadDatum() {
  DatumLoadResult loaded = LoadListDatum(InternalDir(), m_datum.index);
  if (!loaded.ok()) {
    const bool missing = loaded.status == DatumFileStatus::ListFileMissing ||
                         loaded.status == DatumFileStatus::NamesFileMissing;
    const std::string text = missing ? LoadResString(kStringDataFileMissing)
                                     : DatumFileStatusText(loaded.status, m_datum.index,
                                                           loaded.heldIndex);
    m_datum = Wgs84DatumRecord();
    m_datumName = kWgs84DatumName;
    if (missing) {
      ShowFatalDataFileMessage(text);
    } else {
      MessageBox(m_hwndView, text, kCaption, MB_ICONEXCLAMATION);
    }
    return false;
  }
  m_datum = loaded.datum;
  m_datumName = loaded.name;
  return true;
}

bool CTolvanixDoc::LoadUserDatum() {
  DatumLoadResult loaded = ::LoadUserDatum(InternalDir());
  if (!loaded.ok()) {
    m_datum = Wgs84DatumRecord();
    m_datumName = kWgs84DatumName;
    ShowFatalDataFileMessage("Open error");
    return false;
  }
  m_datum = loaded.datum;
  m_datumName = kUserDatumName;
  return true;
}

bool CTolvanixDoc::SaveUserDatum() {
  DatumFileStatus status = ::SaveUserDatum(InternalDir(), m_datum);
  if (status != DatumFileStatus::Ok) {
    ShowFatalDataFileMessage("Creation error");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------------------------

bool CTolvanixDoc::ConvertWith(TransformSet& set, double lon, double lat, double& easting,
                               double& northing, std::string* gridText, int* zoneUsed) {
  if (!m_transformsReady || !set.Ready()) return false;
  const bool north = lat >= 0.0;
  int zone = m_zone;
  if (set.Outcome().isUtm) {
    if (m_autoZone) {
      UtmZoneFromLongitude(lon, zone);
      m_zone = zone;
    }
    set.RetargetUtm(UtmTarget::Display, zone, north);
  }
  double x = lon, y = lat;
  if (!set.Transform(TransformId::Display, x, y)) return false;
  easting = x;
  northing = y;
  if (zoneUsed) *zoneUsed = zone;
  if (!gridText) return true;

  std::string text = FixGridReference(set, set.Outcome().stringCoord, lon, lat, zone, north,
                                      easting, northing);
  *gridText = std::move(text);
  return true;
}

bool CTolvanixDoc::ConvertFix(double lon, double lat, double& datumLon, double& datumLat,
                              double& mapX, double& mapY, std::string& gridText, int* zone) {
  TransformSet& set = ThreadTransforms();
  datumLon = lon;
  datumLat = lat;
  if (t_threadSet.datumIndex > 0) set.Transform(TransformId::WgsToDatum, datumLon, datumLat);
  return ConvertWith(set, lon, lat, mapX, mapY, &gridText, zone);
}

bool CTolvanixDoc::ConvertCoordinates(double lon, double lat, double& easting, double& northing) {
  std::string text;
  if (!ConvertWith(OwnTransforms(), lon, lat, easting, northing, &text)) return false;
  std::lock_guard<std::mutex> lock(m_settingsLock);
  m_gridRefText = std::move(text);
  return true;
}

std::string CTolvanixDoc::GridRefText() const {
  std::lock_guard<std::mutex> lock(m_settingsLock);
  return m_gridRefText;
}

std::string CTolvanixDoc::FixGridRefText() const {
  std::lock_guard<std::mutex> lock(m_settingsLock);
  return m_fixGridRefText;
}

int CTolvanixDoc::FixZone() const {
  const int zone = m_gpsZone;
  return zone != 0 ? zone : m_zone.load();
}

void CTolvanixDoc::SetUtmZone(int zone, bool north, int which) {
  if (m_coord == 2) return;  // the measuring system is then the user projection
  m_transforms.RetargetUtm(which == 0 ? UtmTarget::Measuring : UtmTarget::Second, zone, north);
}

void CTolvanixDoc::TransformOutput(double& x, double& y) {
  m_transforms.Transform(TransformId::WgsToDatum, x, y);
}

void CTolvanixDoc::TransformOutput2(double& x, double& y) {
  m_transforms.Transform(TransformId::DatumToWgs, x, y);
}

double CTolvanixDoc::UtmDistance(const GeoPoint& a, const GeoPoint& b) {
  int zone = 0;
  UtmZoneFromLongitude(a.x, zone);
  SetUtmZone(zone, true, 0);
  GeoPoint pa = a, pb = b;
  m_transforms.Transform(TransformId::Utm, pa.x, pa.y);
  m_transforms.Transform(TransformId::Utm, pb.x, pb.y);
  return CalcDistance(pa, pb);
}

bool CTolvanixDoc::GetRecordVertexOutputCoords(int mode, const FeatureRecord& record, int vertex,
                                               double& x, double& y, double& altitudeM) {
  if (vertex < 0 || static_cast<std::size_t>(vertex) >= record.VertexCount()) return false;
  x = record.wgs84Vertices[vertex].x;
  y = record.wgs84Vertices[vertex].y;
  altitudeM = record.altitudesCm[vertex] * 0.01;
  return m_transforms.Transform(mode > 0 ? TransformId::Utm : TransformId::WgsToMap2, x, y);
}

bool CTolvanixDoc::GetVertexOutputCoords(int mode, int feature, int vertex, double& x, double& y,
                                         double& altitudeM) {
  if (feature < 0 || static_cast<std::size_t>(feature) >= m_features.size()) return false;
  return GetRecordVertexOutputCoords(mode, m_features[feature], vertex, x, y, altitudeM);
}

bool CTolvanixDoc::GetWaypointOutputCoords(int mode, int waypoint, double& x, double& y,
                                           double& altitudeM) {
  if (waypoint < 0 || static_cast<std::size_t>(waypoint) >= m_waypoints.size()) return false;
  const WaypointRecord& w = m_waypoints[waypoint];
  x = w.x;
  y = w.y;
  altitudeM = w.altitudeCm * 0.01;
  TransformOutput2(x, y);
  return m_transforms.Transform(mode > 0 ? TransformId::Utm : TransformId::WgsToMap2, x, y);
}
