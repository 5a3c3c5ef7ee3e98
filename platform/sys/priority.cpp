#include "platform/sys/priority.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/sys/priority_internal.h"
#include "platform/sys/thread_state.h"

namespace {

// Polite but never starved: at nice 10 the saver yields to the user's work, yet
// still gets a share of a busy machine. SCHED_IDLE and nice 19 are not used:
// Linux never lifts a starved thread, so a loaded machine would show a black
// screen for minutes and answer an end late.
constexpr int kIdleNice = 10;
constexpr int kLowestNice = 19;
// An idle thread sits a little below the rest of its process.
constexpr int kIdleThreadOffset = 2;

// Normal is what the process was started with: a saver started under `nice`
// stays at least that polite.
const int startNice = getpriority(PRIO_PROCESS, 0);

std::atomic<uint32_t> processClass{NORMAL_PRIORITY_CLASS};

int NiceOfClass(uint32_t priorityClass) {
  return priorityClass == IDLE_PRIORITY_CLASS ? std::max(kIdleNice, startNice) : startNice;
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

// Lowering always works; going back up needs a right an ordinary user may lack,
// and nothing depends on it.
bool SetSchedulerOf(pid_t tid, int priority) {
  const sched_param parameter{};
  if (sched_getscheduler(tid) != SCHED_OTHER && sched_setscheduler(tid, SCHED_OTHER, &parameter) != 0)
    return false;
  const int offset = priority == THREAD_PRIORITY_IDLE ? kIdleThreadOffset : 0;
  const int nice = std::min(kLowestNice, NiceOfClass(processClass.load()) + offset);
  return setpriority(PRIO_PROCESS, id_t(tid), nice) == 0;
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
