#include "saver/saver_window.h"

#include <ctime>

#include "life/world.h"
#include "platform/rm/x_file_loader.h"
#include "platform/sys/priority.h"
#include "platform/sys/tick_count.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "saver/render_thread.h"
#include "saver/window_layout_guard.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"
#include "settings/settings_flags.h"
#include "stage/first_frame_sink.h"

SaverInstance Saver;

namespace {

WNDPROC defaultProc = &DefWindowProc;

LRESULT Forward(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  return defaultProc(window, message, wParam, lParam);
}

// The Stage asks through this whether its frames have reached the window yet.
class SaverFirstFrameSink : public FirstFrameSink {
 public:
  bool FirstFrameSeen() const override { return Saver.firstFrameSeen.load(); }
  void PostFirstFrame(HWND window) override { PostMessage(window, MSG_FIRST_FRAME, 0, 0); }
};
SaverFirstFrameSink firstFrameSink;

void DeleteWorld() {
  delete Saver.world.exchange(nullptr);
}

bool FailStart(SaverStatusCode status) {
  Saver.status = status;
  return false;
}

// A child window is placed relative to its parent, while the remembered
// rectangle is in screen coordinates.
POINT PlaceInParent(HWND window, const RECT& rect) {
  POINT place{rect.left, rect.top};
  HWND parent = GetParent(window);
  if (parent == 0) return place;
  POINT origin;
  if (ClientToScreen(parent, &origin)) {
    place.x -= origin.x;
    place.y -= origin.y;
  }
  return place;
}

}  // namespace

void SetSaverDefaultProc(WNDPROC proc) {
  defaultProc = proc != nullptr ? proc : &DefWindowProc;
}

void CreateSaver(HWND window) {
  if (!AcquireInstanceMutex()) {
    PostQuitMessage(0);
    return;
  }
  Saver.startTick = GetTickCount();
  Saver.layoutGuard = std::make_unique<WindowLayoutGuard>();
  SetPriorityClass(IDLE_PRIORITY_CLASS);
  LoadProgramStrings();
  LoadSettings();
  ApplySettingsFlags();
  // The file's FPS measures repeatable runs; --fps only shows the rate of
  // whatever runs.
  const bool repeatable = Settings.FPS != 0 && !LiveFrameRateRequested();
  SeedRandom(repeatable ? 0u : static_cast<uint32_t>(std::time(nullptr)));
  RECT rect;
  GetWindowRect(window, &rect);
  ResolveOptions(rect);
  SetFirstFrameSink(&firstFrameSink);
  // A big object file takes seconds to read; meanwhile input and an end are
  // answered, and an end gives the load up.
  SetXFileCancelTest(&AnswerInputDuringWork);
  PostMessage(window, MSG_START, 0, 0);
}

// An end asked for while the saver starts is answered before each slow step
// (opening the display, reading the object) rather than after all of them.
bool StartSaver(HWND window) {
  if (Saver.world.load() != nullptr) return true;
  if (AnswerInputDuringWork()) return false;
  World* world = new World();
  Saver.world = world;
  if (!world->Create(window)) return FailStart(SetupFailed);
  if (!world->SetUpScene()) return FailStart(SetupFailed);
  if (!world->InitBoard(Resolved.BoardWidth, Resolved.BoardHeight)) return FailStart(SetupFailed);
  if (AnswerInputDuringWork()) return false;
  if (!world->BuildScene()) return FailStart(SceneFailed);
  // Only a full-screen run can have pushed other windows around.
  if (Saver.layoutGuard) Saver.layoutGuard->SetRestoreEnabled(!world->graphics.windowed);
  return StartRenderThread(window);
}

// The display is opened once more and closed before the real start, so that
// whatever the failed run left behind on the display is reset first.
void RestartSaver(HWND window) {
  if (Saver.world.load() == nullptr) return;
  DeleteWorld();
  auto probe = std::make_unique<World>();
  probe->Create(window);
  probe.reset();
  const RECT& rect = Resolved.WindowRect;
  POINT place = PlaceInParent(window, rect);
  SetWindowPos(window, HWND_TOP, place.x, place.y, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOCOPYBITS);
  StartSaver(window);
}

// The thread goes before the World, and the display mode is back before other
// windows are moved.
void EndSaver() {
  SetXFileCancelTest(nullptr);
  SetPriorityClass(NORMAL_PRIORITY_CLASS);
  StopRenderThread();
  DeleteWorld();
  SetFirstFrameSink(nullptr);
  ReleaseInstanceMutex();
  if (Saver.layoutGuard) {
    Saver.layoutGuard->RestoreWindows();
    Saver.layoutGuard.reset();
  }
}

void PaintWindow(HWND window) {
  if (Saver.status.load() != ThreadEnded) return;
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
}

bool AcceptMouseMove() {
  bool fullScreen = Resolved.ScreenMode != 0;
  if (fullScreen && Saver.status.load() == Running && !Saver.firstFrameSeen.load()) return false;
  Saver.mouseMoves += 1;
  if (GetTickCount() > Saver.startTick + kDoubleCountAfterMs) Saver.mouseMoves += 1;
  if (!fullScreen) return true;
  return Saver.mouseMoves >= kFullScreenMovesToEnd;
}

LRESULT SaverWindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateSaver(window);
      break;
    case WM_DESTROY:
      EndSaver();
      break;
    case WM_MOVE: {
      World* world = Saver.world.load();
      if (world != nullptr && world->OnWindowMoved(window)) return 0;
      break;
    }
    case WM_PAINT:
      PaintWindow(window);
      break;
    case WM_ERASEBKGND:
      // The window's own background is black already; once a start failed,
      // nothing may paint over the text that says why.
      return 0;
    case WM_SYSCOMMAND:
      return 0;
    case WM_MOUSEMOVE:
      if (!AcceptMouseMove()) return 0;
      break;
    case MSG_START:
      StartSaver(window);
      return 0;
    case MSG_FIRST_FRAME:
      Saver.firstFrameSeen = true;
      break;
    case MSG_RESTART:
      RestartSaver(window);
      break;
    default:
      break;
  }
  return Forward(window, message, wParam, lParam);
}

void ResetSaverInstance() {
  DeleteWorld();
  Saver.status = Running;
  Saver.firstFrameSeen = false;
  Saver.startTick = 0;
  Saver.mouseMoves = 0;
  Saver.layoutGuard.reset();
}
