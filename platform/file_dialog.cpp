#include "platform/file_dialog.h"

#include <cstdio>
#include <deque>
#include <mutex>

namespace platform {
namespace {

// A long-running program keeps only the latest dialogs it showed.
constexpr size_t kShownKept = 64;

struct State {
  std::mutex mutex;
  FileDialogBackend backend;
  std::deque<std::string> answers;
  std::deque<ShownFileDialog> shown;
};

State& TheState() {
  static State state;
  return state;
}

void Record(State& s, const FileDialogRequest& request, const std::string& answer) {
  s.shown.push_back(ShownFileDialog{request, answer});
  while (s.shown.size() > kShownKept) s.shown.pop_front();
}

}  // namespace

void SetFileDialogBackend(FileDialogBackend backend) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.backend = std::move(backend);
}

void FileDialogScript::Push(std::string path) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.answers.push_back(std::move(path));
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
  FileDialogBackend backend;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    if (!s.answers.empty()) {
      // A scripted answer stands in for the user, with or without a window system.
      std::string answer = std::move(s.answers.front());
      s.answers.pop_front();
      Record(s, request, answer);
      return answer;
    }
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
  Record(s, request, answer);
  return answer;
}

}  // namespace platform
