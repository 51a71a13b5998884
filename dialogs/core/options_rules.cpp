#include "dialogs/core/options_rules.h"

#include <charconv>
#include <cstdio>

OptionPagesValues PagesFromOptions(const CTolvanixDoc::OptionValues& o,
                                   const ViewOptionValues& view) {
  OptionPagesValues p;
  p.metricaAtOpen = o.metrica;
  p.capture = {o.autoCaptureDistance, o.offsetSide, o.offsetDistance};
  p.units = {o.coord, o.geoType, o.autoZone, o.zone, o.projection};
  p.datum = {o.datum.index, o.datum, true};
  p.gps = {o.port, o.baudIndex, o.useVirtualPort, o.commEventReader};
  p.other = {o.bearingUnit, o.metrica, o.feet};
  p.filter = {o.hdopFilterOn,   o.hdopLimit,       o.hdopBeep,
              o.filterPoints,   o.filterAveraging, o.filterWaypoints};
  p.waypointName = {o.waypointNaming, o.waypointPrefix};
  p.display = {o.newFeatureKind, o.fontSize,   view.overlay,   o.wizardOnStart,
               o.contextMenu,    o.notifyActive, o.soundCapture};
  p.keys = {view.keyActions, view.hotKeys};
  p.nav = {o.navStyle, o.navSound, o.navSoundDistance};
  return p;
}

void OptionsFromPages(const OptionPagesValues& p, bool gpsPageShown,
                      CTolvanixDoc::OptionValues& o, ViewOptionValues& view) {
  o.autoCaptureDistance = p.capture.interval;
  o.offsetSide = p.capture.offsetSide;
  o.offsetDistance = p.capture.offsetDistance;

  o.coord = p.units.display;
  o.geoType = p.units.geoType;
  o.autoZone = p.units.autoZone;
  o.zone = p.units.zone;
  o.projection = p.units.projection;

  if (p.datum.index >= 0) {
    o.datum = p.datum.values;
    o.datum.index = p.datum.index;
  }

  if (gpsPageShown) {
    o.port = p.gps.port;
    o.baudIndex = p.gps.baudIndex;
    o.useVirtualPort = p.gps.virtualPort;
    o.commEventReader = p.gps.commEventReader;
  }

  o.bearingUnit = p.other.bearingUnit;
  o.metrica = p.other.metrica;
  o.feet = p.other.feet;

  o.hdopFilterOn = p.filter.on;
  o.hdopLimit = p.filter.limit;
  o.hdopBeep = p.filter.beep;
  o.filterPoints = p.filter.points;
  o.filterAveraging = p.filter.averaging;
  o.filterWaypoints = p.filter.waypoints;

  o.waypointNaming = p.waypointName.naming;
  o.waypointPrefix = p.waypointName.prefix;

  o.newFeatureKind = p.display.newFeatureKind;
  o.fontSize = p.display.fontSize;
  view.overlay = p.display.overlay;
  o.wizardOnStart = p.display.wizardOnStart;
  o.contextMenu = p.display.contextMenu;
  o.notifyActive = p.display.notifyActive;
  o.soundCapture = p.display.soundCapture;

  view.keyActions = p.keys.actions;
  view.hotKeys = p.keys.hotKeys;

  o.navStyle = p.nav.style;
  o.navSound = p.nav.sound;
  o.navSoundDistance = p.nav.distance;
}

namespace capture_page {

UINT IntervalLabelId(int metrica) { return metrica < 1 ? 59205 : 59204; }
UINT OffsetLabelId(int metrica) { return metrica < 1 ? 59214 : 59215; }
bool DistanceEditable(int offsetSide) { return offsetSide != 2; }

int StepDistance(int distance, int delta) {
  const long long stepped = static_cast<long long>(distance) + delta;
  if (stepped < 0) return 0;
  return stepped > 0x7FFFFFFF ? distance : static_cast<int>(stepped);
}

std::optional<int> ReadDistance(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  std::size_t last = text.find_last_not_of(" \t");
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  int value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::string DistanceText(int distance) { return std::to_string(distance); }

}  // namespace capture_page

namespace units_page {

Enabling AtStart(int display, bool autoZone) {
  Enabling e{};
  e.projectionButton = display == 2;
  if (display == 0) {
    e.formatCombo = true;
    e.autoZoneCheck = false;
    e.zoneEdit = false;
  } else {
    e.formatCombo = false;
    e.autoZoneCheck = true;
    e.zoneEdit = !autoZone;
  }
  return e;
}

Enabling OnDisplayChosen(int display, bool autoZone) {
  switch (display) {
    case 0:
      return {true, false, false, false};
    case 1:
      return {false, true, !autoZone, false};
    default:
      return {false, false, false, true};
  }
}

}  // namespace units_page

namespace other_page {
bool FeetEnabled(int metrica) { return metrica != 0; }
}  // namespace other_page

namespace waypoint_name_page {
bool PrefixEditable(int naming) { return naming == 2; }
}  // namespace waypoint_name_page

namespace display_page {
int FontItem(int fontSize) {
  return fontSize < kMinFontSize || fontSize > kMaxFontSize ? -1 : fontSize - kMinFontSize;
}
int FontSizeOfItem(int item) { return item + kMinFontSize; }
}  // namespace display_page

namespace nav_page {
UINT SoundCaptionId(int metrica) { return metrica == 1 ? 59295 : 59294; }
double ShownDistance(double metres, int metrica) { return metrica == 1 ? metres * 1.0936 : metres; }
double MetresFromShown(double shown, int metrica) { return metrica == 1 ? shown * 0.9144 : shown; }
}  // namespace nav_page
