// Runs the application object (CWinApp) inside wxWidgets: installs the windowed message
// box and message backends, calls InitInstance, runs the event loop and ExitInstance.
//
// SIGTERM and SIGINT are turned into the exit command (ID_APP_EXIT) sent to the main window,
// so the program ends through its ordinary exit path (GPS off, main window closed). A request
// that comes while the program starts is kept until the event loop runs.
#pragma once

#include "platform/single_instance.h"

namespace platform::ui {

// Installs the handlers of SIGTERM and SIGINT (and lets them through if the parent blocked
// them); the program does so first of all. RunApplication does it too.
void InstallTerminationHandlers();

// Returns the process exit code (ExitInstance's result). instance, when given, is the
// lock this copy holds: it starts answering raise requests once the main window shows.
int RunApplication(int argc, char** argv, SingleInstance* instance = nullptr);

// Installs the windowed backends (done by RunApplication; window tests call it directly).
void InstallWindowedBackends();
void RemoveWindowedBackends();

}  // namespace platform::ui
