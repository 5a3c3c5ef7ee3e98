#pragma once
#include <cstdint>

#include "platform/win/win_types.h"

// Windows that another part of the platform keeps (the dialog layer's dialogs
// and controls, which are Qt widgets). The window calls of this library hand a
// handle that the provider claims to it instead of treating the handle as an X
// window; the provider answers on the thread that owns its windows.
class WindowProvider {
 public:
  virtual ~WindowProvider() = default;
  // Safe from any thread.
  virtual bool Owns(HWND window) = 0;

  virtual bool Show(HWND window, int command) = 0;
  virtual bool IsVisible(HWND window) = 0;
  virtual HWND Parent(HWND window) = 0;
  virtual bool WindowRect(HWND window, RECT* rect) = 0;
  virtual bool ClientRect(HWND window, RECT* rect) = 0;
  virtual bool ClientToScreen(HWND window, POINT* point) = 0;
  virtual bool SetPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                      uint32_t flags) = 0;
  virtual bool Destroy(HWND window) = 0;
  virtual bool SetForeground(HWND window) = 0;
  virtual LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
  virtual bool Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
  virtual uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapseMs, TIMERPROC proc) = 0;
  virtual bool KillTimer(HWND window, uintptr_t id) = 0;
};

// One provider per process; null removes it.
void SetWindowProvider(WindowProvider* provider);
// The provider when it claims the handle, else null.
WindowProvider* ProviderOf(HWND window);
