#include "dialogs/core/feature_rules.h"

#include <algorithm>
#include <cctype>

#include "platform/modules.h"

namespace feature_rules {

std::string FormatText(const std::string& format, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      char spec = format[i + 1];
      if (spec == 'd' || spec == 's') {
        if (next < args.size()) out += args[next];
        ++next;
        ++i;
        continue;
      }
      if (spec == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::string PointLabel(const std::string& labelFormat, int index, const std::string& note,
                       LabelStyle style) {
  std::string label = FormatText(labelFormat, {std::to_string(index + 1)});
  if (note.empty()) return label;
  return style == LabelStyle::WithNote ? label + " (" + note + ")" : label + " *";
}

std::vector<std::string> PointLabels(const std::string& labelFormat, const FeatureRecord& feature,
                                     LabelStyle style, bool omitLast) {
  std::vector<std::string> labels;
  size_t count = feature.VertexCount();
  if (omitLast && count > 0) --count;
  for (size_t i = 0; i < count; ++i) {
    const std::string note = i < feature.vertexNotes.size() ? feature.vertexNotes[i] : std::string();
    labels.push_back(PointLabel(labelFormat, static_cast<int>(i), note, style));
  }
  return labels;
}

int TypeTextIndex(FeatureType type) {
  return type == FeatureType::Area || type == FeatureType::Circle || type == FeatureType::Part ? 0
                                                                                              : 1;
}

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

TypeChange ChangeType(FeatureType old, const std::string& chosen, const std::string& areaText) {
  if (Lower(chosen) != Lower(areaText)) {
    return {old == FeatureType::Circle ? FeatureType::CircleLine : FeatureType::Line, 6,
            FeatureType::Line};
  }
  return {old == FeatureType::CircleLine ? FeatureType::Circle : FeatureType::Area, 0,
          FeatureType::Area};
}

void StoreRow(FeatureRecord& feature, const RowValues& row, bool withSubtract) {
  feature.name = platform::CutToCharacters(row.name, kMaxNameChars);
  feature.colour = row.colour;
  feature.pattern = row.pattern;
  feature.visible = row.visible ? 1 : 0;
  if (withSubtract) feature.subtract = row.subtract ? 1 : 0;
  if (feature.type != FeatureType::CircleLine && feature.type != FeatureType::Circle) {
    feature.editable = row.editable ? 1 : 0;
  }
}

std::vector<int> LinkedParts(const std::vector<FeatureRecord>& features, int current) {
  std::vector<int> parts;
  for (size_t i = 0; i < features.size(); ++i) {
    if (features[i].type == FeatureType::Part && features[i].link == current) {
      parts.push_back(static_cast<int>(i));
    }
  }
  return parts;
}

std::vector<int> FeaturesToDelete(const std::vector<int>& selectedRows) {
  std::vector<int> indices;
  for (int row : selectedRows) {
    if (row >= 1) indices.push_back(row - 1);
  }
  std::sort(indices.begin(), indices.end(), std::greater<int>());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

}  // namespace feature_rules
