#include "dialogs/export_dialogs.h"

#include <memory>

#include "app/strings.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

namespace {

// A locked kind combo asks about an import of shapes (opening an exchange file): lines come
// in as lines and polygons as areas, so the row says that instead of offering export kinds.
constexpr UINT kStringImportKindLabel = 59330, kStringImportKindItem = 59331;

void FillDatumCombo(CWnd* dialog, int id, const DatumQuestion& question) {
  CComboBox combo(dialog->GetDlgItem(id));
  combo.ResetContent();
  const DatumCombo datum = DatumComboFor(question);
  for (const std::string& item : datum.items) combo.AddString(item);
}

void Apply(CWnd* dialog, const DialogLayout& layout) {
  for (const ControlState& c : layout.controls) {
    if (CWnd* control = dialog->GetDlgItem(c.id)) {
      control->ShowWindow(c.visible ? SW_SHOW : SW_HIDE);
      control->EnableWindow(c.enabled);
    }
  }
  if (!layout.title.empty()) dialog->SetWindowText(layout.title);
  if (!layout.projectedCaption.empty()) dialog->SetDlgItemText(kCoordProjectedRadio, layout.projectedCaption);
  RelayoutDialog(dialog);
}

// The zone edit: an integer from 1 to 60, else the framework's message and the dialog stays.
void ExchangeZone(CDataExchange* pDX, int id, int& zone) {
  DDX_Text(pDX, id, zone);
  DDV_MinMaxInt(pDX, zone, kMinZone, kMaxZone);
}

}  // namespace

CDlgZoneDatum::CDlgZoneDatum(const ZoneDatumQuestion& question, CWnd* parent)
    : CDialog(kZoneDatumTemplate, parent), m_question(question), m_answer(InitialAnswer(question)) {}

BOOL CDlgZoneDatum::OnInitDialog() {
  FillDatumCombo(this, kZoneDatumDatum, m_question);
  CDialog::OnInitDialog();
  Apply(this, ZoneDatumLayout(m_question.mode));
  return TRUE;
}

void CDlgZoneDatum::DoDataExchange(CDataExchange* pDX) {
  if (m_question.mode != 2) ExchangeZone(pDX, kZoneDatumZone, m_answer.zone);
  DDX_CBIndex(pDX, kZoneDatumDatum, m_answer.datumChoice);
}

CDlgDxfSimple::CDlgDxfSimple(const DxfQuestion& question, CWnd* parent)
    : CDialogVScroll(kDxfTemplate, parent), m_question(question), m_answer(InitialAnswer(question)) {}

BOOL CDlgDxfSimple::OnInitDialog() {
  FillDatumCombo(this, kDxfDatum, m_question);
  CDialogVScroll::OnInitDialog();
  Apply(this, DxfLayout(m_question.mode));
  return TRUE;
}

void CDlgDxfSimple::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, kDxfDatum, m_answer.datumChoice);
  if (m_question.mode != 2) ExchangeZone(pDX, kDxfZone, m_answer.zone);
  DDX_Radio(pDX, kDxfAltitudeRadio, m_answer.flat);
}

BEGIN_MESSAGE_MAP(CDlgCoordSystem, CDialogVScroll)
  ON_BN_CLICKED(kCoordGeographicRadio, &CDlgCoordSystem::OnGeographic)
  ON_BN_CLICKED(kCoordProjectedRadio, &CDlgCoordSystem::OnProjected)
END_MESSAGE_MAP()

CDlgCoordSystem::CDlgCoordSystem(const CoordSystemQuestion& question, CWnd* parent)
    : CDialogVScroll(kCoordSystemTemplate, parent),
      m_question(question),
      m_answer(InitialAnswer(question)) {}

BOOL CDlgCoordSystem::OnInitDialog() {
  FillDatumCombo(this, kCoordDatum, m_question);
  std::vector<std::string> kindItems = m_question.kindItems;
  std::string kindLabel = m_question.kindLabel;
  if (kindItems.empty() && m_question.lockKindCombo) {
    kindItems = {LoadResString(kStringImportKindItem)};
    kindLabel = LoadResString(kStringImportKindLabel);
  }
  if (!kindItems.empty()) {
    CComboBox kind(GetDlgItem(kCoordKind));
    kind.ResetContent();
    for (const std::string& item : kindItems) kind.AddString(item);
  }
  if (!kindLabel.empty()) SetDlgItemText(kCoordKindLabel, kindLabel);
  CDialogVScroll::OnInitDialog();
  ApplyLayout();
  return TRUE;
}

void CDlgCoordSystem::ApplyLayout() { Apply(this, CoordSystemLayout(m_question, m_answer.coordKind)); }

void CDlgCoordSystem::OnGeographic() {
  m_answer.coordKind = 0;
  ApplyLayout();
}

void CDlgCoordSystem::OnProjected() {
  m_answer.coordKind = 1;
  ApplyLayout();
}

void CDlgCoordSystem::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, kCoordGeographicRadio, m_answer.coordKind);
  // The zone is only read while it can be typed: a geographic answer ignores it.
  if (!pDX->m_bSaveAndValidate || (m_answer.coordKind == 1 && m_question.mode != 2)) {
    ExchangeZone(pDX, kCoordZone, m_answer.zone);
  }
  DDX_CBIndex(pDX, kCoordDatum, m_answer.datumChoice);
  DDX_CBIndex(pDX, kCoordHemisphere, m_answer.hemisphere);
  DDX_CBIndex(pDX, kCoordKind, m_answer.kind);
}

CDlgSHPFieldName::CDlgSHPFieldName(std::vector<std::string> fieldNames, CWnd* parent)
    : CDialogVScroll(kShpFieldTemplate, parent), m_fieldNames(std::move(fieldNames)) {}

BOOL CDlgSHPFieldName::OnInitDialog() {
  CComboBox combo(GetDlgItem(kShpFieldCombo));
  combo.ResetContent();
  for (const std::string& name : m_fieldNames) combo.AddString(name);
  return CDialogVScroll::OnInitDialog();
}

void CDlgSHPFieldName::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, kShpFieldCombo, m_selection);
}

namespace {

class DialogExportPrompts : public ExportPrompts {
 public:
  bool AskZoneDatum(const ZoneDatumQuestion& q, ZoneDatumAnswer& a) override {
    CDlgZoneDatum dlg(q);
    if (dlg.DoModal() != IDOK) return false;
    a = dlg.m_answer;
    return true;
  }
  bool AskDxf(const DxfQuestion& q, DxfAnswer& a) override {
    CDlgDxfSimple dlg(q);
    if (dlg.DoModal() != IDOK) return false;
    a = dlg.m_answer;
    return true;
  }
  bool AskCoordSystem(const CoordSystemQuestion& q, CoordSystemAnswer& a) override {
    CDlgCoordSystem dlg(q);
    if (dlg.DoModal() != IDOK) return false;
    a = dlg.m_answer;
    return true;
  }
  int AskNameField(const std::vector<std::string>& names) override {
    CDlgSHPFieldName dlg(names);
    if (dlg.DoModal() != IDOK) return -1;
    return dlg.m_selection;
  }
};

}  // namespace

void InstallExportDialogs() { SetExportPrompts(std::make_unique<DialogExportPrompts>()); }
