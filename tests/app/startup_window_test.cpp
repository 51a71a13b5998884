// Starts the real program from the build folder under the test display.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/options_store.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kOptionsKey =
    "HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Opciones";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (the test command runs Xvfb)";
    dir_ = fs::temp_directory_path() /
           ("tvx_startup_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    store().SetPath((dir_ / "config" / "registry.ini").string());
  }
  void TearDown() override {
    for (pid_t pid : running_) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    store().SetPath("");
    fs::remove_all(dir_);
  }
  static platform::OptionsStore& store() { return platform::OptionsStore::Instance(); }

  pid_t Start(const std::string& program, std::map<std::string, std::string> env = {},
              const std::string& argument = {}) {
    env["TVX_CONFIG_DIR"] = (dir_ / "config").string();
    env["TVX_TEST_READY_FILE"] = (dir_ / "ready").string();
    env["TVX_TEST_MSGBOX_LOG"] = (dir_ / "boxes").string();
    pid_t pid = ::fork();
    if (pid == 0) {
      for (auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
      if (argument.empty())
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      else
        ::execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    running_.push_back(pid);
    return pid;
  }

  // Exit code, or -1 when the process is still running after the time-out.
  int WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        std::erase(running_, pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }

  bool WaitReady(size_t lines = 1) {
    auto end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end) {
      std::string text = ReadFile(dir_ / "ready");
      if (static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  // SIGTERM becomes the program's exit command.
  int ExitThroughCommand(pid_t pid) {
    ::kill(pid, SIGTERM);
    return WaitExit(pid, 15s);
  }

  const std::string program_ = std::string(TVX_BINARY_DIR) + "/tolvanixpda";
  fs::path dir_;
  std::vector<pid_t> running_;
};

TEST_F(Startup, ShowsMainWindowAndExitCommandEndsWithCodeZero) {
  pid_t pid = Start(program_);
  ASSERT_TRUE(WaitReady());
  EXPECT_NE(ReadFile(dir_ / "ready").find("internal/tvx_en.dll"), std::string::npos);
  EXPECT_EQ(ExitThroughCommand(pid), 0);
  EXPECT_EQ(ReadFile(dir_ / "boxes"), "");
}

TEST_F(Startup, UnknownIdiomaLoadsTheEnglishModule) {
  store().SetInt(kOptionsKey, "Idioma", 99);
  pid_t pid = Start(program_);
  ASSERT_TRUE(WaitReady());
  EXPECT_NE(ReadFile(dir_ / "ready").find(std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll"),
            std::string::npos);
  EXPECT_EQ(ExitThroughCommand(pid), 0);
  EXPECT_EQ(store().GetInt(kOptionsKey, "Idioma"), 99);
}

TEST_F(Startup, MissingChosenModuleStartsInEnglishWithANotice) {
  ASSERT_FALSE(fs::exists(std::string(TVX_BINARY_DIR) + "/internal/tvx_du.dll"));
  store().SetInt(kOptionsKey, "Idioma", 5);
  pid_t pid = Start(program_, {{"TVX_MSGBOX_ANSWERS", "ok"}});
  ASSERT_TRUE(WaitReady());
  EXPECT_NE(ReadFile(dir_ / "ready").find("internal/tvx_en.dll"), std::string::npos);
  EXPECT_EQ(store().GetInt(kOptionsKey, "Idioma"), 0);
  EXPECT_EQ(ExitThroughCommand(pid), 0);
  EXPECT_EQ(ReadFile(dir_ / "boxes"),
            "Tolvanix PDA|The language module internal/tvx_du.dll is not installed.\\nThe "
            "program starts in English.\n");
}

TEST_F(Startup, RefusedDocumentOnTheCommandLineShowsItsMessageAndTheWindow) {
  std::ofstream(dir_ / "notes.tvx") << "not a document";
  for (const fs::path& file : {dir_ / "notes.tvx", dir_ / "gone.nmea", dir_ / "gone.shp"}) {
    fs::remove(dir_ / "ready");
    fs::remove(dir_ / "boxes");
    pid_t pid = Start(program_, {{"TVX_MSGBOX_ANSWERS", "ok"}}, file.string());
    ASSERT_TRUE(WaitReady()) << file;
    EXPECT_EQ(WaitExit(pid, 0ms), -1) << file;  // still running
    EXPECT_EQ(ExitThroughCommand(pid), 0) << file;
    const std::string boxes = ReadFile(dir_ / "boxes");
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 1) << file << ": " << boxes;
  }
}

TEST_F(Startup, MissingEnglishModuleShowsTheFatalMessageAndEndsWithCodeOne) {
  // A program folder without internal/tvx_en.dll.
  fs::create_directories(dir_ / "prog" / "internal");
  fs::copy_file(program_, dir_ / "prog" / "tolvanixpda");
  pid_t pid = Start((dir_ / "prog" / "tolvanixpda").string(), {{"TVX_MSGBOX_ANSWERS", "ok"}});
  EXPECT_EQ(WaitExit(pid, 20s), 1);
  EXPECT_EQ(ReadFile(dir_ / "boxes"),
            "tolvanixpda|Error Fatal: No se encontr\xC3\xB3 el archivo de recursos\n");
  EXPECT_EQ(ReadFile(dir_ / "ready"), "");
}

TEST_F(Startup, SecondCopyEndsAtOnceWhileTheFirstRuns) {
  pid_t first = Start(program_);
  ASSERT_TRUE(WaitReady());
  pid_t second = Start(program_);
  EXPECT_EQ(WaitExit(second, 10s), 0);
  EXPECT_EQ(WaitExit(first, 0ms), -1);  // the first one is still there
  EXPECT_EQ(ExitThroughCommand(first), 0);
  std::string ready = ReadFile(dir_ / "ready");
  EXPECT_EQ(std::count(ready.begin(), ready.end(), '\n'), 1);
}

}  // namespace
