#pragma once
#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/rm/direct3drm.h"
#include "settings/resolved_options.h"
#include "stage/stage.h"

// Tests run side by side on one X server, and their windows overlap: each
// window keeps its own pixels off screen, so that reading them back sees only
// what was drawn on that window.
inline void KeepPixelsOffScreen(xcb_connection_t* c, xcb_window_t window) {
  free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
  xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_MANUAL);
}

// A plain X window, mapped and on screen, such as the saver window would be.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height, xcb_window_t transientFor = 0) {
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_)) return;
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    id_ = xcb_generate_id(c_);
    const uint32_t values[] = {screen_->black_pixel, 1};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, id_, screen_->root, int16_t(x), int16_t(y),
                      uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen_->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    if (transientFor)
      xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id_, XCB_ATOM_WM_TRANSIENT_FOR,
                          XCB_ATOM_WINDOW, 32, 1, &transientFor);
    KeepPixelsOffScreen(c_, id_);
    xcb_map_window(c_, id_);
    Sync();
  }
  ~TestWindow() {
    if (id_) xcb_destroy_window(c_, id_);
    if (c_) xcb_disconnect(c_);
  }
  bool Ok() const { return id_ != 0; }
  HWND Id() const { return id_; }
  int ScreenWidth() const { return screen_->width_in_pixels; }
  int ScreenHeight() const { return screen_->height_in_pixels; }
  void Sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
  void Focus() {
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, id_, XCB_CURRENT_TIME);
    Sync();
  }
  void MoveTo(int x, int y) {
    const uint32_t values[] = {uint32_t(x), uint32_t(y)};
    xcb_configure_window(c_, id_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    Sync();
  }
  // The window's pixels as 0xRRGGBB, rows top first.
  std::vector<uint32_t> Pixels(int width, int height) {
    std::vector<uint32_t> out;
    auto* image = xcb_get_image_reply(c_,
                                      xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, id_, 0, 0,
                                                    uint16_t(width), uint16_t(height), ~0u),
                                      nullptr);
    if (!image) return out;
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    out.assign(data, data + size_t(width) * size_t(height));
    for (uint32_t& p : out) p &= 0xFFFFFF;
    free(image);
    return out;
  }

 private:
  xcb_connection_t* c_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  xcb_window_t id_ = 0;
};

// Every test starts from the defaults of a fresh install and records the
// diagnostic lines that Trace would otherwise throw away.
class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    Resolved = ResolvedOptionsRecord{};
    Resolved.ScreenMode = 0;
    Resolved.ScreenColor = 2;
    Resolved.Rendering = 1;
    Resolved.DDDriverName = "";
    Resolved.D3DDriverName = "Auto";
    DirectDrawFaultsForTesting() = {};
    SetTraceHookForTesting([this](const char* text) { traces.push_back(text); });
  }
  void TearDown() override {
    SetTraceHookForTesting(nullptr);
    DirectDrawFaultsForTesting() = {};
  }

  // A windowed Stage in a window of its own, or a full-screen one over the screen.
  void UseWindow(int width, int height) {
    window = std::make_unique<TestWindow>(10, 20, width, height);
  }
  void UseScreen() {
    TestWindow probe(0, 0, 1, 1);
    window = std::make_unique<TestWindow>(0, 0, probe.ScreenWidth(), probe.ScreenHeight());
  }

  // Puts the default cell object, red, in front of the camera.
  Ref<RMFrame> AddObject(Stage& stage) {
    Direct3DRM* rm = stage.graphics.rm.Get();
    Ref<RMMeshBuilder> builder;
    Ref<RMFrame> frame;
    if (!rm->CreateMeshBuilder(&builder) ||
        !builder->Load(std::string(QUELLAR_SOURCE_DIR) + "/resources/quellar.x"))
      return frame;
    D3DRMBOX box;
    builder->GetBox(&box);
    const float extent = std::max({box.max.x - box.min.x, box.max.y - box.min.y, 0.1f});
    rm->CreateFrame(stage.sceneFrame, &frame);
    frame->SetPosition(stage.sceneFrame, 0, 0, 2.5f * extent);
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

  std::unique_ptr<TestWindow> window;
  std::vector<std::string> traces;
};

inline int CountNonBlack(const SurfaceImage& image) {
  int count = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) count += image.Pixel(x, y) != 0;
  return count;
}
