#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/sys/event.h"
#include "platform/sys/priority.h"
#include "platform/sys/thread.h"

namespace {

int NiceOf(pid_t tid) { return getpriority(PRIO_PROCESS, id_t(tid)); }

// Raising a priority back needs a right an ordinary user may not have.
bool MayRaisePriority() {
  rlimit limit{};
  return geteuid() == 0 || (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 20);
}

// A thread that reports its id, then waits for `go`.
struct Probe {
  HANDLE go;
  std::atomic<pid_t> tid{0};
};

uint32_t ReportAndWait(void* parameter) {
  auto* probe = static_cast<Probe*>(parameter);
  probe->tid = gettid();
  WaitForSingleObject(probe->go, INFINITE);
  return 0;
}

// Idle is nice 10, or the starting value when the tests run at a higher one.
TEST(PriorityClass, IdleLowersEveryThreadIncludingLaterOnes) {
  const int startNice = NiceOf(gettid());
  const int idleNice = std::max(10, startNice);
  std::atomic<pid_t> earlierTid{0};
  std::atomic<bool> release{false};
  std::thread earlier([&] {
    earlierTid = gettid();
    while (!release) std::this_thread::yield();
  });
  while (earlierTid == 0) std::this_thread::yield();

  ASSERT_TRUE(SetPriorityClass(IDLE_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityClass(), IDLE_PRIORITY_CLASS);
  EXPECT_EQ(NiceOf(gettid()), idleNice);
  EXPECT_EQ(NiceOf(earlierTid), idleNice);

  int laterNice = -100;
  HANDLE later = CreateThread(
      [](void* out) -> uint32_t {
        *static_cast<int*>(out) = getpriority(PRIO_PROCESS, 0);
        return 0;
      },
      &laterNice);
  WaitForSingleObject(later, INFINITE);
  EXPECT_EQ(laterNice, idleNice);
  CloseHandle(later);

  const bool restored = SetPriorityClass(NORMAL_PRIORITY_CLASS);
  if (MayRaisePriority()) {
    EXPECT_TRUE(restored);
    EXPECT_EQ(NiceOf(gettid()), startNice);
    EXPECT_EQ(NiceOf(earlierTid), startNice);
  }
  release = true;
  earlier.join();
}

// Never SCHED_IDLE, which Linux lets starve for minutes on a busy machine.
TEST(ThreadPriority, IdleIsALittleBelowTheProcessAndNormalGoesBack) {
  Probe probe;
  probe.go = CreateEventA(true, false);
  HANDLE thread = CreateThread(ReportAndWait, &probe);
  while (probe.tid == 0) Sleep(1);
  const int processNice = NiceOf(gettid());
  ASSERT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_IDLE));
  EXPECT_EQ(sched_getscheduler(probe.tid), SCHED_OTHER);
  EXPECT_EQ(NiceOf(probe.tid), processNice + 2);
  if (MayRaisePriority()) {
    ASSERT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(NiceOf(probe.tid), processNice);
  }
  SetEvent(probe.go);
  WaitForSingleObject(thread, INFINITE);
  EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_IDLE)) << "an ended thread";
  CloseHandle(thread);
  CloseHandle(probe.go);
}

TEST(ThreadPriority, CurrentThreadPseudoHandleSurvivesClosing) {
  std::thread([] {
    HANDLE self = GetCurrentThread();
    const int before = NiceOf(gettid());
    EXPECT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_IDLE));
    EXPECT_EQ(NiceOf(gettid()), before + 2);
    EXPECT_TRUE(CloseHandle(self));
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE));
  }).join();
}

}  // namespace
