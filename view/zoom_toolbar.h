// The zoom toolbar: a tool bar that carries the ruler combo box (control 161) in the place of
// its first button. The main frame creates the bar, fills its buttons, places it and handles
// the combo's selection; the bar has no message handlers of its own.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/frame.h"

class CToolBarZoom : public CToolBar {
 public:
  CToolBarZoom() = default;
  // The combo box goes first, then the bar.
  ~CToolBarZoom() override;

  // Puts the combo box on the bar (after CreateBar), width pixels wide; nullptr before.
  CWnd* CreateComboBox(int controlId, int width);
  // The combo box's items and selection; every call does nothing before CreateComboBox.
  CComboBox ComboBox();

 private:
  int m_comboId = 0;
};
