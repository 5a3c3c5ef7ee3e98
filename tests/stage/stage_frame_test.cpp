#include <atomic>
#include <chrono>
#include <future>

#include "platform/ddraw/offscreen_window.h"
#include "platform/sys/event.h"
#include "stage/first_frame_sink.h"
#include "stage_fixture.h"

namespace {

// Stands in for the saver window: counts the posted messages and sets its
// flag when told that the window procedure has handled one.
class FirstFrameRecorder : public FirstFrameSink {
 public:
  bool FirstFrameSeen() const override { return seen; }
  void PostFirstFrame(HWND window) override {
    ++posts;
    lastWindow = window;
  }
  bool seen = false;
  int posts = 0;
  HWND lastWindow = 0;
};

class StageFrames : public StageTest {
 protected:
  void TearDown() override {
    SetFirstFrameSink(nullptr);
    SetRenderStopEvent(nullptr);
    StageTest::TearDown();
  }
  void OpenWindowed(Stage& stage, int width = 200, int height = 150) {
    UseWindow(width, height);
    ASSERT_TRUE(stage.Create(window->Id()));
    ASSERT_TRUE(stage.SetUpScene());
  }
  void OpenFullScreen(Stage& stage) {
    Resolved.ScreenMode = 1;
    UseScreen();
    ASSERT_TRUE(stage.Create(window->Id()));
    ASSERT_TRUE(stage.SetUpScene());
  }
};

TEST_F(StageFrames, WindowedFrameShowsTheScene) {
  Stage stage;
  OpenWindowed(stage);
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_EQ(CountNonBlack(Presented(stage)), 0);  // nothing in the scene yet
  Ref<RMFrame> object = AddObject(stage);
  ASSERT_TRUE(object);
  ASSERT_TRUE(stage.RenderFrame());
  const SurfaceImage picture = Presented(stage);
  EXPECT_NE(picture.Pixel(100, 75) & 0xFF0000, 0u);  // red object in the middle
  EXPECT_EQ(picture.Pixel(100, 75) & 0x00FFFF, 0u);
  EXPECT_EQ(picture.Pixel(0, 0), 0u);
  EXPECT_EQ(picture.Pixel(199, 149), 0u);
}

TEST_F(StageFrames, FullScreenFrameIsScaledOntoTheScreen) {
  Stage stage;
  OpenFullScreen(stage);
  Ref<RMFrame> object = AddObject(stage);
  ASSERT_TRUE(object);
  ASSERT_TRUE(stage.RenderFrame());
  const SurfaceImage screen = Presented(stage);
  ASSERT_EQ(screen.width, window->ScreenWidth());
  EXPECT_NE(screen.Pixel(screen.width / 2, screen.height / 2), 0u);
  const int bar = (screen.height - screen.width * 480 / 640) / 2;
  for (int x = 0; x < screen.width; x += 7) {
    if (bar > 0) {
      EXPECT_EQ(screen.Pixel(x, 0), 0u);
      EXPECT_EQ(screen.Pixel(x, screen.height - 1), 0u);
    }
  }
}

TEST_F(StageFrames, NothingIsDrawnBeforeSceneSetUp) {
  FirstFrameRecorder sink;
  SetFirstFrameSink(&sink);
  UseWindow(160, 120);
  Stage stage;
  ASSERT_TRUE(stage.Create(window->Id()));
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_FALSE(stage.graphics.Present());
  EXPECT_FALSE(stage.graphics.RenderScene(stage.sceneFrame));
  EXPECT_EQ(sink.posts, 0);
}

TEST_F(StageFrames, FirstFrameIsPostedUntilTheWindowHasSeenIt) {
  FirstFrameRecorder sink;
  SetFirstFrameSink(&sink);
  Stage stage;
  OpenWindowed(stage);
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_EQ(sink.posts, 1);
  EXPECT_EQ(sink.lastWindow, window->Id());
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_EQ(sink.posts, 2);  // not handled yet: posted again
  sink.seen = true;
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_EQ(sink.posts, 2);
}

TEST_F(StageFrames, LostSurfacesAreRestoredAtTheNextFrame) {
  Stage stage;
  OpenFullScreen(stage);
  stage.graphics.directDraw->LoseSurfacesForTesting();
  EXPECT_FALSE(stage.graphics.Present());  // a lost surface cannot be shown
  EXPECT_TRUE(stage.RenderFrame());
  EXPECT_FALSE(stage.graphics.primary->IsLost());
  EXPECT_FALSE(stage.graphics.zBuffer->IsLost());
}

TEST_F(StageFrames, FailedRestoreEndsTheFrames) {
  Stage stage;
  OpenFullScreen(stage);
  stage.graphics.directDraw->LoseSurfacesForTesting();
  stage.graphics.directDraw->FailRestoreForTesting(true);
  EXPECT_FALSE(stage.RenderFrame());
  stage.graphics.directDraw->FailRestoreForTesting(false);
  EXPECT_TRUE(stage.RenderFrame());
}

TEST_F(StageFrames, MissingViewportEndsTheFramesInsteadOfCrashing) {
  Stage stage;
  OpenWindowed(stage);
  stage.graphics.viewport.Release();
  EXPECT_FALSE(stage.RenderFrame());
}

TEST_F(StageFrames, SceneSetUpWithoutDirect3DStillReportsReadyButFramesFail) {
  UseWindow(160, 120);
  Stage stage;
  stage.window = window->Id();
  ASSERT_TRUE(stage.graphics.Open(window->Id(), Windowed));
  EXPECT_TRUE(stage.SetUpScene());
  EXPECT_TRUE(stage.graphics.ready);
  EXPECT_FALSE(stage.sceneFrame);
  EXPECT_FALSE(stage.RenderFrame());
}

TEST_F(StageFrames, MovedWindowIsBlittedAtItsNewPlace) {
  Stage stage;
  OpenWindowed(stage);
  window->MoveTo(300, 200);
  EXPECT_TRUE(stage.OnWindowMoved(window->Id()));
  EXPECT_EQ(stage.graphics.windowRect, (RECT{300, 200, 500, 350}));
  EXPECT_EQ(stage.graphics.width, 200);
  Ref<RMFrame> object = AddObject(stage);
  ASSERT_TRUE(stage.RenderFrame());
  // The picture still fills the client area, not a shifted part of it.
  const SurfaceImage picture = Presented(stage);
  EXPECT_NE(picture.Pixel(100, 75), 0u);
}

int WhiteInTopLeftCorner(const SurfaceImage& picture, int* otherColours = nullptr) {
  int white = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const uint32_t pixel = picture.Pixel(x, y);
      white += pixel == 0xFFFFFF;
      if (otherColours) *otherColours += pixel != 0xFFFFFF && pixel != 0;
    }
  return white;
}

TEST_F(StageFrames, OverlayTextSurvivesTheFrameDrawnAfterIt) {
  // The Render thread writes the figure before it renders the frame.
  Stage stage;
  OpenWindowed(stage);
  stage.graphics.DrawOverlayText(0, 0, "59.9");
  ASSERT_TRUE(stage.RenderFrame());
  const SurfaceImage picture = Presented(stage);
  int other = 0;
  EXPECT_GT(WhiteInTopLeftCorner(picture, &other), 10);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(picture.Pixel(150, 100), 0u);

  // It is shown once; the next frame carries it only if it is written again.
  ASSERT_TRUE(stage.RenderFrame());
  EXPECT_EQ(WhiteInTopLeftCorner(Presented(stage)), 0);
}

TEST_F(StageFrames, DialogInFrontHoldsTheFrameUntilTheStopEvent) {
  Stage stage;
  OpenFullScreen(stage);
  HANDLE stop = CreateEventA(true, false);
  SetRenderStopEvent(stop);
  TestWindow dialog(100, 100, 200, 100, xcb_window_t(window->Id()));
  dialog.Focus();
  auto frame = std::async(std::launch::async, [&] { return stage.RenderFrame(); });
  EXPECT_EQ(frame.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  const auto set = std::chrono::steady_clock::now();
  SetEvent(stop);
  EXPECT_FALSE(frame.get());
  EXPECT_LT(std::chrono::steady_clock::now() - set, std::chrono::milliseconds(500));
  CloseHandle(stop);
}

TEST_F(StageFrames, DialogGoingAwayLetsTheFrameThrough) {
  Stage stage;
  OpenFullScreen(stage);
  HANDLE stop = CreateEventA(true, false);
  SetRenderStopEvent(stop);
  TestWindow dialog(100, 100, 200, 100, xcb_window_t(window->Id()));
  dialog.Focus();
  auto frame = std::async(std::launch::async, [&] { return stage.RenderFrame(); });
  EXPECT_EQ(frame.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
  window->Focus();
  const bool through = frame.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!through) SetEvent(stop);  // never leave the frame waiting behind a failed test
  EXPECT_TRUE(through);
  EXPECT_EQ(frame.get(), through);
  CloseHandle(stop);
}

TEST_F(StageFrames, AnotherProgramInFrontDoesNotStopRendering) {
  Stage stage;
  OpenFullScreen(stage);
  HANDLE stop = CreateEventA(true, false);
  SetRenderStopEvent(stop);
  TestWindow other(100, 100, 200, 100);
  other.Focus();
  EXPECT_TRUE(stage.RenderFrame());
  CloseHandle(stop);
}

}  // namespace

namespace {

// Tools open the Stage on a window that exists only in memory; no X server is
// needed and the picture is read back from the primary surface.
TEST(StageOffscreen, FullScreenFrameReadsBackWithoutAnyWindow) {
  Resolved = ResolvedOptionsRecord{};
  Resolved.ScreenMode = 1;
  Resolved.ScreenColor = 3;
  Resolved.DDDriverName = "";
  Resolved.D3DDriverName = "Auto";
  const HWND window = CreateOffscreenWindow(1280, 1024);
  {
    Stage stage;
    ASSERT_TRUE(stage.Create(window));
    ASSERT_TRUE(stage.SetUpScene());
    Direct3DRM* rm = stage.graphics.rm.Get();
    Ref<RMMeshBuilder> builder;
    ASSERT_TRUE(rm->CreateMeshBuilder(&builder));
    ASSERT_TRUE(builder->Load(std::string(QUELLAR_SOURCE_DIR) + "/resources/quellar.x"));
    D3DRMBOX box;
    builder->GetBox(&box);
    Ref<RMFrame> object;
    rm->CreateFrame(stage.sceneFrame, &object);
    object->SetPosition(stage.sceneFrame, 0, 0, 2.5f * (box.max.x - box.min.x));
    object->AddVisual(builder);
    ASSERT_TRUE(stage.RenderFrame());
    SurfaceImage screen;
    ASSERT_TRUE(stage.graphics.primary->ReadBack(&screen));
    ASSERT_EQ(screen.width, 1280);
    EXPECT_NE(screen.Pixel(640, 512), 0u);
    EXPECT_EQ(screen.Pixel(640, 10), 0u);    // bar above
    EXPECT_EQ(screen.Pixel(640, 1015), 0u);  // bar below
  }
  DestroyOffscreenWindow(window);
}

}  // namespace
