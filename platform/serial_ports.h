// Serial ports by number and the Linux serial devices behind them.
//
// Port map: the program names ports "COM0:" .. "COM9:". Each number maps to a device
// path, looked up in this order:
//   0. a port this process provides itself (the virtual port's own channel while the
//      program shares its receiver, see SetProcessSerialPort),
//   1. the environment variable TVX_PORT_<n> (an empty value means "no device"),
//   2. the options store, key SerialPortsKey(), string value "COM<n>",
//   3. the default table: COM0 none (the virtual port: a pseudo-terminal that its
//      publisher enters in the store), COM1..COM4 /dev/ttyUSB0..3, COM5..COM8
//      /dev/ttyACM0..3, COM9 /dev/rfcomm0 (a paired Bluetooth receiver).
// A name that starts with "/" is taken as a device path as it is.
//
// SerialDevice: one open device with the platform's result codes (0 success, 2 no such
// device, 5 in use or no permission, 6 not open, 87 bad parameter, 995 wait cancelled,
// other failures 31). Opening is exclusive: TIOCEXCL against other programs and an
// flock that even root's second opener respects. Every rate is set through the kernel's
// arbitrary-rate interface (termios2 with BOTHER); a rate the driver cannot make within
// 3 % is refused with 87.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform {

constexpr DWORD ERROR_GEN_FAILURE_CODE = 31;
constexpr DWORD ERROR_INVALID_PARAMETER_CODE = 87;
constexpr DWORD WAIT_TIMEOUT_CODE = 258;
constexpr DWORD ERROR_OPERATION_ABORTED_CODE = 995;

// HKEY_CURRENT_USER\software\Vorel - Tolvanix PDA\tolvanixpda\Puertos
const std::string& SerialPortsKey();

// "COM3:" -> 3; -1 for any other name. Accepts "COM3" without the colon too.
int SerialPortNumber(std::string_view name);
std::string DefaultSerialDevice(int port);
// The device of a port number; empty when the port has none.
std::string SerialDevicePath(int port);
// "COMn:" through the map, a path as it is; empty when nothing is behind the name.
std::string ResolveSerialName(std::string_view name);

// Enters / removes a device as port n in the options store (the virtual port, the
// receiver simulator). Return false when the store cannot be written.
bool PublishSerialPort(int port, const std::string& devicePath);
bool UnpublishSerialPort(int port);
// The device the options store holds for port n (what other programs find there);
// empty when nothing is published.
std::string PublishedSerialPort(int port);

// Port n names devicePath for this process only, ahead of the environment and the store;
// other programs keep seeing the store's entry. An empty path removes the override.
// Thread-safe.
void SetProcessSerialPort(int port, const std::string& devicePath);

// Line settings (the platform's device control block). Codes as the platform's:
// parity 0 none, 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and a half,
// 2 two.
struct SerialLineState {
  DWORD baudRate = 0;  // bit/s
  BYTE byteSize = 8;
  BYTE parity = 0;
  BYTE stopBits = 0;
  bool parityCheck = false;   // received parity is checked
  bool rtsCtsFlow = false;    // hardware handshake
  bool xonXoffOut = false;    // software handshake, output side
  bool xonXoffIn = false;     // software handshake, input side
  char eventChar = 0;         // kept by the device object; the kernel has no such setting
};

// Modem status bits as the platform reports them.
constexpr DWORD MS_CTS_ON = 0x10;
constexpr DWORD MS_DSR_ON = 0x20;
constexpr DWORD MS_RING_ON = 0x40;
constexpr DWORD MS_RLSD_ON = 0x80;

// Line error counts since the device was opened (drivers without counters report none).
struct SerialErrorCounts {
  std::uint32_t frame = 0;
  std::uint32_t overrun = 0;
  std::uint32_t parity = 0;
  std::uint32_t breaks = 0;
  std::uint32_t bufferOverrun = 0;
};

class SerialDevice {
 public:
  SerialDevice();
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Opens exclusively in raw 8N1 mode without flow control, keeping the line's rate.
  DWORD Open(std::string_view name);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  // Opens and closes again: 0 when the port could be had now.
  static DWORD Probe(std::string_view name);

  DWORD GetState(SerialLineState& state) const;
  DWORD SetState(const SerialLineState& state);

  // Takes what is buffered now (0 bytes when nothing is), never waits. A line that was
  // hung up (device gone) gives ERROR_GEN_FAILURE_CODE.
  DWORD Read(void* buffer, std::size_t length, std::size_t& got);
  // Writes everything, waiting while the driver's output buffer is full.
  DWORD Write(const void* data, std::size_t length, std::size_t& written);
  // 0 when bytes are waiting, WAIT_TIMEOUT_CODE after timeoutMs (-1 = no limit),
  // ERROR_OPERATION_ABORTED_CODE when Wake was called.
  DWORD WaitReadable(int timeoutMs);
  // Any thread: ends the wait in progress, or the next one when none is.
  void Wake();

  DWORD Purge();
  DWORD SetBreak(bool on);
  DWORD GetModemStatus(DWORD& bits) const;
  DWORD GetErrorCounts(SerialErrorCounts& counts) const;

 private:
  int m_fd = -1;
  int m_wakeFd = -1;
  char m_eventChar = 0;
};

// A pseudo-terminal that stands in for a serial receiver: programs open SlavePath() as
// a serial device; the owner talks to them through the master side. The slave stays
// open inside this object so its line settings survive the programs' opens and closes.
class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool Create();
  void Close();
  const std::string& SlavePath() const { return m_slavePath; }

  // Writes the bytes to the slave's input. When nobody reads and the input queue stays
  // full for timeoutMs, the rest is dropped (as bytes on a wire nobody listens to) and
  // false is returned; false too when the line is gone.
  bool Write(const void* data, std::size_t length, int timeoutMs = 1000);
  // Reads what the slave's programs wrote, waiting up to timeoutMs for the first byte.
  std::size_t Read(void* buffer, std::size_t length, int timeoutMs);
  // The rate the slave's program set, in bit/s; 0 when unknown.
  DWORD SlaveBaudRate() const;
  // Throws away what was written to the slave's input and not yet read by its program
  // (a backlog nobody is taking), so the next bytes written are the next ones read.
  void DiscardUnread();

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
};

}  // namespace platform
