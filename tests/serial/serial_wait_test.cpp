// A reader thread blocked in WaitEvent (or a blocking Read) on a silent receiver is
// released by CancelWait from another thread, as switching the GPS off needs.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(SerialWaitTest, CancelWaitReleasesAReaderWithinASecond) {
  platform::PseudoTerminal pty;
  ASSERT_TRUE(pty.Create());
  CSerial port;
  ASSERT_EQ(port.Open(pty.SlavePath()), 0);
  ASSERT_EQ(port.SetMask(EV_RXCHAR), 0);

  std::atomic<bool> stop{false};
  std::atomic<int> events{0};
  std::atomic<LONG> lastCode{0};
  std::thread reader([&] {
    while (!stop.load()) {
      LONG code = port.WaitEvent();
      if (code != 0) {
        lastCode = code;
        break;
      }
      if (port.GetEventType() & EV_RXCHAR) {
        char buf[255];
        DWORD n = 0;
        port.Read(buf, sizeof buf, &n);
        events += static_cast<int>(n);
      }
    }
  });
  pty.Write("$GPGGA", 6);
  for (int i = 0; i < 100 && events.load() < 6; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(events.load(), 6);

  std::this_thread::sleep_for(200ms);  // the reader now waits on a silent line
  auto asked = std::chrono::steady_clock::now();
  stop = true;
  port.CancelWait();
  reader.join();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
  EXPECT_EQ(lastCode.load(), 995);

  // A blocking read is released the same way and reports what it had.
  ASSERT_EQ(port.SetupReadTimeouts(SERIAL_READ_BLOCKING), 0);
  std::thread canceller([&] {
    std::this_thread::sleep_for(100ms);
    port.CancelWait();
  });
  char buf[8];
  DWORD n = 99;
  EXPECT_EQ(port.Read(buf, sizeof buf, &n), 995);
  EXPECT_EQ(n, 0u);
  canceller.join();
}

}  // namespace
