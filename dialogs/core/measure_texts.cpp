#include "dialogs/core/measure_texts.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "coords/angle_text.h"

namespace {

// The ordinal indicator that the program uses as its degree sign, UTF-8.
constexpr const char* kDegreeSign = "\u00BA";

}  // namespace

std::optional<int> ParseAltitudeCentimetres(const std::string& text) {
  std::size_t i = 0, end = text.size();
  while (i < end && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  while (end > i && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long centimetres = 0;
  int digits = 0, decimals = 0, millimetres = 0;
  bool point = false;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    ++digits;
    if (point && ++decimals > 2) {
      if (decimals == 3) millimetres = c - '0';  // decides the rounding; later digits do not
      continue;
    }
    centimetres = centimetres * 10 + (c - '0');
    if (centimetres > std::numeric_limits<int>::max()) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  for (; decimals < 2; ++decimals) centimetres *= 10;
  if (millimetres >= 5) ++centimetres;  // to the nearest centimetre, halves away from zero
  if (centimetres > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(negative ? -centimetres : centimetres);
}

std::string FormatWaypointAngle(double degrees, int geoType, bool longitude) {
  const int width = longitude ? 3 : 2;
  char text[96];
  switch (geoType) {
    case 0:
      std::snprintf(text, sizeof text, "%.7f%s", degrees, kDegreeSign);
      return text;
    case 1:
    case 2: {
      AngleTextStyle style;
      style.degreeWidth = width;
      style.degreeMark = kDegreeSign;
      style.minuteMark = "'";
      if (geoType == 1) {
        style.decimals = 4;
        return DegreesMinutesText(degrees, style);
      }
      style.decimals = 3;
      style.secondMark = "\"";
      return DegreesMinutesSecondsText(degrees, style);
    }
    default:
      return {};
  }
}
