#pragma once
// The desktop's screens as the window system's metrics: every QScreen a
// monitor (geometry, available geometry as its work area, the primary one),
// the virtual screen their union; published through SetDesktopMetrics now and
// whenever screens come, go or change. Work areas may be overridden by screen
// name (tests: the offscreen platform reports whole screens as available).

#include <map>

#include <QObject>

#include "platform/win/system/SystemMetrics.h"

class QScreen;

TDesktopMetrics MetricsOfScreens(const std::map<String, RECT>& workAreaOverrides);

class TScreenWatcher {
public:
    TScreenWatcher();
    ~TScreenWatcher();
    TScreenWatcher(const TScreenWatcher&) = delete;
    TScreenWatcher& operator=(const TScreenWatcher&) = delete;

    void OverrideWorkArea(const String& screenName, const RECT& workArea);
    void ClearWorkAreaOverrides();

private:
    void Watch(QScreen* screen);
    void Publish();

    QObject context_; // ends the connections with the watcher
    std::map<String, RECT> overrides_;
    TDesktopMetrics previous_;
};
