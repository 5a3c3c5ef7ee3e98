#pragma once
#include "platform/sys/types.h"

// What the display library asks the X server about screens and windows.
bool XScreenSize(int screen, int* width, int* height);
bool XWindowSize(HWND window, int* width, int* height);
bool XWindowOrigin(HWND window, POINT* origin);
