// The rules of the numeric edit and its slider: typed characters, printing and reading
// numbers whatever the user's locale, and how text and slider position follow each other.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "widgets/core/number_edit_rules.h"

namespace {

using widgets::NumericEditModel;

TEST(NumberEditRules, EachMaskAcceptsItsKindOfNumber) {
  struct Row {
    std::uint16_t mask;
    const char32_t* accepted;
    const char32_t* refused;
  };
  const Row rows[] = {
      {widgets::kCharsDecimal, U"0123456789-.eE\b\t", U"+,xXaAfF_ gz\u00e9/"},
      {widgets::kCharsSignedInteger, U"0123456789-\b", U".eExX_ a"},
      {widgets::kCharsDigits, U"0123456789\x1b", U"-.eExA_"},
      {widgets::kCharsHex, U"0123456789aAbBcCdDeEfFxX", U"gG-._ z"},
      {widgets::kCharsAll, U"az_-.,\u00e9 9", U""},
  };
  for (const Row& row : rows) {
    for (const char32_t* c = row.accepted; *c; ++c)
      EXPECT_TRUE(widgets::CharacterAllowed(*c, row.mask)) << std::hex << row.mask << " U+" << +*c;
    for (const char32_t* c = row.refused; *c; ++c)
      EXPECT_FALSE(widgets::CharacterAllowed(*c, row.mask)) << std::hex << row.mask << " U+" << +*c;
  }
}

TEST(NumberEditRules, NumbersArePrintedAndReadInTheCLocaleWhateverTheUsersLocale) {
  const bool german = std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
  EXPECT_EQ(widgets::FormatNumber("%.1f", 2.75), "2.8");
  EXPECT_EQ(widgets::FormatNumber("%08.3f m", -1.5), "-001.500 m");
  EXPECT_EQ(widgets::FormatNumber("%.2e%%", 12345.0), "1.23e+04%");
  EXPECT_DOUBLE_EQ(widgets::LeadingDouble("  3.75"), 3.75);
  EXPECT_DOUBLE_EQ(widgets::LeadingDouble("-2.5e2x"), -250);
  EXPECT_DOUBLE_EQ(widgets::LeadingDouble("abc"), 0);
  EXPECT_EQ(widgets::LeadingInt("-17.9"), -17);
  EXPECT_EQ(widgets::LeadingInt("99999999999"), 2147483647);
  EXPECT_EQ(widgets::LeadingInt(""), 0);
  if (german) std::setlocale(LC_ALL, "C");
}

TEST(NumberEditRules, FormatsThatDoNotTakeOneDoublePrintAsG) {
  for (const char* bad : {"%d", "%s", "%f %f", "no conversion", "%", "%Lf", "%.9999f", "%*f", "%n"})
    EXPECT_EQ(widgets::FormatNumber(bad, 0.25), "0.25") << bad;
  // A very wide but valid conversion is printed whole.
  EXPECT_EQ(widgets::FormatNumber("%.120f", 1.0).size(), 122u);
}

class NumericEditModelTest : public ::testing::Test {
 protected:
  void SetUp() override { EXPECT_EQ(model.SetRange(0.0, 100.0, 4, "%.1f"), 250); }
  NumericEditModel model;
};

TEST_F(NumericEditModelTest, TypedTextMovesTheSliderAndValuesOutsideTheRangeArePutBack) {
  struct Row {
    const char* typed;
    int position;
    bool clamped;
    const char* shown;
  };
  const Row rows[] = {
      {"50", 500, false, ""},    {"12.5", 125, false, ""}, {"150", 1000, true, "100.0"},
      {"-5", 0, true, "0.0"},    {"", 0, false, ""},       {"1e9", 1000, true, "100.0"},
      {"nan", 0, true, "0.0"},   {"99.99", 999, false, ""},
  };
  for (const Row& row : rows) {
    const auto u = model.TextChanged(row.typed);
    EXPECT_EQ(u.position, row.position) << row.typed;
    EXPECT_EQ(u.clamped, row.clamped) << row.typed;
    EXPECT_EQ(u.rewrittenText, row.shown) << row.typed;
  }
  EXPECT_FALSE(model.AcceptsCharacter(U'a'));
}

TEST_F(NumericEditModelTest, SliderWritesTextOnlyWhenItsPositionChanges) {
  EXPECT_EQ(model.TextForSlider(250), "25.0");
  EXPECT_EQ(model.TextForSlider(250), std::nullopt);
  EXPECT_DOUBLE_EQ(model.Value(), 25.0);
  // A clamp forgets the last position, so the slider's end is written even if shown before.
  EXPECT_EQ(model.TextForSlider(1000), "100.0");
  EXPECT_TRUE(model.TextChanged("400").clamped);
  EXPECT_EQ(model.TextForSlider(1000), std::nullopt);  // written by the clamp itself
  EXPECT_EQ(model.TextForSlider(0), "0.0");
}

TEST_F(NumericEditModelTest, SetValueOutsideTheRangeOrWithoutOneIsRefused) {
  EXPECT_EQ(model.TextForValue(42.25), "42.2");
  EXPECT_EQ(model.TextForValue(100.5), std::nullopt);
  EXPECT_DOUBLE_EQ(model.Value(), 42.25);
  NumericEditModel bare;
  EXPECT_EQ(bare.TextForValue(1.0), std::nullopt);
  EXPECT_TRUE(bare.AcceptsCharacter(U'q'));
  // Without a range positions are shown as integers and the slider has no room.
  EXPECT_EQ(bare.TextForSlider(7), "7");
  EXPECT_EQ(bare.TextChanged("7").position, 0);
  NumericEditModel empty;
  empty.SetRange(3.0, 3.0, 0, "%.0f");
  EXPECT_EQ(empty.TextChanged("3").position, 0);
}

TEST(SliderAxis, VerticalSlidersHaveTheirMaximumAtTheTopAndOnlyPagesAndDragsReachTheEdit) {
  const widgets::SliderAxis vertical{0, 1000, true}, horizontal{0, 1000, false};
  EXPECT_EQ(vertical.ToControl(1000), 0);
  EXPECT_EQ(vertical.ToControl(200), 800);
  EXPECT_EQ(horizontal.ToControl(200), 200);
  EXPECT_EQ(vertical.EditPositionFor(widgets::kScrollThumbTrack, 0, 500), 1000);
  EXPECT_EQ(vertical.EditPositionFor(widgets::kScrollPageDown, 0, 900), 100);
  EXPECT_EQ(horizontal.EditPositionFor(widgets::kScrollPageUp, 7, 300), 300);
  for (unsigned code : {widgets::kScrollLineUp, widgets::kScrollLineDown, widgets::kScrollTop,
                        widgets::kScrollBottom, widgets::kScrollThumbPosition, widgets::kScrollEnd})
    EXPECT_EQ(horizontal.EditPositionFor(code, 5, 5), std::nullopt) << code;
}

}  // namespace
