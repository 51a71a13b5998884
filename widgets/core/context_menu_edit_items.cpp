#include "widgets/core/context_menu_edit_items.h"

namespace widgets {

std::vector<EditMenuItem> EditMenuItems(const EditState& e) {
  const bool noSelection = e.selectionStart == e.selectionEnd;
  const bool allSelected = e.selectionStart <= 0 && e.selectionEnd >= e.length;
  return {
      {kEditUndo, 59199, !e.canUndo || e.readOnly},
      {},
      {kEditCut, 59200, noSelection || e.readOnly},
      {kEditCopy, 59201, noSelection},
      {kEditPaste, 59202, !e.clipboardHasText || e.readOnly},
      {kEditClear, 59153, noSelection || e.readOnly},
      {},
      {kEditSelectAll, 59203, e.length == 0 || allSelected},
  };
}

}  // namespace widgets
