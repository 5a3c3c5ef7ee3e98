#include "platform/ddraw/direct_draw_clipper.h"

bool DirectDrawClipper::SetHWnd(uint32_t, HWND window) {
  window_ = window;
  return true;
}
