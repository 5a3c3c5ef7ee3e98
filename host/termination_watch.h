#pragma once
#include <atomic>
#include <thread>

#include "platform/sys/types.h"

// SIGTERM and SIGINT end the saver the way a close does: XScreenSaver ends
// its display modes with SIGTERM, and a user presses Ctrl+C. The handler only
// writes a byte into a pipe; a watcher thread turns it into a posted WM_CLOSE,
// so the Render thread is stopped and the World released on the window thread
// as usual. While the watch lives the default handlers are replaced.
class TerminationWatch {
 public:
  TerminationWatch();
  ~TerminationWatch();
  TerminationWatch(const TerminationWatch&) = delete;
  TerminationWatch& operator=(const TerminationWatch&) = delete;

  // The window to close; a request that came before it existed closes it at
  // once. 0 stops closing anything.
  void CloseOnRequest(HWND window);
  bool Requested() const { return signal_.load() != 0; }
  // The signal that asked for the close; 0 while none came.
  int Signal() const { return signal_.load(); }

 private:
  void Watch();
  void Close();
  bool QuitWithin(int milliseconds);

  int readEnd_ = -1;
  int writeEnd_ = -1;
  std::atomic<int> signal_{0};
  std::atomic<HWND> window_{0};
  std::thread watcher_;
};

// Once armed (the saver's windows are), a clean end that has not come 250 ms
// after the signal is not waited for: the process ends at once, with status 0
// or (when set, for XScreenSaver's copies) by the signal.
void ArmLateEnd();
void EndLateBySignal(bool bySignal);

// Ends the process by that signal with its default action, once everything
// the saver had to put back is back: the way a parent sees a normal kill.
[[noreturn]] void EndBySignal(int signal);
