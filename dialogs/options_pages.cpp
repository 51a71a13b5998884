#include "dialogs/options_pages.h"

#include <algorithm>

#include "app/strings.h"
#include "coords/ui/dlg_projection.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

namespace {

void Enable(CWnd* page, int id, bool enable) {
  if (CWnd* control = page->GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

// The state of one check box, read without the page's other checks.
bool Checked(CWnd* page, int id) {
  CDataExchange dx(page, TRUE);
  int value = 0;
  DDX_Check(&dx, id, value);
  return value != 0;
}

void FillCombo(CWnd* page, int id, std::initializer_list<UINT> strings) {
  CComboBox combo(page->GetDlgItem(id));
  combo.ResetContent();
  for (UINT s : strings) combo.AddString(LoadResString(s));
}

// A radio group or combo whose value has no button or item keeps the member as it was.
void DDX_RadioKeep(CDataExchange* pDX, int id, int& value) {
  int shown = value;
  DDX_Radio(pDX, id, shown);
  if (pDX->m_bSaveAndValidate) value = ChoiceOrKeep(shown, value);
}

void DDX_CBIndexKeep(CDataExchange* pDX, int id, int& value) {
  int shown = value;
  DDX_CBIndex(pDX, id, shown);
  if (pDX->m_bSaveAndValidate) value = ChoiceOrKeep(shown, value);
}

// Capture page controls.
constexpr int kIntervalEdit = 1018, kIntervalLabel = 1019;
constexpr UINT kOffsetLabel = 59213;  // beyond wxWidgets' ids: found by CommandToWxId
constexpr int kSideLeft = 1096, kSideRight = 1097, kNoOffset = 1098;
constexpr int kDistanceEdit = 1099, kDistancePlus = 1100, kDistanceMinus = 1101;

// Units page controls.
constexpr int kGeographic = 1015, kUtm = 1016, kProjection = 1095;
constexpr int kGeoFormat = 1237, kAutoZone = 1068, kZoneEdit = 1017, kProjectionButton = 1094;
constexpr UINT kProjectionTemplate = 205;

// Other page.
constexpr int kBearing = 1000, kMetric = 1003, kImperial = 1004, kFeet = 1271;

// Filter page.
constexpr int kFilterOn = 1118, kLimitEdit = 1117, kLimitSlider = 1116, kFilterBeep = 1119,
              kFilterPoints = 1120, kFilterWaypoints = 1121, kFilterAveraging = 1122;

// Waypoint name page.
constexpr int kAskName = 1125, kDefaultName = 1126, kPrefixName = 1127, kPrefixEdit = 1128;

// Display page.
constexpr int kFeatureKind = 1129, kFontSize = 1054, kOverlay = 1053, kWizard = 1002,
              kContextMenu = 1005, kNotifyActive = 1102, kSoundCapture = 1262;

// Navigation page.
constexpr int kNavStyle = 1292, kNavSound = 1290, kNavDistance = 1291;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Capture
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageCaptura, CPropertyPageVScroll)
  ON_BN_CLICKED(kSideLeft, &CPageCaptura::OnOffsetSide)
  ON_BN_CLICKED(kSideRight, &CPageCaptura::OnOffsetSide)
  ON_BN_CLICKED(kNoOffset, &CPageCaptura::OnNoOffset)
  ON_BN_CLICKED(kDistancePlus, &CPageCaptura::OnDistancePlus)
  ON_BN_CLICKED(kDistanceMinus, &CPageCaptura::OnDistanceMinus)
END_MESSAGE_MAP()

CPageCaptura::CPageCaptura(int metrica, UINT templateId)
    : CPropertyPageVScroll(templateId), m_metrica(metrica) {}

void CPageCaptura::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kIntervalEdit, m_settings.interval);
  DDX_RadioKeep(pDX, kSideLeft, m_settings.offsetSide);
}

BOOL CPageCaptura::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  SetDlgItemText(kIntervalLabel, LoadResString(capture_page::IntervalLabelId(m_metrica)));
  SetDlgItemText(platform::ui::CommandToWxId(kOffsetLabel), LoadResString(capture_page::OffsetLabelId(m_metrica)));
  const bool editable = capture_page::DistanceEditable(m_settings.offsetSide);
  SetDlgItemText(kDistanceEdit, capture_page::DistanceText(editable ? m_settings.offsetDistance : 0));
  EnableDistance(editable);
  return TRUE;
}

void CPageCaptura::EnableDistance(bool enable) {
  for (int id : {kDistanceEdit, kDistancePlus, kDistanceMinus}) Enable(this, id, enable);
}

void CPageCaptura::ReadDistance() {
  if (auto value = capture_page::ReadDistance(GetDlgItemText(kDistanceEdit)))
    m_settings.offsetDistance = *value;
}

void CPageCaptura::OnOffsetSide() { EnableDistance(true); }

void CPageCaptura::OnNoOffset() {
  m_settings.offsetDistance = 0;
  SetDlgItemText(kDistanceEdit, capture_page::DistanceText(0));
  EnableDistance(false);
}

void CPageCaptura::StepDistance(int delta) {
  ReadDistance();
  m_settings.offsetDistance = capture_page::StepDistance(m_settings.offsetDistance, delta);
  SetDlgItemText(kDistanceEdit, capture_page::DistanceText(m_settings.offsetDistance));
}

void CPageCaptura::OnDistancePlus() { StepDistance(1); }
void CPageCaptura::OnDistanceMinus() { StepDistance(-1); }

void CPageCaptura::OnOK() {
  if (!UpdateData(TRUE)) return;
  // An interval below the minimum keeps the sheet open on this page, with the reason.
  CDataExchange dx(this, TRUE);
  dx.m_idLastControl = kIntervalEdit;
  DDV_MinMaxDouble(&dx, m_settings.interval, capture_page::kMinimumInterval,
                   capture_page::kMaximumInterval);
  if (dx.Failed()) return;
  ReadDistance();
  if (GetSheet()) GetSheet()->EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// Units
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPaginaUnidades, CPropertyPageVScroll)
  ON_BN_CLICKED(kGeographic, &CPaginaUnidades::OnGeographic)
  ON_BN_CLICKED(kUtm, &CPaginaUnidades::OnUtm)
  ON_BN_CLICKED(kProjection, &CPaginaUnidades::OnProjection)
  ON_BN_CLICKED(kAutoZone, &CPaginaUnidades::OnAutoZone)
  ON_BN_CLICKED(kProjectionButton, &CPaginaUnidades::OnProjectionDialog)
END_MESSAGE_MAP()

CPaginaUnidades::CPaginaUnidades(const ProjectionRecord& projection, UINT templateId)
    : CPropertyPageVScroll(templateId) {
  m_settings.projection = projection;
}

void CPaginaUnidades::DoDataExchange(CDataExchange* pDX) {
  DDX_RadioKeep(pDX, kGeographic, m_settings.display);
  DDX_CBIndexKeep(pDX, kGeoFormat, m_settings.geoType);
  DDX_Check(pDX, kAutoZone, m_settings.autoZone);
  DDX_Text(pDX, kZoneEdit, m_settings.zone);
  DDV_MinMaxInt(pDX, m_settings.zone, units_page::kMinZone, units_page::kMaxZone);
}

BOOL CPaginaUnidades::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  SetDlgItemText(kProjection, "Other projections");
  Apply(units_page::AtStart(m_settings.display, m_settings.autoZone != 0));
  return TRUE;
}

void CPaginaUnidades::Apply(const units_page::Enabling& e) {
  Enable(this, kGeoFormat, e.formatCombo);
  Enable(this, kAutoZone, e.autoZoneCheck);
  Enable(this, kZoneEdit, e.zoneEdit);
  Enable(this, kProjectionButton, e.projectionButton);
}

bool CPaginaUnidades::AutoZoneChecked() { return Checked(this, kAutoZone); }

void CPaginaUnidades::OnGeographic() { Apply(units_page::OnDisplayChosen(0, AutoZoneChecked())); }

void CPaginaUnidades::OnUtm() {
  UpdateData(TRUE);
  Apply(units_page::OnDisplayChosen(1, AutoZoneChecked()));
}

void CPaginaUnidades::OnProjection() { Apply(units_page::OnDisplayChosen(2, AutoZoneChecked())); }

void CPaginaUnidades::OnAutoZone() {
  UpdateData(TRUE);
  Enable(this, kZoneEdit, !AutoZoneChecked());
}

void CPaginaUnidades::OnProjectionDialog() {
  CDlgProjection dialog(kProjectionTemplate, &m_settings.projection);
  if (dialog.DoModal() == IDOK) return;
  // Without a projection the display goes back to geographic; the other controls keep
  // their enabling.
  m_settings.display = 0;
  CDataExchange dx(this, FALSE);
  DDX_Radio(&dx, kGeographic, m_settings.display);
}

// ---------------------------------------------------------------------------------------------
// Other settings
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPaginaOtras, CPropertyPageVScroll)
  ON_BN_CLICKED(kMetric, &CPaginaOtras::OnMetric)
  ON_BN_CLICKED(kImperial, &CPaginaOtras::OnImperial)
END_MESSAGE_MAP()

CPaginaOtras::CPaginaOtras(UINT templateId) : CPropertyPageVScroll(templateId) {}

void CPaginaOtras::DoDataExchange(CDataExchange* pDX) {
  DDX_RadioKeep(pDX, kBearing, m_settings.bearingUnit);
  DDX_RadioKeep(pDX, kMetric, m_settings.metrica);
  DDX_Check(pDX, kFeet, m_settings.feet);
}

BOOL CPaginaOtras::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  Enable(this, kFeet, other_page::FeetEnabled(m_settings.metrica));
  return TRUE;
}

void CPaginaOtras::OnMetric() { Enable(this, kFeet, false); }
void CPaginaOtras::OnImperial() { Enable(this, kFeet, true); }

// ---------------------------------------------------------------------------------------------
// HDOP filter
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageFiltro, CPropertyPageVScroll)
  ON_BN_CLICKED(kFilterOn, &CPageFiltro::OnFilterOn)
END_MESSAGE_MAP()

CPageFiltro::CPageFiltro(UINT templateId) : CPropertyPageVScroll(templateId) {}

void CPageFiltro::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, kFilterOn, m_settings.on);
  DDX_Check(pDX, kFilterBeep, m_settings.beep);
  DDX_Check(pDX, kFilterPoints, m_settings.points);
  DDX_Check(pDX, kFilterAveraging, m_settings.averaging);
  DDX_Check(pDX, kFilterWaypoints, m_settings.waypoints);
  // The limit is shown by the numeric edit in its format; it is only read back here.
  if (pDX->m_bSaveAndValidate) DDX_Text(pDX, kLimitEdit, m_settings.limit);
}

BOOL CPageFiltro::OnInitDialog() {
  m_limitEdit.SubclassDlgItem(kLimitEdit, this);
  m_limitEdit.AttachSlider(this, kLimitSlider);
  m_limitEdit.SetRange(filter_page::kMinLimit, filter_page::kMaxLimit, filter_page::kTicks,
                       filter_page::kFormat);
  // A stored limit outside the page's range is shown at the nearest end of it.
  if (!m_limitEdit.SetValue(m_settings.limit))
    m_limitEdit.SetValue(
        std::clamp(m_settings.limit, filter_page::kMinLimit, filter_page::kMaxLimit));
  CPropertyPageVScroll::OnInitDialog();
  EnableFilterControls();
  return TRUE;
}

void CPageFiltro::EnableFilterControls() {
  const bool on = Checked(this, kFilterOn);
  for (int id : {kLimitSlider, kLimitEdit, kFilterBeep, kFilterPoints, kFilterWaypoints,
                 kFilterAveraging})
    Enable(this, id, on);
}

void CPageFiltro::OnFilterOn() { EnableFilterControls(); }

// ---------------------------------------------------------------------------------------------
// Waypoint names
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageWptName, CPropertyPageVScroll)
  ON_BN_CLICKED(kAskName, &CPageWptName::OnNaming)
  ON_BN_CLICKED(kDefaultName, &CPageWptName::OnNaming)
  ON_BN_CLICKED(kPrefixName, &CPageWptName::OnNaming)
END_MESSAGE_MAP()

CPageWptName::CPageWptName(UINT templateId) : CPropertyPageVScroll(templateId) {}

void CPageWptName::DoDataExchange(CDataExchange* pDX) {
  DDX_RadioKeep(pDX, kAskName, m_settings.naming);
  DDX_Text(pDX, kPrefixEdit, m_settings.prefix);
  DDV_MaxChars(pDX, m_settings.prefix, waypoint_name_page::kMaxPrefix);
}

BOOL CPageWptName::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  Enable(this, kPrefixEdit, waypoint_name_page::PrefixEditable(m_settings.naming));
  return TRUE;
}

void CPageWptName::OnNaming() {
  CDataExchange dx(this, TRUE);
  int naming = -1;
  DDX_Radio(&dx, kAskName, naming);
  Enable(this, kPrefixEdit, waypoint_name_page::PrefixEditable(naming));
}

// ---------------------------------------------------------------------------------------------
// Display and behaviour
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageColores, CPropertyPageVScroll)
  ON_CBN_SELCHANGE(kFontSize, &CPageColores::OnFontSizeChosen)
END_MESSAGE_MAP()

CPageColores::CPageColores(UINT templateId) : CPropertyPageVScroll(templateId) {}

void CPageColores::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, kOverlay, m_settings.overlay);
  DDX_Check(pDX, kWizard, m_settings.wizardOnStart);
  DDX_Check(pDX, kContextMenu, m_settings.contextMenu);
  DDX_Check(pDX, kNotifyActive, m_settings.notifyActive);
  DDX_Check(pDX, kSoundCapture, m_settings.soundCapture);
}

BOOL CPageColores::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  CComboBox(GetDlgItem(kFontSize)).SetCurSel(display_page::FontItem(m_settings.fontSize));
  FillCombo(this, kFeatureKind,
            {display_page::kFeatureKindStrings[0], display_page::kFeatureKindStrings[1]});
  CComboBox(GetDlgItem(kFeatureKind)).SetCurSel(m_settings.newFeatureKind != 0 ? 1 : 0);
  return TRUE;
}

void CPageColores::OnFontSizeChosen() {
  const int item = CComboBox(GetDlgItem(kFontSize)).GetCurSel();
  if (item != CB_ERR) m_settings.fontSize = display_page::FontSizeOfItem(item);
}

void CPageColores::OnOK() {
  m_settings.newFeatureKind =
      ChoiceOrKeep(CComboBox(GetDlgItem(kFeatureKind)).GetCurSel(), m_settings.newFeatureKind);
  CPropertyPageVScroll::OnOK();
}

// ---------------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------------

CPageKeys::CPageKeys(UINT templateId) : CPropertyPageVScroll(templateId) {}

void CPageKeys::DoDataExchange(CDataExchange* pDX) {
  for (int k = 0; k < kKeyCount; ++k)
    DDX_CBIndexKeep(pDX, keys_page::kFirstCombo + k, m_settings.actions[static_cast<std::size_t>(k)]);
  DDX_Check(pDX, platform::ui::CommandToWxId(keys_page::kHotKeyCheck), m_settings.hotKeys);
}

BOOL CPageKeys::OnInitDialog() {
  for (int k = 0; k < kKeyCount; ++k) {
    CComboBox combo(GetDlgItem(keys_page::kFirstCombo + k));
    combo.ResetContent();
    for (UINT s : keys_page::kActionStrings) combo.AddString(LoadResString(s));
  }
  return CPropertyPageVScroll::OnInitDialog();
}

// ---------------------------------------------------------------------------------------------
// Navigation
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageNav, CPropertyPageVScroll)
  ON_BN_CLICKED(kNavSound, &CPageNav::OnSound)
END_MESSAGE_MAP()

CPageNav::CPageNav(int metrica, UINT templateId)
    : CPropertyPageVScroll(templateId), m_metrica(metrica) {}

void CPageNav::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndexKeep(pDX, kNavStyle, m_settings.style);
  DDX_Check(pDX, kNavSound, m_settings.sound);
  double shown = nav_page::ShownDistance(m_settings.distance, m_metrica);
  DDX_Text(pDX, kNavDistance, shown);
  DDV_MinMaxDouble(pDX, shown, nav_page::kMinShown, nav_page::kMaxShown);
  if (pDX->m_bSaveAndValidate && !pDX->Failed())
    m_settings.distance = nav_page::MetresFromShown(shown, m_metrica);
}

BOOL CPageNav::OnInitDialog() {
  FillCombo(this, kNavStyle, {nav_page::kStyleStrings[0], nav_page::kStyleStrings[1]});
  SetDlgItemText(kNavSound, LoadResString(nav_page::SoundCaptionId(m_metrica)));
  CPropertyPageVScroll::OnInitDialog();
  Enable(this, kNavDistance, m_settings.sound != 0);
  return TRUE;
}

void CPageNav::OnSound() {
  UpdateData(TRUE);
  Enable(this, kNavDistance, Checked(this, kNavSound));
}
