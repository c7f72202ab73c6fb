#pragma once
// Monitors of the virtual desktop, as the desktop reports them
// (TDesktopMetrics::Monitors). A monitor handle stays valid while the desktop
// keeps the same number of monitors. Rectangles are virtual-desktop
// coordinates, whose origin may lie anywhere: a work area keeps the exact
// origin the desktop's panels leave it.

#include "platform/win/Constants.h"

// MONITOR_DEFAULTTONULL (null), MONITOR_DEFAULTTOPRIMARY, MONITOR_DEFAULTTONEAREST
// say what answers for a place on no monitor.
HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
// The monitor holding most of the rectangle.
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
// By the window's rectangle (a minimized one's normal rectangle).
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
// MONITORINFO (cbSize 40) or MONITORINFOEXW (104, with the device name).
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info);
// Every monitor meeting Clip (all without one), with that part; only without a
// device context.
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data);
