// The receiver link's threads: the reader (polling or event-driven variant) that feeds the
// document's NMEA parser from a serial port, and the bridge that copies the receiver's
// bytes into the virtual port (gps/virtual_port.h) so other programs can read them too.
//
// The document starts them when GPS reading is switched on and stops them when it is
// switched off; it owns the flags and the parser these objects point to and keeps them
// alive until the threads have ended. Each thread keeps its own object alive (the object
// is shared with the thread), so a stop request can never reach a freed port.
//
// Stopping: RequestStop (any thread) sets a flag, signals the stop event and interrupts
// the wait on the port in progress, so a thread ends within a few hundred milliseconds
// even while its receiver is silent. Every wait inside the threads is bounded or
// interruptible.
//
// Messages: failures are told in message boxes from the thread that met them (caption
// "Tolvanix PDA", owner the map view). MessageBox never waits on a user-interface thread
// that waits for the thread (OK boxes are shown asynchronously by the windowed backend);
// the one question (the virtual port driver failed) is asked after the thread has let
// the user-interface thread go.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win_types.h"
#include "serial/serial.h"

class VirtualComPort;

// Exit codes of the threads.
constexpr DWORD kGpsThreadStopped = 0;     // switched off (or the bridge's driver failed)
constexpr DWORD kGpsThreadPortFailed = 1;  // the failure exit: the port could not be opened or
                                           // set up, or the receiver went away while read
constexpr DWORD kGpsThreadNoData = 2;      // event-driven reader: the receiver stayed silent

// The message of a receiver that went away (unplugged, link dropped, far end closed) while
// it was read on port ("COM3:"), from the language module in force.
std::string ReceiverLostText(const std::string& port);

// Bytes taken from the port per read, as the parser is fed.
constexpr DWORD kGpsReadChunk = 255;
// The rate of the virtual port and of a reader that reads it, bit/s.
constexpr DWORD kVirtualPortRate = 115200;

// A stop request shared by a thread and whoever stops it. The stop event is the
// document's GpsStopEvent (auto-reset); the flag makes the request stick even after a
// wait has consumed the event.
class GpsStopSignal {
 public:
  GpsStopSignal(HANDLE stopEvent, CSerial& port) : m_event(stopEvent), m_port(port) {}
  void Request();
  bool Requested() const { return m_requested.load(); }
  // Waits up to milliseconds; true as soon as a stop was requested.
  bool Wait(DWORD milliseconds);

 private:
  HANDLE m_event;
  CSerial& m_port;
  std::atomic<bool> m_requested{false};
};

// Opens and sets up a receiver port as every thread of the link does: 8 data bits, no
// parity, one stop bit, the event mask EV_RXCHAR and, for a port that is read,
// non-blocking reads. Returns the failed step (0 none), see GpsPortStep.
enum GpsPortStep : int { GPS_PORT_OK = 0, GPS_PORT_OPEN, GPS_PORT_SETUP, GPS_PORT_MASK, GPS_PORT_TIMEOUTS };
GpsPortStep OpenGpsPort(CSerial& port, const std::string& name, DWORD baudRate);

// Purges, then looks for bytes up to 20 times, 100 ms apart (about 2 s): 1 when bytes
// came (they are dropped), 0 when none came or a stop was requested, kGpsDataPortLost when
// a read failed: the device has gone (the port is then closed).
constexpr int kGpsDataPortLost = -1;
int WaitForGpsData(CSerial& port, GpsStopSignal& stop);

struct GpsReaderSetup {
  std::string portName;  // "COM3:", or "COM0:" when the receiver is shared
  DWORD baudRate = 4800;
  bool onEvents = false;  // the event-driven variant (option "Edm")
  // Hands received bytes to the document's NMEA parser; called on the reader thread only.
  std::function<void(const std::uint8_t* bytes, std::size_t length)> feed;
  // The document's switches: written by the reader, read by the user-interface thread.
  std::atomic<bool>* gpsOn = nullptr;
  std::atomic<bool>* gpsBusy = nullptr;
  HWND owner = nullptr;
  HANDLE stopEvent = nullptr;  // GpsStopEvent
  // The receiver went away while it was read: the reader has closed its port and cleared
  // both switches; the rest of the switch-off is the owner's (called on the reader thread).
  std::function<void()> lost;
  // Whether the reader tells the user of the loss itself. Not behind the virtual port: the
  // bridge, which reads the receiver, tells it, and the reader's port goes with the bridge.
  bool tellLoss = true;
};

class GpsReader : public std::enable_shared_from_this<GpsReader> {
 public:
  explicit GpsReader(GpsReaderSetup setup) : m_setup(std::move(setup)), m_stop(m_setup.stopEvent, m_port) {}

  // Starts the thread of the chosen variant; its handle, nullptr when none could start.
  HANDLE Start();
  void RequestStop() { m_stop.Request(); }

  // The thread bodies. Polling: reads every 100 ms. Event-driven: first waits about 2 s
  // for data (string 59224 and exit code 2 when none comes), then reads whenever the port
  // reports received bytes. Both take everything waiting in 255-byte reads, so a fast
  // receiver never gets ahead of them. A read that fails, or a port that reports a hang-up,
  // means the receiver has gone: the thread leaves through its failure exit (see Lost). A
  // receiver that stays connected and sends nothing is only waited for.
  DWORD GpsReaderThread();
  DWORD GpsEventReaderThread();

 private:
  bool OpenPort();  // false after telling the user and clearing the switches
  void Ready();
  // False when a read failed: the receiver is gone.
  bool Drain();
  // The failure exit after the receiver went away: port closed, the loss told, the
  // switches cleared, the owner called.
  DWORD Lost();

  GpsReaderSetup m_setup;
  CSerial m_port;
  GpsStopSignal m_stop;
};

struct VirtualPortSetup {
  int gpsPort = -1;     // the receiver's port number
  DWORD baudRate = 4800;
  std::string driverKey = "\\Drivers\\VirtualComPort";
  // The document's state: written by the bridge, read by the user-interface thread.
  std::atomic<bool>* gpsBusy = nullptr;
  std::atomic<bool>* running = nullptr;  // m_virtualPortRunning
  HANDLE ready = nullptr;  // signalled once the bridge runs or has given up
  HANDLE done = nullptr;   // signalled when the bridge thread ends, whichever way
  HWND owner = nullptr;
};

class VirtualPortBridge : public std::enable_shared_from_this<VirtualPortBridge> {
 public:
  explicit VirtualPortBridge(VirtualPortSetup setup);
  ~VirtualPortBridge();

  HANDLE Start();
  // Clears the running flag and interrupts the wait on the receiver's port.
  void RequestStop();
  // The driver could not be loaded and the user chose to go on without sharing the
  // receiver: the document's option "Vsp" is to be cleared (user-interface thread).
  bool Declined() const { return m_declined.load(); }
  // The receiver went away (a read failed) before or while the bridge forwarded.
  bool ReceiverLost() const { return m_lost.load(); }

  // The thread body: activates the driver, opens the receiver's port, waits for data,
  // then forwards every received byte until stopped or a read fails.
  DWORD VirtualPortThread();

 private:
  DWORD Fail(const std::string& text);  // an empty text: no message
  void Finish();

  VirtualPortSetup m_setup;
  CSerial m_gpsPort;
  HANDLE m_stopEvent;
  GpsStopSignal m_stop;
  std::unique_ptr<VirtualComPort> m_virtualPortDevice;
  std::atomic<bool> m_declined{false};
  std::atomic<bool> m_lost{false};
};
