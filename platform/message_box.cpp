#include "platform/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string_view>

namespace platform {
namespace {

// What was shown is kept for tests; a long-running program keeps only the latest boxes.
constexpr size_t kShownKept = 256;

struct State {
  std::mutex mutex;
  MessageBoxBackend backend;
  std::deque<int> answers;
  std::deque<ShownMessageBox> shown;
  bool envLoaded = false;
};

State& TheState() {
  static State state;
  return state;
}

int ParseAnswer(std::string_view word) {
  if (word == "ok" || word == "OK") return IDOK;
  if (word == "cancel" || word == "CANCEL") return IDCANCEL;
  if (word == "yes" || word == "YES") return IDYES;
  if (word == "no" || word == "NO") return IDNO;
  return 0;
}

void LoadEnvironmentScript(State& s) {
  if (s.envLoaded) return;
  s.envLoaded = true;
  const char* env = std::getenv("TVX_MSGBOX_ANSWERS");
  if (!env) return;
  std::string_view rest(env);
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string_view word = rest.substr(0, comma);
    if (int a = ParseAnswer(word)) s.answers.push_back(a);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
}

void Record(State& s, ShownMessageBox box) {
  s.shown.push_back(std::move(box));
  while (s.shown.size() > kShownKept) s.shown.pop_front();
}

}  // namespace

void SetMessageBoxBackend(MessageBoxBackend backend) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.backend = std::move(backend);
}

int DefaultAnswer(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return IDYES;
    default:
      return IDOK;
  }
}

void MessageBoxScript::Push(int answer) {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  LoadEnvironmentScript(s);
  s.answers.push_back(answer);
}

void MessageBoxScript::Clear() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.envLoaded = true;
  s.answers.clear();
  s.shown.clear();
}

std::vector<ShownMessageBox> MessageBoxScript::TakeShown() {
  State& s = TheState();
  std::lock_guard<std::mutex> guard(s.mutex);
  std::vector<ShownMessageBox> out(s.shown.begin(), s.shown.end());
  s.shown.clear();
  return out;
}

}  // namespace platform

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  using namespace platform;
  State& s = TheState();
  MessageBoxBackend backend;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    LoadEnvironmentScript(s);
    if (!s.answers.empty()) {
      // A scripted answer stands in for the user, with or without a window system.
      int answer = s.answers.front();
      s.answers.pop_front();
      Record(s, ShownMessageBox{owner, text, caption, style, answer});
      return answer;
    }
    backend = s.backend;
  }
  int answer;
  if (backend) {
    answer = backend(owner, text, caption, style);
  } else {
    answer = DefaultAnswer(style);
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  }
  std::lock_guard<std::mutex> guard(s.mutex);
  Record(s, ShownMessageBox{owner, text, caption, style, answer});
  return answer;
}
