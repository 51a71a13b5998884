// The start-up wizard's dialogs: the category sheet (CWizard with its one page
// CPageWizard1, template 139), the summary of the measured feature (CDlgSummary, 240) and
// the closing choice (CDlgWizardEnd, 226). The document's wizard commands run them through
// ProgramDialogs (dialogs/program_dialogs.h).
#pragma once

#include <string>

#include "platform/ui/dc.h"
#include "platform/ui/property_sheet.h"
#include "widgets/dialog_vscroll.h"

// The category a wizard measurement starts with (0: none chosen).
enum WizardCategory : BYTE { kWizardNoCategory = 0, kWizardCategory1 = 1, kWizardCategory2 = 2 };

class CWizard : public CPropertySheet {
 public:
  // Caption "Wizard", first page shown.
  explicit CWizard(CWnd* parent = nullptr);

  BYTE m_category = kWizardNoCategory;
  BYTE m_second = 0;
};

// Colours of the category pictures.
inline constexpr COLORREF kWizardPictureBackground = RGB(255, 255, 255);
inline constexpr COLORREF kWizardAreaFill = RGB(150, 220, 120);
inline constexpr COLORREF kWizardAreaOutline = RGB(0, 110, 0);
inline constexpr COLORREF kWizardLineColour = RGB(0, 60, 200);

class CPageWizard1 : public CPropertyPage {
 public:
  CPageWizard1();
  // The category buttons show the program's pictures of an area and a line.
  BOOL OnInitDialog() override;

  // The sheet's category, set by the opener before the sheet runs.
  BYTE* m_category = nullptr;

  // Buttons 1239 and 1240: category 1 or 2, and the sheet ends with IDOK.
  void OnCategory1();
  void OnCategory2();

  DECLARE_MESSAGE_MAP()

 private:
  void Choose(BYTE category);
  CBitmap m_pictures[2];
};

class CDlgSummary : public CDialogVScroll {
 public:
  explicit CDlgSummary(CWnd* parent = nullptr);

  std::string m_name;       // 1279, editable: the feature's new name after OK
  std::string m_area;       // 1280
  std::string m_length;     // 1281
  std::string m_perimeter;  // 1282
  std::string m_vertices;   // 1283

  void DoDataExchange(CDataExchange* pDX) override;
};

class CDlgWizardEnd : public CDialog {
 public:
  explicit CDlgWizardEnd(CWnd* parent = nullptr);

  int m_choice = 0;  // 1 another feature, 2 new document, 3 leave; 0 closed otherwise

  // Buttons 1253, 1254, 1255.
  void OnNextFeature();
  void OnNewDocument();
  void OnLeave();

  DECLARE_MESSAGE_MAP()

 private:
  void Choose(int choice);
};
