#include "gpsextras/receiver_setup.h"

#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "gpsextras/extras_exports.h"
#include "gpsextras/sirf_messages.h"
#include "platform/message_box.h"
#include "platform/options_store.h"

HWND MessageOwner = nullptr;
std::string MessageCaption;
int DetectedPort = 0;
int DetectedBaudIndex = 0;
const char* const kGpsSettingsKey = "HKEY_LOCAL_MACHINE\\ControlPanel\\GPS Settings";

namespace {

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void SetMessageTarget(HWND owner, const char* caption) {
  MessageOwner = owner;
  MessageCaption = caption ? caption : "";
}

}  // namespace

int ShowLibraryMessage(const std::string& text, UINT style) {
  if (MessageOwner == nullptr) return 0;
  // The host program's own boxes when it offers them (see extras_exports.h).
  static const auto host = reinterpret_cast<TvxHostMessageBoxFn>(dlsym(RTLD_DEFAULT, kTvxHostMessageBoxName));
  if (host != nullptr) return host(MessageOwner, text.c_str(), MessageCaption.c_str(), style);
  return MessageBox(MessageOwner, text, MessageCaption, style);
}

std::string PortName(int portNumber) {
  if (portNumber < 0 || portNumber > 9) return {};
  return "COM" + std::to_string(portNumber) + ":";
}

bool OpenPortByName(CSerial& port, const std::string& name) {
  if (port.Open(name) == 0) return true;
  port.Close();
  return false;
}

bool SetupPortForBaudIndex(CSerial& port, int baudIndex) {
  if (port.Purge() == 0 && port.Setup(BaudRateForIndex(baudIndex), 8, NOPARITY, ONESTOPBIT) == 0) return true;
  port.Close();
  return false;
}

bool EnableRxCharEvent(CSerial& port) {
  if (port.SetMask(EV_RXCHAR) == 0) return true;
  port.Close();
  return false;
}

bool SetNonBlockingReads(CSerial& port) {
  if (port.SetupReadTimeouts(SERIAL_READ_NONBLOCKING) == 0) return true;
  port.Close();
  return false;
}

bool HasNmeaPositionSentence(std::string_view text) {
  // GPS alone, the combined solution of several systems (GN), or one other system alone.
  static constexpr std::string_view kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD"};
  for (std::string_view kind : {std::string_view("RMC"), std::string_view("GGA")}) {
    for (std::size_t at = text.find(kind, 2); at != std::string_view::npos; at = text.find(kind, at + 1)) {
      const std::string_view talker = text.substr(at - 2, 2);
      for (std::string_view known : kTalkers) {
        if (talker == known) return true;
      }
    }
  }
  return false;
}

bool ProbeForNmea(CSerial& port) {
  constexpr DWORD kChunk = 511;
  constexpr std::size_t kCarry = 4;  // a sentence name cut between two reads is still seen
  char text[kCarry + kChunk];
  std::size_t carried = 0;
  port.Purge();
  for (int round = 0; round < 20; ++round) {
    Pause(100);
    DWORD got = 0;
    do {
      if (port.Read(text + carried, kChunk, &got) != 0) {
        port.Close();
        return false;
      }
      if (got == 0) break;
      std::size_t length = carried + got;
      if (HasNmeaPositionSentence(std::string_view(text, length))) return true;
      carried = std::min(kCarry, length);
      std::memmove(text, text + length - carried, carried);
    } while (got == kChunk);
  }
  return false;
}

bool OpenGpsPort(CSerial& port, int portNumber, int baudIndex) {
  std::string name = PortName(portNumber);
  if (name.empty() || port.Open(name) != 0) {
    port.Close();
    ShowLibraryMessage("Cannot open serial port", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!SetupPortForBaudIndex(port, baudIndex)) {
    ShowLibraryMessage("No se puede configurar velocidad del puerto", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Exports

TVX_EXTRAS_EXPORT int ForceNMEA(HWND owner, const char* caption, int port, int baudIndex) {
  CSerial serial;
  SetMessageTarget(owner, caption);
  if (OpenGpsPort(serial, port, baudIndex)) {
    Pause(100);
    SendSwitchToNmea(serial, baudIndex);
    Pause(500);
    serial.Close();
  }
  return 1;
}

TVX_EXTRAS_EXPORT BOOL Switch(HWND owner, const char* caption, int port, int baudIndex, BYTE kind, BYTE flag) {
  BOOL result = FALSE;
  {
    CSerial serial;
    SetMessageTarget(owner, caption);
    if (OpenGpsPort(serial, port, baudIndex)) {
      Pause(500);
      SendSwitchToSirf(serial, baudIndex);
      Pause(500);
      switch (kind) {
        case 0:
          SendStaticNavigation(serial, flag != 0);
          break;
        case 1:
          SendSbasSetting(serial, flag != 0);
          break;
        case 2:
          SendStaticNavigation(serial, false);
          SendSbasSetting(serial, true);
          break;
        default:
          break;
      }
      Pause(500);
      SendSwitchToNmea(serial, baudIndex);
      Pause(500);
      serial.Close();
      result = TRUE;
    }
  }
  // A second switch to NMEA, in case the receiver missed the first.
  ForceNMEA(owner, caption, port, baudIndex);
  return result;
}

TVX_EXTRAS_EXPORT BOOL AutoDetectGPS(HWND owner, const char* caption) {
  SetMessageTarget(owner, caption);
  for (int portNumber = 0; portNumber <= 9; ++portNumber) {
    const std::string name = PortName(portNumber);
    if (CSerial::CheckPort(name) != SERIAL_PORT_AVAILABLE) continue;
    // 1200 bit/s is never tried.
    for (int baudIndex = kBaudIndexCount - 1; baudIndex >= 1; --baudIndex) {
      CSerial port;
      if (!OpenPortByName(port, name) || !SetupPortForBaudIndex(port, baudIndex) || !EnableRxCharEvent(port) ||
          !SetNonBlockingReads(port) || !ProbeForNmea(port)) {
        port.Close();
        continue;
      }
      DetectedBaudIndex = baudIndex;
      DetectedPort = portNumber;
      port.Close();
      ShowLibraryMessage("Port COM:" + std::to_string(portNumber) + "\nBaud " + BaudTextForIndex(baudIndex),
                         MB_OK | MB_ICONEXCLAMATION);
      return TRUE;
    }
  }
  return FALSE;
}

TVX_EXTRAS_EXPORT int GetPuerto() { return DetectedPort; }

TVX_EXTRAS_EXPORT int GetBaudios() { return DetectedBaudIndex; }

TVX_EXTRAS_EXPORT int MostrarGPSWindows(HWND owner, const char* caption) {
  SetMessageTarget(owner, caption);
  platform::OptionsStore& store = platform::OptionsStore::Instance();
  if (!store.KeyExists(kGpsSettingsKey)) {
    int answer = ShowLibraryMessage("GPS Windows Mobile is already under Settings of device",
                                    MB_OK | MB_ICONEXCLAMATION);
    return answer ? answer : IDOK;
  }
  store.DeleteValue(kGpsSettingsKey, "Hide");
  store.DeleteValue(kGpsSettingsKey, "Redirect");
  if (!store.SetInt(kGpsSettingsKey, "Group", 2)) {
    int answer = ShowLibraryMessage("Cannot change GPS Settings", MB_OK | MB_ICONEXCLAMATION);
    return answer ? answer : IDOK;
  }
  // The handheld asked for a soft reset here; on this host the receiver software is
  // restarted by the user instead.
  int answer = ShowLibraryMessage("GPS Settings changed. Restart the GPS receiver software for the change to take effect.",
                                  MB_OK | MB_ICONEXCLAMATION);
  return answer ? answer : IDOK;
}
