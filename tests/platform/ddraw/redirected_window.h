#pragma once
#include <unistd.h>
#include <xcb/composite.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

#include "platform/sys/types.h"

// A mapped X window on the default display whose pixels stay off screen
// (composite), so that tests side by side on one server never see each
// other's windows in what they read back. It opens filled with `background`
// (0xRRGGBB). Null Id() when there is no display.
class RedirectedWindow {
 public:
  RedirectedWindow(int width, int height, int x = 0, int y = 0, xcb_window_t transientFor = 0,
                   uint32_t background = 0)
      : c_(Connect()), w_(width), h_(height) {
    if (xcb_connection_has_error(c_)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    id_ = xcb_generate_id(c_);
    const uint32_t values[] = {background, 1};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, id_, screen->root, int16_t(x), int16_t(y),
                      uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    if (transientFor)
      xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id_, XCB_ATOM_WM_TRANSIENT_FOR,
                          XCB_ATOM_WINDOW, 32, 1, &transientFor);
    free(xcb_composite_query_version_reply(c_, xcb_composite_query_version(c_, 0, 4), nullptr));
    xcb_composite_redirect_window(c_, id_, XCB_COMPOSITE_REDIRECT_MANUAL);
    xcb_map_window(c_, id_);
    Sync();
  }
  ~RedirectedWindow() {
    if (id_) xcb_destroy_window(c_, id_);
    xcb_disconnect(c_);
  }
  HWND Id() const { return id_; }
  void Sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
  void Focus() {
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, id_, XCB_CURRENT_TIME);
    Sync();
  }
  void MoveTo(int x, int y) {
    const uint32_t values[] = {uint32_t(x), uint32_t(y)};
    xcb_configure_window(c_, id_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    Sync();
  }
  // The window's pixels as 0xRRGGBB, rows top first.
  std::vector<uint32_t> Pixels() {
    auto* image = xcb_get_image_reply(
        c_,
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, id_, 0, 0, uint16_t(w_), uint16_t(h_), ~0u),
        nullptr);
    if (!image) return {};
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    std::vector<uint32_t> out(data, data + size_t(w_) * size_t(h_));
    free(image);
    for (uint32_t& p : out) p &= 0xFFFFFF;
    return out;
  }

 private:
  // A server busy with the neighbouring test programs now and then turns a
  // connection away; a second try a moment later gets in.
  static xcb_connection_t* Connect() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; attempt < 5 && xcb_connection_has_error(c); ++attempt) {
      xcb_disconnect(c);
      usleep(200000);
      c = xcb_connect(nullptr, nullptr);
    }
    return c;
  }

  xcb_connection_t* c_;
  int w_, h_;
  xcb_window_t id_ = 0;
};
