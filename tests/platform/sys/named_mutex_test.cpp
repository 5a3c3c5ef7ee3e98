#include "platform/sys/named_mutex.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <string>

#include "platform/sys/last_error.h"
#include "support/answering_child.h"

namespace {

// A second process that answers '1' when it made the mutex and '0' when the
// name already existed, and holds it until it is stopped.
struct Holder : AnsweringChild {
  explicit Holder(const char* name) : AnsweringChild(QUELLAR_MUTEX_HOLDER, name) {}
  bool MadeIt() const { return Answer() == '1'; }
};

TEST(NamedMutex, AnotherProcessSeesItExistWhileItIsHeld) {
  HANDLE mine = CreateMutexA(true, "MutexTestHeld");
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), 0u);

  Holder other("MutexTestHeld");
  EXPECT_EQ(other.Answer(), '0');
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
  kill(crashing.Pid(), SIGKILL);
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
  EXPECT_EQ(other.Answer(), '0');
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
