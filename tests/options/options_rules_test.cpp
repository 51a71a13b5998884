// The options pages' rules without windows: the copy between the document's values and the
// pages, and each page's enabling rules and conversions.
#include <gtest/gtest.h>

#include "dialogs/core/options_rules.h"

namespace {

// Every value different from its default and from every other, so that a value copied into
// the wrong place shows.
CTolvanixDoc::OptionValues Distinct() {
  CTolvanixDoc::OptionValues o;
  o.datum.index = 123;
  o.datum.a = 6378388.0;
  o.datum.dX = -87.0;
  o.projection.kind = 7;
  o.projection.p[0] = 12.5;
  o.coord = 1;
  o.geoType = 1;
  o.metrica = 1;
  o.feet = 1;
  o.autoCaptureDistance = 7.5;
  o.wizardOnStart = 1;
  o.autoZone = 0;
  o.zone = 29;
  o.bearingUnit = 1;
  o.contextMenu = 0;
  o.port = 5;
  o.baudIndex = 6;
  o.useVirtualPort = 1;
  o.commEventReader = 1;
  o.offsetDistance = 17;
  o.offsetSide = 1;
  o.notifyActive = 0;
  o.hdopLimit = 4.2;
  o.hdopFilterOn = 1;
  o.hdopBeep = 0;
  o.filterPoints = 0;
  o.filterAveraging = 2;
  o.filterWaypoints = 3;
  o.waypointNaming = 0;
  o.waypointPrefix = "Pozo";
  o.newFeatureKind = 1;
  o.soundCapture = 1;
  o.navStyle = 1;
  o.navSound = 0;
  o.navSoundDistance = 55.5;
  o.fontSize = 11;
  return o;
}

void ExpectSameOptions(const CTolvanixDoc::OptionValues& a, const CTolvanixDoc::OptionValues& b) {
  EXPECT_EQ(a.datum, b.datum);
  EXPECT_EQ(a.projection.kind, b.projection.kind);
  EXPECT_EQ(a.projection.p, b.projection.p);
  const int ints[][2] = {
      {a.coord, b.coord},
      {a.geoType, b.geoType},
      {a.metrica, b.metrica},
      {a.feet, b.feet},
      {a.wizardOnStart, b.wizardOnStart},
      {a.autoZone, b.autoZone},
      {a.zone, b.zone},
      {a.bearingUnit, b.bearingUnit},
      {a.contextMenu, b.contextMenu},
      {a.port, b.port},
      {a.baudIndex, b.baudIndex},
      {a.useVirtualPort, b.useVirtualPort},
      {a.commEventReader, b.commEventReader},
      {a.offsetDistance, b.offsetDistance},
      {a.offsetSide, b.offsetSide},
      {a.notifyActive, b.notifyActive},
      {a.hdopFilterOn, b.hdopFilterOn},
      {a.hdopBeep, b.hdopBeep},
      {a.filterPoints, b.filterPoints},
      {a.filterAveraging, b.filterAveraging},
      {a.filterWaypoints, b.filterWaypoints},
      {a.waypointNaming, b.waypointNaming},
      {a.newFeatureKind, b.newFeatureKind},
      {a.soundCapture, b.soundCapture},
      {a.navStyle, b.navStyle},
      {a.navSound, b.navSound},
      {a.fontSize, b.fontSize},
  };
  for (std::size_t i = 0; i < std::size(ints); ++i) EXPECT_EQ(ints[i][0], ints[i][1]) << "int " << i;
  EXPECT_EQ(a.autoCaptureDistance, b.autoCaptureDistance);
  EXPECT_EQ(a.hdopLimit, b.hdopLimit);
  EXPECT_EQ(a.navSoundDistance, b.navSoundDistance);
  EXPECT_EQ(a.waypointPrefix, b.waypointPrefix);
}

TEST(OptionPagesCopy, EveryValueGoesToItsPageAndComesBackUnchanged) {
  const CTolvanixDoc::OptionValues original = Distinct();
  ViewOptionValues view;
  view.keyActions = {25, 24, 0, 9, 10, 11, 12, 13, 14};
  view.hotKeys = 0;
  view.overlay = 1;

  const OptionPagesValues pages = PagesFromOptions(original, view);
  // A few places checked by hand, so that a consistent swap both ways shows too.
  EXPECT_EQ(pages.capture.offsetDistance, 17);
  EXPECT_EQ(pages.capture.offsetSide, 1);
  EXPECT_EQ(pages.units.zone, 29);
  EXPECT_EQ(pages.units.display, 1);
  EXPECT_EQ(pages.datum.index, 123);
  EXPECT_EQ(pages.gps.port, 5);
  EXPECT_EQ(pages.gps.baudIndex, 6);
  EXPECT_EQ(pages.filter.averaging, 2);
  EXPECT_EQ(pages.filter.waypoints, 3);
  EXPECT_EQ(pages.display.overlay, 1);
  EXPECT_EQ(pages.display.fontSize, 11);
  EXPECT_EQ(pages.keys.actions[0], 25);
  EXPECT_EQ(pages.metricaAtOpen, 1);

  CTolvanixDoc::OptionValues back;
  ViewOptionValues viewBack;
  OptionsFromPages(pages, true, back, viewBack);
  ExpectSameOptions(back, original);
  EXPECT_EQ(viewBack, view);
}

TEST(OptionPagesCopy, GpsValuesOnlyFromAShownPageAndAnUnchosenDatumKeepsItsIndex) {
  CTolvanixDoc::OptionValues options = Distinct();
  OptionPagesValues pages = PagesFromOptions(options, {});
  pages.gps = {9, 2, 0, 0};
  pages.datum.index = -1;
  pages.datum.values.a = 1.0;
  ViewOptionValues view;
  OptionsFromPages(pages, false, options, view);
  EXPECT_EQ(options.port, 5);
  EXPECT_EQ(options.baudIndex, 6);
  EXPECT_EQ(options.commEventReader, 1);
  EXPECT_EQ(options.datum.index, 123);
  EXPECT_EQ(options.datum.a, 6378388.0);

  OptionsFromPages(pages, true, options, view);
  EXPECT_EQ(options.port, 9);
  EXPECT_EQ(options.baudIndex, 2);
  EXPECT_EQ(options.commEventReader, 0);
}

TEST(CapturePage, TheDistanceStepsNeverBelowZeroAndReadsOnlyWholeNumbers) {
  EXPECT_EQ(capture_page::StepDistance(0, -1), 0);
  EXPECT_EQ(capture_page::StepDistance(5, -1), 4);
  EXPECT_EQ(capture_page::StepDistance(5, 1), 6);
  EXPECT_EQ(capture_page::StepDistance(0x7FFFFFFF, 1), 0x7FFFFFFF);

  const struct {
    const char* text;
    std::optional<int> value;
  } reads[] = {{"12", 12}, {" 7 ", 7}, {"+3", 3}, {"-4", -4}, {"", std::nullopt},
               {"  ", std::nullopt}, {"1.5", std::nullopt}, {"abc", std::nullopt},
               {"99999999999", std::nullopt}};
  for (const auto& r : reads) EXPECT_EQ(capture_page::ReadDistance(r.text), r.value) << r.text;
}

TEST(UnitsPage, EnablingAtTheStartAndAfterEachDisplayChoice) {
  using units_page::Enabling;
  // {format combo, automatic-zone check, zone edit, projection button}
  EXPECT_EQ(units_page::AtStart(0, true), (Enabling{true, false, false, false}));
  EXPECT_EQ(units_page::AtStart(0, false), (Enabling{true, false, false, false}));
  EXPECT_EQ(units_page::AtStart(1, true), (Enabling{false, true, false, false}));
  EXPECT_EQ(units_page::AtStart(1, false), (Enabling{false, true, true, false}));
  EXPECT_EQ(units_page::AtStart(2, false), (Enabling{false, true, true, true}));
  EXPECT_EQ(units_page::OnDisplayChosen(0, false), (Enabling{true, false, false, false}));
  EXPECT_EQ(units_page::OnDisplayChosen(1, false), (Enabling{false, true, true, false}));
  EXPECT_EQ(units_page::OnDisplayChosen(1, true), (Enabling{false, true, false, false}));
  EXPECT_EQ(units_page::OnDisplayChosen(2, false), (Enabling{false, false, false, true}));
}

TEST(SmallPages, FontItemsAndChoicesWithoutAButton) {
  const int sizes[][2] = {{4, -1}, {5, 0}, {8, 3}, {12, 7}, {13, -1}};
  for (const auto& s : sizes) EXPECT_EQ(display_page::FontItem(s[0]), s[1]) << s[0];
  EXPECT_EQ(display_page::FontSizeOfItem(7), 12);

  EXPECT_EQ(ChoiceOrKeep(-1, 2), 2);
  EXPECT_EQ(ChoiceOrKeep(1, 2), 1);
}

TEST(NavPage, ImperialDistanceIsShownInYardsAndComesBackAsTheRoundTripGives) {
  EXPECT_DOUBLE_EQ(nav_page::ShownDistance(10.0, 1), 10.936);
  EXPECT_DOUBLE_EQ(nav_page::MetresFromShown(10.936, 1), 9.9998784);
  EXPECT_EQ(nav_page::ShownDistance(10.0, 0), 10.0);
  EXPECT_EQ(nav_page::ShownDistance(10.0, 2), 10.0);
  EXPECT_EQ(nav_page::MetresFromShown(10.0, 2), 10.0);
}

}  // namespace
