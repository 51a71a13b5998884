#include "platform/window_messages.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/cmd_target.h"

namespace platform {
namespace {

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

struct PendingSend {
  LRESULT result = 0;
  bool done = false;
};

struct Queued {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::shared_ptr<PendingSend> send;  // set for a SendMessage from another thread
};

struct State {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::string, UINT> registered;
  UINT nextRegistered = kFirstRegisteredMessage;
  std::map<std::uintptr_t, CCmdTarget*> windows;
  std::uintptr_t nextWindow = 0x10000;
  MessageBackend backend;
  std::deque<Queued> queue;
  std::thread::id uiThread;
  bool uiThreadSet = false;
};

// Built on first use and never destroyed: registered messages are asked for from static
// initialisers, and worker threads may still post while the process exits.
State& TheState() {
  static State* state = new State;
  return *state;
}

void SetUiThreadLocked(State& s) {
  if (!s.uiThreadSet) {
    s.uiThread = std::this_thread::get_id();
    s.uiThreadSet = true;
  }
}

}  // namespace

HWND AttachWindow(CCmdTarget* target) {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  SetUiThreadLocked(s);
  std::uintptr_t number = s.nextWindow;
  s.nextWindow += 2;
  s.windows.emplace(number, target);
  return reinterpret_cast<HWND>(number);
}

void DetachWindow(HWND window) {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.windows.erase(reinterpret_cast<std::uintptr_t>(window));
}

CCmdTarget* FindWindowTarget(HWND window) {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.windows.find(reinterpret_cast<std::uintptr_t>(window));
  return it == s.windows.end() ? nullptr : it->second;
}

bool DeliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  CCmdTarget* target = FindWindowTarget(window);
  if (!target) return false;
  LRESULT r = target->WindowProc(message, wParam, lParam);
  if (result) *result = r;
  return true;
}

void SetUiThread() {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.uiThread = std::this_thread::get_id();
  s.uiThreadSet = true;
}

bool IsUiThread() {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  return !s.uiThreadSet || s.uiThread == std::this_thread::get_id();
}

void SetMessageBackend(MessageBackend backend) {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.backend = std::move(backend);
}

size_t PumpMessages() {
  State& s = TheState();
  size_t delivered = 0;
  for (;;) {
    Queued item;
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      if (s.queue.empty()) break;
      item = s.queue.front();
      s.queue.pop_front();
    }
    LRESULT result = 0;
    DeliverMessage(item.window, item.message, item.wParam, item.lParam, &result);
    ++delivered;
    if (item.send) {
      std::lock_guard<std::mutex> lock(s.mutex);
      item.send->result = result;
      item.send->done = true;
      s.changed.notify_all();
    }
  }
  return delivered;
}

size_t WaitAndPumpMessages(DWORD milliseconds) {
  State& s = TheState();
  {
    std::unique_lock<std::mutex> lock(s.mutex);
    auto ready = [&] { return !s.queue.empty(); };
    if (milliseconds == INFINITE_WAIT) {
      s.changed.wait(lock, ready);
    } else {
      s.changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
    }
  }
  return PumpMessages();
}

}  // namespace platform

using namespace platform;

UINT RegisterWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto [it, added] = s.registered.emplace(FoldCase(name), s.nextRegistered);
  if (added) ++s.nextRegistered;
  return it->second;
}

BOOL IsWindow(HWND window) { return FindWindowTarget(window) ? TRUE : FALSE; }

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  State& s = TheState();
  std::function<void(HWND, UINT, WPARAM, LPARAM)> post;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.windows.count(reinterpret_cast<std::uintptr_t>(window))) return FALSE;
    if (!s.backend.post) {
      s.queue.push_back(Queued{window, message, wParam, lParam, nullptr});
      s.changed.notify_all();
      return TRUE;
    }
    post = s.backend.post;
  }
  post(window, message, wParam, lParam);
  return TRUE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  State& s = TheState();
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> send;
  std::shared_ptr<PendingSend> pending;
  {
    std::unique_lock<std::mutex> lock(s.mutex);
    bool onUi = !s.uiThreadSet || s.uiThread == std::this_thread::get_id();
    if (!onUi) {
      if (!s.windows.count(reinterpret_cast<std::uintptr_t>(window))) return 0;
      if (s.backend.send) {
        send = s.backend.send;
      } else {
        pending = std::make_shared<PendingSend>();
        s.queue.push_back(Queued{window, message, wParam, lParam, pending});
        s.changed.notify_all();
        s.changed.wait(lock, [&] { return pending->done; });
        return pending->result;
      }
    }
  }
  if (send) return send(window, message, wParam, lParam);
  LRESULT result = 0;
  DeliverMessage(window, message, wParam, lParam, &result);
  return result;
}
