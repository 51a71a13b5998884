// The program's single document. This first cut carries the language commands and the
// exit command; the measured features, waypoints, GPS state and options join it later.
#pragma once

#include <cstdint>

#include "platform/document.h"

class CTolvanixDoc : public CDocument {
 public:
  CTolvanixDoc();
  ~CTolvanixDoc() override;

  BOOL OnNewDocument() override;

  // The language commands: store the choice for the next start and say so.
  void OnLanguageEn();
  void OnLanguageDe();
  void OnLanguageFr();
  void OnLanguageSp();
  void OnLanguagePt();
  void OnLanguageDu();
  void OnLanguageRu();
  void OnLanguageLv();
  void OnLanguagePl();
  void OnLanguageRo();
  void OnLanguageIt();
  void OnLanguageHu();
  void OnLanguageBg();
  void OnLanguageLt();
  void OnLanguageCh();
  // Exit command: GPS off, then the main window is asked to close.
  void OnAppExit();

  std::int16_t m_language = 0;  // Opciones\Idioma as last chosen
  HWND m_hwndView = nullptr;    // window that receives the document's posted messages
  std::string m_docName;        // display name ("Untitled", string 61443, for a new one)
  bool m_gpsOn = false;

 private:
  void ChooseLanguage(int index);

  DECLARE_MESSAGE_MAP()
};

// The one document (set by its constructor); nullptr when none exists.
CTolvanixDoc* TheDocument();
