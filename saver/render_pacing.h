#pragma once
#include <cstdint>

#include "saver/frame_rate.h"

// Time as the Render thread sees it: the tick count, and the wait on its stop
// event that serves as frame delay and stop test at once. Tests stand in for
// both.
class RenderClock {
 public:
  virtual ~RenderClock() = default;
  virtual uint32_t Now() = 0;
  // True when the stop event was set (at once or during the wait).
  virtual bool WaitForStop(uint32_t milliseconds) = 0;
};

// The Render thread's timing across the whole process: the end of the last
// frame wait and the frame-rate measurement both survive restarts.
class RenderPacing {
 public:
  // Before the first frame of each generation.
  void FramesStarting(RenderClock& clock);
  // What is left of the frame interval now.
  uint32_t NextWait(RenderClock& clock, int32_t frameInterval) const;
  // Waits that long on the stop event; false when a stop was asked for.
  bool Wait(RenderClock& clock, uint32_t milliseconds);
  void FrameShown() {
    rate_.CountFrame();
    live_.CountFrame();
  }
  // The overlay shows the live figure instead of the first run's average.
  void SetLive(bool live) { showLive_ = live; }
  void RunEnded(RenderClock& clock) { rate_.EndRun(clock.Now()); }

  // The overlay's figure for the frame about to be drawn.
  const char* OverlayText(RenderClock& clock);

  uint32_t LastWake() const { return lastWake_; }
  const FrameRateMeasurement& Rate() const { return rate_; }

 private:
  bool started_ = false;
  uint32_t lastWake_ = 0;
  FrameRateMeasurement rate_;
  LiveFrameRate live_;
  bool showLive_ = false;
  char overlay_[FrameRateMeasurement::kTextSize] = {};
};
