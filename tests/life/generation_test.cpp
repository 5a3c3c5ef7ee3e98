#include "life/generation.h"

#include <algorithm>
#include <string>
#include <vector>

#include "world_fixture.h"

namespace {

// Writes down every hook as it is called, with what the World shows then.
class RecordingHooks : public GenerationHooks {
 public:
  void FramesStarting(World&) override { log.push_back("start"); }
  bool FrameStarting(World& world, uint32_t frame) override {
    log.push_back("frame " + std::to_string(frame));
    phaseAtFrameStart.push_back(world.animationPhase);
    return frame != stopAtFrame;
  }
  void CellsAnimated(World&) override { log.push_back("animated"); }
  bool DrawFrame(World& world) override {
    log.push_back("draw");
    return drawFails ? false : world.RenderFrame();
  }
  void FrameShown(World&) override { log.push_back("shown"); }
  void StepTaken(World&, bool goesOn) override { log.push_back(goesOn ? "step" : "step ends run"); }
  void RunEnded(World& world) override {
    log.push_back("run ended");
    int shown = 0;
    for (int32_t y = 1; y <= world.Height(); ++y) {
      for (int32_t x = 1; x <= world.Width(); ++x) shown += world.CellAt(x, y).inScene;
    }
    shownAtRunEnd = shown;
  }

  std::vector<std::string> log;
  std::vector<double> phaseAtFrameStart;
  uint32_t stopAtFrame = 0;
  bool drawFails = false;
  int shownAtRunEnd = -1;
};

class GenerationTest : public WorldTest {};

TEST_F(GenerationTest, OneGenerationCallsEveryHookInItsPlace) {
  Resolved.LocusOfSplit = 2;
  ASSERT_TRUE(Build(12, 9));
  RecordingHooks hooks;
  ASSERT_TRUE(RunGeneration(world(), hooks));
  const std::vector<std::string> expected = {"start",   "frame 1",  "animated", "draw",  "shown",
                                             "frame 2", "animated", "draw",     "shown", "step"};
  EXPECT_EQ(hooks.log, expected);
  EXPECT_NEAR(world().rollAngle, 2 * kPi / 180, 1e-12);
  EXPECT_NEAR(hooks.phaseAtFrameStart[1], 5 * kPi / 180, 1e-12);
}

TEST_F(GenerationTest, ACountOfZeroStillShowsOneFramePerGeneration) {
  Resolved.LocusOfSplit = 0;
  ASSERT_TRUE(Build(12, 9));
  RecordingHooks hooks;
  ASSERT_TRUE(RunGeneration(world(), hooks));
  EXPECT_EQ(std::count(hooks.log.begin(), hooks.log.end(), "frame 1"), 1);
  EXPECT_EQ(std::count(hooks.log.begin(), hooks.log.end(), "shown"), 1);
}

TEST_F(GenerationTest, AHookThatSaysStopEndsTheGenerationBeforeTheCellsMove) {
  ASSERT_TRUE(Build(12, 9));
  RecordingHooks hooks;
  hooks.stopAtFrame = 3;
  EXPECT_FALSE(RunGeneration(world(), hooks));
  EXPECT_EQ(hooks.log.back(), "frame 3");
  EXPECT_NEAR(world().animationPhase, 2 * 5 * kPi / 180, 1e-12);
}

TEST_F(GenerationTest, AFrameThatCannotBeDrawnEndsTheLoopBeforeTheRollMoves) {
  ASSERT_TRUE(Build(12, 9));
  RecordingHooks hooks;
  hooks.drawFails = true;
  EXPECT_FALSE(RunGeneration(world(), hooks));
  EXPECT_EQ(world().rollAngle, 0.0);
  EXPECT_EQ(hooks.log.back(), "draw");
}

TEST_F(GenerationTest, AnEmptyBoardEndsItsRunAndIsSeededAnew) {
  Resolved.LocusOfSplit = 1;
  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  SceneCell& lone = world().CellAt(6, 5);
  lone.history = 1;  // dies in the first step, the second finds nothing alive
  RecordingHooks hooks;
  ASSERT_TRUE(RunGeneration(world(), hooks));
  ASSERT_TRUE(RunGeneration(world(), hooks));
  EXPECT_EQ(hooks.log.back(), "run ended");
  EXPECT_EQ(hooks.shownAtRunEnd, 0);
  int alive = 0;
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) alive += world().CellAt(x, y).history & 1;
  }
  EXPECT_GT(alive, 5);  // about a quarter of 108
}

// A World whose next set of cells cannot be made.
class StarvedWorld : public World {
 public:
  bool starve = false;

 protected:
  bool CreateCells(size_t count) override { return !starve && World::CreateCells(count); }
};

class StarvedGenerationTest : public WorldTest {
 protected:
  World* MakeWorld() override { return new StarvedWorld; }
};

TEST_F(StarvedGenerationTest, ABoardLeftWithoutCellsEndsTheLoopInsteadOfRunning) {
  ASSERT_TRUE(Build(12, 9));
  static_cast<StarvedWorld&>(world()).starve = true;
  EXPECT_FALSE(world().Resize(20, 15));
  world().HideAllCells();
  RecordingHooks hooks;
  EXPECT_FALSE(RunGeneration(world(), hooks));
  EXPECT_TRUE(hooks.log.empty());
}

}  // namespace
