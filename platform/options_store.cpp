#include "platform/options_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <chrono>
#include <thread>
#include <mutex>
#include <optional>
#include <variant>

#include "platform/files.h"

namespace platform {
namespace {

// Registry keys and value names compare without regard to ASCII case.
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

using Value = OptionsStore::Value;

// A line of the file: a value, or a line kept as it was written (a comment, or one that
// cannot be read, so that a rewrite never loses what someone typed there).
struct Entry {
  std::string name;
  Value value;
  std::optional<std::string> kept;  // the whole line, when it is not a value
};

struct Section {
  std::string key;
  std::vector<Entry> entries;
};

// The file: lines before the first section (kept as written) and the sections.
struct Contents {
  std::vector<std::string> leading;
  std::vector<Section> sections;
  std::vector<std::string> unreadable;  // lines that hold no value, for the damage report
};

std::string Escape(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 2);
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

bool Unescape(std::string_view quoted, std::string& out) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  out.clear();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= quoted.size()) return false;
    char e = quoted[++i];
    switch (e) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: return false;
    }
  }
  return true;
}

// What a damaged line looks like in a message: printable ASCII, cut short.
std::string Shown(std::string_view line) {
  std::string out;
  for (char c : line) {
    if (out.size() >= 40) {
      out += "...";
      break;
    }
    const unsigned char u = static_cast<unsigned char>(c);
    out += u >= 0x20 && u < 0x7F ? c : '?';
  }
  return out;
}

// Value names may hold any character but '=', line breaks and carriage returns; keys any but ']'.
Contents Parse(const std::string& text) {
  Contents contents;
  std::vector<Section>& sections = contents.sections;
  size_t at = 0;
  int number = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    const std::string raw = line;  // what a kept line is written back as
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool comment = line.empty() || line[0] == ';' || line[0] == '#';
    if (!comment && line.front() == '[' && line.back() == ']' && line.size() >= 2 &&
        line.find_first_of("\r") == std::string::npos) {
      sections.push_back(Section{line.substr(1, line.size() - 2), {}});
      continue;
    }
    auto keep = [&](bool damaged) {
      if (damaged) contents.unreadable.push_back("line " + std::to_string(number) + " \"" + Shown(line) + "\"");
      if (line.empty()) return;  // blank lines are written anew between sections
      if (sections.empty()) {
        contents.leading.push_back(raw);
        return;
      }
      const size_t eq = line.find('=');
      sections.back().entries.push_back(
          Entry{eq == std::string::npos ? std::string() : line.substr(0, eq), {}, raw});
    };
    if (comment || sections.empty()) {
      keep(!comment);
      continue;
    }
    size_t eq = line.find('=');
    // A name with a carriage return inside could not be written back as a value: damage.
    if (eq == std::string::npos || eq == 0 || line.find('\r') < eq) {
      keep(true);
      continue;
    }
    std::string name = line.substr(0, eq);
    std::string_view rest(line);
    rest.remove_prefix(eq + 1);
    if (rest.starts_with("dword:")) {
      rest.remove_prefix(6);
      std::uint32_t v = 0;
      auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v, 16);
      // Always eight digits as written: fewer are a line cut short, not a smaller number.
      if (ec != std::errc() || p != rest.data() + rest.size() || rest.size() != 8) {
        keep(true);
        continue;
      }
      sections.back().entries.push_back(Entry{name, static_cast<std::int32_t>(v), std::nullopt});
    } else {
      std::string value;
      if (!Unescape(rest, value)) {
        keep(true);
        continue;
      }
      sections.back().entries.push_back(Entry{name, value, std::nullopt});
    }
  }
  return contents;
}

std::string Format(const Contents& contents) {
  std::string out;
  for (const std::string& line : contents.leading) {
    out += line;
    out += '\n';
  }
  if (!contents.leading.empty()) out += '\n';
  for (const Section& s : contents.sections) {
    out += '[';
    out += s.key;
    out += "]\n";
    for (const Entry& e : s.entries) {
      if (e.kept) {
        out += *e.kept;
        out += '\n';
        continue;
      }
      out += e.name;
      out += '=';
      if (const auto* i = std::get_if<std::int32_t>(&e.value)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(*i));
        out += buf;
      } else {
        out += '"';
        out += Escape(std::get<std::string>(e.value));
        out += '"';
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

// The first value of that name in any section of that key (a file edited by hand may
// repeat a section or a value: the first one counts).
Entry* FindEntry(std::vector<Section>& sections, const std::string& key, const std::string& name) {
  for (Section& s : sections) {
    if (!SameName(s.key, key)) continue;
    for (Entry& e : s.entries)
      if (!e.kept && SameName(e.name, name)) return &e;
  }
  return nullptr;
}

Section* FindSection(std::vector<Section>& sections, const std::string& key) {
  for (Section& s : sections)
    if (SameName(s.key, key)) return &s;
  return nullptr;
}

std::string DefaultPath() {
  if (const char* dir = std::getenv("TVX_CONFIG_DIR"); dir && *dir) return std::string(dir) + "/registry.ini";
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/tolvanixpda/registry.ini";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config/tolvanixpda/registry.ini";
}

bool MakeDirs(const std::string& dir) {
  if (dir.empty()) return true;
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash))) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string DirOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The identity of the file as last seen: a change by anyone shows in one of these.
struct Identity {
  bool exists = false;
  off_t size = -1;
  ino_t inode = 0;
  struct timespec mtime {};

  static Identity Of(const std::string& path) {
    Identity id;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return id;
    id.exists = true;
    id.size = st.st_size;
    id.inode = st.st_ino;
    id.mtime = st.st_mtim;
    return id;
  }
  bool operator==(const Identity& o) const {
    return exists == o.exists && size == o.size && inode == o.inode &&
           mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
  }
};

// Rounds of reading again when another program changes the file while it is read or
// rewritten; after them the last reading is used.
constexpr int kRereads = 8;

}  // namespace

struct OptionsStore::Impl {
  mutable std::mutex mutex;
  std::string path;
  // What was last read from disk, and the file's identity then, so that changes made by
  // another process (the set-up library, a test tool) are picked up on the next read.
  mutable Contents contents;
  mutable bool loaded = false;
  mutable Identity seen;
  // Unreadable lines already reported by TakeDamageReport.
  mutable std::vector<std::string> reported;

  void RefreshLocked() const {
    Identity now = Identity::Of(path);
    if (loaded && now == seen) return;
    for (int round = 0;; ++round) {
      if (!now.exists) {
        contents = Contents{};
        break;
      }
      const std::optional<std::string> text = ReadWholeFile(path);
      const Identity after = Identity::Of(path);
      // A program writing the file in place meanwhile: read it again once it holds still
      // and ends with a whole line (every writer ends the file with a line break).
      const bool whole = text && (text->empty() || text->back() == '\n');
      if (text && !whole && round < kRereads) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        now = Identity::Of(path);
        continue;
      }
      if (text && (after == now || round == kRereads)) {
        contents = Parse(*text);
        now = after;
        break;
      }
      now = after;
      if (round == kRereads) {
        contents = Contents{};
        break;
      }
    }
    loaded = true;
    seen = now;
  }

  // What a change made of the file.
  enum class Outcome {
    Stored,   // written
    Refused,  // the change did not apply (a name that cannot be stored, a value not there)
    Failed,   // the file could not be written; it holds what it held
  };

  // Read-modify-write under an exclusive lock on a companion lock file; the new contents
  // replace the old file only once completely written, and only while nobody else changed
  // the file since it was read (else the change is made again on what they wrote).
  template <class Fn>
  Outcome Modify(Fn&& change) {
    std::lock_guard<std::mutex> guard(mutex);
    if (!MakeDirs(DirOf(path))) return Outcome::Failed;
    std::string lockPath = path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return Outcome::Failed;
    while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    Outcome outcome = Outcome::Failed;
    for (int round = 0; round <= kRereads; ++round) {
      loaded = false;
      RefreshLocked();
      const Identity read = seen;
      Contents updated = contents;
      if (!change(updated.sections)) {
        outcome = Outcome::Refused;
        break;
      }
      ReplacingFile file(path);
      if (!file.Open()) break;
      file.Write(Format(updated));
      if (!(Identity::Of(path) == read) && round < kRereads) continue;  // not committed: removed
      if (file.Commit()) outcome = Outcome::Stored;
      break;
    }
    loaded = false;
    RefreshLocked();
    ::flock(lockFd, LOCK_UN);
    ::close(lockFd);
    return outcome;
  }

  // What a call that changed the file answers; a failure is said first.
  bool Answer(Outcome outcome) {
    if (outcome != Outcome::Failed) return outcome == Outcome::Stored;
    OptionsStore::FailureNotice say;
    std::string file;
    {
      std::lock_guard<std::mutex> guard(mutex);
      say = notice;
      file = path;
    }
    if (say) say(file);
    return false;
  }

  OptionsStore::FailureNotice notice;
};

OptionsStore::OptionsStore() : impl_(std::make_unique<Impl>()) { impl_->path = DefaultPath(); }

// Runs at process exit, and when a library holding its own copy of the store is unloaded.
OptionsStore::~OptionsStore() = default;

OptionsStore& OptionsStore::Instance() {
  static OptionsStore store;
  return store;
}

void OptionsStore::SetPath(const std::string& file) {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->path = file.empty() ? DefaultPath() : file;
  impl_->loaded = false;
  impl_->reported.clear();
}

std::string OptionsStore::Path() const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  return impl_->path;
}

bool OptionsStore::KeyExists(const std::string& key) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  return FindSection(impl_->contents.sections, key) != nullptr;
}

bool OptionsStore::CreateKey(const std::string& key) {
  if (key.find_first_of("]\n\r") != std::string::npos) return false;
  return impl_->Answer(impl_->Modify([&](std::vector<Section>& s) {
    if (!FindSection(s, key)) s.push_back(Section{key, {}});
    return true;
  }));
}

// A value of the named kind; a value stored as the other kind is no answer.
template <class T>
std::optional<T> OptionsStore::Get(const std::string& key, const std::string& name) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  const Entry* e = FindEntry(impl_->contents.sections, key, name);
  if (!e) return std::nullopt;
  if (const auto* v = std::get_if<T>(&e->value)) return *v;
  return std::nullopt;
}

std::optional<std::int32_t> OptionsStore::GetInt(const std::string& key, const std::string& name) const {
  return Get<std::int32_t>(key, name);
}

std::optional<std::string> OptionsStore::GetString(const std::string& key, const std::string& name) const {
  return Get<std::string>(key, name);
}

namespace {
// Sets the first value of the name; later ones of the same name, and unreadable lines that
// name it, are what this value replaces and go.
template <class T>
bool SetValue(std::vector<Section>& sections, const std::string& key, const std::string& name, T value) {
  if (name.empty() || name.find_first_of("=\n\r") != std::string::npos || key.find_first_of("]\n\r") != std::string::npos)
    return false;
  Entry* first = FindEntry(sections, key, name);
  for (Section& s : sections) {
    if (!SameName(s.key, key)) continue;
    std::erase_if(s.entries, [&](const Entry& e) { return &e != first && SameName(e.name, name); });
  }
  first = FindEntry(sections, key, name);  // the erase may have moved it
  if (first) {
    first->value = std::move(value);
    return true;
  }
  Section* s = FindSection(sections, key);
  if (!s) {
    sections.push_back(Section{key, {}});
    s = &sections.back();
  }
  s->entries.push_back(Entry{name, std::move(value), std::nullopt});
  return true;
}
}  // namespace

bool OptionsStore::SetInt(const std::string& key, const std::string& name, std::int32_t value) {
  return impl_->Answer(impl_->Modify([&](std::vector<Section>& s) { return SetValue(s, key, name, value); }));
}

bool OptionsStore::SetString(const std::string& key, const std::string& name, const std::string& value) {
  return impl_->Answer(impl_->Modify([&](std::vector<Section>& s) { return SetValue(s, key, name, value); }));
}

bool OptionsStore::SetValues(const std::string& key, const NamedValues& values) {
  return impl_->Answer(impl_->Modify([&](std::vector<Section>& s) {
    for (const auto& [name, value] : values)
      if (!SetValue(s, key, name, value)) return false;
    return true;
  }));
}

bool OptionsStore::DeleteValue(const std::string& key, const std::string& name) {
  bool found = false;
  return impl_->Answer(impl_->Modify([&](std::vector<Section>& sections) {
    found = false;
    for (Section& s : sections) {
      if (!SameName(s.key, key)) continue;
      found = std::erase_if(s.entries, [&](const Entry& e) { return !e.kept && SameName(e.name, name); }) > 0 || found;
    }
    return found;
  }));
}

std::vector<std::string> OptionsStore::ValueNames(const std::string& key) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  std::vector<std::string> names;
  for (const Section& s : impl_->contents.sections) {
    if (!SameName(s.key, key)) continue;
    for (const Entry& e : s.entries) {
      if (e.kept) continue;
      bool seen = false;
      for (const std::string& n : names) seen = seen || SameName(n, e.name);
      if (!seen) names.push_back(e.name);
    }
  }
  return names;
}

void OptionsStore::SetFailureNotice(FailureNotice notice) {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->notice = std::move(notice);
}

std::string OptionsStore::TakeDamageReport() {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  std::string report;
  for (const std::string& line : impl_->contents.unreadable) {
    if (std::find(impl_->reported.begin(), impl_->reported.end(), line) != impl_->reported.end())
      continue;
    impl_->reported.push_back(line);
    if (!report.empty()) report += ", ";
    report += line;
  }
  return report;
}

}  // namespace platform
