#pragma once
#include <cstdint>

#include "platform/ref.h"
#include "platform/sys/types.h"

// Limits blits to a primary surface to the window it names.
class DirectDrawClipper : public RefCounted {
 public:
  bool SetHWnd(uint32_t flags, HWND window);
  HWND Window() const { return window_; }

 private:
  HWND window_ = 0;
};
