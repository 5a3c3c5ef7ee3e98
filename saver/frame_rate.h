#pragma once
#include <cstdint>

// The frame-rate figure of the FPS option: the frames of the process's first
// run of the board over the time that run took. While that run goes on, the
// time so far stands in for its end, so the figure is live from the first
// frame instead of sitting at zero; once the run has ended the figure stays.
class FrameRateMeasurement {
 public:
  static constexpr int kTextSize = 20;

  // The tick at which the first frames began; later calls change nothing.
  void Begin(uint32_t now) {
    if (start_ == 0) start_ = now;
  }
  void CountFrame() {
    if (measuring_) ++frames_;
  }
  // The end of a run; only the first one ends the measurement.
  void EndRun(uint32_t now) {
    if (!measuring_) return;
    end_ = now;
    measuring_ = false;
  }

  double FramesPerSecond(uint32_t now) const {
    uint32_t elapsed = (measuring_ ? now : end_) - start_;
    if (elapsed == 0) return 0.0;
    return static_cast<double>(frames_) / (static_cast<double>(elapsed) * 0.001);
  }

  // The figure as the overlay shows it, in six characters.
  void Format(uint32_t now, char (&text)[kTextSize]) const;

  bool Measuring() const { return measuring_; }
  uint32_t Frames() const { return frames_; }

 private:
  uint32_t frames_ = 0;
  uint32_t start_ = 0;
  uint32_t end_ = 0;
  bool measuring_ = true;
};

// The figure of --fps: the frames of the last second or so, refreshed about
// once a second, so that it follows what the saver does now.
class LiveFrameRate {
 public:
  void CountFrame() { ++frames_; }
  void Format(uint32_t now, char (&text)[FrameRateMeasurement::kTextSize]);

 private:
  bool started_ = false;
  uint32_t since_ = 0;
  uint32_t frames_ = 0;
  double rate_ = 0.0;
};
