#include "view/core/info_format.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

struct Spec {
  bool left = false, plus = false, space = false, zero = false;
  int width = 0;
  int precision = -1;
  char conversion = 0;
};

// Pads a formatted number or text to the spec's width; zero padding goes after the sign.
std::string Pad(std::string body, const Spec& spec, bool numeric) {
  if (static_cast<int>(body.size()) >= spec.width) return body;
  const std::size_t fill = spec.width - body.size();
  if (spec.left) return body + std::string(fill, ' ');
  if (spec.zero && numeric) {
    const std::size_t signLength = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
    return body.insert(signLength, std::string(fill, '0'));
  }
  return std::string(fill, ' ') + body;
}

std::string Signed(std::string digits, bool negative, const Spec& spec) {
  if (negative) return "-" + digits;
  if (spec.plus) return "+" + digits;
  if (spec.space) return " " + digits;
  return digits;
}

std::string Integer(std::int64_t value, const Spec& spec) {
  char buffer[32];
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  const int base = spec.conversion == 'x' || spec.conversion == 'X' ? 16 : 10;
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, base);
  std::string digits(buffer, end);
  if (spec.conversion == 'X') {
    for (char& d : digits) d = static_cast<char>(std::toupper(static_cast<unsigned char>(d)));
  }
  // printf prints nothing for a zero value at precision 0.
  if (spec.precision == 0 && magnitude == 0) digits.clear();
  if (spec.precision >= 0 && static_cast<int>(digits.size()) < spec.precision) {
    digits.insert(0, spec.precision - digits.size(), '0');
  }
  // Hexadecimal conversions are unsigned: "+" and " " do not apply to them.
  if (base == 16) return Signed(digits, value < 0, Spec{});
  return Signed(digits, value < 0, spec);
}

std::string Fixed(double value, const Spec& spec) {
  if (!std::isfinite(value)) return Signed(std::isnan(value) ? "nan" : "inf", std::signbit(value), spec);
  char buffer[400];
  const int precision = spec.precision < 0 ? 6 : std::min(spec.precision, 60);
  const std::chars_format style = std::string_view("eE").find(spec.conversion) != std::string_view::npos
                                      ? std::chars_format::scientific
                                  : std::string_view("gG").find(spec.conversion) != std::string_view::npos
                                      ? std::chars_format::general
                                      : std::chars_format::fixed;
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), style, precision);
  if (ec != std::errc()) return "?";
  std::string digits(buffer, end);
  if (std::string_view("EFG").find(spec.conversion) != std::string_view::npos) {
    for (char& d : digits) d = static_cast<char>(std::toupper(static_cast<unsigned char>(d)));
  }
  // printf prints "-0.0" for a small negative value; keep its sign rule.
  return Signed(digits, std::signbit(value), spec);
}

std::string Shortest(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string Convert(const FormatArg& value, const Spec& spec) {
  const bool integer = std::string_view("diuxXc").find(spec.conversion) != std::string_view::npos;
  const bool text = spec.conversion == 's';
  if (const auto* s = std::get_if<std::string>(&value)) {
    std::string body = *s;
    if (text && spec.precision >= 0 && static_cast<int>(body.size()) > spec.precision) {
      body.resize(spec.precision);
    }
    return Pad(body, spec, false);
  }
  if (const auto* i = std::get_if<std::int64_t>(&value)) {
    if (text) return Pad(Integer(*i, Spec{}), spec, false);
    // An integer conversion with a precision pads with blanks, as printf ignores "0" then.
    if (integer) return Pad(Integer(*i, spec), spec, spec.precision < 0);
    return Pad(Fixed(static_cast<double>(*i), spec), spec, true);
  }
  const double d = std::get<double>(value);
  if (text) return Pad(Shortest(d), spec, false);
  if (integer) {
    // Out-of-range values (and NaN) would make the cast undefined: they print as 0.
    const double whole = std::isfinite(d) && std::fabs(d) < 9.2e18 ? std::trunc(d) : 0.0;
    return Pad(Integer(static_cast<std::int64_t>(whole), spec), spec, spec.precision < 0);
  }
  return Pad(Fixed(d, spec), spec, true);
}

}  // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values) {
  std::string out;
  auto next = values.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    Spec spec;
    std::size_t j = i + 1;
    for (; j < format.size(); ++j) {
      const char f = format[j];
      if (f == '-') spec.left = true;
      else if (f == '+') spec.plus = true;
      else if (f == ' ') spec.space = true;
      else if (f == '0') spec.zero = true;
      else if (f != '#') break;
    }
    while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
      spec.width = std::min(spec.width * 10 + (format[j++] - '0'), 200);
    }
    if (j < format.size() && format[j] == '.') {
      spec.precision = 0;
      ++j;
      while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
        spec.precision = std::min(spec.precision * 10 + (format[j++] - '0'), 200);
      }
    }
    while (j < format.size() && std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos) ++j;
    if (j >= format.size() ||
        std::string_view("diuxXcsfFeEgG").find(format[j]) == std::string_view::npos) {
      // Not a conversion this filler knows: the text stays as written.
      out.append(format.substr(i, j - i));
      i = j;
      continue;
    }
    spec.conversion = format[j];
    if (next != values.end()) out += Convert(*next++, spec);
    i = j + 1;
  }
  return out;
}
