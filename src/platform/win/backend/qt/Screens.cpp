#include "platform/win/backend/qt/Screens.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>

#include "platform/win/backend/qt/QtStrings.h"

namespace {

RECT RectOf(const QRect& r) { return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

} // namespace

TDesktopMetrics MetricsOfScreens(const std::map<String, RECT>& workAreaOverrides) {
    TDesktopMetrics metrics;
    const QScreen* primary = QGuiApplication::primaryScreen();
    bool first = true;
    for (const QScreen* screen : QGuiApplication::screens()) {
        TMonitorLayout monitor;
        monitor.Monitor = RectOf(screen->geometry());
        monitor.DeviceName = StringOf(screen->name());
        const auto found = workAreaOverrides.find(monitor.DeviceName);
        monitor.WorkArea = found != workAreaOverrides.end() ? found->second : RectOf(screen->availableGeometry());
        monitor.Primary = screen == primary;
        metrics.VirtualScreen = first ? monitor.Monitor : Union(metrics.VirtualScreen, monitor.Monitor);
        first = false;
        if (monitor.Primary) {
            metrics.Screen = monitor.Monitor;
            metrics.WorkArea = monitor.WorkArea;
        }
        metrics.Monitors.push_back(std::move(monitor));
    }
    const QStyleHints* hints = QGuiApplication::styleHints();
    metrics.DoubleClickTime = UINT(std::max(hints->mouseDoubleClickInterval(), 0));
    metrics.DragDistance = hints->startDragDistance();
    return metrics;
}

TScreenWatcher::TScreenWatcher() : previous_(DesktopMetrics()) {
    auto* app = static_cast<QGuiApplication*>(QCoreApplication::instance());
    QObject::connect(app, &QGuiApplication::screenAdded, &context_, [this](QScreen* screen) {
        Watch(screen);
        Publish();
    });
    QObject::connect(app, &QGuiApplication::screenRemoved, &context_, [this] { Publish(); });
    QObject::connect(app, &QGuiApplication::primaryScreenChanged, &context_, [this] { Publish(); });
    for (QScreen* screen : QGuiApplication::screens()) Watch(screen);
    Publish();
}

TScreenWatcher::~TScreenWatcher() { SetDesktopMetrics(previous_); }

void TScreenWatcher::OverrideWorkArea(const String& screenName, const RECT& workArea) {
    overrides_[screenName] = workArea;
    Publish();
}

void TScreenWatcher::ClearWorkAreaOverrides() {
    overrides_.clear();
    Publish();
}

void TScreenWatcher::Watch(QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, &context_, [this] { Publish(); });
    QObject::connect(screen, &QScreen::availableGeometryChanged, &context_, [this] { Publish(); });
}

void TScreenWatcher::Publish() { SetDesktopMetrics(MetricsOfScreens(overrides_)); }
