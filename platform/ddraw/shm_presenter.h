#pragma once
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>

#include "platform/ddraw/window_presenter.h"
#include "platform/gl/framebuffer.h"

// For a context that draws with the processor: the picture is read from GL
// once, at the back buffer's own size, into memory that the X server shares
// (MIT-SHM), and the server copies it into the window. A picture that must
// grow is scaled by the server (RENDER, nearest pixel) on its way from a
// pixmap to the window, so only the drawn pixels cross from GL to X. Nothing
// goes through the X socket but the requests. A call returns once the server
// has carried it out, so the window shows the picture to anyone who looks.
class ShmPresenter : public WindowPresenter {
 public:
  enum class Scaling { kOnServer, kInGl };
  // Null when the server, the window or the context cannot do it.
  static std::unique_ptr<ShmPresenter> Create(DisplayDevice* device, Scaling scaling);
  ~ShmPresenter() override;

  bool Present(const Framebuffer& source, const RECT& from, const RECT& to,
               const DirectDrawPalette* palette, bool bars) override;
  bool Fill(const RECT& area, Colour colour) override;
  bool Read(SurfaceImage* picture) override;
  bool Write(const SurfaceImage& picture) override;
  bool OnDisplay() const override { return true; }
  const char* Name() const override {
    return scaling_ == Scaling::kOnServer ? "shm" : "shm, scaled in GL";
  }

 private:
  ShmPresenter(DisplayDevice* device, xcb_connection_t* connection, Scaling scaling);
  bool SetUp();
  bool SetUpRender(xcb_visualid_t visual);
  // Shared memory of at least that many bytes.
  bool Reserve(size_t bytes);
  bool Attach(size_t bytes);
  void Detach();
  // Waits until the server has done everything asked of it.
  void Finish();
  bool ReadPixels(const Framebuffer& source, const RECT& from, const DirectDrawPalette* palette,
                  int width, int height, uint8_t* bgra);
  void PutScaled(int width, int height, const RECT& to);
  void FillRect(const RECT& area, uint32_t pixel);
  // Takes what the server sent back; false once the window is gone.
  bool WindowAlive();

  DisplayDevice* device_;
  xcb_connection_t* c_;
  Scaling scaling_;
  xcb_window_t window_;
  xcb_gcontext_t gc_ = 0;
  uint8_t depth_ = 0;
  uint32_t segment_ = 0;
  uint8_t* pixels_ = nullptr;
  size_t size_ = 0;
  bool windowGone_ = false;
  // RENDER: the window's picture and a pixmap of the source's size to scale from.
  uint32_t windowPicture_ = 0;
  uint32_t sourceFormat_ = 0;
  uint32_t pixmap_ = 0;
  uint32_t pixmapPicture_ = 0;
  int pixmapWidth_ = 0;
  int pixmapHeight_ = 0;
  // Palette looks and, when the server cannot scale, scaled pictures.
  std::unique_ptr<Framebuffer> transfer_;
};
