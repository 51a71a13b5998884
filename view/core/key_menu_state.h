// The states the map view gives the main menu's items each time a menu opens: language
// check marks, export items by what the document holds, layer check marks, and the texts and
// enabled states of the current feature's items.
#pragma once

#include <bitset>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"

// One item's change; unset fields leave the item as it is.
struct MenuItemState {
  UINT id = 0;
  std::optional<bool> enabled;
  std::optional<bool> checked;
  std::optional<std::string> text;
  bool remove = false;
};

// What the menu states are computed from (the document and the view at the moment the menu
// opens).
//
// The builder's states are the ones the menu shows (the frame runs the commands' update
// handlers first and the builder last, also while a menu is open). Where an update handler
// rules on an item too, the builder includes its rule: the language commands only for
// installed modules, divide and split by line only when their update handlers allow them
// (tap mode, no division), the object grid only with parts of the current feature.
struct MenuStateInput {
  int language = 0;                  // option "Idioma"
  std::bitset<15> languageMissing;   // by "Idioma" value: the module is not installed
  std::size_t vertexTotal = 0;       // vertices of all features (working-datum lists)
  std::size_t waypointCount = 0;
  std::string projectionName;        // replaces "UTM" in the UTM export item
  bool navigating = false;
  // The view's layer switches.
  bool showWaypoints = false, showWaypointNames = false, showOutlines = false,
       showLabels = false, showPoints = false, showRuler = false, showTitles = false,
       showNotes = false;
  // The current feature.
  std::size_t featureCount = 0;
  std::string currentName;
  std::size_t currentVertices = 0;       // working-datum list
  std::size_t currentWgs84Vertices = 0;  // WGS84 list
  bool currentIsPart = false;
  bool currentHasParts = false;          // parts name the current feature as their parent
  // The update handlers' own verdicts on divide (32852) and split by line (32885).
  bool divideAllowed = true;
  bool splitByLineAllowed = true;
  bool gpsOn = false;
  bool hasFix = false;
  bool splitInProgress = false;
  bool hasFile = false;
};

// text with the first occurrence of what replaced (a user's name put into a format string is
// never read as a format itself).
std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with);

// The language item checked for an "Idioma" value; 0 for a value without one.
UINT LanguageMenuItem(int language);

// Divide and split by line cut the current feature's ring: it needs this many vertices.
constexpr std::size_t kSplitMinimumVertices = 4;

// A feature item's text: format with its "%s" replaced by the name; with a single feature the
// name is empty and the " ()" that leaves is taken out. The text is the user's own name, so it is
// never used as a format itself.
std::string FeatureItemText(const std::string& format, const std::string& name,
                            std::size_t featureCount);

// Every item change in the order it is made. strings gives the text of a string id of the
// current resource module.
std::vector<MenuItemState> MainMenuStates(const MenuStateInput& in,
                                          const std::function<std::string(UINT)>& strings);
