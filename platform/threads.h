// Threads, events and sleeps with the handheld platform's semantics.
//
// Handles are numbers in a process-wide table: a handle stays valid until CloseHandle,
// and an object lives while a handle or a wait still refers to it, so a thread can wait
// on an event that another thread closes meanwhile. A closed or unknown handle makes the
// call fail (WAIT_FAILED / FALSE) instead of touching freed memory.
//
//   HANDLE done = CreateEvent(FALSE, FALSE);          // auto-reset, not signalled
//   HANDLE worker = CreateThread(&Work, doc);         // starts at once
//   if (WaitForSingleObject(done, 1000) == WAIT_TIMEOUT) ...
//   CloseHandle(worker); CloseHandle(done);
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/win_types.h"

namespace platform {

// An event: auto-reset (one waiter is released and the event clears) or manual-reset
// (stays signalled until Reset). Usable directly as a member where no handle is needed.
class Event {
 public:
  explicit Event(bool manualReset = false, bool initialState = false)
      : manual_(manualReset), signalled_(initialState) {}
  void Set();
  void Reset();
  // Milliseconds, INFINITE_WAIT for no limit. Returns WAIT_OBJECT_0 or WAIT_TIMEOUT.
  DWORD Wait(DWORD milliseconds);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool manual_;
  bool signalled_;
};

}  // namespace platform

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

// Starts a thread running routine(parameter). The handle is signalled when the thread
// ends; GetExitCodeThread then gives its result. Returns nullptr when no thread could start.
HANDLE CreateThread(LPTHREAD_START_ROUTINE routine, void* parameter);
// The same with any callable (the result is the exit code).
HANDLE CreateThread(std::function<DWORD()> body);
HANDLE CreateEvent(BOOL manualReset, BOOL initialState);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// WAIT_OBJECT_0 when the event is (or becomes) signalled or the thread has ended,
// WAIT_TIMEOUT after the time-out, WAIT_FAILED for a bad handle.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
// Exit code of an ended thread; STILL_ACTIVE (259) while it runs.
constexpr DWORD STILL_ACTIVE = 259;
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
BOOL CloseHandle(HANDLE object);
void Sleep(DWORD milliseconds);
// Thread priority changes are accepted and ignored: the desktop scheduler needs no help.
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
BOOL SetThreadPriority(HANDLE thread, int priority);
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
// Milliseconds since an arbitrary start, from a monotonic clock.
DWORD GetTickCount();
