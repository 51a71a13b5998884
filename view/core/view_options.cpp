#include "view/core/view_options.h"

namespace {

// The stored order of the layer switches, with their defaults.
struct SwitchEntry {
  const char* name;
  std::int32_t ViewSettings::*member;
  int defaultValue;
};

constexpr SwitchEntry kSwitches[] = {
    {"Vertices", &ViewSettings::m_showWaypoints, 1},
    {"VerticesName", &ViewSettings::m_showWaypointNames, 0},
    {"Labels", &ViewSettings::m_showLabels, 0},
    {"Contorno", &ViewSettings::m_showOutlines, 1},
    {"Puntos", &ViewSettings::m_showPoints, 1},
    {"Regla", &ViewSettings::m_showRuler, 0},
    {"Overlay", &ViewSettings::m_overlay, 0},
    {"Entidades", &ViewSettings::m_showTitles, 0},
    {"Notas", &ViewSettings::m_showNotes, 0},
    {"Zoombar", &ViewSettings::m_showZoombar, 1},
};

constexpr const char* kKeyNames[] = {"VK1", "VK2", "VK3", "VK4", "VKL",
                                     "VKR", "VKU", "VKD", "VKE"};
constexpr int kKeyDefaults[] = {1, 2, 3, 4, 5, 6, 7, 8, 0};

}  // namespace

void ViewSettings::ReadViewOptions(const Reader& read) {
  for (const SwitchEntry& e : kSwitches) this->*e.member = read(e.name, e.defaultValue);
  for (std::size_t i = 0; i < m_keyActions.size(); ++i)
    m_keyActions[i] = static_cast<std::uint8_t>(read(kKeyNames[i], kKeyDefaults[i]) & 0xFF);
  m_hotKeys = read("HKE", 1);
}

void ViewSettings::WriteViewOptions(const Writer& write) const {
  for (const SwitchEntry& e : kSwitches) write(e.name, this->*e.member);
  for (std::size_t i = 0; i < m_keyActions.size(); ++i) write(kKeyNames[i], m_keyActions[i]);
  write("HKE", m_hotKeys);
}
