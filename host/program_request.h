#pragma once
#include <string>
#include <vector>

// What the command line asks of the program, read before anything else runs:
// a mode (the screen-saver switches /s /p /c /a, XScreenSaver's -root and
// -window-id, or -window for a window of the program's own), the settings flags for this run (settings_flags.h), -display,
// or --help and --version. The mode's words go on to HostEntry as they were;
// the flags never reach the mode's line, so a path given to a flag cannot be
// taken for a switch.
struct ProgramRequest {
  enum class Action { Run, Help, Version, Mistake };
  Action action = Action::Run;
  std::string modeLine;  // e.g. "/p 1234", "-root", "" (configuration)
  std::string display;   // from -display, empty when not given
  bool ownWindow = false;  // -window: draw in a top-level window of our own
  std::string mistake;   // one line, without the program's name
  std::string notice;    // a warning that does not stop the run
};

// Reads the arguments after the program's name. Settings flags are kept
// (AddSettingsFlag) as they are read.
ProgramRequest ReadProgramRequest(const std::vector<std::string>& arguments);

std::string ProgramHelpText();
std::string ProgramVersionText();
