// The view's info panels, the status texts it hands to the frame, and the handlers of the
// registered messages by which the reader thread, the area worker and the capture code tell
// it about a new fix or new measures.
#include "app/main_frame.h"
#include "document/tolvanix_doc.h"
#include "platform/desktop_awake.h"
#include "platform/win_app.h"
#include "view/core/info_panels.h"
#include "view/tolvanix_view.h"

namespace {

void SetPanelText(CWnd* panel, const std::string& text) {
  if (panel && panel->GetWindowText() != text) panel->SetWindowText(text);
}

constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleTimerMs = 15000;
constexpr const char* kApplicationName = "tolvanixpda";
constexpr const char* kAwakeReason = "Measuring with the GPS receiver";

}  // namespace

void CTolvanixView::UpdateInfoPanels() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // The reader thread writes the fix fields one by one: a panel may mix two consecutive fixes.
  PositionPanelInput position;
  position.stringCoord = doc->m_stringCoord;
  position.coord = doc->m_coord;
  position.geoType = doc->m_geoType;
  // The fix's own zone and grid text: a point converted since (a tapped point, a mean) may
  // lie in another zone.
  if (position.stringCoord != 0) position.gridRefText = doc->FixGridRefText();
  position.datumLon = doc->m_datumLon;
  position.datumLat = doc->m_datumLat;
  position.mapX = doc->m_gpsMapX;
  position.mapY = doc->m_gpsMapY;
  position.zone = doc->FixZone();
  if (position.coord == 1) position.band = CTolvanixDoc::UtmBandLetter(position.datumLat);
  position.linearUnit = doc->m_linearUnit;
  SetPanelText(m_positionPanel, PositionPanelText(position));

  SetPanelText(m_altitudePanel, AltitudePanelText(doc->m_metrica, doc->m_bearingUnit,
                                                  doc->m_altitudeCm, doc->m_course));
  SetPanelText(m_lengthPanel, LengthPanelText(doc->GetLengthText(2, -1), doc->GetLengthText(0, -1)));

  if (const FeatureRecord* feature = doc->CurrentFeature()) {
    SetPanelText(m_areaPanel,
                 AreaPanelText(feature->type,
                               AreaPanelShowsArea(feature->type) ? doc->GetAreaText(-1, true)
                                                                 : std::string(),
                               static_cast<int>(feature->VertexCount())));
  }
}

LRESULT CTolvanixView::OnRefreshGps(WPARAM, LPARAM) {
  UpdateInfoPanels();
  KeepDesktopAwake();
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !doc->m_hasFix) return 0;
  const bool measureStyle = doc->m_navStyle != 0;
  if (measureStyle && !m_panning && m_navActive && m_focused) {
    UpdateNavigation();
    DrawMeasureOverlay();
  }
  if (!m_panning && !m_navActive && m_focused) DrawGpsMarker();
  if (doc->m_definingCircle) {
    doc->UpdateCircleFromPosition();
  } else if (doc->m_autoCapture) {
    doc->AutoCaptureCheck();
  }
  if (m_averaging) FeedAveraging();
  // In measure style with the focus this is the second run for this fix (a second beep
  // inside the sound distance).
  if (m_navActive) UpdateNavigation();
  if (doc->m_pointDistanceOpen) doc->UpdatePointDistance();
  return 0;
}

LRESULT CTolvanixView::OnDibujarCampos(WPARAM, LPARAM) {
  UpdateInfoPanels();
  RefreshSplitTexts();
  // Also the message of reading switched off, and of the options sheet's OK.
  KeepDesktopAwake();
  SyncNavigationDisplay();
  return 0;
}

void CTolvanixView::DesktopAwakeDeleter::operator()(platform::DesktopAwake* awake) const {
  delete awake;  // lets the desktop go idle again
}

void CTolvanixView::KeepDesktopAwake() {
  CTolvanixDoc* doc = GetDocument();
  const bool reading = doc && doc->m_gpsOn;
  if (reading == (m_timerId != 0)) return;
  if (reading) {
    StartIdleTimer();
  } else {
    StopIdleTimer();
  }
}

void CTolvanixView::StartIdleTimer() {
  m_timerId = SetTimer(kIdleTimer, kIdleTimerMs);
  if (!m_timerId) m_timerId = kIdleTimer;  // the desktop is held even without the ticks
  if (!m_awake) m_awake.reset(new platform::DesktopAwake);
  m_awake->Hold(kApplicationName, kAwakeReason);
}

void CTolvanixView::StopIdleTimer() {
  if (m_timerId) KillTimer(kIdleTimer);
  m_timerId = 0;
  if (m_awake) m_awake->Release();
}

void CTolvanixView::OnTimer(UINT_PTR id) {
  if (id == kPictureTimer) return RepaintWhenStale();
  if (id != kIdleTimer) return;
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !doc->m_gpsOn) {
    StopIdleTimer();
    return;
  }
  // A desktop whose service came up since (or came back) is asked now.
  if (m_awake && !m_awake->Held()) m_awake->Hold(kApplicationName, kAwakeReason);
}

LRESULT CTolvanixView::OnCalcularArea(WPARAM, LPARAM) {
  // Its end posts WM_DIBUJAR_CAMPOS, which refreshes the panels.
  if (CTolvanixDoc* doc = GetDocument()) doc->StartAreaRecompute(-1, FALSE);
  return 0;
}

void CTolvanixView::OnUpdateGpsStatus(CCmdUI* ui) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // With reading allowed the command needs a configured port and rate.
  ui->Enable(!doc->m_gpsEnabled || (doc->m_port != -1 && doc->m_baudIndex != -1));
  // The panes are asked twice a second: a fix that stopped arriving turns into none here
  // (the marker goes with the repaint).
  if (doc->ExpireStaleFix()) Invalidate(FALSE);
  if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame())) {
    frame->SetStatusText(FixQualityText(doc->m_gpsOn, doc->m_fixQuality));
  }
}

void CTolvanixView::OnUpdateAutoCapturePane(CCmdUI* ui) {
  CTolvanixDoc* doc = GetDocument();
  ui->Enable();
  ui->SetText(std::string());
  // The frame paints the pane: "AP" black on green while set, grey on the button face otherwise.
  ui->SetCheck(doc && doc->m_autoCapture ? 1 : 0);
}

void CTolvanixView::OnSetFocus(CWnd* oldWindow) {
  CView::OnSetFocus(oldWindow);
  m_focused = 1;
  // Whatever held the focus may have covered the marker: its save-unders are stale.
  ResetGpsMarker();
}

void CTolvanixView::OnKillFocus(CWnd* newWindow) {
  CView::OnKillFocus(newWindow);
  m_focused = 0;
}

BOOL CTolvanixView::OnEraseBkgnd(CDC* dc) {
  // A repaint with a fix brings the marker back: the paint that follows this erase draws it.
  // (Invalidating again from inside the erase would only queue one more paint after it.)
  if (CTolvanixDoc* doc = GetDocument(); doc && doc->m_hasFix) m_focused = 1;
  return CView::OnEraseBkgnd(dc);
}

void CTolvanixView::OnExitMenuLoop(BOOL isTrackPopupMenu) {
  // The keys come back to where they were: the marker is drawn again if that is the view.
  if (GetFocus() == this) m_focused = 1;
  ResetGpsMarker();
  Invalidate(FALSE);
}
