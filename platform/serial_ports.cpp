#include "platform/serial_ports.h"

// termios2 and BOTHER come from the kernel's headers; glibc's <termios.h> declares a
// different struct termios and must not be included in this file.
#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/options_store.h"

namespace platform {
namespace {

constexpr int kPortCount = 10;  // COM0 .. COM9

DWORD CodeFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return ERROR_FILE_NOT_FOUND_CODE;
    case EBUSY:
    case EWOULDBLOCK:
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED_CODE;
    case EBADF:
      return ERROR_INVALID_HANDLE_CODE;
    case EINVAL:
    case ENOTTY:
      return ERROR_INVALID_PARAMETER_CODE;
    default:
      return ERROR_GEN_FAILURE_CODE;
  }
}

DWORD LastCode() { return CodeFromErrno(errno); }

bool GetLine(int fd, termios2& t) { return ioctl(fd, TCGETS2, &t) == 0; }
bool SetLine(int fd, const termios2& t) { return ioctl(fd, TCSETS2, &t) == 0; }

// Raw bytes both ways, 8N1, receiver on, modem lines ignored, no flow control.
void MakeRaw(termios2& t) {
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                      IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
}

int PollOne(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int r;
  do {
    r = poll(&p, 1, timeoutMs);
  } while (r < 0 && errno == EINTR);
  return r <= 0 ? r : p.revents;
}

std::string EnvPortValue(int port, bool& present) {
  std::string name = "TVX_PORT_" + std::to_string(port);
  const char* value = std::getenv(name.c_str());
  present = value != nullptr;
  return present ? std::string(value) : std::string();
}

std::string StoreValueName(int port) { return "COM" + std::to_string(port); }

// Ports this process provides itself, by number (empty: none).
struct ProcessPorts {
  std::mutex mutex;
  std::string path[kPortCount];
};

ProcessPorts& OwnPorts() {
  // An object, not a leaked pointer: the set-up library holds its own copy of this table
  // and is loaded and unloaded for every call. The GPS threads are stopped before exit.
  static ProcessPorts ports;
  return ports;
}

bool ProcessPortPath(int port, std::string& path) {
  ProcessPorts& own = OwnPorts();
  std::lock_guard<std::mutex> lock(own.mutex);
  if (own.path[port].empty()) return false;
  path = own.path[port];
  return true;
}

}  // namespace

const std::string& SerialPortsKey() {
  static const std::string key = "HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Puertos";
  return key;
}

int SerialPortNumber(std::string_view name) {
  if (name.size() < 4 || name.substr(0, 3) != "COM") return -1;
  std::string_view digits = name.substr(3);
  if (!digits.empty() && digits.back() == ':') digits.remove_suffix(1);
  if (digits.empty() || digits.size() > 2) return -1;
  int port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    port = port * 10 + (c - '0');
  }
  return port;
}

std::string DefaultSerialDevice(int port) {
  if (port >= 1 && port <= 4) return "/dev/ttyUSB" + std::to_string(port - 1);
  if (port >= 5 && port <= 8) return "/dev/ttyACM" + std::to_string(port - 5);
  if (port == 9) return "/dev/rfcomm0";
  return {};  // COM0, the virtual port, exists only once published
}

std::string SerialDevicePath(int port) {
  if (port < 0 || port >= kPortCount) return {};
  std::string own;
  if (ProcessPortPath(port, own)) return own;
  bool inEnvironment = false;
  std::string path = EnvPortValue(port, inEnvironment);
  if (inEnvironment) return path;
  if (auto stored = OptionsStore::Instance().GetString(SerialPortsKey(), StoreValueName(port))) return *stored;
  return DefaultSerialDevice(port);
}

std::string ResolveSerialName(std::string_view name) {
  if (!name.empty() && name[0] == '/') return std::string(name);
  int port = SerialPortNumber(name);
  return port < 0 ? std::string() : SerialDevicePath(port);
}

bool PublishSerialPort(int port, const std::string& devicePath) {
  if (port < 0 || port >= kPortCount) return false;
  return OptionsStore::Instance().SetString(SerialPortsKey(), StoreValueName(port), devicePath);
}

bool UnpublishSerialPort(int port) {
  if (port < 0 || port >= kPortCount) return false;
  return OptionsStore::Instance().DeleteValue(SerialPortsKey(), StoreValueName(port));
}

std::string PublishedSerialPort(int port) {
  if (port < 0 || port >= kPortCount) return {};
  return OptionsStore::Instance().GetString(SerialPortsKey(), StoreValueName(port)).value_or(std::string());
}

void SetProcessSerialPort(int port, const std::string& devicePath) {
  if (port < 0 || port >= kPortCount) return;
  ProcessPorts& own = OwnPorts();
  std::lock_guard<std::mutex> lock(own.mutex);
  own.path[port] = devicePath;
}

// ---------------------------------------------------------------------------------------
// SerialDevice

SerialDevice::SerialDevice() { m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

SerialDevice::~SerialDevice() {
  Close();
  if (m_wakeFd >= 0) ::close(m_wakeFd);
}

DWORD SerialDevice::Open(std::string_view name) {
  if (IsOpen()) return ERROR_ALREADY_INITIALIZED_CODE;
  std::string path = ResolveSerialName(name);
  if (path.empty()) return ERROR_FILE_NOT_FOUND_CODE;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return LastCode();
  DWORD code = 0;
  termios2 t{};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    code = LastCode();
  } else if (!GetLine(fd, t)) {
    code = LastCode();  // not a terminal device
  } else if (ioctl(fd, TIOCEXCL) != 0) {
    code = LastCode();
  } else {
    MakeRaw(t);
    if (!SetLine(fd, t)) code = LastCode();
  }
  if (code != 0) {
    ::close(fd);
    return code;
  }
  m_fd = fd;
  m_eventChar = 0;
  eventfd_t stale;  // a wake meant for the previous opening
  eventfd_read(m_wakeFd, &stale);
  return 0;
}

void SerialDevice::Close() {
  if (!IsOpen()) return;
  // Clear the exclusive flag: it stays on the line while anyone else holds it open.
  ioctl(m_fd, TIOCNXCL);
  ::close(m_fd);
  m_fd = -1;
}

DWORD SerialDevice::Probe(std::string_view name) {
  SerialDevice device;
  return device.Open(name);
}

DWORD SerialDevice::GetState(SerialLineState& s) const {
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  termios2 t{};
  if (!GetLine(m_fd, t)) return LastCode();
  s.baudRate = t.c_ospeed;
  switch (t.c_cflag & CSIZE) {
    case CS5: s.byteSize = 5; break;
    case CS6: s.byteSize = 6; break;
    case CS7: s.byteSize = 7; break;
    default: s.byteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB)) {
    s.parity = 0;
  } else if (t.c_cflag & CMSPAR) {
    s.parity = (t.c_cflag & PARODD) ? 3 : 4;
  } else {
    s.parity = (t.c_cflag & PARODD) ? 1 : 2;
  }
  s.stopBits = (t.c_cflag & CSTOPB) ? (s.byteSize == 5 ? 1 : 2) : 0;
  s.parityCheck = (t.c_iflag & INPCK) != 0;
  s.rtsCtsFlow = (t.c_cflag & CRTSCTS) != 0;
  s.xonXoffOut = (t.c_iflag & IXON) != 0;
  s.xonXoffIn = (t.c_iflag & IXOFF) != 0;
  s.eventChar = m_eventChar;
  return 0;
}

DWORD SerialDevice::SetState(const SerialLineState& s) {
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  if (s.baudRate == 0 || s.byteSize < 5 || s.byteSize > 8 || s.parity > 4 || s.stopBits > 2) {
    return ERROR_INVALID_PARAMETER_CODE;
  }
  termios2 t{};
  if (!GetLine(m_fd, t)) return LastCode();
  t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR |
                                      CSTOPB | CRTSCTS);
  // BOTHER for every rate, so 14400 and 56000 go the same way as the standard ones;
  // an input rate of 0 means "same as output".
  t.c_cflag |= BOTHER | kSizes[s.byteSize - 5];
  t.c_ospeed = t.c_ispeed = s.baudRate;
  if (s.parity != 0) t.c_cflag |= PARENB;
  if (s.parity == 1 || s.parity == 3) t.c_cflag |= PARODD;
  if (s.parity >= 3) t.c_cflag |= CMSPAR;
  if (s.stopBits != 0) t.c_cflag |= CSTOPB;
  if (s.rtsCtsFlow) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
  if (s.parityCheck) t.c_iflag |= INPCK;
  if (s.xonXoffOut) t.c_iflag |= IXON;
  if (s.xonXoffIn) t.c_iflag |= IXOFF;
  if (!SetLine(m_fd, t)) return LastCode();
  // The driver reports the rate it really made.
  termios2 made{};
  if (!GetLine(m_fd, made)) return LastCode();
  double off = static_cast<double>(made.c_ospeed) - static_cast<double>(s.baudRate);
  if (off < 0) off = -off;
  if (off > 0.03 * s.baudRate) return ERROR_INVALID_PARAMETER_CODE;
  m_eventChar = s.eventChar;
  return 0;
}

DWORD SerialDevice::Read(void* buffer, std::size_t length, std::size_t& got) {
  got = 0;
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  if (length == 0) return 0;
  ssize_t n;
  do {
    n = ::read(m_fd, buffer, length);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return (errno == EAGAIN) ? 0 : LastCode();
  // A raw line without data answers EAGAIN; end of file means it was hung up (the
  // adapter unplugged, the far end of a pseudo-terminal closed): the device is gone.
  if (n == 0) return ERROR_GEN_FAILURE_CODE;
  got = static_cast<std::size_t>(n);
  return 0;
}

DWORD SerialDevice::Write(const void* data, std::size_t length, std::size_t& written) {
  written = 0;
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (written < length) {
    ssize_t n = ::write(m_fd, bytes + written, length - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      if (PollOne(m_fd, POLLOUT, -1) < 0) return LastCode();
    } else if (n < 0 && errno != EINTR) {
      return LastCode();
    }
  }
  return 0;
}

DWORD SerialDevice::WaitReadable(int timeoutMs) {
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  pollfd p[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int wait = timeoutMs;
    if (timeoutMs >= 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    int r = poll(p, 2, wait);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return LastCode();
    if (r == 0) return WAIT_TIMEOUT_CODE;
    if (p[1].revents & POLLIN) {
      eventfd_t ignored;
      eventfd_read(m_wakeFd, &ignored);
      return ERROR_OPERATION_ABORTED_CODE;
    }
    if (p[0].revents & POLLIN) return 0;
    if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return ERROR_GEN_FAILURE_CODE;  // device gone
  }
}

void SerialDevice::Wake() {
  if (m_wakeFd >= 0) eventfd_write(m_wakeFd, 1);
}

DWORD SerialDevice::Purge() {
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  return ioctl(m_fd, TCFLSH, TCIOFLUSH) == 0 ? 0 : LastCode();
}

DWORD SerialDevice::SetBreak(bool on) {
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  return ioctl(m_fd, on ? TIOCSBRK : TIOCCBRK) == 0 ? 0 : LastCode();
}

DWORD SerialDevice::GetModemStatus(DWORD& bits) const {
  bits = 0;
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  int lines = 0;
  if (ioctl(m_fd, TIOCMGET, &lines) != 0) return LastCode();
  if (lines & TIOCM_CTS) bits |= MS_CTS_ON;
  if (lines & TIOCM_DSR) bits |= MS_DSR_ON;
  if (lines & TIOCM_RI) bits |= MS_RING_ON;
  if (lines & TIOCM_CD) bits |= MS_RLSD_ON;
  return 0;
}

DWORD SerialDevice::GetErrorCounts(SerialErrorCounts& counts) const {
  counts = {};
  if (!IsOpen()) return ERROR_INVALID_HANDLE_CODE;
  serial_icounter_struct c{};
  if (ioctl(m_fd, TIOCGICOUNT, &c) != 0) return LastCode();
  counts.frame = static_cast<std::uint32_t>(c.frame);
  counts.overrun = static_cast<std::uint32_t>(c.overrun);
  counts.parity = static_cast<std::uint32_t>(c.parity);
  counts.breaks = static_cast<std::uint32_t>(c.brk);
  counts.bufferOverrun = static_cast<std::uint32_t>(c.buf_overrun);
  return 0;
}

// ---------------------------------------------------------------------------------------
// PseudoTerminal

PseudoTerminal::~PseudoTerminal() { Close(); }

bool PseudoTerminal::Create() {
  Close();
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0) return false;
  char name[128];
  if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || ptsname_r(m_master, name, sizeof name) != 0) {
    Close();
    return false;
  }
  m_slavePath = name;
  m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  termios2 t{};
  if (m_slave < 0 || !GetLine(m_slave, t)) {
    Close();
    return false;
  }
  MakeRaw(t);
  SetLine(m_slave, t);
  int flags = fcntl(m_master, F_GETFL);
  fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
  return true;
}

void PseudoTerminal::Close() {
  if (m_slave >= 0) ::close(m_slave);
  if (m_master >= 0) ::close(m_master);
  m_slave = m_master = -1;
  m_slavePath.clear();
}

bool PseudoTerminal::Write(const void* data, std::size_t length, int timeoutMs) {
  if (m_master < 0) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < length) {
    ssize_t n = ::write(m_master, bytes + done, length - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      if (PollOne(m_master, POLLOUT, timeoutMs) <= 0) return false;
    } else if (n < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

void PseudoTerminal::DiscardUnread() {
  // Through the slave this object keeps open: flushing its input queue drops what was
  // written on the master side and not yet read.
  if (m_slave >= 0) ioctl(m_slave, TCFLSH, TCIFLUSH);
}

std::size_t PseudoTerminal::Read(void* buffer, std::size_t length, int timeoutMs) {
  if (m_master < 0 || length == 0) return 0;
  int events = PollOne(m_master, POLLIN, timeoutMs);
  if (events <= 0 || !(events & POLLIN)) return 0;
  ssize_t n = ::read(m_master, buffer, length);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

DWORD PseudoTerminal::SlaveBaudRate() const {
  // On the master side the kernel answers with the slave's line settings.
  termios2 t{};
  if (m_master < 0 || !GetLine(m_master, t)) return 0;
  return t.c_ospeed;
}

}  // namespace platform
