#include <gtest/gtest.h>

#include <algorithm>

#include "rm_test_support.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kWhite = 0xFFFFFFFF;
const std::filesystem::path kTextures = std::filesystem::path(QUELLAR_RM_TEST_DATA) / "textures";

// 5 × 3, blue with red, green and white corners: both bitmap depths pad their
// rows, and a flipped row order shows at once.
TEST(TextureTest, EveryFormatLoadsRightSideUp) {
  for (const char* name : {"odd24.bmp", "odd8.bmp", "odd6.ppm", "odd3.ppm"}) {
    SCOPED_TRACE(name);
    Ref<RMTexture> t = RMTexture::FromFile((kTextures / name).string());
    ASSERT_TRUE(t);
    ASSERT_EQ(t->GetWidth(), 5);
    ASSERT_EQ(t->GetHeight(), 3);
    EXPECT_EQ(t->PixelAt(0, 0), kRed);
    EXPECT_EQ(t->PixelAt(4, 0), kGreen);
    EXPECT_EQ(t->PixelAt(2, 1), kBlue);
    EXPECT_EQ(t->PixelAt(4, 2), kWhite);
    EXPECT_EQ(t->PixelAt(5, 0) | t->PixelAt(0, 3) | t->PixelAt(-1, 0), 0u) << "outside";
  }
}

// 8-bit, red on the left half and blue on the right: small on disk, large decoded.
std::string EightBitBitmap(int width, int height) {
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  const uint32_t stride = (uint32_t(width) + 3) & ~3u, offset = 14 + 40 + 256 * 4;
  const uint32_t pixels = stride * uint32_t(height);
  std::string bmp = "BM" + u32(offset + pixels) + u32(0) + u32(offset);
  bmp += u32(40) + u32(width) + u32(height) + u16(1) + u16(8) + u32(0) + u32(pixels) + u32(2835) +
         u32(2835) + u32(256) + u32(0);
  std::string palette(256 * 4, '\0');
  palette[1 * 4 + 2] = '\xff';  // index 1 red (stored blue, green, red)
  palette[2 * 4 + 0] = '\xff';  // index 2 blue
  bmp += palette;
  std::string row(stride, '\2');
  std::fill(row.begin(), row.begin() + width / 2, '\1');
  bmp.reserve(bmp.size() + pixels);
  for (int y = 0; y < height; ++y) bmp += row;
  return bmp;
}

// Beyond 4096 a side, what GL takes, images load scaled down: binary PPMs
// sampled from the file, others through the image reader, also beyond its
// default memory limit. Beyond 16384 a side nothing is read at all.
TEST(TextureTest, LargeImagesLoadScaledDown) {
  std::string wide = "P6\n5000 3\n255\n";
  for (int i = 0; i < 5000 * 3; ++i) wide += {'\0', '\0', '\xff'};
  const struct {
    std::string file;
    int width, height;
    uint32_t left;
  } cases[] = {{WriteTempFile("wide.ppm", wide), 4096, 3, kBlue},
               {WriteTempFile("big8.bmp", EightBitBitmap(8192, 8192)), 4096, 4096, kRed},
               {WriteTempFile("wide8.bmp", EightBitBitmap(16384, 2)), 4096, 2, kRed},
               {WriteTempFile("tall8.bmp", EightBitBitmap(4, 16384)), 4, 4096, kRed}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Ref<RMTexture> t = RMTexture::FromFile(c.file);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->GetWidth(), c.width);
    EXPECT_EQ(t->GetHeight(), c.height);
    EXPECT_EQ(t->PixelAt(c.width / 4, 1), c.left);
    EXPECT_EQ(t->PixelAt(c.width * 3 / 4, 1), kBlue);
    std::filesystem::remove(c.file);
  }
  EXPECT_FALSE(RMTexture::FromFile(WriteTempFile("over8.bmp", EightBitBitmap(16385, 2))));
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
  const std::string ppm = ReadWholeFile(kTextures / "odd6.ppm");
  for (const std::string& bad :
       {WriteTempFile("broken.bmp", "BM this is no bitmap"),
        WriteTempFile("truncated.ppm", ppm.substr(0, ppm.size() - 5)),
        (TempFolder() / "missing.ppm").string(), std::string(), TempFolder().string(),
        FifoAt(TempFolder() / "fifo.ppm")})
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
