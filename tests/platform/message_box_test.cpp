#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
