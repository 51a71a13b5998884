// An export file written as it is produced: the bytes go in large chunks to a temporary file
// beside the target, and only a complete file, flushed to the disk, is renamed over the target.
// A failure (full disk, unwritable folder) leaves the target as it was and the temporary file
// removed. The chunks spare a writer from holding the whole file in memory: a DXF drawing of a
// million vertices is about 280 MB of text.
#pragma once

#include <string>
#include <string_view>

#include "document/export_source.h"
#include "platform/files.h"

class ExportFile {
 public:
  explicit ExportFile(const std::string& path);
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;

  // Creates the temporary file; false when the folder does not take it.
  bool Open();
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // Text that is written here in chunks as it grows (ExportText::Finish writes the rest).
  ExportText Text();
  // Flushes the file to the disk and renames it over the target; false when anything failed.
  bool Commit();

 private:
  platform::ReplacingFile file_;
};
