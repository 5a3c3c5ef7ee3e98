#include "platform/win/standalone_frame.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  free(reply);
  return atom;
}

void SetText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
             const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8, uint32_t(text.size()),
                      text.data());
}

}  // namespace

uint32_t CreateStandaloneFrame(const char* title, int width, int height) {
  // The connection lives as long as the window: until the process ends or the
  // window manager closes it.
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (!c || xcb_connection_has_error(c)) {
    if (c) xcb_disconnect(c);
    return 0;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t frame = xcb_generate_id(c);
  const uint32_t values[] = {screen->black_pixel};
  xcb_void_cookie_t made = xcb_create_window_checked(
      c, XCB_COPY_FROM_PARENT, frame, screen->root, 0, 0, uint16_t(width), uint16_t(height), 0,
      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, values);
  if (xcb_generic_error_t* error = xcb_request_check(c, made)) {
    free(error);
    xcb_disconnect(c);
    return 0;
  }
  SetText(c, frame, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
  SetText(c, frame, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"), title);
  SetText(c, frame, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string("quellar\0Quellar\0", 16));
  xcb_map_window(c, frame);
  // The window exists for every other connection once the server has seen this.
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  return frame;
}
