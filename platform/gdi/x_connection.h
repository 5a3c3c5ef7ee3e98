#pragma once
#include <xcb/xcb.h>

#include <cstdint>

#include "platform/sys/types.h"

// The text library's own connection to the X display, made on first use; a
// refused connection is tried again on later uses, a bounded number of times.
// Null when there is no display.
xcb_connection_t* TextConnection();

struct WindowFacts {
  int width = 0;
  int height = 0;
  int depth = 0;
  int bitsPerPixel = 0;
};
// False when the window does not exist. Window 0 is the screen's root.
bool QueryWindow(HWND window, WindowFacts* facts);
HWND RootWindow();
