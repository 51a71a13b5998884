// Control helpers for dialogs and pages: a combo box (drop-down list or drop-down with an
// edit field) by control id, and the re-layout after controls were shown or hidden.
//
//   CComboBox combo(GetDlgItem(1038));
//   combo.ResetContent();
//   combo.AddString("WGS84");
//   combo.SetCurSel(0);
#pragma once

#include <string>

#include "platform/ui/wnd.h"

class wxItemContainer;

constexpr int CB_ERR = -1;

// A view over a combo box or choice control; every call does nothing (or answers CB_ERR)
// when the control is missing or of another kind.
class CComboBox {
 public:
  explicit CComboBox(CWnd* control);

  int AddString(const std::string& text);  // index of the new item
  int DeleteString(int index);             // items left, CB_ERR for a bad index
  void ResetContent();                     // no items; an edit field is emptied too
  int GetCount() const;
  int GetCurSel() const;                   // CB_ERR when nothing is selected
  int SetCurSel(int index);                // CB_ERR (and no selection) for -1 or a bad index
  std::string GetLBText(int index) const;

 private:
  wxItemContainer* items_ = nullptr;
};

// Lays out the window's top-level dialog again and fits it to the controls that are shown,
// so that hidden rows take no room and the buttons below them move up.
void RelayoutDialog(CWnd* window);
