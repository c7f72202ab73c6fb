#include <QGuiApplication>
#include <QScreen>

#include "PresenterFixture.h"

namespace {

constexpr RECT kPrimary{0, 0, 1920, 1080};
constexpr RECT kSecond{1920, 0, 3200, 1024};
constexpr RECT kPanelled{40, 0, 1920, 1080}; // a 40-pixel panel at the left

using ScreensTest = PresenterTest;

TEST_F(ScreensTest, EveryScreenIsAMonitorWithTheOverriddenWorkAreaAndTheVirtualScreenIsTheirUnion) {
    OverrideWorkArea(u"Primary", kPanelled);
    const TDesktopMetrics metrics = DesktopMetrics();
    ASSERT_EQ(metrics.Monitors.size(), 2u);
    EXPECT_EQ(metrics.Monitors[0].Monitor, kPrimary);
    EXPECT_EQ(metrics.Monitors[0].WorkArea, kPanelled);
    EXPECT_TRUE(metrics.Monitors[0].Primary);
    EXPECT_EQ(metrics.Monitors[0].DeviceName, String(u"Primary"));
    EXPECT_EQ(metrics.Monitors[1].Monitor, kSecond);
    EXPECT_EQ(metrics.Monitors[1].WorkArea, kSecond);
    EXPECT_FALSE(metrics.Monitors[1].Primary);

    RECT workArea{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
    EXPECT_EQ(workArea, kPanelled);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1080);
}

TEST_F(ScreensTest, TheMonitorFunctionsAnswerTheQtScreensWithTheOverriddenWorkArea) {
    OverrideWorkArea(u"Primary", kPanelled);
    const HMONITOR primary = MonitorFromPoint(POINT{10, 500}, MONITOR_DEFAULTTONULL);
    const HMONITOR second = MonitorFromPoint(POINT{3199, 1023}, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(primary);
    ASSERT_TRUE(second);
    EXPECT_NE(primary, second);

    struct TCase {
        const char* name;
        POINT pt;
        DWORD flags;
        HMONITOR expected;
    };
    const POINT offScreens{2500, 1050}; // below the shorter second screen
    for (const TCase& c : {TCase{"primary, on its panel", {10, 500}, MONITOR_DEFAULTTONEAREST, primary},
                           TCase{"second, first column", {1920, 0}, MONITOR_DEFAULTTONULL, second},
                           TCase{"off all, none", offScreens, MONITOR_DEFAULTTONULL, nullptr},
                           TCase{"off all, primary", offScreens, MONITOR_DEFAULTTOPRIMARY, primary},
                           TCase{"off all, nearest", offScreens, MONITOR_DEFAULTTONEAREST, second}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MonitorFromPoint(c.pt, c.flags), c.expected);
    }

    struct TInfo {
        HMONITOR monitor;
        RECT rect, work;
        DWORD flags;
        const char16_t* device;
    };
    for (const TInfo& expected : {TInfo{primary, kPrimary, kPanelled, MONITORINFOF_PRIMARY, u"Primary"},
                                  TInfo{second, kSecond, kSecond, 0, u"Second"}}) {
        SCOPED_TRACE(String(expected.device).ToUtf8());
        MONITORINFOEXW info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetMonitorInfoW(expected.monitor, &info));
        EXPECT_EQ(info.rcMonitor, expected.rect);
        EXPECT_EQ(info.rcWork, expected.work);
        EXPECT_EQ(info.dwFlags, expected.flags);
        EXPECT_EQ(String(info.szDevice), String(expected.device));
    }
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
}

TEST_F(ScreensTest, WithoutOverridesTheWorkAreasAreWhatQtReports) {
    OverrideWorkArea(u"Primary", kPanelled);
    ClearWorkAreaOverrides();
    const TDesktopMetrics metrics = DesktopMetrics();
    ASSERT_EQ(metrics.Monitors.size(), size_t(QGuiApplication::screens().size()));
    for (size_t i = 0; i < metrics.Monitors.size(); ++i) {
        const QRect available = QGuiApplication::screens()[qsizetype(i)]->availableGeometry();
        EXPECT_EQ(metrics.Monitors[i].WorkArea,
                  (RECT{available.x(), available.y(), available.x() + available.width(), available.y() + available.height()}));
    }
    EXPECT_EQ(metrics.WorkArea, kPrimary);
}

TEST_F(ScreensTest, ADecoratedFormIsPlacedOnTheScreenItsRectangleLiesOn) {
    const HWND form = Show(WS_OVERLAPPEDWINDOW, RECT{2000, 100, 2400, 400});
    ASSERT_NE(QtWindow(form), nullptr);
    EXPECT_EQ(QtWindow(form)->screen()->name(), QString("Second"));
    EXPECT_EQ(QtWindow(form)->geometry(), QRect(2000, 100, 400, 300));
}

} // namespace
