#pragma once
#include <cstdint>

// The few plain types that the system passes across every layer.

// A window handle is the X window id of a native window; 0 is no window.
using HWND = unsigned long;

struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const RECT&) const = default;
};

struct POINT {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const POINT&) const = default;
};
