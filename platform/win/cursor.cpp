#include "platform/win/cursor.h"

#include <mutex>
#include <vector>

#include "platform/win/window_state.h"
#include "platform/win/x_server.h"

// The one cursor there is besides none: whatever the desktop shows.
struct PointerShape {};

namespace {

const PointerShape desktopCursor;
std::mutex cursorMutex;
HCURSOR current = &desktopCursor;

std::vector<HWND> OwnWindows() {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  std::vector<HWND> windows;
  for (auto& [id, record] : state.windows) windows.push_back(id);
  return windows;
}

}  // namespace

HCURSOR SetCursor(HCURSOR cursor) {
  XServer* x = XServer::Get();
  std::lock_guard lock(cursorMutex);
  HCURSOR previous = current;
  current = cursor ? &desktopCursor : nullptr;
  if (!x) return previous;
  uint32_t shape = cursor ? uint32_t{XCB_CURSOR_NONE} : x->InvisibleCursor();
  for (HWND window : OwnWindows())
    xcb_change_window_attributes(x->Connection(), static_cast<xcb_window_t>(window), XCB_CW_CURSOR,
                                 &shape);
  x->Flush();
  return previous;
}

bool GetCursorPos(POINT* point) {
  XServer* x = XServer::Get();
  if (!x || !point) return false;
  auto* reply = xcb_query_pointer_reply(x->Connection(),
                                        xcb_query_pointer(x->Connection(), x->Root()), nullptr);
  if (!reply) return false;
  *point = POINT{reply->root_x, reply->root_y};
  std::free(reply);
  return true;
}
