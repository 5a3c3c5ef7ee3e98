#include "platform/rm/frame.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rm/direct3drm.h"

namespace {

constexpr float kTol = 1e-5f;

void ExpectVector(const D3DVECTOR& v, float x, float y, float z, float tol = kTol) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Direct3DRMCreate(&rm_));
    rm_->CreateFrame(nullptr, &scene_);
  }
  Ref<RMFrame> Child(const Ref<RMFrame>& parent) {
    Ref<RMFrame> f;
    rm_->CreateFrame(parent, &f);
    return f;
  }
  Ref<Direct3DRM> rm_;
  Ref<RMFrame> scene_;
};

TEST_F(FrameTest, NewFrameSitsAtParentOriginLookingAlongZ) {
  auto parent = Child(scene_);
  parent->SetPosition(scene_, 3, 4, 5);
  auto f = Child(parent);
  D3DVECTOR p, dir, up;
  f->GetPosition(scene_, &p);
  ExpectVector(p, 3, 4, 5);
  f->GetOrientation(parent, &dir, &up);
  ExpectVector(dir, 0, 0, 1);
  ExpectVector(up, 0, 1, 0);
  EXPECT_EQ(f->GetParent(), parent.Get());
}

TEST_F(FrameTest, TurnAfterKMovesFollowsTheRotationRows) {
  auto f = Child(scene_);
  const float theta = 0.1f;
  f->SetRotation(scene_, 0, 0, 1, theta);
  for (int k = 0; k < 7; ++k) scene_->Move(1.0f);
  // About +z, the x axis turns towards +y.
  const Mat4 m = f->World();
  EXPECT_NEAR(m.m[0][0], std::cos(7 * theta), kTol);
  EXPECT_NEAR(m.m[0][1], std::sin(7 * theta), kTol);
  EXPECT_NEAR(m.m[1][0], -std::sin(7 * theta), kTol);
  D3DVECTOR dir, up;
  f->GetOrientation(scene_, &dir, &up);
  ExpectVector(dir, 0, 0, 1);
}

TEST_F(FrameTest, MoveByFourEqualsFourSingleMovesAndKeepsOrigin) {
  auto a = Child(scene_), b = Child(scene_);
  for (auto& f : {a, b}) {
    f->SetPosition(scene_, 2, -1, 7);
    f->SetRotation(scene_, 1, 1, 0, 0.0523593351f);
  }
  a->Move(4.0f);
  for (int i = 0; i < 4; ++i) b->Move(1.0f);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(a->Local().m[r][c], b->Local().m[r][c], 1e-6);
  D3DVECTOR p;
  a->GetPosition(scene_, &p);
  ExpectVector(p, 2, -1, 7);
}

TEST_F(FrameTest, RotationAxisIsTakenInTheReferenceFrame) {
  auto board = Child(scene_);
  board->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);  // board's z is the scene's x
  auto cell = Child(scene_);
  // About the board's z axis = about the scene's x axis: y turns towards z.
  cell->SetRotation(board, 0, 0, 1, static_cast<float>(M_PI / 2));
  scene_->Move(1.0f);
  D3DVECTOR dir, up;
  cell->GetOrientation(scene_, &dir, &up);
  ExpectVector(up, 0, 0, 1);
  ExpectVector(dir, 0, -1, 0);
}

TEST_F(FrameTest, ChildrenMoveWithParentAndDetachedFramesKeepStill) {
  auto parent = Child(scene_);
  auto child = Child(parent);
  child->SetPosition(parent, 1, 0, 0);
  parent->SetRotation(scene_, 0, 1, 0, static_cast<float>(M_PI / 2));
  auto detached = Child(nullptr);
  detached->SetRotation(nullptr, 0, 1, 0, 0.5f);
  scene_->Move(1.0f);
  D3DVECTOR p;
  child->GetPosition(scene_, &p);
  // About +y by 90°: (1,0,0) goes to (0,0,-1) with these rows.
  ExpectVector(p, 0, 0, -1);
  D3DVECTOR dir, up;
  detached->GetOrientation(nullptr, &dir, &up);
  ExpectVector(dir, 0, 0, 1);
  // Once attached and moved, it turns with the rotation it kept.
  scene_->AddChild(detached);
  scene_->Move(1.0f);
  detached->GetOrientation(scene_, &dir, &up);
  ExpectVector(dir, std::sin(0.5f), 0, std::cos(0.5f));
}

TEST_F(FrameTest, ZeroAxisAndZeroAngleIsNoMotion) {
  auto f = Child(scene_);
  f->SetRotation(scene_, 0, 0, 0, 0);
  f->SetVelocity(scene_, 0, 0, 0);
  scene_->Move(1.0f);
  D3DVECTOR dir, up;
  f->GetOrientation(scene_, &dir, &up);
  ExpectVector(dir, 0, 0, 1);
  // A zero axis with an angle turns about x.
  f->SetRotation(scene_, 0, 0, 0, static_cast<float>(M_PI / 2));
  scene_->Move(1.0f);
  f->GetOrientation(scene_, &dir, &up);
  ExpectVector(up, 0, 0, 1);
}

TEST_F(FrameTest, VelocityMovesOriginPerStep) {
  auto f = Child(scene_);
  f->SetVelocity(scene_, 0.5f, 0, -1);
  f->Move(3.0f);
  D3DVECTOR p;
  f->GetPosition(scene_, &p);
  ExpectVector(p, 1.5f, 0, -3);
}

TEST_F(FrameTest, SetOrientationBuildsAxesFromDirectionAndUp) {
  auto f = Child(scene_);
  ASSERT_TRUE(f->SetOrientation(scene_, 0, 0, 2, 0, 5, 3));  // up not perpendicular
  const Mat4 m = f->World();
  ExpectVector({float(m.m[0][0]), float(m.m[0][1]), float(m.m[0][2])}, 1, 0, 0);
  ExpectVector({float(m.m[1][0]), float(m.m[1][1]), float(m.m[1][2])}, 0, 1, 0);
  // Up along the direction fails and changes nothing.
  f->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);
  EXPECT_FALSE(f->SetOrientation(scene_, 0, 2, 0, 0, -1, 0));
  D3DVECTOR dir, up;
  f->GetOrientation(scene_, &dir, &up);
  ExpectVector(dir, 1, 0, 0);
  EXPECT_FALSE(f->SetOrientation(scene_, 0, 0, 0, 0, 1, 0));
}

TEST_F(FrameTest, OrientationRelativeToAnotherFrame) {
  auto board = Child(scene_);
  board->SetPosition(scene_, 10, 0, 0);
  board->SetOrientation(scene_, 0, 1, 0, 0, 0, -1);  // board z = scene y, board y = scene -z
  auto cell = Child(board);
  cell->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);
  D3DVECTOR dir, up;
  cell->GetOrientation(board, &dir, &up);
  // scene x in board terms: board x = y × z = (0,0,-1) × (0,1,0) = (1,0,0).
  ExpectVector(dir, 1, 0, 0);
  // scene y is board z.
  ExpectVector(up, 0, 0, 1);
  cell->GetOrientation(scene_, &dir, &up);
  ExpectVector(dir, 1, 0, 0);
  ExpectVector(up, 0, 1, 0);
  // Copying an orientation between frames through a common reference.
  auto other = Child(scene_);
  other->SetOrientation(board, dir.x, dir.y, dir.z, up.x, up.y, up.z);
  D3DVECTOR d2, u2;
  other->GetOrientation(board, &d2, &u2);
  ExpectVector(d2, dir.x, dir.y, dir.z);
  ExpectVector(u2, up.x, up.y, up.z);
}

TEST_F(FrameTest, SetPositionIsMeasuredInTheReference) {
  auto board = Child(scene_);
  board->SetPosition(scene_, 0, 0, 10);
  board->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);
  auto cell = Child(board);
  cell->SetPosition(board, 0, 0, 2);  // two steps along board z = scene x
  D3DVECTOR p;
  cell->GetPosition(scene_, &p);
  ExpectVector(p, 2, 0, 10);
  cell->GetPosition(board, &p);
  ExpectVector(p, 0, 0, 2);
  cell->GetPosition(nullptr, &p);
  ExpectVector(p, 2, 0, 10);
}

TEST_F(FrameTest, AddChildKeepsTheLocalMatrix) {
  auto a = Child(scene_), b = Child(scene_);
  a->SetPosition(scene_, 5, 0, 0);
  b->SetPosition(scene_, 0, 7, 0);
  auto cell = Child(a);
  cell->SetPosition(a, 1, 2, 3);
  const Mat4 before = cell->Local();
  ASSERT_TRUE(b->AddChild(cell));
  EXPECT_EQ(cell->GetParent(), b.Get());
  EXPECT_TRUE(a->Children().empty());
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(cell->Local().m[r][c], before.m[r][c]);
  D3DVECTOR p;
  cell->GetPosition(scene_, &p);
  ExpectVector(p, 1, 9, 3);  // jumped with the new parent
  EXPECT_TRUE(b->AddChild(cell));
  EXPECT_EQ(b->Children().size(), 1u) << "adding twice is a no-op";
}

TEST_F(FrameTest, DeleteChildKeepsMatrixAndMotion) {
  auto f = Child(scene_);
  f->SetPosition(scene_, 1, 1, 1);
  f->SetRotation(scene_, 0, 1, 0, 0.25f);
  EXPECT_TRUE(scene_->DeleteChild(f));
  EXPECT_EQ(f->GetParent(), nullptr);
  EXPECT_FALSE(scene_->DeleteChild(f));
  D3DVECTOR p;
  f->GetPosition(nullptr, &p);
  ExpectVector(p, 1, 1, 1);
  f->Move(1.0f);
  D3DVECTOR dir, up;
  f->GetOrientation(nullptr, &dir, &up);
  ExpectVector(dir, std::sin(0.25f), 0, std::cos(0.25f));
}

TEST_F(FrameTest, LoopsAreRefused) {
  auto a = Child(scene_);
  auto b = Child(a);
  EXPECT_FALSE(b->AddChild(scene_));
  EXPECT_FALSE(a->AddChild(a));
  EXPECT_EQ(a->GetParent(), scene_.Get());
}

TEST_F(FrameTest, ReleasingTheParentLeavesChildrenDetached) {
  auto child = Child(scene_);
  scene_.Release();
  EXPECT_EQ(child->GetParent(), nullptr);
  EXPECT_EQ(child->RefCount(), 1);
}

TEST_F(FrameTest, VisualsAndLightsAreHeldOnce) {
  auto f = Child(scene_);
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  EXPECT_TRUE(f->AddVisual(mesh));
  EXPECT_TRUE(f->AddVisual(mesh));
  EXPECT_EQ(f->Visuals().size(), 1u);
  EXPECT_EQ(mesh->RefCount(), 2);
  EXPECT_TRUE(f->DeleteVisual(mesh));
  EXPECT_FALSE(f->DeleteVisual(mesh));
  EXPECT_EQ(mesh->RefCount(), 1);
  EXPECT_TRUE(f->AddVisual(builder));
  EXPECT_FALSE(f->AddVisual(Ref<RMMesh>()));
  EXPECT_EQ(f->GetMaterialMode(), D3DRMMATERIAL_FROMMESH);
  EXPECT_EQ(f->Color()[0], 1.0f) << "a frame starts white";
}

}  // namespace
