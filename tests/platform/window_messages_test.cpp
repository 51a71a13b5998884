#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "platform/cmd_target.h"
#include "platform/threads.h"

namespace {

UINT WM_TEST_REFRESH = RegisterWindowMessage("WM_TEST_REFRESH");

class RecordingView : public CCmdTarget {
 public:
  LRESULT OnRefresh(WPARAM w, LPARAM l) {
    deliveries.push_back({std::this_thread::get_id(), w, l});
    return 7;
  }
  struct Delivery {
    std::thread::id thread;
    WPARAM w;
    LPARAM l;
  };
  std::vector<Delivery> deliveries;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingView, CCmdTarget)
  ON_REGISTERED_MESSAGE(WM_TEST_REFRESH, &RecordingView::OnRefresh)
END_MESSAGE_MAP()

TEST(RegisteredMessages, OneNumberPerNameAcrossThreads) {
  constexpr int kThreads = 8;
  std::vector<UINT> got(kThreads * 3);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      got[t * 3 + 0] = RegisterWindowMessage("WM_REFRESH_GPS");
      got[t * 3 + 1] = RegisterWindowMessage("WM_DIBUJAR_CAMPOS");
      got[t * 3 + 2] = RegisterWindowMessage("wm_refresh_gps");  // case does not matter
    });
  }
  for (auto& t : threads) t.join();
  std::set<UINT> distinct(got.begin(), got.end());
  EXPECT_EQ(distinct.size(), 2u);
  for (UINT m : distinct) {
    EXPECT_GE(m, 0xC000u);
    EXPECT_LE(m, 0xFFFFu);
  }
  EXPECT_EQ(RegisterWindowMessage("WM_REFRESH_GPS"), got[0]);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

// The GPS reader's path: a worker posts, the user-interface thread delivers.
TEST(PostMessage, FromWorkerReachesViewOnUserInterfaceThread) {
  platform::SetUiThread();
  RecordingView view;
  HWND hwnd = platform::AttachWindow(&view);
  HANDLE worker = CreateThread([hwnd] {
    for (int i = 0; i < 5; ++i) PostMessage(hwnd, WM_TEST_REFRESH, i, -i);
    return DWORD{0};
  });
  ASSERT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
  CloseHandle(worker);
  EXPECT_TRUE(view.deliveries.empty());  // nothing runs until the UI thread pumps
  EXPECT_EQ(platform::PumpMessages(), 5u);
  ASSERT_EQ(view.deliveries.size(), 5u);
  for (size_t i = 0; i < view.deliveries.size(); ++i) {
    EXPECT_EQ(view.deliveries[i].thread, std::this_thread::get_id());
    EXPECT_EQ(view.deliveries[i].w, i);
    EXPECT_EQ(view.deliveries[i].l, -static_cast<LPARAM>(i));
  }
  platform::DetachWindow(hwnd);
}

TEST(PostMessage, DeadWindowIsANoOp) {
  platform::SetUiThread();
  RecordingView view;
  HWND hwnd = platform::AttachWindow(&view);
  EXPECT_TRUE(PostMessage(hwnd, WM_TEST_REFRESH, 1, 0));
  platform::DetachWindow(hwnd);  // the window goes while its message is queued
  EXPECT_FALSE(PostMessage(hwnd, WM_TEST_REFRESH, 2, 0));
  EXPECT_FALSE(IsWindow(hwnd));
  platform::PumpMessages();
  EXPECT_TRUE(view.deliveries.empty());
  EXPECT_FALSE(PostMessage(nullptr, WM_TEST_REFRESH, 0, 0));
}

TEST(SendMessage, FromWorkerWaitsForTheUserInterfaceThread) {
  platform::SetUiThread();
  RecordingView view;
  HWND hwnd = platform::AttachWindow(&view);
  EXPECT_EQ(SendMessage(hwnd, WM_TEST_REFRESH, 9, 9), 7);  // on the UI thread: at once
  std::atomic<LRESULT> result{0};
  HANDLE worker = CreateThread([&] {
    result = SendMessage(hwnd, WM_TEST_REFRESH, 3, 4);
    return DWORD{0};
  });
  while (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT) platform::WaitAndPumpMessages(10);
  CloseHandle(worker);
  EXPECT_EQ(result.load(), 7);
  ASSERT_EQ(view.deliveries.size(), 2u);
  EXPECT_EQ(view.deliveries[1].thread, std::this_thread::get_id());
  EXPECT_EQ(view.deliveries[1].w, 3u);
  platform::DetachWindow(hwnd);
}

}  // namespace
