// Hands a document or URL to the desktop (xdg-open), the way the handheld started its
// browser for the help pages: the program does not wait for it and is never blocked by it.
#pragma once

#include <string>

namespace platform {

enum class DesktopOpenResult {
  Started,     // the opener runs; whether it finds a browser is the desktop's business
  NoOpener,    // "xdg-open" is not on PATH
  SpawnFailed, // the opener was found but could not be started
};

// Starts "xdg-open <target>" (looked up on PATH) as a child process and returns at once; a
// detached thread reaps the child when it ends. *why, when given, receives a reason on failure.
DesktopOpenResult OpenInDesktop(const std::string& target, std::string* why = nullptr);

}  // namespace platform
