#include "platform/win/backend/qt/DbusBus.h"

#include <atomic>

QDBusConnection BusConnection(const TDbusBus& bus) {
    if (bus.Address.isEmpty())
        return bus.Type == QDBusConnection::SystemBus ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
    // One named connection per address, kept for later calls.
    return QDBusConnection::connectToBus(bus.Address, "ostrel-bus:" + bus.Address);
}

QDBusMessage CallOnBus(const TDbusBus& bus, const QDBusMessage& call, int milliseconds) {
    QDBusConnection connection = BusConnection(bus);
    if (!connection.isConnected())
        return call.createErrorReply(QDBusError::Disconnected, connection.lastError().message());
    return connection.call(call, QDBus::Block, milliseconds);
}
