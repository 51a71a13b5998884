#include "widgets/context_menu_edit.h"

#include "app/strings.h"
#include "platform/ui/menu.h"
#include "widgets/core/context_menu_edit_items.h"

void CContextMenuEdit::OnContextMenu(POINT point) {
  widgets::EditState state;
  state.canUndo = CanUndo() != FALSE;
  state.readOnly = IsReadOnly() != FALSE;
  GetSel(state.selectionStart, state.selectionEnd);
  state.length = GetWindowTextLength();
  state.clipboardHasText = ClipboardHasText() != FALSE;

  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  for (const widgets::EditMenuItem& item : widgets::EditMenuItems(state)) {
    if (item.command == 0) {
      menu.AppendMenu(MF_SEPARATOR);
    } else {
      menu.AppendMenu(MF_STRING | (item.greyed ? MF_GRAYED : 0), item.command,
                      LoadResString(item.textId));
    }
  }
  SetFocus();
  switch (const UINT command = menu.TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, this)) {
    case 0: break;
    case widgets::kEditUndo: Undo(); break;
    case widgets::kEditCut: Cut(); break;
    case widgets::kEditCopy: Copy(); break;
    case widgets::kEditPaste: Paste(); break;
    case widgets::kEditClear: Clear(); break;
    case widgets::kEditSelectAll: SetSel(0, -1); break;
    default: SendMessage(WM_COMMAND, command, 0); break;
  }
}
