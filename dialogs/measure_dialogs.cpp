#include "dialogs/measure_dialogs.h"

#include "app/strings.h"
#include "dialogs/core/measure_texts.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"
#include "platform/win_app.h"
#include "view/core/split_area.h"

namespace {

constexpr UINT kPointFormatString = 59175;  // "Punto %d"
constexpr UINT kWaypointsItemString = 59176;  // "Wpt"
constexpr UINT kEnterNumberString = 61713;
constexpr UINT kShowNumbersCommand = 32857;

constexpr int kFirstObject = 1042, kSecondObject = 1043;
constexpr int kFirstPoints = 1039, kSecondPoints = 1040;
constexpr int kDistance = 1041;

constexpr int kArea1 = 1219, kArea2 = 1220, kLength1 = 1221, kLength2 = 1222;
constexpr UINT kFirstStep = 1227, kLastStep = 1230;

constexpr int kStopButton = 1050, kVertexButton = 1051, kWaypointButton = 1052;

void Enable(CWnd* dialog, int id, bool enable) {
  if (CWnd* control = dialog->GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Point distance
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgPointDistance, CDialogVScroll)
  ON_CBN_SELCHANGE(1042, &CDlgPointDistance::OnSelchangeFirstObject)
  ON_CBN_SELCHANGE(1043, &CDlgPointDistance::OnSelchangeSecondObject)
  ON_LBN_SELCHANGE(1039, &CDlgPointDistance::OnSelchangePoint)
  ON_LBN_SELCHANGE(1040, &CDlgPointDistance::OnSelchangePoint)
END_MESSAGE_MAP()

CDlgPointDistance::CDlgPointDistance(bool gpsConnected, int metrica, CTolvanixDoc* doc,
                                     UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent),
      m_doc(doc),
      m_gpsConnected(gpsConnected),
      m_metrica(metrica),
      m_featureCount(static_cast<int>(doc->m_features.size())),
      m_waypointCount(static_cast<int>(doc->m_waypoints.size())) {
  // "GPS" measures from the position the document holds now, until the next fix replaces it.
  const GpsFix fix = doc->TakeFix();
  m_gpsLon = fix.datumLon;
  m_gpsLat = fix.datumLat;
}

BOOL CDlgPointDistance::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  platform::ui::RouteListBoxNotifications(this, GetWxWindow());
  m_distance.SubclassDlgItem(kDistance, this);
  FillObjects(kFirstObject);
  FillObjects(kSecondObject);
  FillPoints(kFirstObject, kFirstPoints);
  FillPoints(kSecondObject, kSecondPoints);
  ComputeDistance();
  return TRUE;
}

void CDlgPointDistance::FillObjects(int comboId) {
  CComboBox combo(GetDlgItem(comboId));
  combo.ResetContent();
  for (int i = 0; i < m_featureCount; ++i) combo.AddString(m_doc->m_features[i].name);
  combo.AddString(LoadResString(kWaypointsItemString));
  if (m_gpsConnected) combo.AddString("GPS");
  combo.SetCurSel(m_doc->m_current < m_featureCount ? m_doc->m_current : 0);
}

MeasureObject CDlgPointDistance::ObjectOf(int comboId) {
  return ObjectAt(CComboBox(GetDlgItem(comboId)).GetCurSel(), m_featureCount, m_gpsConnected);
}

void CDlgPointDistance::FillPoints(int comboId, int listId) {
  CComboBox list(GetDlgItem(listId));
  list.ResetContent();
  for (const std::string& line :
       PointLines(m_doc->m_content, ObjectOf(comboId), LoadResString(kPointFormatString))) {
    list.AddString(line);
  }
  list.SetCurSel(0);
}

void CDlgPointDistance::OnSelchangeFirstObject() {
  FillPoints(kFirstObject, kFirstPoints);
  m_distance.SetWindowText("");
}

void CDlgPointDistance::OnSelchangeSecondObject() {
  FillPoints(kSecondObject, kSecondPoints);
  m_distance.SetWindowText("");
}

void CDlgPointDistance::OnSelchangePoint() { ComputeDistance(); }

void CDlgPointDistance::SetGpsPosition(double lon, double lat) {
  m_gpsLon = lon;
  m_gpsLat = lat;
  ComputeDistance();
}

void CDlgPointDistance::ComputeDistance() {
  const GeoPoint gps{m_gpsLon, m_gpsLat};
  const auto first = PointAt(m_doc->m_content, ObjectOf(kFirstObject),
                             CComboBox(GetDlgItem(kFirstPoints)).GetCurSel(), gps);
  const auto second = PointAt(m_doc->m_content, ObjectOf(kSecondObject),
                              CComboBox(GetDlgItem(kSecondPoints)).GetCurSel(), gps);
  if (!first || !second) return;
  std::string text;
  m_doc->FormatLength(text, m_doc->UtmDistance(*first, *second));
  m_distance.SetWindowText(text);
}

// ---------------------------------------------------------------------------------------------
// Divide area
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgDividirArea, CDialogVScroll)
  ON_COMMAND_RANGE(1227, 1230, &CDlgDividirArea::OnStep)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CDlgDividirArea::CDlgDividirArea(CTolvanixDoc* doc, UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent), m_doc(doc) {}

BOOL CDlgDividirArea::Create() { return CreateModelessDialog(this, m_pParentWnd, true); }

BOOL CDlgDividirArea::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  const int count = static_cast<int>(m_doc->m_features.size());
  m_part1 = count - 2;
  m_part2 = count - 1;
  SetWindowText(m_title);
  MeasureTexts();
  ShowTexts();
  return TRUE;
}

void CDlgDividirArea::MeasureTexts() {
  m_area1 = m_doc->GetAreaText(m_part1, true);
  m_area2 = m_doc->GetAreaText(m_part2, true);
  // Each part's perimeter: its closed outline, the dividing line included.
  m_length1 = m_doc->GetLengthText(1, m_part1);
  m_length2 = m_doc->GetLengthText(1, m_part2);
}

void CDlgDividirArea::RefreshTexts() {
  MeasureTexts();
  ShowTexts();
}

void CDlgDividirArea::ShowTexts() {
  SetDlgItemText(kArea1, m_area1);
  SetDlgItemText(kArea2, m_area2);
  SetDlgItemText(kLength1, m_length1);
  SetDlgItemText(kLength2, m_length2);
}

void CDlgDividirArea::OnStep(UINT id) {
  if (m_part1 < 0 || static_cast<std::size_t>(m_part2) >= m_doc->m_features.size()) return;
  static_assert(kLastStep - kFirstStep == 3);
  const auto step = static_cast<DividingLineStep>(id - kFirstStep);
  MoveDividingLine(m_doc->m_features[m_part1], m_doc->m_features[m_part2], step);
  m_movePending = true;
  // A burst of presses is measured once, after the last one.
  m_timer = SetTimer(kTimerId, kTimerMilliseconds);
}

void CDlgDividirArea::OnTimer(UINT_PTR id) {
  if (id != kTimerId) return;
  KillTimer(kTimerId);
  m_timer = 0;
  Recompute();
}

void CDlgDividirArea::Recompute() {
  ++m_recomputations;
  m_movePending = false;
  m_doc->RecomputeAreasAndWait(m_part1);
  m_doc->RecomputeAreasAndWait(m_part2);
  MeasureTexts();
  ShowTexts();
  m_doc->m_needsRedraw = true;
  if (CWnd* parent = m_pParentWnd) parent->Invalidate(TRUE);
}

void CDlgDividirArea::Close(bool keepParts) {
  KillTimer(kTimerId);
  m_timer = 0;
  CTolvanixDoc& doc = *m_doc;
  // Parts that are kept carry the measures of their final shape, also when the line was
  // moved within the timer's half second.
  if (keepParts && m_movePending) Recompute();
  if (keepParts) {
    doc.RestoreVisibility(2);
    doc.SetModifiedFlag(TRUE);
  } else {
    RemoveSplitParts(doc);
    doc.RestoreVisibility(0);
  }
  doc.m_splitInProgress = false;
  doc.m_needsRedraw = true;
  doc.UpdateAllViews(nullptr);
  DestroyWindow();
}

void CDlgDividirArea::OnOK() { Close(true); }

void CDlgDividirArea::OnCancel() { Close(false); }

void CDlgDividirArea::OnWindowDestroying() {
  if (m_doc->m_restoreNumbersLayer == 0 && m_pParentWnd) {
    m_pParentWnd->SendMessage(WM_COMMAND, kShowNumbersCommand);
  }
}

// ---------------------------------------------------------------------------------------------
// Averaging
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgAveraging, CDialogVScroll)
  ON_BN_CLICKED(1050, &CDlgAveraging::OnStop)
  ON_BN_CLICKED(1051, &CDlgAveraging::OnStoreVertex)
  ON_BN_CLICKED(1052, &CDlgAveraging::OnStoreWaypoint)
END_MESSAGE_MAP()

CDlgAveraging::CDlgAveraging(UINT templateId, CWnd* parent) : CDialogVScroll(templateId, parent) {}

BOOL CDlgAveraging::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  for (std::size_t i = 0; i < kFields.size(); ++i) m_fields[i].SubclassDlgItem(kFields[i], this);
  Enable(this, IDOK, false);
  Enable(this, kVertexButton, false);
  Enable(this, kWaypointButton, false);
  return TRUE;
}

void CDlgAveraging::ShowTexts(const AverageTexts& texts) {
  const std::string* shown[] = {&texts.longitude, &texts.latitude, &texts.easting,
                                 &texts.northing,  &texts.zone,     &texts.count,
                                 &texts.altitude};
  for (std::size_t i = 0; i < m_fields.size(); ++i) m_fields[i].SetWindowText(*shown[i]);
}

void CDlgAveraging::OnStop() {
  if (m_stop) m_stop();
  Enable(this, kStopButton, false);
  Enable(this, kVertexButton, true);
  Enable(this, kWaypointButton, true);
}

void CDlgAveraging::OnStoreVertex() {
  Enable(this, kVertexButton, false);
  Enable(this, IDOK, true);
  m_choice += 2;
}

void CDlgAveraging::OnStoreWaypoint() {
  Enable(this, kWaypointButton, false);
  Enable(this, IDOK, true);
  m_choice += 1;
}

void CDlgAveraging::OnOK() {
  const std::optional<int> altitude = ParseAltitudeCentimetres(m_fields.back().GetWindowText());
  if (!altitude) {
    std::string text = AfxLoadString(kEnterNumberString);
    AfxMessageBox(text.empty() ? "Please enter a number." : text, MB_OK | MB_ICONEXCLAMATION);
    m_fields.back().SetFocus();
    return;
  }
  m_altitudeCm = *altitude;
  if (m_store && !m_store(m_choice, m_altitudeCm)) {
    // The vertex was refused; the mean of these samples may still become a waypoint.
    if (m_choice & 2) m_choice -= 2;
    Enable(this, kVertexButton, false);
    Enable(this, IDOK, m_choice > 0);
    return;
  }
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// The document's questions
// ---------------------------------------------------------------------------------------------

void ProgramDialogs::PointDistance(CTolvanixDoc& doc, bool hasFix, int metrica) {
  CWnd* view = CWnd::FromHandle(doc.m_hwndView);
  CDlgPointDistance dialog(hasFix, metrica, &doc, 144, view);
  m_pointDistance = &dialog;
  dialog.DoModal();
  m_pointDistance = nullptr;
}

void ProgramDialogs::UpdatePointDistance(double datumLon, double datumLat) {
  if (m_pointDistance) m_pointDistance->SetGpsPosition(datumLon, datumLat);
}

bool ProgramDialogs::WaypointProperties(CTolvanixDoc& doc, WaypointPropertyTexts& texts) {
  CPageWPTCoords coordinates(texts.coord);
  using Field = CPageWPTCoords::Field;
  coordinates.m_texts[Field::kLongitude] = texts.longitude;
  coordinates.m_texts[Field::kLatitude] = texts.latitude;
  coordinates.m_texts[Field::kEasting] = texts.easting;
  coordinates.m_texts[Field::kNorthing] = texts.northing;
  coordinates.m_texts[Field::kAltitude] = texts.altitude;
  coordinates.m_texts[Field::kZone] = texts.zone;
  coordinates.m_texts[Field::kDate] = texts.date;
  coordinates.m_texts[Field::kTime] = texts.time;
  CPageWPTPropiedades properties(texts.name, texts.note);
  CPropertySheet sheet(texts.name, CWnd::FromHandle(doc.m_hwndView));
  sheet.AddPage(&coordinates);
  sheet.AddPage(&properties);
  if (sheet.DoModal() != IDOK) return false;
  texts.name = properties.m_name;
  texts.note = properties.m_note;
  return true;
}
