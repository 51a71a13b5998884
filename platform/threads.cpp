#include "platform/threads.h"

#include <atomic>
#include <map>
#include <memory>
#include <system_error>
#include <thread>

namespace platform {

void Event::Set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = true;
  }
  if (manual_) {
    cv_.notify_all();
  } else {
    cv_.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  signalled_ = false;
}

DWORD Event::Wait(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto ready = [this] { return signalled_; };
  if (milliseconds == INFINITE_WAIT) {
    cv_.wait(lock, ready);
  } else if (!cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), ready)) {
    return WAIT_TIMEOUT;
  }
  if (!manual_) signalled_ = false;
  return WAIT_OBJECT_0;
}

namespace {

struct KernelObject {
  virtual ~KernelObject() = default;
};

struct EventObject : KernelObject {
  EventObject(bool manual, bool initial) : event(manual, initial) {}
  Event event;
};

struct ThreadObject : KernelObject {
  Event finished{true, false};
  std::atomic<DWORD> exitCode{STILL_ACTIVE};
};

// Handle numbers start above zero and are never reused, so a stale handle is simply unknown.
class HandleTable {
 public:
  HANDLE Add(std::shared_ptr<KernelObject> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::uintptr_t number = next_;
    next_ += 4;
    objects_.emplace(number, std::move(object));
    return reinterpret_cast<HANDLE>(number);
  }
  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == objects_.end() ? nullptr : it->second;
  }
  bool Remove(HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return objects_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
  }

 private:
  std::mutex mutex_;
  std::uintptr_t next_ = 0x1000;
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> objects_;
};

HandleTable& Handles() {
  static HandleTable* table = new HandleTable;  // outlives threads still running at exit
  return *table;
}

// The pseudo handle of GetCurrentThread: accepted by SetThreadPriority only.
HANDLE const kCurrentThreadPseudo = reinterpret_cast<HANDLE>(std::uintptr_t{0xFFE});

template <class T>
std::shared_ptr<T> FindAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(Handles().Find(handle));
}

}  // namespace
}  // namespace platform

using namespace platform;

HANDLE CreateThread(std::function<DWORD()> body) {
  auto object = std::make_shared<ThreadObject>();
  try {
    std::thread([object, body = std::move(body)] {
      DWORD code = body();
      object->exitCode.store(code);
      object->finished.Set();
    }).detach();
  } catch (const std::system_error&) {
    return nullptr;
  }
  return Handles().Add(object);
}

HANDLE CreateThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
  if (!routine) return nullptr;
  return CreateThread([routine, parameter] { return routine(parameter); });
}

HANDLE CreateEvent(BOOL manualReset, BOOL initialState) {
  return Handles().Add(std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE));
}

BOOL SetEvent(HANDLE event) {
  auto object = FindAs<EventObject>(event);
  if (!object) return FALSE;
  object->event.Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  auto object = FindAs<EventObject>(event);
  if (!object) return FALSE;
  object->event.Reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto object = Handles().Find(handle);
  if (auto* e = dynamic_cast<EventObject*>(object.get())) return e->event.Wait(milliseconds);
  if (auto* t = dynamic_cast<ThreadObject*>(object.get())) {
    return t->finished.Wait(milliseconds);
  }
  return WAIT_FAILED;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  auto object = FindAs<ThreadObject>(thread);
  if (!object || !exitCode) return FALSE;
  *exitCode = object->exitCode.load();
  return TRUE;
}

BOOL CloseHandle(HANDLE object) { return Handles().Remove(object) ? TRUE : FALSE; }

void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

BOOL SetThreadPriority(HANDLE thread, int) {
  if (thread == kCurrentThreadPseudo) return TRUE;
  return FindAs<ThreadObject>(thread) ? TRUE : FALSE;
}

HANDLE GetCurrentThread() { return kCurrentThreadPseudo; }

DWORD GetCurrentThreadId() {
  return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}

DWORD GetTickCount() {
  using namespace std::chrono;
  return static_cast<DWORD>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
