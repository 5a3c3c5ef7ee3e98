#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <string>
#include <vector>

#include "config/config_dialog_driver.h"
#include "config/config_dialog_fixture.h"
#include "config/config_dialog_state.h"
#include "resources/control_ids.h"

namespace {

using LifePageTest = ConfigDialogTest;

struct OpeningCase {
  const char* file;
  std::vector<int> checked;    // every other radio button of the page is unchecked
  int speed, split;
  bool speedEnabled;
  const char* generations;
  std::vector<std::string> savedLines;  // what OK without edits writes
};

const int kLifeRadios[] = {1006, 1007, 1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017,
                           1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1035, 1036, 1037, 1038};

TEST_F(LifePageTest, OpensWithTheStoredOptionsAndOkSavesWhatTheControlsHold) {
  const OpeningCase cases[] = {
      {"", {1016, 1007, 1027, 1030, 1013, 1035, 1010}, 19, 9, true, "20",
       {"Size = sz \"Middle\"", "Speed = dword 19", "LocusOfSplit = dword 9", "Generations = dword 20"}},
      {"FixedSpeed = sz \"Random\"\nSpeed = dword 7\nSize = sz \"Random\"\nColors = sz \"3\"\n"
       "Roll = sz \"GURUGURU\"\nCameraMove = sz \"On\"\nWave = sz \"Ripple\"\n"
       "ConnectTBLR = sz \"Random\"\nLocusOfSplit = dword 0\nGenerations = dword -5\n",
       {1017, 1028, 1032, 1014, 1037, 1012}, 7, 1, false, "-5",
       // No size button for Random; the split trackbar cannot stand at 0; an
       // untouched negative count is kept rather than read back as 0.
       {"Size = sz \"Random\"", "Speed = dword 7", "LocusOfSplit = dword 1",
        "Generations = dword 4294967291", "FixedSpeed = sz \"Random\""}},
      {"Speed = dword 99\nLocusOfSplit = dword 99\nSize = sz \"Big\"\nRoll = sz \"junk\"\n",
       {1016, 1008, 1027, 1030, 1013, 1035, 1010}, 20, 9, true, "20",
       {"Speed = dword 20", "LocusOfSplit = dword 9", "Size = sz \"Big\"", "Roll = sz \"NASI\""}},
  };
  for (const OpeningCase& c : cases) {
    SCOPED_TRACE(c.file);
    WriteSettingsFile(c.file);
    const intptr_t result = RunConfigDialog(0, {[&](HWND dialog) {
      for (int id : kLifeRadios) {
        const bool expected = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
        EXPECT_EQ(Checked(dialog, id), expected) << "radio " << id;
      }
      EXPECT_EQ(SendDlgItemMessage(dialog, IDC_SPEED, TBM_GETPOS, 0, 0), c.speed);
      EXPECT_EQ(SendDlgItemMessage(dialog, IDC_SPLIT, TBM_GETPOS, 0, 0), c.split);
      for (uint32_t id : {IDC_SPEED, IDC_SPEED_SLOWER, IDC_SPEED_FASTER}) {
        EXPECT_EQ(Enabled(dialog, int(id)), c.speedEnabled) << id;
      }
      EXPECT_EQ(Text(dialog, IDC_GENERATIONS), c.generations);
      Click(dialog, IDOK);
    }});
    EXPECT_EQ(result, 1);
    for (const std::string& line : c.savedLines) EXPECT_EQ(SettingsLine(line.substr(0, line.find(' '))), line);
  }
}

TEST_F(LifePageTest, RadioClicksStoreAtOnceAndTheSpeedChoiceEnablesTheTrackbar) {
  RunConfigDialog(0, {
      [](HWND dialog) {
        Click(dialog, IDC_SPEED_RANDOM);
        EXPECT_EQ(WorkingSettings.FixedSpeed, 1);
        EXPECT_FALSE(Enabled(dialog, IDC_SPEED));
        EXPECT_FALSE(Enabled(dialog, IDC_SPEED_FASTER));
        EXPECT_TRUE(Enabled(dialog, IDC_SPEED_RANDOM)) << "the radio buttons stay usable";
        Click(dialog, 1033);
        Click(dialog, IDC_SIZE_SMALL);
        Click(dialog, 1038);
        Click(dialog, IDC_CAMERA_RANDOM);
        Click(dialog, IDC_CONNECT_ON);
        Click(dialog, 1029);
        EXPECT_EQ(WorkingSettings.Roll, 3);
        EXPECT_EQ(WorkingSettings.Size, 0);
        EXPECT_TRUE(Checked(dialog, IDC_SIZE_SMALL));
        EXPECT_FALSE(Checked(dialog, IDC_SIZE_MIDDLE)) << "a click unchecks the rest of its group";
        EXPECT_TRUE(Checked(dialog, IDC_CONNECT_ON)) << "other groups keep their buttons";
      },
      [](HWND dialog) {
        Click(dialog, IDC_SPEED_FIXED);
        EXPECT_TRUE(Enabled(dialog, IDC_SPEED));
        EXPECT_TRUE(Enabled(dialog, IDC_SPEED_SLOWER));
        Click(dialog, IDC_SPEED_RANDOM);
        Click(dialog, IDOK);
      },
  });
  EXPECT_EQ(SettingsLine("FixedSpeed"), "FixedSpeed = sz \"Random\"");
  EXPECT_EQ(SettingsLine("Roll"), "Roll = sz \"Random\"");
  EXPECT_EQ(SettingsLine("Size"), "Size = sz \"Small\"");
  EXPECT_EQ(SettingsLine("Wave"), "Wave = sz \"Random\"");
  EXPECT_EQ(SettingsLine("CameraMove"), "CameraMove = sz \"Random\"");
  EXPECT_EQ(SettingsLine("ConnectTBLR"), "ConnectTBLR = sz \"On\"");
  EXPECT_EQ(SettingsLine("Colors"), "Colors = sz \"Random\"");
}

TEST_F(LifePageTest, TheGenerationsBoxTakesTypedDigitsOnlyAndPastedTextUnfiltered) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "typing needs an X display";
  struct Case {
    const char* keys;
    const char* shown;
  };
  // The clipboard holds "1a": a paste is not filtered. An empty box saves 0.
  const Case cases[] = {{"key ctrl+a BackSpace type a1b2-c3", "123"},
                        {"key ctrl+a ctrl+v", "1a"},
                        {"key ctrl+a BackSpace", ""}};
  RunConfigDialog(0, {[&](HWND dialog) {
    for (const Case& c : cases) {
      if (std::string(c.keys).ends_with("ctrl+v")) {
        // Claimed again until it holds: other programs share the display.
        QClipboard* clipboard = QGuiApplication::clipboard();
        ASSERT_TRUE(WaitFor(dialog, [&] {
          if (!clipboard->ownsClipboard()) clipboard->setText("1a");
          return clipboard->ownsClipboard();
        }));
      }
      // Each key sequence gives the same text when played again, so one that
      // lost keys to another window on a busy display is played again.
      bool shown = false;
      for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        ASSERT_TRUE(TypeInto(dialog, IDC_GENERATIONS, c.keys)) << c.keys;
        shown = WaitFor(dialog, [&] { return Text(dialog, IDC_GENERATIONS) == c.shown; }, 2000);
      }
      EXPECT_TRUE(shown) << c.keys << " shows " << Text(dialog, IDC_GENERATIONS);
    }
    Click(dialog, IDOK);
  }});
  EXPECT_EQ(SettingsLine("Generations"), "Generations = dword 0");
}

TEST_F(LifePageTest, CancelAfterEditsLeavesTheSettingsFileByteForByte) {
  const std::string file =
      "# mine\nRoll = sz \"kurukuru\"   # hand-written\nSpeed = dword 3\nUnknown = dword 1\n";
  WriteSettingsFile(file);
  const intptr_t result = RunConfigDialog(0, {[](HWND dialog) {
    Click(dialog, 1032);
    Click(dialog, IDC_SIZE_BIG);
    SendDlgItemMessage(dialog, IDC_SPEED, TBM_SETPOS, TRUE, 11);
    SetDlgItemText(dialog, IDC_GENERATIONS, "77");
    SelectTab(dialog, 1);
    Click(dialog, IDC_SCREEN_WINDOW);
    Click(dialog, IDCANCEL);
  }});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadSettingsFile(), file);
}

}  // namespace
