#pragma once
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/win/offscreen_window.h"
#include "redirected_window.h"

// A full-screen flip chain in a display mode, on a window: an X window, or by
// default an offscreen "screen" of the given size. Windowed, the back buffer is
// instead a picture in memory that is blitted to the window's primary surface.
struct FlipChain {
  HWND window = 0;
  Ref<DirectDraw> dd;
  Ref<DirectDrawSurface> primary;
  Ref<DirectDrawSurface> back;

  FlipChain(int screenWidth, int screenHeight, uint32_t width, uint32_t height, uint32_t bits)
      : FlipChain(CreateOffscreenWindow(screenWidth, screenHeight), width, height, bits) {}
  FlipChain(HWND window, uint32_t width, uint32_t height, uint32_t bits, bool windowed = false)
      : window(window) {
    EXPECT_TRUE(DirectDrawCreate(nullptr, &dd));
    DDSURFACEDESC desc;
    if (windowed) {
      EXPECT_TRUE(dd->SetCooperativeLevel(window, DDSCL_NORMAL));
      desc.dwFlags = DDSD_CAPS;
      desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
      EXPECT_TRUE(dd->CreateSurface(desc, &primary));
      desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
      desc.dwWidth = width;
      desc.dwHeight = height;
      desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
      EXPECT_TRUE(dd->CreateSurface(desc, &back));
      return;
    }
    EXPECT_TRUE(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    EXPECT_TRUE(dd->SetDisplayMode(width, height, bits));
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
