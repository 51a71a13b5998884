#include "platform/options_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <variant>

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

using Value = std::variant<std::int32_t, std::string>;

struct Entry {
  std::string name;
  Value value;
};

struct Section {
  std::string key;
  std::vector<Entry> entries;
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

// Value names may hold any character but '=' and line breaks; keys any but ']'.
std::vector<Section> Parse(const std::string& text) {
  std::vector<Section> sections;
  std::istringstream in(text);
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      sections.push_back(Section{line.substr(1, line.size() - 2), {}});
      current = &sections.back();
      continue;
    }
    if (!current) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string name = line.substr(0, eq);
    std::string_view rest(line);
    rest.remove_prefix(eq + 1);
    if (rest.starts_with("dword:")) {
      rest.remove_prefix(6);
      std::uint32_t v = 0;
      auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v, 16);
      if (ec != std::errc() || p != rest.data() + rest.size() || rest.empty() || rest.size() > 8) continue;
      current->entries.push_back(Entry{name, static_cast<std::int32_t>(v)});
    } else {
      std::string s;
      if (!Unescape(rest, s)) continue;
      current->entries.push_back(Entry{name, s});
    }
  }
  return sections;
}

std::string Format(const std::vector<Section>& sections) {
  std::string out;
  for (const Section& s : sections) {
    out += '[';
    out += s.key;
    out += "]\n";
    for (const Entry& e : s.entries) {
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

Section* FindSection(std::vector<Section>& sections, const std::string& key) {
  for (Section& s : sections)
    if (SameName(s.key, key)) return &s;
  return nullptr;
}

Entry* FindEntry(Section& s, const std::string& name) {
  for (Entry& e : s.entries)
    if (SameName(e.name, name)) return &e;
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

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

struct OptionsStore::Impl {
  mutable std::mutex mutex;
  std::string path;
  // What was last read from disk, and the file's identity then, so that changes made by
  // another process (the set-up library, a test tool) are picked up on the next read.
  mutable std::vector<Section> sections;
  mutable bool loaded = false;
  mutable struct timespec mtime {};
  mutable off_t size = -1;
  mutable ino_t inode = 0;

  void RefreshLocked() const {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
      sections.clear();
      loaded = true;
      size = -1;
      inode = 0;
      return;
    }
    if (loaded && st.st_size == size && st.st_ino == inode && st.st_mtim.tv_sec == mtime.tv_sec &&
        st.st_mtim.tv_nsec == mtime.tv_nsec)
      return;
    std::ifstream in(path, std::ios::binary);
    std::stringstream buf;
    buf << in.rdbuf();
    sections = Parse(buf.str());
    loaded = true;
    size = st.st_size;
    inode = st.st_ino;
    mtime = st.st_mtim;
  }

  // Read-modify-write under an exclusive lock on a companion lock file; the new
  // contents replace the old file only once completely written.
  template <class Fn>
  bool Modify(Fn&& change) {
    std::lock_guard<std::mutex> guard(mutex);
    if (!MakeDirs(DirOf(path))) return false;
    std::string lockPath = path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return false;
    while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    loaded = false;
    RefreshLocked();
    std::vector<Section> updated = sections;
    bool ok = false;
    if (change(updated)) {
      std::string tmp = path + ".tmp." + std::to_string(::getpid());
      int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      if (fd >= 0) {
        bool written = WriteAll(fd, Format(updated)) && ::fsync(fd) == 0;
        written = (::close(fd) == 0) && written;
        if (written && ::rename(tmp.c_str(), path.c_str()) == 0) {
          ok = true;
        } else {
          ::unlink(tmp.c_str());
        }
      }
    }
    loaded = false;
    RefreshLocked();
    ::flock(lockFd, LOCK_UN);
    ::close(lockFd);
    return ok;
  }
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
}

std::string OptionsStore::Path() const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  return impl_->path;
}

bool OptionsStore::KeyExists(const std::string& key) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  return FindSection(impl_->sections, key) != nullptr;
}

bool OptionsStore::CreateKey(const std::string& key) {
  return impl_->Modify([&](std::vector<Section>& s) {
    if (!FindSection(s, key)) s.push_back(Section{key, {}});
    return true;
  });
}

// A value of the named kind; a value stored as the other kind is no answer.
template <class T>
std::optional<T> OptionsStore::Get(const std::string& key, const std::string& name) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  const Section* s = FindSection(impl_->sections, key);
  if (!s) return std::nullopt;
  for (const Entry& e : s->entries)
    if (SameName(e.name, name)) {
      if (const auto* v = std::get_if<T>(&e.value)) return *v;
      return std::nullopt;
    }
  return std::nullopt;
}

std::optional<std::int32_t> OptionsStore::GetInt(const std::string& key, const std::string& name) const {
  return Get<std::int32_t>(key, name);
}

std::optional<std::string> OptionsStore::GetString(const std::string& key, const std::string& name) const {
  return Get<std::string>(key, name);
}

namespace {
template <class T>
bool SetValue(std::vector<Section>& sections, const std::string& key, const std::string& name, T value) {
  if (name.empty() || name.find_first_of("=\n\r") != std::string::npos || key.find_first_of("]\n\r") != std::string::npos)
    return false;
  Section* s = FindSection(sections, key);
  if (!s) {
    sections.push_back(Section{key, {}});
    s = &sections.back();
  }
  if (Entry* e = FindEntry(*s, name)) {
    e->value = std::move(value);
  } else {
    s->entries.push_back(Entry{name, std::move(value)});
  }
  return true;
}
}  // namespace

bool OptionsStore::SetInt(const std::string& key, const std::string& name, std::int32_t value) {
  return impl_->Modify([&](std::vector<Section>& s) { return SetValue(s, key, name, value); });
}

bool OptionsStore::SetString(const std::string& key, const std::string& name, const std::string& value) {
  return impl_->Modify([&](std::vector<Section>& s) { return SetValue(s, key, name, value); });
}

bool OptionsStore::DeleteValue(const std::string& key, const std::string& name) {
  bool found = false;
  bool ok = impl_->Modify([&](std::vector<Section>& sections) {
    Section* s = FindSection(sections, key);
    if (!s) return false;
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it)
      if (SameName(it->name, name)) {
        s->entries.erase(it);
        found = true;
        return true;
      }
    return false;
  });
  return ok && found;
}

std::vector<std::string> OptionsStore::ValueNames(const std::string& key) const {
  std::lock_guard<std::mutex> guard(impl_->mutex);
  impl_->RefreshLocked();
  std::vector<std::string> names;
  if (const Section* s = FindSection(impl_->sections, key))
    for (const Entry& e : s->entries) names.push_back(e.name);
  return names;
}

}  // namespace platform
