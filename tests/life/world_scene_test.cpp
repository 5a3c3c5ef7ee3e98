#include <algorithm>
#include <cmath>

#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/surface_image.h"
#include "world_fixture.h"

namespace {

double Width(const Ref<RMMesh>& mesh) {
  D3DRMBOX box;
  mesh->GetBox(&box);
  return box.max.x - box.min.x;
}

TEST_F(WorldTest, SplitMeshesKeepAShrinkingShareOfTheVolume) {
  Resolved.XScale = 1.5f;
  ASSERT_TRUE(Build(12, 9));
  const double expected[9] = {1, 0.9615, 0.9196, 0.8736, 0.8221, 0.7631, 0.6934, 0.6057, 0.4807};
  const double full = Width(world().splitMeshes[0]);
  EXPECT_GT(full, 1.2);  // about one unit across, times 1.5
  EXPECT_LT(full, 1.8);
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(world().splitMeshes[i]) << i;
    EXPECT_NEAR(Width(world().splitMeshes[i]) / full, expected[i], 5e-5) << i;
  }
  EXPECT_FALSE(world().splitMeshes[9]);
}

TEST_F(WorldTest, ACountOfOneOrZeroMakesOneFullSizeMesh) {
  for (uint32_t n : {1u, 0u}) {
    Resolved.LocusOfSplit = n;
    ASSERT_TRUE(Build(12, 9));
    EXPECT_TRUE(world().splitMeshes[0]);
    EXPECT_FALSE(world().splitMeshes[1]);
    EXPECT_EQ(SplitStepCount(), 1u);
    TearDown();
    SetUp();
  }
}

TEST_F(WorldTest, ObjectThatDoesNotLoadBuildsNothing) {
  Resolved.XFileName = "/nonexistent/folder/cell.x";
  EXPECT_FALSE(Build(12, 9));
  EXPECT_FALSE(world().splitMeshes[0]);
  // The board was made before the object was looked for.
  EXPECT_TRUE(world().HasCells());
}

TEST_F(WorldTest, BrokenObjectFileFailsToo) {
  Resolved.XFileName = QUELLAR_SOURCE_DIR "/resources/textures/spots.ppm";
  EXPECT_FALSE(Build(12, 9));
}

TEST_F(WorldTest, ImageTextureIsWrappedOnEveryMesh) {
  Resolved.TextureName = QUELLAR_SOURCE_DIR "/resources/textures/spots.ppm";
  ASSERT_TRUE(Build(12, 9));
  for (int i = 0; i < 9; ++i) {
    const Ref<RMMesh>& mesh = world().splitMeshes[i];
    float uMin = 1e9f, uMax = -1e9f;
    for (size_t v = 0; v < mesh->GetVertexCount(); ++v) {
      float u, w;
      mesh->GetVertexUV(v, &u, &w);
      uMin = std::min(uMin, u);
      uMax = std::max(uMax, u);
    }
    EXPECT_GT(uMax - uMin, 0.5f) << i;  // around the whole object
  }
}

TEST_F(WorldTest, SecondInitBoardChangesNothing) {
  ASSERT_TRUE(Build(12, 9));
  EXPECT_FALSE(world().InitBoard(32, 24));
  EXPECT_EQ(world().Width(), 12);
}

TEST_F(WorldTest, InitBoardPlacesCameraAndCentre) {
  ASSERT_TRUE(Build(20, 15));
  D3DVECTOR p, dir, up;
  world().cameraFrame->GetPosition(world().sceneFrame, &p);
  EXPECT_NEAR(p.z, -21, 1e-5);
  world().cameraFrame->GetOrientation(world().sceneFrame, &dir, &up);
  EXPECT_NEAR(dir.z, 1, 1e-6);
  EXPECT_DOUBLE_EQ(world().boardCentreX, 10.5);
  EXPECT_DOUBLE_EQ(world().boardCentreY, 8.0);
}

D3DVECTOR BoardDirection(World& world) {
  D3DVECTOR dir, up;
  world.boardFrame->GetOrientation(world.sceneFrame, &dir, &up);
  return dir;
}

TEST_F(WorldTest, TurningRollAxisGoesRoundOnceIn360Frames) {
  Resolved.Roll = 2;
  ASSERT_TRUE(Build(12, 9));
  // After 90 frames the axis lies along x: a turn about x tips the board's
  // direction towards -y or +y, never sideways.
  for (int i = 0; i < 90; ++i) world().AdvanceRoll();
  world().boardFrame->SetOrientation(world().sceneFrame, 0, 0, 1, 0, 1, 0);
  world().AdvanceRoll();
  world().sceneFrame->Move(1.0f);
  D3DVECTOR dir = BoardDirection(world());
  EXPECT_NEAR(dir.x, 0, 1e-3);
  EXPECT_NEAR(std::fabs(dir.y), std::sin(kPi / 60), 1e-4);

  for (int i = 91; i < 360; ++i) world().AdvanceRoll();
  EXPECT_NEAR(world().rollAngle, 2 * kPi, 1e-9);
  world().boardFrame->SetOrientation(world().sceneFrame, 0, 0, 1, 0, 1, 0);
  world().AdvanceRoll();  // axis back along y: the board turns sideways
  world().sceneFrame->Move(1.0f);
  dir = BoardDirection(world());
  EXPECT_NEAR(std::fabs(dir.x), std::sin(kPi / 60), 1e-4);
  EXPECT_NEAR(dir.y, 0, 1e-3);
}

TEST_F(WorldTest, OnlyASwitchAwayFromTheTurningAxisResetsTheBoard) {
  Resolved.Roll = 2;
  ASSERT_TRUE(Build(12, 9));
  world().boardFrame->SetOrientation(world().sceneFrame, 1, 0, 0, 0, 1, 0);
  world().Restart();
  EXPECT_NEAR(BoardDirection(world()).x, 1, 1e-6);  // "GURUGURU" again: untouched

  Resolved.Roll = 1;
  world().Restart();
  EXPECT_NEAR(BoardDirection(world()).z, 1, 1e-6);
  world().sceneFrame->Move(1.0f);  // "KURUKURU" spins about (1, 1, 0)
  EXPECT_LT(BoardDirection(world()).z, 0.9999);

  Resolved.Roll = 0;
  world().Restart();
  world().sceneFrame->Move(1.0f);
  EXPECT_NEAR(BoardDirection(world()).z, 1, 1e-6);  // reset and still
}

TEST_F(WorldTest, CameraOrbitsAndLooksAtTheOrigin) {
  ASSERT_TRUE(Build(12, 9));
  Resolved.CameraMove = 0;
  world().animationPhase = 1.0;
  world().MoveCamera();
  D3DVECTOR p;
  world().cameraFrame->GetPosition(world().sceneFrame, &p);
  EXPECT_NEAR(p.z, -13, 1e-5);  // where InitBoard put it

  Resolved.CameraMove = 1;
  for (double phase : {0.0, 1.0, 4.0}) {
    world().animationPhase = phase;
    world().MoveCamera();
    const double t = phase / 3, s = 18 * std::sin(0.9 * t), z = -18 * (1.45 + std::cos(t));
    world().cameraFrame->GetPosition(world().sceneFrame, &p);
    EXPECT_NEAR(p.x, s, 1e-4);
    EXPECT_NEAR(p.y, s, 1e-4);
    EXPECT_NEAR(p.z, z, 1e-4);
    D3DVECTOR dir, up;
    world().cameraFrame->GetOrientation(world().sceneFrame, &dir, &up);
    const double len = std::sqrt(s * s * 2 + z * z);
    EXPECT_NEAR(dir.x, -s / len, 1e-5);
    EXPECT_NEAR(dir.z, -z / len, 1e-5);
  }
}

TEST_F(WorldTest, PhaseStartsOverPastItsLimit) {
  ASSERT_TRUE(Build(12, 9));
  world().AdvancePhase();
  EXPECT_NEAR(world().animationPhase, 5 * kPi / 180, 1e-15);
  world().animationPhase = kPhaseLimit - 0.01;
  world().AdvancePhase();
  EXPECT_EQ(world().animationPhase, 0.0);
}

// Width of the part of the picture that is not background.
int DrawnWidth(World& world) {
  SurfaceImage image;
  EXPECT_TRUE(world.graphics.primary->ReadBack(&image));
  int left = image.width, right = -1;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.Pixel(x, y) != 0) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  return right < left ? 0 : right - left + 1;
}

void ShowEveryCell(World& world) {
  for (int32_t y = 1; y <= world.Height(); ++y) {
    for (int32_t x = 1; x <= world.Width(); ++x) {
      world.CellAt(x, y).history = 1;
      world.AnimateCell(world.CellAt(x, y), SplitStepCount());
    }
  }
}

TEST_F(WorldTest, BoardResizedFromLargeIsDrawnSmallerAndFarther) {
  ASSERT_TRUE(Build(12, 9));
  ShowEveryCell(world());
  ASSERT_TRUE(world().RenderFrame());
  const int fresh = DrawnWidth(world());
  TearDown();
  SetUp();

  ASSERT_TRUE(Build(32, 24));
  world().HideAllCells();
  Resolved.BoardWidth = 12;
  Resolved.BoardHeight = 9;
  ASSERT_TRUE(world().Resize(12, 9));
  D3DVECTOR p;
  world().boardFrame->GetPosition(world().sceneFrame, &p);
  EXPECT_NEAR(p.z, 13, 1e-5);
  ShowEveryCell(world());
  ASSERT_TRUE(world().RenderFrame());
  const int resized = DrawnWidth(world());

  // Seen from 33 + 13 units instead of 13 the board is drawn at 13/46 of the
  // width: the first is most of the picture, the second a small patch.
  EXPECT_GT(fresh, 400);
  EXPECT_GT(resized, 40);
  EXPECT_LT(resized, fresh * 0.4);
}

TEST_F(WorldTest, DeletedThroughEitherBase) {
  HWND window = CreateOffscreenWindow(640, 480);
  auto make = [&] {
    World* world = new World;
    EXPECT_TRUE(world->Create(window));
    EXPECT_TRUE(world->SetUpScene());
    EXPECT_TRUE(world->InitBoard(12, 9));
    EXPECT_TRUE(world->BuildScene());
    return world;
  };
  Stage* asStage = make();
  delete asStage;
  RunBoard* asBoard = make();
  delete asBoard;
  DestroyOffscreenWindow(window);
}

}  // namespace
