// The document's options: reading and writing section "Opciones", and taking back the values
// of the options sheet.
#include <cmath>
#include <filesystem>

#include "app/strings.h"
#include "coords/datum_files.h"
#include "coords/spatial_reference.h"
#include "document/doc_options.h"
#include "document/tolvanix_doc.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/options_store.h"
#include "platform/win_app.h"

namespace {

constexpr UINT kStringNoName = 59167;  // "Sin nombre"

std::function<bool(CTolvanixDoc&, CTolvanixDoc::OptionValues&)>& OptionsSheet() {
  static std::function<bool(CTolvanixDoc&, CTolvanixDoc::OptionValues&)> sheet;
  return sheet;
}

// Profile access; without an application object (tools) the defaults apply and nothing is
// stored.
int ReadInt(const char* name, int defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? static_cast<int>(app->GetProfileInt(kOptionsSection, name, defaultValue))
             : defaultValue;
}

std::string ReadString(const char* name, const std::string& defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? app->GetProfileString(kOptionsSection, name, defaultValue) : defaultValue;
}

// Every write to the options store that cannot be stored (a full disk, a file or folder that
// refuses it) is said once, with these words, whoever made it.
void SayOptionsNotStored(const std::string& path) {
  MessageBox(nullptr,
             "The settings cannot be stored in " + path + "; the file keeps the values it held.",
             "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION);
}

[[maybe_unused]] const bool g_noticeInstalled = [] {
  platform::OptionsStore::Instance().SetFailureNotice(&SayOptionsNotStored);
  return true;
}();

// The values of the document's options to be stored, gathered so that one write stores them
// all (one notice when the store cannot take them).
platform::OptionsStore::NamedValues g_pendingWrites;

void WriteInt(const char* name, int value) { g_pendingWrites.emplace_back(name, value); }

void WriteString(const char* name, const std::string& value) {
  g_pendingWrites.emplace_back(name, value);
}

void StorePendingWrites() {
  platform::OptionsStore::NamedValues values;
  values.swap(g_pendingWrites);
  if (CWinApp* app = AfxGetApp()) app->WriteProfileValues(kOptionsSection, values);
}

// The names of values that LoadOptions found out of range, for its one notice.
thread_local std::vector<std::string>* t_outOfRange = nullptr;

void NoteOutOfRange(const char* name) {
  if (t_outOfRange) t_outOfRange->push_back(name);
}

// A value out of its range takes the default (a damaged or hand-edited store).
int ReadRanged(const char* name, int defaultValue, int low, int high) {
  int value = ReadInt(name, defaultValue);
  if (value >= low && value <= high) return value;
  NoteOutOfRange(name);
  return defaultValue;
}

// Scaled values are stored as non-negative integers; a negative one is damage.
double ReadScaled(const char* name, int defaultStored, double factor) {
  int stored = ReadInt(name, defaultStored);
  if (stored < 0) {
    NoteOutOfRange(name);
    stored = defaultStored;
  }
  return stored * factor;
}

// Says once what of the options file could not be read: its unreadable lines (kept in the
// file as they are) and the values out of range (their defaults apply until the user sets
// them again).
void ReportDamagedOptions(const std::vector<std::string>& outOfRange) {
  if (!AfxGetApp()) return;
  const std::string lines = platform::OptionsStore::Instance().TakeDamageReport();
  if (lines.empty() && outOfRange.empty()) return;
  std::string text = "Some settings in " + platform::OptionsStore::Instance().Path() +
                     " cannot be read; their default values apply.";
  if (!lines.empty()) text += "\nUnreadable: " + lines + ".";
  if (!outOfRange.empty()) {
    text += "\nOut of range:";
    for (std::size_t i = 0; i < outOfRange.size(); ++i) text += (i ? ", " : " ") + outOfRange[i];
    text += ".";
  }
  MessageBox(nullptr, text, "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION);
}

void WriteScaled(const char* name, double value, double inverseFactor) {
  WriteInt(name, ScaledOptionToStored(value, inverseFactor));
}

}  // namespace

std::int32_t ScaledOptionToStored(double value, double inverseFactor) {
  const double scaled = value * inverseFactor;
  if (!std::isfinite(scaled)) return 0;
  const double nearest = std::round(scaled);
  if (std::fabs(scaled - nearest) < 1e-6) return static_cast<std::int32_t>(nearest);
  return static_cast<std::int32_t>(std::trunc(scaled));
}

void CTolvanixDoc::SetOptionsSheet(std::function<bool(CTolvanixDoc&, OptionValues&)> sheet) {
  OptionsSheet() = std::move(sheet);
}

void CTolvanixDoc::UpdateOffsetMetres() {
  m_offsetMetres = m_offsetDistance * (m_metrica >= 1 ? 0.3048 : 1.0);
}

void CTolvanixDoc::LoadOptions() {
  std::vector<std::string> outOfRange;
  t_outOfRange = &outOfRange;
  m_language = static_cast<std::int16_t>(ReadInt("Idioma", 0));
  m_datum.index = ReadRanged("Datum", kWgs84DatumIndex, kWgs84DatumIndex, kUserDatumIndex);
  m_coord = ReadRanged("Coord", 0, 0, 2);
  m_geoType = ReadInt("GeoType", 2);
  m_metrica = ReadRanged("Metrica", 0, 0, 2);
  m_feet = ReadInt("Feet", 0);
  m_autoCaptureDistance = ReadScaled("AP", 100, 0.1);
  m_wizardOnStart = ReadInt("Esp", 0);
  m_autoZone = ReadInt("Auto", 1);
  m_zone = ReadRanged("Huso", 31, 1, 60);
  m_bearingUnit = ReadInt("Rumbo", 0);
  m_contextMenu = ReadInt("Menu", 1);
  m_port = ReadInt("Puerto", -1);
  m_baudIndex = ReadInt("Baudios", -1);
  m_useVirtualPort = 0;  // never read: virtual-port sharing is chosen anew each time
  m_stringCoord = ReadRanged("StringCoord", 0, 0, 4);
  m_gpsEnabled = ReadInt("GPS", 1);
  m_commEventReader = ReadInt("Edm", 0);
  m_offsetDistance = ReadInt("Offsetdist", 10);
  m_offsetSide = ReadRanged("Offsetestado", 2, 0, 2);
  m_notifyActive = ReadInt("Notificaractiva", 1);
  m_hdopLimit = ReadScaled("FiltroHvalor", 30, 0.1);
  m_hdopFilterOn = ReadInt("FiltroHestado", 0);
  m_hdopBeep = ReadInt("FiltroBeep", 1);
  m_filterPoints = ReadInt("FiltroPuntos", 1);
  m_filterAveraging = ReadInt("FiltroPro", 1);
  m_filterWaypoints = ReadInt("FiltroWpt", 1);
  m_waypointNaming = ReadRanged("WptName", 2, 0, 2);
  m_waypointPrefix = ReadString("WptNamePrefix", LoadResString(kStringNoName));
  m_newFeatureKind = ReadInt("ObjPref", 0);
  m_soundCapture = ReadInt("SoundCapture", 0);
  m_navStyle = ReadInt("NavStyle", 0);
  m_navSound = ReadInt("NavSound", 1);
  m_navSoundDistance = ReadScaled("NavSoundDistance", 1000, 0.001);
  const std::string installPath = ReadString("InstallPath", "");
  t_outOfRange = nullptr;
  ReportDamagedOptions(outOfRange);

  ConfigureGdalData(installPath);
  m_datumName = kWgs84DatumName;
  const int storedDatum = m_datum.index;
  bool datumLoaded = true;
  if (storedDatum == kUserDatumIndex) {
    datumLoaded = LoadUserDatum();
  } else if (storedDatum > 0) {
    datumLoaded = LoadDatum();
  }
  // The program goes on (on WGS84) only while unsaved work is kept; the choice stays stored.
  m_unloadedDatumIndex = datumLoaded ? -1 : storedDatum;
  m_srs = NewWgs84SpatialReference();
  LoadProjection();
}

void CTolvanixDoc::LoadProjection() {
  // The newest stored projection is the one in force. Without a usable record the projection
  // keeps its default and a user-projection choice falls back to the geographic display; the
  // transformations are set up in every case, so positions are converted from the first fix.
  const std::string path = ModuleDirectory + "internal/" + kProjectionFileName;
  bool haveProjection = false;
  if (auto bytes = platform::ReadWholeFile(path); bytes && bytes->size() >= kProjectionRecordSize) {
    ProjectionRecord record = DecodeProjectionRecord(
        std::span<const std::uint8_t, kProjectionRecordSize>(
            reinterpret_cast<const std::uint8_t*>(bytes->data()), kProjectionRecordSize));
    if (IsUsableProjection(record)) {
      m_projection = record;
      haveProjection = true;
    }
  }
  if (!haveProjection) {
    m_projection = ProjectionRecord{};
    if (m_coord == 2) {
      // The user projection asked for cannot be had: said as when it cannot be built.
      m_coord = 0;
      MessageBox(m_hwndView, kProjectionNotConfiguredMessage, "Tolvanix PDA", MB_ICONEXCLAMATION);
    }
  }
  SetupTransformationsOrFallBack();
}

void CTolvanixDoc::RederiveWorkingDatum(const std::vector<GeoPoint>& waypointsWgs84) {
  // The waypoints are held in the working datum: following a new datum edits no work.
  const bool unsaved = IsModified();
  const bool toDatum = m_datum.index > 0;
  std::vector<double> xs, ys;
  for (FeatureRecord& f : m_features) {
    const std::size_t n = f.VertexCount();
    xs.resize(n);
    ys.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      xs[i] = f.wgs84Vertices[i].x;
      ys[i] = f.wgs84Vertices[i].y;
    }
    if (toDatum && n > 0) m_transforms.Transform(TransformId::WgsToDatum, xs, ys);
    for (std::size_t i = 0; i < n; ++i) f.vertices[i] = {xs[i], ys[i]};
  }
  for (std::size_t k = 0; k < m_waypoints.size() && k < waypointsWgs84.size(); ++k) {
    GeoPoint p = waypointsWgs84[k];
    if (toDatum) TransformOutput(p.x, p.y);
    m_waypoints[k].x = p.x;
    m_waypoints[k].y = p.y;
  }
  // The averaged position keeps its WGS84 copy (the tapped points are RederiveTappedPoints').
  const auto rederive = [this, toDatum](const GeoPoint& wgs84, double& x, double& y) {
    if (wgs84 == GeoPoint{}) return;  // never set
    x = wgs84.x;
    y = wgs84.y;
    if (toDatum) TransformOutput(x, y);
  };
  rederive({m_avgLon, m_avgLat}, m_avgX, m_avgY);
  m_needsRedraw = true;
  m_mapReady = false;
  if (!unsaved) SetModifiedFlag(FALSE);
}

void CTolvanixDoc::ProjectTappedPoint(int slot, TapProjection how, bool again) {
  const bool first = slot == 1;
  (first ? m_tapUtm1Made : m_tapUtm2Made) = how;
  GeoPoint& out = first ? m_tapUtm1 : m_tapUtm2;
  switch (how) {
    case TapProjection::Conversion: {
      const GeoPoint& wgs84 = first ? m_tapPoint1Wgs84 : m_tapPoint2Wgs84;
      double e = 0.0, n = 0.0;
      if (!again) {
        if (ConvertCoordinates(wgs84.x, wgs84.y, e, n)) out = {e, n};
        return;
      }
      // The zone that follows the position is the fix's, not that of a point tapped earlier.
      const int zone = m_zone;
      if (ConvertWith(m_transforms, wgs84.x, wgs84.y, e, n, nullptr)) out = {e, n};
      m_zone = zone;
      return;
    }
    case TapProjection::ZoneOfPoint1:
    case TapProjection::ZoneOfPoint2: {
      // Both measured points in one zone: eastings of two zones measure no distance.
      int zone = 0;
      UtmZoneFromLongitude((how == TapProjection::ZoneOfPoint1 ? m_tapPoint1 : m_tapPoint2).x, zone);
      SetUtmZone(zone, true, 0);
      GeoPoint projected = first ? m_tapPoint1 : m_tapPoint2;
      if (m_transforms.Transform(TransformId::Utm, projected.x, projected.y)) out = projected;
      return;
    }
    case TapProjection::None:
      return;
  }
}

void CTolvanixDoc::RederiveTappedPoints(bool datumChanged) {
  // The taps keep a WGS84 copy beside each working-datum position (a circle's edge, of its
  // drag only, excepted).
  if (datumChanged) {
    const bool toDatum = m_datum.index > 0;
    for (auto [wgs84, working] : {std::pair{&m_tapPoint1Wgs84, &m_tapPoint1},
                                  std::pair{&m_tapPoint2Wgs84, &m_tapPoint2}}) {
      if (*wgs84 == GeoPoint{}) continue;  // never tapped
      *working = *wgs84;
      if (toDatum) TransformOutput(working->x, working->y);
    }
  }
  // The projection, its zone, unit or datum may be new: the map coordinates (the measure
  // between the points, the point's easting and northing) are made again as the taps made them.
  ProjectTappedPoint(1, m_tapUtm1Made, true);
  ProjectTappedPoint(2, m_tapUtm2Made, true);
}

void CTolvanixDoc::SaveOptions() {
  // A grid-reference system is "Coord" 0 in memory and 2 in the store.
  const int storedCoord = m_stringCoord != 0 ? 2 : m_coord;
  WriteInt("Puerto", m_port);
  WriteInt("Baudios", m_baudIndex);
  WriteInt("Metrica", m_metrica);
  WriteInt("Feet", m_feet);
  WriteScaled("AP", m_autoCaptureDistance, 10.0);
  WriteInt("Huso", m_zone);
  WriteInt("Esp", m_wizardOnStart);
  // A stored datum choice whose file could not be read stays the choice.
  WriteInt("Datum", m_unloadedDatumIndex >= 0 ? m_unloadedDatumIndex : m_datum.index);
  WriteInt("Menu", m_contextMenu);
  WriteInt("Coord", storedCoord);
  WriteInt("GeoType", m_geoType);
  WriteInt("Auto", m_autoZone);
  WriteInt("Rumbo", m_bearingUnit);
  WriteInt("Vsp", m_useVirtualPort);
  WriteInt("GPS", m_gpsEnabled);
  WriteInt("Edm", m_commEventReader);
  WriteInt("Offsetdist", m_offsetDistance);
  WriteInt("Offsetestado", m_offsetSide);
  WriteInt("Notificaractiva", m_notifyActive);
  WriteScaled("FiltroHvalor", m_hdopLimit, 10.0);
  WriteInt("FiltroHestado", m_hdopFilterOn);
  WriteInt("FiltroBeep", m_hdopBeep);
  WriteInt("FiltroPuntos", m_filterPoints);
  WriteInt("FiltroPro", m_filterAveraging);
  WriteInt("FiltroWpt", m_filterWaypoints);
  WriteInt("WptName", m_waypointNaming);
  WriteString("WptNamePrefix", m_waypointPrefix);
  WriteInt("ObjPref", m_newFeatureKind);
  WriteInt("SoundCapture", m_soundCapture);
  WriteInt("StringCoord", m_stringCoord);
  WriteInt("NavStyle", m_navStyle);
  WriteInt("NavSound", m_navSound);
  WriteScaled("NavSoundDistance", m_navSoundDistance, 1000.0);
  StorePendingWrites();
}

CTolvanixDoc::OptionValues CTolvanixDoc::CurrentOptionValues() const {
  OptionValues v;
  v.datum = m_datum;
  v.projection = m_projection;
  v.coord = m_stringCoord != 0 ? 2 : m_coord;
  v.geoType = m_geoType;
  v.metrica = m_metrica;
  v.feet = m_feet;
  v.autoCaptureDistance = m_autoCaptureDistance;
  v.wizardOnStart = m_wizardOnStart;
  v.autoZone = m_autoZone;
  v.zone = m_zone;
  v.bearingUnit = m_bearingUnit;
  v.contextMenu = m_contextMenu;
  v.port = m_port;
  v.baudIndex = m_baudIndex;
  v.useVirtualPort = m_useVirtualPort;
  v.stringCoord = m_stringCoord;
  v.gpsEnabled = m_gpsEnabled;
  v.commEventReader = m_commEventReader;
  v.offsetDistance = m_offsetDistance;
  v.offsetSide = m_offsetSide;
  v.notifyActive = m_notifyActive;
  v.hdopLimit = m_hdopLimit;
  v.hdopFilterOn = m_hdopFilterOn;
  v.hdopBeep = m_hdopBeep;
  v.filterPoints = m_filterPoints;
  v.filterAveraging = m_filterAveraging;
  v.filterWaypoints = m_filterWaypoints;
  v.waypointNaming = m_waypointNaming;
  v.waypointPrefix = m_waypointPrefix;
  v.newFeatureKind = m_newFeatureKind;
  v.soundCapture = m_soundCapture;
  v.navStyle = m_navStyle;
  v.navSound = m_navSound;
  v.navSoundDistance = m_navSoundDistance;
  v.fontSize = ReadInt("Fontsize", 8);
  return v;
}

void CTolvanixDoc::ApplyOptions() {
  auto& sheet = OptionsSheet();
  if (!sheet) return;
  OptionValues values = CurrentOptionValues();
  if (!sheet(*this, values)) return;  // anything but OK leaves every member as it was
  ApplyOptionValues(values);
}

void CTolvanixDoc::ApplyOptionValues(const OptionValues& v) {
  // What the measures and the working-datum positions were derived from.
  const DatumRecord oldDatum = m_datum;
  const std::string oldDatumName = m_datumName;
  const ProjectionRecord oldProjection = m_projection;
  const std::uint8_t oldLinearUnit = m_linearUnit;
  // Waypoints are held in the working datum only: their WGS84 positions are taken while the
  // old datum's transformations still stand.
  std::vector<GeoPoint> waypointsWgs84;
  for (const WaypointRecord& w : m_waypoints) {
    GeoPoint p{w.x, w.y};
    if (oldDatum.index > 0) TransformOutput2(p.x, p.y);
    waypointsWgs84.push_back(p);
  }

  // Datum. A list or user datum that cannot be read keeps the datum in force.
  if (v.datum.index == kUserDatumIndex) {
    m_datum = v.datum;
    m_datumName = kUserDatumName;
    if (!SaveUserDatum()) {
      m_datum = oldDatum;
      m_datumName = oldDatumName;
    }
  } else if (v.datum.index < kFirstListDatumIndex) {
    m_datum = Wgs84DatumRecord();
    m_datumName = kWgs84DatumName;
  } else {
    m_datum.index = v.datum.index;
    if (!LoadDatum()) {
      m_datum = oldDatum;
      m_datumName = oldDatumName;
    }
  }
  // A datum chosen on the page is the stored choice from now on; the page showing the datum
  // in force unchanged keeps a stored choice that could not be loaded.
  if (v.datum.index != oldDatum.index && m_datum.index == v.datum.index) m_unloadedDatumIndex = -1;

  const int oldCoord = m_coord;
  m_coord = v.coord;
  m_geoType = v.geoType;
  m_bearingUnit = v.bearingUnit;
  m_autoCaptureDistance = v.autoCaptureDistance < 0.1 ? 0.1 : v.autoCaptureDistance;

  m_soundCapture = v.soundCapture;
  m_offsetDistance = v.offsetDistance;
  m_wizardOnStart = v.wizardOnStart;
  m_feet = v.feet;
  m_contextMenu = v.contextMenu;
  m_notifyActive = v.notifyActive;
  m_newFeatureKind = v.newFeatureKind;
  m_metrica = v.metrica;
  m_offsetSide = v.offsetSide;
  if (v.offsetSide == 2) {
    m_offsetOn = false;
    m_offsetDistance = 0;
  } else {
    UpdateOffsetMetres();
  }

  if (!v.autoZone) {
    m_autoZone = 0;
    m_zone = (v.zone >= 1 && v.zone <= 60) ? v.zone : m_zone.load();
  } else {
    m_autoZone = 1;
  }
  m_projection = v.projection;

  SetupTransformationsOrFallBack();

  if (!m_gpsOn) {
    m_baudIndex = v.baudIndex;
    m_port = v.port;
    m_commEventReader = v.commEventReader;
    m_gpsEnabled = 1;
    m_useVirtualPort = 0;
  }

  m_fontSize = v.fontSize;
  WriteInt("Fontsize", v.fontSize);
  m_navSoundDistance = v.navSoundDistance;
  m_navSound = v.navSound;
  m_navStyle = v.navStyle;

  // Every position kept in the working datum follows a new datum.
  const bool datumChanged = !(m_datum == oldDatum);
  if (datumChanged) RederiveWorkingDatum(waypointsWgs84);
  RederiveTappedPoints(datumChanged);
  // The last captured position, a circle's centre and the offset's fixes are kept in WGS84
  // and laid into the plane of the settings in force when they are used (PlaneFor).

  // The measuring plane changes with a user projection (another one, or its unit) and with
  // the datum: measure everything again, so that no area is shown in a unit it is not in.
  const bool planeChanged =
      (m_coord != oldCoord && (oldCoord == 2 || m_coord == 2)) ||
      (m_coord == 2 && (!(m_projection == oldProjection) || m_linearUnit != oldLinearUnit)) ||
      datumChanged;
  if (planeChanged) RecomputeAreasAndWait(-1);

  m_hdopFilterOn = v.hdopFilterOn;
  m_hdopBeep = v.hdopBeep;
  m_filterPoints = v.filterPoints;
  m_filterAveraging = v.filterAveraging;
  m_filterWaypoints = v.filterWaypoints;
  m_hdopLimit = v.hdopLimit;
  m_waypointNaming = v.waypointNaming;
  m_waypointPrefix = v.waypointPrefix;

  SaveOptions();
  SendMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
}
