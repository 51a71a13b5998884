#include "widgets/core/number_edit_rules.h"

#include <locale.h>
#include <stdlib.h>
#include <wctype.h>

#include <climits>
#include <cmath>
#include <cstdio>

namespace widgets {

namespace {

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

// Letters beyond ASCII count as letters; the decision must not follow the user's locale.
bool IsLetter(char32_t ch) {
  if (ch < 0x80) return (ch | 0x20) >= 'a' && (ch | 0x20) <= 'z';
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return utf8 ? iswalpha_l(static_cast<wint_t>(ch), utf8) != 0 : true;
}

// Whether format holds exactly one floating-point conversion that takes a double.
bool IsSingleDoubleFormat(const std::string& format) {
  int conversions = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i >= format.size()) return false;
    if (format[i] == '%') continue;
    while (i < format.size() && std::string_view("-+ #0").find(format[i]) != std::string_view::npos) ++i;
    int digits = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9' && ++digits <= 3) ++i;
    if (i < format.size() && format[i] == '.') {
      ++i;
      digits = 0;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9' && ++digits <= 3) ++i;
    }
    if (i < format.size() && format[i] == 'l') ++i;
    if (i >= format.size() || std::string_view("fFeEgGaA").find(format[i]) == std::string_view::npos)
      return false;
    ++conversions;
  }
  return conversions == 1;
}

std::string PrintC(const char* format, double value) {
  const locale_t previous = uselocale(CLocale());
  char small[64];
  int n = std::snprintf(small, sizeof small, format, value);
  std::string text;
  if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(n));
  } else if (n > 0) {
    text.resize(static_cast<std::size_t>(n));
    std::snprintf(text.data(), text.size() + 1, format, value);
  }
  uselocale(previous);
  return text;
}

}  // namespace

std::uint16_t CharacterClass(char32_t ch) {
  if (ch < 0x20) return 0xFFFF;
  if (ch >= '0' && ch <= '9') return 0x55;
  switch (ch) {
    case '-': return 0x14;
    case '.': return 0x04;
    case '_': return 0x28;
    default: break;
  }
  if (!IsLetter(ch)) return 0x08;
  const char32_t lower = ch < 0x80 ? (ch | 0x20) : ch;
  if (lower == 'e') return 0x46;
  if ((lower >= 'a' && lower <= 'd') || lower == 'f' || lower == 'x') return 0x42;
  return 0x02;
}

std::string FormatNumber(const std::string& format, double value) {
  return PrintC(IsSingleDoubleFormat(format) ? format.c_str() : "%g", value);
}

double LeadingDouble(const std::string& text) {
  return strtod_l(text.c_str(), nullptr, CLocale());
}

int LeadingInt(const std::string& text) {
  const long long v = strtoll_l(text.c_str(), nullptr, 10, CLocale());
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

int NumericEditModel::SetRange(double minimum, double maximum, int ticks,
                               const std::string& format) {
  ticks_ = ticks;
  rangeSet_ = true;
  step_ = maximum - minimum;
  minimum_ = minimum;
  maximum_ = maximum;
  sliderMin_ = 0;
  sliderMax_ = kSliderSpan;
  format_ = format;
  allowedMask_ = kCharsDecimal;
  return ticks > 0 ? kSliderSpan / ticks : 0;
}

std::optional<std::string> NumericEditModel::TextForValue(double v) {
  if (!rangeSet_ || !(v >= minimum_ && v <= maximum_)) return std::nullopt;
  value_ = v;
  return FormatNumber(format_, v);
}

std::optional<std::string> NumericEditModel::TextForSlider(int p) {
  if (p == lastPosition_) return std::nullopt;
  lastPosition_ = p;
  if (!rangeSet_) return std::to_string(p);
  value_ = minimum_ + p * step_ * 0.001;
  return FormatNumber(format_, value_);
}

NumericEditModel::Update NumericEditModel::TextChanged(const std::string& text) {
  Update u;
  if (!rangeSet_) {
    u.position = LeadingInt(text);
    if (u.position < sliderMin_) {
      u.position = sliderMin_;
      u.clamped = true;
    } else if (u.position > sliderMax_) {
      u.position = sliderMax_;
      u.clamped = true;
    }
  } else {
    double v = LeadingDouble(text);
    // A text that reads as no number at all ("nan") counts as below the range.
    if (v < minimum_ || std::isnan(v)) {
      v = minimum_;
      u.clamped = true;
    } else if (v > maximum_) {
      v = maximum_;
      u.clamped = true;
    }
    value_ = v;
    // An empty range has every value at the slider's start.
    u.position = step_ > 0 ? static_cast<int>(std::trunc((v - minimum_) / step_ * kSliderSpan)) : 0;
  }
  if (u.clamped) {
    lastPosition_ = kNoPosition;
    u.rewrittenText = *TextForSlider(u.position);
  }
  return u;
}

std::optional<int> SliderAxis::EditPositionFor(unsigned code, int givenPosition,
                                               int currentPosition) const {
  switch (code) {
    case kScrollPageUp:
    case kScrollPageDown: return ToControl(currentPosition);
    case kScrollThumbTrack: return ToControl(givenPosition);
    default: return std::nullopt;
  }
}

}  // namespace widgets
