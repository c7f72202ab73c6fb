#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/ui/Brush.h"

#include "controls/XcCheckerBitmap.h"
#include "controls/XcGradient.h"
#include "controls/XcKeyedBitmaps.h"
#include "controls/XcTrackFont.h"
#include "controls/XcWorkAreas.h"
#include "platform/ui/DibFixture.h"
#include "platform/ui/Screen.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

// A canvas on a white 100 x 100 DIB.
class XcGradientTest : public ::testing::Test {
protected:
    XcGradientTest() { canvas.SetHandle(dib.dc); }
    ~XcGradientTest() override { canvas.SetHandle(nullptr); }

    // The colours down the first column (across the first row for the horizontal styles).
    std::vector<COLORREF> Along(bool vertical) const {
        std::vector<COLORREF> colours;
        for (int i = 0; i < 100; ++i) colours.push_back(vertical ? dib.At(0, i) : dib.At(i, 0));
        return colours;
    }

    static constexpr TColor kStart = 0x000000;
    static constexpr TColor kEnd = 0x0000FF; // red

    TDibDc dib{100, 100};
    TCanvas canvas;
};

TEST_F(XcGradientTest, EightBandsOverOneHundredPixelsAreTwelveWideAndEndInTheEndColour) {
    struct Case {
        TXcGradientStyle style;
        bool vertical;
    } const cases[] = {{TXcGradientStyle::gsTopToBottom, true}, {TXcGradientStyle::gsLeftToRight, false}};
    for (const Case& c : cases) {
        FillGradient(&canvas, {0, 0, 100, 100}, kStart, kEnd, c.style, 8);
        const std::vector<COLORREF> colours = Along(c.vertical);
        for (int band = 0; band < 8; ++band) {
            const COLORREF expected = RGB((band * 255 + 3) / 7, 0, 0); // rounded, as MulDiv does
            for (int i = band * 12; i < band * 12 + 12; ++i)
                ASSERT_EQ(colours[i], expected) << "pixel " << i << " band " << band << " vertical " << c.vertical;
        }
        EXPECT_EQ(colours[84], RGB(255, 0, 0)) << "the eighth band is the end colour";
        for (int i = 96; i < 100; ++i) EXPECT_EQ(colours[i], RGB(255, 0, 0)) << "remainder pixel " << i;
    }
}

TEST_F(XcGradientTest, OneBandFillsTheStartColourWhichTheReversedStylesTakeFromTheEnd) {
    struct Case {
        TXcGradientStyle style;
        COLORREF fill;
    } const cases[] = {{TXcGradientStyle::gsTopToBottom, RGB(0, 0, 0)},
                       {TXcGradientStyle::gsBottomToTop, RGB(255, 0, 0)},
                       {TXcGradientStyle::gsRightToLeft, RGB(255, 0, 0)}};
    for (const Case& c : cases) {
        dib.Fill(RGB(255, 255, 255));
        FillGradient(&canvas, {0, 0, 100, 100}, kStart, kEnd, c.style, 1);
        EXPECT_EQ(dib.At(0, 0), c.fill);
        EXPECT_EQ(dib.At(99, 99), c.fill);
    }
}

TEST_F(XcGradientTest, BottomToTopRunsFromTheEndColourDownToTheStart) {
    FillGradient(&canvas, {0, 0, 100, 100}, kStart, kEnd, TXcGradientStyle::gsBottomToTop, 2);
    EXPECT_EQ(dib.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(0, 99), RGB(0, 0, 0));
}

TEST_F(XcGradientTest, BothColoursNoneOrAnEmptyRectanglePaintNothing) {
    FillGradient(&canvas, {0, 0, 100, 100}, clNone, clNone, TXcGradientStyle::gsTopToBottom, 8);
    FillGradient(&canvas, {10, 10, 10, 50}, kStart, kEnd, TXcGradientStyle::gsTopToBottom, 1);
    EXPECT_EQ(dib.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(dib.At(10, 20), RGB(255, 255, 255));
}

TEST(XcCheckerBitmap, SameParityPixelsTakeTheSecondColour) {
    const auto bitmap = CreateCheckerBitmap(clWhite, clBlack);
    ASSERT_EQ(bitmap->Width(), 8);
    ASSERT_EQ(bitmap->Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(GetPixel(bitmap->Canvas()->Handle(), x, y), (x + y) % 2 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255))
                << x << "," << y;
}

TEST(XcCheckerBitmap, PaletteColourMarksTheRgbPaletteRelative) {
    EXPECT_EQ(PaletteColor(clRed), COLORREF(0x020000FF));
    EXPECT_EQ(PaletteColor(clBtnFace), ColorToRGB(clBtnFace) | 0x02000000);
}

TEST(XcTrackFont, FollowingCopiesOnlyTheAttributesNotPreserved) {
    TFont font;
    font.SetCharset(134);
    font.SetColor(clBlue);
    font.SetHeight(-20);
    font.SetName(u"Test Face");
    font.SetPitch(fpFixed);
    font.SetStyle({fsBold});
    const auto hotTrack = [] {
        auto track = std::make_unique<TFont>();
        track->SetColor(clRed);
        track->SetStyle({fsUnderline});
        return track;
    };

    auto track = hotTrack();
    SyncTrackFont(track.get(), &font, {hoFollowFont, hoPreserveColor, hoPreserveStyle});
    EXPECT_EQ(track->Charset(), 134);
    EXPECT_EQ(track->Height(), -20);
    EXPECT_EQ(track->Name(), String(u"Test Face"));
    EXPECT_EQ(track->Pitch(), fpFixed);
    EXPECT_EQ(track->Color(), clRed);
    EXPECT_EQ(track->Style(), TFontStyles{fsUnderline});

    track = hotTrack();
    SyncTrackFont(track.get(), &font, {hoPreserveColor});
    EXPECT_NE(track->Height(), -20) << "without hoFollowFont nothing follows";
}

// A primary 1920 x 1080 monitor with a 40-pixel bottom panel, and a second
// one right of it with a panel at its top.
class XcWorkAreaTest : public ::testing::Test {
protected:
    void SetUp() override {
        TDesktopMetrics desktop;
        desktop.Monitors = {TMonitorLayout{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true, u"\\\\.\\DISPLAY1"},
                            TMonitorLayout{{1920, 100, 3200, 1124}, {1920, 130, 3200, 1124}, false, u"\\\\.\\DISPLAY2"}};
        SetDesktopMetrics(desktop);
    }
    void TearDown() override { FreeScreen(); }

    TDesktopMetricsScope scope_;
};

TEST_F(XcWorkAreaTest, TheDesktopWorkAreaIsThePrimaryMonitorLessItsPanel) {
    EXPECT_EQ(DesktopWorkArea(), (TRect{0, 0, 1920, 1040}));
}

TEST_F(XcWorkAreaTest, AMonitorsWorkAreaStartsAtItsOwnOrigin) {
    ASSERT_EQ(Screen().MonitorCount(), 2);
    TMonitor* second = Screen().Monitors(1);
    EXPECT_EQ(MonitorWorkArea(second), (TRect{1920, 130, 3200, 1124}));
    EXPECT_EQ(FindMonitorByHandle(second->Handle()), second);
    EXPECT_EQ(FindMonitorByHandle(nullptr), nullptr);
}

} // namespace

namespace {

// A 4 x 4 bitmap, green with a blue bottom-left pixel and a red top-right one.
std::unique_ptr<TBitmap> XcKeyedTestBitmap() {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(4, 4);
    bitmap->Canvas()->Brush()->SetColor(clLime);
    bitmap->Canvas()->FillRect({0, 0, 4, 4});
    bitmap->Canvas()->SetPixel(0, 3, clBlue);
    bitmap->Canvas()->SetPixel(3, 0, clRed);
    return bitmap;
}

TEST_F(XcGradientTest, ABitmapDrawnWithTheDefaultKeyLeavesThePixelsOfItsBottomLeftColour) {
    const auto bitmap = XcKeyedTestBitmap();
    struct Case {
        TColor key;
        COLORREF atBottomLeft;
        COLORREF atGreen;
    } const cases[] = {
        {clDefault, RGB(255, 255, 255), RGB(0, 255, 0)},
        {clLime, RGB(0, 0, 255), RGB(255, 255, 255)},
        {clNone, RGB(0, 0, 255), RGB(0, 255, 0)},
    };
    for (const Case& c : cases) {
        dib.Fill(RGB(255, 255, 255));
        StretchBitmapWithKey(&canvas, 10, 10, 8, 8, 0, 0, 0, 0, bitmap.get(), c.key);
        EXPECT_EQ(dib.At(10, 17), c.atBottomLeft) << std::hex << c.key;
        EXPECT_EQ(dib.At(11, 16), c.atBottomLeft) << "stretched twice " << std::hex << c.key;
        EXPECT_EQ(dib.At(12, 12), c.atGreen) << std::hex << c.key;
        EXPECT_EQ(dib.At(17, 10), RGB(255, 0, 0)) << std::hex << c.key;
        EXPECT_EQ(dib.At(18, 10), RGB(255, 255, 255)) << "outside " << std::hex << c.key;
    }
}

} // namespace
