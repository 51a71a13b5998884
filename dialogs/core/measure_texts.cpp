#include "dialogs/core/measure_texts.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

// The ordinal indicator that the program uses as its degree sign, UTF-8.
constexpr const char* kDegreeSign = "\u00BA";

// Truncated degrees, zero-padded to width characters including the sign, with the sign of
// the whole value (so that -0.5 shows as "-00").
std::string DegreesField(double value, int width) {
  const int degrees = static_cast<int>(value);
  char text[32];
  if (value < 0 && degrees == 0) {
    std::snprintf(text, sizeof text, "-%0*d", width - 1, 0);
  } else {
    std::snprintf(text, sizeof text, "%0*d", width, degrees);
  }
  return text;
}

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
    case 1: {
      const double minutes = std::fabs(degrees - static_cast<int>(degrees)) * 60.0;
      std::snprintf(text, sizeof text, "%s%s %.4f'", DegreesField(degrees, width).c_str(),
                    kDegreeSign, minutes);
      return text;
    }
    case 2: {
      const int whole = static_cast<int>(degrees);
      const int signedMinutes = static_cast<int>((degrees - whole) * 60.0);
      const double seconds =
          std::fabs(degrees * 3600.0 - whole * 3600.0 - signedMinutes * 60.0);
      std::snprintf(text, sizeof text, "%s%s %02d' %.3f\"", DegreesField(degrees, width).c_str(),
                    kDegreeSign, std::abs(signedMinutes), seconds);
      return text;
    }
    default:
      return {};
  }
}
