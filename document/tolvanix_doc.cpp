#include "document/tolvanix_doc.h"

#include "app/languages.h"
#include "document/doc_area.h"
#include "app/strings.h"
#include "platform/message_box.h"
#include "platform/win_app.h"
#include "platform/window_messages.h"

namespace {
CTolvanixDoc* g_document = nullptr;
constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringUntitled = 61443;
}  // namespace

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
  ON_COMMAND(ID_APP_EXIT, &CTolvanixDoc::OnAppExit)
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

CTolvanixDoc::CTolvanixDoc() {
  if (CWinApp* app = AfxGetApp()) {
    m_language = static_cast<std::int16_t>(app->GetProfileInt("Opciones", "Idioma", 0));
  }
  g_document = this;
}

CTolvanixDoc::~CTolvanixDoc() {
  if (g_document == this) g_document = nullptr;
}

BOOL CTolvanixDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  m_docName = LoadResString(kStringUntitled);
  SetTitle(m_docName);
  return TRUE;
}

BOOL CTolvanixDoc::SaveModified() { return CDocument::SaveModified(); }

void CTolvanixDoc::ChooseLanguage(int index) {
  m_language = static_cast<std::int16_t>(index);
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt("Opciones", "Idioma", m_language);
  MessageBox(m_hwndView, kLanguageModules[index].notice, kCaption, MB_ICONEXCLAMATION);
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

void CTolvanixDoc::OnAppExit() {
  // GPS reading stops first (its reader thread is waited for) once the receiver link exists.
  m_gpsOn = false;
  if (CWinApp* app = AfxGetApp()) PostMessage(app->m_hMainWnd, WM_CLOSE, 0, 0);
}
