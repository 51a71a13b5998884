#include "coords/ui/page_datum.h"

#include "app/strings.h"
#include "coords/ui/datum_page_form.h"
#include "coords/ui/show_help.h"
#include "platform/message_box.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

namespace {

constexpr UINT kTemplateId = 143;
constexpr int kHelpButton = 1037;
constexpr int kDatumCombo = 1038;
constexpr int kCodeEdit = 1232;
constexpr const char* kCaption = "Tolvanix PDA";

std::filesystem::path InternalFolder() { return std::filesystem::path(ModuleDirectory) / "internal"; }

DatumRecord EmptyValues() {
  DatumRecord values;
  FromDatumPageValues({}, values);
  values.SetCodeText("");
  values.index = -1;
  return values;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPageDatum, CPropertyPageVScroll)
  ON_CBN_SELCHANGE(kDatumCombo, &CPageDatum::OnSelchangeDatum)
  ON_BN_CLICKED(kHelpButton, &CPageDatum::OnHelp)
END_MESSAGE_MAP()

CPageDatum::CPageDatum() : CPropertyPageVScroll(kTemplateId), m_values(EmptyValues()) {}

CPageDatum::~CPageDatum() = default;

void CPageDatum::DoDataExchange(CDataExchange* pDX) {
  DatumPageValues values = ToDatumPageValues(m_values);
  for (int i = 0; i < kDatumPageValueCount; ++i)
    DDX_Text(pDX, kDatumPageFirstEdit + i, values[static_cast<std::size_t>(i)]);
  std::string code = m_values.CodeText();
  DDX_Text(pDX, kCodeEdit, code);
  DDX_CBIndex(pDX, kDatumCombo, m_datumIndex);
  if (pDX->m_bSaveAndValidate && !pDX->Failed()) {
    FromDatumPageValues(values, m_values);
    m_values.SetCodeText(code);
  }
}

BOOL CPageDatum::OnInitDialog() {
  catalogueStatus_ = DatumCatalogue::Open(InternalFolder(), catalogue_);
  CComboBox combo(GetDlgItem(kDatumCombo));
  combo.ResetContent();
  if (catalogueStatus_ == DatumFileStatus::Ok) {
    for (const std::string& name : catalogue_.ComboEntries()) combo.AddString(name);
  }
  CPropertyPageVScroll::OnInitDialog();
  if (CWnd* control = GetDlgItem(kDatumCombo)) control->EnableWindow(m_comboEnabled);
  if (CWnd* code = GetDlgItem(kCodeEdit)) code->EnableWindow(FALSE);
  EnableValueEdits();
  return TRUE;
}

BOOL CPageDatum::OnSetActive() {
  if (catalogueStatus_ != DatumFileStatus::Ok) {
    MessageBox(m_hWnd, DatumPageOpenFailureText(catalogueStatus_), kCaption,
               MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return CPropertyPageVScroll::OnSetActive();
}

BOOL CPageDatum::OnKillActive() {
  return CPropertyPageVScroll::OnKillActive() && TypedValuesUsable();
}

void CPageDatum::OnOK() {
  if (!UpdateData(TRUE) || !TypedValuesUsable()) return;
  if (GetSheet()) GetSheet()->EndDialog(IDOK);
}

void CPageDatum::OnSelchangeDatum() {
  const int index = CComboBox(GetDlgItem(kDatumCombo)).GetCurSel();
  // The values typed so far (a number that does not read was said and is kept as it was).
  UpdateData(TRUE);
  const DatumPageChoice choice =
      ChooseDatumForPage(catalogue_, InternalFolder(), index, m_values);
  m_datumIndex = index;
  m_values = choice.values;
  m_values.SetCodeText(choice.code);
  UpdateData(FALSE);
  EnableValueEdits();
  if (const std::string message = DatumChoiceMessage(choice, index); !message.empty())
    MessageBox(m_hWnd, message, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CPageDatum::OnHelp() { ShowHelp(kHelpTopicDatum); }

void CPageDatum::EnableValueEdits() {
  const BOOL editable = DatumPageEditable(m_datumIndex) ? TRUE : FALSE;
  for (int i = 0; i < kDatumPageValueCount; ++i) {
    if (CWnd* edit = GetDlgItem(kDatumPageFirstEdit + i)) edit->EnableWindow(editable);
  }
}

bool CPageDatum::TypedValuesUsable() {
  const std::string problem = TypedDatumProblem(m_datumIndex, m_values);
  if (problem.empty()) return true;
  MessageBox(m_hWnd, problem, kCaption, MB_OK | MB_ICONEXCLAMATION);
  if (CWnd* edit = GetDlgItem(kDatumPageFirstEdit)) edit->SetFocus();
  return false;
}
