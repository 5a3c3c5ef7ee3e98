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

struct StopRequest {
  HANDLE stop;
  std::atomic<int> rounds{0};
};

// The shape of the Render thread: wait on the stop event for a frame's time,
// run a frame on each time-out, leave when the event is set.
uint32_t LoopUntilStopped(void* parameter) {
  auto* request = static_cast<StopRequest*>(parameter);
  while (WaitForSingleObject(request->stop, 1) == WAIT_TIMEOUT) ++request->rounds;
  return 7;
}

TEST(Thread, RunsUntilTheStopEventAndIsJoinedByWaiting) {
  StopRequest request;
  request.stop = CreateEventA(true, false);
  HANDLE thread = CreateThread(LoopUntilStopped, &request);
  ASSERT_NE(thread, nullptr);
  while (request.rounds < 3) Sleep(1);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
  uint32_t exitCode = 0;
  EXPECT_FALSE(GetExitCodeThread(thread, &exitCode));
  EXPECT_FALSE(SetEvent(thread)) << "a thread is not an event";

  SetEvent(request.stop);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 7u);
  CloseHandle(thread);
  CloseHandle(request.stop);
}

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
