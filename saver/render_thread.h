#pragma once
#include <cstdint>

#include "life/generation.h"
#include "platform/sys/handle.h"
#include "platform/sys/types.h"
#include "saver/render_pacing.h"

// The Render thread runs generations and draws their frames, so the window
// thread stays free for messages. It ends on its stop event, or by itself when
// a frame cannot be presented, and then asks the window for a restart.

// Starts the thread as the last step of a successful start.
bool StartRenderThread(HWND window);
// Returns when the thread has ended (at once when none runs).
void StopRenderThread();

// The Render thread's own part around each generation: pacing and the stop
// test, the frame-rate overlay and count, and in a preview the window's place.
class RenderThreadHooks : public GenerationHooks {
 public:
  RenderThreadHooks(HWND window, RenderPacing& pacing, RenderClock& clock);

  void FramesStarting(World& world) override;
  bool FrameStarting(World& world, uint32_t frame) override;
  void CellsAnimated(World& world) override;
  bool DrawFrame(World& world) override;
  void FrameShown(World& world) override;
  void RunEnded(World& world) override;

 private:
  bool PreviewParentGone() const;
  void TrackWindowPosition(World& world);

  HWND window_;
  HWND previewParent_ = 0;
  RenderPacing& pacing_;
  RenderClock& clock_;
};

// The real clock: the tick count and a wait on the stop event.
class StopEventClock : public RenderClock {
 public:
  explicit StopEventClock(HANDLE stopEvent) : stopEvent_(stopEvent) {}
  uint32_t Now() override;
  bool WaitForStop(uint32_t milliseconds) override;

 private:
  HANDLE stopEvent_;
};
