#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "config/config_dialog_driver.h"
#include "platform/dialog/help.h"
#include "platform/win/window.h"
#include "resources/control_ids.h"

namespace {

using ConfigFrameTest = ConfigDialogTest;

// The ids of the visible controls, found by asking for every id there could be.
std::set<int> VisibleControls(HWND dialog) {
  std::set<int> ids;
  for (int id = 1; id < 1200; ++id) {
    if (GetDlgItem(dialog, id) != 0 && Visible(dialog, id)) ids.insert(id);
  }
  return ids;
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

// One run: each control but the frame's shows on one page only, 39 on the
// first and 32 on the second, also after switching back; on NT 4 the
// full-screen modes are off each time the display page shows; Help opens the
// installed page; the About box opens centred on the dialog and ends with Esc.
TEST_F(ConfigFrameTest, TabsShowOnePageAtATimeHelpOpensContext101AndAboutIsCentred) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  WriteSettingsFile("ScreenMode = dword 2\n");
  std::string opened;
  SetHelpOpenerForTesting([&](const std::string& url) {
    opened = url;
    return true;
  });
  const std::set<int> frame = {IDOK, IDCANCEL, int(IDC_HELP_BUTTON), int(IDC_ABOUT), int(IDC_TABS)};
  RECT dialogRect{}, aboutRect{};
  bool aboutSeen = false;
  RunConfigDialog(0, {
      [&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessage(dialog, IDC_TABS, TCM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_TRUE(Checked(dialog, IDC_SCREEN_WINDOW)) << "the load forces the window mode";
        for (int round = 0; round < 2; ++round) {
          const std::set<int> life = VisibleControls(dialog);
          EXPECT_TRUE(life.contains(int(IDC_SPEED)) && life.contains(int(IDC_GENERATIONS)));
          SelectTab(dialog, 1);
          const std::set<int> display = VisibleControls(dialog);
          EXPECT_TRUE(display.contains(int(IDC_PREVIEW)) && display.contains(int(IDC_DISTANCE)));
          EXPECT_EQ(life.size(), frame.size() + 39);
          EXPECT_EQ(display.size(), frame.size() + 32);
          for (int id : life) EXPECT_EQ(display.contains(id), frame.contains(id)) << id;
          for (uint32_t id : {IDC_SCREEN_640, IDC_SCREEN_800, IDC_SCREEN_1024, IDC_DEPTH_GROUP, 1045u}) {
            EXPECT_FALSE(Enabled(dialog, int(id))) << id;
          }
          EXPECT_TRUE(Enabled(dialog, IDC_SCREEN_WINDOW));
          SelectTab(dialog, 0);
        }
        Click(dialog, IDC_HELP_BUTTON);
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
  SetHelpOpenerForTesting({});
  const size_t anchor = opened.find('#');
  ASSERT_EQ(opened.rfind("file://", 0), 0u) << opened;
  ASSERT_NE(anchor, std::string::npos);
  EXPECT_EQ(opened.substr(anchor), "#context-101");
  EXPECT_TRUE(std::filesystem::exists(opened.substr(7, anchor - 7))) << opened;
  ASSERT_TRUE(aboutSeen);
  EXPECT_NEAR(aboutRect.left + aboutRect.right, dialogRect.left + dialogRect.right, 2);
  EXPECT_NEAR(aboutRect.top + aboutRect.bottom, dialogRect.top + dialogRect.bottom, 2);
}

}  // namespace
