// tvx-receiver-sim: a simulated NMEA receiver on a pseudo-terminal.
//
//   tvx-receiver-sim --log FILE --rate HZ [--baud N] [--publish COMn] [--loop]
//
// Prints the terminal's path, then writes one epoch of the log per tick (HZ epochs per
// second). --baud N: send only while the port is set to N bit/s. --publish COMn: enter the
// terminal as port n in the options store (removed again at exit), so the program opens it
// by number; TVX_PORT_n=<path> does the same for one process. Ends at the end of the log,
// or with --loop on SIGINT/SIGTERM.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/serial_ports.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace {

volatile std::sig_atomic_t g_quit = 0;
void OnSignal(int) { g_quit = 1; }

int Usage(const char* message) {
  std::fprintf(stderr, "tvx-receiver-sim: %s\n", message);
  std::fprintf(stderr, "usage: tvx-receiver-sim --log FILE --rate HZ [--baud N] [--publish COMn] [--loop]\n");
  return 2;
}

template <typename T>
bool ParseNumber(const char* text, T& value) {
  const char* end = text + std::strlen(text);
  auto result = std::from_chars(text, end, value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  std::string logPath;
  ReceiverSimulator::Settings settings;
  settings.loop = false;
  int publishPort = -1;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--loop") {
      settings.loop = true;
    } else if (value == nullptr) {
      return Usage(("missing value after " + arg).c_str());
    } else if (arg == "--log") {
      logPath = value, ++i;
    } else if (arg == "--rate") {
      if (!ParseNumber(value, settings.epochsPerSecond) || settings.epochsPerSecond <= 0 ||
          settings.epochsPerSecond > 1000) {
        return Usage("--rate takes epochs per second, above 0 and at most 1000");
      }
      ++i;
    } else if (arg == "--baud") {
      if (!ParseNumber(value, settings.onlyAtBaud) || settings.onlyAtBaud == 0) return Usage("--baud takes bit/s");
      ++i;
    } else if (arg == "--publish") {
      publishPort = platform::SerialPortNumber(value);
      if (publishPort < 0 || publishPort > 9) return Usage("--publish takes COM0 .. COM9");
      ++i;
    } else {
      return Usage(("unknown argument " + arg).c_str());
    }
  }
  if (logPath.empty()) return Usage("--log is required");
  std::ifstream in(logPath, std::ios::binary);
  if (!in) return Usage(("cannot read " + logPath).c_str());
  std::stringstream text;
  text << in.rdbuf();
  auto epochs = ReceiverSimulator::SplitEpochs(text.str());
  if (epochs.empty()) return Usage("the log holds no NMEA sentences");

  ReceiverSimulator simulator;
  if (!simulator.Start(std::move(epochs), settings)) {
    std::fprintf(stderr, "tvx-receiver-sim: cannot create a pseudo-terminal\n");
    return 1;
  }
  std::printf("%s\n", simulator.SlavePath().c_str());
  std::fflush(stdout);
  if (publishPort >= 0 && !platform::PublishSerialPort(publishPort, simulator.SlavePath())) {
    std::fprintf(stderr, "tvx-receiver-sim: cannot write the options store\n");
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  while (!g_quit && !simulator.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (simulator.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let the reader drain
  simulator.Stop();
  if (publishPort >= 0) platform::UnpublishSerialPort(publishPort);
  return 0;
}
