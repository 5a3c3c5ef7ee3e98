#pragma once
#include <chrono>

// Full-screen flips at the pace of the monitor. A flip happens at the next
// vertical blank and stays pending until then; the next flip waits for it.
// So no more than one picture reaches the screen a refresh, and a frame that
// is late only shows a refresh later. The blanks are counted on the monotonic
// clock from the first flip, one refresh period apart.
class FlipPacer {
 public:
  using Clock = std::chrono::steady_clock;
  // For a monitor whose rate the server does not report (Xvfb's modes have no timings).
  static constexpr double kAssumedRefreshRate = 60.0;

  // Refreshes a second; 0 for unknown.
  explicit FlipPacer(double refreshRate);
  // Waits while the last flip is pending.
  void WaitForPendingFlip();
  // A flip was just made: pending until the next blank.
  void Flipped();

  Clock::duration Period() const { return period_; }

 private:
  Clock::duration period_;
  Clock::time_point firstBlank_;
  Clock::time_point pendingUntil_;
  bool started_ = false;
};
