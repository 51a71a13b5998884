#include "widgets/dialog_vscroll.h"

// The maps are empty: written out, since the map macros expect at least one entry.

CDialogVScroll::CDialogVScroll(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CDialogVScroll::~CDialogVScroll() = default;

const platform::MessageMap* CDialogVScroll::GetMessageMap() const { return GetThisMessageMap(); }

const platform::MessageMap* CDialogVScroll::GetThisMessageMap() {
  static const platform::MessageMap map{&CDialog::GetThisMessageMap, {}};
  return &map;
}

CPropertyPageVScroll::CPropertyPageVScroll(UINT templateId) : CPropertyPage(templateId) {}

CPropertyPageVScroll::~CPropertyPageVScroll() = default;

const platform::MessageMap* CPropertyPageVScroll::GetMessageMap() const {
  return GetThisMessageMap();
}

const platform::MessageMap* CPropertyPageVScroll::GetThisMessageMap() {
  static const platform::MessageMap map{&CPropertyPage::GetThisMessageMap, {}};
  return &map;
}
