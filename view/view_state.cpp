// The map view's state: construction, options, the fit, zoom and pan, the panel layout.
#include <algorithm>

#include "app/strings.h"
#include "dialogs/options_sheet.h"
#include "document/doc_options.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/dc.h"
#include "platform/win_app.h"
#include "view/core/view_layout.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kPanelIds[4] = {162, 163, 164, 165};

}  // namespace

CTolvanixView::CTolvanixView() { LoadViewOptions(); }

CTolvanixView::~CTolvanixView() {
  SetOptionsSheetView({});
  SaveViewOptions();
  for (CClickWnd* panel : {m_positionPanel, m_altitudePanel,
                           static_cast<CClickWnd*>(m_lengthPanel),
                           static_cast<CClickWnd*>(m_areaPanel)})
    delete panel;
}

void CTolvanixView::LoadViewOptions() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  ReadViewOptions([app](const std::string& name, int defaultValue) {
    return static_cast<int>(app->GetProfileInt(kOptionsSection, name, defaultValue));
  });
}

void CTolvanixView::SaveViewOptions() const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  platform::OptionsStore::NamedValues values;
  WriteViewOptions([&values](const std::string& name, int value) { values.emplace_back(name, value); });
  app->WriteProfileValues(kOptionsSection, values);
}

BOOL CTolvanixView::Create(CFrameWnd* frame) {
  if (!CView::Create(frame)) return FALSE;
  // The stylus's tap and hold (the option "Menu"): the desktop's right click and long press.
  platform::ui::RouteContextGestures(this, GetWxWindow());
  return OnCreate() == -1 ? FALSE : TRUE;
}

int CTolvanixView::OnCreate() {
  int fontSize = kDefaultMapFontSize;
  if (CWinApp* app = AfxGetApp())
    fontSize = static_cast<int>(app->GetProfileInt(kOptionsSection, "Fontsize", fontSize)) & 0xFF;
  SetMapFont(fontSize);
  {
    // The row unit follows the view's own (default) font, not the map font.
    CClientDC dc(this);
    LOGFONT lf;
    if (CFont* font = dc.GetCurrentFont()) font->GetLogFont(&lf);
    m_rowUnit = PanelRowUnit(lf.lfHeight, HiRes(), DpiY());
  }
  CreateDrawResources();
  m_positionPanel = new CClickWnd;
  m_altitudePanel = new CClickWnd;
  m_lengthPanel = new CClickNotifyWnd;
  m_areaPanel = new CClickNotifyWnd;
  CClickWnd* panels[4] = {m_positionPanel, m_altitudePanel, m_lengthPanel, m_areaPanel};
  for (int i = 0; i < 4; ++i) panels[i]->CreatePanel(this, kPanelIds[i]);
  m_lengthPanel->m_hwndNotify = m_hWnd;
  m_areaPanel->m_hwndNotify = m_hWnd;
  if (CTolvanixDoc* doc = GetDocument()) doc->m_hwndView = m_hWnd;
  UpdateInfoPanels();
  SetTimer(kPictureTimer, kPictureCheckMs);
  return 0;
}

void CTolvanixView::OnInitialUpdate() {
  if (CTolvanixDoc* doc = GetDocument()) doc->m_hwndView = m_hWnd;
  CView::OnInitialUpdate();
  CTolvanixDoc* doc = GetDocument();
  if (doc && doc->m_wizardOnStart) {
    // The start-up wizard only when no document was named on the command line.
    CCommandLineInfo commandLine;
    if (CWinApp* app = AfxGetApp()) app->ParseCommandLine(commandLine);
    if (commandLine.m_strFileName.empty()) doc->OnWizard();
  }
  ResetGpsMarker();
  ResetPickMarkers();
  OnActivateView(TRUE);
  // The document is attached only now: the panels get their first texts here.
  if (m_positionPanel) UpdateInfoPanels();
  // After OK in the options sheet: the new map font and the hardware buttons at once.
  OptionsSheetView sheetView;
  sheetView.apply = [this](const ViewOptionValues&, int fontSize) {
    SetMapFont(fontSize);
    UpdateHotKeys();
    Invalidate(TRUE);
  };
  SetOptionsSheetView(std::move(sheetView));
}

void CTolvanixView::OnActivateView(BOOL activate) {
  LayoutInfoPanels();
  if (activate) UpdateHotKeys();
}

void CTolvanixView::OnSize(UINT, int, int) {
  LayoutInfoPanels();
  // The map is fitted to its new size on the next paint (its caches were made for the old
  // one); the whole view is painted again.
  Invalidate(TRUE);
}

int CTolvanixView::ClientWidth() const {
  RECT r;
  GetClientRect(&r);
  return r.right - r.left;
}

int CTolvanixView::ClientHeight() const {
  RECT r;
  GetClientRect(&r);
  return r.bottom - r.top;
}

int CTolvanixView::MapLeft() const {
  const CTolvanixDoc* doc = GetDocument();
  return doc && doc->m_splitInProgress ? ClientWidth() / 2 : 0;
}

void CTolvanixView::FitToFeatures(int width, int height) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const FitSource source = MapFitSource();
  if (!FitExtent(source, width, height)) {
    // Nothing to show: nothing stays cached either (a feature just hidden or deleted must
    // not be drawn from old pixels), and the map is drawn all the same: ruler, names,
    // marker. The redraw request stays for the next paint.
    ForgetCaches();
    m_cacheKey = KeyOf(source, width, height);
    m_cacheKeyValid = true;
    ResetGpsMarker();
    doc->m_mapReady = true;
    return;
  }
  ResetGpsMarker();
  doc->m_mapReady = true;
  doc->m_needsRedraw = false;
}

void CTolvanixView::CentreOnGps() {
  // The marker comes to the middle of the map's width (the right half while an area is
  // divided) and to the client's middle height.
  CentreOnMarker(2 * MapLeft() + MapWidth(), ClientHeight());
  RequestRedraw();
}

void CTolvanixView::LayoutInfoPanels() {
  CClickWnd* panels[4] = {m_positionPanel, m_altitudePanel, m_lengthPanel, m_areaPanel};
  const auto rects =
      LayoutPanels(ClientWidth(), ClientHeight(), m_rowUnit, HiRes(), DpiX(), DpiY());
  for (int i = 0; i < 4; ++i) {
    if (!panels[i]) continue;
    panels[i]->MovePanel(rects[static_cast<std::size_t>(i)]);
  }
}

void CTolvanixView::ResetView() {
  if (m_navActive) StopNavigation();
  ResetZoomAndPan();
  ResetGpsMarker();
  ResetPickMarkers();
  m_panning = 0;
  ForgetCaches();
  if (m_showRuler) {
    m_rulerStep = -1;
    if (FrameBars* bars = MainFrameBars()) bars->SetRulerSelection(0);  // "Auto"
  }
  EndTapMode();
  if (m_positionPanel) {
    LayoutInfoPanels();
    UpdateInfoPanels();
  }
  Invalidate(TRUE);
}

void CTolvanixView::ResetGpsMarker() {
  ShowMapUnderMarkers();
  m_markerSaved = 0;
  m_arrowSaved = 0;
}

void CTolvanixView::ResetPickMarkers() {
  m_pick1Saved = 0;
  m_pick2Saved = 0;
}

void CTolvanixView::RequestRedraw() {
  if (CTolvanixDoc* doc = GetDocument()) doc->m_needsRedraw = true;
  Invalidate(TRUE);
}

void CTolvanixView::OnZoomIn() {
  ZoomBy(1.25);
  RequestRedraw();
}

void CTolvanixView::OnZoomOut() {
  ZoomBy(0.8);
  RequestRedraw();
}

void CTolvanixView::OnZoomFull() {
  ResetZoomAndPan();
  ResetGpsMarker();
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // With every feature hidden the picture stays as it is.
  const bool anyVisible = std::any_of(doc->m_features.begin(), doc->m_features.end(),
                                      [](const FeatureRecord& f) { return f.visible != 0; });
  if (anyVisible) RequestRedraw();
}

void CTolvanixView::OnZoomGps() {
  CTolvanixDoc* doc = GetDocument();
  if (doc && doc->m_gpsOn) CentreOnGps();
}

void CTolvanixView::EndPanDrag() {
  if (m_tapMode >= 8 && m_tapMode <= 11) m_tapMode = 0;
  if (!m_panning) return;
  ResetGpsMarker();
  CommitPanDelta();
  m_panning = 0;
  RequestRedraw();
}
