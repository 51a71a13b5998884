#include "platform/modules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kProgramStrings[] = "57344\tprogapp\n# comment\n7\tprogram seven\nbad line\n8x\tno\n";
const TvxResourceBlob kProgramBlob = {TVX_RESOURCE_BLOB_VERSION, kProgramStrings, nullptr, 0,
                                      nullptr, 0};

std::string Alphabet(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

class Modules : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetProgramResources(&kProgramBlob);
    module_ = LoadLibrary(TVX_TEST_MODULE);
    ASSERT_NE(module_, nullptr) << platform::LastModuleError();
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(Modules, MissingOrBrokenLibrariesFailVisibly) {
  EXPECT_EQ(LoadLibrary("/nonexistent/tvx_xx.dll"), nullptr);
  EXPECT_FALSE(platform::LastModuleError().empty());
  EXPECT_EQ(LoadLibrary(std::string(TVX_SOURCE_DIR) + "/tests/platform/data/module_strings.txt"),
            nullptr);
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(Modules, StringsAreCutAt255CharactersNeverInsideOne) {
  std::string text;
  EXPECT_EQ(LoadString(module_, 1, text, 256), 255);
  EXPECT_EQ(text, Alphabet(255));
  // 254 ASCII letters, then a two-byte letter as character 255: kept whole.
  EXPECT_EQ(LoadString(module_, 2, text, 256), 255);
  EXPECT_EQ(text, std::string(254, 'b') + "\xC3\xA9");
  EXPECT_EQ(LoadString(module_, 2, text, 255), 254);
  EXPECT_EQ(text, std::string(254, 'b'));
  EXPECT_EQ(LoadString(module_, 3, text, 256), 36);
  EXPECT_EQ(text, "line one\nline two\ttabbed \\ backslash");
}

TEST_F(Modules, MissingIdsGiveEmptyText) {
  std::string text = "stale";
  EXPECT_EQ(LoadString(module_, 99999, text, 256), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(LoadString(module_, 4, text, 256), 0);  // present but empty
  EXPECT_NE(platform::FindResourceString(module_, 4), nullptr);
  EXPECT_EQ(platform::FindResourceString(module_, 5), nullptr);
}

TEST_F(Modules, CurrentModuleSwitchesBetweenLanguageModuleAndProgram) {
  std::string text;
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandle(nullptr));
  LoadString(AfxGetResourceHandle(), 57344, text, 256);
  EXPECT_EQ(text, "progapp");
  AfxSetResourceHandle(module_);
  LoadString(AfxGetResourceHandle(), 57344, text, 256);
  EXPECT_EQ(text, "testapp");
  LoadString(AfxGetResourceHandle(), 7, text, 256);
  EXPECT_EQ(text, "");  // no fallback to the program's table
  // Freeing the current module sends lookups back to the program.
  HMODULE second = LoadLibrary(TVX_TEST_MODULE);
  AfxSetResourceHandle(second);
  FreeLibrary(second);
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandle(nullptr));
  LoadString(GetModuleHandle(nullptr), 7, text, 256);
  EXPECT_EQ(text, "program seven");
  EXPECT_EQ(platform::FindResourceString(GetModuleHandle(nullptr), 8), nullptr);
}

TEST_F(Modules, XrcDocumentsAndSymbols) {
  auto docs = platform::ResourceXrcDocuments(module_);
  ASSERT_EQ(docs.size(), 1u);
  EXPECT_STREQ(docs[0].name, "module_dialogs.xrc");
  EXPECT_NE(std::string(docs[0].text).find("name=\"1279\""), std::string::npos);
  EXPECT_NE(GetProcAddress(module_, TVX_RESOURCE_ENTRY), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetModuleFileName(module_), TVX_TEST_MODULE);
  std::string self = GetModuleFileName(nullptr);
  EXPECT_EQ(self.substr(self.find_last_of('/') + 1), "platform_core_test");
}

}  // namespace
