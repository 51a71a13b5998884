#include "widgets/core/grid_edit_rules.h"

#include "widgets/core/grid_types.h"

GridEditStart GridEditStartFor(UINT character) {
  if (character == gridkey::kLButton || character == gridkey::kReturn) return {false, false};
  if (character == gridkey::kTab || gridkey::IsNavigation(character)) return {true, false};
  if (character == gridkey::kBack) return {false, true};
  return {true, true};
}

bool GridEditEndsOnKey(UINT key, bool startedByTyping, bool ctrlHeld) {
  bool pageOrArrow = key == gridkey::kPrior || key == gridkey::kNext ||
                     (key >= gridkey::kLeftArrow && key <= gridkey::kDown);
  return pageOrArrow && (startedByTyping || ctrlHeld);
}

GridEditChar GridEditCharAction(UINT character) {
  if (character == gridkey::kTab || character == gridkey::kReturn) return GridEditChar::End;
  if (character == gridkey::kEscape) return GridEditChar::Cancel;
  return GridEditChar::Type;
}
