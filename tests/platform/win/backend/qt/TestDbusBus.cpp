#include "TestDbusBus.h"

#include <atomic>
#include <chrono>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

// A session-like bus on one socket that lets everyone own names and send
// anything.
QByteArray BusConfig(const QString& socket) {
    return QByteArray(
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:path=") +
           socket.toUtf8() +
           QByteArray("</listen>\n"
                      "  <auth>EXTERNAL</auth>\n"
                      "  <policy context=\"default\">\n"
                      "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                      "    <allow eavesdrop=\"true\"/>\n"
                      "    <allow own=\"*\"/>\n"
                      "  </policy>\n"
                      "</busconfig>\n");
}

constexpr int kStartMilliseconds = 10000;

} // namespace

std::vector<QDBusMessage> TTestDbusStub::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

bool TTestDbusStub::WaitForCalls(size_t count, int milliseconds) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return calls_.size() >= count; });
}

bool TTestDbusStub::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(message);
    }
    arrived_.notify_all();
    if (std::optional<QDBusMessage> reply = handler_(message)) connection.send(*reply);
    return true;
}

QString TTestDbusStub::introspect(const QString&) const { return QString(); }

TTestDbusBus::TTestDbusBus() : folder_(std::make_unique<QTemporaryDir>()), daemon_(std::make_unique<QProcess>()) {
    if (!folder_->isValid()) return;
    const QString configPath = folder_->filePath("bus.conf");
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(BusConfig(folder_->filePath("bus"))) < 0) return;
    config.close();
    daemon_->start("dbus-daemon", {"--config-file=" + configPath, "--nofork", "--print-address"});
    if (!daemon_->waitForStarted(kStartMilliseconds)) return;
    while (!daemon_->canReadLine() && daemon_->waitForReadyRead(kStartMilliseconds)) {
    }
    address_ = QString::fromUtf8(daemon_->readLine()).trimmed();
}

TTestDbusBus::~TTestDbusBus() {
    // Unregistered first, so that no call reaches a stub being deleted. The
    // objects go out of the connections' trees synchronously here: a connection
    // closed on its own thread would otherwise disconnect from a stub that the
    // service thread may already have deleted.
    for (const auto& [name, path] : registrations_) QDBusConnection(name).unregisterObject(path);
    for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
    for (TTestDbusStub* stub : stubs_) stub->deleteLater();
    if (serviceThread_) {
        serviceThread_->quit();
        serviceThread_->wait();
    }
    if (daemon_->state() != QProcess::NotRunning) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(kStartMilliseconds)) daemon_->kill();
        daemon_->waitForFinished(kStartMilliseconds);
    }
}

QDBusConnection TTestDbusBus::Connect(const QString& name) {
    connections_.append(name);
    return QDBusConnection::connectToBus(address_, name);
}

TTestDbusStub& TTestDbusBus::Serve(const QString& service, const QString& path, TTestDbusStub::THandler handler,
                                   QDBusConnection::VirtualObjectRegisterOption mode) {
    if (!serviceThread_) {
        serviceThread_ = std::make_unique<QThread>();
        serviceThread_->start();
    }
    static std::atomic<int> served{0};
    auto* stub = new TTestDbusStub(std::move(handler));
    stubs_.push_back(stub);
    const QString name = QString("test-dbus-stub-%1").arg(++served);
    QDBusConnection connection = Connect(name);
    registrations_.emplace_back(name, path);
    // Registered first: what the registration hangs on the stub moves with it.
    connection.registerVirtualObject(path, stub, mode);
    stub->moveToThread(serviceThread_.get());
    connection.registerService(service);
    return *stub;
}

TTestDbusStub::THandler TTestDbusBus::EmptyReply() {
    return [](const QDBusMessage& call) { return std::optional<QDBusMessage>(call.createReply()); };
}

TTestDbusStub::THandler TTestDbusBus::ErrorReply(const QString& name, const QString& text) {
    return [name, text](const QDBusMessage& call) { return std::optional<QDBusMessage>(call.createErrorReply(name, text)); };
}
