#include <gtest/gtest.h>

#include <atomic>

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

// The saver's stop event: two loops wait on it, so once set it stays set for every wait.
TEST(Event, AManualEventStaysSetForEveryWait) {
  HANDLE manual = CreateEventA(true, false);
  ASSERT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  CloseHandle(manual);
}

// The Render thread's loop on the stop event is seen in tests/stage and tests/e2e.
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
