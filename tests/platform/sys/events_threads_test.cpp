#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/sys/event.h"
#include "platform/sys/thread.h"
#include "platform/sys/tick_count.h"

namespace {

TEST(TickCount, FollowsTheClockInMilliseconds) {
  const uint32_t before = GetTickCount();
  Sleep(50);
  const uint32_t elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 50u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(Event, ManualStaysSetUntilResetAndAutomaticLetsOneWaitThrough) {
  HANDLE manual = CreateEventA(true, false);
  EXPECT_EQ(WaitForSingleObject(manual, 20), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(manual));
  HANDLE automatic = CreateEventA(false, true);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
  CloseHandle(automatic);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(nullptr));
  EXPECT_FALSE(CloseHandle(nullptr));
}

// The Render thread's own loop on the stop event is run by the saver tests.
TEST(Thread, ClosingTheHandleOfARunningThreadLetsItFinish) {
  static std::atomic<bool> finished{false};
  HANDLE gate = CreateEventA(true, false);
  HANDLE thread = CreateThread(
      [](void* gate) -> uint32_t {
        WaitForSingleObject(static_cast<HANDLE>(gate), INFINITE);
        finished = true;
        return 0;
      },
      gate);
  CloseHandle(thread);
  SetEvent(gate);
  for (int i = 0; i < 5000 && !finished; ++i) Sleep(1);
  EXPECT_TRUE(finished);
  CloseHandle(gate);
}

}  // namespace
