#include "platform/win/toplevel/DesktopChange.h"

#include "platform/win/core/Tree.h"

namespace {

void TellTopLevelWindows(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!CurrentQueueIfAny()) return;
    std::vector<HWND> tops;
    CollectTopLevel(tops);
    for (HWND h : tops)
        if (TWindow* w = LocalWindow(h)) Deliver(w, message, wParam, lParam);
}

} // namespace

void AnnounceDesktopChange(const TDesktopMetrics& before, const TDesktopMetrics& after) {
    bool monitorsChanged = before.Monitors.size() != after.Monitors.size();
    bool workAreasChanged = monitorsChanged;
    for (size_t i = 0; !monitorsChanged && i < after.Monitors.size(); ++i) {
        const TMonitorLayout &old = before.Monitors[i], &now = after.Monitors[i];
        monitorsChanged = old.Monitor != now.Monitor || old.Primary != now.Primary;
        workAreasChanged = workAreasChanged || old.WorkArea != now.WorkArea;
    }
    workAreasChanged = workAreasChanged || monitorsChanged;
    if (monitorsChanged) {
        const RECT& screen = after.Screen;
        TellTopLevelWindows(WM_DISPLAYCHANGE, 32,
                            MAKELPARAM(WORD(screen.right - screen.left), WORD(screen.bottom - screen.top)));
    }
    if (workAreasChanged) TellTopLevelWindows(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
}
