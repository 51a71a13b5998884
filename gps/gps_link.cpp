#include "gps/gps_link.h"

#include "platform/threads.h"

namespace {

// Waits for an object at most timeoutMs; true when it was signalled.
bool Await(HANDLE object, DWORD timeoutMs) {
  return object != nullptr && WaitForSingleObject(object, timeoutMs) == WAIT_OBJECT_0;
}

void Release(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

GpsLink::~GpsLink() { Shutdown(); }

void GpsLink::Shutdown() {
  StopAll(5000);
  // The threads use the document's parser and flags: none may outlive it.
  WaitForStragglers(INFINITE_WAIT);
}

void GpsLink::SetAside(HANDLE& thread, std::shared_ptr<void> owner) {
  if (!thread) return;
  m_stragglers.push_back({thread, std::move(owner)});
  thread = nullptr;
}

void GpsLink::WaitForStragglers(DWORD timeoutMs) {
  for (auto it = m_stragglers.begin(); it != m_stragglers.end();) {
    if (Await(it->thread, timeoutMs)) {
      Release(it->thread);
      it = m_stragglers.erase(it);
    } else {
      ++it;
    }
  }
}

bool GpsLink::StartBridge(VirtualPortSetup setup, DWORD timeoutMs) {
  StopBridge(timeoutMs);
  WaitForStragglers(timeoutMs);
  m_virtualPortReady = CreateEvent(FALSE, FALSE);
  m_virtualPortDone = CreateEvent(FALSE, FALSE);
  setup.ready = m_virtualPortReady;
  setup.done = m_virtualPortDone;
  std::atomic<bool>* running = setup.running;
  m_bridge = std::make_shared<VirtualPortBridge>(std::move(setup));
  m_bridgeThread = m_bridge->Start();
  if (!m_bridgeThread) {
    m_bridge.reset();
    Release(m_virtualPortReady);
    Release(m_virtualPortDone);
    return false;
  }
  if (!Await(m_virtualPortReady, timeoutMs)) {
    // Neither up nor given up in time: do not leave it running behind a reader that
    // was never started.
    StopBridge(timeoutMs);
    return false;
  }
  return running->load();
}

bool GpsLink::StopBridge(DWORD timeoutMs) {
  if (!m_bridge) return true;
  m_bridge->RequestStop();
  // The done event is set on every way out of the bridge, also long before (a failure),
  // so this never waits for a bridge that has already gone.
  bool ended = Await(m_virtualPortDone, timeoutMs);
  if (ended) {
    Release(m_bridgeThread);
  } else {
    SetAside(m_bridgeThread, m_bridge);
  }
  Release(m_virtualPortReady);
  Release(m_virtualPortDone);
  m_bridge.reset();
  return ended;
}

bool GpsLink::StartReader(GpsReaderSetup setup) {
  StopReader(1000);
  WaitForStragglers(1000);
  if (!m_stragglers.empty()) return false;
  GpsStopEvent = CreateEvent(FALSE, FALSE);
  setup.stopEvent = GpsStopEvent;
  m_reader = std::make_shared<GpsReader>(std::move(setup));
  GpsThread = m_reader->Start();
  if (!GpsThread) {
    m_reader.reset();
    Release(GpsStopEvent);
    return false;
  }
  return true;
}

bool GpsLink::StopReader(DWORD timeoutMs) {
  if (!m_reader) return true;
  m_reader->RequestStop();
  bool ended = Await(GpsThread, timeoutMs);
  if (ended) {
    Release(GpsThread);
  } else {
    SetAside(GpsThread, m_reader);
  }
  Release(GpsStopEvent);
  m_reader.reset();
  return ended;
}

void GpsLink::StopAll(DWORD timeoutMs) {
  StopReader(timeoutMs);
  StopBridge(timeoutMs);
}
