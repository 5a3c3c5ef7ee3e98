#include "platform/dialog/foreign_owner.h"

#include <xcb/xcb.h>

#include "platform/win/x_server.h"

void StayAboveForeignOwner(HWND window, HWND owner) {
  XServer* x = XServer::Get();
  if (!x || !owner || !window) return;
  auto ownerId = static_cast<xcb_window_t>(owner);
  xcb_change_property(x->Connection(), XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window),
                      XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &ownerId);
  x->Flush();
}
