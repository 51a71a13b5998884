// The main frame's own bars: the command bar with the main menu's buttons and the status bar
// whose tap-and-hold shows the GPS state.
#pragma once

#include "platform/ui/frame.h"

class CMainFrame;

// The command bar: the buttons beside the main menu (capture, automatic capture, averaging,
// GPS on/off, the extra toolbar). No behaviour of its own beyond its buttons.
class CCommandBarCombo : public CToolBar {};

class CMainStatusBar : public CStatusBar {
 public:
  // Tap and hold on the bar: the frame shows the GPS state.
  void OnContextMenu() override;
  CMainFrame* m_frame = nullptr;
};
