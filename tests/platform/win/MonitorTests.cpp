#include "WindowFixture.h"

namespace {

// A primary 1920 x 1080 screen whose work area starts after a 40-pixel panel
// on the left, and a second screen to its right with a panel at its top.
class Monitors : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{{1920, 0, 3200, 1024}, {1920, 30, 3200, 1024}, false, u"\\\\.\\DISPLAY2"},
                            TMonitorLayout{{0, 0, 1920, 1080}, {40, 0, 1920, 1080}, true, u"\\\\.\\DISPLAY1"}};
        SetDesktopMetrics(desktop);
        second = MonitorFromPoint(POINT{2000, 10}, MONITOR_DEFAULTTONULL);
        primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    }
    static MONITORINFOEXW InfoOf(HMONITOR monitor) {
        MONITORINFOEXW info{};
        info.cbSize = sizeof info;
        EXPECT_TRUE(GetMonitorInfoW(monitor, &info));
        return info;
    }
    HMONITOR primary = nullptr, second = nullptr;

private:
    TDesktopMetricsScope desktopScope_;
};

TEST_F(Monitors, MonitorInformationAndTheWorkAreaKeepTheirExactOrigins) {
    ASSERT_TRUE(primary);
    ASSERT_TRUE(second);
    EXPECT_NE(primary, second);
    const MONITORINFOEXW one = InfoOf(primary);
    EXPECT_EQ(one.rcMonitor, (RECT{0, 0, 1920, 1080}));
    EXPECT_EQ(one.rcWork, (RECT{40, 0, 1920, 1080}));
    EXPECT_EQ(one.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_EQ(String(one.szDevice), String(u"\\\\.\\DISPLAY1"));
    const MONITORINFOEXW two = InfoOf(second);
    EXPECT_EQ(two.rcWork, (RECT{1920, 30, 3200, 1024}));
    EXPECT_EQ(two.dwFlags, 0u);
    MONITORINFO plain{};
    plain.cbSize = sizeof plain;
    EXPECT_TRUE(GetMonitorInfoW(second, &plain));
    EXPECT_EQ(plain.rcMonitor, (RECT{1920, 0, 3200, 1024}));
    plain.cbSize = 12;
    EXPECT_FALSE(GetMonitorInfoW(second, &plain));

    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, (RECT{40, 0, 1920, 1080}));
    struct TMetric {
        int index, value;
    };
    for (const TMetric& m : {TMetric{SM_CXSCREEN, 1920}, TMetric{SM_CYSCREEN, 1080}, TMetric{SM_XVIRTUALSCREEN, 0},
                             TMetric{SM_YVIRTUALSCREEN, 0}, TMetric{SM_CXVIRTUALSCREEN, 3200},
                             TMetric{SM_CYVIRTUALSCREEN, 1080}, TMetric{SM_CMONITORS, 2}})
        EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
}

TEST_F(Monitors, PointsRectanglesAndWindowsFindTheirMonitorOrTheDefaultAsked) {
    struct TCase {
        const char* name;
        POINT pt;
        DWORD flags;
        HMONITOR expected;
    };
    for (const TCase& c : {TCase{"on the primary's panel", {10, 500}, MONITOR_DEFAULTTONULL, primary},
                           TCase{"first column of the second", {1920, 0}, MONITOR_DEFAULTTONULL, second},
                           TCase{"below the second, none", {2500, 1050}, MONITOR_DEFAULTTONULL, nullptr},
                           TCase{"below the second, primary", {2500, 1050}, MONITOR_DEFAULTTOPRIMARY, primary},
                           TCase{"below the second, nearest", {2500, 1050}, MONITOR_DEFAULTTONEAREST, second},
                           TCase{"far left, nearest", {-500, 300}, MONITOR_DEFAULTTONEAREST, primary}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MonitorFromPoint(c.pt, c.flags), c.expected);
    }
    const RECT straddling{1800, 100, 2100, 200}; // more of it on the second
    EXPECT_EQ(MonitorFromRect(&straddling, MONITOR_DEFAULTTONULL), second);
    const HWND w = Create(WS_POPUP | WS_VISIBLE, {1700, 100, 1950, 200});
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), primary);
    SetWindowPos(w, nullptr, 1850, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), second);

    std::vector<std::pair<HMONITOR, RECT>> seen;
    const auto collect = [](HMONITOR monitor, HDC, RECT* r, LPARAM list) {
        reinterpret_cast<std::vector<std::pair<HMONITOR, RECT>>*>(list)->emplace_back(monitor, *r);
        return TRUE;
    };
    EXPECT_TRUE(EnumDisplayMonitors(nullptr, nullptr, collect, LPARAM(&seen)));
    EXPECT_EQ(seen.size(), 2u);
    seen.clear();
    EXPECT_TRUE(EnumDisplayMonitors(nullptr, &straddling, collect, LPARAM(&seen)));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].second, (RECT{1920, 100, 2100, 200}));
    EXPECT_EQ(seen[1].second, (RECT{1800, 100, 1920, 200}));
}

TEST_F(Monitors, AMaximizedWindowFillsTheWorkAreaOfItsMonitor) {
    const HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    ShowWindow(w, SW_SHOWMAXIMIZED);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{40, 0, 1920, 1080}));
    ShowWindow(w, SW_RESTORE);
    SetWindowPos(w, nullptr, 2000, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{1920, 30, 3200, 1024}));
}

TEST_F(Monitors, TopLevelWindowsHearOfChangedWorkAreasAndDisplays) {
    const HWND top = Create(WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
    const HWND child = Create(WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, top);
    TDesktopMetrics desktop = DesktopMetrics();
    ClearRecord();
    SetDesktopMetrics(desktop);
    EXPECT_TRUE(Recorded({WM_SETTINGCHANGE, WM_DISPLAYCHANGE}).empty());

    desktop.Monitors[1].WorkArea.bottom = 1040; // a panel at the bottom
    SetDesktopMetrics(desktop);
    auto heard = Recorded({WM_SETTINGCHANGE, WM_DISPLAYCHANGE});
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].hwnd, top);
    EXPECT_EQ(heard[0].message, UINT(WM_SETTINGCHANGE));
    EXPECT_EQ(heard[0].wParam, WPARAM(SPI_SETWORKAREA));

    ClearRecord();
    desktop.Monitors.pop_back(); // the primary goes
    desktop.Monitors[0].Primary = true;
    SetDesktopMetrics(desktop);
    EXPECT_EQ(MessagesOf(top, {WM_SETTINGCHANGE, WM_DISPLAYCHANGE}),
              (std::vector<UINT>{WM_DISPLAYCHANGE, WM_SETTINGCHANGE}));
    EXPECT_TRUE(MessagesOf(child).empty());
    EXPECT_EQ(Recorded({WM_DISPLAYCHANGE})[0].lParam, MAKELPARAM(1280, 1024));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 1920);
}

TEST_F(Monitors, ARestoredPlacementKeepsTheWindowPartlyOnAWorkArea) {
    const int tallest = GetSystemMetrics(SM_CYMAXTRACK);
    struct TCase {
        const char* what;
        RECT normal;
        RECT kept;
    };
    const TCase cases[] = {
        {"on the second screen", {2000, 100, 2800, 700}, {2000, 100, 2800, 700}},
        {"partly off the primary screen", {1500, 900, 2300, 1500}, {1500, 900, 2300, 1500}},
        {"on a screen that is gone", {3300, 100, 4100, 700}, {1120, 100, 1920, 700}},
        {"above and left of every screen", {-900, -700, -100, -100}, {40, 0, 840, 600}},
        {"only on the primary screen's panel", {-200, 100, 30, 300}, {40, 100, 270, 300}},
        // Only the part beyond the tallest window reached the screen.
        {"taller than a window may be", {100, -3330, 900, 300}, {100, 0, 900, tallest}},
    };
    const HWND w = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ASSERT_TRUE(GetWindowPlacement(w, &placement));
        placement.rcNormalPosition = c.normal;
        ASSERT_TRUE(SetWindowPlacement(w, &placement));
        RECT r;
        GetWindowRect(w, &r);
        EXPECT_EQ(r, c.kept);
        ASSERT_TRUE(GetWindowPlacement(w, &placement));
        EXPECT_EQ(placement.rcNormalPosition, c.kept);
    }
}

} // namespace
