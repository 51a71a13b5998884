#include "dialogs/waypoint_dialogs.h"

#include "app/strings.h"
#include "dialogs/core/waypoint_import.h"
#include "dialogs/core/waypoint_projector.h"
#include "dialogs/program_dialogs.h"
#include "document/export_prompts.h"
#include "document/export_shapefile.h"
#include "document/export_source.h"
#include "document/geo_position.h"
#include "document/tolvanix_doc.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

namespace {

using namespace waypoint_table;

constexpr UINT kStringWpt = 59176;  // "Wpt"
constexpr int kNameEdit = 1124;
constexpr int kPropName = 1205, kPropNote = 1211, kPropCounter = 1259;
constexpr int kCoordsZoneEdit = 1217, kCoordsZoneLabel = 1218;

// Waypoint table controls.
constexpr int kDisplayCombo = 1020, kAddRow = 1021, kBlankRows = 1022, kImport = 173,
              kExport = 1238, kDatumName = 1069, kGridArea = 1300;
constexpr UINT kGridId = 171;
constexpr UINT kHeaderSymbol = 59276, kHeaderName = 59180, kHeaderLongitude = 59182,
               kHeaderLatitude = 59183, kHeaderEasting = 59217, kHeaderNorthing = 59218,
               kHeaderAltitude = 59221, kHeaderZone = 59181;
const std::vector<std::string> kHemispheres{"N", "S"};
// The point import's choice in combo 1231: convert the coordinates by the answer (geographic
// into the datum in use, or UTM of the chosen zone), or take geographic ones as stored.
constexpr UINT kStringImportConvert = 59310, kStringImportAsStored = 59311,
               kStringImportChoice = 59312;
constexpr int kImportConvert = 0, kImportAsStored = 1;
// Posted when a refusal's box has closed: the events the refused edit was part of have run.
constexpr UINT kRefusalSeen = WM_APP + 1;

// A message of the form "...\nRow %d" for a grid row ("Error in %s\nRow %d": the column).
std::string RowMessage(UINT id, const std::string& column, int row) {
  std::string text = LoadResString(id);
  if (std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, column);
  if (std::size_t at = text.find("%d"); at != std::string::npos)
    text.replace(at, 2, std::to_string(row));
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Name of a new waypoint or feature
// ---------------------------------------------------------------------------------------------

CDlgWptName::CDlgWptName(const std::string& title, CWnd* parent, UINT templateId)
    : CDialogVScroll(templateId, parent), m_title(title) {}

void CDlgWptName::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kNameEdit, m_name);
  DDV_MaxChars(pDX, m_name, static_cast<int>(kMaxName));
}

BOOL CDlgWptName::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  SetWindowText(m_title);
  if (CWnd* edit = GetDlgItem(kNameEdit)) edit->SetFocus();
  return FALSE;  // the focus is set
}

// ---------------------------------------------------------------------------------------------
// Waypoint properties pages
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageWPTPropiedades, CPropertyPageVScroll)
  ON_EN_CHANGE(kPropNote, &CPageWPTPropiedades::OnNoteChanged)
END_MESSAGE_MAP()

CPageWPTPropiedades::CPageWPTPropiedades(const std::string& name, const std::string& note,
                                         UINT templateId)
    : CPropertyPageVScroll(templateId), m_name(name), m_note(note) {}

void CPageWPTPropiedades::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kPropName, m_name);
  DDV_MaxChars(pDX, m_name, static_cast<int>(kMaxName));
  DDX_Text(pDX, kPropNote, m_note);
  DDV_MaxChars(pDX, m_note, kMaxNote);
}

BOOL CPageWPTPropiedades::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  OnNoteChanged();
  return TRUE;
}

void CPageWPTPropiedades::OnNoteChanged() {
  const std::string note = GetDlgItemText(kPropNote);
  int characters = 0;
  for (unsigned char c : note) characters += (c & 0xC0) != 0x80;
  SetDlgItemText(kPropCounter, NoteCounterText(characters));
}

CPageWPTCoords::CPageWPTCoords(int mode, UINT templateId)
    : CPropertyPageVScroll(templateId), m_mode(mode) {}

void CPageWPTCoords::DoDataExchange(CDataExchange* pDX) {
  for (std::size_t i = 0; i < kFields.size(); ++i) DDX_Text(pDX, kFields[i], m_texts[i]);
}

BOOL CPageWPTCoords::OnInitDialog() {
  CPropertyPageVScroll::OnInitDialog();
  if (m_mode == 2) {
    for (int id : {kCoordsZoneEdit, kCoordsZoneLabel})
      if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Waypoint table
// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgWaypointTable, CDialogVScroll)
  ON_CBN_SELCHANGE(kDisplayCombo, &CDlgWaypointTable::OnDisplayChosen)
  ON_BN_CLICKED(kAddRow, &CDlgWaypointTable::OnAddRow)
  ON_BN_CLICKED(kBlankRows, &CDlgWaypointTable::OnBlankRows)
  ON_BN_CLICKED(kImport, &CDlgWaypointTable::OnImport)
  ON_BN_CLICKED(kExport, &CDlgWaypointTable::OnExport)
  ON_NOTIFY(GVN_BEGINLABELEDIT, kGridId, &CDlgWaypointTable::OnGridBeginEdit)
  ON_NOTIFY(GVN_ENDLABELEDIT, kGridId, &CDlgWaypointTable::OnGridEndEdit)
  ON_MESSAGE(kRefusalSeen, &CDlgWaypointTable::OnRefusalSeen)
END_MESSAGE_MAP()

CDlgWaypointTable::CDlgWaypointTable(const std::string& datumName, int select,
                                     const std::vector<WaypointRecord>& waypoints,
                                     const std::vector<std::string>& notes, CTolvanixDoc* doc,
                                     UINT templateId, CWnd* parent)
    : CDialogVScroll(templateId, parent),
      m_waypoints(waypoints),
      m_notes(notes),
      datumName_(datumName),
      select_(select),
      doc_(doc),
      table_(std::make_unique<Table>(waypoints, notes, doc->m_geoType, doc->m_coord == 2)) {}

CDlgWaypointTable::~CDlgWaypointTable() = default;

BOOL CDlgWaypointTable::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  CComboBox display(GetDlgItem(kDisplayCombo));
  display.ResetContent();
  display.AddString(table_->ProjectionDisplay() ? "PROJ" : "UTM");
  display.AddString("Lat / Lon");
  display.SetCurSel(kGeographic);
  SetDlgItemText(kDatumName, datumName_);

  if (CWnd* area = GetDlgItem(kGridArea)) {
    RECT rect;
    area->GetClientRect(&rect);
    if (m_Grid.Create(rect, area, kGridId)) m_Grid.SetOwner(this);
  }
  m_Grid.SetFixedRowCount(1);
  m_Grid.SetListMode(TRUE);
  m_Grid.SetSingleRowSelection(FALSE);
  ShowRows();
  // The given waypoint's row is the current one: selected, focused and scrolled to.
  const int row = select_ + 1;
  if (row >= 1 && row < m_Grid.GetRowCount()) {
    m_Grid.SetFocusCell(row, kName);
    m_Grid.SetSelectedRange(row, 0, row, m_Grid.GetColumnCount() - 1);
    m_Grid.EnsureVisible(row, 0);
  }
  return TRUE;
}

void CDlgWaypointTable::ShowRows() {
  const int mode = table_->Mode();
  const int columns = table_->ColumnCount();
  const auto& rows = table_->Rows();
  m_Grid.DeleteAllItems();
  m_Grid.SetColumnCount(columns);
  m_Grid.SetFixedRowCount(1);
  m_Grid.SetRowCount(static_cast<int>(rows.size()) + 1);
  const bool geographic = mode == kGeographic;
  const UINT headers[] = {kHeaderSymbol,
                          kHeaderName,
                          geographic ? kHeaderLongitude : kHeaderEasting,
                          geographic ? kHeaderLatitude : kHeaderNorthing,
                          kHeaderAltitude,
                          kHeaderZone,
                          0};
  for (int c = 0; c < columns; ++c)
    m_Grid.SetItemText(0, c, c == kHemisphere ? "N / S" : LoadResString(headers[c]));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    m_Grid.SetCellType<CGridCellListCtrlIcon>(row, kSymbol);
    if (auto* icon = dynamic_cast<CGridCellListCtrlIcon*>(m_Grid.GetCell(row, kSymbol)))
      icon->m_icon = rows[r].symbol;
    if (columns > kHemisphere) {
      m_Grid.SetCellType<CGridCellCombo>(row, kHemisphere);
      if (auto* combo = dynamic_cast<CGridCellCombo*>(m_Grid.GetCell(row, kHemisphere)))
        combo->SetOptions(kHemispheres);
    }
    for (int c = kName; c < columns; ++c) m_Grid.SetItemText(row, c, rows[r].cells[c]);
  }
  m_Grid.AutoSizeColumns();
  m_Grid.Refresh();
}

void CDlgWaypointTable::TakeRows() {
  auto& rows = table_->Rows();
  const int columns = table_->ColumnCount();
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    if (row >= m_Grid.GetRowCount()) break;
    for (int c = kName; c < columns; ++c) rows[r].cells[c] = m_Grid.GetItemText(row, c);
    if (auto* icon = dynamic_cast<CGridCellListCtrlIcon*>(m_Grid.GetCell(row, kSymbol)))
      rows[r].symbol = icon->m_icon < 0 ? 0 : icon->m_icon;
  }
}

bool CDlgWaypointTable::SwitchMode(int mode) {
  TakeRows();
  bool switched = false;
  if (mode == table_->Mode()) {
    switched = true;
  } else if (RowsReadable()) {
    DocWaypointProjector projector(*doc_);
    switched = table_->SwitchMode(mode, projector);
    if (switched) ShowRows();
  }
  CComboBox(GetDlgItem(kDisplayCombo)).SetCurSel(table_->Mode());
  return switched;
}

void CDlgWaypointTable::Refuse(int row, int column, UINT message) {
  MessageBox(m_hWnd, RowMessage(message, m_Grid.GetItemText(0, column), row), "Tolvanix PDA",
             MB_OK);
  if (row >= 1 && row < m_Grid.GetRowCount() && column < m_Grid.GetColumnCount()) {
    m_Grid.SetFocusCell(row, column);
    m_Grid.SetSelectedRange(row, 0, row, m_Grid.GetColumnCount() - 1);
    m_Grid.EnsureVisible(row, column);
    m_Grid.SetFocus();
  }
}

bool CDlgWaypointTable::RowsReadable() {
  DocWaypointProjector projector(*doc_);
  const std::optional<Refusal> refusal = table_->Unreadable(projector);
  if (!refusal) return true;
  Refuse(static_cast<int>(refusal->row) + 1, refusal->column, refusal->message);
  return false;
}

bool CDlgWaypointTable::HeldByRefusal() {
  if (!refused_) return false;
  m_Grid.SetFocusCell(*refused_);
  m_Grid.SetFocus();
  return true;
}

LRESULT CDlgWaypointTable::OnRefusalSeen(WPARAM, LPARAM) {
  refused_.reset();
  return 0;
}

void CDlgWaypointTable::OnDisplayChosen() {
  const int mode = CComboBox(GetDlgItem(kDisplayCombo)).GetCurSel();
  if (mode == kProjected || mode == kGeographic) SwitchMode(mode);
}

void CDlgWaypointTable::OnAddRow() {
  TakeRows();
  table_->AppendEmptyRow();
  ShowRows();
}

void CDlgWaypointTable::OnBlankRows() {
  TakeRows();
  for (int row : m_Grid.GetSelectedRows())
    if (row >= 1) table_->BlankRow(static_cast<std::size_t>(row - 1));
  ShowRows();
}

void CDlgWaypointTable::OnGridBeginEdit(NMHDR* header, LRESULT* result) {
  *result = 0;
  refused_.reset();  // the user is at the table again
  const GridNotify* note = GridNotifyOf(header);
  if (table_->Mode() == kProjected && note->iColumn == kZone && !editing_) {
    oldZone_ = static_cast<int>(LeadingNumber(m_Grid.GetItemText(note->iRow, kZone)));
    editing_ = true;
  }
}

void CDlgWaypointTable::OnGridEndEdit(NMHDR* header, LRESULT* result) {
  *result = 0;
  const GridNotify* note = GridNotifyOf(header);
  const int row = note->iRow, column = note->iColumn;
  const bool zoneEdit = editing_ && column == kZone;
  if (column == kZone) editing_ = false;
  const std::string text = m_Grid.GetItemText(row, column);
  UINT problem = CellProblem(table_->Mode(), table_->GeoType(), column, text);
  // A projected row's position is judged once its easting and northing are both given: with
  // its zone (re-expressed into a new one) and hemisphere it must name a place on the earth.
  bool reexpressed = false;
  const bool position = column == kX || column == kY || column == kZone || column == kHemisphere;
  if (!problem && position && table_->Mode() == kProjected && row >= 1) {
    TakeRows();
    DocWaypointProjector projector(*doc_);
    const auto index = static_cast<std::size_t>(row - 1);
    if (zoneEdit) {
      const ZoneChange change = table_->ChangeZone(index, oldZone_, projector);
      if (change == ZoneChange::kFailed) problem = kStringZoneError;
      reexpressed = change == ZoneChange::kReexpressed;
    }
    if (!problem && table_->NamesNoPlace(index, projector))
      problem = column == kZone ? kStringZoneError : kStringCellError;
  }
  if (problem) {
    // A click on OK that ended this edit finds it refused; the mark goes once the events of
    // that click have run.
    refused_ = GridCellId(row, column);
    Refuse(row, column, problem);
    PostMessage(kRefusalSeen);
    *result = -1;  // the grid puts the old text back
    return;
  }
  refused_.reset();
  // "n" or " s " typed is shown as the table writes it.
  if (column == kHemisphere) {
    if (const std::optional<int> south = SouthOf(text))
      m_Grid.SetItemText(row, column, *south ? "S" : "N");
  }
  if (reexpressed) {
    const Row& changed = table_->Rows()[static_cast<std::size_t>(row - 1)];
    for (int c : {kX, kY, kAltitude, kZone}) m_Grid.SetItemText(row, c, changed.cells[c]);
    m_Grid.Refresh();
  }
}

void CDlgWaypointTable::OnExport() {
  if (HeldByRefusal()) return;
  TakeRows();
  if (!RowsReadable()) return;
  DocWaypointProjector projector(*doc_);
  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> notes;
  table_->Finish(projector, waypoints, notes);
  doc_->ExportWaypointsShp(waypoints);
}

void CDlgWaypointTable::OnImport() {
  if (HeldByRefusal()) return;
  platform::FileDialogRequest request;
  request.filter = "ESRI Shapefile POINT (*.shp)|*.shp||";
  request.defaultExtension = "shp";
  const std::string path = platform::ShowFileDialog(request);
  if (path.empty()) return;

  ExportPrompts* prompts = GetExportPrompts();
  CoordSystemQuestion question;
  question.datumName = doc_->m_datumName;
  question.datumIndex = doc_->m_datum.index;
  question.projectionText = doc_->m_projectionName;
  question.zone = doc_->m_zone;
  question.mode = doc_->m_coord;
  question.kindItems = {LoadResString(kStringImportConvert), LoadResString(kStringImportAsStored)};
  question.kindLabel = LoadResString(kStringImportChoice);
  CoordSystemAnswer answer;
  if (!prompts || !prompts->AskCoordSystem(question, answer)) return;
  const bool projected = answer.coordKind == 1;
  // Projected coordinates cannot be taken as they are: nothing is imported, and the user is
  // told why.
  if (answer.kind == kImportAsStored && projected) {
    MessageBox(m_hWnd,
               "Projected coordinates cannot be taken as stored: nothing was imported. Choose \"" +
                   LoadResString(kStringImportConvert) + "\" to import them.",
               "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (answer.kind != kImportConvert && answer.kind != kImportAsStored) return;
  const bool asStored = answer.kind == kImportAsStored;
  // Rows that cannot be read back in the display shown keep it: the import waits for them.
  if (!SwitchMode(projected ? kProjected : kGeographic)) return;

  const PointImportResult read = ReadShapefilePoints(path);
  if (read.status == PointImportStatus::OpenFailed) {
    // Said as File > Open says it of the same file.
    MessageBox(m_hWnd, UnreadableShapefileText(path), "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (read.status == PointImportStatus::NotPoints) {
    MessageBox(m_hWnd, "Only POINT type supported", "Error!", MB_OK | MB_ICONSTOP);
    return;
  }
  TakeRows();
  DocWaypointProjector projector(*doc_);
  const bool north = answer.hemisphere == 0;
  std::size_t leftOut = 0;
  for (const ShapefilePoint& point : read.points) {
    WaypointRecord w;
    w.name = CutName(point.name);
    w.altitudeCm = AltitudeCentimetres(point.z);
    w.x = point.x;
    w.y = point.y;
    bool converted = true;
    if (projected) {
      // The file's UTM of the chosen zone and hemisphere, kept as the row shows it.
      w.easting = point.x;
      w.northing = point.y;
      w.zone = answer.zone;
      w.south = north ? 0 : 1;
      if (answer.datumChoice == 0 && doc_->m_datum.index > 0) {
        // Written on WGS84: the row shows the position in the working datum's projection.
        double lon = point.x, lat = point.y;
        converted = doc_->ProjectedToWgs84(0, answer.zone, north, lon, lat) &&
                    IsGeographicPosition(lon, lat);
        if (converted) {
          doc_->TransformOutput(lon, lat);
          converted = projector.ToProjected(lon, lat, answer.zone, north, w.easting, w.northing);
          w.x = lon;
          w.y = lat;
        }
      } else {
        converted = projector.ToGeographic(point.x, point.y, answer.zone, north, w.x, w.y);
      }
    } else if (!asStored && answer.datumChoice == 0 && doc_->m_datum.index > 0 &&
               IsGeographicPosition(w.x, w.y)) {
      doc_->TransformOutput(w.x, w.y);  // WGS84 of the file into the user datum
    }
    // A point that names no place after the conversion chosen is left out, and counted.
    if (!converted || !IsGeographicPosition(w.x, w.y)) {
      ++leftOut;
      continue;
    }
    table_->InsertFirst(w);
  }
  ShowRows();
  if (read.tableRefused) {
    MessageBox(m_hWnd,
               "The attribute table " + ReplaceExtension(path, ".dbf") +
                   " is damaged or cannot be read; the points come in without names.",
               "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION);
  }
  if (leftOut > 0) {
    MessageBox(m_hWnd, PositionsLeftOutText(leftOut, true), "Tolvanix PDA",
               MB_OK | MB_ICONEXCLAMATION);
  }
}

void CDlgWaypointTable::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_Grid.EndEditing();
  if (HeldByRefusal()) return;
  TakeRows();
  if (!RowsReadable()) return;
  DocWaypointProjector projector(*doc_);
  table_->Finish(projector, m_waypoints, m_notes);
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// The document's questions
// ---------------------------------------------------------------------------------------------

bool ProgramDialogs::WaypointTable(CTolvanixDoc& doc, std::vector<WaypointRecord>& waypoints,
                                   std::vector<std::string>& notes, int select) {
  CDlgWaypointTable dialog(doc.m_datumName, select, waypoints, notes, &doc,
                           kWaypointTableTemplate, CWnd::FromHandle(doc.m_hwndView));
  if (dialog.DoModal() != IDOK) return false;
  waypoints = std::move(dialog.m_waypoints);
  notes = std::move(dialog.m_notes);
  return true;
}

std::optional<std::string> ProgramDialogs::FeatureName(CTolvanixDoc& doc,
                                                       const std::string& suggested) {
  CDlgWptName dialog(suggested, CWnd::FromHandle(doc.m_hwndView));
  if (dialog.DoModal() != IDOK) return std::nullopt;
  return dialog.m_name;
}

void InstallWaypointDialogs() {
  CTolvanixDoc::SetWaypointNameDialog([] {
    CDlgWptName dialog(LoadResString(kStringWpt));
    dialog.DoModal();
    return dialog.m_name;  // taken whatever button closed the dialog
  });
}
