// The virtual COM port: shares one receiver between this program and others.
//
// The driver is the program's own. Activating it reads its registry entry (the port
// prefix and index: "COM" and 0, so the port is "COM0:") and makes two pseudo-terminals,
// because a terminal has one input queue and two readers of it would each get part of
// the bytes:
//   - the program's own channel: inside this process "COM0:" names its slave, so the
//     reader thread opens "COM0:" like any port. It gets every byte: a write waits (up to
//     a bound) while the reader has not taken the previous ones.
//   - the published channel: its slave is entered as COM0 in the options store, where
//     other programs (a second map, a logger) find it through the same port map. A
//     receiver does not wait for listeners, so what finds no room there is not kept: a
//     backlog nobody reads is thrown away and the freshest sentences go in instead.
// The bridge thread (VirtualPortBridge) writes the receiver's bytes into the driver,
// which hands them to both channels. Bytes that outside programs write into their port
// are read and dropped, so their writes never block; nothing is sent to the receiver.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/serial_ports.h"

// HKEY_LOCAL_MACHINE\Drivers\VirtualComPort: the driver's registry entry.
const std::string& VirtualComPortKey();

// Writes the driver's entry: "Dll" = "VirtualComPort.dll", "Prefix" = "COM",
// "FriendlyName" = "Virtual Com Port", "Index" = 0. False when the store cannot be written.
bool SetupVirtualComPort();

class VirtualComPort {
 public:
  // Loads the driver from its registry entry (key as the program names it, with or
  // without the root: "\Drivers\VirtualComPort"). nullptr when the entry is missing or
  // not a serial port prefix, or when the pseudo-terminals or the publication fail.
  static std::unique_ptr<VirtualComPort> Activate(const std::string& registryKey);
  // Deactivates: the port name is withdrawn (in this process and from the store, unless
  // another program has published something else there meanwhile) and both channels close.
  ~VirtualComPort();
  VirtualComPort(const VirtualComPort&) = delete;
  VirtualComPort& operator=(const VirtualComPort&) = delete;

  // Hands receiver bytes to both channels. False when the program's own channel could not
  // take them within ownTimeoutMs (its reader is not reading), or it is gone.
  bool Write(const void* data, std::size_t length, int ownTimeoutMs = 200);

  // "COM0:" (the prefix and index of the entry).
  const std::string& PortName() const { return m_portName; }
  int PortNumber() const { return m_portNumber; }
  // The device other programs open.
  const std::string& PublishedPath() const { return m_published.SlavePath(); }

 private:
  VirtualComPort() = default;

  int m_portNumber = -1;
  std::string m_portName;
  platform::PseudoTerminal m_own;
  platform::PseudoTerminal m_published;
};
