#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(Threads, AutoResetEventReleasesOneWaiterPerSignal) {
  HANDLE event = CreateEvent(FALSE, FALSE);
  std::atomic<int> released{0};
  std::vector<HANDLE> waiters;
  for (int i = 0; i < 3; ++i) {
    waiters.push_back(CreateThread([&] {
      if (WaitForSingleObject(event, 5000) == WAIT_OBJECT_0) ++released;
      return DWORD{0};
    }));
  }
  SetEvent(event);
  // One signal frees exactly one waiter; the event is clear again afterwards.
  while (released.load() < 1) Sleep(1);
  Sleep(50);
  EXPECT_EQ(released.load(), 1);
  // A second signal before a waiter took the first one is lost, as on the device.
  for (int expected = 2; expected <= 3; ++expected) {
    SetEvent(event);
    while (released.load() < expected) Sleep(1);
  }
  for (HANDLE t : waiters) {
    EXPECT_EQ(WaitForSingleObject(t, 5000), WAIT_OBJECT_0);
    CloseHandle(t);
  }
  EXPECT_EQ(released.load(), 3);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Threads, TimedWaitTimesOutAndManualEventStaysSignalled) {
  HANDLE event = CreateEvent(FALSE, FALSE);
  auto start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 100), WAIT_TIMEOUT);
  EXPECT_GE(ElapsedMs(start), 95);
  CloseHandle(event);

  HANDLE manual = CreateEvent(TRUE, TRUE);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ResetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 10), WAIT_TIMEOUT);
  CloseHandle(manual);
}

// The thread runs until the test lets it go, so that it is still running when asked.
HANDLE g_letThreadEnd = nullptr;

DWORD ReturnParameterWhenLetGo(void* parameter) {
  WaitForSingleObject(g_letThreadEnd, INFINITE_WAIT);
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

TEST(Threads, ThreadHandleIsSignalledWithItsExitCode) {
  g_letThreadEnd = CreateEvent(TRUE, FALSE);
  HANDLE thread =
      CreateThread(&ReturnParameterWhenLetGo, reinterpret_cast<void*>(std::uintptr_t{42}));
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);
  SetEvent(g_letThreadEnd);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE_WAIT), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
  CloseHandle(g_letThreadEnd);
  g_letThreadEnd = nullptr;
}

TEST(Threads, ClosedHandlesFailInsteadOfTouchingFreedObjects) {
  HANDLE event = CreateEvent(FALSE, FALSE);
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(Threads, WaiterSurvivesCloseOfTheEventItWaitsOn) {
  HANDLE event = CreateEvent(FALSE, FALSE);
  HANDLE waiter = CreateThread([event] { return WaitForSingleObject(event, 200); });
  Sleep(20);
  CloseHandle(event);
  EXPECT_EQ(WaitForSingleObject(waiter, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(waiter, &code);
  EXPECT_TRUE(code == WAIT_TIMEOUT || code == WAIT_FAILED);
  CloseHandle(waiter);
}

}  // namespace
