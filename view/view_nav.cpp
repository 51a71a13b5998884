// Navigation to a target (compass window or map overlay), position averaging and the
// waypoint properties sheet.
#include <cstdio>

#include "app/strings.h"
#include "dialogs/core/measure_texts.h"
#include "dialogs/measure_dialogs.h"
#include "document/document_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/sound.h"
#include "view/core/nav_labels.h"
#include "view/navigation_dialog.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kPointFormatString = 59175;  // "Punto %d"
constexpr UINT kAveragingTemplate = 153;

// The last target stored by SetNavigationTarget (working datum degrees), for the calls that
// re-use it.
double g_lastTargetLon = 0.0;
double g_lastTargetLat = 0.0;

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void CTolvanixView::NavWndDeleter::operator()(CNavigationWnd* wnd) const { delete wnd; }

// ---------------------------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------------------------

void CTolvanixView::OnNavigateDestination() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // Automatic capture rests while the dialog is open.
  const bool autoCapture = doc->m_autoCapture;
  doc->m_autoCapture = false;
  CDlgNavigateDestination dialog(doc, this);
  const INT_PTR result = dialog.DoModal();
  doc->m_autoCapture = autoCapture;
  if (result != IDOK || !dialog.m_target) return;

  const NavChoice& target = *dialog.m_target;
  m_navTargetIsPoint = target.isVertex ? 1 : 0;
  m_navTargetIndex = target.index;
  m_navTargetFeature = target.feature;
  if (doc->m_navStyle == 0) {
    ResetGpsMarker();
    StartNavigation();
  } else {
    m_targetName = target.title;
    SetNavigationTarget(target.lon, target.lat, target.altitudeCm, 1);
    m_navTargetKey = target.key;
    m_navTargetVertexKey = target.vertexKey;
  }
}

void CTolvanixView::OnNavigateWaypoint() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const int w = m_popupWaypoint;
  if (NavigatingToWaypoint(w)) {
    StopNavigation();
    return;
  }
  if (w < 0 || static_cast<std::size_t>(w) >= doc->m_waypoints.size()) return;
  if (doc->m_navStyle == 0) {
    m_navTargetIsPoint = 0;
    m_navTargetIndex = w;
    StartNavigation();
    return;
  }
  const WaypointRecord& waypoint = doc->m_waypoints[w];
  SetNavigationTarget(waypoint.x, waypoint.y, waypoint.altitudeCm, 1);
  m_navTargetIsPoint = 0;
  m_navTargetIndex = w;
  m_navTargetKey = waypoint.key;
  m_navTargetVertexKey = 0;
  m_targetName = "WPT: " + waypoint.name;
  Invalidate(TRUE);
}

bool CTolvanixView::NavigatingToWaypoint(int waypoint) const {
  const CTolvanixDoc* doc = GetDocument();
  // A vertex target shares the index numbers of waypoints: only a waypoint target counts.
  if (!doc || !m_navActive || m_navTargetIsPoint || waypoint < 0 ||
      static_cast<std::size_t>(waypoint) >= doc->m_waypoints.size()) {
    return false;
  }
  return doc->m_waypoints[static_cast<std::size_t>(waypoint)].key == m_navTargetKey;
}

void CTolvanixView::StartNavigation() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // Stopping forgets the target index; the new target survives it.
  const std::uint8_t isPoint = m_navTargetIsPoint;
  const int index = m_navTargetIndex;
  const int feature = m_navTargetFeature;
  StopNavigation();
  m_navTargetIsPoint = isPoint;
  m_navTargetIndex = index;
  m_navTargetFeature = feature;

  const int object = isPoint ? feature : static_cast<int>(doc->m_features.size());
  const std::optional<NavChoice> target =
      ChooseNavTarget(doc->m_content, object, index, LoadResString(kPointFormatString), false);
  if (!target) return;

  std::unique_ptr<CNavigationWnd, NavWndDeleter> compass(
      new CNavigationWnd(target->title, doc->m_metrica, this, nullptr));
  compass->SetMapCoveredHandler([this](bool refit) {
    if (refit) {
      if (CTolvanixDoc* d = GetDocument()) d->m_needsRedraw = true;
      Invalidate(TRUE);
      return;
    }
    ResetGpsMarker();
    Invalidate(FALSE);
  });
  if (!compass->Create()) return;  // navigation stays off and the target unset
  compass->ShowWindow(SW_SHOW);
  compass->SetForegroundWindow();
  // Full screen hides the command bar; the way to stop navigating is on it.
  if (FrameBars* frame = MainFrameBars()) frame->ShowCommandBar();
  m_navWnd = std::move(compass);
  m_navActive = 1;
  m_navTargetKey = target->key;
  m_navTargetVertexKey = target->vertexKey;
  SetTargetPoint(target->lon, target->lat, target->altitudeCm);
}

void CTolvanixView::StopNavigation() {
  if (!m_navActive) return;
  // A compass opened before the display style changed is closed as well.
  const bool hadCompass = m_navWnd != nullptr;
  if (m_navWnd) {
    m_navWnd->Close();
    m_navWnd.reset();
  }
  m_navActive = 0;
  m_navTargetIndex = -1;
  m_navTargetKey = 0;
  m_navTargetVertexKey = 0;
  if (hadCompass) Invalidate(TRUE);
}

void CTolvanixView::SyncNavigationDisplay() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_navActive) return;
  // The document may have changed under the target (a load, a datum change).
  RebuildNavigation();
  if (!m_navActive) return;
  // NavStyle 0 shows the compass, any other the arrow on the map.
  const bool compassWanted = doc->m_navStyle == 0;
  if (compassWanted == (m_navWnd != nullptr)) return;
  if (compassWanted) {
    ResetGpsMarker();
    StartNavigation();  // on the same target
    return;
  }
  const int object =
      m_navTargetIsPoint ? m_navTargetFeature : static_cast<int>(doc->m_features.size());
  const std::optional<NavChoice> target = ChooseNavTarget(
      doc->m_content, object, m_navTargetIndex, LoadResString(kPointFormatString), true);
  const std::uint8_t isPoint = m_navTargetIsPoint;
  const int index = m_navTargetIndex;
  StopNavigation();
  if (!target) return;
  m_navTargetIsPoint = isPoint;
  m_navTargetIndex = index;
  m_targetName = target->title;
  SetNavigationTarget(target->lon, target->lat, target->altitudeCm, 1);
  m_navTargetKey = target->key;
  m_navTargetVertexKey = target->vertexKey;
  Invalidate(TRUE);
}

void CTolvanixView::SetTargetPoint(double lon, double lat, std::int32_t altitudeCm) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  std::uint64_t settings = 0;
  doc->CurrentCoordSettings(&settings);
  if (!AimAt(doc->m_transforms, lon, lat, altitudeCm, m_navTarget)) return;
  m_navTarget.settings = settings;
  m_targetX = m_navTarget.x;
  m_targetY = m_navTarget.y;
  m_targetAltitudeCm = m_navTarget.altitudeCm;
}

void CTolvanixView::SetNavigationTarget(double lon, double lat, std::int32_t altitudeCm,
                                        std::uint8_t remember) {
  if (remember) {
    g_lastTargetLon = lon;
    g_lastTargetLat = lat;
  }
  SetTargetPoint(g_lastTargetLon, g_lastTargetLat, altitudeCm);
  m_navActive = 1;
}

void CTolvanixView::UpdateNavigation() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_navActive) return;
  // Never a reading towards a record that has changed or gone meanwhile.
  RebuildNavigation();
  if (m_navActive) ShowNavigationReading(true);
}

void CTolvanixView::ShowNavigationReading(bool mayBeep) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_navActive) return;
  // One consistent fix: the reader thread may be writing the next one meanwhile.
  const GpsFix fix = doc->TakeFix();
  NavReading reading;
  if (!ReadNavigation(doc->m_transforms, m_navTarget, fix.datumLon, fix.datumLat,
                      fix.altitudeCm, reading)) {
    return;
  }
  m_targetDistance = reading.distance;
  m_targetBearing = reading.bearing;
  if (mayBeep && ArrivalBeep(doc->m_navSound, reading.distance, doc->m_navSoundDistance)) {
    MessageBeep(MB_ICONEXCLAMATION);
  }
  if (doc->m_navStyle == 0) {
    if (m_navWnd) m_navWnd->Update(doc->m_course, reading.bearing, reading.distance);
    return;
  }
  m_targetDx = reading.dx;
  m_targetDy = reading.dy;
  m_targetDz = reading.dz;
  Invalidate(FALSE);
}

void CTolvanixView::RebuildNavigation() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_navActive) return;
  // The target is a record, not a row: it is looked up by its key wherever the edit put it;
  // gone, navigation ends. The compass shows the title without "WPT: ", the map overlay with.
  const bool overlay = !m_navWnd;
  const std::optional<NavChoice> target =
      FollowNavTarget(doc->m_content, m_navTargetIsPoint != 0, m_navTargetKey,
                      m_navTargetVertexKey, m_navTargetIndex, LoadResString(kPointFormatString),
                      overlay);
  if (!target) {
    StopNavigation();
    Invalidate(FALSE);  // the overlay's arrow and title go too
    return;
  }
  m_navTargetIndex = target->index;
  if (target->isVertex) m_navTargetFeature = target->feature;
  if (m_navWnd) {
    m_navWnd->SetTitle(target->title);
  } else if (m_targetName != target->title) {
    m_targetName = target->title;
    Invalidate(FALSE);
  }
  // A target projected under older settings (another projection, unit or datum) is aimed at
  // again: the fix is projected under the new ones.
  std::uint64_t settings = 0;
  doc->CurrentCoordSettings(&settings);
  const bool moved = target->lon != m_navTarget.lon || target->lat != m_navTarget.lat ||
                     target->altitudeCm != m_navTarget.altitudeCm ||
                     settings != m_navTarget.settings;
  if (!moved) return;
  if (overlay) {
    SetNavigationTarget(target->lon, target->lat, target->altitudeCm, 1);
  } else {
    SetTargetPoint(target->lon, target->lat, target->altitudeCm);
  }
  // The reading towards where the target now is, without waiting for the next fix.
  if (doc->HasCurrentFix()) ShowNavigationReading(false);
}

void CTolvanixView::OnUpdate(DocumentView* sender, LPARAM hint, void* hintObject) {
  CView::OnUpdate(sender, hint, hintObject);
  RebuildNavigation();
}

// ---------------------------------------------------------------------------------------------
// Averaging
// ---------------------------------------------------------------------------------------------

void CTolvanixView::OnAveraging() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !doc->m_gpsOn || !doc->m_hasFix || doc->m_splitInProgress) return;
  if (doc->m_offsetOn) doc->ToggleOffset();
  // Every averaging is of the fixes taken while its own dialog runs.
  doc->m_samples.clear();
  m_averaging = 1;
  CDlgAveraging dialog(kAveragingTemplate, this);
  dialog.SetStopHandler([this] { EndAveraging(); });
  // The mean is stored as the dialog's OK asks. A store the document refused (a vertex of a
  // locked feature) leaves the dialog open on the same samples for another choice.
  bool stored = false;
  dialog.SetStoreHandler([doc, &stored](int choice, int altitudeCm) {
    if (choice <= 0) return true;
    doc->m_avgAltitudeCm = altitudeCm;
    stored = doc->CaptureCombined(choice);
    // Without samples there is nothing another choice could store.
    return stored || doc->m_samples.empty();
  });
  m_averagingDlg = &dialog;
  const INT_PTR result = dialog.DoModal();
  m_averagingDlg = nullptr;
  if (stored) doc->m_needsRedraw = true;
  // Whatever the end, the samples go with the dialog: the next averaging starts afresh.
  doc->m_samples.clear();
  m_averaging = 0;
  if (result == IDOK) {
    ResetGpsMarker();
    RequestRedraw();
  }
}

void CTolvanixView::EndAveraging() { m_averaging = 0; }

void CTolvanixView::FeedAveraging() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_averaging || !m_averagingDlg) return;
  AverageTexts texts;
  if (doc->AddAverageSample(texts)) m_averagingDlg->ShowTexts(texts);
}

// ---------------------------------------------------------------------------------------------
// Waypoint properties
// ---------------------------------------------------------------------------------------------

void CTolvanixView::OnWaypointProperties() {
  CTolvanixDoc* doc = GetDocument();
  const int w = m_popupWaypoint;
  if (!doc || w < 0 || static_cast<std::size_t>(w) >= doc->m_waypoints.size()) return;
  WaypointRecord& waypoint = doc->m_waypoints[w];

  WaypointPropertyTexts texts;
  texts.coord = doc->m_coord;
  if (doc->m_coord != 2) {
    int zone = doc->m_zone;
    if (doc->m_autoZone) {
      CTolvanixDoc::UtmZoneFromLongitude(waypoint.x, zone);
      doc->m_zone = zone;
    }
    doc->SetUtmZone(zone, waypoint.y >= 0, 0);
    texts.zone = std::to_string(zone);
  }
  double easting = 0.0, northing = 0.0, altitude = 0.0;
  doc->GetWaypointOutputCoords(1, w, easting, northing, altitude);
  texts.longitude = FormatWaypointAngle(waypoint.x, doc->m_geoType, true);
  texts.latitude = FormatWaypointAngle(waypoint.y, doc->m_geoType, false);
  texts.easting = Printf("%.3f", easting);
  texts.northing = Printf("%.3f", northing);
  texts.altitude = Printf("%.2f", waypoint.altitudeCm * 0.01);
  texts.date = waypoint.FormatDate();
  texts.time = waypoint.FormatTime();
  texts.name = waypoint.name;
  if (static_cast<std::size_t>(w) < doc->m_waypointNotes.size()) texts.note = doc->m_waypointNotes[w];

  if (FrameBars* frame = MainFrameBars()) frame->ShowShellBars();
  if (!CTolvanixDoc::Dialogs().WaypointProperties(*doc, texts)) return;
  bool changed = false;
  if (texts.name != waypoint.name) {
    waypoint.name = texts.name;
    changed = true;
  }
  if (static_cast<std::size_t>(w) < doc->m_waypointNotes.size() &&
      texts.note != doc->m_waypointNotes[w]) {
    doc->m_waypointNotes[w] = texts.note;
    changed = true;
  }
  // An edited name or note is document content: it must be offered for saving.
  if (changed) doc->SetModifiedFlag(TRUE);
  RebuildNavigation();  // a target's title follows its new name
}
