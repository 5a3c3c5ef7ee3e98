#pragma once
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/win/offscreen_window.h"

// A full-screen flip chain in a display mode, on a window: an X window, or by
// default an offscreen "screen" of the given size.
struct FlipChain {
  HWND window = 0;
  Ref<DirectDraw> dd;
  Ref<DirectDrawSurface> primary;
  Ref<DirectDrawSurface> back;

  FlipChain(int screenWidth, int screenHeight, uint32_t width, uint32_t height, uint32_t bits)
      : FlipChain(CreateOffscreenWindow(screenWidth, screenHeight), width, height, bits) {}
  FlipChain(HWND window, uint32_t width, uint32_t height, uint32_t bits) : window(window) {
    EXPECT_TRUE(DirectDrawCreate(nullptr, &dd));
    EXPECT_TRUE(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    EXPECT_TRUE(dd->SetDisplayMode(width, height, bits));
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    EXPECT_TRUE(dd->CreateSurface(desc, &primary));
    EXPECT_TRUE(primary && primary->GetAttachedSurface(DDSCAPS{DDSCAPS_BACKBUFFER}, &back));
  }
  ~FlipChain() {
    back.Release();
    primary.Release();
    dd.Release();
    if (IsOffscreenWindow(window)) DestroyOffscreenWindow(window);
  }
  bool Ok() const { return primary && back; }
  // Flips and reads back what the screen shows.
  SurfaceImage Show() {
    SurfaceImage screen;
    EXPECT_TRUE(primary->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_TRUE(primary->ReadBack(&screen));
    return screen;
  }
};

inline bool Fill(DirectDrawSurface* surface, uint32_t colour) {
  DDBLTFX fx;
  fx.dwFillColor = colour;
  return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// Paints the back buffer through its 3-D device: column x gets grey level
// x * 255 / (width - 1), as a renderer would leave it.
inline bool PaintGreyRamp(DirectDrawSurface* back) {
  Ref<Direct3DDevice> device;
  if (!back->QueryInterface(IID_IDirect3DRGBDevice, &device)) return false;
  RenderTarget* target = device->Target();
  if (!target->MakeCurrent()) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, target->Framebuffer());
  glEnable(GL_SCISSOR_TEST);
  const int w = target->Width();
  for (int x = 0; x < w; ++x) {
    const float level = float(x) / float(w - 1);
    glScissor(x, 0, 1, target->Height());
    glClearColor(level, level, level, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glFinish();
  return true;
}

inline std::set<uint32_t> ColoursOfRow(const SurfaceImage& image, int y) {
  std::set<uint32_t> colours;
  for (int x = 0; x < image.width; ++x) colours.insert(image.Pixel(x, y));
  return colours;
}

// A mapped X window on the default display whose pixels stay off screen
// (composite), so that tests side by side on one server never see each
// other's windows in what they read back. Null Id() when there is no display.
class RedirectedWindow {
 public:
  RedirectedWindow(int width, int height) : c_(Connect()), w_(width), h_(height) {
    if (xcb_connection_has_error(c_)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    id_ = xcb_generate_id(c_);
    const uint32_t values[] = {screen->black_pixel, 1};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, id_, screen->root, 0, 0, uint16_t(width),
                      uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    free(xcb_composite_query_version_reply(c_, xcb_composite_query_version(c_, 0, 4), nullptr));
    xcb_composite_redirect_window(c_, id_, XCB_COMPOSITE_REDIRECT_MANUAL);
    xcb_map_window(c_, id_);
    gc_ = xcb_generate_id(c_);
    xcb_create_gc(c_, gc_, id_, 0, nullptr);
    Sync();
  }
  ~RedirectedWindow() {
    if (id_) xcb_destroy_window(c_, id_);
    xcb_disconnect(c_);
  }
  HWND Id() const { return id_; }
  void Sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
  // Paints the whole window one colour (0xRRGGBB).
  void Paint(uint32_t colour) {
    xcb_change_gc(c_, gc_, XCB_GC_FOREGROUND, &colour);
    const xcb_rectangle_t all{0, 0, uint16_t(w_), uint16_t(h_)};
    xcb_poly_fill_rectangle(c_, id_, gc_, 1, &all);
    Sync();
  }
  // The window's pixels as 0xRRGGBB, rows top first.
  std::vector<uint32_t> Pixels() {
    auto* image = xcb_get_image_reply(
        c_, xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, id_, 0, 0, uint16_t(w_), uint16_t(h_), ~0u),
        nullptr);
    if (!image) return {};
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    std::vector<uint32_t> out(data, data + size_t(w_) * size_t(h_));
    free(image);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    return out;
  }

 private:
  // A server busy with the neighbouring test programs now and then turns a
  // connection away; a second try a moment later gets in.
  static xcb_connection_t* Connect() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; attempt < 5 && xcb_connection_has_error(c); ++attempt) {
      xcb_disconnect(c);
      usleep(200000);
      c = xcb_connect(nullptr, nullptr);
    }
    return c;
  }

  xcb_connection_t* c_;
  int w_, h_;
  xcb_window_t id_ = 0;
  xcb_gcontext_t gc_ = 0;
};
