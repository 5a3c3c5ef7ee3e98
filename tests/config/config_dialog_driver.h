#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/config_dialog.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "platform/sys/platform_identity.h"
#include "platform/win/application.h"
#include "platform/win/win_types.h"
#include "settings/settings.h"
#include "support/isolated_env.h"

// Runs the real configuration dialog and plays a script against it: one step
// every few tens of milliseconds, from inside the dialog's own message loop,
// so that every click, timer and redraw goes the way it goes for a user.
using DialogStep = std::function<void(HWND dialog)>;
intptr_t RunConfigDialog(HWND owner, std::vector<DialogStep> steps);

// Steps and looks through control ids.
void Click(HWND dialog, int id);
void Command(HWND dialog, int id, uint16_t notification = 0);
void SelectTab(HWND dialog, int index);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
std::string Text(HWND dialog, int id);
std::vector<std::string> ComboEntries(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
// Lets the dialog run until `done` holds or `ms` have passed; whether it held.
bool WaitFor(HWND dialog, const std::function<bool()>& done, int ms = 5000);

// The value line of `name` in the settings file, or "" when there is none.
std::string SettingsLine(const std::string& name);
// Each line is in the settings file as the value line of its name.
void ExpectSavedLines(const std::vector<std::string>& lines);

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
