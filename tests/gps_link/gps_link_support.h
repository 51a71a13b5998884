// Shared set-up of the receiver link tests: a private options store, the English language
// module for the message texts, recorded walks played by the receiver simulator.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/strings.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/serial_ports.h"
#include "platform/window_messages.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace gps_link_test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

inline std::string WalkPath(const std::string& name) {
  return std::string(TVX_BINARY_DIR) + "/testdata/walks/" + name + ".nmea";
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Sanitizer builds run every thread several times slower; the time bounds the tests
// hold the link to stretch with them.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 3;
#else
constexpr int kSlowdown = 1;
#endif
constexpr std::chrono::milliseconds Bound(std::chrono::milliseconds limit) { return limit * kSlowdown; }

// Polls until the condition holds or the time is up; true when it held.
inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  auto end = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// The complete "$GPGGA..." lines of a text, without their line ends.
inline std::vector<std::string> GgaLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while ((at = text.find("$GPGGA", at)) != std::string::npos) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder, also for a parameterised test, whose name ("Name/0") holds a slash.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = std::filesystem::temp_directory_path() /
           ("tvx_gps_link_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::create_directories(dir_);
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    language_ = LoadLibrary(std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll");
    ASSERT_NE(language_, nullptr) << platform::LastModuleError();
    SetLanguageResourceModule(language_);
    SetResourceModule(nullptr, 0);
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    simulator_.Stop();
    SetResourceModule(nullptr, 1);
    SetLanguageResourceModule(nullptr);
    FreeLibrary(language_);
    platform::OptionsStore::Instance().SetPath("");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Plays a recorded walk on a pseudo-terminal entered as port `port` (once, or over and
  // over with loop).
  void StartReceiver(const std::string& walk, double epochsPerSecond, int port, bool loop = true) {
    auto epochs = ReceiverSimulator::SplitEpochs(ReadText(WalkPath(walk)));
    ASSERT_FALSE(epochs.empty()) << WalkPath(walk);
    ReceiverSimulator::Settings settings;
    settings.epochsPerSecond = epochsPerSecond;
    settings.loop = loop;
    ASSERT_TRUE(simulator_.Start(std::move(epochs), settings));
    ASSERT_TRUE(platform::PublishSerialPort(port, simulator_.SlavePath()));
  }

  // Pumps the posted messages until the condition holds or the time is up.
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (!condition()) {
      if (Clock::now() > end) return false;
      platform::WaitAndPumpMessages(20);
    }
    return true;
  }

  // A receiver that sends nothing (until the test writes into silent_) as port `port`.
  void StartSilentReceiver(int port) {
    ASSERT_TRUE(silent_.Create());
    ASSERT_TRUE(platform::PublishSerialPort(port, silent_.SlavePath()));
  }

  std::filesystem::path dir_;
  HMODULE language_ = nullptr;
  ReceiverSimulator simulator_;
  platform::PseudoTerminal silent_;
};

}  // namespace gps_link_test
