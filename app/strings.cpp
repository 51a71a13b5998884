#include "app/strings.h"

#include <atomic>

#include "platform/modules.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"

const UINT WM_REFRESH_GPS = RegisterWindowMessage("WM_REFRESH_GPS");
const UINT WM_DIBUJAR_CAMPOS = RegisterWindowMessage("WM_DIBUJAR_CAMPOS");
const UINT WM_ADD_SEGMENTO = RegisterWindowMessage("WM_ADD_SEGMENTO");
const UINT WM_CALCULAR_AREA = RegisterWindowMessage("WM_CALCULAR_AREA");

std::string ModuleDirectory;

namespace {

std::atomic<HMODULE> g_languageModule{nullptr};

}  // namespace

std::string LoadResString(UINT id) { return LoadResStringFrom(id, AfxGetResourceHandle()); }

std::string LoadResStringFrom(UINT id, HMODULE module) {
  std::string text;
  LoadString(module, id, text, 256);
  return text;
}

std::string ToMultiByte(const std::string& text) { return platform::Utf8ToCp1252(text); }

std::string FromMultiByte(const std::string& text) { return platform::Cp1252ToUtf8(text); }

std::string ModuleDirectoryOf(const std::string& programPath) {
  size_t slash = programPath.find_last_of('/');
  return slash == std::string::npos ? programPath : programPath.substr(0, slash + 1);
}

void InitModuleDirectory() { ModuleDirectory = ModuleDirectoryOf(GetModuleFileName(nullptr)); }

void SetLanguageResourceModule(HMODULE module) { g_languageModule = module; }

HMODULE LanguageResourceModule() {
  HMODULE module = g_languageModule.load();
  return module ? module : GetModuleHandle(nullptr);
}

void SetResourceModule(CWinApp*, int fromProgram) {
  AfxSetResourceHandle(fromProgram ? GetModuleHandle(nullptr) : g_languageModule.load());
}
