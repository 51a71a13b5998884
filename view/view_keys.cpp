// Keys and application buttons on the map view: each of the nine keys runs its KeyAction.
//
// The handheld took its four application buttons as system hot keys. The desktop has no such
// buttons: the platform delivers F5-F8 as the buttons' virtual keys to the window with the
// focus, and while the view has taken them (option "HKE") their presses arrive as hot keys.
#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/input.h"
#include "view/core/key_actions.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kCapturePoint = 32801;
constexpr UINT kStringNoName = 59167;  // "Sin nombre"
constexpr UINT MOD_WIN_KEY = 0x0008;

}  // namespace

void CTolvanixView::UpdateHotKeys() { m_hotKeysTaken = m_hotKeys != 0; }

void CTolvanixView::RunCommand(UINT id) {
  CCmdTarget* route = GetParentFrame();
  if (!route) route = this;
  CCmdUI ui(id);
  ui.DoUpdate(route, TRUE);
  if (ui.enabled && !*ui.enabled) return;
  route->OnCmdMsg(id, CN_COMMAND, nullptr);
}

void CTolvanixView::RunKeyAction(int code) {
  const KeyActionInfo* action = FindKeyAction(code);
  CTolvanixDoc* doc = GetDocument();
  if (!action || !doc) return;
  switch (static_cast<KeyAction>(code)) {
    case KeyAction::HdopFilter:
      doc->m_hdopFilterOn = doc->m_hdopFilterOn == 0 ? 1 : 0;
      return;
    case KeyAction::CombinedStart: {
      // A new feature would come after the parts of a division in progress.
      if (doc->m_splitInProgress) return;
      if (doc->m_autoCapture) ToggleAutoCapture();
      doc->AddFeature(doc->m_newFeatureKind == 0 ? FeatureType::Area : FeatureType::Line,
                      LoadResString(kStringNoName));
      doc->m_current = static_cast<int>(doc->m_features.size()) - 1;
      ToggleAutoCapture();
      RunCommand(kCapturePoint);
      return;
    }
    default:
      break;
  }
  if (action->targetsCurrentFeature) m_popupFeature = doc->m_current;
  if (action->command) RunCommand(action->command);
  if (action->repaintAfter) Invalidate(TRUE);
}

void CTolvanixView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  // An application button pressed while the view holds the buttons: the hot key of the
  // handheld, which acts on the press.
  if (m_hotKeysTaken && SlotOfHotKey(static_cast<int>(key)) >= 0) {
    if (repeat <= 1 && !(flags & 0x4000)) {
      OnHotKey(key - VK_APP1 + 1, MOD_WIN_KEY, key);
    }
    return;
  }
  CWnd::OnKeyDown(key, repeat, flags);
}

void CTolvanixView::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  const int slot = SlotOfReleasedKey(static_cast<int>(key));
  if (slot >= 0) RunKeyAction(m_keyActions[static_cast<std::size_t>(slot)]);
  CWnd::OnKeyUp(key, repeat, flags);
}

void CTolvanixView::OnHotKey(UINT, UINT, UINT virtualKey) {
  const int slot = SlotOfHotKey(static_cast<int>(virtualKey));
  if (slot >= 0) RunKeyAction(m_keyActions[static_cast<std::size_t>(slot)]);
}
