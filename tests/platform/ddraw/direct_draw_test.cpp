#include <algorithm>
#include <string>
#include <vector>

#include "ddraw_fixture.h"
#include "platform/gdi/gdi.h"

namespace {

bool CollectDriver(const GUID* guid, const char*, const char*, void* context) {
  static_cast<std::vector<bool>*>(context)->push_back(guid == nullptr);
  return true;
}

bool CollectDevice(const GUID*, const char*, const char* name, const D3DDEVICEDESC*,
                   const D3DDEVICEDESC*, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(name);
  return true;
}

// The primary driver first with a null GUID, an unknown GUID none; its 3-D
// devices the software ones first, then the hardware one.
TEST(DirectDrawDrivers, PrimaryFirstThenItsSoftwareDevicesThenTheHardwareOne) {
  std::vector<bool> nullGuids;
  ASSERT_TRUE(DirectDrawEnumerateA(CollectDriver, &nullGuids));
  ASSERT_FALSE(nullGuids.empty());
  EXPECT_EQ(std::count(nullGuids.begin(), nullGuids.end(), true), 1);
  EXPECT_TRUE(nullGuids[0]);
  const GUID unknown{1, 2, 3, {4}};
  Ref<DirectDraw> none;
  EXPECT_FALSE(DirectDrawCreate(&unknown, &none));
  Ref<DirectDraw> dd;
  ASSERT_TRUE(DirectDrawCreate(nullptr, &dd));
  Ref<Direct3D> d3d;
  EXPECT_FALSE(dd->QueryInterface(IID_IDirect3DHALDevice, &d3d));
  ASSERT_TRUE(dd->QueryInterface(IID_IDirect3D, &d3d));
  std::vector<std::string> names;
  ASSERT_TRUE(d3d->EnumDevices(CollectDevice, &names));
  EXPECT_EQ(names, (std::vector<std::string>{"Ramp Emulation", "RGB Emulation", "Mesa HAL"}));
}

TEST(DirectDrawSurfaces, ZBufferGivesTheDeviceADepthBuffer) {
  FlipChain chain(640, 480, 640, 480, 16);
  ASSERT_TRUE(chain.Ok());
  Ref<Direct3DDevice> device;
  ASSERT_TRUE(chain.back->QueryInterface(IID_IDirect3DHALDevice, &device));
  EXPECT_TRUE(device->IsHardware());
  EXPECT_FALSE(device->Target()->HasDepth());
  EXPECT_EQ(device->Target()->Width(), 640);
  DDSURFACEDESC desc;
  ASSERT_TRUE(chain.back->GetSurfaceDesc(&desc));
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH;
  desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
  desc.dwZBufferBitDepth = 16;
  Ref<DirectDrawSurface> z;
  ASSERT_TRUE(chain.dd->CreateSurface(desc, &z));
  ASSERT_TRUE(chain.back->AddAttachedSurface(z.Get()));
  EXPECT_TRUE(device->Target()->HasDepth());
  Ref<Direct3DDevice> other;
  EXPECT_FALSE(chain.back->QueryInterface(IID_IDirect3D, &other)) << "not a device GUID";
}

TEST(DirectDrawSurfaces, DisplayModesAreTheThreeSizesAtFourDepths) {
  HWND window = CreateOffscreenWindow(320, 200);
  Ref<DirectDraw> dd;
  ASSERT_TRUE(DirectDrawCreate(nullptr, &dd));
  ASSERT_TRUE(dd->SetCooperativeLevel(window, DDSCL_NORMAL));
  EXPECT_FALSE(dd->SetDisplayMode(640, 480, 16)) << "not exclusive yet";
  ASSERT_TRUE(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
  EXPECT_TRUE(dd->SetDisplayMode(1024, 768, 8));
  EXPECT_FALSE(dd->SetDisplayMode(1280, 1024, 32));
  EXPECT_FALSE(dd->SetDisplayMode(640, 480, 15));
  EXPECT_TRUE(dd->InDisplayMode());
  EXPECT_TRUE(dd->RestoreDisplayMode());
  EXPECT_FALSE(dd->InDisplayMode());
  dd.Release();
  DestroyOffscreenWindow(window);
}

TEST(DirectDrawSurfaces, TextDrawnThroughTheSurfaceDcReachesThePicture) {
  FlipChain chain(640, 480, 640, 480, 32);
  ASSERT_TRUE(chain.Ok());
  HDC dc = nullptr, second = nullptr;
  ASSERT_TRUE(chain.back->GetDC(&dc));
  EXPECT_FALSE(chain.back->GetDC(&second)) << "one DC at a time";
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(dc, 0, 0, "88.8", 4));
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "88.8", 4, &extent));
  ASSERT_TRUE(chain.back->ReleaseDC(dc));
  const SurfaceImage screen = chain.Show();
  int white = 0;
  for (int y = 0; y < extent.cy; ++y)
    for (int x = 0; x < extent.cx; ++x) white += screen.Pixel(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 10);
  for (int y = 0; y < screen.height; ++y)
    for (int x = extent.cx; x < screen.width; ++x) ASSERT_EQ(screen.Pixel(x, y), 0u);

  // The next DC starts from the picture as it is now, not the text of the last one.
  ASSERT_TRUE(Fill(chain.back.Get(), 0x0000FF));
  ASSERT_TRUE(chain.back->GetDC(&dc));
  ASSERT_TRUE(chain.back->ReleaseDC(dc));
  const SurfaceImage refilled = chain.Show();
  for (int y = 0; y < extent.cy; ++y)
    for (int x = 0; x < extent.cx; ++x) ASSERT_EQ(refilled.Pixel(x, y), 0x0000FFu);
}

}  // namespace
