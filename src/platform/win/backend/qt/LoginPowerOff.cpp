#include "platform/win/backend/qt/LoginPowerOff.h"

bool TLoginPowerOffExecutor::PowerOff(uint32_t, uint32_t) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "PowerOff");
    // Not interactive: the desktop's policy answers without asking.
    call.setArguments({false});
    return CallOnBus(bus_, call, milliseconds_).type() == QDBusMessage::ReplyMessage;
}
