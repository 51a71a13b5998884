#include "platform/options_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

const char* kOptions = "HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Opciones";

class OptionsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tvx-store-XXXXXX";
    dir_ = mkdtemp(tmpl);
    file_ = dir_ + "/sub/registry.ini";
    platform::OptionsStore::Instance().SetPath(file_);
  }
  void TearDown() override {
    platform::OptionsStore::Instance().SetPath("");
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  platform::OptionsStore& store() { return platform::OptionsStore::Instance(); }
  std::string dir_, file_;
};

TEST_F(OptionsStoreTest, MissingValuesAndKeysGiveNothing) {
  EXPECT_FALSE(store().GetInt(kOptions, "Idioma").has_value());
  EXPECT_FALSE(store().GetString(kOptions, "WptNamePrefix").has_value());
  EXPECT_FALSE(store().KeyExists(kOptions));
}

TEST_F(OptionsStoreTest, RoundTripOfIntegersAndStrings) {
  const std::string awkward = "Punto \"Ñ\" \\ tab\there\nnext line = 5 ]";
  ASSERT_TRUE(store().SetInt(kOptions, "Idioma", 14));
  ASSERT_TRUE(store().SetInt(kOptions, "Baudios", -1));
  ASSERT_TRUE(store().SetInt(kOptions, "Big", static_cast<std::int32_t>(0x80000000u)));
  ASSERT_TRUE(store().SetString(kOptions, "WptNamePrefix", awkward));
  ASSERT_TRUE(store().SetString(kOptions, "InstallPath", ""));

  // A second reader of the same file (another process would see the same).
  std::ifstream in(file_);
  ASSERT_TRUE(in.good());

  EXPECT_EQ(store().GetInt(kOptions, "Idioma"), 14);
  EXPECT_EQ(store().GetInt(kOptions, "baudios"), -1);  // names compare without case
  EXPECT_EQ(store().GetInt(kOptions, "Big"), static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(store().GetString(kOptions, "WptNamePrefix"), awkward);
  EXPECT_EQ(store().GetString(kOptions, "InstallPath"), "");
  // A value of the other kind is not returned as this kind.
  EXPECT_FALSE(store().GetString(kOptions, "Idioma").has_value());
  EXPECT_FALSE(store().GetInt(kOptions, "InstallPath").has_value());

  ASSERT_TRUE(store().SetInt(kOptions, "Idioma", 3));
  EXPECT_EQ(store().GetInt(kOptions, "Idioma"), 3);
  EXPECT_EQ(store().ValueNames(kOptions).size(), 5u);
}

TEST_F(OptionsStoreTest, DeleteAndMachineWideKeys) {
  const char* applet = "HKEY_LOCAL_MACHINE\\ControlPanel\\GPS Settings";
  ASSERT_TRUE(store().CreateKey(applet));
  EXPECT_TRUE(store().KeyExists(applet));
  ASSERT_TRUE(store().SetInt(applet, "Hide", 1));
  EXPECT_TRUE(store().DeleteValue(applet, "Hide"));
  EXPECT_FALSE(store().DeleteValue(applet, "Hide"));
  EXPECT_FALSE(store().GetInt(applet, "Hide").has_value());
  EXPECT_TRUE(store().KeyExists(applet));
  EXPECT_FALSE(store().KeyExists(kOptions));
}

TEST_F(OptionsStoreTest, ChangesByAnotherWriterAreSeenAndJunkIgnored) {
  ASSERT_TRUE(store().SetInt(kOptions, "Huso", 30));
  EXPECT_EQ(store().GetInt(kOptions, "Huso"), 30);
  {
    std::ofstream out(file_ + ".new");
    out << "[" << kOptions << "]\nHuso=dword:0000001f\nbroken line\nBad=dword:xyz\nQ=\"unterminated\n";
  }
  ASSERT_EQ(std::rename((file_ + ".new").c_str(), file_.c_str()), 0);
  EXPECT_EQ(store().GetInt(kOptions, "Huso"), 31);
  EXPECT_FALSE(store().GetInt(kOptions, "Bad").has_value());
  EXPECT_FALSE(store().GetString(kOptions, "Q").has_value());
}

TEST_F(OptionsStoreTest, UnwritableLocationFailsAndKeepsValues) {
  ASSERT_TRUE(store().SetInt(kOptions, "Datum", 7));
  ASSERT_EQ(::chmod((dir_ + "/sub").c_str(), 0500), 0);
  bool wrote = store().SetInt(kOptions, "Datum", 8);
  ::chmod((dir_ + "/sub").c_str(), 0700);
  if (::geteuid() != 0) {  // root writes anyway
    EXPECT_FALSE(wrote);
    EXPECT_EQ(store().GetInt(kOptions, "Datum"), 7);
  }
}

// The options file kept elsewhere behind a link (a folder the user synchronises): a write
// goes into the linked file, which keeps its permissions, and the link stays.
TEST_F(OptionsStoreTest, AWriteThroughALinkKeepsTheLinkAndTheFilesPermissions) {
  const std::string kept = dir_ + "/synced/registry.ini";
  ASSERT_EQ(::mkdir((dir_ + "/synced").c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((dir_ + "/sub").c_str(), 0700), 0);
  { std::ofstream(kept) << "[" << kOptions << "]\nHuso=dword:0000001e\n"; }
  ASSERT_EQ(::chmod(kept.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("../synced/registry.ini", file_.c_str()), 0);

  ASSERT_TRUE(store().SetInt(kOptions, "Datum", 7));
  struct stat link {}, target {};
  ASSERT_EQ(::lstat(file_.c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  ASSERT_EQ(::stat(kept.c_str(), &target), 0);
  EXPECT_EQ(target.st_mode & 0777, 0600u);
  std::ifstream in(kept);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("Datum=dword:00000007"), std::string::npos) << text;
  EXPECT_NE(text.find("Huso=dword:0000001e"), std::string::npos) << text;
  EXPECT_EQ(store().GetInt(kOptions, "Huso"), 30);
}

TEST_F(OptionsStoreTest, ConcurrentWritersLoseNothing) {
  std::thread a([&] {
    for (int i = 0; i < 50; ++i) store().SetInt(kOptions, "A" + std::to_string(i), i);
  });
  std::thread b([&] {
    for (int i = 0; i < 50; ++i) store().SetInt(kOptions, "B" + std::to_string(i), i);
  });
  a.join();
  b.join();
  EXPECT_EQ(store().ValueNames(kOptions).size(), 100u);
}

TEST(OptionsStoreLocation, EnvironmentRedirects) {
  ::setenv("TVX_CONFIG_DIR", "/tmp/tvx-elsewhere", 1);
  platform::OptionsStore::Instance().SetPath("");
  EXPECT_EQ(platform::OptionsStore::Instance().Path(), "/tmp/tvx-elsewhere/registry.ini");
  ::unsetenv("TVX_CONFIG_DIR");
  ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
  platform::OptionsStore::Instance().SetPath("");
  EXPECT_EQ(platform::OptionsStore::Instance().Path(), "/tmp/xdg/tolvanixpda/registry.ini");
}

}  // namespace
