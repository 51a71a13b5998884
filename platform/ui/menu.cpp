#include "platform/ui/menu.h"

#include <wx/menu.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <deque>
#include <mutex>

#include "platform/ui/command_ids.h"
#include "platform/ui/input.h"
#include "platform/ui/modal_windows.h"
#include "platform/ui/wnd.h"
#include "platform/ui/xrc_resources.h"

namespace platform::ui {

struct MenuData {
  struct Item {
    UINT id = 0;
    UINT flags = 0;  // MF_SEPARATOR, MF_POPUP, MF_GRAYED, MF_DISABLED, MF_CHECKED
    std::string text;
    std::shared_ptr<MenuData> sub;
  };
  std::vector<Item> items;

  std::shared_ptr<MenuData> Clone() const {
    auto copy = std::make_shared<MenuData>();
    copy->items = items;
    for (auto& item : copy->items)
      if (item.sub) item.sub = item.sub->Clone();
    return copy;
  }

  // By position, or by command id anywhere below.
  Item* Find(UINT idOrPosition, UINT flags) {
    if (flags & MF_BYPOSITION) {
      return idOrPosition < items.size() ? &items[idOrPosition] : nullptr;
    }
    for (auto& item : items) {
      if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == idOrPosition) return &item;
      if (item.sub)
        if (Item* found = item.sub->Find(idOrPosition, flags)) return found;
    }
    return nullptr;
  }

  // The list holding an item and its index there (by position: this list).
  bool Locate(UINT idOrPosition, UINT flags, MenuData** list, size_t* index) {
    if (flags & MF_BYPOSITION) {
      if (idOrPosition >= items.size()) return false;
      *list = this;
      *index = idOrPosition;
      return true;
    }
    for (size_t i = 0; i < items.size(); ++i) {
      const Item& item = items[i];
      if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == idOrPosition) {
        *list = this;
        *index = i;
        return true;
      }
      if (item.sub && item.sub->Locate(idOrPosition, flags, list, index)) return true;
    }
    return false;
  }

  static void FromWx(const wxMenu* menu, MenuData* out) {
    for (const wxMenuItem* wi : menu->GetMenuItems()) {
      Item item;
      if (wi->IsSeparator()) {
        item.flags = MF_SEPARATOR;
      } else if (wi->IsSubMenu()) {
        item.flags = MF_POPUP;
        item.sub = std::make_shared<MenuData>();
        FromWx(wi->GetSubMenu(), item.sub.get());
      } else {
        item.id = WxIdToCommand(wi->GetId());
        if (wi->IsCheckable() && wi->IsChecked()) item.flags |= MF_CHECKED;
      }
      if (!wi->IsEnabled()) item.flags |= MF_GRAYED;
      item.text = std::string(wi->GetItemLabel().utf8_str());
      out->items.push_back(std::move(item));
    }
  }

  wxMenu* ToWx() const {
    auto* menu = new wxMenu;
    for (const Item& item : items) {
      wxString text = wxString::FromUTF8(item.text.c_str());
      if (item.flags & MF_SEPARATOR) {
        menu->AppendSeparator();
      } else if (item.flags & MF_POPUP) {
        wxMenuItem* mi = menu->AppendSubMenu(item.sub ? item.sub->ToWx() : new wxMenu, text);
        if (item.flags & (MF_GRAYED | MF_DISABLED)) mi->Enable(false);
      } else {
        int wxId = CommandToWxId(item.id);
        // Every plain item can carry a check mark, as on the handheld.
        wxMenuItem* mi = menu->AppendCheckItem(wxId, text.empty() ? wxString(" ") : text);
        mi->Check((item.flags & MF_CHECKED) != 0);
        if (item.flags & (MF_GRAYED | MF_DISABLED)) mi->Enable(false);
      }
    }
    return menu;
  }
};

namespace {

UINT StateOf(const MenuData::Item& item) {
  return item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
}

struct Script {
  std::mutex lock;
  std::deque<UINT> answers;
  std::vector<platform::ShownPopupMenu> shown;
};
Script& TheScript() {
  static Script script;
  return script;
}

bool Enabled(const MenuData& menu, UINT command) {
  for (const auto& item : menu.items) {
    if (item.sub && Enabled(*item.sub, command)) return true;
    if (!(item.flags & (MF_POPUP | MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) && item.id == command)
      return true;
  }
  return false;
}

}  // namespace
}  // namespace platform::ui

using platform::ui::MenuData;

CMenu::CMenu() = default;
CMenu::~CMenu() = default;

BOOL CMenu::CreatePopupMenu() {
  if (data_) return FALSE;
  data_ = std::make_shared<MenuData>();
  return TRUE;
}

BOOL CMenu::LoadMenu(UINT menuId) {
  if (data_) return FALSE;
  auto data = std::make_shared<MenuData>();
  if (wxMenuBar* bar = platform::ui::LoadMenuBarResource(menuId)) {
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
      MenuData::Item item;
      item.flags = MF_POPUP;
      item.text = std::string(bar->GetMenuLabel(i).utf8_str());
      item.sub = std::make_shared<MenuData>();
      MenuData::FromWx(bar->GetMenu(i), item.sub.get());
      data->items.push_back(std::move(item));
    }
    delete bar;
  } else if (wxMenu* menu = platform::ui::LoadMenuResource(menuId)) {
    // A single menu resource stands as the first (and only) submenu.
    MenuData::Item item;
    item.flags = MF_POPUP;
    item.text = std::string(menu->GetTitle().utf8_str());
    item.sub = std::make_shared<MenuData>();
    MenuData::FromWx(menu, item.sub.get());
    data->items.push_back(std::move(item));
    delete menu;
  } else {
    return FALSE;
  }
  data_ = data;
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  if (!data_) return FALSE;
  data_.reset();
  subMenus_.clear();
  return TRUE;
}

HMENU CMenu::GetSafeHmenu() const { return data_ ? const_cast<CMenu*>(this) : nullptr; }

namespace {

bool MakeItem(UINT flags, UINT_PTR idOrSubmenu, const std::string& text, MenuData::Item* item) {
  item->flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
  item->text = text;
  if (flags & MF_SEPARATOR) return true;
  if (flags & MF_POPUP) {
    auto* sub = reinterpret_cast<CMenu*>(idOrSubmenu);
    if (!sub || !sub->GetSafeHmenu()) return false;
    item->sub = std::make_shared<MenuData>();
    for (int i = 0; i < sub->GetMenuItemCount(); ++i) {
      // Copies through the public face so nested submenus come along.
      MenuData::Item child;
      UINT state = sub->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
      child.flags = state;
      child.text = sub->GetMenuString(static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_POPUP) {
        CMenu* nested = sub->GetSubMenu(i);
        MenuData::Item copy;
        if (nested && MakeItem(MF_POPUP, reinterpret_cast<UINT_PTR>(nested), child.text, &copy))
          child.sub = copy.sub;
      } else {
        child.id = sub->GetMenuItemID(i);
      }
      item->sub->items.push_back(std::move(child));
    }
    return true;
  }
  item->id = static_cast<UINT>(idOrSubmenu);
  return true;
}

}  // namespace

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrSubmenu, const std::string& text) {
  return InsertMenu(kMenuNoItem, flags | MF_BYPOSITION, idOrSubmenu, text);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu, const std::string& text) {
  if (!data_) return FALSE;
  MenuData::Item item;
  if (!MakeItem(flags, idOrSubmenu, text, &item)) return FALSE;
  MenuData* list = data_.get();
  size_t index = data_->items.size();
  if (position != kMenuNoItem && !data_->Locate(position, flags & MF_BYPOSITION, &list, &index)) {
    if (!(flags & MF_BYPOSITION)) return FALSE;
    index = data_->items.size();
  }
  list->items.insert(list->items.begin() + static_cast<long>(index), std::move(item));
  subMenus_.clear();
  return TRUE;
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu, const std::string& text) {
  if (!data_) return FALSE;
  MenuData* list = nullptr;
  size_t index = 0;
  if (!data_->Locate(position, flags & MF_BYPOSITION, &list, &index)) return FALSE;
  MenuData::Item item;
  if (!MakeItem(flags & ~MF_BYPOSITION, idOrSubmenu, text, &item)) return FALSE;
  list->items[index] = std::move(item);
  subMenus_.clear();
  return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
  if (!data_) return FALSE;
  MenuData* list = nullptr;
  size_t index = 0;
  if (!data_->Locate(position, flags & MF_BYPOSITION, &list, &index)) return FALSE;
  list->items.erase(list->items.begin() + static_cast<long>(index));
  subMenus_.clear();
  return TRUE;
}

UINT CMenu::CheckMenuItem(UINT idOrPosition, UINT flags) {
  MenuData::Item* item = data_ ? data_->Find(idOrPosition, flags) : nullptr;
  if (!item) return kMenuNoItem;
  UINT old = item->flags & MF_CHECKED;
  item->flags = (item->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

UINT CMenu::EnableMenuItem(UINT idOrPosition, UINT flags) {
  MenuData::Item* item = data_ ? data_->Find(idOrPosition, flags) : nullptr;
  if (!item) return kMenuNoItem;
  UINT old = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

BOOL CMenu::CheckMenuRadioItem(UINT first, UINT last, UINT checked, UINT flags) {
  if (!data_) return FALSE;
  bool any = false;
  for (UINT i = first; i <= last; ++i) {
    MenuData::Item* item = data_->Find(i, flags);
    if (!item) continue;
    any = true;
    item->flags = (item->flags & ~MF_CHECKED) | (i == checked ? MF_CHECKED : 0);
  }
  return any;
}

UINT CMenu::GetMenuState(UINT idOrPosition, UINT flags) const {
  MenuData::Item* item = data_ ? data_->Find(idOrPosition, flags) : nullptr;
  return item ? platform::ui::StateOf(*item) : kMenuNoItem;
}

int CMenu::GetMenuItemCount() const { return data_ ? static_cast<int>(data_->items.size()) : -1; }

UINT CMenu::GetMenuItemID(int position) const {
  if (!data_ || position < 0 || position >= GetMenuItemCount()) return kMenuNoItem;
  const auto& item = data_->items[static_cast<size_t>(position)];
  if (item.flags & MF_POPUP) return kMenuNoItem;
  return (item.flags & MF_SEPARATOR) ? 0 : item.id;
}

std::string CMenu::GetMenuString(UINT idOrPosition, UINT flags) const {
  MenuData::Item* item = data_ ? data_->Find(idOrPosition, flags) : nullptr;
  return item ? item->text : std::string();
}

CMenu* CMenu::GetSubMenu(int position) const {
  if (!data_ || position < 0 || position >= GetMenuItemCount()) return nullptr;
  const auto& item = data_->items[static_cast<size_t>(position)];
  if (!item.sub) return nullptr;
  // A view sharing the submenu's items, so changes through it show in this menu.
  for (const auto& sub : subMenus_)
    if (sub->data_ == item.sub) return sub.get();
  auto view = std::make_unique<CMenu>();
  view->data_ = item.sub;
  subMenus_.push_back(std::move(view));
  return subMenus_.back().get();
}

wxMenu* CMenu::ToWxMenu() const { return data_ ? data_->ToWx() : nullptr; }

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT*) {
  if (!data_ || !owner) return 0;
  HWND ownerHandle = owner->m_hWnd;
  owner->SendMessage(WM_ENTERMENULOOP, TRUE, 0);
  owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(this), MAKELPARAM(0, FALSE));
  if (!IsWindow(ownerHandle) || !data_) return 0;

  platform::ShownPopupMenu shown;
  shown.owner = ownerHandle;
  shown.x = x;
  shown.y = y;
  shown.flags = flags;
  for (const auto& item : data_->items) shown.items.push_back({item.flags & MF_POPUP ? 0 : item.id, item.flags, item.text});

  UINT chosen = 0;
  auto& script = platform::ui::TheScript();
  std::unique_lock<std::mutex> lock(script.lock);
  if (!script.answers.empty()) {
    chosen = script.answers.front();
    script.answers.pop_front();
    if (chosen && !platform::ui::Enabled(*data_, chosen)) chosen = 0;
    shown.answer = chosen;
    script.shown.push_back(shown);
    lock.unlock();
  } else {
    lock.unlock();
    if (wxWindow* w = owner->GetWxWindow()) {
      std::unique_ptr<wxMenu> menu(data_->ToWx());
      wxPoint at = w->ScreenToClient(wxPoint(x, y));
      // The menu holds the input until it closes: ended as Escape ends it when the program
      // must end meanwhile. (The toolkit's call is looked up at run time: the program reaches
      // the toolkit through wxWidgets alone.)
      wxMenu* shownMenu = menu.get();
      const platform::ui::ModalWindowScope modal([shownMenu] {
        using Popdown = void (*)(void*);
        static auto popdown = reinterpret_cast<Popdown>(dlsym(RTLD_DEFAULT, "gtk_menu_popdown"));
        if (popdown && shownMenu->m_menu) popdown(shownMenu->m_menu);
      });
      int id = w->GetPopupMenuSelectionFromUser(*menu, at);
      chosen = id == wxID_NONE ? 0 : platform::ui::WxIdToCommand(id);
    }
    shown.answer = chosen;
  }
  if (IsWindow(ownerHandle)) ::SendMessage(ownerHandle, WM_EXITMENULOOP, TRUE, 0);
  if (flags & TPM_RETURNCMD) return chosen;
  if (chosen && IsWindow(ownerHandle))
    ::SendMessage(ownerHandle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return chosen ? TRUE : FALSE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, void*) {
  CWnd* window = CWnd::FromHandle(owner);
  if (!menu || !window) return FALSE;
  return static_cast<BOOL>(menu->TrackPopupMenu(flags, x, y, window));
}

namespace platform {

void PopupMenuScript::Push(UINT command) {
  auto& s = ui::TheScript();
  std::lock_guard<std::mutex> lock(s.lock);
  s.answers.push_back(command);
}

void PopupMenuScript::Clear() {
  auto& s = ui::TheScript();
  std::lock_guard<std::mutex> lock(s.lock);
  s.answers.clear();
  s.shown.clear();
}

std::vector<ShownPopupMenu> PopupMenuScript::TakeShown() {
  auto& s = ui::TheScript();
  std::lock_guard<std::mutex> lock(s.lock);
  return std::exchange(s.shown, {});
}

}  // namespace platform
