// The rules of the options sheet's pages without windows: what each page holds, what is
// enabled when, the unit conversions a page shows, and the copy between the pages and the
// document's option values (CTolvanixDoc::OptionValues) and the map view's own values.
//
// Units: the capture interval is metres, or yards when the unit system ("Metrica") is 1;
// the lateral offset distance is metres, or feet when the unit system is 1 or more; the
// navigation sound distance is held in metres and shown in yards when the unit system is 1.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "coords/datum_record.h"
#include "coords/projection_record.h"
#include "document/doc_options.h"
#include "platform/win_types.h"

// ------------------------------------------------------------------------------------------
// The map view's part of the sheet (its key actions, hot-key switch and fill overlay).
// ------------------------------------------------------------------------------------------
inline constexpr int kKeyCount = 9;  // VK1 VK2 VK3 VK4 VKL VKR VKU VKD VKE

struct ViewOptionValues {
  std::array<int, kKeyCount> keyActions{1, 2, 3, 4, 5, 6, 7, 8, 0};
  int hotKeys = 1;   // HKE
  int overlay = 0;   // Overlay

  friend bool operator==(const ViewOptionValues&, const ViewOptionValues&) = default;
};

// The store names of the nine key options, in the order of keyActions.
inline constexpr std::array<const char*, kKeyCount> kKeyOptionNames{
    "VK1", "VK2", "VK3", "VK4", "VKL", "VKR", "VKU", "VKD", "VKE"};

// ------------------------------------------------------------------------------------------
// Page values
// ------------------------------------------------------------------------------------------
struct CaptureSettings {     // capture page, template 202
  double interval = 10.0;    // AP
  int offsetSide = 2;        // Offsetestado: 0 and 1 a side, 2 no offset
  int offsetDistance = 10;   // Offsetdist
};

struct UnitsSettings {       // units page, template 151
  int display = 0;           // Coord: 0 geographic, 1 UTM, 2 projection
  int geoType = 2;           // GeoType
  int autoZone = 1;          // Auto
  int zone = 31;             // Huso, 1..60
  ProjectionRecord projection;
};

struct DatumSettings {       // datum page, template 143
  int index = 0;             // Datum
  DatumRecord values;
  bool choiceEnabled = true; // cleared while measured data exist
};

struct GpsSettings {         // GPS page, template 146 (offered only while reading is off)
  int port = -1;             // Puerto
  int baudIndex = -1;        // Baudios
  int virtualPort = 0;       // Vsp
  int commEventReader = 0;   // Edm
};

struct OtherSettings {       // other settings page, template 150
  int bearingUnit = 0;       // Rumbo
  int metrica = 0;           // Metrica
  int feet = 0;              // Feet
};

struct FilterSettings {      // HDOP filter page, template 182
  int on = 0;                // FiltroHestado
  double limit = 3.0;        // FiltroHvalor
  int beep = 1;              // FiltroBeep
  int points = 1;            // FiltroPuntos
  int averaging = 1;         // FiltroPro
  int waypoints = 1;         // FiltroWpt
};

struct WaypointNameSettings {  // waypoint name page, template 184
  int naming = 2;              // WptName: 0 ask, 1 default name, 2 prefix and number
  std::string prefix;          // WptNamePrefix
};

struct DisplaySettings {     // display and behaviour page, template 142
  int newFeatureKind = 0;    // ObjPref: 0 area, 1 line
  int fontSize = 8;          // Fontsize
  int overlay = 0;           // Overlay (the view's)
  int wizardOnStart = 0;     // Esp
  int contextMenu = 1;       // Menu
  int notifyActive = 1;      // Notificaractiva
  int soundCapture = 0;      // SoundCapture
};

struct KeySettings {         // keys page, template 185
  std::array<int, kKeyCount> actions{1, 2, 3, 4, 5, 6, 7, 8, 0};
  int hotKeys = 1;           // HKE
};

struct NavSettings {         // navigation page, template 196
  int style = 0;             // NavStyle
  int sound = 1;             // NavSound
  double distance = 1.0;     // NavSoundDistance, metres
};

// Everything the ten pages show, as the sheet fills them.
struct OptionPagesValues {
  int metricaAtOpen = 0;  // the unit system the capture and navigation pages are built with
  CaptureSettings capture;
  UnitsSettings units;
  DatumSettings datum;
  GpsSettings gps;
  OtherSettings other;
  FilterSettings filter;
  WaypointNameSettings waypointName;
  DisplaySettings display;
  KeySettings keys;
  NavSettings nav;
};

// The pages' values from the document's values (Coord is already 2 there while a grid
// reference is chosen) and the view's.
OptionPagesValues PagesFromOptions(const CTolvanixDoc::OptionValues& options,
                                   const ViewOptionValues& view);
// Back after OK. The GPS page's values are taken only when the page was part of the sheet;
// a datum page left without a choice keeps the datum index in force.
void OptionsFromPages(const OptionPagesValues& pages, bool gpsPageShown,
                      CTolvanixDoc::OptionValues& options, ViewOptionValues& view);

// ------------------------------------------------------------------------------------------
// Page rules
// ------------------------------------------------------------------------------------------
namespace capture_page {
inline constexpr double kMinimumInterval = 0.5;
// Refused intervals (below the minimum) keep the sheet open; no upper limit is meant, this
// only bounds the stored option (x 10) well inside a 32-bit integer.
inline constexpr double kMaximumInterval = 100000.0;
UINT IntervalLabelId(int metrica);  // 59205 "(m)" below 1, else 59204 "(yd)"
UINT OffsetLabelId(int metrica);    // 59214 "(m)" below 1, else 59215 "(feet)"
bool DistanceEditable(int offsetSide);
// The +1 and -1 buttons: never below 0.
int StepDistance(int distance, int delta);
// The distance edit's text as an integer; nothing for an empty text or one that does not
// read as an integer (the member then stays as it was).
std::optional<int> ReadDistance(const std::string& text);
std::string DistanceText(int distance);  // "%d"
}  // namespace capture_page

namespace units_page {
struct Enabling {
  bool formatCombo;       // 1237
  bool autoZoneCheck;     // 1068
  bool zoneEdit;          // 1017
  bool projectionButton;  // 1094
  friend bool operator==(const Enabling&, const Enabling&) = default;
};
// When the page opens.
Enabling AtStart(int display, bool autoZone);
// After the user picks display radio 1015, 1016 or 1095 (the projection choice leaves the
// zone controls disabled, unlike at the start).
Enabling OnDisplayChosen(int display, bool autoZone);
inline constexpr int kMinZone = 1, kMaxZone = 60;
}  // namespace units_page

namespace other_page {
bool FeetEnabled(int metrica);
}

namespace filter_page {
inline constexpr double kMinLimit = 0.0, kMaxLimit = 6.0;
inline constexpr int kTicks = 1;
inline constexpr const char* kFormat = "%.1f";
}  // namespace filter_page

namespace waypoint_name_page {
inline constexpr int kMaxPrefix = 25;
bool PrefixEditable(int naming);
}  // namespace waypoint_name_page

namespace display_page {
inline constexpr int kMinFontSize = 5, kMaxFontSize = 12;
// Item of combo 1054 for a size; -1 (no selection) outside 5..12.
int FontItem(int fontSize);
int FontSizeOfItem(int item);
inline constexpr std::array<UINT, 2> kFeatureKindStrings{59190, 59191};  // "Area", "Línea"
}  // namespace display_page

namespace keys_page {
inline constexpr int kKeyActionCount = 26;
// The texts of the key actions, by action code.
inline constexpr std::array<UINT, kKeyActionCount> kActionStrings{
    59227, 59144, 59145, 59147, 59146, 59210, 59209, 59211, 59212, 59208, 59228, 59229, 59230,
    59231, 59232, 59233, 59234, 59235, 59236, 59237, 59238, 59239, 59241, 59242, 59240, 59243};
inline constexpr int kFirstCombo = 1130;  // 1130 .. 1138, one per key in kKeyOptionNames order
inline constexpr UINT kHotKeyCheck = 32886;  // beyond wxWidgets' control ids
}  // namespace keys_page

namespace nav_page {
inline constexpr double kMinShown = 0.0, kMaxShown = 100.0;
UINT SoundCaptionId(int metrica);  // 59295 when the unit system is 1, else 59294
// Metres as the page shows them (yards for the unit system 1) and back.
double ShownDistance(double metres, int metrica);
double MetresFromShown(double shown, int metrica);
inline constexpr std::array<UINT, 2> kStyleStrings{59293, 59292};
}  // namespace nav_page

// A radio group or combo read back with nothing chosen (a stored value it has no button or
// item for) keeps the value it had.
inline int ChoiceOrKeep(int read, int previous) { return read < 0 ? previous : read; }
