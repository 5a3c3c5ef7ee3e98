#pragma once
#include <memory>

#include "platform/ddraw/surface_store.h"
#include "platform/ddraw/window_presenter.h"

// The window's picture kept in a framebuffer of the window's size, composed on
// the GL side and shown by a swap of the window surface. On a GPU nothing
// leaves video memory. An offscreen window has no surface: the framebuffer is
// all there is of it.
class ComposedPresenter : public WindowPresenter {
 public:
  ComposedPresenter(DisplayDevice* device, bool onWindow);
  bool IsValid() const { return screen_.IsValid(); }

  bool Present(const Framebuffer& source, const RECT& from, const RECT& to,
               const DirectDrawPalette* palette, bool bars) override;
  bool Fill(const RECT& area, Colour colour) override;
  bool Read(SurfaceImage* picture) override;
  bool Write(const SurfaceImage& picture) override;
  bool OnDisplay() const override { return onWindow_; }
  void FollowVerticalBlank() override;
  const char* Name() const override { return onWindow_ ? "gl" : "offscreen"; }

 private:
  bool Show();

  DisplayDevice* device_;
  bool onWindow_;
  SurfaceStore screen_;
};
