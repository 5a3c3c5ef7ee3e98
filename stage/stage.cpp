#include "stage/stage.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/ddraw/direct_draw.h"
#include "platform/gdi/gdi.h"
#include "platform/rm/direct3drm.h"
#include "platform/win/window.h"
#include "settings/resolved_options.h"

namespace {
std::atomic<HANDLE> renderStopEvent{nullptr};
constexpr uint32_t kDialogPollMilliseconds = 20;

// True when the wait timed out, as the stop event stayed clear.
bool StopEventStaysClear(uint32_t milliseconds) {
  HANDLE event = renderStopEvent;
  if (!event) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return true;
  }
  return WaitForSingleObject(event, milliseconds) == WAIT_TIMEOUT;
}
}  // namespace

void SetRenderStopEvent(HANDLE event) {
  renderStopEvent = event;
}

Stage::Stage() = default;

Stage::~Stage() {
  sceneFrame.Release();
  cameraFrame.Release();
  graphics.ReleaseAll();
}

bool Stage::Create(HWND window) {
  this->window = window;
  const OpenMode mode = Resolved.ScreenMode != 0 ? FullScreen : Windowed;
  if (!graphics.Open(window, mode)) {
    graphics.Trace("DDCreateError ");
    ShowCenteredMessage(kDirectDrawFailureText);
    return false;
  }
  if (!graphics.OpenDirect3D()) {
    graphics.Trace("CreateDirect3DRM Error!!!! ");
    ShowCenteredMessage(kDirect3DFailureText);
    return false;
  }
  return true;
}

void Stage::ShowCenteredMessage(const char* text) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int32_t width = outer.right - outer.left;
  const int32_t height = outer.bottom - outer.top;
  HDC dc = GetDC(window);
  if (!dc) return;
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  const int length = int(std::strlen(text));
  SIZE extent;
  GetTextExtentPoint32A(dc, text, length, &extent);
  TextOutA(dc, (width - extent.cx) / 2, (height - extent.cy) / 2, text, length);
  ReleaseDC(window, dc);
}

bool Stage::SetUpScene() {
  Direct3DRM* rm = graphics.rm.Get();
  if (rm) {
    rm->CreateFrame(Ref<RMFrame>(), &sceneFrame);
    if (sceneFrame) rm->CreateFrame(sceneFrame, &cameraFrame);
  }
  if (cameraFrame) {
    cameraFrame->SetPosition(sceneFrame, 0, 0, 0);
    cameraFrame->SetOrientation(sceneFrame, 0, 0, 1, 0, 1, 0);
  }
  graphics.SetUpViewport(cameraFrame);
  if (rm && sceneFrame) {
    Ref<RMLight> light;
    rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.3f, 0.3f, 0.3f, &light);
    if (light) sceneFrame->AddLight(light);
    light.Release();
    Ref<RMFrame> lightFrame;
    rm->CreateFrame(sceneFrame, &lightFrame);
    if (lightFrame) {
      lightFrame->SetOrientation(sceneFrame, 1, -1, 2, 0, 1, 0);
      rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.9f, 0.9f, &light);
      if (light) lightFrame->AddLight(light);
      light.Release();
    }
    lightFrame.Release();
  }
  graphics.SetReady(true);
  return true;
}

bool Stage::RenderFrame() {
  if (!graphics.ready) return true;
  // Set-up reports success even when it could not make everything; a frame
  // never uses what is missing and hands the problem to a restart instead.
  if (!sceneFrame || !cameraFrame || !graphics.viewport) return false;
  if (!graphics.RestoreLostSurfaces()) return false;
  if (!sceneFrame->Move(1.0f)) return false;
  graphics.RenderScene(sceneFrame);
  if (!graphics.windowed && !WaitWhileDialogInFront()) return false;
  return graphics.Present();
}

bool Stage::WaitWhileDialogInFront() {
  HWND front = GetForegroundWindow();
  if (front == 0 || front == window || GetParent(front) != window) return true;
  // Let the dialog paint itself on what the desktop shows.
  if (graphics.directDraw) graphics.directDraw->FlipToGDISurface();
  ShowWindow(front, SW_HIDE);
  ShowWindow(front, SW_SHOW);
  for (;;) {
    if (!StopEventStaysClear(kDialogPollMilliseconds)) return false;
    if (GetForegroundWindow() == window) return true;
  }
}

bool Stage::OnWindowMoved(HWND window) {
  if (graphics.windowed) graphics.UpdateWindowRect(window);
  return true;
}
