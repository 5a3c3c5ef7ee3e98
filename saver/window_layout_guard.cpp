#include "saver/window_layout_guard.h"

WindowLayoutGuard::WindowLayoutGuard(WindowLayoutCalls& calls) : calls_(calls) {
  TakeSnapshot();
}

WindowLayoutGuard::~WindowLayoutGuard() {
  while (snapshots_.Count() > 0) delete snapshots_.RemoveTail();
}

// Windows above the foreground one are other topmost windows, which a change
// of display mode does not push around; they are left out.
void WindowLayoutGuard::TakeSnapshot() {
  for (HWND window = calls_.GetForegroundWindow(); window != 0;
       window = calls_.GetNextWindow(window)) {
    if (!calls_.IsWindowVisible(window)) continue;
    auto* snapshot = new WindowSnapshot{window, {}};
    calls_.GetWindowRect(window, &snapshot->rect);
    snapshots_.AddTail(snapshot);
  }
}

void WindowLayoutGuard::RestoreWindows() {
  while (snapshots_.Count() > 0) {
    WindowSnapshot* snapshot = snapshots_.RemoveTail();
    if (restoreEnabled_) PutBack(*snapshot);
    delete snapshot;
  }
}

// A window that has gone fails both calls harmlessly; a window that did not
// move is not touched at all.
void WindowLayoutGuard::PutBack(const WindowSnapshot& snapshot) {
  RECT now;
  calls_.GetWindowRect(snapshot.window, &now);
  if (now == snapshot.rect) return;
  calls_.MoveWindow(snapshot.window, snapshot.rect);
}
