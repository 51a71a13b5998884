#include "dialogs/wizard.h"

#include <vector>

#include "dialogs/program_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"
#include "platform/ui/dc.h"

namespace {

constexpr UINT kTemplateCategories = 139;
constexpr UINT kTemplateSummary = 240;
constexpr UINT kTemplateEnd = 226;

// The map view, which owns the wizard's windows.
CWnd* ViewWindowOf(CTolvanixDoc& doc) {
  DocumentView* view = doc.GetFirstView();
  return view ? CWnd::FromHandle(view->GetViewWindow()) : nullptr;
}

// The pictures of the two categories, drawn on white: an area (a filled outline) and a line
// (an open path), each with its vertices, `scale` times a 48 x 32 design.
void DrawCategoryPicture(CBitmap& picture, int category, int scale) {
  const int width = 48 * scale, height = 32 * scale;
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  picture.CreateCompatibleBitmap(&mem, width, height);
  CBitmap* old = mem.SelectObject(&picture);
  mem.FillSolidRect(0, 0, width, height, kWizardPictureBackground);
  const POINT area[] = {{6, 24}, {14, 5}, {34, 4}, {43, 16}, {30, 28}};
  const POINT line[] = {{4, 26}, {16, 10}, {28, 20}, {44, 5}};
  const POINT* points = category == 1 ? area : line;
  const int count = category == 1 ? 5 : 4;
  std::vector<POINT> scaled(points, points + count);
  for (POINT& p : scaled) p = {p.x * scale, p.y * scale};
  CPen outline(PS_SOLID, 2 * scale, category == 1 ? kWizardAreaOutline : kWizardLineColour);
  CPen* oldPen = mem.SelectObject(&outline);
  if (category == 1) {
    CBrush fill(kWizardAreaFill);
    CBrush* oldBrush = mem.SelectObject(&fill);
    mem.Polygon(scaled.data(), count);
    mem.SelectObject(oldBrush);
  } else {
    mem.Polyline(scaled.data(), count);
  }
  mem.SelectObject(oldPen);
  for (const POINT& p : scaled)
    mem.FillSolidRect(p.x - 2 * scale, p.y - 2 * scale, 4 * scale, 4 * scale, RGB(0, 0, 0));
  mem.SelectObject(old);
}

}  // namespace

CWizard::CWizard(CWnd* parent) : CPropertySheet(std::string("Wizard"), parent, 0) {}

BEGIN_MESSAGE_MAP(CPageWizard1, CPropertyPage)
  ON_BN_CLICKED(1239, &CPageWizard1::OnCategory1)
  ON_BN_CLICKED(1240, &CPageWizard1::OnCategory2)
END_MESSAGE_MAP()

CPageWizard1::CPageWizard1() : CPropertyPage(kTemplateCategories) {}

BOOL CPageWizard1::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  // High-resolution screens (480 pixels wide or more) get the pictures at twice the size.
  const int scale = GetSystemMetrics(SM_CXSCREEN) >= 480 ? 2 : 1;
  const int buttons[] = {1239, 1240};
  for (int i = 0; i < 2; ++i) {
    DrawCategoryPicture(m_pictures[i], i + 1, scale);
    SetButtonBitmap(GetDlgItem(buttons[i]), m_pictures[i]);
  }
  return TRUE;
}

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
