// Keeping the desktop awake, against a stand-in of the desktop's screen-saver service on a
// session bus of the test's own: what is asked for, what is given back, and that a desktop
// without the service (or without a bus) makes nothing fail.
#include "platform/desktop_awake.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/view/fake_screensaver.h"

namespace {

// The session bus the program finds, for the length of a test.
class SessionBusAddress {
 public:
  explicit SessionBusAddress(const std::string& address) {
    if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) old_ = old;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) runtime_ = runtime;
    if (address.empty()) {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
      setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
  }
  ~SessionBusAddress() {
    if (old_.empty()) {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
      setenv("DBUS_SESSION_BUS_ADDRESS", old_.c_str(), 1);
    }
    if (!runtime_.empty()) setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
  }

 private:
  std::string old_, runtime_;
};

TEST(DesktopAwake, HoldAsksTheScreenSaverOnceAndReleaseGivesTheCookieBack) {
  tvxtest::PrivateSessionBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "no dbus-daemon";
  tvxtest::FakeScreenSaver desktop(bus.address());
  ASSERT_TRUE(desktop.serving());
  SessionBusAddress session(bus.address());

  platform::DesktopAwake awake;
  EXPECT_FALSE(awake.Held());
  ASSERT_TRUE(awake.Hold("tolvanixpda", "Measuring with the GPS receiver"));
  EXPECT_TRUE(awake.Held());
  EXPECT_EQ(desktop.inhibits(), 1);
  EXPECT_EQ(desktop.held(), 1u);
  EXPECT_EQ(desktop.lastApplication(), "tolvanixpda");
  EXPECT_EQ(desktop.lastReason(), "Measuring with the GPS receiver");

  EXPECT_TRUE(awake.Hold("tolvanixpda", "again"));
  EXPECT_EQ(desktop.inhibits(), 1) << "held already: not asked twice";

  awake.Release();
  EXPECT_FALSE(awake.Held());
  EXPECT_EQ(desktop.uninhibits(), 1);
  EXPECT_EQ(desktop.held(), 0u) << "the cookie handed out is the one given back";
  awake.Release();
  EXPECT_EQ(desktop.uninhibits(), 1);

  // Held at the end: the destructor gives it back.
  {
    platform::DesktopAwake scoped;
    ASSERT_TRUE(scoped.Hold("tolvanixpda", "x"));
    EXPECT_EQ(desktop.held(), 1u);
  }
  EXPECT_EQ(desktop.held(), 0u);
}

TEST(DesktopAwake, WithoutTheServiceOrABusNothingFails) {
  tvxtest::PrivateSessionBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "no dbus-daemon";
  {
    // A bus where nobody serves the screen saver: refused at once (no service is started).
    SessionBusAddress session(bus.address());
    platform::DesktopAwake awake;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(awake.Hold("tolvanixpda", "x"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(awake.Held());
    awake.Release();
  }
  {
    // No bus announced and no runtime folder holding one.
    SessionBusAddress session("");
    const std::filesystem::path empty =
        std::filesystem::temp_directory_path() / ("tvx-no-bus-" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    setenv("XDG_RUNTIME_DIR", empty.c_str(), 1);
    platform::DesktopAwake awake;
    EXPECT_FALSE(awake.Hold("tolvanixpda", "x"));
    std::filesystem::remove_all(empty);
  }
  {
    // A bus address where no bus listens.
    SessionBusAddress session("unix:path=/nonexistent/tvx-bus");
    platform::DesktopAwake awake;
    EXPECT_FALSE(awake.Hold("tolvanixpda", "x"));
  }
}

}  // namespace
