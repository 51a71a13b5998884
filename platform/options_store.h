// The options store: stands in for the device registry.
//
// Keys are registry-style paths with backslashes, rooted at "HKEY_CURRENT_USER" or
// "HKEY_LOCAL_MACHINE", for example
//   HKEY_CURRENT_USER\software\Vorel - Tolvanix PDA\tolvanixpda\Opciones
// Values are 32-bit integers (REG_DWORD) or UTF-8 strings (REG_SZ), by name.
//
// The store is one text file, $TVX_CONFIG_DIR/registry.ini when that variable is set,
// else $XDG_CONFIG_HOME/tolvanixpda/registry.ini (~/.config/... without XDG_CONFIG_HOME).
// Every write goes to disk at once through a temporary file and a rename, under a
// file lock, so the program, its set-up library and test tools see one store.
// A read picks up changes another process made. All functions are thread-safe.
// A file damaged by hand (cut short, binary bytes, repeated names) reads what can be read:
// the first of repeated values counts, and a line that holds no value is kept as written.
//
// A write that cannot be stored (the file or its folder refuses it, a full disk) is said to the
// user through the failure notice the program installs: once for each call that fails, so that
// values that belong together are written with one call (SetValues). Without a notice (the
// set-up library's own copy of the store, tools) the failure is only returned.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

class OptionsStore {
 public:
  using Value = std::variant<std::int32_t, std::string>;
  using NamedValues = std::vector<std::pair<std::string, Value>>;
  // Told the file's path; runs on the writing thread, outside the store's lock.
  using FailureNotice = std::function<void(const std::string& path)>;

  static OptionsStore& Instance();

  // Redirects the store to another file (tests). An empty path restores the default.
  void SetPath(const std::string& file);
  std::string Path() const;

  bool KeyExists(const std::string& key) const;
  bool CreateKey(const std::string& key);

  std::optional<std::int32_t> GetInt(const std::string& key, const std::string& name) const;
  std::optional<std::string> GetString(const std::string& key, const std::string& name) const;
  // Both return false when the file cannot be written; the stored value is then unchanged.
  bool SetInt(const std::string& key, const std::string& name, std::int32_t value);
  bool SetString(const std::string& key, const std::string& name, const std::string& value);
  // The values of one key written together: all of them or, when the file cannot be written,
  // none.
  bool SetValues(const std::string& key, const NamedValues& values);
  bool DeleteValue(const std::string& key, const std::string& name);
  std::vector<std::string> ValueNames(const std::string& key) const;

  // The lines of the file that hold no readable value ("line 4 \"Huso=dword:zz\"", comma
  // separated) and were not reported before; empty when there are none. Such lines read as
  // missing values and are written back as they are, so a hand edit is never lost.
  std::string TakeDamageReport();

  // Installs what a failed write says (an empty function: nothing).
  void SetFailureNotice(FailureNotice notice);

 private:
  OptionsStore();
  ~OptionsStore();
  template <class T>
  std::optional<T> Get(const std::string& key, const std::string& name) const;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
