#pragma once
// A private message bus for tests: its own dbus-daemon on a socket in a
// temporary folder, so that tests talk to stub services and never to the
// session's or the system's bus. Stub services answer from a thread of their
// own, so code under test may make blocking calls to them from the test's
// thread.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTemporaryDir;
class QThread;

// One object of a stub service: records every call it receives and answers
// through its handler (no answer when the handler gives none, as a service
// that hangs).
class TTestDbusStub : public QDBusVirtualObject {
public:
    using THandler = std::function<std::optional<QDBusMessage>(const QDBusMessage& call)>;

    explicit TTestDbusStub(THandler handler) : handler_(std::move(handler)) {}

    std::vector<QDBusMessage> Calls() const;
    // Waits up to Milliseconds until Count calls have arrived.
    bool WaitForCalls(size_t count, int milliseconds) const;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    THandler handler_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<QDBusMessage> calls_;
};

class TTestDbusBus {
public:
    TTestDbusBus();
    ~TTestDbusBus();
    TTestDbusBus(const TTestDbusBus&) = delete;
    TTestDbusBus& operator=(const TTestDbusBus&) = delete;

    // False when the daemon could not be started.
    bool Running() const { return !address_.isEmpty(); }
    // The bus's address, as QDBusConnection::connectToBus takes it.
    const QString& Address() const { return address_; }
    // A connection to the bus under Name (unique within the test program);
    // disconnected when the bus stops.
    QDBusConnection Connect(const QString& name);

    // Registers Service with a stub object at Path (SubPath: and below it)
    // that answers through Handler; the stub lives until the bus stops.
    TTestDbusStub& Serve(const QString& service, const QString& path, TTestDbusStub::THandler handler,
                         QDBusConnection::VirtualObjectRegisterOption mode = QDBusConnection::SingleNode);

    // A handler answering every call with an empty reply, or with an error.
    static TTestDbusStub::THandler EmptyReply();
    static TTestDbusStub::THandler ErrorReply(const QString& name, const QString& text);

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QProcess> daemon_;
    std::unique_ptr<QThread> serviceThread_;
    QString address_;
    QStringList connections_;
    std::vector<TTestDbusStub*> stubs_;
    // Where each stub is registered: connection name and path.
    std::vector<std::pair<QString, QString>> registrations_;
};
