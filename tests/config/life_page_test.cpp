#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <string>
#include <vector>

#include "config/config_dialog_driver.h"
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
      for (uint32_t id : {IDC_SPEED, IDC_SPEED_SLOWER, IDC_SPEED_FASTER})
        EXPECT_EQ(Enabled(dialog, int(id)), c.speedEnabled) << id;
      EXPECT_EQ(Text(dialog, IDC_GENERATIONS), c.generations);
      Click(dialog, IDOK);
    }});
    EXPECT_EQ(result, 1);
    ExpectSavedLines(c.savedLines);
  }
}

// The speed choice turns the trackbar off and on; the generations box lets
// typed digits through and nothing else, but pasted text; OK saves what the
// page shows.
TEST_F(LifePageTest, ClicksAndTypedDigitsAreSavedAndTheSpeedChoiceEnablesTheTrackbar) {
  RunConfigDialog(0, {[](HWND dialog) {
    for (uint32_t choice : {IDC_SPEED_RANDOM, IDC_SPEED_FIXED}) {
      Click(dialog, int(choice));
      for (uint32_t id : {IDC_SPEED, IDC_SPEED_SLOWER, IDC_SPEED_FASTER})
        EXPECT_EQ(Enabled(dialog, int(id)), choice == IDC_SPEED_FIXED) << choice << " " << id;
      EXPECT_TRUE(Enabled(dialog, IDC_SPEED_RANDOM)) << "the radio buttons stay usable";
    }
    for (int id : {int(IDC_SPEED_RANDOM), 1033, int(IDC_SIZE_SMALL), 1038, int(IDC_CAMERA_RANDOM),
                   int(IDC_CONNECT_ON), 1029})
      Click(dialog, id);
    EXPECT_FALSE(Checked(dialog, IDC_SIZE_MIDDLE)) << "a click unchecks the rest of its group";
    EXPECT_TRUE(Checked(dialog, IDC_CONNECT_ON)) << "other groups keep their buttons";
    SetDlgItemText(dialog, IDC_GENERATIONS, "");
    HWND box = GetDlgItem(dialog, IDC_GENERATIONS);
    for (char c : std::string("a1b2-c3 ")) SendMessage(box, WM_CHAR, WPARAM(c), 1);
    EXPECT_EQ(Text(dialog, IDC_GENERATIONS), "123");
    // Ctrl+V arrives as character 22 and pastes without the filter (the box
    // is too narrow for more). Claimed again until it holds: other programs
    // share the display.
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_TRUE(WaitFor(dialog, [&] {
      if (!clipboard->ownsClipboard()) clipboard->setText("4a");
      return clipboard->ownsClipboard();
    }));
    SendMessage(box, WM_CHAR, 1, 1);  // Ctrl+A
    SendMessage(box, WM_CHAR, 22, 1);
    EXPECT_EQ(Text(dialog, IDC_GENERATIONS), "4a");
    Click(dialog, IDOK);
  }});
  // A text that is no number saves 0.
  ExpectSavedLines({"Generations = dword 0", "FixedSpeed = sz \"Random\"", "Roll = sz \"Random\"",
                    "Size = sz \"Small\"", "Wave = sz \"Random\"", "CameraMove = sz \"Random\"",
                    "ConnectTBLR = sz \"On\"", "Colors = sz \"Random\""});
}

}  // namespace
