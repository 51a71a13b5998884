#include "platform/sound.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/modules.h"

extern char** environ;

namespace {

std::atomic<int> g_sounds{0};
std::atomic<int> g_beeps{0};
std::mutex g_mutex;
std::function<void(UINT)> g_beepBackend;
// The WAVE items extracted for the player, one file each, removed when the program ends (a
// player still reading one keeps what it opened).
struct ResourceFiles : std::map<std::pair<HMODULE, UINT>, std::string> {
  ~ResourceFiles() {
    for (const auto& [item, file] : *this) ::unlink(file.c_str());
  }
};
ResourceFiles g_resourceFiles;

bool Silenced() {
  const char* off = std::getenv("TVX_NO_SOUND");
  return off && *off && *off != '0';
}

// The first player program on PATH, searched once.
const std::string& PlayerProgram() {
  static const std::string player = [] {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (const char* name : {"pw-play", "paplay", "aplay"}) {
      std::size_t start = 0;
      while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
      }
    }
    return std::string();
  }();
  return player;
}

// Starts the player on the file and reaps it in the background.
bool PlayFile(const std::string& file) {
  const std::string& player = PlayerProgram();
  if (player.empty()) return false;
  std::vector<std::string> args = {player};
  if (player.ends_with("aplay")) args.push_back("-q");
  args.push_back(file);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, player.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

// A WAVE item written once to a private temporary file that a player can open. The file is
// made anew under a name no other user can foresee (a shared temporary folder may hold a
// link of someone else's under any name that can be guessed), readable by this user alone.
std::string ResourceFile(HMODULE module, UINT id) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto key = std::make_pair(module, id);
  if (auto it = g_resourceFiles.find(key); it != g_resourceFiles.end()) return it->second;
  std::string_view bytes = platform::FindResourceItem(module, "WAVE", id);
  if (bytes.empty()) return {};
  const char* tmp = std::getenv("TMPDIR");
  constexpr std::string_view kSuffix = ".wav";
  std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/tvx-sound-" +
                     std::to_string(id) + "-XXXXXX" + std::string(kSuffix);
  const int fd = ::mkostemps(file.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
  if (fd < 0) return {};
  bool written = true;
  while (written && !bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) written = false;
    else bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0) written = false;
  if (!written) {
    ::unlink(file.c_str());
    return {};
  }
  g_resourceFiles.emplace(key, file);
  return file;
}

}  // namespace

BOOL PlaySound(const std::string& sound, HMODULE module, DWORD flags) {
  ++g_sounds;
  if (Silenced() || sound.empty()) return FALSE;
  std::string file;
  if ((flags & SND_RESOURCE) == SND_RESOURCE) {
    UINT id = 0;
    auto [end, ec] = std::from_chars(sound.data(), sound.data() + sound.size(), id);
    if (ec != std::errc() || end != sound.data() + sound.size()) return FALSE;
    file = ResourceFile(module ? module : GetModuleHandle(nullptr), id);
  } else {
    file = sound;
  }
  if (file.empty() || PlayerProgram().empty()) return FALSE;
  return PlayFile(file) ? TRUE : FALSE;
}

BOOL MessageBeep(UINT type) {
  ++g_beeps;
  std::function<void(UINT)> backend;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    backend = g_beepBackend;
  }
  if (!backend || Silenced()) return FALSE;
  backend(type);
  return TRUE;
}

namespace platform {

void SetBeepBackend(std::function<void(UINT)> backend) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_beepBackend = std::move(backend);
}

int SoundsRequested() { return g_sounds; }
int BeepsRequested() { return g_beeps; }

}  // namespace platform
