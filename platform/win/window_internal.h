#pragma once
#include "platform/win/win_types.h"

// Calls between the parts of the window library that the system never sees.

// The window's procedure, called on the current thread; 0 for an unknown window.
LRESULT CallWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// The X server destroyed the window with its foreign parent: the window thread
// lets the procedure see WM_DESTROY and forgets the window.
void FinishLostWindow(HWND window);
