#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "rm_test_support.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kWhite = 0xFFFFFFFF;
const std::filesystem::path kTextures = std::filesystem::path(QUELLAR_RM_TEST_DATA) / "textures";

// 5 × 3, blue with red, green and white corners: both bitmap depths pad their
// rows, and a flipped row order shows at once.
TEST(TextureTest, EveryFormatLoadsRightSideUp) {
  for (const char* name : {"odd24.bmp", "odd8.bmp", "odd6.ppm", "odd3.ppm"}) {
    SCOPED_TRACE(name);
    Ref<Direct3DRM> rm;
    Direct3DRMCreate(&rm);
    Ref<RMTexture> t;
    ASSERT_TRUE(rm->LoadTexture((kTextures / name).string(), &t));
    ASSERT_EQ(t->GetWidth(), 5);
    ASSERT_EQ(t->GetHeight(), 3);
    EXPECT_EQ(t->PixelAt(0, 0), kRed);
    EXPECT_EQ(t->PixelAt(4, 0), kGreen);
    EXPECT_EQ(t->PixelAt(2, 1), kBlue);
    EXPECT_EQ(t->PixelAt(4, 2), kWhite);
  }
}

TEST(TextureTest, HugeImagesShrinkToWhatGLTakes) {
  std::string wide = "P6\n5000 3\n255\n";
  for (int i = 0; i < 5000 * 3; ++i) wide += {'\0', '\0', '\xff'};
  Ref<RMTexture> t = RMTexture::FromFile(WriteTempFile("wide.ppm", wide));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->GetWidth(), 4096);
  EXPECT_EQ(t->GetHeight(), 3);
  EXPECT_EQ(t->PixelAt(2000, 1), kBlue);
}

TEST(TextureTest, SearchPathFindsBareNamesAndBrokenFilesFail) {
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMTexture> t;
  EXPECT_FALSE(rm->LoadTexture("odd6.ppm", &t));
  // A folder written the Windows way still works.
  std::string folder = kTextures.string();
  std::replace(folder.begin(), folder.end(), '/', '\\');
  rm->SetSearchPath("/nonexistent;" + folder);
  EXPECT_TRUE(rm->LoadTexture("odd6.ppm", &t));
  std::ifstream in(kTextures / "odd6.ppm", std::ios::binary);
  const std::string ppm{std::istreambuf_iterator<char>(in), {}};
  for (const std::string& bad :
       {WriteTempFile("broken.bmp", "BM this is no bitmap"),
        WriteTempFile("truncated.ppm", ppm.substr(0, ppm.size() - 5)),
        (TempFolder() / "missing.ppm").string(), std::string(), TempFolder().string()})
    EXPECT_FALSE(rm->LoadTexture(bad, &t)) << "'" << bad << "'";
}

class TexturedRenderTest : public RenderFixture {
 protected:
  void DrawTextured(const char* file, D3DRMTEXTUREQUALITY quality) {
    Open(100, 100);
    Ref<RMTexture> texture;
    ASSERT_TRUE(rm_->LoadTexture((kTextures / file).string(), &texture));
    Ref<RMMeshBuilder> builder;
    rm_->CreateMeshBuilder(&builder);
    const float white[4] = {1, 1, 1, 1};
    builder->SetGeometry(MakeSquare(1, white));
    builder->SetTexture(texture);
    builder->SetQuality(D3DRMRENDER_FLAT);
    frame_ = AddFrame(builder, 0, 0, 2);  // the square covers 0..100
    device_->SetTextureQuality(quality);
    RenderAndRead();
  }
  Ref<RMFrame> frame_;
};

TEST_F(TexturedRenderTest, TopOfTheImageIsDrawnAtTheTopAndFromFrameDrawsNone) {
  DrawTextured("quadrants8.bmp", D3DRMTEXTURE_NEAREST);
  EXPECT_EQ(Pixel(25, 25), kRed);
  EXPECT_EQ(Pixel(75, 25), kGreen);
  EXPECT_EQ(Pixel(25, 75), kBlue);
  EXPECT_EQ(Pixel(75, 75), kWhite);
  frame_->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  frame_->SetColorRGB(0, 1, 1);
  RenderAndRead();
  EXPECT_EQ(Pixel(25, 25), 0x00FFFFFFu);
  EXPECT_EQ(Pixel(75, 75), 0x00FFFFFFu);
}

TEST_F(TexturedRenderTest, LinearFilteringBlendsNeighboursAndNearestDoesNot) {
  DrawTextured("stripes3.ppm", D3DRMTEXTURE_LINEAR);  // red left, blue right
  EXPECT_GT(Channel(45, 50, 0), 100);
  EXPECT_LT(Channel(45, 50, 0), 250);
  EXPECT_GT(Channel(45, 50, 2), 20);
  device_->SetTextureQuality(D3DRMTEXTURE_NEAREST);
  RenderAndRead();
  EXPECT_EQ(Pixel(45, 50), kRed);
}

}  // namespace
