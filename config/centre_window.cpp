#include "config/centre_window.h"

#include "platform/dialog/dialog.h"
#include "platform/gdi/gdi.h"

namespace {

// Keeps [position, position + size) on a screen of the given extent.
int KeepOnScreen(int position, int size, int screen) {
  if (position < 0) return 0;
  if (position + size > screen) return screen - size;
  return position;
}

}  // namespace

void CentreWindow(HWND window, HWND reference) {
  RECT own;
  if (!GetWindowRect(window, &own)) return;
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  HDC dc = GetDC(window);
  const int screenWidth = GetDeviceCaps(dc, HORZRES);
  const int screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(window, dc);
  RECT area;
  if (reference == 0 || !GetWindowRect(reference, &area)) {
    area = {0, 0, screenWidth, screenHeight};
  }
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(window, 0, KeepOnScreen(x, width, screenWidth), KeepOnScreen(y, height, screenHeight),
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
