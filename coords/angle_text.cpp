#include "coords/angle_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// A whole number of at most 309 digits (doubles beyond 2^53 print as the value they hold).
std::string Whole(double value) {
  char buffer[400];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string Padded(long long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

long long PowerOfTen(int exponent) {
  long long p = 1;
  for (int i = 0; i < exponent; ++i) p *= 10;
  return p;
}

// units in the last shown decimal, as "w.fff" with `decimals` digits after the point.
std::string Decimal(long long units, int decimals) {
  if (decimals == 0) return std::to_string(units);
  const long long scale = PowerOfTen(decimals);
  return std::to_string(units / scale) + "." + Padded(units % scale, decimals);
}

struct Rounded {
  std::string degrees;  // signed and padded
  long long rest = 0;   // what is left after the whole degrees, in the last shown decimal
};

// The angle rounded to `perDegree` parts of a degree, split into whole degrees and the rest.
Rounded Round(double value, double perDegree, const AngleTextStyle& style) {
  const double units = std::round(std::fabs(value) * perDegree);
  double degrees = std::floor(units / perDegree);
  double rest = units - degrees * perDegree;
  if (rest >= perDegree) {  // guards the division's rounding
    degrees += 1;
    rest -= perDegree;
  } else if (rest < 0) {
    degrees -= 1;
    rest += perDegree;
  }
  const bool negative = value < 0 && units != 0;
  std::string digits = Whole(degrees);
  const int room = style.degreeWidth - (negative ? 1 : 0);
  if (static_cast<int>(digits.size()) < room) digits.insert(0, room - digits.size(), '0');
  return {negative ? "-" + digits : digits, static_cast<long long>(rest)};
}

std::string NotANumber(double value, const AngleTextStyle& style) {
  char text[16];
  std::snprintf(text, sizeof text, "%f", value);
  return text + std::string(style.degreeMark);
}

int Decimals(const AngleTextStyle& style) {
  return style.decimals < 0 ? 0 : style.decimals > 6 ? 6 : style.decimals;
}

}  // namespace

std::string DegreesMinutesText(double degrees, const AngleTextStyle& style) {
  if (!std::isfinite(degrees)) return NotANumber(degrees, style);
  const int decimals = Decimals(style);
  const Rounded r = Round(degrees, 60.0 * static_cast<double>(PowerOfTen(decimals)), style);
  return r.degrees + style.degreeMark + " " + Decimal(r.rest, decimals) + style.minuteMark;
}

std::string DegreesMinutesSecondsText(double degrees, const AngleTextStyle& style) {
  if (!std::isfinite(degrees)) return NotANumber(degrees, style);
  const int decimals = Decimals(style);
  const long long perMinute = 60 * PowerOfTen(decimals);
  const Rounded r = Round(degrees, 60.0 * static_cast<double>(perMinute), style);
  return r.degrees + style.degreeMark + " " + Padded(r.rest / perMinute, 2) + style.minuteMark +
         " " + Decimal(r.rest % perMinute, decimals) + style.secondMark;
}
