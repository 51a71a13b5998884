// Runs the application object (CWinApp) inside wxWidgets: installs the windowed message
// box and message backends, calls InitInstance, runs the event loop and ExitInstance.
//
// SIGTERM and SIGINT are turned into the exit command (ID_APP_EXIT) sent to the main window,
// so the program ends through its ordinary exit path (GPS off, main window closed, the save
// question). A request that comes while the program starts is kept until the event loop
// runs; one that comes while a modal window is open ends the modal windows first.
#pragma once

#include "platform/single_instance.h"

namespace platform::ui {

// Installs the handlers of SIGTERM and SIGINT (and lets them through if the parent blocked
// them); the program does so first of all. RunApplication does it too.
void InstallTerminationHandlers();

// Returns the process exit code (ExitInstance's result). instance, when given, is the
// lock this copy holds: it starts answering raise requests once the main window shows.
int RunApplication(int argc, char** argv, SingleInstance* instance = nullptr);

// Asks the program to end as SIGTERM does: the exit command runs from the event loop, once
// every modal window is ended (platform/ui/modal_windows.h).
void RequestProgramEnd();

// Installs the windowed backends (done by RunApplication; window tests call it directly).
void InstallWindowedBackends();
void RemoveWindowedBackends();

}  // namespace platform::ui
