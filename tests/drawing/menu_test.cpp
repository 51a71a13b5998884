// Popup menus answered from the script: what the owner receives and what was offered.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>
#include <vector>

#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "tests/support/wx_test_environment.h"

namespace {

class Owner : public CCustomWnd {
 public:
  std::vector<UINT> commands;
  int menuLoops = 0;
  void OnNavigate() { commands.push_back(32813); }
  void OnDelete() { commands.push_back(32814); }
  void OnExitMenuLoop(BOOL) { ++menuLoops; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Owner, CCustomWnd)
  ON_COMMAND(32813, &Owner::OnNavigate)
  ON_COMMAND(32814, &Owner::OnDelete)
  ON_WM_EXITMENULOOP()
END_MESSAGE_MAP()

class PopupMenuTest : public tvxtest::ModuleWindowTest {
 protected:
  PopupMenuTest() : ModuleWindowTest(kModule.c_str()) {}
  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped()) return;
    platform::PopupMenuScript::Clear();
    frame = new wxFrame(nullptr, wxID_ANY, "menus");
    ASSERT_TRUE(owner.Create(frame, CRect(0, 0, 100, 100), 200));
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING | MF_GRAYED, 32812, "WP 1");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 32813, "Navegar");
    menu.AppendMenu(MF_STRING, 32814, "Borrar");
  }
  void TearDown() override {
    if (frame) frame->Destroy();
    ModuleWindowTest::TearDown();
  }
  static inline const std::string kModule = std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll";
  wxFrame* frame = nullptr;
  Owner owner;
  CMenu menu;
};

TEST_F(PopupMenuTest, ChosenCommandGoesToTheOwnerOrIsReturned) {
  platform::PopupMenuScript::Push(32814);
  platform::PopupMenuScript::Push(32813);
  platform::PopupMenuScript::Push(32812);  // grayed: a dismissal
  platform::PopupMenuScript::Push(0);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_LEFTALIGN, 40, 50, &owner), static_cast<UINT>(TRUE));
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 40, 50, &owner), 32813u);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 40, 50, &owner), 0u);
  EXPECT_EQ(menu.TrackPopupMenu(0, 40, 50, &owner), static_cast<UINT>(FALSE));
  EXPECT_EQ(owner.commands, std::vector<UINT>{32814}) << "only the routed choice arrives";
  EXPECT_EQ(owner.menuLoops, 4);

  auto shown = platform::PopupMenuScript::TakeShown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].owner, owner.m_hWnd);
  EXPECT_EQ(shown[0].x, 40);
  ASSERT_EQ(shown[0].items.size(), 4u);
  EXPECT_EQ(shown[0].items[0].text, "WP 1");
  EXPECT_TRUE(shown[0].items[0].flags & MF_GRAYED);
  EXPECT_TRUE(shown[0].items[1].flags & MF_SEPARATOR);
  EXPECT_TRUE(shown[0].items[2].flags & MF_CHECKED);
  EXPECT_EQ(shown[2].answer, 0u);
}

TEST_F(PopupMenuTest, ItemStatesChangeAndAnswerTheirPreviousState) {
  EXPECT_EQ(menu.CheckMenuItem(32813, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(menu.CheckMenuItem(32813, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(menu.EnableMenuItem(32812, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(menu.CheckMenuItem(99, MF_CHECKED), kMenuNoItem);
  EXPECT_EQ(menu.GetMenuItemID(1), 0u);
  EXPECT_TRUE(menu.DeleteMenu(32812, MF_BYCOMMAND));
  EXPECT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_EQ(menu.GetMenuString(0, MF_BYPOSITION), "");  // the separator moved up
  platform::PopupMenuScript::Push(32813);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 32813u);
}

TEST_F(PopupMenuTest, MenuResourceLoadsAsSubmenus) {
  CMenu bar;
  ASSERT_TRUE(bar.LoadMenu(174));
  ASSERT_GT(bar.GetMenuItemCount(), 0);
  CMenu* first = bar.GetSubMenu(0);
  ASSERT_NE(first, nullptr);
  EXPECT_GT(first->GetMenuItemCount(), 0);
  // A change through the submenu shows in what is tracked.
  UINT id = 0;
  for (int i = 0; i < first->GetMenuItemCount() && !id; ++i) {
    UINT candidate = first->GetMenuItemID(i);
    if (candidate != 0 && candidate != kMenuNoItem) id = candidate;
  }
  ASSERT_NE(id, 0u);
  first->EnableMenuItem(id, MF_GRAYED);
  EXPECT_TRUE(bar.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED);
  platform::PopupMenuScript::Push(id);
  EXPECT_EQ(first->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 0u) << "grayed now";
}

}  // namespace
