#include "platform/wait_cursor.h"

#include <atomic>
#include <mutex>
#include <set>

namespace platform {
namespace {

// The one owner of the cursor's state: the live guards and pauses, by the order they began.
// The cursor is up exactly while the latest live guard began after the latest live pause, so
// whatever order guards and pauses end in (a wait that ends while a box is answered, a box
// shown when the wait ends), no path can leave it up or take it down wrongly.
struct State {
  std::mutex lock;
  std::multiset<std::uint64_t> guards, pauses;
  std::uint64_t next = 0;
  bool up = false;
  void (*show)() = nullptr;
  void (*hide)() = nullptr;
};

State& TheState() {
  static State state;
  return state;
}

std::atomic<int> g_shown{0};
std::atomic<bool> g_up{false};

// Brings the cursor in line with the guards and pauses (under the lock); true when it went up.
bool Settle(State& s) {
  const bool wanted =
      !s.guards.empty() && (s.pauses.empty() || *s.guards.rbegin() > *s.pauses.rbegin());
  if (wanted == s.up) return false;
  s.up = wanted;
  g_up = wanted;
  if (wanted) {
    if (s.show) s.show();
  } else if (s.hide) {
    s.hide();
  }
  return wanted;
}

}  // namespace

void SetWaitCursorBackend(WaitCursorBackend backend) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.lock);
  s.show = backend.show;
  s.hide = backend.hide;
}

WaitCursor::WaitCursor() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.lock);
  order_ = s.next++;
  s.guards.insert(order_);
  if (Settle(s)) g_shown.fetch_add(1);
}

WaitCursor::~WaitCursor() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.lock);
  s.guards.erase(s.guards.find(order_));
  Settle(s);
}

WaitCursorPause::WaitCursorPause() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.lock);
  order_ = s.next++;
  s.pauses.insert(order_);
  Settle(s);
}

WaitCursorPause::~WaitCursorPause() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.lock);
  s.pauses.erase(s.pauses.find(order_));
  Settle(s);  // put back without counting it as a new wait
}

int WaitCursorShownCount() { return g_shown.load(); }
bool WaitCursorShowing() { return g_up.load(); }

}  // namespace platform
