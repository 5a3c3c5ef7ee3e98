#include "saver/frame_rate.h"

#include <cstdio>

void FrameRateMeasurement::Format(uint32_t now, char (&text)[kTextSize]) const {
  std::snprintf(text, sizeof text, "%6.2lf", FramesPerSecond(now));
}

void LiveFrameRate::Format(uint32_t now, char (&text)[FrameRateMeasurement::kTextSize]) {
  if (!started_) {
    started_ = true;
    since_ = now;
    frames_ = 0;
  }
  const uint32_t elapsed = now - since_;
  if (elapsed >= 1000) {
    rate_ = static_cast<double>(frames_) * 1000.0 / static_cast<double>(elapsed);
    frames_ = 0;
    since_ = now;
  }
  std::snprintf(text, sizeof text, "%6.2lf", rate_);
}
