#include "dialogs/gps_extras_form.h"

#include "app/strings.h"
#include "gpsextras/extras_exports.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/wait_cursor.h"
#include "platform/win_app.h"

namespace {

// One load of the library, freed when it goes.
class ExtrasLibrary {
 public:
  ExtrasLibrary() : module_(LoadLibrary(ExtrasLibraryPath())) {}
  ~ExtrasLibrary() {
    if (module_) FreeLibrary(module_);
  }
  ExtrasLibrary(const ExtrasLibrary&) = delete;
  ExtrasLibrary& operator=(const ExtrasLibrary&) = delete;

  template <class Fn>
  Fn Bind(const char* name) const {
    return module_ ? reinterpret_cast<Fn>(GetProcAddress(module_, name)) : nullptr;
  }

 private:
  HMODULE module_;
};

}  // namespace

// The library is a module of its own; its boxes are shown by the program's platform layer
// (the real dialog, or the tests' script) through this function, which it looks up by name.
extern "C" __attribute__((visibility("default"))) int TvxHostMessageBox(HWND owner,
                                                                        const char* text,
                                                                        const char* caption,
                                                                        UINT style) {
  // Asked inside a wait: the pointer is the ordinary one while the user answers.
  const platform::WaitCursorPause answer;
  return MessageBox(owner, text ? text : "", caption ? caption : "", style);
}

std::string ExtrasLibraryPath() { return ModuleDirectory + "internal/tolvanixextras.dll"; }

void CallExtrasExport(const std::string& exportName, HWND owner, int port, int baudIndex,
                      BYTE kind, BYTE onOff, BYTE showResult) {
  if (port == -1 || baudIndex == -1) return;
  const ExtrasLibrary library;
  const auto call = library.Bind<SwitchFn>(exportName.c_str());
  if (!call) return;
  if (!call(owner, kExtrasCaption, port, baudIndex, kind, onOff)) {
    AfxMessageBox("ERROR", MB_OK);
  } else if (showResult) {
    AfxMessageBox("OK", MB_OK);
  }
}

std::optional<DetectedReceiver> DetectReceiver(HWND owner) {
  const ExtrasLibrary library;
  const auto detect = library.Bind<AutoDetectGPSFn>("AutoDetectGPS");
  const auto port = library.Bind<GetPuertoFn>("GetPuerto");
  const auto rate = library.Bind<GetBaudiosFn>("GetBaudios");
  if (!detect || !port || !rate || !detect(owner, kExtrasCaption)) return std::nullopt;
  DetectedReceiver found;
  found.port = port();
  found.baudIndex = rate();
  return found;
}

SirfSwitch StartupSwitch(int mode) {
  switch (mode) {
    case 0: return {0, 0};  // static navigation off
    case 1: return {1, 1};  // SBAS on
    default: return {2, 0}; // static navigation off and SBAS on
  }
}
