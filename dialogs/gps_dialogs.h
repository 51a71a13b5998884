// The receiver dialogs that call the set-up library: the advanced settings (template 225)
// that switch static navigation and SBAS on the receiver at once and keep the choice to
// apply them at every start ("SNAuto", "SBASAuto"), and the wait dialog (template 227) that
// applies them one second into the program's start.
#pragma once

#include "widgets/dialog_vscroll.h"

class CDlgAdvancedGPS : public CDialogVScroll {
 public:
  // Reads "SNAuto" and "SBASAuto"; the opener sets port and baud index.
  explicit CDlgAdvancedGPS(CWnd* parent = nullptr);

  int m_baudIndex = -1;
  int m_port = -1;
  int m_snAuto = 0;    // check 1256
  int m_sbasAuto = 0;  // check 1257

  void DoDataExchange(CDataExchange* pDX) override;
  // Stores "SNAuto" and "SBASAuto" and closes.
  void OnOK() override;

  // Buttons 1247-1250: static navigation off / on, SBAS off / on.
  void OnStaticNavigationOff();
  void OnStaticNavigationOn();
  void OnSbasOff();
  void OnSbasOn();

  DECLARE_MESSAGE_MAP()

 private:
  void SwitchReceiver(BYTE kind, BYTE flag);
};

class CDlgWaitSIRF : public CDialog {
 public:
  explicit CDlgWaitSIRF(CWnd* parent = nullptr);

  int m_mode = 0;  // 0 static navigation off, 1 SBAS on, 2 both
  int m_port = -1;
  int m_baudIndex = -1;
  UINT_PTR m_timer = 0;

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id);

  DECLARE_MESSAGE_MAP()
};

// Has the document run the wait dialog at start-up when the receiver settings are to be
// applied automatically (start-up, before the first document).
void InstallGpsDialogs();
