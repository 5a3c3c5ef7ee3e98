#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <QFontInfo>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/text_application.h"

namespace {

// Tests run side by side on one X server, and their windows overlap: each
// window keeps its own pixels off screen, so that reading them back sees only
// what was drawn on that window.
inline void KeepPixelsOffScreen(xcb_connection_t* c, xcb_window_t window) {
  free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
  xcb_composite_redirect_window(c, window, XCB_COMPOSITE_REDIRECT_MANUAL);
}

constexpr char kMessage[] = "DirectDraw の初期化に失敗しました。";

struct Bitmap {
  Bitmap(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h) * 4, 0) {
    dc = CreateBitmapDC(pixels.data(), w, h, w * 4);
  }
  ~Bitmap() { DeleteDC(dc); }
  uint32_t At(int x, int y) const {
    const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
  }
  int width, height;
  std::vector<uint8_t> pixels;
  HDC dc;
};

TEST(GothicText, UsesAJapaneseGothicFace) {
  ASSERT_TRUE(EnsureTextApplication());
  const QString family = QFontInfo(GothicFont()).family();
  EXPECT_TRUE(family.contains("Gothic") || family.contains("CJK")) << family.toStdString();
}

TEST(GothicText, JapaneseGlyphsAreRealGlyphs) {
  // Each kana must draw something of its own: a missing glyph draws the same
  // box every time.
  Bitmap a(64, 32), b(64, 32);
  SetTextColor(a.dc, RGB(255, 255, 255));
  SetBkColor(a.dc, RGB(0, 0, 0));
  SetTextColor(b.dc, RGB(255, 255, 255));
  SetBkColor(b.dc, RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(a.dc, 0, 0, "の", int(strlen("の"))));
  ASSERT_TRUE(TextOutA(b.dc, 0, 0, "失", int(strlen("失"))));
  EXPECT_NE(a.pixels, b.pixels);
  int lit = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) lit += a.At(x, y) == 0xFFFFFF;
  EXPECT_GT(lit, 10);
}

TEST(GothicText, LengthCountsBytesAndNeverSplitsACharacter) {
  Bitmap bitmap(400, 40);
  SIZE whole, part;
  ASSERT_TRUE(GetTextExtentPoint32A(bitmap.dc, kMessage, int(strlen(kMessage)), &whole));
  ASSERT_TRUE(GetTextExtentPoint32A(bitmap.dc, kMessage, 10, &part));  // "DirectDraw"
  EXPECT_GT(whole.cx, part.cx);
  EXPECT_EQ(whole.cy, part.cy);
  EXPECT_GT(whole.cy, 10);
  SIZE none;
  ASSERT_TRUE(GetTextExtentPoint32A(bitmap.dc, kMessage, 0, &none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, kMessage, 3, &none));
  EXPECT_FALSE(TextOutA(bitmap.dc, 0, 0, kMessage, -1));
}

TEST(GothicText, OpaqueCellInTheBackgroundColour) {
  Bitmap bitmap(300, 40);
  std::fill(bitmap.pixels.begin(), bitmap.pixels.end(), 0x80);
  SetTextColor(bitmap.dc, RGB(255, 255, 255));
  EXPECT_EQ(SetBkColor(bitmap.dc, RGB(0, 0, 0)), RGB(255, 255, 255));
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(bitmap.dc, "Ab", 2, &extent));
  ASSERT_TRUE(TextOutA(bitmap.dc, 5, 6, "Ab", 2));
  int white = 0;
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x) {
      const bool inside = x >= 5 && x < 5 + extent.cx && y >= 6 && y < 6 + extent.cy;
      const uint32_t p = bitmap.At(x, y);
      if (!inside) {
        ASSERT_EQ(p, 0x808080u) << x << "," << y;
      } else {
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << std::hex << p;
        white += p == 0xFFFFFF;
      }
    }
  EXPECT_GT(white, 5);
}

TEST(GothicText, SystemPaletteHasStaticColoursAtBothEnds) {
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetSystemPaletteEntries(nullptr, 0, 256, entries), 256u);
  EXPECT_EQ(entries[0].peRed + entries[0].peGreen + entries[0].peBlue, 0);
  EXPECT_EQ(entries[255].peRed & entries[255].peGreen & entries[255].peBlue, 255);
  EXPECT_EQ(GetSystemPaletteEntries(nullptr, 250, 20, entries), 6u);
}

// On a real window: drawn where asked, white on black, and drawn again the
// same when the window asks to be painted again.
TEST(WindowText, DrawnOnTheWindowAndAgainOnRepaint) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    GTEST_SKIP() << "no X display";
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t window = xcb_generate_id(c);
  const uint32_t values[] = {screen->black_pixel, 1};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 400, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  KeepPixelsOffScreen(c, window);
  xcb_map_window(c, window);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 400);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(dc, kMessage, int(strlen(kMessage)), &extent));
  const int x = (400 - extent.cx) / 2, y = (100 - extent.cy) / 2;
  auto grab = [&] {
    auto* image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, 400, 100, ~0u), nullptr);
    std::vector<uint32_t> pixels;
    if (!image) return pixels;
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    pixels.assign(data, data + 400 * 100);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    free(image);
    return pixels;
  };
  ASSERT_TRUE(TextOutA(dc, x, y, kMessage, int(strlen(kMessage))));
  const std::vector<uint32_t> first = grab();
  ASSERT_EQ(first.size(), 400u * 100u);
  int white = 0;
  for (int py = 0; py < 100; ++py)
    for (int px = 0; px < 400; ++px) {
      const uint32_t p = first[size_t(py) * 400 + size_t(px)];
      ASSERT_TRUE(p == 0 || p == 0xFFFFFF);
      const bool inside = px >= x && px < x + extent.cx && py >= y && py < y + extent.cy;
      if (!inside) {
        ASSERT_EQ(p, 0u);
      }
      white += p == 0xFFFFFF;
    }
  EXPECT_GT(white, 100);

  // An expose clears the window to its background; painting again restores it.
  xcb_clear_area(c, 0, window, 0, 0, 0, 0);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  ASSERT_TRUE(TextOutA(dc, x, y, kMessage, int(strlen(kMessage))));
  EXPECT_EQ(grab(), first);
  EXPECT_EQ(ReleaseDC(window, dc), 1);

  EXPECT_EQ(GetDC(0x1FFFFFF0), nullptr);  // no such window
  xcb_destroy_window(c, window);
  xcb_disconnect(c);
}

}  // namespace
