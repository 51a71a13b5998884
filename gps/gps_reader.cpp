#include "gps/gps_reader.h"

#include "app/strings.h"
#include "gps/virtual_port.h"
#include "platform/message_box.h"
#include "platform/threads.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringCannotOpenPort = 59172;
constexpr UINT kStringCannotSetUpPort = 59173;
constexpr UINT kStringNoData = 59224;
constexpr UINT kStringDriverFailed = 59226;
constexpr UINT kStringReceiverLost = 59296;  // "The GPS receiver on %s was lost. ..."
constexpr char kReceiverLostFallback[] =
    "The GPS receiver on %s was lost. Reading has stopped; switch the GPS on again once the "
    "receiver is back.";
// The bridge forwards in small pieces so the reader behind the virtual port sees each
// sentence soon after it came.
constexpr DWORD kBridgeChunk = 100;

void Tell(HWND owner, const std::string& text) { MessageBox(owner, text, kCaption, MB_OK | MB_ICONEXCLAMATION); }

// The threads' texts: from the language module, whatever resource module the
// user-interface thread has chosen meanwhile.
std::string Text(UINT id) { return LoadResStringFrom(id, LanguageResourceModule()); }

}  // namespace

std::string ReceiverLostText(const std::string& port) {
  std::string text = Text(kStringReceiverLost);
  if (text.find("%s") == std::string::npos) text = kReceiverLostFallback;
  text.replace(text.find("%s"), 2, port);
  return text;
}

// ---------------------------------------------------------------------------------------

void GpsStopSignal::Request() {
  // Flag first: a thread that checks it after the wake below has gone finds it set.
  m_requested.store(true);
  if (m_event) SetEvent(m_event);
  m_port.CancelWait();
}

bool GpsStopSignal::Wait(DWORD milliseconds) {
  if (Requested()) return true;
  if (m_event) {
    WaitForSingleObject(m_event, milliseconds);
  } else {
    Sleep(milliseconds);
  }
  return Requested();
}

GpsPortStep OpenGpsPort(CSerial& port, const std::string& name, DWORD baudRate) {
  if (port.Open(name) != 0) return GPS_PORT_OPEN;
  if (port.Setup(baudRate, 8, NOPARITY, ONESTOPBIT) != 0) return GPS_PORT_SETUP;
  if (port.SetMask(EV_RXCHAR) != 0) return GPS_PORT_MASK;
  if (port.SetupReadTimeouts(SERIAL_READ_NONBLOCKING) != 0) return GPS_PORT_TIMEOUTS;
  return GPS_PORT_OK;
}

int WaitForGpsData(CSerial& port, GpsStopSignal& stop) {
  port.Purge();
  for (int attempt = 0; attempt < 20; ++attempt) {
    char buffer[511];
    DWORD got = 0;
    if (port.Read(buffer, sizeof buffer, &got) != 0) {
      port.Close();
      return kGpsDataPortLost;
    }
    if (got > 0) return 1;
    if (stop.Wait(100)) return 0;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------
// Reader

HANDLE GpsReader::Start() {
  std::shared_ptr<GpsReader> self = shared_from_this();
  return CreateThread([self]() -> DWORD {
    return self->m_setup.onEvents ? self->GpsEventReaderThread() : self->GpsReaderThread();
  });
}

bool GpsReader::OpenPort() {
  GpsPortStep failed = OpenGpsPort(m_port, m_setup.portName, m_setup.baudRate);
  if (failed == GPS_PORT_OK) return true;
  Tell(m_setup.owner, Text(failed == GPS_PORT_OPEN ? kStringCannotOpenPort : kStringCannotSetUpPort));
  m_port.Close();
  m_setup.gpsOn->store(false);
  m_setup.gpsBusy->store(false);
  return false;
}

void GpsReader::Ready() {
  m_setup.gpsOn->store(true);
  m_setup.gpsBusy->store(false);
  m_port.Purge();
}

bool GpsReader::Drain() {
  std::uint8_t buffer[kGpsReadChunk];
  DWORD got = 0;
  do {
    got = 0;
    // A raw line without data reads as nothing; a failure is a device that has gone.
    if (m_port.Read(buffer, sizeof buffer, &got) != 0) return false;
    if (got > 0) m_setup.feed(buffer, got);
  } while (got == sizeof buffer && !m_stop.Requested());
  return true;
}

DWORD GpsReader::Lost() {
  m_port.Close();
  if (m_stop.Requested()) return kGpsThreadStopped;  // switched off meanwhile: nothing to tell
  if (m_setup.tellLoss) Tell(m_setup.owner, ReceiverLostText(m_setup.portName));
  m_setup.gpsOn->store(false);
  m_setup.gpsBusy->store(false);
  if (m_setup.lost) m_setup.lost();
  return kGpsThreadPortFailed;
}

DWORD GpsReader::GpsReaderThread() {
  if (!OpenPort()) return kGpsThreadPortFailed;
  Ready();
  while (!m_stop.Wait(100)) {
    if (!Drain()) return Lost();
  }
  m_port.Close();
  return kGpsThreadStopped;
}

DWORD GpsReader::GpsEventReaderThread() {
  if (!OpenPort()) return kGpsThreadPortFailed;
  const int data = WaitForGpsData(m_port, m_stop);
  if (data == kGpsDataPortLost) return Lost();  // gone before it sent anything
  if (data == 0) {
    m_port.Close();
    if (m_stop.Requested()) return kGpsThreadStopped;
    Tell(m_setup.owner, Text(kStringNoData));
    // The GPS stays shown as on, without data, until the user switches it off.
    m_setup.gpsBusy->store(false);
    return kGpsThreadNoData;
  }
  Ready();
  while (!m_stop.Requested()) {
    if (LONG code = m_port.WaitEvent()) {
      if (m_stop.Requested()) break;
      // A wake that was no stop: wait again. Anything else: the device is gone.
      if (code == static_cast<LONG>(platform::ERROR_OPERATION_ABORTED_CODE)) continue;
      return Lost();
    }
    // A hung-up line reports itself readable; the read then tells that it is gone.
    if ((m_port.GetEventType() & EV_RXCHAR) && !Drain()) return Lost();
  }
  m_port.Close();
  return kGpsThreadStopped;
}

// ---------------------------------------------------------------------------------------
// Bridge

VirtualPortBridge::VirtualPortBridge(VirtualPortSetup setup)
    : m_setup(std::move(setup)), m_stopEvent(CreateEvent(FALSE, FALSE)), m_stop(m_stopEvent, m_gpsPort) {}

VirtualPortBridge::~VirtualPortBridge() { CloseHandle(m_stopEvent); }

HANDLE VirtualPortBridge::Start() {
  std::shared_ptr<VirtualPortBridge> self = shared_from_this();
  return CreateThread([self]() -> DWORD { return self->VirtualPortThread(); });
}

void VirtualPortBridge::RequestStop() {
  m_setup.running->store(false);
  m_stop.Request();
}

void VirtualPortBridge::Finish() {
  m_gpsPort.Close();
  m_virtualPortDevice.reset();  // deactivates the driver
  m_setup.running->store(false);
  SetEvent(m_setup.done);
}

DWORD VirtualPortBridge::Fail(const std::string& text) {
  if (!text.empty()) Tell(m_setup.owner, text);
  // The switch is usable again before the waiting user-interface thread is woken.
  m_setup.gpsBusy->store(false);
  Finish();
  SetEvent(m_setup.ready);
  return kGpsThreadPortFailed;
}

DWORD VirtualPortBridge::VirtualPortThread() {
  m_virtualPortDevice = VirtualComPort::Activate(m_setup.driverKey);
  if (!m_virtualPortDevice) {
    SetEvent(m_setup.ready);
    int answer = MessageBox(m_setup.owner, Text(kStringDriverFailed), kCaption,
                            MB_YESNO | MB_ICONEXCLAMATION);
    if (answer == IDYES) {
      // The handheld would be reset here. This program never restarts the computer it
      // runs on: it says what to do instead and goes on as with NO.
      Tell(m_setup.owner,
           "The virtual port could not be started. Restart the program (or the computer) "
           "to try again; until then the receiver is used without sharing it.");
    }
    m_declined.store(true);
    m_setup.gpsBusy->store(false);
    Finish();
    return kGpsThreadStopped;
  }

  const std::string gpsPortName = "COM" + std::to_string(m_setup.gpsPort) + ":";
  switch (OpenGpsPort(m_gpsPort, gpsPortName, m_setup.baudRate)) {
    case GPS_PORT_OK: break;
    case GPS_PORT_OPEN: return Fail("Unable to open GPS port");
    case GPS_PORT_SETUP: return Fail("Unable to setup GPS port");
    case GPS_PORT_MASK: return Fail("Unable to SetMask on GPS port");
    case GPS_PORT_TIMEOUTS: return Fail("Unable to SetupReadTimeouts on GPS port");
  }
  const int data = WaitForGpsData(m_gpsPort, m_stop);
  if (data != 1) {
    if (m_stop.Requested()) return Fail(std::string());
    if (data != kGpsDataPortLost) return Fail(Text(kStringNoData));
    m_lost.store(true);
    return Fail(ReceiverLostText(gpsPortName));
  }

  m_setup.running->store(true);
  SetEvent(m_setup.ready);
  m_gpsPort.Purge();
  while (m_setup.running->load() && !m_stop.Requested()) {
    if (LONG code = m_gpsPort.WaitEvent()) {
      if (!m_setup.running->load() || m_stop.Requested()) break;
      if (code == static_cast<LONG>(platform::ERROR_OPERATION_ABORTED_CODE)) continue;
      m_lost.store(true);
      return Fail(ReceiverLostText(gpsPortName));  // the device went away
    }
    if (!(m_gpsPort.GetEventType() & EV_RXCHAR)) continue;
    char buffer[kBridgeChunk];
    DWORD got = 0;
    do {
      // On a serial line a failed read is a receiver that has gone.
      if (m_gpsPort.Read(buffer, sizeof buffer, &got) != 0) {
        if (!m_setup.running->load() || m_stop.Requested()) break;
        m_lost.store(true);
        return Fail(ReceiverLostText(gpsPortName));
      }
      // Every byte goes on, a zero byte too: the chunk is not cut short as C text would be.
      if (got > 0) m_virtualPortDevice->Write(buffer, got);
    } while (got == sizeof buffer && m_setup.running->load());
  }
  Finish();
  return kGpsThreadStopped;
}
