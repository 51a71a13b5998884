// The map view's dividing and navigation commands in a real frame (under Xvfb): what the
// document holds and shows before, during and after a division, and the compass opened and
// closed from the waypoint popup.
#include <gtest/gtest.h>
#include <wx/app.h>

#include <memory>

#include "dialogs/measure_dialogs.h"
#include "tests/measure/measure_windows.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"

namespace {

class MeasureViewCommands : public MeasureWindowTest {
 protected:
  void SetUp() override {
    MeasureWindowTest::SetUp();
    if (IsSkipped()) return;
    Store("Labels", 0);

    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CFrameWnd, CTolvanixView>(128));
    mapDoc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    ASSERT_NE(mapDoc_, nullptr);
    frame_ = template_->GetFrame();
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    frame_->ShowWindow(SW_SHOW);

    // A field (about 110 m x 110 m) and a second, visible feature.
    mapDoc_->m_features.clear();
    FeatureRecord& field = mapDoc_->AddFeature(FeatureType::Area, "Field");
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0015, 0.0}, {0.0015, 0.001}, {0.0, 0.001}}) {
      const GeoPoint p{2.0 + x, 41.0 + y};
      field.AddVertex(p, p, 0);
    }
    mapDoc_->AddFeature(FeatureType::Line, "Track").visible = 1;
    mapDoc_->m_current = 0;
  }

  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    if (frame_) frame_->DestroyWindow();
    tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
    template_.reset();
    MeasureWindowTest::TearDown();
  }

  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* mapDoc_ = nullptr;
  CFrameWnd* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

TEST_F(MeasureViewCommands, DividingShowsOnlyThePartsAndCancelPutsEverythingBack) {
  for (bool numbersOn : {false, true}) {
    SCOPED_TRACE(numbersOn ? "numbers on" : "numbers off");
    view_->m_showLabels = numbersOn ? 1 : 0;
    mapDoc_->m_features[1].visible = 1;
    view_->OnSplitFeature();
    ASSERT_EQ(mapDoc_->m_features.size(), 4u);
    EXPECT_EQ(mapDoc_->m_features[2].name, "Field 1/2");
    EXPECT_EQ(mapDoc_->m_features[3].VertexCount(), 3u);
    EXPECT_EQ(mapDoc_->m_features[0].visible, 0);
    EXPECT_EQ(mapDoc_->m_features[1].visible, 0);
    EXPECT_TRUE(mapDoc_->m_splitInProgress);
    EXPECT_EQ(view_->m_showLabels, 1);
    ASSERT_TRUE(view_->m_splitDialog);
    EXPECT_EQ(view_->m_splitDialog->GetWindowText(), "Divide (Field)");
    // The two halves measured as they were appended make up the field.
    mapDoc_->RecomputeAreasAndWait(0);
    const double whole = mapDoc_->m_features[0].area;
    EXPECT_NEAR(whole, 126.0 * 111.0, 100.0);
    EXPECT_NEAR(mapDoc_->m_features[2].area + mapDoc_->m_features[3].area, whole, whole * 1e-9);

    Click(*view_->m_splitDialog, IDCANCEL);
    // The numbers go off again only when the division switched them on.
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showLabels == (numbersOn ? 1 : 0); }));
    EXPECT_EQ(mapDoc_->m_features.size(), 2u);
    EXPECT_EQ(mapDoc_->m_features[0].visible, 1);
    EXPECT_EQ(mapDoc_->m_features[1].visible, 1);
    EXPECT_FALSE(mapDoc_->m_splitInProgress);
  }
}

TEST_F(MeasureViewCommands, DividingByATappedLineAddsBothEndsToBothParts) {
  // The first press starts tapping; a press before the second end only ends it.
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 14);
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(mapDoc_->m_features.size(), 2u);

  // Ends tapped next to the south-west and north-east corners.
  view_->OnSplitByLine();
  mapDoc_->m_tapPoint1 = mapDoc_->m_tapPoint1Wgs84 = {2.00001, 41.00001};
  mapDoc_->m_tapPoint2 = mapDoc_->m_tapPoint2Wgs84 = {2.00149, 41.00099};
  view_->m_tapMode = 15;
  view_->m_secondPointSet = 1;
  view_->OnSplitByLine();
  EXPECT_EQ(view_->m_tapMode, 0);
  EXPECT_EQ(view_->m_secondPointSet, 0);
  ASSERT_EQ(mapDoc_->m_features.size(), 4u);
  const FeatureRecord& second = mapDoc_->m_features[3];  // A, vertices 0..2, B
  ASSERT_EQ(second.VertexCount(), 5u);
  EXPECT_EQ(second.vertexNotes.front(), "A");
  EXPECT_EQ(second.vertexNotes.back(), "B");
  EXPECT_EQ(mapDoc_->m_features[2].vertexNotes.front(), "B");
  EXPECT_TRUE(mapDoc_->IsModified());
}

TEST_F(MeasureViewCommands, WaypointPopupStartsAndStopsTheCompass) {
  WaypointRecord gate;
  gate.name = "Gate";
  gate.x = 2.001;
  gate.y = 41.0;
  mapDoc_->m_waypoints.push_back(gate);
  mapDoc_->m_waypointNotes.emplace_back();
  mapDoc_->m_navStyle = 0;
  mapDoc_->m_navSound = 0;
  view_->m_popupWaypoint = 0;

  view_->OnNavigateWaypoint();
  ASSERT_TRUE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 1);
  EXPECT_EQ(view_->m_navWnd->GetWindowText(), "Gate");
  // Standing 0.001 degree of longitude west of the gate: about 84 m, due east.
  mapDoc_->m_datumLon = 2.0;
  mapDoc_->m_datumLat = 41.0;
  view_->UpdateNavigation();
  EXPECT_NEAR(view_->m_navWnd->m_distance, 84.0, 1.0);
  EXPECT_NEAR(view_->m_navWnd->m_bearing, 90.0, 1.0);

  view_->OnNavigateWaypoint();  // the same waypoint again: navigation ends
  EXPECT_FALSE(view_->m_navWnd);
  EXPECT_EQ(view_->m_navActive, 0);
  EXPECT_EQ(view_->m_navTargetIndex, -1);
}

}  // namespace
