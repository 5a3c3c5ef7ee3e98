#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/win/win_types.h"
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
// Keys pressed on the X display as a user would (xdotool); false without one.
bool TypeInto(HWND dialog, int id, const std::string& xdotoolKeys);

// The value line of `name` in the settings file, or "" when there is none.
std::string SettingsLine(const std::string& name);
