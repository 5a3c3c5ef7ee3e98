#pragma once
#include <cstdint>

// Records and flags of the display interfaces. Records carry no size field:
// their type says what they are.

// Cooperative levels.
inline constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
inline constexpr uint32_t DDSCL_ALLOWREBOOT = 0x00000002;
inline constexpr uint32_t DDSCL_NORMAL = 0x00000008;
inline constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;
inline constexpr uint32_t DDSCL_ALLOWMODEX = 0x00000040;

// Surface capabilities.
inline constexpr uint32_t DDSCAPS_BACKBUFFER = 0x00000004;
inline constexpr uint32_t DDSCAPS_COMPLEX = 0x00000008;
inline constexpr uint32_t DDSCAPS_FLIP = 0x00000010;
inline constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x00000020;
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr uint32_t DDSCAPS_TEXTURE = 0x00001000;
inline constexpr uint32_t DDSCAPS_3DDEVICE = 0x00002000;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;
inline constexpr uint32_t DDSCAPS_ZBUFFER = 0x00020000;

// Which members of a surface description are valid.
inline constexpr uint32_t DDSD_CAPS = 0x00000001;
inline constexpr uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr uint32_t DDSD_WIDTH = 0x00000004;
inline constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x00000020;
inline constexpr uint32_t DDSD_ZBUFFERBITDEPTH = 0x00000040;

// Driver capabilities.
inline constexpr uint32_t DDCAPS_3D = 0x00000001;

// Bit depths, as a set.
inline constexpr uint32_t DDBD_8 = 0x00000800;
inline constexpr uint32_t DDBD_16 = 0x00000400;
inline constexpr uint32_t DDBD_24 = 0x00000200;
inline constexpr uint32_t DDBD_32 = 0x00000100;

// Blits and flips.
inline constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
inline constexpr uint32_t DDBLT_WAIT = 0x01000000;
inline constexpr uint32_t DDFLIP_WAIT = 0x00000001;

// Palettes.
inline constexpr uint32_t DDPCAPS_8BIT = 0x00000004;
inline constexpr uint32_t DDPCAPS_INITIALIZE = 0x00000008;
inline constexpr uint8_t D3DPAL_READONLY = 0x40;

struct DDSCAPS {
  uint32_t dwCaps = 0;
};

struct DDSURFACEDESC {
  uint32_t dwFlags = 0;
  uint32_t dwHeight = 0;
  uint32_t dwWidth = 0;
  uint32_t dwBackBufferCount = 0;
  uint32_t dwZBufferBitDepth = 0;
  uint32_t dwRGBBitCount = 0;  // filled by GetSurfaceDesc
  DDSCAPS ddsCaps;
};

struct DDCAPS {
  uint32_t dwCaps = 0;
  DDSCAPS ddsCaps;
  uint32_t dwVidMemTotal = 0;
};

struct DDBLTFX {
  uint32_t dwFillColor = 0;
};
