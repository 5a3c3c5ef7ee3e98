#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// Text drawn on windows and on surfaces the way the system draws it: one line,
// measured and drawn in a Japanese gothic face, text colour on an opaque
// background colour.

class DeviceContext;
using HDC = DeviceContext*;

using COLORREF = uint32_t;  // 0x00BBGGRR
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
};

struct PALETTEENTRY {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
};
inline constexpr uint8_t PC_RESERVED = 0x01;

// GetDeviceCaps indexes.
inline constexpr int BITSPIXEL = 12;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;

// A window's device context: 0 stands for the whole screen. Null when the
// window does not exist or there is no display.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// A device context that draws into 32-bit pixels laid out R, G, B, A in memory
// (what an OpenGL read-back gives). The pixels stay the caller's.
HDC CreateBitmapDC(void* pixels, int width, int height, int bytesPerRow);
bool DeleteDC(HDC dc);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);

// The text is UTF-8; length counts bytes.
bool GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);
bool TextOutA(HDC dc, int x, int y, const char* text, int length);

int GetDeviceCaps(HDC dc, int index);

// The 256 entries of the system palette: the twenty static colours at both
// ends, a colour cube and a grey ramp between them.
unsigned GetSystemPaletteEntries(HDC dc, unsigned start, unsigned count, PALETTEENTRY* entries);
