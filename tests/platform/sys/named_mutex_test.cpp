#include "platform/sys/named_mutex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sys/last_error.h"

namespace {

// Another process, and its release on exit or crash, are seen through the
// instance mutex built on this one, in the saver's and the dialog's own runs.
TEST(NamedMutex, ASecondHandleInTheSameProcessSeesTheNameButNeverOwnsIt) {
  HANDLE mine = CreateMutexA(true, "../../etc/x\\y");  // slashes stay in the lock folder
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  HANDLE second = CreateMutexA(true, "../../etc/x\\y");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_NE(second, nullptr) << "the handle comes back even when the name exists";
  EXPECT_FALSE(ReleaseMutex(second)) << "it was never ours";
  EXPECT_TRUE(ReleaseMutex(mine));
  CloseHandle(second);
  CloseHandle(mine);
  HANDLE again = CreateMutexA(true, "../../etc/x\\y");
  EXPECT_EQ(GetLastError(), 0u) << "free again once every handle is closed";
  CloseHandle(again);
  EXPECT_EQ(CreateMutexA(true, ""), nullptr);
}

TEST(NamedMutex, WithoutARuntimeFolderAPrivateOneUnderTmpServes) {
  const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
  unsetenv("XDG_RUNTIME_DIR");
  HANDLE mine = CreateMutexA(true, "MutexTestNoRuntime");
  const uint32_t error = GetLastError();
  FILE* other = popen(QUELLAR_MUTEX_HOLDER " MutexTestNoRuntime", "r");
  const int answer = other ? std::fgetc(other) : EOF;
  if (other) pclose(other);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(answer, '0');
  CloseHandle(mine);
}

}  // namespace
