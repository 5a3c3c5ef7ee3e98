#include "ddraw_fixture.h"

namespace {

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
  // A width of one size with the height of another is no mode.
  for (auto [w, h] : {std::pair{640u, 600u}, {1024u, 480u}})
    EXPECT_FALSE(dd->SetDisplayMode(w, h, 32));
  EXPECT_FALSE(dd->SetDisplayMode(640, 480, 15));
  EXPECT_TRUE(dd->InDisplayMode());
  EXPECT_TRUE(dd->RestoreDisplayMode());
  EXPECT_FALSE(dd->InDisplayMode());
  dd.Release();
  DestroyOffscreenWindow(window);
}

}  // namespace
