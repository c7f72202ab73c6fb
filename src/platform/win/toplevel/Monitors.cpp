#include "platform/win/toplevel/Monitors.h"

#include <algorithm>
#include <climits>

#include "platform/win/core/Tree.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

// Handles are the monitor's place in the list, from 1.
HMONITOR HandleOf(size_t index) { return reinterpret_cast<HMONITOR>(uintptr_t(index + 1)); }

RECT Intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return r.right > r.left && r.bottom > r.top ? r : RECT{};
}

int64_t Area(const RECT& r) { return int64_t(r.right - r.left) * (r.bottom - r.top); }

// Squared gap between two rectangles (0 when they meet).
int64_t Gap(const RECT& a, const RECT& b) {
    const int64_t dx = std::max({0, b.left - a.right + 1, a.left - b.right + 1});
    const int64_t dy = std::max({0, b.top - a.bottom + 1, a.top - b.bottom + 1});
    return dx * dx + dy * dy;
}

HMONITOR Fallback(const std::vector<TMonitorLayout>& monitors, const RECT& r, DWORD flags) {
    if (flags == MONITOR_DEFAULTTOPRIMARY) return HandleOf(PrimaryMonitorIndex(monitors));
    if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
    size_t nearest = 0;
    for (size_t i = 1; i < monitors.size(); ++i)
        if (Gap(r, monitors[i].Monitor) < Gap(r, monitors[nearest].Monitor)) nearest = i;
    return HandleOf(nearest);
}

HMONITOR FromRect(const RECT& r, DWORD flags) {
    const std::vector<TMonitorLayout> monitors = DesktopMetrics().Monitors;
    size_t best = SIZE_MAX;
    int64_t bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (const int64_t area = Area(Intersection(r, monitors[i].Monitor)); area > bestArea) {
            best = i;
            bestArea = area;
        }
    return best != SIZE_MAX ? HandleOf(best) : Fallback(monitors, r, flags);
}

} // namespace

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) { return FromRect(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1}, flags); }

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    if (!rect) return nullptr;
    RECT r = *rect;
    // An empty rectangle counts as its corner point.
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{r.left, r.top, r.left + 1, r.top + 1};
    return FromRect(r, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return nullptr;
    RECT r = ScreenRect(w);
    if ((w->style & WS_MINIMIZE) && IsTopLevel(w)) r = w->normalRect;
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    const std::vector<TMonitorLayout> monitors = DesktopMetrics().Monitors;
    const size_t index = reinterpret_cast<uintptr_t>(monitor) - 1;
    if (!info || index >= monitors.size() ||
        (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXW)))
        return FALSE;
    const TMonitorLayout& m = monitors[index];
    info->rcMonitor = m.Monitor;
    info->rcWork = m.WorkArea;
    info->dwFlags = index == PrimaryMonitorIndex(monitors) ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXW)) {
        auto* ex = static_cast<MONITORINFOEXW*>(info);
        const size_t length = std::min<size_t>(m.DeviceName.Length(), CCHDEVICENAME - 1);
        std::copy_n(m.DeviceName.begin(), length, ex->szDevice);
        ex->szDevice[length] = 0;
    }
    return TRUE;
}

BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC proc, LPARAM data) {
    if (dc || !proc) return FALSE;
    const std::vector<TMonitorLayout> monitors = DesktopMetrics().Monitors;
    for (size_t i = 0; i < monitors.size(); ++i) {
        RECT part = clip ? Intersection(*clip, monitors[i].Monitor) : monitors[i].Monitor;
        if (clip && Area(part) == 0) continue;
        if (!proc(HandleOf(i), nullptr, &part, data)) return FALSE;
    }
    return TRUE;
}
