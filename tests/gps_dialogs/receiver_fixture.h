// A receiver simulator on a pseudo-terminal mapped to one COM port (every other port mapped
// to nothing, a private options store: tests/gpsextras), and the program folder set to the
// build folder (where internal/tolvanixextras.dll is).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/strings.h"
#include "platform/message_box.h"
#include "tests/gpsextras/extras_test_support.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace gpstest {

constexpr int kReceiverPort = 2;

inline std::string GgaEpoch() {
  return "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
}

using extras_test::IsolatePorts;
using extras_test::MapPort;

// Starts the receiver sending NMEA at 115200 bit/s only, on kReceiverPort.
inline ::testing::AssertionResult StartReceiver(ReceiverSimulator& receiver) {
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 10;
  settings.onlyAtBaud = 115200;
  if (!receiver.Start({GgaEpoch()}, settings)) return ::testing::AssertionFailure() << "no pty";
  MapPort(kReceiverPort, receiver.SlavePath());
  return ::testing::AssertionSuccess();
}

inline void UseBuildFolderAsProgramFolder() { ModuleDirectory = std::string(TVX_BINARY_DIR) + "/"; }

inline std::vector<std::string> ShownTexts() {
  std::vector<std::string> texts;
  for (const auto& box : platform::MessageBoxScript::TakeShown()) texts.push_back(box.text);
  return texts;
}

}  // namespace gpstest
