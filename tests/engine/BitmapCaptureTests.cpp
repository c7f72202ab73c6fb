#include "engine/BitmapCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "TestMedia.h"

namespace {

// The bitmap's pixels after Paint, in the order FFmpeg gets them.
void PaintHalves(TAVBitmap& bitmap, uint32_t left, uint32_t right) {
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            std::memcpy(bitmap.Bits() + (y * bitmap.Width() + x) * 4, x < bitmap.Width() / 2 ? &left : &right, 4);
}

class BitmapCaptureInput : public testing::Test {
protected:
    void SetUp() override {
        LoadAVLib();
        packet_ = avlib::av_packet_alloc();
    }
    void TearDown() override {
        CloseInput(&context_);
        avlib::av_packet_free(&packet_);
    }

    AVFormatContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
};

// Frame K shows what was drawn before it was read: the first is read while opening.
TEST_F(BitmapCaptureInput, OpensByItsUrlAsBgraFramesOfTheBitmapAsItIsWhenEachFrameBegins) {
    auto capture = std::make_shared<TBitmapCapture>(64, 48, AVRational{25, 1});
    std::vector<uint8_t> expected(64 * 48 * 4);
    const auto paint = [&](uint32_t k) {
        const uint32_t left = 0xFF000000 | k * 0x050301, right = 0xFF000000 | (255 - k) * 0x010203;
        capture->Draw([&](TAVBitmap& bitmap) { PaintHalves(bitmap, left, right); });
        TAVBitmap painted(expected.data(), 64, 48);
        PaintHalves(painted, left, right);
    };
    paint(0);
    const int id = RegisterStream(capture);
    // What a caller asks for gives way to what the bytes are.
    TAVDict options;
    options.Set("video_size", "320x240");
    options.Set("pixel_format", "yuv420p");
    ASSERT_EQ(OpenInput(&context_, StreamURL(id), avlib::av_find_input_format("mjpeg"), options.Address()), 0);
    EXPECT_STREQ(context_->iformat->name, "rawvideo");
    ASSERT_EQ(context_->nb_streams, 1u);
    const AVStream& stream = *context_->streams[0];
    EXPECT_EQ(stream.codecpar->codec_id, AV_CODEC_ID_RAWVIDEO);
    EXPECT_EQ(stream.codecpar->format, AV_PIX_FMT_BGRA);
    EXPECT_EQ(stream.codecpar->width, 64);
    EXPECT_EQ(stream.codecpar->height, 48);
    EXPECT_EQ(av_cmp_q(stream.time_base, AVRational{1, 25}), 0);

    for (uint32_t k = 0; k < 50; ++k) {
        ASSERT_EQ(avlib::av_read_frame(context_, packet_), 0) << k;
        EXPECT_EQ(packet_->pts, k);
        ASSERT_EQ(packet_->size, static_cast<int>(expected.size()));
        EXPECT_EQ(std::memcmp(packet_->data, expected.data(), expected.size()), 0) << k;
        avlib::av_packet_unref(packet_);
        paint(k + 1);
    }
    UnregisterStream(id);
}

TEST_F(BitmapCaptureInput, AFrameIsNeverCopiedWhileAProducerDraws) {
    constexpr int kWidth = 320, kHeight = 240;
    auto capture = std::make_shared<TBitmapCapture>(kWidth, kHeight);
    const int id = RegisterStream(capture);
    std::atomic<bool> stop = false;
    std::thread producer([&] {
        for (uint8_t k = 1; !stop; k = static_cast<uint8_t>(k % 255 + 1))
            capture->Draw([k](TAVBitmap& bitmap) {
                for (int y = 0; y < bitmap.Height(); ++y)
                    std::memset(bitmap.Bits() + y * bitmap.Width() * 4, k, kWidth * 4);
            });
    });
    ASSERT_EQ(OpenInput(&context_, StreamURL(id), nullptr, nullptr), 0);
    for (int frame = 0; frame < 50; ++frame) {
        ASSERT_EQ(avlib::av_read_frame(context_, packet_), 0);
        ASSERT_EQ(packet_->size, kWidth * kHeight * 4);
        const uint8_t first = packet_->data[0];
        EXPECT_TRUE(std::all_of(packet_->data, packet_->data + packet_->size, [first](uint8_t b) { return b == first; }))
            << frame;
        avlib::av_packet_unref(packet_);
    }
    stop = true;
    producer.join();
    UnregisterStream(id);
}

} // namespace
