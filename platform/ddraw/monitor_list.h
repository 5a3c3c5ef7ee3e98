#pragma once
#include <string>
#include <vector>

#include "platform/sys/types.h"

// One monitor of the X display: a rectangle of the root window that one screen
// (or a set of mirrored ones) shows.
struct Monitor {
  std::string name;  // the output's name ("HDMI-1"), or "XINERAMA-<n>"
  RECT area;         // on the root window, in pixels
  bool primary = false;
  double refreshHz = 0;  // 0 where the server does not say
};

// The monitors of the display, in the server's order; empty without a display.
// RandR 1.5 monitors, or Xinerama's screens where those are more: the RandR of
// a server that runs Xinerama over several screens knows only the first.
std::vector<Monitor> ListMonitors();

// The primary monitor, else the first; null for an empty list.
const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors);
const Monitor* FindMonitor(const std::vector<Monitor>& monitors, const std::string& name);
