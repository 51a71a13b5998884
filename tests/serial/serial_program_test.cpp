// The program's build of CSerial: the same codes, plus a box with a fixed text on some
// failures.
#include "serial/serial.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/win_app.h"

namespace {

static_assert(TVX_SERIAL_PROGRAM == 1);

TEST(SerialProgramBuild, ClosedPortBoxes) {
  platform::MessageBoxScript::Clear();
  // The boxes go through the application object, whose name (string 57344 of the
  // program's own table) is their caption.
  CWinApp app("tolvanixpda");
  CSerial port;
  char buf[4];
  DWORD n = 0;
  struct Case {
    std::function<void()> call;
    const char* text;
  } cases[] = {
      {[&] { port.SetMask(EV_RXCHAR); }, "Error: Dispositivo no disponible\n"},
      {[&] { port.WaitEvent(); }, "Error: Dispositivo no disponible\n"},
      {[&] { port.Read(buf, 4, &n); }, "Error: Dispositivo no abierto\n"},
      {[&] { port.Purge(); }, "Error: Dispositivo no abierto\n"},
      {[&] { port.GetEventMask(); }, "Error: Dispositivo no abierto\n"},
      {[&] { port.GetBaudrate(); }, "Error: Dispositivo no abierto\n"},
      {[&] { port.GetDataBits(); }, "Error: Dispositivo no abierto\n"},
      {[&] { port.GetParity(); }, "E#5 - Dispositivo no abierto\n"},
      {[&] { port.GetStopBits(); }, "Device is not opened\n"},
      {[&] { port.GetEventChar(); }, "Device is not opened\n"},
      {[&] { port.GetHandshaking(); }, "Device is not opened\n"},
      {[&] { port.Write("x", 1, &n); }, "Device is not opened\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    c.call();
    EXPECT_EQ(port.LastError(), 6);
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.text);
    EXPECT_EQ(shown[0].caption, "tolvanixpda");
    EXPECT_EQ(shown[0].style, MB_OK);
  }
  // Setup and the handshake/time-out set-up fail silently.
  port.Setup(4800, 8, NOPARITY, ONESTOPBIT);
  port.SetupReadTimeouts(SERIAL_READ_NONBLOCKING);
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

}  // namespace
