#include "life/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "life/generation.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/surface_image.h"
#include "platform/win/offscreen_window.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"

namespace {

void ExpectNear(const D3DVECTOR& v, double x, double y, double z, double tolerance = 1e-4) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

// A World on an offscreen window, built in the saver's order, with the default object and the
// options of each test; the process-wide options are put back.
class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Resolved;
    Resolved = ResolvedOptionsRecord{};
    Resolved.Generations = 20;
    Resolved.LocusOfSplit = 9;
    Resolved.ScreenMode = 1;  // an offscreen window has the picture of a display mode
    Resolved.ScreenColor = 3;
    Resolved.Rendering = 1;
    Resolved.XScale = 1.0f;
    Resolved.XFileName = QUELLAR_SOURCE_DIR "/resources/quellar.x";
    Resolved.TextureName = kNoTextureName;
    Resolved.D3DDriverName = "Auto";
    SeedRandom(1);
  }
  void TearDown() override {
    world_.reset();
    if (window_) DestroyOffscreenWindow(window_);
    window_ = 0;
    Resolved = saved_;
  }
  // False when the Stage could not open or the object did not load; replaces a world built before.
  bool Build(int32_t width, int32_t height) {
    world_.reset();
    if (window_) DestroyOffscreenWindow(window_);
    Resolved.BoardWidth = width;
    Resolved.BoardHeight = height;
    Resolved.TextureFlag = std::string(Resolved.TextureName) != kNoTextureName;
    window_ = CreateOffscreenWindow(640, 480);
    Resolved.WindowRect = RECT{0, 0, 640, 480};
    world_ = std::make_unique<World>();
    return world_->Create(window_) && world_->SetUpScene() && world_->InitBoard(width, height) &&
           world_->BuildScene();
  }
  World& world() { return *world_; }
  SceneCell& Cell(int32_t x, int32_t y) { return world_->CellAt(x, y); }

  // An empty board with nothing shown but the cell at (x, y), which is alive.
  SceneCell& ClearBoardBut(int32_t x, int32_t y) {
    for (int32_t cy = 1; cy <= world().Height(); ++cy)
      for (int32_t cx = 1; cx <= world().Width(); ++cx) Cell(cx, cy).history = 0;
    world().HideAllCells();
    Cell(x, y).history = 1;
    return Cell(x, y);
  }

  // A shown parent at (px, py) that survives, and a copy born at (x, y) from it.
  SceneCell& MakeBirth(int32_t px, int32_t py, int32_t x, int32_t y) {
    SceneCell& parent = ClearBoardBut(px, py);
    world().AnimateCell(parent, SplitStepCount());
    parent.history = 3;
    parent.splitParentFlag = true;
    Cell(x, y).history = 1;
    Cell(x, y).splitParent = &parent;
    return Cell(x, y);
  }

  // Where the cell stands on the board, in board cells; z is the height.
  D3DVECTOR At(SceneCell& cell) {
    D3DVECTOR p;
    cell.frame->GetPosition(world().boardFrame, &p);
    return {p.x + float(world().boardCentreX), p.y + float(world().boardCentreY), p.z};
  }
  // Where the picture shows the cell at (x, y) alone: the middle of its pixels.
  std::pair<double, double> DrawnSpot(int32_t x, int32_t y) {
    world().AnimateCell(ClearBoardBut(x, y), SplitStepCount());
    EXPECT_TRUE(world().RenderFrame());
    SurfaceImage image;
    EXPECT_TRUE(world().graphics.primary->ReadBack(&image));
    double sx = 0, sy = 0, n = 0;
    for (int py = 0; py < image.height; ++py)
      for (int px = 0; px < image.width; ++px)
        if (image.Pixel(px, py)) sx += px, sy += py, n += 1;
    return n ? std::pair{sx / n, sy / n} : std::pair{-1.0, -1.0};
  }

 private:
  ResolvedOptionsRecord saved_{};
  HWND window_ = 0;
  std::unique_ptr<World> world_;
};

// A copy starts 1/N of the way out of its parent, across joined edges from just outside the
// board (0 or W + 1, 0 or H + 1), and arrives at frame N; it takes its parent's colour, which
// moves on.
TEST_F(WorldTest, ABirthTravelsFromItsParentAndArrivesAtFrameN) {
  struct Case {
    uint32_t n;
    bool joined;
    int32_t px, py, x, y, fromX, fromY;
  };
  const Case cases[] = {
      {9, false, 4, 5, 5, 6, 4, 5},
      {1, false, 4, 5, 5, 6, 4, 5},
      {9, true, 12, 1, 1, 9, 0, 10},
      {9, true, 1, 9, 12, 1, 13, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "N " << c.n << " from " << c.px << "," << c.py);
    Resolved.LocusOfSplit = c.n;
    Resolved.ConnectTBLR = c.joined;
    Resolved.Colors = 2;
    ASSERT_TRUE(Build(12, 9));
    SceneCell& child = MakeBirth(c.px, c.py, c.x, c.y);
    Cell(c.px, c.py).colourPhase = 1.25;
    world().AnimateCell(child, 1);
    const double out = 1 - 1.0 / c.n;
    ExpectNear(At(child), c.x + (c.fromX - c.x) * out, c.y + (c.fromY - c.y) * out, 0);
    EXPECT_EQ(child.visual, world().splitMeshes[0].Get());
    EXPECT_NEAR(child.colourPhase, 1.25 + 5 * kPi / 180, 1e-12);
    world().AnimateCell(child, c.n);
    ExpectNear(At(child), c.x, c.y, 0);
  }
}

// The split meshes keep a shrinking share of the object's volume.
TEST_F(WorldTest, DeathShrinksThroughTheSplitMeshesUnlessTheCellIsASplitParent) {
  Resolved.XScale = 1.5f;
  ASSERT_TRUE(Build(12, 9));
  auto width = [&](int i) {
    D3DRMBOX box;
    world().splitMeshes[i]->GetBox(&box);
    return box.max.x - box.min.x;
  };
  const double expected[9] = {1, 0.9615, 0.9196, 0.8736, 0.8221, 0.7631, 0.6934, 0.6057, 0.4807};
  EXPECT_NEAR(width(0), 1.5, 0.3);  // about one unit across, times 1.5
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(width(i) / width(0), expected[i], 5e-5) << i;
  EXPECT_FALSE(world().splitMeshes[9]);
  SceneCell& cell = ClearBoardBut(6, 6);
  world().AnimateCell(cell, 9);
  cell.history = 2;
  for (uint32_t i = 1; i < 9; ++i) {
    world().AnimateCell(cell, i);
    ASSERT_EQ(cell.frame->Visuals().size(), 1u) << i;
    ASSERT_EQ(cell.visual, world().splitMeshes[i].Get()) << i;
  }
  world().AnimateCell(cell, 9);
  EXPECT_TRUE(cell.frame->Visuals().empty());
  EXPECT_EQ(cell.frame->GetParent(), nullptr);

  MakeBirth(4, 5, 5, 5);
  Cell(4, 5).history = 2;  // died as its copy was born: it has become that copy
  world().AnimateCell(Cell(4, 5), 1);
  EXPECT_FALSE(Cell(4, 5).inScene);
}

TEST_F(WorldTest, ColourModesAndWaveHeights) {
  ASSERT_TRUE(Build(12, 9));
  const double rates[3] = {1, 0.4, 2.0 / 7};
  world().animationPhase = 2.0;
  SceneCell& a = ClearBoardBut(2, 5);
  SceneCell& b = Cell(5, 2);  // on a's anti-diagonal
  SceneCell& c = Cell(5, 5);
  for (uint32_t mode : {0u, 1u, 2u}) {
    Resolved.Colors = mode;
    c.colourPhase = 0.5;  // the third mode takes each cell's own phase
    for (SceneCell* cell : {&a, &b, &c}) {
      cell->history = 3;
      world().ApplyCellColour(*cell);
    }
    const double phaseOfC = mode == 0 ? 2.0 : mode == 1 ? 2.0 - 0.1 * 10 : 0.5;
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(c.frame->Color()[i], 0.4 * (1.5 + std::cos(rates[i] * phaseOfC)), 1e-6) << i;
      EXPECT_FLOAT_EQ(a.frame->Color()[i], b.frame->Color()[i]) << mode << " " << i;
    }
    EXPECT_EQ(a.frame->Color()[0] == c.frame->Color()[0], mode == 0);
  }
  c.history = 2;  // a dying cell keeps the colour it had
  const float before = c.frame->Color()[0];
  world().ApplyCellColour(c);
  EXPECT_EQ(c.frame->Color()[0], before);

  Resolved.Wave = 2;
  EXPECT_DOUBLE_EQ(World::WaveHeight(1.0, 3.0, 4.0), std::sin(2.5 + 1.5));
  Resolved.Wave = 1;
  SceneCell& cell = ClearBoardBut(9, 2);
  world().AnimateCell(cell, 9);
  EXPECT_NEAR(At(cell).y, 2, 1e-5);  // without a parent it appears in place
  cell.history = 3;
  world().animationPhase = 0.7;
  world().AnimateCell(cell, 4);
  ExpectNear(At(cell), 9, 2, std::sin(1.5 * 0.7 + 0.5 * (9 - 6.5)));

  Resolved.Wave = 0;  // a resting cell is left where it is
  cell.frame->SetPosition(world().boardFrame, 100, 100, 100);
  world().AnimateCell(cell, 4);
  EXPECT_NEAR(At(cell).z, 100, 1e-4);
}

// The user's image wraps every mesh and keeps the cells from being recoloured; one that cannot
// be read takes the object file's own images away too.
TEST_F(WorldTest, ObjectAndImageFiles) {
  const char* const model = QUELLAR_SOURCE_DIR "/tests/platform/rm/data/model/two_materials.x";
  const char* const spots = QUELLAR_SOURCE_DIR "/resources/textures/spots.ppm";
  struct Case {
    const char *object, *texture;
    bool textured;
  };
  const Case cases[] = {{Resolved.XFileName, spots, true},
                        {model, kXFileTextureName, true},
                        {model, "/nonexistent/image.ppm", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.object << " " << c.texture);
    Resolved.XFileName = c.object;
    Resolved.TextureName = c.texture;
    ASSERT_TRUE(Build(12, 9));
    const MeshGeometry& geometry = world().splitMeshes[8]->Geometry();
    EXPECT_EQ(std::any_of(geometry.groups.begin(), geometry.groups.end(),
                          [](const MeshGroup& group) { return bool(group.texture); }),
              c.textured);
    if (c.texture == spots) {
      EXPECT_NE(geometry.uvs, world().meshBuilder->Geometry().uvs) << "not wrapped";
      SceneCell& cell = ClearBoardBut(4, 4);
      EXPECT_EQ(cell.frame->GetMaterialMode(), D3DRMMATERIAL_FROMMESH);
      world().animationPhase = 2.0;
      world().AnimateCell(cell, 1);
      EXPECT_EQ(cell.frame->Color()[0], 1.0f);  // not the gradation's 0.43
    }
  }
}

D3DVECTOR BoardDirection(World& world, bool afterOneFrame = false) {
  if (afterOneFrame) world.sceneFrame->Move(1.0f);
  D3DVECTOR dir, up;
  world.boardFrame->GetOrientation(world.sceneFrame, &dir, &up);
  return dir;
}

// "GURUGURU" turns its axis once in 360 frames; only a switch away from it
// resets the board's orientation at a restart.
TEST_F(WorldTest, RollModesAndTheOrbitingCamera) {
  Resolved.Roll = 2;
  ASSERT_TRUE(Build(12, 9));
  // At frame 90 the axis lies along x: the board tips up or down, not sideways.
  for (int i = 0; i <= 90; ++i) world().AdvanceRoll();
  D3DVECTOR dir = BoardDirection(world(), true);
  EXPECT_NEAR(dir.x, 0, 1e-3);
  EXPECT_NEAR(std::fabs(dir.y), std::sin(kPi / 60), 1e-4);
  for (int i = 91; i < 360; ++i) world().AdvanceRoll();
  EXPECT_NEAR(world().rollAngle, 2 * kPi, 1e-9);
  world().boardFrame->SetOrientation(world().sceneFrame, 1, 0, 0, 0, 1, 0);
  world().Restart();
  EXPECT_NEAR(BoardDirection(world()).x, 1, 1e-6);  // untouched
  world().boardFrame->SetOrientation(world().sceneFrame, 0, 0, 1, 0, 1, 0);
  world().AdvanceRoll();  // the axis back along y: the board turns sideways
  dir = BoardDirection(world(), true);
  EXPECT_NEAR(std::fabs(dir.x), std::sin(kPi / 60), 1e-4);
  EXPECT_NEAR(dir.y, 0, 1e-3);

  Resolved.Roll = 1;
  world().Restart();
  EXPECT_NEAR(BoardDirection(world()).z, 1, 1e-6);
  world().AdvanceRoll();                // the axis turns only for "GURUGURU"
  dir = BoardDirection(world(), true);  // "KURUKURU" spins about (1, 1, 0)
  EXPECT_NEAR(std::fabs(dir.x), std::sin(kPi / 60) / std::sqrt(2.0), 1e-4);
  EXPECT_NEAR(dir.y, -dir.x, 1e-6);
  Resolved.Roll = 0;
  world().Restart();
  EXPECT_NEAR(BoardDirection(world(), true).z, 1, 1e-6);  // reset and still

  // The camera orbits and looks at the origin.
  D3DVECTOR p, up;
  world().animationPhase = 4.0;
  Resolved.CameraMove = 1;
  world().MoveCamera();
  const double s = 18 * std::sin(0.9 * 4 / 3), z = -18 * (1.45 + std::cos(4.0 / 3));
  world().cameraFrame->GetPosition(world().sceneFrame, &p);
  world().cameraFrame->GetOrientation(world().sceneFrame, &dir, &up);
  ExpectNear(p, s, s, z);
  const double length = std::sqrt(s * s * 2 + z * z);
  ExpectNear(dir, -s / length, -s / length, -z / length, 1e-5);
  // Upright: up is the scene's y made square to the direction.
  const double upLength = std::sqrt(1 - dir.y * dir.y);
  ExpectNear(up, -dir.y * dir.x / upLength, upLength, -dir.y * dir.z / upLength, 1e-5);
  Resolved.CameraMove = 0;  // a still camera stays where it is
  world().animationPhase = 1.0;
  world().MoveCamera();
  world().cameraFrame->GetPosition(world().sceneFrame, &p);
  ExpectNear(p, s, s, z);
}

// A board resized after the first run moves W + 1 away from the origin while the camera stays
// 33 in front of it (a fresh board's cells are checked in quellar-render's pictures). The field
// of 0.5 at the front plane 1 makes 640 / distance pixels a unit in a 640 x 480 picture.
TEST_F(WorldTest, CellsOfAResizedBoardAppearWhereTheCameraSeesThem) {
  ASSERT_TRUE(Build(32, 24));
  ASSERT_TRUE(world().Resize(12, 9));
  const double scale = 640 / (33.0 + 13);
  for (auto [x, y] : {std::pair{1, 1}, {12, 1}, {1, 9}, {12, 9}, {6, 5}}) {
    const auto [spotX, spotY] = DrawnSpot(x, y);
    EXPECT_NEAR(spotX, 320 + scale * (x - 6.5), 2.5) << x << "," << y;
    EXPECT_NEAR(spotY, 240 - scale * (y - 5), 2.5) << x << "," << y;
  }
}

// Writes down every hook as it is called.
struct RecordingHooks : GenerationHooks {
  void FramesStarting(World&) override { log += "start "; }
  bool FrameStarting(World&, uint32_t frame) override {
    log += std::to_string(frame) + ":";
    return frame != stopAtFrame;
  }
  void CellsAnimated(World&) override { log += "animated,"; }
  bool DrawFrame(World& world) override {
    log += "draw,";
    return world.RenderFrame() && !failDraw;
  }
  void FrameShown(World&) override { log += "shown "; }
  void StepTaken(World&, bool goesOn) override { log += goesOn ? "step" : "run ends"; }

  std::string log;
  uint32_t stopAtFrame = 0;
  bool failDraw = false;
};

// A hook that says stop ends the generation before the cells move, a failed draw before the
// frame counts as shown; a board without cells ends it before it starts.
TEST_F(WorldTest, OneGenerationCallsEveryHookInItsPlace) {
  for (uint32_t n : {0u, 2u}) {  // a count of 0 is drawn as one frame
    Resolved.LocusOfSplit = n;
    ASSERT_TRUE(Build(12, 9));
    RecordingHooks hooks;
    ASSERT_TRUE(RunGeneration(world(), hooks));
    EXPECT_EQ(hooks.log, n ? "start 1:animated,draw,shown 2:animated,draw,shown step"
                           : "start 1:animated,draw,shown step");
    EXPECT_NEAR(world().animationPhase, (n ? 2 : 1) * 5 * kPi / 180, 1e-12);
  }
  RecordingHooks stop, failed;
  stop.stopAtFrame = 2;
  EXPECT_FALSE(RunGeneration(world(), stop));
  EXPECT_EQ(stop.log, "start 1:animated,draw,shown 2:");
  failed.failDraw = true;
  EXPECT_FALSE(RunGeneration(world(), failed));
  EXPECT_EQ(failed.log, "start 1:animated,draw,");
  world().animationPhase = kPhaseLimit - 0.01;
  world().AdvancePhase();
  EXPECT_EQ(world().animationPhase, 0.0);  // past its limit the phase starts over
  world().HideAllCells();
  EXPECT_FALSE(world().Resize(0, 0));  // as when the cells of a new size cannot be made
  RecordingHooks empty;
  EXPECT_FALSE(RunGeneration(world(), empty));
  EXPECT_TRUE(empty.log.empty());
}

}  // namespace
