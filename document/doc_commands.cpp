// The document's commands: vertex edits, new and deleted features and waypoints, the object
// and waypoint tables, the file commands, the start-up wizard's steps, and the area and length
// texts the view and dialogs show. Dialogs are reached through DocumentDialogs only.
// User-interface thread.
#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/strings.h"
#include "document/document_dialogs.h"
#include "document/export_source.h"
#include "document/tolvanix_doc.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "platform/threads.h"
#include "platform/window_messages.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringUntitled = 61443;
constexpr UINT kStringNoName = 59167;        // "Sin nombre"
constexpr UINT kStringArea = 59190;          // "Area"
constexpr UINT kStringLine = 59191;          // "Línea"
constexpr UINT kStringPart = 59287;          // suggested name of a new part
constexpr UINT kStringActiveFeature = 59216; // "El objeto activo es ahora\n%s"
constexpr UINT kStringGpsStatus = 59170;     // "Estado: %s\nSatélites %d\nHDOP = %.1f ..."
constexpr UINT kStringGpsStatusCaption = 59171;  // "ESTADO GPS"
constexpr UINT kStringConnected = 59159;     // "Conectado"
constexpr UINT kStringNoCoverage = 59160;    // "Sin cobertura"
constexpr UINT kStringDisconnected = 59161;  // "Desconectado"
constexpr DWORD kGpsStartPauseMs = 500;
constexpr double kNoPosition = 1e-10;  // degrees

constexpr char kOpenFilter[] =
    "Tolvanix PDA (*.tvx)|*.tvx|ESRI Shapefile (*.shp)|*.shp|NMEA file (*.nmea)|*.nmea|"
    "All files|*.tvx,*.shp,*.nmea|";
constexpr char kDocumentFilter[] = "Tolvanix PDA (*.tvx)|*.tvx||";
// The document file and the exports written beside it, deleted together.
constexpr const char* kCompanionExtensions[] = {".tvx", ".shp", ".shx", ".dbf", ".kml",
                                                ".trk", ".plt", ".dxf", ".txt"};

DocumentDialogs& DefaultDialogs() {
  static DocumentDialogs none;
  return none;
}
DocumentDialogs* g_dialogs = nullptr;

// Puts the values, in order, in place of the printf conversions of a text from the string
// table ("%%" gives "%"). The values come formatted already, so a translated text whose
// conversions differ can never read the wrong argument.
std::string FillPlaceholders(const std::string& format, std::initializer_list<std::string> values) {
  std::string out;
  auto next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      out += format[i];
      continue;
    }
    if (format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < format.size() && std::string_view("diufFeEgGxXcsp").find(format[end]) ==
                                      std::string_view::npos) {
      ++end;
    }
    if (end == format.size()) {
      out.append(format, i, std::string::npos);
      break;
    }
    if (next != values.end()) out += *next++;
    i = end;
  }
  return out;
}

std::string Fixed1(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The dialog seam and the common ending of an edit
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::SetDocumentDialogs(DocumentDialogs* dialogs) { g_dialogs = dialogs; }

DocumentDialogs& CTolvanixDoc::Dialogs() { return g_dialogs ? *g_dialogs : DefaultDialogs(); }

void CTolvanixDoc::RefreshAfterEdit() {
  SetModifiedFlag(TRUE);
  StartAreaRecompute(-1, FALSE);
  SendMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
  m_needsRedraw = true;
  UpdateAllViews(nullptr);
}

DocumentView* CTolvanixDoc::FindView() const { return GetFirstView(); }

// ---------------------------------------------------------------------------------------------
// Vertices of the current feature
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::UpdateLastCaptureFromFeature() {
  const FeatureRecord* feature = CurrentFeature();
  if (feature == nullptr || feature->VertexCount() == 0) return;
  m_lastCaptureWgs84 = feature->wgs84Vertices.back();
}

void CTolvanixDoc::OnDeletePoints() {
  if (!CheckFeatureEditable()) return;
  std::optional<std::vector<int>> chosen = Dialogs().ChoosePointsToDelete(*this);
  if (!chosen || chosen->empty()) return;
  // Highest first, so that the lower indices still name the vertices that were chosen.
  std::vector<int> indices = std::move(*chosen);
  std::sort(indices.begin(), indices.end(), std::greater<int>());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  FeatureRecord& feature = *CurrentFeature();
  for (int index : indices) {
    if (index >= 0) feature.EraseVertex(static_cast<std::size_t>(index));
  }
  UpdateLastCaptureFromFeature();
  RefreshAfterEdit();
}

void CTolvanixDoc::OnDeleteLastPoint() {
  const FeatureRecord* feature = CurrentFeature();
  if (feature == nullptr || feature->VertexCount() == 0 || !CheckFeatureEditable()) return;
  CurrentFeature()->PopLastVertex();
  UpdateLastCaptureFromFeature();
  RefreshAfterEdit();
}

void CTolvanixDoc::OnInsertPoint() {
  if (!m_hasFix || !CheckFeatureEditable()) return;
  std::optional<int> position = Dialogs().PickInsertPosition(*this);
  if (!position || *position < 0) return;
  if (HdopRejects(m_filterPoints)) return;
  const GpsFix fix = TakeFix();
  CurrentFeature()->InsertVertex(static_cast<std::size_t>(*position), {fix.gpsLon, fix.gpsLat},
                                 {fix.datumLon, fix.datumLat}, fix.altitudeCm);
  RefreshAfterEdit();
}

// Capturing needs a fix from an open receiver and no dialog of the document in progress.
void CTolvanixDoc::OnUpdateCapturePoint(CCmdUI* ui) {
  if (ui) ui->Enable(m_gpsOn && HasCurrentFix() && !m_uiBusy);
}

void CTolvanixDoc::OnNotes() {
  Dialogs().EditNotes(*this);
  SetModifiedFlag(TRUE);
}

// ---------------------------------------------------------------------------------------------
// Point distance, object grid and list, waypoint table
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::OnPointDistance() {
  m_pointDistanceOpen = true;
  Dialogs().PointDistance(*this, m_hasFix, m_metrica);
  m_pointDistanceOpen = false;
}

void CTolvanixDoc::UpdatePointDistance() {
  if (m_pointDistanceOpen) Dialogs().UpdatePointDistance(m_datumLon, m_datumLat);
}

void CTolvanixDoc::OnUpdatePointDistanceVertices(CCmdUI* ui) {
  const bool anyVertex = std::any_of(m_features.begin(), m_features.end(),
                                     [](const FeatureRecord& f) { return f.VertexCount() > 0; });
  ui->Enable(anyVertex && !m_uiBusy);
}

void CTolvanixDoc::OnUpdatePointDistanceWaypoints(CCmdUI* ui) {
  ui->Enable(!m_waypoints.empty() && !m_uiBusy);
}

void CTolvanixDoc::OnObjectGrid() {
  Dialogs().ObjectGrid(*this, m_current);
  KeepCurrentValid();
  m_needsRedraw = true;
  Dialogs().UpdateInfoPanels();
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::OnUpdateObjectGrid(CCmdUI* ui) {
  const int current = m_current;
  ui->Enable(std::any_of(m_features.begin(), m_features.end(), [current](const FeatureRecord& f) {
    return f.type == FeatureType::Part && f.link == current;
  }));
}

void CTolvanixDoc::OnObjectList() {
  SetModifiedFlag(TRUE);
  Dialogs().ShowShellBars();
  const int before = m_current;
  Dialogs().ObjectList(*this, m_current);
  KeepCurrentValid();
  m_needsRedraw = true;
  Dialogs().UpdateInfoPanels();
  UpdateAllViews(nullptr);
  if (m_current != before) NotifyActiveFeature();
}

void CTolvanixDoc::OnUpdateObjectList(CCmdUI* ui) { ui->Enable(!m_uiBusy); }

void CTolvanixDoc::OnWaypointTable() { ShowWaypointTable(); }

void CTolvanixDoc::ShowWaypointTable(int select) {
  std::vector<WaypointRecord> waypoints = m_waypoints;
  std::vector<std::string> notes = m_waypointNotes;
  if (!Dialogs().WaypointTable(*this, waypoints, notes, select)) return;
  // One note per waypoint, whatever the table handed back.
  notes.resize(waypoints.size());
  m_waypoints = std::move(waypoints);
  m_waypointNotes = std::move(notes);
  m_needsRedraw = true;
  m_mapReady = false;
  Dialogs().RebuildNavigation();
  SetModifiedFlag(TRUE);
}

// ---------------------------------------------------------------------------------------------
// New and deleted features and waypoints
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::NotifyActiveFeature() {
  const FeatureRecord* feature = CurrentFeature();
  if (!m_notifyActive || feature == nullptr) return;
  MessageBox(m_hwndView, FillPlaceholders(LoadResString(kStringActiveFeature), {feature->name}),
             kCaption, MB_ICONEXCLAMATION);
}

void CTolvanixDoc::NewFeatureDialog(FeatureType type) {
  if (m_uiBusy) return;
  const UINT suggestion = type == FeatureType::Line   ? kStringLine
                          : type == FeatureType::Part ? kStringPart
                                                      : kStringArea;
  std::optional<std::string> name = Dialogs().FeatureName(*this, LoadResString(suggestion));
  if (name) {
    const int parent = m_current;
    FeatureRecord& feature = AddFeature(type, *name);
    if (type == FeatureType::Part) feature.link = parent;
    m_current = static_cast<int>(m_features.size()) - 1;
    SetModifiedFlag(TRUE);
    m_needsRedraw = true;
    UpdateAllViews(nullptr);
    NotifyActiveFeature();
  }
  Dialogs().InputPanelDown();
}

void CTolvanixDoc::OnNewObject() {
  NewFeatureDialog(m_newFeatureKind == 0 ? FeatureType::Area : FeatureType::Line);
}

void CTolvanixDoc::OnUpdateNewObject(CCmdUI* ui) { ui->Enable(!m_uiBusy); }

void CTolvanixDoc::OnNewKind52() { NewFeatureDialog(FeatureType::Part); }

void CTolvanixDoc::KeepCurrentValid() {
  if (m_features.empty()) {
    AddFeature(m_newFeatureKind ? FeatureType::Line : FeatureType::Area,
               LoadResString(kStringNoName));
  }
  const int last = static_cast<int>(m_features.size()) - 1;
  m_current = std::clamp(m_current, 0, last);
}

void CTolvanixDoc::DeleteFeature(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_features.size()) return;
  std::vector<int> doomed{index};
  if (m_features[index].type != FeatureType::Part) {
    for (int i = 0; i < static_cast<int>(m_features.size()); ++i) {
      if (m_features[i].type == FeatureType::Part && m_features[i].link == index && i != index) {
        doomed.push_back(i);
      }
    }
  }
  std::sort(doomed.begin(), doomed.end(), std::greater<int>());
  const bool currentDeleted =
      std::find(doomed.begin(), doomed.end(), m_current) != doomed.end();
  for (int erased : doomed) {
    m_features.erase(m_features.begin() + erased);
    for (FeatureRecord& f : m_features) {
      if (f.type != FeatureType::Part) continue;
      if (f.link == erased) {
        // A part of the deleted part has no parent left: it stays as an area of its own
        // rather than name whichever feature takes the index.
        f.type = FeatureType::Area;
        f.link = 0;
      } else if (f.link > erased) {
        --f.link;  // every remaining part keeps naming its own parent
      }
    }
    if (!currentDeleted && m_current > erased) --m_current;
  }
  m_content.RebuildPartIndex();
  if (currentDeleted) m_current = std::min(m_current, static_cast<int>(m_features.size()) - 1);
  KeepCurrentValid();
  FeaturesMoved();
  m_lastVertexCount = -1;  // the current feature may be another one now
}

void CTolvanixDoc::DeleteWaypoint(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_waypoints.size()) return;
  m_waypoints.erase(m_waypoints.begin() + index);
  if (static_cast<std::size_t>(index) < m_waypointNotes.size()) {
    m_waypointNotes.erase(m_waypointNotes.begin() + index);
  }
  m_waypointNotes.resize(m_waypoints.size());
  m_needsRedraw = true;
  UpdateAllViews(nullptr);
  SetModifiedFlag(TRUE);
}

void CTolvanixDoc::MoveAllFeatures() {
  const GpsFix fix = TakeFix();
  // Without a position the shift would carry every feature off to the reference point.
  if (std::fabs(fix.gpsLon) < kNoPosition && std::fabs(fix.gpsLat) < kNoPosition) return;
  // Every feature moves or none: a locked one refuses the move (its message names it). A
  // circle is locked for good (its points are its centre and two corners, which no vertex
  // edit may change and the object list cannot unlock); moved whole it keeps its shape, so it
  // goes with the rest.
  for (std::size_t i = 0; i < m_features.size(); ++i) {
    const FeatureRecord& f = m_features[i];
    const bool circle = f.type == FeatureType::Circle || f.type == FeatureType::CircleLine;
    if (f.VertexCount() > 0 && !circle && !CheckFeatureEditable(static_cast<int>(i))) return;
  }
  m_holdPosition = true;
  const platform::WaitCursor wait;
  // The reference point is kept where a circle being walked keeps its centre: that circle is
  // finished as it stands (and moved with the rest) rather than rebuilt around the reference
  // point with its old centre in the working datum.
  m_definingCircle = false;
  const double dLon = m_circleCentreWgs.x - fix.gpsLon;
  const double dLat = m_circleCentreWgs.y - fix.gpsLat;
  for (FeatureRecord& feature : m_features) {
    for (std::size_t i = 0; i < feature.VertexCount(); ++i) {
      GeoPoint& wgs84 = feature.wgs84Vertices[i];
      wgs84.Set(wgs84.x - dLon, wgs84.y - dLat);
      GeoPoint working = wgs84;
      if (m_datum.index > 0) TransformOutput(working.x, working.y);
      feature.vertices[i] = working;
    }
  }
  SetModifiedFlag(TRUE);
  m_holdPosition = false;
  m_needsRedraw = true;
  UpdateAllViews(nullptr);
}

void CTolvanixDoc::RestoreVisibility(int n) {
  const std::size_t keep = m_features.size() - std::min<std::size_t>(std::max(n, 0), m_features.size());
  for (std::size_t i = 0; i < keep && i < m_savedVisibility.size(); ++i) {
    m_features[i].visible = m_savedVisibility[i];
  }
  m_savedVisibility.clear();
  m_savedVisibility.shrink_to_fit();
}

// ---------------------------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------------------------

std::string CTolvanixDoc::GetAreaText(int index, bool subtractParts) {
  const int i = index < 0 ? m_current : index;
  if (i < 0 || static_cast<std::size_t>(i) >= m_features.size()) return {};
  double area = m_features[i].area;
  if (subtractParts) {
    for (const FeatureRecord& f : m_features) {
      if (f.type == FeatureType::Part && f.link == i && f.subtract == 1) area -= f.area;
    }
  }
  std::string text;
  FormatArea(text, area);
  // The mark speaks of the feature whose area this is (and of its parts taken off it).
  bool upToDate = MeasuresUpToDate(i);
  if (subtractParts) {
    for (std::size_t k = 0; k < m_features.size(); ++k) {
      const FeatureRecord& f = m_features[k];
      if (f.type == FeatureType::Part && f.link == i && f.subtract == 1) {
        upToDate = upToDate && f.MeasuresUpToDate();
      }
    }
  }
  if (!upToDate) text += " *";
  return text;
}

std::string CTolvanixDoc::GetLengthText(int which, int index) {
  const int i = index < 0 ? m_current : index;
  if (i < 0 || static_cast<std::size_t>(i) >= m_features.size()) return {};
  double value = 0.0;
  switch (which) {
    case 0:
      value = m_features[i].length;
      break;
    case 1:
      value = m_features[i].perimeter;
      break;
    default:
      value = m_hasFix ? DistanceFromLastCapture() : 0.0;
      break;
  }
  std::string text;
  FormatLength(text, value);
  if (which == 0 && !MeasuresUpToDate(i)) text += " *";
  return text;
}

std::string CTolvanixDoc::TotalVisibleArea() {
  double sum = 0.0;
  int summed = 0;
  for (const FeatureRecord& f : m_features) {
    if (f.visible && f.type == FeatureType::Area) {
      sum += f.area;
      ++summed;
    }
  }
  std::string text;
  if (summed >= 2 && sum > 0.0) FormatArea(text, sum);
  return text;
}

void CTolvanixDoc::ShowGpsStatus() {
  ExpireStaleFix();
  const UINT state = !m_gpsOn ? kStringDisconnected : (m_hasFix ? kStringConnected : kStringNoCoverage);
  const std::string text =
      FillPlaceholders(LoadResString(kStringGpsStatus),
                       {LoadResString(state), std::to_string(m_satellites.load()),
                        Fixed1(m_hdop), Fixed1(m_vdop), Fixed1(m_pdop)});
  MessageBox(m_hwndView, text, LoadResString(kStringGpsStatusCaption), MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------------------------
// File commands
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::TakeIdentityFromPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  // Only the final extension goes: "field.v2.tvx" is the document "field.v2".
  const std::size_t dot = file.rfind('.');
  m_docName = dot == std::string::npos ? file : file.substr(0, dot);
  if (m_docName.empty()) m_docName = LoadResString(kStringUntitled);
  m_docFolder = (slash == std::string::npos || slash == 0) ? std::string() : path.substr(0, slash);
}

std::string CTolvanixDoc::FileDialog(bool open) {
  platform::FileDialogRequest request;
  request.open = open;
  request.filter = open ? kOpenFilter : kDocumentFilter;
  request.defaultExtension = "tvx";
  if (!open) {
    // The document's name as a document file, in its folder when it has one (an opened
    // Shapefile or log lends its own): the dialog asks before that file is replaced.
    const std::string name = m_docName.empty() ? LoadResString(kStringUntitled) : m_docName;
    request.initialName = (m_docFolder.empty() ? std::string() : m_docFolder + "/") + name + ".tvx";
  }
  std::string path = platform::ShowFileDialog(request);
  if (!path.empty()) TakeIdentityFromPath(path);
  return path;
}

std::string CTolvanixDoc::PromptSaveAsPath() { return FileDialog(false); }

void CTolvanixDoc::SetPathName(const std::string& path, BOOL addToMru) {
  TakeIdentityFromPath(path);
  // A Shapefile or log that was opened is no file of the document's: a save asks for a name
  // rather than write a document file of that name, which may be another piece of work.
  const bool documentFile = OpenedFileKindOf(path) == OpenedFileKind::Document;
  CDocument::SetPathName(documentFile ? path : std::string(), addToMru);
  SetTitle(m_docName);
}

std::string CTolvanixDoc::SavePath() const { return GetPathName(); }

void CTolvanixDoc::OnFileOpen() {
  if (!SaveModified()) return;
  const std::string oldName = m_docName, oldFolder = m_docFolder;
  const std::string path = FileDialog(true);
  // The document takes the file's name once the file is in it (OnOpenDocument): a refused
  // file leaves the document as it was, under its own name.
  m_docName = oldName;
  m_docFolder = oldFolder;
  if (path.empty()) return;
  m_openingFile = true;
  OnOpenDocument(path);
  m_openingFile = false;
}

bool CTolvanixDoc::SaveAs() {
  const std::string oldName = m_docName, oldFolder = m_docFolder;
  const std::string path = FileDialog(false);
  if (path.empty()) return false;
  if (!OnSaveDocument(path)) {
    m_docName = oldName;
    m_docFolder = oldFolder;
    return false;
  }
  SetPathName(path);
  return true;
}

void CTolvanixDoc::OnFileSaveAs() { SaveAs(); }

void CTolvanixDoc::OnUpdateFileSave(CCmdUI* ui) { ui->Enable(m_hasFile); }

bool CTolvanixDoc::SaveByName() {
  const std::string path = SavePath();
  if (path.empty()) return SaveAs();
  if (!OnSaveDocument(path)) return false;
  SetPathName(path);
  return true;
}

void CTolvanixDoc::OnSave() { SaveByName(); }

bool CTolvanixDoc::ConfirmDelete(const std::string& path, const std::string& oldExtension,
                                 const std::string& newExtension) {
  // Only the final extension names the companion: a folder called "x.tvx.d" is left alone.
  if (!HasExtension(path, oldExtension)) return false;
  const std::string target = ReplaceExtension(path, newExtension);
  if (!platform::FileExists(target)) return false;
  const std::string question = "Are you sure you want to delete " + target + "?";
  if (MessageBox(m_hwndView, question, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  if (std::remove(target.c_str()) == 0) return true;
  // Confirmed but still there: the user must not believe it gone.
  MessageBox(m_hwndView, target + " cannot be deleted: " + std::strerror(errno) + ".", kCaption,
             MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void CTolvanixDoc::OnDeleteDocument() {
  platform::FileDialogRequest request;
  request.open = true;
  request.filter = kDocumentFilter;
  request.defaultExtension = "tvx";
  const std::string path = platform::ShowFileDialog(request);
  if (path.empty()) return;
  for (const char* extension : kCompanionExtensions) ConfirmDelete(path, ".tvx", extension);
}

// ---------------------------------------------------------------------------------------------
// Start-up wizard
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::OnWizard() {
  if (m_wizardMode == 0) {
    if (!SaveModified()) return;
    OnNewDocument();
    UpdateAllViews(nullptr);
  }
  std::optional<int> choice = Dialogs().WizardStart(*this);
  if (!choice) return;
  m_wizardChoice = *choice;
  m_autoCapture = false;
  // The category is what the measurement (command 210) makes; it starts paused and waits
  // for its first fix.
  if (*choice == 1 || *choice == 2) {
    m_measureKind = static_cast<std::int16_t>(*choice);
    m_firstFixPending = true;
    m_measuring = false;
    Dialogs().SetMeasureButton(false);
  }
  if (m_wizardMode == 2) {
    AddFeature(FeatureType::Line, LoadResString(kStringNoName));
    m_current = static_cast<int>(m_features.size()) - 1;
  }
  m_wizardMode = 1;
  Dialogs().EnterWizardMeasuring();
  if (!m_gpsOn) {
    OnGpsOnOff();
    Sleep(kGpsStartPauseMs);
  }
}

void CTolvanixDoc::OnWizardNext() {
  // The measurement is left: a first fix still awaited no longer starts it.
  StopFirstFixWait();
  if (m_gpsOn) ToggleGps();
  if ((m_wizardChoice == 1 || m_wizardChoice == 2) && m_autoCapture) Dialogs().StopAutoCapture();
  Dialogs().LeaveWizardMeasuring();
  if (FeatureRecord* feature = CurrentFeature()) {
    // The summary is the walk's result: the feature measured as it stands, also past the
    // 200 points after which captures no longer measure it.
    RecomputeAreasAndWait(m_current);
    const WizardSummaryTexts texts{feature->name, GetAreaText(-1, true), GetLengthText(0, -1),
                                   GetLengthText(1, -1), std::to_string(feature->VertexCount())};
    if (std::optional<std::string> name = Dialogs().WizardSummary(*this, texts)) {
      // The dialog may have edited the document: take the current feature afresh.
      if (FeatureRecord* named = CurrentFeature()) named->SetName(*name);
      SetModifiedFlag(TRUE);
    }
  }
  switch (Dialogs().WizardEnd(*this)) {
    case WizardEndChoice::NextInSameDocument:
      m_wizardMode = 2;
      OnWizard();
      break;
    case WizardEndChoice::SaveAndNewDocument:
      m_wizardMode = 0;
      // A new document only once the measured one is safe on disk.
      if (SaveByName()) {
        OnNewDocument();
        OnWizard();
      }
      break;
    case WizardEndChoice::Leave:
      m_wizardMode = 0;
      break;
  }
  UpdateAllViews(nullptr);
}
