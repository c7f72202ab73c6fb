#include "platform/win/backend/qttest/OffscreenDesktop.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/User.h"
#include "platform/win/paint/Composite.h"

TOffscreenDesktop::TOffscreenDesktop(const std::vector<TOffscreenScreen>& screens) {
    QJsonArray list;
    for (const TOffscreenScreen& screen : screens)
        list.append(QJsonObject{{"name", screen.name},
                                {"x", screen.geometry.x()},
                                {"y", screen.geometry.y()},
                                {"width", screen.geometry.width()},
                                {"height", screen.geometry.height()},
                                {"logicalDpi", 96},
                                {"logicalBaseDpi", 96},
                                {"dpr", 1}});
    // No frame margins: a window's geometry is the area we present.
    const QJsonObject config{{"synchronousWindowSystemEvents", false}, {"windowFrameMargins", false}, {"screens", list}};
    configFile_ = QDir::temp().filePath(QString("ostrel-offscreen-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(configFile_);
    if (file.open(QIODevice::WriteOnly)) file.write(QJsonDocument(config).toJson());
    file.close();
    static char program[] = "offscreen-desktop";
    static char platformOption[] = "-platform";
    static QByteArray platform;
    platform = ("offscreen:configfile=" + configFile_).toLocal8Bit();
    argv_ = {program, platformOption, platform.data(), nullptr};
    argc_ = 3;
    app_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
    InstallQtDesktop();
}

TOffscreenDesktop::~TOffscreenDesktop() {
    UninstallQtDesktop();
    app_.reset();
    QFile::remove(configFile_);
}

void SettleDesktop() {
    // Each side may give the other something to do; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
        RunUntilIdle();
    }
}

void FillDeviceContext(HDC dc, COLORREF color) {
    const TDeviceTarget* target = DeviceTargetOf(dc);
    if (!target || !target->surface) return;
    TSurface& surface = *target->surface;
    const TRegion area = target->clip & TRegion(RECT{0, 0, surface.width, surface.height});
    for (const RECT& r : area.Rects())
        for (int y = r.top; y < r.bottom; ++y) std::fill(surface.Row(y) + r.left, surface.Row(y) + r.right, PixelOf(color));
    surface.dirty |= area;
}

bool WriteDesktopPng(const RECT& area, const QString& path) {
    const TDesktopImage desktop = ComposeDesktop(area);
    const QImage image(reinterpret_cast<const uchar*>(desktop.pixels.data()), desktop.Width(),
                       desktop.area.bottom - desktop.area.top, desktop.Width() * 4, QImage::Format_ARGB32);
    return image.save(path, "PNG");
}
