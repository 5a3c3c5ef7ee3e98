#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ref.h"

// An image ready to be put on faces: RGBA, top row first (v = 0 is the top).
class RMTexture : public RefCounted {
 public:
  RMTexture(int width, int height, std::vector<uint8_t> rgba);

  // Reads a .bmp, .ppm (P3, P6), .png ... file. Null when it cannot be read.
  static Ref<RMTexture> FromFile(const std::string& path);

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  const std::vector<uint8_t>& Pixels() const { return rgba_; }
  // RGBA of one texel, row 0 at the top.
  uint32_t PixelAt(int x, int y) const;
  // Identity for the renderer's caches, never reused within a process.
  uint64_t Id() const { return id_; }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> rgba_;
  uint64_t id_;
};
