// The wait cursor while the user-interface thread is held by a long piece of work (a load, a
// save, an export, an import, a replay). Guards nest: the cursor is put up by the outermost one
// and taken down when it ends. The window layer supplies how the cursor is shown; without it
// (headless tests) the guards only count.
#pragma once

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
};

// Takes a wait cursor down while the user is asked something in the middle of the work, and
// puts it back afterwards. Nothing when no wait cursor is up.
class WaitCursorPause {
 public:
  WaitCursorPause();
  ~WaitCursorPause();
  WaitCursorPause(const WaitCursorPause&) = delete;
  WaitCursorPause& operator=(const WaitCursorPause&) = delete;

 private:
  int paused_;
};

// How many times a wait cursor was put up since the process started, and whether one is up.
int WaitCursorShownCount();
bool WaitCursorShowing();

}  // namespace platform
