// The options sheet in a real wxWidgets application (under Xvfb): pages opened from the
// English module's templates, values changed through the controls, OK and Cancel, and the
// option values handed back to the document.
#include <gtest/gtest.h>
#include <vector>
#include <wx/app.h>
#include <wx/dialog.h>

#include "dialogs/options_sheet.h"
#include "platform/message_box.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/controls.h"
#include "platform/win_app.h"
#include "tests/options/window_helpers.h"
#include "tests/support/wx_test_environment.h"

namespace {

using namespace optstest;

CWinApp g_app("tvxtest");

const std::string kModule = std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll";

class OptionsSheet : public tvxtest::ModuleWindowTest {
 protected:
  OptionsSheet() : ModuleWindowTest(kModule.c_str()) {}

  // Runs the sheet over options and view; drive(sheet) runs once it is shown.
  bool Run(std::function<void(CPropiedadesOpciones&)> drive, bool gpsOpen = false) {
    OptionsSheetContext context;
    context.gpsOpen = gpsOpen;
    context.beforeShow = [drive](CPropiedadesOpciones& sheet) {
      wxTheApp->CallAfter([drive, &sheet] { drive(sheet); });
    };
    return RunOptionsSheet(context, options, view);
  }

  CTolvanixDoc::OptionValues options;
  ViewOptionValues view;
};

void Show(CPropiedadesOpciones& sheet, CPropertyPage* page) {
  for (int i = 0; i < sheet.GetPageCount(); ++i) {
    if (sheet.GetPage(i) == page) {
      ASSERT_TRUE(sheet.SetActivePage(i));
    }
  }
}

// The first modal dialog other than the sheet, pressed with the given button.
void AnswerNestedDialog(CPropertySheet& sheet, int button) {
  for (wxWindow* w : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(w);
    if (dialog && dialog->IsModal() && dialog != sheet.GetSheetDialog()) {
      Click(dialog->FindWindow(button));
      return;
    }
  }
  ADD_FAILURE() << "no nested dialog";
}

TEST_F(OptionsSheet, ValuesChangedOnThePagesReachTheOptionsAfterOk) {
  options.metrica = 1;
  options.offsetSide = 2;
  options.offsetDistance = 10;
  options.navSoundDistance = 10.0;
  options.fontSize = 13;
  options.hdopFilterOn = 0;
  options.hdopLimit = 9.0;  // beyond the page's range
  std::string intervalLabel, offsetLabel, distanceAtStart;
  bool distanceLockedAtStart = false, distanceFreed = false, zoneFreed = false,
       limitLockedAtStart = false, limitFreed = false;
  int fontItem = 0;
  std::string minusAtZero, shownYards, limitShown;
  bool stayedAfterZone = false, stayedAfterInterval = false;

  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    CPageCaptura& capture = *sheet.m_capture;
    intervalLabel = capture.GetDlgItemText(1019);
    offsetLabel = capture.GetDlgItemText(platform::ui::CommandToWxId(59213));
    distanceAtStart = capture.GetDlgItemText(1099);
    distanceLockedAtStart = !Enabled(capture, 1099) && !Enabled(capture, 1100) && !Enabled(capture, 1101);
    Pick(capture, 1096);
    distanceFreed = Enabled(capture, 1099) && Enabled(capture, 1100) && Enabled(capture, 1101);
    ClickId(capture, 1101);
    minusAtZero = capture.GetDlgItemText(1099);
    ClickId(capture, 1100);
    ClickId(capture, 1100);
    Type(capture, 1018, "0.3");

    Show(sheet, sheet.m_units.get());
    CPaginaUnidades& units = *sheet.m_units;
    Pick(units, 1016);
    Tick(units, 1068, false);
    zoneFreed = Enabled(units, 1017) && !Enabled(units, 1237) && !Enabled(units, 1094);
    Type(units, 1017, "61");
    platform::MessageBoxScript::Push(IDOK);
    PressSheet(sheet, wxID_OK);  // the zone is refused on its own page
    stayedAfterZone = StillOpen(sheet) && sheet.GetActivePage() == &units;
    Type(units, 1017, "30");

    Show(sheet, sheet.m_filter.get());
    CPageFiltro& filter = *sheet.m_filter;
    limitShown = filter.GetDlgItemText(1117);
    limitLockedAtStart = !Enabled(filter, 1117) && !Enabled(filter, 1116) && !Enabled(filter, 1121);
    Tick(filter, 1118, true);
    limitFreed = Enabled(filter, 1117) && Enabled(filter, 1116) && Enabled(filter, 1122);
    Type(filter, 1117, "4.5");

    Show(sheet, sheet.m_display.get());
    fontItem = Selection(*sheet.m_display, 1054);
    Choose(*sheet.m_display, 1129, 1);

    Show(sheet, sheet.m_keys.get());
    Choose(*sheet.m_keys, 1130, 25);
    Choose(*sheet.m_keys, 1138, 3);
    Tick(*sheet.m_keys, platform::ui::CommandToWxId(32886), false);

    Show(sheet, sheet.m_nav.get());
    shownYards = sheet.m_nav->GetDlgItemText(1291);

    platform::MessageBoxScript::Push(IDOK);
    PressSheet(sheet, wxID_OK);  // the capture interval 0.3 is refused
    stayedAfterInterval = StillOpen(sheet) && sheet.GetActivePage() == &capture;
    Type(capture, 1018, "2.5");
    PressSheet(sheet, wxID_OK);
  });

  ASSERT_TRUE(ok);
  EXPECT_EQ(intervalLabel, "Autocapture interval (yd)");
  EXPECT_EQ(offsetLabel, "Lateral offset (feet)");
  EXPECT_EQ(distanceAtStart, "0");
  EXPECT_TRUE(distanceLockedAtStart);
  EXPECT_TRUE(distanceFreed);
  EXPECT_EQ(minusAtZero, "0");
  EXPECT_TRUE(zoneFreed);
  EXPECT_TRUE(stayedAfterZone);
  EXPECT_TRUE(limitLockedAtStart);
  EXPECT_TRUE(limitFreed);
  EXPECT_EQ(fontItem, -1);
  EXPECT_EQ(shownYards, "10.936");
  EXPECT_EQ(limitShown, "6.0");
  EXPECT_TRUE(stayedAfterInterval);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Please enter an integer between 1 and 60.");
  EXPECT_EQ(shown[1].text, "Please enter a number between 0.5 and 100000.");

  EXPECT_EQ(options.autoCaptureDistance, 2.5);
  EXPECT_EQ(options.offsetSide, 0);
  EXPECT_EQ(options.offsetDistance, 2);
  EXPECT_EQ(options.coord, 1);
  EXPECT_EQ(options.autoZone, 0);
  EXPECT_EQ(options.zone, 30);
  EXPECT_EQ(options.hdopFilterOn, 1);
  EXPECT_EQ(options.hdopLimit, 4.5);
  EXPECT_EQ(options.newFeatureKind, 1);
  EXPECT_EQ(options.fontSize, 13);  // no size picked: kept
  EXPECT_DOUBLE_EQ(options.navSoundDistance, 9.9998784);
  EXPECT_EQ(options.metrica, 1);
  EXPECT_EQ(view.keyActions[0], 25);
  EXPECT_EQ(view.keyActions[8], 3);
  EXPECT_EQ(view.keyActions[1], 2);
  EXPECT_EQ(view.hotKeys, 0);
}

TEST_F(OptionsSheet, CancelChangesNothingAndACancelledProjectionFallsBackToGeographic) {
  options.coord = 2;
  options.autoZone = 0;
  options.zone = 12;
  options.waypointPrefix = "P";
  const CTolvanixDoc::OptionValues before = options;
  bool buttonAtStart = false, geographicAfter = false, zoneStillFree = false;
  int pages = 0;
  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    pages = sheet.GetPageCount();
    Show(sheet, sheet.m_units.get());
    CPaginaUnidades& units = *sheet.m_units;
    buttonAtStart = Enabled(units, 1094) && Enabled(units, 1017) && !Enabled(units, 1237);
    wxTheApp->CallAfter([&] { AnswerNestedDialog(sheet, IDCANCEL); });
    ClickId(units, 1094);
    geographicAfter = Picked(units, 1015) && !Picked(units, 1095);
    zoneStillFree = Enabled(units, 1017);
    Show(sheet, sheet.m_waypointName.get());
    Pick(*sheet.m_waypointName, 1125);
    Type(*sheet.m_waypointName, 1128, "Changed");
    PressSheet(sheet, wxID_CANCEL);
  }, /*gpsOpen=*/true);
  EXPECT_FALSE(ok);
  EXPECT_EQ(pages, 9);
  EXPECT_TRUE(buttonAtStart);
  EXPECT_TRUE(geographicAfter);
  EXPECT_TRUE(zoneStillFree);
  EXPECT_EQ(options.coord, 2);
  EXPECT_EQ(options.zone, 12);
  EXPECT_EQ(options.waypointNaming, before.waypointNaming);
  EXPECT_EQ(options.waypointPrefix, "P");
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

// The tabs in their fixed order, by the template each page is built from; the GPS page
// (146) only while the receiver is not being read.
TEST_F(OptionsSheet, PagesComeInTheirOrderAndTheGpsPageOnlyWhileReadingIsOff) {
  const std::vector<UINT> all{202, 151, 143, 146, 150, 182, 184, 142, 185, 196};
  for (bool gpsPage : {true, false}) {
    CPropiedadesOpciones sheet(nullptr);
    sheet.AddPages(PagesFromOptions(options, view), gpsPage);
    std::vector<UINT> templates;
    for (int i = 0; i < sheet.GetPageCount(); ++i)
      templates.push_back(sheet.GetPage(i)->m_nIDTemplate);
    std::vector<UINT> expected = all;
    if (!gpsPage) expected.erase(expected.begin() + 3);
    EXPECT_EQ(templates, expected) << "GPS page " << gpsPage;
  }
}

TEST_F(OptionsSheet, PrefixOnlyWithNumberedNamesAndNeverLongerThan25) {
  options.waypointNaming = 1;
  options.metrica = 0;
  bool prefixLocked = false, prefixFreed = false, feetLocked = false, feetFreed = false;
  bool stayed = false;
  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    Show(sheet, sheet.m_other.get());
    feetLocked = !Enabled(*sheet.m_other, 1271);
    Pick(*sheet.m_other, 1004);
    feetFreed = Enabled(*sheet.m_other, 1271);
    Tick(*sheet.m_other, 1271, true);

    Show(sheet, sheet.m_waypointName.get());
    CPageWptName& names = *sheet.m_waypointName;
    prefixLocked = !Enabled(names, 1128);
    Pick(names, 1127);
    prefixFreed = Enabled(names, 1128);
    Type(names, 1128, "abcdefghijklmnopqrstuvwxyz");  // 26 characters
    platform::MessageBoxScript::Push(IDOK);
    PressSheet(sheet, wxID_OK);
    stayed = StillOpen(sheet);
    Type(names, 1128, "Pozo");
    PressSheet(sheet, wxID_OK);
  });
  ASSERT_TRUE(ok);
  EXPECT_TRUE(feetLocked);
  EXPECT_TRUE(feetFreed);
  EXPECT_TRUE(prefixLocked);
  EXPECT_TRUE(prefixFreed);
  EXPECT_TRUE(stayed);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please enter no more than 25 characters.");
  EXPECT_EQ(options.waypointNaming, 2);
  EXPECT_EQ(options.waypointPrefix, "Pozo");
  EXPECT_EQ(options.metrica, 1);
  EXPECT_EQ(options.feet, 1);
}

// Each navigation style says what it shows: style 0 opens the compass window, the other one
// draws the target on the map. The page shows the stored style and hands back the chosen one.
TEST_F(OptionsSheet, NavigationStylesSayWhatEachShows) {
  constexpr int kStyleCombo = 1292;
  for (const int style : {0, 1}) {
    SCOPED_TRACE(style);
    options.navStyle = style;
    std::vector<std::string> items;
    int shown = -1;
    const bool ok = Run([&](CPropiedadesOpciones& sheet) {
      Show(sheet, sheet.m_nav.get());
      CComboBox combo(sheet.m_nav->GetDlgItem(kStyleCombo));
      for (int i = 0; i < combo.GetCount(); ++i) items.push_back(combo.GetLBText(i));
      shown = Selection(*sheet.m_nav, kStyleCombo);
      Choose(*sheet.m_nav, kStyleCombo, 1 - style);
      PressSheet(sheet, wxID_OK);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(items, (std::vector<std::string>{"Compass window: bearing and distance",
                                               "On the map: target, distance and offsets"}));
    EXPECT_EQ(shown, style);
    EXPECT_EQ(options.navStyle, 1 - style);
  }
}

}  // namespace
