#include "gps/virtual_port.h"

#include "platform/options_store.h"

namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE";

// Device keys are named from the local machine's root, with or without it spelt out.
std::string FullKey(const std::string& key) {
  if (key.rfind("HKEY_", 0) == 0) return key;
  return std::string(kRoot) + (key.empty() || key[0] != '\\' ? "\\" : "") + key;
}

}  // namespace

const std::string& VirtualComPortKey() {
  static const std::string key = std::string(kRoot) + "\\Drivers\\VirtualComPort";
  return key;
}

bool SetupVirtualComPort() {
  auto& store = platform::OptionsStore::Instance();
  const std::string& key = VirtualComPortKey();
  return store.SetString(key, "Dll", "VirtualComPort.dll") && store.SetString(key, "Prefix", "COM") &&
         store.SetString(key, "FriendlyName", "Virtual Com Port") && store.SetInt(key, "Index", 0);
}

std::unique_ptr<VirtualComPort> VirtualComPort::Activate(const std::string& registryKey) {
  auto& store = platform::OptionsStore::Instance();
  const std::string key = FullKey(registryKey);
  auto prefix = store.GetString(key, "Prefix");
  auto index = store.GetInt(key, "Index");
  if (!prefix || !index || *prefix != "COM") return nullptr;
  std::string name = *prefix + std::to_string(*index) + ":";
  int number = platform::SerialPortNumber(name);
  if (number < 0 || number > 9) return nullptr;

  std::unique_ptr<VirtualComPort> port(new VirtualComPort);
  if (!port->m_own.Create() || !port->m_published.Create()) return nullptr;
  if (!platform::PublishSerialPort(number, port->m_published.SlavePath())) return nullptr;
  port->m_portNumber = number;
  port->m_portName = name;
  platform::SetProcessSerialPort(number, port->m_own.SlavePath());
  return port;
}

VirtualComPort::~VirtualComPort() {
  if (m_portNumber >= 0) {
    platform::SetProcessSerialPort(m_portNumber, {});
    if (platform::PublishedSerialPort(m_portNumber) == m_published.SlavePath()) {
      platform::UnpublishSerialPort(m_portNumber);
    }
  }
}

bool VirtualComPort::Write(const void* data, std::size_t length, int ownTimeoutMs) {
  // What outside programs wrote is not for the receiver: take it so they never block.
  char ignored[256];
  while (m_published.Read(ignored, sizeof ignored, 0) > 0) {
  }
  if (!m_published.Write(data, length, 0)) {
    // Nobody is reading the published port: keep the newest bytes, not the oldest.
    m_published.DiscardUnread();
    m_published.Write(data, length, 0);
  }
  return m_own.Write(data, length, ownTimeoutMs);
}
