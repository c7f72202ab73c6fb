#pragma once
// The desktop's icon theme through Qt: the theme the platform names, else
// Adwaita (freedesktop's default look, installed with the program), looked up
// in the XDG data folders; MIME types from the shared MIME database by the
// file's name. While one lives, Qt's icon lookup is set so; it is put back
// when it goes.

#include <QStringList>

#include "platform/win/shell/FileIcons.h"

class TQtFileIconTheme : public IFileIconTheme {
public:
    // Qt's own places and the "icons" folders of the XDG data folders and ~/.icons.
    static QStringList DesktopSearchPaths();

    explicit TQtFileIconTheme(const QStringList& searchPaths = DesktopSearchPaths(),
                              const QString& fallbackTheme = QStringLiteral("Adwaita"));
    ~TQtFileIconTheme() override;
    TQtFileIconTheme(const TQtFileIconTheme&) = delete;
    TQtFileIconTheme& operator=(const TQtFileIconTheme&) = delete;

    String MimeTypeOf(const String& path, bool folder) override;
    HICON MimeTypeIcon(const String& mimeType, int size) override;
    HICON NamedIcon(const String& name, int size) override;

private:
    QStringList previousPaths_;
    QString previousTheme_, previousFallback_;
};
