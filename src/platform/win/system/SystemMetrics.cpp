#include "platform/win/system/SystemMetrics.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/rtl/Conversions.h"
#include "platform/win/Constants.h"
#include "platform/win/toplevel/DesktopChange.h"
#include "platform/win/text/FontObject.h"

namespace {

// Sizes of the non-client parts; the metrics below derive from them.
constexpr int kBorder = 1;
constexpr int kScrollBar = 17;
constexpr int kCaptionButton = 18;
constexpr int kSmallCaptionButtonWidth = 12;
constexpr int kSmallCaptionButtonHeight = 14;
constexpr int kMenuButton = 18;
constexpr UINT kMenuShowDelay = 400; // milliseconds before a submenu under the pointer opens
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kEdge = 2;

struct TMetric {
    int index;
    int value;
};

constexpr TMetric kFixedMetrics[] = {
    {SM_CXVSCROLL, kScrollBar},
    {SM_CYHSCROLL, kScrollBar},
    {SM_CYVSCROLL, kScrollBar},
    {SM_CXHSCROLL, kScrollBar},
    {SM_CYVTHUMB, kScrollBar},
    {SM_CXHTHUMB, kScrollBar},
    {SM_CYCAPTION, kCaptionButton + kBorder},
    {SM_CXBORDER, kBorder},
    {SM_CYBORDER, kBorder},
    {SM_CXDLGFRAME, kFixedFrame},
    {SM_CYDLGFRAME, kFixedFrame},
    {SM_CXFRAME, kSizingFrame},
    {SM_CYFRAME, kSizingFrame},
    {SM_CXEDGE, kEdge},
    {SM_CYEDGE, kEdge},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CYMENU, kMenuButton + kBorder},
    {SM_CXSIZE, kCaptionButton},
    {SM_CYSIZE, kCaptionButton},
    {SM_CXSMSIZE, kSmallCaptionButtonWidth},
    {SM_CYSMSIZE, kSmallCaptionButtonHeight},
    {SM_CYSMCAPTION, kSmallCaptionButtonHeight + kBorder},
    {SM_CXMENUSIZE, kMenuButton},
    {SM_CYMENUSIZE, kMenuButton},
    {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
    {SM_CXMIN, 112},
    {SM_CYMIN, 27},
    {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},
    {SM_CXMINIMIZED, 160},
    {SM_CYMINIMIZED, 24},
    {SM_CXMINSPACING, 160},
    {SM_CYMINSPACING, 24},
    {SM_CXICONSPACING, 75},
    {SM_CYICONSPACING, 75},
    {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},
    {SM_CXFOCUSBORDER, 1},
    {SM_CYFOCUSBORDER, 1},
    {SM_MOUSEPRESENT, 1},
    {SM_CMOUSEBUTTONS, 3},
    {SM_MOUSEWHEELPRESENT, 1},
    {SM_MOUSEHORIZONTALWHEELPRESENT, 1},
    {SM_SAMEDISPLAYFORMAT, 1},
    {SM_IMMENABLED, 1},
    {SM_NETWORK, 1},
    {SM_SERVERR2, 0},
};

constexpr UINT kDefaultDoubleClickTime = 500;
constexpr int kDefaultDragDistance = 4;
constexpr UINT kWheelScrollLines = 3;
constexpr UINT kWheelScrollChars = 3;

TDesktopMetrics Normalized(TDesktopMetrics metrics) {
    auto& monitors = metrics.Monitors;
    if (monitors.empty()) {
        monitors.push_back(TMonitorLayout{metrics.Screen, metrics.WorkArea, true, String()});
    } else {
        const TMonitorLayout& primary = monitors[PrimaryMonitorIndex(monitors)];
        metrics.Screen = primary.Monitor;
        metrics.WorkArea = primary.WorkArea;
        RECT all = monitors.front().Monitor;
        for (const TMonitorLayout& m : monitors)
            all = RECT{std::min(all.left, m.Monitor.left), std::min(all.top, m.Monitor.top),
                       std::max(all.right, m.Monitor.right), std::max(all.bottom, m.Monitor.bottom)};
        metrics.VirtualScreen = all;
    }
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].DeviceName.IsEmpty()) monitors[i].DeviceName = u"\\\\.\\DISPLAY" + IntToStr(int(i + 1));
    return metrics;
}

class TDesktop {
public:
    // Answers the metrics before.
    TDesktopMetrics Set(const TDesktopMetrics& metrics) {
        std::lock_guard lock(mutex_);
        return std::exchange(metrics_, Normalized(metrics));
    }
    TDesktopMetrics Get() {
        std::lock_guard lock(mutex_);
        return metrics_;
    }

private:
    std::mutex mutex_;
    TDesktopMetrics metrics_ = Normalized(TDesktopMetrics());
};

TDesktop& Desktop() {
    static TDesktop desktop;
    return desktop;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

} // namespace

void SetDesktopMetrics(const TDesktopMetrics& metrics) {
    const TDesktopMetrics before = Desktop().Set(metrics);
    AnnounceDesktopChange(before, Desktop().Get());
}

size_t PrimaryMonitorIndex(const std::vector<TMonitorLayout>& monitors) noexcept {
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].Primary) return i;
    return 0;
}
TDesktopMetrics DesktopMetrics() { return Desktop().Get(); }

int GetSystemMetrics(int index) {
    for (const TMetric& metric : kFixedMetrics)
        if (metric.index == index) return metric.value;
    const TDesktopMetrics desktop = DesktopMetrics();
    const int drag = desktop.DragDistance > 0 ? desktop.DragDistance : kDefaultDragDistance;
    switch (index) {
    case SM_CXSCREEN: return Width(desktop.Screen);
    case SM_CYSCREEN: return Height(desktop.Screen);
    case SM_CXFULLSCREEN: return Width(desktop.WorkArea);
    case SM_CYFULLSCREEN: return Height(desktop.WorkArea) - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXMAXIMIZED: return Width(desktop.WorkArea) + 2 * kSizingFrame;
    case SM_CYMAXIMIZED: return Height(desktop.WorkArea) + 2 * kSizingFrame;
    case SM_CXMAXTRACK: return Width(desktop.VirtualScreen) + 2 * (kSizingFrame + kEdge);
    case SM_CYMAXTRACK: return Height(desktop.VirtualScreen) + 2 * (kSizingFrame + kEdge);
    case SM_XVIRTUALSCREEN: return desktop.VirtualScreen.left;
    case SM_YVIRTUALSCREEN: return desktop.VirtualScreen.top;
    case SM_CXVIRTUALSCREEN: return Width(desktop.VirtualScreen);
    case SM_CYVIRTUALSCREEN: return Height(desktop.VirtualScreen);
    case SM_CXDRAG: return drag;
    case SM_CYDRAG: return drag;
    case SM_CMONITORS: return int(desktop.Monitors.size());
    default: return 0;
    }
}

UINT GetDoubleClickTime() {
    const UINT reported = DesktopMetrics().DoubleClickTime;
    return reported ? reported : kDefaultDoubleClickTime;
}

BOOL SystemParametersInfoW(UINT action, UINT, void* param, UINT) {
    if (!param) return FALSE;
    switch (action) {
    case SPI_GETWHEELSCROLLLINES: *static_cast<UINT*>(param) = kWheelScrollLines; return TRUE;
    case SPI_GETWHEELSCROLLCHARS: *static_cast<UINT*>(param) = kWheelScrollChars; return TRUE;
    case SPI_GETDRAGFULLWINDOWS: *static_cast<BOOL*>(param) = TRUE; return TRUE;
    case SPI_GETMENUSHOWDELAY: *static_cast<UINT*>(param) = kMenuShowDelay; return TRUE;
    case SPI_GETWORKAREA: *static_cast<RECT*>(param) = DesktopMetrics().WorkArea; return TRUE;
    case SPI_GETICONTITLELOGFONT: *static_cast<LOGFONTW*>(param) = InterfaceLogFont(-12, FW_NORMAL); return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* metrics = static_cast<NONCLIENTMETRICSW*>(param);
        const UINT size = metrics->cbSize;
        if (size != sizeof(NONCLIENTMETRICSW) && size != offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth))
            return FALSE;
        std::memset(metrics, 0, size);
        metrics->cbSize = size;
        metrics->iBorderWidth = kBorder;
        metrics->iScrollWidth = kScrollBar;
        metrics->iScrollHeight = kScrollBar;
        metrics->iCaptionWidth = kCaptionButton;
        metrics->iCaptionHeight = kCaptionButton;
        metrics->iSmCaptionWidth = kSmallCaptionButtonWidth;
        metrics->iSmCaptionHeight = kSmallCaptionButtonHeight;
        metrics->iMenuWidth = kMenuButton;
        metrics->iMenuHeight = kMenuButton;
        metrics->lfCaptionFont = InterfaceLogFont(-12, FW_BOLD);
        metrics->lfSmCaptionFont = InterfaceLogFont(-12, FW_BOLD);
        metrics->lfMenuFont = InterfaceLogFont(-12, FW_NORMAL);
        metrics->lfStatusFont = InterfaceLogFont(-12, FW_NORMAL);
        metrics->lfMessageFont = InterfaceLogFont(-12, FW_NORMAL);
        return TRUE;
    }
    default: return FALSE;
    }
}
