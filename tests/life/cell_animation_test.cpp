#include <cmath>
#include <cstring>

#include "world_fixture.h"

namespace {

// A parent alive and shown at (px, py), a child born at (x, y) from it.
struct Birth {
  SceneCell* parent;
  SceneCell* child;
};

class CellAnimationTest : public WorldTest {
 protected:
  Birth MakeBirth(int32_t px, int32_t py, int32_t x, int32_t y) {
    ClearBoard();
    SceneCell& parent = world().CellAt(px, py);
    SceneCell& child = world().CellAt(x, y);
    parent.history = 1;
    world().AnimateCell(parent, SplitStepCount());  // shown in place
    parent.history = 3;
    child.history = 1;
    child.splitParent = &parent;
    parent.splitParentFlag = true;
    return {&parent, &child};
  }
};

TEST_F(CellAnimationTest, TravellingCopyStartsOneStepOutAndArrivesAtFrameN) {
  for (uint32_t n : {9u, 1u}) {
    Resolved.LocusOfSplit = n;
    ASSERT_TRUE(Build(12, 9));
    Birth birth = MakeBirth(4, 5, 5, 6);
    const double cx = world().boardCentreX, cy = world().boardCentreY;
    ASSERT_DOUBLE_EQ(cx, 6.5);
    ASSERT_DOUBLE_EQ(cy, 5.0);

    world().AnimateCell(*birth.child, 1);
    D3DVECTOR p = PositionOf(*birth.child);
    const double t = 1.0 / n;
    EXPECT_NEAR(p.x, 5 - (5 - 4) * (1 - t) - cx, 1e-5) << "N=" << n;
    EXPECT_NEAR(p.y, 6 - (6 - 5) * (1 - t) - cy, 1e-5) << "N=" << n;
    EXPECT_TRUE(birth.child->inScene);
    ASSERT_EQ(birth.child->visual, world().splitMeshes[0].Get());

    world().AnimateCell(*birth.child, n);
    p = PositionOf(*birth.child);
    EXPECT_NEAR(p.x, 5 - cx, 1e-5);
    EXPECT_NEAR(p.y, 6 - cy, 1e-5);
    EXPECT_NEAR(p.z, 0, 1e-6);
    TearDown();
    SetUp();
  }
}

TEST_F(CellAnimationTest, BirthAcrossJoinedEdgesComesInFromJustOutside) {
  Resolved.ConnectTBLR = 1;
  ASSERT_TRUE(Build(12, 9));
  const double cx = world().boardCentreX, cy = world().boardCentreY;

  Birth left = MakeBirth(12, 4, 1, 4);  // parent on the far right edge
  world().AnimateCell(*left.child, 1);
  D3DVECTOR p = PositionOf(*left.child);
  EXPECT_NEAR(p.x, (1 - 1.0 * 8 / 9) - cx, 1e-5);  // from x = 0
  EXPECT_NEAR(p.y, 4 - cy, 1e-5);

  Birth right = MakeBirth(1, 9, 12, 1);  // parent at the far corner
  world().AnimateCell(*right.child, 1);
  p = PositionOf(*right.child);
  EXPECT_NEAR(p.x, (12 + 1.0 * 8 / 9) - cx, 1e-5);  // from x = W + 1
  EXPECT_NEAR(p.y, (1 - 1.0 * 8 / 9) - cy, 1e-5);   // from y = 0
}

TEST_F(CellAnimationTest, CopyTakesParentsTurnAndColourAndSpins) {
  Resolved.Colors = 2;
  ASSERT_TRUE(Build(12, 9));
  Birth birth = MakeBirth(4, 5, 5, 5);
  birth.parent->frame->SetOrientation(world().boardFrame, 1, 0, 0, 0, 1, 0);
  birth.parent->colourPhase = 1.25;
  world().AnimateCell(*birth.child, 1);
  D3DVECTOR dir, up;
  birth.child->frame->GetOrientation(world().boardFrame, &dir, &up);
  EXPECT_NEAR(dir.x, 1, 1e-5);  // a fresh frame carries no old spin
  EXPECT_NEAR(dir.z, 0, 1e-5);
  EXPECT_NEAR(up.y, 1, 1e-5);
  // The colour phase came from the parent and then moved on by one step.
  EXPECT_NEAR(birth.child->colourPhase, 1.25 + 5 * kPi / 180, 1e-12);

  world().sceneFrame->Move(1.0f);
  birth.child->frame->GetOrientation(world().boardFrame, &dir, &up);
  const double angle = std::atan2(-dir.z, dir.x);  // turned about +y
  EXPECT_NEAR(std::fabs(angle), 0.0523593351, 1e-5);
  uint32_t bits;
  std::memcpy(&bits, &kCellSpinAngle, 4);
  EXPECT_EQ(bits, 0x3D5676BEu);
}

TEST_F(CellAnimationTest, DeathShrinksThroughTheSplitMeshesAndVanishesAtFrameN) {
  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  SceneCell& cell = world().CellAt(6, 6);
  cell.history = 1;
  world().AnimateCell(cell, 9);
  cell.history = 2;
  for (uint32_t i = 1; i < 9; ++i) {
    world().AnimateCell(cell, i);
    ASSERT_TRUE(cell.inScene);
    ASSERT_EQ(cell.visual, world().splitMeshes[i].Get());
    ASSERT_EQ(cell.frame->Visuals().size(), 1u);
  }
  world().AnimateCell(cell, 9);
  EXPECT_FALSE(cell.inScene);
  EXPECT_EQ(cell.visual, nullptr);
  EXPECT_TRUE(cell.frame->Visuals().empty());
  EXPECT_EQ(cell.frame->GetParent(), nullptr);
}

TEST_F(CellAnimationTest, DyingSplitParentVanishesAtOnceButASurvivingOneStays) {
  ASSERT_TRUE(Build(12, 9));
  Birth birth = MakeBirth(4, 5, 5, 5);
  birth.parent->history = 2;  // died in the generation its copy was born
  world().AnimateCell(*birth.parent, 1);
  EXPECT_FALSE(birth.parent->inScene);

  Birth kept = MakeBirth(8, 5, 9, 5);
  world().AnimateCell(*kept.parent, 1);
  EXPECT_TRUE(kept.parent->inScene);
}

TEST_F(CellAnimationTest, SeededCellHasNoParentAndStandsInPlaceFromFrameOne) {
  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  SceneCell& cell = world().CellAt(3, 7);
  cell.history = 1;
  cell.colourPhase = 0.5;
  Resolved.Colors = 2;
  world().AnimateCell(cell, 1);
  D3DVECTOR p = PositionOf(cell);
  EXPECT_NEAR(p.x, 3 - world().boardCentreX, 1e-6);
  EXPECT_NEAR(p.y, 7 - world().boardCentreY, 1e-6);
  EXPECT_NEAR(cell.colourPhase, 0.5 + 5 * kPi / 180, 1e-12);
}

double Channel(double a, double k) {
  return 0.4 * (1.5 + std::cos(k * a));
}

TEST_F(CellAnimationTest, ColourModes) {
  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  world().animationPhase = 2.0;
  SceneCell& a = world().CellAt(2, 5);
  SceneCell& b = world().CellAt(5, 2);  // same anti-diagonal as a
  SceneCell& c = world().CellAt(5, 5);
  for (SceneCell* cell : {&a, &b, &c}) cell->history = 3;

  Resolved.Colors = 0;
  for (SceneCell* cell : {&a, &b, &c}) world().ApplyCellColour(*cell);
  EXPECT_NEAR(c.frame->Color()[0], Channel(2.0, 1), 1e-6);
  EXPECT_NEAR(c.frame->Color()[1], Channel(2.0, 0.4), 1e-6);
  EXPECT_NEAR(c.frame->Color()[2], Channel(2.0, 2.0 / 7), 1e-6);
  EXPECT_FLOAT_EQ(a.frame->Color()[0], c.frame->Color()[0]);

  Resolved.Colors = 1;
  for (SceneCell* cell : {&a, &b, &c}) world().ApplyCellColour(*cell);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(a.frame->Color()[i], b.frame->Color()[i]);
  EXPECT_NEAR(c.frame->Color()[0], Channel(2.0 - 0.1 * 10, 1), 1e-6);
  EXPECT_NE(a.frame->Color()[0], c.frame->Color()[0]);

  Resolved.Colors = 2;
  a.colourPhase = kPhaseLimit - 0.01;
  world().ApplyCellColour(a);
  EXPECT_NEAR(a.frame->Color()[0], Channel(kPhaseLimit - 0.01, 1), 1e-5);
  EXPECT_EQ(a.colourPhase, 0.0);  // past the limit it starts over

  // A dead cell keeps the colour it had.
  c.history = 2;
  const float before = c.frame->Color()[0];
  world().animationPhase = 0.3;
  Resolved.Colors = 0;
  world().ApplyCellColour(c);
  EXPECT_EQ(c.frame->Color()[0], before);
}

TEST_F(CellAnimationTest, WaveHeights) {
  Resolved.Wave = 0;
  EXPECT_EQ(World::WaveHeight(1.0, 2.0, 3.0), 0.0);
  Resolved.Wave = 1;
  EXPECT_DOUBLE_EQ(World::WaveHeight(1.0, 2.0, 3.0), std::sin(1.5 + 1.0));
  Resolved.Wave = 2;
  EXPECT_DOUBLE_EQ(World::WaveHeight(1.0, 3.0, 4.0), std::sin(2.5 + 1.5));

  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  SceneCell& cell = world().CellAt(9, 2);
  cell.history = 1;
  world().AnimateCell(cell, 9);
  cell.history = 3;
  world().animationPhase = 0.7;
  Resolved.Wave = 1;
  world().AnimateCell(cell, 4);
  const double dx = 9 - world().boardCentreX, dy = 2 - world().boardCentreY;
  D3DVECTOR p = PositionOf(cell);
  EXPECT_NEAR(p.x, dx, 1e-5);
  EXPECT_NEAR(p.y, dy, 1e-5);
  EXPECT_NEAR(p.z, std::sin(1.5 * 0.7 + 0.5 * dx), 1e-5);

  // Without a wave a resting cell is left where it is.
  cell.frame->SetPosition(world().boardFrame, 100, 100, 100);
  Resolved.Wave = 0;
  world().AnimateCell(cell, 4);
  EXPECT_NEAR(PositionOf(cell).x, 100, 1e-4);
}

TEST_F(CellAnimationTest, TextureKeepsCellsFromBeingRecoloured) {
  Resolved.TextureName = QUELLAR_SOURCE_DIR "/resources/textures/membrane.bmp";
  ASSERT_TRUE(Build(12, 9));
  ClearBoard();
  SceneCell& cell = world().CellAt(4, 4);
  EXPECT_EQ(cell.frame->GetMaterialMode(), D3DRMMATERIAL_FROMMESH);
  cell.history = 1;
  world().animationPhase = 2.0;
  world().AnimateCell(cell, 1);
  EXPECT_EQ(cell.frame->Color()[0], 1.0f);
  EXPECT_EQ(cell.frame->Color()[2], 1.0f);
}

}  // namespace
