#include "app/main_frame.h"

#include <wx/display.h>
#include <wx/frame.h>

#include <algorithm>

#include "app/strings.h"
#include "coords/ui/show_help.h"
#include "dialogs/program_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/controls.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "platform/ui/control_notify.h"
#include "platform/win_app.h"
#include "view/core/info_frame.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kMainMenu = 174;
constexpr UINT_PTR kPaneTimer = 1;
constexpr char kOptions[] = "Opciones";
// Status panes by indicator id: 0 the text pane, then satellites and automatic capture.
constexpr UINT kPanes[] = {0, ID_INDICATOR_SATELLITES, ID_INDICATOR_AUTOCAPTURE};
constexpr UINT kAutoCapture = 32802;
constexpr UINT kGpsOnOff = 32804;
// Full-screen toolbar: start/pause and end of a measurement.
constexpr UINT kStartPauseMeasurement = 210;
constexpr UINT kEndMeasurement = 211;

// A button: its command and the short glyph its image shows (the program has no bitmaps).
struct Button {
  UINT command;
  const char* glyph;
};

constexpr Button kCommandBarButtons[] = {
    {32801, "Cap"}, {32802, "AP"}, {32803, "Avg"}, {32804, "GPS"}, {32881, "Draw"}};
// 32777 is the place of the ruler combo, the buttons follow it.
constexpr Button kZoomBarButtons[] = {{32807, "+"},  {32811, "\u2212"}, {32805, "[ ]"},
                                      {32806, "\u25CE"}, {32832, "Off"},   {32845, "XY"},
                                      {1157, "\u2194"},  {1158, "+Wpt"}};
constexpr Button kToolBar1Buttons[] = {{32878, "+L"},  {32877, "+Pt"},  {32880, "\u25AD"},
                                       {32879, "\u25CB"}, {32882, "GPS\u25CB"}, {32889, "Move"}};
constexpr Button kToolBar2Buttons[] = {{32883, "1"}, {32884, "2"}, {32888, "\u2702"}, {32887, "OK"}};

// Tooltip string ids, in button order.
constexpr UINT kCommandTips[] = {59144, 59145, 59147, 59146, 59290};
constexpr UINT kZoomTips[] = {59211, 59212, 59210, 59209, 59208, 59248, 59277, 59278};
constexpr UINT kToolTips[] = {59282, 59283, 59280, 59281, 59284, 59291};

// Glyphs of the start/pause button while a measurement runs (pause) and while it is paused.
constexpr char kMeasureRunning[] = "\u275A\u275A";
constexpr char kMeasurePaused[] = "\u25B6";

constexpr int kRulerSeparatorWidth = 50;

std::vector<std::string> LoadTips(const UINT* ids, size_t count) {
  std::vector<std::string> tips;
  for (size_t i = 0; i < count; ++i) tips.push_back(LoadResString(ids[i]));
  return tips;
}

template <size_t N>
void AddButtons(CToolBar& bar, const Button (&buttons)[N], const std::vector<std::string>& tips) {
  for (size_t i = 0; i < N; ++i) {
    bar.AddButton(buttons[i].command, buttons[i].glyph, i < tips.size() ? tips[i] : std::string());
  }
  bar.Realize();
}

int ScreenDpiX(wxFrame* frame) {
  const int dpi = frame ? frame->GetDPI().x : 0;
  return dpi > 0 ? dpi : 96;
}

// Portrait as on the handheld (480 x 640 with its bars), within the desktop's work area.
// The size is given as the client area's: so given, the toolkit shows the frame at once at
// that size, instead of waiting for the window manager's border sizes and meanwhile laying
// the frame out at a pixel or two, which no bar can hold.
void PlaceOnDesktop(wxFrame* frame) {
  const wxRect work = wxDisplay(frame).GetClientArea();
  // Menu bar and status bar; the window manager's title bar and borders come on top.
  const wxSize chrome = frame->GetSize() - frame->GetClientSize();
  const wxSize border = frame->FromDIP(wxSize(8, 32));
  wxSize client = frame->FromDIP(wxSize(480, 640)) - chrome;
  client.x = std::min(client.x, work.width - border.x);
  client.y = std::min(client.y, work.height - chrome.y - border.y);
  frame->SetClientSize(client);
}

bool ZoombarOption() {
  CWinApp* app = AfxGetApp();
  return !app || app->GetProfileInt(kOptions, "Zoombar", 1) != 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_WM_SETTINGCHANGE()
  ON_COMMAND(ID_HELP_PAGE, &CMainFrame::OnHelpPage)
  ON_CBN_SELCHANGE(IDC_RULER_COMBO, &CMainFrame::OnSelchangeRuler)
  ON_UPDATE_COMMAND_UI(IDC_RULER_COMBO, &CMainFrame::OnUpdateRulerCombo)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : m_commandTips(LoadTips(kCommandTips, std::size(kCommandTips))),
      m_zoomTips(LoadTips(kZoomTips, std::size(kZoomTips))),
      m_toolTips(LoadTips(kToolTips, std::size(kToolTips))) {
  m_statusBar.m_frame = this;
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnHelpPage() { ShowHelp(); }

CTolvanixView* CMainFrame::GetMapView() const {
  return dynamic_cast<CTolvanixView*>(GetActiveView());
}

int CMainFrame::OnCreate() {
  wxFrame* frame = GetFrame();
  const bool hiRes = IsHiResScreen();
  const int dpiX = ScreenDpiX(frame);

  // Status bar: text pane, satellites (stretching), automatic capture (fixed).
  if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(kPanes, 3)) return -1;
  const StatusPaneWidths widths = StatusPaneWidthsFor(hiRes, dpiX);
  m_statusBar.SetPaneInfo(0, kPanes[0], true, 0);
  // The satellite pane stretches from its designed width; the capture pane keeps its own.
  m_statusBar.SetPaneInfo(1, kPanes[1], true, widths.satellites);
  m_statusBar.SetPaneInfo(2, kPanes[2], false, widths.autoCapture + 8);
  m_statusBar.SetPaneHighlight(2, "AP", false);

  // Command bar: the main menu and its buttons.
  LoadMenuBar(kMainMenu);
  const int image = hiRes ? 30 : 16;
  m_commandBar.CreateBar(this, CToolBar::Dock::Bottom, hiRes ? 32 : 16, image, true);
  AddButtons(m_commandBar, kCommandBarButtons, m_commandTips);

  // Zoom toolbar: the ruler combo in the place of 32777, then the zoom buttons.
  m_zoomBar.CreateBar(this, CToolBar::Dock::Top, hiRes ? 32 : 16, hiRes ? 30 : 15, ZoombarOption());
  const int comboWidth = hiRes ? DpiScaled(dpiX, kRulerSeparatorWidth) : kRulerSeparatorWidth;
  if (m_zoomBar.CreateComboBox(IDC_RULER_COMBO, comboWidth + 30)) {
    CComboBox ruler = m_zoomBar.ComboBox();
    for (const std::string& item : RulerComboItems()) ruler.AddString(item);
    CWinApp* app = AfxGetApp();
    ruler.SetCurSel(InitialRulerItem(app ? app->GetProfileInt(kOptions, "Regla", 0) : 0));
  }
  AddButtons(m_zoomBar, kZoomBarButtons, m_zoomTips);

  // Full-screen toolbar: two large buttons, hidden until full screen.
  m_fullScreenBar.CreateBar(this, CToolBar::Dock::Bottom, hiRes ? DpiScaled(dpiX, 110) : 110,
                            hiRes ? DpiScaled(dpiX, 50) : 50, false);
  m_fullScreenBar.AddButton(kStartPauseMeasurement, kMeasureRunning, std::string());
  m_fullScreenBar.AddButton(kEndMeasurement, "\u25A0", std::string());
  m_fullScreenBar.Realize();

  m_toolBar1.CreateBar(this, CToolBar::Dock::Top, hiRes ? 32 : 16, hiRes ? 30 : 15, false);
  AddButtons(m_toolBar1, kToolBar1Buttons, m_toolTips);
  m_toolBar2.CreateBar(this, CToolBar::Dock::Top, hiRes ? 32 : 16, hiRes ? 30 : 15, false);
  AddButtons(m_toolBar2, kToolBar2Buttons, {});

  frame->SetTitle("Tolvanix PDA");
  PlaceOnDesktop(frame);
  RegisterDocumentHooks();
  RouteMenuBarOpen(
      this,
      [this](CMenu* menu, bool opening) {
        if (opening) {
          OnInitMenuPopup(menu, 0, FALSE);
        } else if (CTolvanixView* view = GetMapView()) {
          view->UpdateMenuState(menu, false);  // texts made ready: no menu is open yet
        }
      },
      [this] {
        // The menu loop of the bar ended: the view repaints what the menu covered.
        if (CTolvanixView* view = GetMapView()) view->SendMessage(WM_EXITMENULOOP, FALSE, 0);
      });
  // Status panes show what their update handlers say, as menu items do.
  SetTimer(kPaneTimer, 500);
  return 0;
}

void CMainFrame::RegisterDocumentHooks() {
  ProgramDialogs::FrameViewHooks hooks;
  hooks.showShellBars = [this] { ShowShellBars(); };
  hooks.enterWizardMeasuring = [this] { EnterFullScreen(); };
  hooks.leaveWizardMeasuring = [this] { LeaveFullScreen(); };
  // The view's own toggle (command 32802), only while capture is on: it ends up off.
  hooks.stopAutoCapture = [this] {
    CTolvanixView* view = GetMapView();
    CTolvanixDoc* doc = view ? view->GetDocument() : nullptr;
    if (doc && doc->m_autoCapture) view->OnCmdMsg(kAutoCapture, CN_COMMAND, nullptr);
  };
  hooks.toggleAutoCapture = [this] {
    if (CTolvanixView* view = GetMapView()) view->OnCmdMsg(kAutoCapture, CN_COMMAND, nullptr);
  };
  hooks.setMeasureButton = [this](bool running) { SetMeasureButtonBitmap(running ? TRUE : FALSE); };
  hooks.updateInfoPanels = [this] {
    if (CTolvanixView* view = GetMapView()) view->UpdateInfoPanels();
  };
  hooks.rebuildNavigation = [this] {
    if (CTolvanixView* view = GetMapView()) view->RebuildNavigation();
  };
  // The desktop has no input panel to lower.
  hooks.inputPanelDown = [] {};
  hooks.resetView = [this] {
    if (CTolvanixView* view = GetMapView()) view->ResetView();
  };
  ProgramDialogs::SetFrameViewHooks(std::move(hooks));
}

void CMainFrame::OnDestroy() {
  ProgramDialogs::SetFrameViewHooks({});
  m_zoomBar.DestroyWindow();
}

void CMainFrame::SetStatusText(const std::string& text) {
  if (m_statusBar.GetPaneText(0) != text) m_statusBar.SetPaneText(0, text);
}

void CMainFrame::UpdateStatusPanes() {
  // The GPS command's update handler puts the fix quality into pane 0.
  CCmdUI gps(kGpsOnOff);
  gps.DoUpdate(this, FALSE);
  for (int pane = 1; pane < 3; ++pane) {
    CCmdUI ui(kPanes[pane]);
    if (!ui.DoUpdate(this, FALSE)) continue;
    if (kPanes[pane] == ID_INDICATOR_AUTOCAPTURE) {
      m_statusBar.SetPaneHighlight(pane, "AP", ui.checked.value_or(0) != 0);
    } else if (ui.text && *ui.text != m_statusBar.GetPaneText(pane)) {
      m_statusBar.SetPaneText(pane, *ui.text);
    }
  }
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kPaneTimer && GetFrame()) UpdateStatusPanes();
}

void CMainFrame::ShowCommandBar() {
  m_commandBar.ShowWindow(SW_SHOW);
  ShowFrameMenuBar(this, true);
  RecalcLayout();
}

void CMainFrame::EnableRulerCombo(BOOL enable) {
  if (CWnd* combo = m_zoomBar.GetDlgItem(IDC_RULER_COMBO)) combo->EnableWindow(enable);
}

void CMainFrame::SetRulerSelection(int index) {
  m_zoomBar.ComboBox().SetCurSel(index);
}

void CMainFrame::OnUpdateRulerCombo(CCmdUI*) {}

void CMainFrame::OnSelchangeRuler() {
  CTolvanixView* view = GetMapView();
  if (!view) return;
  const RulerChoice choice = RulerChoiceForItem(m_zoomBar.ComboBox().GetCurSel());
  view->m_showRuler = choice.show ? 1 : 0;
  if (choice.step) view->m_rulerStep = *choice.step;
  view->Invalidate();
}

void CMainFrame::ToggleBar(int bar) {
  CToolBar* bars[] = {&m_zoomBar, &m_toolBar1, &m_toolBar2};
  if (bar >= 0 && bar <= 2) bars[bar]->ShowWindow(bars[bar]->IsWindowVisible() ? SW_HIDE : SW_SHOW);
  RecalcLayout();
}

void CMainFrame::LayoutViewPanels() {
  RecalcLayout();
  if (CTolvanixView* view = GetMapView()) view->LayoutInfoPanels();
}

void CMainFrame::PlaceFrame(BOOL resize) {
  SetForegroundWindow();
  // Above the desktop's panels; the whole screen is the frame's.
  SetFrameFullScreen(this, true);
  if (resize) RecalcLayout();
}

void CMainFrame::EnterFullScreen() {
  m_statusBar.ShowWindow(SW_HIDE);
  m_zoomBar.ShowWindow(SW_HIDE);
  m_commandBar.ShowWindow(SW_HIDE);
  ShowFrameMenuBar(this, false);
  m_fullScreenBar.ShowWindow(SW_SHOW);
  PlaceFrame(TRUE);
  LayoutViewPanels();
  m_fullScreen = 1;
}

void CMainFrame::LeaveFullScreen() {
  m_fullScreen = 0;
  SetForegroundWindow();
  SetFrameFullScreen(this, false);
  m_fullScreenBar.ShowWindow(SW_HIDE);
  ShowFrameMenuBar(this, true);
  m_commandBar.ShowWindow(SW_SHOW);
  m_statusBar.ShowWindow(SW_SHOW);
  // The view's switch is the live one (the stored "Zoombar" is written when the view goes).
  CTolvanixView* view = GetMapView();
  if (view ? view->m_showZoombar != 0 : ZoombarOption()) m_zoomBar.ShowWindow(SW_SHOW);
  LayoutViewPanels();
}

void CMainFrame::ShowShellBars() {
  if (!m_fullScreen) return;
  SetForegroundWindow();
  SetFrameFullScreen(this, false);
}

void CMainFrame::SetMeasureButtonBitmap(BOOL running) {
  m_fullScreenBar.SetButtonGlyph(kStartPauseMeasurement, running ? kMeasureRunning : kMeasurePaused);
}

void CMainFrame::OnSettingChange(UINT flags, const char* section) {
  CFrameWnd::OnSettingChange(flags, section);
  if (m_fullScreen) {
    SetForegroundWindow();
    SetFrameFullScreen(this, true);
  }
  LayoutViewPanels();
}

void CMainFrame::OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu) {
  CFrameWnd::OnInitMenuPopup(menu, index, sysMenu);
  if (CTolvanixView* view = GetMapView()) view->UpdateMenuState(menu);
}

void CMainFrame::OnStatusBarHold() {
  if (auto* doc = dynamic_cast<CTolvanixDoc*>(GetActiveDocument())) doc->ShowGpsStatus();
}
