// Whole-file reads and writes. A write goes to a temporary file beside the target and
// is renamed over it only when complete, so a failed write leaves the old file in place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path);
// false (and errno-style reason in *why when given) when the file could not be written.
bool WriteFileReplacing(const std::string& path, const std::string& bytes,
                        std::string* why = nullptr);
bool FileExists(const std::string& path);

// The file a write to `path` replaces: the path itself, or for a symbolic link the file it
// leads to (through every link on the way; a link to nothing leads to the file it names).
std::string ReplacedFile(const std::string& path);

// A file written as it is produced: the bytes go to a temporary file beside the target, and
// only a complete file, flushed to the disk, is renamed over the target. A failure (full disk,
// unwritable folder) leaves the target as it was and the temporary file removed.
// The target is the file the path leads to (ReplacedFile): a symbolic link stays and the file
// it leads to is replaced, with the permissions it had.
// The temporary file is made anew beside the target (never through a link, never over another
// file), hidden and named so that no file of the user's looks like it:
//   "." + the target's name + ".tvxsave-" + the writing process's id + "-" + six random letters
// Opening a new one removes the ones of that target that a write killed before its rename left
// behind: only regular files of this user named exactly so, whose process no longer runs.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::string path);
  ~ReplacingFile();  // removes the temporary file unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file; false (with the reason in *why) when the folder refuses it.
  bool Open(std::string* why = nullptr);
  // Appends bytes; the first failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // Whether a write so far failed (several files replaced together are renamed only when
  // every one of them was written whole).
  bool Failed() const { return fd_ < 0 || error_ != 0; }
  // Flushes, closes and renames; false (with the reason in *why) when anything failed.
  bool Commit(std::string* why = nullptr);

 private:
  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace platform
