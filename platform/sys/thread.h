#pragma once
#include <cstdint>

#include "platform/sys/handle.h"

using ThreadProc = uint32_t (*)(void* parameter);

// Starts the thread at once. WaitForSingleObject on the handle joins it;
// CloseHandle on a running thread lets it run to its end on its own.
HANDLE CreateThread(ThreadProc body, void* parameter);

// The thread's result once it has ended.
bool GetExitCodeThread(HANDLE thread, uint32_t* exitCode);

void Sleep(uint32_t milliseconds);
