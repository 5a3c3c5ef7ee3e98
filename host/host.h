#pragma once
#include "platform/sys/types.h"

// The executable's front door: the switch on the command line chooses one mode
// per process, and the mode's exit code ends the process (-1 leaves it with
// status 255).

// Reads the command line itself, runs HostMain and returns its exit code. An
// XScreenSaver command line ("-root", "-window-id <id>") runs as a preview of
// the window that XScreenSaver names.
int HostEntry();
int HostMain(const char* arguments);

int RunPreview(const char* text);
int RunSaverWindow(HWND parent);
int ShowConfigDialog(HWND owner);
int ChangePassword(const char* text);

// Windows 9x bookkeeping; nothing happens on other platforms.
void SetSaverRunning(bool running);
void LoadPasswordModule();
void UnloadPasswordModule();
