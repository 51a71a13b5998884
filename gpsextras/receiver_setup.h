// The steps behind the library's exports: opening a receiver's port, the SiRF switch
// sequence, auto-detection of port and rate, and the GPS Settings applet.
//
// Everything runs on the caller's thread (the program's user-interface thread), one
// export call at a time, each call with its own CSerial.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"
#include "serial/serial.h"

// Where and with which caption the library's boxes go; no boxes while the owner is null.
extern HWND MessageOwner;
extern std::string MessageCaption;

// Found by the last successful AutoDetectGPS; 0 until then.
extern int DetectedPort;
extern int DetectedBaudIndex;

// Options-store stand-in of the device's key HKEY_LOCAL_MACHINE\ControlPanel\GPS Settings.
extern const char* const kGpsSettingsKey;

// A box to MessageOwner with MessageCaption; 0 (nothing shown) while the owner is null.
int ShowLibraryMessage(const std::string& text, UINT style);

// "COMn:" of a port number 0..9; empty for any other number.
std::string PortName(int portNumber);

// Opens the port and sets the index's rate, 8N1; reports a failure to MessageOwner.
bool OpenGpsPort(CSerial& port, int portNumber, int baudIndex);

// Port steps: each closes the port and gives false on failure.
bool OpenPortByName(CSerial& port, const std::string& name);
bool SetupPortForBaudIndex(CSerial& port, int baudIndex);
bool EnableRxCharEvent(CSerial& port);
bool SetNonBlockingReads(CSerial& port);
// About 2 s of listening for an NMEA position sentence.
bool ProbeForNmea(CSerial& port);
// True when the text holds an RMC or GGA sentence name of the talkers GP, GN, GL, GA, GB or BD.
bool HasNmeaPositionSentence(std::string_view text);
