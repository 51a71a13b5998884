// The rules of the numeric edit and its slider: typed characters, printing and reading
// numbers whatever the user's locale, and how text and slider position follow each other.
#include <gtest/gtest.h>

#include <clocale>
#include <set>
#include <string>

#include "widgets/core/colour_palette.h"
#include "widgets/core/context_menu_edit_items.h"
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

namespace {

TEST(EditMenu, ItemsAreGreyedByTheEditsStateAndAReadOnlyEditOffersOnlyCopyAndSelectAll) {
  using widgets::EditState;
  auto greyed = [](const EditState& e) {
    std::string g;  // one letter per item, '-' for separators, capital when enabled
    for (const auto& item : widgets::EditMenuItems(e)) {
      const char letter = item.command == widgets::kEditUndo      ? 'u'
                          : item.command == widgets::kEditCut     ? 'x'
                          : item.command == widgets::kEditCopy    ? 'c'
                          : item.command == widgets::kEditPaste   ? 'v'
                          : item.command == widgets::kEditClear   ? 'd'
                          : item.command == widgets::kEditSelectAll ? 'a'
                                                                    : '-';
      g += item.greyed || letter == '-' ? letter : static_cast<char>(letter - 32);
    }
    return g;
  };
  EXPECT_EQ(greyed({.canUndo = true, .selectionStart = 1, .selectionEnd = 3, .length = 5,
                    .clipboardHasText = true}),
            "U-XCVD-A");
  EXPECT_EQ(greyed({.readOnly = true, .selectionStart = 1, .selectionEnd = 3, .length = 5,
                    .clipboardHasText = true}),
            "u-xCvd-A");
  EXPECT_EQ(greyed({.readOnly = true, .length = 5, .clipboardHasText = true}), "u-xcvd-A");
  EXPECT_EQ(greyed({.selectionStart = 0, .selectionEnd = 5, .length = 5}), "u-XCvD-a");
  EXPECT_EQ(greyed({.length = 0, .clipboardHasText = true}), "u-xcVd-a");
  const auto items = widgets::EditMenuItems({});
  EXPECT_EQ(items[5].textId, 59153u);
  EXPECT_EQ(items[7].textId, 59203u);
}

}  // namespace

namespace {

using namespace widgets;

TEST(ColourPalette, TableHoldsFortyDistinctColoursRowByRow) {
  std::set<COLORREF> seen;
  for (const auto& entry : ColourTable()) seen.insert(entry.colour);
  EXPECT_EQ(seen.size(), 40u);
  // COLORREF is 0x00BBGGRR: red in the low byte.
  EXPECT_EQ(ColourIndex(0x000000FFu), 16);         // Red: row 2, column 0
  EXPECT_EQ(ColourIndex(0x00FF0000u), 13);         // Blue
  EXPECT_EQ(ColourIndex(0x00D4FF7Fu), 20);         // Aqua 127,255,212
  EXPECT_STREQ(ColourTable()[39].name, "White");
  EXPECT_EQ(ColourIndex(0x00123456u), kCellNone);

  EXPECT_EQ(CellForColour(0x000000FFu, true, true), 16);
  EXPECT_EQ(CellForColour(kAutomaticColour, true, true), kCellAutomatic);
  EXPECT_EQ(CellForColour(kAutomaticColour, false, true), kCellCancel);
  EXPECT_EQ(CellForColour(0x00123456u, true, true), kCellCancel);
  EXPECT_EQ(CellForColour(0x00123456u, true, false), kCellNone);
}

class PopupLayoutTest : public ::testing::Test {
 protected:
  PopupMetrics m = [] {
    PopupMetrics metrics = MetricsFor(96, false, 2);
    metrics.textCellHeight = TextCellHeight(metrics, 13, false, 96);  // 13 + 4 x 2 + 2
    return metrics;
  }();
  CRect screen{0, 0, 240, 320};
};

TEST_F(PopupLayoutTest, TextCellsFrameTheColoursAndStylusPointsFindTheirCells) {
  const PopupLayout l = LayoutPopup(CPoint(10, 40), 20, m, CSize(60, 13), CSize(40, 13), screen);
  EXPECT_EQ(l.window, CRect(10, 40, 10 + 148, 40 + 140));
  EXPECT_EQ(l.automatic, CRect(2, 2, 146, 25));
  EXPECT_EQ(l.cancel, CRect(2, 115, 146, 138));
  EXPECT_EQ(l.CellRect(9), CRect(20, 43, 38, 61));
  const struct {
    CPoint at;
    int cell;
  } hits[] = {{{2, 25}, 0},     {{145, 114}, 39},         {{20, 43}, 9},  {{19, 42}, 0},
              {{1, 30}, kCellNone}, {{50, 3}, kCellAutomatic}, {{50, 120}, kCellCancel},
              {{146, 60}, kCellNone}};
  for (const auto& h : hits) EXPECT_EQ(l.CellAt(h.at), h.cell) << h.at.x << "," << h.at.y;

  // Without texts the colours start at the margin; a wide text widens the window.
  const PopupLayout bare = LayoutPopup(CPoint(0, 0), 0, m, CSize(), CSize(), screen);
  EXPECT_EQ(bare.window.Size(), CSize(148, 94));
  EXPECT_EQ(bare.CellAt(CPoint(2, 2)), 0);
  EXPECT_FALSE(bare.HasAutomatic() || bare.HasCancel());
  EXPECT_EQ(LayoutPopup(CPoint(0, 0), 0, m, CSize(200, 13), CSize(), screen).window.Width(), 208);
}

TEST_F(PopupLayoutTest, PopupStaysOnScreenAndOpensAboveThePickerNearTheBottom) {
  const PopupLayout right = LayoutPopup(CPoint(200, 250), 230, m, CSize(60, 13), CSize(40, 13), screen);
  EXPECT_EQ(right.window, CRect(92, 90, 240, 230));
  const PopupLayout left = LayoutPopup(CPoint(-30, 10), 0, m, CSize(), CSize(), screen);
  EXPECT_EQ(left.window.TopLeft(), CPoint(0, 10));
}

TEST(ColourPopupKeys, CellsFormOneRingThroughTheTextCells) {
  constexpr unsigned L = 0x25, U = 0x26, R = 0x27, D = 0x28;
  const struct {
    int from;
    unsigned key;
    bool automatic, cancel;
    int to;
  } rows[] = {
      {5, R, true, true, 6},       {7, R, true, true, 8},         {39, R, true, true, kCellCancel},
      {kCellCancel, R, true, true, kCellAutomatic}, {kCellAutomatic, R, true, true, 0},
      {39, R, false, false, 0},    {0, L, true, true, kCellAutomatic}, {0, L, false, true, kCellCancel},
      {kCellAutomatic, L, true, true, kCellCancel}, {kCellCancel, L, true, true, 39},
      {3, D, true, true, 11},      {35, D, true, true, kCellCancel}, {35, D, true, false, kCellAutomatic},
      {kCellCancel, D, true, true, kCellAutomatic}, {kCellCancel, D, false, true, 0},
      {kCellAutomatic, D, true, true, 0}, {11, U, true, true, 3},  {3, U, true, true, kCellAutomatic},
      {3, U, false, true, kCellCancel}, {3, U, false, false, 35},
      {kCellAutomatic, U, true, true, kCellCancel}, {kCellCancel, U, true, true, 39},
      {kCellNone, D, true, true, 0}, {12, 0x41, true, true, 12},
  };
  for (const auto& r : rows)
    EXPECT_EQ(CellAfterKey(r.from, r.key, r.automatic, r.cancel), r.to)
        << r.from << " key " << r.key << " " << r.automatic << r.cancel;
  EXPECT_EQ(ColourOfCell(kCellAutomatic, 7), kAutomaticColour);
  EXPECT_EQ(ColourOfCell(kCellCancel, 7), 7u);
}

TEST(ColourPicker, ButtonHoldsTheArrowAndIsAtLeastTwoArrowsWide) {
  const PickerGeometry g = PickerGeometryFor(CSize(10, 40), 2, 2);
  EXPECT_EQ(g.size, CSize(36, 20));
  EXPECT_EQ(g.arrow, CRect(18, 2, 34, 18));
  const PickerGeometry wide = PickerGeometryFor(CSize(90, 40), 4, 3);  // arrow 20
  EXPECT_EQ(wide.size, CSize(90, 26));
  EXPECT_EQ(wide.arrow, CRect(66, 3, 86, 23));
}

}  // namespace
