// The export and import settings dialogs: their rules without windows, and the real dialogs
// from the English module's templates under Xvfb (values in and out, zones refused).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <chrono>
#include <thread>

#include "tests/support/wx_test_environment.h"
#include "dialogs/export_dialogs.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/win_app.h"

namespace {

const ControlState* Find(const DialogLayout& layout, int id) {
  for (const ControlState& c : layout.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

TEST(ExportSettingsForm, DatumComboOffersTheUserDatumOnlyWhenActive) {
  DatumQuestion none{"Pulkovo", 0};
  EXPECT_EQ(DatumComboFor(none).items, std::vector<std::string>{"WGS84 / GRS80"});
  EXPECT_EQ(DatumComboFor(none).selected, 0);
  DatumQuestion user{"Pulkovo", 3};
  EXPECT_EQ(DatumComboFor(user).items, (std::vector<std::string>{"WGS84 / GRS80", "Pulkovo"}));
  EXPECT_EQ(DatumComboFor(user).selected, 1);
}

TEST(ExportSettingsForm, LayoutsByMode) {
  EXPECT_EQ(ZoneDatumLayout(2).title, "Datum");
  EXPECT_FALSE(Find(ZoneDatumLayout(2), kZoneDatumZone)->visible);
  EXPECT_FALSE(Find(ZoneDatumLayout(2), kZoneDatumZoneLabel)->visible);
  EXPECT_TRUE(Find(ZoneDatumLayout(1), kZoneDatumZone)->visible);
  EXPECT_TRUE(ZoneDatumLayout(0).title.empty());
  EXPECT_FALSE(Find(DxfLayout(2), kDxfZone)->visible);
  EXPECT_TRUE(Find(DxfLayout(0), kDxfZone)->visible);

  struct Case {
    int mode;
    bool hideHemisphere, lockKind, lockCoord;
    int coordKind;
    bool zoneVisible, zoneEnabled, hemisphereVisible, hemisphereEnabled, kindEnabled,
        projectedEnabled;
  };
  const Case cases[] = {
      {0, false, false, false, 0, true, false, true, false, true, true},
      {1, false, false, false, 1, true, true, true, true, true, true},
      {1, true, false, false, 1, true, true, false, true, true, true},
      {2, false, false, false, 1, false, true, false, true, true, true},
      {1, false, true, true, 1, true, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    CoordSystemQuestion q;
    q.mode = c.mode;
    q.hideHemisphere = c.hideHemisphere;
    q.lockKindCombo = c.lockKind;
    q.lockCoordKind = c.lockCoord;
    q.projectionText = "Lambert";
    const DialogLayout l = CoordSystemLayout(q, c.coordKind);
    const int row = static_cast<int>(&c - cases);
    EXPECT_EQ(Find(l, kCoordZone)->visible, c.zoneVisible) << row;
    EXPECT_EQ(Find(l, kCoordZone)->enabled, c.zoneEnabled) << row;
    EXPECT_EQ(Find(l, kCoordHemisphere)->visible, c.hemisphereVisible) << row;
    EXPECT_EQ(Find(l, kCoordHemisphere)->enabled, c.hemisphereEnabled) << row;
    EXPECT_EQ(Find(l, kCoordKind)->enabled, c.kindEnabled) << row;
    EXPECT_EQ(Find(l, kCoordProjectedRadio)->enabled, c.projectedEnabled) << row;
    EXPECT_EQ(l.projectedCaption, c.mode == 2 ? "Lambert" : "") << row;
  }
}

// ---- The dialogs themselves, under Xvfb ---------------------------------------------------

CWinApp g_app("tvxexporttest");

using tvxtest::WxEnvironment;

class ExportDialogs : public tvxtest::ModuleWindowTest {
 protected:
  ExportDialogs() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}
};

void Type(CDialog& dlg, int id, const char* text) {
  static_cast<wxTextCtrl*>(dlg.GetDlgItemWindow(id))->ChangeValue(wxString::FromUTF8(text));
}

void Click(CDialog& dlg, int id) {
  wxWindow* button = dlg.GetDlgItemWindow(id);
  wxCommandEvent event(button->IsKindOf(wxCLASSINFO(wxRadioButton)) ? wxEVT_RADIOBUTTON : wxEVT_BUTTON, id);
  event.SetEventObject(button);
  if (auto* radio = dynamic_cast<wxRadioButton*>(button)) {
    radio->SetValue(true);
    event.SetInt(1);
  }
  button->ProcessWindowEvent(event);
}

int Choices(CDialog& dlg, int id) {
  return static_cast<int>(static_cast<wxChoice*>(dlg.GetDlgItemWindow(id))->GetCount());
}

TEST_F(ExportDialogs, ZoneDatumRefusesZonesOutsideOneToSixty) {
  ZoneDatumQuestion q;
  q.datumName = "Pulkovo";
  q.datumIndex = 2;
  q.zone = 30;
  CDlgZoneDatum dlg(q);
  std::vector<bool> stayedOpen;
  int datumItems = 0;
  std::string zoneShown;
  wxTheApp->CallAfter([&] {
    datumItems = Choices(dlg, kZoneDatumDatum);
    zoneShown = dlg.GetDlgItemText(kZoneDatumZone);
    for (const char* bad : {"0", "61", "x"}) {
      platform::MessageBoxScript::Push(IDOK);
      Type(dlg, kZoneDatumZone, bad);
      Click(dlg, IDOK);
      stayedOpen.push_back(dlg.GetDialog()->IsModal());
    }
    Type(dlg, kZoneDatumZone, "29");
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kZoneDatumDatum))->SetSelection(0);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(datumItems, 2);
  EXPECT_EQ(zoneShown, "30");
  EXPECT_EQ(stayedOpen, (std::vector<bool>{true, true, true}));
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Please enter an integer between 1 and 60.");
  EXPECT_EQ(shown[2].text, "Please enter an integer.");
  EXPECT_EQ(dlg.m_answer.zone, 29);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, DatumOnlyFormForTracks) {
  ZoneDatumQuestion q;
  q.mode = 2;
  CDlgZoneDatum dlg(q);
  bool zoneShown = true;
  std::string title;
  int datumItems = 0;
  wxTheApp->CallAfter([&] {
    zoneShown = dlg.GetDlgItem(kZoneDatumZone)->IsWindowVisible();
    title = dlg.GetWindowText();
    datumItems = Choices(dlg, kZoneDatumDatum);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(zoneShown);
  EXPECT_EQ(title, "Datum");
  EXPECT_EQ(datumItems, 1);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, DxfGivesDatumZoneAndFlat) {
  DxfQuestion q;
  q.zone = 31;
  CDlgDxfSimple dlg(q);
  wxTheApp->CallAfter([&] {
    Type(dlg, kDxfZone, "33");
    Click(dlg, kDxfAltitudeRadio + 1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_answer.zone, 33);
  EXPECT_EQ(dlg.m_answer.flat, 1);
  EXPECT_EQ(dlg.m_answer.datumChoice, 0);
}

TEST_F(ExportDialogs, CoordSystemEnablesZoneWithTheProjectedChoice) {
  CoordSystemQuestion q;
  q.mode = 0;
  q.zone = 30;
  q.kind = 2;
  CDlgCoordSystem dlg(q);
  bool zoneEnabledGeographic = true, zoneEnabledProjected = false;
  wxTheApp->CallAfter([&] {
    zoneEnabledGeographic = dlg.GetDlgItem(kCoordZone)->IsWindowEnabled();
    Click(dlg, kCoordProjectedRadio);
    zoneEnabledProjected = dlg.GetDlgItem(kCoordZone)->IsWindowEnabled();
    Type(dlg, kCoordZone, "18");
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kCoordHemisphere))->SetSelection(1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(zoneEnabledGeographic);
  EXPECT_TRUE(zoneEnabledProjected);
  EXPECT_EQ(dlg.m_answer.coordKind, 1);
  EXPECT_EQ(dlg.m_answer.zone, 18);
  EXPECT_EQ(dlg.m_answer.hemisphere, 1);
  EXPECT_EQ(dlg.m_answer.kind, 2);
}

TEST_F(ExportDialogs, FieldNameListsTheFieldsAndCancels) {
  CDlgSHPFieldName dlg({"NAME", "OWNER"});
  int items = 0;
  wxTheApp->CallAfter([&] {
    items = Choices(dlg, kShpFieldCombo);
    static_cast<wxChoice*>(dlg.GetDlgItemWindow(kShpFieldCombo))->SetSelection(1);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(items, 2);
  EXPECT_EQ(dlg.m_selection, 1);
  CDlgSHPFieldName cancelled({"NAME"});
  wxTheApp->CallAfter([&] { Click(cancelled, IDCANCEL); });
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

}  // namespace
