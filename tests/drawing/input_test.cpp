// Mouse, keys, capture, tap and hold and painting of custom child windows, driven through
// the same translation the desktop's events take.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>
#include <vector>

#include "platform/ui/input.h"
#include "tests/support/wx_test_environment.h"

using platform::ui::MouseAction;
using platform::ui::SimulateMouse;

namespace {

std::vector<std::string> g_log;

class Probe : public CCustomWnd {
 public:
  COLORREF fill = RGB(0, 128, 0);
  int paints = 0;
  CRect lastClip;

  void OnDraw(CDC* dc) override {
    ++paints;
    dc->GetClipBox(&lastClip);
    dc->FillSolidRect(&lastClip, fill);
  }
  void OnLButtonDown(UINT flags, CPoint p) {
    g_log.push_back("down " + std::to_string(p.x) + "," + std::to_string(p.y) + " f" +
                    std::to_string(flags) + (GetKeyState(VK_SHIFT) < 0 ? " shift" : ""));
    if (captureOnDown) SetCapture();
  }
  void OnLButtonUp(UINT, CPoint p) {
    g_log.push_back("up " + std::to_string(p.x) + "," + std::to_string(p.y));
    if (GetCapture() == this) ReleaseCapture();
  }
  void OnMouseMove(UINT, CPoint p) {
    g_log.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void OnKeyDown(UINT key, UINT, UINT) { g_log.push_back("key " + std::to_string(key)); }
  void OnChar(UINT ch, UINT, UINT) { g_log.push_back("char " + std::to_string(ch)); }
  void OnContextMenu(CWnd*, CPoint screen) {
    g_log.push_back("context " + std::to_string(screen.x) + "," + std::to_string(screen.y));
  }
  void OnCaptureChanged(CWnd*) { g_log.push_back("capture lost"); }
  bool captureOnDown = false;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, CCustomWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_CONTEXTMENU()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

// The parent takes the hold notification of control 77 only.
class Parent : public CWnd {
 public:
  void OnHold77(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMRGINFO*>(header);
    g_log.push_back("notify " + std::to_string(header->idFrom) + " at " +
                    std::to_string(info->ptAction.x) + "," + std::to_string(info->ptAction.y));
    *result = 1;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Parent, CWnd)
  ON_NOTIFY(GN_CONTEXTMENU, 77, &Parent::OnHold77)
END_MESSAGE_MAP()

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    g_log.clear();
    frame = new wxFrame(nullptr, wxID_ANY, "input", wxPoint(50, 50), wxSize(300, 200));
    parent.Attach(frame);
    ASSERT_TRUE(left.Create(&parent, CRect(0, 0, 100, 80), 77));
    ASSERT_TRUE(right.Create(&parent, CRect(120, 0, 220, 80), 78));
    frame->Show();
    tvxtest::PumpUntil([&] { return left.paints > 0 && right.paints > 0; });
  }
  void TearDown() override {
    if (frame) frame->Destroy();
    tvxtest::PumpUntil([] { return true; });
  }
  wxFrame* frame = nullptr;
  Parent parent;
  Probe left, right;
};

TEST_F(InputTest, MouseAndKeysReachTheMapInClientPixels) {
  SimulateMouse(&left, MouseAction::LeftDown, CPoint(5, 6), MK_SHIFT);
  SimulateMouse(&left, MouseAction::Move, CPoint(7, 8));
  SimulateMouse(&left, MouseAction::LeftUp, CPoint(7, 8));
  platform::ui::SimulateKey(&left, 'A');
  platform::ui::SimulateKey(&left, VK_LEFT);
  std::vector<std::string> expected = {
      "down 5,6 f" + std::to_string(MK_LBUTTON | MK_SHIFT) + " shift", "move 7,8", "up 7,8",
      "key 65", "char 97", "key 37"};
  EXPECT_EQ(g_log, expected);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "the modifier went with its message";
}

TEST_F(InputTest, TheCapturingWindowGetsMovesOverOthersInItsOwnPixels) {
  left.captureOnDown = true;
  SimulateMouse(&left, MouseAction::LeftDown, CPoint(10, 10));
  EXPECT_EQ(GetCapture(), &left);
  SimulateMouse(&right, MouseAction::Move, CPoint(5, 5));
  SimulateMouse(&right, MouseAction::LeftUp, CPoint(6, 5));
  EXPECT_EQ(GetCapture(), nullptr);
  std::vector<std::string> expected = {"down 10,10 f1", "move 125,5", "up 126,5", "capture lost"};
  EXPECT_EQ(g_log, expected);
}

TEST_F(InputTest, HeldStylusNotifiesTheParentOrElseAsksTheWindowForItsMenu) {
  CPoint screen(10, 12);
  left.ClientToScreen(&screen);
  SimulateMouse(&left, MouseAction::LeftDown, CPoint(10, 12));
  platform::ui::SimulateHoldElapsed();
  SimulateMouse(&left, MouseAction::LeftUp, CPoint(10, 12));
  ASSERT_EQ(g_log.size(), 2u);
  EXPECT_EQ(g_log[1], "notify 77 at " + std::to_string(screen.x) + "," + std::to_string(screen.y));

  g_log.clear();
  CPoint screen2(3, 4);
  right.ClientToScreen(&screen2);
  SimulateMouse(&right, MouseAction::LeftDown, CPoint(3, 4));
  SimulateMouse(&right, MouseAction::Move, CPoint(5, 6));  // within the slop
  platform::ui::SimulateHoldElapsed();
  SimulateMouse(&right, MouseAction::LeftUp, CPoint(5, 6));
  std::vector<std::string> expected = {
      "down 3,4 f1", "move 5,6", "context " + std::to_string(screen2.x) + "," + std::to_string(screen2.y)};
  EXPECT_EQ(g_log, expected) << "no notification handler for 78; the button-up is swallowed";

  g_log.clear();
  SimulateMouse(&right, MouseAction::LeftDown, CPoint(3, 4));
  SimulateMouse(&right, MouseAction::Move, CPoint(20, 4));  // wandered off: an ordinary press
  platform::ui::SimulateHoldElapsed();
  SimulateMouse(&right, MouseAction::LeftUp, CPoint(20, 4));
  EXPECT_EQ(g_log.back(), "up 20,4");
}

TEST_F(InputTest, PaintingGoesThroughTheBackingAndClientDcsReadIt) {
  {
    CClientDC dc(&left);
    EXPECT_EQ(dc.GetPixel(50, 40), left.fill);
    dc.SetPixel(3, 3, RGB(255, 0, 0));
  }
  {
    CClientDC again(&left);
    EXPECT_EQ(again.GetPixel(3, 3), RGB(255, 0, 0)) << "drawn outside painting, kept";
  }
  int before = left.paints;
  left.fill = RGB(0, 0, 255);
  CRect part(10, 10, 30, 20);
  left.InvalidateRect(&part, FALSE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return left.paints > before; }));
  EXPECT_EQ(left.lastClip, part);
  CClientDC dc(&left);
  EXPECT_EQ(dc.GetPixel(15, 15), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(50, 40), RGB(0, 128, 0)) << "outside the invalid part stays";
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(255, 0, 0));
}

}  // namespace
