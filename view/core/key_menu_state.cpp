#include "view/core/key_menu_state.h"

#include <array>

namespace {

// The language items by "Idioma" value (Dutch and Russian are the other way round in the menu).
constexpr std::array<UINT, 15> kLanguageItems = {32782, 32783, 32784, 32785, 32786,
                                                 32788, 32787, 32789, 32790, 32791,
                                                 32792, 32793, 32794, 32795, 32796};

constexpr UINT kFirstLanguageItem = 32782;
constexpr UINT kLastLanguageItem = 32796;

}  // namespace

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
  const std::size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

UINT LanguageMenuItem(int language) {
  if (language < 0 || language >= static_cast<int>(kLanguageItems.size())) return 0;
  return kLanguageItems[language];
}

std::string FeatureItemText(const std::string& format, const std::string& name,
                            std::size_t featureCount) {
  const bool single = featureCount < 2;
  std::string text = ReplaceFirst(format, "%s", single ? std::string() : name);
  if (featureCount == 1) text = ReplaceFirst(text, " ()", "");
  return text;
}

std::vector<MenuItemState> MainMenuStates(const MenuStateInput& in,
                                          const std::function<std::string(UINT)>& strings) {
  std::vector<MenuItemState> out;
  auto enable = [&](UINT id, bool on) { out.push_back({id, on, std::nullopt, std::nullopt}); };
  auto check = [&](UINT id, bool on) { out.push_back({id, std::nullopt, on, std::nullopt}); };

  // 1. Languages: all unchecked, all but English enabled while their module is installed,
  // then the chosen one checked.
  for (UINT id = kFirstLanguageItem; id <= kLastLanguageItem; ++id) {
    out.push_back({id, std::nullopt, false, std::nullopt});
  }
  for (std::size_t index = 1; index < kLanguageItems.size(); ++index) {
    enable(kLanguageItems[index], !in.languageMissing[index]);
  }
  if (UINT chosen = LanguageMenuItem(in.language)) check(chosen, true);

  // 2-4. Exports by what the document holds.
  const bool hasVertices = in.vertexTotal > 0;
  for (UINT id : {32836u, 32843u, 32844u}) enable(id, hasVertices);
  out.push_back({32779, true, std::nullopt, ReplaceFirst(strings(59166), "UTM", in.projectionName)});
  const bool hasAnything = in.vertexTotal + in.waypointCount > 0;
  for (UINT id : {32780u, 32779u, 32781u, 32838u, 32875u}) enable(id, hasAnything);

  // 5-6. Navigation and the layer switches.
  enable(32876, in.navigating);
  check(32800, in.showWaypoints);
  check(32840, in.showWaypointNames);
  check(32855, in.showOutlines);
  check(32857, in.showLabels);
  check(32858, in.showPoints);
  check(32823, in.showRuler);
  check(32856, in.showTitles);
  check(32833, in.showNotes);

  // 7. The current feature's items.
  const bool noVertex = in.currentWgs84Vertices == 0;
  struct FeatureItem {
    UINT stringId;
    UINT id;
    bool grayed;
  };
  const bool tooFewToSplit = in.currentVertices < kSplitMinimumVertices;
  const FeatureItem items[] = {
      {59254, 32852, tooFewToSplit || in.splitInProgress || !in.divideAllowed},
      {59289, 32885, tooFewToSplit || in.splitInProgress || !in.splitByLineAllowed},
      {59255, 32854, noVertex || in.splitInProgress},
      {59256, 32853, noVertex || in.splitInProgress},
      {59257, 32860, noVertex || !in.hasFix || in.splitInProgress},
      {59258, 32861, !in.gpsOn || !in.hasFix || in.splitInProgress},
      {59259, 32835, noVertex},
  };
  for (const FeatureItem& item : items) {
    out.push_back({item.id, !item.grayed, std::nullopt,
                   FeatureItemText(strings(item.stringId), in.currentName, in.featureCount)});
  }

  // 8. File and part items.
  enable(1260, in.hasFile);
  enable(32871, !in.currentIsPart);
  enable(32872, !in.currentIsPart && in.currentHasParts);
  out.push_back({1261, std::nullopt, std::nullopt, std::nullopt, true});
  return out;
}
