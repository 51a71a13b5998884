// Open and save file dialogs. Texts and paths are UTF-8.
//
// A save dialog gives the name of the file actually written: a name typed without the
// dialog's extension gets it ("keep" is "keep.kml"), and when that name, or any other file the
// save writes under it (a Shapefile's .shx and .dbf), exists, the dialog asks whether to
// replace it before it closes; No leaves the user in the dialog to choose another name. The
// toolkit's own question is not used: it sees only the name as typed.
//
// The windowed program installs a backend that shows a real dialog. Without a backend
// (headless tests, tools) a dialog is answered from the script below, else cancelled.
//
// Tests answer dialogs from a script, as the user answers the real one, and read back what
// was asked:
//   platform::FileDialogScript::Push("/tmp/field");   // an empty path cancels
//   platform::FileDialogScript::Push("/tmp/keep", platform::ReplaceAnswer::No);
//   ... code under test ...
//   auto asked = platform::FileDialogScript::TakeShown();
// A scripted answer the real dialog cannot give (a relative path, a folder, a file to open
// that is not there, a missing folder, a replace question left unanswered or answered
// without being asked) is refused: it is logged to stderr and counts as a cancel.
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
  // Without the dot. A save dialog gives it to a name whose final extension is another one
  // or none ("keep.v2" is "keep.v2.tvx"; "KEEP.TVX" stays as typed).
  std::string defaultExtension;
  std::string initialName;       // proposed file name (save dialogs)
  std::string title;             // empty: the platform's own title
  // Save dialogs whose save writes other files than the chosen one: those files, for the
  // completed chosen path (a Shapefile's .shp, .shx and .dbf; one track file per feature).
  // Empty: the chosen file alone.
  std::function<std::vector<std::string>(const std::string& path)> filesWritten;
};

// A save dialog's answer to the replace question, as a script gives it.
enum class ReplaceAnswer {
  NotAsked,  // no file is replaced: the question does not come
  Yes,
  No,        // the dialog stays: the next scripted answer is what the user does next
};

struct ShownFileDialog {
  FileDialogRequest request;
  std::string typed;     // what the user chose or typed (a scripted answer as pushed)
  std::string answer;    // the path the program got; empty: cancelled (or No, or refused)
  std::vector<std::string> replaceAsked;  // the files the replace question named
  std::string refused;   // why a scripted answer was refused (the real dialog cannot give it)
};

// Returns the chosen path, or an empty text when the dialog was cancelled. A save backend
// completes the name and asks the replace question itself (SavedName, FilesReplaced,
// ReplaceQuestion), before its dialog closes.
using FileDialogBackend = std::function<std::string(const FileDialogRequest& request)>;

// Installed by the windowed program at start-up; an empty function removes it.
void SetFileDialogBackend(FileDialogBackend backend);

struct FileDialogScript {
  static void Push(std::string path, ReplaceAnswer replace = ReplaceAnswer::NotAsked);
  static void Clear();
  static std::vector<ShownFileDialog> TakeShown();
};

// The chosen path; empty when cancelled (or when nothing can answer).
std::string ShowFileDialog(const FileDialogRequest& request);

// The path a save dialog gives for the name chosen in it (`chosen`, absolute).
std::string SavedName(const FileDialogRequest& request, const std::string& chosen);
// The files that a save under `path` (as SavedName gives it) writes over: those of its files
// that exist, whatever they are but folders (a link is replaced as well). Empty: none.
std::vector<std::string> FilesReplaced(const FileDialogRequest& request, const std::string& path);
// The replace question for those files.
std::string ReplaceQuestion(const std::vector<std::string>& files);

}  // namespace platform
