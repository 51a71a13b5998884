// The bases of every dialog and every property page of the program. They keep the
// framework's behaviour as it is: no members, no handlers of their own (in particular no
// vertical scrolling), only a message map of their own that chains to the framework's, so
// that the program's dialogs chain through a class of the program.
#pragma once

#include "platform/ui/dialog.h"
#include "platform/ui/property_sheet.h"

class CDialogVScroll : public CDialog {
 public:
  CDialogVScroll(UINT templateId, CWnd* parent = nullptr);
  ~CDialogVScroll() override;

  DECLARE_MESSAGE_MAP()
};

class CPropertyPageVScroll : public CPropertyPage {
 public:
  explicit CPropertyPageVScroll(UINT templateId);
  ~CPropertyPageVScroll() override;

  DECLARE_MESSAGE_MAP()
};
