// The options file as any editor may have left it, read through the store as the program
// reads its options; then one value is written. The write must keep every other value that
// could be read before, and every line that could not be read.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/options_store.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

namespace {

const char kOptions[] = "HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Opciones";

struct Seen {
  std::optional<std::int32_t> number;
  std::optional<std::string> text;
  bool operator==(const Seen&) const = default;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// By name without regard to case, as the store compares names.
std::map<std::string, Seen> Values(platform::OptionsStore& store) {
  std::map<std::string, Seen> values;
  for (const std::string& name : store.ValueNames(kOptions)) {
    Check(values.count(Lower(name)) == 0);  // each name once
    values[Lower(name)] = Seen{store.GetInt(kOptions, name), store.GetString(kOptions, name)};
  }
  return values;
}

// Lines of the report, each "line N "...""; only their shown texts are compared.
std::string Unnumbered(const std::string& report) {
  std::string out;
  bool number = false;
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (report.compare(i, 5, "line ") == 0) {
      number = true;
      i += 4;
      continue;
    }
    if (number && report[i] >= '0' && report[i] <= '9') continue;
    number = false;
    out += report[i];
  }
  return out;
}

// A name as the damage report shows it: bytes outside printable ASCII as '?', at most the
// first 40 characters of the line.
std::string AsReported(const std::string& name) {
  std::string out;
  for (char c : name.substr(0, 40)) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += u >= 0x20 && u < 0x7F ? c : '?';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = fuzz::Folder() + "/registry.ini";
  // A file whose last line is not ended yet is taken for one still being written and read
  // again a little later; the fuzz files end their last line so as not to wait each time
  // (the store's tests cover that wait).
  std::string text(reinterpret_cast<const char*>(data), size);
  if (!text.empty() && text.back() != '\n') text += '\n';
  fuzz::WriteFile(file, text);
  platform::OptionsStore& store = platform::OptionsStore::Instance();
  store.SetPath(file);

  const std::map<std::string, Seen> before = Values(store);
  const std::string damage = store.TakeDamageReport();
  Check(store.TakeDamageReport().empty());  // said once
  (void)store.KeyExists(kOptions);
  (void)store.GetInt(kOptions, "Huso");
  (void)store.GetString(kOptions, "WptNamePrefix");

  // The program writes a value of its own, of a name the file may or may not hold.
  const std::string name = before.empty() || size % 3 == 0 ? "Huso" : before.begin()->first;
  Check(store.SetInt(kOptions, name, 31));
  Check(store.GetInt(kOptions, name) == 31);
  std::map<std::string, Seen> after = Values(store);
  after.erase(Lower(name));
  std::map<std::string, Seen> expected = before;
  expected.erase(Lower(name));
  Check(after == expected);

  // Unreadable lines are kept: reading the rewritten file names the same ones again, but
  // those that named the value just written, which it replaces.
  store.SetPath(file);
  const std::string again = store.TakeDamageReport();
  if (Lower(damage).find(Lower(AsReported(name))) == std::string::npos)
    Check(Unnumbered(again) == Unnumbered(damage));
  return 0;
}
