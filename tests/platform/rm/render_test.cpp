#include <gtest/gtest.h>

#include <thread>

#include "rm_test_support.h"

namespace {

const float kGrey[4] = {0.5f, 0.5f, 0.5f, 1};
const float kWhite[4] = {1, 1, 1, 1};

// Leftmost and rightmost lit columns on row y, topmost and lowest lit rows on column x.
struct Extent {
  int left = -1, right = -1, top = -1, bottom = -1;
};

class RenderTest : public RenderFixture {
 protected:
  Extent Measure(int x, int y) const {
    Extent e;
    for (int i = 0; i < width_; ++i)
      if (!IsBlack(i, y)) {
        if (e.left < 0) e.left = i;
        e.right = i;
      }
    for (int j = 0; j < height_; ++j)
      if (!IsBlack(x, j)) {
        if (e.top < 0) e.top = j;
        e.bottom = j;
      }
    return e;
  }
};

// A cube of half-size 1 centred 5 ahead: its front face at z = 4 spans
// ±1 · (n/f)(L/w) / 4 in x and ±1 · (n/f)(L/h) / 4 in y of the normalised view.
TEST_F(RenderTest, CubeCoversProjectedPixelsAt640x480) {
  Open(640, 480);
  AddAmbient(1.0f);
  AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  const Extent e = Measure(320, 240);
  // x: ±0.5 of the half-width 320 → 160..480; y: ±(2/4)(640/480) = ±2/3 of 240 → 80..400.
  EXPECT_NEAR(e.left, 160, 1);
  EXPECT_NEAR(e.right, 479, 1);
  EXPECT_NEAR(e.top, 80, 1);
  EXPECT_NEAR(e.bottom, 399, 1);
  EXPECT_TRUE(IsBlack(5, 5));
}

TEST_F(RenderTest, FieldSpansTheLargerSideOfATallWindow) {
  Open(240, 320);
  AddAmbient(1.0f);
  AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  const Extent e = Measure(120, 160);
  // L = 320 is the height: y spans ±0.5 → 80..240; x spans ±(0.5)(320/240) → 40..200.
  EXPECT_NEAR(e.top, 80, 1);
  EXPECT_NEAR(e.bottom, 239, 1);
  EXPECT_NEAR(e.left, 40, 1);
  EXPECT_NEAR(e.right, 199, 1);
}

TEST_F(RenderTest, ScreenKeepsDirectionsOfXAndY) {
  Open(200, 200);
  AddAmbient(1.0f);
  AddShape(MakeBox(0.5f, kGrey), D3DRMRENDER_FLAT, 2, 2, 10);  // right and up
  RenderAndRead();
  EXPECT_FALSE(IsBlack(140, 60));
  EXPECT_TRUE(IsBlack(60, 140));
}

TEST_F(RenderTest, CameraOrientationTurnsTheView) {
  Open(200, 200);
  AddAmbient(1.0f);
  AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 10, 0, 0);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(100, 100));
  camera_->SetOrientation(scene_, 1, 0, 0, 0, 1, 0);  // look along +x
  RenderAndRead();
  EXPECT_FALSE(IsBlack(100, 100));
}

TEST_F(RenderTest, BackFacesAreCulledAndClockwiseFacesShown) {
  Open(100, 100);
  AddAmbient(1.0f);
  auto front = AddShape(MakeSquare(1, kWhite), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  EXPECT_FALSE(IsBlack(50, 50));
  front->SetOrientation(scene_, 0, 0, -1, 0, 1, 0);  // turned round: now its back shows
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 50));
}

TEST_F(RenderTest, NearerFacesHideFartherOnesWhateverTheOrder) {
  Open(100, 100);
  AddAmbient(1.0f);
  const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
  AddShape(MakeSquare(1, red), D3DRMRENDER_FLAT, 0, 0, 4);
  AddShape(MakeSquare(2, green), D3DRMRENDER_FLAT, 0, 0, 8);
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0xFF0000FFu);
}

TEST_F(RenderTest, BackClippingPlaneHidesFarObjects) {
  Open(100, 100);
  AddAmbient(1.0f);
  AddShape(MakeBox(1, kGrey), D3DRMRENDER_FLAT, 0, 0, 150);
  viewport_->SetBack(100);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 50));
  viewport_->SetBack(5000);
  RenderAndRead();
  EXPECT_FALSE(IsBlack(50, 50));
  EXPECT_FALSE(viewport_->SetBack(0.5f)) << "behind the front plane";
}

TEST_F(RenderTest, LightingTruncatesToBytes) {
  Open(100, 100);
  AddAmbient(0.3f);
  const float c[4] = {0.4f, 0.8f, 1.0f, 1};
  AddShape(MakeSquare(1, c), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  // 0.12 · 255 = 30.6 and 0.24 · 255 = 61.2, 0.3 · 255 = 76.5: truncated, not rounded.
  EXPECT_EQ(Channel(50, 50, 0), 30);
  EXPECT_EQ(Channel(50, 50, 1), 61);
  EXPECT_EQ(Channel(50, 50, 2), 76);
}

TEST_F(RenderTest, DirectionalLightFollowsItsFrameAndSaturates) {
  Open(100, 100);
  AddAmbient(0.3f);
  AddDirectional(0.9f, 0, 0, 1);  // shining straight at the square's front
  AddShape(MakeSquare(1, kGrey), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  EXPECT_EQ(Channel(50, 50, 0), 153);  // 0.5 · 1.2 = 0.6
  const float white[4] = {1, 1, 1, 1};
  AddShape(MakeSquare(1, white), D3DRMRENDER_FLAT, 0, 0, 3);
  RenderAndRead();
  EXPECT_EQ(Channel(50, 50, 0), 255);  // 1.2 clamps to 1
}

// A square whose corner normals lean apart: Gouraud shades across it,
// flat gives one colour, wireframe draws only edges, unlit.
MeshGeometry LeaningSquare() {
  MeshGeometry g = MakeSquare(1, kWhite);
  g.normals[0] = {-0.8f, 0, -0.6f};
  g.normals[3] = {-0.8f, 0, -0.6f};
  g.normals[1] = {0.8f, 0, -0.6f};
  g.normals[2] = {0.8f, 0, -0.6f};
  return g;
}

class QualityTest : public RenderTest {
 protected:
  void SetUp() override {
    Open(200, 200);
    AddDirectional(1.0f, 1, 0, 1);  // from the left front
    AddAmbient(0.1f);
  }
  void Draw(D3DRMRENDERQUALITY mesh, D3DRMRENDERQUALITY device) {
    if (shape_) scene_->DeleteChild(shape_);
    shape_ = AddShape(LeaningSquare(), mesh, 0, 0, 4);
    device_->SetQuality(device);
    RenderAndRead();
  }
  Ref<RMFrame> shape_;
};

TEST_F(QualityTest, GouraudShadesAcrossAFaceAndFlatDoesNot) {
  Draw(D3DRMRENDER_GOURAUD, D3DRMRENDER_GOURAUD);
  const int left = Channel(70, 100, 0), right = Channel(130, 100, 0);
  EXPECT_GT(left, right + 40) << "the left corners face the light";
  Draw(D3DRMRENDER_FLAT, D3DRMRENDER_GOURAUD);
  EXPECT_EQ(Channel(70, 100, 0), Channel(130, 100, 0));
  // The face normal is (0,0,-1): 0.1 + cos 45° = 0.807 → 205.
  EXPECT_NEAR(Channel(100, 100, 0), 205, 1);
}

TEST_F(QualityTest, DeviceQualityIsACeiling) {
  Draw(D3DRMRENDER_GOURAUD, D3DRMRENDER_FLAT);
  EXPECT_EQ(Channel(70, 100, 0), Channel(130, 100, 0)) << "a flat device draws Gouraud meshes flat";
  Draw(D3DRMRENDER_GOURAUD, D3DRMRENDER_WIREFRAME);
  // (120, 100) lies inside the square but off its edges and its diagonal.
  EXPECT_TRUE(IsBlack(120, 100)) << "a wireframe device draws only edges";
}

TEST_F(QualityTest, WireframeDrawsUnlitEdgesOnly) {
  Draw(D3DRMRENDER_WIREFRAME, D3DRMRENDER_GOURAUD);
  EXPECT_TRUE(IsBlack(120, 100));
  EXPECT_FALSE(IsBlack(100, 100)) << "the diagonal edge between the two faces";
  // The square spans 50..150; its left edge is a line at x = 50, unlit white.
  const Extent e = Measure(100, 100);
  EXPECT_NEAR(e.left, 50, 1);
  EXPECT_EQ(Pixel(e.left, 100), 0xFFFFFFFFu);
}

TEST_F(RenderTest, FrameColourIsDrawnInFromFrameMode) {
  Open(100, 100);
  AddAmbient(1.0f);
  const float green[4] = {0, 1, 0, 1};
  auto f = AddShape(MakeSquare(1, green), D3DRMRENDER_FLAT, 0, 0, 5);
  f->SetColorRGB(1, 0, 0);
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0x00FF00FFu) << "from mesh by default";
  f->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  RenderAndRead();
  EXPECT_EQ(Pixel(50, 50), 0xFF0000FFu);
}

TEST_F(RenderTest, FramesSharingAMeshKeepTheirOwnPlaceAndColour) {
  Open(300, 100);
  AddAmbient(1.0f);
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  builder->SetGeometry(MakeBox(0.5f, kWhite));
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Ref<RMFrame> board;
  rm_->CreateFrame(scene_, &board);
  board->SetPosition(scene_, 0, 0, 5);
  for (int i = 0; i < 3; ++i) {
    Ref<RMFrame> cell;
    rm_->CreateFrame(nullptr, &cell);
    cell->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
    cell->SetColorRGB(colours[i][0], colours[i][1], colours[i][2]);
    cell->AddVisual(mesh);
    board->AddChild(cell);
    cell->SetPosition(board, static_cast<float>(i - 1) * 1.5f, 0, 0);
  }
  RenderAndRead();
  // Cells at x = -1.5, 0, 1.5 at depth 4.5 land at 150 ± 1.5·(2/4.5)·(300/300)·150 = 50, 150, 250.
  EXPECT_EQ(Pixel(50, 50), 0xFF0000FFu);
  EXPECT_EQ(Pixel(150, 50), 0x00FF00FFu);
  EXPECT_EQ(Pixel(250, 50), 0x0000FFFFu);
  // Detached frames vanish; the mesh keeps drawing through the others.
  board->DeleteChild(board->Children()[0]);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 50));
  EXPECT_EQ(Pixel(150, 50), 0x00FF00FFu);
}

TEST_F(RenderTest, MeshBuilderCanBeAVisualAndChangesShowAtOnce) {
  Open(100, 100);
  AddAmbient(1.0f);
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  builder->SetGeometry(MakeSquare(1, kWhite));
  Ref<RMFrame> f;
  rm_->CreateFrame(scene_, &f);
  f->SetPosition(scene_, 0, 0, 5);
  f->AddVisual(builder);
  RenderAndRead();
  EXPECT_FALSE(IsBlack(50, 65));  // half-size 1 at depth 5: ±20 pixels around the centre
  builder->Scale(0.25f, 0.25f, 0.25f);
  RenderAndRead();
  EXPECT_TRUE(IsBlack(50, 60));
  EXPECT_FALSE(IsBlack(50, 50));
}

TEST_F(RenderTest, RendersFromAnotherThreadAfterSetUpOnThisOne) {
  Open(100, 100);
  AddAmbient(1.0f);
  AddShape(MakeBox(1, kWhite), D3DRMRENDER_FLAT, 0, 0, 5);
  bool ok = false;
  std::thread([&] {
    ok = viewport_->Clear() && viewport_->Render(scene_) && device_->Update();
    target_->DoneCurrent();
  }).join();
  ASSERT_TRUE(ok);
  ASSERT_TRUE(target_->ReadPixels(pixels_));
  target_->DoneCurrent();
  EXPECT_FALSE(IsBlack(50, 50));
}

TEST_F(RenderTest, ViewportCoversOnlyItsRectangle) {
  Open(200, 100);
  AddAmbient(1.0f);
  viewport_.Release();
  ASSERT_TRUE(rm_->CreateViewport(device_, camera_, 100, 0, 100, 100, &viewport_));
  EXPECT_FALSE(rm_->CreateViewport(device_, camera_, 0, 0, 0, 100, &viewport_));
  AddShape(MakeBox(3, kWhite), D3DRMRENDER_FLAT, 0, 0, 5);
  RenderAndRead();
  EXPECT_FALSE(IsBlack(150, 50));
  EXPECT_TRUE(IsBlack(50, 50));
}

}  // namespace
