// Message boxes. Texts are UTF-8. Any thread may call MessageBox.
//
// The windowed program installs a backend that shows a real dialog on the
// user-interface thread. Without a backend (headless tests, tools) a box is
// logged to stderr and answered from the script below, else with the default
// answer of its style (IDOK, IDYES for YES/NO boxes... see DefaultAnswer).
//
// Tests answer boxes from a script and read back what was shown:
//   platform::MessageBoxScript::Push(IDNO);
//   ... code under test ...
//   auto shown = platform::MessageBoxScript::TakeShown();
// The environment variable TVX_MSGBOX_ANSWERS ("yes,no,ok,cancel", comma separated)
// preloads the script when the process starts, for tests that run the program itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

struct ShownMessageBox {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT style = 0;
  int answer = 0;
};

using MessageBoxBackend =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT style)>;

// Installed by the windowed program at start-up; an empty function removes it.
void SetMessageBoxBackend(MessageBoxBackend backend);

int DefaultAnswer(UINT style);

struct MessageBoxScript {
  static void Push(int answer);
  static void Clear();
  static std::vector<ShownMessageBox> TakeShown();
};

}  // namespace platform

// The platform call: returns IDOK, IDCANCEL, IDYES or IDNO.
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
