#include "platform/win/window_state.h"

#include <QAbstractEventDispatcher>

WindowState& State() {
  static WindowState state;
  return state;
}

WindowRecord* WindowState::Find(HWND window) {
  auto found = windows.find(window);
  return found == windows.end() ? nullptr : &found->second;
}

void WindowState::WakeLocked() {
  changed.notify_all();
  if (sleepingDispatcher) sleepingDispatcher->wakeUp();
}

bool WindowState::IsWindowThreadLocked() {
  if (!hasWindowThread) {
    hasWindowThread = true;
    windowThread = std::this_thread::get_id();
  }
  return windowThread == std::this_thread::get_id();
}

uint32_t MessageTime() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
