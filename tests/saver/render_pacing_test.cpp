#include "saver/render_pacing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/sys/event.h"
#include "saver/render_thread.h"

namespace {

// A clock that only moves when told to: a wait advances it by the time waited
// unless a stop has been asked for.
class StandInClock : public RenderClock {
 public:
  uint32_t now = 5000;
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

// One frame as the Render thread runs it: the wait, then the frame's own work.
bool Frame(RenderPacing& pacing, StandInClock& clock, int32_t interval, uint32_t work) {
  uint32_t wait = pacing.NextWait(clock, interval);
  if (!pacing.Wait(clock, wait)) return false;
  clock.now += work;
  pacing.FrameShown();
  return true;
}

TEST(RenderPacing, EachFrameWaitsTheRestOfTheInterval) {
  StandInClock clock;
  RenderPacing pacing;
  pacing.FramesStarting(clock);
  ASSERT_TRUE(Frame(pacing, clock, 100, 30));
  ASSERT_TRUE(Frame(pacing, clock, 100, 30));
  ASSERT_TRUE(Frame(pacing, clock, 100, 250));  // a slow frame
  ASSERT_TRUE(Frame(pacing, clock, 100, 30));
  ASSERT_TRUE(Frame(pacing, clock, 100, 30));
  // No interval is a zero wait that still sees a stop.
  EXPECT_TRUE(Frame(pacing, clock, 0, 5));
  clock.stopped = true;
  EXPECT_FALSE(Frame(pacing, clock, 0, 5));
  // The first frame waits the whole interval; after the slow frame there is no
  // wait and the rhythm starts again from there, without catching up.
  EXPECT_EQ(clock.waits, (std::vector<uint32_t>{100, 70, 70, 0, 70, 0, 0}));
}

TEST(RenderPacing, TheTimeBetweenRunsCountsAgainstTheNextFrame) {
  StandInClock clock;
  RenderPacing pacing;
  pacing.FramesStarting(clock);
  ASSERT_TRUE(Frame(pacing, clock, 100, 20));
  pacing.RunEnded(clock);
  clock.now += 50;  // options drawn again, board seeded
  pacing.FramesStarting(clock);
  ASSERT_TRUE(Frame(pacing, clock, 300, 0));
  EXPECT_EQ(clock.waits.back(), 230u);
}

TEST(FrameRate, ShowsTheFirstRunSoFarWhileItGoesOn) {
  StandInClock clock;
  RenderPacing pacing;
  pacing.FramesStarting(clock);
  EXPECT_STREQ(pacing.OverlayText(clock), "  0.00") << "no time yet reads as zero, not infinity";
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(Frame(pacing, clock, 100, 0));
  // Ten frames in one second so far: not the 0.00 of an unfinished measurement.
  EXPECT_STREQ(pacing.OverlayText(clock), " 10.00");
}

TEST(FrameRate, StaysFixedOnceTheFirstRunHasEnded) {
  StandInClock clock;
  RenderPacing pacing;
  pacing.FramesStarting(clock);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(Frame(pacing, clock, 50, 0));
  pacing.RunEnded(clock);  // 20 frames in 1 s
  std::string fixed = pacing.OverlayText(clock);
  EXPECT_EQ(fixed, " 20.00");
  pacing.FramesStarting(clock);
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(Frame(pacing, clock, 200, 0));
  pacing.RunEnded(clock);
  pacing.FramesStarting(clock);
  EXPECT_EQ(pacing.OverlayText(clock), fixed);
  EXPECT_EQ(pacing.Rate().Frames(), 20u);
}

TEST(FrameRate, AWrappedTickCountStillMeasuresTheElapsedTime) {
  FrameRateMeasurement rate;
  rate.Begin(0xFFFFFF00u);
  for (int i = 0; i < 5; ++i) rate.CountFrame();
  rate.EndRun(0xFFFFFF00u + 1000u);  // wraps past zero
  EXPECT_NEAR(rate.FramesPerSecond(0), 5.0, 1e-9);
}

TEST(StopEventClock, AStopEndsALongFrameWaitAtOnce) {
  HANDLE stop = CreateEventA(true, false);
  StopEventClock clock(stop);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(stop);
  });
  auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(clock.WaitForStop(2000));
  auto took = std::chrono::steady_clock::now() - before;
  stopper.join();
  EXPECT_LT(took, std::chrono::milliseconds(500));
  // Manual reset: every later test sees the stop at once.
  EXPECT_TRUE(clock.WaitForStop(2000));
  CloseHandle(stop);
}

}  // namespace

// --fps: the figure follows the saver as it is now (50 then 20 frames a
// second) and changes only about once a second, so that it can be read.
TEST(RenderPacing, TheLiveFigureIsTheLastSecondsRateRefreshedOnceASecond) {
  StandInClock clock;
  RenderPacing pacing;
  pacing.SetLive(true);
  pacing.FramesStarting(clock);
  std::vector<std::string> shown;
  auto run = [&](int frames, int32_t interval) {
    for (int i = 0; i < frames; ++i) {
      shown.push_back(pacing.OverlayText(clock));
      ASSERT_TRUE(Frame(pacing, clock, interval, 0));
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
