#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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
