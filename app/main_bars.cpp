#include "app/main_bars.h"

#include "app/main_frame.h"

void CMainStatusBar::OnContextMenu() {
  if (m_frame) m_frame->OnStatusBarHold();
}
