#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Waits until pred holds, for at most ten seconds (the listening thread answers when the
// machine lets it).
template <class Pred>
bool Within10s(Pred pred) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!pred() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return pred();
}

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
    // The first copy has no window yet: it answers no, and the second gives up. Both asks
    // reach the first copy, also those it answers after the second stopped waiting.
    EXPECT_FALSE(second.AskRunningCopyToRaise(2, 20));
    EXPECT_TRUE(Within10s([&] { return raised.load() == 2; })) << raised.load();
    // Once the first copy answers yes, the second asks no more.
    windowShown = true;
    EXPECT_TRUE(second.AskRunningCopyToRaise(3, 10000));
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
