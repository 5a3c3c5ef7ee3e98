#include "platform/rm/parser_sandbox.h"

#include <fcntl.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <initializer_list>

namespace {

// Sanitizers reserve terabytes of address space for their shadow memory; an
// address-space limit would stop them from starting their allocator.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif

// The parser builds its scene from the text and we copy it twice (geometry and
// wire format): a generous multiple of the file, over a fixed allowance.
constexpr rlim_t kMemoryAllowance = rlim_t{512} << 20;
constexpr rlim_t kMemoryPerFileByte = 16;
// The parent's wall-clock limit is 10 s; processor time cannot exceed it either.
constexpr rlim_t kCpuSeconds = 10;

// What the parent had mapped already (Qt, the GL driver) comes with the fork.
rlim_t MappedBytes() {
  FILE* statm = std::fopen("/proc/self/statm", "re");
  if (!statm) return 0;
  unsigned long pages = 0;
  if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
  std::fclose(statm);
  return rlim_t{pages} * rlim_t(sysconf(_SC_PAGESIZE));
}

bool Limit(int resource, rlim_t soft, rlim_t hard) {
  const rlimit limit{soft, hard};
  return setrlimit(resource, &limit) == 0;
}

}  // namespace

bool CutOffParserChild(pid_t parent, int file, int result, size_t fileSize) {
  // The death signal comes when the parent ends; if it ended before the
  // request was made, nobody will send it.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) return false;
  const rlim_t addressSpace =
      MappedBytes() + kMemoryAllowance + kMemoryPerFileByte * rlim_t(fileSize);
  // Both are moved above the standard three first: either may be one of them
  // when the saver was started with a standard descriptor closed.
  const int high_file = fcntl(file, F_DUPFD, STDERR_FILENO + 1);
  const int high_result = fcntl(result, F_DUPFD, STDERR_FILENO + 1);
  if (high_file < 0 || high_result < 0 || dup2(high_file, STDIN_FILENO) != STDIN_FILENO ||
      dup2(high_result, STDOUT_FILENO) != STDOUT_FILENO)
    return false;
  if (close_range(STDERR_FILENO + 1, ~0U, 0) != 0) return false;
  if (kLimitAddressSpace && !Limit(RLIMIT_AS, addressSpace, addressSpace)) return false;
  if (!Limit(RLIMIT_CPU, kCpuSeconds, kCpuSeconds + 1)) return false;
  // A crash of a hostile file leaves no core file with the user's memory in it.
  return Limit(RLIMIT_CORE, 0, 0);
}

bool LockDownParserChild() {
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
  if (!filter) return false;
  bool ok = true;
  auto allow = [&](int call) { ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0; };
  // Memory: the heap, mappings and their protection, never executable.
  allow(SCMP_SYS(brk));
  allow(SCMP_SYS(munmap));
  allow(SCMP_SYS(mremap));
  allow(SCMP_SYS(madvise));
  for (int call : {SCMP_SYS(mmap), SCMP_SYS(mprotect)}) {
    ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1,
                                SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)) == 0;
  }
  // Locks of the allocator and the C++ runtime (uncontended in one thread).
  allow(SCMP_SYS(futex));
  allow(SCMP_SYS(sched_yield));
  // The result and crash reports, nothing else.
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    for (int call : {SCMP_SYS(write), SCMP_SYS(writev)}) {
      ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1,
                                  SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(fd))) == 0;
    }
  }
  allow(SCMP_SYS(close));
  // Ending: exit, or abort() and crash handlers raising a signal at itself.
  allow(SCMP_SYS(exit));
  allow(SCMP_SYS(exit_group));
  allow(SCMP_SYS(rt_sigreturn));
  allow(SCMP_SYS(rt_sigprocmask));
  allow(SCMP_SYS(rt_sigaction));
  allow(SCMP_SYS(getpid));
  allow(SCMP_SYS(gettid));
  allow(SCMP_SYS(sigaltstack));
  ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                              SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(getpid()))) == 0;
  ok = ok && seccomp_load(filter) == 0;
  seccomp_release(filter);
  return ok;
}
