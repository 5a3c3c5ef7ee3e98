#include "platform/win/offscreen_window.h"

#include <map>
#include <mutex>

namespace {
constexpr HWND kFirstOffscreenWindow = 0x40000001;
std::mutex windowsLock;
std::map<HWND, std::pair<int, int>> windows;
HWND nextWindow = kFirstOffscreenWindow;
}  // namespace

HWND CreateOffscreenWindow(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  std::lock_guard guard(windowsLock);
  HWND window = nextWindow++;
  windows[window] = {width, height};
  return window;
}

void DestroyOffscreenWindow(HWND window) {
  std::lock_guard guard(windowsLock);
  windows.erase(window);
}

bool IsOffscreenWindow(HWND window) {
  std::lock_guard guard(windowsLock);
  return windows.count(window) != 0;
}

bool OffscreenWindowSize(HWND window, int* width, int* height) {
  std::lock_guard guard(windowsLock);
  auto it = windows.find(window);
  if (it == windows.end()) return false;
  *width = it->second.first;
  *height = it->second.second;
  return true;
}
