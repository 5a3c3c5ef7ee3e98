#include "stage/graphics_context.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "platform/ddraw/direct3d_device.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/ddraw/direct_draw_clipper.h"
#include "platform/ddraw/direct_draw_palette.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/gdi/gdi.h"
#include "platform/rm/direct3drm.h"
#include "platform/win/window.h"
#include "settings/render_quality.h"
#include "settings/resolved_options.h"
#include "stage/first_frame_sink.h"

namespace {

GUID chosenDeviceGuid;
Direct3DRM* publishedRM = nullptr;
std::function<void(const char*)> traceHook;

const char* Text(const char* value) {
  return value ? value : "";
}

// The tables have four entries; the resolved options are clamped to them, and
// a stray value must not read past the end.
uint32_t TableIndex(uint32_t value) {
  return std::min<uint32_t>(value, 3);
}

}  // namespace

Direct3DRM* PublishedRMObject() {
  return publishedRM;
}

void SetTraceHookForTesting(std::function<void(const char*)> hook) {
  traceHook = std::move(hook);
}

GraphicsContext::GraphicsContext() = default;

GraphicsContext::~GraphicsContext() = default;

void GraphicsContext::Trace(const char* text) {
  if (traceHook) traceHook(text);
}

bool GraphicsContext::Open(HWND window, OpenMode mode) {
  openMode = mode;
  const bool opened = mode == FullScreen ? OpenFullScreen(window) : OpenWindowed(window);
  if (!opened) return false;
  DDBLTFX fx;
  fx.dwFillColor = 0;
  if (primary) primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  if (backBuffer) backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  return true;
}

bool GraphicsContext::EnumDriverCallback(const GUID* guid, const char*, const char* name,
                                         void* context) {
  auto* self = static_cast<GraphicsContext*>(context);
  const char* wanted = Text(Resolved.DDDriverName);
  if (wanted[0] != '\0' && std::strcmp(wanted, name) != 0) return true;
  Ref<DirectDraw> candidate;
  if (!DirectDrawCreate(guid, &candidate)) return true;
  DDCAPS driverCaps, emulationCaps;
  if (candidate->GetCaps(&driverCaps, &emulationCaps) && (driverCaps.dwCaps & DDCAPS_3D) &&
      (driverCaps.ddsCaps.dwCaps & DDSCAPS_TEXTURE)) {
    self->directDraw = candidate;
    return false;
  }
  candidate.Release();
  return true;
}

bool GraphicsContext::OpenFullScreen(HWND window) {
  this->window = window;
  ReleaseDirectDraw();
  DirectDrawEnumerateA(EnumDriverCallback, this);
  if (!directDraw && !DirectDrawCreate(nullptr, &directDraw)) return false;
  directDraw->SetCooperativeLevel(
      window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
  colorDepth = kColourDepthTable[TableIndex(Resolved.ScreenColor)];
  width = kScreenModeTable[TableIndex(Resolved.ScreenMode)].width;
  height = kScreenModeTable[TableIndex(Resolved.ScreenMode)].height;
  if (!directDraw->SetDisplayMode(uint32_t(width), uint32_t(height), uint32_t(colorDepth))) {
    Trace("Error: failed to SetDisplayMode!\n");
    return false;
  }
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (!directDraw->CreateSurface(desc, &primary)) {
    Trace("Error: failed to CreateSurface!\n");
    return false;
  }
  primary->GetAttachedSurface(DDSCAPS{DDSCAPS_BACKBUFFER}, &backBuffer);
  return true;
}

bool GraphicsContext::OpenWindowed(HWND window) {
  this->window = window;
  ReleaseDirectDraw();
  HDC dc = GetDC(window);
  colorDepth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  UpdateWindowRect(window);
  if (!DirectDrawCreate(nullptr, &directDraw)) return false;
  directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (!directDraw->CreateSurface(desc, &primary)) {
    Trace("Error: failed to CreateSurface!\n");
    return false;
  }
  desc = DDSURFACEDESC();
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = uint32_t(std::max(width, 0));
  desc.dwHeight = uint32_t(std::max(height, 0));
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE;
  if (!directDraw->CreateSurface(desc, &backBuffer)) {
    Trace("Error: failed to CreateSurface BackBuffer!\n");
    return false;
  }
  directDraw->CreateClipper(0, &clipper);
  if (clipper) {
    clipper->SetHWnd(0, window);
    primary->SetClipper(clipper.Get());
  }
  windowed = true;
  return true;
}

bool GraphicsContext::OpenDirect3D() {
  if (!rm) {
    if (!Direct3DRMCreate(&rm)) {
      Trace("Error: failed to Direct3DRMCreate!\n");
      return false;
    }
    publishedRM = rm.Get();
  }
  if (colorDepth == 8) SetUpPalette();
  if (d3dDevice) return true;
  const GUID* device = ChooseDevice();
  if (!device) {
    Trace("Error:Fail to Direct3D create \n");
    return false;
  }
  if (!backBuffer || !backBuffer->QueryInterface(*device, &d3dDevice)) {
    Trace("Can't Create Direct3DDevice from Direct3D\n");
    return false;
  }
  if (!rm->CreateDeviceFromD3D(direct3D.Get(), d3dDevice, &rmDevice)) {
    Trace("Can't Create Direct3DRMDevice from Direct3D\n");
    return false;
  }
  rmDevice->SetBufferCount(2);
  if (colorDepth == 8) {
    rmDevice->SetShades(8);
    rmDevice->SetDither(false);
    rmDevice->SetQuality(RenderQualityFor(Resolved));
    rmDevice->SetTextureQuality(D3DRMTEXTURE_NEAREST);
  } else {
    rmDevice->SetShades(32);
    rmDevice->SetDither(false);
    rmDevice->SetQuality(D3DRMRENDER_FLAT);
    rmDevice->SetTextureQuality(D3DRMTEXTURE_LINEAR);
    rm->SetDefaultTextureColors(64);
    rm->SetDefaultTextureShades(32);
  }
  return true;
}

void GraphicsContext::SetUpPalette() {
  PALETTEENTRY entries[256];
  HDC screen = GetDC(0);
  GetSystemPaletteEntries(screen, 0, 256, entries);
  ReleaseDC(0, screen);
  // The twenty static colours stay as they are; the renderer has the rest.
  for (int i = 0; i < 256; ++i)
    entries[i].peFlags = (i < 10 || i >= 246) ? D3DPAL_READONLY : PC_RESERVED;
  if (!directDraw) return;
  directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette);
  if (!palette) return;
  if (backBuffer) backBuffer->SetPalette(palette.Get());
  if (primary) primary->SetPalette(palette.Get());
}

bool GraphicsContext::EnumDeviceCallback(const GUID* guid, const char*, const char* name,
                                         const D3DDEVICEDESC* hardware,
                                         const D3DDEVICEDESC* software, void* context) {
  auto* search = static_cast<DeviceSearch*>(context);
  const char* wanted = Text(Resolved.D3DDriverName);
  const bool halName = std::strstr(wanted, "HAL") != nullptr;
  const bool any =
      strcasecmp(wanted, "Auto") == 0 || (search->context->openMode == Windowed && halName);
  if (!any && std::strcmp(wanted, name) != 0) return true;
  if (halName && hardware->dwFlags != 0 &&
      (hardware->dwDeviceZBufferBitDepth & (DDBD_16 | DDBD_24 | DDBD_32))) {
    search->hardwareGuid = guid;
    search->hardwareDesc = *hardware;
    if (!any) return false;
  }
  if (search->softwareGuid) return true;
  search->softwareGuid = guid;
  search->softwareDesc = *software;
  return any;
}

const GUID* GraphicsContext::ChooseDevice() {
  if (!directDraw || !directDraw->QueryInterface(IID_IDirect3D, &direct3D)) {
    Trace("Error:Failed to QueryInterface Direct3D from DirectDraw\n");
    return nullptr;
  }
  DeviceSearch search{};
  search.context = this;
  direct3D->EnumDevices(EnumDeviceCallback, &search);

  const GUID* device;
  uint32_t zDepth;
  uint32_t memory;
  if (search.hardwareGuid && openMode == FullScreen) {
    const uint32_t depths = search.hardwareDesc.dwDeviceZBufferBitDepth;
    zDepth = (depths & DDBD_16) ? 16 : (depths & DDBD_24) ? 24 : 32;
    memory = DDSCAPS_VIDEOMEMORY;
    device = search.hardwareGuid;
    Trace("I'll use HAL\n");
  } else {
    device = search.softwareGuid;
    zDepth = 16;
    memory = DDSCAPS_SYSTEMMEMORY;
    Trace("I'll use HEL\n");
    if (!device) return nullptr;
  }
  chosenDeviceGuid = *device;

  DDSURFACEDESC desc;
  if (backBuffer) backBuffer->GetSurfaceDesc(&desc);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
  desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | memory;
  desc.dwZBufferBitDepth = zDepth;
  if (!directDraw->CreateSurface(desc, &zBuffer)) {
    Trace("Error:Failed to Create ZBuffer\n");
    return nullptr;
  }
  if (!backBuffer || !backBuffer->AddAttachedSurface(zBuffer.Get())) return nullptr;
  return &chosenDeviceGuid;
}

bool GraphicsContext::ReleaseAll() {
  ReleaseDirect3D();
  ReleaseDirectDraw();
  return true;
}

void GraphicsContext::ReleaseDirect3D() {
  viewport.Release();
  rmDevice.Release();
  d3dDevice.Release();
  if (rm && publishedRM == rm.Get()) publishedRM = nullptr;
  rm.Release();
  direct3D.Release();
}

void GraphicsContext::ReleaseDirectDraw() {
  // A windowed object never had a mode; an object that has one gives it back
  // whatever this context was last opened as.
  if (directDraw && (openMode == FullScreen || directDraw->InDisplayMode()))
    directDraw->RestoreDisplayMode();
  palette.Release();
  zBuffer.Release();
  clipper.Release();
  overlaySurface_.Release();
  overlayDrawn_.clear();
  backBuffer.Release();
  primary.Release();
  directDraw.Release();
}
