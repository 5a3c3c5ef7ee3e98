#pragma once
#include <cstdint>

#include "platform/win/win_types.h"

// The procedure of the class "WindowsScreenSaverClass": the screen-saver rules
// first, then the program's saver window procedure.
LRESULT SaverClassProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

// What the program's procedure does not consume ends up here: the rules that
// end the saver and the answer to the password request.
LRESULT DefaultSaverProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

// True when the window may be destroyed now; runs the password dialog when a
// password protects the saver.
bool VerifyClose(HWND window);
