#include "platform/win/window.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/win/cursor.h"
#include "platform/win/message_loop.h"
#include "platform/win/timer.h"
#include "platform/win/window_internal.h"
#include "platform/win/window_provider.h"
#include "platform/win/window_state.h"
#include "platform/win/x_server.h"

namespace {

constexpr uint32_t kInputEvents = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                  XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                  XCB_EVENT_MASK_POINTER_MOTION;
constexpr uint32_t kWindowEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

uint16_t Extent(int size) {
  return static_cast<uint16_t>(std::clamp(size, 1, 32767));
}

// The default 24-bit visual, so that the display code can draw on the window
// whatever visual its parent has; a foreign parent may well be 32-bit.
xcb_window_t CreateNativeWindow(XServer& x, xcb_window_t parent, int left, int top, int width,
                                int height, bool bypassManager, bool child) {
  xcb_screen_t* screen = x.Screen();
  xcb_window_t window = xcb_generate_id(x.Connection());
  uint32_t events =
      kWindowEvents |
      (child ? XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                   XCB_EVENT_MASK_POINTER_MOTION
             : kInputEvents | XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_VISIBILITY_CHANGE);
  // In value-mask order: back pixel, border pixel, override-redirect, events, colormap.
  uint32_t values[] = {screen->black_pixel, 0, bypassManager ? 1u : 0u, events,
                       screen->default_colormap};
  auto cookie = xcb_create_window_checked(
      x.Connection(), screen->root_depth, window, parent, static_cast<int16_t>(left),
      static_cast<int16_t>(top), Extent(width), Extent(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
      screen->root_visual,
      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
          XCB_CW_COLORMAP,
      values);
  return x.Check(cookie) ? window : 0;
}

// Lets a second copy of the program, or anyone else, find the window by class and title.
void NameWindow(XServer& x, xcb_window_t window, const std::string& className,
                const std::string& title) {
  x.SetStringProperty(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
  x.SetStringProperty(window, x.Atom("_NET_WM_NAME"), x.Atom("UTF8_STRING"), title);
  std::string wmClass = className + '\0' + className + '\0';
  x.SetStringProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
  uint32_t pid = static_cast<uint32_t>(getpid());
  xcb_change_property(x.Connection(), XCB_PROP_MODE_REPLACE, window, x.Atom("_NET_WM_PID"),
                      XCB_ATOM_CARDINAL, 32, 1, &pid);
}

// A foreign parent is watched for its destruction: the window goes with it, and
// whoever draws into it must stop before a swap can hang on a vanished window.
void WatchParent(XServer& x, xcb_window_t parent) {
  uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(x.Connection(), parent, XCB_CW_EVENT_MASK, &events);
}

// Another program may hold a grab for a moment (a menu, a drag); keep trying
// briefly rather than run a saver that input does not reach.
void GrabInput(XServer& x, xcb_window_t window) {
  xcb_connection_t* c = x.Connection();
  bool keyboard = false, pointer = false;
  for (int attempt = 0; attempt < 50 && !(keyboard && pointer); ++attempt) {
    if (attempt) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!keyboard) {
      auto* reply =
          xcb_grab_keyboard_reply(c,
                                  xcb_grab_keyboard(c, 0, window, XCB_CURRENT_TIME,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                  nullptr);
      keyboard = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
      free(reply);
    }
    if (!pointer) {
      auto* reply = xcb_grab_pointer_reply(
          c,
          xcb_grab_pointer(c, 0, window,
                           XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                               XCB_EVENT_MASK_POINTER_MOTION,
                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                           XCB_CURRENT_TIME),
          nullptr);
      pointer = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
      free(reply);
    }
  }
}

void RaiseWindow(XServer& x, xcb_window_t window) {
  uint32_t above = XCB_STACK_MODE_ABOVE;
  xcb_configure_window(x.Connection(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
}

bool OwnWindowOnThisThread(HWND window, WindowRecord* copy = nullptr) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = state.Find(window);
  if (!record || !state.IsWindowThreadLocked()) return false;
  if (copy) *copy = *record;
  return true;
}

// Forgets the window and everything queued for it.
void ForgetWindow(HWND window) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  state.windows.erase(window);
  KillWindowTimersLocked(state, window);
  std::erase_if(state.posted, [&](const MSG& m) { return m.hwnd == window; });
}

std::vector<HWND> OwnChildrenOf(HWND window) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  std::vector<HWND> children;
  for (auto& [id, record] : state.windows)
    if (record.parent == window && (record.style & WS_CHILD)) children.push_back(id);
  return children;
}

// WM_DESTROY reaches the window before its children, as the system does it.
void TearDown(HWND window, bool stillOnServer) {
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    WindowRecord* record = state.Find(window);
    if (!record || record->destroying) return;
    record->destroying = true;
  }
  // The window leaves the screen before its owner tears down what it drew with, so the desktop
  // comes back at once rather than after the teardown.
  if (XServer* x = XServer::Get(); x && stillOnServer) {
    xcb_unmap_window(x->Connection(), static_cast<xcb_window_t>(window));
    x->Flush();
  }
  CallWindowProcedure(window, WM_DESTROY, 0, 0);
  for (HWND child : OwnChildrenOf(window)) TearDown(child, stillOnServer);
  if (XServer* x = XServer::Get(); x && stillOnServer) {
    xcb_destroy_window(x->Connection(), static_cast<xcb_window_t>(window));
    x->Flush();
  }
  ForgetWindow(window);
}

}  // namespace

bool RegisterClass(const WNDCLASS& windowClass) {
  if (!windowClass.lpszClassName || !windowClass.lpfnWndProc) return false;
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  return state.classes.try_emplace(windowClass.lpszClassName, windowClass.lpfnWndProc).second;
}

HWND CreateWindowEx(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                    int x, int y, int width, int height, HWND parent) {
  XServer* server = XServer::Get();
  if (!server || !className) return 0;
  WindowRecord record;
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    auto found = state.classes.find(className);
    if (found == state.classes.end() || !state.IsWindowThreadLocked()) return 0;
    record.proc = found->second;
  }
  bool child = (style & WS_CHILD) != 0;
  if (child && !IsWindow(parent)) return 0;
  bool topmost = !child && (exStyle & WS_EX_TOPMOST);
  xcb_window_t xParent = child ? static_cast<xcb_window_t>(parent) : server->Root();
  xcb_window_t window = CreateNativeWindow(*server, xParent, x, y, width, height, topmost, child);
  if (!window) return 0;
  record.id = window;
  record.className = className;
  record.title = title ? title : "";
  record.style = style;
  record.exStyle = exStyle;
  record.parent = child ? parent : 0;
  record.topmost = topmost;
  record.x = x, record.y = y, record.width = width, record.height = height;
  NameWindow(*server, window, record.className, record.title);
  if (child) WatchParent(*server, xParent);
  server->Flush();
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    state.windows.emplace(window, record);
  }
  if (CallWindowProcedure(window, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(window);
    return 0;
  }
  if (!IsWindow(window)) return 0;
  if (style & WS_VISIBLE) ShowWindow(window, SW_SHOW);
  return window;
}

bool DestroyWindow(HWND window) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->Destroy(window);
  if (!OwnWindowOnThisThread(window)) return false;
  TearDown(window, true);
  return true;
}

void FinishLostWindow(HWND window) {
  TearDown(window, false);
}

LRESULT CallWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    if (WindowRecord* record = state.Find(window)) proc = record->proc;
  }
  return proc ? proc(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) PostMessage(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_ERASEBKGND:
      // The server has filled exposed parts with the class's black already.
      return 1;
    default:
      (void)lParam;
      return 0;
  }
}

bool ShowWindow(HWND window, int command) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->Show(window, command);
  XServer* server = XServer::Get();
  if (!server) return false;
  bool show = command != SW_HIDE;
  WindowRecord record;
  if (!OwnWindowOnThisThread(window, &record)) {
    bool wasVisible = IsWindowVisible(window);
    if (!IsWindow(window)) return false;
    if (show)
      xcb_map_window(server->Connection(), static_cast<xcb_window_t>(window));
    else
      xcb_unmap_window(server->Connection(), static_cast<xcb_window_t>(window));
    server->Flush();
    return wasVisible;
  }
  if (record.visible == show) return record.visible;
  CallWindowProcedure(window, WM_SHOWWINDOW, show ? 1 : 0, 0);
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    if (WindowRecord* r = state.Find(window)) r->visible = show;
  }
  auto xWindow = static_cast<xcb_window_t>(window);
  if (!show) {
    xcb_unmap_window(server->Connection(), xWindow);
    server->Flush();
    return true;
  }
  xcb_map_window(server->Connection(), xWindow);
  if (record.topmost) {
    RaiseWindow(*server, xWindow);
    GrabInput(*server, xWindow);
  }
  server->Flush();
  return false;
}

bool BeginPaint(HWND window, PAINTSTRUCT* paint) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = state.Find(window);
  if (!record) return false;
  record->needsPaint = false;
  if (paint) *paint = PAINTSTRUCT{RECT{0, 0, record->width, record->height}, false};
  return true;
}

void EndPaint(HWND, const PAINTSTRUCT*) {}
