#include "dialogs/gps_pages.h"

#include "app/strings.h"
#include "dialogs/gps_dialogs.h"
#include "dialogs/gps_extras_form.h"
#include "dialogs/gps_wait_cursor.h"
#include "platform/message_box.h"
#include "platform/ui/control_notify.h"

namespace {

constexpr UINT kTemplateGps = 146;
constexpr UINT kStringChoosePortAndRate = 59279;

}  // namespace

BEGIN_MESSAGE_MAP(CPageGPS, CPropertyPageVScroll)
  ON_BN_CLICKED(1008, &CPageGPS::OnDetect)
  ON_BN_CLICKED(1203, &CPageGPS::OnAdvanced)
END_MESSAGE_MAP()

CPageGPS::CPageGPS() : CPropertyPageVScroll(kTemplateGps) {}
CPageGPS::~CPageGPS() = default;

BOOL CPageGPS::OnInitDialog() {
  if (CWnd* virtualPort = GetDlgItem(1009)) {
    virtualPort->ShowWindow(SW_HIDE);
    virtualPort->EnableWindow(FALSE);
  }
  return CPropertyPageVScroll::OnInitDialog();
}

void CPageGPS::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, 1007, m_baudIndex);
  DDX_CBIndex(pDX, 1006, m_port);
  DDX_Check(pDX, 1009, m_virtualPort);
  DDX_Check(pDX, 1145, m_readerVariant);
}

void CPageGPS::OnDetect() {
  std::optional<DetectedReceiver> found;
  {
    const WaitCursor wait;
    found = DetectReceiver(m_hWnd);
  }
  if (!found) return;
  m_port = found->port;
  m_baudIndex = found->baudIndex;
  // Only the two combos: a check changed on the page and not yet taken stays as it is.
  CDataExchange toControls(this, FALSE);
  DDX_CBIndex(&toControls, 1007, m_baudIndex);
  DDX_CBIndex(&toControls, 1006, m_port);
}

void CPageGPS::OnAdvanced() {
  if (!UpdateData(TRUE)) return;
  if (m_port == -1 || m_baudIndex == -1) {
    MessageBox(m_hWnd, LoadResString(kStringChoosePortAndRate), kExtrasCaption,
               MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CDlgAdvancedGPS advanced;
  advanced.m_port = m_port;
  advanced.m_baudIndex = m_baudIndex;
  advanced.DoModal();
}
