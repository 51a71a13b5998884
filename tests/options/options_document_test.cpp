// The options command of a document with the sheet installed as at start-up (under Xvfb): the
// values changed on the pages are applied by the document and stored.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>

#include "dialogs/options_sheet.h"
#include "platform/message_box.h"
#include "platform/ui/command_ids.h"
#include "tests/options/doc_window_test.h"
#include "tests/options/window_helpers.h"
#include "tests/support/wx_test_environment.h"
#include "view/core/view_options.h"

namespace {

using namespace optstest;

class OptionsCommand : public DocWindowTest {
 protected:
  void SetUp() override {
    DocWindowTest::SetUp();
    if (module_) InstallOptionsSheet();
  }
  void TearDown() override {
    CTolvanixDoc::SetOptionsSheet(nullptr);
    DocWindowTest::TearDown();
  }
};

CPropiedadesOpciones* ShownSheet() {
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* sheet = dynamic_cast<CPropiedadesOpciones*>(CWnd::FromWxWindow(w))) return sheet;
  return nullptr;
}

int IndexOf(CPropertySheet& sheet, CPropertyPage* page) {
  for (int i = 0; i < sheet.GetPageCount(); ++i)
    if (sheet.GetPage(i) == page) return i;
  return -1;
}

TEST_F(OptionsCommand, PageValuesAreAppliedAndStoredAndTheDatumIsLockedByMeasuredData) {
  CTolvanixDoc& doc = MakeDoc();
  WaypointRecord w;
  w.x = 1;
  w.y = 2;
  doc.m_waypoints.push_back(w);
  doc.m_waypointNotes.push_back("");
  int pages = 0;
  bool datumLocked = false;
  wxTheApp->CallAfter([&] {
    CPropiedadesOpciones* sheet = ShownSheet();
    ASSERT_NE(sheet, nullptr);
    pages = sheet->GetPageCount();
    datumLocked = sheet->m_datum->m_comboEnabled == FALSE;
    ASSERT_TRUE(sheet->SetActivePage(IndexOf(*sheet, sheet->m_filter.get())));
    Tick(*sheet->m_filter, 1118, true);
    Type(*sheet->m_filter, 1117, "2.5");
    ASSERT_TRUE(sheet->SetActivePage(IndexOf(*sheet, sheet->m_keys.get())));
    Choose(*sheet->m_keys, 1130, 24);
    PressSheet(*sheet, wxID_OK);
  });
  doc.ApplyOptions();
  EXPECT_EQ(pages, 10);
  EXPECT_TRUE(datumLocked);
  EXPECT_EQ(doc.m_hdopFilterOn, 1);
  EXPECT_DOUBLE_EQ(doc.m_hdopLimit, 2.5);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "FiltroHvalor", 0), 25u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "FiltroHestado", 0), 1u);
  // Without a view to take them, the key actions go to the store.
  EXPECT_EQ(app_->GetProfileInt("Opciones", "VK1", 0), 24u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "VK2", 0), 2u);
}

TEST_F(OptionsCommand, CancelLeavesTheDocumentAndTheStoreAlone) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_gpsOn = true;  // the GPS page is not offered while the receiver is read
  int pages = 0;
  wxTheApp->CallAfter([&] {
    CPropiedadesOpciones* sheet = ShownSheet();
    ASSERT_NE(sheet, nullptr);
    pages = sheet->GetPageCount();
    Type(*sheet->m_capture, 1018, "55");
    PressSheet(*sheet, wxID_CANCEL);
  });
  doc.ApplyOptions();
  doc.m_gpsOn = false;
  EXPECT_EQ(pages, 9);
  EXPECT_DOUBLE_EQ(doc.m_autoCaptureDistance, 10.0);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "AP", -1), static_cast<UINT>(-1));
}

// A window that keeps the view's own values, as the map view does.
struct ViewWithSettings : CWnd, ViewSettings {};

TEST_F(OptionsCommand, KeysAndOverlayComeFromTheViewAndGoBackToIt) {
  CTolvanixDoc& doc = MakeDoc();
  ViewWithSettings view;
  view.Attach(new wxFrame(nullptr, wxID_ANY, "view"));
  view.m_keyActions[8] = 9;
  view.m_overlay = 1;
  doc.m_hwndView = view.GetSafeHwnd();
  int shownEnterAction = -1;
  bool overlayShown = false;
  wxTheApp->CallAfter([&] {
    CPropiedadesOpciones* sheet = ShownSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->SetActivePage(IndexOf(*sheet, sheet->m_keys.get())));
    shownEnterAction = Selection(*sheet->m_keys, 1138);
    Choose(*sheet->m_keys, 1131, 0);
    Tick(*sheet->m_keys, platform::ui::CommandToWxId(32886), false);
    ASSERT_TRUE(sheet->SetActivePage(IndexOf(*sheet, sheet->m_display.get())));
    overlayShown = Ticked(*sheet->m_display, 1053);
    Tick(*sheet->m_display, 1053, false);
    PressSheet(*sheet, wxID_OK);
  });
  doc.ApplyOptions();
  doc.m_hwndView = nullptr;
  view.DestroyWindow();
  EXPECT_EQ(shownEnterAction, 9);
  EXPECT_TRUE(overlayShown);
  EXPECT_EQ(view.m_keyActions[1], 0);
  EXPECT_EQ(view.m_keyActions[8], 9);
  EXPECT_EQ(view.m_hotKeys, 0);
  EXPECT_EQ(view.m_overlay, 0);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "VK2", 77), 77u);  // the view stores its own
}

}  // namespace
