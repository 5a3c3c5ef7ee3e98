#pragma once
#include <cstdint>

#include "platform/win/win_types.h"

// GetMessage's and PeekMessage's choice: a window of 0 and a range of 0 to 0
// take everything.
inline bool MatchesFilter(const MSG& message, HWND window, uint32_t filterMin, uint32_t filterMax) {
  if (window != 0 && message.hwnd != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return message.message >= filterMin && message.message <= filterMax;
}
