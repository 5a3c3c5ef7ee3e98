#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "ddraw_fixture.h"
#include "platform/gdi/gdi.h"

namespace {

std::set<uint32_t> PresentedRamp(uint32_t bits) {
  FlipChain chain(1024, 768, 1024, 768, bits);
  if (!chain.Ok() || !PaintGreyRamp(chain.back.Get())) return {};
  return ColoursOfRow(chain.Show(), 384);
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
  EXPECT_EQ(ColoursOfRow(chain.Show(), 240), std::set<uint32_t>{0x0000FF});
}

// The mode keeps its aspect on a screen of another shape, and black bars fill the rest:
// 640 x 480 doubled is 1280 x 960, 32 rows short; 800 x 600 leaves 800 columns over.
TEST(DisplayModeScaling, ModeKeepsItsAspectWithBarsOnTheSpareSides) {
  struct Case {
    int screenWidth, screenHeight;
    uint32_t width, height;
    std::vector<std::pair<int, int>> lit, bars;
  };
  const Case cases[] = {
      {1280, 1024, 640, 480, {{0, 500}, {640, 32}, {640, 991}}, {{640, 31}, {640, 992}}},
      {1600, 600, 800, 600, {{400, 300}, {1199, 300}}, {{399, 300}, {1200, 300}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " on " + std::to_string(c.screenWidth));
    FlipChain chain(c.screenWidth, c.screenHeight, c.width, c.height, 32);
    ASSERT_TRUE(chain.Ok());
    ASSERT_TRUE(Fill(chain.back.Get(), 0x00FF00));
    const SurfaceImage screen = chain.Show();
    ASSERT_EQ(screen.width, c.screenWidth);
    ASSERT_EQ(screen.height, c.screenHeight);
    for (auto [x, y] : c.lit) EXPECT_EQ(screen.Pixel(x, y), 0x00FF00u) << x << "," << y;
    for (auto [x, y] : c.bars) EXPECT_EQ(screen.Pixel(x, y), 0u) << x << "," << y;
  }
}

// The same on a real window covering an X screen, as the saver's window does:
// what reaches the window is what the primary reads back.
TEST(DisplayModeScaling, RealWindowShowsTheScaledMode) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
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
  // Its own pixels off screen: tests side by side on one X server must not see each other's.
  free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
  xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_MANUAL);
  xcb_map_window(c, window);
  // A round trip, so the window is there before a context is made on it.
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  {
    FlipChain chain(window, 640, 480, 16);
    ASSERT_TRUE(chain.Ok());
    ASSERT_TRUE(Fill(chain.back.Get(), 0xF800));  // full red in RGB565
    ASSERT_TRUE(chain.primary->Flip(nullptr, DDFLIP_WAIT));
    // The swap travels on the GL library's own connection: wait for it.
    std::vector<uint32_t> shown;
    auto at = [&](int x, int y) { return shown[size_t(y) * sw + size_t(x)] & 0xFFFFFF; };
    for (int attempt = 0; attempt < 40 && (shown.empty() || !at(sw / 2, sh / 2)); ++attempt) {
      if (attempt) usleep(50000);
      auto* image = xcb_get_image_reply(
          c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, sw, sh, ~0u), nullptr);
      ASSERT_NE(image, nullptr);
      const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
      shown.assign(pixels, pixels + size_t(sw) * sh);
      free(image);
    }
    EXPECT_EQ(at(sw / 2, sh / 2), 0xFF0000u);
    EXPECT_EQ(at(0, sh / 2), 0xFF0000u);
    const int barHeight = (sh - 480 * sw / 640) / 2;
    if (barHeight > 0) {
      EXPECT_EQ(at(sw / 2, barHeight - 1) | at(sw / 2, sh - barHeight), 0u);
    }
  }
  xcb_destroy_window(c, window);
  xcb_disconnect(c);
}

}  // namespace
