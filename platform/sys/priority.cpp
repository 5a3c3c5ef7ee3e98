#include "platform/sys/priority.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/sys/priority_internal.h"
#include "platform/sys/thread_state.h"

namespace {

constexpr int kIdleNice = 19;
constexpr int kNormalNice = 0;

std::atomic<uint32_t> processClass{NORMAL_PRIORITY_CLASS};

int NiceOfClass(uint32_t priorityClass) {
  return priorityClass == IDLE_PRIORITY_CLASS ? kIdleNice : kNormalNice;
}

// Nice values belong to threads on Linux, so the process is lowered thread by thread.
bool SetNiceOfEveryThread(int nice) {
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return setpriority(PRIO_PROCESS, 0, nice) == 0;
  bool allSet = true;
  while (const dirent* entry = readdir(tasks)) {
    const int tid = std::atoi(entry->d_name);
    // A thread that ended after the listing needs no priority.
    if (tid > 0 && setpriority(PRIO_PROCESS, id_t(tid), nice) != 0 && errno != ESRCH)
      allSet = false;
  }
  closedir(tasks);
  return allSet;
}

class CurrentThreadPseudoHandle final : public KernelObject {
public:
  uint32_t Wait(uint32_t) override { return WAIT_FAILED; }
  bool IsPseudoHandle() const override { return true; }
};

bool SetSchedulerOf(pid_t tid, int priority) {
  const sched_param parameter{};
  const int policy = priority == THREAD_PRIORITY_IDLE ? SCHED_IDLE : SCHED_OTHER;
  return sched_setscheduler(tid, policy, &parameter) == 0;
}

}  // namespace

void ApplyProcessPriorityToThread(pid_t tid) {
  const int nice = NiceOfClass(processClass.load());
  if (getpriority(PRIO_PROCESS, id_t(tid)) != nice) setpriority(PRIO_PROCESS, id_t(tid), nice);
}

bool SetPriorityClass(uint32_t priorityClass) {
  if (priorityClass != IDLE_PRIORITY_CLASS && priorityClass != NORMAL_PRIORITY_CLASS) return false;
  processClass = priorityClass;
  return SetNiceOfEveryThread(NiceOfClass(priorityClass));
}

uint32_t GetPriorityClass() { return processClass.load(); }

HANDLE GetCurrentThread() {
  static CurrentThreadPseudoHandle currentThread;
  return &currentThread;
}

bool SetThreadPriority(HANDLE thread, int priority) {
  if (!thread) return false;
  if (thread == GetCurrentThread()) return SetSchedulerOf(gettid(), priority);
  auto* object = dynamic_cast<ThreadObject*>(thread);
  if (!object) return false;
  // Holding the lock keeps an ended thread's id from being reused under us.
  std::lock_guard lock(object->State().mutex);
  if (object->State().ended) return false;
  return SetSchedulerOf(object->State().tid, priority);
}
