// CContextMenuEdit: an edit that answers the hold gesture (or a right click) with the
// usual edit menu: Undo, Cut, Copy, Paste, Delete and Select all, greyed as they apply.
//
//   m_name.SubclassDlgItem(1041, this);   // in OnInitDialog
#pragma once

#include "platform/ui/controls.h"

class CContextMenuEdit : public CEdit {
 public:
  // Shows the menu at a point in screen coordinates and carries out the chosen item.
  void OnContextMenu(POINT point);

 protected:
  void OnHold(POINT screenPoint) override { OnContextMenu(screenPoint); }
};
