#include "platform/gdi/x_connection.h"

#include <cstdlib>
#include <mutex>

namespace {
std::mutex connectionLock;
xcb_connection_t* connection = nullptr;
// A server under load may refuse a connection; later uses try again, a few
// times, before the display is taken to be missing for good.
constexpr int kConnectAttempts = 5;
int attempts = 0;
xcb_screen_t* screen = nullptr;

int BitsPerPixelOfDepth(int depth) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
  for (; it.rem; xcb_format_next(&it))
    if (it.data->depth == depth) return it.data->bits_per_pixel;
  return depth;
}
}  // namespace

xcb_connection_t* TextConnection() {
  std::lock_guard guard(connectionLock);
  if (!connection && attempts < kConnectAttempts) {
    ++attempts;
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
      xcb_disconnect(c);
      return nullptr;
    }
    connection = c;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    screen = it.data;
  }
  return connection;
}

HWND RootWindow() {
  return TextConnection() && screen ? screen->root : 0;
}

bool QueryWindow(HWND window, WindowFacts* facts) {
  xcb_connection_t* c = TextConnection();
  if (!c) return false;
  if (window == 0) window = RootWindow();
  xcb_get_geometry_cookie_t cookie = xcb_get_geometry(c, xcb_drawable_t(window));
  xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, cookie, nullptr);
  if (!reply) return false;
  facts->width = reply->width;
  facts->height = reply->height;
  facts->depth = reply->depth;
  facts->bitsPerPixel = BitsPerPixelOfDepth(reply->depth);
  std::free(reply);
  return true;
}
