#pragma once
#include "platform/sys/types.h"

// Keeps a window of ours above an owner window of another program (the
// window manager's transient-for hint). Nothing happens without a display or an
// owner; an owner that is gone does no harm.
void StayAboveForeignOwner(HWND window, HWND owner);
