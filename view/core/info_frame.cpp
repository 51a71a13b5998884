#include "view/core/info_frame.h"

int DpiScaled(int dpi, int n) { return (dpi * n + 48) / 96; }

const std::array<std::string, 8>& RulerComboItems() {
  static const std::array<std::string, 8> items = {"Auto", "OFF", "100", " 50",
                                                   " 25",  " 10", "  5", "  1"};
  return items;
}

RulerChoice RulerChoiceForItem(int item) {
  static constexpr int kSteps[] = {100, 50, 25, 10, 5, 1};
  if (item == 0) return {true, -1};
  if (item >= 2 && item <= 7) return {true, kSteps[item - 2]};
  return {false, std::nullopt};
}

int InitialRulerItem(int regla) { return regla != 0 ? 0 : 1; }

StatusPaneWidths StatusPaneWidthsFor(bool hiRes, int dpiX) {
  if (!hiRes) return {40, 13};
  return {DpiScaled(dpiX, 40), DpiScaled(dpiX, 15)};
}
