#pragma once
#include <cstdint>

// Frame pacing: each frame waits for what is left of the frame interval since
// the previous frame's wait ended. A frame whose own work took longer gets no
// wait at all, and the rhythm starts again from there; late frames are not
// caught up.
inline uint32_t FrameWait(int32_t frameInterval, uint32_t now, uint32_t lastWake) {
  int32_t wait = frameInterval - static_cast<int32_t>(now - lastWake);
  return wait < 0 ? 0u : static_cast<uint32_t>(wait);
}
