#include <gtest/gtest.h>

#include "rm_test_support.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0x00FF00FF, kBlue = 0x0000FFFF, kWhite = 0xFFFFFFFF;

std::string U16(int v) {
  return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}
std::string U32(uint32_t v) {
  return U16(v & 0xFFFF) + U16(v >> 16);
}

// A BMP stores its rows bottom-up: getting the order wrong shows pictures upside down.
// `rows` are top-down, RGB triples.
std::string Bmp24(int w, int h, const std::vector<std::vector<uint32_t>>& rows) {
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = rows[y][x];
      row += {char(c >> 8), char(c >> 16), char(c >> 24)};
    }
    row.resize(stride, '\0');
    pixels += row;
  }
  std::string info = U32(40) + U32(w) + U32(h) + U16(1) + U16(24) + U32(0) + U32(0) + U32(2835) +
                     U32(2835) + U32(0) + U32(0);
  return "BM" + U32(14 + 40 + pixels.size()) + U32(0) + U32(14 + 40) + info + pixels;
}

// 8 bits a pixel through a palette of the colours used.
std::string Bmp8(int w, int h, const std::vector<std::vector<uint32_t>>& rows) {
  std::vector<uint32_t> palette;
  std::string pixels;
  const int stride = (w + 3) & ~3;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      auto it = std::find(palette.begin(), palette.end(), rows[y][x]);
      if (it == palette.end()) it = palette.insert(palette.end(), rows[y][x]);
      row += char(it - palette.begin());
    }
    row.resize(stride, '\0');
    pixels += row;
  }
  std::string table;
  for (uint32_t c : palette) table += {char(c >> 8), char(c >> 16), char(c >> 24), 0};
  std::string info = U32(40) + U32(w) + U32(h) + U16(1) + U16(8) + U32(0) + U32(0) + U32(2835) +
                     U32(2835) + U32(palette.size()) + U32(0);
  const uint32_t offset = 14 + 40 + table.size();
  return "BM" + U32(offset + pixels.size()) + U32(0) + U32(offset) + info + table + pixels;
}

std::string PpmP6(int w, int h, const std::vector<std::vector<uint32_t>>& rows) {
  std::string s = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (const auto& row : rows)
    for (uint32_t c : row) s += {char(c >> 24), char(c >> 16), char(c >> 8)};
  return s;
}

std::string PpmP3(int w, int h, const std::vector<std::vector<uint32_t>>& rows) {
  std::string s = "P3\n# a comment\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (const auto& row : rows)
    for (uint32_t c : row)
      s += std::to_string(c >> 24) + " " + std::to_string((c >> 16) & 0xFF) + " " +
           std::to_string((c >> 8) & 0xFF) + "\n";
  return s;
}

const std::vector<std::vector<uint32_t>> kQuadrants = {{kRed, kGreen}, {kBlue, kWhite}};

class TextureFileTest : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(TextureFileTest, LoadsRightSideUp) {
  const auto path = TempFolder() / GetParam().first;
  WriteFile(path, GetParam().second);
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMTexture> texture;
  ASSERT_TRUE(rm->LoadTexture(path.string(), &texture));
  ASSERT_EQ(texture->GetWidth(), 2);
  ASSERT_EQ(texture->GetHeight(), 2);
  EXPECT_EQ(texture->PixelAt(0, 0), kRed);
  EXPECT_EQ(texture->PixelAt(1, 0), kGreen);
  EXPECT_EQ(texture->PixelAt(0, 1), kBlue);
  EXPECT_EQ(texture->PixelAt(1, 1), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Formats, TextureFileTest,
                         ::testing::Values(std::pair{"q24.bmp", Bmp24(2, 2, kQuadrants)},
                                           std::pair{"q8.bmp", Bmp8(2, 2, kQuadrants)},
                                           std::pair{"q6.ppm", PpmP6(2, 2, kQuadrants)},
                                           std::pair{"q3.ppm", PpmP3(2, 2, kQuadrants)}),
                         [](const auto& info) {
                           std::string name = info.param.first;
                           return name.substr(0, name.find('.')) + "_" +
                                  name.substr(name.find('.') + 1);
                         });

TEST(TextureTest, OddSizesAndRowPaddingSurvive) {
  std::vector<std::vector<uint32_t>> rows(3, std::vector<uint32_t>(5, kBlue));
  rows[0][4] = kRed;
  rows[2][0] = kGreen;
  for (const auto& [name, bytes] :
       {std::pair{"odd24.bmp", Bmp24(5, 3, rows)}, std::pair{"odd8.bmp", Bmp8(5, 3, rows)}}) {
    Ref<RMTexture> t = RMTexture::FromFile((TempFolder() / name).string());
    EXPECT_FALSE(t) << "not written yet";
    WriteFile(TempFolder() / name, bytes);
    t = RMTexture::FromFile((TempFolder() / name).string());
    ASSERT_TRUE(t) << name;
    EXPECT_EQ(t->PixelAt(4, 0), kRed) << name;
    EXPECT_EQ(t->PixelAt(0, 2), kGreen) << name;
    EXPECT_EQ(t->PixelAt(2, 1), kBlue) << name;
  }
}

TEST(TextureTest, HugeImagesShrinkToWhatGLTakes) {
  const int w = 5000, h = 3;
  std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (int i = 0; i < w * h; ++i) ppm += {char(0), char(0), char(255)};
  WriteFile(TempFolder() / "wide.ppm", ppm);
  Ref<RMTexture> t = RMTexture::FromFile((TempFolder() / "wide.ppm").string());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->GetWidth(), 4096);
  EXPECT_EQ(t->GetHeight(), 3);
  EXPECT_EQ(t->PixelAt(2000, 1), kBlue);
}

TEST(TextureTest, SearchPathFindsBareNamesAndBrokenFilesFail) {
  WriteFile(TempFolder() / "lib" / "found.ppm", PpmP6(2, 2, kQuadrants));
  WriteFile(TempFolder() / "broken.bmp", "BM this is no bitmap");
  WriteFile(TempFolder() / "truncated.ppm", PpmP6(2, 2, kQuadrants).substr(0, 14));
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMTexture> t;
  EXPECT_FALSE(rm->LoadTexture("found.ppm", &t));
  // A folder written the Windows way still works.
  std::string folder = (TempFolder() / "lib").string();
  std::replace(folder.begin(), folder.end(), '/', '\\');
  rm->SetSearchPath("/nonexistent;" + folder);
  EXPECT_TRUE(rm->LoadTexture("found.ppm", &t));
  EXPECT_FALSE(rm->LoadTexture((TempFolder() / "broken.bmp").string(), &t));
  EXPECT_FALSE(rm->LoadTexture((TempFolder() / "truncated.ppm").string(), &t));
  EXPECT_FALSE(rm->LoadTexture("", &t));
  EXPECT_FALSE(rm->LoadTexture(TempFolder().string(), &t)) << "a folder is no image";
}

class TexturedRenderTest : public RenderFixture {
 protected:
  void DrawTextured(const std::string& file, D3DRMTEXTUREQUALITY quality) {
    WriteFile(TempFolder() / file,
              file.ends_with(".bmp") ? Bmp8(2, 2, image_) : PpmP3(2, 2, image_));
    Open(100, 100);
    AddAmbient(1.0f);
    Ref<RMTexture> texture;
    ASSERT_TRUE(rm_->LoadTexture((TempFolder() / file).string(), &texture));
    Ref<RMMeshBuilder> builder;
    rm_->CreateMeshBuilder(&builder);
    const float white[4] = {1, 1, 1, 1};
    builder->SetGeometry(MakeSquare(1, white));
    builder->SetTexture(texture);
    builder->SetQuality(D3DRMRENDER_FLAT);
    Ref<RMMesh> mesh;
    builder->CreateMesh(&mesh);
    rm_->CreateFrame(scene_, &frame_);
    frame_->SetPosition(scene_, 0, 0, 2);  // the square covers 0..100
    frame_->AddVisual(mesh);
    device_->SetTextureQuality(quality);
    RenderAndRead();
  }
  std::vector<std::vector<uint32_t>> image_ = kQuadrants;
  Ref<RMFrame> frame_;
};

TEST_F(TexturedRenderTest, TopOfTheImageIsDrawnAtTheTop) {
  DrawTextured("shown.bmp", D3DRMTEXTURE_NEAREST);
  EXPECT_EQ(Pixel(25, 25), kRed);
  EXPECT_EQ(Pixel(75, 25), kGreen);
  EXPECT_EQ(Pixel(25, 75), kBlue);
  EXPECT_EQ(Pixel(75, 75), kWhite);
}

TEST_F(TexturedRenderTest, FromFrameModeDrawsNoTexture) {
  DrawTextured("plain.ppm", D3DRMTEXTURE_NEAREST);
  frame_->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  frame_->SetColorRGB(0, 1, 1);
  RenderAndRead();
  EXPECT_EQ(Pixel(25, 25), 0x00FFFFFFu);
  EXPECT_EQ(Pixel(75, 75), 0x00FFFFFFu);
}

TEST_F(TexturedRenderTest, LinearFilteringBlendsNeighboursAndNearestDoesNot) {
  image_ = {{kRed, kBlue}, {kRed, kBlue}};
  DrawTextured("blend.ppm", D3DRMTEXTURE_LINEAR);
  const int red_linear = Channel(45, 50, 0);
  EXPECT_GT(red_linear, 100);
  EXPECT_LT(red_linear, 250);
  EXPECT_GT(Channel(45, 50, 2), 20);
  device_->SetTextureQuality(D3DRMTEXTURE_NEAREST);
  RenderAndRead();
  EXPECT_EQ(Pixel(45, 50), kRed);
}

}  // namespace
