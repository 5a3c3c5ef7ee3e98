#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "platform/sys/command_line.h"
#include "platform/sys/platform_identity.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"

namespace {

class FakeBoard : public RunBoard {
public:
  void Seed() override { ++seeds; }
  bool Resize(int32_t width, int32_t height) override {
    resizes.emplace_back(width, height);
    return true;
  }
  int seeds = 0;
  std::vector<std::pair<int32_t, int32_t>> resizes;
};

constexpr int32_t kWidths[] = {32, 20, 12};
constexpr int32_t kHeights[] = {24, 15, 9};

const char* kPlainLine[] = {"/usr/bin/quellar", "/s"};

class ResolvedOptions : public ::testing::Test {
protected:
  void SetUp() override {
    Settings = SettingsRecord{};
    Settings.Speed = 19;
    Settings.Size = 1;
    Settings.Generations = 20;
    Settings.Colors = 1;
    Settings.LocusOfSplit = 9;
    Settings.ScreenMode = 2;
    Settings.ScreenColor = 3;
    Settings.Rendering = 2;
    Settings.FPS = 1;
    Settings.XScale = 0.5f;
    std::strcpy(Settings.TextureName, kNoTextureName);
    SetCommandLine(2, kPlainLine);
  }
  void TearDown() override { ResetPlatformIdentityForTesting(); }

  static void AllRandom() {
    Settings.FixedSpeed = 1;
    Settings.Size = 3;
    Settings.ConnectTBLR = 2;
    Settings.Colors = 3;
    Settings.Roll = 3;
    Settings.CameraMove = 2;
    Settings.Wave = 3;
  }
};

int32_t IntervalOfDraw(int r) {
  const int32_t n = int32_t(32767.0 * std::sqrt(r / 32767.0));
  return int32_t(2000.0 * std::pow(0.75, n / 1638));
}

// A seed whose first draw is `wanted`.
uint32_t SeedDrawing(int wanted) {
  for (uint32_t seed = 0;; ++seed) {
    SeedRandom(seed);
    if (DrawRandom() == wanted) return seed;
  }
}

TEST_F(ResolvedOptions, FixedSpeedStepsGiveTheirFrameIntervals) {
  const int32_t expected[21] = {2000, 1500, 1125, 843, 632, 474, 355, 266, 200, 150, 112,
                                84,   63,   47,   35,  26,  20,  15,  11,  8,   0};
  for (uint32_t step = 0; step <= 20; ++step) {
    EXPECT_EQ(FrameIntervalForStep(step), expected[step]) << "step " << step;
    Settings.Speed = step;
    ResolveOptions(RECT{});
    EXPECT_EQ(Resolved.FrameInterval, expected[step]);
  }
}

TEST_F(ResolvedOptions, RandomSpeedRunsFrom2000To6AndNeverZero) {
  Settings.FixedSpeed = 1;
  SeedRandom(SeedDrawing(0));
  ResolveOptions(RECT{});
  EXPECT_EQ(Resolved.FrameInterval, 2000);
  SeedRandom(SeedDrawing(32767));
  ResolveOptions(RECT{});
  EXPECT_EQ(Resolved.FrameInterval, 6);

  std::set<int32_t> seen;
  SeedRandom(1);
  FakeBoard board;
  for (int run = 0; run < 20000; ++run) {
    ReresolveOptions(board);
    ASSERT_GT(Resolved.FrameInterval, 0);
    seen.insert(Resolved.FrameInterval);
  }
  EXPECT_EQ(*seen.rbegin(), 2000);
  EXPECT_EQ(*seen.begin(), 6);
}

TEST_F(ResolvedOptions, ResolvingDrawsSpeedRollColorsEdgesSizeCameraWave) {
  AllRandom();
  for (uint32_t seed = 0; seed < 50; ++seed) {
    SeedRandom(seed);
    int d[7];
    for (int& draw : d) draw = DrawRandom();
    SeedRandom(seed);
    ResolveOptions(RECT{});
    EXPECT_EQ(Resolved.FrameInterval, IntervalOfDraw(d[0]));
    EXPECT_EQ(Resolved.Roll, d[1] % 3);
    EXPECT_EQ(Resolved.Colors, d[2] % 3);
    EXPECT_EQ(Resolved.ConnectTBLR, d[3] % 2);
    EXPECT_EQ(Resolved.BoardWidth, kWidths[d[4] % 3]);
    EXPECT_EQ(Resolved.CameraMove, d[5] % 2);
    EXPECT_EQ(Resolved.Wave, d[6] % 3);
    const int eighth = DrawRandom();
    SeedRandom(seed);
    for (int i = 0; i < 7; ++i) DrawRandom();
    EXPECT_EQ(eighth, DrawRandom()) << "exactly seven draws";
  }
}

TEST_F(ResolvedOptions, ResolvingAgainDrawsTheSizeLast) {
  AllRandom();
  FakeBoard board;
  for (uint32_t seed = 0; seed < 50; ++seed) {
    SeedRandom(seed);
    int d[7];
    for (int& draw : d) draw = DrawRandom();
    SeedRandom(seed);
    ReresolveOptions(board);
    EXPECT_EQ(Resolved.FrameInterval, IntervalOfDraw(d[0]));
    EXPECT_EQ(Resolved.Roll, d[1] % 3);
    EXPECT_EQ(Resolved.Colors, d[2] % 3);
    EXPECT_EQ(Resolved.ConnectTBLR, d[3] % 2);
    EXPECT_EQ(Resolved.CameraMove, d[4] % 2);
    EXPECT_EQ(Resolved.Wave, d[5] % 3);
    EXPECT_EQ(Resolved.BoardHeight, kHeights[d[6] % 3]);
  }
}

TEST_F(ResolvedOptions, FixedOptionsDrawNothing) {
  SeedRandom(99);
  const int next = DrawRandom();
  SeedRandom(99);
  Settings.Roll = 2;
  Settings.Wave = 1;
  Settings.ConnectTBLR = 1;
  ResolveOptions(RECT{});
  EXPECT_EQ(DrawRandom(), next);
  EXPECT_EQ(Resolved.Roll, 2);
  EXPECT_EQ(Resolved.Wave, 1);
  EXPECT_EQ(Resolved.ConnectTBLR, 1);
  EXPECT_EQ(Resolved.BoardWidth, 20);
  EXPECT_EQ(Resolved.BoardHeight, 15);
}

TEST_F(ResolvedOptions, AnEndedRunRestartsOnTheSameSizeAndResizesOnAnother) {
  FakeBoard fixed;
  ResolveOptions(RECT{});
  ReresolveOptions(fixed);
  EXPECT_EQ(fixed.seeds, 1);
  EXPECT_TRUE(fixed.resizes.empty());

  Settings.Size = 3;
  FakeBoard board;
  SeedRandom(5);
  ResolveOptions(RECT{});
  int restarts = 0;
  for (int run = 0; run < 60; ++run) {
    const int32_t width = Resolved.BoardWidth;
    const size_t resizesBefore = board.resizes.size();
    const int seedsBefore = board.seeds;
    ReresolveOptions(board);
    if (Resolved.BoardWidth == width) {
      EXPECT_EQ(board.seeds, seedsBefore + 1);
      EXPECT_EQ(board.resizes.size(), resizesBefore);
      ++restarts;
    } else {
      EXPECT_EQ(board.seeds, seedsBefore);
      ASSERT_EQ(board.resizes.size(), resizesBefore + 1);
      EXPECT_EQ(board.resizes.back(), std::make_pair(Resolved.BoardWidth, Resolved.BoardHeight));
    }
  }
  EXPECT_GT(restarts, 0);
  EXPECT_GT(board.resizes.size(), 0u);
}

TEST_F(ResolvedOptions, RandomChoicesAreAlwaysConcreteModes) {
  AllRandom();
  std::set<int32_t> rolls, colors, waves, edges, cameras, widths;
  FakeBoard board;
  SeedRandom(3);
  ResolveOptions(RECT{});
  for (int run = 0; run < 300; ++run) {
    ReresolveOptions(board);
    rolls.insert(Resolved.Roll);
    colors.insert(Resolved.Colors);
    waves.insert(Resolved.Wave);
    edges.insert(Resolved.ConnectTBLR);
    cameras.insert(Resolved.CameraMove);
    widths.insert(Resolved.BoardWidth);
  }
  const std::set<int32_t> three{0, 1, 2}, two{0, 1};
  EXPECT_EQ(rolls, three);
  EXPECT_EQ(colors, three);
  EXPECT_EQ(waves, three);
  EXPECT_EQ(edges, two);
  EXPECT_EQ(cameras, two);
  EXPECT_EQ(widths, (std::set<int32_t>{12, 20, 32}));
}

TEST_F(ResolvedOptions, CopiesTheRestAndPointsAtTheRecordsStrings) {
  const RECT rect{10, 20, 650, 500};
  ResolveOptions(rect);
  EXPECT_EQ(Resolved.WindowRect, rect);
  EXPECT_EQ(Resolved.Generations, 20u);
  EXPECT_EQ(Resolved.LocusOfSplit, 9u);
  EXPECT_EQ(Resolved.FPS, 1u);
  EXPECT_EQ(Resolved.ScreenMode, 2u);
  EXPECT_EQ(Resolved.ScreenColor, 3u);
  EXPECT_EQ(Resolved.Rendering, 2u);
  EXPECT_EQ(Resolved.XScale, 0.5f);
  EXPECT_EQ(Resolved.XFileName, Settings.XFileName);
  EXPECT_EQ(Resolved.TextureName, Settings.TextureName);
  EXPECT_EQ(Resolved.D3DDriverName, Settings.D3DDriverName);
  EXPECT_FALSE(Resolved.PreviewMode);
  EXPECT_FALSE(Resolved.TextureFlag);

  std::strcpy(Settings.TextureName, kXFileTextureName);
  ResolveOptions(rect);
  EXPECT_TRUE(Resolved.TextureFlag);
  std::strcpy(Settings.TextureName, "/home/u/stone.bmp");
  ResolveOptions(rect);
  EXPECT_TRUE(Resolved.TextureFlag);
}

TEST_F(ResolvedOptions, PreviewIsABlankASlashAndPOrLAnywhere) {
  const std::vector<std::vector<const char*>> previews = {
      {"quellar", "/p", "1234"}, {"quellar", "/P", "99"}, {"quellar", "/l"}, {"quellar", "/s", "/Lx"}};
  for (const auto& line : previews) {
    SetCommandLine(int(line.size()), line.data());
    ResolveOptions(RECT{});
    EXPECT_TRUE(Resolved.PreviewMode) << GetCommandLineA();
    EXPECT_EQ(Resolved.ScreenMode, 0u);
  }
  const std::vector<std::vector<const char*>> others = {
      {"quellar", "/s"}, {"quellar", "-p", "1"}, {"/p"}, {"quellar", "/c:/p"}, {"quellar"}};
  for (const auto& line : others) {
    SetCommandLine(int(line.size()), line.data());
    ResolveOptions(RECT{});
    EXPECT_FALSE(Resolved.PreviewMode) << GetCommandLineA();
    EXPECT_EQ(Resolved.ScreenMode, 2u);
  }
}

TEST_F(ResolvedOptions, Nt4RunsWindowedAndResolvingAgainLeavesTheDisplayAlone) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  ResolveOptions(RECT{1, 2, 3, 4});
  EXPECT_EQ(Resolved.ScreenMode, 0u);
  ResetPlatformIdentityForTesting();

  Settings.ScreenMode = 3;
  Settings.XScale = 9.0f;
  FakeBoard board;
  ReresolveOptions(board);
  EXPECT_EQ(Resolved.ScreenMode, 0u);
  EXPECT_EQ(Resolved.XScale, 0.5f);
  EXPECT_EQ(Resolved.WindowRect, (RECT{1, 2, 3, 4}));
}

}  // namespace
