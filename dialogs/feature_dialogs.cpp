#include "dialogs/feature_dialogs.h"

#include <algorithm>

#include "app/strings.h"
#include "dialogs/core/feature_rules.h"
#include "dialogs/program_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"
#include "platform/win_app.h"

using feature_rules::LabelStyle;

namespace {

// Control ids.
constexpr int kGridArea = 1069;  // the placeholder the grids fill
constexpr int kObjectGridId = 170;
constexpr int kNewFeature = 1071;
constexpr int kDeleteFeatures = 1072;
constexpr int kImport = 1073;
constexpr int kDetails = 1074;
constexpr int kDetailsGridId = 1070;
constexpr int kNames = 1075;
constexpr int kPicker = 1076;
constexpr int kFirstPattern = 1077;
constexpr int kLastPattern = 1083;
constexpr int kPatternLabel = 1090;
constexpr int kSetDefault = 1091;
constexpr int kDeleteParts = 1285;
constexpr int kSubtractAll = 1286;
constexpr int kSubtractNone = 1287;
constexpr int kPartsGridId = 1288;
constexpr int kSummary = 1289;
constexpr int kNoteText = 1104;
constexpr int kNoteList = 1103;
constexpr int kNoteTitle = 1105;
constexpr int kPointList = 1010;
constexpr int kPointTitle = 1011;
constexpr int kPickCombo = 1012;

// Strings.
constexpr UINT kStrUnnamed = 59167;
constexpr UINT kStrDeletePointsOf = 59174;
constexpr UINT kStrPoint = 59175;
constexpr UINT kStrArea = 59190;
constexpr UINT kStrLine = 59191;
constexpr UINT kStrName = 59192;
constexpr UINT kStrPoints = 59193;
constexpr UINT kStrAreaLabel = 59150;
constexpr UINT kStrPerimeter = 59194;
constexpr UINT kStrLength = 59195;
constexpr UINT kStrType = 59196;
constexpr UINT kStrDesign = 59156;
constexpr UINT kStrVisible = 59197;
constexpr UINT kStrEditable = 59245;
constexpr UINT kStrSubtract = 59285;
constexpr UINT kStrSummary = 59286;

// The grid fills the placeholder panel of the template and reports to the dialog.
bool CreateGridIn(CDialog* dialog, CGridCtrl& grid, int placeholder, UINT id) {
  CWnd* area = dialog->GetDlgItem(placeholder);
  if (!area) return false;
  RECT rect;
  area->GetClientRect(&rect);
  if (!grid.Create(rect, area, id)) return false;
  grid.SetOwner(dialog);
  return true;
}

void SetHeaders(CGridCtrl& grid, const std::vector<std::string>& headers) {
  for (size_t c = 0; c < headers.size(); ++c) grid.SetItemText(0, static_cast<int>(c), headers[c]);
}

void SetCheckCell(CGridCtrl& grid, int row, int col, bool checked) {
  grid.SetCellType<CGridCellCheck>(row, col);
  if (auto* check = dynamic_cast<CGridCellCheck*>(grid.GetCell(row, col))) check->SetCheck(checked);
  grid.SetItemState(row, col, grid.GetItemState(row, col) | GVIS_READONLY);
}

bool CheckOf(CGridCtrl& grid, int row, int col) {
  auto* check = dynamic_cast<CGridCellCheck*>(grid.GetCell(row, col));
  return check && check->GetCheck();
}

void SetColourCell(CGridCtrl& grid, int row, int col, const FeatureRecord& feature) {
  grid.SetCellType<CGridCellColor>(row, col);
  if (auto* cell = dynamic_cast<CGridCellColor*>(grid.GetCell(row, col))) {
    cell->m_color = feature.colour;
    cell->m_pattern = feature.pattern;
    cell->m_tipo = static_cast<int>(feature.type);
  }
}

feature_rules::RowValues RowOf(CGridCtrl& grid, int row, int colourCol, int visibleCol,
                               int editableCol) {
  feature_rules::RowValues values;
  values.name = grid.GetItemText(row, 0);
  if (auto* cell = dynamic_cast<CGridCellColor*>(grid.GetCell(row, colourCol))) {
    values.colour = cell->m_color;
    values.pattern = cell->m_pattern;
  }
  values.visible = CheckOf(grid, row, visibleCol);
  values.editable = CheckOf(grid, row, editableCol);
  return values;
}

// Makes a grid of one header row and rows data rows with whole-row selection.
void ShapeGrid(CGridCtrl& grid, int columns, int rows) {
  grid.SetRowCount(0);
  grid.SetColumnCount(columns);
  grid.SetRowCount(rows + 1);
  grid.SetFixedRowCount(1);
  grid.SetListMode(TRUE);
}

void FitGrid(CGridCtrl& grid) {
  grid.AutoSizeColumns();
  grid.ExpandColumnsToFit();
}

bool RunAreaDesignForCell(CWnd* parent, int featureType, COLORREF& colour, int& pattern) {
  CDlgAreaDesign dialog(featureType, kAreaDesignTemplate, parent);
  dialog.m_color = colour;
  dialog.m_pattern = pattern;
  if (dialog.DoModal() != IDOK) return false;
  colour = dialog.m_color;
  pattern = dialog.m_pattern;
  return true;
}

// Colour cells of every grid open the area design dialog.
const bool g_areaDesignRegistered = (SetGridAreaDesignRunner(&RunAreaDesignForCell), true);

}  // namespace

// ------------------------------------------------------------------------- area design

BEGIN_MESSAGE_MAP(CDlgAreaDesign, CDialogVScroll)
  ON_BN_CLICKED(kSetDefault, &CDlgAreaDesign::OnSetDefault)
END_MESSAGE_MAP()

CDlgAreaDesign::CDlgAreaDesign(int featureType, UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent), m_tipo(featureType) {}

namespace {

// Lines and circles made lines have no fill pattern to choose.
bool DesignsALine(int featureType) {
  return featureType == static_cast<int>(FeatureType::Line) ||
         featureType == static_cast<int>(FeatureType::CircleLine);
}

}  // namespace

BOOL CDlgAreaDesign::OnInitDialog() {
  (void)g_areaDesignRegistered;
  const bool line = DesignsALine(m_tipo);
  if (line) m_pattern = -1;
  CDialogVScroll::OnInitDialog();
  m_colourPicker.SubclassDlgItem(kPicker, this);
  m_colourPicker.SetColour(m_color);
  if (line) {
    if (CWnd* label = GetDlgItem(kPatternLabel)) label->EnableWindow(FALSE);
    for (int id = kFirstPattern; id <= kLastPattern; ++id) {
      if (CWnd* radio = GetDlgItem(id)) radio->EnableWindow(FALSE);
    }
  }
  return TRUE;
}

void CDlgAreaDesign::DoDataExchange(CDataExchange* pDX) {
  // Lines have no fill: the disabled radios keep whatever the toolkit shows checked. An
  // area shown without a pattern (-1) still takes the radio the user checks.
  if (!DesignsALine(m_tipo) || !pDX->m_bSaveAndValidate) DDX_Radio(pDX, kFirstPattern, m_pattern);
  if (pDX->m_bSaveAndValidate && m_colourPicker.GetSafeHwnd()) {
    m_color = m_colourPicker.GetColour();
  }
}

void CDlgAreaDesign::OnOK() { CDialogVScroll::OnOK(); }

void CDlgAreaDesign::OnSetDefault() {
  if (!UpdateData(TRUE)) return;
  if (CWinApp* app = AfxGetApp()) {
    // A line has no fill: new areas keep the pattern they had.
    platform::OptionsStore::NamedValues values;
    if (!DesignsALine(m_tipo)) values.emplace_back("Pattern", m_pattern);
    values.emplace_back("Color", static_cast<int>(m_color));
    app->WriteProfileValues("Opciones", values);
  }
}

// ------------------------------------------------------------------------- object list

BEGIN_MESSAGE_MAP(CDlgObjectList, CDialogVScroll)
  ON_CBN_SELCHANGE(kNames, &CDlgObjectList::OnSelchangeNames)
  ON_BN_CLICKED(kNewFeature, &CDlgObjectList::OnNewFeature)
  ON_BN_CLICKED(kDeleteFeatures, &CDlgObjectList::OnDeleteFeatures)
  ON_BN_CLICKED(kImport, &CDlgObjectList::OnImport)
  ON_NOTIFY(GVN_CLICK, kObjectGridId, &CDlgObjectList::OnGridClick)
  ON_NOTIFY(GVN_ENDLABELEDIT, kObjectGridId, &CDlgObjectList::OnGridEndEdit)
END_MESSAGE_MAP()

CDlgObjectList::CDlgObjectList(int current, CTolvanixDoc* doc, UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent),
      m_doc(doc),
      m_current(current),
      m_typeTexts{LoadResString(kStrArea), LoadResString(kStrLine)} {}

BOOL CDlgObjectList::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  if (CreateGridIn(this, m_details, kDetails, kDetailsGridId)) {
    m_details.SetEditable(FALSE);
    m_details.EnableSelection(FALSE);
    m_details.SetColumnCount(2);
    m_details.SetRowCount(5);
  }
  CreateGridIn(this, m_Grid, kGridArea, kObjectGridId);
  // The list opens on the feature its opener names (a tapped feature's Properties).
  if (m_current >= 0 && m_current < static_cast<int>(m_doc->m_features.size()))
    m_doc->m_current = m_current;
  FillNames();
  FillGrid();
  ShowDetails(m_doc->m_current);
  return TRUE;
}

void CDlgObjectList::FillNames() {
  CComboBox names(GetDlgItem(kNames));
  names.ResetContent();
  for (const FeatureRecord& feature : m_doc->m_features) names.AddString(feature.name);
  names.SetCurSel(m_doc->m_current);
}

void CDlgObjectList::FillGrid() {
  const auto& features = m_doc->m_features;
  const int rows = static_cast<int>(features.size());
  ShapeGrid(m_Grid, 5, rows);
  SetHeaders(m_Grid, {LoadResString(kStrName), LoadResString(kStrType), LoadResString(kStrDesign),
                      LoadResString(kStrVisible), LoadResString(kStrEditable)});
  for (int i = 0; i < rows; ++i) {
    const FeatureRecord& feature = features[i];
    const int row = i + 1;
    m_Grid.SetItemText(row, 0, feature.name);
    m_Grid.SetCellType<CGridCellCombo>(row, 1);
    if (auto* combo = dynamic_cast<CGridCellCombo*>(m_Grid.GetCell(row, 1))) {
      combo->SetOptions(m_typeTexts);
      combo->SetStyle(3);
    }
    m_Grid.SetItemText(row, 1, m_typeTexts[feature_rules::TypeTextIndex(feature.type)]);
    SetColourCell(m_Grid, row, 2, feature);
    SetCheckCell(m_Grid, row, 3, feature.visible != 0);
    SetCheckCell(m_Grid, row, 4, feature.editable != 0);
  }
  m_Grid.SetModified(FALSE);
  FitGrid(m_Grid);
  const int current = m_doc->m_current + 1;
  if (current >= 1 && current <= rows) {
    m_Grid.SetSelectedRange(current, 0, current, 4);
    m_Grid.EnsureVisible(current, 0);
  }
}

void CDlgObjectList::StoreGrid() {
  auto& features = m_doc->m_features;
  for (int row = 1; row < m_Grid.GetRowCount() && row <= static_cast<int>(features.size()); ++row) {
    feature_rules::StoreRow(features[row - 1], RowOf(m_Grid, row, 2, 3, 4), false);
  }
}

void CDlgObjectList::ShowDetails(int feature) {
  if (!m_details.GetSafeHwnd() || feature < 0 ||
      feature >= static_cast<int>(m_doc->m_features.size())) {
    return;
  }
  // The document's texts are made for its current feature.
  const int saved = m_doc->m_current;
  m_doc->m_current = feature;
  const FeatureRecord& record = m_doc->m_features[feature];
  m_details.SetItemText(0, 0, LoadResString(kStrName));
  m_details.SetItemText(0, 1, record.name);
  if (record.type != FeatureType::Line) {
    m_details.SetItemText(1, 0, LoadResString(kStrAreaLabel));
    m_details.SetItemText(1, 1, m_doc->GetAreaText(feature, true));
  } else {
    m_details.SetItemText(1, 0, LoadResString(kStrPoints));
    m_details.SetItemText(1, 1, std::to_string(record.VertexCount()));
  }
  m_details.SetItemText(2, 0, LoadResString(kStrPerimeter));
  m_details.SetItemText(2, 1, m_doc->GetLengthText(1, feature));
  m_details.SetItemText(3, 0, LoadResString(kStrLength));
  m_details.SetItemText(3, 1, m_doc->GetLengthText(0, feature));
  const std::string total = m_doc->TotalVisibleArea();
  m_details.SetItemText(4, 0, total.empty() ? std::string() : " Total Area visible");
  m_details.SetItemText(4, 1, total);
  m_doc->m_current = saved;
  m_details.AutoSizeColumns();
  m_details.Refresh();
}

void CDlgObjectList::OnSelchangeNames() {
  int chosen = CComboBox(GetDlgItem(kNames)).GetCurSel();
  if (chosen >= 0) m_doc->m_current = chosen;
  ShowDetails(chosen);
}

void CDlgObjectList::OnNewFeature() {
  StoreGrid();  // taps on the check boxes so far are kept
  m_doc->AddFeature(m_doc->m_newFeatureKind ? FeatureType::Line : FeatureType::Area,
                    LoadResString(kStrUnnamed));
  m_doc->m_current = static_cast<int>(m_doc->m_features.size()) - 1;
  FillGrid();
  FillNames();
  ShowDetails(m_doc->m_current);
}

void CDlgObjectList::OnDeleteFeatures() {
  if (m_doc->m_features.size() == 1) {
    m_doc->DeleteAllFeatures();
    m_doc->AddFeature(m_doc->m_newFeatureKind ? FeatureType::Line : FeatureType::Area,
                      LoadResString(kStrUnnamed));
    m_doc->m_current = 0;
  } else {
    StoreGrid();
    for (int index : feature_rules::FeaturesToDelete(m_Grid.GetSelectedRows())) {
      // The current index keeps its number; only one past the end moves back (the
      // document's own deletion would follow the feature instead).
      const int current = m_doc->m_current;
      m_doc->DeleteFeature(index);
      const int last = static_cast<int>(m_doc->m_features.size()) - 1;
      m_doc->m_current = std::max(0, std::min(current, last));
    }
  }
  FillGrid();
  FillNames();
  ShowDetails(m_doc->m_current);
  m_doc->SetModifiedFlag(TRUE);
}

void CDlgObjectList::OnImport() {
  StoreGrid();
  if (m_doc->ImportFromObjectList()) {
    FillGrid();
    FillNames();
    ShowDetails(m_doc->m_current);
  }
}

void CDlgObjectList::OnGridClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  const GridNotify* note = GridNotifyOf(header);
  const int row = note->iRow;
  if (row < 1 || row > static_cast<int>(m_doc->m_features.size())) return;
  if (note->iColumn == 3) StoreGrid();
  ShowDetails(row - 1);
}

void CDlgObjectList::OnGridEndEdit(NMHDR* header, LRESULT* result) {
  *result = 0;
  const GridNotify* note = GridNotifyOf(header);
  const int row = note->iRow;
  if (row < 1 || row > static_cast<int>(m_doc->m_features.size())) return;
  if (note->iColumn == 1) {
    FeatureRecord& feature = m_doc->m_features[row - 1];
    feature_rules::TypeChange change =
        feature_rules::ChangeType(feature.type, m_Grid.GetItemText(row, 1), m_typeTexts[0]);
    feature.type = change.type;
    feature.pattern = change.pattern;
    if (auto* cell = dynamic_cast<CGridCellColor*>(m_Grid.GetCell(row, 2))) {
      cell->m_pattern = change.pattern;
      cell->m_tipo = static_cast<int>(change.colourKind);
    }
    m_Grid.RedrawCell(row, 2);
  } else if (note->iColumn == 0) {
    StoreGrid();
    FillNames();
  }
}

void CDlgObjectList::OnOK() {
  StoreGrid();
  CDialogVScroll::OnOK();
}

// ------------------------------------------------------------------------- object grid

BEGIN_MESSAGE_MAP(CDlgObjectGrid, CDialogVScroll)
  ON_BN_CLICKED(kSubtractAll, &CDlgObjectGrid::OnSubtractAll)
  ON_BN_CLICKED(kSubtractNone, &CDlgObjectGrid::OnSubtractNone)
  ON_BN_CLICKED(kDeleteParts, &CDlgObjectGrid::OnDeleteParts)
  ON_NOTIFY(GVN_CLICK, kPartsGridId, &CDlgObjectGrid::OnGridClick)
END_MESSAGE_MAP()

CDlgObjectGrid::CDlgObjectGrid(int current, CTolvanixDoc* doc, UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent), m_doc(doc), m_current(current) {}

INT_PTR CDlgObjectGrid::DoModal() {
  m_parts = feature_rules::LinkedParts(m_doc->m_features, m_current);
  if (m_parts.empty()) return IDOK;
  return CDialogVScroll::DoModal();
}

BOOL CDlgObjectGrid::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  CreateGridIn(this, m_Grid, kGridArea, kPartsGridId);
  FillGrid();
  ShowSummary();
  return TRUE;
}

void CDlgObjectGrid::FillGrid() {
  m_parts = feature_rules::LinkedParts(m_doc->m_features, m_current);
  const int rows = static_cast<int>(m_parts.size());
  ShapeGrid(m_Grid, 6, rows);
  SetHeaders(m_Grid, {LoadResString(kStrName), LoadResString(kStrArea), LoadResString(kStrSubtract),
                      LoadResString(kStrDesign), LoadResString(kStrVisible),
                      LoadResString(kStrEditable)});
  for (int i = 0; i < rows; ++i) {
    const FeatureRecord& part = m_doc->m_features[m_parts[i]];
    const int row = i + 1;
    m_Grid.SetItemText(row, 0, part.name);
    m_Grid.SetItemText(row, 1, m_doc->GetAreaText(m_parts[i], false));
    m_Grid.SetItemState(row, 1, m_Grid.GetItemState(row, 1) | GVIS_READONLY);
    SetCheckCell(m_Grid, row, 2, part.subtract != 0);
    SetColourCell(m_Grid, row, 3, part);
    SetCheckCell(m_Grid, row, 4, part.visible != 0);
    SetCheckCell(m_Grid, row, 5, part.editable != 0);
  }
  m_Grid.SetModified(FALSE);
  FitGrid(m_Grid);
}

void CDlgObjectGrid::StoreGrid() {
  for (int row = 1; row < m_Grid.GetRowCount() && row <= static_cast<int>(m_parts.size()); ++row) {
    feature_rules::RowValues values = RowOf(m_Grid, row, 3, 4, 5);
    values.subtract = CheckOf(m_Grid, row, 2);
    feature_rules::StoreRow(m_doc->m_features[m_parts[row - 1]], values, true);
  }
}

void CDlgObjectGrid::ShowSummary() {
  if (m_current < 0 || m_current >= static_cast<int>(m_doc->m_features.size())) return;
  const std::string text = feature_rules::FormatText(
      LoadResString(kStrSummary),
      {m_doc->m_features[m_current].name, m_doc->GetAreaText(m_current, true),
       m_doc->GetAreaText(m_current, false)});
  SetDlgItemText(kSummary, text);
}

void CDlgObjectGrid::SetSubtractAll(bool subtract) {
  StoreGrid();
  for (int part : m_parts) m_doc->m_features[part].subtract = subtract ? 1 : 0;
  FillGrid();
  ShowSummary();
}

void CDlgObjectGrid::OnSubtractAll() { SetSubtractAll(true); }

void CDlgObjectGrid::OnSubtractNone() { SetSubtractAll(false); }

void CDlgObjectGrid::OnDeleteParts() {
  StoreGrid();
  std::vector<int> doomed;
  for (int row : m_Grid.GetSelectedRows()) {
    if (row >= 1 && row <= static_cast<int>(m_parts.size())) doomed.push_back(m_parts[row - 1]);
  }
  std::sort(doomed.begin(), doomed.end(), std::greater<int>());
  for (int index : doomed) {
    if (index < m_current) --m_current;  // the parent moves up with every earlier deletion
    m_doc->DeleteFeature(index);
  }
  FillGrid();
  ShowSummary();
  m_doc->SetModifiedFlag(TRUE);
}

void CDlgObjectGrid::OnGridClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  const GridNotify* note = GridNotifyOf(header);
  if (note->iRow >= 1 && note->iRow <= static_cast<int>(m_parts.size())) {
    if (note->iColumn == 2) {
      StoreGrid();
      ShowSummary();
    }
    m_doc->SetModifiedFlag(TRUE);
  }
}

void CDlgObjectGrid::OnOK() {
  StoreGrid();
  CDialogVScroll::OnOK();
}

// ------------------------------------------------------------------------- notes

BEGIN_MESSAGE_MAP(CDlgNotas, CDialog)
  ON_LBN_SELCHANGE(kNoteList, &CDlgNotas::OnSelchangeVertex)
END_MESSAGE_MAP()

CDlgNotas::CDlgNotas(CTolvanixDoc* doc, CWnd* parent) : CDialog(kNotesTemplate, parent), m_doc(doc) {
  if (const FeatureRecord* feature = m_doc->CurrentFeature()) m_title = feature->name;
}

BOOL CDlgNotas::OnInitDialog() {
  CDialog::OnInitDialog();
  platform::ui::RouteListBoxNotifications(this, GetWxWindow());
  FillList();
  return TRUE;
}

void CDlgNotas::FillList() {
  CComboBox list(GetDlgItem(kNoteList));
  list.ResetContent();
  const FeatureRecord* feature = m_doc->CurrentFeature();
  if (!feature) return;
  for (const std::string& label : feature_rules::PointLabels(
           LoadResString(kStrPoint), *feature, LabelStyle::Starred, false)) {
    list.AddString(label);
  }
  if (m_vertex >= 0) list.SetCurSel(m_vertex);
}

void CDlgNotas::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kNoteTitle, m_title);
  DDX_Text(pDX, kNoteText, m_note);
  if (m_vertex >= 0) DDV_MaxChars(pDX, m_note, feature_rules::kMaxNoteChars);
}

bool CDlgNotas::TakeNote() {
  FeatureRecord* feature = m_doc->CurrentFeature();
  if (!feature || m_vertex < 0 || m_vertex >= static_cast<int>(feature->vertexNotes.size())) {
    return true;
  }
  if (GetDlgItemText(kNoteText) == feature->vertexNotes[m_vertex]) return true;
  if (!UpdateData(TRUE)) return false;
  feature->vertexNotes[m_vertex] = m_note;
  m_changed = true;
  return true;
}

void CDlgNotas::OnSelchangeVertex() {
  CComboBox list(GetDlgItem(kNoteList));
  const int chosen = list.GetCurSel();
  if (!TakeNote()) {
    list.SetCurSel(m_vertex);
    return;
  }
  const bool relabel = m_changed;
  m_changed = false;
  m_vertex = chosen;
  const FeatureRecord* feature = m_doc->CurrentFeature();
  m_note = feature && chosen >= 0 && chosen < static_cast<int>(feature->vertexNotes.size())
               ? feature->vertexNotes[chosen]
               : std::string();
  SetDlgItemText(kNoteText, m_note);
  if (relabel) FillList();
}

void CDlgNotas::OnOK() {
  if (!TakeNote()) return;
  EndDialog(IDOK);
}

void CDlgNotas::OnCancel() {
  if (!TakeNote()) return;
  EndDialog(IDCANCEL);
}

// ------------------------------------------------------------------------- point choosers

CDlgDeletePoints::CDlgDeletePoints(const std::string& featureName, CTolvanixDoc* doc,
                                   UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent),
      m_title(feature_rules::FormatText(LoadResString(kStrDeletePointsOf), {featureName})),
      m_doc(doc) {
  if (const FeatureRecord* feature = m_doc->CurrentFeature()) {
    m_count = static_cast<int>(feature->VertexCount());
  }
}

BOOL CDlgDeletePoints::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  SetDlgItemText(kPointTitle, m_title);
  CComboBox list(GetDlgItem(kPointList));
  list.ResetContent();
  if (const FeatureRecord* feature = m_doc->CurrentFeature()) {
    for (const std::string& label : feature_rules::PointLabels(
             LoadResString(kStrPoint), *feature, LabelStyle::WithNote, false)) {
      list.AddString(label);
    }
  }
  return TRUE;
}

void CDlgDeletePoints::OnOK() {
  m_chosen = GetListBoxSelections(GetDlgItem(kPointList));
  CDialogVScroll::OnOK();
}

CDlgPickPoint::CDlgPickPoint(const std::string& title, CTolvanixDoc* doc, CWnd* parent)
    : CDialog(kPickPointTemplate, parent), m_title(title), m_doc(doc) {
  if (const FeatureRecord* feature = m_doc->CurrentFeature()) {
    m_count = static_cast<int>(feature->VertexCount());
  }
}

BOOL CDlgPickPoint::OnInitDialog() {
  SetWindowText(m_title);
  CComboBox combo(GetDlgItem(kPickCombo));
  combo.ResetContent();
  if (const FeatureRecord* feature = m_doc->CurrentFeature()) {
    for (const std::string& label : feature_rules::PointLabels(
             LoadResString(kStrPoint), *feature, LabelStyle::WithNote, true)) {
      combo.AddString(label);
    }
  }
  CDialog::OnInitDialog();
  return TRUE;
}

void CDlgPickPoint::DoDataExchange(CDataExchange* pDX) { DDX_CBIndex(pDX, kPickCombo, m_index); }

// ------------------------------------------------------------------------- the document's questions

std::optional<std::vector<int>> ProgramDialogs::ChoosePointsToDelete(CTolvanixDoc& doc) {
  const FeatureRecord* feature = doc.CurrentFeature();
  CDlgDeletePoints dialog(feature ? feature->name : std::string(), &doc);
  if (dialog.DoModal() != IDOK) return std::nullopt;
  return dialog.m_chosen;
}

std::optional<int> ProgramDialogs::PickInsertPosition(CTolvanixDoc& doc) {
  const FeatureRecord* feature = doc.CurrentFeature();
  CDlgPickPoint dialog(feature ? feature->name : std::string(), &doc);
  if (dialog.DoModal() != IDOK || dialog.m_index < 0) return std::nullopt;
  return dialog.m_index;
}

void ProgramDialogs::EditNotes(CTolvanixDoc& doc) {
  CDlgNotas dialog(&doc);
  dialog.DoModal();
}

void ProgramDialogs::ObjectGrid(CTolvanixDoc& doc, int current) {
  CDlgObjectGrid dialog(current, &doc);
  dialog.DoModal();
}

void ProgramDialogs::ObjectList(CTolvanixDoc& doc, int current) {
  CDlgObjectList dialog(current, &doc);
  dialog.DoModal();
}
