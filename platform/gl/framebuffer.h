#pragma once
#include <cstdint>
#include <vector>

enum class ColorFormat { kRgba8, kRgb565 };
enum class ColorStorage { kRenderbuffer, kTexture };

// A framebuffer object with one colour attachment and an optional depth
// buffer. Every call needs the owning context current on the calling thread,
// the destructor included.
class Framebuffer {
 public:
  // depth_bits: 0 (none), 16 or 24.
  Framebuffer(int width, int height, ColorFormat format, int depth_bits,
              ColorStorage storage = ColorStorage::kRenderbuffer);
  ~Framebuffer();
  Framebuffer(const Framebuffer&) = delete;
  Framebuffer& operator=(const Framebuffer&) = delete;

  bool IsValid() const { return valid_; }
  unsigned Name() const { return fbo_; }
  // GL texture holding the colour when made with ColorStorage::kTexture, else 0.
  unsigned ColorTexture() const { return storage_ == ColorStorage::kTexture ? color_ : 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int DepthBits() const { return depth_bits_; }
  bool HasDepth() const { return depth_bits_ != 0; }
  ColorFormat Format() const { return format_; }

  // Reallocates the attachments; the content is lost.
  bool Resize(int width, int height);
  // Reads the whole colour buffer into `rgba`, top row first, 4 bytes a pixel.
  bool ReadPixels(std::vector<uint8_t>& rgba) const;

 private:
  bool Allocate();
  void Free();

  int width_;
  int height_;
  ColorFormat format_;
  int depth_bits_;
  ColorStorage storage_;
  unsigned fbo_ = 0;
  unsigned color_ = 0;
  unsigned depth_ = 0;
  bool valid_ = false;
};
