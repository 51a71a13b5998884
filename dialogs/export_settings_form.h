// The rules of the export and import settings dialogs without their windows: the datum combo,
// which controls each mode shows or enables, and the answers taken back after OK.
//
// Templates (English module, resources/en/export_dialogs.xrc):
//   147 zone and datum: label 1092 and zone edit 1013, datum combo 1014
//   186 DXF: datum combo 1139, label 1140 and zone edit 1141, radio group 1142 (1142 with
//       altitudes, 1143 flat)
//   178 coordinate system: radios 1110 geographic and 1111 projected, label 1112 and zone edit
//       1109, datum combo 1108, label 1235 and hemisphere combo 1144, label 1234 and export
//       kind combo 1231
//   243 DBF field: combo 1273
#pragma once

#include <string>
#include <vector>

#include "document/export_prompts.h"

inline constexpr int kZoneDatumTemplate = 147;
inline constexpr int kZoneDatumZoneLabel = 1092;
inline constexpr int kZoneDatumZone = 1013;
inline constexpr int kZoneDatumDatum = 1014;

inline constexpr int kDxfTemplate = 186;
inline constexpr int kDxfDatum = 1139;
inline constexpr int kDxfZoneLabel = 1140;
inline constexpr int kDxfZone = 1141;
inline constexpr int kDxfAltitudeRadio = 1142;

inline constexpr int kCoordSystemTemplate = 178;
inline constexpr int kCoordGeographicRadio = 1110;
inline constexpr int kCoordProjectedRadio = 1111;
inline constexpr int kCoordZoneLabel = 1112;
inline constexpr int kCoordZone = 1109;
inline constexpr int kCoordDatum = 1108;
inline constexpr int kCoordHemisphere = 1144;
inline constexpr int kCoordHemisphereLabel = 1235;
inline constexpr int kCoordKind = 1231;
inline constexpr int kCoordKindLabel = 1234;

inline constexpr int kShpFieldTemplate = 243;
inline constexpr int kShpFieldCombo = 1273;

inline constexpr int kMinZone = 1;
inline constexpr int kMaxZone = 60;

// "WGS84 / GRS80", then the user datum's name while one is active (and then selected).
struct DatumCombo {
  std::vector<std::string> items;
  int selected = 0;
};
DatumCombo DatumComboFor(const DatumQuestion& question);

// What a dialog does to one control when it opens or a choice changes.
struct ControlState {
  int id = 0;
  bool visible = true;
  bool enabled = true;
};

struct DialogLayout {
  std::string title;  // empty: the template's own
  std::vector<ControlState> controls;
  std::string projectedCaption;  // empty: the template's own caption of radio 1111
};

// Mode 2 asks only the datum: the zone row is hidden and the title is "Datum".
DialogLayout ZoneDatumLayout(int mode);
// Mode 2 hides the zone row.
DialogLayout DxfLayout(int mode);
// The controls of the coordinate-system dialog for the question and the geographic (0) or
// projected (1) choice: hidden in mode 2 the zone row (radio 1111 then carries the
// projection's text), hidden the hemisphere row in mode 2 or when asked; geographic disables zone
// and hemisphere; the locks disable the kind combo, or the projected choice with zone and
// hemisphere.
DialogLayout CoordSystemLayout(const CoordSystemQuestion& question, int coordKind);

// The first values the dialogs show.
ZoneDatumAnswer InitialAnswer(const ZoneDatumQuestion& question);
DxfAnswer InitialAnswer(const DxfQuestion& question);
CoordSystemAnswer InitialAnswer(const CoordSystemQuestion& question);
