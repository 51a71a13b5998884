// Loadable modules by path, the program file, and resources looked up in modules.
//
// A resource module is any loaded module that exports TVX_RESOURCE_ENTRY (see
// platform/resource_blob.h): the language module internal/tvx_en.dll. The program's own
// resources are registered once at start-up with SetProgramResources and belong to the
// program's module handle, GetModuleHandle(nullptr).
//
// The current resource module (AfxGetResourceHandle) is where string, dialog and menu
// lookups go; the program switches it between the language module and itself.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resource_blob.h"
#include "platform/win_types.h"

// dlopen by path (no search of library folders). nullptr when the file is missing or is
// not a loadable library; platform::LastModuleError() then says why.
HMODULE LoadLibrary(const std::string& path);
BOOL FreeLibrary(HMODULE module);
// A symbol exported by the module; nullptr when it has none.
void* GetProcAddress(HMODULE module, const char* name);
// nullptr: the program itself.
HMODULE GetModuleHandle(const char* name);
// Full path of the module's file; for the program (nullptr or its handle) the running
// executable, found through /proc/self/exe.
std::string GetModuleFileName(HMODULE module);

// The module resources are looked up in (the program's own until changed).
HMODULE AfxGetResourceHandle();
void AfxSetResourceHandle(HMODULE module);

// Copies string id of the module's table into text, cut to bufferChars - 1 characters
// (Unicode characters, never inside one); returns the number of characters copied,
// 0 (and an empty text) when the module has no such string.
int LoadString(HMODULE module, UINT id, std::string& text, int bufferChars);

namespace platform {

std::string LastModuleError();

// Registers the resources built into the program (once, before the first lookup).
void SetProgramResources(const TvxResourceBlob* blob);

// The module's string, whole; nullptr when it has none.
const std::string* FindResourceString(HMODULE module, UINT id);
// The module's XRC documents (name, text); empty for a module without resources.
std::vector<TvxXrcDocument> ResourceXrcDocuments(HMODULE module);
// A binary resource; empty when the module has none of that type and id.
std::string_view FindResourceItem(HMODULE module, std::string_view type, UINT id);
// True for the program's own handle and for loaded modules that carry resources.
bool HasResources(HMODULE module);

// A module's string table ("id<TAB>text" lines, see resource_blob.h) as the lookups read it.
std::map<UINT, std::string> ParseStringTable(std::string_view table);

// Cuts UTF-8 text after maxChars Unicode characters.
std::string CutToCharacters(std::string_view text, size_t maxChars);

}  // namespace platform
