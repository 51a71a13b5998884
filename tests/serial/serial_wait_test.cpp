// A reader thread blocked in WaitEvent (or a blocking Read) on a silent receiver is
// released by CancelWait from another thread, as switching the GPS off needs.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
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

// A receiver that sends a sentence and goes away (the kernel hangs the line up when the far end
// closes: poll reports it readable, every read ends at once without a byte). A reader that waits
// for the end of each sentence learns from WaitEvent that the device is gone, as a read would
// tell it, whether the line goes while the reader waits or before.
TEST(SerialWaitTest, AHungUpLineEndsTheWaitForTheSentenceEndWithTheLoss) {
  for (const DWORD mask : {DWORD{EV_RXFLAG}, DWORD{EV_RXCHAR | EV_RXFLAG}}) {
    for (const bool whileWaiting : {true, false}) {
      SCOPED_TRACE(std::to_string(mask) + (whileWaiting ? " while waiting" : " before"));
      platform::PseudoTerminal pty;
      ASSERT_TRUE(pty.Create());
      CSerial port;
      ASSERT_EQ(port.Open(pty.SlavePath()), 0);
      ASSERT_EQ(port.SetEventChar('\n', false), 0);
      ASSERT_EQ(port.SetMask(mask), 0);

      std::promise<std::string> sentence;
      std::promise<void> lineGone;
      std::promise<LONG> ended;
      std::thread reader([&] {
        std::string received;
        bool told = false;
        LONG code = 0;
        while ((code = port.WaitEvent()) == 0) {
          port.GetEventType();
          char buf[255];
          DWORD n = 0;
          if ((code = port.Read(buf, sizeof buf, &n)) != 0) break;
          received.append(buf, n);
          if (!told && received.find('\n') != std::string::npos) {
            told = true;
            sentence.set_value(received);
            if (!whileWaiting) lineGone.get_future().wait();
          }
        }
        ended.set_value(code);
      });
      pty.Write("$GPGGA,1\r\n", 10);
      auto got = sentence.get_future();
      if (got.wait_for(30s) != std::future_status::ready) {
        port.CancelWait();
        reader.join();
        FAIL() << "the sentence never came";
      }
      EXPECT_EQ(got.get(), "$GPGGA,1\r\n");
      pty.Close();  // the receiver goes away
      if (!whileWaiting) lineGone.set_value();
      auto code = ended.get_future();
      const bool endedByItself = code.wait_for(30s) == std::future_status::ready;
      if (!endedByItself) port.CancelWait();  // a wait that never ends: free the reader to fail
      reader.join();
      EXPECT_TRUE(endedByItself);
      EXPECT_EQ(code.get(), static_cast<LONG>(platform::ERROR_GEN_FAILURE_CODE));
    }
  }
}

}  // namespace
