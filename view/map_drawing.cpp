// Everything the map view paints: the map bitmap of a paint, the incremental picture after a
// captured point, and the overlays painted straight onto the window.
#include <wx/dc.h>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "view/tolvanix_view.h"

struct CTolvanixView::DrawResources {};

void CTolvanixView::FontDeleter::operator()(CFont*) const {}
void CTolvanixView::DrawResourcesDeleter::operator()(DrawResources* resources) const {
  delete resources;
}

BOOL CClickWnd::CreatePanel(CWnd*, UINT) { return FALSE; }
void CClickWnd::MovePanel(const PanelRect&) {}
void CClickNotifyWnd::OnPanelTap() {
  if (m_hwndNotify) ::PostMessage(m_hwndNotify, WM_CALCULAR_AREA, 0, 0);
}

void CTolvanixView::OnDraw(CDC* dc) {
  dc->Wx().SetBackground(*wxWHITE_BRUSH);
  dc->Wx().Clear();
}

void CTolvanixView::DrawRuler(CDC*) {}
void CTolvanixView::DrawFeatures(CDC*) {}
void CTolvanixView::DrawLabels(CDC*) {}
void CTolvanixView::DrawVertexPoints(CDC*) {}
void CTolvanixView::DrawNotes(CDC*) {}
void CTolvanixView::DrawWaypointIcons(CDC*) {}
void CTolvanixView::DrawWaypointNames(CDC*) {}
void CTolvanixView::DrawFeatureTitles(CDC*) {}
void CTolvanixView::DrawOffsetTrack(CDC*) {}
void CTolvanixView::MakeFeatureBrush(CDC*, std::unique_ptr<CPen>&, std::unique_ptr<CBrush>&, int) {}
LRESULT CTolvanixView::OnAddSegmento(WPARAM, LPARAM) { return 0; }
void CTolvanixView::DrawGpsMarker() {}
void CTolvanixView::DrawMeasureOverlay() {}
void CTolvanixView::DrawCursorCoordinates(CDC*) {}
void CTolvanixView::DrawPickMarker(ScreenPoint, int) {}
void CTolvanixView::DrawDistanceBand(CDC*) {}
void CTolvanixView::DrawFeaturesLive(CDC*) {}
void CTolvanixView::DrawWaypointIconsLive(CDC*) {}
void CTolvanixView::DrawWaypointNamesLive(CDC*) {}
