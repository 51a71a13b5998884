#include "app/strings.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <thread>

#include "app/languages.h"
#include "platform/modules.h"
#include "platform/window_messages.h"

namespace {

// glibc's converter is the independent reference for the code page.
std::string Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return "<unconvertible>";
  out.resize(out.size() - dstLeft);
  return out;
}

TEST(TextConversion, EveryWindows1252ByteRoundTripsAsGlibcConvertsIt) {
  for (int b = 1; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    std::string utf8 = FromMultiByte(byte);
    std::string reference = Iconv("UTF-8", "WINDOWS-1252", byte);
    // glibc leaves the five unassigned bytes unconvertible; they become C1 controls here.
    if (reference != "<unconvertible>") EXPECT_EQ(utf8, reference) << b;
    EXPECT_EQ(ToMultiByte(utf8), byte) << b;
  }
  EXPECT_EQ(ToMultiByte(""), "");
  EXPECT_EQ(FromMultiByte(""), "");
}

TEST(TextConversion, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(ToMultiByte("Área €5 Ωλ 中"), "\xC1rea \x80" "5 ?? ?");
  EXPECT_EQ(ToMultiByte("bad \xC3 end \xFF"), "bad ? end ?");  // broken UTF-8
  EXPECT_EQ(ToMultiByte("\xF0\x9F\x98\x80"), "?");             // outside the BMP
}

TEST(ModuleDirectoryTest, FolderKeepsItsTrailingSlash) {
  EXPECT_EQ(ModuleDirectoryOf("/Windows/prog"), "/Windows/");
  EXPECT_EQ(ModuleDirectoryOf("/opt/tvx/tolvanixpda"), "/opt/tvx/");
  EXPECT_EQ(ModuleDirectoryOf("tolvanixpda"), "tolvanixpda");
  InitModuleDirectory();
  ASSERT_FALSE(ModuleDirectory.empty());
  EXPECT_EQ(ModuleDirectory.back(), '/');
  EXPECT_EQ(ModuleDirectory + "app_strings_test", GetModuleFileName(nullptr));
}

TEST(RegisteredMessagesTest, FourDistinctNumbersSharedWithEveryRegistration) {
  std::set<UINT> numbers{WM_REFRESH_GPS, WM_DIBUJAR_CAMPOS, WM_ADD_SEGMENTO, WM_CALCULAR_AREA};
  EXPECT_EQ(numbers.size(), 4u);
  EXPECT_GE(*numbers.begin(), 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("WM_DIBUJAR_CAMPOS"), WM_DIBUJAR_CAMPOS);
}

class ResourceStrings : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibrary(TVX_TEST_MODULE);
    ASSERT_NE(module_, nullptr);
    SetLanguageResourceModule(module_);
    SetResourceModule(nullptr, 0);
  }
  void TearDown() override {
    SetResourceModule(nullptr, 1);
    SetLanguageResourceModule(nullptr);
    FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ResourceStrings, CutAt255AndMissingIsEmpty) {
  std::string first = LoadResString(1);
  EXPECT_EQ(first.size(), 255u);
  EXPECT_EQ(first.substr(0, 3), "abc");
  EXPECT_EQ(LoadResString(424242), "");
  // Two calls in one expression keep both texts.
  EXPECT_EQ(LoadResString(1) + LoadResString(57344), first + "testapp");
  SetResourceModule(nullptr, 1);
  EXPECT_EQ(LoadResString(1), "");  // the program's own table has no such id
}

TEST_F(ResourceStrings, ThreadsLoadingAtOnceKeepTheirOwnTexts) {
  const std::string one = LoadResString(1);
  const std::string three = LoadResString(3);
  auto hammer = [](UINT id, const std::string& expected, int* mismatches) {
    for (int i = 0; i < 20000; ++i) {
      std::string text = LoadResString(id);
      if (text != expected) ++*mismatches;
    }
  };
  int bad1 = 0, bad3 = 0;
  std::thread a(hammer, 1, std::cref(one), &bad1);
  std::thread b(hammer, 3, std::cref(three), &bad3);
  a.join();
  b.join();
  EXPECT_EQ(bad1, 0);
  EXPECT_EQ(bad3, 0);
}

TEST(LanguageTable, ModulesCommandsAndTheTwoCrossings) {
  EXPECT_STREQ(LanguageModuleFor(99).file, "internal/tvx_en.dll");
  EXPECT_STREQ(LanguageModuleFor(-1).file, "internal/tvx_en.dll");
  EXPECT_STREQ(LanguageModuleFor(5).file, "internal/tvx_du.dll");
  EXPECT_EQ(LanguageModuleByCommand(32784)->index, 2);  // French
  EXPECT_EQ(LanguageModuleByCommand(32785)->index, 3);  // Spanish
  EXPECT_EQ(LanguageModuleByCommand(32787)->index, 6);  // Russian
  EXPECT_EQ(LanguageModuleByCommand(32788)->index, 5);  // "du"
  EXPECT_EQ(LanguageModuleByCommand(32797), nullptr);
  std::set<UINT> ids;
  for (const auto& row : kLanguageModules) ids.insert(row.commandId);
  EXPECT_EQ(ids.size(), 15u);
  EXPECT_EQ(*ids.begin(), 32782u);
  EXPECT_EQ(*ids.rbegin(), 32796u);
}

TEST(OsNotice, OnlyOldOrMismatchedHandheldVersionsGetANotice) {
  EXPECT_NE(OsVersionNotice(3, 0).find("PPC2003"), std::string::npos);
  EXPECT_NE(OsVersionNotice(5, 1).find("Windows Mobile 5.0"), std::string::npos);
  EXPECT_NE(OsVersionNotice(5, 2).find("Windows Mobile 6.0"), std::string::npos);
  for (auto [major, minor] : {std::pair{0u, 0u}, {4u, 20u}, {5u, 0u}, {6u, 0u}}) {
    EXPECT_EQ(OsVersionNotice(major, minor), "") << major << "." << minor;
  }
}

}  // namespace
