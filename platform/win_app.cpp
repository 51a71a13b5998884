#include "platform/win_app.h"

#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/options_store.h"

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
  ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

CWinApp::CWinApp(const std::string& appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

void CWinApp::InitApplicationName() {
  if (!m_pszAppName.empty()) return;
  std::string name;
  LoadString(GetModuleHandle(nullptr), AFX_IDS_APP_TITLE, name, 256);
  if (name.empty()) {
    name = GetModuleFileName(nullptr);
    name = name.substr(name.find_last_of('/') + 1);
  }
  m_pszAppName = name;
}

void CWinApp::SetRegistryKey(const std::string& key) { m_pszRegistryKey = key; }

std::string CWinApp::ProfileKey(const std::string& section) const {
  std::string key = "HKEY_CURRENT_USER\\software\\";
  if (!m_pszRegistryKey.empty()) key += m_pszRegistryKey + "\\";
  return key + m_pszAppName + "\\" + section;
}

UINT CWinApp::GetProfileInt(const std::string& section, const std::string& entry,
                            int defaultValue) {
  auto value = platform::OptionsStore::Instance().GetInt(ProfileKey(section), entry);
  return static_cast<UINT>(value ? *value : defaultValue);
}

BOOL CWinApp::WriteProfileInt(const std::string& section, const std::string& entry, int value) {
  return platform::OptionsStore::Instance().SetInt(ProfileKey(section), entry, value);
}

std::string CWinApp::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue) {
  auto value = platform::OptionsStore::Instance().GetString(ProfileKey(section), entry);
  return value ? *value : defaultValue;
}

BOOL CWinApp::WriteProfileString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
  return platform::OptionsStore::Instance().SetString(ProfileKey(section), entry, value);
}

BOOL CWinApp::WriteProfileValues(const std::string& section,
                                 const platform::OptionsStore::NamedValues& values) {
  return platform::OptionsStore::Instance().SetValues(ProfileKey(section), values);
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (docTemplate) m_templates.emplace_back(docTemplate);
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const {
  return m_templates.empty() ? nullptr : m_templates.front().get();
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path) {
  CDocTemplate* docTemplate = GetFirstDocTemplate();
  return docTemplate ? docTemplate->OpenDocumentFile(path) : nullptr;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
  for (const std::string& arg : m_args) {
    if (arg.empty() || arg[0] == '-') continue;
    info.m_strFileName = arg;
    info.m_nShellCommand = CCommandLineInfo::FileOpen;
    return;
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      return OpenDocumentFile({}) != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(info.m_strFileName) != nullptr;
    default:
      return TRUE;
  }
}

void CWinApp::OnFileNew() { OpenDocumentFile({}); }

int AfxMessageBox(const std::string& text, UINT type) {
  CWinApp* app = AfxGetApp();
  return MessageBox(app ? app->m_hMainWnd : nullptr, text, app ? app->m_pszAppName : "", type);
}

std::string AfxLoadString(UINT id) {
  std::string text;
  LoadString(AfxGetResourceHandle(), id, text, 256);
  return text;
}
