// One running copy per program file and options store.
//
// The first copy holds a lock file in the options folder and answers on a local socket;
// a second copy finds the lock taken, asks the first (up to 40 times, 250 ms apart) to
// bring its main window to the front, and ends when it answered. A first copy that never
// answers (it is still starting, or hangs) lets the second start after the last attempt.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/win_types.h"

namespace platform {

class SingleInstance {
 public:
  // programPath: the program file (copies of the same file exclude each other);
  // lockFolder: where the lock file lives (the options store's folder).
  SingleInstance(std::string programPath, std::string lockFolder);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when no other copy holds the lock; this copy then holds it until destroyed.
  bool TryAcquire();
  // Asks the running copy to raise its window; true once it answered that it did.
  bool AskRunningCopyToRaise(int attempts = 40, DWORD intervalMs = 250);
  // Holder only: answers requests on a thread of its own. onRaise runs on that thread
  // and returns whether a window was (or will be) raised.
  bool Listen(std::function<bool()> onRaise);
  void StopListening();

 private:
  std::string lockPath_;
  std::string socketName_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread listener_;
};

}  // namespace platform
