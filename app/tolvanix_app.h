// The application object: start-up in its fixed order, the About box and shut-down.
#pragma once

#include <string>

#include "platform/win_app.h"

class CTolvanixApp : public CWinApp {
 public:
  CTolvanixApp();
  ~CTolvanixApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  void OnAppAbout();

  bool m_hiRes = false;           // screen at least 480 pixels wide
  BYTE m_fileOnCommandLine = 0;   // 1 while a document path from the command line is pending
  std::string m_commandLineFile;  // that path
  HMODULE m_languageModule = nullptr;

  DECLARE_MESSAGE_MAP()
};

extern CTolvanixApp theApp;

// Start-up step 6: loads the module "Idioma" names and makes it the resource module.
// A chosen module that does not load resets "Idioma" to 0 and the start goes on in English
// with a notice; an English module that does not load ends the process as a missing one
// does (string 59168, exit code 1).
BOOL LoadLanguageDll(CTolvanixApp* app);
// Start-up step 5: the operating-system notice, while Opciones\OS is set.
void CheckOsVersion(CTolvanixApp* app);
