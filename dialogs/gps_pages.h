// The GPS page of the options sheet (template 146): port and rate of the receiver, the
// reader variant, detection of the receiver through the set-up library (button 1008) and
// the advanced receiver settings (button 1203).
//
// The sheet fills the members before it runs and reads them back after OK:
//   CPageGPS gps;
//   gps.m_port = doc.m_port; gps.m_baudIndex = doc.m_baudIndex; gps.m_readerVariant = edm;
//   sheet.AddPage(&gps);
#pragma once

#include "widgets/dialog_vscroll.h"

class CPageGPS : public CPropertyPageVScroll {
 public:
  CPageGPS();
  ~CPageGPS() override;

  int m_baudIndex = -1;     // combo 1007: selection index = BaudIndex (-1 none)
  int m_port = -1;          // combo 1006: selection index = COM port number (-1 none)
  int m_virtualPort = 0;    // check 1009, always hidden and disabled
  int m_readerVariant = 0;  // check 1145 (option "Edm"): 0 polling reader

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // Button 1008: asks the set-up library for the receiver's port and rate.
  void OnDetect();
  // Button 1203: the advanced receiver settings for the chosen port and rate.
  void OnAdvanced();

  DECLARE_MESSAGE_MAP()
};
