#include "platform/gdi/device_context.h"

#include "platform/gdi/gdi.h"
#include "platform/gdi/x_connection.h"

HDC GetDC(HWND window) {
  WindowFacts facts;
  if (!QueryWindow(window, &facts)) return nullptr;
  return new DeviceContext(window == 0 ? RootWindow() : window);
}

int ReleaseDC(HWND, HDC dc) {
  if (!dc || dc->kind != DeviceContext::Kind::Window) return 0;
  delete dc;
  return 1;
}

HDC CreateBitmapDC(void* pixels, int width, int height, int bytesPerRow) {
  if (!pixels || width <= 0 || height <= 0 || bytesPerRow < width * 4) return nullptr;
  return new DeviceContext(pixels, width, height, bytesPerRow);
}

bool DeleteDC(HDC dc) {
  if (!dc || dc->kind != DeviceContext::Kind::Bitmap) return false;
  delete dc;
  return true;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!dc) return 0;
  WindowFacts facts;
  if (dc->kind == DeviceContext::Kind::Bitmap) {
    facts = {dc->bitmap.width(), dc->bitmap.height(), 32, 32};
  } else if (!QueryWindow(dc->window, &facts)) {
    return 0;
  }
  // HORZRES and VERTRES of a window's device context give the size of its screen.
  WindowFacts screen;
  if (dc->kind != DeviceContext::Kind::Bitmap && (index == HORZRES || index == VERTRES) &&
      QueryWindow(0, &screen)) {
    facts.width = screen.width;
    facts.height = screen.height;
  }
  switch (index) {
    case BITSPIXEL:
      return facts.bitsPerPixel;
    case HORZRES:
      return facts.width;
    case VERTRES:
      return facts.height;
    default:
      return 0;
  }
}
