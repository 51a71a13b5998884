// Popup menus: built in code (CreatePopupMenu + AppendMenu) or loaded from a menu of the
// current resource module (XRC, by numeric id), shown with TrackPopupMenu.
//
//   CMenu menu;
//   menu.CreatePopupMenu();
//   menu.AppendMenu(MF_STRING | MF_GRAYED, 32812, name);
//   menu.AppendMenu(MF_SEPARATOR);
//   menu.AppendMenu(MF_STRING | (navigating ? MF_CHECKED : 0), 32813, "Navegar");
//   ClientToScreen(&point);
//   menu.TrackPopupMenu(TPM_LEFTALIGN, point.x, point.y, this);   // WM_COMMAND to this
//   UINT cmd = menu.TrackPopupMenu(TPM_RETURNCMD, x, y, this);      // or the command, 0 = none
//
// Tracking sends the owner WM_ENTERMENULOOP (TRUE), WM_INITMENUPOPUP (menu, 0, FALSE), shows
// the menu, then WM_EXITMENULOOP (TRUE); without TPM_RETURNCMD a chosen command follows as
// WM_COMMAND (the command id in the low word of wParam), sent to the owner.
//
// Tests answer popup menus from a script and read back what was shown:
//   platform::PopupMenuScript::Push(32813);    // 0: the menu is dismissed
//   ... code under test ...
//   auto shown = platform::PopupMenuScript::TakeShown();
// While the script holds answers no menu appears on the screen. A scripted answer for a
// command that is not an enabled item of the menu counts as a dismissal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/gdi_types.h"
#include "platform/win_types.h"

class CWnd;
class CMenu;
class wxMenu;

namespace platform::ui {
struct MenuData;
}

using HMENU = CMenu*;

// Item flags (AppendMenu, InsertMenu, ModifyMenu, CheckMenuItem, EnableMenuItem, GetMenuState).
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_RADIOCHECK = 0x0200;
// What the item functions answer for an item that does not exist.
constexpr UINT kMenuNoItem = 0xFFFFFFFFu;

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

class CMenu {
 public:
  CMenu();
  ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  BOOL CreatePopupMenu();
  // Menu id of the current resource module: its top-level entries are the submenus
  // (GetSubMenu(0) is the first one), as a menu bar resource.
  BOOL LoadMenu(UINT menuId);
  BOOL DestroyMenu();
  HMENU GetSafeHmenu() const;
  operator HMENU() const { return GetSafeHmenu(); }  // NOLINT

  // MF_STRING (text), MF_SEPARATOR, or MF_POPUP with idOrSubmenu a CMenu* (reinterpret_cast
  // to UINT_PTR) whose items are copied; state flags MF_GRAYED, MF_DISABLED, MF_CHECKED.
  // Texts are UTF-8; '&' marks the access key, "&&" is a literal ampersand.
  BOOL AppendMenu(UINT flags, UINT_PTR idOrSubmenu = 0, const std::string& text = {});
  // Before the item at position (MF_BYPOSITION) or with the command id; position -1 appends.
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, const std::string& text = {});
  BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, const std::string& text = {});
  BOOL DeleteMenu(UINT position, UINT flags);
  BOOL RemoveMenu(UINT position, UINT flags) { return DeleteMenu(position, flags); }

  // The previous MF_CHECKED / MF_GRAYED state, kMenuNoItem when there is no such item.
  // By command id the search goes into submenus too.
  UINT CheckMenuItem(UINT idOrPosition, UINT flags);
  UINT EnableMenuItem(UINT idOrPosition, UINT flags);
  BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags);
  UINT GetMenuState(UINT idOrPosition, UINT flags) const;
  int GetMenuItemCount() const;
  // The command id; 0 for a separator, kMenuNoItem for a submenu or a bad position.
  UINT GetMenuItemID(int position) const;
  std::string GetMenuString(UINT idOrPosition, UINT flags) const;
  // Owned by this menu; nullptr when the item is not a submenu.
  CMenu* GetSubMenu(int position) const;

  // x, y: screen pixels of the menu's corner chosen by the alignment flags. With
  // TPM_RETURNCMD: the chosen command, 0 when none. Otherwise TRUE when a command was chosen
  // (it has been sent to owner), FALSE when not.
  UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);
  UINT TrackPopupMenuEx(UINT flags, int x, int y, CWnd* owner, void* params = nullptr) {
    return TrackPopupMenu(flags, x, y, owner);
  }

  // A new wx menu with the same items (the caller owns it); command ids are wx ids of
  // platform/ui/command_ids.h.
  wxMenu* ToWxMenu() const;

 private:
  std::shared_ptr<platform::ui::MenuData> data_;
  mutable std::vector<std::unique_ptr<CMenu>> subMenus_;
  friend struct platform::ui::MenuData;
};

// The free form of the handheld: owner by handle.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, void* params);

namespace platform {

struct ShownPopupMenuItem {
  UINT id = 0;      // 0 for separators and submenus
  UINT flags = 0;   // MF_SEPARATOR, MF_POPUP, MF_GRAYED, MF_DISABLED, MF_CHECKED
  std::string text;
};

struct ShownPopupMenu {
  HWND owner = nullptr;
  int x = 0;
  int y = 0;
  UINT flags = 0;
  std::vector<ShownPopupMenuItem> items;  // the top level, in order
  UINT answer = 0;
};

struct PopupMenuScript {
  static void Push(UINT command);
  static void Clear();
  static std::vector<ShownPopupMenu> TakeShown();
};

}  // namespace platform
