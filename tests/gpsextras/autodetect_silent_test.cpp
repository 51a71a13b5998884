// A receiver that sends no position sentences of the talkers taken (only satellites, and a
// position of a talker the program does not read) is not detected at any speed; nothing is
// shown and nothing is reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gpsextras/extras_exports.h"
#include "platform/message_box.h"
#include "tests/gpsextras/extras_test_support.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace {

TEST(AutoDetectSilentTest, NoPositionSentencesNoReceiver) {
  extras_test::IsolatePorts();
  platform::MessageBoxScript::Clear();
  std::vector<std::string> epochs = {
      "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
      "$GPGSV,1,1,02,04,10,250,41,05,20,310,38*7A\r\n"
      "$GNGSA,A,3,65,72,,,,,,,,,,,2.5,1.3,2.1,2*2A\r\n"
      "$GLGSV,1,1,02,65,34,120,39,72,51,280,41,1*4B\r\n"
      "$GQRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*7A\r\n"};
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 10;
  ReceiverSimulator receiver;
  ASSERT_TRUE(receiver.Start(epochs, settings));
  extras_test::MapPort(2, receiver.SlavePath());

  EXPECT_EQ(AutoDetectGPS(reinterpret_cast<HWND>(0x4711), "Tolvanix PDA"), FALSE);
  EXPECT_GT(receiver.EpochsSent(), 100u);  // it was talking all along
  EXPECT_EQ(GetPuerto(), 0);
  EXPECT_EQ(GetBaudios(), 0);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

}  // namespace
