// The program's binding of the receiver set-up library internal/tolvanixextras.dll (see
// gpsextras/extras_exports.h): loaded by path for every single use, its exports bound by
// name and the library freed at once. A missing library or export is a silent no-op.
// User-interface thread only: the calls block while the library talks to the receiver.
#pragma once

#include <optional>
#include <string>

#include "platform/win_types.h"

// The caption every export gets for its message boxes.
inline constexpr const char* kExtrasCaption = "Tolvanix PDA";

// <program folder>/internal/tolvanixextras.dll
std::string ExtrasLibraryPath();

// Calls the export (Switch) with (owner, caption, port, baudIndex, kind, onOff); nothing
// when port or baudIndex is -1. A result of 0 shows "ERROR", else showResult shows "OK".
void CallExtrasExport(const std::string& exportName, HWND owner, int port, int baudIndex,
                      BYTE kind, BYTE onOff, BYTE showResult);

// Receiver detection: AutoDetectGPS, then GetPuerto and GetBaudios from the same load.
struct DetectedReceiver {
  int port = -1;
  int baudIndex = -1;
};
std::optional<DetectedReceiver> DetectReceiver(HWND owner);

// The Switch call of the start-up set-up for its mode (0 static navigation off, 1 SBAS
// on, 2 static navigation off and SBAS on).
struct SirfSwitch {
  BYTE kind = 0;  // SirfSettingKind: 0 static navigation, 1 SBAS, 2 both
  BYTE flag = 0;  // on/off
};
SirfSwitch StartupSwitch(int mode);
