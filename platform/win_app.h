// The application object without windows: profile (options) access under the registry
// key, document templates, the command line and the shell command. The windowed layer
// (platform/ui/) runs it inside the wxWidgets event loop.
//
// Options live in the options store under
//   HKEY_CURRENT_USER\software\<registry key>\<application name>\<section>
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/cmd_target.h"
#include "platform/document.h"
#include "platform/options_store.h"

class CWnd;

// Creates the document, frame and view of a document type. The windowed layer gives the
// single-document template; tests may give their own.
class CDocTemplate : public CCmdTarget {
 public:
  explicit CDocTemplate(UINT resourceId) : m_nIDResource(resourceId) {}
  // An empty path makes a new document. nullptr when the document, frame or view cannot
  // be created or the file cannot be opened.
  virtual CDocument* OpenDocumentFile(const std::string& path, BOOL makeVisible = TRUE) = 0;
  virtual CDocument* GetDocument() const = 0;

  UINT m_nIDResource;
};

class CCommandLineInfo {
 public:
  enum Shell { FileNew, FileOpen, FileNothing };
  Shell m_nShellCommand = FileNew;
  std::string m_strFileName;
};

class CWinApp : public CCmdTarget {
 public:
  // appName: the application name (registry sub-key, message-box caption); an empty one
  // is taken from the program file's name.
  explicit CWinApp(const std::string& appName = {});
  ~CWinApp() override;

  // Before InitInstance: an application without a name takes string 57344 of the
  // program's own resources, else the program file's name.
  void InitApplicationName();
  virtual BOOL InitInstance() { return TRUE; }
  // Returns the process exit code.
  virtual int ExitInstance() { return m_exitCode; }

  void SetRegistryKey(const std::string& key);
  // Full options-store key of a section.
  std::string ProfileKey(const std::string& section) const;
  UINT GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
  BOOL WriteProfileInt(const std::string& section, const std::string& entry, int value);
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue = {});
  BOOL WriteProfileString(const std::string& section, const std::string& entry,
                          const std::string& value);
  // Values that one occasion stores (a dialog's OK, the view's values at its end), written
  // together: a store that cannot be written says so once for them all.
  BOOL WriteProfileValues(const std::string& section, const platform::OptionsStore::NamedValues& values);

  // The application owns its templates.
  void AddDocTemplate(CDocTemplate* docTemplate);
  CDocTemplate* GetFirstDocTemplate() const;
  virtual CDocument* OpenDocumentFile(const std::string& path);

  // Arguments after the program name; set by the windowed layer before InitInstance.
  void SetCommandLine(std::vector<std::string> args) { m_args = std::move(args); }
  const std::vector<std::string>& GetCommandLine() const { return m_args; }
  // The first argument that is not an option names a document to open.
  void ParseCommandLine(CCommandLineInfo& info) const;
  BOOL ProcessShellCommand(CCommandLineInfo& info);

  void OnFileNew();

  std::string m_pszAppName;
  std::string m_pszRegistryKey;
  CWnd* m_pMainWnd = nullptr;
  HWND m_hMainWnd = nullptr;
  int m_exitCode = 0;

 private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;
  std::vector<std::string> m_args;

  DECLARE_MESSAGE_MAP()
};

constexpr UINT AFX_IDS_APP_TITLE = 57344;

// The one application object (set by CWinApp's constructor).
CWinApp* AfxGetApp();
// A message box owned by the main window, with the application name as caption.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// Text of a string id from the current resource module (empty when it has none).
std::string AfxLoadString(UINT id);
