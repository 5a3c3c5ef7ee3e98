#pragma once
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ddraw/window_presenter.h"
#include "platform/gl/framebuffer.h"

// For a context that draws with the processor: the picture is read from GL
// once, at the back buffer's own size, into memory that the X server shares
// (MIT-SHM), and the server copies it into the window. A picture that must
// grow is scaled by the server (RENDER, nearest pixel) straight from that
// memory, so only the drawn pixels cross from GL to X, and nothing goes
// through the X socket but the requests. Two blocks of memory take turns:
// GL fills one while the server still reads the other, and a block is only
// filled again once the server is done with it.
class ShmPresenter : public WindowPresenter {
 public:
  enum class Scaling { kOnServer, kInGl };
  // Null when the server, the window or the context cannot do it.
  static std::unique_ptr<ShmPresenter> Create(DisplayDevice* device, Scaling scaling);
  ~ShmPresenter() override;

  bool Present(const Framebuffer& source, const RECT& from, const RECT& to,
               const DirectDrawPalette* palette, bool bars) override;
  // These three return once the server has carried everything out.
  bool Fill(const RECT& area, Colour colour) override;
  bool Read(SurfaceImage* picture) override;
  bool Write(const SurfaceImage& picture) override;
  bool OnDisplay() const override { return true; }
  const char* Name() const override {
    return scaling_ == Scaling::kOnServer ? "shm" : "shm, scaled in GL";
  }

 private:
  // A block of shared memory and, for RENDER, a pixmap of the picture in it:
  // the memory itself where the server shares pixmaps, else a copy.
  struct Buffer {
    uint32_t segment = 0;
    uint8_t* pixels = nullptr;
    size_t size = 0;
    uint32_t pixmap = 0;
    uint32_t picture = 0;
    int width = 0;
    int height = 0;
    // Answered once the server has done the requests that read the block.
    bool busy = false;
    xcb_get_input_focus_cookie_t done{};
  };
  ShmPresenter(DisplayDevice* device, xcb_connection_t* connection, Scaling scaling);
  bool SetUp();
  bool SetUpRender(xcb_visualid_t visual);
  // Shared memory of at least that many bytes in `b`, which the server is done with.
  bool Reserve(Buffer& b, size_t bytes);
  void Detach(Buffer& b);
  void FreePixmap(Buffer& b);
  // Waits until the server is done with `b`.
  void Settle(Buffer& b);
  // The next block for GL to fill, once the server is done with it.
  Buffer& Next();
  // Waits until the server has done everything asked of it.
  void Finish();
  bool ReadPixels(const Framebuffer& source, const RECT& from, const DirectDrawPalette* palette,
                  int width, int height, uint8_t* bgrx);
  void PutScaled(Buffer& b, int width, int height, const RECT& to);
  void FillRect(const RECT& area, uint32_t pixel);
  // Takes what the server sent back; false once the window is gone.
  bool WindowAlive();

  DisplayDevice* device_;
  xcb_connection_t* c_;
  Scaling scaling_;
  xcb_window_t window_;
  xcb_gcontext_t gc_ = 0;
  uint8_t depth_ = 0;
  size_t largest_ = 0;
  Buffer buffers_[2];
  int next_ = 0;
  bool sharedPixmaps_ = false;
  bool windowGone_ = false;
  // RENDER: the window's picture and the format of our pixels.
  uint32_t windowPicture_ = 0;
  uint32_t sourceFormat_ = 0;
  // The server frees the window's picture with the window; drawing to it then
  // fails with this error.
  uint8_t badPicture_ = 0;
  // Palette looks and, when the server cannot scale, scaled pictures.
  std::unique_ptr<Framebuffer> transfer_;
  // A 16-bit picture as GL stores it, before it is widened.
  std::vector<uint16_t> rgb565_;
};
