// Auto-detection finds a receiver that answers only at 4800 bit/s on COM1 while COM0 is
// held by another program: COM0 is skipped, 115200 down to 9600 find nothing on COM1.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "gpsextras/extras_exports.h"
#include "platform/message_box.h"
#include "serial/serial.h"
#include "tests/gpsextras/extras_test_support.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace {

std::string WalkLog() {
  std::ifstream in(std::string(TVX_SOURCE_DIR) + "/tests/data/nmea/walk_1hz.nmea", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(AutoDetectTest, ReceiverAt4800BesideABusyPort) {
  extras_test::IsolatePorts();
  platform::MessageBoxScript::Clear();

  platform::PseudoTerminal busyLine;
  ASSERT_TRUE(busyLine.Create());
  CSerial otherProgram;
  ASSERT_EQ(otherProgram.Open(busyLine.SlavePath()), 0);
  extras_test::MapPort(0, busyLine.SlavePath());

  ReceiverSimulator receiver;
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 5;
  settings.onlyAtBaud = 4800;
  ASSERT_TRUE(receiver.Start(ReceiverSimulator::SplitEpochs(WalkLog()), settings));
  extras_test::MapPort(1, receiver.SlavePath());

  EXPECT_EQ(GetPuerto(), 0);
  ASSERT_EQ(AutoDetectGPS(reinterpret_cast<HWND>(0x4711), "Tolvanix PDA"), TRUE);
  EXPECT_EQ(GetPuerto(), 1);
  EXPECT_EQ(GetBaudios(), 1);
  EXPECT_EQ(receiver.LineRate(), 4800u);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Port COM:1\nBaud 4800");
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
  EXPECT_EQ(shown[0].style, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_TRUE(otherProgram.IsOpen());
}

// A receiver of several constellations names its positions with the talker GN.
TEST(AutoDetectTest, MultiConstellationReceiverIsFound) {
  extras_test::IsolatePorts();
  platform::MessageBoxScript::Clear();
  ReceiverSimulator receiver;
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 5;
  ASSERT_TRUE(receiver.Start(
      {"$GNGGA,080003.00,4025.0073,N,00342.2284,W,1,13,0.9,650.1,M,51.2,M,,*6A\r\n"
       "$GLGSV,2,2,07,74,54,212,00,80,65,265,00,81,76,318,00,1*44\r\n"
       "$GNRMC,080003.00,A,4025.0073,N,00342.2284,W,2.3,0.0,140526,0.5,W,A,V*6E\r\n"},
      settings));
  extras_test::MapPort(0, receiver.SlavePath());
  ASSERT_EQ(AutoDetectGPS(nullptr, "Tolvanix PDA"), TRUE);
  EXPECT_EQ(GetPuerto(), 0);
  EXPECT_EQ(GetBaudios(), 8);  // the first speed tried
}

}  // namespace
