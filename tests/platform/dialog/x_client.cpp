#include "x_client.h"

#include <X11/Xlib.h>

namespace {
Display* Connection() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}
}  // namespace

unsigned long CreateForeignWindow() {
  Display* d = Connection();
  if (!d) return 0;
  Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 300, 200, 0, 0, 0);
  XMapWindow(d, w);
  XSync(d, False);
  return w;
}

void DestroyForeignWindow(unsigned long window) {
  if (Display* d = Connection()) {
    XDestroyWindow(d, window);
    XSync(d, False);
  }
}
