#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/framebuffer.h"
#include "platform/gl/render_target.h"

class DisplayDevice;

// The pixels of a colour surface: a framebuffer in its driver's context, with a
// depth buffer once a Z-buffer is attached. A 3-D device draws into it.
class SurfaceStore : public RenderTarget {
 public:
  SurfaceStore(DisplayDevice* device, int width, int height, ColorFormat format);
  ~SurfaceStore() override;

  bool IsValid() const { return fbo_ && fbo_->IsValid(); }
  // Remakes the buffer with a depth buffer of that many bits (0: none).
  bool SetDepthBits(int bits);

  bool MakeCurrent() override;
  unsigned Framebuffer() const override { return fbo_ ? fbo_->Name() : 0; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool HasDepth() const override { return fbo_ && fbo_->HasDepth(); }

  ::Framebuffer& Buffer() { return *fbo_; }
  // Replaces the whole picture with `rgba`, top row first.
  bool Upload(const uint8_t* rgba);

 private:
  DisplayDevice* device_;
  int width_;
  int height_;
  ColorFormat format_;
  std::unique_ptr<::Framebuffer> fbo_;
  std::vector<uint8_t> bottomUp_;  // reused: uploads can come every frame
};
