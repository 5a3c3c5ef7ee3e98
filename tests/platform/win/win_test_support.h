#pragma once
// Test framework first: the X headers define names it uses.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <functional>
#include <mutex>
#include <string>
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

class MessageLog {
 public:
  static MessageLog& Get();
  void Add(const Recorded& r);
  void Clear();
  std::vector<Recorded> All();
  std::vector<Recorded> Of(uint32_t message);

 private:
  std::mutex mutex_;
  std::vector<Recorded> entries_;
};

// The class "QuellarTestWindow": records everything, then behaves by default.
const char* TestClass();

// Runs the message loop until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void PumpFor(int ms);

bool HaveDisplay();
void RunXdotool(const std::string& arguments);

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
