#pragma once
#include "platform/sys/types.h"

// Moves the window, keeping its size and place in the stacking order, so that
// it is centred on the reference window and stays on the screen. Without a
// reference window it is centred on the screen.
void CentreWindow(HWND window, HWND reference);
