#pragma once
#include <cstdint>

#include "settings/resolved_options.h"

// The World keeps one slot more than the largest split-step count.
inline constexpr uint32_t kMaxSplitSteps = 9;

// Frames per generation. A count of 0 can only come from a hand-edited
// settings file; it is drawn as one frame, because the frames are also where
// the Render thread notices that it should stop, and a board stepping without
// frames would never look.
inline uint32_t SplitStepCount() {
  const uint32_t n = Resolved.LocusOfSplit;
  if (n == 0) return 1;
  return n > kMaxSplitSteps ? kMaxSplitSteps : n;
}
