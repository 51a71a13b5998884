// Runs the application object (CWinApp) inside wxWidgets: installs the windowed message
// box and message backends, calls InitInstance, runs the event loop and ExitInstance.
//
// Test hook: SIGTERM and SIGINT are turned into the exit command (ID_APP_EXIT) sent to
// the main window, so the program ends through its ordinary exit path.
#pragma once

#include "platform/single_instance.h"

namespace platform::ui {

// Returns the process exit code (ExitInstance's result). instance, when given, is the
// lock this copy holds: it starts answering raise requests once the main window shows.
int RunApplication(int argc, char** argv, SingleInstance* instance = nullptr);

// Installs the windowed backends (done by RunApplication; window tests call it directly).
void InstallWindowedBackends();
void RemoveWindowedBackends();

}  // namespace platform::ui
