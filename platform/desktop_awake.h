// Keeping the desktop awake while the receiver is read.
//
// The handheld reset its system idle timer every 15 seconds so that it would not suspend
// while the walker measured. A desktop session has its screen saver and power manager behind
// the freedesktop screen-saver service on the session bus (org.freedesktop.ScreenSaver,
// methods Inhibit and UnInhibit): while an inhibition is held the session neither blanks
// the screen nor suspends for idleness. The service also ends an inhibition when the
// connection that asked for it closes, so one that is not released (a crash) does not
// outlive the program.
//
// Where there is no session bus or no such service, Hold answers false and nothing else
// happens: the desktop's own settings then apply. Calls are bounded (two seconds each) and
// belong to the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class DesktopAwake {
 public:
  DesktopAwake();
  ~DesktopAwake();  // releases a held inhibition
  DesktopAwake(const DesktopAwake&) = delete;
  DesktopAwake& operator=(const DesktopAwake&) = delete;

  // Asks the session not to go idle, naming the application and why. True while held (also
  // when it was held already).
  bool Hold(const std::string& application, const std::string& reason);
  // Lets the session go idle again; nothing when nothing is held.
  void Release();
  bool Held() const;

 private:
  struct Session;
  std::unique_ptr<Session> session_;
};

}  // namespace platform
