// Open and save file dialogs. Texts and paths are UTF-8.
//
// The windowed program installs a backend that shows a real dialog. Without a backend
// (headless tests, tools) a dialog is answered from the script below, else cancelled.
//
// Tests answer dialogs from a script and read back what was asked:
//   platform::FileDialogScript::Push("/tmp/field.tvx");   // an empty path cancels
//   ... code under test ...
//   auto asked = platform::FileDialogScript::TakeShown();
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct FileDialogRequest {
  bool open = true;  // false: a save dialog
  // Pairs of description and patterns, each ended by '|', the list ended by a second '|':
  // "Tolvanix PDA (*.tvx)|*.tvx|All files|*.tvx,*.shp|". Patterns of one entry are separated
  // by ',' or ';'.
  std::string filter;
  std::string defaultExtension;  // without the dot; added to a typed name that has none
  std::string initialName;       // proposed file name (save dialogs)
  std::string title;             // empty: the platform's own title
};

struct ShownFileDialog {
  FileDialogRequest request;
  std::string answer;  // empty: cancelled
};

// Returns the chosen path, or an empty text when the dialog was cancelled.
using FileDialogBackend = std::function<std::string(const FileDialogRequest& request)>;

// Installed by the windowed program at start-up; an empty function removes it.
void SetFileDialogBackend(FileDialogBackend backend);

struct FileDialogScript {
  static void Push(std::string path);
  static void Clear();
  static std::vector<ShownFileDialog> TakeShown();
};

// The chosen path; empty when cancelled (or when nothing can answer).
std::string ShowFileDialog(const FileDialogRequest& request);

}  // namespace platform
