#include "engine/AVUtils.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(AVUtils, FormatHMS) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0:0:0"}, {59, "0:0:59"}, {3725, "1:2:5"}, {25 * 3600 + 61, "25:1:1"}, {10000000000LL, "2777777:46:40"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatHMS(seconds), String(text)) << seconds;
}

TEST(AVUtils, SwapRB) {
    EXPECT_EQ(SwapRB(0xAA112233u), 0x00332211u);
    EXPECT_EQ(SwapRB(0x000000FFu), 0x00FF0000u);
}

TEST(AVUtils, StudioRangeColours) {
    EXPECT_EQ(RgbToYCcir(255, 255, 255), 235);
    EXPECT_EQ(RgbToYCcir(0, 0, 0), 16);
    EXPECT_EQ(RgbToUCcir(128, 128, 128, 0), 128);
    EXPECT_EQ(RgbToVCcir(128, 128, 128, 0), 128);
    // Pure red and blue reach the chroma extremes; a sum of four samples gives the same.
    EXPECT_EQ(RgbToVCcir(255, 0, 0, 0), 240);
    EXPECT_EQ(RgbToUCcir(0, 0, 255, 0), 240);
    EXPECT_EQ(RgbToUCcir(255, 255, 0, 0), 16);
    EXPECT_EQ(RgbToVCcir(4 * 255, 0, 0, 2), 240);
    EXPECT_EQ(ShiftRightSigned(-1024, 10), -1);
}

TEST(AVUtils, RationalsCompareWithoutOverflow) {
    struct Case {
        AVRational a, b;
        int expected;
    };
    const Case cases[] = {
        {{1, 3}, {2, 6}, 0},
        {{1, 2}, {1, 3}, 1},
        {{1, 3}, {1, 2}, -1},
        {{0, 0}, {0, 2}, INT_MIN},
        {{1, 0}, {2, 0}, 0},
        {{-1, 0}, {1, 0}, -1},
        {{INT_MAX, 2}, {INT_MAX - 1, 2}, 1},
        {{INT_MAX, 3}, {INT_MAX, 2}, -1},
        {{-INT_MAX, 1}, {INT_MAX, 1}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(av_cmp_q(c.a, c.b), c.expected)
            << c.a.num << "/" << c.a.den << " vs " << c.b.num << "/" << c.b.den;
}

TEST(AVUtils, RationalArithmeticThroughTheLibrary) {
    LoadAVLib();
    const AVRational aspect = avlib::av_d2q(1.7777778, 255);
    EXPECT_EQ(aspect.num, 16);
    EXPECT_EQ(aspect.den, 9);
    const AVRational product = avlib::av_mul_q({2, 3}, {3, 4});
    EXPECT_EQ(av_cmp_q(product, {1, 2}), 0);
    const AVRational quotient = avlib::av_div_q({1, 2}, {1, 4});
    EXPECT_EQ(av_cmp_q(quotient, {2, 1}), 0);
    EXPECT_EQ(av_q2d(kAVTimeBaseQ), 1e-6);
}

TEST(AVUtils, ErrorsGoToTheInstalledHandler) {
    String shown;
    SetAVErrorHandler([&](const String& text) { shown = text; });
    ShowAVError("Codec not found");
    SetAVErrorHandler(nullptr);
    EXPECT_EQ(shown, String("Codec not found"));
}

} // namespace
