#include "platform/ddraw/direct3d.h"

#include "platform/ddraw/ddraw_types.h"
#include "platform/ddraw/direct_draw.h"

namespace {

struct DeviceEntry {
  const GUID* guid;
  const char* description;
  const char* name;
  D3DDEVICEDESC hardware;
  D3DDEVICEDESC software;
};

constexpr uint32_t kDescribed =
    D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH;

// The software devices draw with the same GL renderer as the hardware one;
// they differ in what they promise, which is what the device rules look at.
const DeviceEntry kDevices[] = {
    {&IID_IDirect3DRampDevice,
     "Software renderer, monochrome lighting",
     kRampDeviceName,
     {},
     {kDescribed, DDBD_8 | DDBD_16 | DDBD_24 | DDBD_32, DDBD_16, 0}},
    {&IID_IDirect3DRGBDevice,
     "Software renderer, RGB lighting",
     kRGBDeviceName,
     {},
     {kDescribed, DDBD_8 | DDBD_16 | DDBD_24 | DDBD_32, DDBD_16, 0}},
    {&IID_IDirect3DHALDevice,
     "OpenGL renderer through Mesa",
     kHALDeviceName,
     {kDescribed, DDBD_16 | DDBD_24 | DDBD_32, DDBD_16 | DDBD_24 | DDBD_32, 0},
     {}},
};

}  // namespace

Direct3D::Direct3D(DirectDraw* directDraw) : directDraw_(directDraw) {}
Direct3D::~Direct3D() = default;

bool Direct3D::EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) const {
  if (!callback) return false;
  for (const DeviceEntry& device : kDevices) {
    // The GUIDs live as long as the program: a caller may keep the pointer.
    D3DDEVICEDESC hardware = device.hardware;
    D3DDEVICEDESC software = device.software;
    if (!callback(device.guid, device.description, device.name, &hardware, &software, context))
      break;
  }
  return true;
}

bool IsKnownDevice(const GUID& guid) {
  for (const DeviceEntry& device : kDevices)
    if (IsEqualGUID(guid, *device.guid)) return true;
  return false;
}

bool IsHardwareDevice(const GUID& guid) {
  return IsEqualGUID(guid, IID_IDirect3DHALDevice);
}
