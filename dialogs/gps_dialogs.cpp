#include "dialogs/gps_dialogs.h"

#include "dialogs/gps_extras_form.h"
#include "dialogs/gps_wait_cursor.h"
#include "document/doc_options.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/input.h"
#include "platform/win_app.h"

namespace {

constexpr UINT kTemplateAdvanced = 225;
constexpr UINT kTemplateWait = 227;
constexpr UINT_PTR kSwitchTimer = 1;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgAdvancedGPS, CDialogVScroll)
  ON_BN_CLICKED(1247, &CDlgAdvancedGPS::OnStaticNavigationOff)
  ON_BN_CLICKED(1248, &CDlgAdvancedGPS::OnStaticNavigationOn)
  ON_BN_CLICKED(1249, &CDlgAdvancedGPS::OnSbasOff)
  ON_BN_CLICKED(1250, &CDlgAdvancedGPS::OnSbasOn)
END_MESSAGE_MAP()

CDlgAdvancedGPS::CDlgAdvancedGPS(CWnd* parent) : CDialogVScroll(kTemplateAdvanced, parent) {
  if (CWinApp* app = AfxGetApp()) {
    m_snAuto = static_cast<int>(app->GetProfileInt(kOptionsSection, "SNAuto", 0));
    m_sbasAuto = static_cast<int>(app->GetProfileInt(kOptionsSection, "SBASAuto", 0));
  }
}

void CDlgAdvancedGPS::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, 1256, m_snAuto);
  DDX_Check(pDX, 1257, m_sbasAuto);
}

void CDlgAdvancedGPS::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (CWinApp* app = AfxGetApp()) {
    app->WriteProfileValues(kOptionsSection, {{"SNAuto", m_snAuto}, {"SBASAuto", m_sbasAuto}});
  }
  EndDialog(IDOK);
}

void CDlgAdvancedGPS::SwitchReceiver(BYTE kind, BYTE flag) {
  UpdateData(TRUE);
  const WaitCursor wait;
  CallExtrasExport("Switch", m_hWnd, m_port, m_baudIndex, kind, flag, 1);
}

void CDlgAdvancedGPS::OnStaticNavigationOff() { SwitchReceiver(0, 0); }
void CDlgAdvancedGPS::OnStaticNavigationOn() { SwitchReceiver(0, 1); }
void CDlgAdvancedGPS::OnSbasOff() { SwitchReceiver(1, 0); }
void CDlgAdvancedGPS::OnSbasOn() { SwitchReceiver(1, 1); }

BEGIN_MESSAGE_MAP(CDlgWaitSIRF, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CDlgWaitSIRF::CDlgWaitSIRF(CWnd* parent) : CDialog(kTemplateWait, parent) {}

BOOL CDlgWaitSIRF::OnInitDialog() {
  CDialog::OnInitDialog();
  // The dialog is on screen before the receiver is busy.
  m_timer = SetTimer(kSwitchTimer, 1000);
  return TRUE;
}

void CDlgWaitSIRF::OnTimer(UINT_PTR id) {
  if (id != kSwitchTimer) return;
  KillTimer(m_timer);
  {
    const WaitCursor wait;
    const SirfSwitch setting = StartupSwitch(m_mode);
    CallExtrasExport("Switch", m_hWnd, m_port, m_baudIndex, setting.kind, setting.flag, 0);
  }
  EndDialog(IDOK);
}

void InstallGpsDialogs() {
  CTolvanixDoc::SetReceiverStartup([](int mode, int port, int baudIndex) {
    CDlgWaitSIRF wait;
    wait.m_mode = mode;
    wait.m_port = port;
    wait.m_baudIndex = baudIndex;
    wait.DoModal();
  });
}
