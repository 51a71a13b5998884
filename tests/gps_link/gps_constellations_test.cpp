// A multi-constellation receiver (GN positions, one GSA per constellation, satellites in view
// under GP, GL and GA, NMEA 4.10 fields) on a pseudo-terminal: with GPS reading switched on
// the status shows the fix and the satellites of every constellation, and automatic capture
// measures the walked field.
#include <gtest/gtest.h>

#include "document/tolvanix_doc.h"
#include "platform/threads.h"
#include "platform/window_messages.h"
#include "tests/gps_link/gps_link_support.h"
#include "view/core/info_panels.h"

namespace gps_link_test {
namespace {

// Stands in for the map view: on each position it captures as the view does while a
// measurement runs (the first fix, then by distance).
class CapturingView : public CCmdTarget {
 public:
  explicit CapturingView(CTolvanixDoc& doc) : doc_(doc) { handle_ = platform::AttachWindow(this); }
  ~CapturingView() override { platform::DetachWindow(handle_); }
  HWND Handle() const { return handle_; }

  LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
    if (message != WM_REFRESH_GPS) return 0;
    ++refreshes;
    if (doc_.CurrentFeature()->VertexCount() == 0) {
      if (doc_.m_hasFix) doc_.OnCapturePoint();
    } else {
      doc_.AutoCaptureCheck();
    }
    return 0;
  }

  int refreshes = 0;

 private:
  CTolvanixDoc& doc_;
  HWND handle_ = nullptr;
};

class ConstellationLink : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    platform::SetUiThread();
    doc_ = std::make_unique<CTolvanixDoc>();
    view_ = std::make_unique<CapturingView>(*doc_);
    doc_->m_hwndView = view_->Handle();
    doc_->m_port = 3;
    doc_->m_baudIndex = 1;
    platform::PumpMessages();
  }
  void TearDown() override {
    if (doc_->m_gpsOn) doc_->ToggleGps();
    platform::PumpMessages();
    view_.reset();
    doc_.reset();
    LinkTest::TearDown();
  }

  std::unique_ptr<CTolvanixDoc> doc_;
  std::unique_ptr<CapturingView> view_;
};

TEST_F(ConstellationLink, StatusShowsTheFixAndCaptureMeasuresTheField) {
  doc_->m_autoCaptureDistance = 10.0;  // metres
  StartReceiver("field_100x60_mixed", 40.0 / kSlowdown, 3, /*loop=*/false);
  EXPECT_EQ(FixQualityText(doc_->m_gpsOn, doc_->m_fixQuality), LoadResString(59161));
  doc_->OnGpsOnOff();
  ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy; }, 4s));
  ASSERT_TRUE(doc_->m_gpsOn);

  // The walk starts with three seconds without a fix.
  GpsFix fix;
  ASSERT_TRUE(PumpUntil(
      [&] {
        fix = doc_->TakeFix();
        return fix.hasFix && fix.gpsLat > 1.0;
      },
      Bound(3s)));
  EXPECT_EQ(FixQualityText(doc_->m_gpsOn, doc_->m_fixQuality), "GPS Fix 3D");
  EXPECT_NEAR(fix.gpsLat, 40.4168, 0.01);
  EXPECT_NEAR(fix.gpsLon, -3.7038, 0.01);

  ASSERT_TRUE(PumpUntil([&] { return simulator_.Finished(); }, Bound(20s)));
  PumpUntil([] { return false; }, 300ms);  // the last sentences reach the view
  // The last epoch: the receiver counts the GPS and GLONASS satellites it uses; so do the
  // GSA lists, and all 25 satellites in view are listed.
  const NmeaState s = doc_->m_nmea.Snapshot();
  EXPECT_GT(doc_->m_satellites, 5);
  EXPECT_EQ(doc_->m_satellites, s.gga.satellites);
  EXPECT_EQ(s.gsa.usedCount, s.gga.satellites);
  EXPECT_EQ(s.gsv.satellitesInView, 25);
  char expected[64];
  std::snprintf(expected, sizeof expected, "Sat %d HDOP %.1f", s.gga.satellites, s.gga.hdop);
  EXPECT_EQ(doc_->SatIndicatorText(), expected);
  EXPECT_GT(view_->refreshes, 200);

  doc_->OnGpsOnOff();
  EXPECT_FALSE(doc_->m_gpsOn);
  doc_->RecomputeAreasAndWait(-1);
  const FeatureRecord& field = *doc_->CurrentFeature();
  EXPECT_GE(field.VertexCount(), 20u);
  EXPECT_NEAR(field.area, 6000.0, 0.04 * 6000.0);
  EXPECT_NEAR(field.perimeter, 320.0, 0.07 * 320.0);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

}  // namespace
}  // namespace gps_link_test
