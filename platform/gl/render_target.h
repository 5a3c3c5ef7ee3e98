#pragma once

// Where a 3-D device draws: a GL framebuffer in a context that the display
// side owns (a window's back buffer, a full-screen mode's offscreen buffer or a
// headless buffer). The retained-mode device renders into it; the display side
// presents it.
class RenderTarget {
public:
  virtual ~RenderTarget() = default;
  // Makes the owning context current on the calling thread.
  virtual bool MakeCurrent() = 0;
  // GL name of the framebuffer object to draw into.
  virtual unsigned Framebuffer() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool HasDepth() const = 0;
};
