#include "app/strings.h"

#include <atomic>

#include "platform/modules.h"
#include "platform/window_messages.h"

const UINT WM_REFRESH_GPS = RegisterWindowMessage("WM_REFRESH_GPS");
const UINT WM_DIBUJAR_CAMPOS = RegisterWindowMessage("WM_DIBUJAR_CAMPOS");
const UINT WM_ADD_SEGMENTO = RegisterWindowMessage("WM_ADD_SEGMENTO");
const UINT WM_CALCULAR_AREA = RegisterWindowMessage("WM_CALCULAR_AREA");

std::string ModuleDirectory;

namespace {

std::atomic<HMODULE> g_languageModule{nullptr};

// Windows-1252 bytes 0x80-0x9F as Unicode; the five unassigned bytes map to the C1
// controls of the same value, as the platform's own conversion does.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at text[i], advancing i; a malformed byte decodes as
// U+FFFD and is skipped alone.
char32_t NextCodePoint(const std::string& text, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  int extra = lead < 0x80            ? 0
              : (lead & 0xE0) == 0xC0 ? 1
              : (lead & 0xF0) == 0xE0 ? 2
              : (lead & 0xF8) == 0xF0 ? 3
                                      : -1;
  if (extra < 0 || i + extra >= text.size() + (extra == 0)) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += extra + 1;
  return c;
}

}  // namespace

std::string LoadResString(UINT id) {
  std::string text;
  LoadString(AfxGetResourceHandle(), id, text, 256);
  return text;
}

std::string ToMultiByte(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = NextCodePoint(text, i);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kHighControls[k] == c) mapped = static_cast<char>(0x80 + k);
    }
    out += mapped;
  }
  return out;
}

std::string FromMultiByte(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (unsigned char b : text) {
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t{b});
  }
  return out;
}

std::string ModuleDirectoryOf(const std::string& programPath) {
  size_t slash = programPath.find_last_of('/');
  return slash == std::string::npos ? programPath : programPath.substr(0, slash + 1);
}

void InitModuleDirectory() { ModuleDirectory = ModuleDirectoryOf(GetModuleFileName(nullptr)); }

void SetLanguageResourceModule(HMODULE module) { g_languageModule = module; }

void SetResourceModule(CWinApp*, int fromProgram) {
  AfxSetResourceHandle(fromProgram ? GetModuleHandle(nullptr) : g_languageModule.load());
}
