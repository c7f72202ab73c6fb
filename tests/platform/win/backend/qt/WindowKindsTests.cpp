// What each kind of top-level window becomes on the desktop.

#include <QGuiApplication>
#include <QTest>

#include "PresenterFixture.h"
#include "platform/win/backend/qt/IconImages.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"

namespace {

using WindowKindsTest = PresenterTest;

struct TKindCase {
    const char* name;
    DWORD style, exStyle;
    bool owned;
    Qt::WindowFlags set;     // all present
    Qt::WindowFlags cleared; // all absent
};

constexpr Qt::WindowFlags kManagedHints = Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;

const TKindCase kKindCases[] = {
    {"form", WS_OVERLAPPEDWINDOW, 0, false,
     Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint,
     Qt::FramelessWindowHint | kManagedHints | Qt::WindowTransparentForInput},
    {"owned dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, true, Qt::Window | Qt::WindowTitleHint,
     Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | kManagedHints},
    {"topmost tool form", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, false,
     Qt::Tool | Qt::WindowStaysOnTopHint, Qt::FramelessWindowHint},
    {"no-activate form", WS_OVERLAPPEDWINDOW, WS_EX_NOACTIVATE, false, Qt::Window | Qt::WindowDoesNotAcceptFocus,
     Qt::FramelessWindowHint},
    {"drop-down", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, true, Qt::ToolTip | Qt::FramelessWindowHint, kManagedHints},
    {"hint", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, true,
     Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus},
    {"alert", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, false,
     Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus, {}},
    {"click-through overlay", WS_POPUP, WS_EX_LAYERED | WS_EX_TRANSPARENT, false,
     Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput, Qt::WindowDoesNotAcceptFocus},
    {"layered, not click-through", WS_POPUP, WS_EX_LAYERED, false, Qt::ToolTip | Qt::FramelessWindowHint,
     Qt::WindowTransparentForInput},
};

TEST_F(WindowKindsTest, EachKindOfTopLevelWindowGetsItsWindowFlags) {
    const HWND owner = Show(WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200});
    for (const TKindCase& c : kKindCases) {
        SCOPED_TRACE(c.name);
        const HWND hwnd = Show(c.style, RECT{50, 50, 150, 120}, c.exStyle, c.owned ? owner : nullptr, 0, SW_SHOWNA);
        const TPresenterWindow* window = QtWindow(hwnd);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        const Qt::WindowType type = window->type();
        EXPECT_EQ(type, Qt::WindowType(int(c.set & Qt::WindowType_Mask)));
        EXPECT_EQ(window->flags() & (c.set & ~Qt::WindowType_Mask), c.set & ~Qt::WindowType_Mask);
        EXPECT_EQ(window->flags() & (c.cleared & ~Qt::WindowType_Mask), Qt::WindowFlags());
        EXPECT_EQ(window->transientParent(), c.owned ? QtWindow(owner) : nullptr);
        DestroyWindow(hwnd);
        EXPECT_EQ(QtWindow(hwnd), nullptr);
    }
}

TEST_F(WindowKindsTest, StyleChangesReachTheShownWindow) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200});
    SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowTextW(form, u"视频转换");
    EXPECT_TRUE(QtWindow(form)->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QtWindow(form)->title(), QString::fromUtf8("视频转换"));
    ShowWindow(form, SW_HIDE);
    EXPECT_FALSE(QtWindow(form)->isVisible());
}

TEST_F(WindowKindsTest, TheWindowsIconsBecomeItsQtIcon) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200});
    EXPECT_TRUE(QtWindow(form)->icon().isNull());
    const HICON big = LoadIconW(nullptr, IDI_APPLICATION);
    const auto small = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(form, WM_SETICON, ICON_BIG, LPARAM(big));
    SendMessageW(form, WM_SETICON, ICON_SMALL, LPARAM(small));
    const QList<QSize> sizes = QtWindow(form)->icon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    const QImage picture = QtWindow(form)->icon().pixmap(QSize(32, 32)).toImage();
    EXPECT_EQ(picture.pixel(16, 16), ImageOfIcon(big).pixel(16, 16));
    EXPECT_NE(qAlpha(picture.pixel(16, 16)), 0);

    SendMessageW(form, WM_SETICON, ICON_BIG, 0);
    SendMessageW(form, WM_SETICON, ICON_SMALL, 0);
    EXPECT_TRUE(QtWindow(form)->icon().isNull());
}

// A no-activate topmost tool popup clicked: the click reaches it, activation and focus stay.
TEST_F(WindowKindsTest, AClickOnANoActivateAlertReachesItWhileTheFormKeepsActivationAndFocus) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    const HWND edit = Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 110, 40}, form);
    SetFocus(edit);
    const HWND alert = Show(WS_POPUP, RECT{1500, 900, 1800, 1000}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, 0, SW_SHOWNA);
    Answer(alert, WM_MOUSEACTIVATE, [](WPARAM, LPARAM) { return std::optional<LRESULT>(MA_NOACTIVATE); });
    ASSERT_NE(QtWindow(alert), nullptr);
    EXPECT_TRUE(QtWindow(alert)->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QtWindow(alert)->flags() & Qt::WindowDoesNotAcceptFocus);
    ClearRecord();

    QTest::mouseClick(QtWindow(alert), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    SettleDesktop();

    const auto downs = Recorded({WM_LBUTTONDOWN});
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, alert);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(20, 30));
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(MessagesOf(form, {WM_ACTIVATE}).empty());
}

TEST_F(WindowKindsTest, ShapeOpacityAndPerPixelAlphaBecomeTheWindowsMaskAndOpacity) {
    const HWND popup = Show(WS_POPUP, RECT{200, 200, 232, 232}, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    TTopLevelState state = TopLevelStateOf(popup);
    state.shaped = true;
    state.shape = TRegion(RECT{0, 0, 16, 32}) | TRegion(RECT{16, 8, 32, 24});
    state.alpha = 128;
    Presenter().TopLevelChanged(popup, state);
    EXPECT_EQ(QtWindow(popup)->mask(), QRegion(0, 0, 16, 32) + QRegion(16, 8, 16, 16));
    EXPECT_DOUBLE_EQ(QtWindow(popup)->opacity(), 128 / 255.0);

    state.shaped = false;
    state.alpha = 255;
    state.perPixelAlpha = true;
    TSurface& surface = *WindowSurface(popup);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) surface.Row(y)[x] = x < y ? 0x80FF0000u : 0; // a lower-left triangle
    Presenter().TopLevelChanged(popup, state);
    const RECT all{0, 0, 32, 32};
    Presenter().Present(popup, surface, std::span(&all, 1));
    QRegion triangle;
    for (int y = 1; y < 32; ++y) triangle += QRect(0, y, y, 1);
    EXPECT_EQ(QtWindow(popup)->mask(), triangle);
    EXPECT_GE(QtWindow(popup)->requestedFormat().alphaBufferSize(), 8);

    state.perPixelAlpha = false;
    Presenter().TopLevelChanged(popup, state);
    EXPECT_TRUE(QtWindow(popup)->mask().isEmpty());
}

// A 32 x 32 popup over a form, shaped from a mask (a diamond) through the
// window system's calls, then faded and made click-through: each reaches its
// QWindow, and clicks on the QWindow go where the window system sends them.
TEST_F(WindowKindsTest, RegionFadeAndClickThroughSetByTheWindowSystemReachThePopupsQWindow) {
    const HWND below = Show(WS_POPUP, RECT{150, 150, 300, 300});
    const HWND popup = Show(WS_POPUP, RECT{200, 200, 232, 232}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, 0, SW_SHOWNA);
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    QRegion diamond;
    for (int y = 0; y < 32; ++y) {
        const int half = y < 16 ? y + 1 : 32 - y; // of each row's run
        const HRGN run = CreateRectRgn(16 - half, y, 16 + half, y + 1);
        CombineRgn(region, region, run, RGN_OR);
        DeleteObject(ToGdiObject(run));
        diamond += QRect(16 - half, y, 2 * half, 1);
    }
    ASSERT_EQ(SetWindowRgn(popup, region, TRUE), 1);
    SettleDesktop();
    EXPECT_EQ(QtWindow(popup)->mask(), diamond);

    const auto clickOnPopup = [&](QPoint at) {
        ClearRecord();
        QTest::mouseClick(QtWindow(popup), Qt::LeftButton, Qt::NoModifier, at);
        SettleDesktop();
        const auto downs = Recorded({WM_LBUTTONDOWN});
        return downs.size() == 1 ? std::pair(downs[0].hwnd, downs[0].lParam) : std::pair(HWND(nullptr), LPARAM(0));
    };
    EXPECT_EQ(clickOnPopup(QPoint(2, 2)), std::pair(below, LPARAM(MAKELPARAM(52, 52)))); // outside the diamond
    EXPECT_EQ(clickOnPopup(QPoint(16, 16)), std::pair(popup, LPARAM(MAKELPARAM(16, 16))));

    SetWindowLongPtrW(popup, GWL_EXSTYLE, GetWindowLongPtrW(popup, GWL_EXSTYLE) | WS_EX_LAYERED);
    ASSERT_TRUE(SetLayeredWindowAttributes(popup, 0, 128, LWA_ALPHA));
    SettleDesktop();
    EXPECT_DOUBLE_EQ(QtWindow(popup)->opacity(), 128 / 255.0);
    EXPECT_FALSE(QtWindow(popup)->flags() & Qt::WindowTransparentForInput);

    SetWindowLongPtrW(popup, GWL_EXSTYLE, GetWindowLongPtrW(popup, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    SettleDesktop();
    EXPECT_TRUE(QtWindow(popup)->flags() & Qt::WindowTransparentForInput);
    EXPECT_EQ(clickOnPopup(QPoint(16, 16)), std::pair(below, LPARAM(MAKELPARAM(66, 66))));
}

TEST_F(WindowKindsTest, TheOffscreenDesktopRefusesToMoveWindowsItself) {
    const HWND alert = Show(WS_POPUP, RECT{100, 100, 300, 200}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, 0, SW_SHOWNA);
    EXPECT_FALSE(::Presenter()->StartSystemMove(alert));
}

} // namespace
