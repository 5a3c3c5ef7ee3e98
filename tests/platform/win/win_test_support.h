#pragma once
// Test framework first: the X headers define names it uses.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on

#include <functional>
#include <vector>

#include "platform/win/message_loop.h"
#include "platform/win/window.h"

// Every message that reaches a test window's procedure, in order.
struct Recorded {
  HWND window;
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
};

// The log is shared with the window procedure of other threads.
void ClearLog();
std::vector<Recorded> Log(uint32_t message = 0);  // 0: all of them

// True once a message of that kind meeting the condition was logged.
bool Logged(uint32_t message, const std::function<bool(const Recorded&)>& match = nullptr);

// The class "QuellarTestWindow": records everything, then behaves by default.
const char* TestClass();

// Runs the message loop until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

bool HaveDisplay();

// A second client of the X server, standing for other programs.
class OtherProgram {
 public:
  OtherProgram();
  ~OtherProgram();
  Display* display() const { return display_; }
  Window CreateWindow(int x, int y, int width, int height, bool bypassManager);
  void Sync() { XSync(display_, False); }

 private:
  Display* display_;
};

#define SKIP_WITHOUT_DISPLAY() \
  if (!HaveDisplay()) GTEST_SKIP() << "needs an X display"
