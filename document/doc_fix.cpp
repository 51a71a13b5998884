// Fix intake: the parser's sentences become the document's current position. Runs on the
// thread that feeds the parser (the GPS reader thread, or the user-interface thread while a
// log is replayed); the user-interface thread learns of each position by WM_REFRESH_GPS.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "app/strings.h"
#include "document/doc_messages.h"
#include "document/document_dialogs.h"
#include "document/geo_position.h"
#include "document/tolvanix_doc.h"
#include "platform/cmd_target.h"
#include "platform/message_box.h"
#include "platform/threads.h"
#include "platform/window_messages.h"

namespace {
constexpr double kNoPosition = 1e-10;  // degrees: a coordinate this small is "no position"
constexpr char kCaption[] = "Tolvanix PDA";
// The start/pause command while the first fix is awaited, and when none came.
constexpr char kFirstFixAwaited[] = "Waiting for the first GPS position.\nWait please";
constexpr char kFirstFixGivenUp[] = "No GPS position came: the measurement has not started.";

std::int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::atomic<CTolvanixDoc::FixClock> g_fixClock{nullptr};
}  // namespace

void CTolvanixDoc::SetFixClock(FixClock clock) { g_fixClock = clock; }

std::int64_t CTolvanixDoc::FixClockNow() {
  FixClock clock = g_fixClock.load();
  // Never 0, which stands for "no position yet".
  return std::max<std::int64_t>(1, clock ? clock() : SteadyMilliseconds());
}

bool CTolvanixDoc::FixIsStale() const {
  // Only live reading is timed: a replayed log, or a fix no position sentence gave, is not.
  if (!m_gpsOn || m_replayingNmea) return false;
  const std::int64_t last = m_lastFixMs;
  return last != 0 && FixClockNow() - last > kFixTimeoutMs;
}

bool CTolvanixDoc::HasCurrentFix() const { return m_hasFix && !FixIsStale(); }

bool CTolvanixDoc::ExpireStaleFix() {
  {
    std::lock_guard<std::mutex> lock(m_fixLock);
    if (!m_hasFix || !FixIsStale()) return false;
    m_hasFix = false;
    m_fixQuality = 0;
  }
  PostMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
  UpdateAllViews(nullptr);
  return true;
}

void CTolvanixDoc::OnGpsPosition(NmeaSentenceKind kind) {
  if (CTolvanixDoc* doc = TheDocument()) doc->HandleSentence(kind);
}

void CTolvanixDoc::FeedNmea(const std::uint8_t* bytes, std::size_t length) {
  m_nmea.ParseBuffer(bytes, length);
}

void CTolvanixDoc::HandleSentence(NmeaSentenceKind kind) {
  // The callback runs inside the parser on the feeding thread and reads its blocks directly.
  switch (kind) {
    case NMEA_RMC: {
      const NmeaRmc& rmc = m_nmea.m_rmc;
      {
        std::lock_guard<std::mutex> lock(m_fixLock);
        m_gpsDay = rmc.day;
        m_gpsMonth = rmc.month;
        m_gpsYear = rmc.year;
        m_gpsHour = rmc.hour;
        m_gpsMinute = rmc.minute;
        m_gpsSecond = static_cast<std::uint8_t>(rmc.second);
        m_course = rmc.course;
      }
      // Until the first GGA the RMC positions the document, whatever its status says.
      if (!m_ggaSeen) SetGpsPosition(rmc.longitude, rmc.latitude);
      break;
    }
    case NMEA_GGA: {
      const NmeaGga& gga = m_nmea.m_gga;
      {
        std::lock_guard<std::mutex> lock(m_fixLock);
        m_ggaSeen = true;
        m_satellites = gga.satellites;
        m_fixQuality = gga.fixQuality;
        m_hdop = gga.hdop;
        // An altitude the records cannot hold keeps the last one.
        if (const auto altitudeCm = CentimetresFromMetres(gga.altitude)) m_altitudeCm = *altitudeCm;
        // A fix counts from the moment its position is stored, not before.
        if (gga.fixQuality == 0) m_hasFix = false;
      }
      if (gga.fixQuality != 0) SetGpsPosition(gga.longitude, gga.latitude, true);
      break;
    }
    case NMEA_GSA: {
      std::lock_guard<std::mutex> lock(m_fixLock);
      m_pdop = m_nmea.m_gsa.pdop;
      m_hdop = m_nmea.m_gsa.hdop;
      m_vdop = m_nmea.m_gsa.vdop;
      break;
    }
  }
}

void CTolvanixDoc::SetGpsPosition(double lon, double lat, bool ggaFix) {
  // A position that names no place (a damaged sentence of a log or of the receiver) is not
  // taken; the replay of a log says how many it left out.
  if (!IsGeographicPosition(lon, lat)) {
    if (m_replayingNmea) ++m_replayPositionsLeftOut;
    return;
  }
  auto markFix = [this, ggaFix] {
    if (!ggaFix) return;
    m_hasFix = true;
    if (!m_replayingNmea) m_lastFixMs = FixClockNow();
  };
  if (m_holdPosition) {  // a long document operation runs
    std::lock_guard<std::mutex> lock(m_fixLock);
    markFix();
    return;
  }

  double datumLon = lon, datumLat = lat;
  double mapX = m_gpsMapX, mapY = m_gpsMapY;
  std::string grid;
  int zone = 0;
  const bool converted = ConvertFix(lon, lat, datumLon, datumLat, mapX, mapY, grid, &zone);

  double fixLon = lon, fixLat = lat;
  double walkerLon = m_offsetLon, walkerLat = m_offsetLat;
  bool post = true;
  if (m_offsetOn) {
    walkerLon = datumLon;
    walkerLat = datumLat;
    GeoPoint offset;
    if (converted && OffsetPoint({lon, lat}, offset)) {
      fixLon = datumLon = offset.x;
      fixLat = datumLat = offset.y;
      ConvertFix(fixLon, fixLat, datumLon, datumLat, mapX, mapY, grid, &zone);
    } else {
      post = false;  // no offset position yet: the walker's own position stands unannounced
    }
  }

  {
    std::lock_guard<std::mutex> lock(m_fixLock);
    m_gpsLon = fixLon;
    m_gpsLat = fixLat;
    m_datumLon = datumLon;
    m_datumLat = datumLat;
    m_gpsMapX = mapX;
    m_gpsMapY = mapY;
    if (converted) m_gpsZone = zone;
    m_offsetLon = walkerLon;
    m_offsetLat = walkerLat;
    markFix();
  }
  if (converted) {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    m_fixGridRefText = grid;
    m_gridRefText = std::move(grid);
  }
  if (!post) return;

  if (!m_replayingNmea) {
    PostMessage(m_hwndView, WM_REFRESH_GPS, 0, 0);
  } else if (m_hasFix) {
    // A replayed log captures on the replaying thread as the view would on each refresh.
    if (m_captureFirstFix.exchange(false)) CapturePoint();
    AutoCaptureCheck();
  }
}

bool CTolvanixDoc::OffsetPoint(const GeoPoint& walkerWgs84, GeoPoint& offsetWgs84) {
  std::array<GeoPoint, 3> fixes;
  {
    std::lock_guard<std::mutex> lock(m_intakeLock);
    const int count = ++m_offsetFixCount;
    m_offsetHistory[0] = m_offsetHistory[1];
    m_offsetHistory[1] = m_offsetHistory[2];
    m_offsetHistory[2] = walkerWgs84;
    if (count < 3) return false;
    fixes = m_offsetHistory;
  }
  // The three fixes in one plane (P0's zone), whichever zone each was shown in: a direction
  // taken between eastings of two zones would throw the offset point hundreds of kilometres.
  const PositionPlane plane = PlaneFor(fixes[0]);
  for (GeoPoint& p : fixes)
    if (!plane.Project(p)) return false;

  // Direction of travel over the last two steps, turned a right angle: to the left of it
  // for side 1, to the right otherwise, through the middle fix P1.
  const GeoPoint& p0 = fixes[0];
  const GeoPoint& p1 = fixes[1];
  const GeoPoint& p2 = fixes[2];
  double dx = p2.x - p0.x;
  double dy = p2.y - p0.y;
  if (m_offsetSide == 1) {
    dy = -dy;
  } else {
    dx = -dx;
  }
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len < 1e-10) return false;
  const double d = m_offsetMetres;
  GeoPoint offset{p1.x + d * dy / len, p1.y + d * dx / len};
  if (!plane.Unproject(offset)) return false;
  offsetWgs84 = offset;
  return true;
}

bool CTolvanixDoc::UpdateOffsetPosition() {
  GeoPoint offset;
  if (!OffsetPoint({m_gpsLon, m_gpsLat}, offset)) return false;
  std::lock_guard<std::mutex> lock(m_fixLock);
  m_gpsLon = m_datumLon = offset.x;
  m_gpsLat = m_datumLat = offset.y;
  return true;
}

GpsFix CTolvanixDoc::TakeFix() const {
  std::lock_guard<std::mutex> lock(m_fixLock);
  GpsFix fix;
  fix.gpsLon = m_gpsLon;
  fix.gpsLat = m_gpsLat;
  fix.datumLon = m_datumLon;
  fix.datumLat = m_datumLat;
  fix.mapX = m_gpsMapX;
  fix.mapY = m_gpsMapY;
  fix.altitudeCm = m_altitudeCm;
  fix.hdop = m_hdop;
  fix.hasFix = m_hasFix && !FixIsStale();
  return fix;
}

void CTolvanixDoc::UpdateCircleFromPosition() {
  if (!m_definingCircle) return;
  // The circle is the feature the circle command made, found by its key wherever it stands
  // in the list now: a feature the user made current meanwhile (another circle, locked and
  // finished) is never reshaped. Once that feature is gone, or no circle any more, the
  // definition ends.
  FeatureRecord* circle = nullptr;
  for (FeatureRecord& feature : m_features)
    if (feature.key == m_circleKey) circle = &feature;
  if (!circle || (circle->type != FeatureType::Circle && circle->type != FeatureType::CircleLine)) {
    m_definingCircle = false;
    return;
  }
  // The radius and the square around the circle in the centre's plane: the fix may be shown
  // in another UTM zone than the centre.
  const GpsFix fix = TakeFix();
  GeoPoint cornersWgs[2];
  if (!CircleCornersWgs84(m_circleCentreWgs, {fix.gpsLon, fix.gpsLat}, cornersWgs)) return;
  GeoPoint cornersDatum[2] = {cornersWgs[0], cornersWgs[1]};
  for (GeoPoint& corner : cornersDatum)
    if (m_datum.index > 0) TransformOutput(corner.x, corner.y);
  // The area worker measures a copy, so the lists may be replaced while it runs.
  circle->FreeVertices();
  circle->AddVertex(m_circleCentreWgs, m_circleCentreDatum, 0);
  circle->AddVertex(cornersWgs[0], cornersDatum[0], 0);
  circle->AddVertex(cornersWgs[1], cornersDatum[1], 0);
  SetModifiedFlag(TRUE);
  StartAreaRecompute(-1, TRUE);
  m_needsRedraw = true;
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::OnCapturePoint() {
  if (!m_gpsOn || !HasCurrentFix() || m_splitInProgress) return;
  CapturePoint();
  StartAreaRecompute(-1, FALSE);
}

std::string CTolvanixDoc::SatIndicatorText() const {
  char text[64];
  std::snprintf(text, sizeof text, "Sat %d HDOP %.1f", static_cast<int>(m_satellites),
                m_hdop.load());
  return text;
}

void CTolvanixDoc::OnUpdateSatIndicator(CCmdUI* ui) {
  if (ui) ui->SetText(SatIndicatorText());
}

// ---------------------------------------------------------------------------------------------
// Start or pause a measurement (command 210), waiting for the first fix when one is pending.
// The wait runs on a thread of its own and reports back by a message, so the user-interface
// thread is never blocked; the first vertex is captured on the user-interface thread. The
// wait cursor is up meanwhile, a second press is answered, and a wait that ends without a fix
// is said.
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::OnWaitForFix() {
  if (m_firstFixWaitCursor) {
    // Pressed again while the first fix is awaited: the wait goes on, and says so.
    MessageBox(m_hwndView, kFirstFixAwaited, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (m_firstFixPending) {
    if (m_offsetSide != 2 && !m_offsetOn) ToggleOffset();
    if (FeatureRecord* f = CurrentFeature()) {
      if (m_measureKind == 1) f->type = FeatureType::Area;
      if (m_measureKind == 2) f->type = FeatureType::Line;
    }
  }
  if (m_measureKind != 1 && m_measureKind != 2) return;
  if (!m_firstFixPending) {
    ToggleMeasurement();
    return;
  }
  if (m_firstFixThread) {
    // The last wait has been handled; its thread ended with its report.
    WaitForSingleObject(m_firstFixThread, INFINITE_WAIT);
    CloseHandle(m_firstFixThread);
  }
  m_firstFixWaitCursor = std::make_unique<platform::WaitCursor>();
  m_firstFixWaitDone = false;
  m_stopFirstFixWait = false;
  HWND self = m_docWindow;
  const WPARAM wait = ++m_firstFixWaitNumber;
  m_firstFixThread = CreateThread([this, self, wait]() -> DWORD {
    {
      std::lock_guard<std::mutex> lock(m_fixLock);
      m_gpsLat = 0.0;
      m_gpsLon = 0.0;
    }
    auto stopped = [this] { return m_stopFirstFixWait.load(); };
    auto pause = [&](int ms) {
      for (int t = 0; t < ms && !stopped(); t += 100) Sleep(100);
    };
    for (int sleeps = 0; sleeps < 51 && !stopped(); ++sleeps) {
      pause(200);
      if (m_hasFix || std::fabs(m_gpsLon) >= kNoPosition || std::fabs(m_gpsLat) >= kNoPosition)
        break;
    }
    pause(1200);
    if (m_hasFix && m_offsetOn) {
      for (int round = 0; round < 5 && m_offsetFixCount < 3 && !stopped(); ++round) pause(1000);
    }
    m_firstFixWaitDone = true;
    PostMessage(self, WM_TVX_FIRST_FIX, wait, 0);
    return 0;
  });
}

LRESULT CTolvanixDoc::OnFirstFixWaitDone(WPARAM wait, LPARAM) {
  // The report of a wait given up when the measurement was left (it may have been posted
  // just before) starts nothing and says nothing.
  if (wait != m_firstFixWaitNumber || !m_firstFixWaitCursor) return 0;
  m_firstFixWaitCursor.reset();
  if (HasCurrentFix() && m_firstFixPending) {
    OnCapturePoint();  // the first vertex
    m_firstFixPending = false;
  }
  if (m_firstFixPending) {
    // No fix came: nothing starts, and the user is told.
    MessageBox(m_hwndView, kFirstFixGivenUp, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  ToggleMeasurement();
  return 0;
}

void CTolvanixDoc::ToggleMeasurement() {
  m_measuring = !m_measuring;
  const bool running = m_measuring;
  // Through the view's own toggle, so that a pause also clears the offset track and
  // measures the feature; without a view the switch alone.
  if (m_autoCapture != running && !Dialogs().ToggleAutoCapture()) m_autoCapture = running;
  Dialogs().SetMeasureButton(running);
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::StopFirstFixWait() {
  ++m_firstFixWaitNumber;  // its report, posted or to come, is not taken
  m_firstFixWaitCursor.reset();
  if (!m_firstFixThread) return;
  m_stopFirstFixWait = true;
  WaitForSingleObject(m_firstFixThread, INFINITE_WAIT);
  CloseHandle(m_firstFixThread);
  m_firstFixThread = nullptr;
}
