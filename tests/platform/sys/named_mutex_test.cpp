#include "platform/sys/named_mutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sys/last_error.h"

namespace {

// A real second process that holds the mutex until its stdin closes; it
// answers '1' when it made the mutex and '0' when the name already existed.
struct Holder {
  explicit Holder(const char* name) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) std::abort();
    if ((pid = fork()) == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      close(in[1]);
      execl(QUELLAR_MUTEX_HOLDER, QUELLAR_MUTEX_HOLDER, name, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input = in[1];
    if (read(out[0], &made, 1) != 1) made = '?';
    close(out[0]);
  }
  ~Holder() { Stop(); }
  void Stop() {
    if (input >= 0) close(input);
    if (pid > 0) waitpid(pid, nullptr, 0);
    input = pid = -1;
  }
  bool MadeIt() const { return made == '1'; }
  pid_t pid;
  int input;
  char made = '?';
};

TEST(NamedMutex, AnotherProcessSeesItExistWhileItIsHeld) {
  HANDLE mine = CreateMutexA(true, "MutexTestHeld");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), 0u);

  Holder other("MutexTestHeld");
  EXPECT_EQ(other.made, '0');
  other.Stop();

  EXPECT_TRUE(ReleaseMutex(mine));
  EXPECT_TRUE(CloseHandle(mine));
  Holder after("MutexTestHeld");
  EXPECT_TRUE(after.MadeIt());
}

TEST(NamedMutex, AppearsFreeAgainWhenTheHolderExitsOrCrashes) {
  {
    Holder first("MutexTestExit");
    ASSERT_TRUE(first.MadeIt());
    HANDLE second = CreateMutexA(true, "MutexTestExit");  // in this process too
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(second, nullptr) << "the handle comes back even when the name exists";
    EXPECT_FALSE(ReleaseMutex(second)) << "it was never ours";
    CloseHandle(second);
    first.Stop();
  }
  HANDLE afterExit = CreateMutexA(true, "MutexTestExit");
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(afterExit);

  Holder crashing("MutexTestExit");
  ASSERT_TRUE(crashing.MadeIt());
  kill(crashing.pid, SIGKILL);
  crashing.Stop();
  HANDLE afterCrash = CreateMutexA(true, "MutexTestExit");
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(afterCrash);
}

TEST(NamedMutex, WithoutARuntimeFolderAPrivateOneUnderTmpServes) {
  const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
  unsetenv("XDG_RUNTIME_DIR");
  HANDLE mine = CreateMutexA(true, "MutexTestNoRuntime");
  const uint32_t error = GetLastError();
  Holder other("MutexTestNoRuntime");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(other.made, '0');
  CloseHandle(mine);
}

TEST(NamedMutex, NamesWithSlashesStayInTheLockFolder) {
  HANDLE odd = CreateMutexA(true, "../../etc/x\\y");
  EXPECT_NE(odd, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  HANDLE again = CreateMutexA(true, "../../etc/x\\y");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << "a second handle in the same process";
  CloseHandle(again);
  CloseHandle(odd);
  EXPECT_EQ(CreateMutexA(true, ""), nullptr);
}

}  // namespace
