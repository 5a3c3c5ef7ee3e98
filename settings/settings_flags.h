#pragma once
#include <string>
#include <vector>

// Options of the settings file given on the command line for one run. Each
// flag is named after its value ("--speed" for Speed, "--x-file-name" for
// XFileName) and overrides what the file holds until the process ends; the
// file itself is never written with them.

struct SettingsFlagInfo {
  const char* flag;       // without the dashes: "speed"
  const char* valueName;  // the settings file's name: "Speed"
  const char* values;     // what the flag takes, for --help and the docs
  bool takesValue;        // false for switches such as "fps"
};

// Every flag, in the order --help lists them.
const std::vector<SettingsFlagInfo>& SettingsFlags();

// The flag of that name (no dashes, any case), or null.
const SettingsFlagInfo* FindSettingsFlag(const std::string& name);

// Checks the value and keeps it for ApplySettingsFlags. An empty result means
// it was taken; otherwise it is one line saying what is wrong with the value.
std::string AddSettingsFlag(const SettingsFlagInfo& flag, const std::string& value);

// Puts the kept values into the Settings record (after LoadSettings).
void ApplySettingsFlags();
bool AnySettingsFlags();

// "--fps" asks for the live figure: frames of the last second, not the
// average of the first run that the file's FPS value shows.
bool LiveFrameRateRequested();

void ClearSettingsFlagsForTesting();
