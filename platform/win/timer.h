#pragma once
#include <chrono>
#include <optional>

#include "platform/win/window_state.h"

// Timer messages are made on demand, when the queue has nothing else to give.
// The caller holds the state's mutex.
std::optional<MSG> TakeDueTimerLocked(WindowState& state, HWND window, uint32_t filterMin,
                                      uint32_t filterMax, bool remove);
std::optional<std::chrono::steady_clock::time_point> NextTimerDueLocked(const WindowState& state);
void KillWindowTimersLocked(WindowState& state, HWND window);
