// The desktop capture is libavdevice's X11 grabber, opened by its name.

#include <gtest/gtest.h>

#include <optional>

#include "XvfbDisplay.h"
#include "engine/AVDict.h"
#include "engine/StreamProtocol.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

class DesktopCapture : public testing::Test {
protected:
    void SetUp() override {
        LoadAVLib();
        if (!TXvfbDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
        display_.emplace(kWidth, kHeight);
        grabber_ = avlib::av_find_input_format("x11grab");
        ASSERT_NE(grabber_, nullptr);
        packet_ = avlib::av_packet_alloc();
    }
    void TearDown() override {
        CloseInput(&context_);
        avlib::av_packet_free(&packet_);
    }

    // Opens the region of Width x Height at (Left, Top) of the display.
    int Open(int left, int top, int width, int height) {
        TAVDict options;
        options.Set("video_size", std::to_string(width) + "x" + std::to_string(height));
        options.Set("framerate", "25");
        return OpenInput(&context_,
                         String(display_->Name() + "+" + std::to_string(left) + "," + std::to_string(top)),
                         grabber_, options.Address());
    }

    std::optional<TXvfbDisplay> display_;
    const AVInputFormat* grabber_ = nullptr;
    AVFormatContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
};

TEST_F(DesktopCapture, RegionsInsideTheScreenOpenAndOthersAreRefused) {
    // Refused as outside the screen, not for want of a connection to the display.
    constexpr int kOpens = 0, kOutside = AVERROR(EINVAL);
    struct Case {
        int left, top, width, height;
        int result;
    };
    for (const Case& c : {Case{0, 0, kWidth, kHeight, kOpens}, Case{1, 0, kWidth, kHeight, kOutside},
                          Case{0, 1, kWidth, kHeight, kOutside}, Case{10, 20, 100, 50, kOpens},
                          Case{kWidth - 99, 0, 100, 50, kOutside}}) {
        EXPECT_EQ(Open(c.left, c.top, c.width, c.height), c.result)
            << c.left << "," << c.top << " " << c.width << "x" << c.height;
        CloseInput(&context_);
    }
}

TEST_F(DesktopCapture, RecordsTwoSecondsOfTheScreen) {
    ASSERT_EQ(Open(0, 0, kWidth, kHeight), 0);
    ASSERT_EQ(context_->nb_streams, 1u);
    const AVStream& stream = *context_->streams[0];
    EXPECT_EQ(stream.codecpar->codec_id, AV_CODEC_ID_RAWVIDEO);
    EXPECT_EQ(stream.codecpar->width, kWidth);
    EXPECT_EQ(stream.codecpar->height, kHeight);
    EXPECT_EQ(stream.codecpar->format, AV_PIX_FMT_BGR0);

    int64_t first = AV_NOPTS_VALUE, last = AV_NOPTS_VALUE;
    int frames = 0;
    while (last == AV_NOPTS_VALUE || (last - first) * av_q2d(stream.time_base) < 2.0) {
        ASSERT_EQ(avlib::av_read_frame(context_, packet_), 0);
        ASSERT_EQ(packet_->size, kWidth * kHeight * 4);
        // The root window is white.
        EXPECT_EQ(packet_->data[0] & packet_->data[1] & packet_->data[2], 255);
        EXPECT_EQ(packet_->data[packet_->size - 2], 255);
        if (first == AV_NOPTS_VALUE) first = packet_->pts;
        EXPECT_TRUE(last == AV_NOPTS_VALUE || packet_->pts > last);
        last = packet_->pts;
        ++frames;
        avlib::av_packet_unref(packet_);
    }
    EXPECT_GE(frames, 25);
}

} // namespace
