// The map view's dividing and navigation commands in a real frame (under Xvfb): what the
// document holds and shows before, during and after a division, and the compass opened and
// closed from the waypoint popup.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/window.h>

#include <filesystem>
#include <memory>

#include "app/strings.h"
#include "dialogs/measure_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/win_app.h"
#include "tests/support/wx_test_environment.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

class MeasureViewCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    static bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());
      return true;
    }();
    (void)resources;
    setenv("TVX_NO_SOUND", "1", 1);
    dir_ = std::filesystem::temp_directory_path() / ("tvx_meas_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "internal");
    for (const char* file : {"tvxdatum.bin", "tvxdtmlist.bin"}) {
      const auto shipped = std::filesystem::path(TVX_BINARY_DIR) / "internal" / file;
      if (std::filesystem::exists(shipped)) std::filesystem::copy_file(shipped, dir_ / "internal" / file);
    }
    ModuleDirectory = dir_.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    app_ = std::make_unique<CWinApp>("tolvanixpda");
    app_->SetRegistryKey("Vorel - Tolvanix PDA");
    app_->WriteProfileInt("Opciones", "Labels", 0);
    module_ = LoadLibrary((std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);

    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CFrameWnd, CTolvanixView>(128));
    doc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    ASSERT_NE(doc_, nullptr);
    frame_ = template_->GetFrame();
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    frame_->ShowWindow(SW_SHOW);

    // A field (about 110 m x 110 m) and a second, visible feature.
    doc_->m_features.clear();
    FeatureRecord& field = doc_->AddFeature(FeatureType::Area, "Field");
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0015, 0.0}, {0.0015, 0.001}, {0.0, 0.001}}) {
      const GeoPoint p{2.0 + x, 41.0 + y};
      field.AddVertex(p, p, 0);
    }
    doc_->AddFeature(FeatureType::Line, "Track").visible = 1;
    doc_->m_current = 0;
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    if (frame_) frame_->DestroyWindow();
    tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
    template_.reset();
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
    app_.reset();
    platform::OptionsStore::Instance().SetPath("");
    std::filesystem::remove_all(dir_);
  }

  static void Press(CWnd& dialog, int id) {
    wxWindow* button = dialog.GetDlgItemWindow(id);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
  }

  std::filesystem::path dir_;
  HMODULE module_ = nullptr;
  std::unique_ptr<CWinApp> app_;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* doc_ = nullptr;
  CFrameWnd* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

TEST_F(MeasureViewCommands, DividingShowsOnlyThePartsAndCancelPutsEverythingBack) {
  for (bool numbersOn : {false, true}) {
    SCOPED_TRACE(numbersOn ? "numbers on" : "numbers off");
    view_->m_showLabels = numbersOn ? 1 : 0;
    doc_->m_features[1].visible = 1;
    view_->OnSplitFeature();
    ASSERT_EQ(doc_->m_features.size(), 4u);
    EXPECT_EQ(doc_->m_features[2].name, "Field 1/2");
    EXPECT_EQ(doc_->m_features[3].VertexCount(), 3u);
    EXPECT_EQ(doc_->m_features[0].visible, 0);
    EXPECT_EQ(doc_->m_features[1].visible, 0);
    EXPECT_TRUE(doc_->m_splitInProgress);
    EXPECT_EQ(view_->m_showLabels, 1);
    ASSERT_TRUE(view_->m_splitDialog);
    EXPECT_EQ(view_->m_splitDialog->GetWindowText(), "Divide (Field)");
    // The two halves measured as they were appended make up the field.
    doc_->RecomputeAreasAndWait(0);
    const double whole = doc_->m_features[0].area;
    EXPECT_NEAR(whole, 126.0 * 111.0, 100.0);
    EXPECT_NEAR(doc_->m_features[2].area + doc_->m_features[3].area, whole, whole * 1e-9);

    Press(*view_->m_splitDialog, IDCANCEL);
    // The numbers go off again only when the division switched them on.
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showLabels == (numbersOn ? 1 : 0); }));
    EXPECT_EQ(doc_->m_features.size(), 2u);
    EXPECT_EQ(doc_->m_features[0].visible, 1);
    EXPECT_EQ(doc_->m_features[1].visible, 1);
    EXPECT_FALSE(doc_->m_splitInProgress);
  }
}

TEST_F(MeasureViewCommands, DividingByATappedLineAddsBothEndsToBothParts) {
  // The first press starts tapping; a press before the second end only ends it.
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 14);
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(doc_->m_features.size(), 2u);

  // Ends tapped next to the south-west and north-east corners.
  view_->OnSplitByLine();
  doc_->m_tapPoint1 = doc_->m_tapPoint1Wgs84 = {2.00001, 41.00001};
  doc_->m_tapPoint2 = doc_->m_tapPoint2Wgs84 = {2.00149, 41.00099};
  view_->m_tapMode = 15;
  view_->m_secondPointSet = 1;
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(view_->m_secondPointSet, 0);
  ASSERT_EQ(doc_->m_features.size(), 4u);
  const FeatureRecord& second = doc_->m_features[3];  // A, vertices 0..2, B
  ASSERT_EQ(second.VertexCount(), 5u);
  EXPECT_EQ(second.vertexNotes.front(), "A");
  EXPECT_EQ(second.vertexNotes.back(), "B");
  EXPECT_EQ(doc_->m_features[2].vertexNotes.front(), "B");
  EXPECT_TRUE(doc_->IsModified());
}

TEST_F(MeasureViewCommands, WaypointPopupStartsAndStopsTheCompass) {
  WaypointRecord gate;
  gate.name = "Gate";
  gate.x = 2.001;
  gate.y = 41.0;
  doc_->m_waypoints.push_back(gate);
  doc_->m_waypointNotes.emplace_back();
  doc_->m_navStyle = 0;
  doc_->m_navSound = 0;
  view_->m_popupWaypoint = 0;

  view_->OnNavigateWaypoint();
  ASSERT_TRUE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 1);
  EXPECT_EQ(view_->m_navWnd->GetWindowText(), "Gate");
  // Standing 0.001 degree of longitude west of the gate: about 84 m, due east.
  doc_->m_datumLon = 2.0;
  doc_->m_datumLat = 41.0;
  view_->UpdateNavigation();
  EXPECT_NEAR(view_->m_navWnd->m_distance, 84.0, 1.0);
  EXPECT_NEAR(view_->m_navWnd->m_bearing, 90.0, 1.0);

  view_->OnNavigateWaypoint();  // the same waypoint again: navigation ends
  EXPECT_FALSE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 0);
  EXPECT_EQ(view_->m_navTargetIndex, -1);
}

}  // namespace
