#include "platform/message_box.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/wait_cursor.h"

namespace {

TEST(MessageBoxScript, AnswersInOrderAndRecordsWhatWasShown) {
  platform::MessageBoxScript::Clear();
  platform::MessageBoxScript::Push(IDNO);
  platform::MessageBoxScript::Push(IDCANCEL);
  EXPECT_EQ(MessageBox(nullptr, "Save?", "Tolvanix PDA", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Really?", "Tolvanix PDA", MB_OKCANCEL | MB_ICONEXCLAMATION), IDCANCEL);
  // Script empty and no window system: the default answer of the style.
  EXPECT_EQ(MessageBox(nullptr, "Note", "Tolvanix PDA", MB_OK), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "Keep?", "Tolvanix PDA", MB_YESNO), IDYES);

  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].text, "Save?");
  EXPECT_EQ(shown[0].answer, IDNO);
  EXPECT_EQ(shown[1].style, MB_OKCANCEL | MB_ICONEXCLAMATION);
  EXPECT_EQ(shown[3].caption, "Tolvanix PDA");
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

TEST(MessageBoxScript, BackendIsUsedOnlyWithoutScriptedAnswer) {
  platform::MessageBoxScript::Clear();
  int calls = 0;
  platform::SetMessageBoxBackend([&](HWND, const std::string&, const std::string&, UINT) {
    ++calls;
    return IDNO;
  });
  platform::MessageBoxScript::Push(IDYES);
  EXPECT_EQ(MessageBox(nullptr, "a", "c", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "b", "c", MB_YESNO), IDNO);
  EXPECT_EQ(calls, 1);
  platform::SetMessageBoxBackend(nullptr);
  platform::MessageBoxScript::Clear();
}

TEST(MessageBoxScript, WorkerThreadsMayShowBoxes) {
  platform::MessageBoxScript::Clear();
  std::thread t([] {
    for (int i = 0; i < 20; ++i) MessageBox(nullptr, "from worker", "x", MB_OK);
  });
  for (int i = 0; i < 20; ++i) MessageBox(nullptr, "from ui", "x", MB_OK);
  t.join();
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 40u);
}

// The wait cursor while boxes are answered in the middle of waits, whatever order the waits
// and the boxes end in (a wait that ends while its box is open, a second box shown then): the
// cursor is up exactly while a wait runs that no open box began after, and the toolkit is
// asked to show and hide it in pairs, so that it is down once every wait has ended.
int g_shows = 0, g_hides = 0;

TEST(WaitCursor, UpWhileAWaitRunsThatNoBoxOpenedSinceHoldsDown) {
  struct Step {
    std::string what;  // "+w1" a wait begins, "-w1" it ends, "+b1" a box opens, "-b1" it closes
    bool up;           // the cursor afterwards
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"the wait ends while its box is open",
       {{"+w1", true}, {"+b1", false}, {"-w1", false}, {"-b1", false}}},
      {"the wait ends in its box and says so in another",
       {{"+w1", true}, {"+b1", false}, {"-w1", false}, {"+b2", false}, {"-b2", false}, {"-b1", false}}},
      {"the box is answered, then the wait ends",
       {{"+w1", true}, {"+b1", false}, {"-b1", true}, {"-w1", false}}},
      {"work begun from a box shows its wait",
       {{"+b1", false}, {"+w1", true}, {"-w1", false}, {"-b1", false}}},
      {"an outer wait goes on after an inner one ended in a box",
       {{"+w1", true}, {"+w2", true}, {"+b1", false}, {"-w2", false}, {"-b1", true}, {"-w1", false}}},
      {"a box outlives the wait begun inside it",
       {{"+w1", true}, {"+b1", false}, {"+w2", true}, {"-b1", true}, {"-w2", true}, {"-w1", false}}},
  };
  platform::SetWaitCursorBackend({[] { ++g_shows; }, [] { ++g_hides; }});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_shows = g_hides = 0;
    std::map<std::string, std::optional<platform::WaitCursor>> waits;
    std::map<std::string, std::optional<platform::WaitCursorPause>> boxes;
    for (const Step& step : c.steps) {
      const std::string name = step.what.substr(1);
      const bool begins = step.what[0] == '+';
      if (name[0] == 'w') {
        if (begins) waits[name].emplace(); else waits[name].reset();
      } else {
        if (begins) boxes[name].emplace(); else boxes[name].reset();
      }
      EXPECT_EQ(platform::WaitCursorShowing(), step.up) << step.what;
      EXPECT_EQ(g_shows - g_hides, step.up ? 1 : 0) << step.what;
    }
  }
  platform::SetWaitCursorBackend({});
}

}  // namespace

namespace {

// A save or open dialog answered from the script as the real one answers: the name completed
// with the dialog's extension, the replace question for every file the save writes over, No
// keeping the dialog for the next answer, and answers the real dialog cannot give refused.
TEST(FileDialogScript, AnswersAsTheRealDialogAndRefusesWhatItCannotGive) {
  const std::filesystem::path d =
      std::filesystem::temp_directory_path() / ("tvx_file_dialog_" + std::to_string(::getpid()));
  std::filesystem::remove_all(d);
  std::filesystem::create_directories(d / "folder.kml");
  std::ofstream(d / "keep.kml") << "own";
  std::ofstream(d / "old.dbf") << "own";
  std::filesystem::create_symlink(d / "elsewhere.kml", d / "link.kml");
  const std::string D = d.string();
  using platform::ReplaceAnswer;
  const auto shapefile = [](const std::string& path) {
    const std::string base = path.substr(0, path.size() - 4);
    return std::vector<std::string>{base + ".shp", base + ".shx", base + ".dbf"};
  };
  struct Answer {
    std::string path;
    ReplaceAnswer replace = ReplaceAnswer::NotAsked;
  };
  struct Shown {
    std::string answer;
    std::vector<std::string> asked = {};
    bool refused = false;
    bool operator==(const Shown&) const = default;
  };
  const struct {
    const char* what;
    bool open;
    const char* extension;
    std::vector<Answer> answers;
    std::string result;
    std::vector<Shown> shown;
    bool shapefile = false;
  } cases[] = {
      {"completed", false, "kml", {{D + "/new"}}, D + "/new.kml", {{D + "/new.kml"}}},
      {"another extension", false, "kml", {{D + "/new.v2"}}, D + "/new.v2.kml", {{D + "/new.v2.kml"}}},
      {"its own, any case", false, "kml", {{D + "/new.KML"}}, D + "/new.KML", {{D + "/new.KML"}}},
      {"replaced", false, "kml", {{D + "/keep", ReplaceAnswer::Yes}}, D + "/keep.kml",
       {{D + "/keep.kml", {D + "/keep.kml"}}}},
      {"No, then another name", false, "kml", {{D + "/keep", ReplaceAnswer::No}, {D + "/other"}},
       D + "/other.kml", {{"", {D + "/keep.kml"}}, {D + "/other.kml"}}},
      {"No, then nothing more", false, "kml", {{D + "/keep", ReplaceAnswer::No}}, "",
       {{"", {D + "/keep.kml"}}}},
      {"a link is replaced too", false, "kml", {{D + "/link", ReplaceAnswer::Yes}}, D + "/link.kml",
       {{D + "/link.kml", {D + "/link.kml"}}}},
      {"a folder is not a file replaced", false, "kml", {{D + "/folder"}}, D + "/folder.kml",
       {{D + "/folder.kml"}}},
      {"every file the save writes", false, "shp", {{D + "/old", ReplaceAnswer::No}, {""}}, "",
       {{"", {D + "/old.dbf"}}, {""}}, true},
      {"question left unanswered", false, "kml", {{D + "/keep"}}, "", {{"", {D + "/keep.kml"}, true}}},
      {"question that does not come", false, "kml", {{D + "/new", ReplaceAnswer::Yes}}, "",
       {{"", {}, true}}},
      {"relative path", false, "kml", {{"new"}}, "", {{"", {}, true}}},
      {"missing folder", false, "kml", {{D + "/missing/new"}}, "", {{"", {}, true}}},
      {"a folder chosen", false, "kml", {{D}}, "", {{"", {}, true}}},
      {"cancelled", false, "kml", {{""}}, "", {{""}}},
      {"open", true, "kml", {{D + "/keep.kml"}}, D + "/keep.kml", {{D + "/keep.kml"}}},
      {"open of a missing file", true, "kml", {{D + "/new.kml"}}, "", {{"", {}, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::FileDialogScript::Clear();
    for (const Answer& a : c.answers) platform::FileDialogScript::Push(a.path, a.replace);
    platform::FileDialogRequest request;
    request.open = c.open;
    request.defaultExtension = c.extension;
    if (c.shapefile) request.filesWritten = shapefile;
    EXPECT_EQ(platform::ShowFileDialog(request), c.result);
    std::vector<Shown> shown;
    for (const platform::ShownFileDialog& s : platform::FileDialogScript::TakeShown()) {
      shown.push_back({s.answer, s.replaceAsked, !s.refused.empty()});
    }
    EXPECT_EQ(shown, c.shown);
  }
  platform::FileDialogScript::Clear();
  EXPECT_EQ(platform::ReplaceQuestion({D + "/a.shp", D + "/a.dbf"}),
            "These files already exist in \"" + D + "\":\na.shp\na.dbf\nDo you want to replace them?");
  std::filesystem::remove_all(d);
}

}  // namespace
