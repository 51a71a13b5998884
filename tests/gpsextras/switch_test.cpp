// The Switch and ForceNMEA write sequences as a receiver on a pseudo-terminal records
// them, the library's boxes, and the GPS Settings applet key.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "gpsextras/extras_exports.h"
#include "gpsextras/receiver_setup.h"
#include "platform/message_box.h"
#include "platform/options_store.h"
#include "tests/gpsextras/extras_test_support.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace {

using extras_test::Bytes;

const HWND kOwner = reinterpret_cast<HWND>(0x4711);

const std::string kToSirf4800 = "$PSRF100,0,4800,8,1,0*0F\r\n";
const std::string kToNmea4800 =
    Bytes("A0 A2 00 18 81 02 01 01 01 01 05 01 05 01 01 01 01 01 00 01 00 01 00 01 00 01 12 C0 01 6D B0 B3");
const std::string kStaticOn = Bytes("A0 A2 00 02 8F 01 00 90 B0 B3");
const std::string kStaticOff = Bytes("A0 A2 00 02 8F 00 00 8F B0 B3");
const std::string kSbasOn = Bytes("A0 A2 00 07 85 01 00 00 00 00 00 00 86 B0 B3");
const std::string kSbasOff = Bytes("A0 A2 00 07 85 00 00 00 00 00 00 00 85 B0 B3");
const std::string kDgpsSelection = Bytes("A0 A2 00 03 8A 00 12 00 9C B0 B3");

class SwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    extras_test::IsolatePorts();
    platform::MessageBoxScript::Clear();
    ASSERT_TRUE(receiver.Start({}, {}));
    extras_test::MapPort(3, receiver.SlavePath());
  }
  std::string Recorded() {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    return receiver.TakeReceived();
  }
  ReceiverSimulator receiver;
};

TEST_F(SwitchTest, SequencePerSettingKind) {
  struct Case {
    BYTE kind;
    BYTE flag;
    std::string setting;
  } cases[] = {
      {0, 1, kStaticOn},
      {1, 0, kSbasOff + kDgpsSelection},
      {2, 0, kStaticOff + kSbasOn + kDgpsSelection},  // the flag does not matter
      {5, 1, ""},                                      // no setting, still switched back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    EXPECT_EQ(Switch(kOwner, "Tolvanix PDA", 3, 1, c.kind, c.flag), TRUE);
    // Switch to binary, the setting, back to NMEA, and once more to NMEA.
    EXPECT_EQ(Recorded(), kToSirf4800 + c.setting + kToNmea4800 + kToNmea4800);
  }
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

TEST_F(SwitchTest, ForceNmeaAtTheIndexRate) {
  EXPECT_EQ(ForceNMEA(kOwner, "Tolvanix PDA", 3, 8), 1);
  EXPECT_EQ(Recorded(), Bytes("A0 A2 00 18 81 02 01 01 01 01 05 01 05 01 01 01 01 01 00 01 00 01 00 01 00 01 C2 00 01 "
                              "5D B0 B3"));
  EXPECT_EQ(receiver.LineRate(), 115200u);
}

TEST_F(SwitchTest, PortThatDoesNotOpen) {
  EXPECT_EQ(Switch(nullptr, "Tolvanix PDA", 4, 1, 0, 1), FALSE);
  EXPECT_EQ(ForceNMEA(nullptr, "Tolvanix PDA", 4, 1), 1);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());  // no owner, no boxes

  EXPECT_EQ(Switch(kOwner, "Tolvanix PDA", 4, 1, 0, 1), FALSE);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);  // Switch's own open, then ForceNMEA's
  for (const auto& box : shown) {
    EXPECT_EQ(box.text, "Cannot open serial port");
    EXPECT_EQ(box.caption, "Tolvanix PDA");
    EXPECT_EQ(box.owner, kOwner);
    EXPECT_EQ(box.style, MB_OK | MB_ICONEXCLAMATION);
  }
  EXPECT_EQ(Switch(kOwner, "Tolvanix PDA", 12, 1, 0, 1), FALSE);  // only COM0..COM9 exist
  EXPECT_EQ(Recorded(), "");
}

TEST_F(SwitchTest, GpsSettingsApplet) {
  platform::OptionsStore& store = platform::OptionsStore::Instance();
  ASSERT_FALSE(store.KeyExists(kGpsSettingsKey));
  EXPECT_EQ(MostrarGPSWindows(kOwner, "Tolvanix PDA"), IDOK);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "GPS Windows Mobile is already under Settings of device");
  EXPECT_FALSE(store.KeyExists(kGpsSettingsKey));  // nothing written

  ASSERT_TRUE(store.SetInt(kGpsSettingsKey, "Hide", 1));
  ASSERT_TRUE(store.SetString(kGpsSettingsKey, "Redirect", "COM4:"));
  ASSERT_TRUE(store.SetInt(kGpsSettingsKey, "Group", 0));
  EXPECT_EQ(MostrarGPSWindows(kOwner, "Tolvanix PDA"), IDOK);
  EXPECT_FALSE(store.GetInt(kGpsSettingsKey, "Hide").has_value());
  EXPECT_FALSE(store.GetString(kGpsSettingsKey, "Redirect").has_value());
  EXPECT_EQ(store.GetInt(kGpsSettingsKey, "Group"), 2);
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);  // a notice: the host is never restarted
  EXPECT_NE(shown[0].text.find("Restart the GPS receiver software"), std::string::npos);
  EXPECT_EQ(shown[0].style & MB_TYPEMASK, MB_OK);
}

}  // namespace
