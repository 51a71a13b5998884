// Notifications of controls inside dialogs and property pages, routed to the message map
// the way the handheld sent them in WM_COMMAND: the control id in the low word and the
// notification code in the high word. A click (code 0) is a plain command, so ON_COMMAND
// takes buttons, check boxes and radio buttons alike.
//
//   BEGIN_MESSAGE_MAP(CPageDatum, CPropertyPageVScroll)
//     ON_CBN_SELCHANGE(1038, &CPageDatum::OnSelchangeDatum)
//     ON_BN_CLICKED(1037, &CPageDatum::OnHelp)
//   END_MESSAGE_MAP()
#pragma once

#include "platform/cmd_target.h"

class CWnd;
class wxWindow;

constexpr WORD BN_CLICKED = 0;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD EN_CHANGE = 0x300;

// The command number a notification is routed under.
constexpr UINT ControlNotifyId(int controlId, WORD code) {
  return (static_cast<UINT>(code) << 16) | (static_cast<UINT>(controlId) & 0xFFFFu);
}

#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) \
  ON_COMMAND(ControlNotifyId(id, CBN_SELCHANGE), memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) \
  ON_COMMAND(ControlNotifyId(id, CBN_EDITCHANGE), memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_COMMAND(ControlNotifyId(id, EN_CHANGE), memberFxn)

namespace platform::ui {

// Routes the selection changes of combo boxes and choices (CBN_SELCHANGE), typing in a combo
// box (CBN_EDITCHANGE) or an edit (EN_CHANGE, also when the program sets the text), and clicks
// of check boxes and radio buttons (BN_CLICKED) of window's descendants to target's map.
// Notifications without a map entry go on to wxWidgets as before.
void RouteControlNotifications(CWnd* target, wxWindow* window);

}  // namespace platform::ui

// --- list boxes (platform/ui/control_notify_lists.cpp) ---
constexpr WORD LBN_SELCHANGE = 1;
#define ON_LBN_SELCHANGE(id, memberFxn) \
  ON_COMMAND(ControlNotifyId(id, LBN_SELCHANGE), memberFxn)

namespace platform::ui {
// Routes selection changes of the list boxes among window's descendants (LBN_SELCHANGE) to
// target's map, also when the program selects an item.
void RouteListBoxNotifications(CWnd* target, wxWindow* window);
}  // namespace platform::ui
// --- end list boxes ---
