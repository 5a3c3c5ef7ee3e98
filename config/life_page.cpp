#include "config/life_page.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "config/config_dialog_state.h"
#include "config/digit_filter.h"
#include "config/trackbar_binding.h"
#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

namespace {

TrackbarBinding speedTrackbar;
TrackbarBinding splitTrackbar;

// What the generations box showed when the page was loaded.
char shownGenerations[16];

struct RadioGroup {
  int first;
  int last;
  int32_t SettingsRecord::*field;
};

constexpr RadioGroup kRadioGroups[] = {
    {1006, 1008, &SettingsRecord::Size},        {1010, 1012, &SettingsRecord::ConnectTBLR},
    {1013, 1015, &SettingsRecord::CameraMove},  {1016, 1017, &SettingsRecord::FixedSpeed},
    {1026, 1029, &SettingsRecord::Colors},      {1030, 1033, &SettingsRecord::Roll},
    {1035, 1038, &SettingsRecord::Wave},
};

// Checks the button first + value and unchecks the rest of the group; a value
// without a button leaves none checked.
void CheckGroup(HWND dialog, int first, int count, int32_t value) {
  for (int i = 0; i < count; ++i) {
    CheckDlgButton(dialog, first + i, i == value ? BST_CHECKED : BST_UNCHECKED);
  }
}

void CheckOneOfThree(HWND dialog, int32_t value, int offId, int onId, int randomId) {
  CheckDlgButton(dialog, offId, value == 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, onId, value == 1 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, randomId, value == 2 ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void ApplySpeedEnabling(HWND dialog, bool fixed) {
  for (uint32_t id : {IDC_SPEED, IDC_SPEED_SLOWER, IDC_SPEED_FASTER}) {
    EnableWindow(GetDlgItem(dialog, int(id)), fixed);
  }
}

void LoadLifePage(HWND dialog) {
  const SettingsRecord& working = WorkingSettings;
  if (working.FixedSpeed == 0) CheckDlgButton(dialog, IDC_SPEED_FIXED, BST_CHECKED);
  if (working.FixedSpeed == 1) CheckDlgButton(dialog, IDC_SPEED_RANDOM, BST_CHECKED);
  ApplySpeedEnabling(dialog, working.FixedSpeed == 0);

  speedTrackbar.Bind(dialog, IDC_SPEED);
  speedTrackbar.SetRange(0, 20);
  speedTrackbar.SetPageSize(1);
  speedTrackbar.SetPosition(int(working.Speed));
  splitTrackbar.Bind(dialog, IDC_SPLIT);
  splitTrackbar.SetRange(1, 9);
  splitTrackbar.SetPageSize(1);
  splitTrackbar.SetPosition(int(working.LocusOfSplit));

  CheckGroup(dialog, IDC_SIZE_SMALL, 3, working.Size);
  CheckGroup(dialog, IDC_COLORS_FIRST, 4, working.Colors);
  CheckGroup(dialog, IDC_ROLL_FIRST, 4, working.Roll);
  CheckGroup(dialog, IDC_WAVE_FIRST, 4, working.Wave);
  CheckOneOfThree(dialog, working.CameraMove, IDC_CAMERA_OFF, IDC_CAMERA_ON, IDC_CAMERA_RANDOM);

  InstallDigitFilter(GetDlgItem(dialog, IDC_GENERATIONS));
  // Signed: a count stored as a negative number shows its minus sign.
  std::snprintf(shownGenerations, sizeof shownGenerations, "%d", int32_t(working.Generations));
  SetDlgItemText(dialog, IDC_GENERATIONS, shownGenerations);

  CheckOneOfThree(dialog, working.ConnectTBLR, IDC_CONNECT_OFF, IDC_CONNECT_ON,
                  IDC_CONNECT_RANDOM);
}

bool OnLifePageRadio(HWND dialog, int id) {
  for (const RadioGroup& group : kRadioGroups) {
    if (id < group.first || id > group.last) continue;
    WorkingSettings.*group.field = id - group.first;
    if (group.field == &SettingsRecord::FixedSpeed) {
      ApplySpeedEnabling(dialog, id == int(IDC_SPEED_FIXED));
    }
    return true;
  }
  return false;
}

void ReadBackLifePage(HWND dialog) {
  WorkingSettings.Speed = uint32_t(speedTrackbar.GetPosition());
  WorkingSettings.LocusOfSplit = uint32_t(splitTrackbar.GetPosition());
  // A count the user left as it was shown is kept as stored: read back
  // unsigned, a negative one would turn into 0.
  char text[sizeof shownGenerations];
  GetDlgItemText(dialog, IDC_GENERATIONS, text, sizeof text);
  if (std::strcmp(text, shownGenerations) == 0) return;
  bool translated = false;
  WorkingSettings.Generations = GetDlgItemInt(dialog, IDC_GENERATIONS, &translated, false);
}
