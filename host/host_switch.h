#pragma once
#include "platform/sys/types.h"

// The modes that the switch on the command line chooses.
enum class HostMode {
  Configure,       // no switch, or C
  Saver,           // S
  Preview,         // P or L
  ChangePassword,  // A
  Unknown,         // anything else
};

struct HostSwitch {
  HostMode mode = HostMode::Unknown;
  // Preview and ChangePassword: the text after the letter and its spaces.
  // Configure: the text after "C:", or null when no colon followed.
  const char* rest = nullptr;
  // Configure with no switch at all: the dialog has no owner.
  bool noSwitch = false;
};

// Skips the program's own name and the blanks after it; the line may start
// with a quoted name.
const char* SkipProgramName(const char* commandLine);

// Reads the switch of the arguments: spaces, '-' and '/' lead in, then one
// letter in either case decides.
HostSwitch ReadHostSwitch(const char* arguments);

// A decimal number with no sign; 0 means no window, and so does a number
// that does not fit 32 bits.
HWND ParseWindowHandle(const char* text);
