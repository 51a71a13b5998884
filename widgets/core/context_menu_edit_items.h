// The items of an edit's tap-and-hold menu and when each is greyed, from the edit's state.
#pragma once

#include <vector>

#include "platform/win_types.h"

namespace widgets {

// Commands of the menu: the edit messages they stand for, and select-all.
constexpr UINT kEditUndo = 0x00C7;   // EM_UNDO
constexpr UINT kEditCut = 0x0300;    // WM_CUT
constexpr UINT kEditCopy = 0x0301;   // WM_COPY
constexpr UINT kEditPaste = 0x0302;  // WM_PASTE
constexpr UINT kEditClear = 0x0303;  // WM_CLEAR
constexpr UINT kEditSelectAll = 0x7400;

struct EditState {
  bool canUndo = false;
  bool readOnly = false;
  int selectionStart = 0;  // character positions
  int selectionEnd = 0;
  int length = 0;          // characters of text
  bool clipboardHasText = false;
};

struct EditMenuItem {
  UINT command = 0;   // 0: separator
  UINT textId = 0;    // string-table id of the item's text
  bool greyed = false;
};

// Undo, separator, Cut, Copy, Paste, Delete, separator, Select all.
std::vector<EditMenuItem> EditMenuItems(const EditState& edit);

}  // namespace widgets
