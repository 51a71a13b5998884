#include "serial/serial.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/message_box.h"
#include "platform/win_app.h"

namespace {

constexpr DWORD kBaudRates[kBaudIndexCount] = {1200, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
const char* const kBaudTexts[kBaudIndexCount] = {"1200",  "4800",  "9600",  "14400", "19200",
                                                 "38400", "56000", "57600", "115200"};

constexpr LONG kNotOpen = static_cast<LONG>(ERROR_INVALID_HANDLE_CODE);

// The program's build tells the user about some failures; the library's stays silent.
// These boxes go through the application object: its name ("tolvanixpda") is the
// caption. No owner, because the reader threads call this too and the main window's
// handle belongs to the user-interface thread.
void Complain(const char* text) {
  if constexpr (TVX_SERIAL_PROGRAM) {
    if (text == nullptr) return;
    const CWinApp* app = AfxGetApp();
    MessageBox(nullptr, text, app ? app->m_pszAppName : std::string(), MB_OK);
  }
}

// The class does neither overlapped operation nor time-outs. A caller that asks for
// them has a programming error the process cannot recover from.
void CheckArguments(void* overlapped, DWORD timeout) {
  if (overlapped == nullptr && timeout == INFINITE_WAIT) return;
  MessageBox(nullptr, "Overlapped I/O and time-outs are not supported, when overlapped I/O is disabled.",
             "Serial library", MB_OK | MB_ICONSTOP);
  std::_Exit(1);
}

}  // namespace

DWORD BaudRateForIndex(int baudIndex) {
  if (baudIndex < 0 || baudIndex >= kBaudIndexCount) return 4800;
  return kBaudRates[baudIndex];
}

const char* BaudTextForIndex(int baudIndex) {
  if (baudIndex < 0 || baudIndex >= kBaudIndexCount) return "";
  return kBaudTexts[baudIndex];
}

CSerial::CSerial() = default;

CSerial::~CSerial() {
  if (IsOpen()) Close();
}

LONG CSerial::Open(const std::string& device, DWORD inQueue, DWORD outQueue, bool overlapped) {
  m_lastError = 0;
  if (IsOpen()) return Done(static_cast<LONG>(ERROR_ALREADY_INITIALIZED_CODE));
  // Queue sizes need no set-up: the kernel's buffers serve; overlapped is not supported
  // by the operations themselves (see CheckArguments).
  (void)inQueue;
  (void)outQueue;
  (void)overlapped;
  if (DWORD code = m_port.Open(device)) return Done(static_cast<LONG>(code));
  m_eventBits = 0;
  m_lookaheadLength = 0;
  m_port.GetErrorCounts(m_errorsSeen);
  SetMask(EV_RXCHAR | EV_RXFLAG);
  return SetupReadTimeouts(SERIAL_READ_NONBLOCKING);
}

LONG CSerial::Close() {
  m_lastError = 0;
  m_port.Close();
  m_lookaheadLength = 0;
  return Done(0);
}

LONG CSerial::Setup(DWORD baudRate, BYTE dataBits, BYTE parity, BYTE stopBits) {
  m_lastError = 0;
  platform::SerialLineState state;
  if (DWORD code = m_port.GetState(state)) return Done(static_cast<LONG>(code));
  state.baudRate = baudRate;
  state.byteSize = dataBits;
  state.parity = parity;
  state.stopBits = stopBits;
  state.parityCheck = parity != NOPARITY;
  return Done(static_cast<LONG>(m_port.SetState(state)));
}

LONG CSerial::SetEventChar(BYTE eventChar, bool adjustMask) {
  m_lastError = 0;
  platform::SerialLineState state;
  if (DWORD code = m_port.GetState(state)) return Done(static_cast<LONG>(code));
  state.eventChar = static_cast<char>(eventChar);
  if (adjustMask) {
    if (LONG code = SetMask(GetEventMask() | EV_RXFLAG)) return code;
  }
  return Done(static_cast<LONG>(m_port.SetState(state)));
}

LONG CSerial::SetMask(DWORD mask) {
  m_lastError = 0;
  if (!IsOpen()) {
    Complain("Error: Dispositivo no disponible\n");
    return Done(kNotOpen);
  }
  m_eventMask = mask;
  return Done(0);
}

DWORD CSerial::FillLookahead() {
  std::size_t got = 0;
  const DWORD code = m_port.Read(m_lookahead + m_lookaheadLength, sizeof m_lookahead - m_lookaheadLength, got);
  if (code == 0) m_lookaheadLength += got;
  return code;
}

LONG CSerial::WaitEvent(void* overlapped, DWORD timeout) {
  CheckArguments(overlapped, timeout);
  m_lastError = 0;
  if (!IsOpen()) {
    Complain("Error: Dispositivo no disponible\n");
    return Done(kNotOpen);
  }
  const DWORD mask = m_eventMask;
  if ((mask & (EV_RXCHAR | EV_RXFLAG)) == 0) {
    return Done(static_cast<LONG>(platform::ERROR_INVALID_PARAMETER_CODE));  // nothing could ever happen
  }
  for (;;) {
    DWORD bits = 0;
    if (mask & EV_RXFLAG) {
      // Only the bytes themselves tell whether the event character came: look ahead.
      const DWORD readCode = FillLookahead();
      const char eventChar = static_cast<char>(GetEventChar());
      if (std::memchr(m_lookahead, eventChar, m_lookaheadLength) != nullptr) bits |= EV_RXFLAG;
      if ((mask & EV_RXCHAR) && m_lookaheadLength > 0) bits |= EV_RXCHAR;
      // A full look-ahead without the character cannot change until the caller reads.
      if (bits == 0 && m_lookaheadLength == sizeof m_lookahead) bits = mask & EV_RXCHAR;
      if (bits != 0 || m_lookaheadLength == sizeof m_lookahead) {
        m_eventBits = bits;
        return Done(0);
      }
      // A hung-up line stays readable for poll while every read ends at once without a
      // byte: the device is gone, and no event can come any more.
      if (readCode != 0) {
        m_eventBits = 0;
        return Done(static_cast<LONG>(readCode));
      }
    }
    DWORD code = m_port.WaitReadable(-1);
    if (code != 0) {
      m_eventBits = 0;
      return Done(static_cast<LONG>(code));
    }
    if (!(mask & EV_RXFLAG)) {
      m_eventBits = EV_RXCHAR;
      return Done(0);
    }
  }
}

DWORD CSerial::GetEventType() {
  DWORD bits = m_eventBits & m_eventMask;
  m_eventBits = 0;
  return bits;
}

LONG CSerial::SetupHandshaking(int handshake) {
  m_lastError = 0;
  platform::SerialLineState state;
  if (DWORD code = m_port.GetState(state)) return Done(static_cast<LONG>(code));
  switch (handshake) {
    case SERIAL_HANDSHAKE_OFF:
      state.rtsCtsFlow = state.xonXoffOut = state.xonXoffIn = false;
      break;
    case SERIAL_HANDSHAKE_HARDWARE:  // RTS/CTS: Linux has no DSR/DTR flow control
      state.rtsCtsFlow = true;
      state.xonXoffOut = state.xonXoffIn = false;
      break;
    case SERIAL_HANDSHAKE_SOFTWARE:
      state.rtsCtsFlow = false;
      state.xonXoffOut = state.xonXoffIn = true;
      break;
    default:
      return Done(SERIAL_E_INVALIDARG);
  }
  return Done(static_cast<LONG>(m_port.SetState(state)));
}

LONG CSerial::SetupReadTimeouts(int readTimeouts) {
  m_lastError = 0;
  if (!IsOpen()) return Done(kNotOpen);
  if (readTimeouts != SERIAL_READ_NONBLOCKING && readTimeouts != SERIAL_READ_BLOCKING) {
    return Done(SERIAL_E_INVALIDARG);
  }
  m_blockingReads = readTimeouts == SERIAL_READ_BLOCKING;
  return Done(0);
}

bool CSerial::ReadLineState(platform::SerialLineState& state, const char* notOpenText, const char* failedText) {
  m_lastError = 0;
  DWORD code = m_port.GetState(state);
  if (code == 0) return true;
  Complain(IsOpen() ? failedText : notOpenText);
  Done(static_cast<LONG>(code));
  return false;
}

LONG CSerial::GetBaudrate() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "Error: Dispositivo no abierto\n", "Error: No se pudo obtener DCB\n")) return -1;
  return static_cast<LONG>(s.baudRate);
}

LONG CSerial::GetDataBits() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "Error: Dispositivo no abierto\n", "E#1 - No se puede obtener la estructura DCB\n")) {
    return -1;
  }
  return s.byteSize;
}

LONG CSerial::GetParity() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "E#5 - Dispositivo no abierto\n", "E#2 - No se puede obtener la estructura DCB\n")) {
    return -1;
  }
  return s.parityCheck ? s.parity : NOPARITY;
}

LONG CSerial::GetStopBits() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "Device is not opened\n", "Unable to obtain DCB information\n")) return -1;
  return s.stopBits;
}

LONG CSerial::GetHandshaking() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "Device is not opened\n", "Unable to obtain DCB information\n")) return -1;
  if (s.rtsCtsFlow) return SERIAL_HANDSHAKE_HARDWARE;
  if (s.xonXoffOut && s.xonXoffIn) return SERIAL_HANDSHAKE_SOFTWARE;
  return SERIAL_HANDSHAKE_OFF;
}

DWORD CSerial::GetEventMask() {
  m_lastError = 0;
  if (!IsOpen()) {
    Complain("Error: Dispositivo no abierto\n");
    Done(kNotOpen);
    return 0;
  }
  return m_eventMask;
}

BYTE CSerial::GetEventChar() {
  platform::SerialLineState s;
  if (!ReadLineState(s, "Device is not opened\n", "Unable to obtain DCB information\n")) return 0;
  return static_cast<BYTE>(s.eventChar);
}

LONG CSerial::WriteAll(const void* data, DWORD length, DWORD* written) {
  std::size_t done = 0;
  DWORD code = m_port.Write(data, length, done);
  if (written) *written = static_cast<DWORD>(done);
  return static_cast<LONG>(code);
}

LONG CSerial::Write(const void* data, DWORD length, DWORD* written, void* overlapped, DWORD timeout) {
  CheckArguments(overlapped, timeout);
  m_lastError = 0;
  if (written) *written = 0;
  if (!IsOpen()) {
    Complain("Device is not opened\n");
    return Done(kNotOpen);
  }
  LONG code = WriteAll(data, length, written);
  if (code != 0) Complain("CSerial::Write - Unable to write the data\n");
  return Done(code);
}

LONG CSerial::WriteString(const char* text, DWORD* written, void* overlapped, DWORD timeout) {
  CheckArguments(overlapped, timeout);
  m_lastError = 0;
  return Write(text, text ? static_cast<DWORD>(std::strlen(text)) : 0, written);
}

#if !TVX_SERIAL_PROGRAM
LONG CSerial::WriteBuffer(const void* data, DWORD length) {
  m_lastError = 0;
  return Done(WriteAll(data, length, nullptr));
}
#endif

LONG CSerial::Read(void* buffer, DWORD length, DWORD* read, void* overlapped, DWORD timeout) {
  CheckArguments(overlapped, timeout);
  m_lastError = 0;
  if (read) *read = 0;
  if (!IsOpen()) {
    Complain("Error: Dispositivo no abierto\n");
    return Done(kNotOpen);
  }
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t have = std::min<std::size_t>(length, m_lookaheadLength);
  std::memcpy(out, m_lookahead, have);
  std::memmove(m_lookahead, m_lookahead + have, m_lookaheadLength - have);
  m_lookaheadLength -= have;
  DWORD code = 0;
  while (have < length) {
    std::size_t got = 0;
    code = m_port.Read(out + have, length - have, got);
    have += got;
    if (code != 0 || !m_blockingReads || have == length) break;
    if (got == 0 && (code = m_port.WaitReadable(-1)) != 0) break;
  }
  if (read) *read = static_cast<DWORD>(have);
  return Done(static_cast<LONG>(code));
}

LONG CSerial::Purge() {
  m_lastError = 0;
  if (!IsOpen()) {
    Complain("Error: Dispositivo no abierto\n");
    return Done(kNotOpen);
  }
  m_port.Purge();  // its own result is not looked at
  m_lookaheadLength = 0;
  return Done(0);
}

#if !TVX_SERIAL_PROGRAM
SerialPortState CSerial::CheckPort(const std::string& device) {
  switch (platform::SerialDevice::Probe(device)) {
    case 0:
      return SERIAL_PORT_AVAILABLE;
    case ERROR_FILE_NOT_FOUND_CODE:
      return SERIAL_PORT_NOT_PRESENT;
    case ERROR_ACCESS_DENIED_CODE:
      return SERIAL_PORT_IN_USE;
    default:
      return SERIAL_PORT_FAILURE;
  }
}

LONG CSerial::Break() {
  m_lastError = 0;
  if (DWORD code = m_port.SetBreak(true)) return Done(static_cast<LONG>(code));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return Done(static_cast<LONG>(m_port.SetBreak(false)));
}

DWORD CSerial::GetError() {
  platform::SerialErrorCounts now;
  if (m_port.GetErrorCounts(now) != 0) return 0;
  DWORD bits = 0;
  if (now.bufferOverrun != m_errorsSeen.bufferOverrun) bits |= CE_RXOVER;
  if (now.overrun != m_errorsSeen.overrun) bits |= CE_OVERRUN;
  if (now.parity != m_errorsSeen.parity) bits |= CE_RXPARITY;
  if (now.frame != m_errorsSeen.frame) bits |= CE_FRAME;
  if (now.breaks != m_errorsSeen.breaks) bits |= CE_BREAK;
  m_errorsSeen = now;
  return bits;
}

DWORD CSerial::ModemBit(DWORD bit) {
  m_lastError = 0;
  DWORD bits = 0;
  if (DWORD code = m_port.GetModemStatus(bits)) {
    Done(static_cast<LONG>(code));
    return 0;
  }
  return (bits & bit) ? 1 : 0;
}

int CSerial::GetCTS() { return static_cast<int>(ModemBit(platform::MS_CTS_ON)); }
int CSerial::GetDSR() { return static_cast<int>(ModemBit(platform::MS_DSR_ON)); }
int CSerial::GetRing() { return static_cast<int>(ModemBit(platform::MS_RING_ON)); }
int CSerial::GetRLSD() { return static_cast<int>(ModemBit(platform::MS_RLSD_ON)); }
#endif
