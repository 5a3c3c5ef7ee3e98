#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "ddraw_fixture.h"
#include "platform/gdi/gdi.h"

namespace {

// Tests run side by side on one X server, and their windows overlap: each
// window keeps its own pixels off screen, so that reading them back sees only
// what was drawn on that window.
inline void KeepPixelsOffScreen(xcb_connection_t* c, xcb_window_t window) {
  free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
  xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_MANUAL);
}

std::set<uint32_t> PresentedRamp(uint32_t bits) {
  FlipChain chain(1024, 768, 1024, 768, bits);
  if (!chain.Ok() || !PaintGreyRamp(chain.back.Get())) return {};
  EXPECT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
  SurfaceImage screen;
  EXPECT_TRUE(chain.primary->ReadBack(&screen));
  return ColoursOfRow(screen, 384);
}

TEST(DisplayModeLook, ThirtyTwoBitsKeepEveryGreyLevel) {
  EXPECT_EQ(PresentedRamp(32).size(), 256u);
  EXPECT_EQ(PresentedRamp(24).size(), 256u);
}

TEST(DisplayModeLook, SixteenBitsShowRgb565Steps) {
  const std::set<uint32_t> colours = PresentedRamp(16);
  ASSERT_FALSE(colours.empty());
  std::set<uint32_t> reds, greens;
  for (uint32_t c : colours) {
    reds.insert(c >> 16);
    greens.insert((c >> 8) & 0xFF);
  }
  // Five bits of red, six of green: 32 and 64 levels at most, and a grey ramp
  // reaches nearly all of them.
  EXPECT_LE(reds.size(), 32u);
  EXPECT_GE(reds.size(), 30u);
  EXPECT_LE(greens.size(), 64u);
  EXPECT_GE(greens.size(), 60u);
}

TEST(DisplayModeLook, EightBitsShowOnlyPaletteColours) {
  const std::set<uint32_t> colours = PresentedRamp(8);
  ASSERT_FALSE(colours.empty());
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetSystemPaletteEntries(nullptr, 0, 256, entries), 256u);
  std::set<uint32_t> palette;
  for (const PALETTEENTRY& e : entries)
    palette.insert((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
  for (uint32_t c : colours) EXPECT_TRUE(palette.count(c)) << std::hex << c;
  // The greys of the cube and the ramp, not 256 levels.
  EXPECT_LT(colours.size(), 40u);
  EXPECT_GT(colours.size(), 10u);
}

TEST(DisplayModeLook, EightBitsFollowTheSurfacePalette) {
  FlipChain chain(640, 480, 640, 480, 8);
  ASSERT_TRUE(chain.Ok());
  PALETTEENTRY entries[256];
  for (PALETTEENTRY& e : entries) e = {0, 0, 255, 0};  // every colour shows as blue
  Ref<DirectDrawPalette> palette;
  ASSERT_TRUE(chain.dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette));
  chain.back->SetPalette(palette.Get());
  ASSERT_TRUE(PaintGreyRamp(chain.back.Get()));
  ASSERT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
  SurfaceImage screen;
  ASSERT_TRUE(chain.primary->ReadBack(&screen));
  EXPECT_EQ(ColoursOfRow(screen, 240), std::set<uint32_t>{0x0000FF});
}

TEST(DisplayModeScaling, ModeFillsTheWidthWithBarsAboveAndBelow) {
  FlipChain chain(1280, 1024, 640, 480, 32);
  ASSERT_TRUE(chain.Ok());
  DDBLTFX fx;
  fx.dwFillColor = 0xFFFFFF;
  ASSERT_TRUE(chain.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  ASSERT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
  SurfaceImage screen;
  ASSERT_TRUE(chain.primary->ReadBack(&screen));
  ASSERT_EQ(screen.width, 1280);
  ASSERT_EQ(screen.height, 1024);
  // 640 x 480 doubled is 1280 x 960: 32 black rows on each side.
  EXPECT_EQ(screen.Pixel(640, 31), 0x000000u);
  EXPECT_EQ(screen.Pixel(640, 32), 0xFFFFFFu);
  EXPECT_EQ(screen.Pixel(0, 500), 0xFFFFFFu);
  EXPECT_EQ(screen.Pixel(1279, 500), 0xFFFFFFu);
  EXPECT_EQ(screen.Pixel(640, 991), 0xFFFFFFu);
  EXPECT_EQ(screen.Pixel(640, 992), 0x000000u);
}

TEST(DisplayModeScaling, TallModeOnWideScreenGetsBarsLeftAndRight) {
  FlipChain chain(1600, 600, 800, 600, 32);
  ASSERT_TRUE(chain.Ok());
  DDBLTFX fx;
  fx.dwFillColor = 0x00FF00;
  ASSERT_TRUE(chain.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  ASSERT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
  SurfaceImage screen;
  ASSERT_TRUE(chain.primary->ReadBack(&screen));
  EXPECT_EQ(screen.Pixel(399, 300), 0x000000u);
  EXPECT_EQ(screen.Pixel(400, 300), 0x00FF00u);
  EXPECT_EQ(screen.Pixel(1199, 300), 0x00FF00u);
  EXPECT_EQ(screen.Pixel(1200, 300), 0x000000u);
}

// The same on a real window covering an X screen, as the saver's window does:
// what reaches the window is what the primary reads back.
TEST(DisplayModeScaling, RealWindowShowsTheScaledMode) {
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    GTEST_SKIP() << "no X display";
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const uint16_t sw = screen->width_in_pixels, sh = screen->height_in_pixels;
  xcb_window_t window = xcb_generate_id(c);
  const uint32_t values[] = {screen->black_pixel, 1};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, sw, sh, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  KeepPixelsOffScreen(c, window);
  xcb_map_window(c, window);
  // A round trip, so the window is there before a context is made on it.
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  {
    Ref<DirectDraw> dd;
    ASSERT_TRUE(DirectDrawCreate(nullptr, &dd));
    ASSERT_TRUE(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    ASSERT_TRUE(dd->SetDisplayMode(640, 480, 16));
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    Ref<DirectDrawSurface> primary, back;
    ASSERT_TRUE(dd->CreateSurface(desc, &primary));
    ASSERT_TRUE(primary->GetAttachedSurface(DDSCAPS{DDSCAPS_BACKBUFFER}, &back));
    DDBLTFX fx;
    fx.dwFillColor = 0xF800;  // full red in RGB565
    ASSERT_TRUE(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    ASSERT_TRUE(primary->Flip(nullptr, DDFLIP_WAIT));
    const int barHeight = (sh - 480 * sw / 640) / 2;
    // The swap travels on the GL library's own connection: wait for it.
    xcb_get_image_reply_t* image = nullptr;
    auto at = [&](int x, int y) {
      const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
      return pixels[size_t(y) * sw + size_t(x)] & 0xFFFFFF;
    };
    for (int attempt = 0; attempt < 40; ++attempt) {
      free(image);
      image = xcb_get_image_reply(
          c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, sw, sh, ~0u), nullptr);
      ASSERT_NE(image, nullptr);
      if (at(sw / 2, sh / 2) != 0) break;
      usleep(50000);
    }
    EXPECT_EQ(at(sw / 2, sh / 2), 0xFF0000u);
    EXPECT_EQ(at(0, sh / 2), 0xFF0000u);
    if (barHeight > 0) {
      EXPECT_EQ(at(sw / 2, barHeight - 1), 0u);
      EXPECT_EQ(at(sw / 2, sh - barHeight), 0u);
    }
    free(image);
  }
  xcb_destroy_window(c, window);
  xcb_disconnect(c);
}

}  // namespace
