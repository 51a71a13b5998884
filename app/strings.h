// Helpers every part of the program shares: texts of the string table, conversions
// between the program's UTF-8 text and the 8-bit Windows-1252 text of files and
// libraries, the program folder, where resources are looked up, and the four window
// messages by which the document and the panels talk to the map view.
//
// Every function returns its text by value: a text one thread fetched stays its own
// while other threads fetch theirs.
#pragma once

#include <string>

#include "platform/win_types.h"

class CWinApp;

// Text of string id from the current resource module (the language module after
// start-up), cut to 255 characters; empty when the module has no such string.
std::string LoadResString(UINT id);
// The same from the given module. Threads other than the user-interface thread fetch
// their texts this way from LanguageResourceModule(), so a switch of the current module
// (SetResourceModule) on the user-interface thread never reaches them.
std::string LoadResStringFrom(UINT id, HMODULE module);

// UTF-8 -> Windows-1252; characters that code page lacks become '?'.
std::string ToMultiByte(const std::string& text);
// Windows-1252 -> UTF-8.
std::string FromMultiByte(const std::string& text);

// The program's folder with its trailing '/', set once at start-up by InitModuleDirectory
// (before any other thread starts). Paths into "internal/" are built on it.
extern std::string ModuleDirectory;
void InitModuleDirectory();
// The folder part of a program path, up to and including its last '/' (the whole path
// when it has none).
std::string ModuleDirectoryOf(const std::string& programPath);

// fromProgram non-zero: resources come from the program itself; zero: from the
// language module (once loaded). Callers bracket loads of the program's own bitmaps.
void SetResourceModule(CWinApp* app, int fromProgram);
// The language module that SetResourceModule(…, 0) selects.
void SetLanguageResourceModule(HMODULE module);
// That module; the program itself while no language module is loaded. Any thread.
HMODULE LanguageResourceModule();

// True when the screen is at least 480 pixels wide (needs the display: program only).
bool IsHiResScreen();

// Registered at static initialisation; one number each in the whole process.
extern const UINT WM_REFRESH_GPS;
extern const UINT WM_DIBUJAR_CAMPOS;
extern const UINT WM_ADD_SEGMENTO;
extern const UINT WM_CALCULAR_AREA;
