#include "app/main_frame.h"

#include <wx/frame.h>
#include <wx/statusbr.h>

#include "app/strings.h"
#include "app/tolvanix_app.h"
#include "coords/ui/show_help.h"
#include "platform/ui/wx_text.h"

namespace {

constexpr UINT kMainMenu = 174;
constexpr UINT_PTR kPaneTimer = 1;
// Status panes by indicator id: 0 the text pane, then satellites and automatic capture.
constexpr UINT kPanes[] = {0, ID_INDICATOR_SATELLITES, ID_INDICATOR_AUTOCAPTURE};

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_TIMER()
  ON_COMMAND(ID_HELP_PAGE, &CMainFrame::OnHelpPage)
END_MESSAGE_MAP()

void CMainFrame::OnHelpPage() { ShowHelp(); }

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate() {
  wxFrame* frame = GetFrame();
  wxStatusBar* status = frame->CreateStatusBar(3);
  if (!status) return -1;
  // The text pane and the satellite pane share the width; the capture pane is narrow.
  // Pane widths are 96-dpi sizes scaled to the screen, as (dpi x n + 48) / 96.
  int dpi = frame->GetDPI().x > 0 ? frame->GetDPI().x : 96;
  int widths[3] = {-2, -1, (dpi * (theApp.m_hiRes ? 15 : 13) + 48) / 96 + 8};
  int styles[3] = {wxSB_FLAT, wxSB_FLAT, wxSB_FLAT};
  status->SetStatusWidths(3, widths);
  status->SetStatusStyles(3, styles);
  LoadMenuBar(kMainMenu);
  frame->SetTitle("Tolvanix PDA");
  frame->SetSize(frame->FromDIP(wxSize(480, 640)));
  // Status panes show what their update handlers say, as menu items do.
  SetTimer(kPaneTimer, 500);
  return 0;
}

void CMainFrame::SetStatusText(const std::string& text) {
  if (wxFrame* frame = GetFrame()) frame->SetStatusText(platform::ui::ToWx(text), 0);
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id != kPaneTimer || !GetFrame()) return;
  for (int pane = 1; pane < 3; ++pane) {
    CCmdUI ui(kPanes[pane]);
    ui.DoUpdate(this, FALSE);
    if (ui.text) GetFrame()->SetStatusText(platform::ui::ToWx(*ui.text), pane);
  }
}
