#include "saver/render_thread.h"

#include "life/world.h"
#include "platform/sys/event.h"
#include "platform/sys/priority.h"
#include "platform/sys/thread.h"
#include "platform/sys/tick_count.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "saver/saver_window.h"
#include "settings/resolved_options.h"
#include "settings/settings_flags.h"
#include "stage/stage.h"

namespace {

// Process-wide: one Render thread at a time, and the pacing outlives each one.
struct RenderThreadState {
  HANDLE stopEvent = nullptr;
  HANDLE thread = nullptr;
  RenderPacing pacing;
};
RenderThreadState Render;

constexpr uint32_t kInputIdleWaitMs = 10000;
constexpr uint32_t kInputIdleSliceMs = 20;
constexpr uint32_t kFinalStopTestMs = 1;

void CloseThreadHandles() {
  if (Render.thread != nullptr) CloseHandle(Render.thread);
  if (Render.stopEvent != nullptr) CloseHandle(Render.stopEvent);
  Render.thread = nullptr;
  Render.stopEvent = nullptr;
}

// The window thread may be the one that stops us, and while it waits for this
// thread it is never idle: the stop event is looked at between short waits.
// True when the thread is to stop.
bool WaitForInputIdleOrStop(StopEventClock& clock) {
  const uint32_t start = GetTickCount();
  while (!WaitForInputIdle(kInputIdleSliceMs)) {
    if (clock.WaitForStop(0)) return true;
    if (GetTickCount() - start >= kInputIdleWaitMs) break;
  }
  return clock.WaitForStop(0);
}

uint32_t RenderThreadMain(void* parameter) {
  HWND window = reinterpret_cast<HWND>(parameter);
  HANDLE stopEvent = Render.stopEvent;
  StopEventClock clock(stopEvent);
  if (WaitForInputIdleOrStop(clock)) return 0;
  RenderThreadHooks hooks(window, Render.pacing, clock);
  for (World* world = Saver.world.load(); world != nullptr && RunGeneration(*world, hooks);
       world = Saver.world.load()) {
  }
  if (!clock.WaitForStop(kFinalStopTestMs)) {
    Saver.status = ThreadEnded;
    PostMessage(window, MSG_RESTART, 0, 0);
  }
  return 0;
}

}  // namespace

uint32_t StopEventClock::Now() {
  return GetTickCount();
}

bool StopEventClock::WaitForStop(uint32_t milliseconds) {
  return WaitForSingleObject(stopEvent_, milliseconds) != WAIT_TIMEOUT;
}

bool StartRenderThread(HWND window) {
  CloseThreadHandles();
  Render.stopEvent = CreateEventA(true, false);
  SetRenderStopEvent(Render.stopEvent);
  Render.thread = CreateThread(&RenderThreadMain, reinterpret_cast<void*>(window));
  SetThreadPriority(Render.thread, THREAD_PRIORITY_IDLE);
  return true;
}

void StopRenderThread() {
  if (Render.thread == nullptr) return;
  SetThreadPriority(Render.thread, THREAD_PRIORITY_NORMAL);
  SetEvent(Render.stopEvent);
  WaitForSingleObject(Render.thread, INFINITE);
  SetRenderStopEvent(nullptr);
  CloseThreadHandles();
}

RenderThreadHooks::RenderThreadHooks(HWND window, RenderPacing& pacing, RenderClock& clock)
    : window_(window), pacing_(pacing), clock_(clock) {
  if (Resolved.PreviewMode) previewParent_ = GetParent(window);
  pacing_.SetLive(LiveFrameRateRequested());
}

void RenderThreadHooks::FramesStarting(World&) {
  pacing_.FramesStarting(clock_);
}

bool RenderThreadHooks::FrameStarting(World& world, uint32_t) {
  uint32_t wait = pacing_.NextWait(clock_, Resolved.FrameInterval);
  if (Resolved.FPS != 0) world.graphics.DrawOverlayText(0, 0, pacing_.OverlayText(clock_));
  return pacing_.Wait(clock_, wait);
}

void RenderThreadHooks::CellsAnimated(World& world) {
  if (Resolved.PreviewMode) TrackWindowPosition(world);
}

// A preview whose parent has gone must not draw again: its surface may be gone
// with it, and presenting there can hang inside the driver. The window is
// asked to close and the thread parks until it is stopped.
bool RenderThreadHooks::DrawFrame(World& world) {
  if (PreviewParentGone()) {
    PostMessage(window_, WM_CLOSE, 0, 0);
    clock_.WaitForStop(INFINITE);
    return false;
  }
  return world.RenderFrame();
}

void RenderThreadHooks::FrameShown(World&) {
  if (Resolved.FPS != 0) pacing_.FrameShown();
}

void RenderThreadHooks::RunEnded(World&) {
  pacing_.RunEnded(clock_);
}

bool RenderThreadHooks::PreviewParentGone() const {
  return previewParent_ != 0 && !IsWindow(previewParent_);
}

void RenderThreadHooks::TrackWindowPosition(World& world) {
  RECT rect;
  GetWindowRect(window_, &rect);
  if (rect.top == Resolved.WindowRect.top && rect.left == Resolved.WindowRect.left) return;
  Resolved.WindowRect = rect;
  world.OnWindowMoved(window_);
}
