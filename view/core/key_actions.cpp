#include "view/core/key_actions.h"

#include <array>

namespace {

// Indexed by code. Commands: 32801 capture, 32802 automatic capture, 32859 averaging,
// 32804 GPS on/off, 32805/32806/32807/32811 zoom, 32832 offset, 32863 waypoint here,
// 32853 remove last vertex, 32860 insert point, 32842 new feature, layer switches
// 32855/32856/32857/32858/32833/32800/32840, 32823 ruler, 32818 design, 32820 properties.
constexpr std::array<KeyActionInfo, kKeyActionCount> kActions = {{
    {59227, 0, false, false},
    {59144, 32801, false, false},
    {59145, 32802, false, false},
    {59147, 32859, false, false},
    {59146, 32804, false, false},
    {59210, 32805, false, false},
    {59209, 32806, false, false},
    {59211, 32807, false, false},
    {59212, 32811, false, false},
    {59208, 32832, false, false},
    {59228, 32863, false, false},
    {59229, 32853, false, false},
    {59230, 32860, false, false},
    {59231, 32842, false, false},
    {59232, 32855, true, false},
    {59233, 32856, true, false},
    {59234, 32857, true, false},
    {59235, 32858, true, false},
    {59236, 32833, true, false},
    {59237, 32800, true, false},
    {59238, 32840, true, false},
    {59239, 32823, false, false},
    {59241, 32818, false, true},
    {59242, 32820, false, true},
    {59240, 0, false, false},
    {59243, 0, false, false},
}};

}  // namespace

const KeyActionInfo* FindKeyAction(int code) {
  if (code < 0 || code >= kKeyActionCount) return nullptr;
  return &kActions[code];
}

int SlotOfReleasedKey(int virtualKey) {
  switch (virtualKey) {
    case kVkLeft: return 4;
    case kVkRight: return 5;
    case kVkUp: return 6;
    case kVkDown: return 7;
    case kVkReturn: return 8;
    default: return -1;
  }
}

int SlotOfHotKey(int virtualKey) {
  return virtualKey >= kVkApp1 && virtualKey <= kVkApp4 ? virtualKey - kVkApp1 : -1;
}
