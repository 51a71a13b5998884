// The actions the device's keys and application buttons run on the map view (KeyAction), the
// nine keys they are assigned to, and the options those assignments are kept in.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

// Codes 0-25, in the order the key options page lists them (a list position is the code).
enum class KeyAction : int {
  Nothing = 0,
  CapturePoint = 1,
  AutoCapture = 2,
  Averaging = 3,
  GpsOnOff = 4,
  ZoomFullExtent = 5,
  ZoomOnGps = 6,
  ZoomIn = 7,
  ZoomOut = 8,
  Offset = 9,
  AddWaypoint = 10,
  DeleteLastPoint = 11,
  InsertPoint = 12,
  NewFeature = 13,
  ShowOutlines = 14,
  ShowTitles = 15,
  ShowLabels = 16,
  ShowPoints = 17,
  ShowNotes = 18,
  ShowWaypoints = 19,
  ShowWaypointNames = 20,
  Ruler = 21,
  Design = 22,
  Properties = 23,
  HdopFilter = 24,
  CombinedStart = 25,
};
constexpr int kKeyActionCount = 26;

// What one code does: the command it runs (0: none, or an effect of its own), whether the view
// is repainted with erase afterwards, whether the feature popup's target becomes the current
// feature first, and the string id of its name on the key options page.
struct KeyActionInfo {
  UINT nameStringId;
  UINT command;
  bool repaintAfter;
  bool targetsCurrentFeature;
};

// The entry of a code; nullptr for a value outside 0-25 (which does nothing).
const KeyActionInfo* FindKeyAction(int code);

// The nine keys, in the order of CTolvanixView::m_keyActions: application buttons 1-4, then
// left, right, up and down arrows and Enter.
constexpr std::size_t kKeySlotCount = 9;

// Virtual-key codes of the keys that act on release, and of the application buttons.
constexpr int kVkReturn = 13;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkApp1 = 0xC1;
constexpr int kVkApp4 = 0xC4;

// The slot a released key runs (Enter and the arrows), -1 for any other key.
int SlotOfReleasedKey(int virtualKey);
// The slot an application button's hot key runs (0xC1-0xC4 -> 0-3), -1 for any other key.
int SlotOfHotKey(int virtualKey);
