#include "saver/frame_rate.h"

#include <cstdio>

void FrameRateMeasurement::Format(uint32_t now, char (&text)[kTextSize]) const {
  std::snprintf(text, sizeof text, "%6.2lf", FramesPerSecond(now));
}
