// The program's binding of the set-up library: detection and switching through the real
// library loaded by path, against the receiver simulator; and the silent no-ops.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "dialogs/gps_extras_form.h"
#include "platform/win_app.h"
#include "tests/gps_dialogs/receiver_fixture.h"

namespace {

CWinApp g_app("tvxtest");
const HWND kOwner = reinterpret_cast<HWND>(0x2211);

class ExtrasBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    gpstest::IsolatePorts();
    gpstest::UseBuildFolderAsProgramFolder();
    platform::MessageBoxScript::Clear();
  }
  ReceiverSimulator receiver;
};

TEST_F(ExtrasBinding, DetectionFindsTheReceiverAndTheLibraryShowsItsBoxThroughTheProgram) {
  ASSERT_TRUE(gpstest::StartReceiver(receiver));
  const auto found = DetectReceiver(kOwner);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->port, gpstest::kReceiverPort);
  EXPECT_EQ(found->baudIndex, 8);  // 115200
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].owner, kOwner);
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
  EXPECT_NE(shown[0].text.find("115200"), std::string::npos);
}

TEST_F(ExtrasBinding, SwitchReportsOkOnlyWhenAskedAndErrorWhenThePortCannotBeOpened) {
  ASSERT_TRUE(receiver.Start({}, {}));
  gpstest::MapPort(3, receiver.SlavePath());
  CallExtrasExport("Switch", kOwner, 3, 1, 0, 0, 1);
  EXPECT_EQ(gpstest::ShownTexts(), std::vector<std::string>{"OK"});
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(receiver.TakeReceived().empty());  // the receiver heard the switch

  CallExtrasExport("Switch", kOwner, 3, 1, 1, 1, 0);
  EXPECT_TRUE(gpstest::ShownTexts().empty());

  gpstest::MapPort(4, "/nonexistent/tty");
  CallExtrasExport("Switch", kOwner, 4, 1, 1, 1, 0);
  const auto texts = gpstest::ShownTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "ERROR");
}

TEST_F(ExtrasBinding, UnsetPortOrRateAndAMissingLibraryOrExportDoNothing) {
  ASSERT_TRUE(receiver.Start({}, {}));
  gpstest::MapPort(3, receiver.SlavePath());
  CallExtrasExport("Switch", kOwner, -1, 1, 0, 0, 1);
  CallExtrasExport("Switch", kOwner, 3, -1, 0, 0, 1);
  CallExtrasExport("NoSuchExport", kOwner, 3, 1, 0, 0, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(receiver.TakeReceived().empty());

  ModuleDirectory = "/nonexistent/";
  CallExtrasExport("Switch", kOwner, 3, 1, 0, 0, 1);
  EXPECT_FALSE(DetectReceiver(kOwner).has_value());
  EXPECT_TRUE(gpstest::ShownTexts().empty());
}

}  // namespace
