#include "saver/render_pacing.h"

#include "saver/frame_pacer.h"

void RenderPacing::FramesStarting(RenderClock& clock) {
  if (!started_) {
    lastWake_ = clock.Now();
    started_ = true;
  }
  rate_.Begin(lastWake_);
}

uint32_t RenderPacing::NextWait(RenderClock& clock, int32_t frameInterval) const {
  return FrameWait(frameInterval, clock.Now(), lastWake_);
}

bool RenderPacing::Wait(RenderClock& clock, uint32_t milliseconds) {
  if (clock.WaitForStop(milliseconds)) return false;
  lastWake_ = clock.Now();
  return true;
}

const char* RenderPacing::OverlayText(RenderClock& clock) {
  if (showLive_) live_.Format(clock.Now(), overlay_);
  else rate_.Format(clock.Now(), overlay_);
  return overlay_;
}
