#pragma once
#include <cstdint>
#include <vector>

// Pixels read back from a surface: rows top first, four bytes R, G, B, A each.
struct SurfaceImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  // 0xRRGGBB of the pixel at (x, y), y counted from the top.
  uint32_t Pixel(int x, int y) const {
    const uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
  }
};
