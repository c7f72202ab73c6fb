// The desktop portal's file chooser against a stub portal on a private bus:
// what the requests carry, how responses become answers, and when the
// chooser is unavailable so that our own dialog shows.

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QVariantMap>

#include "PresenterFixture.h"
#include "TestDbusBus.h"
#include "platform/win/User.h"
#include "platform/win/backend/qt/PortalFileChooser.h"

namespace {

const QString kPortal = "org.freedesktop.portal.Desktop";
const QString kPortalPath = "/org/freedesktop/portal/desktop";
const QString kRequest = "org.freedesktop.portal.Request";

// The portal's filter record, (sa(us)), as the stub reads and writes it.
struct TPortalTestFilter {
    QString name;
    QList<QPair<uint, QString>> patterns;
};

} // namespace

Q_DECLARE_METATYPE(TPortalTestFilter)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const TPortalTestFilter& f) {
    out.beginStructure();
    out << f.name;
    out.beginArray(QMetaType::fromType<QPair<uint, QString>>());
    for (const auto& [kind, pattern] : f.patterns) {
        out.beginStructure();
        out << kind << pattern;
        out.endStructure();
    }
    out.endArray();
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TPortalTestFilter& f) {
    in.beginStructure();
    in >> f.name;
    in.beginArray();
    while (!in.atEnd()) {
        uint kind = 0;
        QString pattern;
        in.beginStructure();
        in >> kind >> pattern;
        in.endStructure();
        f.patterns.append({kind, pattern});
    }
    in.endArray();
    in.endStructure();
    return in;
}

std::vector<std::pair<QString, QStringList>> Filters(const QVariant& value) {
    QList<TPortalTestFilter> filters;
    value.value<QDBusArgument>() >> filters;
    std::vector<std::pair<QString, QStringList>> result;
    for (const TPortalTestFilter& filter : filters) {
        QStringList patterns;
        for (const auto& [kind, pattern] : filter.patterns) patterns << QString::number(kind) + ":" + pattern;
        result.emplace_back(filter.name, patterns);
    }
    return result;
}

class PortalFileChooserTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        static const bool registered = [] {
            qDBusRegisterMetaType<QPair<uint, QString>>();
            qDBusRegisterMetaType<TPortalTestFilter>();
            qDBusRegisterMetaType<QList<TPortalTestFilter>>();
            return true;
        }();
        (void)registered;
        ASSERT_TRUE(bus_.Running());
        responder_ = bus_.Connect("portal-test-responder");
    }
    TDbusBus Bus() const { return {QDBusConnection::SessionBus, bus_.Address()}; }

    static QVariantMap Options(const QDBusMessage& call) {
        return qdbus_cast<QVariantMap>(call.arguments().value(2));
    }
    // The request path the portal makes of the caller's name and token.
    static QString RequestPath(const QDBusMessage& call) {
        return kPortalPath + "/request/" + call.service().mid(1).replace('.', '_') + "/" +
               Options(call).value("handle_token").toString();
    }
    // A portal that takes each request (Respond, when given, answers it at once).
    TTestDbusStub& ServePortal(std::function<void(const QDBusMessage&)> respond = {}) {
        return bus_.Serve(
            kPortal, kPortalPath,
            [respond](const QDBusMessage& call) {
                if (call.interface() == kRequest) return std::optional<QDBusMessage>(call.createReply());
                if (respond) respond(call);
                return std::optional<QDBusMessage>(call.createReply(QVariant::fromValue(QDBusObjectPath(RequestPath(call)))));
            },
            QDBusConnection::SubPath);
    }
public:
    // Sends the Response signal of the request Call opened.
    void Respond(const QDBusMessage& call, uint code, const QVariantMap& results) {
        QDBusMessage signal = QDBusMessage::createSignal(RequestPath(call), kRequest, "Response");
        signal << code << results;
        responder_.send(signal);
    }

protected:
    static TFileChooserRequest VideoRequest() {
        TFileChooserRequest request;
        request.title = u"Open video";
        request.multiple = true;
        request.filters = {{u"Video files", {u"*.mp4", u"*.mkv"}}, {u"All files (*.*)", {u"*.*"}}};
        request.currentFilter = 1;
        request.currentFolder = u"/tmp/视频";
        return request;
    }

    TTestDbusBus bus_;
    QDBusConnection responder_{QString()};
};

TEST(PortalPattern, MasksMatchRegardlessOfCase) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"*.mp4", "*.[mM][pP]4"}, {u"*.*", "*"}, {u"*", "*"}, {u"A?.TXT", "[aA]?.[tT][xX][tT]"}, {u"视频*.ts", "视频*.[tT][sS]"},
    };
    for (const auto& [mask, pattern] : cases) EXPECT_EQ(PortalPattern(mask), QString::fromUtf8(pattern));
}

TEST_F(PortalFileChooserTest, OpenFileCarriesTheRequestAndResponseZeroGivesTheDecodedFiles) {
    const HWND window = Show(WS_OVERLAPPEDWINDOW, {100, 100, 400, 300});
    // The portal tells the window when the request arrives; a timer of the
    // test then fires while the desktop's dialog is open, and answers it.
    TTestDbusStub& portal = ServePortal([window](const QDBusMessage&) { PostMessageW(window, WM_APP, 0, 0); });
    Answer(window, WM_APP, [this, window](WPARAM, LPARAM) -> std::optional<LRESULT> {
        SetTimer(window, 1, 50, nullptr);
        Advance(50);
        return 0;
    });
    bool fired = false, windowEnabled = true;
    Answer(window, WM_TIMER, [&](WPARAM, LPARAM) -> std::optional<LRESULT> {
        KillTimer(window, 1);
        fired = true;
        windowEnabled = IsWindowEnabled(window);
        TPortalTestFilter all{"All files (*.*)", {{0, "*"}}};
        Respond(portal.Calls().at(0), 0,
                {{"uris", QStringList{"file:///tmp/%E8%A7%86%E9%A2%91/a.mp4", "file:///tmp/b.mkv"}},
                 {"current_filter", QVariant::fromValue(all)}});
        return 0;
    });

    TPortalFileChooser chooser(Bus());
    const TFileChooserAnswer answer = chooser.Choose(VideoRequest());

    EXPECT_EQ(answer.outcome, TFileChooserOutcome::Chosen);
    EXPECT_EQ(answer.files, (std::vector<String>{u"/tmp/视频/a.mp4", u"/tmp/b.mkv"}));
    EXPECT_EQ(answer.filter, 1);
    EXPECT_TRUE(fired);
    EXPECT_FALSE(windowEnabled) << "our windows wait for the desktop's dialog";
    EXPECT_TRUE(IsWindowEnabled(window));

    const std::vector<QDBusMessage> calls = portal.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].interface(), "org.freedesktop.portal.FileChooser");
    EXPECT_EQ(calls[0].member(), "OpenFile");
    EXPECT_EQ(calls[0].arguments().value(0).toString(), QString()) << "no X11 window to name";
    EXPECT_EQ(calls[0].arguments().value(1).toString(), "Open video");
    const QVariantMap options = Options(calls[0]);
    EXPECT_FALSE(options.value("handle_token").toString().isEmpty());
    EXPECT_TRUE(options.value("modal").toBool());
    EXPECT_TRUE(options.value("multiple").toBool());
    EXPECT_EQ(Filters(options.value("filters")),
              (std::vector<std::pair<QString, QStringList>>{{"Video files", {"0:*.[mM][pP]4", "0:*.[mM][kK][vV]"}},
                                                            {"All files (*.*)", {"0:*"}}}));
    TPortalTestFilter current;
    options.value("current_filter").value<QDBusArgument>() >> current;
    EXPECT_EQ(current.name, "All files (*.*)");
    EXPECT_EQ(options.value("current_folder").toByteArray(), QByteArray("/tmp/\xe8\xa7\x86\xe9\xa2\x91", 11) + '\0');
    EXPECT_FALSE(options.contains("current_name"));
}

TEST_F(PortalFileChooserTest, AFastResponseIsNotLostAndOnlyLocalFilesCount) {
    struct TCase {
        const char* name;
        uint code;
        QStringList uris;
        TFileChooserOutcome outcome;
        std::vector<String> files;
    };
    const TCase cases[] = {
        {"chosen", 0, {"file:///home/u/a%20b.mp4"}, TFileChooserOutcome::Chosen, {u"/home/u/a b.mp4"}},
        {"only remote files", 0, {"https://example.org/a.mp4"}, TFileChooserOutcome::Cancelled, {}},
        {"cancelled by the user", 1, {}, TFileChooserOutcome::Cancelled, {}},
        {"ended otherwise", 2, {}, TFileChooserOutcome::Cancelled, {}},
    };
    const TCase* current = nullptr;
    ServePortal([&](const QDBusMessage& call) { Respond(call, current->code, {{"uris", current->uris}}); });
    TPortalFileChooser chooser(Bus());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        current = &c;
        const TFileChooserAnswer answer = chooser.Choose(VideoRequest());
        EXPECT_EQ(answer.outcome, c.outcome);
        EXPECT_EQ(answer.files, c.files);
    }
}

TEST_F(PortalFileChooserTest, SaveFileProposesTheNameAndTheExistingFile) {
    TTestDbusStub& portal =
        ServePortal([this](const QDBusMessage& call) { Respond(call, 0, {{"uris", QStringList{"file:///tmp/out"}}}); });
    TFileChooserRequest request;
    request.save = true;
    request.multiple = true;
    request.currentFolder = u"/tmp";
    request.currentName = u"旧.mp4";
    request.currentFile = u"/tmp/旧.mp4";
    TPortalFileChooser chooser(Bus());
    const TFileChooserAnswer answer = chooser.Choose(request);
    EXPECT_EQ(answer.files, (std::vector<String>{u"/tmp/out"}));
    EXPECT_EQ(answer.filter, -1);
    const std::vector<QDBusMessage> calls = portal.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].member(), "SaveFile");
    const QVariantMap options = Options(calls[0]);
    EXPECT_FALSE(options.contains("multiple"));
    EXPECT_FALSE(options.contains("filters"));
    EXPECT_EQ(options.value("current_name").toString(), QString::fromUtf8("旧.mp4"));
    EXPECT_EQ(options.value("current_file").toByteArray(), QByteArray("/tmp/\xe6\x97\xa7.mp4", 12) + '\0');
}

TEST_F(PortalFileChooserTest, WithoutAnAnsweringPortalTheChooserIsUnavailable) {
    {
        SCOPED_TRACE("no portal on the bus");
        EXPECT_EQ(TPortalFileChooser(Bus()).Choose(VideoRequest()).outcome, TFileChooserOutcome::Unavailable);
    }
    {
        SCOPED_TRACE("no bus");
        EXPECT_EQ(TPortalFileChooser({QDBusConnection::SessionBus, "unix:path=/nonexistent/bus"})
                      .Choose(VideoRequest())
                      .outcome,
                  TFileChooserOutcome::Unavailable);
    }
    {
        SCOPED_TRACE("an error reply");
        TTestDbusBus bus;
        bus.Serve(kPortal, kPortalPath,
                  TTestDbusBus::ErrorReply("org.freedesktop.DBus.Error.UnknownMethod", "no FileChooser"));
        EXPECT_EQ(TPortalFileChooser({QDBusConnection::SessionBus, bus.Address()}).Choose(VideoRequest()).outcome,
                  TFileChooserOutcome::Unavailable);
    }
    {
        SCOPED_TRACE("no reply in time");
        TTestDbusBus bus;
        TTestDbusStub& silent =
            bus.Serve(kPortal, kPortalPath, [](const QDBusMessage&) { return std::optional<QDBusMessage>(); });
        EXPECT_EQ(TPortalFileChooser({QDBusConnection::SessionBus, bus.Address()}, 200).Choose(VideoRequest()).outcome,
                  TFileChooserOutcome::Unavailable);
        EXPECT_EQ(silent.Calls().size(), 1u);
    }
}

TEST_F(PortalFileChooserTest, AQuitWhileWaitingClosesTheRequestAndIsPostedAgain) {
    // The quit comes once the portal has the request.
    const DWORD thread = GetCurrentThreadId();
    TTestDbusStub& portal = ServePortal([thread](const QDBusMessage&) { PostThreadMessageW(thread, WM_QUIT, 4, 0); });
    const TFileChooserAnswer answer = TPortalFileChooser(Bus()).Choose(VideoRequest());
    EXPECT_EQ(answer.outcome, TFileChooserOutcome::Cancelled);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    ASSERT_TRUE(portal.WaitForCalls(2, 5000));
    const std::vector<QDBusMessage> calls = portal.Calls();
    EXPECT_EQ(calls[1].interface(), kRequest);
    EXPECT_EQ(calls[1].member(), "Close");
    EXPECT_EQ(calls[1].path(), RequestPath(calls[0]));
}

} // namespace
