#include "app/languages.h"

#include "app/strings.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/win_app.h"

namespace {
constexpr const char* kEnglishNotice = "The changed language will appear after restart this program";
}

const LanguageModuleInfo kLanguageModules[kLanguageCount] = {
    {0, "internal/tvx_en.dll", 32782, kEnglishNotice},
    {1, "internal/tvx_de.dll", 32783, "Die Änderungen werden erst nach Neustart des Programms wirksam"},
    {2, "internal/tvx_fr.dll", 32784, "Les changements prendront effet après avoir redémarrer le programme"},
    {3, "internal/tvx_sp.dll", 32785, "Debe reiniciar el programa para aplicar el cambio"},
    {4, "internal/tvx_pt.dll", 32786, "A mudança de língua ficará activa após reeniciar"},
    {5, "internal/tvx_du.dll", 32788, kEnglishNotice},
    {6, "internal/tvx_ru.dll", 32787, kEnglishNotice},
    {7, "internal/tvx_lv.dll", 32789, kEnglishNotice},
    {8, "internal/tvx_pl.dll", 32790, kEnglishNotice},
    {9, "internal/tvx_ro.dll", 32791, kEnglishNotice},
    {10, "internal/tvx_it.dll", 32792, kEnglishNotice},
    {11, "internal/tvx_hu.dll", 32793, kEnglishNotice},
    {12, "internal/tvx_bg.dll", 32794, kEnglishNotice},
    {13, "internal/tvx_lt.dll", 32795, "Pakeista kalba pradės veikti pakartotinai paleidus programą"},
    {14, "internal/tvx_ch.dll", 32796, "新的語言重新啟動後會出現此方案"},
};

const LanguageModuleInfo& LanguageModuleFor(int idioma) {
  return idioma >= 0 && idioma < kLanguageCount ? kLanguageModules[idioma] : kLanguageModules[0];
}

const LanguageModuleInfo* LanguageModuleByCommand(UINT commandId) {
  for (const LanguageModuleInfo& row : kLanguageModules) {
    if (row.commandId == commandId) return &row;
  }
  return nullptr;
}

bool LanguageModuleInstalled(int index) {
  if (index < 0 || index >= kLanguageCount) return false;
  return platform::FileExists(ModuleDirectory + kLanguageModules[index].file);
}

std::string MissingLanguageNotice(int index) {
  return std::string("The language module ") + LanguageModuleFor(index).file +
         " is not installed.\nThe program starts in English.";
}

std::string OsVersionNotice(DWORD major, DWORD minor) {
  const char* choose = "\nChoose YES to perform this check on startup or NO to disable this check.";
  if (major == 3) return std::string("This software requires PPC2003 or higher.") + choose;
  if (major == 5 && (minor == 1 || minor == 2)) {
    return std::string("You have installed a wrong version of this software.\nPlease, use the installer for ") +
           (minor == 1 ? "Windows Mobile 5.0" : "Windows Mobile 6.0") + choose;
  }
  return {};
}

void CheckOsVersion(CWinApp* app, DWORD major, DWORD minor) {
  if (app->GetProfileInt("Opciones", "OS", 1) == 0) return;
  std::string notice = OsVersionNotice(major, minor);
  if (notice.empty()) return;
  if (MessageBox(nullptr, notice, "Tolvanix PDA", MB_YESNO) == IDNO) {
    app->WriteProfileInt("Opciones", "OS", 0);
  }
}

