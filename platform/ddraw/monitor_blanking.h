#pragma once
#include <atomic>
#include <map>
#include <thread>
#include <vector>

#include "platform/ddraw/monitor_list.h"
#include "platform/sys/types.h"

struct xcb_connection_t;

// While a full-screen run has one monitor, every other monitor is covered by a
// black window that bypasses the window manager and sits just below the saver
// window. Input there still reaches the saver, which holds the grabs.
//
// Monitors may come and go during the run: a new one is covered at once, and
// when the run's own monitor changes or goes the saver window is closed, as
// its picture no longer fits any screen.
class MonitorBlanking {
 public:
  MonitorBlanking(const Monitor& kept, HWND saverWindow);
  ~MonitorBlanking();
  MonitorBlanking(const MonitorBlanking&) = delete;
  MonitorBlanking& operator=(const MonitorBlanking&) = delete;

 private:
  void Cover(const std::vector<Monitor>& monitors);
  void Watch();
  void Drain();

  Monitor kept_;
  HWND saverWindow_;
  xcb_connection_t* connection_ = nullptr;
  uint32_t root_ = 0;
  std::map<std::vector<int32_t>, uint32_t> covers_;  // area -> window
  bool closing_ = false;
  int wake_[2] = {-1, -1};
  std::thread watcher_;
};
