// A real wxWidgets application for window tests (the test command runs them under Xvfb).
// Include it in one source file of a test program; tests skip when there is no display:
//   if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/window_messages.h"

namespace tvxtest {

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) return;
    wxApp::SetInstance(new wxApp);
    static int argc = 1;
    static char name[] = "tvx_window_test";
    static char* argv[] = {name, nullptr};
    ready = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    platform::SetUiThread();
    platform::ui::InstallWindowedBackends();
  }
  void TearDown() override {
    if (!ready) return;
    platform::ui::RemoveWindowedBackends();
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  static inline bool ready = false;
};

inline const auto* const g_wxEnvironment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

// Runs queued events until pred holds or five seconds pass.
template <class Pred>
bool PumpUntil(Pred pred) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!pred() && std::chrono::steady_clock::now() < end) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return pred();
}

// A window test whose resources (strings, templates, menus) come from the module at
// modulePath; it skips without a display and starts each test with an empty box script.
class ModuleWindowTest : public ::testing::Test {
 protected:
  explicit ModuleWindowTest(const char* modulePath) : modulePath_(modulePath) {}
  void SetUp() override {
    if (!WxEnvironment::ready) GTEST_SKIP() << "needs a display (the test command runs Xvfb)";
    module_ = LoadLibrary(modulePath_);
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
  }
  const char* modulePath_;
  HMODULE module_ = nullptr;
};

}  // namespace tvxtest
