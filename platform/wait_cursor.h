// The wait cursor while the user-interface thread is held by a long piece of work (a load, a
// save, an export, an import, a replay, the wait for the first fix). Guards nest: the cursor
// is up while a guard lives that no pause begun after it holds down. The window layer
// supplies how the cursor is shown; without it (headless tests) the guards only count.
#pragma once

#include <cstdint>

namespace platform {

struct WaitCursorBackend {
  void (*show)() = nullptr;
  void (*hide)() = nullptr;
};
void SetWaitCursorBackend(WaitCursorBackend backend);

class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  std::uint64_t order_;
};

// Takes the wait cursors begun before it down while the user is asked something in the
// middle of the work; they count again once it ends (those that ended meanwhile are gone). A
// wait begun while the user is asked shows. Nothing when no wait cursor is up.
class WaitCursorPause {
 public:
  WaitCursorPause();
  ~WaitCursorPause();
  WaitCursorPause(const WaitCursorPause&) = delete;
  WaitCursorPause& operator=(const WaitCursorPause&) = delete;

 private:
  std::uint64_t order_;
};

// How many times a wait cursor was put up for a new wait since the process started, and
// whether one is up.
int WaitCursorShownCount();
bool WaitCursorShowing();

}  // namespace platform
