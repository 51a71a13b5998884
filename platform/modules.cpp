#include "platform/modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct ParsedResources {
  std::map<UINT, std::string> strings;
  std::vector<TvxXrcDocument> xrc;
  const TvxResourceBlob* blob = nullptr;
};

struct Module {
  void* library = nullptr;  // dlopen handle; nullptr for the program itself
  std::string path;
  std::once_flag parsed;
  ParsedResources resources;
};

// Handle numbers are never reused, so a cache keyed by handle cannot meet a stranger.
std::uintptr_t const kProgramHandle = 0x400000;

struct State {
  std::mutex mutex;
  std::map<std::uintptr_t, std::shared_ptr<Module>> modules;
  std::uintptr_t next = kProgramHandle + 0x10000;
  const TvxResourceBlob* programBlob = nullptr;
  std::string lastError;
  std::atomic<HMODULE> current{reinterpret_cast<HMODULE>(kProgramHandle)};
};

State& TheState() {
  static State* state = new State;
  return *state;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char e = text[i + 1];
      if (e == 'n' || e == 't' || e == '\\') {
        out += e == 'n' ? '\n' : e == 't' ? '\t' : '\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

void Parse(const TvxResourceBlob* blob, ParsedResources& into) {
  into.blob = blob;
  if (!blob || blob->version != TVX_RESOURCE_BLOB_VERSION) return;
  into.strings = ParseStringTable(blob->strings ? blob->strings : "");
  for (unsigned i = 0; i < blob->xrcCount; ++i) into.xrc.push_back(blob->xrc[i]);
}

}  // namespace

std::map<UINT, std::string> ParseStringTable(std::string_view table) {
  std::map<UINT, std::string> strings;
  std::string_view rest = table;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    UINT id = 0;
    auto [ptr, ec] = std::from_chars(line.data(), line.data() + tab, id);
    if (ec != std::errc() || ptr != line.data() + tab) continue;
    strings[id] = Unescape(line.substr(tab + 1));
  }
  return strings;
}

namespace {

std::shared_ptr<Module> Find(HMODULE handle) {
  State& s = TheState();
  std::uintptr_t number = reinterpret_cast<std::uintptr_t>(handle);
  std::lock_guard<std::mutex> lock(s.mutex);
  if (number == 0 || number == kProgramHandle) {
    static std::shared_ptr<Module> program = std::make_shared<Module>();
    return program;
  }
  auto it = s.modules.find(number);
  return it == s.modules.end() ? nullptr : it->second;
}

const ParsedResources* Resources(HMODULE handle) {
  auto module = Find(handle);
  if (!module) return nullptr;
  std::call_once(module->parsed, [&] {
    const TvxResourceBlob* blob = nullptr;
    if (module->library) {
      if (auto entry = reinterpret_cast<TvxResourceEntry>(
              dlsym(module->library, TVX_RESOURCE_ENTRY))) {
        blob = entry();
      }
    } else {
      std::lock_guard<std::mutex> lock(TheState().mutex);
      blob = TheState().programBlob;
    }
    Parse(blob, module->resources);
  });
  // Modules live until FreeLibrary, which the program calls only at exit.
  return &module->resources;
}

}  // namespace

std::string LastModuleError() {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  return TheState().lastError;
}

void SetProgramResources(const TvxResourceBlob* blob) {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  TheState().programBlob = blob;
}

const std::string* FindResourceString(HMODULE module, UINT id) {
  const ParsedResources* r = Resources(module);
  if (!r) return nullptr;
  auto it = r->strings.find(id);
  return it == r->strings.end() ? nullptr : &it->second;
}

std::vector<TvxXrcDocument> ResourceXrcDocuments(HMODULE module) {
  const ParsedResources* r = Resources(module);
  return r ? r->xrc : std::vector<TvxXrcDocument>{};
}

std::string_view FindResourceItem(HMODULE module, std::string_view type, UINT id) {
  const ParsedResources* r = Resources(module);
  if (!r || !r->blob) return {};
  for (unsigned i = 0; i < r->blob->itemCount; ++i) {
    const TvxResourceItem& item = r->blob->items[i];
    if (item.id == id && type == item.type) {
      return {reinterpret_cast<const char*>(item.data), item.size};
    }
  }
  return {};
}

bool HasResources(HMODULE module) {
  const ParsedResources* r = Resources(module);
  return r && r->blob;
}

std::string CutToCharacters(std::string_view text, size_t maxChars) {
  size_t chars = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (chars == maxChars) break;
    ++chars;
    ++i;
    // Continuation bytes belong to the character just started.
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return std::string(text.substr(0, i));
}

}  // namespace platform

using namespace platform;

HMODULE LoadLibrary(const std::string& path) {
  State& s = TheState();
  void* library = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!library) {
    const char* why = path.empty() ? "empty path" : dlerror();
    s.lastError = why ? why : "cannot load " + path;
    return nullptr;
  }
  auto module = std::make_shared<Module>();
  module->library = library;
  module->path = path;
  std::uintptr_t number = s.next;
  s.next += 0x10;
  s.modules.emplace(number, module);
  return reinterpret_cast<HMODULE>(number);
}

BOOL FreeLibrary(HMODULE handle) {
  State& s = TheState();
  std::shared_ptr<Module> module;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.modules.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == s.modules.end()) return FALSE;
    module = it->second;
    s.modules.erase(it);
  }
  HMODULE program = reinterpret_cast<HMODULE>(kProgramHandle);
  s.current.compare_exchange_strong(handle, program);
  dlclose(module->library);
  return TRUE;
}

void* GetProcAddress(HMODULE handle, const char* name) {
  auto module = Find(handle);
  if (!module || !module->library || !name) return nullptr;
  return dlsym(module->library, name);
}

HMODULE GetModuleHandle(const char*) { return reinterpret_cast<HMODULE>(kProgramHandle); }

std::string GetModuleFileName(HMODULE handle) {
  auto module = Find(handle);
  if (module && module->library) return module->path;
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  path.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return path;
}

HMODULE AfxGetResourceHandle() { return TheState().current.load(); }

void AfxSetResourceHandle(HMODULE module) {
  TheState().current.store(module ? module : reinterpret_cast<HMODULE>(kProgramHandle));
}

int LoadString(HMODULE module, UINT id, std::string& text, int bufferChars) {
  text.clear();
  const std::string* found = FindResourceString(module, id);
  if (!found || bufferChars <= 1) return 0;
  text = CutToCharacters(*found, static_cast<size_t>(bufferChars - 1));
  size_t chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  return static_cast<int>(chars);
}
