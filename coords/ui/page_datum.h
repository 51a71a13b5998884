#pragma once
// The datum page of the options sheet (template 143): chooses the working datum from the
// shipped list, WGS84 or the user datum, and shows its ellipsoid and shift to WGS84. Only the
// user datum's values can be typed. The sheet fills the members before the page opens and
// reads them when it is applied; the page itself writes no file and no option.

#include "coords/datum_files.h"
#include "widgets/dialog_vscroll.h"

class CPageDatum : public CPropertyPageVScroll {
 public:
  CPageDatum();
  ~CPageDatum() override;

  BOOL OnInitDialog() override;
  // Refuses to show the page (after saying so) when the datum files could not be read.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnSelchangeDatum();
  void OnHelp();

  // a, b, the shift to WGS84 as SetTOWGS84 takes it (edits 1028-1036) and the ellipsoid code
  // (edit 1232, never typed). Starts all zero with no code, as the sheet sets it.
  DatumRecord m_values;
  int m_datumIndex = -1;     // combo 1038: 0 WGS84, 1-270 the list, 271 the user datum
  BOOL m_comboEnabled = TRUE;  // the sheet clears it while measured data exist

 private:
  // Enables the nine edits for a datum typed by hand; the code edit stays read-only.
  void EnableValueEdits();
  // The typed user datum's check, with its message; false keeps the page.
  bool TypedValuesUsable();

  DatumCatalogue catalogue_;
  DatumFileStatus catalogueStatus_ = DatumFileStatus::ListFileMissing;

  DECLARE_MESSAGE_MAP()
};
