#include <array>
#include <cstddef>

#include "platform/gdi/gdi.h"

namespace {

// The twenty colours that stay fixed in every 8-bit palette: ten at the bottom
// and ten at the top.
constexpr std::array<PALETTEENTRY, 10> kLowStatic = {{{0, 0, 0, 0},
                                                      {128, 0, 0, 0},
                                                      {0, 128, 0, 0},
                                                      {128, 128, 0, 0},
                                                      {0, 0, 128, 0},
                                                      {128, 0, 128, 0},
                                                      {0, 128, 128, 0},
                                                      {192, 192, 192, 0},
                                                      {192, 220, 192, 0},
                                                      {166, 202, 240, 0}}};
constexpr std::array<PALETTEENTRY, 10> kHighStatic = {{{255, 251, 240, 0},
                                                       {160, 160, 164, 0},
                                                       {128, 128, 128, 0},
                                                       {255, 0, 0, 0},
                                                       {0, 255, 0, 0},
                                                       {255, 255, 0, 0},
                                                       {0, 0, 255, 0},
                                                       {255, 0, 255, 0},
                                                       {0, 255, 255, 0},
                                                       {255, 255, 255, 0}}};

std::array<PALETTEENTRY, 256> MakeSystemPalette() {
  std::array<PALETTEENTRY, 256> palette{};
  for (int i = 0; i < 10; ++i) {
    palette[std::size_t(i)] = kLowStatic[std::size_t(i)];
    palette[std::size_t(246 + i)] = kHighStatic[std::size_t(i)];
  }
  // Between them: a 6 x 6 x 6 colour cube and a ramp of twenty greys.
  std::size_t next = 10;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette[next++] = {uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51), 0};
  for (int i = 0; i < 20; ++i) {
    const auto grey = uint8_t(8 + i * 12);
    palette[next++] = {grey, grey, grey, 0};
  }
  return palette;
}

}  // namespace

unsigned GetSystemPaletteEntries(HDC, unsigned start, unsigned count, PALETTEENTRY* entries) {
  static const std::array<PALETTEENTRY, 256> palette = MakeSystemPalette();
  if (!entries) return 0;
  unsigned copied = 0;
  for (unsigned i = start; i < 256 && copied < count; ++i) entries[copied++] = palette[i];
  return copied;
}
