#include "settings/resolved_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/sys/command_line.h"
#include "platform/sys/platform_identity.h"
#include "settings/random_generator.h"
#include "settings/settings.h"

namespace {

struct FakeBoard : RunBoard {
  void Seed() override { ++seeds; }
  bool Resize(int32_t width, int32_t height) override {
    resizes.emplace_back(width, height);
    return true;
  }
  int seeds = 0;
  std::vector<std::pair<int32_t, int32_t>> resizes;
};

class ResolvedOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = SettingsRecord{};
    Settings.Size = 1, Settings.ScreenMode = 2;
    std::strcpy(Settings.TextureName, kNoTextureName);
    const char* line[] = {"/usr/bin/quellar", "/s"};
    SetCommandLine(2, line);
  }
  void TearDown() override { ResetPlatformIdentityForTesting(); }
};

TEST(RandomGenerator, FollowsItsRecurrenceFromTheSeedWithinRange) {
  SeedRandom(0);
  // The first draws after seed 0, worked out by hand from the recurrence.
  EXPECT_EQ(DrawRandom(), 38);
  EXPECT_EQ(DrawRandom(), 7719);
  EXPECT_EQ(DrawRandom(), 21238);
  SeedRandom(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int r = DrawRandom();
    ASSERT_TRUE(r >= 0 && r <= 32767) << r;
  }
}

// A seed whose first draw is `wanted`.
uint32_t SeedDrawing(int wanted) {
  for (uint32_t seed = 0;; ++seed) {
    SeedRandom(seed);
    if (DrawRandom() == wanted) return seed;
  }
}

TEST_F(ResolvedOptions, FixedSpeedStepsGiveTheirFrameIntervalsAndFixedOptionsDrawNothing) {
  const int32_t expected[21] = {2000, 1500, 1125, 843, 632, 474, 355, 266, 200, 150, 112,
                                84,   63,   47,   35,  26,  20,  15,  11,  8,   0};
  Settings.Roll = 2, Settings.Wave = 1, Settings.ConnectTBLR = 1;
  SeedRandom(99);
  const int next = DrawRandom();
  for (uint32_t step = 0; step <= 20; ++step) {
    SCOPED_TRACE(step);
    Settings.Speed = step;
    SeedRandom(99);
    ResolveOptions(RECT{});
    EXPECT_EQ(DrawRandom(), next) << "nothing drawn";
    EXPECT_EQ(Resolved.FrameInterval, expected[step]);
  }
  EXPECT_EQ(
      std::make_tuple(Resolved.Roll, Resolved.Wave, Resolved.ConnectTBLR, Resolved.BoardWidth),
      std::make_tuple(2, 1, 1, 20));
}

TEST_F(ResolvedOptions, RandomSpeedRunsFrom2000To6AndNeverZero) {
  Settings.FixedSpeed = 1;
  SeedRandom(SeedDrawing(0));
  ResolveOptions(RECT{});
  EXPECT_EQ(Resolved.FrameInterval, 2000);
  SeedRandom(SeedDrawing(32767));
  ResolveOptions(RECT{});
  EXPECT_EQ(Resolved.FrameInterval, 6);
  FakeBoard board;
  for (int run = 0; run < 20000 && Resolved.FrameInterval >= 6; ++run) ReresolveOptions(board);
  EXPECT_GE(Resolved.FrameInterval, 6);
}

TEST_F(ResolvedOptions, AnEndedRunRestartsOnTheSameSizeAndResizesOnAnother) {
  Settings.Size = 3;
  FakeBoard board;
  SeedRandom(5);
  ResolveOptions(RECT{});
  int restarts = 0;
  for (int run = 0; run < 60; ++run) {
    const int32_t width = Resolved.BoardWidth;
    const FakeBoard before = board;
    ReresolveOptions(board);
    const bool restart = Resolved.BoardWidth == width;
    restarts += restart;
    EXPECT_EQ(board.seeds, before.seeds + restart) << "run " << run;
    ASSERT_EQ(board.resizes.size(), before.resizes.size() + !restart) << "run " << run;
    if (!restart) {
      EXPECT_EQ(board.resizes.back(), std::make_pair(Resolved.BoardWidth, Resolved.BoardHeight));
    }
  }
  EXPECT_GT(restarts, 0);
  EXPECT_GT(board.resizes.size(), 0u);
}

TEST_F(ResolvedOptions, PreviewIsABlankASlashAndPOrLAnywhere) {
  // The arguments reach the line joined by blanks, so one argument can carry them all.
  const std::pair<const char*, bool> lines[] = {{"quellar /p 1234", true},
                                                {"quellar /P 99", true},
                                                {"quellar /l", true},
                                                {"quellar /s /Lx", true},
                                                {"quellar /s", false},
                                                {"quellar -p 1", false},
                                                {"/p", false},
                                                {"quellar /c:/p", false}};
  for (const auto& [line, preview] : lines) {
    SetCommandLine(1, &line);
    ResolveOptions(RECT{});
    EXPECT_EQ(Resolved.PreviewMode, preview) << GetCommandLineA();
    EXPECT_EQ(Resolved.ScreenMode, preview ? 0u : 2u) << GetCommandLineA();
  }
}

TEST_F(ResolvedOptions, Nt4RunsWindowedAndResolvingAgainLeavesTheDisplayAlone) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  ResolveOptions(RECT{1, 2, 3, 4});
  EXPECT_EQ(Resolved.ScreenMode, 0u);
  ResetPlatformIdentityForTesting();
  Settings.ScreenMode = 3, Settings.XScale = 9.0f;
  FakeBoard board;
  ReresolveOptions(board);
  EXPECT_EQ(Resolved.ScreenMode, 0u);
  EXPECT_EQ(Resolved.XScale, 0.0f);
  EXPECT_EQ(Resolved.WindowRect, (RECT{1, 2, 3, 4}));
}

}  // namespace
