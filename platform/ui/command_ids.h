// Command ids of menus and toolbars. The program's command ids go up to 65535, but a
// wxWidgets menu item id must stay below 0x7FFF: larger ids travel inside wxWidgets as
// reserved ids of its own and are turned back at the command routing.
#pragma once

#include "platform/win_types.h"

namespace platform::ui {

// The wx id standing for a command id (the same number below 0x7FFF).
int CommandToWxId(UINT commandId);
// The command id of a wx id from a menu or toolbar.
UINT WxIdToCommand(int wxId);

}  // namespace platform::ui
