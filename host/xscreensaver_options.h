#pragma once
#include "platform/sys/types.h"

// XScreenSaver starts its display modes with "-root" and names its own window
// in XSCREENSAVER_WINDOW; its settings program shows a preview by passing
// "-window-id <id>". Both are drawn as a preview of that window: XScreenSaver
// watches the input itself and ends the mode with SIGTERM.
// "-root" with no window in the environment, as when a user tries the
// command by hand, runs the ordinary full-screen saver instead.
struct XScreenSaverRequest {
  bool present = false;     // the arguments hold one of the options
  bool fullScreen = false;  // "-root" and no window named
  HWND window = 0;          // 0 when the id given cannot be read
};

// Ids are decimal or hexadecimal with 0x. Double dashes are accepted.
XScreenSaverRequest ReadXScreenSaverOptions(const char* arguments, const char* environmentWindow);

// 0 for anything that is not a whole decimal or 0x hexadecimal number.
HWND ParseWindowId(const char* text);
