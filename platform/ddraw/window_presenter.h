#pragma once
#include <memory>

#include "platform/ddraw/surface_image.h"
#include "platform/sys/types.h"

class DirectDrawPalette;
class DisplayDevice;
class Framebuffer;

struct Colour {
  float r = 0, g = 0, b = 0;
};

// Takes pictures from back buffers to a primary surface's window: the window's
// picture is what a primary surface holds. Every call needs the device's
// context current.
class WindowPresenter {
 public:
  virtual ~WindowPresenter() = default;

  // Puts `from` of the source (pixels from its top-left) at `to` of the window,
  // scaled by nearest pixel; with a palette, as an 8-bit screen shows the source
  // in those 256 colours. With `bars`, the rest of the window turns black.
  virtual bool Present(const Framebuffer& source, const RECT& from, const RECT& to,
                       const DirectDrawPalette* palette, bool bars) = 0;
  // Fills `area` of the window with an opaque colour.
  virtual bool Fill(const RECT& area, Colour colour) = 0;
  // The window's picture as it is shown, top row first.
  virtual bool Read(SurfaceImage* picture) = 0;
  // Replaces the window's whole picture.
  virtual bool Write(const SurfaceImage& picture) = 0;
  // Whether the pictures really reach a display (and so are paced by it).
  virtual bool OnDisplay() const = 0;
  // From now on pictures are flipped full screen: where the driver knows the
  // display's vertical blank, let it hold each picture for the next one.
  virtual void FollowVerticalBlank() {}
  virtual const char* Name() const = 0;
};

// The cheapest way to the window that the device's context allows (see
// platform/ddraw/README.md). QUELLAR_PRESENTATION=gl or =shm asks for one way;
// when the variable is set at all, the choice is written to standard error.
std::unique_ptr<WindowPresenter> ChoosePresenter(DisplayDevice* device);
