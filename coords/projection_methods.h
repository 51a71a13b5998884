#pragma once
// The method list of the projection dialog (CDlgProjection, template 205): one row per
// ProjectionKind with its combo text, the number of parameters its GDAL setter takes and the
// labels of the parameter rows (statics 1180-1187 above edits 1160-1167). The dialog shows
// the rows whose label is not empty.

#include <array>
#include <string_view>

#include "coords/projection_record.h"

struct ProjectionMethod {
  std::string_view comboText;    // 8-bit text; for a string-table text, the program's own text
  int comboStringId = 0;         // non-zero: the combo text comes from the string table
  int parameterCount = 0;        // p1..pN passed to the setter
  std::array<std::string_view, 8> labels{};
  int labelStringId = 0;         // non-zero: label 1 comes from the string table
  bool namesProjection = false;  // grid references: choosing one puts comboText in the name
};

inline constexpr int kEpsgCodeStringId = 59253;         // "EPSG Code"
inline constexpr int kStatePlaneZoneStringId = 59272;   // "State Plane zone"

// Row `kind` of the list; an empty row (no text, no parameters) for a kind outside it.
const ProjectionMethod& GetProjectionMethod(int kind);

// Number of parameter rows the dialog shows for a kind (labels that are not empty); 0 for a
// kind outside the list.
int VisibleParameterRows(int kind);
