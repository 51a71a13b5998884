#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/languages.h"
#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/message_box.h"
#include "platform/options_store.h"
#include "platform/win_app.h"

namespace {

namespace fs = std::filesystem;

class CloseRecorder : public CCmdTarget {
 public:
  void OnClose() { ++closes; }
  int closes = 0;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CloseRecorder, CCmdTarget)
  ON_WM_CLOSE()
END_MESSAGE_MAP()

class AppCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tvx_app_cmd_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    platform::MessageBoxScript::Clear();
    app_.SetRegistryKey("Vorel - Tolvanix PDA");
  }
  void TearDown() override {
    platform::OptionsStore::Instance().SetPath("");
    fs::remove_all(dir_);
  }
  int Idioma() { return static_cast<int>(app_.GetProfileInt("Opciones", "Idioma", -5)); }

  fs::path dir_;
  CWinApp app_{"tolvanixpda"};
};

TEST_F(AppCommands, EachLanguageCommandStoresItsRowAndShowsItsNotice) {
  CTolvanixDoc doc;
  doc.m_hwndView = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
  for (const LanguageModuleInfo& row : kLanguageModules) {
    ASSERT_TRUE(doc.OnCmdMsg(row.commandId, CN_COMMAND, nullptr)) << row.commandId;
    EXPECT_EQ(Idioma(), row.index) << row.commandId;
    EXPECT_EQ(doc.m_language, row.index);
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, row.notice);
    EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
    EXPECT_EQ(shown[0].style, MB_ICONEXCLAMATION);
    EXPECT_EQ(shown[0].owner, doc.m_hwndView);
  }
  // Choosing the current language again still writes and tells.
  app_.WriteProfileInt("Opciones", "Idioma", 7);
  doc.OnCmdMsg(32782, CN_COMMAND, nullptr);
  doc.OnCmdMsg(32782, CN_COMMAND, nullptr);
  EXPECT_EQ(Idioma(), 0);
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 2u);
  EXPECT_EQ(std::string(kLanguageModules[2].notice),
            "Les changements prendront effet après avoir redémarrer le programme");
}

TEST_F(AppCommands, LanguageCommandsOfModulesNotInstalledAreDisabled) {
  const std::string folder = ModuleDirectory;
  fs::create_directories(dir_ / "internal");
  for (const char* file : {"internal/tvx_en.dll", "internal/tvx_lt.dll"})
    std::ofstream(dir_ / file) << "x";
  ModuleDirectory = dir_.string() + "/";
  CTolvanixDoc doc;
  for (const LanguageModuleInfo& row : kLanguageModules) {
    CCmdUI ui(row.commandId);
    EXPECT_TRUE(ui.DoUpdate(&doc, TRUE)) << row.commandId;
    ASSERT_TRUE(ui.enabled.has_value());
    EXPECT_EQ(*ui.enabled, row.index == 0 || row.index == 13) << row.file;
  }
  ModuleDirectory = folder;
}

TEST_F(AppCommands, ExitCommandAsksTheMainWindowToClose) {
  platform::SetUiThread();
  CloseRecorder frame;
  app_.m_hMainWnd = platform::AttachWindow(&frame);
  CTolvanixDoc doc;
  EXPECT_TRUE(doc.OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr));
  EXPECT_EQ(frame.closes, 0);  // posted, not sent
  platform::PumpMessages();
  EXPECT_EQ(frame.closes, 1);
  platform::DetachWindow(app_.m_hMainWnd);
}

TEST_F(AppCommands, OsNoticeNoTurnsTheCheckOffYesKeepsIt) {
  platform::MessageBoxScript::Push(IDYES);
  CheckOsVersion(&app_, 3, 0);
  EXPECT_EQ(app_.GetProfileInt("Opciones", "OS", 1), 1u);
  platform::MessageBoxScript::Push(IDNO);
  CheckOsVersion(&app_, 5, 2);
  EXPECT_EQ(app_.GetProfileInt("Opciones", "OS", 1), 0u);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].style & MB_TYPEMASK, MB_YESNO);
  EXPECT_EQ(shown[1].owner, nullptr);
  CheckOsVersion(&app_, 3, 0);  // switched off: no notice any more
  CheckOsVersion(&app_, 4, 20);
  app_.WriteProfileInt("Opciones", "OS", 1);
  CheckOsVersion(&app_, 0, 0);  // a desktop system: nothing applies
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

}  // namespace
