// The main frame: the one top-level window, with the main menu (174) and the status bar.
#pragma once

#include <string>

#include "platform/ui/frame.h"

constexpr UINT ID_INDICATOR_SATELLITES = 59142;
constexpr UINT ID_INDICATOR_AUTOCAPTURE = 59143;
// Opens the help page of the chosen language.
constexpr UINT ID_HELP_PAGE = 32822;

class CMainFrame : public CFrameWnd {
 public:
  CMainFrame();
  ~CMainFrame() override;

  int OnCreate() override;
  void SetStatusText(const std::string& text);
  void OnTimer(UINT_PTR id);
  void OnHelpPage();

  DECLARE_MESSAGE_MAP()
};
