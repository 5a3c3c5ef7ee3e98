#include "platform/ddraw/direct_draw.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/display_device.h"
#include "platform/ddraw/monitor_blanking.h"
#include "platform/ddraw/x_display.h"
#include "platform/gdi/x_connection.h"
#include "platform/win/offscreen_window.h"
#include "platform/win/window.h"

namespace {

// A monitor's GUID comes from its output's name (FNV-1a), so that it names the
// same monitor however the list is ordered when the driver is opened.
GUID MonitorGuid(const Monitor& monitor) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : monitor.name) hash = (hash ^ c) * 16777619u;
  return GUID{hash, 0x6C1D, 0x4B5E, {0x9A, 0x31, 0x4D, 0x4F, 0x4E, 0x49, 0x54, 0x52}};
}

std::string Describe(const Monitor& monitor) {
  const RECT& a = monitor.area;
  std::string text = "Monitor " + monitor.name + ", " + std::to_string(a.right - a.left) + " x " +
                     std::to_string(a.bottom - a.top) + " at (" + std::to_string(a.left) + ", " +
                     std::to_string(a.top) + ")";
  if (monitor.refreshHz > 0) text += ", " + std::to_string(int(monitor.refreshHz + 0.5)) + " Hz";
  return monitor.primary ? text + ", primary" : text;
}

bool IsFullScreenExclusive(uint32_t flags) {
  return (flags & DDSCL_FULLSCREEN) && (flags & DDSCL_EXCLUSIVE);
}

bool IsModeSize(uint32_t width, uint32_t height) {
  return (width == 640 && height == 480) || (width == 800 && height == 600) ||
         (width == 1024 && height == 768);
}

bool IsModeDepth(uint32_t bits) {
  return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

int DesktopBits() {
  WindowFacts facts;
  return QueryWindow(0, &facts) ? facts.bitsPerPixel : 32;
}

}  // namespace

DirectDrawFaults& DirectDrawFaultsForTesting() {
  static DirectDrawFaults faults;
  return faults;
}

bool DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context) {
  if (!callback) return false;
  const std::vector<Monitor> monitors = ListMonitors();
  const Monitor* primary = PrimaryMonitor(monitors);
  const std::string description =
      primary ? "Primary display: " + Describe(*primary) : std::string("Primary display");
  if (!callback(nullptr, description.c_str(), "display", context)) return true;
  for (const Monitor& monitor : monitors) {
    const GUID guid = MonitorGuid(monitor);
    if (!callback(&guid, Describe(monitor).c_str(), monitor.name.c_str(), context)) break;
  }
  return true;
}

bool DirectDrawCreate(const GUID* guid, Ref<DirectDraw>* directDraw) {
  if (!directDraw || DirectDrawFaultsForTesting().failCreate) return false;
  const std::vector<Monitor> monitors = ListMonitors();
  const Monitor* chosen = PrimaryMonitor(monitors);
  if (guid) {
    chosen = nullptr;
    for (const Monitor& monitor : monitors)
      if (IsEqualGUID(*guid, MonitorGuid(monitor))) chosen = &monitor;
    if (!chosen) return false;
  }
  *directDraw = Ref<DirectDraw>(new DirectDraw(chosen ? *chosen : Monitor{}));
  return true;
}

DirectDraw::DirectDraw(const Monitor& monitor) : monitor_(monitor) {}

// The device (and its context on the window) goes before the covers come off.
DirectDraw::~DirectDraw() {
  device_.reset();
  blanking_.reset();
}

bool DirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) const {
  // Everything is drawn by the same GL renderer, so the driver has it all.
  const DDCAPS caps{DDCAPS_3D,
                    DDSCAPS{DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_ZBUFFER | DDSCAPS_FLIP |
                            DDSCAPS_OFFSCREENPLAIN},
                    256u << 20};
  if (driverCaps) *driverCaps = caps;
  if (emulationCaps) *emulationCaps = caps;
  return true;
}

bool DirectDraw::SetCooperativeLevel(HWND window, uint32_t flags) {
  cooperativeFlags_ = flags;
  if (!IsFullScreenExclusive(flags)) blanking_.reset();
  if (device_ && device_->Window() == window) return true;
  window_ = window;
  if (IsFullScreenExclusive(flags) && !IsOffscreenWindow(window)) TakeMonitor(window);
  device_ = DisplayDevice::ForWindow(window);
  return device_ != nullptr;
}

// A window made to cover the whole screen is fitted to the driver's monitor;
// the other monitors are covered before it leaves them.
void DirectDraw::TakeMonitor(HWND window) {
  const RECT& area = monitor_.area;
  RECT now;
  if (area.right <= area.left || area.bottom <= area.top || !GetWindowRect(window, &now) ||
      now.left > area.left || now.top > area.top || now.right < area.right ||
      now.bottom < area.bottom)
    return;
  blanking_ = std::make_unique<MonitorBlanking>(monitor_, window);
  SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
               area.bottom - area.top, 0);
}

bool DirectDraw::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
  if (DirectDrawFaultsForTesting().failSetDisplayMode) return false;
  if (!(cooperativeFlags_ & DDSCL_EXCLUSIVE) || !(cooperativeFlags_ & DDSCL_FULLSCREEN))
    return false;
  if (!IsModeSize(width, height) || !IsModeDepth(bitsPerPixel)) return false;
  modeWidth_ = width;
  modeHeight_ = height;
  modeBits_ = bitsPerPixel;
  return true;
}

bool DirectDraw::RestoreDisplayMode() {
  // The monitor's mode was never changed; only the virtual one goes.
  modeWidth_ = modeHeight_ = modeBits_ = 0;
  return true;
}

int DirectDraw::DisplayBits() const {
  return modeBits_ ? int(modeBits_) : DesktopBits();
}

DirectDrawPalette* DirectDraw::SystemPalette() {
  if (!systemPalette_) {
    std::array<PALETTEENTRY, 256> entries{};
    GetSystemPaletteEntries(nullptr, 0, 256, entries.data());
    systemPalette_ = Ref<DirectDrawPalette>(new DirectDrawPalette(entries.data()));
  }
  return systemPalette_.Get();
}

bool DirectDraw::CreatePrimary(const DDSURFACEDESC& desc, Ref<DirectDrawSurface>* surface) {
  if (!device_ || DirectDrawFaultsForTesting().failPrimarySurface) return false;
  DDSURFACEDESC primary;
  primary.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  primary.ddsCaps.dwCaps = desc.ddsCaps.dwCaps | DDSCAPS_FRONTBUFFER | DDSCAPS_VIDEOMEMORY;
  const bool flipping = (desc.ddsCaps.dwCaps & DDSCAPS_FLIP) &&
                        (desc.dwFlags & DDSD_BACKBUFFERCOUNT) && desc.dwBackBufferCount >= 1;
  if (flipping) {
    // A flip chain needs the whole screen to itself.
    if (!InDisplayMode() || !(cooperativeFlags_ & DDSCL_EXCLUSIVE)) return false;
    primary.dwWidth = modeWidth_;
    primary.dwHeight = modeHeight_;
  } else {
    int width = device_->WindowWidth(), height = device_->WindowHeight();
    if (!device_->IsOffscreen()) XScreenSize(0, &width, &height);
    primary.dwWidth = uint32_t(width);
    primary.dwHeight = uint32_t(height);
  }
  primary.dwRGBBitCount = uint32_t(DisplayBits());
  Ref<DirectDrawSurface> made(
      new DirectDrawSurface(this, DirectDrawSurface::Kind::Primary, primary));
  if (flipping) {
    DDSURFACEDESC back = primary;
    back.ddsCaps.dwCaps =
        DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_FLIP;
    Ref<DirectDrawSurface> backBuffer(
        new DirectDrawSurface(this, DirectDrawSurface::Kind::BackBuffer, back));
    if (!backBuffer->Store() || !made->AddAttachedSurface(backBuffer.Get())) return false;
  }
  *surface = made;
  return true;
}

bool DirectDraw::CreateSurface(const DDSURFACEDESC& desc, Ref<DirectDrawSurface>* surface) {
  if (!surface || !(desc.dwFlags & DDSD_CAPS)) return false;
  ContextScope scope(device_.get());
  const uint32_t caps = desc.ddsCaps.dwCaps;
  if (caps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(desc, surface);
  const bool sized = (desc.dwFlags & DDSD_WIDTH) && (desc.dwFlags & DDSD_HEIGHT) &&
                     desc.dwWidth > 0 && desc.dwHeight > 0 && desc.dwWidth <= 8192 &&
                     desc.dwHeight <= 8192;
  if (!sized || !device_) return false;
  DDSURFACEDESC made = desc;
  made.dwFlags |= DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  if (caps & DDSCAPS_ZBUFFER) {
    const uint32_t bits = desc.dwZBufferBitDepth;
    if (DirectDrawFaultsForTesting().failZBufferSurface || !(desc.dwFlags & DDSD_ZBUFFERBITDEPTH) ||
        (bits != 16 && bits != 24 && bits != 32))
      return false;
    *surface =
        Ref<DirectDrawSurface>(new DirectDrawSurface(this, DirectDrawSurface::Kind::ZBuffer, made));
    return true;
  }
  if (DirectDrawFaultsForTesting().failBackBufferSurface) return false;
  made.dwRGBBitCount = uint32_t(DisplayBits());
  Ref<DirectDrawSurface> plain(
      new DirectDrawSurface(this, DirectDrawSurface::Kind::OffScreen, made));
  if (!plain->Store()) return false;
  *surface = plain;
  return true;
}

bool DirectDraw::CreateClipper(uint32_t, Ref<DirectDrawClipper>* clipper) {
  if (!clipper) return false;
  *clipper = Ref<DirectDrawClipper>(new DirectDrawClipper());
  return true;
}

bool DirectDraw::CreatePalette(uint32_t caps, const PALETTEENTRY* entries,
                               Ref<DirectDrawPalette>* palette) {
  if (!palette || !(caps & DDPCAPS_8BIT)) return false;
  std::array<PALETTEENTRY, 256> initial{};
  if ((caps & DDPCAPS_INITIALIZE) && entries) std::copy_n(entries, 256, initial.begin());
  *palette = Ref<DirectDrawPalette>(new DirectDrawPalette(initial.data()));
  return true;
}

bool DirectDraw::QueryInterface(const GUID& iid, Ref<Direct3D>* direct3d) {
  if (!direct3d || !IsEqualGUID(iid, IID_IDirect3D) || DirectDrawFaultsForTesting().failDirect3D)
    return false;
  *direct3d = Ref<Direct3D>(new Direct3D(this));
  return true;
}

bool DirectDraw::FlipToGDISurface() {
  // Dialogs and text are X windows and X drawing of their own, never hidden
  // behind a flipping surface: nothing needs to change for them to show.
  // The thread that waits behind a dialog does not hold the context meanwhile.
  ContextScope scope(device_.get());
  return device_ != nullptr;
}

void DirectDraw::LeaveThread() {
  // Taking the context through a scope of its own ends with letting it go.
  ContextScope scope(device_.get());
}

void DirectDraw::LoseSurfacesForTesting() {
  std::lock_guard guard(surfacesLock_);
  for (DirectDrawSurface* surface : surfaces_) surface->MarkLost();
}

void DirectDraw::FailRestoreForTesting(bool fail) {
  failRestore_ = fail;
}

void DirectDraw::Register(DirectDrawSurface* surface) {
  std::lock_guard guard(surfacesLock_);
  surfaces_.push_back(surface);
}

void DirectDraw::Unregister(DirectDrawSurface* surface) {
  std::lock_guard guard(surfacesLock_);
  surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), surface), surfaces_.end());
}
