#include "view/tolvanix_view.h"

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/input.h"  // mouse and key entries of the tap and key blocks

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
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_ERASEBKGND()
  ON_WM_EXITMENULOOP()
  ON_WM_TIMER()
  // --- end panels ---
  // --- tap (view/view_tap.cpp) ---
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CONTEXTMENU()
  // --- end tap ---
  // --- keys (view/view_keys.cpp) ---
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_HOTKEY()
  // --- end keys ---
  // --- commands (view/view_commands.cpp) ---
  ON_WM_LBUTTONDBLCLK()
  ON_WM_INITMENUPOPUP()
  ON_COMMAND(32800, &CTolvanixView::OnShowWaypoints)
  ON_COMMAND(32840, &CTolvanixView::OnShowWaypointNames)
  ON_COMMAND(32855, &CTolvanixView::OnShowOutlines)
  ON_COMMAND(32857, &CTolvanixView::OnShowLabels)
  ON_COMMAND(32858, &CTolvanixView::OnShowPoints)
  ON_COMMAND(32856, &CTolvanixView::OnShowTitles)
  ON_COMMAND(32833, &CTolvanixView::OnShowNotes)
  ON_COMMAND(32823, &CTolvanixView::OnRuler)
  ON_COMMAND(32808, &CTolvanixView::OnZoomBar)
  ON_COMMAND(32809, &CTolvanixView::OnStopNavigation)
  ON_COMMAND(32876, &CTolvanixView::OnStopNavigationRepaint)
  ON_COMMAND(32802, &CTolvanixView::ToggleAutoCapture)
  ON_COMMAND(32814, &CTolvanixView::OnWaypointDelete)
  ON_COMMAND(32815, &CTolvanixView::OnWaypointEdit)
  ON_COMMAND(32817, &CTolvanixView::OnFeatureActivate)
  ON_COMMAND(32818, &CTolvanixView::OnFeatureDesign)
  ON_COMMAND(32819, &CTolvanixView::OnFeatureHide)
  ON_COMMAND(32820, &CTolvanixView::OnFeatureProperties)
  ON_COMMAND(32845, &CTolvanixView::OnPointQuery)
  ON_COMMAND(1157, &CTolvanixView::OnTwoPointMeasure)
  ON_COMMAND(1158, &CTolvanixView::OnWaypointByTap)
  ON_COMMAND(32878, &CTolvanixView::OnNewLineByTap)
  ON_COMMAND(32877, &CTolvanixView::OnAddVertexByTap)
  ON_COMMAND(32880, &CTolvanixView::OnNewRectangleByDrag)
  ON_COMMAND(32879, &CTolvanixView::OnNewCircleByDrag)
  ON_COMMAND(32889, &CTolvanixView::OnMoveAllByTap)
  ON_COMMAND(32883, &CTolvanixView::OnFirstPoint)
  ON_COMMAND(32884, &CTolvanixView::OnSecondPoint)
  ON_COMMAND(32887, &CTolvanixView::OnEndTapMode)
  ON_COMMAND(32881, &CTolvanixView::OnExtraBar)
  ON_UPDATE_COMMAND_UI(32807, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32811, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32805, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32806, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32845, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(1157, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(1158, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32878, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32877, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32880, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32879, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32889, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32883, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32884, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32887, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32888, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32881, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32852, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32885, &CTolvanixView::OnUpdateViewCommand)
  ON_UPDATE_COMMAND_UI(32882, &CTolvanixView::OnUpdateViewCommand)
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

