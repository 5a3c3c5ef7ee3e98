#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/win/messages.h"
#include "platform/win/win_types.h"

class World;
class WindowLayoutGuard;

// Private messages of the saver window.
inline constexpr uint32_t MSG_START = WM_USER;
inline constexpr uint32_t MSG_FIRST_FRAME = WM_USER + 1;
inline constexpr uint32_t MSG_RESTART = WM_USER + 2;

enum SaverStatusCode : int32_t {
  Running = 0,
  ThreadEnded = 1,  // the Render thread's loop ended by itself; a restart follows
  SceneFailed = 2,  // the object file did not load
  SetupFailed = 4,  // the display, the scene or the board could not be set up
};

// Full-screen mouse moves are swallowed until this many have been counted.
inline constexpr int32_t kFullScreenMovesToEnd = 15;
// After this long, each move counts twice.
inline constexpr uint32_t kDoubleCountAfterMs = 10000;

// One saver window per process, from WM_CREATE to WM_DESTROY.
struct SaverInstance {
  // Created and deleted on the window thread, only while no Render thread runs.
  std::atomic<World*> world{nullptr};
  std::atomic<int32_t> status{Running};
  std::atomic<bool> firstFrameSeen{false};
  uint32_t startTick = 0;
  int32_t mouseMoves = 0;
  std::unique_ptr<WindowLayoutGuard> layoutGuard;
};

extern SaverInstance Saver;

// The program's own saver window procedure. What it does not consume goes to
// the procedure given here (the host's default saver procedure).
LRESULT SaverWindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
void SetSaverDefaultProc(WNDPROC proc);

void CreateSaver(HWND window);
bool StartSaver(HWND window);
void RestartSaver(HWND window);
void EndSaver();
void PaintWindow(HWND window);
bool AcceptMouseMove();

// Back to the values at process start, for tests.
void ResetSaverInstance();
