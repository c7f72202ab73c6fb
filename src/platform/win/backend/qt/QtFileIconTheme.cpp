#include "platform/win/backend/qt/QtFileIconTheme.h"

#include <QDir>
#include <QIcon>
#include <QMimeDatabase>
#include <QStandardPaths>

#include "platform/win/backend/qt/IconImages.h"
#include "platform/win/backend/qt/QtStrings.h"

namespace {

// The first of Names the theme has, Size pixels square; null when it has none.
HICON ThemeIcon(std::initializer_list<QString> names, int size) {
    for (const QString& name : names)
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            if (const HICON icon = IconOfImage(QIcon::fromTheme(name).pixmap(size, size).toImage(), size)) return icon;
    return nullptr;
}

} // namespace

QStringList TQtFileIconTheme::DesktopSearchPaths() {
    QStringList paths = QIcon::themeSearchPaths();
    QStringList folders{QDir::homePath() + QStringLiteral("/.icons")};
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders.append(data + QStringLiteral("/icons"));
    for (const QString& folder : folders)
        if (!paths.contains(folder)) paths.append(folder);
    return paths;
}

TQtFileIconTheme::TQtFileIconTheme(const QStringList& searchPaths, const QString& fallbackTheme)
    : previousPaths_(QIcon::themeSearchPaths()),
      previousTheme_(QIcon::themeName()),
      previousFallback_(QIcon::fallbackThemeName()) {
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setFallbackThemeName(fallbackTheme);
    // "hicolor" is where every theme ends, not a look of its own.
    if (previousTheme_.isEmpty() || previousTheme_ == QStringLiteral("hicolor")) QIcon::setThemeName(fallbackTheme);
}

TQtFileIconTheme::~TQtFileIconTheme() {
    QIcon::setThemeName(previousTheme_);
    QIcon::setFallbackThemeName(previousFallback_);
    QIcon::setThemeSearchPaths(previousPaths_);
}

String TQtFileIconTheme::MimeTypeOf(const String& path, bool folder) {
    if (folder) return u"inode/directory";
    return StringOf(QMimeDatabase().mimeTypeForFile(QStringOf(path), QMimeDatabase::MatchExtension).name());
}

HICON TQtFileIconTheme::MimeTypeIcon(const String& mimeType, int size) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(QStringOf(mimeType));
    return ThemeIcon({type.iconName(), type.genericIconName()}, size);
}

HICON TQtFileIconTheme::NamedIcon(const String& name, int size) { return ThemeIcon({QStringOf(name)}, size); }
