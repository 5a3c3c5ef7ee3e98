#include "platform/ddraw/flip_pacer.h"

#include <thread>

FlipPacer::FlipPacer(double refreshRate)
    : period_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / (refreshRate > 0 ? refreshRate : kAssumedRefreshRate)))) {}

void FlipPacer::WaitForPendingFlip() {
  if (started_) std::this_thread::sleep_until(pendingUntil_);
}

void FlipPacer::Flipped() {
  const Clock::time_point now = Clock::now();
  if (!started_) {
    started_ = true;
    firstBlank_ = now;
  }
  const auto blanks = (now - firstBlank_) / period_ + 1;
  pendingUntil_ = firstBlank_ + blanks * period_;
}
