// Capture: the current fix becomes a vertex, a waypoint, an averaging sample or a circle.
// User-interface thread, and the replaying thread while a log is replayed.
#include <cmath>
#include <cstdio>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/cmd_target.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/window_messages.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringNoName = 59167;   // "Sin nombre"
constexpr UINT kStringLocked = 59244;   // "Este objeto está bloqueado.\nVaya al menú ..."
constexpr UINT kStringCircle = 59281;   // "Circle"
constexpr UINT kStringNoCoverage = 59160;  // "Sin cobertura": no position to store
constexpr UINT kCaptureSoundId = 1;     // WAVE item of the program's own resources
constexpr double kNoPosition = 1e-10;   // degrees
constexpr std::size_t kTrailLimit = 12; // a push that makes 12 drops the oldest
constexpr int kAutoRecomputeLimit = 200;  // vertices: larger features are measured on demand

std::function<std::string()>& WaypointNameDialog() {
  static std::function<std::string()> dialog;
  return dialog;
}

bool IsNoPosition(double lon, double lat) {
  return std::fabs(lon) < kNoPosition && std::fabs(lat) < kNoPosition;
}

// A command that stores a position found none.
void TellNoPosition(HWND owner) {
  MessageBox(owner, LoadResString(kStringNoCoverage), kCaption, MB_ICONEXCLAMATION);
}

// Metres per unit of the map coordinates.
double MetresPerMapUnit(std::uint8_t linearUnit) {
  switch (linearUnit) {
    case 1:
      return 0.3048;
    case 2:
      return 0.3048006096;
    default:
      return 1.0;
  }
}

bool ValidGpsDate(int day, int month, int year2, int hour, int minute, int second) {
  return year2 >= 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 &&
         minute < 60 && second < 60;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void CTolvanixDoc::SetWaypointNameDialog(std::function<std::string()> dialog) {
  WaypointNameDialog() = std::move(dialog);
}

bool CTolvanixDoc::HdopRejects(std::int32_t filterApplies) {
  if (!m_hdopFilterOn || !filterApplies || !(m_hdop > m_hdopLimit)) return false;
  if (m_hdopBeep) MessageBeep(MB_ICONEXCLAMATION);
  return true;
}

BOOL CTolvanixDoc::CheckFeatureEditable(int index) {
  const int i = index < 0 ? m_current : index;
  if (i < 0 || static_cast<std::size_t>(i) >= m_features.size()) return FALSE;
  const FeatureRecord* feature = &m_features[static_cast<std::size_t>(i)];
  if (feature->editable) return TRUE;
  m_autoCapture = false;
  std::string text = LoadResString(kStringLocked);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, feature->name);
  MessageBox(m_hwndView, text, kCaption, MB_ICONEXCLAMATION);
  return FALSE;
}

void CTolvanixDoc::PlayCaptureSound() {
  PlaySound(std::to_string(kCaptureSoundId), nullptr, SND_RESOURCE | SND_ASYNC);
}

void CTolvanixDoc::CapturePoint() {
  const GpsFix fix = TakeFix();
  // An old fix (the receiver has gone quiet) is refused as no position is.
  if (IsNoPosition(fix.gpsLon, fix.gpsLat) || FixIsStale()) return;
  if (!CheckFeatureEditable()) return;
  if (HdopRejects(m_filterPoints)) return;
  if (m_soundCapture && !m_replayingNmea) PlayCaptureSound();

  // Only a vertex appended changes the picture: the view draws the new segment when its
  // message arrives and then marks the map ready again. A refused capture leaves the map.
  m_mapReady = false;
  FeatureRecord& feature = *CurrentFeature();
  feature.AddVertex({fix.gpsLon, fix.gpsLat}, {fix.datumLon, fix.datumLat}, fix.altitudeCm);
  SetModifiedFlag(TRUE);

  if (m_offsetFixCount >= 4 && m_offsetOn) {
    m_trail.push_back({m_offsetLon, m_offsetLat});
    if (m_trail.size() >= kTrailLimit) m_trail.erase(m_trail.begin());
  }
  m_lastCaptureWgs84 = {fix.gpsLon, fix.gpsLat};
  PostMessage(m_hwndView, WM_ADD_SEGMENTO, 0, 0);

  // The count is the captured feature's own, as it was when its measures were last asked for:
  // the size of whichever feature was measured last says nothing about this one. A feature
  // left unmeasured keeps its old measures, which its texts then show as out of date.
  if (feature.measuredCount < kAutoRecomputeLimit && !m_replayingNmea) {
    StartAreaRecompute(-1, FALSE);
  }
}

double CTolvanixDoc::DistanceFromLastCapture() {
  const FeatureRecord* feature = CurrentFeature();
  if (!feature || feature->VertexCount() == 0) return 0.0;
  // Both ends in one plane: the fix may be shown in another UTM zone than the last point.
  const GpsFix fix = TakeFix();
  double distance = 0.0;
  if (!PlaneFor(m_lastCaptureWgs84).Distance(m_lastCaptureWgs84, {fix.gpsLon, fix.gpsLat}, distance))
    return 0.0;
  return distance;
}

void CTolvanixDoc::AutoCaptureCheck() {
  // The interval is in metres (metric), yards (imperial) or US survey yards; the distance is
  // measured in map units, which a user projection may give in feet.
  const double metres = DistanceFromLastCapture() * MetresPerMapUnit(m_linearUnit);
  double interval = 0.0;
  switch (m_metrica) {
    case 0:
      interval = metres;
      break;
    case 1:
      interval = metres * 1.0936;
      break;
    case 2:
      interval = metres / 0.9144018288;
      break;
    default:
      return;
  }
  if (interval > m_autoCaptureDistance) CapturePoint();
}

void CTolvanixDoc::AddVertexAt(const GeoPoint& wgs84, const GeoPoint& working) {
  FeatureRecord* feature = CurrentFeature();
  if (!feature || !CheckFeatureEditable()) return;
  feature->AddVertex(wgs84, working, 0);
  SetModifiedFlag(TRUE);
  m_needsRedraw = true;
  StartAreaRecompute(-1, FALSE);
}

std::string CTolvanixDoc::NextWaypointName() {
  switch (m_waypointNaming) {
    case 0: {
      // The name typed is taken whatever button closed the dialog.
      auto& dialog = WaypointNameDialog();
      return dialog ? dialog() : std::string();
    }
    case 2: {
      char number[16];
      std::snprintf(number, sizeof number, " %d", static_cast<int>(m_waypoints.size()) + 1);
      return m_waypointPrefix + number;
    }
    default:
      return LoadResString(kStringNoName);
  }
}

void CTolvanixDoc::AddWaypoint(double x, double y, std::int32_t altitudeCm) {
  if (IsNoPosition(x, y)) return;
  std::string name = NextWaypointName();
  const int day = m_gpsDay, month = m_gpsMonth, hour = m_gpsHour, minute = m_gpsMinute,
            second = m_gpsSecond;
  int year = m_gpsYear;
  if (year > 1999) year -= 2000;
  if (month != 0 && m_hasFix && ValidGpsDate(day, month, year, hour, minute, second)) {
    m_waypoints.push_back(WaypointRecord::FromGpsTime(std::move(name), 0, 0, 0.0, 0.0, altitudeCm,
                                                      x, y, day, month, year, hour, minute,
                                                      second, 0));
  } else {
    m_waypoints.emplace_back(std::move(name), 0, 0, 0.0, 0.0, altitudeCm, x, y, 0);
  }
  m_waypointNotes.emplace_back();
  SetModifiedFlag(TRUE);
  m_needsRedraw = true;
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::OnAddWaypoint() {
  if (FixIsStale()) return;
  if (HdopRejects(m_filterWaypoints)) return;
  const GpsFix fix = TakeFix();
  AddWaypoint(fix.datumLon, fix.datumLat, fix.altitudeCm);
}

void CTolvanixDoc::OnUpdateAddWaypoint(CCmdUI* ui) {
  if (ui) ui->Enable(m_gpsOn && HasCurrentFix());
}

bool CTolvanixDoc::AddAverageSample(AverageTexts& texts) {
  // No position or an old one is no sample: it would pull the mean away.
  const GpsFix fix = TakeFix();
  if (IsNoPosition(fix.gpsLon, fix.gpsLat) || FixIsStale()) return false;
  if (HdopRejects(m_filterAveraging)) return false;
  m_samples.emplace_back(std::string(), 0, 0, 0.0, 0.0, fix.altitudeCm, fix.gpsLon, fix.gpsLat, 0);

  double lon = 0.0, lat = 0.0, altitude = 0.0;
  for (const WaypointRecord& s : m_samples) {
    lon += s.x;
    lat += s.y;
    altitude += s.altitudeCm;
  }
  const double n = static_cast<double>(m_samples.size());
  m_avgLon = lon * (1.0 / n);
  m_avgLat = lat * (1.0 / n);
  m_avgAltitudeCm = altitude * (1.0 / n);
  m_avgX = m_avgLon;
  m_avgY = m_avgLat;
  if (m_datum.index > 0) TransformOutput(m_avgX, m_avgY);

  double easting = 0.0, northing = 0.0;
  ConvertCoordinates(m_avgLon, m_avgLat, easting, northing);

  texts.longitude = Format("%.7f", m_avgX);
  texts.latitude = Format("%.7f", m_avgY);
  texts.easting = Format("%.2f", easting);
  texts.northing = Format("%.2f", northing);
  char zone[16];
  std::snprintf(zone, sizeof zone, "%d ", m_zone.load());
  texts.zone = zone + UtmBandLetter(m_avgY);
  texts.count = std::to_string(m_samples.size());
  texts.altitude = Format("%.2f", m_avgAltitudeCm * 0.01);
  return true;
}

bool CTolvanixDoc::CaptureCombined(int mode) {
  // The lock is the current feature's: it refuses a vertex, not a waypoint alone.
  const bool vertex = mode == 2 || mode == 3;
  if (vertex && !CheckFeatureEditable()) return false;
  // The means belong to this session's samples: with none accepted (none came, or the HDOP
  // filter refused them all) there is nothing to store, neither (0, 0) nor an earlier mean.
  if (m_samples.empty()) {
    TellNoPosition(m_hwndView);
    return false;
  }
  std::string name = NextWaypointName();
  const auto altitudeCm = static_cast<std::int32_t>(m_avgAltitudeCm);
  if (mode == 1 || mode == 3) {
    m_waypoints.emplace_back(std::move(name), 0, 0, 0.0, 0.0, altitudeCm, m_avgX, m_avgY, 0);
    m_waypointNotes.emplace_back();
  }
  if (vertex) {
    CurrentFeature()->AddVertex({m_avgLon, m_avgLat}, {m_avgX, m_avgY}, altitudeCm);
    m_lastCaptureWgs84 = {m_avgLon, m_avgLat};
    StartAreaRecompute(-1, FALSE);
  }
  SetModifiedFlag(TRUE);
  return true;
}

void CTolvanixDoc::ToggleOffset() {
  const bool on = !m_offsetOn;
  if (on) {
    std::lock_guard<std::mutex> lock(m_intakeLock);
    m_offsetFixCount = 0;
    m_offsetHistory = {};
  } else {
    m_trail.clear();
  }
  m_offsetOn = on;
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::OnToggleOffset() { ToggleOffset(); }

void CTolvanixDoc::OnUpdateToggleOffset(CCmdUI* ui) {
  if (!ui) return;
  ui->Enable(m_offsetDistance != 0);
  ui->SetCheck(m_offsetOn ? 1 : 0);
}

void CTolvanixDoc::OnAddCircle() {
  if (m_definingCircle) {
    m_definingCircle = false;
    return;
  }
  const GpsFix fix = TakeFix();
  if (IsNoPosition(fix.gpsLon, fix.gpsLat)) {
    TellNoPosition(m_hwndView);  // no centre: no circle
    return;
  }
  FeatureRecord& circle = AddFeature(FeatureType::Circle, LoadResString(kStringCircle));
  circle.editable = 0;
  m_circleKey = circle.key;
  m_current = static_cast<int>(m_features.size()) - 1;
  m_circleCentreDatum = {fix.datumLon, fix.datumLat};
  m_circleCentreWgs = {fix.gpsLon, fix.gpsLat};
  m_definingCircle = true;
}
