#pragma once
#include <memory>
#include <mutex>

#include "platform/ddraw/flip_pacer.h"
#include "platform/ddraw/window_presenter.h"
#include "platform/gl/framebuffer.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_objects.h"
#include "platform/sys/types.h"

class DirectDrawPalette;

// The GL side of one DirectDraw object: a context on its window (or a headless
// one for an offscreen window), the programs that copy between surfaces and
// the presenter that takes pictures to the window.
class DisplayDevice {
 public:
  static std::unique_ptr<DisplayDevice> ForWindow(HWND window);
  ~DisplayDevice();

  HWND Window() const { return window_; }
  bool IsOffscreen() const { return offscreen_; }
  int WindowWidth() const { return width_; }
  int WindowHeight() const { return height_; }
  GlContext& Context() { return *context_; }

  // The window's client origin on the screen; (0, 0) for an offscreen window.
  POINT WindowOrigin() const;

  // Copies `from` of the source into `to` of the target, both in pixels from
  // the top-left, scaled by nearest pixel. With a palette the source is shown
  // as an 8-bit surface would show it in those 256 colours.
  bool Copy(const Framebuffer& source, const RECT& from, Framebuffer& target, const RECT& to,
            const DirectDrawPalette* palette);
  // Fills `area` (from the top-left) with an opaque colour.
  static void Fill(Framebuffer& target, const RECT& area, float r, float g, float b);
  // Leaves no scissor, depth test, blending or masks of the renderer's behind.
  static void PlainState();

  WindowPresenter& Presenter() { return *presenter_; }
  // Full-screen flips on a real display wait for the vertical blanks of a
  // monitor of that many refreshes a second (0: unknown); null elsewhere.
  FlipPacer* Pacer(double refreshRate);

 private:
  DisplayDevice(HWND window, std::unique_ptr<GlContext> context, int width, int height,
                bool offscreen);
  bool PreparePaletteLook(const DirectDrawPalette& palette);

  HWND window_;
  std::unique_ptr<GlContext> context_;
  int width_;
  int height_;
  bool offscreen_;
  std::unique_ptr<GlProgram> paletteProgram_;
  std::unique_ptr<GlVertexArray> quad_;
  std::unique_ptr<GlTexture> lookup_;
  const DirectDrawPalette* lookupPalette_ = nullptr;
  uint32_t lookupVersion_ = 0;
  std::unique_ptr<WindowPresenter> presenter_;
  std::unique_ptr<FlipPacer> pacer_;
};

// Makes the device's context current for one operation and lets it go again
// at the end, so that the window thread and the Render thread can take turns.
// Nested scopes on one thread hold it once.
class ContextScope {
 public:
  explicit ContextScope(DisplayDevice* device);
  ~ContextScope();
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;
  bool Ok() const { return ok_; }

 private:
  DisplayDevice* device_;
  bool ok_ = false;
};
