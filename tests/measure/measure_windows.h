// What the measuring window tests share: a document's sandbox (tests/document_main) with the
// English module's templates and strings, and a button pressed as the user does.
#pragma once

#include <gtest/gtest.h>
#include <wx/button.h>

#include <string>

#include "platform/message_box.h"
#include "platform/ui/menu.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/support/wx_test_environment.h"

class MeasureWindowTest : public DocTest {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display (the test command runs Xvfb)";
    DocTest::SetUp();
    module_ = LoadLibrary((std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::MessageBoxScript::Clear();
    platform::PopupMenuScript::Clear();
  }
  void TearDown() override {
    if (!tvxtest::WxEnvironment::ready) return;
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
    DocTest::TearDown();
  }

  // The button's click, delivered to its window.
  static void Click(CWnd& wnd, int id) {
    wxWindow* button = wnd.GetDlgItemWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
  }

  HMODULE module_ = nullptr;
};
