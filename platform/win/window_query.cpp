#include <algorithm>
#include <cstring>

#include "platform/win/offscreen_window.h"
#include "platform/win/window.h"
#include "platform/win/window_provider.h"
#include "platform/win/window_state.h"
#include "platform/win/x_server.h"

namespace {

// X ids have 29 bits; anything larger cannot name a window.
bool PlausibleId(HWND window) {
  return window != 0 && window <= 0x1FFFFFFFul;
}

xcb_window_t Id(HWND window) {
  return static_cast<xcb_window_t>(window);
}

bool IsManagedClient(XServer& x, xcb_window_t window) {
  return x.GetProperty(window, x.Atom("WM_STATE")).has_value();
}

// The child of the root that holds the window (its frame, under a window manager).
xcb_window_t TopLevelOf(XServer& x, xcb_window_t window) {
  for (int depth = 0; depth < 64; ++depth) {
    auto tree = x.QueryTree(window);
    if (!tree || tree->parent == x.Root() || tree->parent == XCB_NONE) return window;
    window = tree->parent;
  }
  return window;
}

// The managed window the user sees for a top-level frame: itself or one child.
xcb_window_t ClientOf(XServer& x, xcb_window_t topLevel) {
  if (IsManagedClient(x, topLevel)) return topLevel;
  auto tree = x.QueryTree(topLevel);
  if (!tree) return topLevel;
  for (xcb_window_t child : tree->children)
    if (IsManagedClient(x, child)) return child;
  return topLevel;
}

bool IsOwnWindow(HWND window) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  return state.Find(window) != nullptr;
}

std::string ClassPartOf(const std::string& wmClass) {
  // WM_CLASS holds the instance name, then the class name, each ending in NUL.
  auto end = wmClass.find('\0');
  if (end == std::string::npos) return {};
  std::string rest = wmClass.substr(end + 1);
  return rest.substr(0, rest.find('\0'));
}

bool Matches(XServer& x, xcb_window_t window, const char* className, const char* title) {
  if (className) {
    auto wmClass = x.GetProperty(window, XCB_ATOM_WM_CLASS);
    if (!wmClass || ClassPartOf(*wmClass) != className) return false;
  }
  if (title) {
    auto name = x.GetProperty(window, x.Atom("_NET_WM_NAME"));
    if (!name) name = x.GetProperty(window, XCB_ATOM_WM_NAME);
    if (!name || std::strcmp(name->c_str(), title) != 0) return false;
  }
  return true;
}

HWND FindOwnWindow(const char* className, const char* title) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  for (auto& [id, record] : state.windows) {
    if (record.destroying || (record.style & WS_CHILD)) continue;
    if (className && record.className != className) continue;
    if (title && record.title != title) continue;
    return id;
  }
  return 0;
}

}  // namespace

bool IsWindow(HWND window) {
  if (ProviderOf(window)) return true;
  XServer* x = XServer::Get();
  return x && PlausibleId(window) && x->GetAttributes(Id(window)).has_value();
}

bool IsWindowVisible(HWND window) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->IsVisible(window);
  XServer* x = XServer::Get();
  if (!x || !PlausibleId(window)) return false;
  auto attributes = x->GetAttributes(Id(window));
  return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

HWND GetParent(HWND window) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->Parent(window);
  {
    WindowState& state = State();
    std::lock_guard lock(state.mutex);
    if (WindowRecord* record = state.Find(window)) return record->parent;
  }
  XServer* x = XServer::Get();
  if (!x || !PlausibleId(window)) return 0;
  auto owner = x->GetWindowList(Id(window), XCB_ATOM_WM_TRANSIENT_FOR);
  if (!owner.empty()) return owner[0];
  auto tree = x->QueryTree(Id(window));
  if (!tree || tree->parent == x->Root() || IsManagedClient(*x, Id(window))) return 0;
  return tree->parent;
}

HWND GetWindow(HWND window, uint32_t relation) {
  XServer* x = XServer::Get();
  if (!x || !PlausibleId(window) || (relation != GW_HWNDNEXT && relation != GW_HWNDPREV)) return 0;
  int step = relation == GW_HWNDNEXT ? -1 : 1;
  // Both lists run from the bottom to the top.
  auto managed = x->GetWindowList(x->Root(), x->Atom("_NET_CLIENT_LIST_STACKING"));
  auto inManaged = std::find(managed.begin(), managed.end(), Id(window));
  if (inManaged != managed.end()) {
    auto index = (inManaged - managed.begin()) + step;
    return index >= 0 && index < static_cast<long>(managed.size()) ? managed[index] : 0;
  }
  auto self = x->QueryTree(Id(window));
  if (!self) return 0;
  auto siblings = x->QueryTree(self->parent);
  if (!siblings) return 0;
  auto& list = siblings->children;
  auto at = std::find(list.begin(), list.end(), Id(window));
  if (at == list.end()) return 0;
  auto index = (at - list.begin()) + step;
  if (index < 0 || index >= static_cast<long>(list.size())) return 0;
  return self->parent == x->Root() ? ClientOf(*x, list[index]) : list[index];
}

HWND FindWindow(const char* className, const char* title) {
  if (HWND own = FindOwnWindow(className, title)) return own;
  XServer* x = XServer::Get();
  if (!x) return 0;
  auto root = x->QueryTree(x->Root());
  if (!root) return 0;
  for (auto top = root->children.rbegin(); top != root->children.rend(); ++top) {
    if (Matches(*x, *top, className, title)) return *top;
    xcb_window_t client = ClientOf(*x, *top);
    if (client != *top && Matches(*x, client, className, title)) return client;
  }
  return 0;
}

HWND GetForegroundWindow() {
  XServer* x = XServer::Get();
  if (!x) return 0;
  auto* reply =
      xcb_get_input_focus_reply(x->Connection(), xcb_get_input_focus(x->Connection()), nullptr);
  xcb_window_t focus = reply ? reply->focus : XCB_NONE;
  free(reply);
  bool real = focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT && focus != x->Root();
  if (real && IsOwnWindow(focus)) return focus;
  if (x->WindowManagerRunning()) {
    auto active = x->GetWindowList(x->Root(), x->Atom("_NET_ACTIVE_WINDOW"));
    if (!active.empty() && active[0] != XCB_NONE) return active[0];
  }
  if (!real) return 0;
  return ClientOf(*x, TopLevelOf(*x, focus));
}

bool SetForegroundWindow(HWND window) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->SetForeground(window);
  XServer* x = XServer::Get();
  if (!x || !PlausibleId(window)) return false;
  auto attributes = x->GetAttributes(Id(window));
  if (!attributes) return false;
  xcb_connection_t* c = x->Connection();
  if (!attributes->override_redirect && x->WindowManagerRunning() &&
      IsManagedClient(*x, Id(window))) {
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = Id(window);
    activate.type = x->Atom("_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 2;  // asked for by the user's action
    xcb_send_event(c, 0, x->Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&activate));
    x->Flush();
    return true;
  }
  uint32_t above = XCB_STACK_MODE_ABOVE;
  xcb_configure_window(c, TopLevelOf(*x, Id(window)), XCB_CONFIG_WINDOW_STACK_MODE, &above);
  if (attributes->map_state == XCB_MAP_STATE_VIEWABLE)
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, Id(window), XCB_CURRENT_TIME);
  x->Flush();
  return true;
}

// A window that exists only in memory sits at the origin of a screen of its own.
static bool OffscreenClientRect(HWND window, RECT* rect) {
  int width = 0, height = 0;
  if (!rect || !OffscreenWindowSize(window, &width, &height)) return false;
  *rect = RECT{0, 0, width, height};
  return true;
}

bool GetWindowRect(HWND window, RECT* rect) {
  if (WindowProvider* provider = ProviderOf(window)) return rect && provider->WindowRect(window, rect);
  if (IsOffscreenWindow(window)) return OffscreenClientRect(window, rect);
  XServer* x = XServer::Get();
  if (!x || !rect || !PlausibleId(window)) return false;
  auto geometry = x->GetGeometry(Id(window));
  auto origin = x->ToRoot(Id(window), 0, 0);
  if (!geometry || !origin) return false;
  *rect = RECT{origin->first, origin->second, origin->first + geometry->width,
               origin->second + geometry->height};
  return true;
}

bool GetClientRect(HWND window, RECT* rect) {
  if (WindowProvider* provider = ProviderOf(window)) return rect && provider->ClientRect(window, rect);
  if (IsOffscreenWindow(window)) return OffscreenClientRect(window, rect);
  XServer* x = XServer::Get();
  if (!x || !rect || !PlausibleId(window)) return false;
  auto geometry = x->GetGeometry(Id(window));
  if (!geometry) return false;
  *rect = RECT{0, 0, geometry->width, geometry->height};
  return true;
}

bool ClientToScreen(HWND window, POINT* point) {
  if (WindowProvider* provider = ProviderOf(window))
    return point && provider->ClientToScreen(window, point);
  if (IsOffscreenWindow(window)) return point != nullptr;
  XServer* x = XServer::Get();
  if (!x || !point || !PlausibleId(window)) return false;
  auto screen = x->ToRoot(Id(window), point->x, point->y);
  if (!screen) return false;
  *point = POINT{screen->first, screen->second};
  return true;
}

bool SetWindowPos(HWND window, HWND insertAfter, int left, int top, int width, int height,
                  uint32_t flags) {
  if (WindowProvider* provider = ProviderOf(window))
    return provider->SetPos(window, insertAfter, left, top, width, height, flags);
  XServer* x = XServer::Get();
  if (!x || !PlausibleId(window)) return false;
  // Values go in the order of their mask bits.
  uint16_t mask = 0;
  uint32_t values[7];
  int count = 0;
  if (!(flags & SWP_NOMOVE)) {
    mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
    values[count++] = static_cast<uint32_t>(left);
    values[count++] = static_cast<uint32_t>(top);
  }
  if (!(flags & SWP_NOSIZE)) {
    mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
    values[count++] = static_cast<uint32_t>(std::clamp(width, 1, 32767));
    values[count++] = static_cast<uint32_t>(std::clamp(height, 1, 32767));
  }
  if (!(flags & SWP_NOZORDER) && insertAfter != HWND_NOTOPMOST) {
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
      mask |= XCB_CONFIG_WINDOW_STACK_MODE;
      values[count++] = XCB_STACK_MODE_ABOVE;
    } else if (insertAfter == HWND_BOTTOM) {
      mask |= XCB_CONFIG_WINDOW_STACK_MODE;
      values[count++] = XCB_STACK_MODE_BELOW;
    } else {
      mask |= XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
      values[count++] = Id(insertAfter);
      values[count++] = XCB_STACK_MODE_BELOW;
    }
  }
  bool done = x->Check(
      xcb_configure_window_checked(x->Connection(), Id(window), mask, mask ? values : nullptr));
  if (done && (flags & SWP_SHOWWINDOW)) ShowWindow(window, SW_SHOW);
  if (done && (flags & SWP_HIDEWINDOW)) ShowWindow(window, SW_HIDE);
  return done;
}

bool GetScreenClipBox(RECT* rect) {
  XServer* x = XServer::Get();
  if (!x || !rect) return false;
  *rect = RECT{0, 0, x->Screen()->width_in_pixels, x->Screen()->height_in_pixels};
  return true;
}
