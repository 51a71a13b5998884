// Whole-file reads and writes. A write goes to a temporary file beside the target and
// is renamed over it only when complete, so a failed write leaves the old file in place.
#pragma once

#include <optional>
#include <string>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path);
// false (and errno-style reason in *why when given) when the file could not be written.
bool WriteFileReplacing(const std::string& path, const std::string& bytes,
                        std::string* why = nullptr);
bool FileExists(const std::string& path);

}  // namespace platform
