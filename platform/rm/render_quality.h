#pragma once
#include <cstdint>

// Render qualities: shading, lighting and fill packed as the system stores them.
using D3DRMRENDERQUALITY = uint32_t;

inline constexpr D3DRMRENDERQUALITY D3DRMRENDER_WIREFRAME = 0x40;  // flat, unlit, wireframe
inline constexpr D3DRMRENDERQUALITY D3DRMRENDER_FLAT = 0x88;       // flat, lit, solid
inline constexpr D3DRMRENDERQUALITY D3DRMRENDER_GOURAUD = 0x89;    // Gouraud, lit, solid
