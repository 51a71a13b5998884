// Dialog templates and menus of a resource module, by numeric id, through wxXmlResource.
// XRC object names are the ids: a control named "1279" gets window id 1279.
#pragma once

#include <map>
#include <memory>

#include <wx/string.h>

#include "platform/win_types.h"

class wxDialog;
class wxMenuBar;
class wxMenu;
class wxWindow;
class wxXmlResource;
class wxXmlDocument;

namespace platform::ui {

// One XRC document of a module's resources as the lookups take it: parsed, the ids beyond
// wxWidgets' range renamed, and the name and class of each top-level object added to
// topLevel. nullptr when the text is not an XML document.
std::unique_ptr<wxXmlDocument> ReadXrcDocument(const char* text,
                                               std::map<wxString, wxString>& topLevel);

// The XRC resources of a module (built once per module); never nullptr.
wxXmlResource* XrcResources(HMODULE module);

// Loads a template of the current resource module into dialog; false when it has none.
bool LoadDialogTemplate(wxDialog* dialog, wxWindow* parent, UINT templateId);
bool HasDialogTemplate(UINT templateId);
// nullptr when the current resource module has no such menu.
wxMenuBar* LoadMenuBarResource(UINT menuId);
wxMenu* LoadMenuResource(UINT menuId);

}  // namespace platform::ui
