// The main frame: the one top-level window. It carries the main menu (174) with the command
// bar's buttons, the status bar (text, satellites, automatic capture), the zoom toolbar with
// the ruler combo, two toolbars the view shows and hides, and the large two-button toolbar
// of full-screen mode. The map view fills what the bars leave.
//
// Full screen on the desktop: the frame covers the screen above the desktop's own panels
// (the handheld's taskbar, input-panel button and start icon) and shows only the map and the
// full-screen toolbar.
#pragma once

#include <string>
#include <vector>

#include "app/main_bars.h"
#include "platform/ui/frame.h"
#include "view/zoom_toolbar.h"

constexpr UINT ID_INDICATOR_SATELLITES = 59142;
constexpr UINT ID_INDICATOR_AUTOCAPTURE = 59143;
// Opens the help page of the chosen language.
constexpr UINT ID_HELP_PAGE = 32822;
// The ruler combo box on the zoom toolbar.
constexpr int IDC_RULER_COMBO = 161;

class CTolvanixView;

class CMainFrame : public CFrameWnd {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Bars in this order: status bar, command bar, zoom toolbar with the ruler combo,
  // full-screen toolbar (hidden), toolbars 1 and 2 (hidden). -1 when the status bar fails.
  int OnCreate() override;

  // Text of status pane 0.
  void SetStatusText(const std::string& text);
  void ShowCommandBar();
  void EnableRulerCombo(BOOL enable);
  // Selects ruler item index (0 "Auto", 1 "OFF", 2-7 steps 100 to 1).
  void SetRulerSelection(int index);
  // The ruler combo's choice applied to the active map view.
  void OnSelchangeRuler();
  // The combo's enabled state is the frame's own (EnableRulerCombo): its update leaves it.
  void OnUpdateRulerCombo(CCmdUI* ui);
  // Bar 0 the zoom toolbar, 1 toolbar 1, 2 toolbar 2: shown when hidden, hidden when shown;
  // then the layout is recomputed (for any value).
  void ToggleBar(int bar);

  void EnterFullScreen();
  void LeaveFullScreen();
  // While full screen: the desktop's panels again, before a message box or dialog.
  void ShowShellBars();
  // To the front, above the desktop's panels; resize: the frame takes the whole screen.
  void PlaceFrame(BOOL resize);
  // The full-screen toolbar's start/pause button shows running or paused.
  void SetMeasureButtonBitmap(BOOL running);
  // The screen changed (size, input panel): full screen is put back; the panels re-laid.
  void OnSettingChange(UINT flags, const char* section);
  // A menu of the menu bar opens: the view sets its checks, texts and grayed items.
  void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu);
  // Tap and hold on the status bar: the document's GPS status box.
  void OnStatusBarHold();
  void OnDestroy();
  void OnTimer(UINT_PTR id);
  void OnHelpPage();
  // Runs the status panes' update handlers (satellites, automatic capture, fix quality).
  void UpdateStatusPanes();

  BOOL IsFullScreen() const { return m_fullScreen != 0; }
  CTolvanixView* GetMapView() const;

  // The bars, for the view's commands and for tests.
  CCommandBarCombo m_commandBar;
  CMainStatusBar m_statusBar;
  CToolBarZoom m_zoomBar;
  CToolBar m_toolBar1;
  CToolBar m_toolBar2;
  CToolBar m_fullScreenBar;
  // Tooltip texts of the command bar, the zoom toolbar and toolbar 1, loaded by the constructor.
  std::vector<std::string> m_commandTips;
  std::vector<std::string> m_zoomTips;
  std::vector<std::string> m_toolTips;
  std::uint32_t m_fullScreen = 0;

 private:
  void LayoutViewPanels();
  void RegisterDocumentHooks();

  DECLARE_MESSAGE_MAP()
};
