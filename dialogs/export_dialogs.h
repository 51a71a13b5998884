// The export and import settings dialogs (windows; their rules are export_settings_form.h).
// Each is built from its question, shows the answer's values and hands them back after OK.
#pragma once

#include <string>
#include <vector>

#include "dialogs/export_settings_form.h"
#include "widgets/dialog_vscroll.h"

class CDlgZoneDatum : public CDialog {
 public:
  CDlgZoneDatum(const ZoneDatumQuestion& question, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  ZoneDatumQuestion m_question;
  ZoneDatumAnswer m_answer;
};

class CDlgDxfSimple : public CDialogVScroll {
 public:
  CDlgDxfSimple(const DxfQuestion& question, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  DxfQuestion m_question;
  DxfAnswer m_answer;
};

class CDlgCoordSystem : public CDialogVScroll {
 public:
  CDlgCoordSystem(const CoordSystemQuestion& question, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnGeographic();
  void OnProjected();

  CoordSystemQuestion m_question;
  CoordSystemAnswer m_answer;

 private:
  void ApplyLayout();
  DECLARE_MESSAGE_MAP()
};

class CDlgSHPFieldName : public CDialogVScroll {
 public:
  CDlgSHPFieldName(std::vector<std::string> fieldNames, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  std::vector<std::string> m_fieldNames;
  int m_selection = 0;
};

// Makes these dialogs the document's export prompts (the program does it at start-up).
void InstallExportDialogs();
