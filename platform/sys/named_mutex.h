#pragma once
#include "platform/sys/handle.h"

// A mutex named across the user's processes. It exists while a handle to it is
// open in some process; a crash closes the handles with the process. When the
// name already exists the handle is still returned and GetLastError() reports
// ERROR_ALREADY_EXISTS; otherwise GetLastError() is 0.
HANDLE CreateMutexA(bool initialOwner, const char* name);

// Gives up ownership; the name lives on until the handle is closed.
bool ReleaseMutex(HANDLE mutex);
