#include "platform/win/event_translation.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win/keyboard_map.h"
#include "platform/win/messages.h"
#include "platform/win/styles.h"
#include "platform/win/window_state.h"
#include "platform/win/x_server.h"

namespace {

using Lock = std::lock_guard<std::mutex>;

WPARAM MouseKeyState(uint16_t state) {
  WPARAM keys = 0;
  if (state & XCB_KEY_BUT_MASK_BUTTON_1) keys |= MK_LBUTTON;
  if (state & XCB_KEY_BUT_MASK_BUTTON_2) keys |= MK_MBUTTON;
  if (state & XCB_KEY_BUT_MASK_BUTTON_3) keys |= MK_RBUTTON;
  if (state & XCB_KEY_BUT_MASK_SHIFT) keys |= MK_SHIFT;
  if (state & XCB_KEY_BUT_MASK_CONTROL) keys |= MK_CONTROL;
  return keys;
}

// Only for windows of ours that are not on their way out.
void PostInput(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam, int rootX, int rootY) {
  WindowState& state = State();
  Lock lock(state.mutex);
  WindowRecord* record = state.Find(window);
  if (!record || record->destroying) return;
  MSG m{window, message, wParam, lParam, MessageTime(), POINT{rootX, rootY}};
  // The pointer's latest place is all that matters; moves do not pile up.
  if (message == WM_MOUSEMOVE && !state.posted.empty() &&
      state.posted.back().message == WM_MOUSEMOVE && state.posted.back().hwnd == window)
    state.posted.back() = m;
  else
    state.posted.push_back(m);
  state.WakeLocked();
}

void OnKey(const xcb_key_press_event_t* event, bool down) {
  XServer* x = XServer::Get();
  uint32_t key = VirtualKeyFor(x->Connection(), event->detail);
  bool alt = (event->state & XCB_KEY_BUT_MASK_MOD_1) != 0;
  bool system = alt || key == VK_F10 || key == VK_MENU;
  uint32_t message =
      down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  // Repeat count 1, the scan code, the context bit for Alt, and the transition bits.
  auto bits = static_cast<uint32_t>(1 | ((event->detail - 8) & 0xFF) << 16);
  if (alt) bits |= 1u << 29;
  if (!down) bits |= 3u << 30;
  PostInput(event->event, message, key, static_cast<LPARAM>(static_cast<int32_t>(bits)),
            event->root_x, event->root_y);
}

void OnButton(const xcb_button_press_event_t* event, bool down) {
  LPARAM position = MAKELPARAM(event->event_x, event->event_y);
  WPARAM keys = MouseKeyState(event->state);
  switch (event->detail) {
    case 1:
      PostInput(event->event, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                down ? keys | MK_LBUTTON : keys & ~WPARAM{MK_LBUTTON}, position, event->root_x,
                event->root_y);
      break;
    case 2:
      PostInput(event->event, down ? WM_MBUTTONDOWN : WM_MBUTTONUP,
                down ? keys | MK_MBUTTON : keys & ~WPARAM{MK_MBUTTON}, position, event->root_x,
                event->root_y);
      break;
    case 3:
      PostInput(event->event, down ? WM_RBUTTONDOWN : WM_RBUTTONUP,
                down ? keys | MK_RBUTTON : keys & ~WPARAM{MK_RBUTTON}, position, event->root_x,
                event->root_y);
      break;
    case 4:
    case 5:
      if (down) {
        // The wheel's message carries screen coordinates, unlike the buttons'.
        auto delta = static_cast<uint16_t>(event->detail == 4 ? WHEEL_DELTA : -WHEEL_DELTA);
        PostInput(event->event, WM_MOUSEWHEEL, keys | (WPARAM{delta} << 16),
                  MAKELPARAM(event->root_x, event->root_y), event->root_x, event->root_y);
      }
      break;
    default:
      break;
  }
}

void OnMotion(const xcb_motion_notify_event_t* event) {
  PostInput(event->event, WM_MOUSEMOVE, MouseKeyState(event->state),
            MAKELPARAM(event->event_x, event->event_y), event->root_x, event->root_y);
}

void OnExpose(const xcb_expose_event_t* event) {
  if (event->count != 0) return;
  WindowState& state = State();
  Lock lock(state.mutex);
  if (WindowRecord* record = state.Find(event->window)) {
    record->needsPaint = true;
    state.WakeLocked();
  }
}

void OnConfigure(const xcb_configure_notify_event_t* event) {
  if (event->event != event->window) return;
  WindowState& state = State();
  Lock lock(state.mutex);
  WindowRecord* record = state.Find(event->window);
  if (!record || record->destroying) return;
  MSG base{event->window, 0, 0, 0, MessageTime(), {}};
  if (event->x != record->x || event->y != record->y) {
    MSG moved = base;
    moved.message = WM_MOVE;
    moved.lParam = MAKELPARAM(event->x, event->y);
    state.posted.push_back(moved);
  }
  if (event->width != record->width || event->height != record->height) {
    MSG sized = base;
    sized.message = WM_SIZE;
    sized.lParam = MAKELPARAM(event->width, event->height);
    state.posted.push_back(sized);
  }
  record->x = event->x, record->y = event->y;
  record->width = event->width, record->height = event->height;
  state.WakeLocked();
}

// Our own window destroyed, or the foreign parent of one of ours: either way the
// window is gone and the window thread must let its procedure know.
void OnDestroy(const xcb_destroy_notify_event_t* event) {
  WindowState& state = State();
  Lock lock(state.mutex);
  auto markLost = [&](HWND window) {
    if (std::find(state.lost.begin(), state.lost.end(), window) == state.lost.end())
      state.lost.push_back(window);
  };
  for (auto& [id, record] : state.windows) {
    if (record.destroying) continue;
    if (id == event->window || ((record.style & WS_CHILD) && record.parent == event->window))
      markLost(id);
  }
  state.WakeLocked();
}

bool IsOwnWindow(xcb_window_t window) {
  WindowState& state = State();
  Lock lock(state.mutex);
  return state.Find(window) != nullptr;
}

// Grabs and focus moves inside our own window are not a change of activation.
bool ChangesActivation(uint8_t mode, uint8_t detail) {
  bool realMove = mode == XCB_NOTIFY_MODE_NORMAL || mode == XCB_NOTIFY_MODE_WHILE_GRABBED;
  return realMove &&
         (detail == XCB_NOTIFY_DETAIL_ANCESTOR || detail == XCB_NOTIFY_DETAIL_NONLINEAR);
}

void OnFocus(const xcb_focus_in_event_t* event, bool in) {
  if (!ChangesActivation(event->mode, event->detail) || !IsOwnWindow(event->event)) return;
  bool toAnotherProgram = false;
  if (!in) {
    XServer* x = XServer::Get();
    auto* reply =
        xcb_get_input_focus_reply(x->Connection(), xcb_get_input_focus(x->Connection()), nullptr);
    toAnotherProgram = !reply || !IsOwnWindow(reply->focus);
    std::free(reply);
  }
  WindowState& state = State();
  Lock lock(state.mutex);
  WindowRecord* record = state.Find(event->event);
  if (!record || record->destroying) return;
  MSG m{event->event, WM_ACTIVATE, in ? WA_ACTIVE : WA_INACTIVE, 0, MessageTime(), {}};
  state.posted.push_back(m);
  if (in || toAnotherProgram) {
    m.message = WM_ACTIVATEAPP;
    m.wParam = in ? 1 : 0;
    state.posted.push_back(m);
  }
  state.WakeLocked();
}

// A topmost window goes back on top of anything that covers it, except other
// topmost windows of ours, which would otherwise take turns for ever.
void OnVisibility(const xcb_visibility_notify_event_t* event) {
  if (event->state == XCB_VISIBILITY_UNOBSCURED) return;
  XServer* x = XServer::Get();
  {
    WindowState& state = State();
    Lock lock(state.mutex);
    WindowRecord* record = state.Find(event->window);
    if (!record || !record->topmost || record->destroying) return;
  }
  auto tree = x->QueryTree(x->Root());
  if (!tree) return;
  auto self = std::find(tree->children.begin(), tree->children.end(), event->window);
  if (self == tree->children.end()) return;
  bool coveredByOthers = false;
  for (auto above = self + 1; above != tree->children.end(); ++above) {
    auto attributes = x->GetAttributes(*above);
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) continue;
    WindowState& state = State();
    Lock lock(state.mutex);
    WindowRecord* record = state.Find(*above);
    if (!record || !record->topmost) coveredByOthers = true;
  }
  if (!coveredByOthers) return;
  uint32_t stackAbove = XCB_STACK_MODE_ABOVE;
  xcb_configure_window(x->Connection(), event->window, XCB_CONFIG_WINDOW_STACK_MODE, &stackAbove);
  x->Flush();
}

}  // namespace

void TranslateEvent(const xcb_generic_event_t* event) {
  switch (event->response_type & 0x7F) {
    case XCB_KEY_PRESS:
      return OnKey(reinterpret_cast<const xcb_key_press_event_t*>(event), true);
    case XCB_KEY_RELEASE:
      return OnKey(reinterpret_cast<const xcb_key_press_event_t*>(event), false);
    case XCB_BUTTON_PRESS:
      return OnButton(reinterpret_cast<const xcb_button_press_event_t*>(event), true);
    case XCB_BUTTON_RELEASE:
      return OnButton(reinterpret_cast<const xcb_button_press_event_t*>(event), false);
    case XCB_MOTION_NOTIFY:
      return OnMotion(reinterpret_cast<const xcb_motion_notify_event_t*>(event));
    case XCB_EXPOSE:
      return OnExpose(reinterpret_cast<const xcb_expose_event_t*>(event));
    case XCB_CONFIGURE_NOTIFY:
      return OnConfigure(reinterpret_cast<const xcb_configure_notify_event_t*>(event));
    case XCB_DESTROY_NOTIFY:
      return OnDestroy(reinterpret_cast<const xcb_destroy_notify_event_t*>(event));
    case XCB_FOCUS_IN:
      return OnFocus(reinterpret_cast<const xcb_focus_in_event_t*>(event), true);
    case XCB_FOCUS_OUT:
      return OnFocus(reinterpret_cast<const xcb_focus_in_event_t*>(event), false);
    case XCB_VISIBILITY_NOTIFY:
      return OnVisibility(reinterpret_cast<const xcb_visibility_notify_event_t*>(event));
    default:
      // Errors of requests nobody checked land here too: a window that vanished
      // while we spoke about it is no reason to stop.
      return;
  }
}
