#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sys/last_error.h"
#include "platform/sys/named_mutex.h"

namespace {

// A real second process that holds the mutex until told to go or killed.
class Holder {
public:
  explicit Holder(const char* name) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toChild[0], STDIN_FILENO);
      dup2(fromChild[1], STDOUT_FILENO);
      close(toChild[1]);
      close(fromChild[0]);
      execl(QUELLAR_MUTEX_HOLDER, QUELLAR_MUTEX_HOLDER, name, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
    if (read(output_, &made_, 1) != 1) made_ = '?';
  }
  ~Holder() { Stop(); }

  bool MadeIt() const { return made_ == '1'; }
  bool AnswerArrived() const { return made_ == '0' || made_ == '1'; }

  void Stop() {
    if (pid_ <= 0) return;
    close(input_);
    close(output_);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

  void Crash() {
    kill(pid_, SIGKILL);
    Stop();
  }

private:
  pid_t pid_ = 0;
  int input_ = -1;
  int output_ = -1;
  char made_ = '?';
};

TEST(NamedMutex, AnotherProcessSeesItExistWhileItIsHeld) {
  HANDLE mine = CreateMutexA(true, "MutexTestHeld");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), 0u);

  Holder other("MutexTestHeld");
  ASSERT_TRUE(other.AnswerArrived());
  EXPECT_FALSE(other.MadeIt());
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
    HANDLE second = CreateMutexA(true, "MutexTestExit");
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
  crashing.Crash();
  HANDLE afterCrash = CreateMutexA(true, "MutexTestExit");
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(afterCrash);
}

TEST(NamedMutex, ASecondHandleInTheSameProcessSeesItExist) {
  HANDLE first = CreateMutexA(true, "MutexTestSame");
  EXPECT_EQ(GetLastError(), 0u);
  HANDLE second = CreateMutexA(true, "MutexTestSame");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(second);
  CloseHandle(first);
  HANDLE third = CreateMutexA(true, "MutexTestSame");
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(third);
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
  EXPECT_FALSE(other.MadeIt());
  CloseHandle(mine);
}

TEST(NamedMutex, NamesWithSlashesStayInTheLockFolder) {
  HANDLE odd = CreateMutexA(true, "../../etc/x\\y");
  EXPECT_NE(odd, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  CloseHandle(odd);
  EXPECT_EQ(CreateMutexA(true, ""), nullptr);
}

}  // namespace
