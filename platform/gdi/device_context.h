#pragma once
#include <QImage>
#include <cstdint>

#include "platform/gdi/gdi.h"

// What an HDC points at: a window of the X display, or pixels in memory.
class DeviceContext {
 public:
  enum class Kind { Window, Bitmap };

  explicit DeviceContext(HWND window) : kind(Kind::Window), window(window) {}
  DeviceContext(void* pixels, int width, int height, int bytesPerRow)
      : kind(Kind::Bitmap),
        bitmap(static_cast<uchar*>(pixels), width, height, bytesPerRow, QImage::Format_RGBA8888) {}

  Kind kind;
  HWND window = 0;
  QImage bitmap;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
};
