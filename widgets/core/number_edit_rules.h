// The rules of the numeric edit and its slider, without windows: which typed characters
// an edit accepts, how a value is printed with the edit's format and read back from its
// text (always in the C locale), and how edit text and slider position follow each other.
//
// The slider of a ranged edit runs over 0..1000: position p stands for the value
//   min + p * (max - min) / 1000,
// and a typed value v puts the slider at trunc((v - min) / (max - min) * 1000).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace widgets {

// Character classes of typed characters, as bits; an edit accepts a character whose
// class meets its mask. Masks that name a kind of number:
constexpr std::uint16_t kCharsDigits = 0x01;        // digits only
constexpr std::uint16_t kCharsDecimal = 0x04;       // decimal number with sign and exponent
constexpr std::uint16_t kCharsSignedInteger = 0x10; // integer with sign
constexpr std::uint16_t kCharsHex = 0x40;           // hexadecimal digits and X
constexpr std::uint16_t kCharsAll = 0xFFFF;

// The class bits of one character (a Unicode code point).
std::uint16_t CharacterClass(char32_t ch);
inline bool CharacterAllowed(char32_t ch, std::uint16_t mask) {
  return (CharacterClass(ch) & mask) != 0;
}

// value printed with a printf format holding one floating-point conversion ("%.1f",
// "%8.3e", "%g" ...) and any literal text, in the C locale. A format that does not hold
// exactly one such conversion (say "%d" or "%s") prints with "%g" instead.
std::string FormatNumber(const std::string& format, double value);

// The leading number of a text as the platform's atof/atoi read it: blanks and a sign
// first, then as much of a number as there is; a text without one reads as 0. An integer
// beyond the int range saturates.
double LeadingDouble(const std::string& text);
int LeadingInt(const std::string& text);

// The state of a numeric edit: its range, format, typed-character mask and the last
// slider position it showed. The window class moves texts and positions; this decides.
class NumericEditModel {
 public:
  static constexpr int kSliderSpan = 1000;
  static constexpr std::int32_t kNoPosition = INT32_MIN;

  // Range min..max, tick intervals for the slider and the print format; from now on only
  // decimal numbers may be typed. Returns the slider's tick frequency (1000 / ticks; 0
  // when ticks is not positive).
  int SetRange(double minimum, double maximum, int ticks, const std::string& format);

  // The text for value v, or nothing when no range is set or v lies outside it.
  std::optional<std::string> TextForValue(double v);

  // The slider moved to p: the new text, or nothing when p is the last position shown.
  std::optional<std::string> TextForSlider(int p);

  // What the edit's text (typed or set) asks of the slider.
  struct Update {
    int position = 0;          // slider position for the text
    bool clamped = false;      // the text lay outside the range (bad input)
    std::string rewrittenText; // when clamped: the text the edit shows instead
  };
  Update TextChanged(const std::string& text);

  bool AcceptsCharacter(char32_t ch) const { return CharacterAllowed(ch, allowedMask_); }
  void SetAllowedMask(std::uint16_t mask) { allowedMask_ = mask; }
  std::uint16_t AllowedMask() const { return allowedMask_; }

  bool HasRange() const { return rangeSet_; }
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  double Value() const { return value_; }
  int Ticks() const { return ticks_; }
  int SliderMinimum() const { return sliderMin_; }
  int SliderMaximum() const { return sliderMax_; }
  const std::string& Format() const { return format_; }

 private:
  std::uint16_t allowedMask_ = kCharsAll;
  std::string format_;
  int ticks_ = 0;
  bool rangeSet_ = false;
  int sliderMin_ = 0;
  int sliderMax_ = 0;
  std::int32_t lastPosition_ = kNoPosition;
  double minimum_ = 0;
  double maximum_ = 0;
  double value_ = 0;
  double step_ = 0;
};

// Which slider changes reach the linked edit, and in which direction positions run.
// Scroll codes are the platform's: 0 line up, 1 line down, 2 page up, 3 page down,
// 4 thumb position, 5 thumb track, 6 top, 7 bottom, 8 end of scroll.
enum ScrollCode : unsigned {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

struct SliderAxis {
  int minimum = 0;
  int maximum = 0;
  bool vertical = false;  // a vertical slider has its maximum at the top

  // Value position p -> the control's own position (and back: the map is its own inverse).
  int ToControl(int p) const { return vertical ? maximum - p + minimum : p; }
  // The value position handed to the edit for a scroll notification, or nothing: page
  // steps read the control's current position, thumb tracking takes the given one; line
  // steps, thumb position, top, bottom and end of scroll leave the edit alone.
  std::optional<int> EditPositionFor(unsigned code, int givenPosition, int currentPosition) const;
};

}  // namespace widgets
