#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/ddraw/ddraw_types.h"
#include "platform/ddraw/guid.h"
#include "platform/ddraw/surface_image.h"
#include "platform/gdi/gdi.h"
#include "platform/ref.h"
#include "platform/sys/types.h"

class DirectDraw;
class DirectDrawClipper;
class DirectDrawPalette;
class Direct3DDevice;
class SurfaceStore;

// A primary surface (the window, or the whole screen in full-screen mode), a
// back buffer (attached to a flipping primary, or a plain off-screen buffer in
// system memory) or a Z-buffer. Colour surfaces live in the driver's GL context.
class DirectDrawSurface : public RefCounted {
 public:
  enum class Kind { Primary, BackBuffer, OffScreen, ZBuffer };

  DirectDrawSurface(DirectDraw* owner, Kind kind, const DDSURFACEDESC& desc);
  ~DirectDrawSurface() override;

  bool GetAttachedSurface(const DDSCAPS& caps, Ref<DirectDrawSurface>* attached);
  bool AddAttachedSurface(DirectDrawSurface* surface);
  bool GetSurfaceDesc(DDSURFACEDESC* desc) const;

  // A colour fill (DDBLT_COLORFILL, fx->dwFillColor) or a copy of the source
  // rectangle into the destination rectangle (screen coordinates on a
  // windowed primary), scaled when the sizes differ.
  bool Blt(const RECT* destination, DirectDrawSurface* source, const RECT* sourceRect,
           uint32_t flags, const DDBLTFX* fx);
  // On a flipping primary: shows the back buffer.
  bool Flip(DirectDrawSurface* target, uint32_t flags);

  bool IsLost() const;
  bool Restore();

  bool SetClipper(DirectDrawClipper* clipper);
  bool SetPalette(DirectDrawPalette* palette);

  // A device context over the surface's pixels; what is drawn reaches the
  // surface at ReleaseDC.
  bool GetDC(HDC* dc);
  bool ReleaseDC(HDC dc);

  // A device GUID from the Direct3D enumeration gives the device that draws
  // into this surface. Only a 3-D device surface has one.
  bool QueryInterface(const GUID& deviceGuid, Ref<Direct3DDevice>* device);

  // What the surface holds now. On a primary that is the picture as presented.
  bool ReadBack(SurfaceImage* image);

  Kind GetKind() const { return kind_; }
  int Width() const { return int(desc_.dwWidth); }
  int Height() const { return int(desc_.dwHeight); }
  int BitsPerPixel() const { return int(desc_.dwRGBBitCount); }
  DirectDraw* Owner() const { return owner_.Get(); }
  void MarkLost() { lost_ = true; }
  SurfaceStore* Store() const { return store_.get(); }
  DirectDrawPalette* Palette() const { return palette_.Get(); }

 private:
  bool HasPixels() const;
  bool PresentTo(DirectDrawSurface* source, const RECT* destination, const RECT* sourceRect,
                 bool wholeWindow);

  Ref<DirectDraw> owner_;
  Kind kind_;
  DDSURFACEDESC desc_;
  std::atomic<bool> lost_{false};
  Ref<DirectDrawSurface> attached_;  // back buffer of a flipping primary
  Ref<DirectDrawSurface> zBuffer_;
  Ref<DirectDrawClipper> clipper_;
  Ref<DirectDrawPalette> palette_;
  std::unique_ptr<SurfaceStore> store_;
  // Kept between device contexts: a drawing made every frame would otherwise
  // map and fault in a whole screen of fresh memory each time.
  SurfaceImage dcImage_;
  HDC dc_ = nullptr;
};
