#include "platform/cmd_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class BaseTarget : public CCmdTarget {
 public:
  std::vector<std::string> calls;
  void OnShared() { calls.push_back("base shared"); }
  void OnBaseOnly() { calls.push_back("base only"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseTarget, CCmdTarget)
  ON_COMMAND(100, &BaseTarget::OnShared)
  ON_COMMAND(101, &BaseTarget::OnBaseOnly)
END_MESSAGE_MAP()

class DerivedTarget : public BaseTarget {
 public:
  void OnShared() { calls.push_back("derived shared"); }
  void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }
  void OnUpdateRange(CCmdUI* ui) {
    ui->SetCheck(ui->m_nID == 205);
    ui->Enable(ui->m_nID != 207);
    ui->SetText("item " + std::to_string(ui->m_nID));
  }
  void OnTimer(UINT_PTR id) { calls.push_back("timer " + std::to_string(id)); }
  void OnClose() { calls.push_back("close"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedTarget, BaseTarget)
  ON_COMMAND(100, &DerivedTarget::OnShared)
  ON_COMMAND_RANGE(200, 210, &DerivedTarget::OnRange)
  ON_UPDATE_COMMAND_UI_RANGE(205, 207, &DerivedTarget::OnUpdateRange)
  ON_WM_TIMER()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesStillRoute) {
  DerivedTarget t;
  EXPECT_TRUE(t.OnCmdMsg(100, CN_COMMAND, nullptr));
  EXPECT_TRUE(t.OnCmdMsg(101, CN_COMMAND, nullptr));
  EXPECT_TRUE(t.OnCmdMsg(203, CN_COMMAND, nullptr));
  EXPECT_FALSE(t.OnCmdMsg(211, CN_COMMAND, nullptr));
  EXPECT_EQ(t.calls, (std::vector<std::string>{"derived shared", "base only", "range 203"}));
}

TEST(MessageMap, WindowMessagesAndCommandsThroughWindowProc) {
  DerivedTarget t;
  t.WindowProc(WM_COMMAND, MAKEWPARAM(101, 0), 0);
  t.WindowProc(WM_TIMER, 3, 0);
  t.WindowProc(WM_CLOSE, 0, 0);
  t.WindowProc(WM_USER + 5, 0, 0);  // no entry: ignored
  EXPECT_EQ(t.calls, (std::vector<std::string>{"base only", "timer 3", "close"}));
}

TEST(CommandUpdate, HandlersSetStateAndUnhandledCommandsFollowTheirHandler) {
  DerivedTarget t;
  struct Case {
    UINT id;
    std::optional<bool> enabled;
    std::optional<int> checked;
    bool answered;
  };
  const Case cases[] = {
      {205, true, 1, true},                  // update handler: enabled and checked
      {207, false, 0, true},                 // update handler disables
      {101, true, std::nullopt, false},      // command handler only: enabled
      {300, false, std::nullopt, false},     // no handler at all: disabled
  };
  for (const Case& c : cases) {
    CCmdUI ui(c.id);
    EXPECT_EQ(ui.DoUpdate(&t, TRUE) != FALSE, c.answered) << c.id;
    EXPECT_EQ(ui.enabled, c.enabled) << c.id;
    EXPECT_EQ(ui.checked, c.checked) << c.id;
  }
  CCmdUI keep(300);
  keep.DoUpdate(&t, FALSE);
  EXPECT_FALSE(keep.enabled.has_value());
  EXPECT_TRUE(t.calls.empty());  // updates and queries never run commands
}

}  // namespace
