#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

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

// An opaque cell in the background colour, and a glyph of its own for each
// kana: a missing glyph draws the same box every time.
TEST(GothicText, OpaqueCellsOfRealGlyphs) {
  std::vector<uint8_t> drawn[2];
  for (int i = 0; i < 2; ++i) {
    const char* text = i == 0 ? "Aの" : "A失";
    Bitmap bitmap(300, 40);
    std::fill(bitmap.pixels.begin(), bitmap.pixels.end(), 0x80);
    SetTextColor(bitmap.dc, RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(bitmap.dc, RGB(0, 0, 0)), RGB(255, 255, 255));
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32A(bitmap.dc, text, int(strlen(text)), &extent));
    ASSERT_TRUE(TextOutA(bitmap.dc, 5, 6, text, int(strlen(text))));
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
    EXPECT_GT(white, 15);
    drawn[i] = bitmap.pixels;
  }
  EXPECT_NE(drawn[0], drawn[1]);
}

}  // namespace
