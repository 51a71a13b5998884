#include "platform/cmd_target.h"

using platform::MessageMap;
using platform::MessageMapEntry;

namespace {

// Walks the map chain of target and returns the first entry that pred accepts.
template <class Pred>
const MessageMapEntry* FindEntry(const CCmdTarget* target, Pred pred) {
  for (const MessageMap* map = target->GetMessageMap(); map;
       map = map->base ? map->base() : nullptr) {
    for (const MessageMapEntry& entry : map->entries) {
      if (pred(entry)) return &entry;
    }
  }
  return nullptr;
}

}  // namespace

const MessageMap* CCmdTarget::GetThisMessageMap() {
  static const MessageMap root{nullptr, {}};
  return &root;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra) {
  auto kind = code == CN_UPDATE_COMMAND_UI ? MessageMapEntry::Kind::UpdateCommandUi
                                           : MessageMapEntry::Kind::Command;
  const MessageMapEntry* entry =
      FindEntry(this, [&](const MessageMapEntry& e) { return e.MatchesCommand(kind, id); });
  if (!entry) return FALSE;
  if (code == CN_COMMAND_QUERY) return TRUE;
  entry->handler(this, id, static_cast<CCmdUI*>(extra), 0, 0);
  return TRUE;
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const MessageMapEntry* entry =
      FindEntry(this, [&](const MessageMapEntry& e) { return e.MatchesMessage(message); });
  if (!entry) return false;
  *result = entry->handler(this, 0, nullptr, wParam, lParam);
  return true;
}

LRESULT CCmdTarget::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (message != 0 && OnWndMsg(message, wParam, lParam, &result)) return result;
  if (message == WM_COMMAND) return OnCommand(wParam, lParam);
  return DefWindowProc(message, wParam, lParam);
}

BOOL CCmdTarget::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam), CN_COMMAND, nullptr);
}

LRESULT CCmdTarget::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (!target) return FALSE;
  if (target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this)) return TRUE;
  if (disableIfNoHandler) Enable(target->OnCmdMsg(m_nID, CN_COMMAND_QUERY, nullptr));
  return FALSE;
}
