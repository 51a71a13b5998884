#include "dialogs/wizard.h"

#include "dialogs/program_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"

namespace {

constexpr UINT kTemplateCategories = 139;
constexpr UINT kTemplateSummary = 240;
constexpr UINT kTemplateEnd = 226;

// The map view, which owns the wizard's windows.
CWnd* ViewWindowOf(CTolvanixDoc& doc) {
  DocumentView* view = doc.GetFirstView();
  return view ? CWnd::FromHandle(view->GetViewWindow()) : nullptr;
}

}  // namespace

CWizard::CWizard(CWnd* parent) : CPropertySheet(std::string("Wizard"), parent, 0) {}

BEGIN_MESSAGE_MAP(CPageWizard1, CPropertyPage)
  ON_BN_CLICKED(1239, &CPageWizard1::OnCategory1)
  ON_BN_CLICKED(1240, &CPageWizard1::OnCategory2)
END_MESSAGE_MAP()

CPageWizard1::CPageWizard1() : CPropertyPage(kTemplateCategories) {}

void CPageWizard1::Choose(BYTE category) {
  if (m_category) *m_category = category;
  if (CPropertySheet* sheet = GetSheet()) sheet->EndDialog(IDOK);
}

void CPageWizard1::OnCategory1() { Choose(kWizardCategory1); }
void CPageWizard1::OnCategory2() { Choose(kWizardCategory2); }

CDlgSummary::CDlgSummary(CWnd* parent) : CDialogVScroll(kTemplateSummary, parent) {}

void CDlgSummary::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1279, m_name);
  DDX_Text(pDX, 1280, m_area);
  DDX_Text(pDX, 1281, m_length);
  DDX_Text(pDX, 1282, m_perimeter);
  DDX_Text(pDX, 1283, m_vertices);
}

BEGIN_MESSAGE_MAP(CDlgWizardEnd, CDialog)
  ON_BN_CLICKED(1253, &CDlgWizardEnd::OnNextFeature)
  ON_BN_CLICKED(1254, &CDlgWizardEnd::OnNewDocument)
  ON_BN_CLICKED(1255, &CDlgWizardEnd::OnLeave)
END_MESSAGE_MAP()

CDlgWizardEnd::CDlgWizardEnd(CWnd* parent) : CDialog(kTemplateEnd, parent) {}

void CDlgWizardEnd::Choose(int choice) {
  m_choice = choice;
  EndDialog(IDOK);
}

void CDlgWizardEnd::OnNextFeature() { Choose(1); }
void CDlgWizardEnd::OnNewDocument() { Choose(2); }
void CDlgWizardEnd::OnLeave() { Choose(3); }

// ---------------------------------------------------------------------------------------
// The document's wizard questions

std::optional<int> ProgramDialogs::WizardStart(CTolvanixDoc& doc) {
  CWizard sheet(ViewWindowOf(doc));
  CPageWizard1 page;
  page.m_category = &sheet.m_category;
  sheet.AddPage(&page);
  if (sheet.DoModal() != IDOK || sheet.m_category == kWizardNoCategory) return std::nullopt;
  return sheet.m_category;
}

std::optional<std::string> ProgramDialogs::WizardSummary(CTolvanixDoc& doc,
                                                         const WizardSummaryTexts& texts) {
  CDlgSummary summary(ViewWindowOf(doc));
  summary.m_name = texts.name;
  summary.m_area = texts.area;
  summary.m_length = texts.length;
  summary.m_perimeter = texts.perimeter;
  summary.m_vertices = texts.vertices;
  if (summary.DoModal() != IDOK) return std::nullopt;
  return summary.m_name;
}

WizardEndChoice ProgramDialogs::WizardEnd(CTolvanixDoc& doc) {
  CDlgWizardEnd end(ViewWindowOf(doc));
  end.DoModal();
  // 0 (closed without a choice) is none of the choices: the wizard state stays as it is.
  return static_cast<WizardEndChoice>(end.m_choice);
}
