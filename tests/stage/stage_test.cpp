#include "stage/stage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/redirected_window.h"
#include "platform/gdi/gdi.h"
#include "platform/rm/direct3drm.h"
#include "platform/sys/event.h"
#include "settings/resolved_options.h"
#include "stage/first_frame_sink.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// Puts the default cell object, red, in front of the camera.
Ref<RMFrame> AddRedObject(Stage& stage) {
  Direct3DRM* rm = stage.graphics.rm.Get();
  Ref<RMMeshBuilder> builder;
  Ref<RMFrame> frame;
  if (!rm->CreateMeshBuilder(&builder) ||
      !builder->Load(std::string(QUELLAR_SOURCE_DIR) + "/resources/quellar.x"))
    return frame;
  D3DRMBOX box;
  builder->GetBox(&box);
  rm->CreateFrame(stage.sceneFrame, &frame);
  frame->SetPosition(stage.sceneFrame, 0, 0, 2.5f * std::max(box.max.x - box.min.x, 0.1f));
  frame->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  frame->SetColorRGB(1, 0, 0);
  frame->AddVisual(builder);
  return frame;
}

SurfaceImage Presented(Stage& stage) {
  SurfaceImage image;
  EXPECT_TRUE(stage.graphics.primary && stage.graphics.primary->ReadBack(&image));
  return image;
}

// Stands in for the saver window, whose flag is set once its procedure has handled the message.
struct FirstFrameRecorder : FirstFrameSink {
  bool FirstFrameSeen() const override { return seen; }
  void PostFirstFrame(HWND window) override { posts.push_back(window); }
  bool seen = false;
  std::vector<HWND> posts;
};

// Every test records the diagnostic lines that Trace would otherwise throw away.
class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Resolved = ResolvedOptionsRecord{};  // the defaults of a fresh install
    Resolved.ScreenColor = 2;
    Resolved.Rendering = 1;
    Resolved.D3DDriverName = "Auto";
    SetTraceHookForTesting([this](const char* text) { traces.push_back(text); });
    SetRenderStopEvent(stop);
    window = std::make_unique<RedirectedWindow>(200, 150, 10, 20);
    ASSERT_NE(window->Id(), 0u) << "no connection to the X server";
  }
  void TearDown() override {
    SetTraceHookForTesting(nullptr);
    DirectDrawFaultsForTesting() = {};
    SetFirstFrameSink(nullptr);
    SetRenderStopEvent(nullptr);
    CloseHandle(stop);
  }

  void Open(uint32_t screenMode) {
    Resolved.ScreenMode = screenMode;
    ASSERT_TRUE(stage.Create(window->Id()));
    ASSERT_TRUE(stage.SetUpScene());
  }
  // The frame runs on another thread, as on the Render thread.
  std::future<bool> FrameWithFocusOn(RedirectedWindow& front) {
    front.Focus();
    return std::async(std::launch::async, [this] { return stage.RenderFrame(); });
  }
  // A frame that does not come through is stopped: a failed test never leaves it waiting.
  bool CameThrough(std::future<bool>& frame) {
    if (frame.wait_for(5s) != std::future_status::ready) SetEvent(stop);
    return frame.get();
  }

  std::unique_ptr<RedirectedWindow> window;
  std::vector<std::string> traces;
  HANDLE stop = CreateEventA(true, false);
  Stage stage;
};

using F = DirectDrawFaults;

const std::string kDD = "DDCreateError ", kNoMode = "Error: failed to SetDisplayMode!\n",
                  kNoSurface = "Error: failed to CreateSurface!\n",
                  kNoBack = "Error: failed to CreateSurface BackBuffer!\n",
                  kNoQuery = "Error:Failed to QueryInterface Direct3D from DirectDraw\n",
                  kNoZ = "Error:Failed to Create ZBuffer\n",
                  kNoDevice = "Can't Create Direct3DDevice from Direct3D\n",
                  kHal = "I'll use HAL\n", kHel = "I'll use HEL\n",
                  kNoD3D = "Error:Fail to Direct3D create \n", kRM = "CreateDirect3DRM Error!!!! ";

// What a failed step leaves: its user message and the English lines.
struct FailureCase {
  const char* name;
  uint32_t screenMode;
  const char* d3dDriverName;
  bool DirectDrawFaults::*fault;
  Lines traces;
};

const FailureCase kFailures[] = {
    {"NoDirectDraw", 0, "Auto", &F::failCreate, {kDD}},
    {"NoDisplayMode", 1, "Auto", &F::failSetDisplayMode, {kNoMode, kDD}},
    {"NoFlippingPrimary", 1, "Auto", &F::failPrimarySurface, {kNoSurface, kDD}},
    {"NoWindowedPrimary", 0, "Auto", &F::failPrimarySurface, {kNoSurface, kDD}},
    {"NoBackBuffer", 0, "Auto", &F::failBackBufferSurface, {kNoBack, kDD}},
    {"UnknownDeviceOrWrongCase", 0, "rgb emulation", nullptr, {kHel, kNoD3D, kRM}},
    {"UnknownHalDeviceInFullScreen", 1, "Voodoo HAL", nullptr, {kHel, kNoD3D, kRM}},
    {"NoDirect3D", 0, "Auto", &F::failDirect3D, {kNoQuery, kNoD3D, kRM}},
    {"NoZBuffer", 1, "Mesa HAL", &F::failZBufferSurface, {kHal, kNoZ, kNoD3D, kRM}},
    {"ZBufferNotAttached", 0, "Auto", &F::failAttachZBuffer, {kHel, kNoD3D, kRM}},
    {"NoDevice", 0, "Auto", &F::failDevice, {kHel, kNoDevice, kRM}},
};

// One line, white on black, exactly in the middle: the window must match that line drawn in memory.
void ExpectCentredMessage(RedirectedWindow& w, int width, int height, const char* text) {
  // The glyphs are white or black, so the memory's byte order does not matter.
  std::vector<uint32_t> drawn(size_t(width) * size_t(height), 0);
  HDC dc = CreateBitmapDC(drawn.data(), width, height, width * 4);
  ASSERT_NE(dc, nullptr);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  const int length = int(std::strlen(text));
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(dc, text, length, &extent));
  ASSERT_TRUE(TextOutA(dc, (width - extent.cx) / 2, (height - extent.cy) / 2, text, length));
  DeleteDC(dc);
  // The window may still be receiving the black picture that opening put on it.
  std::vector<uint32_t> shown;
  for (int attempt = 0; attempt < 20; ++attempt, usleep(50000)) {
    shown = w.Pixels();
    if (!shown.empty() && shown[size_t(height / 2 * width + width / 2)]) break;
  }
  ASSERT_EQ(shown.size(), drawn.size());
  int white = 0, wrong = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    white += (drawn[i] & 0xFFFFFF) == 0xFFFFFF;
    wrong += shown[i] != (drawn[i] & 0xFFFFFF);
  }
  EXPECT_GT(white, 100);  // the glyphs are there at all
  EXPECT_EQ(wrong, 0);
}

TEST_F(StageTest, EveryFailedStepShowsItsMessageAndTraceLines) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    Resolved.ScreenMode = c.screenMode;
    Resolved.D3DDriverName = c.d3dDriverName;
    DirectDrawFaultsForTesting() = {};
    if (c.fault) DirectDrawFaultsForTesting().*c.fault = true;
    traces.clear();
    window = std::make_unique<RedirectedWindow>(400, 300, 10, 20);
    Stage failed;
    EXPECT_FALSE(failed.Create(window->Id()));
    EXPECT_EQ(traces, c.traces);
    ExpectCentredMessage(*window, 400, 300,
                         c.traces.back() == kRM ? "Direct3D の初期化に失敗しました。"
                                                : "DirectDraw の初期化に失敗しました。");
  }
}

// Which device the rules pick, and on which path.
struct DeviceCase {
  const char* name;
  OpenMode mode;
  const GUID* device;
  bool hardware;
};

const DeviceCase kDeviceCases[] = {
    {"Auto", FullScreen, &IID_IDirect3DRampDevice, false},
    {"aUTO", Windowed, &IID_IDirect3DRampDevice, false},
    {"Mesa HAL", Windowed, &IID_IDirect3DRampDevice, false},
    {"Mesa HAL", FullScreen, &IID_IDirect3DHALDevice, true},
    {"RGB Emulation", FullScreen, &IID_IDirect3DRGBDevice, false},
};

TEST_F(StageTest, DeviceChoiceFollowsTheRules) {
  for (const DeviceCase& c : kDeviceCases) {
    SCOPED_TRACE('"' + std::string(c.name) + (c.mode == FullScreen ? "\" full screen" : "\""));
    Resolved.D3DDriverName = c.name;
    Resolved.ScreenMode = c.mode == FullScreen ? 1 : 0;
    traces.clear();
    GraphicsContext graphics;
    ASSERT_TRUE(graphics.Open(window->Id(), c.mode));
    const GUID* chosen = graphics.ChooseDevice();
    ASSERT_TRUE(chosen && graphics.zBuffer);
    EXPECT_TRUE(IsEqualGUID(*chosen, *c.device));
    EXPECT_EQ(traces, Lines{c.hardware ? kHal : kHel});
    DDSURFACEDESC z;
    ASSERT_TRUE(graphics.zBuffer->GetSurfaceDesc(&z));
    EXPECT_EQ(z.dwZBufferBitDepth, 16u);
    EXPECT_EQ(z.ddsCaps.dwCaps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY),
              c.hardware ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(int(z.dwWidth), graphics.width);
    graphics.ReleaseAll();
  }
}

// A window keeps the desktop's size and depth and ignores the colour and quality choices; a
// driver name that no driver has falls back to the default driver.
struct ModeCase {
  uint32_t screenMode, screenColor, rendering;
  const char* ddDriverName;
  int width, height, depth;
  D3DRMRENDERQUALITY quality;
  unsigned shades;
  D3DRMTEXTUREQUALITY texture;
};

const ModeCase kModes[] = {
    {0, 0, 0, "", 200, 150, 32, D3DRMRENDER_FLAT, 32, D3DRMTEXTURE_LINEAR},
    {3, 0, 0, "", 1024, 768, 8, D3DRMRENDER_WIREFRAME, 8, D3DRMTEXTURE_NEAREST},
    {2, 1, 2, "no such driver", 800, 600, 16, D3DRMRENDER_FLAT, 32, D3DRMTEXTURE_LINEAR},
    {1, 3, 2, "", 640, 480, 32, D3DRMRENDER_FLAT, 32, D3DRMTEXTURE_LINEAR},
};

TEST_F(StageTest, OptionsChooseTheModeAndTheRendering) {
  for (const ModeCase& c : kModes) {
    SCOPED_TRACE("ScreenMode " + std::to_string(c.screenMode));
    Resolved.ScreenMode = c.screenMode;
    Resolved.ScreenColor = c.screenColor;
    Resolved.Rendering = c.rendering;
    Resolved.DDDriverName = c.ddDriverName;
    auto opened = std::make_unique<Stage>();
    ASSERT_TRUE(opened->Create(window->Id()));
    const GraphicsContext& g = opened->graphics;
    Ref<DirectDraw> kept = g.directDraw;
    EXPECT_EQ(kept->InDisplayMode(), c.screenMode != 0);
    EXPECT_EQ(g.width, c.width);
    EXPECT_EQ(g.height, c.height);
    EXPECT_EQ(g.colorDepth, c.depth);
    EXPECT_EQ(bool(g.palette), c.depth == 8);
    if (g.palette) {  // the twenty static colours stay the system's
      const auto& e = g.palette->Entries();
      for (int i : {0, 9, 246, 255}) EXPECT_EQ(e[i].peFlags, D3DPAL_READONLY) << i;
      for (int i : {10, 245}) EXPECT_EQ(e[i].peFlags, PC_RESERVED) << i;
    }
    EXPECT_EQ(g.rmDevice->GetQuality(), c.quality);
    EXPECT_EQ(g.rmDevice->GetShades(), c.shades);
    EXPECT_EQ(g.rmDevice->GetTextureQuality(), c.texture);
    EXPECT_EQ(PublishedRMObject(), g.rm.Get());
    opened.reset();  // teardown gives the display mode back
    EXPECT_FALSE(kept->InDisplayMode());
    EXPECT_EQ(PublishedRMObject(), nullptr);
  }
}

TEST_F(StageTest, WindowedFramesShowTheSceneAndTellTheWindowOfTheFirst) {
  FirstFrameRecorder sink;
  SetFirstFrameSink(&sink);
  ASSERT_TRUE(stage.Create(window->Id()));
  EXPECT_TRUE(stage.RenderFrame());  // not set up yet: nothing drawn, nothing posted
  EXPECT_FALSE(stage.graphics.Present());
  EXPECT_TRUE(sink.posts.empty());
  ASSERT_TRUE(stage.SetUpScene());
  ASSERT_TRUE(AddRedObject(stage));  // the scene holds it
  // The picture must keep filling the client area, not a shifted part of it.
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved ? "after a move" : "where opened");
    if (moved) window->MoveTo(300, 200);
    EXPECT_TRUE(stage.OnWindowMoved(window->Id()));
    EXPECT_EQ(stage.graphics.windowRect,
              (moved ? RECT{300, 200, 500, 350} : RECT{10, 20, 210, 170}));
    ASSERT_TRUE(stage.RenderFrame());
    SurfaceImage drawn;
    ASSERT_TRUE(stage.graphics.backBuffer->ReadBack(&drawn));
    EXPECT_NE(drawn.Pixel(100, 75) & 0xFF0000, 0u);  // red object in the middle
    // Lit by the ambient 0.3 and the white light from the upper left front, the
    // object's red averages 202 of 255 over its pixels.
    double red = 0, lit = 0;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 200; ++x)
        if (const uint32_t r = drawn.Pixel(x, y) >> 16) red += r, lit += 1;
    EXPECT_NEAR(red / lit, 202, 6);
    EXPECT_EQ(drawn.Pixel(100, 75) & 0x00FFFF, 0u);
    EXPECT_EQ(drawn.Pixel(0, 0) | drawn.Pixel(199, 149), 0u) << "corners";
    // Once the picture has reached the server, the window shows it pixel for pixel, unshifted.
    int wrong = -1;
    for (int attempt = 0; attempt < 40 && wrong != 0; ++attempt, usleep(50000)) {
      const std::vector<uint32_t> shown = window->Pixels();
      ASSERT_EQ(shown.size(), 200u * 150u);
      wrong = 0;
      for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) wrong += shown[size_t(y * 200 + x)] != drawn.Pixel(x, y);
    }
    EXPECT_EQ(wrong, 0);
  }
  // Posted at every frame until the window has handled one.
  EXPECT_EQ(sink.posts, (std::vector<HWND>{window->Id(), window->Id()}));
  sink.seen = true;
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_EQ(sink.posts.size(), 2u);
  stage.graphics.primary.Release();
  EXPECT_FALSE(stage.RenderFrame()) << "nowhere to show the frame";
}

// The full-screen picture is scaled to the window: the object in the middle, black around it.
TEST_F(StageTest, LostSurfacesAreRestoredAndWhatCannotBeMendedEndsTheFrames) {
  Open(1);
  ASSERT_TRUE(AddRedObject(stage));  // the scene holds it
  stage.graphics.directDraw->LoseSurfacesForTesting();
  EXPECT_FALSE(stage.graphics.Present());  // a lost surface cannot be shown
  stage.graphics.directDraw->FailRestoreForTesting(true);
  EXPECT_FALSE(stage.RenderFrame());
  stage.graphics.directDraw->FailRestoreForTesting(false);
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_FALSE(stage.graphics.zBuffer->IsLost());
  const SurfaceImage screen = Presented(stage);
  ASSERT_EQ(screen.width, 200);
  EXPECT_NE(screen.Pixel(100, 75) & 0xFF0000, 0u);
  EXPECT_EQ(screen.Pixel(100, 2) | screen.Pixel(100, 147), 0u);
  stage.graphics.viewport.Release();  // a missing piece ends the frames instead of crashing
  EXPECT_FALSE(stage.RenderFrame());
}

// How often each colour appears where the figure goes.
std::map<uint32_t, int> TopLeftColours(const SurfaceImage& picture) {
  std::map<uint32_t, int> count;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) ++count[picture.Pixel(x, y)];
  return count;
}

// The Render thread writes the figure before it renders the frame. A frame shows the figure
// written last, white on black, and the next frame carries it only if it is written again.
TEST_F(StageTest, OverlayTextSurvivesTheFrameDrawnAfterIt) {
  Open(0);
  std::map<uint32_t, int> shown[2];
  for (int i : {0, 1}) {
    stage.graphics.DrawOverlayText(0, 0, i ? "1" : "59.9");
    ASSERT_TRUE(stage.RenderFrame());
    const SurfaceImage picture = Presented(stage);
    shown[i] = TopLeftColours(picture);
    EXPECT_EQ(shown[i].size(), 2u) << "white on black only";
    EXPECT_EQ(picture.Pixel(150, 100), 0u);
  }
  EXPECT_GT(shown[1][0xFFFFFF], 3);
  EXPECT_GT(shown[0][0xFFFFFF], 2 * shown[1][0xFFFFFF]) << "the old figure still shows";
  ASSERT_TRUE(stage.RenderFrame());
  EXPECT_EQ(TopLeftColours(Presented(stage)).count(0xFFFFFF), 0u);
}

TEST_F(StageTest, OnlyTheStagesOwnDialogHoldsTheFrameUntilItGoesOrTheStopEvent) {
  Open(1);
  RedirectedWindow other(200, 100, 100, 100);  // another program's window
  auto frame = FrameWithFocusOn(other);
  EXPECT_TRUE(CameThrough(frame)) << "held behind a window the Stage does not own";
  RedirectedWindow dialog(200, 100, 100, 100, xcb_window_t(window->Id()));
  frame = FrameWithFocusOn(dialog);
  EXPECT_EQ(frame.wait_for(200ms), std::future_status::timeout);
  window->Focus();
  EXPECT_TRUE(CameThrough(frame)) << "still held after the dialog went away";
  frame = FrameWithFocusOn(dialog);
  EXPECT_EQ(frame.wait_for(200ms), std::future_status::timeout);
  const auto set = std::chrono::steady_clock::now();
  SetEvent(stop);
  EXPECT_FALSE(frame.get());
  EXPECT_LT(std::chrono::steady_clock::now() - set, 500ms);
}

}  // namespace
