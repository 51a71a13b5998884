#include "document/export_file.h"

ExportFile::ExportFile(const std::string& path) : file_(path) {}

bool ExportFile::Open() { return file_.Open(); }

void ExportFile::Write(std::string_view bytes) { file_.Write(bytes); }

ExportText ExportFile::Text() {
  return ExportText([this](std::string_view bytes) { Write(bytes); });
}

bool ExportFile::Commit() { return file_.Commit(); }
