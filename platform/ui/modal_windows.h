// The modal windows open on the user-interface thread, innermost last: every modal dialog,
// property sheet, message box and file chooser (seen through the toolkit's modal hook), the
// popup menus, and the popups that hold the input while open (a scope each). The program
// ends only at the top level: the windows a modal loop runs on must not be destroyed under
// it, so a request to end that comes while one is open first ends each as its user would
// (its close button, Escape), innermost first.
#pragma once

#include <functional>

namespace platform::ui {

// A modal window that the toolkit's hook does not see, open for the scope's lifetime;
// `dismiss` ends it as its user's Escape does.
class ModalWindowScope {
 public:
  explicit ModalWindowScope(std::function<void()> dismiss);
  ~ModalWindowScope();
  ModalWindowScope(const ModalWindowScope&) = delete;
  ModalWindowScope& operator=(const ModalWindowScope&) = delete;
};

// Starts and stops watching the toolkit's modal dialogs (the windowed backends do).
void WatchModalDialogs(bool on);

bool AnyModalWindowOpen();

// Ends the innermost modal window as its close button would: a dialog or sheet is closed
// (its cancel), a message box answered as closed from its title bar, a file chooser
// cancelled, a popup menu or popup taken down. Each window is asked once; false when none is
// open or the innermost was asked already and is still open (it may be asking the user
// something of its own).
bool EndInnermostModalWindow();

}  // namespace platform::ui
