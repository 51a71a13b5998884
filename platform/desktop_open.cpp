#include "platform/desktop_open.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr const char* kOpener = "xdg-open";

// The opener's full path from PATH, empty when no folder holds an executable of that name.
std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    if (folder.empty()) folder = ".";
    std::string candidate = folder + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

}  // namespace

DesktopOpenResult OpenInDesktop(const std::string& target, std::string* why) {
  const std::string opener = FindOnPath(kOpener);
  if (opener.empty()) {
    if (why) *why = std::string(kOpener) + " was not found";
    return DesktopOpenResult::NoOpener;
  }
  std::string arg0 = kOpener;
  std::string arg1 = target;
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The opener must not read the program's input nor hold its terminal.
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, opener.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    if (why) *why = std::strerror(error);
    return DesktopOpenResult::SpawnFailed;
  }
  // Some openers stay until the browser closes: wait for it elsewhere, so no zombie is left.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return DesktopOpenResult::Started;
}

}  // namespace platform
