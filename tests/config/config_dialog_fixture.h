#pragma once
#include <gtest/gtest.h>

#include <filesystem>

#include "config/config_dialog.h"
#include "config/config_dialog_driver.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "platform/sys/platform_identity.h"
#include "platform/win/application.h"
#include "settings/settings.h"

// Each test starts from its own settings file (or none) and a dialog without
// the 3-D preview unless it asks for one.
class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static char name[] = "config_tests";
    char* argv[] = {name, nullptr};
    EnsureGuiApplication(1, argv);
    std::filesystem::remove(SettingsFile());
    SetPreviewAllocationFailsForTesting(true);
  }
  void TearDown() override {
    SetPreviewAllocationFailsForTesting(false);
    ResetPlatformIdentityForTesting();
    ReleaseInstanceMutex();
  }
};
