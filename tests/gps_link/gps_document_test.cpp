// End to end without a display: the receiver simulator walks round a known field on a
// pseudo-terminal, the document switches GPS reading on (each reader variant, and through
// the virtual port), this thread stands in for the map view (it pumps the posted messages
// and runs automatic capture on each position, as the view does), and the measured area
// and perimeter are compared with the field's.
#include <gtest/gtest.h>
#include <time.h>

#include <thread>

#include "document/tolvanix_doc.h"
#include "gps/gps_reader.h"
#include "platform/threads.h"
#include "platform/window_messages.h"
#include "serial/serial.h"
#include "tests/gps_link/gps_link_support.h"
#include "view/core/info_panels.h"

namespace gps_link_test {
namespace {

// The field of the walk "field_100x60" (tools/walk_gen/CMakeLists.txt): 100 x 60 m.
constexpr double kFieldArea = 6000.0;
constexpr double kFieldPerimeter = 320.0;

// What the map view does with the document's messages, without a window.
class ViewStandIn : public CCmdTarget {
 public:
  explicit ViewStandIn(CTolvanixDoc& doc) : doc_(doc) { handle_ = platform::AttachWindow(this); }
  ~ViewStandIn() override { platform::DetachWindow(handle_); }
  HWND Handle() const { return handle_; }

  LRESULT OnRefreshGps(WPARAM, LPARAM) {
    ++refreshes;
    if (!measuring) return 0;
    // The measurement starts with the first fix (as the first-fix wait does), then
    // captures by distance.
    if (doc_.CurrentFeature()->VertexCount() == 0) {
      if (doc_.m_hasFix) doc_.OnCapturePoint();
    } else if (doc_.m_autoCapture) {
      doc_.AutoCaptureCheck();
    }
    return 0;
  }
  LRESULT OnDibujarCampos(WPARAM, LPARAM) {
    ++redraws;
    return 0;
  }

  int refreshes = 0;
  int redraws = 0;
  bool measuring = false;

 private:
  CTolvanixDoc& doc_;
  HWND handle_ = nullptr;

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ViewStandIn, CCmdTarget)
  ON_REGISTERED_MESSAGE(WM_REFRESH_GPS, &ViewStandIn::OnRefreshGps)
  ON_REGISTERED_MESSAGE(WM_DIBUJAR_CAMPOS, &ViewStandIn::OnDibujarCampos)
END_MESSAGE_MAP()

class DocumentLink : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    platform::SetUiThread();
    doc_ = std::make_unique<CTolvanixDoc>();
    view_ = std::make_unique<ViewStandIn>(*doc_);
    doc_->m_hwndView = view_->Handle();
    doc_->m_port = 3;
    doc_->m_baudIndex = 1;  // 4800 bit/s
    platform::PumpMessages();
  }
  void TearDown() override {
    if (doc_->m_gpsOn) doc_->ToggleGps();
    platform::PumpMessages();
    view_.reset();
    doc_.reset();
    LinkTest::TearDown();
  }


  // Switches off through the GPS command and returns how long it took.
  std::chrono::milliseconds SwitchOff() {
    auto asked = Clock::now();
    doc_->OnGpsOnOff();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
  }

  std::unique_ptr<CTolvanixDoc> doc_;
  std::unique_ptr<ViewStandIn> view_;
};

class ReaderVariantWalk : public DocumentLink, public ::testing::WithParamInterface<int> {};

TEST_P(ReaderVariantWalk, AutomaticCaptureMeasuresTheWalkedField) {
  doc_->m_commEventReader = GetParam();
  doc_->m_autoCaptureDistance = 10.0;  // metres
  // Sanitizer builds play the walk slower: the view (this thread) must keep up with it.
  StartReceiver("field_100x60", 40.0 / kSlowdown, 3, /*loop=*/false);
  doc_->m_autoCapture = true;
  view_->measuring = true;
  doc_->OnGpsOnOff();
  ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy; }, 4s));
  ASSERT_TRUE(doc_->m_gpsOn);

  ASSERT_TRUE(PumpUntil([&] { return simulator_.Finished(); }, Bound(20s)));
  PumpUntil([] { return false; }, 300ms);  // the last sentences reach the view
  EXPECT_GT(view_->refreshes, 200);
  EXPECT_TRUE(doc_->m_hasFix);
  EXPECT_NEAR(doc_->m_gpsLat, 40.4168, 0.01);

  const int redrawsBefore = view_->redraws;
  doc_->m_trail.push_back({-3.70, 40.41});  // an offset track left from the walk
  EXPECT_LT(SwitchOff(), Bound(1000ms));
  EXPECT_FALSE(doc_->m_gpsOn);
  EXPECT_TRUE(doc_->m_trail.empty()) << "switching off clears the offset track";
  EXPECT_FALSE(doc_->m_hasFix);
  EXPECT_EQ(doc_->m_gpsLat, 0.0);
  EXPECT_EQ(doc_->m_satellites, 0);
  PumpUntil([&] { return view_->redraws > redrawsBefore; }, 1s);
  EXPECT_GT(view_->redraws, redrawsBefore);

  doc_->RecomputeAreasAndWait(-1);
  const FeatureRecord& field = *doc_->CurrentFeature();
  // A vertex every 10 m or a little more: the walk plays 40 times faster than walked, so
  // the view sees a position every few metres (the polling reader hands over 100 ms, about
  // 5 m, at once) and captures up to 15 m apart.
  EXPECT_GE(field.VertexCount(), 20u);
  EXPECT_LE(field.VertexCount(), 34u);
  // Captures 10-15 m apart cut the field's corners (up to 110 m2 of area and 9 m of
  // perimeter at each) and the receiver's wandering error (under a metre) moves the
  // boundary; found within 1.5 % and 4.5 %.
  EXPECT_NEAR(field.area, kFieldArea, 0.04 * kFieldArea);
  EXPECT_NEAR(field.perimeter, kFieldPerimeter, 0.07 * kFieldPerimeter);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

INSTANTIATE_TEST_SUITE_P(PollingAndEvents, ReaderVariantWalk, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Events" : "Polling"; });

TEST_F(DocumentLink, SharedThroughTheVirtualPort) {
  StartReceiver("field_100x60", 20, 3);
  doc_->m_useVirtualPort = 1;
  doc_->OnGpsOnOff();
  ASSERT_TRUE(doc_->m_virtualPortRunning);
  ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy && doc_->m_hasFix; }, 4s));

  // A second program reads the published port while the document keeps its fixes.
  CSerial outside;
  ASSERT_EQ(outside.Open(platform::PublishedSerialPort(0)), 0);
  outside.Purge();
  const int refreshesBefore = view_->refreshes;
  std::string text;
  // About 1 s of the walk (20 fixes a second) for both readers.
  PumpUntil(
      [&] {
        char buffer[512];
        DWORD got = 0;
        outside.Read(buffer, sizeof buffer, &got);
        text.append(buffer, got);
        return GgaLines(text).size() >= 15 && view_->refreshes - refreshesBefore >= 15;
      },
      Bound(3000ms));
  EXPECT_GE(GgaLines(text).size(), 15u);
  EXPECT_GE(view_->refreshes - refreshesBefore, 15);

  EXPECT_LT(SwitchOff(), Bound(1000ms));
  EXPECT_FALSE(doc_->m_virtualPortRunning);
  EXPECT_TRUE(platform::PublishedSerialPort(0).empty());
  EXPECT_EQ(doc_->m_useVirtualPort, 1);  // the option stays as chosen
}

TEST_F(DocumentLink, ExitStopsTheReaderAndReleasesThePort) {
  StartReceiver("field_100x60", 20, 3);
  doc_->OnGpsOnOff();
  ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy && doc_->m_hasFix; }, 4s));
  EXPECT_NE(platform::SerialDevice::Probe("COM3:"), 0u);  // held by the reader
  auto asked = Clock::now();
  doc_->OnAppExit();
  EXPECT_LT(Clock::now() - asked, Bound(1000ms));
  EXPECT_FALSE(doc_->m_gpsOn);
  EXPECT_TRUE(WaitFor([] { return platform::SerialDevice::Probe("COM3:") == 0u; }, Bound(1000ms)));
}

TEST_F(DocumentLink, FailuresLeaveTheSwitchUsable) {
  // Not configured: the command does nothing.
  doc_->m_port = -1;
  doc_->OnGpsOnOff();
  EXPECT_FALSE(doc_->m_gpsOn);
  EXPECT_FALSE(doc_->m_gpsBusy);

  // A port that does not exist: told, off again, and can be switched on again.
  ASSERT_TRUE(platform::PublishSerialPort(6, "/nonexistent/gps"));
  doc_->m_port = 6;
  doc_->OnGpsOnOff();
  ASSERT_TRUE(WaitFor([&] { return !doc_->m_gpsBusy; }, 2s));
  EXPECT_FALSE(doc_->m_gpsOn);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, LoadResString(59172));

  // Shared, with the receiver's port missing: the bridge fails, the GPS shows as on
  // without a reader, and switching off does not wait for either.
  doc_->m_useVirtualPort = 1;
  doc_->OnGpsOnOff();
  EXPECT_TRUE(doc_->m_gpsOn);
  EXPECT_FALSE(doc_->m_gpsBusy);
  EXPECT_LT(SwitchOff(), Bound(200ms));
  EXPECT_FALSE(doc_->m_gpsOn);
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Unable to open GPS port");

  // A silent receiver with the event-driven reader: a second command while the switch-on
  // waits for data is refused; after about 2 s it is told, stays on, and switches off.
  StartSilentReceiver(6);
  doc_->m_useVirtualPort = 0;
  doc_->m_commEventReader = 1;
  doc_->OnGpsOnOff();
  std::this_thread::sleep_for(200ms);
  doc_->OnGpsOnOff();
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Wait please");
  ASSERT_TRUE(WaitFor([&] { return !doc_->m_gpsBusy; }, 4s));
  EXPECT_TRUE(doc_->m_gpsOn);
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, LoadResString(59224));
  EXPECT_LT(SwitchOff(), Bound(200ms));
  EXPECT_FALSE(doc_->m_gpsOn);
}

TEST_F(DocumentLink, DeclinedVirtualPortIsDroppedAtSwitchOff) {
  StartReceiver("field_100x60", 20, 3);
  // The driver's entry cannot be written (the store's folder is a file), so the driver
  // cannot be loaded; NO goes on without sharing.
  std::ofstream((dir_ / "not_a_folder").string()) << "x";
  platform::OptionsStore::Instance().SetPath((dir_ / "not_a_folder" / "registry.ini").string());
  platform::MessageBoxScript::Push(IDOK);  // the entry that could not be stored
  platform::MessageBoxScript::Push(IDNO);
  doc_->m_useVirtualPort = 1;
  doc_->OnGpsOnOff();
  EXPECT_TRUE(doc_->m_gpsOn);
  ASSERT_TRUE(WaitFor([&] { return !doc_->m_gpsBusy; }, 2s));
  EXPECT_LT(SwitchOff(), Bound(200ms));
  EXPECT_EQ(doc_->m_useVirtualPort, 0);
  // The entry that could not be stored is said, then the question.
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "The settings cannot be stored in " + (dir_ / "not_a_folder" / "registry.ini").string() +
                               "; the file keeps the values it held.");
  EXPECT_EQ(shown[1].text, LoadResString(59226));
}

// The three ways a receiver is read: the polling reader, the event-driven reader, and the
// polling reader behind the virtual port's bridge.
enum class Way { Polling, Events, Bridge };

class ReceiverGoesAway : public DocumentLink, public ::testing::WithParamInterface<Way> {
 protected:
  void SwitchOn() {
    doc_->m_commEventReader = GetParam() == Way::Events ? 1 : 0;
    doc_->m_useVirtualPort = GetParam() == Way::Bridge ? 1 : 0;
    doc_->OnGpsOnOff();
    ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy && doc_->m_hasFix; }, Bound(4s)));
  }
};

// CPU time of the whole process, in milliseconds.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

TEST_P(ReceiverGoesAway, ReadingEndsWithAMessageAndSwitchesOnAgainOnceItIsBack) {
  StartReceiver("field_100x60", 20, 3);
  SwitchOn();
  const int redrawsBefore = view_->redraws;

  // The far end closes mid-walk, as an unplugged adapter or a dropped link does.
  auto gone = Clock::now();
  simulator_.Stop();
  ASSERT_TRUE(WaitFor([&] { return !doc_->m_gpsOn; }, Bound(1000ms)));
  EXPECT_LT(Clock::now() - gone, Bound(1000ms));
  EXPECT_FALSE(doc_->m_gpsBusy);
  // The threads have ended on their own: nothing keeps a core busy meanwhile.
  std::this_thread::sleep_for(200ms);
  const double cpuBefore = ProcessCpuMs();
  std::this_thread::sleep_for(500ms);
  EXPECT_LT(ProcessCpuMs() - cpuBefore, 150.0);

  // The user-interface side finishes the switch-off: no fix is left on screen.
  ASSERT_TRUE(PumpUntil([&] { return view_->redraws > redrawsBefore; }, 1s));
  EXPECT_FALSE(doc_->m_hasFix);
  EXPECT_EQ(doc_->m_satellites, 0);
  EXPECT_EQ(doc_->m_gpsLat, 0.0);
  EXPECT_EQ(FixQualityText(doc_->m_gpsOn, doc_->m_fixQuality), "Disconnected");
  const std::size_t vertices = doc_->CurrentFeature()->VertexCount();
  doc_->OnCapturePoint();
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), vertices);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u) << "one message, also behind the virtual port";
  EXPECT_EQ(shown[0].text, ReceiverLostText("COM3:"));
  EXPECT_NE(shown[0].text.find("COM3:"), std::string::npos);
  EXPECT_EQ(shown[0].style, MB_OK | MB_ICONEXCLAMATION);
  if (GetParam() == Way::Bridge) {
    EXPECT_FALSE(doc_->m_virtualPortRunning);
    EXPECT_TRUE(platform::PublishedSerialPort(0).empty());
  }

  // The receiver comes back (on a new terminal, as a re-plugged adapter may): switching on
  // reads it again.
  StartReceiver("field_100x60", 20, 3);
  const int refreshesBefore = view_->refreshes;
  SwitchOn();
  EXPECT_TRUE(doc_->m_gpsOn);
  ASSERT_TRUE(PumpUntil([&] { return view_->refreshes - refreshesBefore >= 10; }, Bound(3s)));
  EXPECT_LT(SwitchOff(), Bound(1000ms));
  EXPECT_FALSE(doc_->m_gpsOn);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

// Unplugged while the switch-on still waits for its first bytes: the same loss, not a
// receiver that sends nothing.
TEST_P(ReceiverGoesAway, GoneBeforeItSentAnythingIsTheSameLoss) {
  StartSilentReceiver(3);
  doc_->m_commEventReader = GetParam() == Way::Events ? 1 : 0;
  doc_->m_useVirtualPort = GetParam() == Way::Bridge ? 1 : 0;
  std::thread unplug([this] {
    std::this_thread::sleep_for(300ms);
    silent_.Close();
  });
  doc_->OnGpsOnOff();
  const bool ended = PumpUntil([&] { return !doc_->m_gpsOn && !doc_->m_gpsBusy; }, Bound(3s));
  unplug.join();
  ASSERT_TRUE(ended);
  PumpUntil([] { return false; }, 100ms);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, ReceiverLostText("COM3:"));
  EXPECT_FALSE(doc_->m_virtualPortRunning);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ReceiverGoesAway, ::testing::Values(Way::Polling, Way::Events, Way::Bridge),
                         [](const auto& info) {
                           switch (info.param) {
                             case Way::Polling: return std::string("Polling");
                             case Way::Events: return std::string("Events");
                             default: return std::string("Bridge");
                           }
                         });

// A clock the test moves on, so no test waits for the fix time-out.
std::atomic<std::int64_t> g_clockShiftMs{0};
std::int64_t ShiftedClock() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count() +
         g_clockShiftMs.load();
}

TEST_F(DocumentLink, FixThatStopsArrivingIsNoFixAfterTheTimeOut) {
  g_clockShiftMs = 0;
  CTolvanixDoc::SetFixClock(&ShiftedClock);
  // A receiver that stays connected and sends only what the test writes.
  StartSilentReceiver(3);
  doc_->OnGpsOnOff();
  ASSERT_TRUE(PumpUntil([&] { return !doc_->m_gpsBusy; }, Bound(2s)));
  const std::string gga = "$GPGGA,080003.00,4025.0073,N,00342.2284,W,1,09,0.9,650.1,M,51.2,M,,*7F\r\n";
  silent_.Write(gga.data(), gga.size());
  // The position is stored just after the fix flag: wait for its announcement.
  ASSERT_TRUE(PumpUntil([&] { return view_->refreshes > 0; }, Bound(2s)));
  ASSERT_TRUE(doc_->m_hasFix);
  doc_->OnCapturePoint();
  ASSERT_EQ(doc_->CurrentFeature()->VertexCount(), 1u);

  // A second before the time-out: still a fix.
  g_clockShiftMs = doc_->m_lastFixMs + CTolvanixDoc::kFixTimeoutMs - 1000 - ShiftedClock();
  EXPECT_TRUE(doc_->HasCurrentFix());
  g_clockShiftMs = CTolvanixDoc::kFixTimeoutMs + 1000;
  EXPECT_TRUE(doc_->m_gpsOn) << "a silent receiver keeps being read";
  EXPECT_FALSE(doc_->HasCurrentFix());
  EXPECT_FALSE(doc_->TakeFix().hasFix);

  // Capture, automatic capture, averaging and waypoints refuse the old position.
  doc_->OnCapturePoint();
  doc_->m_autoCaptureDistance = -1.0;  // any distance would do
  doc_->AutoCaptureCheck();
  doc_->CapturePoint();
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), 1u);
  AverageTexts texts;
  EXPECT_FALSE(doc_->AddAverageSample(texts));
  EXPECT_TRUE(doc_->m_samples.empty());
  doc_->OnAddWaypoint();
  EXPECT_TRUE(doc_->m_waypoints.empty());

  // The status says so: the state box, and the fix quality of the status pane.
  platform::MessageBoxScript::Push(IDOK);
  doc_->ShowGpsStatus();
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("Status: No coverage\n", 0), 0u) << shown[0].text;
  EXPECT_FALSE(doc_->m_hasFix);
  EXPECT_EQ(FixQualityText(doc_->m_gpsOn, doc_->m_fixQuality), "No coverage");

  // A fix that comes again counts again.
  const int refreshesBefore = view_->refreshes;
  silent_.Write(gga.data(), gga.size());
  ASSERT_TRUE(PumpUntil([&] { return view_->refreshes > refreshesBefore; }, Bound(2s)));
  EXPECT_TRUE(doc_->HasCurrentFix());
  doc_->OnCapturePoint();
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), 2u);
  AverageTexts again;
  EXPECT_TRUE(doc_->AddAverageSample(again));
  EXPECT_LT(SwitchOff(), Bound(1000ms));
  CTolvanixDoc::SetFixClock(nullptr);
}

}  // namespace
}  // namespace gps_link_test
