#include "platform/win/backend/qt/DbusDesktopServices.h"

#include <QStringList>
#include <QUrl>

#include "platform/rtl/Files.h"
#include "platform/rtl/Spawn.h"

bool TDbusDesktopServices::OpenFolder(const String& path) { return OpenDocument(path); }

bool TDbusDesktopServices::OpenDocument(const String& target) {
    if (target.IsEmpty()) return false;
    return Spawn(u"xdg-open", {target});
}

bool TDbusDesktopServices::RevealFile(const String& path) {
    if (path.IsEmpty()) return false;
    const QString uri = QUrl::fromLocalFile(QString::fromStdString(path.ToUtf8())).toString(QUrl::FullyEncoded);
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call.setArguments({QStringList{uri}, QString()});
    if (CallOnBus(bus_, call, revealMilliseconds_).type() == QDBusMessage::ReplyMessage) return true;
    return OpenFolder(ExtractFileDir(path));
}
