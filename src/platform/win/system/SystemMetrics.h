#pragma once
// System metrics and parameters: fixed classic values at 96 DPI, so layouts
// and pixel tests are stable, except what the desktop reports (screen, work
// area, double-click time, drag distance).

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

struct TMonitorLayout {
    RECT Monitor{};  // virtual-desktop coordinates; the origin may be anywhere
    RECT WorkArea{}; // the monitor less the desktop's panels
    bool Primary = false;
    String DeviceName;
};

// What the desktop reports; the presenter sets it (tests too). Zero for the
// double-click time or the drag distance means "not reported": 500 ms and 4
// pixels then.
struct TDesktopMetrics {
    RECT Screen{0, 0, 1920, 1080}; // the primary monitor
    RECT WorkArea{0, 0, 1920, 1080};
    RECT VirtualScreen{0, 0, 1920, 1080};
    // Every monitor, the primary one among them; empty: one monitor, Screen
    // with WorkArea.
    std::vector<TMonitorLayout> Monitors;
    UINT DoubleClickTime = 0;
    int DragDistance = 0;
};

// Monitors, when given, decide Screen, WorkArea and VirtualScreen (the
// primary monitor's, the bounds of all); without them one monitor is made of
// Screen and WorkArea. A change of monitors or work areas is announced to the
// calling thread's top-level windows: WM_DISPLAYCHANGE (32 bits per pixel, the
// primary screen's size), WM_SETTINGCHANGE with SPI_SETWORKAREA.
void SetDesktopMetrics(const TDesktopMetrics& metrics);
// Monitors is never empty.
TDesktopMetrics DesktopMetrics();

// Gives the desktop back as it was when the scope began (tests that change it).
class TDesktopMetricsScope {
public:
    TDesktopMetricsScope() : saved_(DesktopMetrics()) {}
    ~TDesktopMetricsScope() { SetDesktopMetrics(saved_); }
    TDesktopMetricsScope(const TDesktopMetricsScope&) = delete;
    TDesktopMetricsScope& operator=(const TDesktopMetricsScope&) = delete;

private:
    TDesktopMetrics saved_;
};
// The monitor marked primary, else the first.
size_t PrimaryMonitorIndex(const std::vector<TMonitorLayout>& monitors) noexcept;

// 0 for an index without a value.
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
// SPI_GETWHEELSCROLLLINES, SPI_GETWHEELSCROLLCHARS (UINT), SPI_GETDRAGFULLWINDOWS
// (BOOL), SPI_GETWORKAREA (RECT, the primary monitor's), SPI_GETNONCLIENTMETRICS (its sizes and
// the interface font at 9 points, bold for captions) and SPI_GETICONTITLELOGFONT (LOGFONTW). FALSE
// for other actions, a null Param or a wrong cbSize.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* param, UINT winIni);
