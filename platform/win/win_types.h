#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// The plain types that travel with window messages.
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Called in place of WM_TIMER for a timer set with it; time is the message time.
using TIMERPROC = void (*)(HWND window, uint32_t message, uintptr_t id, uint32_t time);

// Cursors are never loaded on this platform; a null cursor hides the pointer.
struct PointerShape;
using HCURSOR = const PointerShape*;

struct MSG {
  HWND hwnd = 0;
  uint32_t message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  uint32_t time = 0;
  POINT pt;
};

// What a window class carries here: the style bits, the procedure and the name.
// Icon, cursor and background are the system's fixed choices (no cursor, black).
struct WNDCLASS {
  uint32_t style = 0;
  WNDPROC lpfnWndProc = nullptr;
  const char* lpszClassName = nullptr;
};

struct PAINTSTRUCT {
  RECT rcPaint;
  bool fErase = false;
};

constexpr uint16_t LOWORD(uintptr_t v) {
  return static_cast<uint16_t>(v & 0xFFFF);
}
constexpr uint16_t HIWORD(uintptr_t v) {
  return static_cast<uint16_t>((v >> 16) & 0xFFFF);
}
constexpr int16_t GET_X_LPARAM(LPARAM v) {
  return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(v)));
}
constexpr int16_t GET_Y_LPARAM(LPARAM v) {
  return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(v)));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>((static_cast<uint32_t>(hi & 0xFFFF) << 16) |
                             static_cast<uint32_t>(lo & 0xFFFF));
}
