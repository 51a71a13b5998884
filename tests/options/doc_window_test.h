// A window test over a document (tests/document_main/doc_test_env.h) whose dialogs come from
// the English module; it skips without a display and starts with an empty box script.
#pragma once

#include <string>

#include "platform/message_box.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/support/wx_test_environment.h"

namespace optstest {

class DocWindowTest : public DocTest {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    DocTest::SetUp();
    module_ = LoadLibrary((std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    if (!module_) return;
    AfxSetResourceHandle(nullptr);
    FreeLibrary(module_);
    DocTest::TearDown();
  }
  HMODULE module_ = nullptr;
};

}  // namespace optstest
