#include <algorithm>
#include <string>

#include "host/program_request.h"
#include "settings/settings_flags.h"

#ifndef QUELLAR_VERSION
#define QUELLAR_VERSION "unknown"
#endif

std::string ProgramVersionText() {
  return "quellar " QUELLAR_VERSION "\n";
}

std::string ProgramHelpText() {
  std::string text =
      "Usage: quellar [mode] [options]\n"
      "A 3-D Game of Life screen saver for X11.\n"
      "\n"
      "Modes:\n"
      "  /s                  full-screen saver; a key, a button or a mouse move ends it\n"
      "  /p <id>             plays inside the X window with that decimal id (a preview)\n"
      "  /c, no mode         the configuration dialog\n"
      "  -root               inside XScreenSaver: draws in the window named by\n"
      "                      XSCREENSAVER_WINDOW (full screen when it is not set)\n"
      "  -window-id <id>     draws in that window (decimal or 0x hexadecimal)\n"
      "  -window             draws in a window of its own until it is closed\n"
      "\n"
      "Options for this run (they override the settings file and are not saved;\n"
      "words in any case; --name=value works too):\n";
  for (const SettingsFlagInfo& flag : SettingsFlags()) {
    std::string left = std::string("  --") + flag.flag + (flag.takesValue ? " <value>" : "");
    left.resize(std::max<size_t>(left.size() + 1, 28), ' ');
    text += left + flag.values + "  [" + flag.valueName + "]\n";
  }
  text +=
      "  -display <name>           the X display to use instead of $DISPLAY\n"
      "  --help, --version         print this text or the version, and end\n"
      "\n"
      "Settings live in $XDG_CONFIG_HOME/Software/Varune/Quellar/Settings.reg\n"
      "(~/.config/... when XDG_CONFIG_HOME is not set); the first run writes it with\n"
      "every value at its default. See quellar(6) and the README for every value.\n"
      "\n"
      "Exit status: 0 when the saver or dialog ended normally, 255 for a bad command\n"
      "line, a window that does not exist or a display that cannot be opened.\n";
  return text;
}
