// The running receiver link of one document: the reader thread with its stop event, and
// the virtual-port bridge with its ready and done events. Used on the user-interface
// thread only; destroying it stops whatever still runs, so no thread outlives the
// document whose parser and flags it uses.
//
// Every wait on the user-interface thread is bounded: a thread that does not end in time
// (it never should: its waits are interruptible) is set aside, already asked to stop.
// Before another reader or bridge starts, and when the link is destroyed, the link waits
// for those stragglers, so no two readers ever feed the parser at once and none outlives
// the document.
#pragma once

#include <memory>
#include <vector>

#include "gps/gps_reader.h"
#include "platform/win_types.h"

class GpsLink {
 public:
  GpsLink() = default;
  ~GpsLink();
  GpsLink(const GpsLink&) = delete;
  GpsLink& operator=(const GpsLink&) = delete;

  // Starts the bridge and waits until it runs or has given up (at most timeoutMs); true
  // when it runs. The setup's ready and done events are the link's own.
  bool StartBridge(VirtualPortSetup setup, DWORD timeoutMs);
  // True once the user chose to go on without the virtual port (see VirtualPortBridge).
  bool BridgeDeclined() const { return m_bridge && m_bridge->Declined(); }
  bool HasBridge() const { return m_bridge != nullptr; }
  // True once the bridge ended because the receiver went away.
  bool BridgeLostReceiver() const { return m_bridge && m_bridge->ReceiverLost(); }
  // Asks the bridge to end and waits for its done event; false when it did not end in time.
  bool StopBridge(DWORD timeoutMs);

  // Starts the reader thread; the setup's stop event is the link's GpsStopEvent. False
  // when no thread could be started, or an earlier reader still has not ended.
  bool StartReader(GpsReaderSetup setup);
  bool HasReader() const { return m_reader != nullptr; }
  // Signals GpsStopEvent, interrupts the reader's wait on its port and waits for it to
  // end; false when it did not end in time. Nothing to do when no reader was started.
  bool StopReader(DWORD timeoutMs);

  // Both, reader first (it reads what the bridge writes).
  void StopAll(DWORD timeoutMs);
  // Stops both and waits, without limit, until no thread of the link runs any more.
  void Shutdown();

 private:
  // A reader or bridge thread that was asked to stop and had not ended in time.
  struct Straggler {
    HANDLE thread = nullptr;
    std::shared_ptr<void> owner;  // keeps the thread's object alive until it has ended
  };
  void SetAside(HANDLE& thread, std::shared_ptr<void> owner);
  // Waits for every straggler, at most timeoutMs each (INFINITE_WAIT: no limit).
  void WaitForStragglers(DWORD timeoutMs);
  std::vector<Straggler> m_stragglers;

  HANDLE GpsStopEvent = nullptr;  // auto-reset; set to stop the reader
  HANDLE GpsThread = nullptr;     // the running reader thread
  std::shared_ptr<GpsReader> m_reader;

  HANDLE m_virtualPortReady = nullptr;  // auto-reset: the bridge runs or has given up
  HANDLE m_virtualPortDone = nullptr;   // auto-reset: the bridge thread has ended
  HANDLE m_bridgeThread = nullptr;
  std::shared_ptr<VirtualPortBridge> m_bridge;
};
