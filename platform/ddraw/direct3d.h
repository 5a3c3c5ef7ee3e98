#pragma once
#include <cstdint>

#include "platform/ddraw/guid.h"
#include "platform/ref.h"

class DirectDraw;

// What a device offers; a hardware description with no flags means "no
// hardware", a software one with no flags "no software".
struct D3DDEVICEDESC {
  uint32_t dwFlags = 0;
  uint32_t dwDeviceRenderBitDepth = 0;   // DDBD_ set
  uint32_t dwDeviceZBufferBitDepth = 0;  // DDBD_ set
  uint32_t dwMaxBufferSize = 0;
};

inline constexpr uint32_t D3DDD_COLORMODEL = 0x00000001;
inline constexpr uint32_t D3DDD_DEVCAPS = 0x00000002;
inline constexpr uint32_t D3DDD_DEVICERENDERBITDEPTH = 0x00000400;
inline constexpr uint32_t D3DDD_DEVICEZBUFFERBITDEPTH = 0x00000800;

// Our devices, in the order of the enumeration.
inline constexpr GUID IID_IDirect3DRampDevice = {
    0x51A7E110, 0x6C1D, 0x4B5E, {0x9A, 0x31, 0x52, 0x41, 0x4D, 0x50, 0x00, 0x01}};
inline constexpr GUID IID_IDirect3DRGBDevice = {
    0x51A7E110, 0x6C1D, 0x4B5E, {0x9A, 0x31, 0x52, 0x47, 0x42, 0x00, 0x00, 0x02}};
inline constexpr GUID IID_IDirect3DHALDevice = {
    0x51A7E110, 0x6C1D, 0x4B5E, {0x9A, 0x31, 0x48, 0x41, 0x4C, 0x00, 0x00, 0x03}};
inline constexpr char kRampDeviceName[] = "Ramp Emulation";
inline constexpr char kRGBDeviceName[] = "RGB Emulation";
inline constexpr char kHALDeviceName[] = "Mesa HAL";

// Receives (GUID, description, name, hardware description, software
// description); returns false to stop the enumeration. The GUID pointer stays
// valid after the enumeration; the descriptions do not.
using LPD3DENUMDEVICESCALLBACK = bool (*)(const GUID* guid, const char* description,
                                          const char* name, const D3DDEVICEDESC* hardware,
                                          const D3DDEVICEDESC* software, void* context);

// The 3-D side of a display driver.
class Direct3D : public RefCounted {
 public:
  explicit Direct3D(DirectDraw* directDraw);
  ~Direct3D() override;

  bool EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) const;

 private:
  Ref<DirectDraw> directDraw_;
};

// Whether a device GUID is one of ours, and whether it is the hardware one.
bool IsKnownDevice(const GUID& guid);
bool IsHardwareDevice(const GUID& guid);
