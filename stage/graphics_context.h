#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/guid.h"
#include "platform/gdi/gdi.h"
#include "platform/ref.h"
#include "platform/sys/types.h"

class Direct3DDevice;
class Direct3DRM;
class DirectDraw;
class DirectDrawClipper;
class DirectDrawPalette;
class DirectDrawSurface;
class RMDevice;
class RMFrame;
class RMViewport;

enum OpenMode : int32_t { NotOpen = 0, FullScreen = 1, Windowed = 2 };

struct ScreenModeSize {
  int32_t width;
  int32_t height;
};

// Indexed by the resolved ScreenMode; entry 0 is the windowed mode and is never
// set as a display mode.
inline constexpr ScreenModeSize kScreenModeTable[4] = {{0, 0}, {640, 480}, {800, 600}, {1024, 768}};
// Indexed by the resolved ScreenColor.
inline constexpr int32_t kColourDepthTable[4] = {8, 16, 24, 32};

class GraphicsContext;

// What the device enumeration fills while the device is chosen.
struct DeviceSearch {
  const GUID* hardwareGuid;
  D3DDEVICEDESC hardwareDesc;
  const GUID* softwareGuid;
  D3DDEVICEDESC softwareDesc;
  GraphicsContext* context;
};

// Everything DirectDraw and Direct3D of one Stage. Each interface is held by
// exactly one field and released in the fixed orders of the Release
// operations.
class GraphicsContext {
 public:
  GraphicsContext();
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  bool Open(HWND window, OpenMode mode);
  bool OpenDirect3D();
  bool ReleaseAll();
  void ReleaseDirect3D();
  void ReleaseDirectDraw();
  // Diagnostic lines in English; nobody reads them.
  void Trace(const char* text);

  bool SetUpViewport(const Ref<RMFrame>& camera);
  bool RenderScene(const Ref<RMFrame>& scene);
  bool Present();
  bool RestoreLostSurfaces();
  void UpdateWindowRect(HWND window);
  // The text goes onto the next presented picture: the scene's Clear would wipe it if it were
  // drawn into the back buffer before the frame is rendered.
  void DrawOverlayText(int x, int y, const char* text);
  bool SetReady(bool flag);

  bool OpenFullScreen(HWND window);
  bool OpenWindowed(HWND window);
  void SetUpPalette();
  const GUID* ChooseDevice();

  static bool EnumDriverCallback(const GUID* guid, const char* description, const char* name,
                                 void* context);
  static bool EnumDeviceCallback(const GUID* guid, const char* description, const char* name,
                                 const D3DDEVICEDESC* hardware, const D3DDEVICEDESC* software,
                                 void* context);

  Ref<DirectDraw> directDraw;
  Ref<Direct3D> direct3D;
  Ref<Direct3DRM> rm;
  Ref<DirectDrawSurface> primary;
  Ref<DirectDrawSurface> backBuffer;
  Ref<DirectDrawSurface> zBuffer;
  Ref<DirectDrawClipper> clipper;
  Ref<DirectDrawPalette> palette;
  Ref<Direct3DDevice> d3dDevice;
  Ref<RMDevice> rmDevice;
  Ref<RMViewport> viewport;
  HWND window = 0;
  int32_t colorDepth = 0;
  RECT windowRect;  // guarded by rectLock: WM_MOVE writes it while frames read it
  int32_t width = 0;
  int32_t height = 0;
  OpenMode openMode = NotOpen;
  bool ready = false;
  bool windowed = false;

 private:
  struct Overlay {
    int x = 0;
    int y = 0;
    std::string text;
  };

  RECT CurrentWindowRect() const;
  void DrawPendingOverlay();
  bool PrepareOverlaySurface(const std::string& text, SIZE* extent);

  mutable std::mutex rectLock_;
  Overlay overlay_;  // Render thread only
  // The overlay text as last drawn on its own surface (Render thread only).
  Ref<DirectDrawSurface> overlaySurface_;
  std::string overlayDrawn_;
  SIZE overlayExtent_;
};

// The RM object that the last OpenDirect3D made; valid while its Stage lives.
Direct3DRM* PublishedRMObject();

// Lets a test see the diagnostic lines; null sends them nowhere again.
void SetTraceHookForTesting(std::function<void(const char*)> hook);
