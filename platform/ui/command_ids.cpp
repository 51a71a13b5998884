#include "platform/ui/command_ids.h"

#include <wx/xrc/xmlres.h>

#include <map>

namespace platform::ui {
namespace {

constexpr UINT kLargestPlainId = 0x7FFE;

std::map<int, UINT>& WxToCommand() {
  static std::map<int, UINT> table;
  return table;
}

}  // namespace

int CommandToWxId(UINT commandId) {
  if (commandId <= kLargestPlainId) return static_cast<int>(commandId);
  // XRCID reserves one id per name for the life of the process.
  int id = wxXmlResource::GetXRCID(wxString::Format("tvxcmd_%u", commandId));
  WxToCommand()[id] = commandId;
  return id;
}

UINT WxIdToCommand(int wxId) {
  if (wxId >= 0) return static_cast<UINT>(wxId);
  auto it = WxToCommand().find(wxId);
  return it == WxToCommand().end() ? 0 : it->second;
}

}  // namespace platform::ui
