#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "config/config_dialog_driver.h"
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
// installed page through the desktop's opener, and an opener that fails brings
// the message box; the About box opens centred on the dialog; Cancel after
// edits leaves the settings file byte for byte.
TEST_F(ConfigFrameTest, TabsShowOnePageAtATimeHelpOpensContext101AndAboutIsCentred) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  const std::string file =
      "# mine\nRoll = sz \"kurukuru\"   # hand-written\nScreenMode = dword 2\nUnknown = dword 1\n";
  WriteSettingsFile(file);
  const std::string bin = MakeTempDir(), opener = bin + "/xdg-open", path = std::getenv("PATH");
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > " << bin << "/opened\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  const std::set<int> frame = {IDOK, IDCANCEL, int(IDC_HELP_BUTTON), int(IDC_ABOUT), int(IDC_TABS)};
  RECT dialogRect{}, aboutRect{};
  bool aboutSeen = false, failureShown = false;
  const intptr_t result = RunConfigDialog(0, {
      [&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessage(dialog, IDC_TABS, TCM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_TRUE(Checked(dialog, IDC_SCREEN_WINDOW)) << "the load forces the window mode";
        for (int round = 0; round < 2; ++round) {
          const std::set<int> life = VisibleControls(dialog);
          SelectTab(dialog, 1);
          const std::set<int> display = VisibleControls(dialog);
          EXPECT_EQ(life.size(), frame.size() + 39);
          EXPECT_EQ(display.size(), frame.size() + 32);
          for (int id : life) EXPECT_EQ(display.contains(id), frame.contains(id)) << id;
          for (uint32_t id : {IDC_SCREEN_640, IDC_SCREEN_800, IDC_SCREEN_1024, IDC_DEPTH_GROUP, 1045u})
            EXPECT_FALSE(Enabled(dialog, int(id))) << id;
          EXPECT_TRUE(Enabled(dialog, IDC_SCREEN_WINDOW));
          SelectTab(dialog, 0);
        }
        Click(dialog, 1032);
        Click(dialog, IDC_SIZE_BIG);
        SendDlgItemMessage(dialog, IDC_SPEED, TBM_SETPOS, TRUE, 11);
        SetDlgItemText(dialog, IDC_GENERATIONS, "77");
        Click(dialog, IDC_HELP_BUTTON);
        std::ofstream(opener) << "#!/bin/sh\nexit 3\n";
        Click(dialog, IDC_HELP_BUTTON);  // returns when the message box has ended
        GetWindowRect(dialog, &dialogRect);
        Click(dialog, IDC_ABOUT);
        Click(dialog, IDCANCEL);
      },
      // Played from the message box's own loop, then from the About box's.
      [&](HWND) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        failureShown = box != nullptr;
        if (box) box->accept();
      },
      [&](HWND) {
        HWND about = FindWindow(nullptr, "バージョン情報");
        aboutSeen = about != 0 && GetWindowRect(about, &aboutRect);
        SendMessage(about, WM_COMMAND, IDCANCEL, 0);
      },
  });
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadSettingsFile(), file);
  EXPECT_TRUE(failureShown);
  std::string opened;
  std::getline(std::ifstream(bin + "/opened"), opened);
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
