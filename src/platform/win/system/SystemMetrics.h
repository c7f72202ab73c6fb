#pragma once
// System metrics and parameters: fixed classic values at 96 DPI, so layouts
// and pixel tests are stable, except what the desktop reports (screen, work
// area, double-click time, drag distance).

#include "platform/win/Types.h"

// What the desktop reports; the presenter sets it (tests too). Zero for the
// double-click time or the drag distance means "not reported": 500 ms and 4
// pixels then.
struct TDesktopMetrics {
    RECT Screen{0, 0, 1920, 1080}; // the primary monitor
    RECT WorkArea{0, 0, 1920, 1080};
    RECT VirtualScreen{0, 0, 1920, 1080};
    UINT DoubleClickTime = 0;
    int DragDistance = 0;
};

void SetDesktopMetrics(const TDesktopMetrics& metrics);
TDesktopMetrics DesktopMetrics();

// 0 for an index without a value.
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
// SPI_GETWHEELSCROLLLINES, SPI_GETWHEELSCROLLCHARS (UINT), SPI_GETDRAGFULLWINDOWS
// (BOOL), SPI_GETWORKAREA (RECT) and SPI_GETNONCLIENTMETRICS (its sizes; the
// fonts are left zero). FALSE for other actions, a null Param or a wrong cbSize.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* param, UINT winIni);
