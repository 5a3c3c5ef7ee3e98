#include "config/object_preview.h"

#include <gtest/gtest.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "config/object_preview_files.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/rm/x_file_loader.h"
#include "platform/win/offscreen_window.h"
#include "settings/resolved_options.h"
#include "support/isolated_env.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr double kPi = 3.14159265359;
constexpr int kSide = 110;

// The loader's child runs this before parsing; the child is a copy of the
// test, so the flag is read as it was when the load began. Its sandbox leaves
// it futex calls, so the pause is one.
bool slowChildren = false;
void SlowChild() {
  static int word = 0;
  const timespec pause{2, 0};
  if (slowChildren) syscall(SYS_futex, &word, FUTEX_WAIT, 0, &pause, nullptr, 0);
}

struct Colour {
  int r, g, b;
};

// A preview set up as the dialog sets it up, on an offscreen window the size
// of the preview control, showing the default object.
class ObjectPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedResolved_ = Resolved;
    Resolved = ResolvedOptionsRecord{};
    Resolved.ScreenColor = 3;
    Resolved.DDDriverName = "";
    Resolved.D3DDriverName = "Auto";
    working.Rendering = 2;
    working.XScale = 1.0f;
    Use(QUELLAR_SOURCE_DIR "/resources/quellar.x");
    UseTexture(kNoTextureName);
    window = CreateOffscreenWindow(kSide, kSide);
    preview = std::make_unique<ObjectPreview>(working, dialog);
    ASSERT_TRUE(preview->graphics.Open(window, Windowed) && preview->graphics.OpenDirect3D() &&
                preview->SetUpScene() && preview->Prepare());
    Settle(*preview);
  }
  void TearDown() override {
    preview.reset();
    DestroyOffscreenWindow(window);
    SetXFileChildHookForTesting(nullptr);
    slowChildren = false;
    Resolved = savedResolved_;
  }

  void Use(const std::string& file) {
    std::snprintf(working.XFileName, sizeof working.XFileName, "%s", file.c_str());
  }
  void UseTexture(const std::string& name) {
    std::snprintf(working.TextureName, sizeof working.TextureName, "%s", name.c_str());
    working.TextureFlag = name != kNoTextureName;
  }
  SurfaceImage Shown() {
    SurfaceImage image;
    EXPECT_TRUE(preview->graphics.primary->ReadBack(&image));
    return image;
  }
  Colour Centre(int below = 0) {
    const uint32_t p = Shown().Pixel(kSide / 2, kSide / 2 + below);
    return {int(p >> 16) & 255, int(p >> 8) & 255, int(p) & 255};
  }

  std::string dir = MakeTempDir();
  SettingsRecord working{};
  HWND dialog = 0;
  HWND window = 0;
  std::unique_ptr<ObjectPreview> preview;

 private:
  ResolvedOptionsRecord savedResolved_;
};

// Without a texture the object takes the colour of the cycle, lit by white
// lights, so the channels keep the cycle's proportions; its outline changes
// as it turns.
TEST_F(ObjectPreviewTest, TheObjectTurnsInTheCyclingColour) {
  int fewest = kSide * kSide, most = 0;
  for (int tick = 1; tick <= 30; ++tick) {
    preview->Tick();
    const double a = tick * 5 * kPi / 180;
    const double r = std::cos(a) + 1.5, g = std::cos(0.4 * a) + 1.5, b = std::cos(a * 2 / 7) + 1.5;
    const Colour c = Centre();
    ASSERT_GT(c.r + c.g + c.b, 60) << "tick " << tick;
    EXPECT_NEAR(double(c.r) / c.b, r / b, 0.1) << "tick " << tick;
    EXPECT_NEAR(double(c.g) / c.b, g / b, 0.1) << "tick " << tick;
    const int lit = LitPixels(Shown());
    fewest = std::min(fewest, lit);
    most = std::max(most, lit);
  }
  EXPECT_LT(fewest, most);
}

// A texture covers the object and holds the colour cycle; a texture that
// cannot be used is refused and the object keeps its look; the gradation
// resumes the cycle where it stopped; the .x file's own images come back
// after a texture file covered them; one that takes seconds to decode is read
// behind the dialog; a texture file is wrapped round the object as the saver
// wraps it. Names may have blanks, non-ASCII letters and no extension.
TEST_F(ObjectPreviewTest, TexturesChangeTheLookOrAreRefused) {
  const std::string blue = dir + "/青い 模様", green = dir + "/green.ppm", box = dir + "/box",
                    notImage = dir + "/text.bmp", halves = dir + "/halves.ppm",
                    huge = dir + "/huge.bmp";
  WritePpm(blue, 16, 0x0000FF, 0x0000FF);
  WriteHugeBmp(huge);
  WritePpm(green, 8, 0x00FF00, 0x00FF00);
  WriteBox(box, 1, 1, 1, "green.ppm");
  std::ofstream(notImage) << "not an image";
  WritePpm(halves, 16, 0xFF0000, 0x0000FF);
  for (int i = 0; i < 5; ++i) preview->Tick();
  const double angle = preview->colourCycleAngle;
  struct Step {
    std::string texture;
    bool accepted;
    Colour shown;  // 1 for the channel that must be strong
  } steps[] = {{blue, true, {0, 0, 1}},      {dir + "/missing.ppm", false, {0, 0, 1}},
               {notImage, false, {0, 0, 1}}, {kXFileTextureName, true, {0, 1, 0}},
               {blue, true, {0, 0, 1}},      {kXFileTextureName, true, {0, 1, 0}}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.texture);
    if (step.texture == kXFileTextureName && std::string(working.XFileName) != box) {
      Use(box);
      preview->Reload();
      Settle(*preview);
    }
    UseTexture(step.texture);
    EXPECT_EQ(preview->ChangeTexture(), step.accepted);
    preview->Tick();
    const Colour c = Centre();
    const int strong = step.shown.r * c.r + step.shown.g * c.g + step.shown.b * c.b;
    EXPECT_GT(strong, 100);
    EXPECT_LT(c.r + c.g + c.b - strong, 20);
  }
  // The object keeps its look while the huge one is read, then wears it.
  UseTexture(huge);
  const auto start = Clock::now();
  EXPECT_TRUE(preview->ChangeTexture());
  EXPECT_LT(Clock::now() - start, 1s);
  ASSERT_TRUE(preview->LoadPending());
  preview->Tick();
  EXPECT_GT(Centre().g, 100);
  Settle(*preview);
  preview->Tick();
  EXPECT_EQ(LitPixels(Shown()), 0) << "black on black";
  // Face on, however many ticks the loads took, the image's top half (red)
  // shows on the lower half of the box, its bottom (blue) on the upper half.
  UseTexture(halves);
  ASSERT_TRUE(preview->ChangeTexture());
  Settle(*preview);
  preview->objectFrame->SetOrientation(preview->sceneFrame, 0, 0, 1, 0, 1, 0);
  preview->Tick();
  const Colour upper = Centre(-12), lower = Centre(12);
  EXPECT_TRUE(upper.b > 100 && upper.r < 30) << upper.r << " " << upper.b;
  EXPECT_TRUE(lower.r > 100 && lower.b < 30) << lower.r << " " << lower.b;
  EXPECT_EQ(preview->colourCycleAngle, angle);
  UseTexture(kNoTextureName);
  ASSERT_TRUE(preview->ChangeTexture());
  preview->Tick();
  EXPECT_DOUBLE_EQ(preview->colourCycleAngle, angle + 5 * kPi / 180);
}

// A slow parse goes on behind the dialog while ticks keep drawing; a newer
// choice wins over a load still on its way; a crashed parse leaves it empty.
TEST_F(ObjectPreviewTest, ASlowOrCrashedParseDoesNotHoldUpTheDialog) {
  const std::string small = dir + "/small.x";
  WriteBox(small, 0.25, 0.25, 0.25);
  SetXFileChildHookForTesting(SlowChild);
  slowChildren = true;
  const auto start = Clock::now();
  EXPECT_TRUE(preview->Reload());
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_TRUE(preview->LoadPending());
  Clock::duration longestTick{};
  while (preview->LoadPending() && Clock::now() - start < 15s) {
    const auto tickStart = Clock::now();
    preview->Tick();
    longestTick = std::max(longestTick, Clock::now() - tickStart);
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_LT(longestTick, 1s);
  EXPECT_GT(LitPixels(Shown()), 50);

  preview->Reload();  // slow, then superseded by the small box
  slowChildren = false;
  Use(small);
  preview->LoadFitted();
  Settle(*preview);
  std::this_thread::sleep_for(2500ms);
  preview->Tick();
  D3DRMBOX box;
  ASSERT_TRUE(preview->mesh && preview->mesh->GetBox(&box));
  EXPECT_NEAR(ObjectPreview::BoxExtent(box), 2.5, 1e-4);

  SetXFileChildHookForTesting([] { abort(); });
  preview->Reload();
  Settle(*preview);
  preview->Tick();
  EXPECT_EQ(LitPixels(Shown()), 0);
}

}  // namespace
