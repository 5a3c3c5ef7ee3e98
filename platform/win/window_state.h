#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/win/win_types.h"

class QAbstractEventDispatcher;

// What this process knows about its own windows, and its message queue. One
// mutex guards all of it: the window thread, the X event reader and any thread
// that posts meet here.

struct WindowRecord {
  HWND id = 0;
  WNDPROC proc = nullptr;
  std::string className;
  std::string title;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  HWND parent = 0;
  bool topmost = false;
  bool visible = false;
  bool needsPaint = false;
  bool destroying = false;
  int x = 0, y = 0, width = 0, height = 0;
};

struct WindowTimer {
  HWND window = 0;
  uintptr_t id = 0;
  TIMERPROC proc = nullptr;
  std::chrono::milliseconds interval{0};
  std::chrono::steady_clock::time_point due;
};

// A SendMessage from another thread, carried out by the window thread.
struct SentCall {
  MSG message;
  LRESULT result = 0;
  bool done = false;
};

struct WindowState {
  std::mutex mutex;
  // Signalled when the queue gets work and when a sent call is done.
  std::condition_variable changed;

  std::unordered_map<std::string, WNDPROC> classes;
  std::map<HWND, WindowRecord> windows;
  std::map<std::string, uint32_t> registeredMessages;

  std::deque<MSG> posted;
  std::deque<SentCall*> sent;
  // Windows the X server destroyed under us (with a foreign parent).
  std::vector<HWND> lost;
  std::vector<WindowTimer> timers;
  bool quitPosted = false;
  int quitCode = 0;

  bool hasWindowThread = false;
  std::thread::id windowThread;
  // True while the window thread waits with nothing to do.
  bool idle = false;
  // Set while the window thread sleeps inside Qt's event loop.
  QAbstractEventDispatcher* sleepingDispatcher = nullptr;

  WindowRecord* Find(HWND window);
  // Wakes the window thread; the caller holds the mutex.
  void WakeLocked();
  // Claims the window thread for the caller if no thread has it yet.
  bool IsWindowThreadLocked();
};

WindowState& State();

// Milliseconds of a monotonic clock, as message times carry them.
uint32_t MessageTime();
