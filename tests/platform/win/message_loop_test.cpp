#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "win_test_support.h"

// Posts from other threads and timers are what the saver and the configuration
// dialog run on, and their own tests see them; here the loop's finer rules.

namespace {

std::thread::id seenOn;
int destroys = 0;

LRESULT AnsweringProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  // A procedure that destroys its window again on WM_DESTROY starts no second teardown.
  if (message == WM_DESTROY && ++destroys < 3) DestroyWindow(window);
  if (message != WM_USER + 9) return DefWindowProc(window, message, wParam, lParam);
  seenOn = std::this_thread::get_id();
  return static_cast<LRESULT>(wParam * 2);
}

class MessageLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ClearLog();
    window_ = CreateWindowEx(0, TestClass(), "queue", WS_POPUP, 0, 0, 50, 50, 0);
    ASSERT_NE(window_, 0u);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  HWND window_ = 0;
};

TEST_F(MessageLoop, QuitEndsTheLoopWithItsCodeAfterWhatWasPostedBefore) {
  PostMessage(window_, WM_USER, 1, 0);
  PostQuitMessage(42);
  MSG message;
  ASSERT_EQ(GetMessage(&message, 0, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER);
  ASSERT_EQ(GetMessage(&message, 0, 0, 0), 0);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam, 42u);
  // The quit request is used up: the next loop runs normally.
  PostMessage(window_, WM_USER + 5, 0, 0);
  ASSERT_EQ(GetMessage(&message, 0, 0, 0), 1);
  EXPECT_EQ(message.message, WM_USER + 5);
}

TEST_F(MessageLoop, SendFromAnotherThreadRunsOnTheWindowThreadAndWaits) {
  static bool registered = RegisterClass(WNDCLASS{0, AnsweringProc, "QuellarAnswering"});
  (void)registered;
  HWND answering = CreateWindowEx(0, "QuellarAnswering", "", WS_POPUP, 0, 0, 10, 10, 0);
  ASSERT_NE(answering, 0u);
  std::atomic<LRESULT> result{-1};
  std::thread sender([&] { result = SendMessage(answering, WM_USER + 9, 21, 0); });
  EXPECT_TRUE(PumpUntil([&] { return result != -1; }));
  sender.join();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(seenOn, std::this_thread::get_id());
  // On the window thread itself the call is direct.
  EXPECT_EQ(SendMessage(answering, WM_USER + 9, 5, 0), 10);
  destroys = 0;
  EXPECT_TRUE(DestroyWindow(answering));
  EXPECT_EQ(destroys, 1);
  EXPECT_FALSE(IsWindow(answering));
}

// Killing a timer stops it alone: another window's timer of the same id goes on.
TEST_F(MessageLoop, KillTimerStopsOnlyThatTimer) {
  HWND other = CreateWindowEx(0, TestClass(), "other", WS_POPUP, 0, 0, 10, 10, 0);
  ASSERT_NE(SetTimer(window_, 7, 20), 0u);
  ASSERT_NE(SetTimer(other, 7, 20), 0u);
  EXPECT_TRUE(KillTimer(window_, 7));
  EXPECT_FALSE(KillTimer(window_, 7));
  ClearLog();
  PumpUntil([] { return false; }, 150);
  auto timers = Log(WM_TIMER);
  EXPECT_FALSE(timers.empty());
  for (const Recorded& r : timers) EXPECT_EQ(r.window, other);
  DestroyWindow(other);
}

TEST_F(MessageLoop, PeekCanLeaveOrTakeAndFilters) {
  PostMessage(window_, WM_USER + 1, 0, 0);
  PostMessage(window_, WM_USER + 2, 0, 0);
  MSG message;
  ASSERT_TRUE(PeekMessage(&message, window_, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_USER + 2);
  ASSERT_TRUE(PeekMessage(&message, window_, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&message, window_, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&message, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 1);
}

TEST_F(MessageLoop, MessagesForADestroyedWindowAreDropped) {
  HWND doomed = CreateWindowEx(0, TestClass(), "doomed", WS_POPUP, 0, 0, 10, 10, 0);
  ASSERT_NE(doomed, 0u);
  PostMessage(doomed, WM_USER + 3, 0, 0);
  SetTimer(doomed, 1, 10);
  ASSERT_TRUE(DestroyWindow(doomed));
  EXPECT_FALSE(DestroyWindow(doomed));
  PumpUntil([] { return false; }, 100);
  for (const Recorded& r : Log()) {
    if (r.window != doomed) continue;
    EXPECT_TRUE(r.message == WM_CREATE || r.message == WM_DESTROY) << r.message;
  }
}

}  // namespace
