// The fifteen language modules: the option "Idioma" chooses one for the next start.
#pragma once

#include <string>

#include "platform/win_types.h"

struct LanguageModuleInfo {
  int index;         // value of Opciones\Idioma
  const char* file;  // under the program folder's internal/
  UINT commandId;    // the menu command that chooses it
  const char* notice;  // shown when it is chosen (the program's own text)
};

constexpr int kLanguageCount = 15;
// By index: row i describes Idioma i. Note the crossed command ids of French/Spanish
// (32784/32785) and Russian/"du" (32787/32788).
extern const LanguageModuleInfo kLanguageModules[kLanguageCount];

// The module file for an Idioma value; values outside 0-14 take English.
const LanguageModuleInfo& LanguageModuleFor(int idioma);
// The row of a language command id; nullptr for any other id.
const LanguageModuleInfo* LanguageModuleByCommand(UINT commandId);

// Whether the module of language `index` is present in the program folder's internal/.
bool LanguageModuleInstalled(int index);
// The program's own notice when the chosen module is missing and the start goes on in English.
std::string MissingLanguageNotice(int index);

class CWinApp;
// The operating-system notice for a handheld OS version; empty where none applies.
std::string OsVersionNotice(DWORD major, DWORD minor);
// Shows that notice while Opciones\OS is non-zero (default 1): YES keeps the check,
// NO turns it off for good. Start-up goes on either way.
void CheckOsVersion(CWinApp* app, DWORD major, DWORD minor);
