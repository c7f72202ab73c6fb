#include "engine/Deinterlace.h"

#include <gtest/gtest.h>

#include "engine/AVPointers.h"

namespace {

TFramePtr GreyFrame(int width, int height, AVPixelFormat format = AV_PIX_FMT_GRAY8) {
    TFramePtr frame = NewFrame();
    frame->format = format;
    frame->width = width;
    frame->height = height;
    if (avlib::av_frame_get_buffer(frame.get(), 0) < 0) throw Exception("no picture");
    return frame;
}

class DeinterlaceRoutine : public testing::Test {
protected:
    void SetUp() override { LoadAVLib(); }
};

TEST_F(DeinterlaceRoutine, KeepsEvenLinesAndFiltersOddOnesFromTheirNeighbours) {
    const TFramePtr source = GreyFrame(4, 8);
    // Even lines 100, odd lines 20: two fields of different brightness.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) source->data[0][y * source->linesize[0] + x] = y % 2 ? 20 : 100;
    const TFramePtr target = NewFrame();
    ASSERT_TRUE(Deinterlace(*source, *target));
    ASSERT_EQ(target->width, 4);
    ASSERT_EQ(target->height, 8);
    const auto at = [&](int y) { return target->data[0][y * target->linesize[0] + 1]; };
    EXPECT_EQ(at(0), 100);
    EXPECT_EQ(at(2), 100);
    // (-20 + 4*100 + 2*20 + 4*100 - 20 + 4) >> 3
    EXPECT_EQ(at(5), 100);
    // Beyond the edges the edge lines repeat: (-100 + 400 + 40 + 400 - 20 + 4) >> 3
    EXPECT_EQ(at(1), 90);
    // (-20 + 400 + 40 + 4*20 - 20 + 4) >> 3
    EXPECT_EQ(at(7), 60);
}

TEST_F(DeinterlaceRoutine, RefusesOtherFormatsAndSizes) {
    const TFramePtr target = NewFrame();
    EXPECT_FALSE(Deinterlace(*GreyFrame(8, 8, AV_PIX_FMT_RGB24), *target));
    EXPECT_FALSE(Deinterlace(*GreyFrame(6, 8), *target));
    EXPECT_FALSE(Deinterlace(*GreyFrame(8, 6), *target));
    EXPECT_EQ(target->width, 0);
    EXPECT_TRUE(Deinterlace(*GreyFrame(8, 8, AV_PIX_FMT_YUV420P), *target));
}

} // namespace
