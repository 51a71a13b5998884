#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  std::string bytes;
  // A plain file is read straight into a buffer of its size; anything else (a pipe, a
  // device) and a file that grows meanwhile are read on to their end.
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() < 65536 ? 65536 : bytes.size() * 2);
    ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes, std::string* why) {
  ReplacingFile file(path);
  if (!file.Open(why)) return false;
  file.Write(bytes);
  return file.Commit(why);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReplacedFile(const std::string& path) {
  std::string file = path;
  // As many links as the system follows in one open.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
    const ssize_t n = ::readlink(file.c_str(), target.data(), target.size());
    if (n <= 0) break;
    target.resize(static_cast<std::size_t>(n));
    if (target.front() != '/') {
      // Relative to the folder that holds the link.
      const std::size_t slash = file.rfind('/');
      if (slash != std::string::npos) target = file.substr(0, slash + 1) + target;
    }
    file = target;
  }
  return file;
}

namespace {

// What follows the target's name in the name of a temporary file of a write to it.
constexpr std::string_view kTemporaryMark = ".tvxsave-";
constexpr std::size_t kRandomLetters = 6;
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The folder of `path` with its slash ("" for the current folder) and the name in it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {std::string(), path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// "." + name + mark: what every temporary file of a write to `name` begins with.
std::string TemporaryPrefix(const std::string& name) {
  return "." + name + std::string(kTemporaryMark);
}

// The process id in the name of a temporary file of a write to `name` (prefix + id + "-" + six
// letters); 0 when the name is anything else.
long WriterOf(std::string_view entry, const std::string& prefix) {
  if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix) return 0;
  entry.remove_prefix(prefix.size());
  const std::size_t dash = entry.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > 9) return 0;
  const std::string_view digits = entry.substr(0, dash);
  const std::string_view letters = entry.substr(dash + 1);
  if (digits.find_first_not_of("0123456789") != std::string_view::npos || digits[0] == '0' ||
      letters.size() != kRandomLetters || letters.find_first_not_of(kLetters) != std::string_view::npos)
    return 0;
  return std::stol(std::string(digits));
}

// Removes the temporary files of writes to `path` that were killed before their rename: the
// names this class makes, as regular files of this user, whose writing process has ended. A
// process that still runs may be writing its own, and anything else is someone's file.
void RemoveAbandonedTemporaries(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  const std::string prefix = TemporaryPrefix(name);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  const long self = static_cast<long>(::getpid());
  while (const dirent* entry = ::readdir(dir)) {
    const long pid = WriterOf(entry->d_name, prefix);
    if (pid <= 0 || pid == self) continue;
    const std::string file = folder + entry->d_name;
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    ::unlink(file.c_str());
  }
  ::closedir(dir);
}

// A name for a new temporary file of a write to `path` by this process.
std::string NewTemporaryName(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  unsigned char random[kRandomLetters];
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    // No random bytes to be had: the time and a counter still differ from one try to the next.
    static std::atomic<unsigned> counter{0};
    std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                         (static_cast<std::uint64_t>(counter++) << 40);
    for (unsigned char& r : random) {
      r = static_cast<unsigned char>(seed);
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      r ^= static_cast<unsigned char>(seed >> 56);
    }
  }
  std::string letters;
  for (unsigned char r : random) letters += kLetters[r % kLetters.size()];
  return folder + TemporaryPrefix(name) + std::to_string(static_cast<long>(::getpid())) + "-" +
         letters;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(ReplacedFile(path)) {}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temporary_.c_str());
  }
}

bool ReplacingFile::Open(std::string* why) {
  RemoveAbandonedTemporaries(path_);
  // The file replaced keeps its permissions (a file only its owner may read stays so; until
  // then the new file is its owner's alone); a set-user or set-group mark is not given to the
  // new file. A new file is made as any the user makes.
  struct stat st {};
  const bool replaces = ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  // Made anew, never opened through a link or over a file that is there: a name taken is
  // tried again with other letters.
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = NewTemporaryName(path_);
    fd_ = ::open(temporary_.c_str(), kFlags, replaces ? 0600 : 0644);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    if (why) *why = std::strerror(errno);
    temporary_.clear();
    return false;
  }
  if (replaces) ::fchmod(fd_, st.st_mode & 0777);
  return true;
}

void ReplacingFile::Write(std::string_view bytes) {
  while (error_ == 0 && fd_ >= 0 && !bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : EIO;
      break;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

bool ReplacingFile::Commit(std::string* why) {
  if (fd_ < 0) {
    if (why) *why = std::strerror(EBADF);
    return false;
  }
  // One flush for the whole file, so that the rename never puts in place a file whose data
  // a power loss could still take away.
  int error = error_;
  if (error == 0 && ::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error == 0 && ::rename(temporary_.c_str(), path_.c_str()) != 0) error = errno;
  if (error == 0) return true;
  ::unlink(temporary_.c_str());
  if (why) *why = std::strerror(error);
  return false;
}

}  // namespace platform
