// The map view: the document's single view, filling the main frame. This first cut
// receives the four registered messages; drawing, panels and input join it later.
#pragma once

#include "platform/ui/frame.h"

class CTolvanixDoc;

class CTolvanixView : public CView {
 public:
  CTolvanixView();
  ~CTolvanixView() override;

  CTolvanixDoc* GetDocument() const;
  void OnInitialUpdate() override;
  void OnDraw(CDC* dc) override;

  LRESULT OnRefreshGps(WPARAM, LPARAM);
  LRESULT OnDibujarCampos(WPARAM, LPARAM);
  LRESULT OnAddSegmento(WPARAM, LPARAM);
  LRESULT OnCalcularArea(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};
