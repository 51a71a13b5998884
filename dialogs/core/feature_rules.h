// The rules of the feature dialogs (object list, object grid, notes, delete points, pick
// point) without their windows: point labels, the type a type choice gives, how a grid row
// goes back into its feature, and which parts belong to a feature.
#pragma once

#include <string>
#include <vector>

#include "document/records.h"

namespace feature_rules {

// Names typed into grids keep their first 30 characters; a vertex note at most 6.
constexpr size_t kMaxNameChars = 30;
constexpr int kMaxNoteChars = 6;

// Fills the first "%d" or "%s" of format with each argument in turn (a language module's
// text may leave one out; surplus arguments are dropped).
std::string FormatText(const std::string& format, const std::vector<std::string>& args);

// Label of vertex index (0-based): string 59175 ("Punto %d", 1-based). In the delete and
// pick lists a vertex with a note reads "label (note)"; in the notes list "label *".
enum class LabelStyle { WithNote, Starred };
std::string PointLabel(const std::string& labelFormat, int index, const std::string& note,
                       LabelStyle style);
// Labels of all vertices (delete and notes lists) or all but the last (pick list).
std::vector<std::string> PointLabels(const std::string& labelFormat, const FeatureRecord& feature,
                                     LabelStyle style, bool omitLast);

// The object list shows "Area" (index 0) for areas, circles and parts, "Line" (1) otherwise.
int TypeTextIndex(FeatureType type);

// A type chosen in the object list's type column: anything but the area text (compared
// without regard to case) makes a line.
struct TypeChange {
  FeatureType type;
  std::int32_t pattern;     // 6 hollow for a line, 0 solid for an area
  FeatureType colourKind;   // what the colour cell draws: 3 line or 5 area
};
TypeChange ChangeType(FeatureType old, const std::string& chosen, const std::string& areaText);

// One grid row of the object list or the object grid.
struct RowValues {
  std::string name;
  COLORREF colour = 0;
  std::int32_t pattern = 0;
  bool visible = true;
  bool editable = true;
  bool subtract = false;  // object grid only
};
// Writes a row into its feature: the name cut to 30 characters; circles (50, 51) keep their
// editable flag.
void StoreRow(FeatureRecord& feature, const RowValues& row, bool withSubtract);

// Indices of the parts (type 52) linked to the feature current, ascending.
std::vector<int> LinkedParts(const std::vector<FeatureRecord>& features, int current);

// Selected grid rows as feature indices (row 0 is the header), highest first so that the
// lower ones still name the features chosen while they are deleted.
std::vector<int> FeaturesToDelete(const std::vector<int>& selectedRows);

}  // namespace feature_rules
