#include "platform/ui/xrc_resources.h"

#include <wx/dialog.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/modules.h"
#include "platform/ui/command_ids.h"

namespace platform::ui {

namespace {

wxString IdName(UINT id) { return wxString::Format("%u", id); }

// Menu items, tools and the controls of templates named with ids too large for wxWidgets get
// the reserved name that CommandToWxId gives (a dialog finds such a control by
// CommandToWxId(id)).
void RenameLargeCommandIds(wxXmlNode* node) {
  for (; node; node = node->GetNext()) {
    if (node->GetName() == "object") {
      wxString cls = node->GetAttribute("class");
      const bool control = node->GetParent() && node->GetParent()->GetName() == "object";
      unsigned long id = 0;
      if ((cls == "wxMenuItem" || cls == "tool" || control) &&
          node->GetAttribute("name").ToULong(&id) &&
          id > 0x7FFE && id <= 0xFFFF) {
        CommandToWxId(static_cast<UINT>(id));  // reserves the id under that name
        node->DeleteAttribute("name");
        node->AddAttribute("name", wxString::Format("tvxcmd_%lu", id));
      }
    }
    RenameLargeCommandIds(node->GetChildren());
  }
}

}  // namespace

std::unique_ptr<wxXmlDocument> ReadXrcDocument(const char* text,
                                               std::map<wxString, wxString>& topLevel) {
  wxMemoryInputStream stream(text, std::strlen(text));
  auto xml = std::make_unique<wxXmlDocument>();
  wxLogNull quiet;  // the caller says which document failed
  if (!xml->Load(stream, "UTF-8") || !xml->GetRoot()) return nullptr;
  RenameLargeCommandIds(xml->GetRoot()->GetChildren());
  for (wxXmlNode* node = xml->GetRoot()->GetChildren(); node; node = node->GetNext()) {
    if (node->GetName() == "object") topLevel[node->GetAttribute("name")] = node->GetAttribute("class");
  }
  return xml;
}

namespace {

struct ModuleXrc {
  std::unique_ptr<wxXmlResource> resources;
  std::map<wxString, wxString> topLevel;  // object name -> class, templates and menus only
};

ModuleXrc& ForModule(HMODULE module) {
  // Keyed by handle number; numbers are never reused, so a freed module cannot be mistaken.
  static std::map<HMODULE, ModuleXrc> cache;
  ModuleXrc& slot = cache[module];
  if (!slot.resources) {
    slot.resources = std::make_unique<wxXmlResource>(0);
    slot.resources->InitAllHandlers();
    for (const TvxXrcDocument& doc : ResourceXrcDocuments(module)) {
      std::unique_ptr<wxXmlDocument> xml = ReadXrcDocument(doc.text, slot.topLevel);
      if (!xml) {
        wxLogError("Resource document %s cannot be read", doc.name);
        continue;
      }
      slot.resources->LoadDocument(xml.release(), doc.name);
    }
  }
  return slot;
}

bool HasTopLevel(UINT id, const char* className) {
  const ModuleXrc& xrc = ForModule(AfxGetResourceHandle());
  auto it = xrc.topLevel.find(IdName(id));
  return it != xrc.topLevel.end() && it->second == className;
}

}  // namespace

wxXmlResource* XrcResources(HMODULE module) { return ForModule(module).resources.get(); }

bool LoadDialogTemplate(wxDialog* dialog, wxWindow* parent, UINT templateId) {
  if (!HasDialogTemplate(templateId)) return false;
  if (!XrcResources(AfxGetResourceHandle())->LoadDialog(dialog, parent, IdName(templateId)))
    return false;
  // A template without a sizer places its controls where they stand; the toolkit would
  // otherwise stretch a lone control over the whole dialog at each resize (the compass's
  // menu button over the rose it paints).
  if (!dialog->GetSizer()) dialog->SetAutoLayout(true);
  return true;
}

bool HasDialogTemplate(UINT templateId) { return HasTopLevel(templateId, "wxDialog"); }

wxMenuBar* LoadMenuBarResource(UINT menuId) {
  if (!HasTopLevel(menuId, "wxMenuBar")) return nullptr;
  return XrcResources(AfxGetResourceHandle())->LoadMenuBar(nullptr, IdName(menuId));
}

wxMenu* LoadMenuResource(UINT menuId) {
  if (!HasTopLevel(menuId, "wxMenu")) return nullptr;
  return XrcResources(AfxGetResourceHandle())->LoadMenu(IdName(menuId));
}

}  // namespace platform::ui
