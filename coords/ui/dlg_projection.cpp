#include "coords/ui/dlg_projection.h"

#include "app/strings.h"
#include "platform/message_box.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

BEGIN_MESSAGE_MAP(CDlgProjection, CDialogVScroll)
  ON_CBN_SELCHANGE(kProjectionMethodCombo, &CDlgProjection::OnSelchangeMethod)
  ON_CBN_SELCHANGE(kProjectionSavedCombo, &CDlgProjection::OnSelchangeSaved)
  ON_BN_CLICKED(kProjectionDeleteButton, &CDlgProjection::OnDeleteProjection)
END_MESSAGE_MAP()

CDlgProjection::CDlgProjection(UINT templateId, ProjectionRecord* projection, CWnd* parent)
    : CDialogVScroll(templateId, parent),
      m_pProjection(projection),
      form_(projection, std::filesystem::path(ModuleDirectory) / "internal" / kProjectionFileName) {}

CDlgProjection::~CDlgProjection() = default;

void CDlgProjection::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, kProjectionMethodCombo, m_method);
  for (int i = 0; i < kProjectionRows; ++i)
    DDX_Text(pDX, kProjectionFirstEdit + i, m_pProjection->p[static_cast<std::size_t>(i)]);
  if (!pDX->m_bSaveAndValidate) {
    for (int i = 0; i < kProjectionRows; ++i)
      SetDlgItemText(kProjectionFirstLabel + i, m_labels[static_cast<std::size_t>(i)]);
  }
}

BOOL CDlgProjection::OnInitDialog() {
  CComboBox methods(GetDlgItem(kProjectionMethodCombo));
  methods.ResetContent();
  for (const std::string& text : ProjectionMethodComboTexts()) methods.AddString(text);
  const ProjectionRowsView rows = form_.Open();
  CComboBox saved(GetDlgItem(kProjectionSavedCombo));
  saved.ResetContent();
  for (const std::string& name : form_.SavedNames()) saved.AddString(name);
  // Open() chose the newest stored entry: its name stands in the edit field, the record
  // holds only its kind and parameters.
  if (saved.GetCount() > 0) saved.SetCurSel(0);
  m_method = m_pProjection->kind;
  ShowRows(rows);
  return CDialogVScroll::OnInitDialog();
}

void CDlgProjection::ShowRows(const ProjectionRowsView& rows) {
  for (int i = 0; i < kProjectionRows; ++i) {
    m_labels[static_cast<std::size_t>(i)] = rows.labels[static_cast<std::size_t>(i)];
    const int show = rows.RowVisible(i) ? SW_SHOW : SW_HIDE;
    if (CWnd* edit = GetDlgItem(kProjectionFirstEdit + i)) edit->ShowWindow(show);
    if (CWnd* label = GetDlgItem(kProjectionFirstLabel + i)) label->ShowWindow(show);
  }
  if (rows.setsName) SetDlgItemText(kProjectionSavedCombo, rows.nameText);
  UpdateData(FALSE);
  RelayoutDialog(this);
}

void CDlgProjection::OnSelchangeMethod() {
  m_method = CComboBox(GetDlgItem(kProjectionMethodCombo)).GetCurSel();
  ShowRows(form_.SelectMethod(m_method));
}

void CDlgProjection::OnSelchangeSaved() {
  ProjectionRowsView rows;
  if (!form_.SelectSaved(CComboBox(GetDlgItem(kProjectionSavedCombo)).GetCurSel(), rows)) return;
  m_method = m_pProjection->kind;
  ShowRows(rows);
}

void CDlgProjection::OnDeleteProjection() {
  if (form_.DeleteSaved(CComboBox(GetDlgItem(kProjectionSavedCombo)).GetCurSel())) FillSavedCombo();
}

void CDlgProjection::FillSavedCombo() {
  CComboBox saved(GetDlgItem(kProjectionSavedCombo));
  saved.ResetContent();
  for (const std::string& name : form_.SavedNames()) saved.AddString(name);
  *m_pProjection = ProjectionRecord{};
  m_method = m_pProjection->kind;
  ShowRows(ProjectionRowsFor(m_method));
}

void CDlgProjection::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_name = GetDlgItemText(kProjectionSavedCombo);
  const ProjectionForm::OkResult result = form_.Ok(m_name, m_method);
  for (const FormMessage& message : result.messages)
    MessageBox(m_hWnd, message.text, message.caption, message.style);
  switch (result.outcome) {
    case ProjectionForm::OkOutcome::Cancel: EndDialog(IDCANCEL); break;
    case ProjectionForm::OkOutcome::StayOpen: break;
    case ProjectionForm::OkOutcome::Stored: EndDialog(IDOK); break;
  }
}
