#pragma once
#include <xcb/xcb.h>

#include <vector>

#include "platform/ddraw/monitor_list.h"

// The monitors as seen through one connection (see ListMonitors).
std::vector<Monitor> ListMonitors(xcb_connection_t* c, xcb_window_t root);

// Asks for RandR's notices of outputs, CRTCs and the screen size changing on
// that root; false where the server has no RandR.
bool WatchMonitorChanges(xcb_connection_t* c, xcb_window_t root);
