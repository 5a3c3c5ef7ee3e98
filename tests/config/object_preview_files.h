#pragma once
#include <cstdint>
#include <string>

#include "platform/ddraw/surface_image.h"

// Files the preview tests read, and what they look at.

// A text .x box centred on the origin with these half sizes, its faces turned
// outwards; with `image`, one material that names that texture file.
void WriteBox(const std::string& path, double hx, double hy, double hz,
              const std::string& image = {});
void WritePpm(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b);
// A real 16384 x 16384 24-bit bitmap, sparse on disk: black, and slow to decode.
void WriteHugeBmp(const std::string& path);
int LitPixels(const SurfaceImage& image);
