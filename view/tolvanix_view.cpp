#include "view/tolvanix_view.h"

#include "app/strings.h"
#include "document/tolvanix_doc.h"

BEGIN_MESSAGE_MAP(CTolvanixView, CView)
  ON_WM_SIZE()
  ON_REGISTERED_MESSAGE(WM_ADD_SEGMENTO, &CTolvanixView::OnAddSegmento)
  ON_COMMAND(32807, &CTolvanixView::OnZoomIn)
  ON_COMMAND(32811, &CTolvanixView::OnZoomOut)
  ON_COMMAND(32805, &CTolvanixView::OnZoomFull)
  ON_COMMAND(32806, &CTolvanixView::OnZoomGps)
  // --- panels (view/view_panels.cpp) ---
  ON_REGISTERED_MESSAGE(WM_REFRESH_GPS, &CTolvanixView::OnRefreshGps)
  ON_REGISTERED_MESSAGE(WM_DIBUJAR_CAMPOS, &CTolvanixView::OnDibujarCampos)
  ON_REGISTERED_MESSAGE(WM_CALCULAR_AREA, &CTolvanixView::OnCalcularArea)
  ON_UPDATE_COMMAND_UI(32804, &CTolvanixView::OnUpdateGpsStatus)
  ON_UPDATE_COMMAND_UI(59143, &CTolvanixView::OnUpdateAutoCapturePane)
  // --- end panels ---
  // --- tap (view/view_tap.cpp) ---
  // --- end tap ---
  // --- keys (view/view_keys.cpp) ---
  // --- end keys ---
  // --- commands (view/view_commands.cpp) ---
  // --- end commands ---
  // --- split (view/view_split.cpp) ---
  ON_COMMAND(32852, &CTolvanixView::OnSplitFeature)
  ON_COMMAND(32885, &CTolvanixView::OnSplitByLine)
  ON_COMMAND(32888, &CTolvanixView::OnSplitByLine)
  // --- end split ---
  // --- navigation (view/view_nav.cpp) ---
  ON_COMMAND(32875, &CTolvanixView::OnNavigateDestination)
  ON_COMMAND(32813, &CTolvanixView::OnNavigateWaypoint)
  ON_COMMAND(32803, &CTolvanixView::OnAveraging)
  ON_COMMAND(32859, &CTolvanixView::OnAveraging)
  ON_COMMAND(32851, &CTolvanixView::OnWaypointProperties)
  // --- end navigation ---
END_MESSAGE_MAP()

CTolvanixDoc* CTolvanixView::GetDocument() const {
  return dynamic_cast<CTolvanixDoc*>(m_pDocument);
}

// Stand-in bodies of other topics' methods that the view's own code calls. Each topic's owner
// deletes its block here when its own file defines the methods.

// --- keys (view/view_keys.cpp) ---
void CTolvanixView::UpdateHotKeys() {}
// --- end keys ---

// --- commands (view/view_commands.cpp) ---
void CTolvanixView::EndTapMode() { m_tapMode = 0; }
// --- end commands ---

