// The map view's own values in section "Opciones": layer switches, key actions and hot keys.
// CTolvanixView derives from ViewSettings, so the members carry the view's names.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

struct ViewSettings {
  std::int32_t m_showWaypoints = 1;      // "Vertices": waypoint symbols
  std::int32_t m_showWaypointNames = 0;  // "VerticesName"
  std::int32_t m_showLabels = 0;         // "Labels": point numbers
  std::int32_t m_showOutlines = 1;       // "Contorno": feature outlines and fills
  std::int32_t m_showPoints = 1;         // "Puntos": vertex marks
  std::int32_t m_showRuler = 0;          // "Regla": ruler and grid
  std::int32_t m_overlay = 0;            // "Overlay": fills combine with what lies below
  std::int32_t m_showTitles = 0;         // "Entidades": feature names and title icons
  std::int32_t m_showNotes = 0;          // "Notas": vertex notes
  std::int32_t m_showZoombar = 1;        // "Zoombar"
  // KeyAction codes of VK1-VK4 (application buttons), VKL, VKR, VKU, VKD (arrows), VKE (Enter).
  std::array<std::uint8_t, 9> m_keyActions{1, 2, 3, 4, 5, 6, 7, 8, 0};
  std::int32_t m_hotKeys = 1;            // "HKE": application buttons taken as hot keys

  using Reader = std::function<int(const std::string& name, int defaultValue)>;
  using Writer = std::function<void(const std::string& name, int value)>;
  // Reads every value in the stored order (missing ones take their defaults); key actions keep
  // the low byte of what is stored.
  void ReadViewOptions(const Reader& read);
  // Writes them back in the same order.
  void WriteViewOptions(const Writer& write) const;
};

// "Fontsize": the map font's point size, low byte of the stored value (default 8).
constexpr int kDefaultMapFontSize = 8;
