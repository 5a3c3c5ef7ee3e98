#pragma once
#include "platform/ref.h"
#include "platform/sys/handle.h"
#include "platform/sys/types.h"
#include "stage/graphics_context.h"

// What the user sees when the graphics cannot be opened.
inline constexpr char kDirectDrawFailureText[] = "DirectDraw の初期化に失敗しました。";
inline constexpr char kDirect3DFailureText[] = "Direct3D の初期化に失敗しました。";

// The rendering base of every 3-D view: it opens DirectDraw and Direct3D for
// one window, builds the scene frame, camera, viewport and lights, and turns
// each frame of the animation into pixels. Derived classes hang their own
// frames under the scene frame and release their own objects first.
class Stage {
 public:
  Stage();
  virtual ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  // Opens the graphics for the window in the mode the resolved options choose;
  // on failure the window shows why.
  bool Create(HWND window);
  // One line, white on black, in the middle of the window.
  void ShowCenteredMessage(const char* text);

  bool SetUpScene();
  // False when the Stage can no longer present; true when the frame was
  // presented or the Stage is not ready yet.
  bool RenderFrame();
  bool OnWindowMoved(HWND window);

  GraphicsContext graphics;
  Ref<RMFrame> sceneFrame;
  Ref<RMFrame> cameraFrame;
  HWND window = 0;

 private:
  bool WaitWhileDialogInFront();
};

// The Render thread's stop event, which ends the full-screen wait behind a
// dialog. Process-wide like the Render thread; null waits out the time.
void SetRenderStopEvent(HANDLE event);
