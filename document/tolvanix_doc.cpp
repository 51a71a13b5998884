#include "document/tolvanix_doc.h"

#include "app/languages.h"
#include "app/strings.h"
#include "document/doc_area.h"
#include "document/document_dialogs.h"
#include "document/doc_messages.h"
#include "document/doc_options.h"
#include "platform/message_box.h"
#include "platform/threads.h"
#include "platform/win_app.h"
#include "platform/window_messages.h"

namespace {
std::atomic<CTolvanixDoc*> g_document{nullptr};
constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringUntitled = 61443;
constexpr UINT kStringNoName = 59167;  // "Sin nombre"
constexpr UINT kStringAskToSave = 61699;  // "Save changes to %1?"

std::function<void(int, int, int)>& ReceiverStartup() {
  static std::function<void(int, int, int)> run;
  return run;
}
}  // namespace

const UINT WM_TVX_AREA_RESULTS = RegisterWindowMessage("TolvanixAreaResults");
const UINT WM_TVX_FIRST_FIX = RegisterWindowMessage("TolvanixFirstFixWait");
const UINT WM_TVX_DEFERRED_EXIT = RegisterWindowMessage("TolvanixDeferredExit");
const UINT WM_TVX_GPS_LOST = RegisterWindowMessage("TolvanixReceiverLost");

CTolvanixDoc* TheDocument() { return g_document; }

BEGIN_MESSAGE_MAP(CTolvanixDoc, CDocument)
  ON_COMMAND(32782, &CTolvanixDoc::OnLanguageEn)
  ON_COMMAND(32783, &CTolvanixDoc::OnLanguageDe)
  ON_COMMAND(32784, &CTolvanixDoc::OnLanguageFr)
  ON_COMMAND(32785, &CTolvanixDoc::OnLanguageSp)
  ON_COMMAND(32786, &CTolvanixDoc::OnLanguagePt)
  ON_COMMAND(32788, &CTolvanixDoc::OnLanguageDu)
  ON_COMMAND(32787, &CTolvanixDoc::OnLanguageRu)
  ON_COMMAND(32789, &CTolvanixDoc::OnLanguageLv)
  ON_COMMAND(32790, &CTolvanixDoc::OnLanguagePl)
  ON_COMMAND(32791, &CTolvanixDoc::OnLanguageRo)
  ON_COMMAND(32792, &CTolvanixDoc::OnLanguageIt)
  ON_COMMAND(32793, &CTolvanixDoc::OnLanguageHu)
  ON_COMMAND(32794, &CTolvanixDoc::OnLanguageBg)
  ON_COMMAND(32795, &CTolvanixDoc::OnLanguageLt)
  ON_COMMAND(32796, &CTolvanixDoc::OnLanguageCh)
  ON_UPDATE_COMMAND_UI_RANGE(32782, 32796, &CTolvanixDoc::OnUpdateLanguage)
  ON_COMMAND(ID_APP_EXIT, &CTolvanixDoc::OnAppExit)
  // --- exports (document/doc_export.cpp) ---
  ON_COMMAND(32780, &CTolvanixDoc::OnExportGeographicTxt)
  ON_COMMAND(32779, &CTolvanixDoc::OnExportUtmTxt)
  ON_COMMAND(32838, &CTolvanixDoc::OnExportKml)
  ON_COMMAND(32781, &CTolvanixDoc::OnExportDxf)
  ON_COMMAND(32836, &CTolvanixDoc::OnExportShp)
  ON_COMMAND(32843, &CTolvanixDoc::OnExportPlt)
  ON_COMMAND(32844, &CTolvanixDoc::OnExportTrk)
  // --- end exports ---
  // --- main road: options, fix intake, capture, area worker ---
  ON_COMMAND(32778, &CTolvanixDoc::ApplyOptions)
  ON_COMMAND(32801, &CTolvanixDoc::OnCapturePoint)
  ON_COMMAND(32861, &CTolvanixDoc::OnCapturePoint)
  ON_UPDATE_COMMAND_UI(32801, &CTolvanixDoc::OnUpdateCapturePoint)
  ON_UPDATE_COMMAND_UI(32803, &CTolvanixDoc::OnUpdateCapturePoint)
  ON_UPDATE_COMMAND_UI(32859, &CTolvanixDoc::OnUpdateCapturePoint)
  ON_COMMAND(32863, &CTolvanixDoc::OnAddWaypoint)
  ON_UPDATE_COMMAND_UI(32863, &CTolvanixDoc::OnUpdateAddWaypoint)
  ON_COMMAND(32832, &CTolvanixDoc::OnToggleOffset)
  ON_UPDATE_COMMAND_UI(32832, &CTolvanixDoc::OnUpdateToggleOffset)
  ON_COMMAND(32882, &CTolvanixDoc::OnAddCircle)
  ON_COMMAND(210, &CTolvanixDoc::OnWaitForFix)
  ON_UPDATE_COMMAND_UI(59142, &CTolvanixDoc::OnUpdateSatIndicator)
  ON_REGISTERED_MESSAGE(WM_TVX_AREA_RESULTS, &CTolvanixDoc::OnAreaDone)
  ON_REGISTERED_MESSAGE(WM_TVX_FIRST_FIX, &CTolvanixDoc::OnFirstFixWaitDone)
  ON_REGISTERED_MESSAGE(WM_TVX_DEFERRED_EXIT, &CTolvanixDoc::OnDeferredExit)
  ON_REGISTERED_MESSAGE(WM_TVX_GPS_LOST, &CTolvanixDoc::OnGpsLost)
  // --- gps (document/doc_gps.cpp) ---
  ON_COMMAND(32804, &CTolvanixDoc::OnGpsOnOff)
  // --- end gps ---
  // --- commands (document/doc_commands.cpp) ---
  ON_COMMAND(212, &CTolvanixDoc::OnWizard)
  ON_COMMAND(211, &CTolvanixDoc::OnWizardNext)
  ON_COMMAND(32864, &CTolvanixDoc::OnWaypointTable)
  ON_COMMAND(32862, &CTolvanixDoc::OnObjectList)
  ON_UPDATE_COMMAND_UI(32862, &CTolvanixDoc::OnUpdateObjectList)
  ON_COMMAND(32872, &CTolvanixDoc::OnObjectGrid)
  ON_UPDATE_COMMAND_UI(32872, &CTolvanixDoc::OnUpdateObjectGrid)
  ON_COMMAND(32854, &CTolvanixDoc::OnDeletePoints)
  ON_COMMAND(32853, &CTolvanixDoc::OnDeleteLastPoint)
  ON_COMMAND(32860, &CTolvanixDoc::OnInsertPoint)
  ON_COMMAND(ID_FILE_OPEN, &CTolvanixDoc::OnFileOpen)
  ON_COMMAND(ID_FILE_SAVE_AS, &CTolvanixDoc::OnFileSaveAs)
  ON_COMMAND(ID_FILE_SAVE, &CTolvanixDoc::OnSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, &CTolvanixDoc::OnUpdateFileSave)
  ON_COMMAND(1260, &CTolvanixDoc::OnSave)
  ON_COMMAND(1261, &CTolvanixDoc::OnDeleteDocument)
  ON_COMMAND(32824, &CTolvanixDoc::OnPointDistance)
  ON_COMMAND(32825, &CTolvanixDoc::OnPointDistance)
  ON_UPDATE_COMMAND_UI(32824, &CTolvanixDoc::OnUpdatePointDistanceVertices)
  ON_UPDATE_COMMAND_UI(32825, &CTolvanixDoc::OnUpdatePointDistanceWaypoints)
  ON_COMMAND(32835, &CTolvanixDoc::OnNotes)
  ON_COMMAND(32842, &CTolvanixDoc::OnNewObject)
  ON_UPDATE_COMMAND_UI(32842, &CTolvanixDoc::OnUpdateNewObject)
  ON_UPDATE_COMMAND_UI(32802, &CTolvanixDoc::OnUpdateNewObject)
  ON_COMMAND(32871, &CTolvanixDoc::OnNewKind52)
  // --- end commands ---
END_MESSAGE_MAP()

void CTolvanixDoc::SetReceiverStartup(std::function<void(int, int, int)> run) {
  ReceiverStartup() = std::move(run);
}

CTolvanixDoc::CTolvanixDoc() {
  // 1-3: parser, WGS84 system and datum are members; the area machinery.
  m_areaEvent = CreateEvent(FALSE, FALSE);
  m_docWindow = platform::AttachWindow(this);
  // The worker reports on its own thread: the event and a message to this document, which
  // stores the results on the user-interface thread.
  m_areaWorker = std::make_unique<AreaWorker>(
      [this] {
        VersionedCoordSettings current;
        current.settings = CurrentCoordSettings(&current.generation);
        return current;
      },
      m_areaBusy,
      [window = m_docWindow, event = m_areaEvent](bool) {
        SetEvent(event);
        PostMessage(window, WM_TVX_AREA_RESULTS, 0, 0);
      });

  // 4: options over their defaults.
  m_waypointPrefix = LoadResString(kStringNoName);
  LoadOptions();

  // 5: one empty feature of the preferred kind.
  AddFeature(m_newFeatureKind ? FeatureType::Line : FeatureType::Area, LoadResString(kStringNoName));
  m_current = 0;

  // 6: offset distance in map units.
  m_offsetOn = false;
  UpdateOffsetMetres();
  m_needsRedraw = true;
  m_mapReady = true;

  // 7: receiver set-up asked for at start-up.
  if (CWinApp* app = AfxGetApp()) {
    const bool staticNav = app->GetProfileInt(kOptionsSection, "SNAuto", 0) != 0;
    const bool sbas = app->GetProfileInt(kOptionsSection, "SBASAuto", 0) != 0;
    if ((staticNav || sbas) && ReceiverStartup()) {
      ReceiverStartup()(staticNav && sbas ? 2 : (staticNav ? 0 : 1), m_port, m_baudIndex);
    }
  }

  // 8: the parser reports to this document.
  g_document = this;
  CNmeaParser::SetCallback(&CTolvanixDoc::OnGpsPosition);
  m_definingCircle = false;
  SetModifiedFlag(FALSE);
}

CTolvanixDoc::~CTolvanixDoc() {
  // The reader and bridge feed this document: they end before anything they use goes.
  m_gpsLink.Shutdown();
  StopFirstFixWait();
  m_areaWorker.reset();  // waits for a running measurement
  platform::DetachWindow(m_docWindow);
  CTolvanixDoc* self = this;
  if (g_document.compare_exchange_strong(self, nullptr)) CNmeaParser::SetCallback(nullptr);
  CloseHandle(m_areaEvent);
}

// ---------------------------------------------------------------------------------------------
// Features
// ---------------------------------------------------------------------------------------------

FeatureRecord& CTolvanixDoc::AddFeature(FeatureType type, const std::string& name) {
  int pattern = kDefaultFeaturePattern;
  COLORREF colour = kDefaultFeatureColour;
  if (CWinApp* app = AfxGetApp()) {
    pattern = static_cast<int>(app->GetProfileInt(kOptionsSection, "Pattern", kDefaultFeaturePattern));
    colour = app->GetProfileInt(kOptionsSection, "Color", static_cast<int>(kDefaultFeatureColour));
  }
  return m_content.AddFeature(type, name, pattern, colour);
}

void CTolvanixDoc::AppendFeature(FeatureRecord&& record) {
  m_features.push_back(std::move(record));
  if (m_features.back().type == FeatureType::Part)
    m_kind52Index.push_back(static_cast<int>(m_features.size()) - 1);
}

void CTolvanixDoc::DeleteAllFeatures() {
  m_content.DeleteAllFeatures();
  ++m_featureEpoch;  // measurements under way belong to features that are gone
  m_lastVertexCount = -1;
}

FeatureRecord* CTolvanixDoc::CurrentFeature() {
  if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_features.size()) return nullptr;
  return &m_features[m_current];
}

// ---------------------------------------------------------------------------------------------
// New document and the save prompt
// ---------------------------------------------------------------------------------------------

BOOL CTolvanixDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  // The measurement under way is left with the old document.
  StopFirstFixWait();
  // A new document has no file: Save asks for a name and a folder. (An open names the
  // document once its file is read; an open that fails after this point leaves it new.)
  m_docName = LoadResString(kStringUntitled);
  m_docFolder.clear();
  SetTitle(m_docName);
  m_needsRedraw = true;
  m_openingFile = false;
  m_hasFile = false;
  {
    std::lock_guard<std::mutex> lock(m_fixLock);
    m_gpsMapX = m_gpsMapY = 0.0;
    m_altitudeCm = 0;
    m_gpsLon = m_gpsLat = m_datumLon = m_datumLat = 0.0;
    m_hdop = m_pdop = m_vdop = 0.0;
    m_gpsDay = m_gpsMonth = m_gpsYear = 0;
    m_gpsHour = m_gpsMinute = m_gpsSecond = 0;
  }
  m_lastCaptureWgs84 = {};

  for (FeatureRecord& f : m_features) f.FreeVertices();
  DeleteAllFeatures();
  AddFeature(m_newFeatureKind ? FeatureType::Line : FeatureType::Area, LoadResString(kStringNoName));
  m_current = 0;

  m_waypoints.clear();
  m_samples.clear();
  m_waypointNotes.clear();
  m_trail.clear();
  SetModifiedFlag(FALSE);
  UpdateAllViews(nullptr);
  Dialogs().ResetView();
  return TRUE;
}

BOOL CTolvanixDoc::IsModified() {
  return CDocument::IsModified() || ContentDigest() != m_savedDigest;
}

void CTolvanixDoc::SetModifiedFlag(BOOL modified) {
  CDocument::SetModifiedFlag(modified);
  if (!modified) m_savedDigest = ContentDigest();
}

BOOL CTolvanixDoc::SaveModified() {
  if (!IsModified()) return TRUE;
  // The name the user knows the document by, also once it has a file.
  const std::string name = m_docName.empty() ? LoadResString(kStringUntitled) : m_docName;
  std::string prompt = LoadResString(kStringAskToSave);
  if (auto at = prompt.find("%1"); at != std::string::npos) prompt.replace(at, 2, name);
  switch (MessageBox(m_hwndView, prompt, kCaption, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
      return FALSE;
    case IDNO:
      return TRUE;
    default:
      break;
  }
  // Yes: the caller goes on only when the work is safe on disk.
  return SaveByName() ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// Language commands and exit
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::ChooseLanguage(int index) {
  m_language = static_cast<std::int16_t>(index);
  CWinApp* app = AfxGetApp();
  // A choice the store could not take has been said; the notice would promise a language
  // the next start cannot know of.
  if (app && !app->WriteProfileInt("Opciones", "Idioma", m_language)) return;
  MessageBox(m_hwndView, kLanguageModules[index].notice, kCaption, MB_ICONEXCLAMATION);
}

void CTolvanixDoc::OnUpdateLanguage(CCmdUI* ui) {
  // A module that is not installed cannot be chosen for the next start.
  const LanguageModuleInfo* row = LanguageModuleByCommand(ui->m_nID);
  ui->Enable(row != nullptr && LanguageModuleInstalled(row->index));
}

void CTolvanixDoc::OnLanguageEn() { ChooseLanguage(0); }
void CTolvanixDoc::OnLanguageDe() { ChooseLanguage(1); }
void CTolvanixDoc::OnLanguageFr() { ChooseLanguage(2); }
void CTolvanixDoc::OnLanguageSp() { ChooseLanguage(3); }
void CTolvanixDoc::OnLanguagePt() { ChooseLanguage(4); }
void CTolvanixDoc::OnLanguageDu() { ChooseLanguage(5); }
void CTolvanixDoc::OnLanguageRu() { ChooseLanguage(6); }
void CTolvanixDoc::OnLanguageLv() { ChooseLanguage(7); }
void CTolvanixDoc::OnLanguagePl() { ChooseLanguage(8); }
void CTolvanixDoc::OnLanguageRo() { ChooseLanguage(9); }
void CTolvanixDoc::OnLanguageIt() { ChooseLanguage(10); }
void CTolvanixDoc::OnLanguageHu() { ChooseLanguage(11); }
void CTolvanixDoc::OnLanguageBg() { ChooseLanguage(12); }
void CTolvanixDoc::OnLanguageLt() { ChooseLanguage(13); }
void CTolvanixDoc::OnLanguageCh() { ChooseLanguage(14); }
