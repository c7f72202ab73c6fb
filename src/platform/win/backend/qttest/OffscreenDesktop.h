#pragma once
// A desktop for presenter tests: Qt's offscreen platform with the screens
// given (the platform's configuration file), the Qt desktop installed on the
// calling thread, and helpers to let both event loops settle, to paint a
// window in one colour and to write what the desktop shows as PNG.

#include <memory>
#include <vector>

#include <QRect>
#include <QString>

#include "platform/win/Types.h"

class QGuiApplication;

struct TOffscreenScreen {
    QString name;
    QRect geometry;
};

class TOffscreenDesktop {
public:
    // The first screen is the primary one.
    explicit TOffscreenDesktop(const std::vector<TOffscreenScreen>& screens);
    ~TOffscreenDesktop();
    TOffscreenDesktop(const TOffscreenDesktop&) = delete;
    TOffscreenDesktop& operator=(const TOffscreenDesktop&) = delete;

private:
    QString configFile_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::unique_ptr<QGuiApplication> app_;
};

// Delivers Qt's pending events and then everything the window system has to
// do, until neither has anything left (without waiting).
void SettleDesktop();

// Fills what a device context may paint on with one colour.
void FillDeviceContext(HDC dc, COLORREF color);

// The composed desktop (ComposeDesktop) of Area as a PNG file.
bool WriteDesktopPng(const RECT& area, const QString& path);
