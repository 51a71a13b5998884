// Soak of the receiver link: the receiver simulator on a pseudo-terminal at 10 epochs per
// second and as fast as it goes, the document reading it with automatic capture on, and the
// area worker kept busy by a large feature that every capture makes it measure again. Each
// epoch's GGA carries its number in the altitude, so that the stand-in view checks that every
// fix arrives and arrives in order.
//
// Reported per rate: epochs sent, GGA sentences parsed, position messages the view got (one
// per fix, and one for the RMC before the first GGA), fixes parsed but never announced
// ("missing"), the numbers of the first and last fix it read, fixes out of order, captured
// vertices, and the resident memory at the start and at the end of the run (after a first
// minute of warming up when the run is long enough). Targets: no fix missing or out of
// order; resident memory at the end within 5 % (or 8 MB) of the start.
// TVX_SOAK_SECONDS (default 10) sets the length of each run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/serial_ports.h"
#include "platform/window_messages.h"
#include "tools/receiver_sim/receiver_simulator.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

using Clock = std::chrono::steady_clock;

std::string Sentence(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

// Epoch n: a GGA on a circle of 60 m radius round 40.4 N 3.7 W, 1.2 m further on each time,
// with the altitude n + 0.5 cm, and an RMC.
std::vector<std::string> Epochs(int count) {
  std::vector<std::string> epochs;
  epochs.reserve(count);
  for (int n = 0; n < count; ++n) {
    const double a = n * 0.02;
    const double lat = 40.4 + 60.0 * std::sin(a) / 111320.0;
    const double lon = -3.7 + 60.0 * std::cos(a) / (111320.0 * std::cos(40.4 * 3.14159265 / 180.0));
    const int latDeg = static_cast<int>(lat), lonDeg = static_cast<int>(-lon);
    const int s = n % 86400;
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d%02d.%02d", s / 3600, s / 60 % 60, s % 60, n % 100);
    char body[160];
    std::snprintf(body, sizeof body, "GPGGA,%s,%02d%09.6f,N,%03d%09.6f,W,1,08,0.9,%.3f,M,50.0,M,,", time,
                  latDeg, (lat - latDeg) * 60.0, lonDeg, (-lon - lonDeg) * 60.0, (n + 0.5) / 100.0);
    std::string epoch = Sentence(body);
    std::snprintf(body, sizeof body, "GPRMC,%s,A,%02d%09.6f,N,%03d%09.6f,W,2.3,45.0,091226,,", time,
                  latDeg, (lat - latDeg) * 60.0, lonDeg, (-lon - lonDeg) * 60.0);
    epoch += Sentence(body);
    epochs.push_back(std::move(epoch));
  }
  return epochs;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// The map view's part: on each position, automatic capture, and the order check.
class ViewStandIn : public CCmdTarget {
 public:
  explicit ViewStandIn(CTolvanixDoc& doc) : doc_(doc) { handle_ = platform::AttachWindow(this); }
  ~ViewStandIn() override { platform::DetachWindow(handle_); }
  HWND Handle() const { return handle_; }

  LRESULT OnRefreshGps(WPARAM, LPARAM) {
    ++refreshes;
    const GpsFix fix = doc_.TakeFix();
    if (first < 0) first = fix.altitudeCm;
    if (fix.altitudeCm < last) ++outOfOrder;
    if (fix.altitudeCm > last + 1 && last >= 0) skipped += fix.altitudeCm - last - 1;
    if (fix.altitudeCm > last) last = fix.altitudeCm;
    if (doc_.m_autoCapture) doc_.AutoCaptureCheck();
    return 0;
  }
  LRESULT OnDibujarCampos(WPARAM, LPARAM) { return 0; }

  long refreshes = 0, outOfOrder = 0, skipped = 0;
  long first = -1, last = -1;

 private:
  CTolvanixDoc& doc_;
  HWND handle_ = nullptr;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ViewStandIn, CCmdTarget)
  ON_REGISTERED_MESSAGE(WM_REFRESH_GPS, &ViewStandIn::OnRefreshGps)
  ON_REGISTERED_MESSAGE(WM_DIBUJAR_CAMPOS, &ViewStandIn::OnDibujarCampos)
END_MESSAGE_MAP()

void BM_ReceiverSoak(benchmark::State& state) {
  const double rate = static_cast<double>(state.range(0));  // 0: as fast as it goes
  const char* seconds = std::getenv("TVX_SOAK_SECONDS");
  const double length = seconds ? std::atof(seconds) : 10.0;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tvx_soak_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  platform::OptionsStore::Instance().SetPath((dir / "registry.ini").string());
  platform::SetProgramResources(tvx_program_resources());
  platform::SetUiThread();

  for (auto _ : state) {
    CTolvanixDoc doc;
    ViewStandIn view(doc);
    doc.m_hwndView = view.Handle();
    doc.m_port = 7;
    doc.m_baudIndex = 1;
    // The busy worker: 150,000 vertices in the feature the captures go to.
    FeatureRecord& field = *doc.CurrentFeature();
    for (int i = 0; i < 150000; ++i) {
      const double a = 6.283185307179586 * i / 150000.0;
      const GeoPoint p{-3.7 + 0.01 * std::cos(a), 40.4 + 0.01 * std::sin(a)};
      field.AddVertex(p, p, 0);
    }
    const std::size_t startVertices = field.VertexCount();
    doc.m_autoCaptureDistance = 1.0;
    doc.m_autoCapture = true;

    // As fast as it goes is a few thousand epochs per second on a pseudo-terminal.
    const int count = static_cast<int>((rate > 0 ? rate : 5000.0) * (length + 5));
    ReceiverSimulator simulator;
    ReceiverSimulator::Settings settings;
    settings.epochsPerSecond = rate > 0 ? rate : 1e6;
    settings.loop = false;
    if (!simulator.Start(Epochs(count), settings) ||
        !platform::PublishSerialPort(7, simulator.SlavePath())) {
      state.SkipWithError("no receiver");
      return;
    }
    doc.OnGpsOnOff();
    const auto started = Clock::now();
    const auto warm = started + std::chrono::duration<double>(length > 120 ? 60.0 : length * 0.2);
    long rssStart = 0;
    while (Clock::now() - started < std::chrono::duration<double>(length)) {
      platform::WaitAndPumpMessages(20);
      if (!rssStart && Clock::now() > warm) rssStart = ResidentKb();
    }
    const std::size_t sent = simulator.EpochsSent();
    simulator.Stop();
    // What is still on its way reaches the view.
    for (long before = -1; before != view.refreshes;) {
      before = view.refreshes;
      for (int k = 0; k < 25; ++k) platform::WaitAndPumpMessages(20);
    }
    const long rssEnd = ResidentKb();
    if (doc.m_gpsOn) doc.ToggleGps();
    platform::PumpMessages();

    state.counters["epochs_sent"] = static_cast<double>(sent);
    state.counters["gga_parsed"] = static_cast<double>(doc.m_nmea.Snapshot().gga.count);
    state.counters["refreshes"] = static_cast<double>(view.refreshes);
    // Sent but not parsed: what found no room on the line (the simulator, like a receiver,
    // does not wait for its listener), before the port opened or after it closed.
    state.counters["lost_on_line"] = static_cast<double>(static_cast<long>(sent) - static_cast<long>(doc.m_nmea.Snapshot().gga.count));
    // Parsed but never announced to the view.
    state.counters["missing"] =
        std::max(0.0, static_cast<double>(doc.m_nmea.Snapshot().gga.count) - view.refreshes);
    state.counters["first_seen"] = static_cast<double>(view.first);
    state.counters["last_seen"] = static_cast<double>(view.last);
    // Positions that arrived while the view was busy and were read together with a later one.
    state.counters["read_together"] = static_cast<double>(view.skipped);
    state.counters["out_of_order"] = static_cast<double>(view.outOfOrder);
    state.counters["captured"] = static_cast<double>(doc.CurrentFeature()->VertexCount() - startVertices);
    state.counters["rss_start_kB"] = static_cast<double>(rssStart);
    state.counters["rss_end_kB"] = static_cast<double>(rssEnd);
  }
  platform::OptionsStore::Instance().SetPath("");
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReceiverSoak)->Arg(10)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
