// Starts the real program from the build folder under the test display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <wx/uiaction.h>

#include "platform/options_store.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"

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

  // terminationBlocked: the program begins with SIGTERM blocked, so that one sent at once is
  // waiting for it when it begins.
  pid_t Start(const std::string& program, std::map<std::string, std::string> env = {},
              const std::string& argument = {}, bool terminationBlocked = false) {
    env["TVX_CONFIG_DIR"] = (dir_ / "config").string();
    env["TVX_TEST_READY_FILE"] = (dir_ / "ready").string();
    env["TVX_TEST_MSGBOX_LOG"] = (dir_ / "boxes").string();
    const std::string errors = (dir_ / "stderr").string();
    // Blocked from before the fork: the child has it blocked from its first instruction.
    sigset_t term, before;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    if (terminationBlocked) pthread_sigmask(SIG_BLOCK, &term, &before);
    pid_t pid = ::fork();
    if (pid != 0 && terminationBlocked) pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (pid == 0) {
      for (auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
      // The program's error output, for the test to read.
      const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      if (fd >= 0) ::dup2(fd, 2);
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

  // Waits for a condition of another process, which a loaded machine may take long to meet.
  // The test's own event loop runs meanwhile: it sends the simulated input on to the display.
  template <class Pred>
  static bool WaitFor(Pred pred, std::chrono::seconds limit = 30s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
      if (std::chrono::steady_clock::now() > end) return false;
      if (tvxtest::WxEnvironment::ready) wxTheApp->Yield(true);
      std::this_thread::sleep_for(20ms);
    }
    return true;
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

// A termination request at the earliest moment of the start (sent before the program runs a
// line of its own, it waits for the program's handler): the start completes and the program
// ends through its exit command, its main window closed, with code 0.
TEST_F(Startup, TerminationRequestedAsTheProgramBeginsEndsItThroughTheExitCommand) {
  pid_t pid = Start(program_, {}, {}, true);
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  EXPECT_EQ(WaitExit(pid, 30s), 0) << ReadFile(dir_ / "stderr");
  EXPECT_NE(ReadFile(dir_ / "ready"), "");
  // The map view stores its layer switches when its window closes.
  EXPECT_TRUE(store().GetInt(kOptionsKey, "Zoombar").has_value());
  EXPECT_EQ(ReadFile(dir_ / "boxes"), "");
}

// A termination request while the start waits for the user (the notice of a missing language
// module): kept until the start is over, then the exit command ends the program.
TEST_F(Startup, TerminationRequestedDuringAStartUpQuestionEndsItOnceTheStartIsOver) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  store().SetInt(kOptionsKey, "Idioma", 5);
  pid_t pid = Start(program_);
  tvxtest::ProgramWindows windows(pid);
  tvxtest::ProgramWindow notice;
  ASSERT_TRUE(WaitFor([&] {
    notice = windows.Find("Tolvanix PDA");
    return notice.id != 0;
  })) << ReadFile(dir_ / "stderr");
  ASSERT_EQ(ReadFile(dir_ / "ready"), "");  // the box is part of the start
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  windows.Close(notice);
  EXPECT_EQ(WaitExit(pid, 30s), 0) << ReadFile(dir_ / "stderr");
  EXPECT_NE(ReadFile(dir_ / "ready"), "");
  EXPECT_TRUE(store().GetInt(kOptionsKey, "Zoombar").has_value());
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

TEST_F(Startup, MissingOrDamagedEnglishModuleShowsTheFatalMessageAndEndsWithCodeOne) {
  struct Case {
    const char* what;
    const char* english;  // content of internal/tvx_en.dll; nullptr: no such file
    int idioma;           // chosen language (its module is never there)
  };
  const Case cases[] = {
      {"missing", nullptr, 0},
      {"not a library", "MZ not a library", 0},
      {"not a library, German chosen", "MZ not a library", 1},
      {"a library without resources", "library", 13},
  };
  for (const Case& c : cases) {
    // A program folder of its own.
    const fs::path folder = dir_ / "prog";
    fs::remove_all(folder);
    fs::remove(dir_ / "boxes");
    fs::create_directories(folder / "internal");
    fs::copy_file(program_, folder / "tolvanixpda");
    if (c.english && std::string(c.english) == "library") {
      // A real library, but not a language module.
      fs::copy_file(std::string(TVX_BINARY_DIR) + "/internal/tolvanixextras.dll", folder / "internal" / "tvx_en.dll");
    } else if (c.english) {
      std::ofstream(folder / "internal" / "tvx_en.dll") << c.english;
    }
    store().SetInt(kOptionsKey, "Idioma", c.idioma);
    pid_t pid = Start((folder / "tolvanixpda").string(), {{"TVX_MSGBOX_ANSWERS", "ok,ok"}});
    EXPECT_EQ(WaitExit(pid, 20s), 1) << c.what;
    // Said once, and nothing said of a start in English that does not come.
    EXPECT_EQ(ReadFile(dir_ / "boxes"), "tolvanixpda|Error Fatal: No se encontr\xC3\xB3 el archivo de recursos\n")
        << c.what;
    EXPECT_EQ(ReadFile(dir_ / "ready"), "") << c.what;
    // A chosen module that is not there is given up as ever.
    EXPECT_EQ(store().GetInt(kOptionsKey, "Idioma"), c.english ? 0 : c.idioma) << c.what;
  }
}

// A start that cannot go on says why in a box the user answers, and the program ends with
// code 1: a language module that loads but lacks what the main window takes from it (the
// module's string 59168, or the program's own when the module has none; no window is made),
// and a data file that the datum in force needs (the window comes, then the exit command).
TEST_F(Startup, StartThatCannotGoOnIsReportedAndEndsWithCodeOne) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  const std::string english = std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll";
  struct Case {
    const char* what;
    std::string module;              // copied as internal/tvx_en.dll
    const char* omitted;             // a data file of the build left out of the folder
    int datum;                       // the stored datum choice
    std::vector<std::string> boxes;  // caption|text of each, in the order they come
    bool windowShown;                // the start got as far as the main window
  };
  const Case cases[] = {
      {"the English module without its main menu", TVX_EN_WITHOUT_MENU, nullptr, 0,
       {"tolvanixpda|Fatal Error: The resource file was not found"}, false},
      {"a module without the program's texts, menus and windows", TVX_TEST_MODULE, nullptr, 0,
       {"tolvanixpda|Error Fatal: No se encontr\xC3\xB3 el archivo de recursos"}, false},
      {"the datum list missing while a datum is chosen", english, "tvxdtmlist.bin", 1,
       {"Tolvanix PDA|Fatal Error: The resource file was not found"}, true},
      {"the datum list missing, and a module without texts or menus", TVX_TEST_MODULE,
       "tvxdtmlist.bin", 1,
       {"Tolvanix PDA|Error Fatal: No se encontr\xC3\xB3 el archivo de recursos",
        "tolvanixpda|Error Fatal: No se encontr\xC3\xB3 el archivo de recursos"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A program folder of its own: the build's data files, and the module under test.
    const fs::path folder = dir_ / "prog";
    fs::remove_all(folder);
    fs::remove(dir_ / "boxes");
    fs::remove(dir_ / "ready");
    fs::create_directories(folder / "internal");
    fs::copy_file(program_, folder / "tolvanixpda");
    const fs::path built = std::string(TVX_BINARY_DIR) + "/internal";
    for (const fs::directory_entry& file : fs::directory_iterator(built)) {
      const fs::path name = file.path().filename();
      if (name != "tvx_en.dll" && !(c.omitted && name == c.omitted))
        fs::copy_file(file.path(), folder / "internal" / name);
    }
    fs::copy_file(c.module, folder / "internal" / "tvx_en.dll");
    store().SetInt(kOptionsKey, "Datum", c.datum);
    pid_t pid = Start((folder / "tolvanixpda").string());
    tvxtest::ProgramWindows windows(pid);
    std::string said;
    for (const std::string& box : c.boxes) {
      // Each comes before the main window, and the program waits for its answer.
      const std::string caption = box.substr(0, box.find('|'));
      tvxtest::ProgramWindow shown;
      ASSERT_TRUE(WaitFor([&] {
        shown = windows.Find(caption);
        return shown.id != 0;
      })) << box << ": " << ReadFile(dir_ / "stderr");
      EXPECT_EQ(WaitExit(pid, 0ms), -1) << box;
      windows.Close(shown);
      said += box + "\n";
    }
    EXPECT_EQ(WaitExit(pid, 30s), 1) << ReadFile(dir_ / "stderr");
    EXPECT_EQ(ReadFile(dir_ / "boxes"), said);
    EXPECT_EQ(ReadFile(dir_ / "ready") != "", c.windowShown);
  }
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

// The lines of the program's error output that tell of a fault in its windows: the toolkit's
// warnings and criticals, and wxWidgets' debug messages and failed checks.
std::string ToolkitComplaints(const std::string& output) {
  std::string complaints;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    for (const char* mark : {"-WARNING", "-CRITICAL", "Debug:", "wx check failed"}) {
      if (line.find(mark) != std::string::npos) {
        complaints += line + "\n";
        break;
      }
    }
  }
  return complaints;
}

// The user starts the program, resizes its window, shows and hides the bars from the View
// menu, measures with the wizard in full screen and ends it: the toolkit has nothing to
// complain of (its warnings and criticals end the program at once here), with or without a
// window manager (the test command runs this test under both).
TEST_F(Startup, StartResizeBarsAndFullScreenLeaveNothingOnTheErrorOutput) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  pid_t pid = Start(program_, {{"G_DEBUG", "fatal-warnings"}, {"TVX_MSGBOX_ANSWERS", "no,no,no,no"}});
  ASSERT_TRUE(WaitReady());
  tvxtest::ProgramWindows windows(pid);
  ASSERT_TRUE(windows.Connected());
  const std::string title = "Tolvanix PDA";
  tvxtest::ProgramWindow main;
  auto findMain = [&] {
    main = windows.Find(title);
    return main.id != 0;
  };
  ASSERT_TRUE(WaitFor(findMain)) << ReadFile(dir_ / "stderr");
  wxUIActionSimulator input;
  // Without a window manager the keys go to the window under the pointer.
  auto pointAt = [&](const tvxtest::ScreenRect& r) {
    input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  };

  // Narrower, larger, and back as it was.
  const tvxtest::ScreenRect first = main.rect;
  for (auto [width, height] : {std::pair{360, 440}, {620, 540}, {first.width, first.height}}) {
    windows.Resize(main, width, height);
    ASSERT_TRUE(WaitFor([&] { return findMain() && main.rect.width == width && main.rect.height == height; }))
        << width << "x" << height << ": " << ReadFile(dir_ / "stderr");
  }

  // The bars from the View menu: each changes what the left of the window shows (the bars
  // push the map down or let it up; the View menu opens further right).
  auto leftStrip = [&] { return windows.Pixels({main.rect.x, main.rect.y, 100, main.rect.height}); };
  auto viewMenu = [&](char item) {
    pointAt(main.rect);
    const auto before = leftStrip();
    input.Char('v', wxMOD_ALT);
    ASSERT_TRUE(WaitFor([&] { return windows.PopupOpen(); })) << ReadFile(dir_ / "stderr");
    input.Char(item);
    ASSERT_TRUE(WaitFor([&] { return !windows.PopupOpen() && leftStrip() != before; }))
        << item << ": " << ReadFile(dir_ / "stderr");
  };
  viewMenu('z');  // zoom toolbar hidden
  viewMenu('d');  // drawing toolbar shown
  viewMenu('z');  // zoom toolbar shown
  viewMenu('d');  // drawing toolbar hidden

  // The wizard's area measurement runs in full screen.
  pointAt(main.rect);
  input.Char('f', wxMOD_ALT);
  ASSERT_TRUE(WaitFor([&] { return windows.PopupOpen(); }));
  input.Char('w');
  tvxtest::ProgramWindow wizard;
  ASSERT_TRUE(WaitFor([&] {
    wizard = windows.Find("Wizard");
    return wizard.id != 0;
  })) << ReadFile(dir_ / "stderr");
  pointAt(wizard.rect);
  input.Char(' ');  // "An area": the keys are on the first category as the sheet opens
  const tvxtest::ScreenRect screen = windows.Screen();
  auto coversScreen = [&] {
    return findMain() && main.rect.x <= 0 && main.rect.y <= 0 && main.rect.x + main.rect.width >= screen.width &&
           main.rect.y + main.rect.height >= screen.height;
  };
  ASSERT_TRUE(WaitFor(coversScreen)) << ReadFile(dir_ / "stderr");

  // The full-screen bar's end button (the second), then the summary and the wizard's last
  // question closed from their title bars: the window as it was.
  const tvxtest::ScreenRect endButton{120, screen.height - 70, 140, 70};
  ASSERT_TRUE(WaitFor([&] {
    const auto pixels = windows.Pixels(endButton);
    return std::count(pixels.begin(), pixels.end(), 0u) > 100;  // its black square
  })) << ReadFile(dir_ / "stderr");
  // Clicked once the button shows the pointer over it.
  const auto unpointed = windows.Pixels(endButton);
  input.MouseMove(endButton.x + endButton.width / 2, endButton.y + endButton.height / 2);
  ASSERT_TRUE(WaitFor([&] { return windows.Pixels(endButton) != unpointed; }));
  input.MouseClick();
  for (int question = 0; question < 2; ++question) {
    tvxtest::ProgramWindow dialog;
    ASSERT_TRUE(WaitFor([&] {
      for (const tvxtest::ProgramWindow& w : windows.Shown()) {
        if (w.title != title) dialog = w;
      }
      return dialog.id != 0;
    })) << question << ": " << ReadFile(dir_ / "stderr");
    windows.Close(dialog);
    ASSERT_TRUE(WaitFor([&] {
      const auto shown = windows.Shown();
      return std::none_of(shown.begin(), shown.end(), [&](const auto& w) { return w.id == dialog.id; });
    })) << question;
  }
  ASSERT_TRUE(WaitFor([&] { return findMain() && main.rect == first; })) << ReadFile(dir_ / "stderr");

  EXPECT_EQ(ExitThroughCommand(pid), 0) << ReadFile(dir_ / "stderr");
  EXPECT_EQ(ToolkitComplaints(ReadFile(dir_ / "stderr")), "");
}

// The wizard's summary, the first dialog once the full-screen measurement has ended, opens
// over the program's window where it stands again, not over the middle of the screen the
// measurement covered.
TEST_F(Startup, TheWizardsSummaryOpensOverTheProgramsWindow) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  pid_t pid = Start(program_, {{"TVX_MSGBOX_ANSWERS", "no,no,no,no"}});
  ASSERT_TRUE(WaitReady());
  tvxtest::ProgramWindows windows(pid);
  ASSERT_TRUE(windows.Connected());
  tvxtest::ProgramWindow main;
  auto findMain = [&] {
    main = windows.Find("Tolvanix PDA");
    return main.id != 0;
  };
  ASSERT_TRUE(WaitFor(findMain)) << ReadFile(dir_ / "stderr");
  const tvxtest::ScreenRect screen = windows.Screen();
  // Without a window manager the window stands at the screen's top-left corner, away from its
  // middle; under one the user drags it there, to the right.
  if (tvxtest::WindowManagerRuns()) {
    const int x = screen.width - main.rect.width - 10;
    windows.Move(main, x, 10);
    ASSERT_TRUE(WaitFor([&] { return findMain() && main.rect.x > x - 20; }));
  }
  const tvxtest::ScreenRect windowed = main.rect;
  ASSERT_GT(std::abs(windowed.x + windowed.width / 2 - screen.width / 2), 100);

  // File > Wizard, "An area": the measurement covers the screen; the full-screen bar's end
  // button (the second) ends it.
  wxUIActionSimulator input;
  input.MouseMove(windowed.x + windowed.width / 2, windowed.y + windowed.height / 2);
  input.Char('f', wxMOD_ALT);
  ASSERT_TRUE(WaitFor([&] { return windows.PopupOpen(); }));
  input.Char('w');
  tvxtest::ProgramWindow wizard;
  ASSERT_TRUE(WaitFor([&] {
    wizard = windows.Find("Wizard");
    return wizard.id != 0;
  })) << ReadFile(dir_ / "stderr");
  input.MouseMove(wizard.rect.x + wizard.rect.width / 2, wizard.rect.y + wizard.rect.height / 2);
  input.Char(' ');  // "An area": the keys are on the first category as the sheet opens
  ASSERT_TRUE(WaitFor([&] {
    return findMain() && main.rect.x <= 0 && main.rect.y <= 0 && main.rect.width >= screen.width;
  })) << ReadFile(dir_ / "stderr");
  const tvxtest::ScreenRect endButton{120, screen.height - 70, 140, 70};
  ASSERT_TRUE(WaitFor([&] {
    const auto pixels = windows.Pixels(endButton);
    return std::count(pixels.begin(), pixels.end(), 0u) > 100;  // its black square
  })) << ReadFile(dir_ / "stderr");
  const auto unpointed = windows.Pixels(endButton);
  input.MouseMove(endButton.x + endButton.width / 2, endButton.y + endButton.height / 2);
  ASSERT_TRUE(WaitFor([&] { return windows.Pixels(endButton) != unpointed; }));
  input.MouseClick();

  tvxtest::ProgramWindow summary;
  ASSERT_TRUE(WaitFor([&] {
    summary = windows.Find("Summary");
    return summary.id != 0;
  })) << ReadFile(dir_ / "stderr");
  // Once the window manager has placed it.
  WaitFor([&] {
    const tvxtest::ProgramWindow now = windows.Find("Summary");
    const bool settled = now.rect == summary.rect;
    summary = now;
    return settled && findMain() && main.rect == windowed;
  }, 5s);
  EXPECT_TRUE(tvxtest::OpensOver(summary.rect, windowed, screen))
      << "summary at " << summary.rect << ", the program's window at " << windowed;

  // The summary and the wizard's last question closed from their title bars.
  for (int question = 0; question < 2; ++question) {
    tvxtest::ProgramWindow dialog;
    ASSERT_TRUE(WaitFor([&] {
      for (const tvxtest::ProgramWindow& w : windows.Shown()) {
        if (w.title != "Tolvanix PDA") dialog = w;
      }
      return dialog.id != 0;
    })) << question;
    windows.Close(dialog);
    ASSERT_TRUE(WaitFor([&] {
      const auto shown = windows.Shown();
      return std::none_of(shown.begin(), shown.end(), [&](const auto& w) { return w.id == dialog.id; });
    })) << question;
  }
  EXPECT_EQ(ExitThroughCommand(pid), 0) << ReadFile(dir_ / "stderr");
}

// The options file cannot be written (a folder stands in its place, which stops root too):
// the map view's values, stored as the program ends, are said not to be stored, once, in a box
// on the screen that the program waits on; Enter answers it and the exit goes on to code 0.
TEST_F(Startup, ExitWithAnOptionsFileThatCannotBeWrittenSaysSoOnceAndEnds) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  const fs::path file = dir_ / "config" / "registry.ini";
  fs::create_directories(file);
  pid_t pid = Start(program_, {{"G_DEBUG", "fatal-warnings"}});
  ASSERT_TRUE(WaitReady()) << ReadFile(dir_ / "stderr");
  tvxtest::ProgramWindows windows(pid);
  tvxtest::ProgramWindow main;
  ASSERT_TRUE(WaitFor([&] {
    main = windows.Find("Tolvanix PDA");
    return main.id != 0;
  })) << ReadFile(dir_ / "stderr");
  EXPECT_EQ(ReadFile(dir_ / "boxes"), "");  // nothing to store at the start

  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  tvxtest::ProgramWindow box;
  ASSERT_TRUE(WaitFor([&] {
    for (const tvxtest::ProgramWindow& w : windows.Shown())
      if (w.id != main.id && w.title == "Tolvanix PDA") box = w;
    return box.id != 0;
  })) << ReadFile(dir_ / "stderr");
  EXPECT_EQ(WaitExit(pid, 0ms), -1);  // the exit waits for the answer
  wxUIActionSimulator input;
  input.MouseMove(box.rect.x + box.rect.width / 2, box.rect.y + box.rect.height / 2);
  input.Char(WXK_RETURN);
  EXPECT_EQ(WaitExit(pid, 30s), 0) << ReadFile(dir_ / "stderr");
  EXPECT_EQ(ReadFile(dir_ / "boxes"), "Tolvanix PDA|The settings cannot be stored in " +
                                          file.string() + "; the file keeps the values it held.\n");
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(ToolkitComplaints(ReadFile(dir_ / "stderr")), "");
}

// A request to end (SIGTERM, as Ctrl+C's SIGINT) while a modal window is open: the modal
// windows are ended as their user would end them and the program ends through its exit
// command, as at any other moment: its save question when the work is modified (a cancelled
// question keeps it running), code 0, its options stored, never a crash. The windows are
// opened as a user opens them, with the keys and the pointer.
TEST_F(Startup, TerminationRequestedUnderAModalWindowEndsThroughTheExitCommand) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  const std::string title = "Tolvanix PDA";
  struct Session {
    tvxtest::ProgramWindows* windows;
    tvxtest::ProgramWindow main;
    wxUIActionSimulator input;
    tvxtest::ScreenRect screen;
  };
  auto pointAt = [](Session& s, const tvxtest::ScreenRect& r) {
    s.input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  };
  // A menu item by its mnemonics (Alt+menu, then the item's letters).
  auto menu = [&](Session& s, char letter, const std::string& items) {
    pointAt(s, s.main.rect);
    s.input.Char(letter, wxMOD_ALT);
    if (!WaitFor([&] { return s.windows->PopupOpen(); })) return false;
    for (char c : items) {
      if (c == '\n') s.input.Char(WXK_RETURN); else s.input.Char(c);
    }
    return true;
  };
  // Another top-level window of the program on the screen (a dialog, a box, a chooser).
  auto another = [&](Session& s, tvxtest::ProgramWindow* found = nullptr, std::size_t beyond = 1) {
    return WaitFor([&] {
      const auto shown = s.windows->Shown();
      if (shown.size() <= beyond) return false;
      for (const auto& w : shown)
        if (w.id != s.main.id && found) *found = w;
      return true;
    });
  };
  // The wizard's area measurement in full screen (as the user starts it from File > Wizard).
  auto wizard = [&](Session& s) {
    if (!menu(s, 'f', "w")) return false;
    tvxtest::ProgramWindow dialog;
    if (!WaitFor([&] {
          dialog = s.windows->Find("Wizard");
          return dialog.id != 0;
        }))
      return false;
    pointAt(s, dialog.rect);
    s.input.Char(' ');  // "An area": the keys are on the first category as the sheet opens
    return WaitFor([&] {
      s.main = s.windows->Find(title);
      return s.main.id && s.main.rect.x <= 0 && s.main.rect.y <= 0 && s.main.rect.width >= s.screen.width;
    });
  };
  // A button of the full-screen bar at the screen's foot (0 start/pause, 1 the next step),
  // clicked once drawn and showing the pointer over it.
  auto barButton = [&](Session& s, int index) {
    const tvxtest::ScreenRect button{index * 120, s.screen.height - 70, 120, 70};
    if (!WaitFor([&] {
          const auto pixels = s.windows->Pixels(button);
          return std::count(pixels.begin(), pixels.end(), 0u) > 100;
        }))
      return false;
    const auto unpointed = s.windows->Pixels(button);
    pointAt(s, button);
    if (!WaitFor([&] { return s.windows->Pixels(button) != unpointed; })) return false;
    s.input.MouseClick();
    return true;
  };
  // The start button twice: the first-fix wait (there is no receiver), then its "Waiting"
  // box over it.
  auto waitingBox = [&](Session& s) {
    if (!wizard(s) || !barButton(s, 0)) return false;
    // Pressed again until the wait answers with its box.
    return WaitFor([&] {
      s.input.MouseClick();
      tvxtest::ProgramWindow box;
      return WaitFor([&] { return s.windows->Shown().size() > 1; }, std::chrono::seconds(2));
    });
  };

  struct Case {
    const char* what;
    std::function<bool(Session&)> open;
    bool modified;  // an object is added first
    int cancels;    // save questions answered Cancel (then the program is asked again)
    int earlier = 0;  // save questions open when the program is asked to end
  };
  const Case cases[] = {
      {"the About box", [&](Session& s) { return menu(s, 'h', "a") && another(s); }, false, 0},
      {"the About box, the work modified", [&](Session& s) { return menu(s, 'h', "a") && another(s); },
       true, 0},
      {"the About box, the save question cancelled once", [&](Session& s) { return menu(s, 'h', "a") && another(s); },
       true, 1},
      {"the options sheet", [&](Session& s) { return menu(s, 't', "o") && another(s); }, true, 0},
      {"a message box (a language's notice)", [&](Session& s) { return menu(s, 't', "l\n") && another(s); },
       false, 0},
      {"the file chooser", [&](Session& s) { return menu(s, 'f', "o") && another(s); }, false, 0},
      // File > Open of modified work asks its save question first.
      {"the save question of File > Open", [&](Session& s) { return menu(s, 'f', "o") && another(s); }, true, 0, 1},
      {"the map's popup menu", [&](Session& s) {
         pointAt(s, s.main.rect);
         s.input.MouseDblClick();
         return WaitFor([&] { return s.windows->PopupOpen(); });
       }, true, 0},
      {"the wizard's summary", [&](Session& s) { return wizard(s) && barButton(s, 1) && another(s); }, false, 0},
      {"the first-fix wait's box", waitingBox, false, 0},
      {"the first-fix wait", [&](Session& s) {
         if (!waitingBox(s)) return false;
         tvxtest::ProgramWindow box;
         another(s, &box);
         s.windows->Close(box);
         return WaitFor([&] { return s.windows->Shown().size() == 1; });
       }, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(dir_ / "ready");
    fs::remove(dir_ / "boxes");
    fs::remove(dir_ / "stderr");
    store().SetPath("");
    fs::remove(dir_ / "config" / "registry.ini");
    store().SetPath((dir_ / "config" / "registry.ini").string());
    store().SetInt(kOptionsKey, "Notificaractiva", 0);  // no box for a new current object
    pid_t pid = Start(program_);
    ASSERT_TRUE(WaitReady()) << ReadFile(dir_ / "stderr");
    tvxtest::ProgramWindows windows(pid);
    ASSERT_TRUE(windows.Connected());
    Session s{&windows, {}, {}, windows.Screen()};
    ASSERT_TRUE(WaitFor([&] {
      s.main = windows.Find(title);
      return s.main.id != 0;
    }));
    if (c.modified) {
      // Objects > New object..., its name taken with OK (the key goes from the name to OK):
      // a new feature.
      ASSERT_TRUE(menu(s, 'o', "n"));
      tvxtest::ProgramWindow dialog;
      ASSERT_TRUE(another(s, &dialog));
      pointAt(s, dialog.rect);
      s.input.Char(WXK_TAB);
      s.input.Char(' ');
      ASSERT_TRUE(WaitFor([&] { return windows.Shown().size() == 1; })) << ReadFile(dir_ / "stderr");
    }
    ASSERT_TRUE(c.open(s)) << ReadFile(dir_ / "stderr");
    ASSERT_EQ(WaitExit(pid, 0ms), -1);
    // The save question: a new box of the program's caption beside the main window (not one
    // open when the program was asked to end), answered with the keys (Escape cancels, Alt+N
    // is its No).
    std::set<unsigned long> before;
    for (const auto& w : windows.Shown()) before.insert(w.id);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    auto question = [&] {
      tvxtest::ProgramWindow box;
      EXPECT_TRUE(WaitFor([&] {
        for (const auto& w : windows.Shown())
          if (w.title == title && !before.count(w.id)) box = w;
        return box.id != 0;
      })) << ReadFile(dir_ / "stderr");
      before.insert(box.id);
      return box;
    };
    // A row that failed leaves no program behind for the next (a second copy would only
    // raise it).
    struct Ended {
      std::function<void()> end;
      ~Ended() { end(); }
    } ended{[&, pid] {
      if (WaitExit(pid, 0ms) == -1) {
        ::kill(pid, SIGKILL);
        WaitExit(pid, 10s);
      }
    }};
    for (int cancel = 0; c.modified && cancel < c.cancels; ++cancel) {
      const tvxtest::ProgramWindow box = question();
      pointAt(s, box.rect);
      s.input.Char(WXK_ESCAPE);
      ASSERT_TRUE(WaitFor([&] { return windows.Shown().size() == 1; }));
      // The program goes on with its work; asked again, it asks again.
      ASSERT_EQ(WaitExit(pid, 0ms), -1);
      ASSERT_NE(windows.Find(title).id, 0u);
      ASSERT_EQ(::kill(pid, SIGTERM), 0);
    }
    if (c.modified) {
      const tvxtest::ProgramWindow box = question();
      pointAt(s, box.rect);
      s.input.Char('n', wxMOD_ALT);
    }
    EXPECT_EQ(WaitExit(pid, 30s), 0) << ReadFile(dir_ / "stderr");
    const std::string boxes = ReadFile(dir_ / "boxes");
    int questions = 0;
    for (std::size_t at = 0; (at = boxes.find("Save changes", at)) != std::string::npos; ++at) ++questions;
    EXPECT_EQ(questions, c.earlier + (c.modified ? c.cancels + 1 : 0)) << boxes;
    EXPECT_TRUE(store().GetInt(kOptionsKey, "Zoombar").has_value());
  }
}

}  // namespace
