#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>

#include "TestDbusBus.h"

namespace {

QDBusMessage Call(QDBusConnection& connection, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.example.Stub", "/org/example/Stub", "org.example.Stub", method);
    call.setArguments(arguments);
    return connection.call(call, QDBus::Block, 5000);
}

} // namespace

TEST(TestDbusBus, StubServiceAnswersABlockingCallAndRecordsIt) {
    TTestDbusBus bus;
    ASSERT_TRUE(bus.Running());
    EXPECT_TRUE(bus.Address().startsWith("unix:"));
    TTestDbusStub& stub = bus.Serve("org.example.Stub", "/org/example/Stub", [](const QDBusMessage& call) {
        return std::optional<QDBusMessage>(call.createReply(QVariantList{call.arguments().value(0).toString() + "!"}));
    });
    QDBusConnection client = bus.Connect("test-dbus-bus-client");
    ASSERT_TRUE(client.isConnected());

    const QDBusMessage reply = Call(client, "Echo", {QString("你好")});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toString(), QString("你好!"));
    ASSERT_EQ(stub.Calls().size(), 1u);
    EXPECT_EQ(stub.Calls()[0].member(), "Echo");
}

TEST(TestDbusBus, ErrorsAndMissingServicesComeBackAsErrors) {
    TTestDbusBus bus;
    ASSERT_TRUE(bus.Running());
    QDBusConnection client = bus.Connect("test-dbus-bus-errors");
    EXPECT_EQ(Call(client, "Echo").errorName(), "org.freedesktop.DBus.Error.ServiceUnknown");

    bus.Serve("org.example.Stub", "/org/example/Stub", TTestDbusBus::ErrorReply("org.example.Refused", "no"));
    const QDBusMessage reply = Call(client, "Echo");
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), "org.example.Refused");
}
