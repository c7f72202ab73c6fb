#include "controls/XcWorkAreas.h"

TRect DesktopWorkArea() {
    const TRect area = Screen().WorkAreaRect();
    if (area.Width() > 0 && area.Height() > 0) return area;
    return {0, 0, Screen().Width(), Screen().Height()};
}

TRect MonitorWorkArea(const TMonitor* monitor) {
    return monitor->WorkareaRect();
}

TMonitor* FindMonitorByHandle(HMONITOR handle) {
    for (int i = 0; i < Screen().MonitorCount(); ++i)
        if (Screen().Monitors(i)->Handle() == handle) return Screen().Monitors(i);
    return nullptr;
}
