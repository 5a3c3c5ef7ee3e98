#pragma once
#include "platform/sys/types.h"

// A window that exists only as a picture in memory: no display server is
// needed. DirectDraw objects open on it like on a real window, and its primary
// surface reads back what was presented. Handles never collide with X window
// ids, which have their top three bits clear.
HWND CreateOffscreenWindow(int width, int height);
void DestroyOffscreenWindow(HWND window);
bool IsOffscreenWindow(HWND window);
bool OffscreenWindowSize(HWND window, int* width, int* height);
