#include "support/utils/ScBlend.h"

#include <gtest/gtest.h>

namespace {

TColor32 Grey(uint32_t v) { return v * 0x01010101u; }

// Runs each test on the plain and on the MMX version of the routines.
class ScBlend : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        wasMmx_ = MmxBlendingInUse();
        SelectBlendRoutines(GetParam());
    }
    void TearDown() override { SelectBlendRoutines(wasMmx_); }
    bool Mmx() const { return GetParam(); }

private:
    bool wasMmx_ = false;
};

TEST_P(ScBlend, CombineAtTheEndsOfTheWeight) {
    const TColor32 x = 0x80402010, y = 0x10203040;
    EXPECT_EQ(CombinePixel(x, y, 0), y);
    if (Mmx()) {
        EXPECT_EQ(CombinePixel(0, 0xFFFFFFFF, 255), Grey(1));
    } else {
        EXPECT_EQ(CombinePixel(0, 0xFFFFFFFF, 255), 0u);
        EXPECT_EQ(CombinePixel(x, y, 255), x);
    }
    TColor32 b = y;
    CombinePixelInPlace(x, b, 0);
    EXPECT_EQ(b, y);
}

TEST_P(ScBlend, CombineMixesEveryChannelWithRounding) {
    // 200 * 128 / 255 + 100 * 127 / 255 on each channel, as both versions round it.
    const TColor32 mixed = CombinePixel(Grey(200), Grey(100), 128);
    EXPECT_EQ(mixed, Grey(150));
    EXPECT_EQ(CombinePixel(0xFF000000, 0x000000FF, 128), Mmx() ? 0x80000080u : 0x8000007Fu);
}

TEST_P(ScBlend, MasterAlphaOfZeroKeepsTheBackground) {
    const TColor32 f = 0xFF336699, b = 0x11223344;
    EXPECT_EQ(BlendPixelMaster(f, b, 0), b);
    TColor32 inPlace = b;
    BlendPixelMasterInPlace(f, inPlace, 0);
    EXPECT_EQ(inPlace, b);
}

TEST_P(ScBlend, FullMasterAlphaOverAnOpaquePixel) {
    const TColor32 f = 0xFF336699, b = 0x11223344;
    const TColor32 result = BlendPixelMaster(f, b, 256);
    if (Mmx()) {
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t fc = f >> shift & 0xFF, bc = b >> shift & 0xFF;
            EXPECT_EQ(result >> shift & 0xFF, (255 * fc + bc + 128) >> 8) << shift;
        }
    } else {
        EXPECT_EQ(result, f);
    }
}

TEST_P(ScBlend, MasterWeightsOutsideTheirRangeAreClamped) {
    const TColor32 f = 0xFF336699, b = 0x11223344;
    EXPECT_EQ(BlendPixelMaster(f, b, 100000), BlendPixelMaster(f, b, 256));
    EXPECT_EQ(BlendPixelMaster(f, b, -5), b);
    const TColor32 source[2] = {f, 0x80FFFFFF};
    TColor32 clamped[2] = {b, b};
    BlendRowMaster(source, clamped, 2, 1 << 20);
    EXPECT_EQ(clamped[0], BlendPixelMaster(f, b, 256));
    EXPECT_EQ(clamped[1], CombinePixel(source[1], b, 255));
    TColor32 untouched[1] = {b};
    BlendRowMaster(source, untouched, 1, -300);
    EXPECT_EQ(untouched[0], b);
}

TEST_P(ScBlend, BlendRowSkipsTransparentAndCopiesOpaqueSources) {
    const TColor32 source[3] = {0x00FFFFFF, 0xFF123456, 0x80FFFFFF};
    TColor32 dest[4] = {0x11111111, 0x22222222, 0x00000000, 0x44444444};
    BlendRow(source, dest, 3);
    EXPECT_EQ(dest[0], 0x11111111u);
    EXPECT_EQ(dest[1], 0xFF123456u);
    EXPECT_EQ(dest[2], BlendPixel(0x80FFFFFF, 0));
    EXPECT_EQ(dest[3], 0x44444444u);
    TColor32 none[1] = {0x55555555};
    BlendRow(source + 1, none, 0);
    BlendRowMaster(source + 1, none, 0, 256);
    EXPECT_EQ(none[0], 0x55555555u);
}

INSTANTIATE_TEST_SUITE_P(Versions, ScBlend, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Mmx" : "Plain"; });

TEST(ScBlendSelection, TheProcessorReportsMmxAndStartUpChoosesThatVersion) {
    EXPECT_TRUE(CpuHasMmx());
    const bool was = MmxBlendingInUse();
    StartScBlend();
    EXPECT_TRUE(MmxBlendingInUse());
    EXPECT_EQ(CombinePixel(0, 0xFFFFFFFF, 255), Grey(1));
    SelectBlendRoutines(was);
}

} // namespace
