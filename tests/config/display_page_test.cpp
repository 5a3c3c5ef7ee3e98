#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "config/config_dialog_driver.h"
#include "config/config_dialog_state.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/file_dialog.h"
#include "resources/control_ids.h"
#include "support/isolated_env.h"

namespace {

using DisplayPageTest = ConfigDialogTest;

// One run: without a preview the driver lists hold only "Auto"; the last
// screen mode and depth open checked; the window mode turns the colour depth
// off without changing it.
TEST_F(DisplayPageTest, WithoutAPreviewOnlyAutoIsListedAndTheWindowModeKeepsTheDepth) {
  WriteSettingsFile("DDDriverName = sz \"display :0\"\nD3DDriverName = sz \"auto\"\n"
                    "ScreenMode = dword 3\nScreenColor = dword 3\n");
  RunConfigDialog(0, {[](HWND dialog) {
    EXPECT_TRUE(ComboEntries(dialog, IDC_DDRAW_DRIVER).empty());
    EXPECT_EQ(ComboEntries(dialog, IDC_D3D_DRIVER), std::vector<std::string>{"Auto"});
    EXPECT_EQ(ComboSelection(dialog, IDC_D3D_DRIVER), 0) << "the prefix match ignores case";
    EXPECT_EQ(ComboEntries(dialog, IDC_TEXTURE),
              (std::vector<std::string>{"なし(グラデーション)", "Xﾌｧｲﾙで指定された画像"}));
    SelectTab(dialog, 1);
    EXPECT_TRUE(Checked(dialog, IDC_SCREEN_1024));
    EXPECT_TRUE(Checked(dialog, 1048));
    EXPECT_TRUE(Enabled(dialog, IDC_DEPTH_GROUP));
    Click(dialog, IDC_SCREEN_WINDOW);
    EXPECT_FALSE(Enabled(dialog, IDC_DEPTH_GROUP));
    EXPECT_FALSE(Enabled(dialog, 1045));
    Click(dialog, IDC_SCREEN_800);
    EXPECT_TRUE(Enabled(dialog, 1045));
    Click(dialog, IDC_SCREEN_WINDOW);
    EXPECT_FALSE(Enabled(dialog, 1048));
    EXPECT_TRUE(Checked(dialog, 1048));
    Click(dialog, IDOK);
  }});
  ExpectSavedLines({"DDDriverName = sz \"\"", "D3DDriverName = sz \"Auto\"", "ScreenMode = dword 0",
                    "ScreenColor = dword 3"});
}

// The first driver for an empty name and "Auto" for "Auto"; names that match
// nothing select nothing, and OK saves the driver's name empty.
TEST_F(DisplayPageTest, WithAPreviewTheListsHoldThePlatformsDriversAndDevices) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "the drivers are the X screens";
  SetPreviewAllocationFailsForTesting(false);
  for (const std::string file :
       {"", "DDDriverName = sz \"no such\"\nD3DDriverName = sz \"nothing\"\n"}) {
    SCOPED_TRACE(file);
    WriteSettingsFile(file);
    const int selection = file.empty() ? 0 : -1;
    std::string driver;
    RunConfigDialog(0, {[&](HWND dialog) {
      const auto drivers = ComboEntries(dialog, IDC_DDRAW_DRIVER);
      ASSERT_FALSE(drivers.empty());
      const auto devices = ComboEntries(dialog, IDC_D3D_DRIVER);
      ASSERT_GE(devices.size(), 2u);
      EXPECT_EQ(devices[0], "Auto");
      EXPECT_EQ(ComboSelection(dialog, IDC_DDRAW_DRIVER), selection);
      EXPECT_EQ(ComboSelection(dialog, IDC_D3D_DRIVER), selection);
      if (selection == 0) driver = drivers[0];
      Click(dialog, IDOK);
    }});
    EXPECT_EQ(SettingsLine("DDDriverName"), "DDDriverName = sz \"" + driver + "\"");
  }
}

TEST_F(DisplayPageTest, ATexturePickedFromTheListCountsAfterATenthOfASecond) {
  WriteSettingsFile("TextureName = sz \"/tmp/stone.bmp\"\n");
  RunConfigDialog(0, {[](HWND dialog) {
    SelectTab(dialog, 1);
    EXPECT_TRUE(WorkingSettings.TextureFlag);
    SendDlgItemMessage(dialog, IDC_TEXTURE, CB_SETCURSEL, 0, 0);
    const auto picked = std::chrono::steady_clock::now();
    Command(dialog, IDC_TEXTURE, CBN_SELCHANGE);
    EXPECT_STREQ(WorkingSettings.TextureName, "/tmp/stone.bmp") << "not during the change";
    EXPECT_TRUE(WaitFor(dialog, [] { return !WorkingSettings.TextureFlag; }));
    // Timers may fire a few per cent early.
    EXPECT_GE(std::chrono::steady_clock::now() - picked, std::chrono::milliseconds(90));
    EXPECT_STREQ(WorkingSettings.TextureName, "なし(グラデーション)");
    // Typing into the field changes nothing until OK, which saves the text.
    SetDlgItemText(dialog, IDC_TEXTURE, "/tmp/typed.ppm");
    Command(dialog, IDC_TEXTURE, CBN_EDITCHANGE);
    WaitFor(dialog, [] { return false; }, 250);
    EXPECT_STREQ(WorkingSettings.TextureName, "なし(グラデーション)");
    Click(dialog, IDOK);
  }});
  EXPECT_EQ(SettingsLine("TextureName"), "TextureName = sz \"/tmp/typed.ppm\"");
}

TEST_F(DisplayPageTest, TheChoosersStartInTheRightFolderAndFillTheFields) {
  // Spaces, Japanese names and no extension are ordinary paths.
  const std::string dir = MakeTempDir();
  const std::string objects = dir + "/立体 objects/", textures = dir + "/textures/";
  std::filesystem::create_directories(objects);
  std::filesystem::create_directories(textures);
  const std::string chosenTexture = textures + "木目 grain", chosenObject = objects + "cube.x";
  // A file longer than the field holds is refused like one that is gone.
  const std::string tooLong = dir + "/" + std::string(200, 'd') + "/" + std::string(60, 'f');
  std::filesystem::create_directories(std::filesystem::path(tooLong).parent_path());
  for (const std::string& file : {chosenTexture, chosenObject, tooLong}) std::ofstream(file) << "x";
  WriteSettingsFile("XFileName = sz \"" + objects + "ball.x\"\n" +
                    "TextureName = sz \"Xﾌｧｲﾙで指定された画像\"\n");
  std::vector<FileChooserRequest> asked;
  std::vector<std::optional<std::string>> answers = {chosenTexture, std::nullopt, dir + "/gone.x",
                                                     tooLong, chosenObject};
  SetFileChooserForTesting([&](const FileChooserRequest& request) {
    asked.push_back(request);
    return answers[asked.size() - 1];
  });
  RunConfigDialog(0, {[&](HWND dialog) {
    SelectTab(dialog, 1);
    Click(dialog, IDC_TEXTURE_BROWSE);
    EXPECT_EQ(Text(dialog, IDC_TEXTURE), chosenTexture);
    EXPECT_TRUE(WorkingSettings.TextureFlag);
    for (int refused = 0; refused < 3; ++refused) {
      Click(dialog, IDC_X_FILE_BROWSE);
      EXPECT_EQ(Text(dialog, IDC_X_FILE), objects + "ball.x") << refused;
    }
    Click(dialog, IDC_X_FILE_BROWSE);
    EXPECT_EQ(Text(dialog, IDC_X_FILE), chosenObject);
    Click(dialog, IDOK);
  }});
  SetFileChooserForTesting({});
  ASSERT_EQ(asked.size(), 5u);
  EXPECT_EQ(asked[0].initialFolder, objects) << "a fixed entry starts at the .x file";
  EXPECT_TRUE(asked[0].fileMustExist);
  EXPECT_EQ(asked[0].filterIndex, 0) << "opens on the file type, not on all files";
  EXPECT_EQ(asked[0].filters.at(0).second, "*.bmp;*.ppm");
  EXPECT_EQ(asked[4].filters.at(0).second, "*.x");
  ExpectSavedLines({"XFileName = sz \"" + chosenObject + "\"",
                    "TextureName = sz \"" + chosenTexture + "\""});
}

TEST_F(DisplayPageTest, BadStoredTextsSurviveOkAndAScaleOrCountThatIsNoNumberSavesZero) {
  // Not UTF-8, and the longest path that fits, cut by the dialog nowhere.
  const std::string longPath = "/" + std::string(257, 'p') + "x";
  WriteSettingsFile("XFileName = sz \"/obj/\\xff\\xfeball.x\"\nTextureName = sz \"" + longPath +
                    "\"\nXScale = binary bd 37 86 35\n");
  RunConfigDialog(0, {[](HWND dialog) {
    EXPECT_NE(Text(dialog, IDC_X_FILE).find("ball.x"), std::string::npos);
    Click(dialog, IDOK);
  }});
  // 1e-6 is kept exactly.
  ExpectSavedLines({"XFileName = sz \"/obj/\\xff\\xfeball.x\"", "TextureName = sz \"" + longPath + "\"",
                    "XScale = binary bd 37 86 35"});

  RunConfigDialog(0, {[](HWND dialog) {
    SetDlgItemText(dialog, IDC_SCALE, "big");
    SetDlgItemText(dialog, IDC_GENERATIONS, "");
    Click(dialog, IDOK);
  }});
  ExpectSavedLines({"XScale = binary 00 00 00 00", "Generations = dword 0"});
}

TEST_F(DisplayPageTest, OkWhenTheFileCannotBeReplacedKeepsTheOldFileAndEnds) {
  WriteSettingsFile("Speed = dword 4\n");
  // A folder where the save puts its new file: no one, root included, can
  // write the new file there.
  const auto blocker = std::filesystem::path(SettingsFile()).parent_path() / ".Settings.reg.tmp";
  std::filesystem::create_directory(blocker);
  const intptr_t result = RunConfigDialog(0, {[](HWND dialog) {
    SendDlgItemMessage(dialog, IDC_SPEED, TBM_SETPOS, TRUE, 12);
    Click(dialog, IDOK);
  }});
  std::filesystem::remove(blocker);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ReadSettingsFile(), "Speed = dword 4\n");
}

}  // namespace
