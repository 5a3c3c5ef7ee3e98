#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win/cursor.h"
#include "win_test_support.h"

namespace {

std::thread::id seenOn;

LRESULT AnsweringProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_USER + 9) return DefWindowProc(window, message, wParam, lParam);
  seenOn = std::this_thread::get_id();
  return static_cast<LRESULT>(wParam * 2);
}

class MessageLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    MessageLog::Get().Clear();
    window_ = CreateWindowEx(0, TestClass(), "queue", WS_POPUP, 0, 0, 50, 50, 0);
    ASSERT_NE(window_, 0u);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  HWND window_ = 0;
};

TEST_F(MessageLoop, MessagesPostedFromAnotherThreadArriveInOrder) {
  constexpr int kCount = 2000;
  std::thread poster([this] {
    for (int i = 0; i < kCount; ++i) ASSERT_TRUE(PostMessage(window_, WM_USER + 1, i, -i));
  });
  ASSERT_TRUE(PumpUntil([] { return MessageLog::Get().Of(WM_USER + 1).size() == kCount; }));
  poster.join();
  auto received = MessageLog::Get().Of(WM_USER + 1);
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ(received[i].wParam, static_cast<WPARAM>(i));
    ASSERT_EQ(received[i].lParam, -i);
    ASSERT_EQ(received[i].window, window_);
  }
}

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

TEST_F(MessageLoop, QuitPostedFromAnotherThreadWakesASleepingLoop) {
  std::thread quitter([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PostQuitMessage(7);
  });
  MSG message;
  int result = GetMessage(&message, 0, 0, 0);
  quitter.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(message.wParam, 7u);
}

TEST_F(MessageLoop, PostingToANonWindowFails) {
  EXPECT_FALSE(PostMessage(99999999, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(99999999, WM_USER, 0, 0), 0);
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
  DestroyWindow(answering);
}

TEST_F(MessageLoop, InputIdleIsReachedOnceTheLoopWaits) {
  std::atomic<int> idle{-1};
  std::thread waiter([&] { idle = WaitForInputIdle(5000) ? 1 : 0; });
  EXPECT_TRUE(PumpUntil([&] { return idle != -1; }));
  waiter.join();
  EXPECT_EQ(idle, 1);
}

TEST_F(MessageLoop, TimersFireUntilKilled) {
  ASSERT_NE(SetTimer(window_, 7, 30), 0u);
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([] { return MessageLog::Get().Of(WM_TIMER).size() >= 3; }));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(85));
  for (const Recorded& r : MessageLog::Get().Of(WM_TIMER)) {
    EXPECT_EQ(r.wParam, 7u);
    EXPECT_EQ(r.window, window_);
  }
  EXPECT_TRUE(KillTimer(window_, 7));
  EXPECT_FALSE(KillTimer(window_, 7));
  MessageLog::Get().Clear();
  PumpFor(150);
  EXPECT_TRUE(MessageLog::Get().Of(WM_TIMER).empty());
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
  PumpFor(100);
  for (const Recorded& r : MessageLog::Get().All()) {
    if (r.window != doomed) continue;
    EXPECT_TRUE(r.message == WM_CREATE || r.message == WM_DESTROY) << r.message;
  }
}

TEST(RegisteredMessages, SameNameSameNumberInTheRegisteredRange) {
  uint32_t autoplay = RegisterWindowMessage("QueryCancelAutoPlay");
  EXPECT_GE(autoplay, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("QueryCancelAutoPlay"), autoplay);
  EXPECT_NE(RegisterWindowMessage("Another"), autoplay);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

}  // namespace
