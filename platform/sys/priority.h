#pragma once
#include <cstdint>

#include "platform/sys/handle.h"

inline constexpr uint32_t NORMAL_PRIORITY_CLASS = 0x20;
inline constexpr uint32_t IDLE_PRIORITY_CLASS = 0x40;

inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_IDLE = -15;

// For the whole process: every thread it has now and every one it starts later.
// Normal is the nice value the process started with; idle is nice 10, or the
// starting value when that is higher. Returning to normal needs the right to
// raise a priority, which an ordinary user may lack; the result then is false.
bool SetPriorityClass(uint32_t priorityClass);
uint32_t GetPriorityClass();

// A handle from CreateThread, or GetCurrentThread() for the caller. Idle is
// two nice steps below the process's class, normal is the class's own value;
// both stay in the ordinary scheduler, which lets no thread starve.
HANDLE GetCurrentThread();
bool SetThreadPriority(HANDLE thread, int priority);
