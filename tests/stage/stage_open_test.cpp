#include <cstring>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/gdi/gdi.h"
#include "stage_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// What a failed step leaves: the two user messages and the English lines.
struct FailureCase {
  const char* name;
  uint32_t screenMode;
  const char* d3dDriverName;
  bool DirectDrawFaults::*fault;
  Lines traces;
};

const FailureCase kFailures[] = {
    {"NoDirectDraw", 0, "Auto", &DirectDrawFaults::failCreate, {"DDCreateError "}},
    {"NoDisplayMode",
     1,
     "Auto",
     &DirectDrawFaults::failSetDisplayMode,
     {"Error: failed to SetDisplayMode!\n", "DDCreateError "}},
    {"NoFlippingPrimary",
     1,
     "Auto",
     &DirectDrawFaults::failPrimarySurface,
     {"Error: failed to CreateSurface!\n", "DDCreateError "}},
    {"NoWindowedPrimary",
     0,
     "Auto",
     &DirectDrawFaults::failPrimarySurface,
     {"Error: failed to CreateSurface!\n", "DDCreateError "}},
    {"NoBackBuffer",
     0,
     "Auto",
     &DirectDrawFaults::failBackBufferSurface,
     {"Error: failed to CreateSurface BackBuffer!\n", "DDCreateError "}},
    {"UnknownDevice",
     0,
     "Voodoo",
     nullptr,
     {"I'll use HEL\n", "Error:Fail to Direct3D create \n", "CreateDirect3DRM Error!!!! "}},
    {"UnknownHalDeviceInFullScreen",
     1,
     "Voodoo HAL",
     nullptr,
     {"I'll use HEL\n", "Error:Fail to Direct3D create \n", "CreateDirect3DRM Error!!!! "}},
    {"NoDirect3D",
     0,
     "Auto",
     &DirectDrawFaults::failDirect3D,
     {"Error:Failed to QueryInterface Direct3D from DirectDraw\n",
      "Error:Fail to Direct3D create \n", "CreateDirect3DRM Error!!!! "}},
    {"NoZBuffer",
     1,
     "Mesa HAL",
     &DirectDrawFaults::failZBufferSurface,
     {"I'll use HAL\n", "Error:Failed to Create ZBuffer\n", "Error:Fail to Direct3D create \n",
      "CreateDirect3DRM Error!!!! "}},
    {"ZBufferNotAttached",
     0,
     "Auto",
     &DirectDrawFaults::failAttachZBuffer,
     {"I'll use HEL\n", "Error:Fail to Direct3D create \n", "CreateDirect3DRM Error!!!! "}},
    {"NoDevice",
     0,
     "Auto",
     &DirectDrawFaults::failDevice,
     {"I'll use HEL\n", "Can't Create Direct3DDevice from Direct3D\n",
      "CreateDirect3DRM Error!!!! "}},
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class StageFailure : public StageTest, public ::testing::WithParamInterface<FailureCase> {};

// The message must be the one line, white on black, exactly in the middle of
// the window: compare the window with the same line drawn into memory.
void ExpectCentredMessage(TestWindow& w, int width, int height, const char* text) {
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4, 0);
  HDC dc = CreateBitmapDC(pixels.data(), width, height, width * 4);
  ASSERT_NE(dc, nullptr);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent));
  ASSERT_TRUE(TextOutA(dc, (width - extent.cx) / 2, (height - extent.cy) / 2, text,
                       int(std::strlen(text))));
  DeleteDC(dc);
  std::vector<uint32_t> shown;
  // The window may still be receiving the black picture that opening put on it.
  for (int attempt = 0; attempt < 20; ++attempt) {
    shown = w.Pixels(width, height);
    if (!shown.empty() && shown[size_t(height / 2) * size_t(width) + size_t(width / 2)] != 0) break;
    usleep(50000);
  }
  ASSERT_EQ(shown.size(), size_t(width) * size_t(height));
  int white = 0, wrong = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const uint32_t expected =
        (uint32_t(pixels[i * 4]) << 16) | (uint32_t(pixels[i * 4 + 1]) << 8) | pixels[i * 4 + 2];
    white += expected == 0xFFFFFF;
    wrong += shown[i] != expected;
  }
  EXPECT_GT(white, 100);  // the glyphs are there at all
  EXPECT_EQ(wrong, 0);
}

TEST_P(StageFailure, ShowsItsMessageAndTraceLines) {
  const FailureCase& c = GetParam();
  Resolved.ScreenMode = c.screenMode;
  Resolved.D3DDriverName = c.d3dDriverName;
  if (c.fault) DirectDrawFaultsForTesting().*c.fault = true;
  const int width = 400, height = 300;
  UseWindow(width, height);
  {
    Stage stage;
    EXPECT_FALSE(stage.Create(window->Id()));
    EXPECT_EQ(traces, c.traces);
    const bool direct3d = c.traces.back() == "CreateDirect3DRM Error!!!! ";
    ExpectCentredMessage(
        *window, width, height,
        direct3d ? "Direct3D の初期化に失敗しました。" : "DirectDraw の初期化に失敗しました。");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, StageFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StageTest, MessageCanBeDrawnAgainWhenTheWindowRepaints) {
  UseWindow(320, 200);
  Stage stage;
  stage.window = window->Id();
  stage.ShowCenteredMessage(".X ファイルのロードに失敗しました。");
  stage.ShowCenteredMessage(".X ファイルのロードに失敗しました。");
  ExpectCentredMessage(*window, 320, 200, ".X ファイルのロードに失敗しました。");
}

// Which device the rules pick, and on which path.
struct DeviceCase {
  const char* name;
  OpenMode mode;
  const GUID* device;  // null: none
  bool hardware;
};

const DeviceCase kDeviceCases[] = {
    {"Auto", FullScreen, &IID_IDirect3DRampDevice, false},
    {"aUTO", Windowed, &IID_IDirect3DRampDevice, false},
    {"Mesa HAL", Windowed, &IID_IDirect3DRampDevice, false},
    {"Other HAL", Windowed, &IID_IDirect3DRampDevice, false},
    {"Mesa HAL", FullScreen, &IID_IDirect3DHALDevice, true},
    {"RGB Emulation", FullScreen, &IID_IDirect3DRGBDevice, false},
    {"RGB Emulation", Windowed, &IID_IDirect3DRGBDevice, false},
    {"rgb emulation", Windowed, nullptr, false},
    {"Other HAL", FullScreen, nullptr, false},
    {"", Windowed, nullptr, false},
};

void PrintTo(const DeviceCase& c, std::ostream* os) {
  *os << '"' << c.name << '"' << (c.mode == FullScreen ? " full screen" : " windowed");
}

class DeviceChoice : public StageTest, public ::testing::WithParamInterface<DeviceCase> {};

TEST_P(DeviceChoice, FollowsTheRules) {
  const DeviceCase& c = GetParam();
  Resolved.D3DDriverName = c.name;
  Resolved.ScreenMode = c.mode == FullScreen ? 1 : 0;
  UseWindow(200, 150);
  GraphicsContext graphics;
  ASSERT_TRUE(graphics.Open(window->Id(), c.mode));
  const GUID* chosen = graphics.ChooseDevice();
  if (!c.device) {
    EXPECT_EQ(chosen, nullptr);
    EXPECT_FALSE(graphics.zBuffer);
    return;
  }
  ASSERT_NE(chosen, nullptr);
  EXPECT_TRUE(IsEqualGUID(*chosen, *c.device));
  EXPECT_EQ(traces, Lines{c.hardware ? "I'll use HAL\n" : "I'll use HEL\n"});
  ASSERT_TRUE(graphics.zBuffer);
  DDSURFACEDESC z;
  ASSERT_TRUE(graphics.zBuffer->GetSurfaceDesc(&z));
  EXPECT_EQ(z.dwZBufferBitDepth, 16u);
  EXPECT_EQ(bool(z.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY), c.hardware);
  EXPECT_EQ(bool(z.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY), !c.hardware);
  EXPECT_EQ(int(z.dwWidth), graphics.width);
  graphics.ReleaseAll();
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceChoice, ::testing::ValuesIn(kDeviceCases),
                         [](const auto& info) {
                           std::string name = std::string(info.param.name) +
                                              (info.param.mode == FullScreen ? "_Full" : "_Window");
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return "n" + name + std::to_string(info.index);
                         });

TEST_F(StageTest, WindowedStageUsesTheClientAreaAndDesktopDepth) {
  Resolved.ScreenColor = 0;  // ignored in a window
  UseWindow(320, 240);
  window->MoveTo(30, 40);
  Stage stage;
  ASSERT_TRUE(stage.Create(window->Id()));
  EXPECT_TRUE(stage.graphics.windowed);
  EXPECT_EQ(stage.graphics.openMode, Windowed);
  EXPECT_EQ(stage.graphics.width, 320);
  EXPECT_EQ(stage.graphics.height, 240);
  EXPECT_EQ(stage.graphics.windowRect, (RECT{30, 40, 350, 280}));
  EXPECT_EQ(stage.graphics.colorDepth, 32);
  EXPECT_FALSE(stage.graphics.palette);
  EXPECT_TRUE(stage.graphics.clipper);
  EXPECT_FALSE(stage.graphics.directDraw->InDisplayMode());
  EXPECT_EQ(PublishedRMObject(), stage.graphics.rm.Get());
  EXPECT_EQ(stage.graphics.rmDevice->GetQuality(), D3DRMRENDER_FLAT);
}

TEST_F(StageTest, EightBitFullScreenGetsThePaletteAndTheChosenQuality) {
  Resolved.ScreenMode = 3;
  Resolved.ScreenColor = 0;
  Resolved.Rendering = 0;
  UseScreen();
  Stage stage;
  ASSERT_TRUE(stage.Create(window->Id()));
  EXPECT_EQ(stage.graphics.width, 1024);
  EXPECT_EQ(stage.graphics.height, 768);
  EXPECT_EQ(stage.graphics.colorDepth, 8);
  ASSERT_TRUE(stage.graphics.palette);
  const auto& entries = stage.graphics.palette->Entries();
  EXPECT_EQ(entries[0].peFlags, D3DPAL_READONLY);
  EXPECT_EQ(entries[9].peFlags, D3DPAL_READONLY);
  EXPECT_EQ(entries[10].peFlags, PC_RESERVED);
  EXPECT_EQ(entries[245].peFlags, PC_RESERVED);
  EXPECT_EQ(entries[246].peFlags, D3DPAL_READONLY);
  EXPECT_EQ(stage.graphics.rmDevice->GetQuality(), D3DRMRENDER_WIREFRAME);
  EXPECT_EQ(stage.graphics.rmDevice->GetShades(), 8u);
  EXPECT_EQ(stage.graphics.rmDevice->GetTextureQuality(), D3DRMTEXTURE_NEAREST);
}

TEST_F(StageTest, DeeperFullScreenIsAlwaysFlatWithLinearTextures) {
  Resolved.ScreenMode = 2;
  Resolved.ScreenColor = 1;
  Resolved.Rendering = 2;
  UseScreen();
  Stage stage;
  ASSERT_TRUE(stage.Create(window->Id()));
  EXPECT_FALSE(stage.graphics.windowed);
  EXPECT_EQ(stage.graphics.width, 800);
  EXPECT_EQ(stage.graphics.colorDepth, 16);
  EXPECT_FALSE(stage.graphics.palette);
  EXPECT_EQ(stage.graphics.rmDevice->GetQuality(), D3DRMRENDER_FLAT);
  EXPECT_EQ(stage.graphics.rmDevice->GetShades(), 32u);
  EXPECT_EQ(stage.graphics.rmDevice->GetTextureQuality(), D3DRMTEXTURE_LINEAR);
  EXPECT_EQ(stage.graphics.rm->GetDefaultTextureColors(), 64u);
  EXPECT_EQ(stage.graphics.rm->GetDefaultTextureShades(), 32u);
}

TEST_F(StageTest, NamedDriverWithoutThatNameFallsBackToTheDefault) {
  Resolved.ScreenMode = 1;
  Resolved.DDDriverName = "no such driver";
  UseScreen();
  Stage stage;
  EXPECT_TRUE(stage.Create(window->Id()));
  EXPECT_EQ(stage.graphics.directDraw->Screen(), 0);
}

TEST_F(StageTest, DestroyingAFullScreenStageGivesTheModeBack) {
  Resolved.ScreenMode = 1;
  UseScreen();
  Ref<DirectDraw> kept;
  {
    Stage stage;
    ASSERT_TRUE(stage.Create(window->Id()));
    kept = stage.graphics.directDraw;
    EXPECT_TRUE(kept->InDisplayMode());
  }
  EXPECT_FALSE(kept->InDisplayMode());
  EXPECT_EQ(PublishedRMObject(), nullptr);
}

TEST_F(StageTest, SecondOpenGivesTheEarlierModeBack) {
  Resolved.ScreenMode = 1;
  UseScreen();
  GraphicsContext graphics;
  ASSERT_TRUE(graphics.Open(window->Id(), FullScreen));
  Ref<DirectDraw> first = graphics.directDraw;
  ASSERT_TRUE(graphics.Open(window->Id(), Windowed));
  EXPECT_FALSE(first->InDisplayMode());
  EXPECT_FALSE(graphics.directDraw->InDisplayMode());
}

}  // namespace
