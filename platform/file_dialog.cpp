#include "platform/file_dialog.h"

#include <sys/stat.h>

#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>

namespace platform {
namespace {

// A long-running program keeps only the latest dialogs it showed.
constexpr size_t kShownKept = 64;

struct ScriptedAnswer {
  std::string path;
  ReplaceAnswer replace = ReplaceAnswer::NotAsked;
};

struct State {
  std::mutex mutex;
  FileDialogBackend backend;
  std::deque<ScriptedAnswer> answers;
  std::deque<ShownFileDialog> shown;
};

State& TheState() {
  static State state;
  return state;
}

void Record(State& s, ShownFileDialog shown) {
  s.shown.push_back(std::move(shown));
  while (s.shown.size() > kShownKept) s.shown.pop_front();
}

std::optional<ScriptedAnswer> TakeAnswer(State& s) {
  std::lock_guard<std::mutex> guard(s.mutex);
  if (s.answers.empty()) return std::nullopt;
  ScriptedAnswer answer = std::move(s.answers.front());
  s.answers.pop_front();
  return answer;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why the real dialog could not give `path` as its answer; empty when it could.
std::string Impossible(const FileDialogRequest& request, const std::string& path) {
  if (path.front() != '/') return "not an absolute path";
  // The dialog opens a folder chosen or typed instead of answering with it.
  if (IsFolder(path) || path.back() == '/') return "a folder";
  if (request.open) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "no such file to open";
  } else if (!IsFolder(FolderOf(path))) {
    return "its folder does not exist";
  }
  return {};
}

const char* Said(ReplaceAnswer answer) {
  switch (answer) {
    case ReplaceAnswer::Yes: return "yes";
    case ReplaceAnswer::No: return "no";
    default: return "not answered";
  }
}

// The dialog answered from the script: each scripted answer is what the user does while
// the dialog is shown (a No to the replace question leaves it shown for the next one).
std::string AnswerFromScript(State& s, const FileDialogRequest& request, ScriptedAnswer answer) {
  for (;;) {
    ShownFileDialog shown{request, answer.path, {}, {}, {}};
    if (!answer.path.empty()) shown.refused = Impossible(request, answer.path);
    if (shown.refused.empty() && !answer.path.empty() && !request.open) {
      const std::string path = SavedName(request, answer.path);
      shown.replaceAsked = FilesReplaced(request, path);
      if (shown.replaceAsked.empty() != (answer.replace == ReplaceAnswer::NotAsked)) {
        shown.refused = shown.replaceAsked.empty() ? "answers a replace question that does not come"
                                                   : "leaves the replace question unanswered";
      } else if (!shown.replaceAsked.empty()) {
        std::fprintf(stderr, "[file dialog] %s -> %s\n", ReplaceQuestion(shown.replaceAsked).c_str(),
                     Said(answer.replace));
      }
      if (shown.refused.empty() && answer.replace != ReplaceAnswer::No) shown.answer = path;
    } else if (shown.refused.empty()) {
      shown.answer = answer.path;
    }
    if (!shown.refused.empty()) {
      std::fprintf(stderr, "[file dialog] refused scripted answer \"%s\": %s; cancelled\n",
                   answer.path.c_str(), shown.refused.c_str());
    }
    const bool again = shown.refused.empty() && answer.replace == ReplaceAnswer::No;
    const std::string result = shown.answer;
    {
      std::lock_guard<std::mutex> guard(s.mutex);
      Record(s, std::move(shown));
    }
    if (!again) return result;
    std::optional<ScriptedAnswer> next = TakeAnswer(s);
    if (!next) {
      std::fprintf(stderr, "[file dialog] save: cancelled (the script has no answer after No)\n");
      return {};
    }
    answer = std::move(*next);
  }
}

}  // namespace

void SetFileDialogBackend(FileDialogBackend backend) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.backend = std::move(backend);
}

void FileDialogScript::Push(std::string path, ReplaceAnswer replace) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.answers.push_back({std::move(path), replace});
}

void FileDialogScript::Clear() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.answers.clear();
  s.shown.clear();
}

std::vector<ShownFileDialog> FileDialogScript::TakeShown() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  std::vector<ShownFileDialog> out(s.shown.begin(), s.shown.end());
  s.shown.clear();
  return out;
}

std::string ShowFileDialog(const FileDialogRequest& request) {
  State& s = TheState();
  // A scripted answer stands in for the user, with or without a window system.
  if (std::optional<ScriptedAnswer> scripted = TakeAnswer(s)) {
    return AnswerFromScript(s, request, std::move(*scripted));
  }
  FileDialogBackend backend;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    backend = s.backend;
  }
  std::string answer;
  if (backend) {
    answer = backend(request);
  } else {
    std::fprintf(stderr, "[file dialog] %s: cancelled (no dialog available)\n",
                 request.open ? "open" : "save");
  }
  std::lock_guard<std::mutex> guard(s.mutex);
  Record(s, ShownFileDialog{request, answer, answer, {}, {}});
  return answer;
}

std::string SavedName(const FileDialogRequest& request, const std::string& chosen) {
  if (request.open || request.defaultExtension.empty() || chosen.empty()) return chosen;
  const std::string name = NameOf(chosen);
  const std::string& ext = request.defaultExtension;
  // The final extension: after the last dot that does not begin the name (".kml" alone is a
  // name without one).
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && name.size() - dot - 1 == ext.size()) {
    bool same = true;
    for (std::size_t i = 0; i < ext.size(); ++i) same = same && Lower(name[dot + 1 + i]) == Lower(ext[i]);
    if (same) return chosen;
  }
  return chosen + "." + ext;
}

std::vector<std::string> FilesReplaced(const FileDialogRequest& request, const std::string& path) {
  const std::vector<std::string> written =
      request.filesWritten ? request.filesWritten(path) : std::vector<std::string>{path};
  std::vector<std::string> replaced;
  for (const std::string& file : written) {
    // The entry itself: a link is replaced by the file written, whatever it points at.
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) replaced.push_back(file);
  }
  return replaced;
}

std::string ReplaceQuestion(const std::vector<std::string>& files) {
  if (files.empty()) return {};
  const std::string folder = FolderOf(files.front());
  bool oneFolder = true;
  for (const std::string& file : files) oneFolder = oneFolder && FolderOf(file) == folder;
  if (files.size() == 1) {
    return "A file named \"" + NameOf(files.front()) + "\" already exists in \"" + folder +
           "\".\nDo you want to replace it?";
  }
  std::string text = oneFolder ? "These files already exist in \"" + folder + "\":"
                               : std::string("These files already exist:");
  for (const std::string& file : files) text += "\n" + (oneFolder ? NameOf(file) : file);
  return text + "\nDo you want to replace them?";
}

}  // namespace platform
