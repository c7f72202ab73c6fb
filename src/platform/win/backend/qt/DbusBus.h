#pragma once
// Which message bus a desktop service talks to: the session's or the
// system's, or a bus at a given address (tests start their own).

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

struct TDbusBus {
    QDBusConnection::BusType Type = QDBusConnection::SessionBus;
    // Empty: the standard bus of Type.
    QString Address;
};

// The connection to Bus (kept for later calls); check isConnected().
QDBusConnection BusConnection(const TDbusBus& bus);
// Sends Call on Bus and waits at most Milliseconds for the answer; a missing
// bus, a missing service, an error and a late answer all come back as an
// error message.
QDBusMessage CallOnBus(const TDbusBus& bus, const QDBusMessage& call, int milliseconds);
