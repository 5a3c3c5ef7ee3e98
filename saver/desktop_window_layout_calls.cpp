#include "platform/win/window.h"
#include "saver/window_layout_guard.h"

namespace {

class DesktopCalls : public WindowLayoutCalls {
 public:
  HWND GetForegroundWindow() override { return ::GetForegroundWindow(); }
  bool IsWindowVisible(HWND window) override { return ::IsWindowVisible(window); }
  HWND GetNextWindow(HWND window) override { return ::GetWindow(window, GW_HWNDNEXT); }
  bool GetWindowRect(HWND window, RECT* rect) override { return ::GetWindowRect(window, rect); }
  void MoveWindow(HWND window, const RECT& rect) override {
    ::SetWindowPos(window, 0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER);
  }
};

}  // namespace

WindowLayoutCalls& DesktopWindowLayoutCalls() {
  static DesktopCalls calls;
  return calls;
}
