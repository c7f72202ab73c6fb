#pragma once
// Where a window may go: the desktop's work areas, less its panels, in
// virtual-desktop coordinates (a monitor's origin need not be (0, 0)).

#include "platform/rtl/Geometry.h"
#include "platform/ui/Screen.h"

// The primary monitor's work area; without one, (0, 0) and the screen's size.
TRect DesktopWorkArea();
TRect MonitorWorkArea(const TMonitor* monitor);
// The monitor of Screen with that handle, or null.
TMonitor* FindMonitorByHandle(HMONITOR handle);
