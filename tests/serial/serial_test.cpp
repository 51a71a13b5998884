// CSerial (the set-up library's full build) against a pseudo-terminal peer.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/options_store.h"

namespace {

using namespace std::chrono_literals;
using platform::PseudoTerminal;

class SerialTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.Create()); }
  std::string Received(std::size_t want) {
    std::string out;
    char buf[256];
    while (out.size() < want) {
      std::size_t n = pty.Read(buf, sizeof buf, 2000);
      if (n == 0) break;
      out.append(buf, n);
    }
    return out;
  }
  PseudoTerminal pty;
  CSerial port;
};

TEST_F(SerialTest, OpenTwiceAndExclusiveUse) {
  ASSERT_EQ(port.Open(pty.SlavePath()), 0);
  EXPECT_EQ(port.Open(pty.SlavePath()), 1247);
  EXPECT_EQ(port.LastError(), 1247);
  EXPECT_TRUE(port.IsOpen());  // the first opening still serves
  DWORD written = 0;
  EXPECT_EQ(port.WriteString("ok", &written), 0);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(Received(2), "ok");

  CSerial other;
  EXPECT_EQ(other.Open(pty.SlavePath()), 5);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(CSerial::CheckPort(pty.SlavePath()), SERIAL_PORT_IN_USE);
  port.Close();
  EXPECT_EQ(CSerial::CheckPort(pty.SlavePath()), SERIAL_PORT_AVAILABLE);
  EXPECT_EQ(other.Open(pty.SlavePath()), 0);

  EXPECT_EQ(CSerial::CheckPort("/dev/tvx-no-such-device"), SERIAL_PORT_NOT_PRESENT);
  EXPECT_EQ(port.Open("/dev/tvx-no-such-device"), 2);
  EXPECT_EQ(CSerial::CheckPort("/dev/null"), SERIAL_PORT_FAILURE);  // not a serial line
}

TEST_F(SerialTest, ClosedPortCodes) {
  char buf[4];
  DWORD n = 99;
  EXPECT_EQ(port.Read(buf, 4, &n), 6);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(port.Write("x", 1, &n), 6);
  EXPECT_EQ(port.WriteBuffer("x", 1), 6);
  EXPECT_EQ(port.Setup(4800, 8, NOPARITY, ONESTOPBIT), 6);
  EXPECT_EQ(port.SetMask(EV_RXCHAR), 6);
  EXPECT_EQ(port.WaitEvent(), 6);
  EXPECT_EQ(port.Purge(), 6);
  EXPECT_EQ(port.SetupHandshaking(SERIAL_HANDSHAKE_OFF), 6);
  EXPECT_EQ(port.SetupReadTimeouts(SERIAL_READ_NONBLOCKING), 6);
  EXPECT_EQ(port.SetEventChar('\n', true), 6);
  EXPECT_EQ(port.GetBaudrate(), -1);
  EXPECT_EQ(port.GetParity(), -1);
  EXPECT_EQ(port.GetHandshaking(), -1);
  EXPECT_EQ(port.GetEventChar(), 0);
  EXPECT_EQ(port.GetEventMask(), 0u);
  EXPECT_EQ(port.LastError(), 6);
  EXPECT_EQ(port.GetCTS(), 0);
  EXPECT_EQ(port.LastError(), 6);
  EXPECT_EQ(port.Close(), 0);
}

TEST_F(SerialTest, ReadTimeoutKinds) {
  ASSERT_EQ(port.Open(pty.SlavePath()), 0);
  char buf[16];
  DWORD n = 99;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.Read(buf, sizeof buf, &n), 0);
  EXPECT_EQ(n, 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);

  // An unknown kind changes nothing: reads stay non-blocking.
  EXPECT_EQ(port.SetupReadTimeouts(2), static_cast<LONG>(0x80070057));
  EXPECT_EQ(port.Read(buf, sizeof buf, &n), 0);
  EXPECT_EQ(n, 0u);

  // Blocking: the read returns only when all bytes came, here in two parts.
  ASSERT_EQ(port.SetupReadTimeouts(SERIAL_READ_BLOCKING), 0);
  std::thread peer([&] {
    pty.Write("abcd", 4);
    std::this_thread::sleep_for(150ms);
    pty.Write("efgh", 4);
  });
  EXPECT_EQ(port.Read(buf, 8, &n), 0);
  peer.join();
  EXPECT_EQ(n, 8u);
  EXPECT_EQ(std::string(buf, 8), "abcdefgh");
}

TEST_F(SerialTest, EventTypeBits) {
  ASSERT_EQ(port.Open(pty.SlavePath()), 0);
  EXPECT_EQ(port.GetEventMask(), EV_RXCHAR | EV_RXFLAG);
  ASSERT_EQ(port.SetMask(EV_RXCHAR), 0);
  pty.Write("$", 1);
  ASSERT_EQ(port.WaitEvent(), 0);
  EXPECT_EQ(port.GetEventType(), EV_RXCHAR);
  EXPECT_EQ(port.GetEventType(), 0u);  // once only

  // The event character: bytes without it give EV_RXCHAR only.
  ASSERT_EQ(port.SetEventChar('\n', true), 0);
  EXPECT_EQ(port.GetEventMask(), EV_RXCHAR | EV_RXFLAG);
  EXPECT_EQ(port.GetEventChar(), '\n');
  pty.Write("GPGGA", 5);
  ASSERT_EQ(port.WaitEvent(), 0);
  EXPECT_EQ(port.GetEventType(), EV_RXCHAR);
  std::thread peer([&] {
    std::this_thread::sleep_for(50ms);
    pty.Write("\r\n", 2);
  });
  ASSERT_EQ(port.SetMask(EV_RXFLAG), 0);
  ASSERT_EQ(port.WaitEvent(), 0);  // waits for the line end
  peer.join();
  EXPECT_EQ(port.GetEventType(), EV_RXFLAG);
  char buf[16];
  DWORD n = 0;
  EXPECT_EQ(port.Read(buf, sizeof buf, &n), 0);
  EXPECT_EQ(std::string(buf, n), "$GPGGA\r\n");  // nothing lost to the look-ahead
}

TEST_F(SerialTest, LineSettingsAllRates) {
  ASSERT_EQ(port.Open(pty.SlavePath()), 0);
  for (int index = 0; index < kBaudIndexCount; ++index) {
    DWORD rate = BaudRateForIndex(index);
    SCOPED_TRACE(rate);
    ASSERT_EQ(port.Setup(rate, 8, NOPARITY, ONESTOPBIT), 0);
    EXPECT_EQ(port.GetBaudrate(), static_cast<LONG>(rate));
    EXPECT_EQ(pty.SlaveBaudRate(), rate);  // what the kernel holds for the line
  }
  // A pseudo-terminal always carries 8 data bits without parity (the kernel strips
  // both), so only the stop bits show what Setup asked for.
  ASSERT_EQ(port.Setup(9600, 8, EVENPARITY, TWOSTOPBITS), 0);
  EXPECT_EQ(port.GetStopBits(), TWOSTOPBITS);
  ASSERT_EQ(port.Setup(9600, 8, NOPARITY, ONESTOPBIT), 0);
  EXPECT_EQ(port.GetParity(), NOPARITY);
  EXPECT_EQ(port.GetStopBits(), ONESTOPBIT);
  EXPECT_EQ(port.GetDataBits(), 8);
  EXPECT_EQ(port.Setup(9600, 9, NOPARITY, ONESTOPBIT), 87);

  for (int kind : {SERIAL_HANDSHAKE_HARDWARE, SERIAL_HANDSHAKE_SOFTWARE, SERIAL_HANDSHAKE_OFF}) {
    ASSERT_EQ(port.SetupHandshaking(kind), 0);
    EXPECT_EQ(port.GetHandshaking(), kind);
  }
  EXPECT_EQ(port.SetupHandshaking(3), static_cast<LONG>(0x80070057));
  EXPECT_EQ(port.GetHandshaking(), SERIAL_HANDSHAKE_OFF);
}

TEST(BaudIndexTest, Table) {
  EXPECT_EQ(BaudRateForIndex(0), 1200u);
  EXPECT_EQ(BaudRateForIndex(3), 14400u);
  EXPECT_EQ(BaudRateForIndex(6), 56000u);
  EXPECT_EQ(BaudRateForIndex(8), 115200u);
  EXPECT_EQ(BaudRateForIndex(-1), 4800u);
  EXPECT_EQ(BaudRateForIndex(9), 4800u);
  EXPECT_STREQ(BaudTextForIndex(1), "4800");
  EXPECT_STREQ(BaudTextForIndex(8), "115200");
  EXPECT_STREQ(BaudTextForIndex(9), "");
  EXPECT_STREQ(BaudTextForIndex(-1), "");
}

TEST(SerialArguments, OverlappedOrTimeoutEndsTheProcess) {
  CSerial port;
  char buf[1];
  int fake = 0;
  EXPECT_EXIT(port.Read(buf, 1, nullptr, &fake), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(port.WaitEvent(nullptr, 100), ::testing::ExitedWithCode(1), "");
}

TEST(SerialPortMap, EnvironmentThenStoreThenDefault) {
  char dir[] = "/tmp/tvx-ports-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  platform::OptionsStore::Instance().SetPath(std::string(dir) + "/registry.ini");
  unsetenv("TVX_PORT_3");
  unsetenv("TVX_PORT_0");
  EXPECT_EQ(platform::ResolveSerialName("COM3:"), "/dev/ttyUSB2");
  EXPECT_EQ(platform::ResolveSerialName("COM5:"), "/dev/ttyACM0");
  EXPECT_EQ(platform::ResolveSerialName("COM9:"), "/dev/rfcomm0");
  EXPECT_EQ(platform::ResolveSerialName("COM0:"), "");
  EXPECT_EQ(platform::ResolveSerialName("COM10:"), "");
  EXPECT_EQ(platform::ResolveSerialName("LPT1:"), "");
  ASSERT_TRUE(platform::PublishSerialPort(3, "/dev/pts/7"));
  EXPECT_EQ(platform::ResolveSerialName("COM3:"), "/dev/pts/7");
  setenv("TVX_PORT_3", "/dev/pts/9", 1);
  EXPECT_EQ(platform::ResolveSerialName("COM3:"), "/dev/pts/9");
  setenv("TVX_PORT_3", "", 1);  // switched off for this process
  EXPECT_EQ(platform::ResolveSerialName("COM3:"), "");
  unsetenv("TVX_PORT_3");
  ASSERT_TRUE(platform::UnpublishSerialPort(3));
  EXPECT_EQ(platform::ResolveSerialName("COM3:"), "/dev/ttyUSB2");

  // A published pseudo-terminal is opened by its number.
  PseudoTerminal pty;
  ASSERT_TRUE(pty.Create());
  ASSERT_TRUE(platform::PublishSerialPort(0, pty.SlavePath()));
  CSerial port;
  EXPECT_EQ(port.Open("COM0:"), 0);
  platform::OptionsStore::Instance().SetPath("");
  std::system((std::string("rm -rf ") + dir).c_str());
}

}  // namespace
