#include "platform/ddraw/composed_presenter.h"

#include <epoxy/gl.h>

#include "platform/ddraw/around_picture.h"
#include "platform/ddraw/display_device.h"

namespace {

RECT Whole(const Framebuffer& buffer) {
  return RECT{0, 0, buffer.Width(), buffer.Height()};
}

}  // namespace

ComposedPresenter::ComposedPresenter(DisplayDevice* device, bool onWindow)
    : device_(device),
      onWindow_(onWindow),
      screen_(device, device->WindowWidth(), device->WindowHeight(), ColorFormat::kRgba8) {
  if (screen_.IsValid()) DisplayDevice::Fill(screen_.Buffer(), Whole(screen_.Buffer()), 0, 0, 0);
}

bool ComposedPresenter::Present(const Framebuffer& source, const RECT& from, const RECT& to,
                                const DirectDrawPalette* palette, bool bars) {
  Framebuffer& screen = screen_.Buffer();
  if (bars) {
    AroundPicture(screen.Width(), screen.Height(), to,
                  [&](const RECT& bar) { DisplayDevice::Fill(screen, bar, 0, 0, 0); });
  }
  return device_->Copy(source, from, screen, to, palette) && Show();
}

bool ComposedPresenter::Fill(const RECT& area, Colour colour) {
  DisplayDevice::Fill(screen_.Buffer(), area, colour.r, colour.g, colour.b);
  return Show();
}

bool ComposedPresenter::Read(SurfaceImage* picture) {
  picture->width = screen_.Width();
  picture->height = screen_.Height();
  return screen_.Buffer().ReadPixels(picture->rgba);
}

bool ComposedPresenter::Write(const SurfaceImage& picture) {
  if (picture.width != screen_.Width() || picture.height != screen_.Height()) return false;
  return screen_.Upload(picture.rgba.data()) && Show();
}

void ComposedPresenter::FollowVerticalBlank() {
  // A GPU's driver swaps at the real blank; our own pacing (FlipPacer) still
  // holds where the driver ignores the interval, as software drivers do.
  if (onWindow_) device_->Context().SetSwapInterval(1);
}

bool ComposedPresenter::Show() {
  if (!onWindow_) return true;
  GlContext& context = device_->Context();
  // The picture sits at the window's top-left, as X places a window's pixels.
  const Framebuffer& screen = screen_.Buffer();
  DisplayDevice::PlainState();
  const int h = context.SurfaceHeight() > 0 ? context.SurfaceHeight() : screen.Height();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, screen.Name());
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, screen.Width(), screen.Height(), 0, h - screen.Height(), screen.Width(),
                    h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return context.SwapBuffers();
}
