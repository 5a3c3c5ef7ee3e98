#include <gtest/gtest.h>

#include "rm_test_support.h"

namespace {

const float kGrey[4] = {0.5f, 0.5f, 0.5f, 1}, kWhite[4] = {1, 1, 1, 1};
const float kRed[4] = {1, 0, 0, 1}, kGreen[4] = {0, 1, 0, 1};

// Where cells land (tests/life) and how a model file's flat faces are lit in its frame's
// colour (tests/stage) are seen in the saver's own pictures; the edge cases are here.
class RenderTest : public RenderFixture {};

TEST_F(RenderTest, DirectionsCullingDepthClippingAndTheCamera) {
  Open(100, 100);
  auto front = AddShape(MakeSquare(1, kRed), D3DRMRENDER_FLAT, 0, 0, 4);  // covers 25..75
  AddShape(MakeSquare(2, kGreen), D3DRMRENDER_FLAT, 0, 0, 8);             // covers 25..75
  AddShape(MakeBox(0.5f, kGrey), D3DRMRENDER_FLAT, 3, 3, 10);  // right and up: 76..87, 13..24
  AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 10, 0, 0);     // out of sight
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0xFF0000FFu) << "the nearer face hides the farther";
  EXPECT_FALSE(IsBlack(82, 18));
  EXPECT_TRUE(IsBlack(18, 82));
  front->SetOrientation(scene_, 0, 0, -1, 0, 1, 0);  // turned round: now its back shows
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0x00FF00FFu);
  viewport_->SetBack(7);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 50)) << "beyond the back clipping plane";
  EXPECT_FALSE(viewport_->SetBack(0.5f)) << "behind the front plane";
  viewport_->SetBack(5000);
  // The planes and the field each refuse what would make no picture.
  EXPECT_FALSE(viewport_->SetFront(0));
  EXPECT_FALSE(viewport_->SetFront(5000));
  EXPECT_FALSE(viewport_->SetField(0));
  ASSERT_TRUE(viewport_->SetFront(6));  // now the red face at 4 is cut away
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0x00FF00FFu);
  viewport_->SetFront(1);
  ASSERT_TRUE(viewport_->SetField(0.25f));  // twice the size: the square covers 0..100
  RenderAndRead();
  EXPECT_FALSE(IsBlack(5, 50));
  camera_->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);  // look along +x
  RenderAndRead();
  EXPECT_FALSE(IsBlack(50, 50));
}

TEST_F(RenderTest, LightsAddUpTruncateToBytesAndSaturate) {
  Open(100, 100, 0.3f);
  const float c[4] = {0.4f, 0.8f, 1.0f, 1};
  auto square = AddShape(MakeSquare(1, c), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  // 0.12 · 255 = 30.6, 0.24 · 255 = 61.2, 0.3 · 255 = 76.5: truncated, not rounded.
  EXPECT_EQ(Channel(50, 50, 0), 30);
  EXPECT_EQ(Channel(50, 50, 1), 61);
  EXPECT_EQ(Channel(50, 50, 2), 76);
  AddLight(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0, 0, 1);  // straight at the square's front
  RenderAndRead();
  EXPECT_EQ(Channel(50, 50, 0), 122);  // 0.4 · 1.2 = 0.48
  EXPECT_EQ(Channel(50, 50, 2), 255);  // 1.2 clamps to 1
  // Eight directional lights are drawn and a ninth is left out: 0.4 · (0.3 + 8 · 0.05) = 0.28.
  Open(100, 100, 0.3f);
  AddShape(MakeSquare(1, c), D3DRMRENDER_FLAT, 0, 0, 5);
  for (int i = 0; i < 9; ++i) AddLight(D3DRMLIGHT_DIRECTIONAL, 0.05f, 0, 0, 1);
  RenderAndRead();
  EXPECT_EQ(Channel(50, 50, 0), 71);
}

// A square whose corner normals lean apart, lit from the left front: Gouraud
// shades across it, flat gives one colour, wireframe draws only edges, unlit.
TEST_F(RenderTest, QualitiesDrawAsTheyShouldUnderTheDevicesCeiling) {
  Open(200, 200, 0.1f);
  AddLight(D3DRMLIGHT_DIRECTIONAL, 1.0f, 1, 0, 1);
  MeshGeometry g = MakeSquare(1, kWhite);
  g.normals[0] = g.normals[3] = {-0.8f, 0, -0.6f};
  g.normals[1] = g.normals[2] = {0.8f, 0, -0.6f};
  Ref<RMFrame> shape;
  // Returns how much brighter the left of the square is than its right.
  auto draw = [&](D3DRMRENDERQUALITY mesh, D3DRMRENDERQUALITY device) {
    if (shape) scene_->DeleteChild(shape);
    shape = AddShape(g, mesh, 0, 0, 4);
    device_->SetQuality(device);
    RenderAndRead();
    return Channel(70, 100, 0) - Channel(130, 100, 0);
  };
  EXPECT_GT(draw(D3DRMRENDER_GOURAUD, D3DRMRENDER_GOURAUD), 40);
  // The left corners face the light (0.1 + 0.99, clamped to 1), the right ones
  // turn from it (0.1 alone); in between the colour runs from one to the other.
  EXPECT_NEAR(Channel(52, 100, 0), 250, 5);
  EXPECT_NEAR(Channel(148, 100, 0), 27, 5);
  EXPECT_EQ(draw(D3DRMRENDER_FLAT, D3DRMRENDER_GOURAUD), 0);
  // The face normal is (0,0,-1): 0.1 + cos 45° = 0.807 → 205.
  EXPECT_NEAR(Channel(100, 100, 0), 205, 1);
  EXPECT_EQ(draw(D3DRMRENDER_GOURAUD, D3DRMRENDER_FLAT), 0) << "the device's quality is a ceiling";
  for (auto [mesh, device] : {std::pair{D3DRMRENDER_WIREFRAME, D3DRMRENDER_GOURAUD},
                              std::pair{D3DRMRENDER_GOURAUD, D3DRMRENDER_WIREFRAME}}) {
    SCOPED_TRACE(testing::Message() << "mesh " << mesh << ", device " << device);
    draw(mesh, device);
    // (120, 100) lies inside the square but off its edges and its diagonal.
    EXPECT_TRUE(IsBlack(120, 100));
    EXPECT_FALSE(IsBlack(100, 100)) << "the diagonal edge between the two faces";
    // The square spans 50..150; its left edge is a line at x = 50, unlit white.
    int left = 0;
    while (left < width_ && IsBlack(left, 100)) ++left;
    EXPECT_NEAR(left, 50, 1);
    EXPECT_EQ(Pixel(left, 100), 0xFFFFFFFFu);
  }
}

}  // namespace
