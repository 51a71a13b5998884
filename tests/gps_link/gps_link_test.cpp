// The reader threads and the virtual-port bridge on pseudo-terminals: the receiver
// simulator plays a recorded walk, the threads feed a parser, and switching off ends
// them promptly whatever the receiver does.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

#include "gps/gps_link.h"
#include "gps/gps_reader.h"
#include "gps/nmea_parser.h"
#include "gps/virtual_port.h"
#include "platform/threads.h"
#include "tests/gps_link/gps_link_support.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace gps_link_test {
namespace {

struct Flags {
  std::atomic<bool> gpsOn{true};  // the switch-on sets it before the thread starts
  std::atomic<bool> gpsBusy{true};
  std::atomic<bool> running{false};
};

// Starts a reader over `port`; the stop event and thread handle are closed by Finish.
class ReaderRun {
 public:
  ReaderRun(const std::string& port, bool onEvents, CNmeaParser& parser, Flags& flags, DWORD rate = 4800) {
    stopEvent = CreateEvent(FALSE, FALSE);
    GpsReaderSetup setup;
    setup.portName = port;
    setup.baudRate = rate;
    setup.onEvents = onEvents;
    setup.feed = [&parser](const std::uint8_t* bytes, std::size_t length) { parser.ParseBuffer(bytes, length); };
    setup.gpsOn = &flags.gpsOn;
    setup.gpsBusy = &flags.gpsBusy;
    setup.stopEvent = stopEvent;
    reader = std::make_shared<GpsReader>(setup);
    thread = reader->Start();
  }
  // Asks the thread to stop and returns how long it took to end (at most 5 s waited).
  std::chrono::milliseconds Stop() {
    auto asked = Clock::now();
    reader->RequestStop();
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
  }
  DWORD ExitCode() {
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
  }
  ~ReaderRun() {
    CloseHandle(thread);
    CloseHandle(stopEvent);
  }

  HANDLE stopEvent;
  HANDLE thread;
  std::shared_ptr<GpsReader> reader;
};

class ReaderVariants : public LinkTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReaderVariants, FeedsTheParserAndStopsWithinASecond) {
  const bool onEvents = GetParam();
  StartReceiver("field_100x60", 50, 3);
  CNmeaParser parser;
  Flags flags;
  ReaderRun run("COM3:", onEvents, parser, flags);
  ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, 4s));
  EXPECT_TRUE(flags.gpsOn.load());
  // Fifty epochs a second: a reader that does not keep up would lag far behind.
  ASSERT_TRUE(WaitFor([&] { return parser.Snapshot().gga.count >= 60; }, 4s));
  NmeaState state = parser.Snapshot();
  EXPECT_NEAR(state.gga.latitude, 40.4168, 0.01);
  EXPECT_NEAR(state.gga.longitude, -3.7038, 0.01);
  EXPECT_GE(state.gsv.count, 3 * (state.gga.count - 5));  // whole epochs, nothing dropped
  EXPECT_LT(run.Stop(), Bound(1000ms));
  EXPECT_EQ(run.ExitCode(), kGpsThreadStopped);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

TEST_P(ReaderVariants, SilentReceiverDoesNotHoldUpTheSwitchOff) {
  StartSilentReceiver(4);
  CNmeaParser parser;
  Flags flags;
  ReaderRun run("COM4:", GetParam(), parser, flags);
  // A few sentences, as a receiver that then falls silent with its port still open (the
  // event-driven reader takes the first bytes as the sign that data comes).
  const std::string gga = "$GPGGA,080003.00,4025.0073,N,00342.2284,W,1,09,0.9,650.1,M,51.2,M,,*7F\r\n";
  ASSERT_TRUE(WaitFor([&] { return silent_.SlaveBaudRate() == 4800; }, 2s));
  std::this_thread::sleep_for(150ms);
  silent_.Write(gga.data(), gga.size());
  ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, 3s));
  silent_.Write(gga.data(), gga.size());
  ASSERT_TRUE(WaitFor([&] { return parser.Snapshot().gga.count >= 1; }, 3s));
  std::this_thread::sleep_for(300ms);
  EXPECT_LT(run.Stop(), Bound(1000ms));
  EXPECT_EQ(run.ExitCode(), kGpsThreadStopped);
}

TEST_P(ReaderVariants, PortThatCannotBeOpenedIsToldAndSwitchesOff) {
  CNmeaParser parser;
  Flags flags;
  ReaderRun run("/nonexistent/gps", GetParam(), parser, flags);
  EXPECT_EQ(run.ExitCode(), kGpsThreadPortFailed);
  EXPECT_FALSE(flags.gpsOn.load());
  EXPECT_FALSE(flags.gpsBusy.load());
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, LoadResString(59172));
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
  EXPECT_EQ(shown[0].style, MB_OK | MB_ICONEXCLAMATION);
}

INSTANTIATE_TEST_SUITE_P(PollingAndEvents, ReaderVariants, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Events" : "Polling"; });

TEST_F(LinkTest, EventReaderOnASilentReceiverGivesUpAfterTwoSecondsAndStaysOn) {
  StartSilentReceiver(4);
  CNmeaParser parser;
  Flags flags;
  auto started = Clock::now();
  ReaderRun run("COM4:", true, parser, flags);
  EXPECT_EQ(run.ExitCode(), kGpsThreadNoData);
  EXPECT_GT(Clock::now() - started, 1800ms);
  EXPECT_TRUE(flags.gpsOn.load());
  EXPECT_FALSE(flags.gpsBusy.load());
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, LoadResString(59224));

  // Switched off while still waiting for data: no message, ends at once.
  ReaderRun second("COM4:", true, parser, flags);
  std::this_thread::sleep_for(300ms);
  EXPECT_LT(second.Stop(), 500ms);
  EXPECT_EQ(second.ExitCode(), kGpsThreadStopped);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

// Records the GGA times the reader behind the virtual port delivered.
std::mutex g_seenMutex;
std::set<std::string> g_seenTimes;
CNmeaParser* g_sharedParser = nullptr;

void RecordGga(NmeaSentenceKind kind) {
  if (kind != NMEA_GGA) return;
  char time[16];
  std::snprintf(time, sizeof time, "%02u%02u%02u", g_sharedParser->m_gga.hour, g_sharedParser->m_gga.minute,
                static_cast<unsigned>(g_sharedParser->m_gga.second));
  std::lock_guard<std::mutex> lock(g_seenMutex);
  g_seenTimes.insert(time);
}

struct BridgeRun {
  BridgeRun(Flags& flags, int gpsPort, const std::string& driverKey = "\\Drivers\\VirtualComPort") {
    ready = CreateEvent(FALSE, FALSE);
    done = CreateEvent(FALSE, FALSE);
    VirtualPortSetup setup;
    setup.gpsPort = gpsPort;
    setup.driverKey = driverKey;
    setup.gpsBusy = &flags.gpsBusy;
    setup.running = &flags.running;
    setup.ready = ready;
    setup.done = done;
    bridge = std::make_shared<VirtualPortBridge>(setup);
    thread = bridge->Start();
  }
  ~BridgeRun() {
    bridge->RequestStop();
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
    CloseHandle(done);
  }
  HANDLE ready, done, thread;
  std::shared_ptr<VirtualPortBridge> bridge;
};

TEST_F(LinkTest, VirtualPortGivesTheProgramAndAnOutsideReaderTheSameSentences) {
  ASSERT_TRUE(SetupVirtualComPort());
  auto& store = platform::OptionsStore::Instance();
  EXPECT_EQ(store.GetString(VirtualComPortKey(), "Dll"), "VirtualComPort.dll");
  EXPECT_EQ(store.GetString(VirtualComPortKey(), "Prefix"), "COM");
  EXPECT_EQ(store.GetString(VirtualComPortKey(), "FriendlyName"), "Virtual Com Port");
  EXPECT_EQ(store.GetInt(VirtualComPortKey(), "Index"), 0);

  const std::string log = ReadText(WalkPath("field_100x60"));
  StartReceiver("field_100x60", 20, 3);
  Flags flags;
  BridgeRun bridge(flags, 3);
  ASSERT_EQ(WaitForSingleObject(bridge.ready, 4000), WAIT_OBJECT_0);
  ASSERT_TRUE(flags.running.load());

  // Another program finds the published port through the store, the same map it uses.
  const std::string published = platform::PublishedSerialPort(0);
  ASSERT_FALSE(published.empty());
  EXPECT_NE(published, platform::SerialDevicePath(0));  // this process reads its own channel
  CSerial outside;
  ASSERT_EQ(outside.Open(published), 0);
  outside.Purge();

  CNmeaParser parser;
  g_sharedParser = &parser;
  g_seenTimes.clear();
  CNmeaParser::SetCallback(&RecordGga);
  flags.gpsBusy = true;
  ReaderRun reader("COM0:", false, parser, flags, kVirtualPortRate);
  ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, 2s));

  std::string outsideText;
  auto end = Clock::now() + 2500ms;
  while (Clock::now() < end) {
    char buffer[512];
    DWORD got = 0;
    outside.Read(buffer, sizeof buffer, &got);
    outsideText.append(buffer, got);
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_LT(reader.Stop(), Bound(1000ms));
  CNmeaParser::SetCallback(nullptr);

  auto outsideGga = GgaLines(outsideText);
  ASSERT_GE(outsideGga.size(), 30u);
  std::set<std::string> outsideTimes;
  for (const auto& line : outsideGga) {
    EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line;  // byte for byte as sent
    outsideTimes.insert(line.substr(7, 6));
  }
  std::lock_guard<std::mutex> lock(g_seenMutex);
  ASSERT_GE(g_seenTimes.size(), 30u);
  // Over the time both were reading, each saw every sentence the other saw.
  std::string from = std::max(*outsideTimes.begin(), *g_seenTimes.begin());
  std::string to = std::min(*outsideTimes.rbegin(), *g_seenTimes.rbegin());
  int compared = 0;
  for (const auto& t : outsideTimes) {
    if (t < from || t > to) continue;
    EXPECT_EQ(g_seenTimes.count(t), 1u) << t;
    ++compared;
  }
  for (const auto& t : g_seenTimes) {
    if (t >= from && t <= to) {
      EXPECT_EQ(outsideTimes.count(t), 1u) << t;
    }
  }
  EXPECT_GE(compared, 25);

  // Switching off: the bridge ends promptly and the port name is withdrawn.
  auto asked = Clock::now();
  bridge.bridge->RequestStop();
  EXPECT_EQ(WaitForSingleObject(bridge.done, 1000), WAIT_OBJECT_0);
  EXPECT_LT(Clock::now() - asked, Bound(1000ms));
  EXPECT_TRUE(platform::PublishedSerialPort(0).empty());
  EXPECT_TRUE(platform::SerialDevicePath(0).empty());
}

// A reader held up past the switch-off's bound (here by a consumer that stalls) is set
// aside, not forgotten: no second reader starts beside it, and the link's end waits
// for it, so it never touches what its owner has destroyed.
TEST_F(LinkTest, ReaderThatOutlivesTheStopBoundIsWaitedFor) {
  StartReceiver("field_100x60", 20, 3);
  Flags flags;
  std::atomic<bool> stall{false};
  std::atomic<int> feeding{0};
  std::atomic<bool> overlapped{false};
  std::atomic<bool> fedAfterEnd{false};
  std::atomic<bool> linkGone{false};
  auto setup = [&] {
    GpsReaderSetup reader;
    reader.portName = "COM3:";
    reader.baudRate = 4800;
    reader.feed = [&](const std::uint8_t*, std::size_t) {
      if (linkGone) fedAfterEnd = true;
      if (feeding.fetch_add(1) > 0) overlapped = true;
      if (stall.exchange(false)) std::this_thread::sleep_for(800ms);
      feeding.fetch_sub(1);
    };
    reader.gpsOn = &flags.gpsOn;
    reader.gpsBusy = &flags.gpsBusy;
    return reader;
  };
  {
    GpsLink link;
    ASSERT_TRUE(link.StartReader(setup()));
    ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, Bound(2000ms)));
    stall = true;
    ASSERT_TRUE(WaitFor([&] { return !stall.load(); }, Bound(2000ms)));
    EXPECT_FALSE(link.StopReader(100));  // still inside the stalled consumer
    // Within the start's own wait the earlier reader ends, so the new one may start.
    stall = false;
    flags.gpsBusy = true;
    EXPECT_TRUE(link.StartReader(setup()));
    ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, Bound(3000ms)));
    stall = true;
    ASSERT_TRUE(WaitFor([&] { return !stall.load(); }, Bound(2000ms)));
    EXPECT_FALSE(link.StopReader(100));
  }
  linkGone = true;
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(fedAfterEnd);
  EXPECT_FALSE(overlapped);
  EXPECT_EQ(feeding.load(), 0);
}

TEST_F(LinkTest, DriverThatCannotBeLoadedAsksAndNeverActsOnTheHost) {
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDNO ? "no" : "yes");
    platform::MessageBoxScript::Push(answer);
    Flags flags;
    BridgeRun bridge(flags, 3, "\\Drivers\\NoSuchDriver");
    ASSERT_EQ(WaitForSingleObject(bridge.ready, 2000), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(bridge.done, 2000), WAIT_OBJECT_0);
    EXPECT_FALSE(flags.running.load());
    EXPECT_TRUE(bridge.bridge->Declined());
    EXPECT_FALSE(flags.gpsBusy.load());
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), answer == IDNO ? 1u : 2u);
    EXPECT_EQ(shown[0].text, LoadResString(59226));
    EXPECT_EQ(shown[0].style, MB_YESNO | MB_ICONEXCLAMATION);
    if (answer == IDYES) {
      EXPECT_NE(shown[1].text.find("Restart"), std::string::npos);
    }
  }
}

TEST_F(LinkTest, BridgeOnAMissingReceiverPortFailsAndLetsTheSwitchOnGo) {
  ASSERT_TRUE(SetupVirtualComPort());
  ASSERT_TRUE(platform::PublishSerialPort(5, "/nonexistent/gps"));
  Flags flags;
  BridgeRun bridge(flags, 5);
  ASSERT_EQ(WaitForSingleObject(bridge.ready, 2000), WAIT_OBJECT_0);
  ASSERT_EQ(WaitForSingleObject(bridge.done, 2000), WAIT_OBJECT_0);
  EXPECT_FALSE(flags.running.load());
  EXPECT_FALSE(flags.gpsBusy.load());
  EXPECT_FALSE(bridge.bridge->Declined());
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Unable to open GPS port");
  EXPECT_TRUE(platform::PublishedSerialPort(0).empty());  // the driver was deactivated
}

// The threads' texts come from the language module even while the user-interface thread
// switches the current resource module to the program's own (Spanish) table and back, as
// it does around loads of the program's bitmaps.
TEST_F(LinkTest, ThreadTextsStayInTheLanguageWhileTheResourceModuleSwitches) {
  static bool registered = [] {
    platform::SetProgramResources(tvx_program_resources());
    return true;
  }();
  (void)registered;
  const std::string english = LoadResStringFrom(59172, language_);
  SetResourceModule(nullptr, 1);
  const std::string own = LoadResString(59172);
  SetResourceModule(nullptr, 0);
  ASSERT_FALSE(english.empty());
  ASSERT_NE(own, english);  // the program's own table says it in Spanish

  std::atomic<bool> done{false};
  std::thread switcher([&] {
    while (!done) {
      SetResourceModule(nullptr, 1);
      std::this_thread::yield();
      SetResourceModule(nullptr, 0);
    }
  });
  CNmeaParser parser;
  constexpr int kRuns = 30;
  for (int run = 0; run < kRuns; ++run) {
    Flags flags;
    ReaderRun reader("/nonexistent/gps", run % 2 == 1, parser, flags);
    EXPECT_EQ(reader.ExitCode(), kGpsThreadPortFailed);
  }
  // A receiver lost while reading tells it in the language too.
  StartReceiver("field_100x60", 20, 3);
  {
    Flags flags;
    ReaderRun reader("COM3:", false, parser, flags);
    ASSERT_TRUE(WaitFor([&] { return !flags.gpsBusy.load(); }, Bound(2s)));
    simulator_.Stop();
    EXPECT_EQ(reader.ExitCode(), kGpsThreadPortFailed);
  }
  done = true;
  switcher.join();
  SetResourceModule(nullptr, 0);

  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), kRuns + 1u);
  for (int run = 0; run < kRuns; ++run) EXPECT_EQ(shown[run].text, english) << run;
  EXPECT_EQ(shown[kRuns].text, ReceiverLostText("COM3:"));
  EXPECT_EQ(shown[kRuns].text.rfind("The GPS receiver on COM3: was lost.", 0), 0u) << shown[kRuns].text;
}

}  // namespace
}  // namespace gps_link_test
