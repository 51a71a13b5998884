#pragma once
// The user projection dialog (template 205): edits a ProjectionRecord (method, up to eight
// parameters, name), lists the stored projections by name and stores the edited one on OK
// (coords/ui/projection_form.h holds the rules).

#include <array>
#include <string>

#include "coords/ui/projection_form.h"
#include "widgets/dialog_vscroll.h"

class CDlgProjection : public CDialogVScroll {
 public:
  CDlgProjection(UINT templateId, ProjectionRecord* projection, CWnd* parent = nullptr);
  ~CDlgProjection() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnSelchangeMethod();
  void OnSelchangeSaved();
  void OnDeleteProjection();
  // Refills the stored-names combo from the list and zeroes the edited record.
  void FillSavedCombo();

  std::string m_name;                        // the stored-names combo's text at OK
  ProjectionRecord* m_pProjection;           // the caller's record
  int m_method = 0;                          // method combo 1200: the ProjectionKind
  std::array<std::string, kProjectionRows> m_labels;  // statics 1180-1187

 private:
  // Labels, shown rows and (for a grid reference) the name field of a method.
  void ShowRows(const ProjectionRowsView& rows);
  ProjectionForm form_;

  DECLARE_MESSAGE_MAP()
};
