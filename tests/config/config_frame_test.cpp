#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/config_dialog_driver.h"
#include "config/config_dialog_fixture.h"
#include "config/page_tables.h"
#include "platform/dialog/help.h"
#include "platform/win/window.h"
#include "resources/control_ids.h"

namespace {

using ConfigFrameTest = ConfigDialogTest;

// Exactly the controls of one page are visible, the frame's always.
void ExpectPageShown(HWND dialog, bool lifePage) {
  for (int id : kLifePageTable) EXPECT_EQ(Visible(dialog, id), lifePage) << id;
  for (int id : kDisplayPageTable) EXPECT_EQ(Visible(dialog, id), !lifePage) << id;
  for (int id : {IDOK, IDCANCEL, int(IDC_ABOUT), int(IDC_HELP_BUTTON), int(IDC_TABS)}) {
    EXPECT_TRUE(Visible(dialog, id)) << id;
  }
}

TEST_F(ConfigFrameTest, NoDialogWhileAnotherInstanceHoldsTheMutex) {
  // The test holds the mutex as a running saver would; the real program must
  // end at once with 0 and never show anything.
  ASSERT_TRUE(AcquireInstanceMutex());
  const auto start = std::chrono::steady_clock::now();
  const std::string command = std::string(QUELLAR_BINARY_DIR) + "/bin/quellar /c";
  const int status = std::system(command.c_str());
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_LT(seconds.count(), 5.0);
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

// One run: the tabs show one page at a time; on NT 4 the full-screen modes
// are off each time the display page shows; Help opens the installed page.
TEST_F(ConfigFrameTest, TabsShowOnePageAtATimeAndHelpOpensContext101) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  WriteSettingsFile("ScreenMode = dword 2\n");
  std::string opened;
  SetHelpOpenerForTesting([&](const std::string& url) {
    opened = url;
    return true;
  });
  RunConfigDialog(0, {[](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessage(dialog, IDC_TABS, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(Checked(dialog, IDC_SCREEN_WINDOW)) << "the load forces the window mode";
    for (int round = 0; round < 2; ++round) {
      ExpectPageShown(dialog, true);
      SelectTab(dialog, 1);
      ExpectPageShown(dialog, false);
      for (uint32_t id : {IDC_SCREEN_640, IDC_SCREEN_800, IDC_SCREEN_1024, IDC_DEPTH_GROUP, 1045u}) {
        EXPECT_FALSE(Enabled(dialog, int(id))) << id;
      }
      EXPECT_TRUE(Enabled(dialog, IDC_SCREEN_WINDOW));
      SelectTab(dialog, 0);
    }
    Click(dialog, IDC_HELP_BUTTON);
    Click(dialog, IDCANCEL);
  }});
  SetHelpOpenerForTesting({});
  const size_t anchor = opened.find('#');
  ASSERT_EQ(opened.rfind("file://", 0), 0u) << opened;
  ASSERT_NE(anchor, std::string::npos);
  EXPECT_EQ(opened.substr(anchor), "#context-101");
  EXPECT_TRUE(std::filesystem::exists(opened.substr(7, anchor - 7))) << opened;
}

TEST_F(ConfigFrameTest, AboutBoxOpensCentredOnTheDialogAndEndsWithEsc) {
  RECT dialogRect{}, aboutRect{};
  bool aboutSeen = false;
  RunConfigDialog(0, {
      [&](HWND dialog) {
        GetWindowRect(dialog, &dialogRect);
        Click(dialog, IDC_ABOUT);  // returns when the box has ended
        Click(dialog, IDCANCEL);
      },
      // Played from the About box's own loop.
      [&](HWND) {
        HWND about = FindWindow(nullptr, "バージョン情報");
        aboutSeen = about != 0 && GetWindowRect(about, &aboutRect);
        SendMessage(about, WM_COMMAND, IDCANCEL, 0);
      },
  });
  ASSERT_TRUE(aboutSeen);
  const int dialogCentre = (dialogRect.left + dialogRect.right) / 2;
  const int aboutCentre = (aboutRect.left + aboutRect.right) / 2;
  EXPECT_NEAR(aboutCentre, dialogCentre, 1);
  EXPECT_NEAR((aboutRect.top + aboutRect.bottom) / 2, (dialogRect.top + dialogRect.bottom) / 2, 1);
}

}  // namespace
