#pragma once
// What the screenshot demos share: the Qt desktop with its shapes and fonts,
// the output path from the command line, and the screen saved as PNG.

#include <cstdio>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/backend/qt/QtFontEngine.h"
#include "platform/win/backend/qt/QtShapeRasterizer.h"

// After QGuiApplication: false (with the usage printed) without an output path.
inline bool InstallDemoDesktop(int argc, char** argv, QString& outputPath) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return false;
    }
    outputPath = QString::fromLocal8Bit(argv[1]);
    InstallQtDesktop();
    InstallQtShapeRasterizer();
    InstallQtFontEngine();
    return true;
}

// Saves what the screen shows (the whole X screen, not only our windows).
inline bool SaveScreen(const QString& outputPath) {
    const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(outputPath, "PNG");
    std::printf("%s %s\n", saved ? "saved" : "could not save", outputPath.toLocal8Bit().constData());
    return saved;
}
