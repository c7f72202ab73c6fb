// The real desktop services and power-off executor against stub services on
// a private bus, with the programs they would start recorded.

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QStringList>

#include "TestDbusBus.h"
#include "platform/win/backend/qt/DbusDesktopServices.h"
#include "platform/win/backend/qt/LoginPowerOff.h"
#include "platform/win/shell/RecordingSpawn.h"

namespace {

const QString kFileManager = "org.freedesktop.FileManager1";
const QString kFileManagerPath = "/org/freedesktop/FileManager1";
const QString kLogin = "org.freedesktop.login1";
const QString kLoginPath = "/org/freedesktop/login1";

class DesktopServicesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus_.Running()); }
    TDbusBus Bus() const { return {QDBusConnection::SessionBus, bus_.Address()}; }

    TTestDbusBus bus_;
    TRecordingSpawn spawn_;
};

using TStart = TRecordingSpawn::TStart;

} // namespace

TEST_F(DesktopServicesTest, FoldersDocumentsAndLinksOpenThroughXdgOpenAsOneArgument) {
    TDbusDesktopServices services(Bus());
    EXPECT_TRUE(services.OpenFolder(u"/home/u/视频"));
    EXPECT_TRUE(services.OpenDocument(u"/tmp/it's \"a\" b.mp4"));
    EXPECT_TRUE(services.OpenDocument(u"https://example.org/?q=a&b=c"));
    EXPECT_EQ(spawn_.Starts, (std::vector<TStart>{{u"xdg-open", {u"/home/u/视频"}, {}},
                                                  {u"xdg-open", {u"/tmp/it's \"a\" b.mp4"}, {}},
                                                  {u"xdg-open", {u"https://example.org/?q=a&b=c"}, {}}}));
    spawn_.Answer = false;
    EXPECT_FALSE(services.OpenFolder(u"/tmp"));
}

TEST_F(DesktopServicesTest, RevealFileAsksTheFileManagerOnceWithTheEncodedUri) {
    TTestDbusStub& fileManager = bus_.Serve(kFileManager, kFileManagerPath, TTestDbusBus::EmptyReply());
    TDbusDesktopServices services(Bus());
    EXPECT_TRUE(services.RevealFile(u"/home/u/视频/a b#1.mp4"));

    const std::vector<QDBusMessage> calls = fileManager.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].interface(), kFileManager);
    EXPECT_EQ(calls[0].member(), "ShowItems");
    ASSERT_EQ(calls[0].arguments().size(), 2);
    EXPECT_EQ(calls[0].arguments()[0].toStringList(),
              QStringList{"file:///home/u/%E8%A7%86%E9%A2%91/a%20b%231.mp4"});
    EXPECT_EQ(calls[0].arguments()[1].toString(), QString());
    EXPECT_TRUE(spawn_.Starts.empty());
}

TEST_F(DesktopServicesTest, RevealFileOpensTheParentFolderWhenTheFileManagerFailsOrIsAbsent) {
    {
        TDbusDesktopServices services(Bus());
        EXPECT_TRUE(services.RevealFile(u"/home/u/视频/a.mp4"));
    }
    TTestDbusStub& failing = bus_.Serve(kFileManager, kFileManagerPath,
                                        TTestDbusBus::ErrorReply("org.freedesktop.DBus.Error.Failed", "no"));
    TDbusDesktopServices services(Bus());
    EXPECT_TRUE(services.RevealFile(u"/a.mp4"));
    EXPECT_EQ(failing.Calls().size(), 1u);
    EXPECT_EQ(spawn_.Starts, (std::vector<TStart>{{u"xdg-open", {u"/home/u/视频"}, {}}, {u"xdg-open", {u"/"}, {}}}));
}

TEST_F(DesktopServicesTest, RevealFileFallsBackWhenTheFileManagerDoesNotAnswerInTime) {
    bus_.Serve(kFileManager, kFileManagerPath, [](const QDBusMessage&) { return std::optional<QDBusMessage>(); });
    TDbusDesktopServices services(Bus(), 200);
    EXPECT_TRUE(services.RevealFile(u"/tmp/a.mp4"));
    EXPECT_EQ(spawn_.Starts, (std::vector<TStart>{{u"xdg-open", {u"/tmp"}, {}}}));
}

TEST_F(DesktopServicesTest, PowerOffSendsOneNonInteractiveRequestToTheLoginManager) {
    TTestDbusStub& login = bus_.Serve(kLogin, kLoginPath, TTestDbusBus::EmptyReply());
    TLoginPowerOffExecutor executor(Bus());
    EXPECT_TRUE(executor.PowerOff(0x1 | 0x4, 0x40000));

    const std::vector<QDBusMessage> calls = login.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].interface(), "org.freedesktop.login1.Manager");
    EXPECT_EQ(calls[0].member(), "PowerOff");
    EXPECT_EQ(calls[0].signature(), "b");
    EXPECT_EQ(calls[0].arguments(), QVariantList{false});
}

TEST_F(DesktopServicesTest, PowerOffAnswersFalseWhenRefusedOrAbsent) {
    TLoginPowerOffExecutor absent(Bus(), 500);
    EXPECT_FALSE(absent.PowerOff(0x1, 0));

    TTestDbusStub& refusing = bus_.Serve(kLogin, kLoginPath,
                                         TTestDbusBus::ErrorReply("org.freedesktop.DBus.Error.AccessDenied", "no"));
    TLoginPowerOffExecutor refused(Bus(), 500);
    EXPECT_FALSE(refused.PowerOff(0x1, 0));
    EXPECT_EQ(refusing.Calls().size(), 1u) << "a refusal is not tried again";
}

TEST_F(DesktopServicesTest, PowerOffGivesUpOnASilentLoginManagerWithinItsTimeout) {
    bus_.Serve(kLogin, kLoginPath, [](const QDBusMessage&) { return std::optional<QDBusMessage>(); });
    TLoginPowerOffExecutor executor(Bus(), 200);
    EXPECT_FALSE(executor.PowerOff(0x1, 0));
}

TEST(DesktopServicesNoBus, AnUnreachableBusAnswersFalseAndRevealStillOpensTheFolder) {
    TRecordingSpawn spawn;
    const TDbusBus nowhere{QDBusConnection::SessionBus, "unix:path=/nonexistent/ostrel-test-bus"};
    EXPECT_FALSE(TLoginPowerOffExecutor(nowhere, 500).PowerOff(0x1, 0));
    EXPECT_TRUE(TDbusDesktopServices(nowhere).RevealFile(u"/tmp/a.mp4"));
    EXPECT_EQ(spawn.Starts, (std::vector<TRecordingSpawn::TStart>{{u"xdg-open", {u"/tmp"}, {}}}));
}
