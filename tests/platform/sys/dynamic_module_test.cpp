#include <gtest/gtest.h>

#include "platform/sys/dynamic_module.h"
#include "platform/sys/last_error.h"

namespace {

int calls = 0;
void CountCall() { ++calls; }

class DynamicModules : public ::testing::Test {
protected:
  void TearDown() override { UnregisterFakeModules(); }
};

TEST_F(DynamicModules, ThePlatformHasNoneOfTheModules) {
  for (const char* name : {"PASSWORD.CPL", "MPR.DLL", "IMM32.DLL"}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "VerifyScreenSavePwd"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(DynamicModules, AFakeModuleHandsOutItsProceduresByName) {
  RegisterFakeModule("PASSWORD.CPL", {{"VerifyScreenSavePwd", &CountCall}});
  HMODULE module = LoadLibraryA("password.cpl");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 1);

  FARPROC procedure = GetProcAddress(module, "VerifyScreenSavePwd");
  ASSERT_NE(procedure, nullptr);
  calls = 0;
  procedure();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(GetProcAddress(module, "verifyscreensavepwd"), nullptr) << "procedure names keep case";
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_FALSE(FreeLibrary(module)) << "freed once too often";
  EXPECT_EQ(LoadLibraryA("MPR.DLL"), nullptr) << "only the registered fake exists";
  // Unregistering makes the handles still out stale.
  module = LoadLibraryA("PASSWORD.CPL");
  UnregisterFakeModules();
  EXPECT_EQ(GetProcAddress(module, "VerifyScreenSavePwd"), nullptr);
  EXPECT_FALSE(FreeLibrary(module));
}

}  // namespace
