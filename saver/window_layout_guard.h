#pragma once
#include "platform/sys/types.h"
#include "saver/block_list.h"

// What the guard asks of the window system. The saver passes the desktop's
// own calls; tests pass a desktop of their own making.
class WindowLayoutCalls {
 public:
  virtual ~WindowLayoutCalls() = default;
  virtual HWND GetForegroundWindow() = 0;
  virtual bool IsWindowVisible(HWND window) = 0;
  // The window below in the stacking order, 0 at the bottom.
  virtual HWND GetNextWindow(HWND window) = 0;
  virtual bool GetWindowRect(HWND window, RECT* rect) = 0;
  // Moves and sizes the window without touching its stacking order.
  virtual void MoveWindow(HWND window, const RECT& rect) = 0;
};

// The calls of the real desktop.
WindowLayoutCalls& DesktopWindowLayoutCalls();

struct WindowSnapshot {
  HWND window = 0;
  RECT rect;
};

// Remembers where the visible windows were when the saver window was created,
// so that a full-screen run that shuffled the desktop can put them back.
class WindowLayoutGuard {
 public:
  // Takes the snapshot: the foreground window and every window below it.
  explicit WindowLayoutGuard(WindowLayoutCalls& calls = DesktopWindowLayoutCalls());
  ~WindowLayoutGuard();
  WindowLayoutGuard(const WindowLayoutGuard&) = delete;
  WindowLayoutGuard& operator=(const WindowLayoutGuard&) = delete;

  // Only a successful full-screen start asks for the restore; a guard whose
  // start never succeeded leaves the desktop alone.
  void SetRestoreEnabled(bool enabled) { restoreEnabled_ = enabled; }
  bool RestoreEnabled() const { return restoreEnabled_; }

  // Empties the snapshot bottom-up, moving back what moved if asked to.
  void RestoreWindows();

  size_t SnapshotCount() const { return snapshots_.Count(); }

 private:
  void TakeSnapshot();
  void PutBack(const WindowSnapshot& snapshot);

  WindowLayoutCalls& calls_;
  BlockList<WindowSnapshot> snapshots_;
  bool restoreEnabled_ = false;
};
