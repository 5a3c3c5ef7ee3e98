#include "saver/render_pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A clock that only moves when told to: a wait advances it by the time waited
// unless a stop has been asked for. The tick count wraps past zero soon after
// the start, so every wait and figure is measured across the wrap.
struct StandInClock : RenderClock {
  uint32_t now = 0xFFFFFF00u;
  bool stopped = false;
  std::vector<uint32_t> waits;

  uint32_t Now() override { return now; }
  bool WaitForStop(uint32_t milliseconds) override {
    waits.push_back(milliseconds);
    if (stopped) return true;
    now += milliseconds;
    return false;
  }
};

class RenderPacingTest : public ::testing::Test {
 protected:
  void SetUp() override { pacing.FramesStarting(clock); }

  // One frame as the Render thread runs it: the wait, then the frame's own work.
  bool Frame(int32_t interval, uint32_t work) {
    if (!pacing.Wait(clock, pacing.NextWait(clock, interval))) return false;
    clock.now += work;
    pacing.FrameShown();
    return true;
  }

  StandInClock clock;
  RenderPacing pacing;
};

// The first frame waits the whole interval; after a slow frame there is no
// wait and the rhythm starts again from there, without catching up. The time
// between runs (options drawn again, board seeded) counts against the next
// frame, and no interval is a zero wait that still sees a stop.
TEST_F(RenderPacingTest, EachFrameWaitsTheRestOfTheInterval) {
  for (uint32_t work : {30, 30, 250, 30, 30}) ASSERT_TRUE(Frame(100, work));
  pacing.RunEnded(clock);
  clock.now += 50;
  pacing.FramesStarting(clock);
  ASSERT_TRUE(Frame(300, 0));
  EXPECT_TRUE(Frame(0, 5));
  clock.stopped = true;
  EXPECT_FALSE(Frame(0, 5));
  EXPECT_EQ(clock.waits, (std::vector<uint32_t>{100, 70, 70, 0, 70, 220, 0, 0}));
}

// The figure of the first run is live while it goes on (no time yet reads as
// zero, not infinity) and stays fixed once it has ended.
TEST_F(RenderPacingTest, TheFirstRunsFigureIsLiveUntilItEndsAndThenStaysFixed) {
  EXPECT_STREQ(pacing.OverlayText(clock), "  0.00");
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(Frame(100, 0));
  EXPECT_STREQ(pacing.OverlayText(clock), " 10.00");
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(Frame(25, 0));
  pacing.RunEnded(clock);  // 30 frames in 1.5 s
  EXPECT_STREQ(pacing.OverlayText(clock), " 20.00");
  pacing.FramesStarting(clock);
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(Frame(200, 0));
  pacing.RunEnded(clock);
  pacing.FramesStarting(clock);
  EXPECT_STREQ(pacing.OverlayText(clock), " 20.00");
}

// --fps: the figure follows the saver as it is now (50 then 20 frames a
// second) and changes only about once a second, so that it can be read.
TEST_F(RenderPacingTest, TheLiveFigureIsTheLastSecondsRateRefreshedOnceASecond) {
  pacing.SetLive(true);
  std::vector<std::string> shown;
  auto run = [&](int frames, int32_t interval) {
    for (int i = 0; i < frames; ++i) {
      shown.push_back(pacing.OverlayText(clock));
      ASSERT_TRUE(Frame(interval, 0));
    }
  };
  run(150, 20);  // three seconds at 50 frames a second
  run(100, 50);  // five seconds at 20
  EXPECT_EQ(shown[10], "  0.00");
  EXPECT_EQ(shown[60], " 50.00");
  EXPECT_EQ(shown.back(), " 20.00");
  int changes = 0;
  for (size_t i = 1; i < shown.size(); ++i) changes += shown[i] != shown[i - 1];
  EXPECT_LE(changes, 3) << "the figure flickers";
}

}  // namespace
