#include "platform/rm/frame.h"

#include <gtest/gtest.h>

#include <cmath>

#include "rm_test_support.h"

namespace {

::testing::AssertionResult Near(const D3DVECTOR& v, float x, float y, float z) {
  const float tol = 1e-5f;
  if (std::abs(v.x - x) <= tol && std::abs(v.y - y) <= tol && std::abs(v.z - z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << ") is not ("
                                       << x << ", " << y << ", " << z << ")";
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
  // Position, direction and up of `f` seen from `ref`.
  struct Pose {
    D3DVECTOR pos, dir, up;
  };
  static Pose Of(const Ref<RMFrame>& f, const Ref<RMFrame>& ref) {
    Pose p{};
    f->GetPosition(ref, &p.pos);
    f->GetOrientation(ref, &p.dir, &p.up);
    return p;
  }
  Ref<Direct3DRM> rm_;
  Ref<RMFrame> scene_;
};

TEST_F(FrameTest, RotationAxisIsTakenInTheReferenceFrameAndChildrenFollow) {
  auto board = Child(scene_);
  board->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);  // board's z is the scene's x
  auto cell = Child(scene_);
  // About the board's z axis = about the scene's x axis: y turns towards z.
  cell->SetRotation(board, 0, 0, 1, static_cast<float>(M_PI / 2));
  scene_->Move(1.0f);
  EXPECT_TRUE(Near(Of(cell, scene_).up, 0, 0, 1));
  EXPECT_TRUE(Near(Of(cell, scene_).dir, 0, -1, 0));
  // A zero axis with an angle turns about x; with no angle it is no motion.
  auto still = Child(scene_), about_x = Child(scene_), child = Child(about_x);
  still->SetRotation(scene_, 0, 0, 0, 0);
  about_x->SetRotation(scene_, 0, 0, 0, static_cast<float>(M_PI / 2));
  child->SetPosition(about_x, 0, 1, 0);
  scene_->Move(1.0f);
  EXPECT_TRUE(Near(Of(still, scene_).dir, 0, 0, 1));
  EXPECT_TRUE(Near(Of(about_x, scene_).up, 0, 0, 1));
  EXPECT_TRUE(Near(Of(child, scene_).pos, 0, 0, 1)) << "children move with their parent";
}

TEST_F(FrameTest, SetAndGetOrientationAndPositionRelativeToAnotherFrame) {
  auto board = Child(scene_);
  board->SetPosition(scene_, 10, 0, 0);
  board->SetOrientation(scene_, 0, 1, 0, 0, 0, -1);  // board z = scene y, board y = scene -z
  auto cell = Child(board);
  EXPECT_TRUE(Near(Of(cell, scene_).pos, 10, 0, 0)) << "a new frame sits at its parent's origin";
  cell->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);
  // Board x = y × z = (0,0,-1) × (0,1,0) = scene x; scene y is board z.
  EXPECT_TRUE(Near(Of(cell, board).dir, 1, 0, 0));
  EXPECT_TRUE(Near(Of(cell, board).up, 0, 0, 1));
  EXPECT_TRUE(Near(Of(cell, scene_).up, 0, 1, 0));
  // Copying an orientation between frames through a common reference.
  auto other = Child(scene_);
  other->SetOrientation(board, 1, 0, 0, 0, 0, 1);
  EXPECT_TRUE(Near(Of(other, scene_).dir, 1, 0, 0));
  EXPECT_TRUE(Near(Of(other, scene_).up, 0, 1, 0));
  // Up need not be perpendicular; up along the direction, or no direction, fails and
  // changes nothing.
  ASSERT_TRUE(other->SetOrientation(scene_, 0, 0, 2, 0, 5, 3));
  const Mat4 m = other->World();
  EXPECT_TRUE(Near({float(m.m[0][0]), float(m.m[0][1]), float(m.m[0][2])}, 1, 0, 0));
  EXPECT_TRUE(Near(Of(other, scene_).up, 0, 1, 0));
  EXPECT_FALSE(other->SetOrientation(scene_, 0, 2, 0, 0, -1, 0));
  EXPECT_FALSE(other->SetOrientation(scene_, 0, 0, 0, 0, 1, 0));
  EXPECT_TRUE(Near(Of(other, scene_).dir, 0, 0, 1));
  // Pitched, turned and rolled by 45°: x is up × direction, as in a left-handed world.
  const float h = std::sqrt(0.5f);
  const struct {
    float dx, dy, dz, ux, uy, uz, rx, ry, rz;
  } turns[] = {{0, 1, 1, 0, 1, -1, 1, 0, 0}, {1, 0, 1, 0, 1, 0, h, 0, -h}, {0, 0, 1, 1, 1, 0, h, -h, 0}};
  auto turned = Child(scene_), probe = Child(turned);
  probe->SetPosition(turned, 1, 0, 0);
  for (const auto& t : turns) {
    ASSERT_TRUE(turned->SetOrientation(scene_, t.dx, t.dy, t.dz, t.ux, t.uy, t.uz));
    EXPECT_TRUE(Near(Of(probe, scene_).pos, t.rx, t.ry, t.rz)) << t.dx << t.dy << t.dz;
  }
  // Positions too are measured in the reference: two steps along board z = scene y.
  cell->SetPosition(board, 0, 0, 2);
  EXPECT_TRUE(Near(Of(cell, scene_).pos, 10, 2, 0));
  EXPECT_TRUE(Near(Of(cell, board).pos, 0, 0, 2));
}

// A frame moved to another parent keeps its local matrix and jumps with the new one.
TEST_F(FrameTest, FramesAndVisualsAreHeldOnceWithoutLoopsOrDanglingParents) {
  auto a = Child(scene_), b = Child(scene_);
  a->SetPosition(scene_, 5, 0, 0);
  b->SetPosition(scene_, 0, 7, 0);
  auto cell = Child(a);
  cell->SetPosition(a, 1, 2, 3);
  ASSERT_TRUE(b->AddChild(cell));
  EXPECT_EQ(cell->GetParent(), b.Get());
  EXPECT_TRUE(a->Children().empty());
  EXPECT_TRUE(Near(Of(cell, scene_).pos, 1, 9, 3)) << "jumped with the new parent";
  EXPECT_TRUE(b->AddChild(cell));
  EXPECT_EQ(b->Children().size(), 1u) << "adding twice is a no-op";
  EXPECT_FALSE(cell->AddChild(scene_));
  EXPECT_FALSE(a->AddChild(a));
  EXPECT_EQ(a->GetParent(), scene_.Get());
  a->SetPosition(scene_, 1, 1, 1);
  a->SetRotation(scene_, 0, 1, 0, 0.5f);
  EXPECT_TRUE(scene_->DeleteChild(a));
  EXPECT_FALSE(scene_->DeleteChild(a));
  scene_->Move(1.0f);
  EXPECT_TRUE(Near(Of(a, nullptr).pos, 1, 1, 1)) << "a detached frame keeps its matrix";
  EXPECT_TRUE(Near(Of(a, nullptr).dir, 0, 0, 1)) << "and keeps still";
  scene_->AddChild(a);
  scene_->Move(1.0f);
  EXPECT_TRUE(Near(Of(a, scene_).dir, std::sin(0.5f), 0, std::cos(0.5f))) << "with its rotation";
  scene_.Release();
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(a->RefCount(), 1);
  auto mesh = MakeMesh(*rm_, {});
  EXPECT_TRUE(a->AddVisual(mesh));
  EXPECT_TRUE(a->AddVisual(mesh));
  EXPECT_EQ(a->Visuals().size(), 1u);
  EXPECT_TRUE(a->DeleteVisual(mesh));
  EXPECT_FALSE(a->DeleteVisual(mesh));
  EXPECT_EQ(mesh->RefCount(), 1);
  EXPECT_FALSE(a->AddVisual(Ref<RMMesh>()));
}

}  // namespace
