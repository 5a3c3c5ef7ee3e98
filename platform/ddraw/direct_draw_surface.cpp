#include "platform/ddraw/direct_draw_surface.h"

#include <algorithm>
#include <vector>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/display_device.h"
#include "platform/ddraw/forced_surface_loss.h"
#include "platform/ddraw/surface_store.h"

namespace {

RECT Whole(int width, int height) {
  return RECT{0, 0, width, height};
}

bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

// The largest rectangle of the source's proportions centred in the screen: black
// bars where the shapes differ.
RECT FitKeepingProportions(int sourceWidth, int sourceHeight, int screenWidth, int screenHeight) {
  const double scale =
      std::min(double(screenWidth) / sourceWidth, double(screenHeight) / sourceHeight);
  const int width = int(sourceWidth * scale + 0.5), height = int(sourceHeight * scale + 0.5);
  const int left = (screenWidth - width) / 2, top = (screenHeight - height) / 2;
  return RECT{left, top, left + width, top + height};
}

Colour FillColour(uint32_t fill, int bits, const DirectDrawPalette* palette) {
  if (bits == 8 && palette) {
    const PALETTEENTRY& e = palette->Entries()[fill & 0xFF];
    return {e.peRed / 255.0f, e.peGreen / 255.0f, e.peBlue / 255.0f};
  }
  if (bits == 16)
    return {((fill >> 11) & 0x1F) / 31.0f, ((fill >> 5) & 0x3F) / 63.0f, (fill & 0x1F) / 31.0f};
  return {((fill >> 16) & 0xFF) / 255.0f, ((fill >> 8) & 0xFF) / 255.0f, (fill & 0xFF) / 255.0f};
}

}  // namespace

DirectDrawSurface::DirectDrawSurface(DirectDraw* owner, Kind kind, const DDSURFACEDESC& desc)
    : owner_(owner), kind_(kind), desc_(desc) {
  DisplayDevice* device = owner->Device();
  // A primary surface's pixels are its window's, kept by the device's presenter.
  if (kind != Kind::Primary && kind != Kind::ZBuffer && device) {
    store_ = std::make_unique<SurfaceStore>(
        device, Width(), Height(),
        BitsPerPixel() == 16 ? ColorFormat::kRgb565 : ColorFormat::kRgba8);
  }
  if (store_ && !store_->IsValid()) store_.reset();
  if (store_) {
    ContextScope scope(device);
    DisplayDevice::Fill(store_->Buffer(), Whole(store_->Width(), store_->Height()), 0, 0, 0);
  }
  owner->Register(this);
}

DirectDrawSurface::~DirectDrawSurface() {
  if (dc_) DeleteDC(dc_);
  owner_->Unregister(this);
}

bool DirectDrawSurface::GetAttachedSurface(const DDSCAPS& caps, Ref<DirectDrawSurface>* attached) {
  if (!attached) return false;
  if ((caps.dwCaps & DDSCAPS_BACKBUFFER) && attached_)
    *attached = attached_;
  else if ((caps.dwCaps & DDSCAPS_ZBUFFER) && zBuffer_)
    *attached = zBuffer_;
  else
    return false;
  return true;
}

bool DirectDrawSurface::AddAttachedSurface(DirectDrawSurface* surface) {
  if (!surface || surface == this) return false;
  if (surface->kind_ == Kind::BackBuffer && kind_ == Kind::Primary) {
    attached_ = surface;
    return true;
  }
  if (surface->kind_ != Kind::ZBuffer || !store_ || kind_ == Kind::Primary) return false;
  if (DirectDrawFaultsForTesting().failAttachZBuffer) return false;
  if (surface->Width() != Width() || surface->Height() != Height()) return false;
  // GL depth buffers come in 16 and 24 bits; 32 asks for the deepest there is.
  if (!store_->SetDepthBits(surface->desc_.dwZBufferBitDepth >= 24 ? 24 : 16)) return false;
  zBuffer_ = surface;
  return true;
}

bool DirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) const {
  if (!desc) return false;
  *desc = desc_;
  return true;
}

bool DirectDrawSurface::HasPixels() const {
  return kind_ == Kind::Primary ? owner_->Device() != nullptr : store_ != nullptr;
}

bool DirectDrawSurface::Blt(const RECT* destination, DirectDrawSurface* source,
                            const RECT* sourceRect, uint32_t flags, const DDBLTFX* fx) {
  if (IsLost() || !HasPixels()) return false;
  ContextScope scope(owner_->Device());
  if (!scope.Ok()) return false;
  if (flags & DDBLT_COLORFILL) {
    if (!fx) return false;
    const DirectDrawPalette* palette = palette_ ? palette_.Get() : owner_->SystemPalette();
    const Colour c = FillColour(fx->dwFillColor, BitsPerPixel(), palette);
    if (kind_ != Kind::Primary) {
      DisplayDevice::Fill(store_->Buffer(), destination ? *destination : Whole(Width(), Height()),
                          c.r, c.g, c.b);
      return true;
    }
    DisplayDevice* device = owner_->Device();
    RECT area = destination ? *destination : Whole(device->WindowWidth(), device->WindowHeight());
    if (destination && !device->IsOffscreen() && !owner_->InDisplayMode()) {
      const POINT origin = device->WindowOrigin();
      area = RECT{area.left - origin.x, area.top - origin.y, area.right - origin.x,
                  area.bottom - origin.y};
    }
    return device->Presenter().Fill(area, c);
  }
  if (!source || source->IsLost() || !source->store_) return false;
  const RECT from = sourceRect ? *sourceRect : Whole(source->Width(), source->Height());
  if (IsEmpty(from)) return false;
  if (kind_ != Kind::Primary) {
    const RECT to = destination ? *destination : Whole(Width(), Height());
    return owner_->Device()->Copy(source->store_->Buffer(), from, store_->Buffer(), to, nullptr);
  }
  return PresentTo(source, destination, &from, false);
}

bool DirectDrawSurface::PresentTo(DirectDrawSurface* source, const RECT* destination,
                                  const RECT* sourceRect, bool wholeWindow) {
  DisplayDevice* device = owner_->Device();
  const int screenWidth = device->WindowWidth(), screenHeight = device->WindowHeight();
  RECT to;
  if (wholeWindow) {
    to = FitKeepingProportions(source->Width(), source->Height(), screenWidth, screenHeight);
  } else if (destination) {
    // A windowed primary is addressed in screen coordinates; its picture is
    // the window's client area.
    const POINT origin = device->WindowOrigin();
    to = RECT{destination->left - origin.x, destination->top - origin.y,
              destination->right - origin.x, destination->bottom - origin.y};
  } else {
    to = Whole(screenWidth, screenHeight);
  }
  const DirectDrawPalette* palette = nullptr;
  if (source->BitsPerPixel() == 8) {
    palette = source->palette_ ? source->palette_.Get()
              : palette_       ? palette_.Get()
                               : owner_->SystemPalette();
  }
  const bool shown = device->Presenter().Present(source->store_->Buffer(), *sourceRect, to,
                                                 palette, wholeWindow);
  if (shown) CountPresentationForForcedLoss(owner_.Get());
  return shown;
}

bool DirectDrawSurface::Flip(DirectDrawSurface* target, uint32_t) {
  DirectDrawSurface* back = target ? target : attached_.Get();
  if (kind_ != Kind::Primary || !back || back != attached_.Get() || IsLost() || back->IsLost())
    return false;
  DisplayDevice* device = owner_->Device();
  if (!device || !back->store_) return false;
  // A flip shows at the display's next vertical blank; until then it is
  // pending, and the next one waits for it (with or without DDFLIP_WAIT: a
  // caller that cannot wait has no other flip to make meanwhile).
  FlipPacer* pacer = device->Pacer(owner_->GetMonitor().refreshHz);
  if (pacer) pacer->WaitForPendingFlip();
  ContextScope scope(device);
  if (!scope.Ok()) return false;
  const RECT from = Whole(back->Width(), back->Height());
  if (!PresentTo(back, nullptr, &from, true)) return false;
  if (pacer) pacer->Flipped();
  return true;
}

bool DirectDrawSurface::IsLost() const {
  return lost_.load();
}

bool DirectDrawSurface::Restore() {
  if (owner_->RestoreFails()) return false;
  lost_ = false;
  // A flip chain comes back as a whole.
  if (attached_) attached_->lost_ = false;
  return true;
}

bool DirectDrawSurface::SetClipper(DirectDrawClipper* clipper) {
  if (kind_ != Kind::Primary) return false;
  clipper_ = clipper;
  return true;
}

bool DirectDrawSurface::SetPalette(DirectDrawPalette* palette) {
  if (kind_ == Kind::ZBuffer) return false;
  palette_ = palette;
  return true;
}

bool DirectDrawSurface::GetDC(HDC* dc) {
  if (!dc || !HasPixels() || dc_ || IsLost()) return false;
  if (!ReadBack(&dcImage_)) return false;
  dc_ = CreateBitmapDC(dcImage_.rgba.data(), dcImage_.width, dcImage_.height, dcImage_.width * 4);
  if (!dc_) return false;
  *dc = dc_;
  return true;
}

bool DirectDrawSurface::ReleaseDC(HDC dc) {
  if (!dc || dc != dc_) return false;
  DeleteDC(dc_);
  dc_ = nullptr;
  ContextScope scope(owner_->Device());
  if (!scope.Ok()) return false;
  if (kind_ == Kind::Primary) return owner_->Device()->Presenter().Write(dcImage_);
  return store_->Upload(dcImage_.rgba.data());
}

bool DirectDrawSurface::QueryInterface(const GUID& deviceGuid, Ref<Direct3DDevice>* device) {
  if (!device || !store_ || !(desc_.ddsCaps.dwCaps & DDSCAPS_3DDEVICE) ||
      !IsKnownDevice(deviceGuid) || DirectDrawFaultsForTesting().failDevice)
    return false;
  *device =
      Ref<Direct3DDevice>(new Direct3DDevice(store_.get(), IsHardwareDevice(deviceGuid), this));
  return true;
}

bool DirectDrawSurface::ReadBack(SurfaceImage* image) {
  if (!image || !HasPixels()) return false;
  ContextScope scope(owner_->Device());
  if (!scope.Ok()) return false;
  if (kind_ == Kind::Primary) return owner_->Device()->Presenter().Read(image);
  image->width = store_->Width();
  image->height = store_->Height();
  return store_->Buffer().ReadPixels(image->rgba);
}
