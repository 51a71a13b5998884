#include "view/zoom_toolbar.h"

CToolBarZoom::~CToolBarZoom() {
  // Looked up by id: the bar's window (and the combo with it) may be gone already.
  if (CWnd* combo = m_comboId != 0 ? GetDlgItem(m_comboId) : nullptr) combo->DestroyWindow();
}

CWnd* CToolBarZoom::CreateComboBox(int controlId, int width) {
  CWnd* combo = AddComboBox(controlId, width);
  if (combo) m_comboId = controlId;
  return combo;
}

CComboBox CToolBarZoom::ComboBox() {
  return CComboBox(m_comboId != 0 ? GetDlgItem(m_comboId) : nullptr);
}
