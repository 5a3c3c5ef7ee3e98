#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/framebuffer.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/render_target.h"

// A render target with no window: a headless context and a framebuffer of a
// fixed size. Tools and tests draw into it and read the picture back.
class OffscreenTarget : public RenderTarget {
 public:
  static std::unique_ptr<OffscreenTarget> Create(int width, int height, int depth_bits = 16,
                                                 ColorFormat format = ColorFormat::kRgba8);
  ~OffscreenTarget() override;

  bool MakeCurrent() override;
  unsigned Framebuffer() const override;
  int Width() const override;
  int Height() const override;
  bool HasDepth() const override;

  void DoneCurrent();
  // Makes the context current and reads the picture, top row first, RGBA.
  bool ReadPixels(std::vector<uint8_t>& rgba);
  GlContext& Context() { return *context_; }

 private:
  OffscreenTarget(std::unique_ptr<GlContext> context, std::unique_ptr<::Framebuffer> fbo);
  std::unique_ptr<GlContext> context_;
  std::unique_ptr<::Framebuffer> fbo_;
};
