// Window handles, registered window messages, posting and sending.
//
// A window handle (HWND) is a number issued when a window object attaches itself to the
// process-wide window table and withdrawn when it detaches; numbers are never reused, so
// posting to a window that is gone does nothing and returns FALSE.
//
// PostMessage may be called from any thread: the message is queued and delivered on the
// user-interface thread to whatever window holds the handle at that moment. SendMessage
// delivers at once when called on the user-interface thread; from another thread it
// waits until the user-interface thread has delivered it.
//
// The windowed program installs a backend that queues into its event loop. Without one
// (headless tests, tools) messages wait in a queue that PumpMessages delivers.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

class CCmdTarget;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;
// Registered messages are numbered from here up.
constexpr UINT kFirstRegisteredMessage = 0xC000;

inline WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}

// The same name gives the same number for the whole life of the process, whichever
// thread or static initialiser asks first. Names compare without regard to ASCII case.
// Returns 0 for an empty name.
UINT RegisterWindowMessage(const std::string& name);

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);

namespace platform {

HWND AttachWindow(CCmdTarget* target);
void DetachWindow(HWND window);
// The object behind a handle; nullptr when the handle is gone. User-interface thread only.
CCmdTarget* FindWindowTarget(HWND window);

// Delivers one message to the window holding the handle now, on the calling thread.
// Returns false (and leaves *result alone) when the handle is gone.
bool DeliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result = nullptr);

// Marks the calling thread as the user-interface thread (the program's main thread by
// default: the first thread that attaches a window or calls this).
void SetUiThread();
bool IsUiThread();

struct MessageBackend {
  // Queues a delivery on the user-interface thread; called from any thread.
  std::function<void(HWND, UINT, WPARAM, LPARAM)> post;
  // Delivers on the user-interface thread and waits for the result; called from others.
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> send;
};
// An empty backend restores the headless queue.
void SetMessageBackend(MessageBackend backend);

// Headless queue: delivers every queued message on the calling thread; returns how many.
size_t PumpMessages();
// Waits up to the time-out for a queued message, then delivers all; returns how many.
size_t WaitAndPumpMessages(DWORD milliseconds);

}  // namespace platform
