#pragma once
#include <memory>

// An OpenGL 3.3 core context reached through EGL. One thread uses it at a
// time: the thread that renders makes it current, and must call DoneCurrent
// before another thread can take it over.
class GlContext {
 public:
  enum class Headless { kAny, kSurfaceless, kX11Pbuffer };
  // A context with no window: EGL surfaceless where the driver offers it,
  // otherwise a small pbuffer on the default X display. Null when neither works.
  static std::unique_ptr<GlContext> CreateHeadless(Headless kind = Headless::kAny);
  // A context drawing into the X window `window` (an X window id) on the
  // default display, or on `display_name` when given. Swap interval 0.
  static std::unique_ptr<GlContext> CreateForWindow(unsigned long window,
                                                    const char* display_name = nullptr);

  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  bool IsValid() const;
  bool MakeCurrent();
  void DoneCurrent();
  // Shows the back buffer of a window context; a headless context has none.
  bool SwapBuffers();
  // Size of the window surface in pixels (0 x 0 for a headless context).
  int SurfaceWidth() const;
  int SurfaceHeight() const;
  bool IsHeadless() const;
  // True when the pixels are drawn by the processor (llvmpipe, softpipe):
  // then a picture is in main memory anyway and the cheapest way to the
  // screen is not the GL window surface. Needs the context current.
  bool IsSoftware() const;
  // 0: a swap shows at once; 1: at the monitor's next vertical blank where the
  // driver knows it. Needs the context current.
  bool SetSwapInterval(int interval);

  struct State;

 private:
  explicit GlContext(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};
