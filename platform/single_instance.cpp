#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/threads.h"

namespace platform {
namespace {

// FNV-1a: stable across runs and builds, so two copies agree on the names.
std::string Fingerprint(const std::string& text) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(h));
  return buffer;
}

// Abstract socket address (Linux): no file to clean up after a crash.
socklen_t MakeAddress(const std::string& name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

constexpr char kRequest[] = "raise\n";
constexpr char kRaised = 'y';
constexpr char kNoWindow = 'n';

}  // namespace

SingleInstance::SingleInstance(std::string programPath, std::string lockFolder) {
  std::string id = Fingerprint(programPath);
  lockPath_ = lockFolder + "/tolvanixpda-" + id + ".lock";
  socketName_ = "tolvanixpda-" + Fingerprint(programPath + "\n" + lockFolder);
}

SingleInstance::~SingleInstance() {
  StopListening();
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::TryAcquire() {
  if (lockFd_ >= 0) return true;
  int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // Without a lock file (read-only folder) every copy runs: better than none.
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  lockFd_ = fd;
  return true;
}

bool SingleInstance::AskRunningCopyToRaise(int attempts, DWORD intervalMs) {
  sockaddr_un address;
  socklen_t length = MakeAddress(socketName_, address);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) Sleep(intervalMs);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    char answer = 0;
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    if (connected && ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) > 0) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(intervalMs)) > 0) {
        if (::recv(fd, &answer, 1, 0) != 1) answer = 0;
      }
    }
    ::close(fd);
    if (answer == kRaised) return true;
  }
  return false;
}

bool SingleInstance::Listen(std::function<bool()> onRaise) {
  if (lockFd_ < 0 || listenFd_ >= 0) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  sockaddr_un address;
  socklen_t length = MakeAddress(socketName_, address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 4) != 0) {
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  stop_ = false;
  listener_ = std::thread([this, onRaise = std::move(onRaise)] {
    while (!stop_.load()) {
      pollfd p{listenFd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      char request[16] = {};
      pollfd c{client, POLLIN, 0};
      if (::poll(&c, 1, 1000) > 0 && ::recv(client, request, sizeof request - 1, 0) > 0 &&
          std::strncmp(request, kRequest, sizeof kRequest - 1) == 0) {
        char answer = onRaise() ? kRaised : kNoWindow;
        ::send(client, &answer, 1, MSG_NOSIGNAL);
      }
      ::close(client);
    }
  });
  return true;
}

void SingleInstance::StopListening() {
  stop_ = true;
  if (listener_.joinable()) listener_.join();
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
  }
}

}  // namespace platform
