// A real wxWidgets application for window tests (the test command runs them under Xvfb).
// Include it in one source file of a test program; tests skip when there is no display:
//   if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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

}  // namespace tvxtest
