#pragma once
#include "platform/sys/types.h"

// Refreshes a second of the monitor that shows `area` (screen coordinates): the
// RandR CRTC that covers most of it, or the primary output's CRTC when none
// does. A server that reports no rate (Xvfb's modes have no timings) or has no
// RandR gives kAssumedRefreshRate.
inline constexpr double kAssumedRefreshRate = 60.0;
double MonitorRefreshRate(const RECT& area);
