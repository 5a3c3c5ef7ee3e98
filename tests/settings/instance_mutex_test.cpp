#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/settings.h"

namespace {

// A second saver in a process of its own; it answers '1' when it got the
// mutex, '0' when it was turned away, and holds on until its stdin closes.
struct Probe {
  Probe() {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::abort();
    if ((pid = fork()) == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      close(in[1]);
      execl(QUELLAR_INSTANCE_PROBE, QUELLAR_INSTANCE_PROBE, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input = in[1];
    if (read(out[0], &answer, 1) != 1) answer = '?';
    close(out[0]);
  }
  ~Probe() {
    close(input);
    waitpid(pid, nullptr, 0);
  }
  pid_t pid;
  int input;
  char answer = '?';
};

TEST(InstanceMutex, ASecondInstanceIsTurnedAwayWhileTheFirstRuns) {
  ASSERT_TRUE(AcquireInstanceMutex());
  EXPECT_EQ(Probe().answer, '0');
  ReleaseInstanceMutex();
  {
    Probe other;
    EXPECT_EQ(other.answer, '1');
    EXPECT_FALSE(AcquireInstanceMutex()) << "the other process holds it now";
    ReleaseInstanceMutex();
    kill(other.pid, SIGKILL);
  }
  EXPECT_TRUE(AcquireInstanceMutex()) << "free again after the holder crashed";
  ReleaseInstanceMutex();
}

}  // namespace
