#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

constexpr char kTemporaryMark[] = ".tmp";

// The temporary file of a write to `path` by process `pid`.
std::string TemporaryName(const std::string& path, long pid) {
  return path + kTemporaryMark + std::to_string(pid);
}

}  // namespace

void RemoveAbandonedTemporaries(const std::string& stem, std::string_view mark,
                                std::string_view suffix) {
  const std::size_t slash = stem.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : stem.substr(0, slash + 1);
  const std::string prefix =
      (slash == std::string::npos ? stem : stem.substr(slash + 1)) + std::string(mark);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const long self = static_cast<long>(::getpid());
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name.size() <= prefix.size() + suffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix)
      continue;
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
      continue;
    const long pid = std::stol(std::string(digits));
    if (pid == self || pid <= 0) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    ::unlink((slash == std::string::npos ? std::string(name) : folder + std::string(name)).c_str());
  }
  ::closedir(dir);
}

namespace {

void RemoveAbandonedTemporaries(const std::string& path) {
  platform::RemoveAbandonedTemporaries(path, kTemporaryMark, {});
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path)
    : path_(ReplacedFile(path)), temporary_(TemporaryName(path_, static_cast<long>(::getpid()))) {}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temporary_.c_str());
  }
}

bool ReplacingFile::Open(std::string* why) {
  RemoveAbandonedTemporaries(path_);
  // The temporary file is made anew, never opened through a link or over a file of that name
  // (one left by an earlier process of this id is removed first).
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  fd_ = ::open(temporary_.c_str(), kFlags, 0644);
  if (fd_ < 0 && errno == EEXIST && ::unlink(temporary_.c_str()) == 0)
    fd_ = ::open(temporary_.c_str(), kFlags, 0644);
  if (fd_ < 0) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  // The file replaced keeps its permissions (a file only its owner may read stays so); a
  // set-user or set-group mark is not given to the new file.
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd_, st.st_mode & 0777);
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
