#include "config/object_preview.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/surface_image.h"
#include "platform/rm/x_file_loader.h"
#include "platform/win/offscreen_window.h"
#include "settings/resolved_options.h"
#include "support/isolated_env.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct V {
  double x, y, z;
};
V Cross(V a, V b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A text .x box centred on the origin with the given half sizes, its faces
// wound so that they face outwards.
void WriteBox(const std::string& path, double hx, double hy, double hz,
              const std::string& image = {}) {
  const V axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  std::vector<V> vertices;
  for (int axis = 0; axis < 3; ++axis)
    for (int sign : {-1, 1}) {
      const V n{axes[axis].x * sign, axes[axis].y * sign, axes[axis].z * sign};
      V u = axes[(axis + 1) % 3], v = axes[(axis + 2) % 3];
      const V c = Cross(v, u);
      if (c.x * n.x + c.y * n.y + c.z * n.z < 0) std::swap(u, v);
      for (auto [a, b] : {std::pair{-1, -1}, {-1, 1}, {1, 1}, {1, -1}})
        vertices.push_back({(n.x + u.x * a + v.x * b) * hx, (n.y + u.y * a + v.y * b) * hy,
                            (n.z + u.z * a + v.z * b) * hz});
    }
  std::ofstream out(path);
  out << "xof 0302txt 0032\nMesh box {\n" << vertices.size() << ";\n";
  for (size_t i = 0; i < vertices.size(); ++i)
    out << vertices[i].x << ";" << vertices[i].y << ";" << vertices[i].z << ";"
        << (i + 1 < vertices.size() ? "," : ";") << "\n";
  out << "12;\n";
  for (int f = 0; f < 6; ++f) {
    const int q = f * 4;
    out << "3;" << q << "," << q + 1 << "," << q + 2 << ";,\n";
    out << "3;" << q << "," << q + 2 << "," << q + 3 << ";" << (f < 5 ? "," : ";") << "\n";
  }
  if (!image.empty()) {
    out << "MeshMaterialList {\n1;\n12;\n";
    for (int f = 0; f < 12; ++f) out << "0" << (f < 11 ? "," : ";") << "\n";
    out << "Material {\n1.0;1.0;1.0;1.0;;\n0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n"
        << "TextureFilename { \"" << image << "\"; }\n}\n}\n";
  }
  out << "}\n";
}

void WritePpm(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << size << " " << size << "\n255\n";
  for (int i = 0; i < size * size; ++i) out << r << g << b;
}

// A real 16384 x 16384 24-bit bitmap, kept sparse on disk.
void WriteHugeBmp(const std::string& path) {
  const uint32_t side = 16384, row = side * 3, data = row * side, offset = 54;
  uint8_t header[54] = {'B', 'M'};
  auto put = [&](int at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) header[at + i] = uint8_t(value >> (8 * i));
  };
  put(2, offset + data, 4);
  put(10, offset, 4);
  put(14, 40, 4);
  put(18, side, 4);
  put(22, side, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, data, 4);
  const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, header, sizeof header), ssize_t(sizeof header));
  ASSERT_EQ(ftruncate(fd, off_t(offset) + off_t(data)), 0);
  close(fd);
}

// The loader's child runs this before parsing; the child is a copy of the
// test, so the flag is read as it was when the load began.
bool slowChildren = false;
void SlowChild() {
  if (slowChildren) std::this_thread::sleep_for(2s);
}

struct Colour {
  int r, g, b;
};
Colour Split(uint32_t pixel) {
  return {int(pixel >> 16) & 255, int(pixel >> 8) & 255, int(pixel) & 255};
}

constexpr int kWidth = 110, kHeight = 120;
const std::string kDefaultObject = QUELLAR_SOURCE_DIR "/resources/quellar.x";

// A preview set up as the dialog sets it up, on an offscreen window the size
// of the preview control.
class ObjectPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedResolved_ = Resolved;
    savedSettings_ = Settings;
    dir = MakeTempDir();
    Resolved = ResolvedOptionsRecord{};
    Resolved.ScreenColor = 3;
    Resolved.Rendering = 2;
    Resolved.DDDriverName = "";
    Resolved.D3DDriverName = "Auto";
    working = SettingsRecord{};
    working.Rendering = 2;
    working.XScale = 1.0f;
    Use(kDefaultObject);
    UseTexture(kNoTextureName);
    Settings = working;
    window = CreateOffscreenWindow(kWidth, kHeight);
  }
  void TearDown() override {
    preview.reset();
    DestroyOffscreenWindow(window);
    SetXFileChildHookForTesting(nullptr);
    SetXFileTimeoutForTesting(10000);
    slowChildren = false;
    Resolved = savedResolved_;
    Settings = savedSettings_;
  }

  void Use(const std::string& file) {
    std::snprintf(working.XFileName, sizeof working.XFileName, "%s", file.c_str());
  }
  void UseTexture(const std::string& name) {
    std::snprintf(working.TextureName, sizeof working.TextureName, "%s", name.c_str());
    working.TextureFlag = name != kNoTextureName;
  }
  bool Open() {
    preview = std::make_unique<ObjectPreview>(working, dialog);
    const bool ok = preview->graphics.Open(window, Windowed) && preview->graphics.OpenDirect3D() &&
                    preview->SetUpScene() && preview->Prepare();
    Settle();
    return ok;
  }
  // On a busy machine a load may outlast the wait; the dialog's ticks finish it.
  void Settle() {
    const auto start = Clock::now();
    while (preview->LoadPending() && Clock::now() - start < 15s) {
      std::this_thread::sleep_for(20ms);
      preview->Tick();
    }
    ASSERT_FALSE(preview->LoadPending());
  }
  SurfaceImage Shown() {
    SurfaceImage image;
    EXPECT_TRUE(preview->graphics.primary->ReadBack(&image));
    return image;
  }
  int LitPixels(const SurfaceImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) lit += image.Pixel(x, y) != 0;
    return lit;
  }
  Colour Centre() { return Split(Shown().Pixel(kWidth / 2, kHeight / 2)); }
  float ObjectZ() {
    D3DVECTOR position;
    preview->objectFrame->GetPosition(preview->sceneFrame, &position);
    return position.z;
  }
  double MeshExtent() {
    D3DRMBOX box;
    if (!preview->mesh || !preview->mesh->GetBox(&box)) return -1;
    return ObjectPreview::BoxExtent(box);
  }

  std::string dir;
  SettingsRecord working;
  HWND dialog = 0;
  HWND window = 0;
  std::unique_ptr<ObjectPreview> preview;

 private:
  ResolvedOptionsRecord savedResolved_;
  SettingsRecord savedSettings_;
};

TEST(BoxExtent, IsTheLargestHalfSizeAcrossXAndY) {
  EXPECT_EQ(ObjectPreview::BoxExtent({{-3, 1, -90}, {2, 4, 90}}), 4.0);
  EXPECT_EQ(ObjectPreview::BoxExtent({{-7, -1, 0}, {2, 4, 0}}), 7.0);
  EXPECT_EQ(ObjectPreview::BoxExtent({{0, 0, 0}, {0, 0, 0}}), 0.0);
}

// Where the object stands and how large it is drawn, after the redisplay and
// after a file is chosen. Names with blanks, non-ASCII letters and no
// extension load like any other.
TEST_F(ObjectPreviewTest, PlacesAndScalesTheObject) {
  struct Case {
    const char* what;
    double half;
    bool fitted;
    float z;
    double extent;
  } cases[] = {
      {"2 units, XScale 1.0: distance factor 2", 1.0, false, 24.0f, 10.0},
      {"reaching ±20, fitted to 0.025", 20.0, true, 12.0f, 5.0},
      {"under 1 unit, fitted at 1.0", 0.25, true, 12.0f, 2.5},
  };
  ASSERT_TRUE(Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = dir + "/物体 " + std::to_string(c.half);
    WriteBox(file, c.half, c.half, c.half);
    Use(file);
    ASSERT_TRUE(c.fitted ? preview->LoadFitted() : preview->Reload());
    Settle();
    EXPECT_FLOAT_EQ(ObjectZ(), c.z);
    EXPECT_NEAR(MeshExtent(), c.extent, 1e-4);
    ASSERT_EQ(preview->objectFrame->Visuals().size(), 1u);
  }
}

// Each file that does not load leaves the preview empty and black: the last
// object is gone and no text is drawn.
TEST_F(ObjectPreviewTest, AFileThatDoesNotLoadEmptiesThePreview) {
  const std::string garbage = dir + "/garbage.x", noMesh = dir + "/empty.x";
  std::ofstream(garbage) << "xof 0302txt 0032\nMesh { 3; 1;2;";
  std::ofstream(noMesh) << "xof 0302txt 0032\n";
  const std::string files[] = {dir + "/missing.x", garbage, noMesh, dir};
  ASSERT_TRUE(Open());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Use(kDefaultObject);
    ASSERT_TRUE(preview->Reload());
    Settle();
    preview->Tick();
    ASSERT_GT(LitPixels(Shown()), 50);
    Use(file);
    preview->LoadFitted();
    Settle();
    preview->Tick();
    EXPECT_TRUE(preview->objectFrame->Visuals().empty());
    EXPECT_EQ(LitPixels(Shown()), 0);
  }
}

// Without a texture the object takes the colour of the cycle, lit by white
// lights, so the channels keep the cycle's proportions.
TEST_F(ObjectPreviewTest, TheObjectTurnsInTheCyclingColour) {
  ASSERT_TRUE(Open());
  std::vector<int> lit;
  for (int tick = 1; tick <= 30; ++tick) {
    preview->Tick();
    const double a = tick * 5 * 3.14159265359 / 180;
    const double r = std::cos(a) + 1.5, g = std::cos(0.4 * a) + 1.5,
                 b = std::cos(a * 2 / 7) + 1.5;
    const Colour c = Centre();
    ASSERT_GT(c.r + c.g + c.b, 60) << "tick " << tick;
    EXPECT_NEAR(double(c.r) / c.b, r / b, 0.1) << "tick " << tick;
    EXPECT_NEAR(double(c.g) / c.b, g / b, 0.1) << "tick " << tick;
    lit.push_back(LitPixels(Shown()));
  }
  // The default object's outline changes as it turns.
  EXPECT_NE(*std::min_element(lit.begin(), lit.end()), *std::max_element(lit.begin(), lit.end()));
}

// A texture covers the object and stops the colour cycle; a texture that
// cannot be used is refused and the object keeps its look; going back to
// the gradation resumes the cycle where it stopped.
TEST_F(ObjectPreviewTest, TexturesChangeTheLookOrAreRefused) {
  const std::string blue = dir + "/青い 模様", red = dir + "/red.ppm", notImage = dir + "/text.bmp",
                    huge = dir + "/huge.bmp";
  WritePpm(blue, 16, 0, 0, 255);
  WritePpm(red, 16, 255, 0, 0);
  std::ofstream(notImage) << "not an image";
  WriteHugeBmp(huge);
  ASSERT_TRUE(Open());
  for (int i = 0; i < 5; ++i) preview->Tick();
  const double angle = preview->colourCycleAngle;

  UseTexture(blue);
  ASSERT_TRUE(preview->ChangeTexture());
  preview->Tick();
  Colour c = Centre();
  EXPECT_GT(c.b, 100);
  EXPECT_LT(c.r + c.g, 20);

  for (const std::string& bad : {dir + "/missing.ppm", notImage, huge}) {
    SCOPED_TRACE(bad);
    UseTexture(bad);
    const auto start = Clock::now();
    EXPECT_FALSE(preview->ChangeTexture());
    EXPECT_LT(Clock::now() - start, 2s);
    preview->Tick();
    c = Centre();
    EXPECT_GT(c.b, 100);
    EXPECT_LT(c.r + c.g, 20);
  }
  EXPECT_EQ(preview->colourCycleAngle, angle);

  UseTexture(red);
  ASSERT_TRUE(preview->ChangeTexture());
  preview->Tick();
  c = Centre();
  EXPECT_GT(c.r, 100);
  EXPECT_LT(c.g + c.b, 20);

  UseTexture(kNoTextureName);
  ASSERT_TRUE(preview->ChangeTexture());
  preview->Tick();
  EXPECT_DOUBLE_EQ(preview->colourCycleAngle, angle + 5 * 3.14159265359 / 180);
}

// The choice of the .x file's own images shows them, also after a texture
// file covered them for a while.
TEST_F(ObjectPreviewTest, TheFilesOwnImagesComeBack) {
  const std::string green = dir + "/green.ppm", blue = dir + "/blue.ppm", box = dir + "/box.x";
  WritePpm(green, 8, 0, 255, 0);
  WritePpm(blue, 8, 0, 0, 255);
  WriteBox(box, 1, 1, 1, "green.ppm");
  Use(box);
  UseTexture(kXFileTextureName);
  ASSERT_TRUE(Open());
  const std::string names[] = {kXFileTextureName, blue, kXFileTextureName};
  const int expectedGreen[] = {1, 0, 1};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    UseTexture(names[i]);
    ASSERT_TRUE(preview->ChangeTexture());
    preview->Tick();
    const Colour c = Centre();
    EXPECT_GT(expectedGreen[i] ? c.g : c.b, 100);
    EXPECT_LT(expectedGreen[i] ? c.b + c.r : c.g + c.r, 20);
  }
}

// A parse that takes long goes on behind the dialog: the calls come back
// within the wait, ticks keep drawing, and a later tick shows the object. A
// newer choice wins over a load still on its way.
TEST_F(ObjectPreviewTest, ASlowLoadDoesNotHoldUpTheDialog) {
  ASSERT_TRUE(Open());
  SetXFileChildHookForTesting(SlowChild);
  const std::string small = dir + "/small.x";
  WriteBox(small, 0.25, 0.25, 0.25);

  slowChildren = true;
  Use(kDefaultObject);
  auto start = Clock::now();
  EXPECT_TRUE(preview->Reload());
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_TRUE(preview->LoadPending());
  Clock::duration longestTick{};
  while (preview->LoadPending() && Clock::now() - start < 8s) {
    const auto tickStart = Clock::now();
    preview->Tick();
    longestTick = std::max(longestTick, Clock::now() - tickStart);
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_FALSE(preview->LoadPending());
  EXPECT_LT(longestTick, 1s);
  EXPECT_GT(LitPixels(Shown()), 50);

  // The slow default object is superseded by the small box chosen after it.
  Use(kDefaultObject);
  preview->Reload();
  slowChildren = false;
  Use(small);
  ASSERT_TRUE(preview->LoadFitted());
  Settle();
  std::this_thread::sleep_for(2500ms);
  preview->Tick();
  EXPECT_NEAR(MeshExtent(), 2.5, 1e-4);
}

// A parser that hangs past the loader's limit or crashes empties the preview.
TEST_F(ObjectPreviewTest, AHungOrCrashedParserEmptiesThePreview) {
  ASSERT_TRUE(Open());
  SetXFileTimeoutForTesting(300);
  SetXFileChildHookForTesting(SlowChild);
  slowChildren = true;
  EXPECT_TRUE(preview->Reload());
  Settle();
  EXPECT_TRUE(preview->objectFrame->Visuals().empty());

  SetXFileChildHookForTesting([] { abort(); });
  preview->Reload();
  Settle();
  preview->Tick();
  EXPECT_EQ(LitPixels(Shown()), 0);
}

}  // namespace
