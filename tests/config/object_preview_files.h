#pragma once
#include <cstdint>
#include <string>

#include "config/object_preview.h"
#include "platform/ddraw/surface_image.h"

// Files the preview tests read, and what they look at.

// A text .x box centred on the origin with these half sizes, its faces turned
// outwards; with `image`, one material that names that texture file.
void WriteBox(const std::string& path, double hx, double hy, double hz,
              const std::string& image = {});
// A square image, its top half of colour `top` (0xRRGGBB), the rest of `bottom`.
void WritePpm(const std::string& path, int size, uint32_t top, uint32_t bottom);
// A real 16384 x 16384 24-bit bitmap, sparse on disk: black, and slow to decode.
void WriteHugeBmp(const std::string& path);
int LitPixels(const SurfaceImage& image);
// Ticks the preview, as the dialog's timer does, until a load on its way is done.
void Settle(ObjectPreview& preview);
