#include <gtest/gtest.h>

#include <algorithm>

#include "rm_test_support.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kWhite = 0xFFFFFFFF;
using Image = std::vector<std::vector<uint32_t>>;  // rows top-down, RGBA

const auto U16 = [](int v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
const auto U32 = [](uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); };
const auto Bgr = [](uint32_t c) { return std::string{char(c >> 8), char(c >> 16), char(c >> 24)}; };

// Rows stored bottom-up and padded to 4 bytes; 8 bits a pixel go through a
// palette of the colours used.
std::string Bmp(const Image& rows, int bits) {
  const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
  std::vector<uint32_t> palette;
  std::string pixels, table;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (uint32_t c : rows[y]) {
      if (bits == 24) {
        row += Bgr(c);
        continue;
      }
      auto it = std::find(palette.begin(), palette.end(), c);
      if (it == palette.end()) it = palette.insert(palette.end(), c);
      row += char(it - palette.begin());
    }
    row.resize((row.size() + 3) & ~size_t{3}, '\0');
    pixels += row;
  }
  for (uint32_t c : palette) table += Bgr(c) + '\0';
  const std::string info = U32(40) + U32(w) + U32(h) + U16(1) + U16(bits) + U32(0) + U32(0) +
                           U32(2835) + U32(2835) + U32(palette.size()) + U32(0);
  const uint32_t offset = 14 + 40 + table.size();
  return "BM" + U32(offset + pixels.size()) + U32(0) + U32(offset) + info + table + pixels;
}

std::string Ppm(const Image& rows, bool binary) {
  std::string s = binary ? "P6\n" : "P3\n# a comment\n";
  s += std::to_string(rows[0].size()) + " " + std::to_string(rows.size()) + "\n255\n";
  for (const auto& row : rows)
    for (uint32_t c : row)
      s += binary ? std::string{char(c >> 24), char(c >> 16), char(c >> 8)}
                  : std::to_string(c >> 24) + " " + std::to_string((c >> 16) & 0xFF) + " " +
                        std::to_string((c >> 8) & 0xFF) + "\n";
  return s;
}

const Image kQuadrants = {{kRed, kGreen}, {kBlue, kWhite}};

// 5 × 3 pads its rows in both bitmap depths; a flipped row order shows at once.
TEST(TextureTest, EveryFormatLoadsRightSideUp) {
  Image image(3, std::vector<uint32_t>(5, kBlue));
  image[0][0] = kRed;
  image[0][4] = kGreen;
  image[2][4] = kWhite;
  for (const auto& [name, bytes] :
       {std::pair{"p24.bmp", Bmp(image, 24)}, std::pair{"p8.bmp", Bmp(image, 8)},
        std::pair{"p6.ppm", Ppm(image, true)}, std::pair{"p3.ppm", Ppm(image, false)}}) {
    SCOPED_TRACE(name);
    Ref<Direct3DRM> rm;
    Direct3DRMCreate(&rm);
    Ref<RMTexture> t;
    ASSERT_TRUE(rm->LoadTexture(WriteTempFile(name, bytes), &t));
    ASSERT_EQ(t->GetWidth(), 5);
    ASSERT_EQ(t->GetHeight(), 3);
    EXPECT_EQ(t->PixelAt(0, 0), kRed);
    EXPECT_EQ(t->PixelAt(4, 0), kGreen);
    EXPECT_EQ(t->PixelAt(2, 1), kBlue);
    EXPECT_EQ(t->PixelAt(4, 2), kWhite);
  }
}

TEST(TextureTest, HugeImagesShrinkToWhatGLTakes) {
  Image wide(3, std::vector<uint32_t>(5000, kBlue));
  Ref<RMTexture> t = RMTexture::FromFile(WriteTempFile("wide.ppm", Ppm(wide, true)));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->GetWidth(), 4096);
  EXPECT_EQ(t->GetHeight(), 3);
  EXPECT_EQ(t->PixelAt(2000, 1), kBlue);
}

TEST(TextureTest, SearchPathFindsBareNamesAndBrokenFilesFail) {
  WriteTempFile("lib/found.ppm", Ppm(kQuadrants, true));
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMTexture> t;
  EXPECT_FALSE(rm->LoadTexture("found.ppm", &t));
  // A folder written the Windows way still works.
  std::string folder = (TempFolder() / "lib").string();
  std::replace(folder.begin(), folder.end(), '/', '\\');
  rm->SetSearchPath("/nonexistent;" + folder);
  EXPECT_TRUE(rm->LoadTexture("found.ppm", &t));
  for (const std::string& bad :
       {WriteTempFile("broken.bmp", "BM this is no bitmap"),
        WriteTempFile("truncated.ppm", Ppm(kQuadrants, true).substr(0, 14)),
        (TempFolder() / "missing.ppm").string(), std::string(), TempFolder().string()})
    EXPECT_FALSE(rm->LoadTexture(bad, &t)) << "'" << bad << "'";
}

class TexturedRenderTest : public RenderFixture {
 protected:
  void DrawTextured(const std::string& file, D3DRMTEXTUREQUALITY quality) {
    const auto& bytes = file.ends_with(".bmp") ? Bmp(image_, 8) : Ppm(image_, false);
    Open(100, 100);
    Ref<RMTexture> texture;
    ASSERT_TRUE(rm_->LoadTexture(WriteTempFile(file, bytes), &texture));
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
  Image image_ = kQuadrants;
  Ref<RMFrame> frame_;
};

TEST_F(TexturedRenderTest, TopOfTheImageIsDrawnAtTheTopAndFromFrameDrawsNone) {
  DrawTextured("shown.bmp", D3DRMTEXTURE_NEAREST);
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
  image_ = {{kRed, kBlue}, {kRed, kBlue}};
  DrawTextured("blend.ppm", D3DRMTEXTURE_LINEAR);
  EXPECT_GT(Channel(45, 50, 0), 100);
  EXPECT_LT(Channel(45, 50, 0), 250);
  EXPECT_GT(Channel(45, 50, 2), 20);
  device_->SetTextureQuality(D3DRMTEXTURE_NEAREST);
  RenderAndRead();
  EXPECT_EQ(Pixel(45, 50), kRed);
}

}  // namespace
