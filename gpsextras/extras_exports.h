// The exports of the receiver set-up library tolvanixextras
// (<program folder>/internal/tolvanixextras.dll). The program loads the library by path
// for each use and binds these names; it never links against it. Captions and texts are
// UTF-8. Message boxes are shown only when owner is not null.
//
// Message boxes: the library is a separate module with its own copy of the platform
// layer, so it shows its boxes through the host program's function TvxHostMessageBox
// when the program exports one (extern "C", default visibility, program linked with
// ENABLE_EXPORTS); otherwise through its own platform MessageBox.
#pragma once

#include "platform/win_types.h"

#define TVX_EXTRAS_EXPORT extern "C" __attribute__((visibility("default")))

// Tries ports COM0..COM9 and, on each free port, the rates 115200 down to 4800 for NMEA
// position sentences; TRUE when a receiver was found (its port and rate stay available
// through GetPuerto and GetBaudios while the library stays loaded).
TVX_EXTRAS_EXPORT BOOL AutoDetectGPS(HWND owner, const char* caption);
TVX_EXTRAS_EXPORT int GetPuerto();
TVX_EXTRAS_EXPORT int GetBaudios();
// Switches a SiRF receiver to binary, sends the setting of kind (0 static navigation by
// flag, 1 SBAS by flag, 2 static navigation off and SBAS on, other kinds none) and back to
// NMEA. FALSE only when the port could not be opened or set up.
TVX_EXTRAS_EXPORT BOOL Switch(HWND owner, const char* caption, int port, int baudIndex, BYTE kind, BYTE flag);
// Makes the GPS Settings applet visible in the options store; returns the answer of the
// last box shown (IDOK when none was).
TVX_EXTRAS_EXPORT int MostrarGPSWindows(HWND owner, const char* caption);
// Sends the switch to NMEA at the index's rate; returns 1.
TVX_EXTRAS_EXPORT int ForceNMEA(HWND owner, const char* caption, int port, int baudIndex);

using AutoDetectGPSFn = BOOL (*)(HWND owner, const char* caption);
using GetPuertoFn = int (*)();
using GetBaudiosFn = int (*)();
using SwitchFn = BOOL (*)(HWND owner, const char* caption, int port, int baudIndex, BYTE kind, BYTE flag);
using MostrarGPSWindowsFn = int (*)(HWND owner, const char* caption);
using ForceNMEAFn = int (*)(HWND owner, const char* caption, int port, int baudIndex);

// Optional, exported by the host program.
using TvxHostMessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT style);
constexpr const char* kTvxHostMessageBoxName = "TvxHostMessageBox";
