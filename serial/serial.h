// CSerial: one serial device (a numbered port "COMn:" or a device path) behind a small
// set of operations that each return a platform error code and keep it as the last
// error: 0 success, 6 the port is not open, 1247 Open on an open port, 0x80070057 an
// unknown kind argument, otherwise the device layer's code (2 no such device, 5 in use,
// 87 bad parameter, 995 wait cancelled, 31 other failure).
//
// Two builds come from this source. The set-up library's (tvx_serial_extras) is the
// full class. The program's (tvx_serial, TVX_SERIAL_PROGRAM=1) has no WriteBuffer,
// CheckPort, Break, GetError or modem-status getters, and several failures also show a
// message box with a fixed text before returning.
//
// Threads: an object is used by one thread at a time, except CancelWait, which any
// thread may call to end a WaitEvent (or a blocking Read) in progress.
#pragma once

#include <cstddef>
#include <string>

#include "platform/serial_ports.h"
#include "platform/win_types.h"
#include "serial/baud_index.h"

#ifndef TVX_SERIAL_PROGRAM
#define TVX_SERIAL_PROGRAM 0
#endif

// Event bits of WaitEvent / SetMask.
constexpr DWORD EV_RXCHAR = 0x0001;
constexpr DWORD EV_RXFLAG = 0x0002;

// Line setting codes of Setup.
constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE MARKPARITY = 3;
constexpr BYTE SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE ONE5STOPBITS = 1;
constexpr BYTE TWOSTOPBITS = 2;

// Error bits of GetError.
constexpr DWORD CE_RXOVER = 0x0001;
constexpr DWORD CE_OVERRUN = 0x0002;
constexpr DWORD CE_RXPARITY = 0x0004;
constexpr DWORD CE_FRAME = 0x0008;
constexpr DWORD CE_BREAK = 0x0010;

constexpr LONG SERIAL_E_INVALIDARG = static_cast<LONG>(E_INVALIDARG_CODE);

enum SerialHandshake : int { SERIAL_HANDSHAKE_OFF = 0, SERIAL_HANDSHAKE_HARDWARE = 1, SERIAL_HANDSHAKE_SOFTWARE = 2 };
enum SerialReadTimeouts : int { SERIAL_READ_NONBLOCKING = 0, SERIAL_READ_BLOCKING = 1 };
enum SerialPortState : int {
  SERIAL_PORT_AVAILABLE = 0,
  SERIAL_PORT_NOT_PRESENT = 1,
  SERIAL_PORT_IN_USE = 2,
  SERIAL_PORT_FAILURE = -1,
};

class CSerial {
 public:
  CSerial();
  virtual ~CSerial();
  CSerial(const CSerial&) = delete;
  CSerial& operator=(const CSerial&) = delete;

  // Opens the device exclusively; queue sizes are accepted and not needed. Then sets
  // the mask EV_RXCHAR | EV_RXFLAG and non-blocking reads.
  virtual LONG Open(const std::string& device, DWORD inQueue = 0, DWORD outQueue = 0, bool overlapped = false);
  virtual LONG Close();
  // Rate in bit/s, data bits 5..8, parity and stop bits as the codes above. The parity
  // check is on exactly when the parity is not none.
  virtual LONG Setup(DWORD baudRate, BYTE dataBits, BYTE parity, BYTE stopBits);
  virtual LONG SetEventChar(BYTE eventChar, bool adjustMask);
  virtual LONG SetMask(DWORD mask);
  // Waits until an event of the mask happens: EV_RXCHAR while received bytes are
  // waiting, EV_RXFLAG while the event character is among them. overlapped must be null
  // and timeout INFINITE_WAIT. 995 when CancelWait ended the wait; with EV_RXFLAG in the
  // mask, the device's code (31) when the line was hung up and nothing is left to report.
  virtual LONG WaitEvent(void* overlapped = nullptr, DWORD timeout = INFINITE_WAIT);
  virtual LONG SetupHandshaking(int handshake);
  virtual LONG SetupReadTimeouts(int readTimeouts);
  virtual LONG GetBaudrate();
  virtual LONG GetDataBits();
  virtual LONG GetParity();
  virtual LONG GetStopBits();
  virtual LONG GetHandshaking();
  virtual DWORD GetEventMask();
  virtual BYTE GetEventChar();
  virtual LONG WriteString(const char* text, DWORD* written, void* overlapped = nullptr,
                           DWORD timeout = INFINITE_WAIT);
  virtual LONG Write(const void* data, DWORD length, DWORD* written = nullptr, void* overlapped = nullptr,
                     DWORD timeout = INFINITE_WAIT);
#if !TVX_SERIAL_PROGRAM
  virtual LONG WriteBuffer(const void* data, DWORD length);
#endif
  // Non-blocking: returns at once with what was received (possibly nothing). Blocking:
  // returns when length bytes came, or with what came when CancelWait interrupted it.
  virtual LONG Read(void* buffer, DWORD length, DWORD* read = nullptr, void* overlapped = nullptr,
                    DWORD timeout = INFINITE_WAIT);

#if !TVX_SERIAL_PROGRAM
  static SerialPortState CheckPort(const std::string& device);
#endif
  LONG Purge();
#if !TVX_SERIAL_PROGRAM
  LONG Break();
#endif
  // The bits of the last WaitEvent within the mask; they are cleared.
  DWORD GetEventType();
#if !TVX_SERIAL_PROGRAM
  // CE_ bits of line errors since the last call (0 when the driver keeps no counts).
  DWORD GetError();
  int GetCTS();
  int GetDSR();
  int GetRing();
  int GetRLSD();
#endif

  // Any thread: ends the WaitEvent or blocking Read in progress with 995, or the next
  // one when none is in progress.
  void CancelWait() { m_port.Wake(); }

  LONG LastError() const { return m_lastError; }
  bool IsOpen() const { return m_port.IsOpen(); }

 private:
  LONG Done(LONG code) {
    m_lastError = code;
    return code;
  }
  // Reads the line settings for a getter; a failure sets the last error and, in the
  // program's build, shows the getter's text for a closed port or a failed read.
  bool ReadLineState(platform::SerialLineState& state, const char* notOpenText, const char* failedText);
  LONG WriteAll(const void* data, DWORD length, DWORD* written);
  // Takes what the device holds into the look-ahead; the device's code (0, or the line lost).
  DWORD FillLookahead();
  DWORD ModemBit(DWORD bit);

  LONG m_lastError = 0;
  platform::SerialDevice m_port;
  DWORD m_eventBits = 0;
  DWORD m_eventMask = 0;
  bool m_blockingReads = false;
  // Bytes taken from the device to look for the event character; Read hands them out first.
  unsigned char m_lookahead[512];
  std::size_t m_lookaheadLength = 0;
  platform::SerialErrorCounts m_errorsSeen;
};
