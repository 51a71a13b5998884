#include "platform/ui/modal_windows.h"

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform::ui {
namespace {

struct Entry {
  wxDialog* dialog = nullptr;      // a modal dialog seen by the hook, or
  const ModalWindowScope* scope = nullptr;  // a scope's window
  std::function<void()> dismiss;   // the scope's
  bool asked = false;              // EndInnermostModalWindow has asked it to end
};

// User-interface thread only.
std::vector<Entry>& Open() {
  static std::vector<Entry> open;
  return open;
}

class DialogWatch : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    Open().push_back(Entry{dialog, nullptr, {}, false});
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    // The toolkit may tell of one dialog twice (a file chooser runs a dialog's own loop).
    auto& open = Open();
    auto it = std::find_if(open.rbegin(), open.rend(), [&](const Entry& e) { return e.dialog == dialog; });
    if (it != open.rend()) open.erase(std::next(it).base());
  }
};

std::unique_ptr<DialogWatch>& Watch() {
  static std::unique_ptr<DialogWatch> watch;
  return watch;
}

// A native message box runs the toolkit's own dialog loop, which only its response ends:
// the response of a close from the title bar. (Looked up at run time: the program reaches
// the toolkit through wxWidgets alone.)
bool CloseNativeBox(wxDialog* box) {
  using Response = void (*)(void*, int);
  static auto response = reinterpret_cast<Response>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
  constexpr int kResponseDeleteEvent = -4;  // GTK_RESPONSE_DELETE_EVENT
  void* widget = box->GetHandle();
  if (!response || !widget) return false;
  response(widget, kResponseDeleteEvent);
  return true;
}

void EndDialog(wxDialog* dialog) {
  if (dynamic_cast<wxMessageDialogBase*>(dialog) && CloseNativeBox(dialog)) return;
  // The close button's path: the program's dialogs and sheets cancel, the toolkit's own
  // (the file chooser) end as cancelled. A dialog that refuses stays.
  dialog->Close(false);
}

}  // namespace

ModalWindowScope::ModalWindowScope(std::function<void()> dismiss) {
  Open().push_back(Entry{nullptr, this, std::move(dismiss), false});
}

ModalWindowScope::~ModalWindowScope() {
  auto& open = Open();
  auto it = std::find_if(open.begin(), open.end(), [&](const Entry& e) { return e.scope == this; });
  if (it != open.end()) open.erase(it);
}

void WatchModalDialogs(bool on) {
  if (on && !Watch()) {
    Watch() = std::make_unique<DialogWatch>();
    Watch()->Register();
  } else if (!on && Watch()) {
    Watch().reset();  // unregisters
    Open().erase(std::remove_if(Open().begin(), Open().end(), [](const Entry& e) { return e.dialog; }),
                 Open().end());
  }
}

bool AnyModalWindowOpen() { return !Open().empty(); }

bool EndInnermostModalWindow() {
  auto& open = Open();
  if (open.empty() || open.back().asked) return false;
  open.back().asked = true;
  // The entry may go while it is ended: take what it needs first.
  wxDialog* dialog = open.back().dialog;
  std::function<void()> dismiss = open.back().dismiss;
  if (dialog) {
    EndDialog(dialog);
  } else if (dismiss) {
    dismiss();
  }
  return true;
}

}  // namespace platform::ui
