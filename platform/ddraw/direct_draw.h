#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ddraw/ddraw_types.h"
#include "platform/ddraw/guid.h"
#include "platform/ddraw/monitor_list.h"
#include "platform/gdi/gdi.h"
#include "platform/ref.h"
#include "platform/sys/types.h"

class Direct3D;
class DirectDrawClipper;
class DirectDrawPalette;
class DirectDrawSurface;
class DisplayDevice;
class MonitorBlanking;

// One display driver: the monitor it shows on, the display mode its
// full-screen surfaces are made for, and the GL context that draws them.
//
// Display modes are virtual. The monitor keeps its own mode; a full-screen
// back buffer has exactly the mode's size and depth and each flip scales it,
// proportions kept, onto the whole window. Exclusive full-screen use puts the
// window over the driver's monitor and blanks the others (MonitorBlanking).
class DirectDraw : public RefCounted {
 public:
  explicit DirectDraw(const Monitor& monitor);
  ~DirectDraw() override;

  bool GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) const;
  // DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE on a window that covers the driver's
  // monitor and more (the whole screen) fits the window to that monitor and
  // blanks every other monitor until the level goes back to normal or the
  // driver is released.
  bool SetCooperativeLevel(HWND window, uint32_t flags);
  // 640 x 480, 800 x 600 and 1024 x 768 at 8, 16, 24 or 32 bits per pixel.
  bool SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel);
  bool RestoreDisplayMode();
  bool CreateSurface(const DDSURFACEDESC& desc, Ref<DirectDrawSurface>* surface);
  bool CreateClipper(uint32_t flags, Ref<DirectDrawClipper>* clipper);
  bool CreatePalette(uint32_t caps, const PALETTEENTRY* entries, Ref<DirectDrawPalette>* palette);
  // IID_IDirect3D gives the Direct3D interface of this driver.
  bool QueryInterface(const GUID& iid, Ref<Direct3D>* direct3d);
  // Shows what was last put on the window by other means (dialogs, text)
  // instead of the flipping surfaces.
  bool FlipToGDISurface();
  // Lets the calling thread go of the driver's GL context, so that another
  // thread (the Render thread) can draw with it. Work on the window thread
  // that drew through the 3-D device ends with this.
  void LeaveThread();

  // Where the driver's monitor is on the root window, its refresh rate (0 when
  // unknown) and its output's name; an empty area without a display.
  const Monitor& GetMonitor() const { return monitor_; }
  HWND Window() const { return window_; }
  bool InDisplayMode() const { return modeWidth_ != 0; }

  // Every surface of this object reports itself lost, as after a switch away
  // from a full-screen program.
  void LoseSurfacesForTesting();
  // While set, Restore fails.
  void FailRestoreForTesting(bool fail);
  bool RestoreFails() const { return failRestore_; }

  DisplayDevice* Device() const { return device_.get(); }
  // The palette an 8-bit surface shows without one of its own.
  DirectDrawPalette* SystemPalette();
  // Bits per pixel of the desktop, or of the display mode while one is set.
  int DisplayBits() const;
  uint32_t ModeWidth() const { return modeWidth_; }
  uint32_t ModeHeight() const { return modeHeight_; }

  void Register(DirectDrawSurface* surface);
  void Unregister(DirectDrawSurface* surface);

 private:
  bool CreatePrimary(const DDSURFACEDESC& desc, Ref<DirectDrawSurface>* surface);
  void TakeMonitor(HWND window);
  Monitor monitor_;
  std::unique_ptr<MonitorBlanking> blanking_;
  HWND window_ = 0;
  uint32_t cooperativeFlags_ = 0;
  uint32_t modeWidth_ = 0;
  uint32_t modeHeight_ = 0;
  uint32_t modeBits_ = 0;
  bool failRestore_ = false;
  std::unique_ptr<DisplayDevice> device_;
  Ref<DirectDrawPalette> systemPalette_;
  std::mutex surfacesLock_;
  std::vector<DirectDrawSurface*> surfaces_;
};

// Receives (driver GUID or null for the primary, description, driver name);
// returns false to stop the enumeration.
using LPDDENUMCALLBACKA = bool (*)(const GUID* guid, const char* description, const char* name,
                                   void* context);

// "display" first, with a null GUID: the primary monitor (or the first). Then
// one driver for every monitor, named after its output.
bool DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context);

// A null GUID opens the driver of the primary monitor; a monitor's GUID stays
// its own while the monitor keeps its name.
bool DirectDrawCreate(const GUID* guid, Ref<DirectDraw>* directDraw);

// Failures that tests can ask for, to drive the system's error paths. Each
// holds until the test clears it.
struct DirectDrawFaults {
  bool failCreate = false;
  bool failSetDisplayMode = false;
  bool failPrimarySurface = false;
  bool failBackBufferSurface = false;
  bool failZBufferSurface = false;
  bool failAttachZBuffer = false;
  bool failDirect3D = false;
  bool failDevice = false;
};
DirectDrawFaults& DirectDrawFaultsForTesting();
