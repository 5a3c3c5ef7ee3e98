// The per-frame half of the Graphics context: viewport, rendering,
// presentation, lost surfaces and the window's place on the screen.
#include <cstring>
#include <utility>

#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/gdi/gdi.h"
#include "platform/rm/direct3drm.h"
#include "platform/win/window.h"
#include "stage/first_frame_sink.h"
#include "stage/graphics_context.h"

namespace {
std::atomic<FirstFrameSink*> firstFrameSink{nullptr};
}  // namespace

void SetFirstFrameSink(FirstFrameSink* sink) {
  firstFrameSink = sink;
}
FirstFrameSink* GetFirstFrameSink() {
  return firstFrameSink;
}

bool GraphicsContext::SetUpViewport(const Ref<RMFrame>& camera) {
  if (!rm || !rmDevice || !camera) return false;
  if (!rm->CreateViewport(rmDevice, camera, 0, 0, width, height, &viewport)) return false;
  if (!viewport->SetBack(5000.0f)) return false;
  viewport->Clear();
  return true;
}

bool GraphicsContext::SetReady(bool flag) {
  ready = flag;
  // Set-up drew on the window thread; frames are drawn on the Render thread.
  if (directDraw) directDraw->LeaveThread();
  return true;
}

bool GraphicsContext::RestoreLostSurfaces() {
  if (!ready || !primary) return true;
  if (primary->IsLost()) {
    if (!primary->Restore()) return false;
    if (viewport) viewport->ForceUpdate(0, 0, width, height);
  }
  if (zBuffer && zBuffer->IsLost()) {
    if (!zBuffer->Restore()) return false;
    if (viewport) viewport->ForceUpdate(0, 0, width, height);
  }
  return true;
}

bool GraphicsContext::RenderScene(const Ref<RMFrame>& scene) {
  if (!ready || !scene || !viewport || !rmDevice) return false;
  if (!viewport->Clear()) return false;
  if (!viewport->Render(scene)) return false;
  return rmDevice->Update();
}

bool GraphicsContext::Present() {
  if (!ready) return false;
  if (FirstFrameSink* sink = GetFirstFrameSink(); sink && !sink->FirstFrameSeen())
    sink->PostFirstFrame(window);
  if (!primary || !backBuffer) return false;
  DrawPendingOverlay();
  if (windowed) {
    const RECT source{0, 0, width, height};
    const RECT destination = CurrentWindowRect();
    return primary->Blt(&destination, backBuffer.Get(), &source, DDBLT_WAIT, nullptr);
  }
  return primary->Flip(backBuffer.Get(), DDFLIP_WAIT);
}

void GraphicsContext::UpdateWindowRect(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin;
  ClientToScreen(window, &origin);
  std::lock_guard guard(rectLock_);
  windowRect = RECT{client.left + origin.x, client.top + origin.y, client.right + origin.x,
                    client.bottom + origin.y};
  width = windowRect.right - windowRect.left;
  height = windowRect.bottom - windowRect.top;
}

RECT GraphicsContext::CurrentWindowRect() const {
  std::lock_guard guard(rectLock_);
  return windowRect;
}

void GraphicsContext::DrawOverlayText(int x, int y, const char* text) {
  if (!backBuffer || !text) return;
  overlay_ = Overlay{x, y, text};
}

void GraphicsContext::DrawPendingOverlay() {
  if (overlay_.text.empty()) return;
  const Overlay overlay = std::exchange(overlay_, Overlay{});
  SIZE extent;
  if (!PrepareOverlaySurface(overlay.text, &extent)) return;
  const RECT from{0, 0, extent.cx, extent.cy};
  const RECT to{overlay.x, overlay.y, overlay.x + extent.cx, overlay.y + extent.cy};
  backBuffer->Blt(&to, overlaySurface_.Get(), &from, DDBLT_WAIT, nullptr);
}

// The text is drawn on a surface of its own, just large enough, and only when
// it changes; each frame then copies that little surface into the back buffer
// instead of reading the whole picture back and uploading it again.
bool GraphicsContext::PrepareOverlaySurface(const std::string& text, SIZE* extent) {
  if (overlaySurface_ && overlaySurface_->IsLost()) {
    if (!overlaySurface_->Restore()) return false;
    overlayDrawn_.clear();
  }
  if (overlaySurface_ && text == overlayDrawn_) {
    *extent = overlayExtent_;
    return true;
  }
  // Measured on a pixel of memory: there need not be a display.
  uint32_t pixel = 0;
  HDC probe = CreateBitmapDC(&pixel, 1, 1, 4);
  const bool measured =
      GetTextExtentPoint32A(probe, text.c_str(), int(text.size()), extent) && extent->cx > 0;
  DeleteDC(probe);
  if (!measured || !directDraw) return false;
  if (!overlaySurface_ || overlaySurface_->Width() < extent->cx ||
      overlaySurface_->Height() < extent->cy) {
    overlaySurface_.Release();
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = uint32_t(extent->cx);
    desc.dwHeight = uint32_t(extent->cy);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (!directDraw->CreateSurface(desc, &overlaySurface_)) return false;
  }
  HDC dc = nullptr;
  if (!overlaySurface_->GetDC(&dc)) return false;
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  TextOutA(dc, 0, 0, text.c_str(), int(text.size()));
  if (!overlaySurface_->ReleaseDC(dc)) return false;
  overlayDrawn_ = text;
  overlayExtent_ = *extent;
  return true;
}
