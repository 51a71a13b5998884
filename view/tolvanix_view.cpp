#include "view/tolvanix_view.h"

#include <wx/dc.h>

#include "app/strings.h"
#include "document/tolvanix_doc.h"

BEGIN_MESSAGE_MAP(CTolvanixView, CView)
  ON_REGISTERED_MESSAGE(WM_REFRESH_GPS, &CTolvanixView::OnRefreshGps)
  ON_REGISTERED_MESSAGE(WM_DIBUJAR_CAMPOS, &CTolvanixView::OnDibujarCampos)
  ON_REGISTERED_MESSAGE(WM_ADD_SEGMENTO, &CTolvanixView::OnAddSegmento)
  ON_REGISTERED_MESSAGE(WM_CALCULAR_AREA, &CTolvanixView::OnCalcularArea)
END_MESSAGE_MAP()

CTolvanixView::CTolvanixView() = default;
CTolvanixView::~CTolvanixView() = default;

CTolvanixDoc* CTolvanixView::GetDocument() const {
  return dynamic_cast<CTolvanixDoc*>(m_pDocument);
}

void CTolvanixView::OnInitialUpdate() {
  if (CTolvanixDoc* doc = GetDocument()) doc->m_hwndView = m_hWnd;
  CView::OnInitialUpdate();
}

void CTolvanixView::OnDraw(CDC* dc) {
  dc->Wx().SetBackground(*wxWHITE_BRUSH);
  dc->Wx().Clear();
}

LRESULT CTolvanixView::OnRefreshGps(WPARAM, LPARAM) { return 0; }
LRESULT CTolvanixView::OnDibujarCampos(WPARAM, LPARAM) { return 0; }
LRESULT CTolvanixView::OnAddSegmento(WPARAM, LPARAM) { return 0; }
LRESULT CTolvanixView::OnCalcularArea(WPARAM, LPARAM) { return 0; }
