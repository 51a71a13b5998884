#include "platform/document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/options_store.h"
#include "platform/win_app.h"

namespace {

namespace fs = std::filesystem;

class TextDocument : public CDocument {
 public:
  std::string text;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.Write(text.data(), text.size());
    } else {
      text = ar.Bytes();
    }
  }
  void DeleteContents() override { text.clear(); }
};

class RecordingView : public DocumentView {
 public:
  void OnUpdate(DocumentView* sender, LPARAM hint, void*) override { hints.push_back(hint); }
  HWND GetViewWindow() const override { return nullptr; }
  std::vector<LPARAM> hints;
};

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tvx_doc_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    platform::OptionsStore::Instance().SetPath("");
    platform::MessageBoxScript::Clear();
    fs::remove_all(dir_);
  }
  fs::path dir_;
  CWinApp app_{"tolvanixpda"};
};

TEST_F(Framework, SavePromptFollowsTheAnswer) {
  struct Case {
    int answer;
    bool hasPath;
    BOOL result;
    bool fileWritten;
  };
  const Case cases[] = {
      {IDCANCEL, true, FALSE, false},
      {IDNO, true, TRUE, false},
      {IDYES, true, TRUE, true},
      {IDYES, false, FALSE, false},  // no path and no save-as dialog: nothing saved
  };
  for (const Case& c : cases) {
    std::string path = (dir_ / "field.tvx").string();
    fs::remove(path);
    TextDocument doc;
    doc.text = "vertices";
    if (c.hasPath) doc.SetPathName(path);
    doc.SetModifiedFlag();
    platform::MessageBoxScript::Push(c.answer);
    EXPECT_EQ(doc.SaveModified(), c.result) << c.answer;
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.hasPath ? "Save changes to field.tvx?" : "Save changes to Untitled?");
    EXPECT_EQ(shown[0].caption, "tolvanixpda");
    EXPECT_EQ(shown[0].style & MB_TYPEMASK, MB_YESNOCANCEL);
    EXPECT_EQ(platform::FileExists(path), c.fileWritten);
    if (c.fileWritten) {
      EXPECT_EQ(*platform::ReadWholeFile(path), "vertices");
      EXPECT_FALSE(doc.IsModified());
    }
  }
  TextDocument clean;
  EXPECT_TRUE(clean.SaveModified());
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

TEST_F(Framework, OpenReadsFileAndAFailedOpenSaysSo) {
  std::string path = (dir_ / "in.tvx").string();
  ASSERT_TRUE(platform::WriteFileReplacing(path, "abc"));
  TextDocument doc;
  doc.SetModifiedFlag();
  EXPECT_TRUE(doc.OnOpenDocument(path));
  EXPECT_EQ(doc.text, "abc");
  EXPECT_FALSE(doc.IsModified());
  platform::MessageBoxScript::Push(IDOK);
  EXPECT_FALSE(doc.OnOpenDocument((dir_ / "missing.tvx").string()));
  EXPECT_EQ(doc.text, "abc");
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
}

TEST_F(Framework, UpdateAllViewsSkipsTheSender) {
  TextDocument doc;
  RecordingView a, b;
  doc.AddView(&a);
  doc.AddView(&b);
  doc.AddView(&a);
  doc.UpdateAllViews(&a, 5);
  doc.UpdateAllViews(nullptr, 6);
  EXPECT_EQ(a.hints, (std::vector<LPARAM>{6}));
  EXPECT_EQ(b.hints, (std::vector<LPARAM>{5, 6}));
  doc.RemoveView(&a);
  EXPECT_EQ(doc.GetFirstView(), &b);
}

TEST_F(Framework, ProfileLivesUnderRegistryKeyAndApplicationName) {
  app_.SetRegistryKey("Vorel - Tolvanix PDA");
  const std::string key = "HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Opciones";
  EXPECT_EQ(app_.ProfileKey("Opciones"), key);
  EXPECT_EQ(app_.GetProfileInt("Opciones", "Idioma", 0), 0u);
  EXPECT_TRUE(app_.WriteProfileInt("Opciones", "Idioma", 5));
  EXPECT_EQ(platform::OptionsStore::Instance().GetInt(key, "Idioma"), 5);
  EXPECT_TRUE(app_.WriteProfileInt("Opciones", "Baudios", -1));
  EXPECT_EQ(static_cast<int>(app_.GetProfileInt("Opciones", "Baudios", 1)), -1);
  EXPECT_EQ(app_.GetProfileString("Opciones", "WptNamePrefix", "WP"), "WP");
  EXPECT_TRUE(app_.WriteProfileString("Opciones", "WptNamePrefix", "Punto"));
  EXPECT_EQ(app_.GetProfileString("Opciones", "WptNamePrefix", "WP"), "Punto");
}

TEST_F(Framework, CommandLineNamesADocument) {
  CCommandLineInfo none;
  app_.SetCommandLine({"--verbose"});
  app_.ParseCommandLine(none);
  EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);
  CCommandLineInfo open;
  app_.SetCommandLine({"--verbose", "/data/field one.tvx", "other"});
  app_.ParseCommandLine(open);
  EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
  EXPECT_EQ(open.m_strFileName, "/data/field one.tvx");
}

}  // namespace
