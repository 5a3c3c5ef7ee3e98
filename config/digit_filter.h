#pragma once
#include "platform/sys/types.h"

// Lets only digits and control characters be typed into the edit box; pasted
// text goes in unfiltered.
void InstallDigitFilter(HWND edit);
