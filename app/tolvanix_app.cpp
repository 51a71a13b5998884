#include "app/tolvanix_app.h"

#include <wx/display.h>
#include <wx/gdicmn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/languages.h"
#include "app/main_frame.h"
#include "app/strings.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/gps_dialogs.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/ui/dialog.h"
#include "view/tolvanix_view.h"

CTolvanixApp theApp;

namespace {

constexpr char kRegistryKey[] = "Vorel - Tolvanix PDA";
constexpr char kOptions[] = "Opciones";
constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringResourceMissing = 59168;
constexpr UINT kDocumentTemplate = 128;
constexpr UINT kAboutPortrait = 100;
constexpr UINT kAboutLandscape = 200;

// Test hook: the message boxes shown so far, one "caption|text" line each, appended to
// the file TVX_TEST_MSGBOX_LOG names (line breaks inside a text written as "\n").
void ReportShownBoxes() {
  const char* file = std::getenv("TVX_TEST_MSGBOX_LOG");
  if (!file || !*file) return;
  std::ofstream out(file, std::ios::app);
  for (const auto& box : platform::MessageBoxScript::TakeShown()) {
    std::string text;
    for (char c : box.text) text += c == '\n' ? std::string("\\n") : std::string(1, c);
    out << box.caption << "|" << text << "\n";
  }
}

// Ends the process at once with code; options are already on disk (every write is).
[[noreturn]] void ExitProcess(int code) {
  ReportShownBoxes();
  std::fflush(nullptr);
  std::_Exit(code);
}

class CAboutDlg : public CDialog {
 public:
  // The template follows the screen's shape: 100 when taller than wide, else 200.
  CAboutDlg() : CDialog(ScreenIsPortrait() ? kAboutPortrait : kAboutLandscape) {}

  static bool ScreenIsPortrait() {
    wxSize size = wxGetDisplaySize();
    return size.y > size.x;
  }
};

// Test hook: a line naming the resource module, once the main window is shown.
void ReportReady(const CTolvanixApp& app) {
  const char* file = std::getenv("TVX_TEST_READY_FILE");
  if (!file || !*file) return;
  std::ofstream out(file, std::ios::app);
  out << "ready module=" << GetModuleFileName(app.m_languageModule) << "\n";
}

}  // namespace

bool IsHiResScreen() { return wxGetDisplaySize().x >= 480; }

BEGIN_MESSAGE_MAP(CTolvanixApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, &CTolvanixApp::OnAppAbout)
END_MESSAGE_MAP()

CTolvanixApp::CTolvanixApp() = default;
CTolvanixApp::~CTolvanixApp() = default;

void CheckOsVersion(CTolvanixApp* app) {
  // A desktop system reports no handheld version (major 0): no notice applies.
  CheckOsVersion(app, 0, 0);
}

namespace {

// The module at path when it loads and carries resources; nullptr otherwise.
HMODULE LoadResourceModule(const std::string& path) {
  HMODULE module = LoadLibrary(path);
  if (module && !platform::HasResources(module)) {
    FreeLibrary(module);
    module = nullptr;
  }
  return module;
}

// The English module is missing, or there but cannot be used.
[[noreturn]] void ResourcesUnusable() {
  AfxMessageBox(LoadResString(kStringResourceMissing), MB_OK);
  ExitProcess(1);
}

}  // namespace

BOOL LoadLanguageDll(CTolvanixApp* app) {
  app->m_languageModule = nullptr;
  auto idioma = static_cast<std::int16_t>(app->GetProfileInt(kOptions, "Idioma", 0));
  const LanguageModuleInfo& chosen = LanguageModuleFor(idioma);
  HMODULE module = LoadResourceModule(ModuleDirectory + chosen.file);
  if (!module && chosen.index != 0) {
    // A chosen module that is missing or unreadable: this start and the next ones in English.
    app->WriteProfileInt(kOptions, "Idioma", 0);
    module = LoadResourceModule(ModuleDirectory + LanguageModuleFor(0).file);
    if (!module) ResourcesUnusable();
    MessageBox(nullptr, MissingLanguageNotice(chosen.index), kCaption, MB_OK | MB_ICONEXCLAMATION);
  }
  if (!module) ResourcesUnusable();
  app->m_languageModule = module;
  SetLanguageResourceModule(module);
  SetResourceModule(app, 0);
  return TRUE;
}

BOOL CTolvanixApp::InitInstance() {
  // The display is open only now: the screen test waits until here.
  m_hiRes = IsHiResScreen();
  // 1. The shell's extra controls need no set-up on the desktop.
  // 2.
  SetRegistryKey(kRegistryKey);
  // 3.
  InitModuleDirectory();
  // 4. The English module must exist whatever language is chosen.
  if (!platform::FileExists(ModuleDirectory + "internal/tvx_en.dll")) ResourcesUnusable();
  // 5.
  CheckOsVersion(this);
  // 6.
  LoadLanguageDll(this);
  // 7. (The document's commands ask through the program's dialogs.)
  InstallExportDialogs();
  InstallProgramDialogs();
  InstallGpsDialogs();
  InstallOptionsSheet();
  InstallWaypointDialogs();
  AddDocTemplate(MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(kDocumentTemplate));
  // 8.
  CCommandLineInfo commandLine;
  ParseCommandLine(commandLine);
  if (!commandLine.m_strFileName.empty()) {
    commandLine.m_nShellCommand = CCommandLineInfo::FileOpen;
    m_fileOnCommandLine = 1;
    m_commandLineFile = commandLine.m_strFileName;
  }
  // 9.
  if (!ProcessShellCommand(commandLine)) return FALSE;
  // 10.
  if (!m_pMainWnd) return FALSE;
  m_pMainWnd->ShowWindow(SW_SHOW);
  m_pMainWnd->UpdateWindow();
  ReportReady(*this);
  return TRUE;
}

int CTolvanixApp::ExitInstance() {
  if (m_languageModule) {
    SetResourceModule(this, 1);
    SetLanguageResourceModule(nullptr);
    FreeLibrary(m_languageModule);
    m_languageModule = nullptr;
  }
  ReportShownBoxes();
  return CWinApp::ExitInstance();
}

void CTolvanixApp::OnAppAbout() {
  CAboutDlg about;
  about.DoModal();
}
