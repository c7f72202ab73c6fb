#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/Constants.h"
#include "platform/win/system/MessageBeep.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

class DesktopMetricsTest : public testing::Test {
protected:
    ~DesktopMetricsTest() override { SetDesktopMetrics(saved_); }

private:
    TDesktopMetrics saved_ = DesktopMetrics();
};

TEST(SystemMetricsTest, ClassicSizesAtNinetySixDpi) {
    struct Case {
        int index;
        int value;
    };
    for (const Case& c : {Case{SM_CXVSCROLL, 17}, Case{SM_CYHSCROLL, 17}, Case{SM_CXEDGE, 2}, Case{SM_CYEDGE, 2},
                          Case{SM_CXBORDER, 1}, Case{SM_CYBORDER, 1}, Case{SM_CXDOUBLECLK, 4},
                          Case{SM_SERVERR2, 0}, Case{-1, 0}, Case{10000, 0}}) {
        EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    }
}

TEST(SystemMetricsTest, NonClientMetricsAgreeWithTheSystemMetrics) {
    NONCLIENTMETRICSW metrics;
    std::memset(&metrics, 0xCC, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    ASSERT_EQ(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0), TRUE);
    EXPECT_EQ(metrics.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(metrics.iScrollHeight, GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(metrics.iCaptionHeight + metrics.iBorderWidth, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(metrics.iSmCaptionHeight + metrics.iBorderWidth, GetSystemMetrics(SM_CYSMCAPTION));
    EXPECT_EQ(metrics.iMenuHeight + metrics.iBorderWidth, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(metrics.iCaptionWidth, GetSystemMetrics(SM_CXSIZE));
    EXPECT_EQ(metrics.iPaddedBorderWidth, 0);
    // The interface font at 9 points, bold in captions.
    EXPECT_EQ(metrics.lfCaptionFont.lfHeight, -12);
    EXPECT_GE(metrics.lfCaptionFont.lfWeight, 600);
    EXPECT_EQ(metrics.lfMessageFont.lfHeight, -12);
    EXPECT_LT(metrics.lfMessageFont.lfWeight, 600);
    EXPECT_NE(metrics.lfMessageFont.lfFaceName[0], 0);
}

TEST(SystemMetricsTest, NonClientMetricsHonourTheRecordSize) {
    unsigned char buffer[sizeof(NONCLIENTMETRICSW)];
    std::memset(buffer, 0xCC, sizeof buffer);
    auto* older = reinterpret_cast<NONCLIENTMETRICSW*>(buffer);
    older->cbSize = 500;
    ASSERT_EQ(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, older, 0), TRUE);
    EXPECT_EQ(older->cbSize, 500u);
    EXPECT_EQ(older->iScrollWidth, 17);
    for (size_t i = 500; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xCC) << "written past the record at " << i;

    older->cbSize = 400;
    EXPECT_EQ(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 400, older, 0), FALSE);
    EXPECT_EQ(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, nullptr, 0), FALSE);
}

TEST(SystemMetricsTest, ParametersTheProgramAsksFor) {
    UINT lines = 0;
    EXPECT_EQ(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0), TRUE);
    EXPECT_EQ(lines, 3u);
    BOOL fullDrag = FALSE;
    EXPECT_EQ(SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0), TRUE);
    EXPECT_EQ(fullDrag, TRUE);
    UINT unknown = 7;
    EXPECT_EQ(SystemParametersInfoW(SPI_GETSCREENREADER, 0, &unknown, 0), FALSE);
    EXPECT_EQ(unknown, 7u);
}

TEST_F(DesktopMetricsTest, ScreenAndWorkAreaComeFromTheDesktop) {
    TDesktopMetrics desktop;
    desktop.Screen = {0, 0, 1280, 1024};
    desktop.WorkArea = {0, 30, 1280, 1024};
    desktop.VirtualScreen = {-1920, 0, 1280, 1080};
    SetDesktopMetrics(desktop);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -1920);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 994 - GetSystemMetrics(SM_CYCAPTION));
    RECT workArea{};
    EXPECT_EQ(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0), TRUE);
    EXPECT_EQ(workArea, desktop.WorkArea);
}

TEST_F(DesktopMetricsTest, DoubleClickTimeAndDragDistanceAreTheDesktopsWhenReported) {
    SetDesktopMetrics({});
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 4);
    TDesktopMetrics desktop;
    desktop.DoubleClickTime = 400;
    desktop.DragDistance = 8;
    SetDesktopMetrics(desktop);
    EXPECT_EQ(GetDoubleClickTime(), 400u);
    EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 8);
    EXPECT_EQ(GetSystemMetrics(SM_CYDRAG), 8);
}

TEST(SystemColorsTest, ClassicColoursAndTheirBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    for (int index = COLOR_SCROLLBAR; index <= COLOR_MENUBAR; ++index) {
        const HBRUSH brush = GetSysColorBrush(index);
        if (index == 25) {
            EXPECT_EQ(brush, nullptr);
            EXPECT_EQ(GetSysColor(index), 0u);
            continue;
        }
        ASSERT_NE(brush, nullptr) << index;
        EXPECT_EQ(SysColorBrushIndex(brush), index);
    }
    EXPECT_EQ(SysColorBrushIndex(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), COLOR_BTNFACE)
        << "a class background names a system colour the same way";
    for (const int index : {-1, 25, 31, 1000}) EXPECT_EQ(GetSysColorBrush(index), nullptr) << index;
    for (const HBRUSH other : {HBRUSH(nullptr), reinterpret_cast<HBRUSH>(25 + 1), MakeHandle<HBRUSH>(5, 1)})
        EXPECT_EQ(SysColorBrushIndex(other), std::nullopt);
}

TEST(MessageBeepTest, BeepsAreRecordedInOrder) {
    TakeMessageBeeps();
    EXPECT_EQ(MessageBeep(MB_ICONHAND), TRUE);
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(TakeMessageBeeps(), (std::vector<UINT>{MB_ICONHAND, 0xFFFFFFFF}));
    EXPECT_TRUE(TakeMessageBeeps().empty());
}

} // namespace
