#pragma once
#include "platform/win/win_types.h"

// A null cursor hides the pointer over this process's windows; any other brings
// back the desktop's own. Returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
// Screen coordinates of the pointer.
bool GetCursorPos(POINT* point);
