#include "platform/wait_cursor.h"

#include <atomic>

namespace platform {
namespace {

// The guards live on the user-interface thread; the counters are read by tests.
std::atomic<int> g_depth{0};
std::atomic<int> g_shown{0};
std::atomic<void (*)()> g_show{nullptr};
std::atomic<void (*)()> g_hide{nullptr};

void Show() {
  g_shown.fetch_add(1);
  if (auto show = g_show.load()) show();
}

void Hide() {
  if (auto hide = g_hide.load()) hide();
}

}  // namespace

void SetWaitCursorBackend(WaitCursorBackend backend) {
  g_show = backend.show;
  g_hide = backend.hide;
}

WaitCursor::WaitCursor() {
  if (g_depth.fetch_add(1) == 0) Show();
}

WaitCursor::~WaitCursor() {
  if (g_depth.fetch_sub(1) == 1) Hide();
}

WaitCursorPause::WaitCursorPause() : paused_(g_depth.exchange(0)) {
  if (paused_ > 0) Hide();
}

WaitCursorPause::~WaitCursorPause() {
  if (paused_ > 0 && g_depth.fetch_add(paused_) == 0) {
    // Put back without counting it as a new wait.
    if (auto show = g_show.load()) show();
  }
}

int WaitCursorShownCount() { return g_shown.load(); }
bool WaitCursorShowing() { return g_depth.load() > 0; }

}  // namespace platform
