#include "view/core/nav_labels.h"

std::string FillFormat(const std::string& format, const std::string& value) {
  std::string out;
  out.reserve(format.size() + value.size());
  bool filled = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    const char next = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c == '%' && next == '%') {
      out += '%';
      ++i;
    } else if (c == '%' && !filled && (next == 'd' || next == 's')) {
      out += value;
      filled = true;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string VertexLabel(const std::string& pointFormat, int oneBasedNumber, const std::string& note) {
  std::string label = FillFormat(pointFormat, std::to_string(oneBasedNumber));
  if (!note.empty()) label += " (" + note + ")";
  return label;
}
