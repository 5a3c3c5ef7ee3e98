#pragma once
#include <cstdint>
#include <span>

// Icon resources as pixel art: each row is a string of palette letters, and a
// letter the palette does not name is transparent.
struct IconPaletteEntry {
  char letter;
  uint32_t argb;
};

struct IconImage {
  uint32_t id;
  int width;
  int height;
  std::span<const IconPaletteEntry> palette;
  const char* const* rows;  // height rows of width letters
};

// Icon 100, the program's own: a glider on a dark board, its last cell budding
// a daughter. Null for any other number.
const IconImage* FindIconResource(uint32_t id);

// The colour of pixel (x, y) as 0xAARRGGBB; 0 (transparent) outside the image.
uint32_t IconPixel(const IconImage& icon, int x, int y);
