#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "rm_test_support.h"

namespace {

const float kGrey[4] = {0.5f, 0.5f, 0.5f, 1}, kWhite[4] = {1, 1, 1, 1};
const float kRed[4] = {1, 0, 0, 1}, kGreen[4] = {0, 1, 0, 1};

class RenderTest : public RenderFixture {
 protected:
  // First and last lit pixel along row y (across) or column x.
  std::pair<int, int> Span(int x, int y, bool across) const {
    std::pair<int, int> span{-1, -1};
    for (int i = 0; i < (across ? width_ : height_); ++i)
      if (!IsBlack(across ? i : x, across ? y : i)) span = {span.first < 0 ? i : span.first, i};
    return span;
  }
};

// A cube of half-size 1 centred 5 ahead: its front face at z = 4 spans ±1/4 of
// the view's normalised half-size, which is the window's larger side.
TEST_F(RenderTest, CubeCoversTheProjectedPixels) {
  struct Case {
    int width, height, left, right, top, bottom;
  };
  // 640x480: x ±0.5 of 320 → 160..480; y ±(2/4)(640/480) of 240 → 80..400.
  // 240x320: y ±0.5 of 160 → 80..240; x ±(2/4)(320/240) of 120 → 40..200.
  for (const Case& c : {Case{640, 480, 160, 479, 80, 399}, Case{240, 320, 40, 199, 80, 239}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    Open(c.width, c.height);
    AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 0, 0, 5);
    RenderAndRead();
    const auto [left, right] = Span(0, c.height / 2, true);
    const auto [top, bottom] = Span(c.width / 2, 0, false);
    EXPECT_NEAR(left, c.left, 1);
    EXPECT_NEAR(right, c.right, 1);
    EXPECT_NEAR(top, c.top, 1);
    EXPECT_NEAR(bottom, c.bottom, 1);
    EXPECT_TRUE(IsBlack(5, 5));
  }
}

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
    const int left = Span(0, 100, true).first;
    EXPECT_NEAR(left, 50, 1);
    EXPECT_EQ(Pixel(left, 100), 0xFFFFFFFFu);
  }
}

// Eight faces, none square to an axis, each with corners of its own that carry
// its normal.
MeshGeometry MakeOctahedron(const float color[4]) {
  MeshGeometry g;
  g.groups.resize(1);
  std::copy_n(color, 4, g.groups[0].color);
  for (float sx : {-1.0f, 1.0f})
    for (float sy : {-1.0f, 1.0f})
      for (float sz : {-1.0f, 1.0f}) {
        const D3DVECTOR a{sx, 0, 0}, b{0, sy, 0}, c{0, 0, sz}, n{sx / 1.7320508f, sy / 1.7320508f, sz / 1.7320508f};
        const auto base = static_cast<uint32_t>(g.positions.size());
        g.positions.insert(g.positions.end(), {a, sx * sy * sz > 0 ? b : c, sx * sy * sz > 0 ? c : b});
        g.normals.insert(g.normals.end(), 3, n);
        g.uvs.insert(g.uvs.end(), 6, 0.0f);
        g.indices.insert(g.indices.end(), {base, base + 1, base + 2});
        g.face_group.push_back(0);
      }
  return g;
}

// The same with the six corners shared by the faces round them, as a model
// file has them: more faces than corners.
MeshGeometry SharingCorners(const MeshGeometry& box) {
  MeshGeometry g = box;
  g.positions.clear(), g.normals.clear(), g.uvs.clear();
  for (uint32_t& i : g.indices) {
    const D3DVECTOR p = box.positions[i];
    size_t at = 0;
    while (at < g.positions.size() &&
           (g.positions[at].x != p.x || g.positions[at].y != p.y || g.positions[at].z != p.z))
      ++at;
    if (at == g.positions.size()) {
      g.positions.push_back(p), g.normals.push_back(p), g.uvs.insert(g.uvs.end(), {0, 0});
    }
    i = uint32_t(at);
  }
  return g;
}

// Flat faces take their normals from their corners' places: drawn flat, with
// shared corners or without, the shape looks as it does shaded from the true normals.
TEST_F(RenderTest, FlatFacesAreLitAsTheirTrueNormalsSay) {
  Open(100, 100, 0.2f);
  AddLight(D3DRMLIGHT_DIRECTIONAL, 0.7f, 2, -1, 4);
  device_->SetQuality(D3DRMRENDER_GOURAUD);  // or the reference would be drawn flat too
  std::vector<uint8_t> pictures[3];
  for (int i = 0; i < 3; ++i) {
    const MeshGeometry shape = MakeOctahedron(kWhite);
    auto frame = AddShape(i == 1 ? SharingCorners(shape) : shape,
                          i == 2 ? D3DRMRENDER_GOURAUD : D3DRMRENDER_FLAT, 0, 0, 4);
    frame->SetOrientation(scene_, 1, 1, 3, 0, 1, 0);
    RenderAndRead();
    pictures[i] = pixels_;
    scene_->DeleteChild(frame);
  }
  std::set<uint32_t> shades;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) shades.insert(Pixel(x, y));
  EXPECT_GE(shades.size(), 4u) << "the background and three faces or more";
  EXPECT_TRUE(pictures[0] == pictures[1]);
  EXPECT_TRUE(pictures[0] == pictures[2]);
}

TEST_F(RenderTest, FramesSharingAMeshKeepTheirOwnPlaceAndColour) {
  Open(300, 100);
  auto mesh = MakeMesh(*rm_, MakeBox(0.5f, kWhite));
  auto board = AddFrame(nullptr, 0, 0, 5);
  const uint32_t colours[3] = {0xFF0000FFu, 0x00FF00FFu, 0x0000FFFFu};
  for (int i = 0; i < 3; ++i) {
    Ref<RMFrame> cell;
    rm_->CreateFrame(nullptr, &cell);
    if (i != 1) cell->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
    cell->SetColorRGB(i == 0, i == 1, i == 2);
    cell->AddVisual(mesh);
    board->AddChild(cell);
    cell->SetPosition(board, static_cast<float>(i - 1) * 1.5f, 0, 0);
  }
  RenderAndRead();
  EXPECT_EQ(Pixel(150, 50), 0xFFFFFFFFu) << "the mesh's colour unless the frame's is asked for";
  board->Children()[1]->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  RenderAndRead();
  // Cells at x = -1.5, 0, 1.5 at depth 4.5 land at 150 ± 1.5·(2/4.5)·150 = 50, 150, 250.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Pixel(50 + 100 * i, 50), colours[i]) << "cell " << i;
  // Detached frames vanish; the mesh keeps drawing through the others.
  board->DeleteChild(board->Children()[0]);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 50));
  EXPECT_EQ(Pixel(150, 50), colours[1]);
  // A frame takes its parent's colour when told to, and only then.
  board->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  board->SetColorRGB(1, 1, 0);
  board->Children()[0]->SetMaterialMode(D3DRMMATERIAL_FROMMESH);
  board->Children()[1]->SetMaterialMode(D3DRMMATERIAL_FROMPARENT);
  RenderAndRead();
  EXPECT_EQ(Pixel(150, 50), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(250, 50), 0xFFFF00FFu);
}

// Set up on this thread and drawn from another, into the right half only; a
// mesh builder drawn as a visual shows its changes at once.
TEST_F(RenderTest, ViewportRectangleAnotherThreadAndALiveBuilder) {
  Open(200, 100);
  ASSERT_TRUE(rm_->CreateViewport(device_, camera_, 100, 0, 100, 100, &viewport_));
  EXPECT_FALSE(rm_->CreateViewport(device_, camera_, 0, 0, 0, 100, &viewport_));
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  builder->SetGeometry(MakeSquare(1, kWhite));
  AddFrame(builder, 0, 0, 5);
  bool ok = false;
  std::thread([&] {
    ok = viewport_->Clear() && viewport_->Render(scene_) && device_->Update();
    target_->DoneCurrent();
  }).join();
  ASSERT_TRUE(ok);
  ASSERT_TRUE(target_->ReadPixels(pixels_));
  target_->DoneCurrent();
  // Half-size 1 at depth 5: ±20 pixels around the viewport's centre (150, 50).
  EXPECT_FALSE(IsBlack(150, 65));
  EXPECT_TRUE(IsBlack(120, 50));
  builder->Scale(0.25f, 0.25f, 0.25f);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(150, 60));
  EXPECT_FALSE(IsBlack(150, 50));
}

}  // namespace
