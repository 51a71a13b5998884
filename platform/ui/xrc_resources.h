// Dialog templates and menus of a resource module, by numeric id, through wxXmlResource.
// XRC object names are the ids: a control named "1279" gets window id 1279.
#pragma once

#include "platform/win_types.h"

class wxDialog;
class wxMenuBar;
class wxMenu;
class wxWindow;
class wxXmlResource;

namespace platform::ui {

// The XRC resources of a module (built once per module); never nullptr.
wxXmlResource* XrcResources(HMODULE module);

// Loads a template of the current resource module into dialog; false when it has none.
bool LoadDialogTemplate(wxDialog* dialog, wxWindow* parent, UINT templateId);
bool HasDialogTemplate(UINT templateId);
// nullptr when the current resource module has no such menu.
wxMenuBar* LoadMenuBarResource(UINT menuId);
wxMenu* LoadMenuResource(UINT menuId);

}  // namespace platform::ui
