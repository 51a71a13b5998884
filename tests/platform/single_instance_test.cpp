#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(SingleInstance, SecondCopyAsksTheFirstToRaiseItsWindow) {
  fs::path dir = fs::temp_directory_path() / ("tvx_instance_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::atomic<int> raised{0};
  std::atomic<bool> windowShown{false};
  {
    platform::SingleInstance first("/opt/tvx/tolvanixpda", dir.string());
    ASSERT_TRUE(first.TryAcquire());
    ASSERT_TRUE(first.Listen([&] {
      ++raised;
      return windowShown.load();
    }));

    platform::SingleInstance second("/opt/tvx/tolvanixpda", dir.string());
    EXPECT_FALSE(second.TryAcquire());
    // The first copy has no window yet: it answers no, and the second gives up.
    EXPECT_FALSE(second.AskRunningCopyToRaise(2, 20));
    EXPECT_EQ(raised.load(), 2);
    windowShown = true;
    EXPECT_TRUE(second.AskRunningCopyToRaise(40, 250));
    EXPECT_EQ(raised.load(), 3);

    // Another program file is another program.
    platform::SingleInstance other("/opt/other/tolvanixpda", dir.string());
    EXPECT_TRUE(other.TryAcquire());
  }
  // The lock goes with the first copy.
  platform::SingleInstance later("/opt/tvx/tolvanixpda", dir.string());
  EXPECT_TRUE(later.TryAcquire());
  EXPECT_FALSE(later.AskRunningCopyToRaise(1, 10));
  fs::remove_all(dir);
}

}  // namespace
