// GPS reading on and off: the document's side of the receiver link (gps/gps_link.h).
//
// Switching on starts, with the virtual port, the bridge first (it shares the receiver
// with other programs and feeds the program's own channel "COM0:"), then the reader
// thread on "COM<n>:" or "COM0:". Switching off stops the reader, then the bridge, each
// wait bounded, and clears the fix state. Both run on the user-interface thread.
//
// A receiver that goes away while it is read ends the reader (and the bridge) through
// its failure exit: the thread tells the user and clears the switch, and the rest of the
// switch-off is done here when its message arrives.
#include <cstdio>
#include <mutex>

#include "app/strings.h"
#include "document/doc_messages.h"
#include "document/tolvanix_doc.h"
#include "gps/virtual_port.h"
#include "platform/message_box.h"
#include "platform/win_app.h"
#include "serial/baud_index.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
// A reader or bridge ends within a few hundred milliseconds of being asked; these bounds
// only keep the user-interface thread from hanging on a thread that misbehaves.
constexpr DWORD kStopWaitMs = 1000;
// The bridge is ready once the receiver has sent something: about 2 s at most.
constexpr DWORD kBridgeReadyWaitMs = 4000;

std::string PortName(int port) {
  char name[16];
  std::snprintf(name, sizeof name, "COM%d:", port);
  return name;
}

}  // namespace

void CTolvanixDoc::OnGpsOnOff() {
  if (m_gpsEnabled && (m_port == -1 || m_baudIndex == -1)) return;
  if (m_gpsBusy) {
    MessageBox(m_hwndView, "Wait please", kCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_gpsBusy = true;
  m_ggaSeen = false;
  ToggleGps();
}

void CTolvanixDoc::SetupVirtualComPort() { ::SetupVirtualComPort(); }

void CTolvanixDoc::OnAppExit() {
  // The reader is stopped before the main window closes (also when the GPS shows as on
  // without one, after a bridge failure).
  if (m_gpsOn) ToggleGps();
  if (CWinApp* app = AfxGetApp()) PostMessage(app->m_hMainWnd, WM_CLOSE, 0, 0);
}

void CTolvanixDoc::ToggleGps() {
  if (!m_gpsOn) {
    DocumentView* view = GetFirstView();
    if (view && view->GetViewWindow()) m_hwndView = view->GetViewWindow();
    m_gpsOn = true;
    m_lastFixMs = 0;
    // A loss reported by an earlier reader is not this one's.
    const unsigned generation = ++m_gpsGeneration;
    // What a reader or bridge that failed earlier left behind goes first.
    m_gpsLink.StopAll(kStopWaitMs);
    const bool shared = m_useVirtualPort != 0;
    if (shared) {
      SetupVirtualComPort();
      m_virtualPortRunning = false;
      VirtualPortSetup bridge;
      bridge.gpsPort = m_port;
      bridge.baudRate = BaudRateForIndex(m_baudIndex);
      bridge.gpsBusy = &m_gpsBusy;
      bridge.running = &m_virtualPortRunning;
      bridge.owner = m_hwndView;
      if (!m_gpsLink.StartBridge(std::move(bridge), kBridgeReadyWaitMs)) {
        // A receiver that went away before it sent anything is lost as it is later on;
        // any other failure: the GPS shows as on without a reader until it is switched off.
        if (m_gpsLink.BridgeLostReceiver()) {
          m_gpsOn = false;
          m_gpsLink.StopAll(kStopWaitMs);
          ClearGpsState();
        }
        return;
      }
    }
    GpsReaderSetup reader;
    reader.portName = shared ? "COM0:" : PortName(m_port);
    reader.baudRate = shared ? kVirtualPortRate : BaudRateForIndex(m_baudIndex);
    reader.onEvents = m_commEventReader != 0;
    reader.feed = [this](const std::uint8_t* bytes, std::size_t length) { FeedNmea(bytes, length); };
    reader.gpsOn = &m_gpsOn;
    reader.gpsBusy = &m_gpsBusy;
    reader.owner = m_hwndView;
    reader.lost = [window = m_docWindow, generation] { PostMessage(window, WM_TVX_GPS_LOST, generation, 0); };
    // Behind the virtual port the bridge tells of a lost receiver; the reader's port goes too.
    reader.tellLoss = !shared;
    if (!m_gpsLink.StartReader(std::move(reader))) {
      m_gpsOn = false;
      m_gpsBusy = false;
    }
    return;
  }

  m_hasFix = false;
  m_gpsLink.StopReader(kStopWaitMs);
  m_gpsOn = false;
  // The bridge is stopped whenever one was started: it may have failed or ended on its
  // own, and its done event then says so at once.
  if (m_gpsLink.BridgeDeclined()) m_useVirtualPort = 0;
  m_gpsLink.StopBridge(kStopWaitMs);
  ClearGpsState();
}

LRESULT CTolvanixDoc::OnGpsLost(WPARAM generation, LPARAM) {
  // Switched off, or on again, since: that switch has done or does its own clearing.
  if (generation != m_gpsGeneration || m_gpsOn) return 0;
  m_hasFix = false;
  m_gpsLink.StopAll(kStopWaitMs);  // the threads have ended or are ending: collect them
  ClearGpsState();
  return 0;
}

void CTolvanixDoc::ClearGpsState() {
  m_hasFix = false;
  m_lastFixMs = 0;
  {
    std::lock_guard<std::mutex> lock(m_fixLock);
    m_fixQuality = 0;
    m_satellites = 0;
    m_pdop = 0.0;
    m_hdop = 0.0;
    m_vdop = 0.0;
    m_altitudeCm = 0;
    m_gpsLat = 0.0;
    m_gpsLon = 0.0;
    m_datumLat = 0.0;
    m_datumLon = 0.0;
    m_course = 0.0;
    m_gpsMapX = 0.0;
    m_gpsMapY = 0.0;
  }
  PostMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
  StartAreaRecompute(-1, FALSE);
  m_gpsBusy = false;
  // The offset track belongs to the walk just ended (the reader is gone: only this thread
  // touches it now).
  m_trail.clear();
  UpdateAllViews(nullptr);
}
