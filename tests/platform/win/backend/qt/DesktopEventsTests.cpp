// What the desktop does to a presented window comes back into the window system.

#include <QCursor>
#include <QGuiApplication>
#include <QTest>

#include "PresenterFixture.h"

namespace {

using DesktopEventsTest = PresenterTest;

TEST_F(DesktopEventsTest, MovesAndResizesByTheDesktopGoThroughTheWindowSystemAndItsCorrectionsGoBack) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    // The form keeps a width of at least 300.
    Answer(form, WM_WINDOWPOSCHANGING, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && pos->cx < 300) pos->cx = 300;
        return std::nullopt;
    });
    QtWindow(form)->setGeometry(QRect(150, 120, 450, 350));
    SettleDesktop();
    RECT r;
    GetWindowRect(form, &r);
    EXPECT_EQ(r, (RECT{150, 120, 600, 470}));
    EXPECT_FALSE(MessagesOf(form, {WM_SIZE}).empty());

    QtWindow(form)->resize(200, 350);
    SettleDesktop();
    GetWindowRect(form, &r);
    EXPECT_EQ(r, (RECT{150, 120, 450, 470}));
    EXPECT_EQ(QtWindow(form)->geometry(), QRect(150, 120, 300, 350));
}

TEST_F(DesktopEventsTest, AWindowMayBeDestroyedWhileTheDesktopMovesIt) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    Answer(form, WM_MOVE, [form](WPARAM, LPARAM) -> std::optional<LRESULT> {
        DestroyWindow(form);
        return 0;
    });
    QtWindow(form)->setPosition(300, 300);
    SettleDesktop();
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(QtWindow(form), nullptr);
}

TEST_F(DesktopEventsTest, OurMovesReachTheDesktop) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    MoveWindow(form, 300, 200, 640, 480, TRUE);
    EXPECT_EQ(QtWindow(form)->geometry(), QRect(300, 200, 640, 480));
}

TEST_F(DesktopEventsTest, ACloseRequestBecomesSysCommandClose) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    EXPECT_FALSE(QtWindow(form)->close()); // the window system decides
    SettleDesktop();
    const auto commands = Recorded({WM_SYSCOMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam & 0xFFF0, WPARAM(SC_CLOSE));
    EXPECT_FALSE(IsWindow(form));
}

TEST_F(DesktopEventsTest, StateChangesByTheDesktopBecomeSysCommandsAndOursReachTheDesktop) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    QtWindow(form)->showMinimized();
    SettleDesktop();
    EXPECT_TRUE(IsIconic(form));
    const auto commands = Recorded({WM_SYSCOMMAND});
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().wParam & 0xFFF0, WPARAM(SC_MINIMIZE));

    ShowWindow(form, SW_RESTORE);
    SettleDesktop();
    EXPECT_FALSE(IsIconic(form));
    EXPECT_EQ(QtWindow(form)->windowStates(), Qt::WindowNoState);
    ShowWindow(form, SW_SHOWMAXIMIZED);
    EXPECT_EQ(QtWindow(form)->windowStates(), Qt::WindowMaximized);
}

TEST_F(DesktopEventsTest, TheDesktopTakingTheFocusAwayDeactivatesOurActiveWindowAndGivingItBackActivates) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    const HWND other = Show(WS_OVERLAPPEDWINDOW, RECT{600, 100, 900, 400});
    ASSERT_EQ(GetActiveWindow(), other);
    SettleDesktop();
    EXPECT_EQ(QGuiApplication::focusWindow(), QtWindow(other));

    QWindow foreign; // another program's window
    foreign.setGeometry(1000, 500, 100, 100);
    foreign.show();
    foreign.requestActivate();
    SettleDesktop();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(MessagesOf(other, {WM_ACTIVATE}).empty());

    QtWindow(form)->requestActivate();
    SettleDesktop();
    EXPECT_EQ(GetActiveWindow(), form);

    SetActiveWindow(other); // our activation moves the desktop's focus
    SettleDesktop();
    EXPECT_EQ(QGuiApplication::focusWindow(), QtWindow(other));
    EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(DesktopEventsTest, TheDesktopFocusingAFormDisabledByItsModalDialogActivatesTheDialog) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    const HWND dialog = Show(WS_POPUP | WS_CAPTION | WS_SYSMENU, RECT{200, 150, 400, 300}, 0, form);
    EnableWindow(form, FALSE);
    SetActiveWindow(nullptr); // another program was active meanwhile
    SettleDesktop();
    QtWindow(form)->requestActivate();
    SettleDesktop();
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(QGuiApplication::focusWindow(), QtWindow(dialog));
}

TEST_F(DesktopEventsTest, ThePointerLeavingOurWindowsMovesTheCursorWithoutMouseMessages) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    QCursor::setPos(QPoint(200, 200));
    SettleDesktop();
    ClearRecord();
    QCursor::setPos(QPoint(1500, 900)); // no window of ours there
    SettleDesktop();
    POINT pt{};
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, 1500);
    EXPECT_EQ(pt.y, 900);
    EXPECT_TRUE(MessagesOf(form, {WM_MOUSEMOVE}).empty());
}

} // namespace
