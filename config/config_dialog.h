#pragma once
#include <cstdint>

#include "platform/win/win_types.h"

// The procedure of dialog 2003, the configuration dialog. It ends with 1 after
// OK, which saves the settings, and with 0 after Cancel or when another saver
// or configuration dialog already runs.
intptr_t ConfigDialogProc(HWND dialog, uint32_t message, WPARAM wParam, LPARAM lParam);

// Tests stand in for a preview that cannot be allocated.
void SetPreviewAllocationFailsForTesting(bool fails);
