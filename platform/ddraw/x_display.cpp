#include "platform/ddraw/x_display.h"

#include <cstdlib>

#include "platform/gdi/x_connection.h"

bool XScreenSize(int screen, int* width, int* height) {
  xcb_connection_t* c = TextConnection();
  if (!c) return false;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screen && it.rem; ++i) xcb_screen_next(&it);
  if (!it.rem) return false;
  *width = it.data->width_in_pixels;
  *height = it.data->height_in_pixels;
  return true;
}

bool XWindowSize(HWND window, int* width, int* height) {
  WindowFacts facts;
  if (window == 0 || !QueryWindow(window, &facts)) return false;
  *width = facts.width;
  *height = facts.height;
  return true;
}

bool XWindowOrigin(HWND window, POINT* origin) {
  xcb_connection_t* c = TextConnection();
  if (!c || window == 0) return false;
  auto cookie =
      xcb_translate_coordinates(c, xcb_window_t(window), xcb_window_t(RootWindow()), 0, 0);
  xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
  if (!reply) return false;
  origin->x = reply->dst_x;
  origin->y = reply->dst_y;
  std::free(reply);
  return true;
}
