#include "platform/sys/dynamic_module.h"

#include <gtest/gtest.h>

#include "platform/sys/last_error.h"

namespace {

// The modules the saver asks for (tests/host registers fakes of them).
TEST(DynamicModules, ThePlatformHasNoneOfTheModules) {
  for (const char* name : {"PASSWORD.CPL", "MPR.DLL", "IMM32.DLL"}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "VerifyScreenSavePwd"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

}  // namespace
