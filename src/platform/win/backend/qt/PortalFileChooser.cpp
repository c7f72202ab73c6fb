#include "platform/win/backend/qt/PortalFileChooser.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QUrl>
#include <QVariantMap>
#include <QWindow>

#include <atomic>
#include <mutex>

#include "platform/win/User.h"
#include "platform/win/backend/qt/PresenterWindow.h"
#include "platform/win/backend/qt/QtPresenter.h"

namespace {

const QString kPortalService = "org.freedesktop.portal.Desktop";
const QString kPortalPath = "/org/freedesktop/portal/desktop";
const QString kFileChooser = "org.freedesktop.portal.FileChooser";
const QString kRequest = "org.freedesktop.portal.Request";

struct TPortalPattern {
    uint kind = 0; // 0: a glob, 1: a MIME type
    QString pattern;
};

struct TPortalFilter {
    QString name;
    QList<TPortalPattern> patterns;
};

} // namespace

Q_DECLARE_METATYPE(TPortalPattern)
Q_DECLARE_METATYPE(TPortalFilter)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const TPortalPattern& p) {
    out.beginStructure();
    out << p.kind << p.pattern;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TPortalPattern& p) {
    in.beginStructure();
    in >> p.kind >> p.pattern;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const TPortalFilter& f) {
    out.beginStructure();
    out << f.name << f.patterns;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TPortalFilter& f) {
    in.beginStructure();
    in >> f.name >> f.patterns;
    in.endStructure();
    return in;
}

void RegisterPortalTypes() {
    static std::once_flag once;
    std::call_once(once, [] {
        qDBusRegisterMetaType<TPortalPattern>();
        qDBusRegisterMetaType<QList<TPortalPattern>>();
        qDBusRegisterMetaType<TPortalFilter>();
        qDBusRegisterMetaType<QList<TPortalFilter>>();
    });
}

QString ToQString(const String& s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
String FromQString(const QString& s) { return String(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

// Wakes the GUI thread's modal loop so that it looks at the request again.
void WakeLoop() { PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0); }

TPortalFilter PortalFilter(const TFileChooserFilter& filter) {
    TPortalFilter result{ToQString(filter.name), {}};
    for (const String& mask : filter.patterns) result.patterns.append({0, PortalPattern(mask)});
    return result;
}

// Bytes of a path as the portal takes them: UTF-8 ending in a NUL.
QByteArray PathBytes(const String& path) {
    QByteArray bytes = QByteArray::fromStdString(path.ToUtf8());
    bytes.append('\0');
    return bytes;
}

// "x11:<hex>" for the owner's top-level under X11; empty elsewhere.
QString ParentWindow(HWND owner) {
    if (!owner || QGuiApplication::platformName() != "xcb") return QString();
    const std::shared_ptr<TQtPresenter> presenter = InstalledQtPresenter();
    QWindow* window = presenter ? presenter->WindowOf(GetAncestor(owner, GA_ROOT)) : nullptr;
    return window ? "x11:" + QString::number(window->winId(), 16) : QString();
}

// The thread's shown and enabled windows: the chooser keeps them waiting.
std::vector<HWND> WindowsToDisable() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(),
                      [](HWND window, LPARAM list) {
                          if (IsWindowVisible(window) && IsWindowEnabled(window))
                              reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                          return TRUE;
                      },
                      LPARAM(&windows));
    return windows;
}

} // namespace

// Receives the request's Response signal.
class TPortalResponse : public QObject {
    Q_OBJECT

public:
    bool answered = false;
    uint code = 2;
    QVariantMap results;

public Q_SLOTS:
    void Response(uint responseCode, const QVariantMap& responseResults) {
        answered = true;
        code = responseCode;
        results = responseResults;
        WakeLoop();
    }
};

QString PortalPattern(const String& mask) {
    if (mask == u"*.*") return "*";
    QString pattern;
    for (const QChar c : ToQString(mask)) {
        if (c.toLower() != c.toUpper()) pattern += QString("[%1%2]").arg(c.toLower(), c.toUpper());
        else pattern += c;
    }
    return pattern;
}

TPortalFileChooser::TPortalFileChooser(TDbusBus bus, int replyMilliseconds)
    : bus_(std::move(bus)), replyMilliseconds_(replyMilliseconds) {}

TFileChooserAnswer TPortalFileChooser::Choose(const TFileChooserRequest& request) {
    // The replies arrive through Qt's event loop, which the GUI thread's waits run.
    if (!QCoreApplication::instance()) return {};
    RegisterPortalTypes();
    QDBusConnection connection = BusConnection(bus_);
    if (!connection.isConnected()) return {};

    static std::atomic<int> requests{0};
    const QString token = QString("ostrel%1").arg(++requests);
    const QString sender = connection.baseService().mid(1).replace('.', '_');
    QString requestPath = kPortalPath + "/request/" + sender + "/" + token;
    TPortalResponse response;
    connection.connect(QString(), requestPath, kRequest, "Response", &response, SLOT(Response(uint, QVariantMap)));

    QVariantMap options{{"handle_token", token}, {"modal", true}};
    if (!request.save) options["multiple"] = request.multiple;
    QList<TPortalFilter> filters;
    for (const TFileChooserFilter& filter : request.filters) filters.append(PortalFilter(filter));
    if (!filters.isEmpty()) {
        options["filters"] = QVariant::fromValue(filters);
        if (request.currentFilter >= 0 && request.currentFilter < filters.size())
            options["current_filter"] = QVariant::fromValue(filters[request.currentFilter]);
    }
    if (!request.currentFolder.IsEmpty()) options["current_folder"] = PathBytes(request.currentFolder);
    if (request.save) {
        if (!request.currentName.IsEmpty()) options["current_name"] = ToQString(request.currentName);
        if (!request.currentFile.IsEmpty()) options["current_file"] = PathBytes(request.currentFile);
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kFileChooser, request.save ? "SaveFile" : "OpenFile");
    call.setArguments({ParentWindow(request.owner), ToQString(request.title), options});

    QDBusPendingCallWatcher watcher(connection.asyncCall(call, replyMilliseconds_));
    bool replied = false, failed = false;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, [&](QDBusPendingCallWatcher* finished) {
        replied = true;
        if (finished->isError()) {
            failed = true;
        } else {
            // An older portal may choose another path: follow the one it answers.
            const QString handle = finished->reply().arguments().value(0).value<QDBusObjectPath>().path();
            if (!handle.isEmpty() && handle != requestPath) {
                connection.disconnect(QString(), requestPath, kRequest, "Response", &response,
                                      SLOT(Response(uint, QVariantMap)));
                requestPath = handle;
                connection.connect(QString(), requestPath, kRequest, "Response", &response,
                                   SLOT(Response(uint, QVariantMap)));
            }
        }
        WakeLoop();
    });

    TModalLoopOptions loop;
    loop.disable = WindowsToDisable();
    const TModalEnd ended = RunModalLoop([&] { return failed || response.answered; }, loop);
    connection.disconnect(QString(), requestPath, kRequest, "Response", &response, SLOT(Response(uint, QVariantMap)));

    TFileChooserAnswer answer;
    if (failed && !response.answered) return answer; // unavailable: our own dialog shows
    answer.outcome = TFileChooserOutcome::Cancelled;
    if (ended == TModalEnd::Quit) {
        connection.send(QDBusMessage::createMethodCall(kPortalService, requestPath, kRequest, "Close"));
        return answer;
    }
    if (response.code != 0) return answer;
    for (const QString& uri : response.results.value("uris").toStringList()) {
        const QUrl url(uri);
        if (url.isLocalFile()) answer.files.push_back(FromQString(url.toLocalFile()));
    }
    if (answer.files.empty()) return answer;
    answer.outcome = TFileChooserOutcome::Chosen;
    const QVariant chosenFilter = response.results.value("current_filter");
    if (chosenFilter.canConvert<QDBusArgument>()) {
        const TPortalFilter filter = qdbus_cast<TPortalFilter>(chosenFilter.value<QDBusArgument>());
        for (size_t i = 0; i < request.filters.size(); ++i)
            if (ToQString(request.filters[i].name) == filter.name) answer.filter = int(i);
    }
    return answer;
}

#include "PortalFileChooser.moc"
