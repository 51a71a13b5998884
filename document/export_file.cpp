#include "document/export_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

ExportFile::ExportFile(const std::string& path)
    : path_(path), temporary_(path + ".tmp" + std::to_string(::getpid())) {}

ExportFile::~ExportFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temporary_.c_str());
  }
}

bool ExportFile::Open() {
  fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void ExportFile::Write(std::string_view bytes) {
  while (!failed_ && fd_ >= 0 && !bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      break;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

ExportText ExportFile::Text() {
  return ExportText([this](std::string_view bytes) { Write(bytes); });
}

bool ExportFile::Commit() {
  if (fd_ < 0 || failed_) return false;
  // One flush to the disk for the whole file, so that the rename never puts a file in place
  // whose data a power loss could still take away.
  const bool flushed = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (flushed && closed && ::rename(temporary_.c_str(), path_.c_str()) == 0) return true;
  ::unlink(temporary_.c_str());
  return false;
}
