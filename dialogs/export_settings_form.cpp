#include "dialogs/export_settings_form.h"

#include <algorithm>

namespace {

int ProposedChoice(const DatumQuestion& q) { return q.datumIndex > 0 ? 1 : 0; }
int ValidZone(int zone) { return std::clamp(zone, kMinZone, kMaxZone); }

}  // namespace

DatumCombo DatumComboFor(const DatumQuestion& question) {
  DatumCombo combo;
  combo.items.push_back("WGS84 / GRS80");
  if (question.datumIndex > 0) combo.items.push_back(question.datumName);
  combo.selected = ProposedChoice(question);
  return combo;
}

DialogLayout ZoneDatumLayout(int mode) {
  DialogLayout layout;
  const bool zone = mode != 2;
  layout.controls = {{kZoneDatumZoneLabel, zone, true}, {kZoneDatumZone, zone, true}};
  if (!zone) layout.title = "Datum";
  return layout;
}

DialogLayout DxfLayout(int mode) {
  DialogLayout layout;
  const bool zone = mode != 2;
  layout.controls = {{kDxfZoneLabel, zone, true}, {kDxfZone, zone, true}};
  return layout;
}

DialogLayout CoordSystemLayout(const CoordSystemQuestion& q, int coordKind) {
  DialogLayout layout;
  const bool zoneRow = q.mode != 2;
  const bool hemisphere = q.mode != 2 && !q.hideHemisphere;
  const bool projected = coordKind == 1;
  if (!zoneRow) layout.projectedCaption = q.projectionText;
  layout.controls = {
      {kCoordProjectedRadio, true, !q.lockCoordKind},
      {kCoordZoneLabel, zoneRow, true},
      {kCoordZone, zoneRow, projected && !q.lockCoordKind},
      {kCoordHemisphereLabel, hemisphere, true},
      {kCoordHemisphere, hemisphere, projected && !q.lockCoordKind},
      {kCoordKind, true, !q.lockKindCombo},
  };
  return layout;
}

ZoneDatumAnswer InitialAnswer(const ZoneDatumQuestion& q) {
  return {ValidZone(q.zone), ProposedChoice(q)};
}

DxfAnswer InitialAnswer(const DxfQuestion& q) { return {ProposedChoice(q), ValidZone(q.zone), 0}; }

CoordSystemAnswer InitialAnswer(const CoordSystemQuestion& q) {
  CoordSystemAnswer a;
  a.coordKind = q.mode == 0 ? 0 : 1;
  a.zone = ValidZone(q.zone);
  a.datumChoice = ProposedChoice(q);
  a.kind = q.kind;
  return a;
}
